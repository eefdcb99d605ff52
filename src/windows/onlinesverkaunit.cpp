#include "windows/onlinesverkaunit.h"

#include <string>
#include <vector>

#include "rtl/convert.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"
#include "windows/core/websites.h"
#include "windows/dataform.h"
#include "windows/mainteme.h"

using namespace vcl;

Tonlinesverka* onlinesverka = nullptr;

namespace {

// Marks the end of the hidden lists.
const char* const kSentinel = "idiot";

void Tell(const std::string& text) { Application->MessageBox(text, Application->Title(), MB_OK | MB_ICONSTOP); }

}  // namespace

Tonlinesverka::Tonlinesverka(TComponent* owner) : TForm(owner) {
    SetName("onlinesverka");
    SetCaption("Сверка скорострелов");
    SetBorderStyle(bsSingle);
    SetClientSize(520, 420);
    Label1 = Declare<TLabel>(this, "Label1").Bounds(8, 8, 200, 16).Caption("Лог изменений");
    Memo2 = Declare<TMemo>(this, "Memo2").Bounds(8, 28, 504, 290).With([](TMemo* m) {
        m->SetReadOnly(true);
        m->SetScrollBars(ssBoth);
        m->SetWordWrap(false);
    });
    Memo1 = Declare<TMemo>(this, "Memo1").Bounds(8, 28, 100, 40).Visible(false);
    Memo4 = Declare<TMemo>(this, "Memo4").Bounds(8, 28, 100, 40).Visible(false);
    Memo3 = Declare<TMemo>(this, "Memo3").Bounds(8, 28, 100, 40).Visible(false);
    G23 = Declare<TGauge>(this, "G23").Bounds(8, 326, 504, 22);
    G23->SetMinValue(online::kWalkStart);
    G23->SetMaxValue(online::kWalkEnd);
    G23->SetProgress(online::kWalkStart);
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(8, 358, 160, 25)
                  .Caption("Запустить сверку")
                  .OnClick(Bind(this, &Tonlinesverka::Button1Click));
    Button2 = Declare<TButton>(this, "Button2")
                  .Bounds(180, 358, 160, 25)
                  .Caption("применить изменения")
                  .OnClick(Bind(this, &Tonlinesverka::Button2Click));
    Button3 = Declare<TButton>(this, "Button3")
                  .Bounds(352, 358, 160, 25)
                  .Caption("закрыть окно")
                  .OnClick(Bind(this, &Tonlinesverka::Button3Click));
    Button4 = Declare<TButton>(this, "Button4")
                  .Bounds(8, 390, 160, 25)
                  .Caption("повторить")
                  .Visible(false)
                  .OnClick(Bind(this, &Tonlinesverka::Button4Click));
    Timer1 = DeclareTimer(this, "Timer1", 1000, false, Bind(this, &Tonlinesverka::Timer1Timer));
    Timer2 = DeclareTimer(this, "Timer2", 5000, false, Bind(this, &Tonlinesverka::Timer2Timer));
    WebBrowser1 = new TWebBrowser(this);
    WebBrowser1->SetName("WebBrowser1");
}

void Tonlinesverka::Button1Click(TObject*) {
    try {
        letters_ = online::ReadLetterTables(online::kLettersFile, online::kEntitiesFile);
    } catch (const rtl::EInOutError& e) {
        Tell(e.what());
        return;
    }
    // A walk already going starts again: its page is no longer waited for.
    Timer2->SetEnabled(false);
    Timer1->SetEnabled(false);
    CheckRow = online::kWalkStart;
    G23->SetProgress(CheckRow);
    Timer1->SetEnabled(true);
}

