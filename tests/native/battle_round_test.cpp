// The round loop: attack delays, regeneration, removal, survivors and losses,
// shield regeneration, and the log of a battle.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "battle/battleengine.h"
#include "rtl/errors.h"
#include "support/battle_support.h"

using namespace battle;
using namespace battle_test;

namespace {

constexpr int kShooter = 201, kTarget = 202, kTower = 301;

// Side 1: one shooter; side 2: one harmless target that does not fall.
struct Range : Battle {
    explicit Range(UnitSpec shooter, int row = kShooter) {
        shooter.name = "Стрелок";
        SetUnit(table, row, shooter);
        UnitSpec target;
        target.name = "Мишень";
        target.structure = 1'000'000'000;
        target.attack = 0;
        SetUnit(table, kTarget, target);
        input().ShipCount[1][0][row] = 1;
        input().ShipCount[2][0][kTarget] = 1;
        options.fullLog = true;
    }
    // The rounds in which side 1 fired, from the log.
    std::vector<int> FiringRounds(int rounds) {
        options.rounds = std::to_string(rounds);
        engine->PrepareBattle();
        engine->FightRounds();
        return Collect();
    }
    std::vector<int> Collect() {
        std::vector<int> result;
        int round = 0;
        for (const auto& line : output.lines) {
            if (line.rfind("Раунд ", 0) == 0) round = std::stoi(line.substr(6));
            if (line.rfind("сторона 1 атакует", 0) == 0) result.push_back(round);
        }
        return result;
    }
};

UnitSpec Delays(int64_t delay, int64_t period) {
    UnitSpec s;
    s.delay = delay;
    s.period = period;
    return s;
}

}  // namespace

TEST(Delays, ReadyUnitsFireEveryRoundFromTheFirst) {
    EXPECT_EQ(Range(Delays(0, 0)).FiringRounds(4), (std::vector<int>{1, 2, 3, 4}));
}

TEST(Delays, FirstShotInRoundDPlusPPlusOneThenEveryPPlusOne) {
    EXPECT_EQ(Range(Delays(2, 1)).FiringRounds(9), (std::vector<int>{4, 6, 8}));
    EXPECT_EQ(Range(Delays(0, 2)).FiringRounds(9), (std::vector<int>{3, 6, 9}));
}

TEST(Delays, ABuildingWithoutFirstWaitStillWaitsARound) {
    UnitSpec tower = Delays(0, 0);
    tower.purpose = "2";
    EXPECT_EQ(Range(tower, kTower).FiringRounds(4), (std::vector<int>{2, 3, 4}));
}

TEST(Delays, ASlowedUnitFiresARoundLaterAndReloadsARoundLonger) {
    auto slowed = [](UnitSpec shooter, int rounds) {
        Range r(shooter);
        r.options.rounds = std::to_string(rounds);
        r->PrepareBattle();
        r.unit(1, 0, 0).Slowed = 1;
        r->FightRounds();
        return r.Collect();
    };
    EXPECT_EQ(slowed(Delays(2, 1), 11), (std::vector<int>{5, 8, 11}));
    EXPECT_EQ(slowed(Delays(0, 0), 5), (std::vector<int>{1, 3, 5}));
}

TEST(Delays, AUnitThatDisarmsFiresAgain508RoundsLaterWithNoAttack) {
    UnitSpec once = Delays(0, 0);
    once.ability1 = "7";
    Range r(once);
    EXPECT_EQ(r.FiringRounds(600), (std::vector<int>{1, 509}));
    EXPECT_EQ(r.units(1, 0).AttackAt(0), 0u);
    // The late shot hits, and takes nothing: the target keeps what the first left.
    EXPECT_EQ(r.unit(2, 0, 0).Structure, 100'000'000 - 10);
    EXPECT_EQ(r.output.Count("        Мишень 1:0 оставляя структуры: 99999990 щиты: 0"), 2u);
}

TEST(Delays, ADelayBeyondAByteStopsTheBattle) {
    UnitSpec slow = Delays(0, 255);
    Range r(slow);
    r.options.rounds = "3";
    r->PrepareBattle();
    r.unit(1, 0, 0).Slowed = 1;
    r.unit(1, 0, 0).AttackWait = 0;
    try {
        r->FightRounds();
        ADD_FAILURE() << "a slowed reload of 256 rounds was accepted";
    } catch (const rtl::ERangeError& e) {
        // The bounds are those of the cell: a slowed unit waits one round more.
        EXPECT_EQ(std::string(e.what()), "Таблица, строка 201, столбец 24: 255 вне допустимого диапазона (-1..254)");
    }
}

