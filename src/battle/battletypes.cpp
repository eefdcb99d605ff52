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

namespace {

std::string CellName(int col, int row) {
    return "Таблица, строка " + rtl::IntToStr(row) + ", столбец " + rtl::IntToStr(col) + ": ";
}

// Blanks, a sign and digits only: a whole number, if one too large.
bool LooksWhole(const std::string& text) {
    size_t i = text.find_first_not_of(" \t");
    if (i != std::string::npos && (text[i] == '+' || text[i] == '-')) ++i;
    return i < text.size() && text.find_first_not_of("0123456789", i) == std::string::npos;
}

}  // namespace

void FailCell(const DataTable& table, int col, int row) {
    const std::string& text = table.Cell(col, row);
    if (LooksWhole(text)) throw rtl::ERangeError(CellName(col, row) + text + " вне допустимого диапазона");
    throw rtl::EConvertError(CellName(col, row) + "'" + text + "' не является целым числом");
}

void FailCellRange(int col, int row, int64_t value, int64_t lowest, int64_t highest) {
    throw rtl::ERangeError(CellName(col, row) + rtl::IntToStr(value) + " вне допустимого диапазона (" +
                           rtl::IntToStr(lowest) + ".." + rtl::IntToStr(highest) + ")");
}

int64_t CellInteger(const DataTable& table, int col, int row) {
    int64_t value;
    if (!rtl::TryStrToInt64(table.Cell(col, row), value)) FailCell(table, col, row);
    return value;
}

double RapidFireThreshold(int64_t n) {
    if (n <= 1) return 0.0;
    const long double exact = static_cast<long double>(n - 1) / static_cast<long double>(n);
    double t = static_cast<double>(exact);
    if (static_cast<long double>(t) < exact) t = std::nextafter(t, 1.0);
    return t;
}

double ChanceThreshold(int64_t percent) {
    const long double exact = percent / 100.0L;
    double t = static_cast<double>(exact);
    if (static_cast<long double>(t) < exact) t = std::nextafter(t, HUGE_VAL);
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
            thresholds[target] = rtl::TryStrToInt64(table.Cell(kColRapidFire + target, row), n) &&
                                         n <= kMaxRapidFire
                                     ? RapidFireThreshold(n)
                                     : kBadRapidFire;
        }
    }
}

void BattleTypes::FailRapidFire(int shooterRow, int targetRow) const {
    const int col = kColRapidFire + targetRow;
    const int64_t n = CellInteger(*table_, col, shooterRow);
    throw rtl::ERangeError(CellName(col, shooterRow) + "скорострел " + rtl::IntToStr(n) + " больше допустимого (" +
                           rtl::IntToStr(kMaxRapidFire) + ")");
}

}  // namespace battle
