// The battle run: "Начать расчет", one whole battle per tick of the battle
// timer, the hand-over, the run's summary, and the windows the run writes.
#include <exception>

#include "battle/inputcheck.h"
#include "rtl/errors.h"

#include "windows/dataform.h"
#include "windows/log.h"
#include "windows/mainteme.h"
#include "windows/opt.h"
#include "windows/stat.h"

using namespace vcl;

namespace {

// One tick of the battle timer fights battles for about this long: a small
// battle takes less than the timer's own pace between two ticks, and the
// windows paint between ticks (a long battle lets them paint from inside,
// at the same pace). Each of those paints costs Wine 10 to 20 ms (the log's
// text laid out again, its scroll bars, a skinned form and all its
// children), so they come a few times a second, not more. A click or a key
// ends the slice within Application->kInputLookMs.
constexpr int64_t kBattleSliceMs = TForm7::kPaintEveryMs;

}  // namespace

battle::BattleEngine& TForm1::Engine() {
    if (!engine_) engine_ = std::make_unique<battle::BattleEngine>(Form4->Table(), *Form13, *Form7);
    return *engine_;
}

battle::BattleRun& TForm1::Run() {
    if (!run_) {
        clock_ = std::make_unique<battle::SystemClock>();
        run_ = std::make_unique<battle::BattleRun>(Engine(), *Form13, *Form7, *this, *clock_);
    }
    return *run_;
}

// Nothing to clear before the first run exists.
void TForm1::clrst() {
    if (run_) run_->clrst();
}

void TForm1::Button5Click(TObject* Sender) {
    if (RefuseWhileRunning()) return;
    try {
        battle::RunRounds(*Form13);
        if (Form13->Statistics()) battle::RunBattles(*Form13);
    } catch (const rtl::ERuntimeError& error) {
        Application->ShowException(error.what());
        return;
    }
    battle::BattleRun& run = Run();
    run.State.StartDir = StartDir;
    run.StartRun();
    runGoing_ = true;
    Timer1->SetEnabled(true);
}

void TForm1::StoreRunInputs() {
    saveships(CurPart[1], CurPart[2]);
    battle::BattleEngine& engine = Engine();
    engine.Input = *input_;
    for (int side = 1; side <= 2; ++side) {
        // Every question to a list box is a message: its count once.
        TStrings* names = PartList(side)->Items();
        const int listed = names->Count();
        for (int p = 0; p < battle::kParticipantSlots; ++p)
            engine.Input.PartName[side][p] = p < listed ? names->Get(p) : std::string();
    }
    engine.Input.AttackingSide = RadioGroup1->ItemIndex() == 1 ? 2 : 1;
    // The options and the editors may have changed since the run began.
    battle::RunRounds(*Form13);
    battle::CheckUnitCounts(engine.Input, Form4->Table());
    battle::CheckPriorityUnits(engine.Input, Form4->Table());
}

// The end of a run ends a fleet selection too.
void TForm1::StopRun() {
    runGoing_ = false;
    Timer1->SetEnabled(false);
    Timer6->SetEnabled(false);
    EndSelection();
}

// The window closed while a battle was fought: the battle is done, the run
// ends with it, and the program closes as it always does.
void TForm1::CloseIfAskedDuringBattle() {
    if (!closeAfterBattle_) return;
    closeAfterBattle_ = false;
    StopRun();
    Close();
}

void TForm1::Timer1Timer(TObject* Sender) {
    Timer1->SetEnabled(false);
    battle::HandOver next = battle::HandOver::Nothing;
    try {
        struct TickMark {
            bool& flag;
            explicit TickMark(bool& f) : flag(f) { flag = true; }
            ~TickMark() { flag = false; }
        } mark(inBattleTick_);
        next = FightBattles();
    } catch (const std::exception& error) {
        // The battle stopped; so does the run.
        StopRun();
        Application->ShowException(error.what());
        CloseIfAskedDuringBattle();
        return;
    }
    if (closeAfterBattle_) {
        CloseIfAskedDuringBattle();
        return;
    }
    switch (next) {
    case battle::HandOver::BattleTimer:
        Timer1->SetEnabled(true);
        break;
    case battle::HandOver::StatisticsTimer:
        Timer6->SetEnabled(true);
        break;
    case battle::HandOver::SelectionTimer:
        podbor2->SetEnabled(true);
        break;
    case battle::HandOver::Nothing:
        StopRun();
        break;
    }
}

battle::HandOver TForm1::FightBattles() {
    battle::BattleRun& run = Run();
    const int64_t start = clock_->Milliseconds();
    for (;;) {
        const battle::HandOver next =
            Engine().PodborMode ? FightSelectionBattle() : run.FightBattle([this] { StoreRunInputs(); });
        // The window closed while the windows were painted during a battle:
        // the run ends with this one.
        if (next != battle::HandOver::BattleTimer || closeAfterBattle_) return next;
        if (clock_->Milliseconds() >= start + kBattleSliceMs || Application->InputWaiting()) return next;
    }
}

void TForm1::Timer6Timer(TObject* Sender) {
    Timer6->SetEnabled(false);
    StopRun();
    try {
        Run().WriteSummary();
    } catch (const std::exception& error) {
        Application->ShowException(error.what());
    }
}

// ---- What the run writes besides the battle log.

void TForm1::ClearLog() { Form7->Memo1->Lines()->Clear(); }
void TForm1::ShowLog() { Form7->Show(); }
void TForm1::StatLine(std::string_view line) { Form10->Memo1->Lines()->Add(std::string(line)); }
void TForm1::ClearStatistics() { Form10->Memo1->Lines()->Clear(); }
void TForm1::ShowStatistics() { Form10->Show(); }
void TForm1::SaveLog(const std::string& path) { Form7->Memo1->Lines()->SaveToFile(path); }
void TForm1::SaveStatistics(const std::string& path) { Form10->Memo1->Lines()->SaveToFile(path); }
