#include "windows/editor.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "battle/datatable.h"
#include "battle/inputcheck.h"
#include "rtl/convert.h"
#include "rtl/errors.h"
#include "windows/dataform.h"
#include "windows/delunit.h"
#include "windows/editorfields.h"
#include "windows/editskr.h"
#include "windows/entrylists.h"
#include "windows/mainteme.h"
#include "windows/onlinesverkaunit.h"
#include "windows/open.h"

using namespace vcl;
using namespace battle;

TForm2* Form2 = nullptr;

namespace {

constexpr int kPurposeBuildingIndex = 2;

// The text fields and their cells; what each takes is the cell's rule.
struct TextField {
    TEdit* TForm2::*edit;
    int col;
};
const TextField kTextFields[] = {
    {&TForm2::Edit1, kColMetal},          {&TForm2::Edit2, kColMinerals},        {&TForm2::Edit3, kColVespene},
    {&TForm2::Edit4, kColStructure},      {&TForm2::Edit5, kColShields},         {&TForm2::Edit6, kColAttack},
    {&TForm2::Edit7, kColName},           {&TForm2::Edit8, kColShieldRegen},     {&TForm2::Edit9, kColConcentratedShot},
    {&TForm2::Edit10, kColRestoreAttacking}, {&TForm2::Edit11, kColRestoreDefending}, {&TForm2::Edit12, kColDelay},
    {&TForm2::Edit13, kColEmpStrength},   {&TForm2::Edit14, kColAttackPeriod},   {&TForm2::Edit15, kColDebrisAttacking},
    {&TForm2::Edit16, kColDebrisDefending},
};

void FixedSize(TLabel* label) { label->SetAutoSize(false); }

}  // namespace

TForm2::TForm2(TComponent* owner) : TForm(owner) {
    SetName("Form2");
    SetCaption("Редктор юнитов");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    DeclareMenu();
    SetClientSize(940, 604);
    SetBounds(110, 40, Width(), Height());
    DeclareFields();
    Timer1 = DeclareTimer(this, "Timer1", 1, true, Bind(this, &TForm2::Timer1Timer));
}

void TForm2::DeclareMenu() {
    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    N1 = DeclareMenuItem(this, MainMenu1->Items(), "N1", "Файл");
    N2 = DeclareMenuItem(this, N1, "N2", "Открыть юнит", Bind(this, &TForm2::N2Click));
    N8 = DeclareMenuItem(this, N1, "N8", "Удалить юнит", Bind(this, &TForm2::N8Click));
    N3 = DeclareMenuItem(this, N1, "N3", "-");
    N4 = DeclareMenuItem(this, N1, "N4", "Экспорт базы", Bind(this, &TForm2::N4Click));
    N5 = DeclareMenuItem(this, N1, "N5", "Импорт базы", Bind(this, &TForm2::N5Click));
    N6 = DeclareMenuItem(this, N1, "N6", "-");
    N7 = DeclareMenuItem(this, N1, "N7", "Закрыть редактор", Bind(this, &TForm2::N7Click));
    N12 = DeclareMenuItem(this, MainMenu1->Items(), "N12", "Онлайн Сверка", Bind(this, &TForm2::N12Click));
    SetMenu(MainMenu1);
}

