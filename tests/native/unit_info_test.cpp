// What the unit editor makes of ability and special-attack codes, and what
// the unit information window computes: actual values as battle preparation
// makes them, and the rapid fire in both directions.
#include <gtest/gtest.h>

#include "battle/battleengine.h"
#include "battle/unitcodes.h"
#include "battle/unitinfo.h"
#include "rtl/errors.h"
#include "support/battle_support.h"

using namespace battle;
using namespace battle_test;

namespace {

constexpr int kShip = 201, kDefence = 202, kOther = 203;
constexpr int kTech = 101, kOfficer = 551, kMedal = 1, kOtherMedal = 2;

UnitSpec Ship(int64_t structure, int64_t attack, int64_t shields, const char* purpose = "0") {
    UnitSpec s;
    s.structure = structure;
    s.attack = attack;
    s.shields = shields;
    s.purpose = purpose;
    return s;
}

BonusLevels Levels(std::vector<uint16_t> rows, std::vector<int64_t> levels) { return {std::move(rows), std::move(levels)}; }

}  // namespace

TEST(UnitCodes, CellsAgainstTheNameListAndBack) {
    EXPECT_EQ(DecodeCode("0", 7).kind, CodeCell::kNone);
    EXPECT_EQ(DecodeCode("", 7).kind, CodeCell::kNone);
    EXPECT_EQ(DecodeCode("1", 7).item, 0);
    EXPECT_EQ(DecodeCode("7", 7).item, 6);
    for (const char* unknown : {"8", "-1", "abc", "2x", "99999999999999999999"})
        EXPECT_EQ(DecodeCode(unknown, 7).kind, CodeCell::kUnknown) << unknown;
    EXPECT_EQ(DecodeCode("1", 0).kind, CodeCell::kUnknown);  // no name file

    // Three checked keep the first two in list order; none checked is "0", "0".
    EXPECT_EQ(EncodeCodes({false, true, false, true, true}, {}), (std::array<std::string, 2>{"2", "4"}));
    EXPECT_EQ(EncodeCodes({false, false}, {}), (std::array<std::string, 2>{"0", "0"}));
    // A code that named nothing when loaded keeps its text and place; the
    // checked items take the places left.
    EXPECT_EQ(EncodeCodes({true, true}, {"9", ""}), (std::array<std::string, 2>{"9", "1"}));
    EXPECT_EQ(EncodeCodes({false, false, true}, {"", "-1"}), (std::array<std::string, 2>{"3", "-1"}));
    EXPECT_EQ(EncodeCodes({true}, {"x", "12"}), (std::array<std::string, 2>{"x", "12"}));
}

TEST(UnitInformation, BaseLevelsRoundHalvesToEvenAndFlagsDecide) {
    Battle b;
    SetUnit(b.table, kShip, Ship(15, 7, 3));
    SetUnit(b.table, kOther, Ship(25, 0, 0));
    PlayerLevels none;
    // A tenth of the structure: 1.5 rounds to 2, 2.5 to the even 2.
    UnitValues v = ActualValues(b.table, kShip, none);
    EXPECT_EQ(v.structure, 2);
    EXPECT_EQ(v.attack, 7);
    EXPECT_EQ(v.shields, 3);
    EXPECT_EQ(ActualValues(b.table, kOther, none).structure, 2);

    // A technology whose flag for the unit is not "1" adds nothing at any level.
    SetUnit(b.table, kShip, Ship(10000, 1000, 100));
    SetBonusRow(b.table, kTech, 10, 20, 30);
    b.table.SetCell(kShip, kTech, "0");
    PlayerLevels levels;
    levels.techs = Levels({0, 0, 0, kTech}, {0, 0, 0, 65535});
    v = ActualValues(b.table, kShip, levels);
    EXPECT_EQ(v.attack, 1000);
    EXPECT_EQ(v.structure, 1000);
    // With the flag, level 1 adds its percentages once.
    b.table.SetCell(kShip, kTech, "1");
    levels.techs = Levels({0, 0, 0, kTech}, {0, 0, 0, 1});
    v = ActualValues(b.table, kShip, levels);
    EXPECT_EQ(v.attack, 1100);
    EXPECT_EQ(v.shields, 120);
    EXPECT_EQ(v.structure, 1300);
    // Entries beyond the list or beyond the rows count as level 0.
    b.table.SetCell(kShip, kTech, "1");
    levels.techs = Levels({0, 0, 0, kTech}, {0, 0, 0});
    EXPECT_EQ(ActualValues(b.table, kShip, levels).attack, 1000);
    levels.techs = Levels({0, 0, 0}, {0, 0, 0, 5});
    EXPECT_EQ(ActualValues(b.table, kShip, levels).attack, 1000);
}

