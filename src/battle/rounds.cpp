// The battle's rounds: flagship check, attacks, regeneration, removal, then
// shields and attack delays.
#include <algorithm>
#include <climits>

#include "battle/battleengine.h"
#include "rtl/convert.h"

namespace battle {

BattleEngine::BattleEngine(const DataTable& table, const BattleOptions& options, BattleOutput& output,
                           rtl::Random& random)
    : table_(table), options_(options), output_(output), random_(random) {}

void BattleEngine::PrepareBattle() {
    log_.Start();
    preparebatle();
    log_.Line("Инициация ядра");
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
    try {
        for (int64_t round = 1; round <= rounds_; ++round) {
            if (!SideAlive[1] || !SideAlive[2]) break;
            Round = static_cast<uint32_t>(round);
            FightRound();
        }
    } catch (...) {
        // The log shows the last rounds before what stopped the battle.
        log_.End();
        throw;
    }
    log_.End();
}

void BattleEngine::FightRound() {
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
    if (!PodborMode) log_.Line("-------------------------------------------");
}

namespace {

// Rounding of a regenerated structure. Most are whole numbers already, and
// they need not go through the general rounding, which is slow.
int64_t RoundStructure(long double value) {
    constexpr long double kLimit = 9223372036854775808.0L;  // 2^63
    if (value > -kLimit && value < kLimit) {
        const int64_t whole = static_cast<int64_t>(value);
        if (whole == value) return whole;
    }
    return rtl::Round(value);
}

}  // namespace

void BattleEngine::RegenerateOrganic() {
    for (int side = 1; side <= 2; ++side) {
        for (int p = 0; p < Input.PartCount[side]; ++p) {
            ParticipantUnits& u = units_[side][p];
            if (u.OrgTotal == 0) continue;
            for (const UnitClass& c : u.Classes) {
                if (!c.Organic) continue;
                // Most units of a class regenerate alike: the gain is kept.
                int regenOfGain = INT_MIN;
                long double gain = 0;
                for (uint32_t k = c.First; k < c.First + c.Count; ++k) {
                    TBattleUnit& unit = u.Records[k];
                    const int8_t regen = u.RegenAt(k, c);
                    if (regen != regenOfGain) {
                        gain = rtl::CheckedMul(c.MaxStructure, regen) * 0.01L;
                        regenOfGain = regen;
                    }
                    const long double next = unit.Structure + gain;
                    if (regen < 1) {
                        const int64_t x = RoundStructure(next);
                        if (x <= 0)
                            unit.Destroyed = 1;
                        else
                            unit.Structure = x;
                    } else if (next >= c.MaxStructure) {
                        unit.Structure = c.MaxStructure;
                    } else {
                        unit.Structure = RoundStructure(next);
                    }
                }
            }
        }
    }
}

void BattleEngine::FreeUnits() {
    Draws();
    for (int side = 1; side <= 2; ++side) {
        for (auto& u : units_[side]) {
            u.UnitTotal = u.OrgTotal = u.MehTotal = u.AllocTotal = u.FlagshipTotal = 0;
            u.PriorityTotal = 0;
            decltype(u.Records)().swap(u.Records);
            decltype(u.Classes)().swap(u.Classes);
            decltype(u.Numbers)().swap(u.Numbers);
            decltype(u.Damage)().swap(u.Damage);
            decltype(u.BaseShields)().swap(u.BaseShields);
            decltype(u.Regens)().swap(u.Regens);
        }
    }
}

}  // namespace battle