namespace {

struct Organic : Battle {
    Organic(int8_t regen, int64_t structure, int64_t fullStructure = 100) {
        UnitSpec zerg;
        zerg.name = "Зерг";
        zerg.structure = fullStructure * 10;
        zerg.ability1 = "3";
        zerg.attack = 0;
        SetUnit(table, kTarget, zerg);
        input().ShipCount[2][0][kTarget] = 1;
        engine->preparebatle();
        units(2, 0).OwnRegen(0) = regen;
        unit().Structure = structure;
    }
    TBattleUnit& unit() { return Battle::unit(2, 0, 0); }
};

}  // namespace

TEST(Regeneration, OrganicUnitsRegrowUpToTheirFullStructure) {
    Organic grow(10, 50);  // full structure 100
    grow->RegenerateOrganic();
    EXPECT_EQ(grow.unit().Structure, 60);
    grow.unit().Structure = 95;
    grow->RegenerateOrganic();
    EXPECT_EQ(grow.unit().Structure, 100);

    Organic still(0, 50);
    still->RegenerateOrganic();
    EXPECT_EQ(still.unit().Structure, 50);

    // A tenth of 15 regained: halves go to even, 7.5 to 8 and 6.5 to 6.
    Organic up(10, 6, 15), down(10, 5, 15);
    up->RegenerateOrganic();
    down->RegenerateOrganic();
    EXPECT_EQ(up.unit().Structure, 8);
    EXPECT_EQ(down.unit().Structure, 6);
}

TEST(Regeneration, EachOrganicTypeRegainsItsOwnFullStructuresShare) {
    // Two organic types at the same regeneration, full structures 100 and 1000.
    Battle b;
    UnitSpec small, large;
    small.ability1 = large.ability1 = "3";
    small.structure = 1000;
    large.structure = 10000;
    SetUnit(b.table, kShooter, small);
    SetUnit(b.table, kTarget, large);
    b.input().ShipCount[2][0][kShooter] = 1;
    b.input().ShipCount[2][0][kTarget] = 1;
    b.input().TechLevel[2][0][kTechRegeneration] = 10;
    b->preparebatle();
    b.unit(2, 0, 0).Structure = 50;
    b.unit(2, 0, 1).Structure = 500;
    b->RegenerateOrganic();
    EXPECT_EQ(b.unit(2, 0, 0).Structure, 60);
    EXPECT_EQ(b.unit(2, 0, 1).Structure, 600);
}

TEST(Regeneration, NegativeRegenerationWearsDownAndDestroys) {
    Organic worn(-10, 11);
    worn->RegenerateOrganic();
    EXPECT_EQ(worn.unit().Structure, 1);
    EXPECT_EQ(worn.unit().Destroyed, 0);

    Organic gone(-10, 10);  // a tenth of the full structure
    gone->RegenerateOrganic();
    EXPECT_EQ(gone.unit().Destroyed, 1);
    EXPECT_EQ(gone.unit().Structure, 10);
    gone->RemoveDestroyedUnits(false);
    EXPECT_EQ(gone->Units(2, 0).UnitTotal, 0u);
    EXPECT_EQ(gone->SideAlive[2], 0);

    // Halves go to even: 10.5 to 10, 11.5 to 12.
    Organic down(-5, 11, 10), up(-5, 12, 10);
    down->RegenerateOrganic();
    up->RegenerateOrganic();
    EXPECT_EQ(down.unit().Structure, 10);
    EXPECT_EQ(up.unit().Structure, 12);

    // Without regeneration a unit stays as it is, unless it has no structure
    // at all: an organic building that its level made negative does not last.
    Organic kept(0, 37);
    kept->RegenerateOrganic();
    EXPECT_EQ(kept.unit().Structure, 37);
    EXPECT_EQ(kept.unit().Destroyed, 0);
    Battle hive;
    UnitSpec nest;
    nest.purpose = "2";
    nest.ability1 = "3";
    nest.classOrGrowth = -1;
    nest.buildingLevel = 1;
    SetUnit(hive.table, kTower, nest);
    hive.input().ShipCount[2][0][kTower] = 2;
    hive->preparebatle();
    ASSERT_EQ(hive.unit(2, 0, 0).Structure, -100);
    hive->RegenerateOrganic();
    EXPECT_EQ(hive.unit(2, 0, 0).Destroyed, 1);
}

