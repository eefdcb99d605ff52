// Building the unit records: bonuses, abilities, buildings, delays, limits.
#include <gtest/gtest.h>

#include <string>

#include "battle/battleengine.h"
#include "battle/inputcheck.h"
#include "rtl/errors.h"
#include "support/battle_support.h"

using namespace battle;
using namespace battle_test;

namespace {

constexpr int kShip = 201, kOther = 202, kBuilding = 301;

UnitSpec Ship(int64_t structure, int64_t attack, int64_t shields) {
    UnitSpec s;
    s.name = "Корабль";
    s.structure = structure;
    s.attack = attack;
    s.shields = shields;
    return s;
}

}  // namespace

TEST(Preparation, GeneralBonusOfFixedTechnologiesAndOfficers) {
    Battle b;
    SetUnit(b.table, kShip, Ship(20000, 1000, 200));
    auto& in = b.input();
    in.ShipCount[1][0][kShip] = 2;
    in.TechLevel[1][0][kTechWeapons] = 2;
    in.TechLevel[1][0][kTechStructure] = 1;
    in.TechLevel[1][0][kTechShields] = 3;
    in.OfficerLevel[1][0][kOfficerAdmiral] = 3;
    in.OfficerLevel[1][0][kOfficerExperience] = 5;
    b->preparebatle();

    ASSERT_EQ(b->Units(1, 0).UnitTotal, 2u);
    const ParticipantUnits& units = b->Units(1, 0);
    for (uint32_t n = 0; n < 2; ++n) {
        const TBattleUnit& u = b.unit(1, 0, n);
        EXPECT_EQ(units.AttackAt(n), 1265u);        // 1000 * (1 + 0.2 + 0.06 + 0.005)
        EXPECT_EQ(units.MaxStructureAt(n), 2330);   // 20000 * 1.165 / 10
        EXPECT_EQ(u.Structure, 2330);
        EXPECT_EQ(units.BaseShieldAt(n), 273u);     // 200 * 1.365
        EXPECT_EQ(u.Shield, 273u);
        EXPECT_EQ(u.TypeRow, kShip);
        EXPECT_EQ(u.Destroyed, 0);
        EXPECT_EQ(units.DamageAt(n), 0);
        EXPECT_EQ(units.NumberAt(n), n);
    }
    EXPECT_EQ(b->TypeAlive[1][0][kShip], 2u);
    EXPECT_EQ(b->HasMeh[1], 1);
    EXPECT_EQ(b->HasOrg[1], 0);

    // Each value is rounded, not cut: 202 * 1.365 = 275.73.
    SetUnit(b.table, kOther, Ship(20000, 1000, 202));
    in.ShipCount[1][0][kOther] = 1;
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).BaseShieldAt(2), 276u);
}

TEST(Preparation, DatabaseTechnologiesActOnlyAtALevelAndOnTheirTypes) {
    Battle b;
    SetUnit(b.table, kShip, Ship(10000, 1000, 100));
    SetUnit(b.table, kOther, Ship(10000, 1000, 100));
    SetBonusRow(b.table, 101, 10, 20, 30, {kShip});
    auto& in = b.input();
    in.TechRows[3] = 101;
    in.TechRowCount = 4;
    in.ShipCount[1][0][kShip] = 1;
    in.ShipCount[1][0][kOther] = 1;
    in.ShipCount[2][0][kShip] = 1;
    in.TechLevel[2][0][3] = 2;

    b->preparebatle();
    // Side 1 has the technology at level 0.
    EXPECT_EQ(b.units(1, 0).AttackAt(0), 1000u);
    EXPECT_EQ(b.units(1, 0).MaxStructureAt(0), 1000);
    // Side 2 at level 2: twice its percentages of the database values.
    const ParticipantUnits& acted = b.units(2, 0);
    EXPECT_EQ(acted.AttackAt(0), 1200u);
    EXPECT_EQ(acted.BaseShieldAt(0), 140u);
    EXPECT_EQ(acted.MaxStructureAt(0), 1600);  // 1000 + 60% of 10000 / 10

    in.TechLevel[1][0][3] = 2;
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).AttackAt(0), 1200u);
    EXPECT_EQ(b.units(1, 0).AttackAt(1), 1000u);  // the technology does not act on this type

    // The highest percent the editors take, at the highest level: 32768 x
    // 65535 = 2147450880 is still a 32-bit number (32769 x 65535 is not),
    // and a unit of attack and shield 100 gets all of it.
    EXPECT_EQ(kMaxBonusPercent, 32'768);
    EXPECT_EQ(kMaxBonusLevel, 65'535);
    SetUnit(b.table, kShip, Ship(10000, 100, 100));
    SetBonusRow(b.table, 101, kMaxBonusPercent, kMaxBonusPercent, kMaxBonusPercent, {kShip});
    in.TechLevel[1][0][3] = 65'535;
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).AttackAt(0), 2'147'450'980u);
    EXPECT_EQ(b.units(1, 0).BaseShieldAt(0), 2'147'450'980u);
    EXPECT_EQ(b.units(1, 0).MaxStructureAt(0), 21'474'509'800);
}

TEST(Preparation, BonusesAddUpOnTheDatabaseValueAndNeverCompound) {
    Battle b;
    SetUnit(b.table, kShip, Ship(10000, 1000, 100));
    SetBonusRow(b.table, 101, 10, 0, 0, {kShip});
    SetBonusRow(b.table, 102, 10, 0, 0, {kShip});
    SetBonusRow(b.table, 551, 5, 0, 0, {kShip});
    auto& in = b.input();
    in.TechRows[3] = 101;
    in.TechRows[4] = 102;
    in.TechRowCount = 5;
    in.OfficerRows[4] = 551;
    in.OfficerRowCount = 5;
    in.ShipCount[1][0][kShip] = 1;
    in.TechLevel[1][0][kTechWeapons] = 1;  // 1100 from the general bonus
    in.TechLevel[1][0][3] = 1;
    in.TechLevel[1][0][4] = 1;
    in.OfficerLevel[1][0][4] = 2;
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).AttackAt(0), 1100u + 100 + 100 + 100);
}

