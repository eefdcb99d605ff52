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
#include <utility>
#include <vector>

#include "battle/battleinput.h"
#include "battle/battleports.h"
#include "battle/battletypes.h"
#include "battle/battleunit.h"
#include "battle/datatable.h"
#include "battle/logline.h"
#include "rtl/random.h"

namespace battle {

// What the units of one type of a participant share. Its units lie together
// among the participant's listed units, at positions First .. First+Count-1.
struct UnitClass {
    uint16_t Row = 0;
    uint32_t First = 0, Count = 0;
    uint32_t Attack = 0;        // attack after bonuses
    uint32_t BaseShield = 0;    // shield capacity; regeneration fills up to it
    int64_t MaxStructure = 0;   // full structure after bonuses
    int8_t Regen = 0;           // structure regeneration, percent of MaxStructure per round
    bool Organic = false;       // ability "3": in the organic list, else the mechanical
    bool Priority = false;      // ability "4"
    bool Flagship = false;
};

// The units of one participant in a battle.
//
// `Records` holds one record per unit made. The first UnitTotal are the
// listed units (the unit order: attack order and the positions a target
// choice draws), grouped by type in ascending rows, in creation order
// within a type; removal moves the survivors to the front in their order.
// So the organic, mechanical, priority and flagship lists are the listed
// units of their classes, in the same order, and need no entries of their
// own. A position is an index into `Records`; the unit number is the
// unit's position when it was made.
//
// Columns beside the records, empty until a battle needs them, move with
// the records: unit numbers and damage dealt (times 10000) for a battle that
// writes the full log, the only place they show; a unit's own shield
// capacity once the shield limit or an EMP strike sets one apart from its
// class's; a unit's own regeneration once a radiation strike changes one.
struct ParticipantUnits {
    std::vector<TBattleUnit, RecordAllocator<TBattleUnit>> Records;
    std::vector<UnitClass> Classes;  // ascending rows
    std::vector<uint32_t> Numbers;
    std::vector<int64_t> Damage;
    std::vector<uint32_t> BaseShields;
    std::vector<int8_t> Regens;
    uint32_t UnitTotal = 0, OrgTotal = 0, MehTotal = 0, AllocTotal = 0, FlagshipTotal = 0;
    uint8_t PriorityTotal = 0;
    // The rows with a ShipCount other than 0, ascending.
    std::vector<uint16_t> Rows;
    // Class of each row that made units.
    uint16_t ClassOfRow[kRowCount] = {};

    const UnitClass& ClassAt(uint32_t position) const { return Classes[ClassOfRow[Records[position].TypeRow]]; }
    // The same from the classes' places alone, without reading the record
    // (a listed position): the last class that starts at or before it.
    // Counted rather than searched, as a random place would mislead every
    // branch of a search.
    const UnitClass& ClassOfPosition(uint32_t position) const {
        size_t starts = 0;
        for (const UnitClass& c : Classes) starts += position >= c.First;
        return Classes[starts - 1];
    }
    uint32_t AttackAt(uint32_t position) const { return Records[position].Disarmed ? 0 : ClassAt(position).Attack; }
    int64_t MaxStructureAt(uint32_t position) const { return ClassAt(position).MaxStructure; }
    uint32_t BaseShieldAt(uint32_t position) const {
        return BaseShields.empty() ? ClassAt(position).BaseShield : BaseShields[position];
    }
    int8_t RegenAt(uint32_t position) const { return Regens.empty() ? ClassAt(position).Regen : Regens[position]; }
    // The same of a unit of the class `c`.
    int8_t RegenAt(uint32_t position, const UnitClass& c) const {
        return Regens.empty() ? c.Regen : Regens[position];
    }
    int64_t DamageAt(uint32_t position) const { return Damage.empty() ? 0 : Damage[position]; }
    // Without the numbers column (no full log) only valid before the first removal.
    uint32_t NumberAt(uint32_t position) const { return Numbers.empty() ? position : Numbers[position]; }
    // The unit's own value, its column made from the classes first.
    uint32_t& OwnBaseShield(uint32_t position) {
        if (BaseShields.empty()) MakeBaseShields();
        return BaseShields[position];
    }
    int8_t& OwnRegen(uint32_t position) {
        if (Regens.empty()) MakeRegens();
        return Regens[position];
    }
    void MakeBaseShields();
    void MakeRegens();
    // Position of entry `index` of the organic (or mechanical) list.
    uint32_t KindListPosition(bool organic, uint32_t index) const;
    void SwapUnits(uint32_t a, uint32_t b) {
        std::swap(Records[a], Records[b]);
        if (HasColumns()) SwapColumns(a, b);
    }
    bool HasColumns() const { return !(Numbers.empty() && Damage.empty() && BaseShields.empty() && Regens.empty()); }
    void SwapColumns(uint32_t a, uint32_t b) {
        if (!Numbers.empty()) std::swap(Numbers[a], Numbers[b]);
        if (!Damage.empty()) std::swap(Damage[a], Damage[b]);
        if (!BaseShields.empty()) std::swap(BaseShields[a], BaseShields[b]);
        if (!Regens.empty()) std::swap(Regens[a], Regens[b]);
    }
    // OrgTotal, MehTotal, PriorityTotal and FlagshipTotal from the classes.
    void CountLists();
};

// Where concentrated shots at a side aim: a participant and a position.
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
    // Reads the full-log option for the whole battle.
    void preparebatle();
    // One round: `Round` is its number.
    void FightRound();
    // Flagship exposure of both sides, at the start of a round.
    void Calkyiaz();
    // Every ready unit's attacks and every unit's special attacks.
    void AttackPhase();
    // Ordinary attack with rapid fire of the unit at `position` of a
    // participant of `side` (1 or 2).
    void BaseAttack(int side, uint32_t participant, uint32_t position);
    // Special attack of kind `kind` (1..4) of `unit` of `side`, the unit at
    // CurSide, CurPartIdx, CurUnit.
    void SpAttack(int side, const TBattleUnit& unit, int kind);
    // Regeneration of the organic units.
    void RegenerateOrganic();
    // Removal with the side flags and losses. With `writeLog` the survivor
    // lines of a round (not in fleet selection) and, with the full log, the
    // line of every surviving unit; without it no line at all.
    void RemoveDestroyedUnits(bool writeLog);
    // Shield regeneration and the attack-delay countdown of the living units.
    void RegenerateShieldsAndCountDelays();

