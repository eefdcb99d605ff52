// The close of a battle (debris, summary, payback, outcome, log file,
// hand-over) and the run statistics.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "battle/battlerun.h"
#include "battle/inputcheck.h"
#include "rtl/convert.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"
#include "support/battle_support.h"

using namespace battle;
using namespace battle_test;

namespace {

constexpr int kShip = 201, kOther = 202, kBuilding = 203;

class FakeClock : public RunClock {
public:
    int64_t ms = 0;
    LocalTime now{2026, 12, 7, 9, 5, 3, 250};
    int64_t Milliseconds() const override { return ms; }
    LocalTime Now() const override { return now; }
};

class RecordingRunOutput : public RunOutput {
public:
    explicit RecordingRunOutput(RecordingOutput& log) : log_(log) {}
    std::vector<std::string> stats;
    std::vector<std::string> savedLogs, savedStats;
    int logClears = 0, logShows = 0, statisticsShows = 0;
    std::string spent, estimate;
    std::vector<std::pair<int, std::string>> scores;

    void ClearLog() override {
        ++logClears;
        log_.lines.clear();
    }
    void ShowLog() override { ++logShows; }
    void StatLine(std::string_view line) override { stats.emplace_back(line); }
    void ClearStatistics() override { stats.clear(); }
    void ShowStatistics() override { ++statisticsShows; }
    void SaveLog(const std::string& path) override {
        rtl::WriteAllLines(path, log_.lines);
        savedLogs.push_back(path);
    }
    void SaveStatistics(const std::string& path) override {
        rtl::WriteAllLines(path, stats);
        savedStats.push_back(path);
    }
    void SelectionTimes(std::string_view s, std::string_view e) override {
        spent = s;
        estimate = e;
    }
    void SelectionScore(int column, std::string_view score) override { scores.emplace_back(column, score); }
    void SelectionProgress(int candidate, int battleOfCandidate, std::string_view label) override {
        progress.push_back(std::to_string(candidate) + " " + std::to_string(battleOfCandidate) + " " +
                           std::string(label));
    }
    std::vector<std::string> progress;

    bool StatContains(std::string_view line) const {
        return std::find(stats.begin(), stats.end(), line) != stats.end();
    }

private:
    RecordingOutput& log_;
};

// A battle whose losses a test sets by hand: no round is fought (rounds 0),
// the test marks units destroyed and the battle is closed.
struct Settle : Battle {
    FakeClock clock;
    RecordingRunOutput runOutput{output};
    BattleRun run{*engine, options, output, runOutput, clock};

    Settle() {
        options.rounds = "0";
        UnitSpec ship;
        ship.name = "Крейсер";
        ship.metal = 1000;
        ship.minerals = 400;
        ship.vespene = 100;
        SetUnit(table, kShip, ship);
        UnitSpec other;
        other.name = "Страж";
        other.metal = 100;
        SetUnit(table, kOther, other);
        SetDebris(kShip, 30, 50);
        SetDebris(kOther, 20, 20);
    }
    void SetDebris(int row, int attacking, int defending) {
        table.SetCell(kColDebrisAttacking, row, rtl::IntToStr(attacking));
        table.SetCell(kColDebrisDefending, row, rtl::IntToStr(defending));
    }
    void Destroy(int side, int participant, uint32_t count) {
        auto& units = engine->Units(side, participant);
        for (uint32_t k = 0; k < count; ++k) units.Records.at(k).Destroyed = 1;
    }
    HandOver Close(int side1Lost, int side2Lost = 0) {
        engine->PrepareBattle();
        Destroy(1, 0, side1Lost);
        Destroy(2, 0, side2Lost);
        return run.EndBattle();
    }
};

}  // namespace

TEST(Debris, LossesOfTheAttackingAndTheDefendingSideUseTheirOwnPercent) {
    Settle s;
    s.input().ShipCount[1][0][kShip] = 10;
    s.input().ShipCount[2][0][kOther] = 1;
    s.Close(4);
    EXPECT_EQ(s.run.State.DebrisMetal, 1200);  // 4 * 1000 * 30 %
    EXPECT_EQ(s.run.State.DebrisMinerals, 480);
    EXPECT_TRUE(s.output.Contains("Метал:1200"));
    EXPECT_TRUE(s.output.Contains("Минералы:480"));

    Settle d;
    d.input().AttackingSide = 2;  // "Наш флот" defends: side 1 uses column 26
    d.input().ShipCount[1][0][kShip] = 10;
    d.input().ShipCount[2][0][kOther] = 1;
    d.Close(4);
    EXPECT_EQ(d.run.State.DebrisMetal, 2000);  // 4 * 1000 * 50 %
}

