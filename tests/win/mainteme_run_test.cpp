// The battle run from the main window: one battle from "Начать расчет", a
// statistics run of ten battles with its summary and log files, and the
// commands refused while a run is going.
#include "support/program_fixture.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include "rtl/convert.h"
#include "rtl/textfile.h"
#include "windows/inputname1.h"
#include "windows/log.h"
#include "windows/opt.h"
#include "windows/stat.h"

using namespace vcl;
using programtest::Boxes;
using vcltest::Utf8;

namespace {

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool IsOutcome(const std::string& line) { return line == "ПОБЕДА" || line == "НИЧЬЯ" || line == "ПОРАЖЕНИЕ"; }

int CountAfter(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& line : lines)
        if (line.rfind(prefix, 0) == 0) return rtl::StrToInt(line.substr(prefix.size()));
    return -1;
}

// Where a person looks at the windows: NORVIX_SCREENSHOT_DIR, else the working folder.
std::string ScreenshotPath(const std::string& name) {
    const char* dir = std::getenv("NORVIX_SCREENSHOT_DIR");
    return (dir ? std::string(dir) : programtest::WorkFolder()) + "/" + name;
}

// Editor lines of fighting units in the installed database (the first
// lines are transports).
constexpr int kFirstFighter = 5;

class BattleRunFromMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        form = programtest::StartProgram();
        programtest::NewBattle(form);
        Form7->Memo1->Lines()->Clear();
        Form10->Memo1->Lines()->Clear();
        Form13->Edit1->SetText("10");
        Form13->Edit2->SetText("8");
        Form13->CheckBox4->SetChecked(false);
        Form13->CheckBox2->SetChecked(false);
        Form13->CheckBox6->SetChecked(false);
    }
    void TearDown() override {
        Form13->CheckBox4->SetChecked(false);
        Form13->CheckBox2->SetChecked(false);
    }
    // The same fleet on both sides: 100 units of two fighting types.
    void EnterFleets() {
        for (int row : {kFirstFighter, kFirstFighter + 1}) {
            form->ValueListEditor1->SetValues(row, "100");
            form->ValueListEditor4->SetValues(row, "100");
        }
    }

    TForm1* form = nullptr;
};

}  // namespace

TEST_F(BattleRunFromMainWindow, OneBattleFromTheButtonWritesTheWholeLog) {
    EnterFleets();
    form->Edit2->SetText("Пираты");
    vcltest::Click(form->Button5);
    EXPECT_TRUE(form->RunGoing());
    vcltest::Advance(1);

    EXPECT_FALSE(form->RunGoing());
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_FALSE(form->Timer6->Enabled());
    EXPECT_TRUE(Form7->Visible());
    EXPECT_TRUE(Boxes().Texts().empty()) << Utf8(Boxes().Texts().empty() ? "" : Boxes().Texts()[0]);
    const std::vector<std::string> log = vcltest::MemoLines(Form7->Memo1);
    ASSERT_GT(log.size(), 10u);
    EXPECT_EQ(log[0], "Инициация модуля загрузки");
    EXPECT_NE(std::find(log.begin(), log.end(), "Симулируется бой 1/10"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "Раунд 1/8"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "Игрок: Пираты"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "Обломки на орбите"), log.end());
    // The outcome closes the battle, followed only by the time it took.
    EXPECT_TRUE(IsOutcome(log[log.size() - 2]) || log[log.size() - 2] == "СВОБОДА! РАВЕНСТВО! УПЯЧКА!")
        << Utf8(log[log.size() - 2]);
    EXPECT_EQ(log.back().rfind("Затрачено секунд на симуляцию:", 0), 0u) << Utf8(log.back());
    // What was fought is what the editors showed.
    EXPECT_EQ(form->Engine().Input.ShipCount[1][0][form->ShipRows()[kFirstFighter - 1]], 100u);
    EXPECT_EQ(form->Engine().Input.ShipCount[2][0][form->ShipRows()[kFirstFighter]], 100u);
    EXPECT_EQ(form->Engine().Input.AttackingSide, 1);

    ASSERT_TRUE(vcltest::SaveScreenshot(form, ScreenshotPath("main_window.bmp")));
    ASSERT_TRUE(vcltest::SaveScreenshot(Form7, ScreenshotPath("log_window.bmp")));
    Form7->Hide();
}

TEST_F(BattleRunFromMainWindow, DefendingSideOneIsWhatTheBattleSees) {
    EnterFleets();
    vcltest::Click(form->RadioGroup1->Controls(1));
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 1);
    vcltest::Click(form->Button5);
    vcltest::Advance(1);
    EXPECT_EQ(form->Engine().Input.AttackingSide, 2);
    form->RadioGroup1->SetItemIndex(0);
    Form7->Hide();
}

