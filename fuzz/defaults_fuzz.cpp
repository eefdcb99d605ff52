// def.dat as the player's disk may hold it: any bytes set what they can of
// the lists and never crash; what was read is saved and read back unchanged.
// seeds: data/def.dat
#include <cstdlib>

#include "battle/defaultsfiles.h"
#include "fuzz_support.h"
#include "rtl/errors.h"

namespace {

battle::DefaultLevels ShippedLists() {
    battle::DefaultLevels levels;
    levels.techs.fixed = 3;
    for (int i = 0; i < 3; ++i) levels.techs.Add(0);
    for (uint16_t row = 101; row <= 114; ++row) levels.techs.Add(row);
    levels.officers.fixed = 4;
    for (int i = 0; i < 4; ++i) levels.officers.Add(0);
    for (uint16_t row = 551; row <= 555; ++row) levels.officers.Add(row);
    return levels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    battle::DefaultLevels read = ShippedLists();
    try {
        battle::ReadDefaultsFile(fuzz::WriteScratch(data, size), read);
    } catch (const rtl::ERuntimeError&) {
        return 0;
    }
    for (auto* list : {&read.techs, &read.officers})
        for (std::string& value : list->values) value = battle::OneLine(value);
    read.playerName = battle::OneLine(read.playerName);
    read.enemyName = battle::OneLine(read.enemyName);
    read.templateIndex = battle::OneLine(read.templateIndex);
    battle::WriteDefaultsFile(fuzz::ScratchPath(), read);
    battle::DefaultLevels again = ShippedLists();
    battle::ReadDefaultsFile(fuzz::ScratchPath(), again);
    if (again.techs.values != read.techs.values || again.officers.values != read.officers.values ||
        again.playerName != read.playerName || again.enemyName != read.enemyName ||
        again.loadTemplate != read.loadTemplate || (read.loadTemplate && again.templateIndex != read.templateIndex))
        std::abort();
    return 0;
}