TEST(Removal, SurvivorsMoveToTheFrontInTheirOrder) {
    Battle b;
    UnitSpec guard;
    guard.ability1 = "4";
    guard.shields = 10;
    SetUnit(b.table, kTarget, guard);
    UnitSpec zerg;
    zerg.ability1 = "3";
    SetUnit(b.table, 203, zerg);
    b.input().ShipCount[2][0][kTarget] = 3;
    b.input().ShipCount[2][0][203] = 2;
    b.options.fullLog = true;  // which keeps the unit numbers
    b->preparebatle();
    b.unit(2, 0, 0).Destroyed = 1;
    b.unit(2, 0, 3).Destroyed = 1;
    b->TypeAlive[2][0][kTarget] = b->TypeAlive[2][0][203] = 0;
    const ParticipantUnits& u = b->Units(2, 0);
    EXPECT_EQ(b->delunits(2, 0, false), 3u);
    EXPECT_EQ(u.NumberAt(0), 1u);
    EXPECT_EQ(u.NumberAt(1), 2u);
    EXPECT_EQ(u.NumberAt(2), 4u);
    EXPECT_EQ(u.PriorityTotal, 2);
    EXPECT_TRUE(u.ClassAt(0).Priority && u.ClassAt(1).Priority);
    EXPECT_EQ(u.OrgTotal, 1u);
    EXPECT_EQ(u.NumberAt(u.KindListPosition(true, 0)), 4u);
    EXPECT_EQ(u.MehTotal, 2u);
    EXPECT_EQ(b->TypeAlive[2][0][kTarget], 2u);
    EXPECT_EQ(b->TypeAlive[2][0][203], 1u);
    // Nothing left to remove in a participant without units.
    EXPECT_EQ(b->delunits(2, 1, false), 0u);
}

TEST(Removal, SurvivorLinesLossesAndFlags) {
    Battle b;
    UnitSpec ship;
    ship.name = "Корабль";
    ship.metal = 100;
    ship.minerals = 50;
    ship.vespene = 10;
    SetUnit(b.table, kShooter, ship);
    UnitSpec tower = ship;
    tower.name = "Башня";
    tower.purpose = "2";
    tower.classOrGrowth = 3;
    SetUnit(b.table, kTower, tower);
    b.input().ShipCount[1][0][kShooter] = 3;
    b.input().ShipCount[1][0][kTower] = 2;  // level 2
    b.options.fullLog = true;
    b->preparebatle();
    b.output.lines.clear();
    b.unit(1, 0, 0).Destroyed = 1;
    b.unit(1, 0, 3).Destroyed = 1;
    b.units(1, 0).Damage[1] = 125'000;
    b->RemoveDestroyedUnits(true);

    const std::vector<std::string> expected = {
        "Уцелелевшие юниты",
        "сторона 1",
        "1:1:1 Корабль Структура:100 Щиты:0 Повреждений нанесено:12,5",
        "1:1:2 Корабль Структура:100 Щиты:0 Повреждений нанесено:0",
        "Игрок: Я",
        "    Корабль 2 из 3",
        "      Башня 0 из 1",
        "Потеряно единиц: 640",  // one ship of 160 and the level-2 tower of 160 * 3
        "сторона 2",
    };
    EXPECT_EQ(b.output.lines, expected);
    EXPECT_EQ(b->LossTotal[1][0], 640);
    EXPECT_EQ(b->SideAlive[1], 1);
    EXPECT_EQ(b->SideAlive[2], 0);
    EXPECT_EQ(b->HasMeh[1], 1);

    // Without log lines the same removal writes nothing.
    b.output.lines.clear();
    b->RemoveDestroyedUnits(false);
    EXPECT_TRUE(b.output.lines.empty());
}