TEST(Preparation, TechnologyListsLongerThanTwentyOneEntriesWork) {
    Battle b;
    SetUnit(b.table, kShip, Ship(10000, 1000, 100));
    auto& in = b.input();
    in.TechRowCount = kTechEntries;  // every technology row of the table
    for (int line = 3; line < in.TechRowCount; ++line) in.TechRows[line] = static_cast<uint16_t>(98 + line);
    SetBonusRow(b.table, in.TechRows[42], 50, 0, 0, {kShip});
    in.TechLevel[1][0][42] = 1;
    in.OfficerRowCount = 4 + 50;
    for (int line = 4; line < in.OfficerRowCount; ++line) in.OfficerRows[line] = static_cast<uint16_t>(547 + line);
    SetBonusRow(b.table, 600, 10, 0, 0, {kShip});
    in.OfficerLevel[1][0][53] = 1;
    in.ShipCount[1][0][kShip] = 1;
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).AttackAt(0), 1600u);

    // Every medal row of the table in the list: the last one acts.
    in.MedalRowCount = kMedalEntries;
    for (int line = 0; line < kMedalEntries; ++line) in.MedalRows[line] = static_cast<uint16_t>(kMedalFirstRow + line);
    SetBonusRow(b.table, kMedalLastRow, 30, 0, 0);
    for (int col = 6; col <= 11; ++col) b.table.SetCell(col, kMedalLastRow, "0");
    b.table.SetCell(kColMedalLight, kMedalLastRow, "1");
    b.table.SetCell(kColMedalAttackUnits, kMedalLastRow, "1");
    in.MedalCount[1][0][kMedalEntries - 1] = 1;
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).AttackAt(0), 1600u + 300);

    in.MedalRowCount = kMedalEntries + 1;
    EXPECT_THROW(b->preparebatle(), rtl::ERangeError);
    in.MedalRowCount = kMedalEntries;
    in.TechRowCount = kTechEntries + 1;
    EXPECT_THROW(b->preparebatle(), rtl::ERangeError);
}