TEST_F(BattleRunFromMainWindow, TenBattlesWithStatisticsEndInTheSummaryAndTheLogFiles) {
    mkdir(programtest::InFolder("logs").c_str(), 0755);
    for (const std::string& name : FilesIn(programtest::InFolder("logs")))
        remove(programtest::InFolder("logs/" + name).c_str());
    Form13->CheckBox4->SetChecked(true);
    ASSERT_TRUE(Form13->CheckBox1->Checked());
    Form13->CheckBox2->SetChecked(true);
    EnterFleets();
    vcltest::Click(form->Button5);

    vcltest::Advance(1);
    ASSERT_TRUE(form->RunGoing());
    // While the run goes, its input stays as it is.
    vcltest::Click(form->Button5);
    vcltest::Click(form->Button1);
    vcltest::Click(form->Button4);
    vcltest::SelectItem(form->ListBox1, 0);
    EXPECT_FALSE(Form11->Visible());
    EXPECT_EQ(Boxes().Texts().size(), 4u);
    for (const std::string& text : Boxes().Texts()) EXPECT_EQ(text, "Идет расчет боя, дождитесь его окончания");
    Boxes().Clear();

    for (int battle = 2; battle <= 10; ++battle) vcltest::Advance(1);
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_TRUE(form->Timer6->Enabled());
    EXPECT_TRUE(form->RunGoing());
    vcltest::Advance(3000);
    EXPECT_FALSE(form->RunGoing());
    EXPECT_TRUE(Form10->Visible());
    EXPECT_TRUE(Boxes().Texts().empty()) << Utf8(Boxes().Texts().empty() ? "" : Boxes().Texts()[0]);

    const std::vector<std::string> stats = vcltest::MemoLines(Form10->Memo1);
    EXPECT_EQ(stats[0], "Бой № 1");
    const auto summary = std::find(stats.begin(), stats.end(), "По итогам симуляции");
    ASSERT_NE(summary, stats.end());
    EXPECT_EQ(std::count_if(stats.begin(), summary, [](const std::string& l) { return l.rfind("Бой № ", 0) == 0; }),
              10);
    const int wins = CountAfter(stats, "Победных -- "), draws = CountAfter(stats, "Ничейных -- "),
              losses = CountAfter(stats, "Проигрышных -- ");
    EXPECT_GE(wins, 0);
    EXPECT_GE(draws, 0);
    EXPECT_GE(losses, 0);
    EXPECT_EQ(wins + draws + losses, 10);
    EXPECT_NE(std::find(stats.begin(), stats.end(), "Возможные потери"), stats.end());

    // One log per battle and the statistics, in the start folder's logs.
    const std::vector<std::string> files = FilesIn(programtest::InFolder("logs"));
    ASSERT_EQ(files.size(), 11u);
    const std::string statFile = *std::find_if(files.begin(), files.end(), [](const std::string& name) {
        return name.find("_stat_log.txt") != std::string::npos;
    });
    EXPECT_EQ(statFile.rfind("Sim_ot_", 0), 0u);
    EXPECT_EQ(rtl::ReadAllLines(programtest::InFolder("logs/" + statFile)), stats);
    const std::string prefix = statFile.substr(0, statFile.size() - std::string("_stat_log.txt").size());
    for (int battle = 1; battle <= 10; ++battle)
        EXPECT_NE(std::find(files.begin(), files.end(), prefix + "_log#" + std::to_string(battle) + ".txt"),
                  files.end())
            << battle;
    // The last battle's log is what the log window shows.
    EXPECT_EQ(rtl::ReadAllLines(programtest::InFolder("logs/" + prefix + "_log#10.txt")),
              vcltest::MemoLines(Form7->Memo1));

    // The run is over: the commands work again.
    vcltest::Click(form->Button1);
    EXPECT_TRUE(Form11->Visible());
    Form11->Hide();
    Form7->Hide();
    Form10->Hide();
}

// An error inside a battle (here rounds that are not a number) ends the
// run with the message; the next run can start.
TEST_F(BattleRunFromMainWindow, AnErrorInABattleEndsTheRunWithAMessage) {
    EnterFleets();
    Form13->Edit2->SetText("восемь");
    vcltest::Click(form->Button5);
    vcltest::Advance(1);
    EXPECT_FALSE(form->RunGoing());
    EXPECT_FALSE(form->Timer1->Enabled());
    ASSERT_EQ(Boxes().Texts().size(), 1u);
    EXPECT_NE(Boxes().Texts()[0].find("восемь"), std::string::npos) << Utf8(Boxes().Texts()[0]);

    Boxes().Clear();
    Form13->Edit2->SetText("8");
    vcltest::Click(form->Button5);
    vcltest::Advance(1);
    EXPECT_TRUE(Boxes().Texts().empty());
    EXPECT_FALSE(form->RunGoing());
    Form7->Hide();
}
