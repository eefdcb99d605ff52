// Between the attacks of two rounds: removal of destroyed units, the
// survivors and losses, and the shields and attack delays of the survivors.
#include <algorithm>
#include <utility>

#include "battle/battleengine.h"
#include "rtl/convert.h"

namespace battle {
namespace {

// The shield after a round: it regains column 13 percent of its capacity
// and stops at the capacity (which an EMP strike may have lowered below it).
// Computed exactly: shield + capacity * percent / 100, rounded halves to even.
template <class Wide>
uint32_t RegeneratedShield(uint32_t shield, uint32_t capacity, int64_t percent) {
    const Wide numerator = static_cast<Wide>(shield) * 100 + static_cast<Wide>(capacity) * percent;
    const bool full = numerator > static_cast<Wide>(capacity) * 100;
    Wide quotient = numerator / 100, remainder = numerator % 100;
    if (remainder < 0) {
        remainder += 100;
        quotient -= 1;
    }
    quotient += remainder > 50 || (remainder == 50 && (quotient & 1) != 0);
    if (!full && quotient < 0) throw rtl::ERangeError();
    // A choice rather than a branch: whether a unit was hit is anybody's guess.
    return full ? capacity : static_cast<uint32_t>(quotient);
}

uint32_t RegeneratedShield(uint32_t shield, uint32_t capacity, int64_t percent) {
    // With |percent| below 2^30 every term fits in 64 bits.
    if (percent > -(int64_t{1} << 30) && percent < (int64_t{1} << 30))
        return RegeneratedShield<int64_t>(shield, capacity, percent);
    return RegeneratedShield<__int128>(shield, capacity, percent);
}

}  // namespace

void ParticipantUnits::MakeBaseShields() {
    BaseShields.resize(Records.size());
    for (size_t k = 0; k < Records.size(); ++k) BaseShields[k] = Classes[ClassOfRow[Records[k].TypeRow]].BaseShield;
}

void ParticipantUnits::MakeRegens() {
    Regens.resize(Records.size());
    for (size_t k = 0; k < Records.size(); ++k) Regens[k] = Classes[ClassOfRow[Records[k].TypeRow]].Regen;
}

// The last class of the kind whose entries start at or before `index`:
// counted rather than searched, as ClassOfPosition.
uint32_t ParticipantUnits::KindListPosition(bool organic, uint32_t index) const {
    const UnitClass* at = nullptr;
    uint32_t start = 0, atStart = 0;
    for (const UnitClass& c : Classes) {
        if (c.Organic != organic) continue;
        const bool reached = index >= start;
        at = reached ? &c : at;
        atStart = reached ? start : atStart;
        start += c.Count;
    }
    if (index >= start) throw rtl::ERangeError();
    return at->First + (index - atStart);
}

void ParticipantUnits::CountLists() {
    OrgTotal = MehTotal = FlagshipTotal = 0;
    uint32_t priority = 0;
    for (const UnitClass& c : Classes) {
        (c.Organic ? OrgTotal : MehTotal) += c.Count;
        if (c.Priority) priority += c.Count;
        if (c.Flagship) FlagshipTotal += c.Count;
    }
    PriorityTotal = static_cast<uint8_t>(priority);
}

namespace {

// Shield regeneration and delay countdown of a living unit. The type's
// values are read once for all its units; a cell that cannot give one
// stops the battle at the first unit that needs it, through the cell.
class Recovery {
public:
    explicit Recovery(const UnitType& type)
        : type_(type),
          percent_(type.shieldRegen.Valid() ? type.shieldRegen.Get() : 0),
          period_{type.attackPeriod.ByteOrNone(0), type.attackPeriod.ByteOrNone(1)},
          percentValid_(type.shieldRegen.Valid()) {}