TEST(Preparation, MedalsByPurposeAndClassCountedAsOftenAsHeld) {
    Battle b;
    UnitSpec light = Ship(10000, 1000, 100), medium = light, defence = light;
    medium.classOrGrowth = 1;
    defence.purpose = "1";
    SetUnit(b.table, 201, light);
    SetUnit(b.table, 202, medium);
    SetUnit(b.table, 203, defence);
    // Medal 1: attack units of the light class; medal 2: defence units.
    SetBonusRow(b.table, 1, 10, 0, 0);
    for (int col = 6; col <= 11; ++col) b.table.SetCell(col, 1, "0");
    b.table.SetCell(kColMedalLight, 1, "1");
    b.table.SetCell(kColMedalAttackUnits, 1, "1");
    SetBonusRow(b.table, 2, 0, 0, 50);
    for (int col = 6; col <= 11; ++col) b.table.SetCell(col, 2, "0");
    b.table.SetCell(kColMedalDefenceUnits, 2, "1");
    auto& in = b.input();
    in.MedalRows[0] = 1;
    in.MedalRows[1] = 2;
    in.MedalRowCount = 2;
    in.MedalCount[1][0][0] = 2;
    in.MedalCount[1][0][1] = 1;
    for (int row = 201; row <= 203; ++row) in.ShipCount[1][0][row] = 1;
    b->preparebatle();

    EXPECT_EQ(b.units(1, 0).AttackAt(0), 1200u);         // twice 10 %
    EXPECT_EQ(b.units(1, 0).MaxStructureAt(0), 1000);
    EXPECT_EQ(b.units(1, 0).AttackAt(1), 1000u);         // medium class: no medal
    EXPECT_EQ(b.units(1, 0).AttackAt(2), 1000u);         // defence unit: only the defence medal
    EXPECT_EQ(b.units(1, 0).MaxStructureAt(2), 1500);

    // Medal 3: attack units of the super-heavy class, the last of the four.
    UnitSpec superHeavy = light;
    superHeavy.classOrGrowth = 3;
    SetUnit(b.table, 204, superHeavy);
    SetBonusRow(b.table, 3, 20, 0, 0);
    for (int col = 6; col <= 11; ++col) b.table.SetCell(col, 3, "0");
    b.table.SetCell(kColMedalLight + 3, 3, "1");
    b.table.SetCell(kColMedalAttackUnits, 3, "1");
    in.MedalRows[2] = 3;
    in.MedalRowCount = 3;
    in.MedalCount[1][0][2] = 1;
    in.ShipCount[1][0][204] = 1;
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).AttackAt(3), 1200u);  // the light class's medal does not reach it
    EXPECT_EQ(b.units(1, 0).AttackAt(0), 1200u);  // nor this one the light class
    EXPECT_EQ(b.units(1, 0).AttackAt(1), 1000u);

    // Medal 4 names the light class but does not act on attack units.
    SetBonusRow(b.table, 4, 50, 0, 0);
    for (int col = 6; col <= 11; ++col) b.table.SetCell(col, 4, "0");
    b.table.SetCell(kColMedalLight, 4, "1");
    in.MedalRows[3] = 4;
    in.MedalRowCount = 4;
    in.MedalCount[1][0][3] = 1;
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).AttackAt(0), 1200u);
}

TEST(Preparation, BuildingsFightFromTheirLevelAndGrowWithIt) {
    Battle b;
    UnitSpec tower = Ship(10000, 50, 20);
    tower.name = "Башня";
    tower.purpose = "2";
    tower.classOrGrowth = 2;
    tower.buildingLevel = 2;
    SetUnit(b.table, kBuilding, tower);
    auto& in = b.input();
    in.ShipCount[1][0][kBuilding] = 1;  // below its level
    b->preparebatle();
    EXPECT_EQ(b->Units(1, 0).UnitTotal, 0u);
    EXPECT_TRUE(b.output.lines.empty());

    tower.buildingLevel = 1;
    SetUnit(b.table, kBuilding, tower);
    b->preparebatle();
    ASSERT_EQ(b->Units(1, 0).UnitTotal, 1u);
    EXPECT_EQ(b.units(1, 0).MaxStructureAt(0), 1000);  // no general bonus, a tenth
    EXPECT_EQ(b.units(1, 0).AttackAt(0), 50u);
    tower.structure = 10007;  // the tenth is rounded, not cut
    SetUnit(b.table, kBuilding, tower);
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).MaxStructureAt(0), 1001);
    tower.structure = 10000;
    SetUnit(b.table, kBuilding, tower);

    in.ShipCount[1][0][kBuilding] = 3;
    in.TechLevel[1][0][kTechWeapons] = 5;  // fixed technologies do not act on buildings
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).MaxStructureAt(0), 4000);  // four times the level-1 value
    EXPECT_EQ(b.unit(1, 0, 0).Structure, 4000);
    EXPECT_EQ(b.units(1, 0).AttackAt(0), 50u);
    EXPECT_EQ(b.output.lines.back(), "Башня 4000 50 20");

    // A database technology's structure term keeps its tenth and grows too.
    SetBonusRow(b.table, 101, 0, 0, 10, {kBuilding});
    in.TechRows[3] = 101;
    in.TechRowCount = 4;
    in.TechLevel[1][0][3] = 1;
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).MaxStructureAt(0), (10000 + 100) * 4 / 10);

    // Growth -1 turns the sign at every level: negative at even levels, at
    // any level, without a step per level.
    tower.classOrGrowth = -1;
    SetUnit(b.table, kBuilding, tower);
    in.TechRowCount = 3;
    for (uint32_t level : {2u, 3u, 4'000'000'000u, 4'000'000'001u}) {
        in.ShipCount[1][0][kBuilding] = level;
        b->preparebatle();
        EXPECT_EQ(b.units(1, 0).MaxStructureAt(0), level % 2 == 0 ? -1000 : 1000) << level;
    }
}

