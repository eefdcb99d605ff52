// The battle run from the main window: one battle from "Начать расчет", a
// statistics run of ten battles with its summary and log files, and the
// commands refused while a run is going.
#include "support/program_fixture.h"
#include "support/scratch_folder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include "battle/datatable.h"
#include "rtl/convert.h"
#include "rtl/textfile.h"
#include "windows/analis.h"
#include "windows/dataform.h"
#include "windows/delunit.h"
#include "windows/editor.h"
#include "windows/editskr.h"
#include "windows/inputname1.h"
#include "windows/loadshbl1.h"
#include "windows/log.h"
#include "windows/medaleditor.h"
#include "windows/oficers.h"
#include "windows/onlinesverkaunit.h"
#include "windows/opt.h"
#include "windows/stat.h"
#include "windows/tehno.h"

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
        Form13->CheckBox3->SetChecked(false);
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

// Battles nobody wins, each logged in full and alike, not saved: the log
// window keeps the latest whole under one line that counts the rest.
TEST_F(BattleRunFromMainWindow, AStatisticsRunOfEndlessBattlesKeepsTheLogWindowBounded) {
    form->ValueListEditor1->SetValues(1, "1");  // "Грузовой челнок": attack 5 against shields of 10
    form->ValueListEditor4->SetValues(1, "1");
    Form13->CheckBox4->SetChecked(true);
    Form13->CheckBox3->SetChecked(true);
    Form13->Edit1->SetText("3");
    Form13->Edit2->SetText("10000");
    vcltest::Click(form->Button5);
    vcltest::Advance(4000);
    EXPECT_FALSE(form->RunGoing());
    const std::vector<std::string> log = vcltest::MemoLines(Form7->Memo1);
    const std::string note = "... пропущено ранних строк: ";
    ASSERT_EQ(log[0].rfind(note, 0), 0u) << Utf8(log[0]);
    const auto last = std::find(log.rbegin(), log.rend(), "Инициация модуля загрузки");
    ASSERT_NE(last, log.rend());
    EXPECT_EQ(*(last - 3), "Симулируется бой 3/3");
    EXPECT_EQ(std::stoul(log[0].substr(note.size())) + log.size() - 1, 3 * static_cast<size_t>(last - log.rbegin() + 1));
    EXPECT_EQ(vcltest::MemoLines(Form10->Memo1)[0], "Бой № 1");
    Form7->Hide();
    Form10->Hide();
}

