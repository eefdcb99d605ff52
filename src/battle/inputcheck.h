// What is checked before a run or a battle starts, so that neither starts on
// input it cannot honour.
#pragma once
#include <cstdint>
#include <limits>
#include <string>

#include "battle/battleinput.h"
#include "battle/battleports.h"
#include "battle/battleunit.h"
#include "battle/datatable.h"

namespace battle {

// What the editors of the database take, from how the battle computes.
//
// A cost: every unit of a participant lost, at 100 % debris, still gives a
// debris product within 64 bits (and the losses of all sides far less).
inline constexpr int64_t kMaxCost = std::numeric_limits<int64_t>::max() / (int64_t{kMaxUnitsPerParticipant} * 100);
// The highest technology or officer level the fleet editors take.
inline constexpr int64_t kMaxBonusLevel = std::numeric_limits<uint16_t>::max();
// A bonus row's percentages. None below 0: at a high enough level any loss
// would take attack, shield or structure below nothing. At most so much that
// the percent times the highest level is still a 32-bit number, as the
// attack and shield it adds to are.
inline constexpr int64_t kMaxBonusPercent = std::numeric_limits<int32_t>::max() / kMaxBonusLevel;

// Empty when `text` is a whole number within min..max; else what is wrong,
// naming the field and the value, and the range when there is one.
std::string WholeNumberProblem(const std::string& field, const std::string& text,
                               int64_t min = std::numeric_limits<int64_t>::min(),
                               int64_t max = std::numeric_limits<int64_t>::max());

// The units a participant brings into battle: a ship type as many as its
// count, a building at most one.
uint64_t ParticipantUnitCount(const BattleInput& input, const DataTable& table, int side, int participant);

// rtl::ERangeError naming the side, the participant and the count when any
// participant brings more than kMaxUnitsPerParticipant units: the battle's
// lists hold no more, and units never made would count as lost.
void CheckUnitCounts(const BattleInput& input, const DataTable& table);

// rtl::ERangeError naming the side, the participant, the unit types and the
// limit when a participant brings more than kMaxPriorityUnits units of
// ability "4" (shot first while shielded): the battle keeps no more of them.
// Counted as the battle makes units: a building only from its level on.
void CheckPriorityUnits(const BattleInput& input, const DataTable& table);

// The rounds per battle of the options; rtl::EConvertError when they are no
// whole number, rtl::ERangeError when outside the option's range (a battle
// without rounds would end as a draw that was never fought). Either names
// the range.
int RunRounds(const BattleOptions& options);
// The battles of a statistics run, checked likewise: the run would
// otherwise stop after its first battle.
int RunBattles(const BattleOptions& options);

}  // namespace battle
