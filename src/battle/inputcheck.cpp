#include "battle/inputcheck.h"

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

int RunRounds(const BattleOptions& options) {
    const std::string text = options.RoundsText();
    int32_t rounds = 0;
    if (!rtl::TryStrToInt(text, rounds))
        throw rtl::EConvertError("Количество раундов в настройках («" + text + "») не целое число. Расчет не начат");
    if (rounds < 1)
        throw rtl::ERangeError("Количество раундов в настройках должно быть не меньше 1, а не " + text +
                               ". Расчет не начат");
    return rounds;
}

}  // namespace battle
