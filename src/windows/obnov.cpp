#include "windows/obnov.h"

#include <string>
#include <vector>

#include "battle/datatable.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"
#include "windows/core/updatepage.h"
#include "windows/core/websites.h"
#include "windows/dataform.h"
#include "windows/mainteme.h"
#include "windows/obno.h"
#include "windows/opt.h"

using namespace vcl;

Tpoisk_obnov* poisk_obnov = nullptr;

namespace {

const char* const kSentinel = "idiot";
// The reload interval stops doubling before it would leave the timer's range.
constexpr unsigned kLongestReload = 0x7FFFFFFFu;

// The program's build number: the main window's hidden field ("" while it has none).
std::string ProgramBuild() {
    auto* field = Form1 ? dynamic_cast<TEdit*>(Form1->FindComponent("Edit3")) : nullptr;
    return field ? field->Text() : std::string();
}

TCheckBox* ManualFlag() { return Form1 ? Form1->CheckBox1 : nullptr; }

}  // namespace

Tpoisk_obnov::Tpoisk_obnov(TComponent* owner) : TForm(owner) {
    SetName("poisk_obnov");
    SetCaption("poisk_obnov");
    SetClientSize(420, 300);
    Memo1 = Declare<TMemo>(this, "Memo1").Bounds(8, 8, 404, 200);
    Memo2 = Declare<TMemo>(this, "Memo2").Bounds(8, 216, 404, 76);
    Timer1 = DeclareTimer(this, "Timer1", 10000, true, Bind(this, &Tpoisk_obnov::Timer1Timer));
    Timer2 = DeclareTimer(this, "Timer2", 20000, false, Bind(this, &Tpoisk_obnov::Timer2Timer));
    Timer3 = DeclareTimer(this, "Timer3", 1000, false, Bind(this, &Tpoisk_obnov::Timer3Timer));
    Timer4 = DeclareTimer(this, "Timer4", 60000, false, Bind(this, &Tpoisk_obnov::Timer4Timer));
    WebBrowser1 = new TWebBrowser(this);
    WebBrowser1->SetName("WebBrowser1");
}

void Tpoisk_obnov::Search(const char* page) {
    Timer2->SetEnabled(true);
    address_ = web::UpdateSite() + page;
    WebBrowser1->Navigate(address_);
}

void Tpoisk_obnov::Timer1Timer(TObject*) {
    if (!Form13 || !Form13->CheckBox7->Checked()) return;
    Timer1->SetEnabled(false);
    Search(update::kAutomaticPage);
}

void Tpoisk_obnov::Timer3Timer(TObject*) {
    Timer3->SetEnabled(false);
    Search(update::kManualPage);
}

// The automatic search fails quietly; one the player asked for is never
// left looking as if nothing new had been found.
void Tpoisk_obnov::EndSearch(const std::string& failure) {
    TCheckBox* flag = ManualFlag();
    if (flag && flag->Checked() && !failure.empty())
        Application->MessageBox("Поиск обновлений не удался: " + failure, Application->Title(), MB_OK | MB_ICONWARNING);
    if (flag) flag->SetChecked(false);
}

void Tpoisk_obnov::Timer2Timer(TObject*) {
    if (WebBrowser1->Busy()) return;
    Timer2->SetEnabled(false);
    // Every search starts from empty fields; a page that did not come or was not saved ends it.
    Memo2->Lines()->Clear();
    if (const std::string failure = WebBrowser1->LoadError(); !failure.empty()) {
        EndSearch("страница " + address_ + " не загружена (" + failure + ").");
        return;
    }
    if (!SaveHTMLSourceToFile(update::kPageFile, WebBrowser1)) {
        EndSearch("страница " + address_ + " не сохранена в файл " + update::kPageFile + ".");
        return;
    }
    std::vector<std::string> lines;
    try {
        lines = rtl::ReadAllLines(update::kPageFile);
    } catch (const rtl::EInOutError& error) {
        EndSearch(error.what());
        return;
    }
    Memo1->Lines()->Clear();
    Memo1->Lines()->AddStrings(lines);
    Memo1->Lines()->Add(kSentinel);

    update::UpdateFields fields;
    if (!update::ReadUpdateFields(lines, fields)) {
        EndSearch("на странице " + address_ + " нет сведений о версии программы и базы данных.");
        return;
    }
    Memo2->Lines()->AddStrings({fields.build, fields.buildLink, fields.version, fields.versionLink});

    const bool newBuild = fields.build != ProgramBuild();
    const bool newDatabase = fields.version != Form4->Table().Cell(battle::kVersionCol, 0);
    if (newBuild) {
        obnovl->Edit1->SetEnabled(true);
        obnovl->Edit1->SetText(fields.buildLink);
        obnovl->Button2->SetEnabled(true);
    }
    if (newDatabase) {
        obnovl->Edit2->SetEnabled(true);
        obnovl->Edit2->SetText(fields.versionLink);
        obnovl->Button3->SetEnabled(true);
    }
    if (newBuild || newDatabase)
        obnovl->ShowModal();
    else if (ManualFlag() && ManualFlag()->Checked())
        ShowMessage("Обновлений не обнаружено");
    Timer4->SetEnabled(true);
    EndSearch();
}

void Tpoisk_obnov::Timer4Timer(TObject*) {
    if (Timer4->Interval() <= kLongestReload / 2) Timer4->SetInterval(Timer4->Interval() * 2);
    // A search waiting for its page keeps the browser.
    if (!Timer2->Enabled()) WebBrowser1->Navigate(web::UpdateSite());
}
