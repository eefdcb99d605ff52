#include "windows/defteh.h"

#include <iterator>
#include <limits>

#include "battle/datatable.h"
#include "battle/inputcheck.h"
#include "battle/namelist.h"
#include "rtl/convert.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"
#include "windows/dataform.h"
#include "windows/editorfields.h"
#include "windows/entrylists.h"

using namespace vcl;

TForm14* Form14 = nullptr;

namespace {

const char* const kFixedTechs[] = {"Оружейная", "Структурная", "Шитовая"};
const char* const kFixedOfficers[] = {"Адмирал", "Боевой опыт", "Кристалы Хайдариана", "Кислотный баcсейн"};
constexpr size_t kFixedTechCount = std::size(kFixedTechs), kFixedOfficerCount = std::size(kFixedOfficers);

void Tell(const std::string& text, UINT icon = MB_ICONWARNING) {
    Application->MessageBox(text, "Технологии по умолчанию", MB_OK | icon);
}

void ShowValues(TValueListEditor* editor, const battle::LevelList& list) {
    for (size_t k = 0; k < list.values.size() && static_cast<int>(k) + 1 <= editor->Count(); ++k)
        editor->SetValues(static_cast<int>(k) + 1, list.values[k]);
}

}  // namespace

TForm14::TForm14(TComponent* owner) : TForm(owner) {
    SetName("Form14");
    SetCaption("Технологии по умолчанию");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientSize(756, 420);
    SetBounds(200, 120, Width(), Height());

    ValueListEditor2 = DeclareEditor(this, "ValueListEditor2", "Технология", "Уровень", 8, 8, 260, 362);
    ValueListEditor3 = DeclareEditor(this, "ValueListEditor3", "Офицер", "Уровень", 276, 8, 260, 200);
    ValueListEditor7 = DeclareEditor(this, "ValueListEditor7", "Медаль", "Количество", 276, 216, 260, 154);

    const int left = 544, width = 204;
    Label1 = Declare<TLabel>(this, "Label1").Bounds(left, 8, width, 16).Caption("Мое имя");
    Edit2 = Declare<TEdit>(this, "Edit2").Bounds(left, 26, width, 21).Text("Я");
    Label2 = Declare<TLabel>(this, "Label2").Bounds(left, 56, width, 16).Caption("Имя соперника по умолчанию");
    Edit3 = Declare<TEdit>(this, "Edit3").Bounds(left, 74, width, 21).Text("Враг");
    CheckBox1 = Declare<TCheckBox>(this, "CheckBox1")
                    .Bounds(left, 108, width, 18)
                    .Caption("загружать юниты из шаблона")
                    .OnClick(Bind(this, &TForm14::CheckBox1Click));
    ListBox1 = Declare<TListBox>(this, "ListBox1")
                   .Bounds(left, 130, width, 240)
                   .Enabled(false)
                   .OnClick(Bind(this, &TForm14::ListBox1Click));
    Edit1 = Declare<TEdit>(this, "Edit1").Bounds(left, 130, 40, 21).Text("-1").Visible(false);

    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(8, 382, 160, 28)
                  .Caption("сохранить")
                  .OnClick(Bind(this, &TForm14::Button1Click));
    Button2 = Declare<TButton>(this, "Button2")
                  .Bounds(176, 382, 160, 28)
                  .Caption("Обнулить")
                  .OnClick(Bind(this, &TForm14::Button2Click));
    Button3 = Declare<TButton>(this, "Button3")
                  .Bounds(left, 382, width, 28)
                  .Caption("Закрыть без сохранения")
                  .OnClick(Bind(this, &TForm14::Button3Click))
                  .With([](TButton* b) { b->SetCancel(true); });

    Timer1 = DeclareTimer(this, "Timer1", 1000, true, Bind(this, &TForm14::Timer1Timer));
    Timer2 = DeclareTimer(this, "Timer2", 10, false, Bind(this, &TForm14::Timer2Timer));
    OnCreate = Bind(this, &TForm14::FormCreate);
}

// Until the database lists come a second later, the name lists stand in.
void TForm14::ReadNameList(const char* fileName, TValueListEditor* editor) {
    editor->Clear();
    try {
        // The main window tells a missing or damaged list; the rebuild follows anyway.
        for (const std::string& name : battle::ReadNameList(fileName).names) editor->InsertRow(name, "0", true);
    } catch (const rtl::EInOutError&) {
    }
}

void TForm14::FormCreate(TObject*) {
    ReadNameList(battle::kOfficerListFile, ValueListEditor3);
    ReadNameList(battle::kTechListFile, ValueListEditor2);
}

