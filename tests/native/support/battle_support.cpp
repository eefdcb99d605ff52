#include "support/battle_support.h"

#include "rtl/convert.h"

using battle::DataTable;

namespace battle_test {

void SetUnit(DataTable& table, int row, const UnitSpec& spec) {
    auto set = [&](int col, int64_t value) { table.SetCell(col, row, rtl::IntToStr(value)); };
    table.SetCell(battle::kColKind, row, "1");
    table.SetCell(battle::kColName, row, spec.name);
    set(battle::kColMetal, spec.metal);
    set(battle::kColMinerals, spec.minerals);
    set(battle::kColVespene, spec.vespene);
    set(battle::kColStructure, spec.structure);
    set(battle::kColAttack, spec.attack);
    set(battle::kColShields, spec.shields);
    table.SetCell(battle::kColPurpose, row, spec.purpose);
    table.SetCell(battle::kColRace, row, "0");
    set(battle::kColShieldRegen, spec.shieldRegen);
    set(battle::kColConcentratedShot, spec.concentrated);
    table.SetCell(battle::kColAbility1, row, spec.ability1);
    table.SetCell(battle::kColAbility2, row, spec.ability2);
    table.SetCell(battle::kColSpecialAttack1, row, spec.special1);
    table.SetCell(battle::kColSpecialAttack2, row, spec.special2);
    set(battle::kColDelay, spec.delay);
    set(battle::kColEmpStrength, spec.empStrength);
    set(battle::kColAttackPeriod, spec.period);
    set(battle::kColUnitClass, spec.classOrGrowth);
    set(battle::kColBuildingLevel, spec.buildingLevel);
}

void SetRapidFire(DataTable& table, int shooterRow, int targetRow, const std::string& value) {
    table.SetCell(battle::kColRapidFire + targetRow, shooterRow, value);
}

void SetBonusRow(DataTable& table, int row, int64_t attack, int64_t shields, int64_t structure,
                 const std::vector<int>& actsOn) {
    table.SetCell(battle::kColBonusAttack, row, rtl::IntToStr(attack));
    table.SetCell(battle::kColBonusShields, row, rtl::IntToStr(shields));
    table.SetCell(battle::kColBonusStructure, row, rtl::IntToStr(structure));
    for (int unitRow : actsOn) table.SetCell(unitRow, row, "1");
}

bool RecordingOutput::Contains(std::string_view line) const {
    for (const auto& l : lines)
        if (l == line) return true;
    return false;
}

size_t RecordingOutput::Count(std::string_view prefix) const {
    size_t n = 0;
    for (const auto& l : lines)
        if (std::string_view(l).substr(0, prefix.size()) == prefix) ++n;
    return n;
}

Battle::Battle(uint64_t seed) : random(seed) {
    table.FillDefaults();
    engine = std::make_unique<battle::BattleEngine>(table, options, output, random);
    engine->Input.PartName[1][0] = "Я";
    engine->Input.PartName[2][0] = "Враг";
}

}  // namespace battle_test