TEST(Preparation, BuildingLevelGrowthOverflowStopsTheBattle) {
    Battle b;
    UnitSpec tower = Ship(10000, 50, 20);
    tower.purpose = "2";
    tower.classOrGrowth = 10;
    SetUnit(b.table, kBuilding, tower);
    b.input().ShipCount[1][0][kBuilding] = 4'000'000'000u;
    EXPECT_THROW(b->preparebatle(), rtl::ERangeError);
    // Growth 1 keeps the structure at any level, at once.
    tower.classOrGrowth = 1;
    SetUnit(b.table, kBuilding, tower);
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).MaxStructureAt(0), 1000);
}

TEST(Preparation, DelaysOfOrdinaryTypesAndBuildings) {
    Battle b;
    UnitSpec ship = Ship(1000, 10, 0), tower = ship, lazyTower = ship;
    ship.delay = tower.delay = 2;
    ship.period = tower.period = 1;
    tower.purpose = lazyTower.purpose = "2";
    lazyTower.period = 0;
    SetUnit(b.table, kShip, ship);
    SetUnit(b.table, kBuilding, tower);
    SetUnit(b.table, kBuilding + 1, lazyTower);
    auto& in = b.input();
    in.ShipCount[1][0][kShip] = 1;
    in.ShipCount[1][0][kBuilding] = 1;
    in.ShipCount[1][0][kBuilding + 1] = 1;
    b->preparebatle();
    EXPECT_EQ(b.unit(1, 0, 0).FirstWait, 2);
    EXPECT_EQ(b.unit(1, 0, 0).AttackWait, 1);
    EXPECT_EQ(b.unit(1, 0, 1).AttackWait, 2);
    EXPECT_EQ(b.unit(1, 0, 1).FirstWait, 1);
    EXPECT_EQ(b.unit(1, 0, 2).FirstWait, 1);  // column 24 of 0 still waits a round

    ship.delay = 256;
    SetUnit(b.table, kShip, ship);
    EXPECT_THROW(b->preparebatle(), rtl::ERangeError);
}

TEST(Preparation, HalvedAttackOnlyOnTheAttackingSide) {
    Battle b;
    UnitSpec odd = Ship(1000, 7, 0), even = Ship(1000, 5, 0);
    odd.ability2 = even.ability1 = "5";
    UnitSpec tower = Ship(1000, 9, 0);
    tower.purpose = "2";
    tower.ability1 = "5";
    SetUnit(b.table, 201, odd);
    SetUnit(b.table, 202, even);
    SetUnit(b.table, 203, tower);
    auto& in = b.input();
    for (int side = 1; side <= 2; ++side) in.ShipCount[side][0][201] = in.ShipCount[side][0][202] = in.ShipCount[side][0][203] = 1;
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).AttackAt(0), 4u);  // 3.5 to even
    EXPECT_EQ(b.units(1, 0).AttackAt(1), 2u);  // 2.5 to even
    EXPECT_EQ(b.units(1, 0).AttackAt(2), 4u);  // a building alike: 4.5 to even
    EXPECT_EQ(b.units(2, 0).AttackAt(0), 7u);
    EXPECT_EQ(b.units(2, 0).AttackAt(1), 5u);
    EXPECT_EQ(b.units(2, 0).AttackAt(2), 9u);

    in.AttackingSide = 2;  // "Защищается"
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).AttackAt(0), 7u);
    EXPECT_EQ(b.units(1, 0).AttackAt(2), 9u);
    EXPECT_EQ(b.units(2, 0).AttackAt(0), 4u);
    EXPECT_EQ(b.units(2, 0).AttackAt(2), 4u);
    // No side halves when neither is named: such an input is refused.
    for (int side : {0, 3, -1}) {
        in.AttackingSide = side;
        EXPECT_THROW(b->preparebatle(), rtl::ERangeError) << side;
    }
}

