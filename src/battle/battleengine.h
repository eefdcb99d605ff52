// The battle: unit records built from the fleet entry's inputs and the game
// database, and the rounds fought on them.
//
// One battle, as the main window's battle timer runs it:
//   1. the window writes its opening log lines and stores the editors into
//      `Input` (and sets `BattleNo`, `PodborMode`, `PodborBattle`);
//   2. `PrepareBattle()` builds the records and sets up the round gauge;
//   3. `FightRounds()` fights up to the set number of rounds;
//   4. the end of the battle reads the public state (survivors in
//      `TypeAlive`, losses through `TypeLoss`, the lists and records) and
//      calls `FreeUnits()`.
// Run-time errors (a cell or option that is not a whole number, a value
// beyond the range of its field) are thrown as rtl::ERuntimeError; the
// caller shows the text and the battle stops there. The next
// `PrepareBattle()` starts from nothing again.
#pragma once
#include <cstdint>
#include <vector>

#include "battle/battleinput.h"
#include "battle/battleports.h"
#include "battle/battletypes.h"
#include "battle/battleunit.h"
#include "battle/datatable.h"
#include "battle/logline.h"
#include "rtl/random.h"

namespace battle {

// The units of one participant in a battle. Every list holds unit numbers:
// indexes into `BattleUnits`, which never moves during a battle.
struct ParticipantUnits {
    std::vector<TBattleUnit> BattleUnits;  // creation order; AllocTotal records
    std::vector<uint32_t> UnitOrder;       // the first UnitTotal entries are the living units
    std::vector<uint32_t> OrgUnits;        // organic units (ability "3"), OrgTotal entries
    std::vector<uint32_t> MehUnits;        // all other units, MehTotal entries
    uint32_t PriorityUnits[kMaxPriorityUnits] = {};  // ability "4", PriorityTotal entries
    uint32_t UnitTotal = 0, OrgTotal = 0, MehTotal = 0, AllocTotal = 0;
    uint8_t PriorityTotal = 0;
    // Flagship units, kept like the lists above, so that looking for a living
    // flagship does not walk every unit.
    std::vector<uint32_t> Flagships;
    uint32_t FlagshipTotal = 0;
    // The rows with a ShipCount other than 0, ascending.
    std::vector<uint16_t> Rows;
    // No unit has left UnitOrder yet, so position n holds unit n.
    bool OrderIsIdentity = true;

    TBattleUnit& AtPosition(uint32_t position) { return BattleUnits[NumberAt(position)]; }
    const TBattleUnit& AtPosition(uint32_t position) const { return BattleUnits[NumberAt(position)]; }
    uint32_t NumberAt(uint32_t position) const { return OrderIsIdentity ? position : UnitOrder[position]; }
};

// Where concentrated shots at a side aim: a participant and a UnitOrder position.
struct FlagshipRef {
    uint32_t Participant = 0;
    uint64_t Position = 0;
};

class BattleEngine {
public:
    BattleEngine(const DataTable& table, const BattleOptions& options, BattleOutput& output,
                 rtl::Random& random = rtl::ProgramRandom());

    // ---- Inputs and run state, written by the windows.
    BattleInput Input;
    uint16_t BattleNo = 1;      // battle within the run (in fleet selection: the candidate)
    bool PodborMode = false;    // fleet selection drives the battles: no round lines
    uint16_t PodborBattle = 1;  // fleet selection: battle 1..5 of the candidate

    // ---- One battle.
    // Builds the records, writes "Инициация ядра" and the battle line, sets
    // both sides alive and the round gauge. Reads the rounds option.
    void PrepareBattle();
    // The rounds, while both sides have units.
    void FightRounds();
    // Releases the records and lists of the battle.
    void FreeUnits();

    // ---- The steps, public for the end of the battle and for tests.
    void preparebatle();
    // One round: `Round` is its number.
    void FightRound();
    // Flagship exposure of both sides, at the start of a round.
    void Calkyiaz();
    // Every ready unit's attacks and every unit's special attacks.
    void AttackPhase();
    // Ordinary attack with rapid fire of `unit` of `side` (1 or 2).
    void BaseAttack(int side, TBattleUnit& unit);
    // Special attack of kind `kind` (1..4) of `unit` of `side`, the unit at
    // CurSide, CurPartIdx, CurUnit.
    void SpAttack(int side, TBattleUnit& unit, int kind);
    // Regeneration of the organic units.
    void RegenerateOrganic();
    // Removal with the side flags and losses. With `writeLog` the survivor
    // lines of a round (not in fleet selection) and, with the full log, the
    // line of every surviving unit; without it no line at all.
    void RemoveDestroyedUnits(bool writeLog);
    // Shield regeneration and the attack-delay countdown of the living units.
    void RegenerateShieldsAndCountDelays();

