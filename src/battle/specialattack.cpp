// Special attacks: the Yamato cannon, the EMP and radiation strikes and the
// acid spores, each in its own rounds and behind its own technology.
#include <algorithm>
#include <cmath>
#include <string>

#include "battle/battleengine.h"
#include "rtl/convert.h"

namespace battle {
namespace {

// 250 * 2^(level - 1) must fit in 32 bits.
constexpr uint16_t kMaxYamatoLevel = 25;

// Whole number uniformly in [0, total of `counts`), walked down to a participant.
template <class Count>
bool DrawFromLists(rtl::Random& random, int participants, Count count, uint32_t& participant, uint64_t& index) {
    uint64_t total = 0;
    for (int p = 0; p < participants; ++p) total += count(p);
    if (total == 0) return false;
    uint32_t r = random.Next(static_cast<uint32_t>(total));
    // Stepped through without branches, as BattleEngine::Locate.
    int p = 0;
    for (int i = 1; i < participants; ++i) {
        const uint32_t listed = count(p);
        const bool beyond = r >= listed;
        r -= beyond ? listed : 0;
        p += beyond;
    }
    participant = static_cast<uint32_t>(p);
    index = r;
    return true;
}

}  // namespace

bool BattleEngine::SetOrgTarget(int side, uint32_t& participant, uint64_t& index) {
    CheckSide(side);
    return DrawFromLists(Draws(), Input.PartCount[side], [&](int p) { return units_[side][p].OrgTotal; },
                         participant, index);
}

bool BattleEngine::SetMehTarget(int side, uint32_t& participant, uint64_t& index) {
    CheckSide(side);
    return DrawFromLists(Draws(), Input.PartCount[side], [&](int p) { return units_[side][p].MehTotal; },
                         participant, index);
}

void BattleEngine::SpAttack(int side, const TBattleUnit& unit, int kind) {
    try {
        SpecialAttack(side, unit, kind);
    } catch (...) {
        FlushSlows();
        throw;
    }
    FlushSlows();
}

void BattleEngine::SpecialAttack(int side, const TBattleUnit& unit, int kind) {
    CheckSide(side);
    CheckSide(static_cast<int>(CurSide));
    if (CurPartIdx >= kParticipantSlots) throw rtl::ERangeError();
    const int targetSide = 3 - side;
    const uint16_t* tech = Input.TechLevel[CurSide][CurPartIdx];
    switch (kind) {
        case 1:
            // The draw comes before the technology is looked at.
            if (Round % 4 != 0) return;
            if (Draws().NextDouble() < 0.5 || tech[kTechYamato] == 0) return;
            Yamato(targetSide, tech[kTechYamato]);
            return;
        case 2:
            if (Round % 3 != 1 || tech[kTechEmpRadiation] == 0 || !HasMeh[targetSide]) return;
            EmpStrike(targetSide, unit, tech[kTechEmpRadiation]);
            return;
        case 3:
            if (Round % 2 != 1 || tech[kTechEmpRadiation] == 0 || !HasOrg[targetSide]) return;
            RadiationStrike(targetSide);
            return;
        case 4:
            if (tech[kTechAcidSpores] == 0) return;
            AcidSpores(targetSide, tech[kTechAcidSpores]);
            return;
        default:
            return;
    }
}

void BattleEngine::Yamato(int targetSide, uint16_t level) {
    if (level > kMaxYamatoLevel)
        throw rtl::ERangeError("Уровень технологии орудия Ямато " + std::to_string(level) +
                               " слишком велик: допустимо не более " + std::to_string(kMaxYamatoLevel));
    const uint32_t amount = 250u << (level - 1);
    TargetRef target;
    ConcentratedChance chance;
    if (!PickTarget(targetSide, target, chance)) return;
    TBattleUnit& hit = *target.unit;
    if (hit.Shield >= amount) {
        hit.Shield -= amount;
    } else {
        const int64_t rest = int64_t{amount} - hit.Shield;
        if (hit.Structure > rest) {
            hit.Structure -= rest;
            hit.Shield = 0;
        } else {
            hit.Shield = 0;
            hit.Structure = 0;
            hit.Destroyed = 1;
        }
    }
    if (fullLog_) {
        line_.Start() << "        орудие Ямато(" << amount << ") по ";
        AppendTarget(target) << " оставляя структуры: " << hit.Structure << " щиты: " << hit.Shield;
        Log(line_);
    }
}

// One unit of the target side, drawn from its organic or its mechanical list.
bool BattleEngine::PickFromKindList(int side, bool organic, TargetRef& target) {
    uint32_t p;
    uint64_t position;
    if (!(organic ? SetOrgTarget(side, p, position) : SetMehTarget(side, p, position))) return false;
    ParticipantUnits& u = units_[side][p];
    const uint32_t at = u.KindListPosition(organic, static_cast<uint32_t>(position));
    target = {&u.Records[at], side, p, at};
    return true;
}

void BattleEngine::EmpStrike(int targetSide, const TBattleUnit& unit, uint16_t level) {
    const int64_t strength = types_[unit.TypeRow].empStrength.Get();
    const uint8_t tries = rtl::CheckedNarrow<uint8_t>(int64_t{level} + 1);
    TargetRef target;
    for (int i = 0; i < tries && PickFromKindList(targetSide, false, target); ++i) {
        ParticipantUnits& u = units_[targetSide][target.participant];
        const uint32_t capacity = u.BaseShieldAt(target.position);
        const uint32_t lowered =
            capacity >= strength ? rtl::CheckedNarrow<uint32_t>(int64_t{capacity} - strength) : 0;
        if (lowered != capacity) u.OwnBaseShield(target.position) = lowered;
        if (fullLog_) {
            line_.Start() << "        Эми удар(" << strength << ") по ";
            AppendTarget(target) << " оставляя базовые щиты: " << lowered;
            Log(line_);
        }
    }
}

// 6 - log10 of the full structure, rounded. A unit without structure has no
// logarithm: the strike does nothing to it. Units of one type share their
// full structure, so the last answer is kept.
int64_t BattleEngine::RadiationLoss(int64_t maxStructure) {
    if (maxStructure != radiationStructure_) {
        radiationStructure_ = maxStructure;
        radiationLoss_ = maxStructure > 0 ? rtl::Round(6 - std::log10(static_cast<long double>(maxStructure))) : 0;
    }
    return radiationLoss_;
}

void BattleEngine::RadiationStrike(int targetSide) {
    TargetRef target;
    for (int i = 0; i < 5 && PickFromKindList(targetSide, true, target); ++i) {
        ParticipantUnits& u = units_[targetSide][target.participant];
        const UnitClass& c = u.ClassOfPosition(target.position);
        const int64_t d = RadiationLoss(c.MaxStructure);
        const int8_t regen = u.RegenAt(target.position, c);
        if (d > 0 && regen > -100) u.OwnRegen(target.position) = rtl::CheckedNarrow<int8_t>(regen - d);
        if (fullLog_) {
            line_.Start() << "        удар радиацией(" << d << ") по ";
            AppendTarget(target) << " снижая регенерацию до : " << u.RegenAt(target.position);
            Log(line_);
        }
    }
}

void BattleEngine::MarkSlowed(TBattleUnit& unit) {
    __builtin_prefetch(&unit, 1);
    TBattleUnit*& slot = pendingSlows_[pendingSlowCount_ % kPendingSlows];
    if (pendingSlowCount_ >= kPendingSlows) slot->Slowed = 1;
    slot = &unit;
    ++pendingSlowCount_;
}

void BattleEngine::FlushSlows() {
    for (unsigned i = 0; i < std::min(pendingSlowCount_, kPendingSlows); ++i) pendingSlows_[i]->Slowed = 1;
    pendingSlowCount_ = 0;
}

void BattleEngine::AcidSpores(int targetSide, uint16_t level) {
    const uint8_t tries = rtl::CheckedNarrow<uint8_t>(int64_t{level} + 1);
    int64_t pool = 50'000;
    for (int i = 0; i < tries; ++i) {
        uint32_t p, position;
        if (!DrawPosition(targetSide, p, position)) return;
        ParticipantUnits& u = units_[targetSide][p];
        TBattleUnit& hit = u.Records[position];
        // The class by the unit's place: the record is only written.
        const int64_t maxStructure = u.ClassOfPosition(position).MaxStructure;
        if (maxStructure < pool) {
            MarkSlowed(hit);
            if (__builtin_sub_overflow(pool, maxStructure, &pool)) throw rtl::ERangeError();
        }
        if (fullLog_) {
            line_.Start() << "        Удар кислотными спорами по ";
            AppendTarget({&hit, targetSide, p, position});
            Log(line_);
        }
    }
}

}  // namespace battle
