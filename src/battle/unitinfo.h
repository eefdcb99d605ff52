// What the unit information window shows of a unit type: its base values,
// the values the player's levels give it (the rule and rounding of battle
// preparation) and its rapid fire in both directions.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "battle/datatable.h"

namespace battle {

// Entry k of a level list and the database row behind it. The technology
// list starts with the three fixed entries and the officer list with the
// four fixed ones (row 0 each); medals have no fixed entries. An entry that
// either side lacks counts as level 0.
struct BonusLevels {
    std::vector<uint16_t> rows;
    std::vector<int64_t> levels;
    int64_t Level(size_t entry) const { return entry < levels.size() ? levels[entry] : 0; }
    size_t Entries() const { return rows.size() < levels.size() ? rows.size() : levels.size(); }
};

struct PlayerLevels {
    BonusLevels techs, officers, medals;
};

struct UnitValues {
    int64_t structure = 0, shields = 0, attack = 0;
};

// Columns 7, 9 and 8 of the unit row. A cell that is not a whole number
// throws rtl::EConvertError naming its text.
UnitValues BaseValues(const DataTable& table, int unitRow);
// The values a unit of the row has in battle with these levels. Broken
// cells throw rtl::EConvertError, sums beyond 64 bits rtl::ERangeError.
UnitValues ActualValues(const DataTable& table, int unitRow, const PlayerLevels& levels);

struct RapidFireLines {
    std::vector<std::string> lines;      // "name  value", ascending rows
    std::vector<std::string> brokenCells;  // "name: text" of values that are not whole numbers
};
// Rapid fire above 0 of the unit against every unit row ("against" true),
// or of every unit row against the unit.
RapidFireLines RapidFire(const DataTable& table, int unitRow, bool against);

}  // namespace battle