void Tonlinesverka::Timer1Timer(TObject*) {
    CheckRow = online::NextUnitRow(Form4->Table(), CheckRow);
    if (CheckRow >= online::kWalkEnd) {
        Timer1->SetEnabled(false);
        G23->SetProgress(online::kWalkEnd);
        return;
    }
    WebBrowser1->Navigate(online::UnitPageAddress(web::GameSite(), CheckRow));
    Timer2->SetEnabled(true);
    G23->SetProgress(CheckRow);
    Timer1->SetEnabled(false);
}

void Tonlinesverka::Timer2Timer(TObject*) {
    if (WebBrowser1->Busy()) return;
    Timer2->SetEnabled(false);
    // A page that was not saved is not read from the file of the one before: this unit is skipped.
    if (!SaveHTMLSourceToFile(online::kPageFile, WebBrowser1)) {
        Timer1->SetEnabled(true);
        return;
    }
    std::string text;
    try {
        for (const std::string& line : rtl::ReadAllLines(online::kPageFile)) text += line + "\r\n";
    } catch (const rtl::EInOutError& e) {
        Tell(e.what());
        Timer1->SetEnabled(true);
        return;
    }
    Memo1->Lines()->SetText(online::ConvertEntities(std::move(text), letters_));
    const std::vector<std::string> lines = Memo1->Lines()->ToVector();
    Memo1->Lines()->Add(kSentinel);

    const online::RapidFireBlock block = online::FindRapidFireBlock(lines, CheckRow);
    if (block.found) {
        Memo4->Lines()->Clear();
        Memo4->Lines()->AddStrings(block.entries);
        Memo4->Lines()->Add(kSentinel);
        Compare(block.entries);
    } else {
        Timer1->SetEnabled(true);
    }
}

// A page entry that cannot be read stops the walk here, with what the
// entries before it gave logged and queued; the hidden button retries.
void Tonlinesverka::Compare(const std::vector<std::string>& entries) {
    online::UnitComparison found;
    std::string failure;
    try {
        online::CompareRapidFire(Form4->Table(), CheckRow, entries, found);
    } catch (const rtl::ERuntimeError& e) {
        failure = e.what();
    }
    Memo2->Lines()->AddStrings(found.log);
    for (const online::QueuedChange& change : found.queue) {
        Memo3->Lines()->Add(rtl::IntToStr(change.row));
        Memo3->Lines()->Add(rtl::IntToStr(change.target));
        Memo3->Lines()->Add(change.value);
    }
    if (failure.empty())
        Timer1->SetEnabled(true);
    else
        Tell(failure);
}

// The battle reads the table: refused during a run, with the queue kept.
// A value the table does not take (a rapid fire beyond what a battle can
// bear) is left out, with a line in the log saying why.
void Tonlinesverka::Button2Click(TObject*) {
    if (RefuseWhileRunning()) return;
    const std::vector<std::string> queue = Memo3->Lines()->ToVector();
    battle::DataTable& table = Form4->Table();
    for (size_t i = 0; i + 2 < queue.size(); i += 3) {
        int32_t row = 0, target = 0;
        // The queue is the comparison's own; anything else in it is passed over.
        if (!rtl::TryStrToInt(queue[i], row) || !rtl::TryStrToInt(queue[i + 1], target) || row < 0 ||
            row > battle::kLastRow || target < 1 || target > battle::kLastRow)
            continue;
        const int col = battle::kColRapidFire + target;
        const std::string& value = queue[i + 2];
        if (std::string problem = table.CellValueProblem(col, row, value); !problem.empty()) {
            Memo2->Lines()->Add(table.Cell(battle::kColName, row) + " по " + table.Cell(battle::kColName, target) +
                                "  " + value + " не применено: " + problem);
            continue;
        }
        table.SetCell(col, row, value);
    }
    Memo3->Lines()->Clear();
    Form4->Button1Click(nullptr);
    Form4->RefreshGrid();
}

void Tonlinesverka::Button3Click(TObject*) { Close(); }

void Tonlinesverka::Button4Click(TObject*) {
    CheckRow -= 1;
    Timer1->SetEnabled(true);
}