TEST(Preparation, ShieldLimitKeepsShieldsOfTheFirstUnitsOnly) {
    Battle b;
    UnitSpec ship = Ship(1000, 10, 100);
    ship.ability1 = "6";
    UnitSpec tower = ship;
    tower.purpose = "2";
    SetUnit(b.table, kShip, ship);
    SetUnit(b.table, kBuilding, tower);
    auto& in = b.input();
    in.ShipCount[1][0][kShip] = 5;
    in.ShipCount[1][0][kBuilding] = 1;
    in.OfficerLevel[1][0][kOfficerShieldLimit] = 3;
    b->preparebatle();
    for (uint32_t n = 0; n < 5; ++n) {
        EXPECT_EQ(b.units(1, 0).BaseShieldAt(n), n < 3 ? 100u : 0u) << n;
        EXPECT_EQ(b.unit(1, 0, n).Shield, n < 3 ? 100u : 0u) << n;
    }
    EXPECT_EQ(b.units(1, 0).BaseShieldAt(5), 100u);  // a building is its type's first unit

    // Level 1 keeps the first unit's shield, and the building's.
    in.OfficerLevel[1][0][kOfficerShieldLimit] = 1;
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).BaseShieldAt(0), 100u);
    EXPECT_EQ(b.units(1, 0).BaseShieldAt(1), 0u);
    EXPECT_EQ(b.units(1, 0).BaseShieldAt(5), 100u);
    in.OfficerLevel[1][0][kOfficerShieldLimit] = 0;
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).BaseShieldAt(5), 0u);
}

TEST(Preparation, OrganicUnitsAndRegeneration) {
    Battle b;
    UnitSpec attacker = Ship(1000, 10, 0), defender = attacker;
    attacker.ability1 = "3";
    defender.ability2 = "3";
    defender.purpose = "1";
    SetUnit(b.table, 201, attacker);
    SetUnit(b.table, 202, defender);
    SetUnit(b.table, 203, Ship(1000, 10, 0));
    auto& in = b.input();
    in.ShipCount[1][0][201] = in.ShipCount[1][0][202] = in.ShipCount[1][0][203] = 1;
    in.TechLevel[1][0][kTechRegeneration] = 5;
    in.OfficerLevel[1][0][kOfficerOrganicDefence] = 2;
    b->preparebatle();
    const ParticipantUnits& u = b->Units(1, 0);
    EXPECT_EQ(u.OrgTotal, 2u);
    EXPECT_EQ(u.MehTotal, 1u);
    EXPECT_EQ(u.KindListPosition(true, 1), 1u);
    EXPECT_EQ(u.KindListPosition(false, 0), 2u);
    EXPECT_EQ(b.units(1, 0).RegenAt(0), 5);
    EXPECT_EQ(b.units(1, 0).RegenAt(1), 15);  // defence unit: + 5 per level
    EXPECT_EQ(b.units(1, 0).RegenAt(2), 5);
    EXPECT_EQ(b->HasOrg[1], 1);

    in.OfficerLevel[1][0][kOfficerOrganicDefence] = 25;  // 5 + 125 leaves the byte
    EXPECT_THROW(b->preparebatle(), rtl::ERangeError);
    in.OfficerLevel[1][0][kOfficerOrganicDefence] = 0;
    in.TechLevel[1][0][kTechRegeneration] = 128;
    EXPECT_THROW(b->preparebatle(), rtl::ERangeError);

    // An organic building regenerates with the technology too (it is no defence unit).
    UnitSpec nest = attacker;
    nest.purpose = "2";
    SetUnit(b.table, kBuilding, nest);
    in.ShipCount[1][0][kBuilding] = 1;
    in.TechLevel[1][0][kTechRegeneration] = 5;
    in.OfficerLevel[1][0][kOfficerOrganicDefence] = 2;
    b->preparebatle();
    EXPECT_EQ(b.units(1, 0).RegenAt(3), 5);
    EXPECT_EQ(b->Units(1, 0).OrgTotal, 3u);
}

TEST(Preparation, ElevenPriorityUnitsAtMost) {
    Battle b;
    UnitSpec guard = Ship(1000, 10, 50);
    guard.ability1 = "4";
    SetUnit(b.table, 201, guard);
    SetUnit(b.table, 202, guard);
    auto& in = b.input();
    in.ShipCount[1][0][201] = 6;
    in.ShipCount[1][0][202] = 5;
    b->preparebatle();
    EXPECT_EQ(b->Units(1, 0).PriorityTotal, 11);
    EXPECT_EQ(b->PriorityActive[1], 1);
    EXPECT_EQ(b->PriorityActive[2], 0);

    in.ShipCount[1][0][202] = 6;
    EXPECT_THROW(b->preparebatle(), rtl::ERangeError);

    // An ability cell of two characters names no ability.
    guard.ability1 = "41";
    SetUnit(b.table, 203, guard);
    in.ShipCount[1][0][202] = 5;
    in.ShipCount[1][0][203] = 20;
    EXPECT_NO_THROW(b->preparebatle());
    EXPECT_EQ(b->Units(1, 0).PriorityTotal, 11);
}

