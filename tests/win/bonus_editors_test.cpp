// The technology, officer and medal editors and the unit information window
// in the running program: storing on switching items, renaming, new rows that
// reuse freed ones, full bands, tihnics.dat, discarding, refused values, and
// the actual values the default levels give.
#include "support/program_fixture.h"
#include "support/editor_windows.h"
#include "support/scratch_folder.h"

#include "battle/datatable.h"
#include "windows/dataform.h"
#include "windows/defteh.h"
#include "windows/medaleditor.h"
#include "windows/oficers.h"
#include "windows/tehno.h"
#include "windows/unitsinfo.h"

using namespace vcl;
using battle::DataTable;
using editortest::Position;
using editortest::SavedTable;
using editortest::Table;
using programtest::Boxes;
using vcltest::Utf8;

namespace {

std::vector<std::string> TechNames() {
    return scratch::Lines(scratch::ReadFile(programtest::InFolder(kTechNamesFile)));
}

// Sets the kind of every row of a band, returning what they held.
std::vector<std::string> SetKinds(int first, int last, const std::string& kind) {
    std::vector<std::string> kept;
    for (int row = first; row <= last; ++row) {
        kept.push_back(Table().Cell(battle::kColKind, row));
        Table().SetCell(battle::kColKind, row, kind);
    }
    return kept;
}

void RestoreKinds(int first, const std::vector<std::string>& kinds) {
    for (size_t i = 0; i < kinds.size(); ++i) Table().SetCell(battle::kColKind, first + static_cast<int>(i), kinds[i]);
}

class BonusEditors : public ::testing::Test {
protected:
    void SetUp() override {
        programtest::StartProgram();
        Boxes().Clear();
    }
};

}  // namespace

TEST_F(BonusEditors, TechnologiesStoreOnSwitchingReuseFreedRowsAndListTheirSpyNames) {
    // The listing a second after start saved and wrote tihnics.dat.
    std::vector<std::string> names = TechNames();
    ASSERT_EQ(names.size(), 3 + Form26->Rows().size());
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3),
              (std::vector<std::string>{"Оружейная технология", "Технология брони", "Щитовая технология"}));
    EXPECT_EQ(names[3], Table().Cell(6, 101));
    Form26->Show();

    vcltest::SelectItem(Form26->ListBox1, 0);
    ASSERT_EQ(Form26->CurrentRow(), 101);
    EXPECT_EQ(Form26->Edit4->Text(), Table().Cell(2, 101));
    const auto& units = Form26->UnitRows();
    for (size_t k = 0; k < units.size(); ++k)
        ASSERT_EQ(Form26->CheckListBox1->Checked(static_cast<int>(k)), Table().Cell(units[k], 101) == "1") << k;
    // A new name shows in the list at once; the table has it when another item is chosen.
    vcltest::TypeText(Form26->Edit4, "Броня Икс");
    EXPECT_EQ(Form26->ListBox1->Items()->Get(0), "Броня Икс");
    EXPECT_NE(Table().Cell(2, 101), "Броня Икс");
    Form26->Edit1->SetText("15");
    const bool flag = Form26->CheckListBox1->Checked(0);
    Form26->CheckListBox1->SetChecked(0, !flag);
    vcltest::SelectItem(Form26->ListBox1, 1);
    EXPECT_EQ(Form26->CurrentRow(), 102);
    EXPECT_EQ(Table().Cell(2, 101), "Броня Икс");
    EXPECT_EQ(Table().Cell(3, 101), "15");
    EXPECT_EQ(Table().Cell(units[0], 101), flag ? "0" : "1");

    // A percentage that is no number keeps its row open and stores nothing.
    const std::string shields = Table().Cell(4, 102);
    Form26->Edit2->SetText("x");
    vcltest::SelectItem(Form26->ListBox1, 2);
    EXPECT_EQ(Boxes().Shown().size(), 1u);
    EXPECT_EQ(Form26->CurrentRow(), 102);
    EXPECT_EQ(Form26->ListBox1->ItemIndex(), 1);
    EXPECT_EQ(Table().Cell(4, 102), shields);
    Form26->Edit2->SetText(shields);
    // "Сохранить": the database and the spy names.
    Form26->Edit5->SetText("Шпионское имя");
    vcltest::Click(Form26->Button1);
    EXPECT_EQ(SavedTable().Cell(2, 101), "Броня Икс");
    EXPECT_EQ(TechNames()[4], "Шпионское имя");

    // Delete with nothing chosen does nothing; delete frees the row and lists again.
    Form26->ListBox1->SetItemIndex(-1);
    vcltest::Click(Form26->Button3);
    EXPECT_FALSE(Form26->Timer1->Enabled());
    std::vector<std::string> freed;
    for (int col = 3; col <= battle::kLastCol; ++col) freed.push_back(Table().Cell(col, 103));
    vcltest::SelectItem(Form26->ListBox1, 2);
    vcltest::Click(Form26->Button3);
    vcltest::Advance(1000);
    EXPECT_EQ(Position(Form26->Rows(), 103), -1);
    EXPECT_EQ(Form26->CurrentRow(), -1);
    EXPECT_EQ(SavedTable().Cell(1, 103), "0");
    EXPECT_EQ(TechNames().size(), 3 + Form26->Rows().size());

    // A new technology takes the first free row and keeps what it held.
    vcltest::Click(Form26->Button2);
    ASSERT_EQ(Form26->Rows().back(), 103);
    EXPECT_EQ(Form26->ListBox1->Items()->Get(Form26->ListBox1->Items()->Count() - 1), "Новая технология");
    EXPECT_EQ(Table().Cell(1, 103), "3");
    EXPECT_EQ(Table().Cell(2, 103), "Новая технология");
    for (int col = 3; col <= battle::kLastCol; ++col) ASSERT_EQ(Table().Cell(col, 103), freed[col - 3]) << col;

    // A full band is told and changes nothing.
    const std::vector<std::string> kinds = SetKinds(101, 200, "3");
    const size_t listed = Form26->Rows().size();
    vcltest::Click(Form26->Button2);
    EXPECT_EQ(Boxes().Texts().back(), "Невозможно создать больше технологий");
    EXPECT_EQ(Form26->Rows().size(), listed);

    // With no technology at all tihnics.dat holds the three names every player has.
    SetKinds(101, 200, "0");
    Form26->Timer1Timer(nullptr);
    EXPECT_EQ(TechNames(),
              (std::vector<std::string>{"Оружейная технология", "Технология брони", "Щитовая технология"}));
    RestoreKinds(101, kinds);
    Form26->Button1Click(nullptr);
    Form26->Timer1Timer(nullptr);
    EXPECT_EQ(Form26->Rows().size(), listed);
    Form26->Hide();
}

