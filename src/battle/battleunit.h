// One unit in a battle and the limits of the battle's lists.
#pragma once
#include <cstdint>

#include "battle/datatable.h"
#include "rtl/convert.h"

namespace battle {

// Sides are 1 and 2; arrays indexed by side have a slot 0 that is never used.
inline constexpr int kSideSlots = 3;
// Participants 0..6 (the fleet entry allows six a side).
inline constexpr int kParticipantSlots = 7;
inline constexpr uint32_t kMaxUnitsPerParticipant = 4'000'000;
inline constexpr int kMaxPriorityUnits = 11;

// The record of one unit: only what changes during a battle and what every
// shot at it reads. What the units of one type and participant share
// (attack, full structure, shield capacity, regeneration) is their
// UnitClass; the values that a battle makes differ per unit only now and
// then lie in columns beside the records (see ParticipantUnits). Four
// records share a cache line, so a shot touches one line of its target.
struct TBattleUnit {
    int64_t Structure;         // current structure
    uint32_t Shield;           // current shield
    uint16_t TypeRow : 10;     // database row of the unit's type
    uint16_t Destroyed : 1;    // 1 = destroyed
    uint16_t Slowed : 1;       // hit by acid spores
    uint16_t SlowApplied : 1;  // the slow was added to a running FirstWait
    uint16_t Disarmed : 1;     // fired its one attack (ability "7"): attack 0 from then on
    uint8_t FirstWait;         // rounds to wait before the attack period starts counting
    uint8_t AttackWait;        // rounds to wait before the next attack
};
static_assert(sizeof(TBattleUnit) == 16);
static_assert(kRowCount <= 1 << 10, "TypeRow holds every database row");

// The record's delays and the special-attack kinds are bytes: a value beyond
// one stops the battle with the range error.
inline uint8_t AsByte(int64_t value) { return rtl::CheckedNarrow<uint8_t>(value); }

}  // namespace battle
