// Fleet selection from the main window with the real battle engine on small
// fleets and a seeded generator: the start and its refusals, the battles of
// every candidate, the generations and the recommended fleet.
#include "support/program_fixture.h"

#include <algorithm>

#include "rtl/random.h"
#include "windows/dataform.h"
#include "windows/log.h"
#include "windows/opt.h"
#include "windows/podbor.h"
#include "windows/podbor_dialog.h"
#include "windows/podborprunit.h"
#include "windows/podborresunit.h"

using namespace vcl;
using programtest::Boxes;
using vcltest::Utf8;

namespace {

// Database rows of the installed unit types used here.
constexpr int kProbe = 204;   // no attack at all
constexpr int kViper = 205;
constexpr int kViking = 206;
constexpr int kHawk = 207;

class FleetSelectionFromMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        form = programtest::StartProgram();
        programtest::NewBattle(form);
        Form13->Edit2->SetText("8");
        Form13->CheckBox4->SetChecked(false);
        Form13->CheckBox2->SetChecked(false);
        podborres->Memo1->Lines()->Clear();
        rtl::ProgramRandom().Seed(20261207);
    }
    void TearDown() override {
        Form13->Edit2->SetText("8");
        Form13->Edit3->SetText("4");
        Form13->Edit4->SetText("100");
        podborres->Hide();
        Form7->Hide();
    }

    // The editor line of a database row.
    int Line(int row) const {
        const auto& rows = form->ShipRows();
        return static_cast<int>(std::find(rows.begin(), rows.end(), row) - rows.begin()) + 1;
    }
    void Enter(TValueListEditor* editor, int row, const char* count) { editor->SetValues(Line(row), count); }

    // What "Подобрать флот" does: the start on the next tick.
    void Start(const char* candidates, const char* generations) {
        Form13->Edit4->SetText(candidates);
        Form13->Edit3->SetText(generations);
        form->podbor1->SetEnabled(true);
        vcltest::Advance(1);
    }
    // Runs the battle ticks and the selection's steps until the selection is over.
    void Finish() {
        for (int tick = 0; tick < 200000 && form->RunGoing(); ++tick) vcltest::Advance(1);
        ASSERT_FALSE(form->RunGoing());
    }
    std::vector<uint32_t> Column(TSelectionGrid* grid, int col) const {
        std::vector<uint32_t> counts;
        for (int row = 0; row < battle::kSelectionCountRows; ++row) counts.push_back(grid->Table().Count(col, row));
        return counts;
    }
    int BattlesFought() {
        const battle::RunState& s = form->Run().State;
        return s.Wins + s.Draws + s.Losses;
    }
    void ExpectEnded() {
        EXPECT_FALSE(form->Engine().PodborMode);
        EXPECT_FALSE(form->RunGoing());
        EXPECT_FALSE(form->Timer1->Enabled());
        EXPECT_FALSE(form->podbor2->Enabled());
        EXPECT_FALSE(podborpr->Visible());
    }

    TForm1* form = nullptr;
};

}  // namespace

TEST_F(FleetSelectionFromMainWindow, BadOptionsAndAnEmptyFleetStartNothing) {
    Enter(form->ValueListEditor1, kViper, "5");
    Enter(form->ValueListEditor4, kViper, "5");
    struct Case {
        const char *candidates, *generations, *message;
    };
    const Case cases[] = {
        {"0", "4", "Количество боев при подборе должно быть целым числом от 1 до 65025"},
        {"65026", "4", "Количество боев при подборе должно быть целым числом от 1 до 65025"},
        {"сто", "4", "Количество боев при подборе должно быть целым числом от 1 до 65025"},
        {"100", "0", "Количество итераций при подборе должно быть целым числом от 1 до 65535"},
        {"100", "2,5", "Количество итераций при подборе должно быть целым числом от 1 до 65535"},
    };
    for (const Case& c : cases) {
        Start(c.candidates, c.generations);
        ASSERT_EQ(Boxes().Texts().size(), 1u) << c.candidates << " " << c.generations;
        EXPECT_EQ(Boxes().Texts()[0], c.message) << Utf8(Boxes().Texts()[0]);
        EXPECT_EQ(Form13->Edit4->Text(), c.candidates);  // the typed value stays to be mended
        ExpectEnded();
        Boxes().Clear();
    }
    Enter(form->ValueListEditor1, kViper, "0");
    Start("100", "4");
    ASSERT_EQ(Boxes().Texts().size(), 1u);
    EXPECT_EQ(Boxes().Texts()[0], "У вас нет флота");
    ExpectEnded();
}

