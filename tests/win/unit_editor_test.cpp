// The unit editor with its open, delete and rapid-fire "from" windows, in the
// running program: every column saved and loaded again, abilities beyond
// two, rapid fire in both directions, deletion, codes the name files do not
// know, refused values, and a new unit type that fights.
#include "support/program_fixture.h"
#include "support/editor_windows.h"
#include "support/scratch_folder.h"

#include <sys/stat.h>

#include <cstdio>
#include <map>

#include "battle/datatable.h"
#include "windows/dataform.h"
#include "windows/delunit.h"
#include "windows/editor.h"
#include "windows/editskr.h"
#include "windows/log.h"
#include "windows/open.h"
#include "windows/unitsinfo.h"

using namespace vcl;
using battle::DataTable;
using editortest::Position;
using editortest::SavedTable;
using editortest::Table;
using programtest::Boxes;
using vcltest::Utf8;

namespace {

// Opens a unit as the player does: the menu, the list, "Открыть".
void OpenUnit(int row) {
    vcltest::ChooseMenuItem(Form2, Form2->N2);
    vcltest::Advance(1);
    ASSERT_TRUE(Form3->Visible());
    const int index = Position(Form3->Rows(), row);
    ASSERT_GE(index, 0) << row;
    vcltest::SelectItem(Form3->ListBox1, index);
    vcltest::Click(Form3->Button1);
    EXPECT_FALSE(Form3->Visible());
    vcltest::Advance(1);
    ASSERT_EQ(Form2->SpinEdit1->Text(), std::to_string(row));
}

void SetRapidFire(int target, const std::string& value) {
    const int k = Position(Form2->RapidFireRows(), target);
    ASSERT_GE(k, 0) << target;
    Form2->ValueListEditor1->SetValues(k + 1, value);
}

std::vector<int> CheckedItems(TCheckListBox* list) {
    std::vector<int> checked;
    for (int i = 0; i < list->Items()->Count(); ++i)
        if (list->Checked(i)) checked.push_back(i);
    return checked;
}

class UnitEditor : public ::testing::Test {
protected:
    void SetUp() override {
        programtest::StartProgram();
        Form2->Show();
        Boxes().Clear();
    }
    void TearDown() override {
        Form2->Hide();
        Form3->Hide();
        Form5->Hide();
        Form21->Hide();
    }
};

}  // namespace