TEST(Debris, EachTypesShareIsRoundedHalvesToEvenBeforeItIsAdded) {
    Settle s;
    s.SetDebris(kShip, 10, 10);
    s.table.SetCell(kColMetal, kShip, "17");
    s.table.SetCell(kColMinerals, kShip, "13");
    s.table.SetCell(kColMetal, kOther, "5");
    s.table.SetCell(kColMinerals, kOther, "15");
    s.SetDebris(kOther, 10, 10);
    s.input().ShipCount[1][0][kShip] = 1;
    s.input().ShipCount[2][0][kOther] = 3;
    s.Close(1, 1);
    EXPECT_EQ(s.run.State.DebrisMetal, 0 + 2);     // 0.5 -> 0, 1.7 -> 2
    EXPECT_EQ(s.run.State.DebrisMinerals, 2 + 1);  // 1.5 -> 2, 1.3 -> 1
}

TEST(Debris, ABuildingBelowItsLevelCountsInTheDebrisOnly) {
    Settle s;
    UnitSpec tower;
    tower.name = "Башня";
    tower.purpose = "2";
    tower.metal = 1000;
    tower.buildingLevel = 5;
    tower.classOrGrowth = 2;
    SetUnit(s.table, kBuilding, tower);
    s.SetDebris(kBuilding, 30, 30);
    s.input().ShipCount[1][0][kShip] = 1;
    s.input().ShipCount[2][0][kBuilding] = 3;  // level 3: it does not fight
    s.Close(0);
    EXPECT_EQ(s.run.State.DebrisMetal, 900);  // with its level as the count
    EXPECT_EQ(s.engine->LossTotal[2][0], 0);
    EXPECT_TRUE(s.output.Contains("Потеряно единиц: 0"));
    for (const auto& line : s.output.lines) EXPECT_EQ(line.find("Башня"), std::string::npos) << line;
    for (const auto& line : s.runOutput.stats) EXPECT_EQ(line.find("Башня"), std::string::npos) << line;

    // At exactly its level it fights: destroyed, it is a loss and is listed.
    Settle at;
    SetUnit(at.table, kBuilding, tower);
    at.SetDebris(kBuilding, 30, 30);
    at.input().ShipCount[1][0][kShip] = 1;
    at.input().ShipCount[2][0][kBuilding] = 5;
    at.Close(0, 1);
    EXPECT_EQ(at.run.State.DebrisMetal, 1500);
    EXPECT_GT(at.engine->LossTotal[2][0], 0);
    EXPECT_TRUE(at.output.Contains("      Башня 0 из 1"));
}

// The unit editor takes costs up to kMaxCost: a participant losing all the
// units it may bring, at the highest cost and 100 % debris, is still counted
// exactly; a cost beyond it is where the debris would leave 64 bits.
TEST(Debris, TheHighestCostTheEditorTakesIsCountedExactlyAtFullDebris) {
    auto settle = [](int64_t cost) {
        auto s = std::make_unique<Settle>();
        for (int col : {kColMetal, kColMinerals, kColVespene}) s->table.SetCell(col, kShip, rtl::IntToStr(cost));
        s->SetDebris(kShip, 100, 100);
        s->input().ShipCount[1][0][kShip] = kMaxUnitsPerParticipant;
        s->input().ShipCount[2][0][kOther] = 1;
        return s;
    };
    auto s = settle(kMaxCost);
    s->Close(kMaxUnitsPerParticipant);
    EXPECT_EQ(s->run.State.DebrisMetal, int64_t{kMaxUnitsPerParticipant} * kMaxCost);
    EXPECT_EQ(s->run.State.DebrisMinerals, int64_t{kMaxUnitsPerParticipant} * kMaxCost);
    EXPECT_EQ(s->engine->LossTotal[1][0], int64_t{kMaxUnitsPerParticipant} * kMaxCost * 3);
    EXPECT_TRUE(s->output.Contains("Метал:" + rtl::IntToStr(int64_t{kMaxUnitsPerParticipant} * kMaxCost)));
    s.reset();

    auto over = settle(kMaxCost + 1);
    EXPECT_THROW(over->Close(kMaxUnitsPerParticipant), rtl::ERangeError);
}