// The run refuses beforehand what the battle would stop on, with the types
// named, and lets through all that the battle can hold.
TEST(Preparation, MoreThanElevenPriorityUnitsAreRefusedBeforeTheBattleWithTheTypesNamed) {
    Battle b;
    UnitSpec mother = Ship(1000, 10, 50), dome = Ship(1000, 0, 50), shieldTower = Ship(1000, 0, 50);
    mother.name = "Материнский корабль";
    mother.ability1 = "4";
    dome.name = "Щитовой купол";
    dome.ability2 = "4";  // either ability column
    shieldTower.name = "Щитовая башня";
    shieldTower.purpose = "2";
    shieldTower.ability1 = "4";
    shieldTower.buildingLevel = 3;
    SetUnit(b.table, 201, mother);
    SetUnit(b.table, 202, dome);
    SetUnit(b.table, kBuilding, shieldTower);
    SetUnit(b.table, 203, Ship(1000, 10, 0));
    auto& in = b.input();
    in.PartCount[1] = 2;
    in.PartName[1][1] = "Союзник";
    in.ShipCount[1][1][201] = 6;
    in.ShipCount[1][1][202] = 4;
    in.ShipCount[1][1][203] = 500;   // no priority unit
    in.ShipCount[1][1][kBuilding] = 2;  // below its level: not built, not counted
    EXPECT_NO_THROW(CheckPriorityUnits(in, b.table));
    // The refusal's message; empty when the units are let through.
    auto refusal = [&]() -> std::string {
        try {
            CheckPriorityUnits(in, b.table);
        } catch (const rtl::ERangeError& error) {
            return error.what();
        }
        return "";
    };
    in.ShipCount[1][1][kBuilding] = 9;  // one building, whatever its level
    EXPECT_NO_THROW(CheckPriorityUnits(in, b.table));
    EXPECT_NO_THROW(b->preparebatle());
    EXPECT_EQ(b->Units(1, 1).PriorityTotal, 11);

    in.ShipCount[1][1][202] = 5;
    const std::string text = refusal();
    for (const char* part : {"Сторона 1, участник «Союзник»", " 12 (", "Материнский корабль - 6",
                             "Щитовой купол - 5", "Щитовая башня - 1", "не больше 11"})
        EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;
    EXPECT_EQ(text,
              "Сторона 1, участник «Союзник»: юнитов со способностью «Приоритетная цель, пока есть щиты» 12 "
              "(Материнский корабль - 6, Щитовой купол - 5, Щитовая башня - 1), а в бою у одного участника "
              "их может быть не больше 11. Бой не начат");
    // Exactly at its level the building fights, so it counts: refused here
    // with the same message, never left for the battle to stop on.
    in.ShipCount[1][1][kBuilding] = 3;
    EXPECT_THROW(CheckPriorityUnits(in, b.table), rtl::ERangeError);
    in.ShipCount[1][1][kBuilding] = 2;
    EXPECT_NO_THROW(CheckPriorityUnits(in, b.table));
    EXPECT_NO_THROW(b->preparebatle());
    // Below its level the building is neither counted nor named.
    in.ShipCount[1][1][202] = 6;
    EXPECT_NE(refusal().find(" 12 (Материнский корабль - 6, Щитовой купол - 6), "), std::string::npos) << refusal();
    // Side 2 is checked too; participants beyond the count are not.
    in.ShipCount[1][1][202] = 4;
    in.ShipCount[2][0][201] = 20;
    EXPECT_THROW(CheckPriorityUnits(in, b.table), rtl::ERangeError);
    in.ShipCount[2][0][201] = 0;
    in.ShipCount[2][3][201] = 20;
    EXPECT_NO_THROW(CheckPriorityUnits(in, b.table));
    // The last unit row counts like any other.
    SetUnit(b.table, kUnitLastRow, mother);
    in.ShipCount[2][0][kUnitLastRow] = 12;
    EXPECT_THROW(CheckPriorityUnits(in, b.table), rtl::ERangeError);
}

TEST(Preparation, AtMostFourMillionUnitsAParticipant) {
    Battle b;
    SetUnit(b.table, 201, Ship(1000, 10, 0));
    SetUnit(b.table, 202, Ship(1000, 10, 0));
    UnitSpec tower = Ship(1000, 10, 0);
    tower.purpose = "2";
    SetUnit(b.table, 301, tower);
    auto& in = b.input();
    in.ShipCount[1][0][201] = 3'999'998;
    in.ShipCount[1][0][202] = 5;
    in.ShipCount[1][0][301] = 1;
    b->preparebatle();
    const ParticipantUnits& u = b->Units(1, 0);
    EXPECT_EQ(u.UnitTotal, kMaxUnitsPerParticipant);
    EXPECT_EQ(u.AllocTotal, kMaxUnitsPerParticipant);
    EXPECT_EQ(u.Records.size(), kMaxUnitsPerParticipant);
    EXPECT_EQ(b->TypeAlive[1][0][202], 2u);
    EXPECT_EQ(b->TypeAlive[1][0][301], 0u);  // nothing is made beyond the limit, buildings neither
    EXPECT_EQ(u.Records.back().TypeRow, 202);
    b->FreeUnits();
    EXPECT_EQ(b->Units(1, 0).Records.capacity(), 0u);
}