TEST_F(FleetSelectionFromMainWindow, TheWarningStartsASelectionThatRecommendsAFleet) {
    Enter(form->ValueListEditor1, kViper, "40");
    Enter(form->ValueListEditor1, kHawk, "6");
    Enter(form->ValueListEditor4, kViking, "20");
    Form13->Edit4->SetText("3");
    Form13->Edit3->SetText("2");
    vcltest::PostAction([] { vcltest::Click(Form22->Button1); });
    vcltest::Click(form->Button6);
    vcltest::Advance(1);

    // Three candidates make a square of four; the player's fleet is the last.
    EXPECT_EQ(Form13->Edit4->Text(), "4");
    ASSERT_TRUE(form->RunGoing());
    EXPECT_TRUE(form->Engine().PodborMode);
    EXPECT_TRUE(podborpr->Visible());
    TSelectionGrid* candidates = podborform->StringGrid1;
    ASSERT_EQ(candidates->ColCount(), 4);
    EXPECT_EQ(candidates->Cells(3, kViper), "40");
    EXPECT_EQ(candidates->Cells(3, kHawk), "6");
    // While it runs, nothing else starts.
    vcltest::Click(form->Button5);
    EXPECT_EQ(Boxes().Texts(), std::vector<std::string>{"Идет расчет боя, дождитесь его окончания"});
    Boxes().Clear();
    // Options typed during it (or put back by the options window's cancel)
    // change nothing of it: it goes on with the sizes it started with.
    Form13->Edit4->SetText("100");
    Form13->Edit3->SetText("четыре");

    // Through the first generation to the next one.
    for (int tick = 0; tick < 100000 && form->Run().State.PodborIter < 2; ++tick) vcltest::Advance(1);
    ASSERT_EQ(form->Run().State.PodborIter, 2);
    EXPECT_EQ(podborpr->sGauge1->Progress(), 2);
    TSelectionGrid* kept = podborform->StringGrid2;
    ASSERT_EQ(kept->ColCount(), 2);
    EXPECT_GE(kept->Table().ScoreValue(1), kept->Table().ScoreValue(0));
    // A kept fleet paired with itself is fought again.
    EXPECT_EQ(Column(candidates, 0), Column(kept, 0));
    EXPECT_EQ(Column(candidates, 3), Column(kept, 1));
    EXPECT_TRUE(podborpr->Label1->Caption().rfind("Бой №", 0) == 0) << Utf8(podborpr->Label1->Caption());
    EXPECT_TRUE(podborpr->Label2->Caption().rfind("Времени потрачено: 0 мин ", 0) == 0);

    Finish();
    ExpectEnded();
    EXPECT_EQ(Boxes().Texts(), std::vector<std::string>{"Подбор флота окончен"});
    EXPECT_TRUE(podborres->Visible());
    const std::vector<std::string> lines = vcltest::MemoLines(podborres->Memo1);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Рекомендованный состав флота");
    // The best kept fleet, by row.
    std::vector<std::string> expected;
    const battle::DataTable& table = Form4->Table();
    for (int row : {kViper, kHawk})
        if (kept->Cells(1, row) != "0") expected.push_back(table.Cell(battle::kColName, row) + "  " + kept->Cells(1, row));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end() - 2), expected);
    EXPECT_EQ(lines[lines.size() - 2], "");
    EXPECT_TRUE(lines.back().rfind("Времени потрачено: 0 мин ", 0) == 0) << Utf8(lines.back());
    EXPECT_EQ(lines.back().substr(lines.back().size() - 4), " сек");

    // The player's own fleet is as entered, in the editors and in the inputs.
    EXPECT_EQ(form->ValueListEditor1->Values(Line(kViper)), "40");
    EXPECT_EQ(form->Input().ShipCount[1][0][kViper], 40u);
    EXPECT_EQ(form->Input().ShipCount[1][0][kHawk], 6u);

    // The next run is an ordinary battle again.
    vcltest::Click(form->Button5);
    vcltest::Advance(1);
    EXPECT_FALSE(form->RunGoing());
    EXPECT_EQ(form->Engine().Input.ShipCount[1][0][kViper], 40u);
}