TEST(Summary, SurvivorLinesGoToTheLogAndTheStatistics) {
    Settle s;
    s.input().PartCount[1] = 2;
    s.input().PartName[1][1] = "Союзник";
    s.input().ShipCount[1][0][kShip] = 10;
    s.input().ShipCount[2][0][kOther] = 2;
    s.Close(4);
    const auto& log = s.output.lines;
    auto at = std::find(log.begin(), log.end(), "Итоги боя:");
    ASSERT_NE(at, log.end());
    std::vector<std::string> tail(at, log.end());
    const std::vector<std::string> expected = {
        "Итоги боя:", "Уцелелевшие юниты:", "сторона 1", "Игрок: Я", "      Крейсер 6 из 10",
        "Потеряно единиц: 6000", "Игрок: Союзник", "Потеряно единиц: 0", "сторона 2", "Игрок: Враг",
        "      Страж 2 из 2", "Потеряно единиц: 0", "Обломки на орбите", "Метал:1200", "Минералы:480", ""};
    ASSERT_GE(tail.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(tail.begin(), tail.begin() + expected.size()), expected);
    const std::vector<std::string> stats = {"Бой № 1", "Уцелелевшие юниты:", "сторона 1", "Игрок: Я",
                                            "      Крейсер 6 из 10", "Игрок: Союзник", "сторона 2",
                                            "Игрок: Враг", "      Страж 2 из 2"};
    ASSERT_GE(s.runOutput.stats.size(), stats.size());
    EXPECT_EQ(std::vector<std::string>(s.runOutput.stats.begin(), s.runOutput.stats.begin() + stats.size()), stats);
    EXPECT_EQ(s.run.State.OwnLoss, 6000);
}

TEST(Payback, TwoParticipantsLosingAThousandAndFiveHundredWithDebrisOfThreeHundred) {
    Settle s;
    s.options.payback = true;
    s.SetDebris(kOther, 20, 20);
    s.input().PartCount[1] = 2;
    s.input().PartName[1][1] = "Союзник";
    s.input().ShipCount[1][0][kOther] = 10;
    s.input().ShipCount[1][1][kOther] = 5;
    s.input().ShipCount[2][0][kShip] = 1;
    s.engine->PrepareBattle();
    s.Destroy(1, 0, 10);
    s.Destroy(1, 1, 5);
    s.run.EndBattle();
    EXPECT_EQ(s.run.State.OwnLoss, 1500);
    EXPECT_EQ(s.run.State.DebrisMetal + s.run.State.DebrisMinerals, 300);
    EXPECT_TRUE(s.output.Contains("Окупаемость боя - 20%"));
    EXPECT_TRUE(s.runOutput.StatContains("Окупаемость боя - 20%"));
    // In a fleet selection the same battle scores its debris per unit lost.
    Settle selection;
    selection.SetDebris(kOther, 20, 20);
    selection.input().ShipCount[1][0][kOther] = 15;
    selection.input().ShipCount[2][0][kShip] = 1;
    selection.engine->PodborMode = true;
    selection.engine->PodborBattle = 3;
    selection.engine->PrepareBattle();
    selection.Destroy(1, 0, 15);
    selection.run.EndBattle();
    EXPECT_DOUBLE_EQ(selection.run.State.PodborScore[3], 300.0 / 1500.0);
    EXPECT_EQ(BattleRun::Payback(1, 3), 33.33);
    EXPECT_EQ(rtl::FloatToStr(BattleRun::Payback(1, 3)), "33,33");
    // 66.666...: rounded up at the second decimal, not cut.
    EXPECT_EQ(BattleRun::Payback(2, 3), 66.67);
    EXPECT_EQ(rtl::FloatToStr(BattleRun::Payback(2, 3)), "66,67");
}

