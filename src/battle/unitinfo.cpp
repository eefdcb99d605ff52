#include "battle/unitinfo.h"

#include "rtl/convert.h"

namespace battle {
namespace {

// Entries of the level lists from which the database rows begin.
constexpr size_t kFirstTechEntry = 3, kFirstOfficerEntry = 4;

// A bonus row at `level`: its percentages of the base values, each sum rounded.
void AddBonus(UnitValues& value, const UnitValues& base, const DataTable& table, int bonusRow, int64_t level) {
    const long double attack = rtl::CheckedMul(table.IntCell(kColBonusAttack, bonusRow), level);
    value.attack = rtl::Round(value.attack + attack / 100 * base.attack);
    const long double shields = rtl::CheckedMul(table.IntCell(kColBonusShields, bonusRow), level);
    value.shields = rtl::Round(value.shields + shields / 100 * base.shields);
    const long double structure = rtl::CheckedMul(table.IntCell(kColBonusStructure, bonusRow), level);
    value.structure = rtl::Round(value.structure + structure / 100 * base.structure * 0.1L);
}

// Technologies and officers act on the unit types whose column is "1".
void AddRowBonuses(UnitValues& value, const UnitValues& base, const DataTable& table, int unitRow,
                   const BonusLevels& list, size_t firstEntry) {
    for (size_t entry = firstEntry; entry < list.Entries(); ++entry) {
        const int64_t level = list.Level(entry);
        const int row = list.rows[entry];
        if (level > 0 && table.Cell(unitRow, row) == "1") AddBonus(value, base, table, row, level);
    }
}

// A medal acts on defence units when it says so, and on attack units of the
// types it names when it acts on attack units.
bool MedalActsOn(const DataTable& table, int medalRow, int unitRow) {
    const std::string& purpose = table.Cell(kColPurpose, unitRow);
    if (purpose == kPurposeDefence) return table.Cell(kColMedalDefenceUnits, medalRow) == "1";
    if (purpose != kPurposeAttack || table.Cell(kColMedalAttackUnits, medalRow) != "1") return false;
    const std::string& unitClass = table.Cell(kColUnitClass, unitRow);
    if (unitClass.size() != 1 || unitClass[0] < '0' || unitClass[0] > '3') return false;
    return table.Cell(kColMedalLight + (unitClass[0] - '0'), medalRow) == "1";
}

}  // namespace

UnitValues BaseValues(const DataTable& table, int unitRow) {
    UnitValues base;
    base.structure = table.IntCell(kColStructure, unitRow);
    base.shields = table.IntCell(kColShields, unitRow);
    base.attack = table.IntCell(kColAttack, unitRow);
    return base;
}

UnitValues ActualValues(const DataTable& table, int unitRow, const PlayerLevels& levels) {
    const UnitValues base = BaseValues(table, unitRow);
    const BonusLevels& techs = levels.techs;
    const BonusLevels& officers = levels.officers;
    const long double officerBonus = officers.Level(0) * 0.02L + officers.Level(1) * 0.001L;
    UnitValues value;
    value.attack = rtl::Round(base.attack * (1 + 0.1L * techs.Level(0) + officerBonus));
    value.structure = rtl::Round(base.structure * (1 + 0.1L * techs.Level(1) + officerBonus) * 0.1L);
    value.shields = rtl::Round(base.shields * (1 + 0.1L * techs.Level(2) + officerBonus));

    AddRowBonuses(value, base, table, unitRow, techs, kFirstTechEntry);
    AddRowBonuses(value, base, table, unitRow, officers, kFirstOfficerEntry);
    const BonusLevels& medals = levels.medals;
    for (size_t entry = 0; entry < medals.Entries(); ++entry) {
        const int64_t count = medals.Level(entry);
        if (count > 0 && MedalActsOn(table, medals.rows[entry], unitRow))
            AddBonus(value, base, table, medals.rows[entry], count);
    }
    return value;
}

RapidFireLines RapidFire(const DataTable& table, int unitRow, bool against) {
    RapidFireLines result;
    for (int row = 1; row <= kLastRow; ++row) {
        if (table.Cell(kColKind, row) != kKindUnit) continue;
        const std::string& cell =
            against ? table.Cell(kColRapidFire + row, unitRow) : table.Cell(kColRapidFire + unitRow, row);
        int64_t value = 0;
        if (!rtl::TryStrToInt64(cell, value))
            result.brokenCells.push_back(table.Cell(kColName, row) + ": " + cell);
        else if (value > 0)
            result.lines.push_back(table.Cell(kColName, row) + "  " + cell);
    }
    return result;
}

}  // namespace battle
