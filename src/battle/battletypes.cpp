#include "battle/battletypes.h"

#include <algorithm>
#include <cmath>

#include "rtl/convert.h"

namespace battle {

void CellNumber::Load(const DataTable& table, int col, int row) {
    table_ = &table;
    col_ = static_cast<int16_t>(col);
    row_ = static_cast<int16_t>(row);
    ok_ = rtl::TryStrToInt64(table.Cell(col, row), value_);
}

void CellNumber::Fail() const {
    if (table_) table_->IntCell(col_, row_);  // throws the conversion error naming the text
    throw rtl::EConvertError("Значение таблицы не является целым числом");
}

double RapidFireThreshold(int64_t n) {
    if (n <= 1) return 0.0;
    const long double exact = static_cast<long double>(n - 1) / static_cast<long double>(n);
    double t = static_cast<double>(exact);
    if (static_cast<long double>(t) < exact) t = std::nextafter(t, 1.0);
    return t;
}

namespace {

uint8_t AbilityBit(const std::string& code) {
    if (code.size() != 1 || code[0] < '1' || code[0] > '7') return 0;
    return static_cast<uint8_t>(1u << (code[0] - '1'));
}

}  // namespace

void BattleTypes::Build(const DataTable& table, const std::vector<uint16_t>& rows) {
    table_ = &table;
    rapidFire_.assign(rows.size() * kRowCount, 0.0);
    std::fill(std::begin(index_), std::end(index_), 0);
    types_.assign(rows.size() + 1, UnitType{});
    for (size_t i = 0; i < rows.size(); ++i) {
        const int row = rows[i];
        index_[row] = static_cast<uint16_t>(i + 1);
        UnitType& t = types_[i + 1];
        t.abilities = AbilityBit(table.Cell(kColAbility1, row)) | AbilityBit(table.Cell(kColAbility2, row));
        const std::string& purpose = table.Cell(kColPurpose, row);
        t.building = purpose == kPurposeBuilding;
        t.defence = purpose == kPurposeDefence;
        t.hasSpecial1 = table.Cell(kColSpecialAttack1, row) != "0";
        t.hasSpecial2 = table.Cell(kColSpecialAttack2, row) != "0";
        t.metal.Load(table, kColMetal, row);
        t.minerals.Load(table, kColMinerals, row);
        t.vespene.Load(table, kColVespene, row);
        t.structure.Load(table, kColStructure, row);
        t.attack.Load(table, kColAttack, row);
        t.shields.Load(table, kColShields, row);
        t.shieldRegen.Load(table, kColShieldRegen, row);
        t.concentratedShot.Load(table, kColConcentratedShot, row);
        t.special1.Load(table, kColSpecialAttack1, row);
        t.special2.Load(table, kColSpecialAttack2, row);
        t.delay.Load(table, kColDelay, row);
        t.empStrength.Load(table, kColEmpStrength, row);
        t.attackPeriod.Load(table, kColAttackPeriod, row);
        t.classOrGrowth.Load(table, kColUnitClass, row);
        t.buildingLevel.Load(table, kColBuildingLevel, row);
        int64_t structure;
        t.flagship = rtl::TryStrToInt64(table.Cell(kColStructure, row), structure) &&
                     structure > kFlagshipStructure;

        double* thresholds = rapidFire_.data() + i * kRowCount;
        t.rapidFire = thresholds;
        for (uint16_t target : rows) {
            int64_t n;
            thresholds[target] = rtl::TryStrToInt64(table.Cell(kColRapidFire + target, row), n)
                                     ? RapidFireThreshold(n)
                                     : kBadRapidFire;
        }
    }
}

void BattleTypes::FailRapidFire(int shooterRow, int targetRow) const {
    table_->IntCell(kColRapidFire + targetRow, shooterRow);
    throw rtl::EConvertError("Значение скорострела не является целым числом");
}

}  // namespace battle
