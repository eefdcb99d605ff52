// Picks the unit row that the unit editor loads.
#pragma once
#include <cstdint>
#include <vector>

#include "vcl/vcl.h"

class TForm3 : public vcl::TForm {
public:
    explicit TForm3(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm3"; }

    vcl::TListBox* ListBox1;  // names of the unit rows
    vcl::TButton* Button1;    // "Открыть"
    vcl::TTimer* Timer1;      // 1 ms, once: lists the units

    void Timer1Timer(vcl::TObject* Sender);
    void Button1Click(vcl::TObject* Sender);

    // The rows behind the list items, in list order.
    const std::vector<uint16_t>& Rows() const { return rows_; }

protected:
    // Fills ListBox1 with the unit rows.
    void ListUnits();
    // The row of the chosen item; false when none is chosen.
    bool ChosenRow(int& row) const;

private:
    std::vector<uint16_t> rows_;
};

extern TForm3* Form3;