// Checked before the battle, so that no unit is quietly left unmade.
TEST(Preparation, MoreUnitsThanAParticipantMayBringOrNoRoundsAreRefusedBeforehand) {
    Battle b;
    SetUnit(b.table, 201, Ship(1000, 10, 0));
    UnitSpec tower = Ship(1000, 10, 0);
    tower.purpose = "2";
    SetUnit(b.table, 301, tower);
    auto& in = b.input();
    in.PartCount[2] = 2;
    in.PartName[2][1] = "Союзник";
    in.ShipCount[2][1][201] = kMaxUnitsPerParticipant - 1;
    in.ShipCount[2][1][301] = 40;  // a building is one unit, whatever its level
    EXPECT_EQ(ParticipantUnitCount(in, b.table, 2, 1), kMaxUnitsPerParticipant);
    EXPECT_NO_THROW(CheckUnitCounts(in, b.table));
    in.ShipCount[2][1][201] = kMaxUnitsPerParticipant;
    try {
        CheckUnitCounts(in, b.table);
        ADD_FAILURE() << "one unit over the cap was accepted";
    } catch (const rtl::ERangeError& error) {
        const std::string text = error.what();
        EXPECT_NE(text.find("Сторона 2, участник «Союзник»: юнитов 4000001"), std::string::npos) << text;
    }
    // Participants beyond the count do not fight and are not counted.
    in.PartCount[2] = 1;
    EXPECT_NO_THROW(CheckUnitCounts(in, b.table));
    // The last unit row counts like any other.
    SetUnit(b.table, kUnitLastRow, Ship(1000, 10, 0));
    in.ShipCount[2][0][kUnitLastRow] = kMaxUnitsPerParticipant + 1;
    EXPECT_THROW(CheckUnitCounts(in, b.table), rtl::ERangeError);
    in.ShipCount[2][0][kUnitLastRow] = 0;

    for (const char* rounds : {"1", "8", "10000"}) {
        b.options.rounds = rounds;
        EXPECT_NO_THROW(RunRounds(b.options)) << rounds;
    }
    // Out of range: the message names the value and the range.
    auto refused = [&b](int (*check)(const BattleOptions&), const std::string& expected) {
        try {
            check(b.options);
            ADD_FAILURE() << "accepted: " << expected;
        } catch (const rtl::ERangeError& error) {
            EXPECT_NE(std::string(error.what()).find(expected), std::string::npos) << error.what();
        }
    };
    // A battle nobody wins ends within seconds at the most rounds; a number
    // beyond 64 bits is out of range too, not something else.
    for (const char* rounds : {"0", "-3", "10001", "2147483647", "99999999999999999999"}) {
        b.options.rounds = rounds;
        refused(RunRounds, std::string("В настройках «количество раундов»: «") + rounds +
                               "» - должно быть целым числом от 1 до 10000. Расчет не начат");
    }
    for (const char* rounds : {"", "восемь"}) {
        b.options.rounds = rounds;
        EXPECT_THROW(RunRounds(b.options), rtl::EConvertError) << rounds;
    }
    // A statistics run counts its battles in 16 bits and passes the last by one.
    for (const char* battles : {"1", "65534"}) {
        b.options.battles = battles;
        EXPECT_NO_THROW(RunBattles(b.options)) << battles;
    }
    for (const char* battles : {"0", "65535"}) {
        b.options.battles = battles;
        refused(RunBattles, std::string("«количество боев для статистики»: «") + battles +
                                "» - должно быть целым числом от 1 до 65534");
    }
    b.options.battles = "abc";
    EXPECT_THROW(RunBattles(b.options), rtl::EConvertError);
}

TEST(Preparation, SurvivorCountsStartFromTheUnitsMade) {
    Battle b;
    SetUnit(b.table, 201, Ship(1000, 10, 0));
    UnitSpec tower = Ship(1000, 10, 0);
    tower.purpose = "2";
    tower.buildingLevel = 5;
    SetUnit(b.table, 301, tower);
    auto& in = b.input();
    in.ShipCount[1][0][201] = 3;
    b->preparebatle();
    EXPECT_EQ(b->TypeAlive[1][0][201], 3u);
    // Next battle: the participant brings only a building below its level.
    in.ShipCount[1][0][201] = 0;
    in.ShipCount[1][0][301] = 2;
    b->preparebatle();
    EXPECT_EQ(b->Units(1, 0).UnitTotal, 0u);
    EXPECT_EQ(b->TypeAlive[1][0][201], 0u);
    EXPECT_EQ(b->TypeAlive[1][0][301], 0u);
}