TEST(UnitInformation, TheSameValuesAsBattlePreparation) {
    Battle b;
    SetUnit(b.table, kShip, Ship(20000, 1000, 200));
    UnitSpec defence = Ship(5001, 333, 77, "1");
    defence.classOrGrowth = 3;
    SetUnit(b.table, kDefence, defence);
    UnitSpec heavy = Ship(40000, 2000, 500);
    heavy.classOrGrowth = 3;
    constexpr int kHeavy = 204;
    SetUnit(b.table, kHeavy, heavy);
    SetBonusRow(b.table, kTech, 10, 20, 30, {kShip, kDefence});
    SetBonusRow(b.table, kOfficer, 3, 5, 7, {kShip});
    // One medal for defence units and super-heavy ones; one for light attack units.
    SetBonusRow(b.table, kMedal, 4, 4, 4);
    b.table.SetCell(kColMedalDefenceUnits, kMedal, "1");
    b.table.SetCell(kColMedalLight + 3, kMedal, "1");
    b.table.SetCell(kColMedalAttackUnits, kMedal, "1");
    SetBonusRow(b.table, kOtherMedal, 9, 9, 9);
    b.table.SetCell(kColMedalAttackUnits, kOtherMedal, "1");
    b.table.SetCell(kColMedalLight, kOtherMedal, "1");
    // A third names the light and super-heavy classes but acts on no attack unit.
    constexpr int kClassMedal = 3;
    SetBonusRow(b.table, kClassMedal, 7, 7, 7);
    for (int col = kColMedalLight; col <= kColMedalAttackUnits; ++col) b.table.SetCell(col, kClassMedal, "0");
    b.table.SetCell(kColMedalLight, kClassMedal, "1");
    b.table.SetCell(kColMedalLight + 3, kClassMedal, "1");

    auto& in = b.input();
    in.TechRows[3] = kTech;
    in.TechRowCount = 4;
    // The fourth officer entry is a fixed one (organic defence): its row is no bonus row.
    in.OfficerRows[3] = kOfficer;
    in.OfficerRows[4] = kOfficer;
    in.OfficerRowCount = 5;
    in.MedalRows[0] = kMedal;
    in.MedalRows[1] = kOtherMedal;
    in.MedalRows[2] = kClassMedal;
    in.MedalRowCount = 3;
    const uint16_t techs[] = {2, 1, 3, 4}, officers[] = {3, 5, 0, 4, 2};
    const uint8_t medals[] = {3, 2, 4};
    std::copy(std::begin(techs), std::end(techs), in.TechLevel[1][0]);
    std::copy(std::begin(officers), std::end(officers), in.OfficerLevel[1][0]);
    std::copy(std::begin(medals), std::end(medals), in.MedalCount[1][0]);
    in.ShipCount[1][0][kShip] = 1;
    in.ShipCount[1][0][kDefence] = 1;
    in.ShipCount[1][0][kHeavy] = 1;
    b->preparebatle();

    PlayerLevels levels;
    levels.techs = Levels({0, 0, 0, kTech}, {2, 1, 3, 4});
    levels.officers = Levels({0, 0, 0, kOfficer, kOfficer}, {3, 5, 0, 4, 2});
    levels.medals = Levels({kMedal, kOtherMedal, kClassMedal}, {3, 2, 4});
    const ParticipantUnits& units = b.units(1, 0);
    for (uint32_t n = 0; n < 3; ++n) {
        const int row = b.unit(1, 0, n).TypeRow;
        const UnitValues v = ActualValues(b.table, row, levels);
        EXPECT_EQ(v.attack, units.AttackAt(n)) << row;
        EXPECT_EQ(v.shields, units.BaseShieldAt(n)) << row;
        EXPECT_EQ(v.structure, units.MaxStructureAt(n)) << row;
    }
    // The super-heavy unit (class 3) takes the medal that names its class.
    EXPECT_GT(ActualValues(b.table, kHeavy, levels).attack,
              ActualValues(b.table, kHeavy, PlayerLevels{levels.techs, levels.officers, {}}).attack);
    // The defence unit takes the defence medal whatever its type, not the light attack one.
    PlayerLevels onlyOther = levels;
    onlyOther.medals.levels = {0, 2};
    EXPECT_EQ(ActualValues(b.table, kDefence, onlyOther).attack,
              ActualValues(b.table, kDefence, PlayerLevels{levels.techs, levels.officers, {}}).attack);
}

