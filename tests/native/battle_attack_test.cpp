// The ordinary attack: a shot's effect, rapid fire, priority targets,
// flagship exposure and concentrated shots.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "battle/battleengine.h"
#include "battle/battletypes.h"
#include "rtl/errors.h"
#include "support/battle_support.h"

using namespace battle;
using namespace battle_test;

namespace {

constexpr int kShooter = 201, kTarget = 202, kEscort = 203, kFlagship = 204, kMiddle = 205;

UnitSpec Spec(const char* name, int64_t structure, int64_t attack, int64_t shields) {
    UnitSpec s;
    s.name = name;
    s.structure = structure;
    s.attack = attack;
    s.shields = shields;
    return s;
}

// One shooter of side 1 against one target of side 2.
struct Duel : Battle {
    Duel(int64_t attack, int64_t targetStructure, int64_t targetShields, const char* ability = "0") {
        UnitSpec shooter = Spec("Стрелок", 1000, attack, 0);
        shooter.ability1 = ability;
        SetUnit(table, kShooter, shooter);
        SetUnit(table, kTarget, Spec("Цель", targetStructure * 10, 0, targetShields));
        input().ShipCount[1][0][kShooter] = 1;
        input().ShipCount[2][0][kTarget] = 1;
        options.fullLog = true;  // which keeps the damage dealt
    }
    void Fire() {
        engine->CurSide = 1;
        engine->CurPartIdx = 0;
        engine->CurUnit = 0;
        engine->BaseAttack(1, 0, 0);
    }
    int64_t damage() { return units(1, 0).DamageAt(0); }
    TBattleUnit& target() { return unit(2, 0, 0); }
};

}  // namespace

TEST(Shot, ExactlyTheShieldLeavesTheStructure) {
    Duel d(30, 100, 30);
    d->preparebatle();
    d.Fire();
    EXPECT_EQ(d.target().Shield, 0u);
    EXPECT_EQ(d.target().Structure, 100);
    EXPECT_EQ(d.target().Destroyed, 0);
    EXPECT_EQ(d.damage(), 30 * 10000);
}

TEST(Shot, PastTheShieldIntoTheStructure) {
    Duel d(25, 20, 10);
    d->preparebatle();
    d.Fire();
    EXPECT_EQ(d.target().Shield, 0u);
    EXPECT_EQ(d.target().Structure, 5);
    EXPECT_EQ(d.damage(), 25 * 10000);
}

TEST(Shot, ExactlyShieldAndStructureDestroysAndCreditsWhatWasLeft) {
    Duel exact(30, 20, 10);
    exact->preparebatle();
    exact.Fire();
    EXPECT_EQ(exact.target().Destroyed, 1);
    EXPECT_EQ(exact.target().Structure, 0);
    EXPECT_EQ(exact.target().Shield, 0u);
    EXPECT_EQ(exact.damage(), 30 * 10000);

    Duel overkill(50, 20, 10);
    overkill->preparebatle();
    overkill.Fire();
    EXPECT_EQ(overkill.target().Destroyed, 1);
    EXPECT_EQ(overkill.damage(), 30 * 10000);
}

TEST(Shot, IgnoringTheShieldTakesStructureAndCreditsOnlyStructure) {
    Duel d(15, 20, 100, "1");
    d->preparebatle();
    d.Fire();
    EXPECT_EQ(d.target().Shield, 100u);
    EXPECT_EQ(d.target().Structure, 5);
    EXPECT_EQ(d.damage(), 15 * 10000);
    d.Fire();
    EXPECT_EQ(d.target().Destroyed, 1);
    EXPECT_EQ(d.target().Shield, 0u);
    EXPECT_EQ(d.damage(), 20 * 10000);
}

