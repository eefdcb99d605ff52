// One unit in a battle and the limits of the battle's lists.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <new>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

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

// Memory for the records of large battles in 2 MB pages where the system
// offers them: shots land on random records, and with small pages nearly
// every shot would also miss the address translation cache. Only whole
// large pages are asked for, so that no memory is taken beyond the records.
template <class T>
struct RecordAllocator {
    using value_type = T;
    static constexpr size_t kLargePage = size_t{2} << 20;

    RecordAllocator() = default;
    template <class U>
    RecordAllocator(const RecordAllocator<U>&) {}

    T* allocate(size_t n) {
        const size_t bytes = n * sizeof(T);
        if (bytes < 2 * kLargePage) return static_cast<T*>(::operator new(bytes));
        void* p = nullptr;
        if (posix_memalign(&p, kLargePage, bytes) != 0) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
        madvise(p, bytes / kLargePage * kLargePage, MADV_HUGEPAGE);
#endif
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t n) {
        if (n * sizeof(T) < 2 * kLargePage)
            ::operator delete(p);
        else
            std::free(p);
    }
    template <class U>
    bool operator==(const RecordAllocator<U>&) const { return true; }
};

// The record's delays and the special-attack kinds are bytes: a value beyond
// one stops the battle with the range error.
inline uint8_t AsByte(int64_t value) { return rtl::CheckedNarrow<uint8_t>(value); }

}  // namespace battle
