#include "windows/opt.h"

#include <vector>

#include "rtl/errors.h"
#include "rtl/textfile.h"
#include "skin/core/win32/skinmanager.h"
#include "windows/editorfields.h"

using namespace vcl;

TForm13* Form13 = nullptr;

namespace {

// The window's own values before opt.dat is read.
const char* const kDefaultRounds = "8";
const char* const kDefaultBattles = "10";
const char* const kDefaultGenerations = "4";
const char* const kDefaultCandidates = "100";

// A label keeps the box it is given: the caption never ends up clipped by a
// size measured before the window's font applied.
void FixedSize(TLabel* label) { label->SetAutoSize(false); }

const char* Flag(bool checked) { return checked ? "1" : "0"; }

TControl* MainWindowControl(const std::string& name) {
    TForm* main = Screen->FindForm("Form1");
    return main ? dynamic_cast<TControl*>(main->FindComponent(name)) : nullptr;
}

// The main window's skin manager loads and sends the skin, or removes it.
void SwitchSkinning(bool on) {
    TForm* main = Screen->FindForm("Form1");
    auto* manager = main ? dynamic_cast<skin::TsSkinManager*>(main->FindComponent("sSkinManager1")) : nullptr;
    if (manager) manager->SetActive(on);
}

}  // namespace

TForm13::TForm13(TComponent* owner) : TForm(owner) {
    SetName("Form13");
    SetCaption("Настройки");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientSize(440, 372);
    SetBounds(280, 180, Width(), Height());

    auto label = [this](const char* name, int top, const char* caption) {
        return static_cast<TLabel*>(Declare<TLabel>(this, name).With(FixedSize).Bounds(12, top + 3, 300, 16).Caption(caption));
    };
    auto edit = [this](const char* name, int top, const char* text) {
        return static_cast<TEdit*>(Declare<TEdit>(this, name).Bounds(328, top, 100, 21).Text(text));
    };
    auto check = [this](const char* name, int top, const char* caption) {
        return static_cast<TCheckBox*>(Declare<TCheckBox>(this, name).Bounds(12, top, 416, 18).Caption(caption));
    };
    auto caption = [](int line) { return battle::OptionNumberAt(line).caption; };
    Label1 = label("Label1", 10, caption(battle::kOptionRoundsLine));
    Edit2 = edit("Edit2", 10, kDefaultRounds);
    Label2 = label("Label2", 38, caption(battle::kOptionBattlesLine));
    Edit1 = edit("Edit1", 38, kDefaultBattles);
    Label3 = label("Label3", 66, caption(battle::kOptionGenerationsLine));
    Edit3 = edit("Edit3", 66, kDefaultGenerations);
    Label4 = label("Label4", 94, caption(battle::kOptionCandidatesLine));
    Edit4 = edit("Edit4", 94, kDefaultCandidates);

    CheckBox4 = check("CheckBox4", 128, "Использовать статистический модуль");
    CheckBox1 = check("CheckBox1", 128, "Использовать статистический модуль");
    CheckBox1->SetVisible(false);
    CheckBox2 = check("CheckBox2", 152, "сохранять логи");
    CheckBox3 = check("CheckBox3", 176, "Выводить полную информацию в лог");
    CheckBox6 = check("CheckBox6", 200, "Оценивать целесобразность боя");
    CheckBox5 = check("CheckBox5", 224, "Использовать оформление");
    CheckBox7 = check("CheckBox7", 248, "Проверять наличие обновлений.");
    CheckBox8 = check("CheckBox8", 272, "Запоминать положения окон(Главное и окна логов)");
    CheckBox4->OnClick = Bind(this, &TForm13::CheckBox4Click);
    CheckBox5->OnClick = Bind(this, &TForm13::CheckBox5Click);

    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(12, 334, 150, 27)
                  .Caption("сохранить")
                  .OnClick(Bind(this, &TForm13::Button1Click))
                  .With([](TButton* b) { b->SetDefault(true); });
    Button2 = Declare<TButton>(this, "Button2")
                  .Bounds(248, 334, 180, 27)
                  .Caption("выйти без сохранения")
                  .OnClick(Bind(this, &TForm13::Button2Click))
                  .With([](TButton* b) { b->SetCancel(true); });
    OnCreate = Bind(this, &TForm13::FormCreate);
    OnShow = Bind(this, &TForm13::FormShow);
}

void TForm13::FormCreate(TObject*) {
    ReadOptions(CurrentLines(), "значения по умолчанию");
    opened_ = CurrentLines();
}

void TForm13::FormShow(TObject*) { opened_ = CurrentLines(); }