TEST(Payback, NoLossesSayNoLossesEvenWithThePaybackOptionOff) {
    for (bool payback : {false, true}) {
        Settle s;
        s.options.payback = payback;
        s.input().ShipCount[1][0][kShip] = 1;
        s.input().ShipCount[2][0][kOther] = 3;
        s.Close(0, 3);
        EXPECT_TRUE(s.output.Contains("Вы не несетете потерь")) << payback;
        EXPECT_TRUE(s.runOutput.StatContains("Вы не несетете потерь")) << payback;
        EXPECT_EQ(s.output.Count("Окупаемость"), 0u) << payback;
    }
    // Losses without the option: no payback line at all.
    Settle s;
    s.input().ShipCount[1][0][kShip] = 2;
    s.input().ShipCount[2][0][kOther] = 1;
    s.Close(1);
    EXPECT_EQ(s.output.Count("Окупаемость"), 0u);
    EXPECT_FALSE(s.output.Contains("Вы не несетете потерь"));
}

TEST(Outcome, WinsLossesDrawsAndTheMutualDestruction) {
    Settle s;
    s.input().ShipCount[1][0][kShip] = 2;
    s.input().ShipCount[2][0][kOther] = 2;
    s.Close(0, 2);
    EXPECT_TRUE(s.output.Contains("ПОБЕДА"));
    s.Close(2, 0);
    EXPECT_TRUE(s.output.Contains("ПОРАЖЕНИЕ"));
    s.Close(1, 1);
    EXPECT_TRUE(s.output.Contains("НИЧЬЯ"));
    s.output.lines.clear();
    s.runOutput.stats.clear();
    s.Close(2, 2);
    auto draw = std::find(s.output.lines.begin(), s.output.lines.end(), "НИЧЬЯ");
    ASSERT_NE(draw, s.output.lines.end());
    EXPECT_EQ(*(draw + 1), "СВОБОДА! РАВЕНСТВО! УПЯЧКА!");
    EXPECT_TRUE(s.runOutput.StatContains("СВОБОДА! РАВЕНСТВО! УПЯЧКА!"));
    EXPECT_EQ(s.run.State.Wins, 1);
    EXPECT_EQ(s.run.State.Losses, 1);
    EXPECT_EQ(s.run.State.Draws, 2);
    // The next run counts from nothing.
    s.run.StartRun();
    EXPECT_EQ(s.run.State.Wins + s.run.State.Losses + s.run.State.Draws, 0);
}

TEST(Outcome, ElapsedSecondsAreWrittenInTheGeneralFormat) {
    Settle s;
    s.input().ShipCount[1][0][kShip] = 1;
    s.input().ShipCount[2][0][kOther] = 1;
    s.run.State.BattleStart = 1000;
    s.clock.ms = 2500;
    s.Close(0);
    EXPECT_TRUE(s.output.Contains("Затрачено секунд на симуляцию:1,5"));
}

TEST(Decay, OrganicUnitsBleedingAtTheEndAreLostAndCanEndASide) {
    // Three organic units of side 1 end the battle with the regeneration given.
    auto settle = [](Settle& s, int8_t regen) {
        UnitSpec worm;
        worm.name = "Червь";
        worm.ability1 = "3";
        worm.metal = 50;
        SetUnit(s.table, kBuilding, worm);
        s.input().ShipCount[1][0][kBuilding] = 3;
        s.input().ShipCount[2][0][kOther] = 1;
        s.engine->PrepareBattle();
        for (uint32_t k = 0; k < 3; ++k) s.units(1, 0).OwnRegen(k) = regen;
        s.run.EndBattle();
    };
    Settle s;
    settle(s, -6);
    EXPECT_TRUE(s.output.Contains("      Червь 0 из 3"));
    EXPECT_EQ(s.engine->LossTotal[1][0], 150);
    EXPECT_TRUE(s.output.Contains("ПОРАЖЕНИЕ"));

    Settle t;
    settle(t, -5);  // not yet decay
    EXPECT_TRUE(t.output.Contains("      Червь 3 из 3"));
    EXPECT_EQ(t.engine->LossTotal[1][0], 0);
}