TEST_F(BonusEditors, OfficersHideTheSpyNameAndDiscardingStoresNothingTyped) {
    Form27->Show();
    EXPECT_FALSE(Form27->Edit5->Visible());
    ASSERT_EQ(Form27->Rows().front(), 551);
    const int officers = static_cast<int>(Form27->Rows().size());
    vcltest::Click(Form27->Button2);
    const int made = Form27->Rows().back();
    EXPECT_EQ(made, 551 + officers);
    EXPECT_EQ(Table().Cell(1, made), "4");
    EXPECT_EQ(Table().Cell(2, made), "Новый офицер");
    // A row never used before starts with bonuses of 0, which open, store and save as they are.
    for (int col = 3; col <= 5; ++col) EXPECT_EQ(Table().Cell(col, made), "0") << col;
    vcltest::SelectItem(Form27->ListBox1, officers);
    ASSERT_EQ(Form27->CurrentRow(), made);
    vcltest::Click(Form27->Button1);
    EXPECT_TRUE(Boxes().Shown().empty()) << Utf8(Boxes().Texts()[0]);
    EXPECT_EQ(SavedTable().Cell(1, made), "4");
    EXPECT_EQ(SavedTable().Cell(3, made), "0");
    Table().SetCell(1, made, "0");
    Form4->Button1Click(nullptr);

    vcltest::SelectItem(Form27->ListBox1, 0);
    const std::string attack = Table().Cell(3, 551);
    Form27->Edit1->SetText("77");
    vcltest::Click(Form27->Button4);
    // Reloaded from the file: the new officer is gone, and a click before the
    // listing stores nothing of what was typed.
    EXPECT_EQ(Table().Cell(1, made), SavedTable().Cell(1, made));
    vcltest::SelectItem(Form27->ListBox1, 1);
    EXPECT_EQ(Table().Cell(3, 551), attack);
    vcltest::Advance(1000);
    EXPECT_EQ(static_cast<int>(Form27->Rows().size()), officers);
    vcltest::Click(Form27->Button5);
    EXPECT_FALSE(Form27->Visible());
}

