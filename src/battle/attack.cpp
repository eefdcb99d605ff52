// The ordinary attack: target choice, the hit, rapid fire, and the
// once-per-round exposure of flagships to concentrated fire.
#include "battle/battleengine.h"
#include "rtl/convert.h"

namespace battle {
namespace {

inline void AddDamage(TBattleUnit& shooter, int64_t amount) {
    if (__builtin_add_overflow(shooter.Damage, amount, &shooter.Damage)) throw rtl::ERangeError();
}

inline int64_t TimesTenThousand(int64_t value) {
    int64_t r;
    if (__builtin_mul_overflow(value, int64_t{10000}, &r)) throw rtl::ERangeError();
    return r;
}

// One hit of `attack` on the target, credited to the shooter.
inline void Hit(TBattleUnit& shooter, TBattleUnit& target, bool ignoresShield) {
    const uint32_t attack = shooter.Attack;
    if (ignoresShield) {
        if (target.Structure > attack) {
            target.Structure -= attack;
            AddDamage(shooter, int64_t{attack} * 10000);
        } else {
            AddDamage(shooter, TimesTenThousand(target.Structure));
            target.Shield = 0;
            target.Structure = 0;
            target.Destroyed = 1;
        }
    } else if (target.Shield >= attack) {
        target.Shield -= attack;
        AddDamage(shooter, int64_t{attack} * 10000);
    } else {
        const int64_t rest = int64_t{attack} - target.Shield;
        if (target.Structure > rest) {
            target.Structure -= rest;
            target.Shield = 0;
            AddDamage(shooter, int64_t{attack} * 10000);
        } else {
            int64_t sum;
            if (__builtin_add_overflow(target.Structure, int64_t{target.Shield}, &sum)) throw rtl::ERangeError();
            AddDamage(shooter, TimesTenThousand(sum));
            target.Shield = 0;
            target.Structure = 0;
            target.Destroyed = 1;
        }
    }
}

}  // namespace

// "name participant:unit" of a target, participants counted from 1.
LogLine& BattleEngine::AppendTarget(const TargetRef& target) {
    return line_ << TypeName(target.unit->TypeRow) << " " << target.participant + 1 << ":"
                 << target.unitNumber;
}

void BattleEngine::CheckSide(int side) const {
    if (side != 1 && side != 2) throw rtl::ERangeError();
}

uint64_t BattleEngine::SideUnitTotal(int side) const {
    uint64_t total = 0;
    for (int p = 0; p < Input.PartCount[side]; ++p) total += units_[side][p].UnitTotal;
    return total;
}

bool BattleEngine::SetTarget2(int side, uint32_t& participant, uint64_t& index) {
    const uint64_t total = SideUnitTotal(side);
    if (total == 0) return false;
    uint32_t r = random_.Next(static_cast<uint32_t>(total));
    uint32_t p = 0;
    while (r >= units_[side][p].UnitTotal) {
        r -= units_[side][p].UnitTotal;
        ++p;
    }
    participant = p;
    index = r;
    return true;
}

// The flagship that concentrated shots at `side` aim at, drawn anew when the
// current one is destroyed.
void BattleEngine::ConcentratedTarget(int side, TargetRef& target) {
    FlagshipRef& aim = FlagshipTarget[side];
    auto resolve = [&]() -> TBattleUnit& {
        if (aim.Participant >= Input.PartCount[side] ||
            aim.Position >= units_[side][aim.Participant].UnitTotal)
            throw rtl::ERangeError();
        return units_[side][aim.Participant].AtPosition(static_cast<uint32_t>(aim.Position));
    };
    if (resolve().Destroyed) SetConTarget(side, aim.Participant, aim.Position);
    const ParticipantUnits& u = units_[side][aim.Participant];
    target.unit = &resolve();
    target.participant = aim.Participant;
    target.index = aim.Position;
    target.unitNumber = u.NumberAt(static_cast<uint32_t>(aim.Position));
}

// The shooter of a concentrated shot is the unit the round loop is at.
const TBattleUnit& BattleEngine::CurrentShooter() {
    CheckSide(static_cast<int>(CurSide));
    if (CurPartIdx >= kParticipantSlots || CurUnit >= units_[CurSide][CurPartIdx].UnitTotal)
        throw rtl::ERangeError();
    return units_[CurSide][CurPartIdx].AtPosition(CurUnit);
}

bool BattleEngine::PickTarget(int side, TargetRef& target) {
    if (PriorityActive[side]) {
        for (uint32_t p = 0; p < Input.PartCount[side]; ++p) {
            ParticipantUnits& u = units_[side][p];
            for (int i = 0; i < u.PriorityTotal; ++i) {
                const uint32_t number = u.PriorityUnits[i];
                TBattleUnit& unit = u.BattleUnits[number];
                if (!types_[unit.TypeRow].Has(kPriority) || unit.Shield == 0) continue;
                target = {&unit, p, number, number};
                return true;
            }
        }
        PriorityActive[side] = 0;
    }
    if (FlagshipExposed[side]) {
        const int64_t chance = types_[CurrentShooter().TypeRow].concentratedShot.Get();
        if (chance / 100.0L > random_.NextDouble()) {
            ConcentratedTarget(side, target);
            return true;
        }
    }
    uint32_t p;
    uint64_t position;
    if (!SetTarget2(side, p, position)) return false;
    ParticipantUnits& u = units_[side][p];
    const uint32_t number = u.NumberAt(static_cast<uint32_t>(position));
    target = {&u.BattleUnits[number], p, number, position};
    return true;
}

bool BattleEngine::SetTarget(int side, uint32_t& participant, uint64_t& index) {
    CheckSide(side);
    TargetRef target;
    if (!PickTarget(side, target)) return false;
    participant = target.participant;
    index = target.index;
    return true;
}

void BattleEngine::SetConTarget(int side, uint32_t& participant, uint64_t& index) {
    CheckSide(side);
    bool anyAlive = false;
    for (int p = 0; p < Input.PartCount[side] && !anyAlive; ++p) {
        const ParticipantUnits& u = units_[side][p];
        for (uint32_t i = 0; i < u.FlagshipTotal; ++i)
            if (!u.BattleUnits[u.Flagships[i]].Destroyed) {
                anyAlive = true;
                break;
            }
    }
    if (!anyAlive) {
        FlagshipExposed[side] = 0;
        return;
    }
    for (;;) {
        if (!SetTarget2(side, participant, index)) {
            FlagshipExposed[side] = 0;
            return;
        }
        const TBattleUnit& unit = units_[side][participant].AtPosition(static_cast<uint32_t>(index));
        if (!unit.Destroyed && types_[unit.TypeRow].flagship) return;
    }
}

bool BattleEngine::N_shot(int64_t n) {
    return RapidFireThreshold(n) <= random_.NextDouble();
}

// Plain shots draw their target and then their rapid fire. Running a copy of
// the generator ahead in that pattern tells which records the next shots
// will hit, so they are fetched into the cache while earlier shots are
// resolved. Where the real draws go otherwise, a fetch is merely wasted.
void BattleEngine::StartPrediction(int targetSide) {
    predictedSide_ = 0;
    if (PriorityActive[targetSide] || FlagshipExposed[targetSide]) return;
    predictedTotal_ = static_cast<uint32_t>(SideUnitTotal(targetSide));
    if (predictedTotal_ == 0) return;
    predictedSide_ = targetSide;
    ahead_ = random_;
    for (int i = 0; i < kPrefetchShots; ++i) PredictNextShot();
}

void BattleEngine::PredictNextShot() {
    ParticipantUnits* side = units_[predictedSide_];
    const uint32_t parts = Input.PartCount[predictedSide_];
    uint32_t r = ahead_.Next(predictedTotal_);
    ahead_.NextDouble();
    uint32_t p = 0;
    while (p < parts && r >= side[p].UnitTotal) r -= side[p++].UnitTotal;
    if (p == parts) return;
    // Far ahead, the list entry (or the record itself); halfway, the record
    // that the entry, fetched by now, names.
    const unsigned slot = predictedNext_++ % kPrefetchShots;
    predicted_[slot] = {p, r};
    if (side[p].OrderIsIdentity)
        __builtin_prefetch(side[p].BattleUnits.data() + r, 1);
    else
        __builtin_prefetch(side[p].UnitOrder.data() + r);
    const PredictedShot half = predicted_[(slot + kPrefetchShots / 2) % kPrefetchShots];
    const ParticipantUnits& u = side[half.participant];
    if (!u.OrderIsIdentity && half.position < u.UnitTotal)
        __builtin_prefetch(u.BattleUnits.data() + u.UnitOrder[half.position], 1);
}

void BattleEngine::BaseAttack(int side, TBattleUnit& unit) {
    CheckSide(side);
    const int targetSide = 3 - side;
    // A side without units offers no target: the attack does not happen.
    const uint64_t targets = SideUnitTotal(targetSide);
    if (targets == 0) return;
    ParticipantUnits* targetUnits = units_[targetSide];
    const UnitType& type = types_[unit.TypeRow];
    const bool ignoresShield = type.Has(kIgnoresShield);
    const bool selfDestructs = type.Has(kSelfDestructs);
    const double* rapidFire = type.rapidFire;
    TargetRef target;
    uint64_t shots = 0;
    for (;;) {
        ++shots;
        if (PriorityActive[targetSide] || FlagshipExposed[targetSide]) {
            predictedSide_ = 0;
            PickTarget(targetSide, target);
        } else {
            if (predictedSide_ == targetSide && predictedTotal_ == targets)
                PredictNextShot();
            else
                StartPrediction(targetSide);
            // The random choice of SetTarget, inline.
            uint32_t r = random_.Next(static_cast<uint32_t>(targets));
            uint32_t p = 0;
            while (r >= targetUnits[p].UnitTotal) r -= targetUnits[p++].UnitTotal;
            const uint32_t number = targetUnits[p].NumberAt(r);
            target = {&targetUnits[p].BattleUnits[number], p, number, r};
        }
        TBattleUnit& hit = *target.unit;
        if (!hit.Destroyed) {
            if (selfDestructs) unit.Destroyed = 1;
            Hit(unit, hit, ignoresShield);
            if (fullLog_) {
                line_.Start() << "        ";
                AppendTarget(target) << " оставляя структуры: " << hit.Structure << " щиты: " << hit.Shield;
                Log(line_);
            }
        }
        const double threshold = rapidFire[hit.TypeRow];
        if (threshold <= random_.NextDouble()) break;
        if (threshold > 1.0) types_.FailRapidFire(unit.TypeRow, hit.TypeRow);
    }
    ShotCount += shots;
    if (type.Has(kDisarms)) {
        unit.Attack = 0;
        unit.FirstWait = 254;
        unit.AttackWait = 254;
    }
}

void BattleEngine::Calkyiaz() {
    FlagshipExposed[1] = FlagshipExposed[2] = 0;
    double escort[kSideSlots] = {}, flagship[kSideSlots] = {};
    auto add = [](double& sum, int64_t value) {
        sum = static_cast<double>(static_cast<long double>(sum) + static_cast<long double>(value));
    };
    for (int side = 1; side <= 2; ++side) {
        for (int p = 0; p < Input.PartCount[side]; ++p) {
            const ParticipantUnits& u = units_[side][p];
            if (u.UnitTotal == 0) continue;
            // The living units per type: every removal (and the preparation)
            // has just counted them, and nothing has been destroyed since.
            const uint32_t* alive = TypeAlive[side][p];
            for (uint16_t row : u.Rows) {
                const int64_t count = alive[row];
                if (count == 0) continue;
                const int64_t v = types_[row].structure.Get();
                if (v < 30'000)
                    add(escort[side], rtl::CheckedMul(v, count));
                else if (v < 70'000)
                    add(escort[side], rtl::CheckedMul(rtl::Round(v * 0.5L), count));
                else if (v < 150'000)
                    add(escort[side], rtl::CheckedMul(rtl::Round(v * 0.2L), count));
                else if (v > kFlagshipStructure)
                    add(flagship[side], rtl::CheckedMul(v, count));
            }
        }
    }
    for (int side = 1; side <= 2; ++side) {
        if (0.3L * flagship[side] > escort[side]) {
            // Exposed only with a living flagship to aim at (escort weights
            // below zero could otherwise expose a side that has none).
            FlagshipExposed[side] = 1;
            SetConTarget(side, FlagshipTarget[side].Participant, FlagshipTarget[side].Position);
            if (FlagshipExposed[side] && fullLog_) {
                line_.Start() << "Сторона " << side << " открыта уязвимость флагманов";
                Log(line_);
            }
        }
    }
}

}  // namespace battle
