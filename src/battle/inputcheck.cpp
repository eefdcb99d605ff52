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