TEST_F(BonusEditors, MedalsKeepTheirOwnValuesAcrossADeletedOne) {
    form911->Show();
    ASSERT_EQ(form911->Rows(), (std::vector<uint16_t>{1, 2, 3, 4, 5, 6}));
    // Every field of a medal goes to the table and the file.
    vcltest::SelectItem(form911->ListBox1, 0);
    form911->Edit1->SetText("5");
    form911->Edit2->SetText("6");
    form911->Edit3->SetText("7");
    TCheckBox* boxes[] = {form911->CheckBox1, form911->CheckBox2, form911->CheckBox3,
                          form911->CheckBox4, form911->CheckBox5, form911->CheckBox6};
    const bool pattern[] = {true, false, true, false, true, true};
    for (int i = 0; i < 6; ++i) boxes[i]->SetChecked(pattern[i]);
    vcltest::Click(form911->Button3);
    DataTable saved = SavedTable();
    EXPECT_EQ(saved.Cell(3, 1), "5");
    EXPECT_EQ(saved.Cell(4, 1), "6");
    EXPECT_EQ(saved.Cell(5, 1), "7");
    for (int i = 0; i < 6; ++i) EXPECT_EQ(saved.Cell(6 + i, 1), pattern[i] ? "1" : "0") << i;

    // The medal after a deleted one shows its own values.
    vcltest::SelectItem(form911->ListBox1, 2);
    vcltest::Click(form911->Button2);
    vcltest::Advance(1000);
    ASSERT_EQ(form911->Rows(), (std::vector<uint16_t>{1, 2, 4, 5, 6}));
    vcltest::SelectItem(form911->ListBox1, 2);
    EXPECT_EQ(form911->CurrentRow(), 4);
    EXPECT_EQ(form911->Edit4->Text(), Table().Cell(2, 4));
    EXPECT_EQ(form911->Edit1->Text(), Table().Cell(3, 4));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(boxes[i]->Checked(), Table().Cell(6 + i, 4) == "1") << i;

    // A new medal takes the freed row; with all a hundred in use none is made.
    vcltest::Click(form911->Button1);
    EXPECT_EQ(form911->Rows().back(), 3);
    EXPECT_EQ(Table().Cell(2, 3), "Новая медаль");
    const std::vector<std::string> kinds = SetKinds(1, 100, "2");
    vcltest::Click(form911->Button1);
    EXPECT_EQ(Boxes().Texts().back(), "Невозможно создать больше медалей");
    RestoreKinds(1, kinds);
    vcltest::Click(form911->Button4);
    EXPECT_FALSE(form911->Visible());
}

// A bonus below 0 takes a unit's values below nothing at a high level, and a
// huge one is beyond what the battle adds up: all three editors refuse
// either, naming the field, the value and the range, and store nothing.
TEST_F(BonusEditors, PercentagesOutsideWhatTheBattleComputesWithAreRefusedInEveryEditor) {
    const std::string file = scratch::ReadFile(programtest::InFolder(battle::kDataBaseFile));
    Form26->Show();
    vcltest::SelectItem(Form26->ListBox1, 0);
    const int tech = Form26->CurrentRow();
    const std::string attack = Table().Cell(3, tech), shields = Table().Cell(4, tech),
                      techStructure = Table().Cell(5, tech), name = Form26->Edit4->Text();
    Form26->Edit1->SetText("-100");
    Form26->Edit2->SetText("99999999999");
    Form26->Edit3->SetText("99999999999999999999");
    Form26->Edit4->SetText(" \t");
    vcltest::Click(Form26->Button1);
    ASSERT_EQ(Boxes().Shown().size(), 1u);
    for (const char* part : {"«% к атаке»: «-100» - должно быть целым числом от 0 до 32768",
                             "«% к щитам»: «99999999999» - должно быть целым числом от 0 до 32768",
                             "«% к структуре»: «99999999999999999999» - должно быть целым числом от 0 до 32768",
                             "«Название технологии»: не заполнено"})
        EXPECT_NE(Boxes().Texts()[0].find(part), std::string::npos) << Utf8(part) << "\n" << Utf8(Boxes().Texts()[0]);
    EXPECT_EQ(Table().Cell(3, tech), attack);
    EXPECT_EQ(Table().Cell(4, tech), shields);
    // Moving on is refused the same way, and the row stays chosen.
    vcltest::SelectItem(Form26->ListBox1, 1);
    EXPECT_EQ(Boxes().Shown().size(), 2u);
    EXPECT_EQ(Form26->CurrentRow(), tech);
    EXPECT_EQ(scratch::ReadFile(programtest::InFolder(battle::kDataBaseFile)), file);
    // The bounds themselves are taken, kept as the number alone whatever
    // blanks, sign or leading zeros came with them.
    Form26->Edit4->SetText(name);
    Form26->Edit1->SetText("\t+00 ");
    Form26->Edit2->SetText(" 032768");
    Form26->Edit3->SetText("-0");
    vcltest::Click(Form26->Button1);
    EXPECT_EQ(Boxes().Shown().size(), 2u);
    const DataTable saved = SavedTable();
    EXPECT_EQ((std::vector<std::string>{saved.Cell(3, tech), saved.Cell(4, tech), saved.Cell(5, tech)}),
              (std::vector<std::string>{"0", "32768", "0"}));
    Form26->Edit3->SetText(techStructure);
    Form26->Edit1->SetText(attack);
    Form26->Edit2->SetText(shields);
    vcltest::Click(Form26->Button1);
    Form26->Hide();

    Boxes().Clear();
    Form27->Show();
    vcltest::SelectItem(Form27->ListBox1, 0);
    Form27->Edit3->SetText("32769");
    Form27->Edit4->SetText("");
    vcltest::Click(Form27->Button1);
    ASSERT_EQ(Boxes().Shown().size(), 1u);
    for (const char* part : {"«% к структуре»: «32769»", "«Название технологии»: не заполнено"})
        EXPECT_NE(Boxes().Texts()[0].find(part), std::string::npos) << Utf8(Boxes().Texts()[0]);
    vcltest::Click(Form27->Button5);

    Boxes().Clear();
    form911->Show();
    vcltest::SelectItem(form911->ListBox1, 0);
    const std::string structure = Table().Cell(5, form911->CurrentRow());
    form911->Edit3->SetText("-1");
    form911->Edit4->SetText("");
    vcltest::Click(form911->Button3);
    ASSERT_EQ(Boxes().Shown().size(), 1u);
    for (const char* part : {"«бонус к структуре %»: «-1» - должно быть целым числом от 0 до 32768",
                             "«Название»: не заполнено"})
        EXPECT_NE(Boxes().Texts()[0].find(part), std::string::npos) << Utf8(Boxes().Texts()[0]);
    EXPECT_EQ(Table().Cell(5, form911->CurrentRow()), structure);
    vcltest::Click(form911->Button4);
    EXPECT_EQ(SavedTable().Cell(5, 1), structure);
}

