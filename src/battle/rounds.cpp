// The battle's rounds: flagship check, attacks, regeneration, removal, then
// shields and attack delays.
#include <algorithm>

#include "battle/battleengine.h"
#include "rtl/convert.h"

namespace battle {

BattleEngine::BattleEngine(const DataTable& table, const BattleOptions& options, BattleOutput& output,
                           rtl::Random& random)
    : table_(table), options_(options), output_(output), random_(random) {}

void BattleEngine::PrepareBattle() {
    preparebatle();
    output_.Log("Инициация ядра");
    line_.Start() << "Симулируется бой " << BattleNo << "/" << options_.BattlesText();
    Log(line_);
    SideAlive[1] = SideAlive[2] = 1;
    rounds_ = rtl::StrToInt(options_.RoundsText());
    if (PodborMode)
        line_.Start() << "% (бой №" << PodborBattle << "\\" << BattleNo << ")";
    else
        line_.Start() << "% (бой №" << BattleNo << ")";
    output_.SetRoundGauge(int64_t{rounds_} + 1, line_.View());
}

void BattleEngine::FightRounds() {
    for (int64_t round = 1; round <= rounds_; ++round) {
        if (!SideAlive[1] || !SideAlive[2]) break;
        Round = static_cast<uint32_t>(round);
        FightRound();
    }
}

void BattleEngine::FightRound() {
    fullLog_ = options_.FullLog();
    output_.SetRoundProgress(Round);
    if (!PodborMode) {
        line_.Start() << "Раунд " << Round << "/" << options_.RoundsText();
        Log(line_);
    }
    Calkyiaz();
    AttackPhase();
    RegenerateOrganic();
    // Removal, and shields and delays of the survivors, in one pass.
    RemoveDestroyedUnits(true, true);
    if (!PodborMode) output_.Log("-------------------------------------------");
}

void BattleEngine::AttackPhase() {
    for (CurSide = 1; CurSide <= 2; ++CurSide) {
        const int side = static_cast<int>(CurSide);
        for (CurPartIdx = 0; CurPartIdx < Input.PartCount[side]; ++CurPartIdx) {
            ParticipantUnits& u = units_[side][CurPartIdx];
            if (u.UnitTotal == 0) continue;
            predictedSide_ = 0;
            const uint32_t step = std::max<uint32_t>(u.UnitTotal / 100, 10'000);
            line_.Start() << "% (Атака игрока " << Input.PartName[side][CurPartIdx] << ")";
            output_.SetUnitGauge(u.UnitTotal, line_.View());
            for (CurUnit = 0; CurUnit < u.UnitTotal; ++CurUnit) {
                if (CurUnit % step == 0) output_.SetUnitProgress(CurUnit);
                TBattleUnit& unit = u.AtPosition(CurUnit);
                const UnitType& type = types_[unit.TypeRow];
                if (unit.AttackWait == 0 && unit.FirstWait == 0) {
                    if (fullLog_) {
                        line_.Start() << "сторона " << side << " атакует " << TypeName(unit.TypeRow) << " " << CurPartIdx + 1
                                      << ":" << u.NumberAt(CurUnit) << "-->";
                        Log(line_);
                    }
                    BaseAttack(side, unit);
                }
                // Special attacks, whatever the delays and even when destroyed.
                if (type.hasSpecial1) {
                    SpAttack(side, unit, AsByte(type.special1.Get()));
                    if (type.hasSpecial2) SpAttack(side, unit, AsByte(type.special2.Get()));
                }
            }
        }
    }
    CurSide = 2;
}

void BattleEngine::RegenerateOrganic() {
    for (int side = 1; side <= 2; ++side) {
        for (int p = 0; p < Input.PartCount[side]; ++p) {
            ParticipantUnits& u = units_[side][p];
            for (uint32_t i = 0; i < u.OrgTotal; ++i) {
                TBattleUnit& unit = u.BattleUnits[u.OrgUnits[i]];
                const long double gain = rtl::CheckedMul(unit.MaxStructure, unit.Regen) * 0.01L;
                const long double next = unit.Structure + gain;
                if (unit.Regen < 1) {
                    const int64_t x = rtl::Round(next);
                    if (x <= 0)
                        unit.Destroyed = 1;
                    else
                        unit.Structure = x;
                } else if (next >= unit.MaxStructure) {
                    unit.Structure = unit.MaxStructure;
                } else {
                    unit.Structure = rtl::Round(next);
                }
            }
        }
    }
}

void BattleEngine::FreeUnits() {
    for (int side = 1; side <= 2; ++side) {
        for (auto& u : units_[side]) {
            u.UnitTotal = u.OrgTotal = u.MehTotal = u.AllocTotal = u.FlagshipTotal = 0;
            u.PriorityTotal = 0;
            decltype(u.BattleUnits)().swap(u.BattleUnits);
            decltype(u.UnitOrder)().swap(u.UnitOrder);
            decltype(u.OrgUnits)().swap(u.OrgUnits);
            decltype(u.MehUnits)().swap(u.MehUnits);
            std::vector<uint32_t>().swap(u.Flagships);
            u.OrderIsIdentity = true;
        }
    }
}

}  // namespace battle
