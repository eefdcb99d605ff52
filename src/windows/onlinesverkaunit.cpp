#include "windows/onlinesverkaunit.h"

#include <string>
#include <vector>

#include "battle/inputcheck.h"
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
    walk_ = {};
    // What an earlier walk found is not applied with this one's.
    Memo3->Lines()->Clear();
    Memo2->Lines()->Clear();
    G23->SetProgress(CheckRow);
    Timer1->SetEnabled(true);
}

void Tonlinesverka::Timer1Timer(TObject*) {
    CheckRow = online::NextUnitRow(Form4->Table(), CheckRow);
    if (CheckRow >= online::kWalkEnd) {
        Timer1->SetEnabled(false);
        G23->SetProgress(online::kWalkEnd);
        AnnounceEnd();
        return;
    }
    WebBrowser1->Navigate(online::UnitPageAddress(web::GameSite(), CheckRow));
    Timer2->SetEnabled(true);
    G23->SetProgress(CheckRow);
    Timer1->SetEnabled(false);
}

std::string Tonlinesverka::CurrentUnit() const {
    return "«" + Form4->Table().Cell(battle::kColName, CheckRow) + "» (" +
           online::UnitPageAddress(web::GameSite(), CheckRow) + ")";
}

// A page that did not come is not a page without rapid fire: it is never
// taken for one that matches the database.
void Tonlinesverka::Timer2Timer(TObject*) {
    if (WebBrowser1->Busy()) return;
    Timer2->SetEnabled(false);
    if (const std::string failure = WebBrowser1->LoadError(); !failure.empty()) {
        if (const rtl::HttpFailure kind = WebBrowser1->LoadFailure(); kind != rtl::HttpFailure::kPage) {
            StopWalk(failure, kind);
            return;
        }
        // The site answered, only not with this page (an error status, a page
        // cut short or too large, redirects without end): the walk goes on.
        Memo2->Lines()->Add(CurrentUnit() + ": страница не загружена: " + failure);
        walk_.failedPages += 1;
        Timer1->SetEnabled(true);
        return;
    }
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
    if (block.read && !block.entries.empty()) {
        Memo4->Lines()->Clear();
        Memo4->Lines()->AddStrings(block.entries);
        Memo4->Lines()->Add(kSentinel);
        Compare(block.entries);
        return;
    }
    // A page that gives no entries is not taken for a unit without rapid
    // fire: comparing against it would queue every value of the unit as 0.
    // The unit is told as not compared instead.
    if (block.found && !block.read) {
        NotCompared(block.problem);
    } else if (online::HasRapidFire(Form4->Table(), CheckRow)) {
        Memo2->Lines()->Add(CurrentUnit() + (block.found ? ": блок скорострела на странице пуст"
                                                         : std::string(": на странице нет «") +
                                                               online::kRapidFireMarker + "»") +
                            ", а в базе у юнита есть скорострел; юнит не сверен");
        walk_.uncompared += 1;
    } else {
        walk_.pages += 1;  // no rapid fire on either side: the unit matches
    }
    Timer1->SetEnabled(true);
}

void Tonlinesverka::NotCompared(const std::string& why) {
    Memo2->Lines()->Add(CurrentUnit() + ": страница не прочитана: " + why + ", юнит не сверен");
    walk_.uncompared += 1;
}

// An entry that cannot be read is logged with its unit and page; the other
// entries and the units after it are compared all the same.
void Tonlinesverka::Compare(const std::vector<std::string>& entries) {
    online::UnitComparison found;
    online::CompareRapidFire(Form4->Table(), CheckRow, entries, found);
    Timer1->SetEnabled(true);
    if (!found.notCompared.empty()) {
        NotCompared(found.notCompared);
        return;
    }
    walk_.pages += 1;
    Memo2->Lines()->AddStrings(found.log);
    Memo2->Lines()->AddStrings(found.unread);
    for (const online::QueuedChange& change : found.queue) {
        Memo3->Lines()->Add(rtl::IntToStr(change.row));
        Memo3->Lines()->Add(rtl::IntToStr(change.target));
        Memo3->Lines()->Add(change.value);
    }
    walk_.changes += static_cast<int>(found.queue.size());
    walk_.unreadEntries += static_cast<int>(found.unread.size());
}

// Every later page of the site would fail alike: a site that does not answer,
// one whose certificate is refused (it may answer, but nothing it gives can be
// trusted), or an address the loader does not take (a login in it).
void Tonlinesverka::StopWalk(const std::string& failure, rtl::HttpFailure kind) {
    Timer1->SetEnabled(false);
    const std::string why = kind == rtl::HttpFailure::kCertificate ? "сертификат сайта игры " + web::GameSite() + " не принят"
                            : kind == rtl::HttpFailure::kRequest   ? "страницы сайта игры не загружаются"
                                                                   : "сайт игры не отвечает";
    Memo2->Lines()->Add("Сверка остановлена, " + why + ": " + CurrentUnit() + ": " + failure);
    Tell("Сверка скорострелов остановлена: " + why + " (" + failure + ").\nСтраница юнита " + CurrentUnit() +
         " не загружена.\nЮниты с этого и дальше не сверены; найденные до него изменения можно применить.");
}

void Tonlinesverka::AnnounceEnd() {
    std::string text = "Сверка скорострелов окончена. Сверено страниц: " + rtl::IntToStr(walk_.pages) +
                       ", изменений найдено: " + rtl::IntToStr(walk_.changes) + ".";
    if (walk_.failedPages > 0) text += "\nНе загружено страниц: " + rtl::IntToStr(walk_.failedPages) + ".";
    if (walk_.uncompared > 0) text += "\nНе сверено юнитов: " + rtl::IntToStr(walk_.uncompared) + ".";
    if (walk_.unreadEntries > 0)
        text += "\nНе прочитано записей скорострела: " + rtl::IntToStr(walk_.unreadEntries) + ".";
    const bool shortfall = walk_.failedPages > 0 || walk_.uncompared > 0 || walk_.unreadEntries > 0;
    if (shortfall) text += "\nКакие именно, сказано в логе изменений.";
    Application->MessageBox(text, Caption(), MB_OK | (shortfall ? MB_ICONWARNING : MB_ICONINFORMATION));
}

// The battle reads the table: refused during a run, with the queue kept.
// A value the editors would not take (a rapid fire below 0 or beyond what a
// battle can bear) is left out, with a line in the log saying why.
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
        std::string stored;
        if (const std::string problem = battle::TableCellProblem(table, col, row, value, stored); !problem.empty()) {
            Memo2->Lines()->Add(table.Cell(battle::kColName, row) + " по " + table.Cell(battle::kColName, target) +
                                "  " + value + " не применено: " + problem);
            continue;
        }
        table.SetCell(col, row, stored);
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
