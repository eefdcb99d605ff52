#include "battle/datatable.h"

#include "rtl/convert.h"
#include "rtl/errors.h"

namespace battle {

DataTable::DataTable() : cells_(static_cast<size_t>(kRowCount) * kColCount) {}

size_t DataTable::Index(int col, int row) {
    if (col < 0 || col > kLastCol || row < 0 || row > kLastRow) throw rtl::ERangeError();
    return static_cast<size_t>(row) * kColCount + static_cast<size_t>(col);
}

const std::string& DataTable::Cell(int col, int row) const { return cells_[Index(col, row)]; }

void DataTable::SetCell(int col, int row, std::string_view value) { cells_[Index(col, row)].assign(value); }

int64_t DataTable::IntCell(int col, int row) const { return rtl::StrToInt64(Cell(col, row)); }

void DataTable::Clear() {
    for (auto& cell : cells_) cell.clear();
}

void DataTable::FillDefaults() {
    for (int row = 0; row <= kLastRow; ++row) {
        SetCell(kColRowNumber, row, rtl::IntToStr(row));
        for (int col = 12; col <= kLastCol; ++col) SetCell(col, row, "0");
    }
}

}  // namespace battle
