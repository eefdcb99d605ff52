// expinp.shp as another installation or an editor may leave it: any bytes
// import whole, every value as the editors take it, or stop at a bad line
// with a message, taking nothing in; never a crash.
// seeds: fuzz/seeds/exchange/*
#include <string>

#include "battle/datatable.h"
#include "battle/inputcheck.h"
#include "fuzz_support.h"
#include "rtl/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static battle::DataTable table;
    const std::string version = table.Cell(battle::kVersionCol, 0);
    try {
        battle::DataTable::ImportResult result = table.ImportFromFile(fuzz::WriteScratch(data, size));
        if (!result.ok && (result.message.empty() || result.rowsImported != 0 ||
                           table.Cell(battle::kVersionCol, 0) != version))
            std::abort();
        // What came in passed the editors' rules, in the form they keep.
        for (int row = 1; result.ok && row <= battle::kLastRow; ++row) {
            const std::string& kind = table.Cell(battle::kColKind, row);
            if (!battle::RowKindProblem(row, kind).empty()) std::abort();
            if (kind.empty() || kind == battle::kKindFree) continue;
            for (int col = 1; col <= battle::kLastCol; ++col) {
                const battle::CellRule* rule = battle::CellRuleFor(kind, table.Cell(battle::kColPurpose, row), col);
                std::string stored;
                if (rule && (!battle::CellProblem(*rule, table.Cell(col, row), stored).empty() ||
                             stored != table.Cell(col, row)))
                    std::abort();
            }
        }
    } catch (const rtl::ERuntimeError&) {
    }
    // Column 0 is the row's own number, whatever the file said.
    for (int row = 1; row <= battle::kLastRow; ++row)
        if (!table.Cell(battle::kColRowNumber, row).empty()) std::abort();
    return 0;
}