TEST_F(UnitEditor, EveryColumnOfAUnitAndOfABuildingSavesAndLoadsAgain) {
    constexpr int kRow = 300;  // free in the installed database
    ASSERT_EQ(Table().Cell(battle::kColKind, kRow), "0");
    OpenUnit(204);
    Form2->SpinEdit1->SetText(std::to_string(kRow));
    const std::map<TEdit*, std::pair<int, std::string>> fields = {
        {Form2->Edit7, {2, "Дредноут"}}, {Form2->Edit1, {4, "100"}},  {Form2->Edit2, {5, "200"}},
        {Form2->Edit3, {6, "300"}},      {Form2->Edit4, {7, "40000"}}, {Form2->Edit6, {8, "700"}},
        {Form2->Edit5, {9, "150"}},      {Form2->Edit8, {13, "50"}},   {Form2->Edit9, {14, "12"}},
        {Form2->Edit10, {16, "3"}},      {Form2->Edit11, {17, "4"}},   {Form2->Edit12, {22, "2"}},
        {Form2->Edit13, {23, "9"}},      {Form2->Edit14, {24, "0"}},   {Form2->Edit15, {25, "40"}},
        {Form2->Edit16, {26, "20"}},
    };
    for (const auto& [edit, cell] : fields) edit->SetText(cell.second);
    vcltest::TypeText(Form2->Edit7, "Дредноут");
    Form2->RadioGroup1->SetItemIndex(2);
    Form2->RadioGroup2->SetItemIndex(1);
    Form2->RadioGroup5->SetItemIndex(3);
    // Three abilities checked: the first two in list order are kept.
    for (int item : {4, 1, 2}) Form2->CheckListBox1->SetChecked(item, true);
    Form2->CheckListBox2->SetChecked(2, true);
    SetRapidFire(201, "7");
    SetRapidFire(205, "3");
    const std::string column28 = Table().Cell(28, kRow);
    vcltest::Click(Form2->Button1);
    EXPECT_TRUE(Boxes().Shown().empty()) << Utf8(Boxes().Texts().empty() ? "" : Boxes().Texts()[0]);

    std::map<int, std::string> expected = {{1, "1"},  {10, "1"}, {11, "2"}, {18, "2"}, {19, "3"},
                                           {20, "3"}, {21, "0"}, {27, "3"}, {28, column28},
                                           {30 + 201, "7"}, {30 + 205, "3"}};
    for (const auto& [edit, cell] : fields) expected[cell.first] = cell.second;
    const DataTable saved = SavedTable();
    for (const auto& [col, value] : expected) {
        EXPECT_EQ(Table().Cell(col, kRow), value) << col;
        EXPECT_EQ(saved.Cell(col, kRow), value) << "DataBase.dat, column " << col;
    }

    // Another unit in between, then the new one again: every field comes back.
    OpenUnit(204);
    EXPECT_NE(Form2->Edit7->Text(), "Дредноут");
    OpenUnit(kRow);
    for (const auto& [edit, cell] : fields) EXPECT_EQ(edit->Text(), cell.second) << cell.first;
    EXPECT_EQ(Form2->RadioGroup1->ItemIndex(), 2);
    EXPECT_EQ(Form2->RadioGroup2->ItemIndex(), 1);
    EXPECT_EQ(Form2->RadioGroup5->ItemIndex(), 3);
    EXPECT_EQ(CheckedItems(Form2->CheckListBox1), (std::vector<int>{1, 2}));
    EXPECT_EQ(CheckedItems(Form2->CheckListBox2), (std::vector<int>{2}));
    EXPECT_EQ(Form2->ValueListEditor1->Values(Position(Form2->RapidFireRows(), 201) + 1), "7");

    // A building keeps its cost growth and entry level in 27 and 28.
    Form2->RadioGroup2->SetItemIndex(2);
    EXPECT_TRUE(Form2->Edit17->Visible());
    EXPECT_FALSE(Form2->RadioGroup5->Visible());
    Form2->Edit17->SetText("3");
    Form2->Edit18->SetText("5");
    vcltest::Click(Form2->Button1);
    EXPECT_EQ(SavedTable().Cell(10, kRow), "2");
    EXPECT_EQ(SavedTable().Cell(27, kRow), "3");
    EXPECT_EQ(SavedTable().Cell(28, kRow), "5");
    OpenUnit(kRow);
    EXPECT_EQ(Form2->Edit17->Text(), "3");
    EXPECT_EQ(Form2->Edit18->Text(), "5");
    // Back to a ship: the type index goes into 27 and 28 stays.
    Form2->RadioGroup2->SetItemIndex(0);
    EXPECT_TRUE(Form2->RadioGroup5->Visible());
    Form2->RadioGroup5->SetItemIndex(2);
    vcltest::Click(Form2->Button2);
    EXPECT_FALSE(Form2->Visible());
    EXPECT_EQ(SavedTable().Cell(27, kRow), "2");
    EXPECT_EQ(SavedTable().Cell(28, kRow), "5");
}

