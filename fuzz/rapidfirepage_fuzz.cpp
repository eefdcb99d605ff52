// A unit page of the game's site, and the letter tables, as they may come:
// converted, cut and compared, or refused with an error, never a crash or a
// loop without end.
// seeds: data/unicode.dat data/Ansi.dat
#include "battle/datatable.h"
#include "fuzz_support.h"
#include "rtl/errors.h"
#include "windows/core/rapidfirepage.h"

namespace {

const battle::DataTable& Table() {
    static battle::DataTable* table = [] {
        auto* t = new battle::DataTable();
        t->FillDefaults();
        const char* names[] = {"Крейсер", "Линкор", "", "Зонд"};
        for (int i = 0; i < 4; ++i) {
            t->SetCell(battle::kColKind, 201 + i, "1");
            t->SetCell(battle::kColName, 201 + i, names[i]);
            t->SetCell(battle::kColRapidFire + 202 + i, 201, "3");
        }
        return t;
    }();
    return *table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    online::LetterTables tables;
    try {
        const std::string& path = fuzz::WriteScratch(data, size);
        tables = online::ReadLetterTables(path, path);
    } catch (const rtl::ERuntimeError&) {
    }
    std::string text = online::ConvertEntities(std::string(reinterpret_cast<const char*>(data), size), tables);
    const std::vector<std::string> lines = fuzz::Lines(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    for (int row : {201, 450}) {
        online::RapidFireBlock block = online::FindRapidFireBlock(lines, row);
        if (!block.read && !block.entries.empty()) __builtin_trap();  // entries only from a block that was read
        online::HasRapidFire(Table(), row);
        online::UnitComparison out;
        try {
            online::CompareRapidFire(Table(), 201, block.entries, out);
        } catch (const rtl::ERuntimeError&) {
        }
        // A page not compared logs and queues nothing.
        if (!out.notCompared.empty() && !(out.log.empty() && out.queue.empty())) __builtin_trap();
    }
    return 0;
}