TEST(Records, AreFreedAfterEveryBattleAlsoWhenTheLogCannotBeSaved) {
    Settle s;
    s.options.saveLogs = true;
    s.run.State.StartDir = "/nonexistent/norvix";
    s.input().ShipCount[1][0][kShip] = 3;
    s.input().ShipCount[2][0][kOther] = 1;
    try {
        s.Close(1);
        FAIL() << "the run must stop without the logs folder";
    } catch (const rtl::EInOutError& e) {
        EXPECT_NE(std::string(e.what()).find("logs"), std::string::npos);
    }
    EXPECT_EQ(s.engine->Units(1, 0).AllocTotal, 0u);
    EXPECT_TRUE(s.engine->Units(1, 0).Records.empty());

    // A battle stopped in its rounds by a cell that is no number.
    Settle t;
    t.options.rounds = "3";
    t.input().ShipCount[1][0][kShip] = 3;
    t.input().ShipCount[2][0][kOther] = 2;
    SetRapidFire(t.table, kShip, kOther, "x");
    EXPECT_THROW(t.run.FightBattle(), rtl::EConvertError);
    for (int side = 1; side <= 2; ++side) {
        EXPECT_EQ(t.engine->Units(side, 0).AllocTotal, 0u) << side;
        EXPECT_TRUE(t.engine->Units(side, 0).Records.empty()) << side;
    }
}

namespace {

struct LogFolder {
    LogFolder() {
        dir = std::filesystem::temp_directory_path() /
              ("norvix_run_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "logs");
    }
    ~LogFolder() { std::filesystem::remove_all(dir); }
    std::string Path(const std::string& name) const { return (dir / "logs" / name).string(); }
    std::filesystem::path dir;
};

// A fighting battle: side 1 always wins, side 2 loses its one unit.
struct Fought : Settle {
    Fought() {
        options.rounds = "3";
        options.statistics = true;
        options.battles = "10";
        table.SetCell(kColAttack, kShip, "100000");
        input().ShipCount[1][0][kShip] = 2;
        input().ShipCount[2][0][kOther] = 1;
    }
};

}  // namespace

TEST(HandOver, TenBattlesThenTheStatisticsSummaryWithItsFiles) {
    LogFolder folder;
    Fought r;
    r.options.saveLogs = true;
    r.options.payback = true;
    r.run.State.StartDir = folder.dir.string();
    r.run.StartRun();
    std::vector<HandOver> handOvers;
    for (int tick = 0; tick < 20; ++tick) {
        handOvers.push_back(r.run.FightBattle());
        if (handOvers.back() != HandOver::BattleTimer) break;
    }
    ASSERT_EQ(handOvers.size(), 10u);
    EXPECT_EQ(handOvers.back(), HandOver::StatisticsTimer);
    EXPECT_EQ(r.run.State.Wins, 10);
    EXPECT_EQ(r.runOutput.savedLogs.size(), 10u);
    for (int b = 1; b <= 10; ++b) {
        const std::string name = "Sim_ot_07.12.2026_9;5;3_log#" + std::to_string(b) + ".txt";
        EXPECT_TRUE(std::filesystem::exists(folder.Path(name))) << name;
    }
    // The battle log of battle 10 ends with the outcome and the elapsed time.
    auto battle10 = rtl::ReadAllLines(folder.Path("Sim_ot_07.12.2026_9;5;3_log#10.txt"));
    ASSERT_GE(battle10.size(), 2u);
    EXPECT_EQ(battle10[battle10.size() - 2], "ПОБЕДА");

    r.run.WriteSummary();
    EXPECT_EQ(r.runOutput.statisticsShows, 1);
    EXPECT_EQ(r.runOutput.savedStats.size(), 1u);
    auto stats = rtl::ReadAllLines(folder.Path("Sim_ot_07.12.2026_9;5;3_stat_log.txt"));
    auto summary = std::find(stats.begin(), stats.end(), "По итогам симуляции");
    ASSERT_NE(summary, stats.end());
    std::vector<std::string> tail(summary, stats.end());
    const std::vector<std::string> expected = {"По итогам симуляции", "Сторона 1", "Возможные потери", "Игрок: Я",
                                               "    Крейсер 0-0 из 2", "Наилучший случай", "Игрок: Я",
                                               "    Крейсер 0 из 2", "Наихудший случай", "Игрок: Я",
                                               "    Крейсер 0 из 2", "Сторона 2", "Возможные потери",
                                               "Игрок: Враг", "    Страж 1-1 из 1", "Наилучший случай",
                                               "Игрок: Враг", "    Страж 1 из 1", "Наихудший случай",
                                               "Игрок: Враг", "    Страж 1 из 1", "Всего боев:",
                                               "Победных -- 10", "Ничейных -- 0", "Проигрышных -- 0", "",
                                               "Оценка обломков:", "Металл max:20 min:20", "Минералы max:0 min:0",
                                               "", "Невозможно оценить окупаемость боя т.к. вы не несете значительных потерь"};
    EXPECT_EQ(tail, expected);
    // The statistics are cleared for the next run, which starts at battle 1.
    EXPECT_EQ(r.run.State.MaxAlive[1][0][kShip], 0u);
    EXPECT_EQ(r.run.State.PaybackMax, 0);
    r.run.StartRun();
    EXPECT_EQ(r.engine->BattleNo, 1);
    EXPECT_EQ(r.run.FightBattle(), HandOver::BattleTimer);
    EXPECT_TRUE(std::filesystem::exists(folder.Path("Sim_ot_07.12.2026_9;5;3_log#1.txt")));
}

TEST(HandOver, ALogsFolderMissingInAnExistingStartFolderStopsTheRunAndKeepsItsStatistics) {
    LogFolder folder;
    std::filesystem::remove_all(folder.dir / "logs");
    Fought r;
    r.options.saveLogs = true;
    r.run.State.StartDir = folder.dir.string();
    r.run.StartRun();
    try {
        r.run.FightBattle();
        ADD_FAILURE() << "the log was saved without its folder";
    } catch (const rtl::EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), "Не найдена папка для логов " + folder.dir.string() +
                                             "\\logs. Создайте ее или выключите \"сохранять логи\" в настройках.");
    }
    // The summary cannot be saved either; the run's extremes stay for another try.
    EXPECT_THROW(r.run.WriteSummary(), rtl::EInOutError);
    EXPECT_EQ(r.run.State.MaxAlive[1][0][kShip], 2u);
}