TEST_F(UnitEditor, DeletingSetsOnlyTheKindAndRapidFireFromWritesTheListedColumn) {
    constexpr int kA = 206, kGone = 207, kC = 208, kUnit = 210, kLater = 211;
    // "Удалить" and "Открыть" with no item chosen do nothing.
    vcltest::ChooseMenuItem(Form2, Form2->N8);
    ASSERT_TRUE(Form21->Visible());
    EXPECT_EQ(Form21->Caption(), "Удаление юнита");
    EXPECT_EQ(Form21->Button1->Caption(), "Удалить");
    Form21->ListBox1->SetItemIndex(-1);
    vcltest::Click(Form21->Button1);
    EXPECT_EQ(Table().Cell(1, kGone), "1");
    EXPECT_TRUE(Boxes().Shown().empty());
    vcltest::ChooseMenuItem(Form2, Form2->N2);
    vcltest::Advance(1);
    const std::string shown = Form2->SpinEdit1->Text();
    Form3->ListBox1->SetItemIndex(-1);
    vcltest::Click(Form3->Button1);
    EXPECT_FALSE(Form2->Timer1->Enabled());
    EXPECT_EQ(Form2->SpinEdit1->Text(), shown);
    Form3->Hide();

    // Deleting: the kind becomes "0", the database is saved, every other cell stays.
    std::vector<std::string> before;
    for (int col = 0; col <= battle::kLastCol; ++col) before.push_back(Table().Cell(col, kGone));
    const std::string againstGone = Table().Cell(30 + kGone, kA);
    vcltest::ChooseMenuItem(Form2, Form2->N8);
    vcltest::SelectItem(Form21->ListBox1, Position(Form21->Rows(), kGone));
    vcltest::Click(Form21->Button1);
    EXPECT_FALSE(Form21->Visible());
    EXPECT_EQ(Boxes().Texts(), (std::vector<std::string>{"Для сохранения части изменений нужно перезапустить программу"}));
    const DataTable saved = SavedTable();
    EXPECT_EQ(saved.Cell(1, kGone), "0");
    for (int col = 0; col <= battle::kLastCol; ++col) {
        if (col == 1) continue;
        ASSERT_EQ(saved.Cell(col, kGone), before[col]) << col;
    }
    EXPECT_EQ(saved.Cell(30 + kGone, kA), againstGone);

    // Rapid fire "from": listed once, the deleted unit not among them.
    Form2->SpinEdit1->SetValue(kUnit);
    vcltest::Click(Form2->Button3);
    ASSERT_TRUE(Form5->Visible());
    vcltest::Advance(100);
    EXPECT_FALSE(Form5->Timer1->Enabled());
    EXPECT_EQ(Form5->ListedUnit(), kUnit);
    TValueListEditor* list = Form5->ValueListEditor1;
    std::vector<std::string> keys;
    for (int r = 1; r <= list->Count(); ++r) keys.push_back(list->Keys(r));
    EXPECT_EQ(std::count(keys.begin(), keys.end(), Table().Cell(2, kGone)), 0);
    ASSERT_EQ(list->Keys(6), Table().Cell(2, kA));  // rows 201..206, then 208
    ASSERT_EQ(list->Keys(7), Table().Cell(2, kC));
    list->SetValues(6, "11");
    list->SetValues(7, "13");
    vcltest::Advance(1000);  // no second listing wipes what was typed
    EXPECT_EQ(list->Values(6), "11");

    // A value that is no number, or below nothing, is refused and nothing is written.
    list->SetValues(1, "много");
    list->SetValues(2, "-5");
    vcltest::Click(Form5->Button1);
    EXPECT_TRUE(Form5->Visible());
    ASSERT_EQ(Boxes().Shown().size(), 2u);
    EXPECT_NE(Boxes().Texts()[1].find("много"), std::string::npos);
    EXPECT_NE(Boxes().Texts()[1].find("«-5» - должно быть целым числом от 0 до 10000"), std::string::npos);
    EXPECT_NE(Table().Cell(30 + kUnit, kA), "11");
    list->SetValues(1, Table().Cell(30 + kUnit, 201));
    list->SetValues(2, Table().Cell(30 + kUnit, 202));

    // The editor moves on to another unit; the values go where they were read.
    const std::string laterColumn = Table().Cell(30 + kLater, kA);
    const std::string gone = Table().Cell(30 + kUnit, kGone);
    Form2->SpinEdit1->SetValue(kLater);
    vcltest::Click(Form5->Button1);
    EXPECT_FALSE(Form5->Visible());
    const DataTable after = SavedTable();
    EXPECT_EQ(after.Cell(30 + kUnit, kA), "11");
    EXPECT_EQ(after.Cell(30 + kUnit, kC), "13");
    EXPECT_EQ(after.Cell(30 + kUnit, kGone), gone);
    EXPECT_EQ(after.Cell(30 + kLater, kA), laterColumn);
    // The other direction: the editor's own list shows the unit's rapid fire against others.
    OpenUnit(kA);
    EXPECT_EQ(Form2->ValueListEditor1->Values(Position(Form2->RapidFireRows(), kUnit) + 1), "11");
}

