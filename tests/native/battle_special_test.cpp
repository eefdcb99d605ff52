// Special attacks: their rounds, technology gates, tries and effects.
#include <gtest/gtest.h>

#include <string>

#include "battle/battleengine.h"
#include "rtl/errors.h"
#include "support/battle_support.h"

using namespace battle;
using namespace battle_test;

namespace {

constexpr int kCaster = 201, kMech = 202, kOrg = 203;

// Side 1: `casters` units with the special attack `kind`; side 2: `targets`
// units of the given full structure (organic or not).
struct Specials : Battle {
    Specials(int kind, uint32_t casters, uint32_t targets, int64_t targetStructure, bool organic = false) {
        UnitSpec caster;
        caster.name = "Маг";
        caster.attack = 0;
        caster.special1 = std::to_string(kind);
        caster.empStrength = 10;
        SetUnit(table, kCaster, caster);
        UnitSpec target;
        target.name = organic ? "Зерг" : "Танк";
        target.structure = targetStructure * 10;
        target.shields = 1000;
        target.attack = 0;
        if (organic) target.ability1 = "3";
        const int row = organic ? kOrg : kMech;
        SetUnit(table, row, target);
        input().ShipCount[1][0][kCaster] = casters;
        input().ShipCount[2][0][row] = targets;
    }
    uint16_t& tech(int line) { return input().TechLevel[1][0][line]; }
    void Cast(uint32_t round, int kind) {
        engine->Round = round;
        engine->CurSide = 1;
        engine->CurPartIdx = 0;
        engine->CurUnit = 0;
        engine->SpAttack(1, unit(1, 0, 0), kind);
    }
};

}  // namespace

