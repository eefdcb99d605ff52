// The ordinary attack: target choice, the hit, rapid fire, and the
// once-per-round exposure of flagships to concentrated fire.
#include <algorithm>

#include "battle/battleengine.h"
#include "rtl/convert.h"

namespace battle {
namespace {

inline void AddDamage(int64_t& damage, int64_t dealt) {
    int64_t times;
    if (__builtin_mul_overflow(dealt, int64_t{10000}, &times) || __builtin_add_overflow(damage, times, &damage))
        throw rtl::ERangeError();
}

// One hit of `attack` on the target; returns the damage to credit.
inline int64_t Hit(uint32_t attack, TBattleUnit& target, bool ignoresShield) {
    if (ignoresShield) {
        if (target.Structure > attack) {
            target.Structure -= attack;
            return attack;
        }
        const int64_t dealt = target.Structure;
        target.Shield = 0;
        target.Structure = 0;
        target.Destroyed = 1;
        return dealt;
    }
    if (target.Shield >= attack) {
        target.Shield -= attack;
        return attack;
    }
    const int64_t rest = int64_t{attack} - target.Shield;
    if (target.Structure > rest) {
        target.Structure -= rest;
        target.Shield = 0;
        return attack;
    }
    int64_t dealt;
    if (__builtin_add_overflow(target.Structure, int64_t{target.Shield}, &dealt)) throw rtl::ERangeError();
    target.Shield = 0;
    target.Structure = 0;
    target.Destroyed = 1;
    return dealt;
}

}  // namespace

// "name participant:unit" of a target, participants counted from 1.
LogLine& BattleEngine::AppendTarget(const TargetRef& target) {
    return line_ << TypeName(target.unit->TypeRow) << " " << target.participant + 1 << ":"
                 << units_[target.side][target.participant].NumberAt(target.position);
}

void BattleEngine::LogAttacker(int side, int row) {
    line_.Start() << "сторона " << side << " атакует " << TypeName(row) << " " << CurPartIdx + 1 << ":"
                  << units_[side][CurPartIdx].NumberAt(CurUnit) << "-->";
    Log(line_);
}

void BattleEngine::LogShot(const TargetRef& target) {
    line_.Start() << "        ";
    AppendTarget(target) << " оставляя структуры: " << target.unit->Structure << " щиты: " << target.unit->Shield;
    Log(line_);
}

bool BattleEngine::SetTarget2(int side, uint32_t& participant, uint64_t& index) {
    uint32_t position;
    if (!DrawPosition(side, participant, position)) return false;
    index = position;
    return true;
}

// The flagship that concentrated shots at `side` aim at, drawn anew when the
// current one is destroyed.
void BattleEngine::ConcentratedTarget(int side, TargetRef& target) {
    FlagshipRef& aim = FlagshipTarget[side];
    auto resolve = [&]() -> TBattleUnit& {
        if (aim.Participant >= Input.PartCount[side] || aim.Position >= units_[side][aim.Participant].UnitTotal)
            throw rtl::ERangeError();
        return units_[side][aim.Participant].Records[aim.Position];
    };
    if (resolve().Destroyed) SetConTarget(side, aim.Participant, aim.Position);
    target = {&resolve(), side, aim.Participant, static_cast<uint32_t>(aim.Position)};
}

// The shooter of a concentrated shot is the unit the round loop is at.
const TBattleUnit& BattleEngine::CurrentShooter() {
    CheckSide(static_cast<int>(CurSide));
    if (CurPartIdx >= kParticipantSlots || CurUnit >= units_[CurSide][CurPartIdx].UnitTotal)
        throw rtl::ERangeError();
    return units_[CurSide][CurPartIdx].Records[CurUnit];
}

double BattleEngine::ThresholdOf(ConcentratedChance& chance) {
    if (!chance.known) {
        chance.threshold = ChanceThreshold(types_[CurrentShooter().TypeRow].concentratedShot.Get());
        chance.known = true;
    }
    return chance.threshold;
}

bool BattleEngine::PickTarget(int side, TargetRef& target, ConcentratedChance& chance) {
    if (PriorityActive[side]) {
        for (uint32_t p = 0; p < Input.PartCount[side]; ++p) {
            ParticipantUnits& u = units_[side][p];
            if (u.PriorityTotal == 0) continue;
            for (const UnitClass& c : u.Classes) {
                if (!c.Priority) continue;
                for (uint32_t k = c.First; k < c.First + c.Count; ++k) {
                    if (u.Records[k].Shield == 0) continue;
                    target = {&u.Records[k], side, p, k};
                    return true;
                }
            }
        }
        PriorityActive[side] = 0;
    }
    if (FlagshipExposed[side]) {
        const double threshold = ThresholdOf(chance);
        if (Draws().NextDouble() < threshold) {
            ConcentratedTarget(side, target);
            return true;
        }
    }
    uint32_t p, position;
    if (!DrawPosition(side, p, position)) return false;
    target = {&units_[side][p].Records[position], side, p, position};
    return true;
}

bool BattleEngine::SetTarget(int side, uint32_t& participant, uint64_t& index) {
    CheckSide(side);
    TargetRef target;
    ConcentratedChance chance;
    if (!PickTarget(side, target, chance)) return false;
    participant = target.participant;
    index = target.position;
    return true;
}

void BattleEngine::SetConTarget(int side, uint32_t& participant, uint64_t& index) {
    CheckSide(side);
    bool anyAlive = false;
    for (int p = 0; p < Input.PartCount[side] && !anyAlive; ++p) {
        const ParticipantUnits& u = units_[side][p];
        if (u.FlagshipTotal == 0) continue;
        for (const UnitClass& c : u.Classes) {
            if (!c.Flagship) continue;
            for (uint32_t k = c.First; k < c.First + c.Count && !anyAlive; ++k) anyAlive = !u.Records[k].Destroyed;
        }
    }
    if (!anyAlive) {
        FlagshipExposed[side] = 0;
        return;
    }
    // A living flagship is listed, so the draws end; they are many where
    // flagships are few. A unit's class is told by its place, and only a
    // flagship's record is read; the generator stays in registers.
    const uint32_t total = static_cast<uint32_t>(SideUnitTotal(side));
    rtl::Random& shared = Draws();
    rtl::Random random = shared;
    uint32_t p, position;
    for (;;) {
        Locate(side, random.Next(total), p, position);
        const ParticipantUnits& u = units_[side][p];
        if (u.FlagshipTotal != 0 && u.ClassOfPosition(position).Flagship && !u.Records[position].Destroyed) break;
    }
    shared = random;
    participant = p;
    index = position;
}

bool BattleEngine::N_shot(int64_t n) {
    return RapidFireThreshold(n) <= Draws().NextDouble();
}

void BattleEngine::StartDrawingAhead(int targetSide, uint32_t targets, ConcentratedChance& chance) {
    const double threshold = FlagshipExposed[targetSide] ? ThresholdOf(chance) : -1;
    if (aheadSide_ == targetSide && aheadTotal_ == targets && aheadChance_ == threshold) return;
    Draws();
    aheadSide_ = targetSide;
    aheadUnits_ = units_[targetSide];
    aheadParticipants_ = Input.PartCount[targetSide];
    aheadTotal_ = targets;
    aheadChance_ = threshold;
    aheadBlocked_ = false;
    aheadRandom_ = random_;
    aheadUsed_ = aheadDrawn_ = 0;
}

// Fills the ring, but draws no more than have been taken since the start,
// so that a special attack that draws after every unit's few shots wastes
// little.
void BattleEngine::DrawAhead() {
    const unsigned count = std::min(kAheadShots - (aheadDrawn_ - aheadUsed_), std::max(aheadUsed_, 1u));
    // A local generator stays in registers: copying the member just after
    // its words were stored one by one would stall on every shot.
    rtl::Random random = aheadRandom_;
    ParticipantUnits* side = aheadUnits_;
    const uint32_t total = aheadTotal_;
    const bool exposed = aheadChance_ >= 0;
    for (unsigned i = 0; i < count; ++i) {
        AheadShot& shot = ahead_[aheadDrawn_++ % kAheadShots];
        shot.concentrated = exposed && random.NextDouble() < aheadChance_;
        if (shot.concentrated) {
            shot.afterTarget = random;
            aheadBlocked_ = true;
            break;
        }
        uint32_t p, position;
        Locate(side, aheadParticipants_, random.Next(total), p, position);
        shot.target = side[p].Records.data() + position;
        __builtin_prefetch(shot.target);
        shot.participant = p;
        shot.position = position;
        shot.afterTarget = random;
        shot.roll = random.NextDouble();
    }
    aheadRandom_ = random;
}

inline const BattleEngine::AheadShot& BattleEngine::NextAheadShot() {
    // Refilled by half a ring at a time, so that every record is fetched
    // well before its shot.
    if (aheadDrawn_ - aheadUsed_ < kAheadShots / 2 && !aheadBlocked_) DrawAhead();
    aheadRollTaken_ = false;
    return ahead_[aheadUsed_++ % kAheadShots];
}

void BattleEngine::StopDrawingAhead() {
    if (aheadUsed_ > 0) {
        random_ = ahead_[(aheadUsed_ - 1) % kAheadShots].afterTarget;
        if (aheadRollTaken_) random_.NextDouble();
    }
    aheadSide_ = 0;
}

BattleEngine::ShotRules BattleEngine::RulesOf(const UnitClass& unitClass, const UnitType& type) {
    return {unitClass.Attack, type.Has(kIgnoresShield), type.Has(kSelfDestructs), type.Has(kDisarms),
            type.rapidFire};
}

void BattleEngine::BaseAttack(int side, uint32_t participant, uint32_t position) {
    CheckSide(side);
    if (participant >= kParticipantSlots || position >= units_[side][participant].AllocTotal)
        throw rtl::ERangeError();
    ParticipantUnits& own = units_[side][participant];
    const UnitClass& unitClass = own.ClassAt(position);
    ConcentratedChance chance;
    try {
        Attack(side, own, position, static_cast<uint32_t>(SideUnitTotal(3 - side)),
               RulesOf(unitClass, types_[unitClass.Row]), chance, true);
    } catch (...) {
        Draws();
        throw;
    }
    Draws();
}

inline void BattleEngine::Attack(int side, ParticipantUnits& own, uint32_t position, uint32_t targets,
                                 const ShotRules& rules, ConcentratedChance& chance, bool drawAhead) {
    const int targetSide = 3 - side;
    // A side without units offers no target: the attack does not happen.
    if (targets == 0) return;
    TBattleUnit& unit = own.Records[position];
    const uint32_t attack = unit.Disarmed ? 0 : rules.attack;
    int64_t* damage = own.Damage.empty() ? nullptr : &own.Damage[position];
    uint64_t shots = 0;
    // The hit of one shot; returns the rapid-fire threshold against the target.
    auto shoot = [&](const TargetRef& target) {
        ++shots;
        TBattleUnit& hit = *target.unit;
        if (!hit.Destroyed) {
            if (rules.selfDestructs) unit.Destroyed = 1;
            const int64_t dealt = Hit(attack, hit, rules.ignoresShield);
            if (damage) AddDamage(*damage, dealt);
            if (fullLog_) LogShot(target);
        }
        return rules.rapidFire[hit.TypeRow];
    };
    // Whether the rapid fire goes on after a shot at `target`.
    auto again = [&](const TargetRef& target, double threshold, double roll) {
        if (threshold <= roll) return false;
        if (threshold > 1.0) types_.FailRapidFire(unit.TypeRow, target.unit->TypeRow);
        return true;
    };
    bool more = true;
    // Priority targets while there are (only the choice of a target ends
    // that mode, and nothing starts it again within an attack), and every
    // target where drawing ahead would not pay.
    while (more && (PriorityActive[targetSide] || !drawAhead)) {
        TargetRef target;
        PickTarget(targetSide, target, chance);
        const double threshold = shoot(target);
        more = again(target, threshold, Draws().NextDouble());
    }
    if (more) StartDrawingAhead(targetSide, targets, chance);
    while (more) {
        const AheadShot& ahead = NextAheadShot();
        if (ahead.concentrated) {
            StopDrawingAhead();
            TargetRef target;
            ConcentratedTarget(targetSide, target);
            const double threshold = shoot(target);
            more = again(target, threshold, Draws().NextDouble());
            if (more) StartDrawingAhead(targetSide, targets, chance);
        } else {
            const TargetRef target{ahead.target, targetSide, ahead.participant, ahead.position};
            const double threshold = shoot(target);
            aheadRollTaken_ = true;
            more = again(target, threshold, ahead.roll);
        }
    }
    ShotCount += shots;
    if (rules.disarms) {
        unit.Disarmed = 1;
        unit.FirstWait = 254;
        unit.AttackWait = 254;
    }
}

// How many records ahead of the shooter its successors are fetched.
constexpr uint32_t kShooterAhead = 16;

void BattleEngine::AttackPhase() {
    try {
        for (CurSide = 1; CurSide <= 2; ++CurSide) {
            const int side = static_cast<int>(CurSide);
            for (CurPartIdx = 0; CurPartIdx < Input.PartCount[side]; ++CurPartIdx) {
                ParticipantUnits& u = units_[side][CurPartIdx];
                if (u.UnitTotal == 0) continue;
                const uint32_t step = std::max<uint32_t>(u.UnitTotal / 100, 10'000);
                line_.Start() << "% (Атака игрока " << Input.PartName[side][CurPartIdx] << ")";
                output_.SetUnitGauge(u.UnitTotal, line_.View());
                // Listed units do not change before the removal.
                const uint32_t targets = static_cast<uint32_t>(SideUnitTotal(3 - side));
                uint32_t untilProgress = 0;
                CurUnit = 0;
                for (const UnitClass& c : u.Classes) {
                    const UnitType& type = types_[c.Row];
                    const ShotRules rules = RulesOf(c, type);
                    // The shooter's type and so its chance are the class's.
                    ConcentratedChance chance;
                    bool drawAhead = true;
                    for (const uint32_t end = c.First + c.Count; CurUnit < end; ++CurUnit) {
                        if (untilProgress-- == 0) {
                            output_.SetUnitProgress(CurUnit);
                            untilProgress = step - 1;
                        }
                        // The shooters are read in order, but the shots' random
                        // records crowd them out of the cache.
                        __builtin_prefetch(&u.Records[std::min(CurUnit + kShooterAhead, u.UnitTotal - 1)]);
                        const TBattleUnit& unit = u.Records[CurUnit];
                        if (unit.AttackWait == 0 && unit.FirstWait == 0) {
                            if (fullLog_) LogAttacker(side, c.Row);
                            Attack(side, u, CurUnit, targets, rules, chance, drawAhead);
                        }
                        // Special attacks, whatever the delays and even when destroyed.
                        if (type.hasSpecial1) {
                            const bool wasAhead = aheadSide_ != 0;
                            SpecialAttack(side, unit, type.special1.Byte());
                            if (type.hasSpecial2) SpecialAttack(side, unit, type.special2.Byte());
                            // Where they draw between the units' shots, the class's
                            // next shots draw at once.
                            if (wasAhead && aheadSide_ == 0) drawAhead = false;
                        }
                    }
                }
            }
        }
    } catch (...) {
        Draws();
        FlushSlows();
        throw;
    }
    Draws();
    FlushSlows();
    CurSide = 2;
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