TEST_F(UnitEditor, UnknownCodesAreToldAndKeptAndRefusedValuesSaveNothing) {
    constexpr int kRow = 212;
    Table().SetCell(18, kRow, "9");
    Table().SetCell(19, kRow, "3");
    Table().SetCell(20, kRow, "-1");
    Table().SetCell(21, kRow, "0");
    Table().SetCell(10, kRow, "7");
    OpenUnit(kRow);
    ASSERT_EQ(Boxes().Shown().size(), 1u);
    const std::string note = Boxes().Texts()[0];
    for (const char* part : {"«9»", "«-1»", "Назначение юнита", "spab.dat", "spat.dat"})
        EXPECT_NE(note.find(part), std::string::npos) << Utf8(part) << "\n" << Utf8(note);
    EXPECT_EQ(CheckedItems(Form2->CheckListBox1), (std::vector<int>{2}));
    EXPECT_TRUE(CheckedItems(Form2->CheckListBox2).empty());
    EXPECT_EQ(Form2->RadioGroup2->ItemIndex(), -1);
    vcltest::Click(Form2->Button1);
    DataTable saved = SavedTable();
    EXPECT_EQ(saved.Cell(18, kRow), "9");
    EXPECT_EQ(saved.Cell(19, kRow), "3");
    EXPECT_EQ(saved.Cell(20, kRow), "-1");
    EXPECT_EQ(saved.Cell(10, kRow), "7");

    // Without spab.dat the list is empty, the player is told, and the codes stay.
    ASSERT_EQ(std::rename("spab.dat", "spab.keep"), 0);
    Boxes().Clear();
    OpenUnit(kRow);
    std::rename("spab.keep", "spab.dat");
    ASSERT_EQ(Boxes().Shown().size(), 1u);
    EXPECT_NE(Boxes().Texts()[0].find("spab.dat"), std::string::npos);
    EXPECT_EQ(Form2->CheckListBox1->Items()->Count(), 0);
    vcltest::Click(Form2->Button1);
    EXPECT_EQ(SavedTable().Cell(18, kRow), "9");
    EXPECT_EQ(SavedTable().Cell(19, kRow), "3");

    // A value the battle could not read saves nothing, and says which field.
    const std::string file = scratch::ReadFile(programtest::InFolder(battle::kDataBaseFile));
    const std::string name = Table().Cell(2, kRow);
    Boxes().Clear();
    Form2->Edit7->SetText("Другое имя");
    Form2->Edit4->SetText("12x");
    Form2->Edit12->SetText("300");
    Form2->Edit8->SetText("101");  // a percentage of the shield
    vcltest::Click(Form2->Button2);
    EXPECT_TRUE(Form2->Visible());
    ASSERT_EQ(Boxes().Shown().size(), 1u);
    EXPECT_NE(Boxes().Texts()[0].find("Структура"), std::string::npos);
    EXPECT_NE(Boxes().Texts()[0].find("задержка перед атакой"), std::string::npos);
    EXPECT_NE(Boxes().Texts()[0].find("«Востановление щита %»: «101» - должно быть целым числом от 0 до 100"),
              std::string::npos)
        << Utf8(Boxes().Texts()[0]);
    EXPECT_EQ(Table().Cell(2, kRow), name);
    EXPECT_EQ(scratch::ReadFile(programtest::InFolder(battle::kDataBaseFile)), file);
    // So does an ID that is no unit row.
    Form2->Edit4->SetText("100");
    Form2->Edit12->SetText("0");
    Form2->Edit8->SetText("100");
    Form2->SpinEdit1->SetText("abc");
    vcltest::Click(Form2->Button1);
    EXPECT_EQ(Boxes().Shown().size(), 2u);
    EXPECT_EQ(Table().Cell(2, battle::kUnitFirstRow), SavedTable().Cell(2, battle::kUnitFirstRow));
    EXPECT_EQ(scratch::ReadFile(programtest::InFolder(battle::kDataBaseFile)), file);
}