void TForm2::DeclareFields() {
    // Labels that no code reads are numbered from 20 on.
    int labels = 20;
    // A caption left of (or above) its field.
    auto label = [this, &labels](TWinControl* parent, int left, int top, int width, const char* caption,
                                 const char* name = nullptr) {
        return static_cast<TLabel*>(Declare<TLabel>(parent, name ? name : "Label" + std::to_string(labels++))
                                        .With(FixedSize)
                                        .Bounds(left, top + 3, width, 16)
                                        .Caption(caption));
    };
    auto edit = [](TWinControl* parent, const char* name, int left, int top, int width, const char* text) {
        return static_cast<TEdit*>(Declare<TEdit>(parent, name).Bounds(left, top, width, 21).Text(text));
    };

    // Left column: identity, cost, combat values, race, purpose and type.
    label(this, 8, 8, 24, "ID");
    SpinEdit1 = Declare<TSpinEdit>(this, "SpinEdit1").Bounds(34, 8, 72, 21).With([](TSpinEdit* spin) {
        spin->SetMinValue(kUnitFirstRow);
        spin->SetMaxValue(kUnitLastRow);
        spin->SetValue(kUnitFirstRow);
    });
    label(this, 120, 8, 70, "Название");
    Edit7 = edit(this, "Edit7", 192, 8, 414, "");

    // A group box of captions, each with its field on the right.
    auto group = [&](const char* name, int left, int top, int width, const char* caption, int fieldLeft,
                     int fieldWidth, const char* text, std::initializer_list<std::pair<const char*, const char*>> rows) {
        TGroupBox* box = Declare<TGroupBox>(this, name)
                             .Bounds(left, top, width, 18 + 26 * static_cast<int>(rows.size()))
                             .Caption(caption);
        std::vector<TEdit*> edits;
        int y = 18;
        for (const auto& [labelText, editName] : rows) {
            label(box, 10, y, fieldLeft - 20, labelText);
            edits.push_back(edit(box, editName, fieldLeft, y, fieldWidth, text));
            y += 26;
        }
        return edits;
    };
    auto cost = group("GroupBox1", 8, 38, 290, "Стоимость", 170, 108, "0",
                      {{"Металл", "Edit1"}, {"Минералы", "Edit2"}, {"Веспен", "Edit3"}});
    Edit1 = cost[0], Edit2 = cost[1], Edit3 = cost[2];
    auto values = group("GroupBox2", 8, 140, 290, "Параметры", 170, 108, "0",
                        {{"Структура", "Edit4"}, {"Атака", "Edit6"}, {"Щиты", "Edit5"}});
    Edit4 = values[0], Edit6 = values[1], Edit5 = values[2];

    RadioGroup1 = Declare<TRadioGroup>(this, "RadioGroup1")
                      .Bounds(8, 242, 290, 100)
                      .Caption("Раса")
                      .Items({"Терран", "Зерг", "Протосс", "Раритеный Юнит"})
                      .With([](TRadioGroup* group) { group->SetItemIndex(0); });
    RadioGroup2 = Declare<TRadioGroup>(this, "RadioGroup2")
                      .Bounds(8, 348, 290, 84)
                      .Caption("Назначение юнита")
                      .Items({"Атака", "Защита", "Здание"})
                      .With([](TRadioGroup* group) { group->SetItemIndex(0); });
    RadioGroup5 = Declare<TRadioGroup>(this, "RadioGroup5")
                      .Bounds(8, 438, 290, 100)
                      .Caption("Тип юнита")
                      .Items({"Легкий", "Средний", "Тяжелый", "Сверх тяжелый"})
                      .With([](TRadioGroup* group) { group->SetItemIndex(0); });
    Label17 = label(this, 8, 438, 290, "Коэффициент удоражания", "Label17");
    Edit17 = edit(this, "Edit17", 8, 458, 120, "1");
    Label18 = label(this, 8, 488, 290, "Уровень с которого начинается участие в бою", "Label18");
    Edit18 = edit(this, "Edit18", 8, 508, 120, "1");

    // Middle column: percentages, timing, abilities and special attacks.
    const int mid = 306, labelWidth = 226, field = mid + 230, fieldWidth = 70;
    label(this, mid, 38, labelWidth, "Востановление щита %");
    Edit8 = edit(this, "Edit8", field, 38, fieldWidth, "0");
    label(this, mid, 64, labelWidth, "Шанс концентрированного выстрела %");
    Edit9 = edit(this, "Edit9", field, 64, fieldWidth, "0");

    auto restore = group("GroupBox3", mid, 90, 300, "востановление %", 220, fieldWidth, "0",
                         {{"В атаке", "Edit10"}, {"В защите", "Edit11"}});
    Edit10 = restore[0], Edit11 = restore[1];
    auto debris = group("GroupBox4", mid, 164, 300, "обломки %", 220, fieldWidth, "30",
                        {{"В атаке", "Edit15"}, {"В защите", "Edit16"}});
    Edit15 = debris[0], Edit16 = debris[1];

    label(this, mid, 242, labelWidth, "задержка перед атакой");
    Edit12 = Declare<TEdit>(this, "Edit12")
                 .Bounds(field, 242, fieldWidth, 21)
                 .Text("0")
                 .Hint("сколько раундов ждет юнит прежде чем открыть огонь");
    label(this, mid, 268, labelWidth, "Атака эми");
    Edit13 = edit(this, "Edit13", field, 268, fieldWidth, "0");
    label(this, mid, 294, labelWidth, "Период атаки");
    Edit14 = Declare<TEdit>(this, "Edit14")
                 .Bounds(field, 294, fieldWidth, 21)
                 .Text("1")
                 .Hint("0 - атакует кадый раунд, 1 - каждый второй раунд и тд");

    label(this, mid, 324, 300, "Спец способности");
    CheckListBox1 = Declare<TCheckListBox>(this, "CheckListBox1").Bounds(mid, 344, 300, 128);
    label(this, mid, 478, 300, "Спец атаки");
    CheckListBox2 = Declare<TCheckListBox>(this, "CheckListBox2").Bounds(mid, 498, 300, 98);

    // Right column: rapid fire and the buttons.
    const int right = 616, rightWidth = 316;
    label(this, right, 38, rightWidth, "Скорострел по");
    ValueListEditor1 = DeclareEditor(this, "ValueListEditor1", "Юнит", "Значение", right, 58, rightWidth, 434);

    Button3 = Declare<TButton>(this, "Button3")
                  .Bounds(right, 500, rightWidth, 27)
                  .Caption("Редактировать скорострел от")
                  .OnClick(Bind(this, &TForm2::Button3Click));
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(right, 568, 150, 28)
                  .Caption("Сохранить ")
                  .OnClick(Bind(this, &TForm2::Button1Click));
    Button2 = Declare<TButton>(this, "Button2")
                  .Bounds(right + rightWidth - 160, 568, 160, 28)
                  .Caption("Сохранить и закрыть")
                  .OnClick(Bind(this, &TForm2::Button2Click));

    RadioGroup2->OnClick = Bind(this, &TForm2::RadioGroup2Click);
    RadioGroup2Click(nullptr);
}