TEST(Preparation, CellsThatAreNotNumbersStopTheBattleWhenRead) {
    Battle b;
    SetUnit(b.table, 201, Ship(1000, 10, 0));
    SetUnit(b.table, 202, Ship(1000, 10, 0));
    auto& in = b.input();
    in.ShipCount[1][0][201] = 1;
    in.ShipCount[2][0][202] = 1;
    b.table.SetCell(kColAttack, 201, "abc");
    EXPECT_THROW(b->preparebatle(), rtl::EConvertError);
    b.table.SetCell(kColAttack, 201, "10");
    // A bad cell the battle never reads does no harm...
    b.table.SetCell(kColEmpStrength, 201, "x");
    SetRapidFire(b.table, 201, 201, "x");
    b.options.rounds = "3";
    b->PrepareBattle();
    EXPECT_NO_THROW(b->FightRounds());
    // ...one it reads stops the battle.
    SetRapidFire(b.table, 201, 202, "2,5");
    b->PrepareBattle();
    EXPECT_THROW(b->FightRounds(), rtl::EConvertError);
}

TEST(Preparation, CellErrorsNameTheRowTheColumnAndWhatIsWrong) {
    Battle b;
    SetUnit(b.table, 201, Ship(1000, 10, 0));
    UnitSpec tower = Ship(1000, 10, 0);
    tower.purpose = "2";
    SetUnit(b.table, 301, tower);
    SetBonusRow(b.table, 101, 10, 0, 0, {201});
    auto& in = b.input();
    in.ShipCount[1][0][201] = 1;
    in.ShipCount[2][0][301] = 1;
    in.TechRows[3] = 101;
    in.TechRowCount = 4;
    in.TechLevel[1][0][3] = 1;
    b.options.rounds = "1";
    auto stop = [&](int col, int row, const char* text) -> std::string {
        const std::string before = b.table.Cell(col, row);
        b.table.SetCell(col, row, text);
        std::string message = "no error";
        try {
            b->PrepareBattle();
            b->FightRounds();
        } catch (const rtl::ERuntimeError& e) {
            message = e.what();
            // Not a number is a conversion error; a number out of range a range error.
            EXPECT_EQ(dynamic_cast<const rtl::ERangeError*>(&e) != nullptr,
                      message.find("диапазона") != std::string::npos)
                << message;
        }
        b.table.SetCell(col, row, before);
        return message;
    };
    EXPECT_EQ(stop(kColAttack, 201, "abc"), "Таблица, строка 201, столбец 8: 'abc' не является целым числом");
    EXPECT_EQ(stop(kColStructure, 201, "99999999999999999999"),
              "Таблица, строка 201, столбец 7: 99999999999999999999 вне допустимого диапазона");
    EXPECT_EQ(stop(kColStructure, 201, " +99999999999999999999"),
              "Таблица, строка 201, столбец 7:  +99999999999999999999 вне допустимого диапазона");
    EXPECT_EQ(stop(kColStructure, 201, "-"), "Таблица, строка 201, столбец 7: '-' не является целым числом");
    EXPECT_EQ(stop(kColDelay, 201, "256"), "Таблица, строка 201, столбец 22: 256 вне допустимого диапазона (0..255)");
    EXPECT_EQ(stop(kColAttack, 301, "5000000000"),
              "Таблица, строка 301, столбец 8: 5000000000 вне допустимого диапазона (0..4294967295)");
    EXPECT_EQ(stop(kColBonusAttack, 101, "10%"), "Таблица, строка 101, столбец 3: '10%' не является целым числом");
    EXPECT_EQ(stop(kColShieldRegen, 301, ""), "Таблица, строка 301, столбец 13: '' не является целым числом");
    SetRapidFire(b.table, 201, 301, "2");
    EXPECT_EQ(stop(kColRapidFire + 301, 201, "2,5"),
              "Таблица, строка 201, столбец 331: '2,5' не является целым числом");
    EXPECT_EQ(stop(kColSpecialAttack1, 201, "300"),
              "Таблица, строка 201, столбец 20: 300 вне допустимого диапазона (0..255)");
    EXPECT_EQ(stop(kColAttack, 201, "10"), "no error");
}