TEST_F(FleetSelectionFromMainWindow, OneGenerationWithoutLossesKeepsTheFirstOfEqualScores) {
    // Probes never fire: every candidate loses nothing and scores 1e8.
    Enter(form->ValueListEditor1, kViper, "7");
    Enter(form->ValueListEditor1, kViking, "2");
    Enter(form->ValueListEditor4, kProbe, "30");
    Start("4", "1");
    TSelectionGrid* candidates = podborform->StringGrid1;
    ASSERT_EQ(candidates->ColCount(), 4);
    for (int c = 0; c < 3; ++c) {
        EXPECT_LE(candidates->Table().Count(c, kViper), 7u);
        EXPECT_LE(candidates->Table().Count(c, kViking), 2u);
        EXPECT_FALSE(candidates->Table().Empty(c));
    }
    // A candidate without units is not fought and scores 0.
    for (int row = 0; row < battle::kSelectionCountRows; ++row) candidates->SetCells(1, row, "0");
    std::vector<std::vector<uint32_t>> drawn;
    for (int c = 0; c < 4; ++c) drawn.push_back(Column(candidates, c));
    form->Run().State.Wins = form->Run().State.Draws = form->Run().State.Losses = 0;

    Finish();
    ExpectEnded();
    EXPECT_EQ(BattlesFought(), 15);
    EXPECT_EQ(candidates->Cells(1, battle::kSelectionScoreRow), "0");
    for (int c : {0, 2, 3}) EXPECT_EQ(candidates->Cells(c, battle::kSelectionScoreRow), "100000000") << c;
    // One generation: no breeding, the candidates are those drawn.
    for (int c = 0; c < 4; ++c) EXPECT_EQ(Column(candidates, c), drawn[static_cast<size_t>(c)]) << c;
    TSelectionGrid* kept = podborform->StringGrid2;
    ASSERT_EQ(kept->ColCount(), 2);
    EXPECT_EQ(Column(kept, 1), drawn[0]);
    const std::vector<std::string> lines = vcltest::MemoLines(podborres->Memo1);
    std::vector<std::string> expected{"Рекомендованный состав флота"};
    const battle::DataTable& table = Form4->Table();
    for (int row : {kViper, kViking})
        if (drawn[0][static_cast<size_t>(row)] != 0)
            expected.push_back(table.Cell(battle::kColName, row) + "  " + candidates->Cells(0, row));
    ASSERT_GE(lines.size(), expected.size() + 2);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(expected.size())), expected);
}

TEST_F(FleetSelectionFromMainWindow, AFailingBattleOrNoScoreEndsItCleanly) {
    Enter(form->ValueListEditor1, kViper, "5");
    Enter(form->ValueListEditor4, kViking, "5");
    Form13->Edit2->SetText("восемь");
    Start("4", "3");
    ASSERT_TRUE(form->RunGoing());
    Finish();
    ExpectEnded();
    ASSERT_EQ(Boxes().Texts().size(), 1u);
    EXPECT_NE(Boxes().Texts()[0].find("восемь"), std::string::npos) << Utf8(Boxes().Texts()[0]);
    EXPECT_TRUE(vcltest::MemoLines(podborres->Memo1).empty());
    Boxes().Clear();

    // Nothing scores above 0: the result says so instead of listing a fleet.
    Form13->Edit2->SetText("8");
    Start("1", "1");
    for (int row = 0; row < battle::kSelectionCountRows; ++row) podborform->StringGrid1->SetCells(0, row, "0");
    Finish();
    ExpectEnded();
    const std::vector<std::string> lines = vcltest::MemoLines(podborres->Memo1);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "Ни один из вариантов флота не получил оценки выше нуля: рекомендовать нечего");
}