// ---- Loading.

bool TForm2::EditedRow(int& row) {
    FieldCheck check;
    const std::string text = SpinEdit1->Text();
    check.WholeNumber("ID", text, kUnitFirstRow, kUnitLastRow);
    if (!check.Report(Caption())) return false;
    row = rtl::StrToInt(text);
    return true;
}

void TForm2::LoadCodes(TCheckListBox* list, const char* fileName, int firstCol, int row,
                       std::array<std::string, kCodesPerKind>& kept, std::vector<std::string>& notes) {
    list->Items()->Clear();
    kept = {};
    std::vector<std::string> names;
    bool haveNames = true;
    try {
        names = ReadNameFile(fileName);
    } catch (const rtl::EInOutError& error) {
        haveNames = false;
        notes.push_back(std::string(error.what()) + ": список пуст, коды юнита сохранятся как есть.");
    }
    for (const std::string& name : names) list->Items()->Add(name);
    for (int k = 0; k < kCodesPerKind; ++k) {
        const std::string& cell = GameTable().Cell(firstCol + k, row);
        const CodeCell code = DecodeCode(cell, names.size());
        if (code.kind == CodeCell::kItem) {
            list->SetChecked(code.item, true);
        } else if (code.kind == CodeCell::kUnknown) {
            kept[static_cast<size_t>(k)] = cell;
            if (haveNames)
                notes.push_back("Столбец " + std::to_string(firstCol + k) + ": кода «" + cell + "» нет среди " +
                                std::to_string(names.size()) + " названий файла " + fileName +
                                "; он не отмечен в списке и сохранится как есть.");
        }
    }
}

void TForm2::LoadChoice(TRadioGroup* group, int col, int row, const char* what, std::vector<std::string>& notes) {
    const std::string& cell = GameTable().Cell(col, row);
    int32_t index = -1;
    if (rtl::TryStrToInt(cell, index) && index >= 0 && index < group->Items()->Count()) {
        group->SetItemIndex(index);
        return;
    }
    group->SetItemIndex(-1);
    notes.push_back("«" + std::string(what) + "» (столбец " + std::to_string(col) + "): «" + cell +
                    "» - нет такого пункта; пока ни один не выбран, значение сохранится как есть.");
}

void TForm2::Timer1Timer(TObject*) {
    Timer1->SetEnabled(false);
    int row = 0;
    if (!EditedRow(row)) return;
    const DataTable& table = GameTable();
    RedrawHeld held{CheckListBox1, CheckListBox2, ValueListEditor1};
    std::vector<std::string> notes;
    LoadCodes(CheckListBox1, kAbilityNamesFile, kColAbility1, row, keptAbilities_, notes);
    LoadCodes(CheckListBox2, kSpecialAttackNamesFile, kColSpecialAttack1, row, keptAttacks_, notes);
    for (const TextField& field : kTextFields) (this->*field.edit)->SetText(table.Cell(field.col, row));

    LoadChoice(RadioGroup1, kColRace, row, "Раса", notes);
    LoadChoice(RadioGroup2, kColPurpose, row, "Назначение юнита", notes);
    RadioGroup2Click(nullptr);
    if (RadioGroup2->ItemIndex() == kPurposeBuildingIndex) {
        Edit17->SetText(table.Cell(kColCostGrowth, row));
        Edit18->SetText(table.Cell(kColBuildingLevel, row));
    } else {
        LoadChoice(RadioGroup5, kColUnitClass, row, "Тип юнита", notes);
    }

    ValueListEditor1->Clear();
    rapidFireRows_ = RowsOfKind(table, 1, kLastRow, kKindUnit);
    for (uint16_t target : rapidFireRows_)
        ValueListEditor1->InsertRow(table.Cell(kColName, target), table.Cell(kColRapidFire + target, row), true);

    // A row that holds no unit (a free row, or a database that could not be
    // read) has no codes to question.
    if (!notes.empty() && table.Cell(kColKind, row) == kKindUnit) {
        std::string text = "Юнит " + std::to_string(row) + " «" + table.Cell(kColName, row) + "»:";
        for (const std::string& note : notes) text += "\n" + note;
        Tell(text, Caption());
    }
}

