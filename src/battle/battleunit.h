// One unit in a battle and the limits of the battle's lists.
#pragma once
#include <cstdint>

#include "rtl/convert.h"

namespace battle {

// Sides are 1 and 2; arrays indexed by side have a slot 0 that is never used.
inline constexpr int kSideSlots = 3;
// Participants 0..6 (the fleet entry allows six a side).
inline constexpr int kParticipantSlots = 7;
inline constexpr uint32_t kMaxUnitsPerParticipant = 4'000'000;
inline constexpr int kMaxPriorityUnits = 11;

// The record of one unit. The fields a shot reads and writes on its target
// come first and fit in 16 bytes, so with 48-byte records a shot touches one
// cache line of the target.
struct alignas(16) TBattleUnit {
    int64_t Structure;      // current structure
    uint32_t Shield;        // current shield
    uint16_t TypeRow;       // database row of the unit's type
    uint8_t Destroyed;      // 1 = destroyed
    uint8_t FirstWait;      // rounds to wait before the attack period starts counting
    int64_t MaxStructure;   // full structure after bonuses
    int64_t Damage;         // damage dealt, times 10000
    uint32_t Attack;        // attack after bonuses
    uint32_t BaseShield;    // shield capacity; regeneration fills up to it
    uint8_t AttackWait;     // rounds to wait before the next attack
    int8_t Regen;           // structure regeneration, percent of MaxStructure per round
    uint8_t Slowed;         // hit by acid spores
    uint8_t SlowApplied;    // the slow was added to a running FirstWait
};
static_assert(sizeof(TBattleUnit) == 48);

// The record's delays and the special-attack kinds are bytes: a value beyond
// one stops the battle with the range error.
inline uint8_t AsByte(int64_t value) { return rtl::CheckedNarrow<uint8_t>(value); }

}  // namespace battle