void TForm14::RebuildLists() {
    for (TValueListEditor* editor : {ValueListEditor2, ValueListEditor3, ValueListEditor7}) editor->Clear();
    TechRows.clear();
    OfficerRows.clear();
    MedalRows.clear();
    const battle::DataTable& table = Form4->Table();
    auto addRows = [&table](TValueListEditor* editor, std::vector<uint16_t>& rows, int first, int last,
                            std::string_view kind) {
        for (int row = first; row <= last; ++row) {
            if (table.Cell(battle::kColKind, row) != kind) continue;
            editor->InsertRow(table.Cell(battle::kColName, row), "0", true);
            rows.push_back(static_cast<uint16_t>(row));
        }
    };
    addRows(ValueListEditor7, MedalRows, battle::kMedalFirstRow, battle::kMedalLastRow, battle::kKindMedal);
    for (const char* name : kFixedTechs) {
        ValueListEditor2->InsertRow(name, "0", true);
        TechRows.push_back(0);
    }
    addRows(ValueListEditor2, TechRows, battle::kTechFirstRow, battle::kTechLastRow, battle::kKindTech);
    for (const char* name : kFixedOfficers) {
        ValueListEditor3->InsertRow(name, "0", true);
        OfficerRows.push_back(0);
    }
    addRows(ValueListEditor3, OfficerRows, battle::kOfficerFirstRow, battle::kOfficerLastRow,
            battle::kKindOfficer);
}

battle::DefaultLevels TForm14::ShownDefaults() const {
    battle::DefaultLevels levels;
    levels.techs = ReadEntries(ValueListEditor2, TechRows, kFixedTechCount);
    levels.officers = ReadEntries(ValueListEditor3, OfficerRows, kFixedOfficerCount);
    levels.playerName = Edit2->Text();
    levels.enemyName = Edit3->Text();
    levels.loadTemplate = CheckBox1->Checked();
    levels.templateIndex = Edit1->Text();
    return levels;
}

// A missing file leaves the zero lists: a player who never saved has none.
void TForm14::ApplySavedDefaults() {
    battle::DefaultLevels levels = ShownDefaults();
    levels.loadTemplate = false;  // set only by a file that has the block
    battle::LevelList medals = ReadEntries(ValueListEditor7, MedalRows, 0);
    try {
        const battle::DefaultsReadResult read = battle::ReadDefaultsFile(battle::kDefaultsFile, levels);
        ShowValues(ValueListEditor2, levels.techs);
        ShowValues(ValueListEditor3, levels.officers);
        Edit2->SetText(levels.playerName);
        Edit3->SetText(levels.enemyName);
        if (levels.loadTemplate) {
            CheckBox1->SetChecked(true);
            Edit1->SetText(levels.templateIndex);
        }
        if (!read.message.empty()) Tell(read.message);
    } catch (const rtl::ERuntimeError& error) {
        Tell(error.what());
    }
    try {
        const battle::DefaultsReadResult read = battle::ReadMedalDefaultsFile(battle::kMedalDefaultsFile, medals);
        ShowValues(ValueListEditor7, medals);
        if (!read.message.empty()) Tell(read.message);
    } catch (const rtl::ERuntimeError& error) {
        Tell(error.what());
    }
    ListBox1->SetItemIndex(DefaultTemplate(ListBox1->Items()->Count()));
}

void TForm14::Timer1Timer(TObject*) {
    Timer1->SetEnabled(false);
    RebuildLists();
    ApplySavedDefaults();
}

void TForm14::Timer2Timer(TObject*) {
    Timer2->SetEnabled(false);
    RebuildLists();
}

bool TForm14::SaveDefaults() {
    const battle::DefaultLevels levels = ShownDefaults();
    try {
        battle::WriteMedalDefaultsFile(battle::kMedalDefaultsFile, ReadEntries(ValueListEditor7, MedalRows, 0));
        battle::WriteDefaultsFile(battle::kDefaultsFile, levels);
    } catch (const rtl::ERuntimeError& error) {
        Tell(std::string(error.what()) + "\nЗначения остаются в силе до выхода из программы.", MB_ICONERROR);
        return false;
    }
    return true;
}

bool TForm14::CheckShown() {
    FieldCheck check;
    // Each value as the database editors take theirs, kept as the number alone.
    auto values = [&check](TValueListEditor* editor, int64_t max) {
        for (int row = 1; row <= editor->Count(); ++row)
            editor->SetValues(row, check.Cell({"", false, 0, max}, editor->Values(row), editor->Keys(row)));
    };
    // As far as the main window's editors take them into a battle.
    values(ValueListEditor2, battle::kMaxBonusLevel);
    values(ValueListEditor3, battle::kMaxBonusLevel);
    values(ValueListEditor7, std::numeric_limits<uint8_t>::max());
    check.NotBlank(Label1->Caption(), Edit2->Text());
    check.NotBlank(Label2->Caption(), Edit3->Text());
    return check.Report(Caption());
}

// Values a battle could not take are not saved: the window stays open with
// them, to be mended.
void TForm14::Button1Click(TObject*) {
    if (!CheckShown()) return;
    Close();
    SaveDefaults();
}

void TForm14::Button2Click(TObject*) { Timer2->SetEnabled(true); }

// What was changed since the last save is undone, the template choice too.
void TForm14::Button3Click(TObject*) {
    CheckBox1->SetChecked(false);
    Timer1Timer(this);
    Close();
}

void TForm14::CheckBox1Click(TObject*) {
    ListBox1->SetEnabled(CheckBox1->Checked());
    if (CheckBox1->Checked()) return;
    Edit1->SetText(std::string(battle::kNoTemplate));
    ListBox1->SetItemIndex(-1);
}

void TForm14::ListBox1Click(TObject*) {
    if (ListBox1->ItemIndex() >= 0) Edit1->SetText(rtl::IntToStr(ListBox1->ItemIndex()));
}

int TForm14::DefaultTemplate(int templateCount) const { return battle::TemplateIndex(Edit1->Text(), templateCount); }