TEST(Losses, BuildingsCountOnlyWhenDestroyedAndFromTheirLevel) {
    Battle b;
    UnitSpec tower;
    tower.purpose = "2";
    tower.structure = 0;  // so that 258 levels of growth stay in range
    tower.metal = 10;
    tower.classOrGrowth = 2;
    tower.buildingLevel = 3;
    SetUnit(b.table, kTower, tower);
    b.input().ShipCount[1][0][kTower] = 258;  // the level counts modulo 256 for the cost
    b->preparebatle();
    EXPECT_EQ(b->TypeLoss(1, 0, kTower), 0);  // it stands
    b->TypeAlive[1][0][kTower] = 0;
    EXPECT_EQ(b->TypeLoss(1, 0, kTower), 10 * 2);
    b.input().ShipCount[1][0][kTower] = 2;  // below its level
    EXPECT_EQ(b->TypeLoss(1, 0, kTower), 0);
}

TEST(Shields, RegainTheirPercentUpToTheCapacity) {
    Battle b;
    UnitSpec ship;
    ship.shields = 10;
    ship.shieldRegen = 25;
    SetUnit(b.table, kShooter, ship);
    b.input().ShipCount[1][0][kShooter] = 4;
    b->preparebatle();
    b.unit(1, 0, 0).Shield = 0;  // 2.5 to even
    b.unit(1, 0, 1).Shield = 1;  // 3.5 to even
    b.unit(1, 0, 2).Shield = 9;  // 11.5 is above the capacity
    b.units(1, 0).OwnBaseShield(3) = 4;  // lowered by an EMP strike
    b->RegenerateShieldsAndCountDelays();
    EXPECT_EQ(b.unit(1, 0, 0).Shield, 2u);
    EXPECT_EQ(b.unit(1, 0, 1).Shield, 4u);
    EXPECT_EQ(b.unit(1, 0, 2).Shield, 10u);
    EXPECT_EQ(b.unit(1, 0, 3).Shield, 4u);

    // A negative percent wears shields down, rounded the same way; below
    // zero (-0.6 rounds to -1) the battle stops.
    Battle worn;
    ship.shieldRegen = -6;
    SetUnit(worn.table, kShooter, ship);
    worn.input().ShipCount[1][0][kShooter] = 2;
    worn->preparebatle();
    worn.unit(1, 0, 0).Shield = 1;  // 0.4
    worn.unit(1, 0, 1).Shield = 4;  // 3.4
    worn->RegenerateShieldsAndCountDelays();
    EXPECT_EQ(worn.unit(1, 0, 0).Shield, 0u);
    EXPECT_EQ(worn.unit(1, 0, 1).Shield, 3u);
    EXPECT_THROW(worn->RegenerateShieldsAndCountDelays(), rtl::ERangeError);

    // A percent far beyond any shield, on the largest capacities: the sums
    // are exact, so the shield fills or the battle stops, never wraps.
    for (int64_t percent : {int64_t{-3'000'000'000'000}, int64_t{3'000'000'000'000}}) {
        Battle huge;
        ship.shields = 4'000'000'000;
        ship.shieldRegen = percent;
        SetUnit(huge.table, kShooter, ship);
        huge.input().ShipCount[1][0][kShooter] = 1;
        huge->preparebatle();
        huge.unit(1, 0, 0).Shield = 10;
        if (percent < 0) {
            EXPECT_THROW(huge->RegenerateShieldsAndCountDelays(), rtl::ERangeError);
        } else {
            huge->RegenerateShieldsAndCountDelays();
            EXPECT_EQ(huge.unit(1, 0, 0).Shield, 4'000'000'000u);
        }
    }
}

TEST(Shields, ASurvivorThatMovesUpKeepsItsOwnLoweredCapacity) {
    // Side 2: three shields of 100; the first is destroyed, the second's
    // capacity an EMP strike lowered to 10. Nobody does any damage.
    Battle b;
    UnitSpec ship;
    ship.attack = 0;
    ship.shields = 100;
    SetUnit(b.table, kShooter, ship);
    b.input().ShipCount[1][0][kShooter] = 1;
    b.input().ShipCount[2][0][kShooter] = 3;
    b.options.rounds = "1";
    b->PrepareBattle();
    b.unit(2, 0, 0).Destroyed = 1;
    b.units(2, 0).OwnBaseShield(1) = 10;
    b.unit(2, 0, 1).Shield = 5;
    b.unit(2, 0, 2).Shield = 50;
    b->FightRounds();
    ASSERT_EQ(b->Units(2, 0).UnitTotal, 2u);
    EXPECT_EQ(b.unit(2, 0, 0).Shield, 10u);
    EXPECT_EQ(b.units(2, 0).BaseShieldAt(0), 10u);
    EXPECT_EQ(b.unit(2, 0, 1).Shield, 100u);
}

TEST(Rounds, NoRoundAtZeroAndTheBattleLines) {
    Range r(Delays(0, 0));
    r.options.rounds = "0";
    r.options.battles = "10";
    r->BattleNo = 3;
    r->PrepareBattle();
    r->FightRounds();
    EXPECT_EQ(r.output.lines, (std::vector<std::string>{"Инициация ядра", "Симулируется бой 3/10"}));
    EXPECT_EQ(r.output.roundGaugeMax, 1);
    EXPECT_EQ(r.output.roundSuffix, "% (бой №3)");
    EXPECT_EQ(r->SideAlive[1], 1);
    EXPECT_EQ(r->SideAlive[2], 1);
}

TEST(Rounds, StopWhenASideIsGone) {
    UnitSpec killer = Delays(0, 0);
    killer.attack = 1'000'000'000;
    Range r(killer);
    r.options.rounds = "6";
    r->PrepareBattle();
    r->FightRounds();
    EXPECT_EQ(r->Round, 1u);
    EXPECT_EQ(r.output.Count("Раунд "), 1u);
    EXPECT_TRUE(r.output.Contains("Раунд 1/6"));
    EXPECT_TRUE(r.output.Contains("-------------------------------------------"));
    EXPECT_EQ(r->SideAlive[2], 0);
    EXPECT_EQ(r.output.unitGaugeMax, 1);
    EXPECT_EQ(r.output.unitSuffix, "% (Атака игрока Враг)");
}

TEST(Rounds, TheUnitGaugeMovesEveryTenThousandUnits) {
    Battle b;
    UnitSpec ship;
    ship.attack = 0;
    SetUnit(b.table, kShooter, ship);
    b.input().ShipCount[1][0][kShooter] = 25'000;
    b.input().ShipCount[2][0][kShooter] = 3;
    // A second enemy already wiped out has no attack and no gauge.
    b.input().PartCount[2] = 2;
    b.input().PartName[2][1] = "Сосед";
    b.input().ShipCount[2][1][kShooter] = 1;
    b.options.rounds = "1";
    b->PrepareBattle();
    b.unit(2, 1, 0).Destroyed = 1;
    b->RemoveDestroyedUnits(false);
    b->FightRounds();
    EXPECT_EQ(b.output.unitProgress, (std::vector<int64_t>{0, 10'000, 20'000, 0}));
    EXPECT_EQ(b.output.unitGaugeMax, 3);
    EXPECT_EQ(b.output.unitSuffix, "% (Атака игрока Враг)");
}

TEST(Rounds, FleetSelectionWritesNoRoundLinesButCountsLosses) {
    UnitSpec killer = Delays(0, 0);
    killer.attack = 1'000'000'000;
    Range r(killer);
    r.table.SetCell(kColMetal, kTarget, "7");
    r.options.fullLog = false;
    r.options.rounds = "6";
    r->PodborMode = true;
    r->PodborBattle = 2;
    r->BattleNo = 5;
    r->PrepareBattle();
    r->FightRounds();
    EXPECT_EQ(r.output.lines, (std::vector<std::string>{"Инициация ядра", "Симулируется бой 5/10"}));
    EXPECT_EQ(r.output.roundSuffix, "% (бой №2\\5)");
    EXPECT_EQ(r->LossTotal[2][0], 7);
}

TEST(Rounds, ARoundCountThatIsNotANumberStops) {
    Range r(Delays(0, 0));
    r.options.rounds = "восемь";
    EXPECT_THROW(r->PrepareBattle(), rtl::EConvertError);
}

TEST(Rounds, ABattleOfSeveralParticipantsIsFoughtToTheEnd) {
    Battle b(2024);
    UnitSpec ship;
    ship.name = "Корабль";
    ship.structure = 500;
    ship.attack = 20;
    ship.shields = 5;
    SetUnit(b.table, kShooter, ship);
    SetRapidFire(b.table, kShooter, kShooter, "3");
    auto& in = b.input();
    in.PartCount[1] = 2;
    in.PartCount[2] = 3;
    for (int p = 0; p < 2; ++p) in.ShipCount[1][p][kShooter] = 40;
    for (int p = 0; p < 3; ++p) in.ShipCount[2][p][kShooter] = 30;
    b.options.rounds = "50";
    b->PrepareBattle();
    b->FightRounds();
    // Someone is gone, and the counters agree with the records.
    EXPECT_TRUE(b->SideAlive[1] == 0 || b->SideAlive[2] == 0);
    for (int side = 1; side <= 2; ++side) {
        for (int p = 0; p < in.PartCount[side]; ++p) {
            const ParticipantUnits& u = b->Units(side, p);
            uint32_t alive = 0;
            for (const TBattleUnit& unit : u.Records) alive += unit.Destroyed == 0;
            EXPECT_EQ(u.UnitTotal, alive);
            EXPECT_EQ(b->TypeAlive[side][p][kShooter], alive);
            EXPECT_EQ(b->LossTotal[side][p], 0);  // the type costs nothing
        }
    }
}

TEST(Rounds, TheFullLogChangesNothingButTheLog) {
    auto fight = [](bool fullLog) {
        Battle b(31337);
        UnitSpec ship;
        ship.name = "Корабль";
        ship.structure = 300;
        ship.attack = 12;
        ship.shields = 3;
        ship.special1 = "4";
        SetUnit(b.table, kShooter, ship);
        UnitSpec zerg = ship;
        zerg.name = "Зерг";
        zerg.ability1 = "3";
        zerg.special1 = "3";
        SetUnit(b.table, kTarget, zerg);
        SetRapidFire(b.table, kShooter, kTarget, "2");
        auto& in = b.input();
        in.ShipCount[1][0][kShooter] = 60;
        in.ShipCount[2][0][kTarget] = 60;
        in.TechLevel[1][0][kTechAcidSpores] = 1;
        in.TechLevel[2][0][kTechEmpRadiation] = 1;
        b.options.fullLog = fullLog;
        b.options.rounds = "8";
        b->PrepareBattle();
        b->FightRounds();
        // Everything but the damage dealt, which only the full log keeps.
        std::vector<int64_t> state;
        for (int side = 1; side <= 2; ++side) {
            const ParticipantUnits& units = b->Units(side, 0);
            for (uint32_t k = 0; k < units.Records.size(); ++k) {
                const TBattleUnit& u = units.Records[k];
                state.insert(state.end(), {u.Structure, u.Shield, u.Slowed, u.AttackWait, units.RegenAt(k),
                                           units.BaseShieldAt(k)});
            }
        }
        state.push_back(b.random.Next(1'000'000));
        return std::make_pair(state, b.output.lines.size());
    };
    const auto [quietState, quietLines] = fight(false);
    const auto [fullState, fullLines] = fight(true);
    EXPECT_EQ(quietState, fullState);
    EXPECT_GT(fullLines, quietLines + 100);
}

// A battle nobody wins writes a block a round: its log keeps the start and
// the last rounds, and says how many lines it left out, whatever the rounds.
TEST(Rounds, ALogOfEndlessRoundsKeepsItsStartAndItsEnd) {
    auto fight = [](int rounds) {
        Range r(Delays(0, 0));
        r.options.rounds = std::to_string(rounds);
        r->PrepareBattle();
        r->FightRounds();
        return r.output.lines;
    };
    const size_t perRound = fight(3).size() - fight(2).size();
    const std::vector<std::string> lines = fight(20'000);
    EXPECT_EQ(fight(10'000).size(), lines.size());
    EXPECT_EQ(lines[2], "Раунд 1/20000");
    EXPECT_EQ(lines.back(), "-------------------------------------------");
    const uint64_t written = 2 + 20'000 * perRound;
    const std::string note = "... пропущено строк лога: " + std::to_string(written - (lines.size() - 1)) + " ...";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), note), 1) << note;
    // Rounds follow one another but for one gap, and the last is there.
    std::vector<int> numbers;
    for (const auto& line : lines)
        if (line.rfind("Раунд ", 0) == 0) numbers.push_back(std::stoi(line.substr(6)));
    int gaps = 0;
    for (size_t i = 1; i < numbers.size(); ++i) gaps += numbers[i] != numbers[i - 1] + 1;
    EXPECT_EQ(gaps, 1);
    EXPECT_EQ(numbers.back(), 20'000);
}

TEST(Rounds, EveryAbilityAndSpecialAttackTogetherKeepTheListsConsistent) {
    for (uint64_t seed = 1; seed <= 6; ++seed) {
        Battle b(seed);
        auto type = [&](int row, int64_t structure, int64_t attack, int64_t shields, const char* ability,
                        const char* special, const char* purpose = "0") {
            UnitSpec s;
            s.name = "Тип" + std::to_string(row);
            s.structure = structure;
            s.attack = attack;
            s.shields = shields;
            s.ability1 = ability;
            s.special1 = special;
            s.special2 = special[0] == '0' ? "0" : "4";
            s.purpose = purpose;
            s.concentrated = 50;
            s.empStrength = 7;
            s.period = row % 2;
            s.metal = 10;
            SetUnit(b.table, row, s);
        };
        type(201, 2000, 40, 10, "1", "1");
        type(202, 1500, 90, 0, "2", "0");
        type(203, 1800, 30, 0, "3", "3", "1");
        type(204, 3000, 10, 80, "4", "2");
        type(205, 2500, 60, 5, "5", "0");
        type(206, 2500, 60, 50, "6", "0");
        type(207, 2500, 70, 5, "7", "0");
        type(208, 60'000'000, 500, 100, "0", "1");
        type(301, 900'000, 200, 50, "0", "0", "2");
        for (int shooter = 201; shooter <= 208; ++shooter)
            for (int target = 201; target <= 208; target += 3) SetRapidFire(b.table, shooter, target, "3");
        auto& in = b.input();
        for (int side = 1; side <= 2; ++side) {
            in.PartCount[side] = 2;
            for (int p = 0; p < 2; ++p) {
                for (int row = 201; row <= 207; ++row) in.ShipCount[side][p][row] = 40 + 10 * p + row % 5;
                in.ShipCount[side][p][204] = 5;
                in.ShipCount[side][p][208] = 2;
                in.ShipCount[side][p][301] = 2;
                uint16_t* tech = in.TechLevel[side][p];
                tech[kTechEmpRadiation] = 2;
                tech[kTechAcidSpores] = 1;
                tech[kTechYamato] = 3;
                tech[kTechRegeneration] = 3;
                in.OfficerLevel[side][p][kOfficerShieldLimit] = 20;
            }
        }
        b.options.fullLog = seed % 2 == 0;
        b.options.rounds = "20";
        b->PrepareBattle();
        ASSERT_NO_THROW(b->FightRounds()) << seed;
        for (int side = 1; side <= 2; ++side) {
            for (int p = 0; p < 2; ++p) {
                const ParticipantUnits& u = b->Units(side, p);
                uint32_t alive = 0, organic = 0;
                for (const TBattleUnit& unit : u.Records) {
                    alive += unit.Destroyed == 0;
                    organic += unit.Destroyed == 0 && unit.TypeRow == 203;
                }
                EXPECT_EQ(u.UnitTotal, alive) << seed;
                EXPECT_EQ(u.OrgTotal, organic) << seed;
                EXPECT_EQ(u.OrgTotal + u.MehTotal, u.UnitTotal) << seed;
                for (uint32_t k = 0; k < u.UnitTotal; ++k) EXPECT_EQ(u.Records[k].Destroyed, 0) << seed;
                EXPECT_GE(b->LossTotal[side][p], 0) << seed;
                // A place tells its class, and the kind lists walk the listed
                // units of their kind in order, also where removals emptied
                // whole classes between others.
                for (uint32_t k = 0; k < u.UnitTotal; ++k)
                    ASSERT_EQ(&u.ClassOfPosition(k), &u.ClassAt(k)) << seed << " " << k;
                uint32_t entry[2] = {};
                for (uint32_t k = 0; k < u.UnitTotal; ++k) {
                    const bool kind = u.ClassAt(k).Organic;
                    ASSERT_EQ(u.KindListPosition(kind, entry[kind]++), k) << seed;
                }
                EXPECT_THROW(u.KindListPosition(true, u.OrgTotal), rtl::ERangeError);
            }
        }
    }
}