    // Target choices on `side`, the side shot at. They return false, and draw
    // nothing, when the side has no units to choose from.
    // SetTarget: `index` is a unit number when PriorityActive[side] is 1 on
    // return, otherwise a UnitOrder position.
    bool SetTarget(int side, uint32_t& participant, uint64_t& index);
    bool SetTarget2(int side, uint32_t& participant, uint64_t& index);
    // A random living flagship; clears FlagshipExposed[side] when there is none.
    void SetConTarget(int side, uint32_t& participant, uint64_t& index);
    // Positions in OrgUnits / MehUnits.
    bool SetOrgTarget(int side, uint32_t& participant, uint64_t& index);
    bool SetMehTarget(int side, uint32_t& participant, uint64_t& index);
    // The rapid-fire test for a rapid fire of n: true ends the shooting.
    bool N_shot(int64_t n);
    // Moves the participant's survivors to the front of its lists, counts
    // them into TypeAlive (which the caller has cleared) and returns how many
    // stay in UnitOrder; the caller stores that as UnitTotal.
    uint32_t delunits(int side, int participant, bool survivorLines);
    // Value of the lost units of type `row` of a participant.
    int64_t TypeLoss(int side, int participant, int row) const;

    // ---- Battle state.
    ParticipantUnits& Units(int side, int participant) { return units_[side][participant]; }
    const ParticipantUnits& Units(int side, int participant) const { return units_[side][participant]; }
    const BattleTypes& Types() const { return types_; }
    const DataTable& Table() const { return table_; }
    const std::string& TypeName(int row) const { return table_.Cell(kColName, row); }
    int Rounds() const { return rounds_; }  // as read by PrepareBattle

    uint8_t HasOrg[kSideSlots] = {};
    uint8_t HasMeh[kSideSlots] = {};
    uint8_t PriorityActive[kSideSlots] = {};
    uint8_t FlagshipExposed[kSideSlots] = {};
    FlagshipRef FlagshipTarget[kSideSlots];
    uint32_t Round = 0;
    uint32_t CurSide = 1, CurPartIdx = 0, CurUnit = 0;
    uint8_t SideAlive[kSideSlots] = {};
    // Ordinary shots fired since the engine was made (for measurements).
    uint64_t ShotCount = 0;
    // Survivors per type after the latest removal (from preparation on).
    uint32_t TypeAlive[kSideSlots][kParticipantSlots][kRowCount] = {};
    int64_t LossTotal[kSideSlots][kParticipantSlots] = {};

private:
    struct TargetRef {
        TBattleUnit* unit;
        uint32_t participant;
        uint32_t unitNumber;
        uint64_t index;  // as SetTarget returns it
    };
    // SetTarget with the choice resolved to a record.
    bool PickTarget(int side, TargetRef& target);
    void ConcentratedTarget(int side, TargetRef& target);
    const TBattleUnit& CurrentShooter();
    uint64_t SideUnitTotal(int side) const;
    void CheckSide(int side) const;

    void ValidateInput() const;
    void CollectRows();
    void PrepareParticipant(int side, int participant);
    void MakeShips(int side, int participant, int row, uint32_t count);
    void MakeBuilding(int side, int participant, int row, uint32_t level);
    void ApplyBonus(TBattleUnit& unit, int64_t attack, int64_t shields, int64_t structure,
                    int64_t multiplier, int bonusRow) const;
    void ApplyTechAndOfficers(int side, int participant, int row, TBattleUnit& unit,
                              int64_t attack, int64_t shields, int64_t structure) const;
    void FileUnits(int side, int participant, const TBattleUnit& model, uint32_t count);

    bool PickFromKindList(int side, bool organic, TargetRef& target);
    LogLine& AppendTarget(const TargetRef& target);
    void StartPrediction(int targetSide);
    void PredictNextShot();

    void Yamato(int targetSide, uint16_t level);
    void EmpStrike(int targetSide, const TBattleUnit& unit, uint16_t level);
    void RadiationStrike(int targetSide);
    int64_t RadiationLoss(int64_t maxStructure);
    void AcidSpores(int targetSide, uint16_t level);

    void RemoveDestroyedUnits(bool writeLog, bool recoverSurvivors);
    uint32_t RemoveFromParticipant(int side, int participant, bool survivorLines, bool recover);
    // Shield regeneration and delay countdown of one living unit.
    void RecoverUnit(TBattleUnit& unit);
    void WriteSurvivors(int side, int participant);
    void Log(const LogLine& line) { output_.Log(line.View()); }

    const DataTable& table_;
    const BattleOptions& options_;
    BattleOutput& output_;
    rtl::Random& random_;
    BattleTypes types_;
    ParticipantUnits units_[kSideSlots][kParticipantSlots];
    std::vector<uint16_t> battleRows_;  // rows present in any participant
    int rounds_ = 0;
    bool fullLog_ = false;
    LogLine line_;

    // Targets of the next plain shots, fetched early (see StartPrediction).
    static constexpr int kPrefetchShots = 16;
    struct PredictedShot {
        uint32_t participant, position;
    };
    rtl::Random ahead_;
    PredictedShot predicted_[kPrefetchShots] = {};
    unsigned predictedNext_ = 0;
    int predictedSide_ = 0;  // 0 while no prediction runs
    uint32_t predictedTotal_ = 0;

    int64_t radiationStructure_ = 0, radiationLoss_ = 0;  // the last RadiationLoss
};

}  // namespace battle