TEST(HandOver, TheBattleIsFoughtWithTheInputsStoredAtItsStart) {
    Fought r;
    r.run.StartRun();
    // The editors say side 1 brings nothing this time.
    r.run.FightBattle([&] { r.input().ShipCount[1][0][kShip] = 0; });
    EXPECT_TRUE(r.output.Contains("ПОРАЖЕНИЕ"));
    EXPECT_EQ(r.run.State.Losses, 1);
}

TEST(HandOver, OneBattleWithoutTheStatisticsModule) {
    Fought r;
    r.options.statistics = false;
    r.run.StartRun();
    r.clock.ms = 7000;  // the clock then stands still: the battle takes no time
    EXPECT_EQ(r.run.FightBattle(), HandOver::Nothing);
    EXPECT_EQ(r.runOutput.logShows, 1);
    EXPECT_EQ(r.engine->BattleNo, 1);
    EXPECT_TRUE(r.output.Contains("Затрачено секунд на симуляцию:0"));
    ASSERT_GE(r.output.lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(r.output.lines.begin(), r.output.lines.begin() + 4),
              (std::vector<std::string>{"Инициация модуля загрузки", "Выгрузка юнитов в память", "Инициация ядра",
                                        "Симулируется бой 1/10"}));
}

TEST(HandOver, FleetSelectionMovesToTheNextCandidateAfterTheFifthBattle) {
    Fought r;
    r.engine->PodborMode = true;
    r.run.State.PodborCandidates = 3;
    r.run.State.PodborGenerations = 2;
    // The options as typed during the selection count for nothing.
    r.options.candidates = "сто";
    r.options.generations = "";
    r.run.State.PodborStart = 0;
    r.run.StartRun();
    for (int b = 1; b <= 4; ++b) {
        EXPECT_EQ(r.run.FightBattle(), HandOver::BattleTimer);
        EXPECT_EQ(r.engine->PodborBattle, b + 1);
        EXPECT_EQ(r.engine->BattleNo, 1);
    }
    r.clock.ms = 125000;
    EXPECT_EQ(r.run.FightBattle(), HandOver::BattleTimer);
    EXPECT_EQ(r.engine->BattleNo, 2);
    EXPECT_EQ(r.engine->PodborBattle, 1);
    EXPECT_EQ(r.runOutput.logClears, 1);
    ASSERT_EQ(r.runOutput.scores.size(), 1u);
    EXPECT_EQ(r.runOutput.scores[0], (std::pair<int, std::string>{0, "100000000"}));  // no losses: 1e8
    EXPECT_EQ(r.runOutput.spent, "Времени потрачено: 2 мин 5 сек");
    // done = 3 * 0 * 5 + 6 + 0 = 6 of 30: 125 s * 5 = 625 s.
    EXPECT_EQ(r.runOutput.estimate, "Оценочное время вычисления: 10 мин 25 сек");
    // In selection nothing goes to the run statistics.
    EXPECT_EQ(r.run.State.Wins, 5);
    for (int b = 0; b < 9; ++b) EXPECT_EQ(r.run.FightBattle(), HandOver::BattleTimer);
    EXPECT_EQ(r.run.FightBattle(), HandOver::SelectionTimer);
    EXPECT_EQ(r.runOutput.scores.back().first, 2);
    EXPECT_TRUE(r.runOutput.savedLogs.empty());
}

