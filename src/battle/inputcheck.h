// What is checked before a run or a battle starts, so that neither starts on
// input it cannot honour.
#pragma once
#include <cstdint>
#include <limits>
#include <string>

#include "battle/battleinput.h"
#include "battle/battleports.h"
#include "battle/datatable.h"

namespace battle {

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