TEST_F(BonusEditors, TheViewerShowsBaseAndActualValuesAndRapidFire) {
    constexpr int kFifteen = 330, kTwentyFive = 331, kBuilding = 332;
    auto unit = [](int row, const char* name, const char* structure, const char* purpose) {
        for (auto [col, value] : std::vector<std::pair<int, const char*>>{
                 {1, "1"}, {2, name}, {7, structure}, {8, "7"}, {9, "3"}, {10, purpose}, {27, "0"}})
            Table().SetCell(col, row, value);
    };
    unit(kFifteen, "Пятнадцать", "15", "0");
    unit(kTwentyFive, "Двадцать пять", "25", "0");
    unit(kBuilding, "Постройка", "15", "2");
    Table().SetCell(30 + kTwentyFive, kFifteen, "4");
    Table().SetCell(30 + kFifteen, kTwentyFive, "-2");
    // The defaults window's levels, all 0 to begin with.
    TValueListEditor* techs = Form14->ValueListEditor2;
    for (TValueListEditor* list : {Form14->ValueListEditor2, Form14->ValueListEditor3, Form14->ValueListEditor7})
        for (int entry = 1; entry <= list->Count(); ++entry) list->SetValues(entry, "0");
    const int tech101 = Position(Form14->TechRows, 101) + 1;
    ASSERT_GT(tech101, 3);

    infoform->Show();
    vcltest::Pump();
    EXPECT_EQ(Position(infoform->UnitRows(), kBuilding), -1);
    auto show = [](int row) {
        infoform->ListBox1->SetItemIndex(-1);
        vcltest::SelectItem(infoform->ListBox1, Position(infoform->UnitRows(), row));
        return std::vector<std::string>{infoform->par->Cells(1, 1), infoform->par->Cells(2, 1),
                                        infoform->par->Cells(2, 2), infoform->par->Cells(2, 3)};
    };
    // Level 0: a tenth of the structure, 1.5 and 2.5 both rounding to 2.
    EXPECT_EQ(show(kFifteen), (std::vector<std::string>{"15", "2", "3", "7"}));
    EXPECT_EQ(vcltest::MemoLines(infoform->Memo1), (std::vector<std::string>{"Двадцать пять  4"}));
    EXPECT_EQ(show(kTwentyFive), (std::vector<std::string>{"25", "2", "3", "7"}));
    EXPECT_TRUE(vcltest::MemoLines(infoform->Memo1).empty());
    EXPECT_EQ(vcltest::MemoLines(infoform->Memo2), (std::vector<std::string>{"Пятнадцать  4"}));

    // Weapons 2 and a database technology at 2 that acts on the unit.
    techs->SetValues(1, "2 ");
    Table().SetCell(kFifteen, 101, "1");
    Table().SetCell(3, 101, "50");
    techs->SetValues(tech101, "2");
    EXPECT_EQ(show(kFifteen)[3], "15");  // Round(7 * 1.2) = 8, then 8 + 2 * 50% of 7
    // A level that is no number is told; no actual value of another unit stays.
    techs->SetValues(1, "x");
    EXPECT_EQ(show(kFifteen), (std::vector<std::string>{"15", "", "", ""}));
    EXPECT_NE(Boxes().Texts().back().find("Оружейная"), std::string::npos) << Utf8(Boxes().Texts().back());
    techs->SetValues(1, "0");
    Table().SetCell(kFifteen, 101, "0");
    infoform->Hide();
}