void TForm13::Button1Click(TObject*) {
    if (WriteOptions()) Close();
}

void TForm13::Button2Click(TObject*) {
    ReadOptions(opened_, "значения, бывшие при открытии окна");
    Close();
}

void TForm13::CheckBox4Click(TObject*) { CheckBox1->SetChecked(CheckBox4->Checked()); }

void TForm13::CheckBox5Click(TObject*) {
    SwitchSkinning(CheckBox5->Checked());
    TControl* mainLabel1 = MainWindowControl("Label1");
    TColor colour = mainLabel1 ? mainLabel1->Font()->Color() : Label1->Font()->Color();
    if (!CheckBox5->Checked()) {
        colour = clBlack;
        if (mainLabel1) mainLabel1->Font()->SetColor(clBlack);
    }
    for (const char* name : {"Label2", "Label3", "Label4"})
        if (TControl* label = MainWindowControl(name)) label->Font()->SetColor(colour);
    Label1->Font()->SetColor(colour);
    Label2->Font()->SetColor(colour);
}

TForm13::OptionLines TForm13::CurrentLines() const {
    return {Edit2->Text(),          Flag(CheckBox2->Checked()), Flag(CheckBox1->Checked()), Edit1->Text(),
            Flag(CheckBox3->Checked()), Flag(CheckBox5->Checked()), Flag(CheckBox6->Checked()),
            Flag(CheckBox7->Checked()), Flag(CheckBox8->Checked()), Edit3->Text(),          Edit4->Text()};
}

void TForm13::ApplyLines(const OptionLines& lines) {
    auto flag = [&](int number) { return lines[static_cast<size_t>(number - 1)] == "1"; };
    Edit2->SetText(lines[0]);
    CheckBox2->SetChecked(flag(2));
    CheckBox4->SetChecked(flag(3));
    CheckBox1->SetChecked(CheckBox4->Checked());
    Edit1->SetText(lines[3]);
    CheckBox3->SetChecked(flag(5));
    CheckBox5->SetChecked(flag(6));
    CheckBox6->SetChecked(flag(7));
    CheckBox7->SetChecked(flag(8));
    CheckBox8->SetChecked(flag(9));
    Edit3->SetText(lines[9]);
    Edit4->SetText(lines[10]);
}

void TForm13::ReadOptions(const OptionLines& fallback, const char* fallbackName) {
    battle::OptionsFile file;
    try {
        file = battle::ReadOptionsFile(battle::kOptionsFile);
    } catch (const rtl::EInOutError& error) {
        ApplyLines(fallback);
        Application->MessageBox(std::string(error.what()) + " Взяты " + fallbackName + ".", "Настройки",
                                MB_OK | MB_ICONWARNING);
        return;
    }
    OptionLines lines = fallback;
    for (size_t i = 0; i < lines.size(); ++i)
        if (file.lines[i]) lines[i] = *file.lines[i];
    ApplyLines(lines);
    if (!file.message.empty())
        Application->MessageBox(file.message + " Для этих строк взяты " + fallbackName + ".", "Настройки",
                                MB_OK | MB_ICONWARNING);
}

bool TForm13::WriteOptions() {
    const OptionLines lines = CurrentLines();
    // A number the run could not honour stays in the window for mending;
    // opt.dat keeps what it held.
    FieldCheck check;
    for (int line = 1; line <= battle::kOptionLineCount; ++line) {
        if (!battle::IsOptionNumberLine(line)) continue;
        const battle::OptionNumber& option = battle::OptionNumberAt(line);
        check.WholeNumber(option.caption, lines[static_cast<size_t>(line - 1)], option.min, option.max);
    }
    if (!check.Report("Настройки")) return false;
    try {
        rtl::WriteAllLines(battle::kOptionsFile, std::vector<std::string>(lines.begin(), lines.end()), true);
    } catch (const rtl::EInOutError& error) {
        // The window stays open with the values, so nothing typed is lost.
        Application->MessageBox(error.what(), "Настройки", MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

std::string TForm13::BattlesText() const { return Edit1->Text(); }
std::string TForm13::RoundsText() const { return Edit2->Text(); }
bool TForm13::Statistics() const { return CheckBox1->Checked(); }
bool TForm13::SaveLogs() const { return CheckBox2->Checked(); }
bool TForm13::FullLog() const { return CheckBox3->Checked(); }
bool TForm13::Payback() const { return CheckBox6->Checked(); }
std::string TForm13::GenerationsText() const { return Edit3->Text(); }
std::string TForm13::CandidatesText() const { return Edit4->Text(); }