TEST(HandOver, FleetSelectionProgressAndTimesOfALaterGeneration) {
    Fought r;
    r.options.saveLogs = true;  // no log file in selection, and the log is kept between battles
    r.engine->PodborMode = true;
    r.run.State.PodborCandidates = 3;
    r.run.State.PodborGenerations = 2;
    r.run.State.PodborIter = 2;
    r.run.State.PodborStart = 1000;
    r.engine->BattleNo = 2;
    r.engine->PodborBattle = 4;
    r.output.lines = {"earlier battle"};
    EXPECT_EQ(r.run.FightBattle(), HandOver::BattleTimer);
    // done = 3 * (2 - 1) * 5 + 4 + (2 - 1) * 5 = 24 of 3 * 2 * 5.
    EXPECT_EQ(r.runOutput.progress, (std::vector<std::string>{"2 3 Бой №24 из 30"}));
    EXPECT_EQ(r.output.lines.front(), "earlier battle");
    EXPECT_EQ(r.runOutput.logClears, 0);

    // After the fifth: 170 s spent for done = 15 + 6 + 5 = 26 of 30, so
    // 170 * 30 / 26 = 196.15 s in all; minutes are whole, seconds the rest.
    r.clock.ms = 171'000;
    EXPECT_EQ(r.run.FightBattle(), HandOver::BattleTimer);
    EXPECT_EQ(r.runOutput.progress.back(), "2 4 Бой №25 из 30");
    EXPECT_EQ(r.runOutput.spent, "Времени потрачено: 2 мин 50 сек");
    EXPECT_EQ(r.runOutput.estimate, "Оценочное время вычисления: 3 мин 16 сек");
    EXPECT_EQ(r.runOutput.logClears, 1);
    EXPECT_TRUE(r.runOutput.savedLogs.empty());
}

TEST(HandOver, ARunClearsTheStatisticsWindowOnlyWhenLogsAreSaved) {
    for (bool saveLogs : {false, true}) {
        Fought r;
        r.options.saveLogs = saveLogs;
        r.runOutput.stats = {"Бой № 7 of the last run"};
        r.run.StartRun();
        EXPECT_EQ(r.runOutput.stats.empty(), saveLogs) << saveLogs;
    }
}

