// The working tables of fleet selection: candidates and kept candidates,
// one column each, rows 0..599 unit counts by database row, row 600 the score.
#pragma once
#include "battle/fleetselection.h"
#include "vcl/vcl.h"

// A grid over a selection table: counts as decimal text, row 600 the score.
class TSelectionGrid : public vcl::TStringGrid {
public:
    explicit TSelectionGrid(vcl::TComponent* owner);
    // A string grid to the skin, which dresses controls by their class names.
    const char* ClassName() const override { return "TStringGrid"; }

    battle::SelectionTable& Table() { return table_; }
    const battle::SelectionTable& Table() const { return table_; }

    // Cells outside the table read as "".
    std::string Cells(int col, int row) const override;
    // A count that is not a whole number of 0 or more is refused with
    // rtl::EConvertError and the cell keeps its count.
    void SetCells(int col, int row, const std::string& text) override;

private:
    battle::SelectionTable table_;
};

class Tpodborform : public vcl::TForm {
public:
    explicit Tpodborform(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tpodborform"; }

    TSelectionGrid* StringGrid1;  // the candidates of a generation
    TSelectionGrid* StringGrid2;  // the kept candidates, best last
};

extern Tpodborform* podborform;