    void operator()(TBattleUnit& unit, uint32_t capacity) const {
        if (!percentValid_) type_.shieldRegen.Get();
        // A whole capacity or more regained fills any shield (the usual case).
        unit.Shield = percent_ >= 100 ? capacity : RegeneratedShield(unit.Shield, capacity, percent_);
        if (unit.FirstWait > 0) {
            --unit.FirstWait;
            if (unit.Slowed && !unit.SlowApplied) {
                unit.AttackWait = AsByte(unit.AttackWait + 1);
                unit.SlowApplied = 1;
            }
        } else if (unit.AttackWait > 0) {
            --unit.AttackWait;
        } else {
            const int period = period_[unit.Slowed];
            unit.AttackWait = period >= 0 ? static_cast<uint8_t>(period) : type_.attackPeriod.Byte(unit.Slowed);
        }
    }

private:
    const UnitType& type_;
    const int64_t percent_;
    const int period_[2];  // the attack period without and with a slow; -1 where it fails
    const bool percentValid_;
};

}  // namespace

void BattleEngine::RegenerateShieldsAndCountDelays() {
    for (int side = 1; side <= 2; ++side) {
        for (int p = 0; p < Input.PartCount[side]; ++p) {
            ParticipantUnits& u = units_[side][p];
            for (uint32_t k = 0; k < u.UnitTotal; ++k)
                Recovery{types_[u.Records[k].TypeRow]}(u.Records[k], u.BaseShieldAt(k));
        }
    }
}

uint32_t BattleEngine::delunits(int side, int participant, bool survivorLines) {
    return RemoveFromParticipant(side, participant, survivorLines, false);
}

// Survivors move to the front, keeping their order, and each class keeps
// its survivors together: the destroyed units end behind all of them.
uint32_t BattleEngine::RemoveFromParticipant(int side, int participant, bool survivorLines, bool recover) {
    CheckSide(side);
    if (participant < 0 || participant >= kParticipantSlots) throw rtl::ERangeError();
    ParticipantUnits& u = units_[side][participant];
    uint32_t* alive = TypeAlive[side][participant];
    TBattleUnit* const records = u.Records.data();
    const uint32_t* const ownShields = u.BaseShields.empty() ? nullptr : u.BaseShields.data();
    uint32_t kept = 0;
    for (UnitClass& c : u.Classes) {
        const Recovery recovery(types_[c.Row]);
        const uint32_t first = kept;
        for (uint32_t k = c.First, end = c.First + c.Count; k < end; ++k) {
            // Read and written in order, yet fetched ahead: the prefetcher alone falls behind.
            __builtin_prefetch(records + std::min(k + 32, u.UnitTotal - 1), 1);
            if (records[k].Destroyed == 1) continue;
            if (k != kept) u.SwapUnits(k, kept);
            if (survivorLines) WriteUnitLine(side, participant, kept);
            if (recover) recovery(records[kept], ownShields ? ownShields[kept] : c.BaseShield);
            ++kept;
        }
        c.First = first;
        c.Count = kept - first;
        alive[c.Row] += c.Count;
    }
    if (kept != u.UnitTotal) u.CountLists();
    return kept;
}

void BattleEngine::WriteUnitLine(int side, int participant, uint32_t position) {
    const ParticipantUnits& u = units_[side][participant];
    const TBattleUnit& unit = u.Records[position];
    line_.Start() << side << ":" << participant + 1 << ":" << u.NumberAt(position) << " " << TypeName(unit.TypeRow)
                  << " Структура:" << unit.Structure << " Щиты:" << unit.Shield
                  << " Повреждений нанесено:" << rtl::FloatToStr(u.DamageAt(position) / 10000.0L);
    Log(line_);
}

int64_t BattleEngine::TypeLoss(int side, int participant, int row) const {
    const uint32_t count = Input.ShipCount[side][participant][row];
    if (count == 0) return 0;
    const uint32_t alive = TypeAlive[side][participant][row];
    const UnitType& type = types_[row];
    const int64_t cost =
        rtl::CheckedAdd(rtl::CheckedAdd(type.metal.Get(), type.minerals.Get()), type.vespene.Get());
    if (!type.building) return rtl::CheckedMul(int64_t{count} - alive, cost);
    if (alive != 0 || count < type.buildingLevel.Get()) return 0;
    int64_t value = cost;
    const int levels = static_cast<int>(count % 256);
    for (int level = 2; level <= levels; ++level) value = rtl::CheckedMul(value, type.classOrGrowth.Get());
    return value;
}

void BattleEngine::RemoveDestroyedUnits(bool writeLog) { RemoveDestroyedUnits(writeLog, false); }

void BattleEngine::RemoveDestroyedUnits(bool writeLog, bool recoverSurvivors) {
    const bool summary = writeLog && !PodborMode;
    const bool unitLines = writeLog && fullLog_;
    for (int side = 1; side <= 2; ++side) SideAlive[side] = HasOrg[side] = HasMeh[side] = PriorityActive[side] = 0;
    if (summary) log_.Line("Уцелелевшие юниты");
    for (int side = 1; side <= 2; ++side) {
        if (summary) {
            line_.Start() << "сторона " << side;
            Log(line_);
        }
        for (int p = 0; p < Input.PartCount[side]; ++p) {
            ParticipantUnits& u = units_[side][p];
            if (u.UnitTotal == 0) continue;
            LossTotal[side][p] = 0;
            for (uint16_t row : u.Rows) TypeAlive[side][p][row] = 0;
            u.UnitTotal = RemoveFromParticipant(side, p, unitLines, recoverSurvivors);
            if (u.UnitTotal != 0) SideAlive[side] = 1;
            if (u.OrgTotal != 0) HasOrg[side] = 1;
            if (u.MehTotal != 0) HasMeh[side] = 1;
            if (u.PriorityTotal != 0) PriorityActive[side] = 1;
            for (uint16_t row : u.Rows)
                LossTotal[side][p] = rtl::CheckedAdd(LossTotal[side][p], TypeLoss(side, p, row));
            if (summary) WriteSurvivors(side, p);
        }
    }
}

void BattleEngine::WriteSurvivors(int side, int p) {
    line_.Start() << "Игрок: " << Input.PartName[side][p];
    Log(line_);
    for (uint16_t row : units_[side][p].Rows) {
        const UnitType& type = types_[row];
        if (type.building)
            line_.Start() << "      " << TypeName(row) << " " << TypeAlive[side][p][row] << " из 1";
        else
            line_.Start() << "    " << TypeName(row) << " " << TypeAlive[side][p][row] << " из "
                          << Input.ShipCount[side][p][row];
        Log(line_);
    }
    line_.Start() << "Потеряно единиц: " << LossTotal[side][p];
    Log(line_);
}

}  // namespace battle
