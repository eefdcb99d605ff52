// What is checked before a run or a battle starts, so that neither starts on
// input it cannot honour.
#pragma once
#include <cstdint>

#include "battle/battleinput.h"
#include "battle/battleports.h"
#include "battle/datatable.h"

namespace battle {

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
// whole number, rtl::ERangeError when fewer than one (a battle without rounds
// would end as a draw that was never fought).
int RunRounds(const BattleOptions& options);

}  // namespace battle
