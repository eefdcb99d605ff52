// Seeded battles whose whole output (log lines, gauges, statistics lines,
// errors and the generator's next draw) was recorded once, in
// tests/native/golden/. The engine must reproduce them byte for byte: any
// change in the random draws, their order, or what a shot, a special attack
// or a removal does shows here. NORVIX_GOLDEN_RECORD=1 writes the files
// anew, for a change of battles that is meant.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "battle/battlerun.h"
#include "rtl/convert.h"
#include "rtl/errors.h"
#include "support/battle_support.h"
#include "support/golden.h"

using namespace battle;
using namespace battle_test;
using golden::ExpectRecorded;

namespace {

// Every call the battle makes on its windows, one line each.
class Transcript : public BattleOutput, public RunOutput, public RunClock {
public:
    std::string text;

    void Log(std::string_view line) override { Add("", line); }
    void SetUnitGauge(int64_t maximum, std::string_view suffix) override {
        Add("#unit-gauge " + rtl::IntToStr(maximum) + " ", suffix);
    }
    void SetUnitProgress(int64_t position) override { Add("#unit " + rtl::IntToStr(position), ""); }
    void SetRoundGauge(int64_t maximum, std::string_view suffix) override {
        Add("#round-gauge " + rtl::IntToStr(maximum) + " ", suffix);
    }
    void SetRoundProgress(int64_t position) override { Add("#round " + rtl::IntToStr(position), ""); }
    void StatLine(std::string_view line) override { Add("#stat ", line); }
    void SelectionScore(int column, std::string_view score) override {
        Add("#score " + rtl::IntToStr(column) + " ", score);
    }
    void ClearLog() override {}
    void ShowLog() override {}
    void ClearStatistics() override {}
    void ShowStatistics() override {}
    void SaveLog(const std::string&) override {}
    void SaveStatistics(const std::string&) override {}
    int64_t Milliseconds() const override { return 0; }
    LocalTime Now() const override { return {}; }

    void Add(const std::string& head, std::string_view rest) {
        text += head;
        text.append(rest);
        text += '\n';
    }
};

// A battle on the test database, fought and closed as the battle timer does.
struct Recorded : Battle {
    Transcript transcript;
    std::unique_ptr<BattleRun> run;

    explicit Recorded(uint64_t seed) : Battle(seed) {
        engine = std::make_unique<BattleEngine>(table, options, transcript, random);
        run = std::make_unique<BattleRun>(*engine, options, transcript, transcript, transcript);
        input().PartName[1][0] = "Я";
        input().PartName[2][0] = "Враг";
    }