// A negative cost or a percentage beyond 0..100 would reach the battle's
// losses and debris: each is refused with its field and value, nothing saved.
TEST_F(UnitEditor, CostsBelowNothingAndPercentagesBeyondAHundredAreRefused) {
    constexpr int kRow = 213;
    OpenUnit(kRow);
    const std::string file = scratch::ReadFile(programtest::InFolder(battle::kDataBaseFile));
    std::vector<std::string> cells;
    for (int col = 0; col <= battle::kLastCol; ++col) cells.push_back(Table().Cell(col, kRow));
    const std::map<TEdit*, std::string> typed = {
        {Form2->Edit1, "-3000"}, {Form2->Edit3, "99999999999"}, {Form2->Edit15, "-30"},
        {Form2->Edit9, "-5"},    {Form2->Edit11, "101"},        {Form2->Edit16, "100"},
        {Form2->Edit4, "-100"},  {Form2->Edit13, "-5"},         {Form2->Edit14, "255"}, {Form2->Edit7, "  "},
    };
    const std::string name = Form2->Edit7->Text();
    for (const auto& [edit, text] : typed) edit->SetText(text);
    SetRapidFire(201, "-5");
    vcltest::Click(Form2->Button2);
    EXPECT_TRUE(Form2->Visible());
    ASSERT_EQ(Boxes().Shown().size(), 1u);
    const std::string text = Boxes().Texts()[0];
    for (const char* part : {"Ничего не сохранено", "«Металл»: «-3000» - должно быть целым числом от 0 до 23058430092",
                             "«Веспен»: «99999999999» - должно быть целым числом от 0 до 23058430092",
                             "«обломки % В атаке»: «-30» - должно быть целым числом от 0 до 100",
                             "«Шанс концентрированного выстрела %»: «-5» - должно быть целым числом от 0 до 100",
                             "«востановление % В защите»: «101» - должно быть целым числом от 0 до 100",
                             "«Структура»: «-100» - должно быть целым числом от 0 до 9223372036854775",
                             "«Атака эми»: «-5» - должно быть целым числом от 0 до 4294967295",
                             "«Период атаки»: «255» - должно быть целым числом от 0 до 254", "«Название»: не заполнено",
                             "»: «-5» - должно быть целым числом от 0 до 10000"})
        EXPECT_NE(text.find(part), std::string::npos) << Utf8(part) << "\n" << Utf8(text);
    EXPECT_EQ(text.find("обломки % В защите"), std::string::npos) << Utf8(text);
    for (int col = 0; col <= battle::kLastCol; ++col) ASSERT_EQ(Table().Cell(col, kRow), cells[col]) << col;
    EXPECT_EQ(scratch::ReadFile(programtest::InFolder(battle::kDataBaseFile)), file);

    // The bounds themselves are taken; a number is kept in one form.
    Boxes().Clear();
    for (TEdit* edit : {Form2->Edit1, Form2->Edit9, Form2->Edit11, Form2->Edit15}) edit->SetText("0");
    Form2->Edit3->SetText("23058430092");
    Form2->Edit4->SetText("05");
    Form2->Edit13->SetText(" +5 ");
    Form2->Edit14->SetText("254");
    Form2->Edit7->SetText(name);
    SetRapidFire(201, "+0");
    vcltest::Click(Form2->Button1);
    EXPECT_TRUE(Boxes().Shown().empty()) << Utf8(Boxes().Texts().empty() ? "" : Boxes().Texts()[0]);
    const DataTable saved = SavedTable();
    EXPECT_EQ(saved.Cell(battle::kColVespene, kRow), "23058430092");
    EXPECT_EQ(saved.Cell(battle::kColDebrisDefending, kRow), "100");
    EXPECT_EQ(saved.Cell(battle::kColStructure, kRow), "5");
    EXPECT_EQ(saved.Cell(battle::kColEmpStrength, kRow), "5");
    EXPECT_EQ(saved.Cell(battle::kColAttackPeriod, kRow), "254");
    EXPECT_EQ(saved.Cell(battle::kColRapidFire + 201, kRow), "0");
}