    // Target choices on `side`, the side shot at, as a participant and a
    // position. They return false, and draw nothing, when the side has no
    // units to choose from.
    bool SetTarget(int side, uint32_t& participant, uint64_t& index);
    bool SetTarget2(int side, uint32_t& participant, uint64_t& index);
    // A random living flagship; clears FlagshipExposed[side] when there is none.
    void SetConTarget(int side, uint32_t& participant, uint64_t& index);
    // Entries of the organic and mechanical lists.
    bool SetOrgTarget(int side, uint32_t& participant, uint64_t& index);
    bool SetMehTarget(int side, uint32_t& participant, uint64_t& index);
    // The rapid-fire test for a rapid fire of n: true ends the shooting.
    bool N_shot(int64_t n);
    // Moves the participant's survivors to the front of its lists, counts
    // them into TypeAlive (which the caller has cleared) and returns how many
    // stay listed; the caller stores that as UnitTotal.
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
        int side;
        uint32_t participant;
        uint32_t position;
    };
    // The chance that a shot of the current shooter is concentrated, as the
    // threshold below which the draw must lie; read when first needed.
    struct ConcentratedChance {
        double threshold = 0;
        bool known = false;
    };
    bool PickTarget(int side, TargetRef& target, ConcentratedChance& chance);
    double ThresholdOf(ConcentratedChance& chance);
    void ConcentratedTarget(int side, TargetRef& target);
    const TBattleUnit& CurrentShooter();
    uint64_t SideUnitTotal(int side) const {
        uint64_t total = 0;
        for (int p = 0; p < Input.PartCount[side]; ++p) total += units_[side][p].UnitTotal;
        return total;
    }
    static void CheckSide(int side) {
        if (side != 1 && side != 2) throw rtl::ERangeError();
    }
    // The participant and position of entry `r` (below their total) of the
    // listed units of `count` participants. Stepped through without
    // branches: a random entry would mislead them.
    static void Locate(const ParticipantUnits* units, int count, uint32_t r, uint32_t& participant,
                       uint32_t& position) {
        uint32_t p = 0;
        for (int i = 1; i < count; ++i) {
            const uint32_t listed = units[p].UnitTotal;
            const bool beyond = r >= listed;
            r -= beyond ? listed : 0;
            p += beyond;
        }
        participant = p;
        position = r;
    }
    void Locate(int side, uint32_t r, uint32_t& participant, uint32_t& position) const {
        Locate(units_[side], Input.PartCount[side], r, participant, position);
    }
    // The whole-number draw of a target choice, walked down to a participant.
    bool DrawPosition(int side, uint32_t& participant, uint32_t& position) {
        const uint64_t total = SideUnitTotal(side);
        if (total == 0) return false;
        Locate(side, Draws().Next(static_cast<uint32_t>(total)), participant, position);
        return true;
    }

    void ValidateInput() const;
    void CollectRows();
    void PrepareParticipant(int side, int participant);
    void MakeShips(int side, int participant, int row, uint32_t count);
    void MakeBuilding(int side, int participant, int row, uint32_t level);
    void ApplyBonus(UnitClass& unit, int64_t attack, int64_t shields, int64_t structure, int64_t multiplier,
                    int bonusRow) const;
    void ApplyTechAndOfficers(int side, int participant, int row, UnitClass& unit, int64_t attack,
                              int64_t shields, int64_t structure) const;
    void FileUnits(int side, int participant, const UnitClass& unitClass, const TBattleUnit& model,
                   uint32_t count);

    // What every unit of a class shoots with, looked up once for all of them.
    struct ShotRules {
        uint32_t attack;
        bool ignoresShield, selfDestructs, disarms;
        const double* rapidFire;  // stop thresholds by target row
    };
    static ShotRules RulesOf(const UnitClass& unitClass, const UnitType& type);
    // BaseAttack with the number of listed units of the other side.
    [[gnu::always_inline]] void Attack(int side, ParticipantUnits& own, uint32_t position, uint32_t targets,
                                       const ShotRules& rules, ConcentratedChance& chance, bool drawAhead);
    bool PickFromKindList(int side, bool organic, TargetRef& target);
    LogLine& AppendTarget(const TargetRef& target);
    // Lines of the full log, kept out of the attack loops.
    [[gnu::noinline]] void LogAttacker(int side, int row);
    [[gnu::noinline]] void LogShot(const TargetRef& target);

    void Yamato(int targetSide, uint16_t level);
    void EmpStrike(int targetSide, const TBattleUnit& unit, uint16_t level);
    void RadiationStrike(int targetSide);
    int64_t RadiationLoss(int64_t maxStructure);
    void AcidSpores(int targetSide, uint16_t level);
    // SpAttack without setting the pending slows.
    void SpecialAttack(int side, const TBattleUnit& unit, int kind);
    // Acid spores land on random records, and setting the mark at once would
    // wait for each record to come into the cache. Nothing reads the mark
    // before the removal, so it is set some strikes later, the record
    // fetched meanwhile; FlushSlows sets the rest (the attacks end with it).
    void MarkSlowed(TBattleUnit& unit);
    void FlushSlows();

    void RemoveDestroyedUnits(bool writeLog, bool recoverSurvivors);
    uint32_t RemoveFromParticipant(int side, int participant, bool survivorLines, bool recover);
    void WriteSurvivors(int side, int participant);
    // The full log's line of one surviving unit; kept out of the removal's loop.
    [[gnu::noinline]] void WriteUnitLine(int side, int participant, uint32_t position);
    void Log(const LogLine& line) { log_.Line(line.View()); }

    // Once no priority unit is left, a shot at one side draws whether it is
    // concentrated (while the side's flagships are exposed), then a target
    // and a rapid-fire number. So the draws of the next shots can be made
    // ahead, each with the generator's state after its target, and their
    // records fetched into the cache while earlier shots are applied in
    // their order. A concentrated shot ends the drawing ahead: what it draws
    // next depends on its target. Every other draw goes through Draws(),
    // which first takes the generator back to the state after the last draw
    // used.
    struct AheadShot {
        TBattleUnit* target;
        uint32_t participant, position;
        double roll;              // the rapid-fire draw that follows the target's
        rtl::Random afterTarget;  // of a concentrated shot: after its chance draw
        bool concentrated;
    };
    static constexpr unsigned kAheadShots = 32;
    // Shots at `targetSide`, which lists `targets` units, from here on, with
    // the shooter's chance of a concentrated shot where the side is exposed.
    void StartDrawingAhead(int targetSide, uint32_t targets, ConcentratedChance& chance);
    [[gnu::always_inline]] const AheadShot& NextAheadShot();
    void DrawAhead();
    rtl::Random& Draws() {
        if (aheadSide_ != 0) StopDrawingAhead();
        return random_;
    }
    void StopDrawingAhead();

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
    BoundedLog log_{output_};

    AheadShot ahead_[kAheadShots];
    rtl::Random aheadRandom_;         // the state after the last shot drawn ahead
    int aheadSide_ = 0;               // 0 while nothing is drawn ahead
    ParticipantUnits* aheadUnits_ = nullptr;  // of aheadSide_
    int aheadParticipants_ = 0;
    uint32_t aheadTotal_ = 0;         // the side's listed units when drawn
    double aheadChance_ = -1;         // threshold of a concentrated shot; -1 while not exposed
    bool aheadBlocked_ = false;       // a concentrated shot is drawn: nothing can follow it
    unsigned aheadUsed_ = 0;          // shots taken since the start
    unsigned aheadDrawn_ = 0;         // shots drawn since the start
    bool aheadRollTaken_ = false;     // the last shot taken had its rapid-fire draw used

    int64_t radiationStructure_ = 0, radiationLoss_ = 0;  // the last RadiationLoss

    static constexpr unsigned kPendingSlows = 16;
    TBattleUnit* pendingSlows_[kPendingSlows] = {};
    unsigned pendingSlowCount_ = 0;  // marked since the last FlushSlows
};

}  // namespace battle