TEST(Yamato, FiresInEveryFourthRoundWithChanceOneHalf) {
    Specials s(1, 400, 1, 1'000'000'000);
    s.tech(kTechYamato) = 1;  // 250 a shot
    s->preparebatle();
    const TBattleUnit& target = s.unit(2, 0, 0);
    for (uint32_t round = 1; round <= 5; ++round) {
        const int64_t before = target.Structure + target.Shield;
        s->Round = round;
        s->AttackPhase();
        const int64_t shots = (before - target.Structure - target.Shield) / 250;
        if (round == 4)
            EXPECT_NEAR(shots, 200, 40);
        else
            EXPECT_EQ(shots, 0) << round;
    }
}

TEST(Yamato, DrawsBeforeLookingAtTheTechnology) {
    Specials s(1, 1, 1, 1000);
    s->preparebatle();
    rtl::Random expected = s.random;
    s.Cast(3, 1);
    EXPECT_EQ(s.random.NextDouble(), expected.NextDouble());  // no draw outside its rounds
    expected = s.random;
    expected.NextDouble();
    s.Cast(4, 1);  // no technology, but the draw is made
    EXPECT_EQ(s.random.NextDouble(), expected.NextDouble());
    EXPECT_EQ(s.unit(2, 0, 0).Shield, 1000u);
}

TEST(Yamato, HitsShieldThenStructureWithoutCreditAndLogs) {
    Specials s(1, 1, 1, 4'194'304'000);
    s.options.fullLog = true;
    s.tech(kTechYamato) = 25;  // the strongest that fits: 250 * 2^24
    s->preparebatle();
    for (int i = 0; i < 64 && s.output.lines.empty(); ++i) s.Cast(4, 1);
    ASSERT_EQ(s.output.lines.size(), 1u);
    EXPECT_EQ(s.output.lines[0],
              "        орудие Ямато(4194304000) по Танк 1:0 оставляя структуры: 1000 щиты: 0");
    EXPECT_EQ(s.units(1, 0).DamageAt(0), 0);
    // A destroyed target is hit all the same.
    s.tech(kTechYamato) = 1;
    s.unit(2, 0, 0).Structure = 100;
    s.unit(2, 0, 0).Destroyed = 1;
    for (int i = 0; i < 64 && s.output.lines.size() == 1; ++i) s.Cast(4, 1);
    EXPECT_EQ(s.unit(2, 0, 0).Structure, 0);
    // A shot of exactly the shield and structure left destroys.
    s.unit(2, 0, 0).Destroyed = 0;
    s.unit(2, 0, 0).Structure = 200;
    s.unit(2, 0, 0).Shield = 50;
    for (int i = 0; i < 64 && s.output.lines.size() == 2; ++i) s.Cast(4, 1);
    EXPECT_EQ(s.unit(2, 0, 0).Destroyed, 1);
    EXPECT_EQ(s.unit(2, 0, 0).Structure, 0);
}

TEST(Yamato, TooHighALevelStopsWithAClearMessage) {
    Specials s(1, 1, 1, 1000);
    s.tech(kTechYamato) = 26;
    s->preparebatle();
    try {
        for (int i = 0; i < 64; ++i) s.Cast(4, 1);
        FAIL() << "no error";
    } catch (const rtl::ERangeError& e) {
        EXPECT_NE(std::string(e.what()).find("26"), std::string::npos);
    }
}

TEST(Emp, FiresInRoundsOneFourSevenWithLevelPlusOneTries) {
    Specials s(2, 1, 1, 1000);
    s.tech(kTechEmpRadiation) = 2;
    s->preparebatle();
    std::string fired;
    for (uint32_t round = 1; round <= 7; ++round) {
        const uint32_t before = s.units(2, 0).BaseShieldAt(0);
        s.Cast(round, 2);
        const uint32_t after = s.units(2, 0).BaseShieldAt(0);
        if (after != before) {
            EXPECT_EQ(before - after, 30u) << round;
            fired += std::to_string(round);
        }
        EXPECT_EQ(s.unit(2, 0, 0).Shield, 1000u);  // capped only at the next regeneration
    }
    EXPECT_EQ(fired, "147");
}

TEST(Emp, NeedsTheTechnologyAndMechanicalTargets) {
    Specials noTech(2, 1, 1, 1000);
    noTech->preparebatle();
    noTech.Cast(1, 2);
    EXPECT_EQ(noTech.units(2, 0).BaseShieldAt(0), 1000u);

    Specials organic(2, 1, 1, 1000, true);
    organic.tech(kTechEmpRadiation) = 1;
    organic->preparebatle();
    rtl::Random before = organic.random;
    organic.Cast(1, 2);
    EXPECT_EQ(organic.units(2, 0).BaseShieldAt(0), 1000u);
    EXPECT_EQ(organic.random.NextDouble(), before.NextDouble());

    // What counts is the target side's units, not the caster's own kind.
    Specials zerg(2, 1, 1, 1000);
    zerg.table.SetCell(kColAbility1, kCaster, "3");
    zerg.tech(kTechEmpRadiation) = 1;
    zerg->preparebatle();
    zerg.Cast(1, 2);
    EXPECT_EQ(zerg.units(2, 0).BaseShieldAt(0), 980u);
}

TEST(Emp, LowersTheCapacityToZeroAtMostAndLogs) {
    Specials s(2, 1, 1, 1000);
    s.options.fullLog = true;
    s.tech(kTechEmpRadiation) = 1;
    s.table.SetCell(kColShields, kMech, "15");
    s->preparebatle();
    s.Cast(1, 2);
    EXPECT_EQ(s.units(2, 0).BaseShieldAt(0), 0u);
    ASSERT_EQ(s.output.lines.size(), 2u);
    EXPECT_EQ(s.output.lines[0], "        Эми удар(10) по Танк 1:0 оставляя базовые щиты: 5");
    EXPECT_EQ(s.output.lines[1], "        Эми удар(10) по Танк 1:0 оставляя базовые щиты: 0");

    // The capacity is lowered, whatever shots left of the shield meanwhile.
    Specials shot(2, 1, 1, 1000);
    shot.tech(kTechEmpRadiation) = 1;
    shot->preparebatle();
    shot.unit(2, 0, 0).Shield = 400;
    shot.Cast(1, 2);
    EXPECT_EQ(shot.units(2, 0).BaseShieldAt(0), 980u);
    EXPECT_EQ(shot.unit(2, 0, 0).Shield, 400u);
}

TEST(Radiation, LowersRegenerationByTheStructuresOrderOfMagnitude) {
    Specials s(3, 1, 1, 1000, true);
    s.options.fullLog = true;
    s.tech(kTechEmpRadiation) = 1;
    s->preparebatle();
    s.Cast(2, 3);
    EXPECT_EQ(s.units(2, 0).RegenAt(0), 0);  // even rounds: nothing
    s.Cast(3, 3);
    EXPECT_EQ(s.units(2, 0).RegenAt(0), -15);  // five tries of 6 - log10(1000)
    EXPECT_EQ(s.output.lines[0], "        удар радиацией(3) по Зерг 1:0 снижая регенерацию до : -3");

    // Regeneration at or below -100 is not lowered further.
    s.units(2, 0).OwnRegen(0) = -98;
    s.Cast(1, 3);
    EXPECT_EQ(s.units(2, 0).RegenAt(0), -101);
}

TEST(Radiation, SparesLargeUnitsAndUnitsWithoutStructure) {
    for (int64_t structure : {1'000'000, 0}) {
        Specials s(3, 1, 1, structure, true);
        s.options.fullLog = true;
        s.tech(kTechEmpRadiation) = 1;
        s->preparebatle();
        ASSERT_NO_THROW(s.Cast(1, 3));
        EXPECT_EQ(s.units(2, 0).RegenAt(0), 0);
        EXPECT_EQ(s.output.Count("        удар радиацией(0)"), 5u);
    }
}

TEST(Radiation, NeedsOrganicTargets) {
    Specials s(3, 1, 1, 1000);
    s.tech(kTechEmpRadiation) = 1;
    s->preparebatle();
    rtl::Random before = s.random;
    s.Cast(1, 3);
    EXPECT_EQ(s.random.NextDouble(), before.NextDouble());
}

TEST(AcidSpores, SlowUnitsFromAPoolOfFiftyThousand) {
    Specials s(4, 1, 1000, 20'000);
    s.tech(kTechAcidSpores) = 2;  // three tries
    s->preparebatle();
    s.Cast(1, 4);
    int slowed = 0;
    for (uint32_t n = 0; n < 1000; ++n) slowed += s.unit(2, 0, n).Slowed;
    EXPECT_EQ(slowed, 2);  // 50,000, then 30,000; 10,000 is too little

    // 16,666 each: 50,000, 33,334 and 16,668 are all enough.
    Specials third(4, 1, 1000, 16'666);
    third.tech(kTechAcidSpores) = 2;
    third->preparebatle();
    third.Cast(1, 4);
    slowed = 0;
    for (uint32_t n = 0; n < 1000; ++n) slowed += third.unit(2, 0, n).Slowed;
    EXPECT_EQ(slowed, 3);

    Specials big(4, 1, 100, 50'000);
    big.tech(kTechAcidSpores) = 200;
    big->preparebatle();
    for (uint32_t round = 1; round <= 3; ++round) big.Cast(round, 4);
    for (uint32_t n = 0; n < 100; ++n) EXPECT_EQ(big.unit(2, 0, n).Slowed, 0);
}

TEST(AcidSpores, EveryRoundBehindTheirTechnologyWithALinePerTry) {
    Specials s(4, 1, 5, 1000);
    s.options.fullLog = true;
    s->preparebatle();
    s.Cast(1, 4);
    EXPECT_TRUE(s.output.lines.empty());
    s.tech(kTechAcidSpores) = 1;
    for (uint32_t round = 1; round <= 3; ++round) s.Cast(round, 4);
    EXPECT_EQ(s.output.Count("        Удар кислотными спорами по Танк 1:"), 6u);
}

TEST(SpecialAttacks, TryCountsAreBytes) {
    Specials acid(4, 1, 1, 1000);
    acid.tech(kTechAcidSpores) = 255;
    acid->preparebatle();
    EXPECT_THROW(acid.Cast(1, 4), rtl::ERangeError);
    Specials emp(2, 1, 1, 1000);
    emp.tech(kTechEmpRadiation) = 255;
    emp->preparebatle();
    EXPECT_THROW(emp.Cast(1, 2), rtl::ERangeError);
}

TEST(SpecialAttacks, SecondKindOnlyAfterAFirstAndKindsAreBytes) {
    Specials s(0, 1, 1, 1000);
    s.table.SetCell(kColSpecialAttack2, kCaster, "4");  // never used behind a "0"
    s.tech(kTechAcidSpores) = 1;
    s->preparebatle();
    s->Round = 1;
    s->AttackPhase();
    EXPECT_EQ(s.unit(2, 0, 0).Slowed, 0);

    s.table.SetCell(kColSpecialAttack1, kCaster, "9");  // unknown kinds do nothing
    s->preparebatle();
    s->AttackPhase();
    EXPECT_EQ(s.unit(2, 0, 0).Slowed, 1);

    s.table.SetCell(kColSpecialAttack1, kCaster, "300");
    s->preparebatle();
    EXPECT_THROW(s->AttackPhase(), rtl::ERangeError);
}