TEST(Shot, AtADestroyedTargetDoesNothingButTheRapidFireDraw) {
    Duel d(30, 100, 0);
    d.options.fullLog = true;
    d->preparebatle();
    d.target().Destroyed = 1;
    rtl::Random expected = d.random;
    expected.Next(1);
    expected.NextDouble();
    d.Fire();
    EXPECT_EQ(d.target().Structure, 100);
    EXPECT_EQ(d.damage(), 0);
    EXPECT_TRUE(d.output.lines.empty());
    EXPECT_EQ(d.random.NextDouble(), expected.NextDouble());
}

TEST(Shot, FullLogLineAfterTheHit) {
    Duel d(25, 20, 10);
    d.options.fullLog = true;
    d->preparebatle();
    d.Fire();
    ASSERT_EQ(d.output.lines.size(), 1u);
    EXPECT_EQ(d.output.lines[0], "        Цель 1:0 оставляя структуры: 5 щиты: 0");
}

TEST(Shot, SelfDestructingShooterStillFinishesItsRapidFire) {
    Battle b;
    UnitSpec kamikaze = Spec("Камикадзе", 1000, 1, 0);
    kamikaze.ability2 = "2";
    SetUnit(b.table, kShooter, kamikaze);
    SetUnit(b.table, kTarget, Spec("Цель", 1'000'000'000, 0, 0));
    SetRapidFire(b.table, kShooter, kTarget, "10");
    b.input().ShipCount[1][0][kShooter] = 20;
    b.input().ShipCount[2][0][kTarget] = 1;
    b.options.fullLog = true;
    b->preparebatle();
    b->Round = 1;
    b->AttackPhase();
    int64_t shots = 0;
    for (uint32_t n = 0; n < 20; ++n) {
        EXPECT_EQ(b.unit(1, 0, n).Destroyed, 1);
        shots += b.units(1, 0).DamageAt(n) / 10000;
    }
    EXPECT_GT(shots, 60);  // about 10 each
    EXPECT_EQ(b.unit(2, 0, 0).Structure, 100'000'000 - shots);
}

namespace {

// Shots of 2000 shooters of attack 1 with the given rapid fire.
int64_t ShotsWithRapidFire(const std::string& rapidFire) {
    Battle b(777);
    SetUnit(b.table, kShooter, Spec("Стрелок", 1000, 1, 0));
    SetUnit(b.table, kTarget, Spec("Цель", 1'000'000'000'000, 0, 0));
    SetRapidFire(b.table, kShooter, kTarget, rapidFire);
    b.input().ShipCount[1][0][kShooter] = 2000;
    b.input().ShipCount[2][0][kTarget] = 3;
    b.options.fullLog = true;
    b->preparebatle();
    b->Round = 1;
    b->AttackPhase();
    int64_t shots = 0;
    for (uint32_t n = 0; n < 2000; ++n) shots += b.units(1, 0).DamageAt(n) / 10000;
    return shots;
}

}  // namespace

TEST(RapidFire, ZeroOneAndNegativeGiveOneShot) {
    EXPECT_EQ(ShotsWithRapidFire("0"), 2000);
    EXPECT_EQ(ShotsWithRapidFire("1"), 2000);
    EXPECT_EQ(ShotsWithRapidFire("-3"), 2000);
}

TEST(RapidFire, ValueNGivesNShotsOnAverage) {
    // Standard deviations: 63 and 155 shots.
    EXPECT_NEAR(ShotsWithRapidFire("2"), 4000, 300);
    EXPECT_NEAR(ShotsWithRapidFire("4"), 8000, 700);
}

TEST(RapidFire, ValuesBeyondTheBoundStopTheBattleRatherThanShootForEver) {
    // 1e9 shots on average would take hours; from about 9e15 on the chance
    // to fire again is certainty.
    for (const std::string value : {"1000000000", "9007199254740993", "9223372036854775807"}) {
        Battle b;
        SetUnit(b.table, kShooter, Spec("Стрелок", 1000, 1, 0));
        SetUnit(b.table, kTarget, Spec("Цель", 1000, 0, 0));
        SetRapidFire(b.table, kShooter, kTarget, value);
        b.input().ShipCount[1][0][kShooter] = 1;
        b.input().ShipCount[2][0][kTarget] = 1;
        b.options.rounds = "1";
        b->PrepareBattle();
        try {
            b->FightRounds();
            ADD_FAILURE() << value;
        } catch (const rtl::ERangeError& e) {
            EXPECT_EQ(std::string(e.what()), "Таблица, строка 201, столбец 232: скорострел " + value +
                                                 " больше допустимого (10000)");
        }
        EXPECT_EQ(b.unit(2, 0, 0).Structure, 100 - 1);  // the first shot, then the stop
    }
    // The bound itself is fired: that many shots on average.
    Battle b(5);
    SetUnit(b.table, kShooter, Spec("Стрелок", 1000, 1, 0));
    SetUnit(b.table, kTarget, Spec("Цель", 1'000'000'000, 0, 0));
    SetRapidFire(b.table, kShooter, kTarget, std::to_string(kMaxRapidFire));
    b.input().ShipCount[1][0][kShooter] = 4;
    b.input().ShipCount[2][0][kTarget] = 1;
    b.options.rounds = "1";
    b->PrepareBattle();
    b->FightRounds();
    EXPECT_NEAR(static_cast<double>(b->ShotCount), 4.0 * kMaxRapidFire, 2.0 * kMaxRapidFire);
}

TEST(RapidFire, TestDrawsOnceAndStopsWithTheRightChance) {
    Battle b(99);
    rtl::Random copy = b.random;
    EXPECT_TRUE(b->N_shot(0));
    EXPECT_TRUE(b->N_shot(1));
    copy.NextDouble();
    copy.NextDouble();
    EXPECT_EQ(b.random.NextDouble(), copy.NextDouble());
    int stops = 0;
    for (int i = 0; i < 10000; ++i) stops += b->N_shot(2);
    EXPECT_NEAR(stops, 5000, 250);
    stops = 0;
    for (int i = 0; i < 10000; ++i) stops += b->N_shot(5);
    EXPECT_NEAR(stops, 2000, 200);

    // The threshold (n - 1) / n is rounded up to a double, never down: a draw
    // equal to the rounded value stops, so the chance to go on never exceeds
    // the exact one; the next double down would be below it.
    for (int64_t n : {int64_t{3}, int64_t{7}, int64_t{1250}, kMaxRapidFire, int64_t{9'000'000'000'000'000}}) {
        const long double exact = static_cast<long double>(n - 1) / n;
        const double t = RapidFireThreshold(n);
        EXPECT_GE(static_cast<long double>(t), exact) << n;
        EXPECT_LT(static_cast<long double>(std::nextafter(t, 0.0)), exact) << n;
    }
}

TEST(ConcentratedShots, TheChanceThresholdDecidesAsTheExtendedComparison) {
    // A draw is concentrated when percent / 100 exceeds it: the threshold
    // itself is not, the next double down is.
    for (int64_t percent : {int64_t{0}, int64_t{1}, int64_t{3}, int64_t{7}, int64_t{30}, int64_t{33}, int64_t{99},
                            int64_t{100}, int64_t{250}, int64_t{-5}, int64_t{9'000'000'000'000'000'007}}) {
        const double t = ChanceThreshold(percent);
        EXPECT_FALSE(percent / 100.0L > t) << percent;
        EXPECT_TRUE(percent / 100.0L > std::nextafter(t, -HUGE_VAL)) << percent;
    }
}

TEST(PriorityTargets, ShotFirstWhileTheyHaveShield) {
    Battle b;
    UnitSpec guard = Spec("Страж", 1'000'000, 0, 50);
    guard.ability1 = "4";
    SetUnit(b.table, kShooter, Spec("Стрелок", 1000, 10, 0));
    SetUnit(b.table, kTarget, Spec("Цель", 1'000'000, 0, 0));
    SetUnit(b.table, kEscort, guard);
    b.input().ShipCount[1][0][kShooter] = 12;
    b.input().ShipCount[2][0][kTarget] = 100;
    b.input().ShipCount[2][0][kEscort] = 2;
    b->preparebatle();
    b->Round = 1;
    b->AttackPhase();
    // Ten shots empty both shields; the last two find no priority unit and
    // go to the structure of random units.
    EXPECT_EQ(b.unit(2, 0, 100).Shield, 0u);
    EXPECT_EQ(b.unit(2, 0, 101).Shield, 0u);
    EXPECT_EQ(b->PriorityActive[2], 0);
    int64_t structureDamage = 0;
    for (uint32_t n = 0; n < 102; ++n) structureDamage += 100'000 - b.unit(2, 0, n).Structure;
    EXPECT_EQ(structureDamage, 20);

    // After the removal the side has its priority units again.
    b->RemoveDestroyedUnits(false);
    EXPECT_EQ(b->PriorityActive[2], 1);
    b->RegenerateShieldsAndCountDelays();
    EXPECT_EQ(b.unit(2, 0, 100).Shield, 50u);
    uint32_t participant;
    uint64_t index;
    ASSERT_TRUE(b->SetTarget(2, participant, index));
    EXPECT_EQ(index, 100u);  // the first priority unit while the priority mode holds

    // A second priority type all destroyed: the first type's units still
    // bring the priority mode back.
    UnitSpec wall = guard;
    wall.name = "Стена";
    SetUnit(b.table, 204, wall);
    b.input().ShipCount[2][0][204] = 3;
    b->preparebatle();
    for (uint32_t n = 102; n < 105; ++n) b.unit(2, 0, n).Destroyed = 1;
    b->RemoveDestroyedUnits(false);
    EXPECT_EQ(b->Units(2, 0).PriorityTotal, 2);
    EXPECT_EQ(b->PriorityActive[2], 1);
}

namespace {

// Side 2: one flagship of structure value 6,000,000 and escorts.
struct Fleet : Battle {
    Fleet(int64_t escortStructure, uint32_t escorts, int64_t concentrated = 0) {
        UnitSpec shooter = Spec("Стрелок", 1000, 10, 0);
        shooter.concentrated = concentrated;
        SetUnit(table, kShooter, shooter);
        SetUnit(table, kEscort, Spec("Эскорт", escortStructure, 0, 0));
        SetUnit(table, kFlagship, Spec("Флагман", 6'000'000, 0, 0));
        input().ShipCount[1][0][kShooter] = 50;
        input().ShipCount[2][0][kEscort] = escorts;
        input().ShipCount[2][0][kFlagship] = 1;
    }
    bool Exposed() {
        engine->preparebatle();
        engine->Calkyiaz();
        return engine->FlagshipExposed[2] == 1;
    }
};

}  // namespace

TEST(FlagshipExposure, ThirtyPercentOfTheFlagshipWeightAgainstTheEscort) {
    EXPECT_TRUE(Fleet(17'000, 100).Exposed());   // escort 1,700,000
    EXPECT_FALSE(Fleet(19'000, 100).Exposed());  // escort 1,900,000
    // Escort bands: half of 40,000 and a fifth of 100,000 count.
    EXPECT_TRUE(Fleet(40'000, 85).Exposed());
    EXPECT_FALSE(Fleet(40'000, 95).Exposed());
    EXPECT_TRUE(Fleet(100'000, 85).Exposed());
    EXPECT_FALSE(Fleet(100'000, 95).Exposed());
    // 30,000 already counts at half; a half weight is rounded to even
    // (28,571.5 to 28,572: 1,800,036 in all, against 1,800,000).
    EXPECT_TRUE(Fleet(30'000, 100).Exposed());
    EXPECT_FALSE(Fleet(57'143, 63).Exposed());
    // 70,000 already counts at a fifth, rounded (28,571.6 to 28,572).
    EXPECT_TRUE(Fleet(70'000, 100).Exposed());
    EXPECT_FALSE(Fleet(142'858, 63).Exposed());
    // A tie does not expose: 30 % of 5,000,100 is exactly the escort's 1,500,030.
    Fleet tie(30, 50'001);
    SetUnit(tie.table, kFlagship, Spec("Флагман", 5'000'100, 0, 0));
    EXPECT_FALSE(tie.Exposed());
    tie.input().ShipCount[2][0][kEscort] = 50'000;
    EXPECT_TRUE(tie.Exposed());
}

TEST(FlagshipExposure, TypesBetweenTheBandsCountNeither) {
    // Neither as escort (an exposed side stays exposed) nor as flagship (a
    // covered side stays covered), at both ends of the gap.
    for (int64_t middle : {150'000, 1'000'000, 5'000'000}) {
        for (const bool exposed : {true, false}) {
            Fleet f(exposed ? 17'000 : 19'000, 100);
            SetUnit(f.table, kMiddle, Spec("Средний", middle, 0, 0));
            f.input().ShipCount[2][0][kMiddle] = 1000;
            EXPECT_EQ(f.Exposed(), exposed) << middle;
        }
    }
    Fleet onlyMiddle(17'000, 0);
    onlyMiddle.input().ShipCount[2][0][kFlagship] = 0;
    SetUnit(onlyMiddle.table, kMiddle, Spec("Средний", 5'000'000, 0, 0));
    onlyMiddle.input().ShipCount[2][0][kMiddle] = 1;
    EXPECT_FALSE(onlyMiddle.Exposed());  // no flagship weight at all
}

TEST(FlagshipExposure, ConcentratedShotsNeverAimAtATypeOfExactlyFiveMillion) {
    Fleet f(17'000, 100, 100);
    SetUnit(f.table, kMiddle, Spec("Средний", 5'000'000, 0, 0));
    f.input().ShipCount[2][0][kMiddle] = 1000;
    ASSERT_TRUE(f.Exposed());
    f->Round = 1;
    f->AttackPhase();
    EXPECT_EQ(f.unit(2, 0, 100).Structure, 600'000 - 50 * 10);
    for (uint32_t n = 101; n < 1101; ++n) ASSERT_EQ(f.unit(2, 0, n).Structure, 500'000) << n;
}

TEST(FlagshipExposure, ExposedSideIsLoggedAndAimedAt) {
    Fleet f(17'000, 100, 100);
    f.options.fullLog = true;
    ASSERT_TRUE(f.Exposed());
    EXPECT_TRUE(f.output.Contains("Сторона 2 открыта уязвимость флагманов"));
    EXPECT_EQ(f->FlagshipTarget[2].Participant, 0u);
    EXPECT_EQ(f->FlagshipTarget[2].Position, 100u);
    f->Round = 1;
    f->AttackPhase();
    // Every shot of a shooter with a 100 % concentrated-shot chance hits the flagship.
    EXPECT_EQ(f.unit(2, 0, 100).Structure, 600'000 - 50 * 10);
    for (uint32_t n = 0; n < 100; ++n) EXPECT_EQ(f.unit(2, 0, n).Structure, 1700);
}

TEST(FlagshipExposure, ADestroyedFlagshipTargetIsDrawnAgainUntilNoneIsLeft) {
    Battle b;
    UnitSpec gunner = Spec("Канонир", 1000, 600'000, 0);
    gunner.concentrated = 100;
    SetUnit(b.table, kShooter, gunner);
    SetUnit(b.table, kFlagship, Spec("Флагман", 6'000'000, 0, 0));
    b.input().ShipCount[1][0][kShooter] = 4;
    b.input().ShipCount[2][0][kFlagship] = 2;
    b.options.fullLog = true;
    b->preparebatle();
    b->Calkyiaz();
    ASSERT_EQ(b->FlagshipExposed[2], 1);
    b->Round = 1;
    b->AttackPhase();
    EXPECT_EQ(b.unit(2, 0, 0).Destroyed, 1);
    EXPECT_EQ(b.unit(2, 0, 1).Destroyed, 1);
    // The third shooter found no living flagship: the exposure ended.
    EXPECT_EQ(b->FlagshipExposed[2], 0);
    EXPECT_EQ(b.units(1, 0).DamageAt(2), 0);
}

TEST(FlagshipExposure, ANewTargetIsFoundAmongFlagshipsListedBehindOtherTypes) {
    Battle b;
    UnitSpec gunner = Spec("Канонир", 1000, 10, 0);
    gunner.concentrated = 100;
    SetUnit(b.table, kShooter, gunner);
    SetUnit(b.table, kEscort, Spec("Эскорт", 1000, 0, 0));
    SetUnit(b.table, kFlagship, Spec("Флагман", 6'000'000, 0, 0));
    b.input().ShipCount[1][0][kShooter] = 1;
    b.input().ShipCount[2][0][kEscort] = 1;
    b.input().ShipCount[2][0][kFlagship] = 2;
    b->preparebatle();
    b->Calkyiaz();
    ASSERT_EQ(b->FlagshipExposed[2], 1);
    // Within the round the escort and the flagship aimed at fall.
    b->FlagshipTarget[2] = {0, 1};
    b.unit(2, 0, 0).Destroyed = 1;
    b.unit(2, 0, 1).Destroyed = 1;
    b->CurSide = 1;
    b->CurPartIdx = 0;
    b->CurUnit = 0;
    uint32_t participant;
    uint64_t index;
    ASSERT_TRUE(b->SetTarget(2, participant, index));
    EXPECT_EQ(index, 2u);
    EXPECT_EQ(b->FlagshipExposed[2], 1);
}

TEST(EmptySide, NoTargetIsDrawnFromASideWithoutUnits) {
    for (int partCount : {1, 0}) {
        Duel d(30, 100, 0);
        d.input().ShipCount[2][0][kTarget] = 0;
        d.input().PartCount[2] = static_cast<uint8_t>(partCount);
        d->preparebatle();
        rtl::Random before = d.random;
        d.Fire();
        uint32_t participant;
        uint64_t index;
        EXPECT_FALSE(d->SetTarget(2, participant, index));
        EXPECT_FALSE(d->SetTarget2(2, participant, index));
        EXPECT_FALSE(d->SetOrgTarget(2, participant, index));
        EXPECT_FALSE(d->SetMehTarget(2, participant, index));
        EXPECT_EQ(d.random.NextDouble(), before.NextDouble());
        EXPECT_EQ(d.damage(), 0);
    }
}

TEST(EmptySide, ABattleAgainstNothingEndsAfterOneRound) {
    Duel d(30, 100, 0);
    d.input().ShipCount[2][0][kTarget] = 0;
    d.options.rounds = "5";
    d->PrepareBattle();
    d->FightRounds();
    EXPECT_EQ(d->Round, 1u);
    EXPECT_EQ(d->SideAlive[1], 1);
    EXPECT_EQ(d->SideAlive[2], 0);
}

TEST(TargetChoice, EveryLivingUnitOfTheSideIsEquallyLikely) {
    Battle b(4242);
    SetUnit(b.table, kTarget, Spec("Цель", 1000, 0, 0));
    b.input().PartCount[2] = 3;
    b.input().ShipCount[2][0][kTarget] = 10;
    b.input().ShipCount[2][1][kTarget] = 0;
    b.input().ShipCount[2][2][kTarget] = 30;
    b.input().ShipCount[1][0][kTarget] = 1;
    b->preparebatle();
    int hits[3] = {};
    for (int i = 0; i < 40000; ++i) {
        uint32_t participant;
        uint64_t index;
        ASSERT_TRUE(b->SetTarget2(2, participant, index));
        ASSERT_LT(participant, 3u);
        ASSERT_LT(index, b->Units(2, participant).UnitTotal);
        ++hits[participant];
    }
    EXPECT_NEAR(hits[0], 10000, 300);
    EXPECT_EQ(hits[1], 0);
    EXPECT_NEAR(hits[2], 30000, 300);
}