// "Сохранить и закрыть" with a DataBase.dat that cannot be written: the
// player is told and the editor stays, so the change is not left unseen in
// memory only.
TEST_F(UnitEditor, SaveAndCloseStaysOpenWhenTheDatabaseIsNotWritten) {
    constexpr int kRow = 214;
    OpenUnit(kRow);
    const std::string path = programtest::InFolder(battle::kDataBaseFile);
    const std::string file = scratch::ReadFile(path);
    ASSERT_EQ(std::rename(path.c_str(), (path + ".keep").c_str()), 0);
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    Form2->Edit7->SetText("Крейсер Икс");
    vcltest::Click(Form2->Button2);
    rmdir(path.c_str());
    std::rename((path + ".keep").c_str(), path.c_str());
    EXPECT_TRUE(Form2->Visible());
    ASSERT_EQ(Boxes().Shown().size(), 1u);
    EXPECT_EQ(Boxes().Texts()[0].rfind("База данных не сохранена", 0), 0u) << Utf8(Boxes().Texts()[0]);
    EXPECT_EQ(Form2->Edit7->Text(), "Крейсер Икс");

    // Once the file can be written again the same button saves and closes.
    Boxes().Clear();
    vcltest::Click(Form2->Button2);
    EXPECT_FALSE(Form2->Visible());
    EXPECT_TRUE(Boxes().Shown().empty());
    EXPECT_EQ(SavedTable().Cell(battle::kColName, kRow), "Крейсер Икс");
    EXPECT_NE(scratch::ReadFile(path), file);
}

TEST_F(UnitEditor, ANewUnitTypeIsInTheViewerAndBothFleetsAndFights) {
    constexpr int kRow = 320;
    TForm1* main = Form1;
    OpenUnit(215);
    Form2->SpinEdit1->SetText(std::to_string(kRow));
    Form2->Edit7->SetText("Испытатель");
    Form2->Edit4->SetText("30000");
    Form2->Edit6->SetText("400");
    Form2->Edit5->SetText("100");
    Form2->RadioGroup2->SetItemIndex(0);
    for (int i = 0; i < Form2->CheckListBox1->Items()->Count(); ++i) Form2->CheckListBox1->SetChecked(i, i == 0);
    for (int i = 0; i < Form2->CheckListBox2->Items()->Count(); ++i) Form2->CheckListBox2->SetChecked(i, i == 1);
    // Rapid fire against two others only.
    for (int k = 1; k <= Form2->ValueListEditor1->Count(); ++k) Form2->ValueListEditor1->SetValues(k, "0");
    SetRapidFire(205, "5");
    SetRapidFire(206, "8");
    vcltest::Click(Form2->Button2);
    ASSERT_TRUE(Boxes().Shown().empty());

    infoform->Show();
    vcltest::Pump();
    const int index = Position(infoform->UnitRows(), kRow);
    ASSERT_GE(index, 0);
    vcltest::SelectItem(infoform->ListBox1, index);
    EXPECT_EQ(infoform->par->Cells(1, 1), "30000");
    EXPECT_EQ(vcltest::MemoLines(infoform->Memo1),
              (std::vector<std::string>{Table().Cell(2, 205) + "  5", Table().Cell(2, 206) + "  8"}));
    infoform->Hide();

    programtest::NewBattle(main);
    int line = 0;
    for (int r = 1; r <= main->ValueListEditor1->Count(); ++r)
        if (main->ValueListEditor1->Keys(r) == "Испытатель") line = r;
    ASSERT_GT(line, 0);
    EXPECT_EQ(main->ValueListEditor4->Keys(line), "Испытатель");
    main->ValueListEditor1->SetValues(line, "20");
    main->ValueListEditor4->SetValues(Position(main->ShipRows(), 205) + 1, "200");
    Form7->Memo1->Lines()->Clear();
    vcltest::Click(main->Button5);
    vcltest::Advance(1);
    const std::vector<std::string> log = vcltest::MemoLines(Form7->Memo1);
    EXPECT_NE(std::find_if(log.begin(), log.end(),
                           [](const std::string& l) { return l.find("Испытатель") != std::string::npos; }),
              log.end());
    EXPECT_TRUE(Boxes().Shown().empty()) << Utf8(Boxes().Texts().empty() ? "" : Boxes().Texts()[0]);
}