    std::string Fight() {
        try {
            engine->PrepareBattle();
            engine->FightRounds();
            run->EndBattle();
        } catch (const rtl::ERangeError&) {
            transcript.Add("#range-error", "");
        } catch (const rtl::EConvertError&) {
            transcript.Add("#convert-error", "");
        }
        transcript.Add("#next-draw " + rtl::IntToStr(random.Next(1'000'000'000)), "");
        return transcript.text;
    }
};

UnitSpec Type(const char* name, int64_t structure, int64_t attack, int64_t shields, const char* ability = "0",
              const char* special1 = "0", const char* special2 = "0") {
    UnitSpec s;
    s.name = name;
    s.structure = structure;
    s.attack = attack;
    s.shields = shields;
    s.ability1 = ability;
    s.special1 = special1;
    s.special2 = special2;
    s.metal = structure / 10;
    s.minerals = structure / 30;
    s.vespene = attack;
    return s;
}

// Every ability, every special attack, a flagship, buildings, priority
// units, bonuses of technologies, officers and medals; two participants a side.
void Armies(Recorded& b, int attackingSide) {
    DataTable& t = b.table;
    UnitSpec s;
    SetUnit(t, 201, Type("Призрак", 2000, 40, 10, "1", "1"));
    SetUnit(t, 202, Type("Смертник", 1500, 90, 0, "2"));
    s = Type("Муталиск", 1800, 30, 0, "3", "3", "4");
    s.period = 1;
    SetUnit(t, 203, s);
    SetUnit(t, 204, Type("Страж", 3000, 10, 80, "4", "2"));
    s = Type("Танк", 2500, 60, 5, "5");
    s.delay = 1;
    SetUnit(t, 205, s);
    SetUnit(t, 206, Type("Зилот", 2500, 60, 50, "6"));
    SetUnit(t, 207, Type("Шершень", 2500, 70, 5, "7"));
    s = Type("Флагман", 60'000'000, 500, 100, "0", "1", "2");
    s.empStrength = 7;
    s.concentrated = 50;
    SetUnit(t, 208, s);
    s = Type("Гидралиск", 1700, 25, 0, "3", "4");
    s.purpose = "1";
    SetUnit(t, 209, s);
    s = Type("Турель", 90'000, 200, 50);
    s.purpose = "2";
    s.classOrGrowth = 2;
    s.buildingLevel = 2;
    SetUnit(t, 301, s);
    s = Type("Бункер", 40'000, 80, 30, "6");
    s.purpose = "2";
    s.period = 2;
    SetUnit(t, 302, s);
    for (int shooter = 201; shooter <= 209; ++shooter)
        for (int target = 201; target <= 209; target += 2) SetRapidFire(t, shooter, target, "3");
    SetRapidFire(t, 208, 203, "8");
    SetRapidFire(t, 301, 201, "2");
    SetBonusRow(t, 101, 10, 5, 20, {201, 203, 208, 301});
    SetBonusRow(t, 551, 5, 10, 5, {202, 206, 209});
    SetBonusRow(t, 1, 10, 10, 10);
    for (int col = 6; col <= 11; ++col) t.SetCell(col, 1, "1");

    BattleInput& in = b.input();
    in.AttackingSide = attackingSide;
    in.TechRows[3] = 101;
    in.TechRowCount = 4;
    in.OfficerRows[4] = 551;
    in.OfficerRowCount = 5;
    in.MedalRows[0] = 1;
    in.MedalRowCount = 1;
    for (int side = 1; side <= 2; ++side) {
        in.PartCount[side] = 2;
        for (int p = 0; p < 2; ++p) {
            in.PartName[side][p] = "Игрок" + rtl::IntToStr(side * 10 + p);
            uint32_t* ships = in.ShipCount[side][p];
            for (int row = 201; row <= 207; ++row) ships[row] = 4 + (row + side + p) % 4;
            ships[204] = 2 + p;
            ships[208] = 1 + p;
            ships[209] = 3;
            ships[301] = 3 - p;
            ships[302] = 1;
            uint16_t* tech = in.TechLevel[side][p];
            tech[kTechWeapons] = 2 + side;
            tech[kTechShields] = 1 + p;
            tech[kTechStructure] = side;
            tech[3] = 2;
            tech[kTechEmpRadiation] = 1 + p;
            tech[kTechAcidSpores] = 1;
            tech[kTechYamato] = 2 + side;
            tech[kTechRegeneration] = 4;
            uint16_t* officer = in.OfficerLevel[side][p];
            officer[kOfficerAdmiral] = 1;
            officer[kOfficerExperience] = 3;
            officer[kOfficerShieldLimit] = 3;
            officer[kOfficerOrganicDefence] = 2;
            officer[4] = 1 + side;
            in.MedalCount[side][p][0] = static_cast<uint8_t>(p + 1);
        }
    }
}

// Three participants a side of plain ships with rapid fire, and a flagship
// that its escort cannot hide.
void Flagships(Recorded& b) {
    DataTable& t = b.table;
    UnitSpec s = Type("Истребитель", 4000, 50, 10);
    s.concentrated = 30;
    SetUnit(t, 201, s);
    SetUnit(t, 202, Type("Крейсер", 27000, 400, 50));
    SetUnit(t, 203, Type("Матка", 8'000'000, 900, 300));
    SetRapidFire(t, 202, 201, "6");
    SetRapidFire(t, 201, 203, "2");
    BattleInput& in = b.input();
    for (int side = 1; side <= 2; ++side) {
        in.PartCount[side] = 3;
        for (int p = 0; p < 3; ++p) {
            in.PartName[side][p] = "Союзник" + rtl::IntToStr(p);
            in.ShipCount[side][p][201] = 6 + 3 * p;
            in.ShipCount[side][p][202] = side == 1 ? 2 : 3;
            in.ShipCount[side][p][203] = p == 1 ? 1 : 0;
        }
    }
}

// Many plain units and little log: the order of the draws over whole rounds.
void Crowd(Recorded& b) {
    DataTable& t = b.table;
    SetUnit(t, 201, Type("Истребитель", 4000, 50, 10));
    SetUnit(t, 202, Type("Крейсер", 27000, 400, 50));
    SetUnit(t, 211, Type("Ракетница", 2000, 80, 20));
    SetUnit(t, 212, Type("Лазер", 8000, 100, 25));
    SetRapidFire(t, 202, 201, "6");
    SetRapidFire(t, 211, 202, "10");
    SetRapidFire(t, 212, 201, "3");
    BattleInput& in = b.input();
    in.PartCount[2] = 2;
    in.PartName[2][1] = "Сосед";
    in.ShipCount[1][0][201] = 300;
    in.ShipCount[1][0][202] = 120;
    in.ShipCount[2][0][211] = 250;
    in.ShipCount[2][0][212] = 150;
    in.ShipCount[2][1][211] = 100;
}

}  // namespace

TEST(GoldenBattles, EveryAbilityAndSpecialAttackWithTheFullLog) {
    for (uint64_t seed : {11, 12}) {
        Recorded b(seed);
        Armies(b, 1);
        b.options.fullLog = true;
        b.options.rounds = "12";
        ExpectRecorded("armies_full_" + rtl::IntToStr(seed), b.Fight());
    }
}

TEST(GoldenBattles, TheOtherSideAttackingWithoutTheFullLog) {
    Recorded b(13);
    Armies(b, 2);
    b.options.rounds = "12";
    b.options.payback = true;
    ExpectRecorded("armies_quiet", b.Fight());
}

TEST(GoldenBattles, FlagshipsAmongSeveralParticipants) {
    Recorded b(21);
    Flagships(b);
    b.options.fullLog = true;
    b.options.rounds = "6";
    ExpectRecorded("flagships", b.Fight());
}

TEST(GoldenBattles, ACrowdOverWholeRoundsInBothModes) {
    for (bool selection : {false, true}) {
        Recorded b(31);
        Crowd(b);
        b.options.rounds = "8";
        b->PodborMode = selection;
        b->PodborBattle = 3;
        ExpectRecorded(selection ? "crowd_selection" : "crowd", b.Fight());
    }
}

TEST(GoldenBattles, NoRoundAndOneRound) {
    for (const char* rounds : {"0", "1"}) {
        Recorded b(41);
        Flagships(b);
        b.options.fullLog = true;
        b.options.rounds = rounds;
        ExpectRecorded(std::string("rounds_") + rounds, b.Fight());
    }
}

TEST(GoldenBattles, ErrorsStopTheBattleAtTheSamePoint) {
    // A shield regeneration cell that is not a number, read first after round 1.
    Recorded regen(51);
    Flagships(regen);
    regen.table.SetCell(kColShieldRegen, 202, "x");
    regen.options.fullLog = true;
    regen.options.rounds = "3";
    ExpectRecorded("error_regen_cell", regen.Fight());
    // A Yamato cannon beyond its range, fired in round 4 only.
    Recorded yamato(52);
    Armies(yamato, 1);
    yamato.input().TechLevel[1][1][kTechYamato] = 26;
    yamato.options.rounds = "5";
    ExpectRecorded("error_yamato", yamato.Fight());
}
