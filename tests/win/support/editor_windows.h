// Shared by the tests of the database editors: the table the program edits,
// the table its DataBase.dat holds, and list positions of database rows.
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "battle/datatable.h"
#include "windows/dataform.h"

namespace editortest {

inline battle::DataTable& Table() { return Form4->Table(); }

// DataBase.dat as the program left it in the working folder.
inline battle::DataTable SavedTable() {
    battle::DataTable saved;
    saved.LoadFromFile(battle::kDataBaseFile);
    return saved;
}

// Where a row stands in a window's row table; -1 when it is not listed.
inline int Position(const std::vector<uint16_t>& rows, int row) {
    auto found = std::find(rows.begin(), rows.end(), row);
    return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

}  // namespace editortest