void TForm2::RadioGroup2Click(TObject*) {
    const bool building = RadioGroup2->ItemIndex() == kPurposeBuildingIndex;
    for (TControl* control : {static_cast<TControl*>(Edit17), static_cast<TControl*>(Edit18),
                              static_cast<TControl*>(Label17), static_cast<TControl*>(Label18)})
        control->SetVisible(building);
    RadioGroup5->SetVisible(!building);
}

// ---- Saving.

void TForm2::StoreCodes(TCheckListBox* list, int firstCol, int row,
                        const std::array<std::string, kCodesPerKind>& kept) {
    std::vector<bool> checked;
    for (int i = 0; i < list->Items()->Count(); ++i) checked.push_back(list->Checked(i));
    const auto cells = EncodeCodes(checked, kept);
    for (int k = 0; k < kCodesPerKind; ++k) GameTable().SetCell(firstCol + k, row, cells[static_cast<size_t>(k)]);
}

bool TForm2::StoreUnit() {
    if (RefuseWhileRunning()) return false;
    int row = 0;
    if (!EditedRow(row)) return false;
    const bool building = RadioGroup2->ItemIndex() == kPurposeBuildingIndex;
    const int rapidFireCount = std::min<int>(ValueListEditor1->Count(), static_cast<int>(rapidFireRows_.size()));

    // Every value in the form the table keeps, checked by its cell's rule.
    FieldCheck check;
    std::vector<std::pair<int, std::string>> cells;
    const std::string purpose = rtl::IntToStr(RadioGroup2->ItemIndex());
    auto take = [&](int col, const std::string& text, const std::string& field = {}) {
        cells.emplace_back(col, check.Cell(*CellRuleFor(kKindUnit, purpose, col), text, field));
    };
    for (const TextField& field : kTextFields) take(field.col, (this->*field.edit)->Text());
    if (building) {
        take(kColCostGrowth, Edit17->Text());
        take(kColBuildingLevel, Edit18->Text());
    }
    for (int k = 0; k < rapidFireCount; ++k)
        take(kColRapidFire + rapidFireRows_[static_cast<size_t>(k)], ValueListEditor1->Values(k + 1),
             "Скорострел по " + ValueListEditor1->Keys(k + 1));
    if (!check.Report(Caption())) return false;

    DataTable& table = GameTable();
    table.SetCell(kColKind, row, kKindUnit);
    for (const auto& [col, text] : cells) table.SetCell(col, row, text);
    if (!building && RadioGroup5->ItemIndex() >= 0)
        table.SetCell(kColUnitClass, row, rtl::IntToStr(RadioGroup5->ItemIndex()));
    // A choice the loaded row did not name leaves its cell as it was.
    if (RadioGroup1->ItemIndex() >= 0) table.SetCell(kColRace, row, rtl::IntToStr(RadioGroup1->ItemIndex()));
    if (RadioGroup2->ItemIndex() >= 0) table.SetCell(kColPurpose, row, rtl::IntToStr(RadioGroup2->ItemIndex()));
    StoreCodes(CheckListBox1, kColAbility1, row, keptAbilities_);
    StoreCodes(CheckListBox2, kColSpecialAttack1, row, keptAttacks_);
    return SaveDataBase();
}

void TForm2::Button1Click(TObject*) { StoreUnit(); }

// A save that failed keeps the editor open: the change is then only in memory.
void TForm2::Button2Click(TObject*) {
    if (StoreUnit()) Close();
}

// ---- Companion windows and menu commands.

void TForm2::Button3Click(TObject*) {
    Form5->Timer1->SetEnabled(true);
    Form5->Show();
}

void TForm2::N2Click(TObject*) {
    Form3->Timer1->SetEnabled(true);
    Form3->Show();
}

void TForm2::N8Click(TObject*) {
    Form21->Timer1Timer(nullptr);
    Form21->Show();
}

void TForm2::N4Click(TObject*) { Form4->Timer5->SetEnabled(true); }

void TForm2::N5Click(TObject*) {
    if (RefuseWhileRunning()) return;
    Form4->Timer6->SetEnabled(true);
}

void TForm2::N7Click(TObject*) { Close(); }

void TForm2::N12Click(TObject*) { onlinesverka->Show(); }
