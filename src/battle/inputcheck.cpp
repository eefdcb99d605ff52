#include "battle/inputcheck.h"

#include "battle/battleunit.h"
#include "battle/optionsfile.h"

#include "rtl/convert.h"
#include "rtl/errors.h"

namespace battle {

uint64_t ParticipantUnitCount(const BattleInput& input, const DataTable& table, int side, int participant) {
    uint64_t total = 0;
    const uint32_t* counts = input.ShipCount[side][participant];
    for (int row = kUnitFirstRow; row <= kUnitLastRow; ++row) {
        if (counts[row] == 0 || table.Cell(kColKind, row) != kKindUnit) continue;
        total += table.Cell(kColPurpose, row) == kPurposeBuilding ? 1 : counts[row];
    }
    return total;
}

void CheckUnitCounts(const BattleInput& input, const DataTable& table) {
    for (int side = 1; side <= 2; ++side)
        for (int p = 0; p < input.PartCount[side] && p < kParticipantSlots; ++p) {
            const uint64_t units = ParticipantUnitCount(input, table, side, p);
            if (units <= kMaxUnitsPerParticipant) continue;
            throw rtl::ERangeError("Сторона " + rtl::IntToStr(side) + ", участник «" + input.PartName[side][p] +
                                   "»: юнитов " + rtl::IntToStr(static_cast<int64_t>(units)) +
                                   ", а в бою у одного участника может быть не больше " +
                                   rtl::IntToStr(kMaxUnitsPerParticipant) + ". Бой не начат");
        }
}

namespace {

bool HasPriorityAbility(const DataTable& table, int row) {
    return table.Cell(kColAbility1, row) == "4" || table.Cell(kColAbility2, row) == "4";
}

// A building fights (as one unit) from its level on; a level that is no
// number stops the battle anyway, so it is counted.
uint32_t UnitsMade(const DataTable& table, int row, uint32_t count) {
    if (table.Cell(kColPurpose, row) != kPurposeBuilding) return count;
    int64_t level = 0;
    return rtl::TryStrToInt64(table.Cell(kColBuildingLevel, row), level) && count < level ? 0 : 1;
}

}  // namespace

void CheckPriorityUnits(const BattleInput& input, const DataTable& table) {
    for (int side = 1; side <= 2; ++side)
        for (int p = 0; p < input.PartCount[side] && p < kParticipantSlots; ++p) {
            uint64_t total = 0;
            std::string types;
            for (int row = 0; row < kRowCount; ++row) {
                const uint32_t count = input.ShipCount[side][p][row];
                if (count == 0 || !HasPriorityAbility(table, row)) continue;
                const uint32_t made = UnitsMade(table, row, count);
                if (made == 0) continue;
                total += made;
                types += (types.empty() ? "" : ", ") + table.Cell(kColName, row) + " - " +
                         rtl::IntToStr(static_cast<int64_t>(made));
            }
            if (total <= static_cast<uint64_t>(kMaxPriorityUnits)) continue;
            throw rtl::ERangeError("Сторона " + rtl::IntToStr(side) + ", участник «" + input.PartName[side][p] +
                                   "»: юнитов со способностью «Приоритетная цель, пока есть щиты» " +
                                   rtl::IntToStr(static_cast<int64_t>(total)) + " (" + types +
                                   "), а в бою у одного участника их может быть не больше " +
                                   rtl::IntToStr(kMaxPriorityUnits) + ". Бой не начат");
        }
}

namespace {

enum class Purpose { kAny, kShip, kBuilding };
struct ColumnRule {
    std::string_view kinds;
    int first, last;
    Purpose purpose;
    CellRule rule;
};
constexpr int64_t kMaxPercent = 100;
constexpr int64_t kMaxCount = std::numeric_limits<uint32_t>::max();  // the fleet editors' counts and levels

// From how the battle computes with each value.
const ColumnRule kColumnRules[] = {
    {"1234", kColName, kColName, Purpose::kAny, {"Название", true}},
    {"1", kColMetal, kColMetal, Purpose::kAny, {"Металл", false, 0, kMaxCost}},
    {"1", kColMinerals, kColMinerals, Purpose::kAny, {"Минералы", false, 0, kMaxCost}},
    {"1", kColVespene, kColVespene, Purpose::kAny, {"Веспен", false, 0, kMaxCost}},
    {"1", kColStructure, kColStructure, Purpose::kAny, {"Структура", false, 0, kMaxStructure}},
    {"1", kColAttack, kColAttack, Purpose::kAny, {"Атака", false, 0, kMaxAttack}},
    {"1", kColShields, kColShields, Purpose::kAny, {"Щиты", false, 0, kMaxAttack}},
    {"1", kColPurpose, kColPurpose, Purpose::kAny, {"Назначение юнита", false, 0, 2}},
    {"1", kColRace, kColRace, Purpose::kAny, {"Раса", false, 0, 3}},
    {"1", kColShieldRegen, kColShieldRegen, Purpose::kAny, {"Востановление щита %", false, 0, kMaxPercent}},
    {"1", kColConcentratedShot, kColConcentratedShot, Purpose::kAny,
     {"Шанс концентрированного выстрела %", false, 0, kMaxPercent}},
    {"1", kColRestoreAttacking, kColRestoreAttacking, Purpose::kAny,
     {"востановление % В атаке", false, 0, kMaxPercent}},
    {"1", kColRestoreDefending, kColRestoreDefending, Purpose::kAny,
     {"востановление % В защите", false, 0, kMaxPercent}},
    {"1", kColAbility1, kColAbility2, Purpose::kAny, {"Спец способности", false, 0, kMaxAbilityCode}},
    {"1", kColSpecialAttack1, kColSpecialAttack2, Purpose::kAny, {"Спец атаки", false, 0, kMaxSpecialAttackCode}},
    {"1", kColDelay, kColDelay, Purpose::kAny, {"задержка перед атакой", false, 0, kMaxWaitRounds}},
    {"1", kColEmpStrength, kColEmpStrength, Purpose::kAny, {"Атака эми", false, 0, kMaxAttack}},
    {"1", kColAttackPeriod, kColAttackPeriod, Purpose::kAny, {"Период атаки", false, 0, kMaxWaitRounds}},
    {"1", kColDebrisAttacking, kColDebrisAttacking, Purpose::kAny, {"обломки % В атаке", false, 0, kMaxPercent}},
    {"1", kColDebrisDefending, kColDebrisDefending, Purpose::kAny, {"обломки % В защите", false, 0, kMaxPercent}},
    {"1", kColUnitClass, kColUnitClass, Purpose::kShip, {"Тип юнита", false, 0, 3}},
    {"1", kColCostGrowth, kColCostGrowth, Purpose::kBuilding, {"Коэффициент удоражания", false, 1, kMaxCostGrowth}},
    {"1", kColBuildingLevel, kColBuildingLevel, Purpose::kBuilding,
     {"Уровень с которого начинается участие в бою", false, 0, kMaxCount}},
    {"1", kColRapidFire, kLastCol, Purpose::kAny, {"Скорострел по", false, 0, kMaxRapidFire}},
    {"2", kColMedalAttack, kColMedalAttack, Purpose::kAny, {"бонус к атаке %", false, 0, kMaxBonusPercent}},
    {"2", kColMedalShields, kColMedalShields, Purpose::kAny, {"бонус к щитам %", false, 0, kMaxBonusPercent}},
    {"2", kColMedalStructure, kColMedalStructure, Purpose::kAny, {"бонус к структуре %", false, 0, kMaxBonusPercent}},
    {"2", kColMedalLight, kColMedalLight, Purpose::kAny, {"Легкие юниты", false, 0, 1}},
    {"2", kColMedalLight + 1, kColMedalLight + 1, Purpose::kAny, {"Средние юниты", false, 0, 1}},
    {"2", kColMedalLight + 2, kColMedalLight + 2, Purpose::kAny, {"Тяжелые юниты", false, 0, 1}},
    {"2", kColMedalLight + 3, kColMedalLight + 3, Purpose::kAny, {"Сверхтяжелые юниты", false, 0, 1}},
    {"2", kColMedalDefenceUnits, kColMedalDefenceUnits, Purpose::kAny, {"Оборонительные юниты", false, 0, 1}},
    {"2", kColMedalAttackUnits, kColMedalAttackUnits, Purpose::kAny, {"Атакующие юниты", false, 0, 1}},
    {"34", kColBonusAttack, kColBonusAttack, Purpose::kAny, {"% к атаке", false, 0, kMaxBonusPercent}},
    {"34", kColBonusShields, kColBonusShields, Purpose::kAny, {"% к щитам", false, 0, kMaxBonusPercent}},
    {"34", kColBonusStructure, kColBonusStructure, Purpose::kAny, {"% к структуре", false, 0, kMaxBonusPercent}},
    {"34", kUnitFirstRow, kUnitLastRow, Purpose::kAny, {"корабли на которые влияет технология", false, 0, 1}},
};

}  // namespace

const CellRule* CellRuleFor(std::string_view kind, std::string_view purpose, int col) {
    if (kind.size() != 1 || kind == kKindFree) return nullptr;
    const Purpose is = purpose == kPurposeBuilding ? Purpose::kBuilding : Purpose::kShip;
    for (const ColumnRule& c : kColumnRules)
        if (c.kinds.find(kind[0]) != std::string_view::npos && col >= c.first && col <= c.last &&
            (c.purpose == Purpose::kAny || c.purpose == is))
            return &c.rule;
    return nullptr;
}

std::string CellProblem(const CellRule& rule, const std::string& text, std::string& stored,
                        const std::string& field) {
    const std::string named = field.empty() ? std::string(rule.field) : field;
    if (rule.name) {
        stored = text;
        return text.find_first_not_of(" \t") == std::string::npos ? "«" + named + "»: не заполнено" : "";
    }
    int64_t value = 0;
    if (ReadWholeNumber(text, rule.min, rule.max, value)) {
        stored = rtl::IntToStr(value);
        return {};
    }
    stored = text;
    return WholeNumberProblem(named, text, rule.min, rule.max);
}

bool ReadWholeNumber(std::string_view text, int64_t min, int64_t max, int64_t& value) {
    int64_t read = 0;
    if (!rtl::TryStrToInt64(rtl::Trimmed(text), read) || read < min || read > max) return false;
    value = read;
    return true;
}

std::string RowKindProblem(int row, std::string_view kind) {
    if (kind.empty() || kind == kKindFree) return {};
    const std::string_view band = row <= kMedalLastRow  ? kKindMedal
                                  : row <= kTechLastRow ? kKindTech
                                  : row <= kUnitLastRow ? kKindUnit
                                                        : kKindOfficer;
    if (kind == band) return {};
    return "вид строки «" + std::string(kind) + "» - в строке " + rtl::IntToStr(row) + " бывает только «" +
           std::string(band) + "» или «0»";
}

std::string TableCellProblem(const DataTable& table, int col, int row, const std::string& text, std::string& stored) {
    stored = text;
    if (row <= 0) return {};  // the version and the first-run marker
    if (col == kColKind) return RowKindProblem(row, text);
    const CellRule* rule = CellRuleFor(table.Cell(kColKind, row), table.Cell(kColPurpose, row), col);
    return rule ? CellProblem(*rule, text, stored) : std::string();
}

std::string WholeNumberProblem(const std::string& field, const std::string& text, int64_t min, int64_t max) {
    int64_t value = 0;
    if (rtl::TryStrToInt64(text, value) && value >= min && value <= max) return {};
    std::string problem = "«" + field + "»: «" + text + "» - должно быть целым числом";
    if (min != std::numeric_limits<int64_t>::min() || max != std::numeric_limits<int64_t>::max())
        problem += " от " + rtl::IntToStr(min) + " до " + rtl::IntToStr(max);
    return problem;
}

namespace {

int RunOption(int line, const std::string& text) {
    const OptionNumber& option = OptionNumberAt(line);
    const std::string problem = WholeNumberProblem(option.caption, text, option.min, option.max);
    if (problem.empty()) return rtl::StrToInt(text);
    const std::string message = "В настройках " + problem + ". Расчет не начат";
    if (rtl::IsWholeNumberText(text)) throw rtl::ERangeError(message);
    throw rtl::EConvertError(message);
}

}  // namespace

int RunRounds(const BattleOptions& options) { return RunOption(kOptionRoundsLine, options.RoundsText()); }

int RunBattles(const BattleOptions& options) { return RunOption(kOptionBattlesLine, options.BattlesText()); }

}  // namespace battle