TEST(UnitInformation, ProductsBeyondThirtyTwoBitsAndBrokenCells) {
    Battle b;
    SetUnit(b.table, kShip, Ship(10, 1'000'000, 0));
    // 65535 levels of 100000 percent: a product far beyond 32 bits.
    SetBonusRow(b.table, kTech, 100000, 0, 0, {kShip});
    PlayerLevels levels;
    levels.techs = Levels({0, 0, 0, kTech}, {0, 0, 0, 65535});
    EXPECT_EQ(ActualValues(b.table, kShip, levels).attack, 1'000'000 + 65535LL * 1000 * 1'000'000);
    // A sum beyond 64 bits is a range error, not a wrapped number.
    b.table.SetCell(kColBonusAttack, kTech, "9000000000000000000");
    EXPECT_THROW(ActualValues(b.table, kShip, levels), rtl::ERangeError);
    b.table.SetCell(kColBonusAttack, kTech, "ten");
    EXPECT_THROW(ActualValues(b.table, kShip, levels), rtl::EConvertError);
    b.table.SetCell(kColAttack, kShip, "");
    EXPECT_THROW(BaseValues(b.table, kShip), rtl::EConvertError);
}

TEST(UnitInformation, RapidFireBothWaysAboveZeroOnly) {
    Battle b;
    UnitSpec a = Ship(100, 1, 0), c = Ship(100, 1, 0), d = Ship(100, 1, 0);
    a.name = "A";
    c.name = "C";
    d.name = "D";
    SetUnit(b.table, kShip, a);
    SetUnit(b.table, kDefence, c);
    SetUnit(b.table, kOther, d);
    SetRapidFire(b.table, kShip, kDefence, "5");
    SetRapidFire(b.table, kShip, kOther, "-3");
    SetRapidFire(b.table, kDefence, kShip, "0");
    SetRapidFire(b.table, kOther, kShip, "12");
    SetRapidFire(b.table, kShip, kShip, "x");

    const RapidFireLines against = RapidFire(b.table, kShip, true);
    EXPECT_EQ(against.lines, (std::vector<std::string>{"C  5"}));
    EXPECT_EQ(against.brokenCells, (std::vector<std::string>{"A: x"}));
    const RapidFireLines from = RapidFire(b.table, kShip, false);
    EXPECT_EQ(from.lines, (std::vector<std::string>{"D  12"}));
    // A freed row is no unit: its rapid fire is not listed.
    b.table.SetCell(kColKind, kOther, "0");
    EXPECT_TRUE(RapidFire(b.table, kShip, false).lines.empty());
    // The last unit row is listed both ways.
    UnitSpec last = Ship(100, 1, 0);
    last.name = "Z";
    SetUnit(b.table, kUnitLastRow, last);
    SetRapidFire(b.table, kShip, kUnitLastRow, "7");
    SetRapidFire(b.table, kUnitLastRow, kShip, "8");
    EXPECT_EQ(RapidFire(b.table, kShip, true).lines, (std::vector<std::string>{"C  5", "Z  7"}));
    EXPECT_EQ(RapidFire(b.table, kShip, false).lines, (std::vector<std::string>{"Z  8"}));
}
