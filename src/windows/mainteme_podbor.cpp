// Fleet selection from the main window: the start with the first generation,
// the battles of every candidate, the end of each generation (the best kept,
// the next bred from them) and the recommended fleet.
#include <algorithm>
#include <exception>

#include "battle/inputcheck.h"
#include "rtl/convert.h"
#include "rtl/random.h"
#include "windows/dataform.h"
#include "windows/mainteme.h"
#include "windows/opt.h"
#include "windows/podbor.h"
#include "windows/podborprunit.h"
#include "windows/podborresunit.h"

using namespace vcl;

namespace {

void Tell(const std::string& text) { Application->MessageBox(text, Application->Title(), MB_OK | MB_ICONSTOP); }

void ShowTableColumns(TSelectionGrid* grid) { grid->SetColCount(grid->Table().Columns()); }

}  // namespace

void TForm1::DeclareSelectionTimers() {
    podbor1 = DeclareTimer(this, "podbor1", 1, false, Bind(this, &TForm1::podbor1Timer));
    podbor2 = DeclareTimer(this, "podbor2", 1, false, Bind(this, &TForm1::podbor2Timer));
    podbor3 = DeclareTimer(this, "podbor3", 1, false, Bind(this, &TForm1::podbor3Timer));
}

void TForm1::podbor1Timer(TObject* Sender) {
    podbor1->SetEnabled(false);
    if (RefuseWhileRunning()) return;
    std::string error;
    if (!battle::ReadSelectionSizes(Form13->Edit4->Text(), Form13->Edit3->Text(), selection_, error)) {
        Tell(error);
        return;
    }
    Form13->Edit4->SetText(rtl::IntToStr(selection_.candidates));
    podborpr->sGauge2->SetMaxValue(selection_.candidates);
    podborpr->sGauge1->SetMaxValue(selection_.generations + 1);
    podborpr->sGauge1->SetProgress(1);
    podborpr->sGauge3->SetMinValue(0);
    podborpr->sGauge3->SetMaxValue(battle::kPodborBattles);

    saveships(CurPart[1], CurPart[2]);
    const uint32_t* limits = input_->ShipCount[1][0];
    if (std::all_of(limits, limits + battle::kSelectionCountRows, [](uint32_t n) { return n == 0; })) {
        Tell("У вас нет флота");
        return;
    }
    battle::DrawFirstGeneration(podborform->StringGrid1->Table(), selection_.candidates, limits,
                                rtl::ProgramRandom());
    ShowTableColumns(podborform->StringGrid1);

    battle::BattleRun& run = Run();
    battle::BattleEngine& engine = Engine();
    run.State.StartDir = StartDir;
    run.State.PodborCandidates = selection_.candidates;
    run.State.PodborGenerations = selection_.generations;
    engine.PodborMode = true;
    runGoing_ = true;
    Timer1->SetEnabled(true);
    engine.BattleNo = 1;
    run.State.PodborIter = 1;
    engine.PodborBattle = 1;
    podborpr->Label2->SetCaption("");
    podborpr->Label3->SetCaption("");
    podborpr->Show();
    run.State.PodborStart = clock_->Milliseconds();
}

void TForm1::saveshipspod(int col) {
    // Only the battle's copy of the inputs: the player's own fleet stays as entered.
    const battle::SelectionTable& candidates = podborform->StringGrid1->Table();
    uint32_t* ships = Engine().Input.ShipCount[1][0];
    for (int row = 0; row < battle::kSelectionCountRows; ++row) ships[row] = candidates.Count(col, row);
}

battle::HandOver TForm1::FightSelectionBattle() {
    battle::BattleEngine& engine = Engine();
    if (engine.PodborBattle == 1 && podborform->StringGrid1->Table().Empty(engine.BattleNo - 1))
        return SkipEmptyCandidate();
    return Run().FightBattle([this, &engine] {
        StoreRunInputs();
        saveshipspod(engine.BattleNo - 1);
        // The candidate is checked as the player's fleets are.
        battle::CheckUnitCounts(engine.Input, Form4->Table());
        battle::CheckPriorityUnits(engine.Input, Form4->Table());
    });
}

// A fleet without units would lose nothing and score as the best of all: it
// gets 0 and no battle.
battle::HandOver TForm1::SkipEmptyCandidate() {
    battle::BattleEngine& engine = Engine();
    SelectionScore(engine.BattleNo - 1, "0");
    engine.BattleNo = rtl::CheckedNarrow<uint16_t>(int64_t{engine.BattleNo} + 1);
    return selection_.candidates < engine.BattleNo ? battle::HandOver::SelectionTimer
                                                   : battle::HandOver::BattleTimer;
}

void TForm1::podbor2Timer(TObject* Sender) {
    podbor2->SetEnabled(false);
    battle::BattleRun& run = Run();
    try {
        battle::KeepBest(podborform->StringGrid1->Table(), podborform->StringGrid2->Table(), selection_.kept);
        ShowTableColumns(podborform->StringGrid2);
        if (selection_.generations <= run.State.PodborIter) {
            EndSelection();
            podbor3->SetEnabled(true);
            return;
        }
        run.State.PodborIter += 1;
        podborpr->sGauge1->SetProgress(run.State.PodborIter);
        battle::Breed(podborform->StringGrid2->Table(), podborform->StringGrid1->Table());
        ShowTableColumns(podborform->StringGrid1);
    } catch (const std::exception& error) {
        StopRun();
        Application->ShowException(error.what());
        return;
    }
    Engine().BattleNo = 1;
    Engine().PodborBattle = 1;
    Timer1->SetEnabled(true);
}

void TForm1::podbor3Timer(TObject* Sender) {
    podbor3->SetEnabled(false);
    runGoing_ = false;
    const battle::SelectionTable& kept = podborform->StringGrid2->Table();
    const int best = kept.Columns() - 1;
    TStrings* lines = podborres->Memo1->Lines();
    lines->Add("Рекомендованный состав флота");
    if (best < 0 || kept.ScoreValue(best) <= 0 || kept.Empty(best)) {
        lines->Add("Ни один из вариантов флота не получил оценки выше нуля: рекомендовать нечего");
    } else {
        const battle::DataTable& table = Form4->Table();
        for (int row = 0; row < battle::kSelectionCountRows; ++row) {
            const uint32_t count = kept.Count(best, row);
            if (count != 0) lines->Add(table.Cell(battle::kColName, row) + "  " + rtl::IntToStr(count));
        }
    }
    podborres->Show();
    lines->Add("");
    lines->Add("Времени потрачено: " +
               battle::SelectionTimeText(clock_->Milliseconds() - Run().State.PodborStart));
    Application->MessageBox("Подбор флота окончен", Application->Title(), MB_OK | MB_ICONINFORMATION);
}

// However the selection ends, the battles go back to normal runs.
void TForm1::EndSelection() {
    if (!engine_ || !engine_->PodborMode) return;
    engine_->PodborMode = false;
    podborpr->Close();
}

void TForm1::SelectionProgress(int candidate, int battleOfCandidate, std::string_view label) {
    podborpr->sGauge2->SetProgress(candidate);
    podborpr->sGauge3->SetProgress(battleOfCandidate);
    podborpr->Label1->SetCaption(std::string(label));
}

void TForm1::SelectionTimes(std::string_view spent, std::string_view estimate) {
    podborpr->Label2->SetCaption(std::string(spent));
    podborpr->Label3->SetCaption(std::string(estimate));
}

void TForm1::SelectionScore(int column, std::string_view score) {
    podborform->StringGrid1->SetCells(column, battle::kSelectionScoreRow, std::string(score));
}