// A statistics run whose battles the run could not count is not started:
// the message names the field, the value and the range.
TEST_F(BattleRunFromMainWindow, AStatisticsRunWithBattlesItCannotCountIsNotStarted) {
    EnterFleets();
    Form13->CheckBox4->SetChecked(true);
    Form13->Edit1->SetText("65535");
    vcltest::Click(form->Button5);
    vcltest::Advance(1);
    EXPECT_FALSE(form->RunGoing());
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_TRUE(vcltest::MemoLines(Form7->Memo1).empty());
    ASSERT_EQ(Boxes().Texts().size(), 1u);
    EXPECT_NE(Boxes().Texts()[0].find("«количество боев для статистики»: «65535» - должно быть целым числом от 1 до 65534"),
              std::string::npos)
        << Utf8(Boxes().Texts()[0]);
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

// A battle lets messages through to paint the log: every editor command
// chosen meanwhile that would change the database or the battle's input is
// refused with one message, and leaves the window as it was for after the
// battle. Last of this program: it leaves the editors open and changed.
TEST_F(BattleRunFromMainWindow, EditorsChangeNeitherTheDatabaseNorTheInputMidBattle) {
    for (int row : {kFirstFighter, kFirstFighter + 1}) {
        form->ValueListEditor1->SetValues(row, "400000");
        form->ValueListEditor4->SetValues(row, "400000");
    }
    Form4->Button1Click(nullptr);  // DataBase.dat as the table holds it
    const battle::DataTable tableBefore = Form4->Table();
    const std::string fileBefore = scratch::ReadFile(programtest::InFolder("DataBase.dat"));
    const int unit = form->ShipRows()[kFirstFighter - 1];

    // The unit editor with a unit open and renamed, its rapid fire "from"
    // changed, the delete window with a unit chosen.
    Form2->SpinEdit1->SetValue(unit);
    Form2->Timer1->SetEnabled(true);
    Form2->Show();
    vcltest::Advance(1);
    Form2->Edit7->SetText("Подмена");
    Form2->Button3Click(nullptr);
    vcltest::Advance(100);
    ASSERT_GT(Form5->ValueListEditor1->Count(), 0);
    Form5->ValueListEditor1->SetValues(1, "7");
    Form2->N8Click(nullptr);
    Form21->ListBox1->SetItemIndex(0);
    // The technology editor with a row open and changed; the officer and medal editors.
    Form26->Show();
    ASSERT_GT(Form26->ListBox1->Items()->Count(), 1);
    vcltest::SelectItem(Form26->ListBox1, 0);
    Form26->Edit1->SetText("77");
    Form27->Show();
    Form27->ListBox1->SetItemIndex(0);
    form911->Show();
    // A spy report, a queued rapid-fire change and a chosen template.
    Form18->Show();
    Form18->Memo1->Lines()->SetText("Шпионский доклад с планеты Тест [1:2:3]\r\n");
    onlinesverka->Show();
    onlinesverka->Memo3->Lines()->Clear();
    for (const std::string& line : {std::to_string(unit), std::to_string(unit), std::string("3")})
        onlinesverka->Memo3->Lines()->Add(line);
    Form16->Show();
    Form16->ListBox1->SetItemIndex(0);
    const std::string side1 = form->ValueListEditor1->Values(1), side2 = form->ValueListEditor4->Values(1);

    bool midBattle = false;
    bool posted = false;
    Form7->OnShow = [&](TObject*) {
        if (posted) return;
        posted = true;
        vcltest::PostAction([&] {
            midBattle = form->RunGoing();
            Boxes().Clear();
            vcltest::Click(Form2->Button1);  // "Сохранить "
            vcltest::Click(Form2->Button2);  // "Сохранить и закрыть"
            Form2->N5Click(nullptr);         // "Импорт базы"
            vcltest::Click(Form5->Button1);
            vcltest::Click(Form21->Button1);  // "Удалить"
            vcltest::Click(Form26->Button1);  // "Сохранить"
            vcltest::Click(Form26->Button2);  // "Новая технология"
            vcltest::SelectItem(Form26->ListBox1, 1);
            vcltest::Click(Form27->Button3);    // "Удалить"
            vcltest::Click(form911->Button1);   // "Создать новую медаль"
            vcltest::Click(form911->Button4);   // "Закрыть редактор": reloads the database
            vcltest::Click(Form18->Button1);    // "Анализ"
            vcltest::Click(onlinesverka->Button2);  // "применить изменения"
            vcltest::Click(Form16->Button1);    // "открыть"
        });
    };
    vcltest::Click(form->Button5);
    vcltest::Advance(1);
    Form7->OnShow = nullptr;
    vcltest::Advance(1000);  // any timer a refused command might have armed

    ASSERT_TRUE(midBattle) << "the battle ended before it let a message in";
    EXPECT_FALSE(form->RunGoing());
    EXPECT_EQ(Boxes().Texts().size(), 14u);
    for (const std::string& text : Boxes().Texts()) EXPECT_EQ(text, "Идет расчет боя, дождитесь его окончания") << Utf8(text);
    for (int row = 0; row <= battle::kLastRow; ++row)
        for (int col = 0; col <= battle::kLastCol; ++col)
            if (Form4->Table().Cell(col, row) != tableBefore.Cell(col, row))
                FAIL() << "cell " << col << "," << row << ": " << Utf8(Form4->Table().Cell(col, row));
    EXPECT_TRUE(scratch::ReadFile(programtest::InFolder("DataBase.dat")) == fileBefore);
    EXPECT_EQ(form->ValueListEditor1->Values(1), side1);
    EXPECT_EQ(form->ValueListEditor4->Values(1), side2);
    EXPECT_EQ(form->ListBox2->Items()->Count(), 1);
    // Every window keeps what was typed in it.
    for (TForm* window : std::initializer_list<TForm*>{Form2, Form5, Form21, Form26, form911, Form18, onlinesverka, Form16})
        EXPECT_TRUE(window->Visible()) << window->Name();
    EXPECT_EQ(Form2->Edit7->Text(), "Подмена");
    EXPECT_EQ(Form5->ValueListEditor1->Values(1), "7");
    EXPECT_EQ(Form26->ListBox1->ItemIndex(), 0);
    EXPECT_EQ(Form26->Edit1->Text(), "77");
    EXPECT_EQ(vcltest::MemoLines(onlinesverka->Memo3).size(), 3u);
    EXPECT_FALSE(Form4->Timer6->Enabled());

    for (TForm* window :
         std::initializer_list<TForm*>{Form2, Form5, Form21, Form26, Form27, form911, Form18, onlinesverka, Form16, Form7})
        window->Hide();
}
