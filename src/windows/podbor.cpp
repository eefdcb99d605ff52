#include "windows/podbor.h"

#include "rtl/convert.h"

using namespace vcl;

Tpodborform* podborform = nullptr;

TSelectionGrid::TSelectionGrid(TComponent* owner) : TStringGrid(owner) {}

std::string TSelectionGrid::Cells(int col, int row) const {
    if (col < 0 || col >= table_.Columns() || row < 0 || row > battle::kSelectionScoreRow) return {};
    if (row == battle::kSelectionScoreRow) return table_.Score(col);
    return rtl::IntToStr(table_.Count(col, row));
}

void TSelectionGrid::SetCells(int col, int row, const std::string& text) {
    if (col < 0 || row < 0 || row > battle::kSelectionScoreRow) throw rtl::ERangeError();
    if (col >= table_.Columns()) table_.SetColumns(col + 1);
    if (row == battle::kSelectionScoreRow) {
        table_.SetScore(col, text);
    } else {
        int64_t count = 0;
        if (!rtl::TryStrToInt64(text, count) || count < 0 || count > UINT32_MAX)
            throw rtl::EConvertError("'" + text + "' не является количеством юнитов");
        table_.SetCount(col, row, static_cast<uint32_t>(count));
    }
    // The work window is never shown in a selection, which sets a score
    // after every candidate: a window that is not on screen is painted whole
    // when it is shown.
    if (HandleAllocated() && IsWindowVisible(Handle())) Invalidate();
}

Tpodborform::Tpodborform(TComponent* owner) : TForm(owner) {
    SetName("podborform");
    SetCaption("podbor");
    SetClientSize(640, 400);
    auto table = [](TStringGrid* g) {
        g->SetRowCount(battle::kSelectionScoreRow + 1);
        g->SetFixedRows(0);
        g->SetFixedCols(0);
    };
    StringGrid1 = Declare<TSelectionGrid>(this, "StringGrid1").Bounds(8, 8, 308, 384).With(table);
    StringGrid2 = Declare<TSelectionGrid>(this, "StringGrid2").Bounds(324, 8, 308, 384).With(table);
}