TEST(Statistics, ATypeWithThreeToSevenSurvivorsOfTen) {
    Settle s;
    s.options.statistics = true;
    s.options.battles = "5";
    s.input().ShipCount[1][0][kShip] = 10;
    s.input().ShipCount[2][0][kOther] = 1;
    // A building at exactly its level fights, and is counted as one.
    UnitSpec tower;
    tower.name = "Башня";
    tower.purpose = "2";
    tower.buildingLevel = 4;
    SetUnit(s.table, kBuilding, tower);
    s.input().ShipCount[2][0][kBuilding] = 4;
    // A second enemy that loses nothing.
    s.input().PartCount[2] = 2;
    s.input().PartName[2][1] = "Сосед";
    s.input().ShipCount[2][1][kOther] = 3;
    s.run.StartRun();
    HandOver last = HandOver::Nothing;
    for (int survivors : {5, 3, 7, 4, 6}) last = s.Close(10 - survivors);
    EXPECT_EQ(last, HandOver::StatisticsTimer);
    s.runOutput.stats.clear();
    s.run.WriteSummary();
    const auto& st = s.runOutput.stats;
    std::vector<std::string> neighbour;
    for (auto at = st.begin(); (at = std::find(at, st.end(), "Игрок: Сосед")) != st.end(); ++at)
        neighbour.push_back(at + 1 < st.end() ? *(at + 1) : std::string());
    EXPECT_EQ(neighbour, (std::vector<std::string>{"    Страж 0-0 из 3", "    Страж 0 из 3", "    Страж 0 из 3"}));
    auto line = [&](const std::string& title) {
        auto block = std::find(st.begin(), st.end(), title);
        return block != st.end() && block + 2 < st.end() ? *(block + 2) : std::string();
    };
    EXPECT_EQ(line("Возможные потери"), "    Крейсер 3-7 из 10");
    EXPECT_EQ(line("Наилучший случай"), "    Крейсер 3 из 10");
    EXPECT_EQ(line("Наихудший случай"), "    Крейсер 7 из 10");
    EXPECT_NE(std::find(st.begin(), st.end(), "    Башня 0-0 из 1"), st.end());
    // Debris of 3 to 7 cruisers lost at 30 %: metal 300 and minerals 120 each.
    EXPECT_NE(std::find(st.begin(), st.end(), "Металл max:2100 min:900"), st.end());
    EXPECT_NE(std::find(st.begin(), st.end(), "Минералы max:840 min:360"), st.end());
}

TEST(Statistics, PaybackLinesOrTheNoLossMessage) {
    // A statistics run of ten Крейсер against one Страж, side 1 losing `lost` in each battle.
    auto runWith = [](Settle& s, bool payback, std::initializer_list<int> lost) {
        s.options.statistics = true;
        s.options.payback = payback;
        s.options.battles = std::to_string(lost.size());
        s.input().ShipCount[1][0][kShip] = 10;
        s.input().ShipCount[2][0][kOther] = 1;
        s.run.StartRun();
        for (int n : lost) s.Close(n);
        s.run.WriteSummary();
    };
    // One battle of three without own losses makes the payback impossible to judge.
    Settle s;
    runWith(s, true, {2, 0, 4});
    EXPECT_TRUE(s.runOutput.StatContains(
        "Невозможно оценить окупаемость боя т.к. вы не несете значительных потерь"));

    // Every battle with losses (1500 lost, 300 + 120 debris a ship): the best and the worst payback.
    Settle t;
    runWith(t, true, {1, 2});
    EXPECT_TRUE(t.runOutput.StatContains("Окупаемость боя"));
    EXPECT_TRUE(t.runOutput.StatContains("Наибольшая: 28%"));
    EXPECT_TRUE(t.runOutput.StatContains("Наименьшая: 28%"));

    // The enemy's losses differ between the battles: 420 and 440 debris for
    // 1500 lost. The greater comes second, so both extremes must follow.
    Settle v;
    v.options.statistics = true;
    v.options.payback = true;
    v.options.battles = "2";
    v.input().ShipCount[1][0][kShip] = 10;
    v.input().ShipCount[2][0][kOther] = 1;
    v.run.StartRun();
    v.Close(1);
    v.Close(1, 1);
    v.run.WriteSummary();
    EXPECT_TRUE(v.runOutput.StatContains("Наибольшая: 29,33%"));
    EXPECT_TRUE(v.runOutput.StatContains("Наименьшая: 28%"));

    // The option off: the debris lines end the summary.
    Settle u;
    runWith(u, false, {1});
    EXPECT_EQ(u.runOutput.stats.back().rfind("Минералы max:", 0), 0u);
}

TEST(Statistics, ARunCannotCountPastTheLastBattleNumber) {
    Settle s;
    s.options.statistics = true;
    s.options.battles = "70000";
    s.input().ShipCount[1][0][kShip] = 1;
    s.input().ShipCount[2][0][kOther] = 1;
    s.engine->BattleNo = 65535;
    EXPECT_THROW(s.Close(0), rtl::ERangeError);
}
