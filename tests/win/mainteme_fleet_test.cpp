// Fleet entry: storing the editors, the per-entry messages, and adding,
// switching, deleting and renaming participants.
#include "support/program_fixture.h"

#include "battle/datatable.h"
#include "windows/dataform.h"
#include "windows/inputname1.h"
#include "windows/inputname2.h"

using namespace vcl;
using programtest::Boxes;
using vcltest::Utf8;

namespace {

class FleetEntry : public ::testing::Test {
protected:
    void SetUp() override {
        form = programtest::StartProgram();
        programtest::NewBattle(form);
    }
    battle::BattleInput& In() { return form->Input(); }
    uint16_t Row(int entry) const { return form->ShipRows()[static_cast<size_t>(entry)]; }
    // Adds a participant as the player does: the button, the prompt, its button.
    void AddThroughPrompt(int side, const std::string& name) {
        vcltest::Click(side == 1 ? form->Button1 : form->Button3);
        TForm11* prompt = side == 1 ? Form11 : Form12;
        ASSERT_TRUE(prompt->Visible());
        vcltest::TypeText(prompt->Edit1, name);
        vcltest::Click(prompt->Button1);
        vcltest::Advance(1);
    }
    std::vector<std::string> Texts() const { return Boxes().Texts(); }

    TForm1* form = nullptr;
};

}  // namespace

TEST_F(FleetEntry, TypedCountsAndLevelsAreStoredForTheCurrentParticipants) {
    ASSERT_GE(form->ShipRowCount(), 2);
    form->ValueListEditor1->SetValues(1, "100");
    form->ValueListEditor1->SetValues(2, "\t+07 ");
    form->ValueListEditor4->SetValues(2, "4000000");
    form->ValueListEditor2->SetValues(1, "12 ");  // weapons
    form->ValueListEditor5->SetValues(3, "65535");
    form->ValueListEditor3->SetValues(1, "3");   // admiral
    form->ValueListEditor7->SetValues(1, "255");

    form->saveships(0, 0);

    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(In().ShipCount[1][0][Row(0)], 100u);
    EXPECT_EQ(In().ShipCount[1][0][Row(1)], 7u);
    EXPECT_EQ(In().ShipCount[2][0][Row(1)], 4000000u);
    EXPECT_EQ(In().ShipCount[2][0][Row(0)], 0u);
    EXPECT_EQ(In().TechLevel[1][0][battle::kTechWeapons], 12);
    EXPECT_EQ(In().TechLevel[2][0][2], 65535);
    EXPECT_EQ(In().OfficerLevel[1][0][battle::kOfficerAdmiral], 3);
    if (form->ValueListEditor7->Count() > 0) EXPECT_EQ(In().MedalCount[1][0][0], 255);

    // And back: what the arrays hold is what the editors show.
    for (int row = 1; row <= form->ValueListEditor1->Count(); ++row) form->ValueListEditor1->SetValues(row, "9");
    form->loadship(0, 0);
    EXPECT_EQ(form->ValueListEditor1->Values(1), "100");
    EXPECT_EQ(form->ValueListEditor1->Values(3), "0");
    EXPECT_EQ(form->ValueListEditor4->Values(2), "4000000");
    EXPECT_EQ(form->ValueListEditor2->Values(1), "12");
}

TEST_F(FleetEntry, EachBadValueGivesItsOwnMessageAndLosesNothingElse) {
    // Last stored values, to see what a failure keeps.
    form->ValueListEditor2->SetValues(1, "5");
    form->ValueListEditor6->SetValues(1, "6");
    if (form->ValueListEditor7->Count() > 0) form->ValueListEditor7->SetValues(1, "9");
    form->saveships(0, 0);
    ASSERT_TRUE(Texts().empty());

    form->ListBox1->Items()->Put(0, "Я");
    form->ListBox2->Items()->Put(0, "Враг");
    form->ValueListEditor1->SetValues(1, "-5");   // side 1 bad ...
    form->ValueListEditor4->SetValues(1, "30");   // ... side 2 of the same entry good
    form->ValueListEditor1->SetValues(2, "12");
    form->ValueListEditor4->SetValues(2, "abc");
    form->ValueListEditor2->SetValues(1, "70000");
    form->ValueListEditor6->SetValues(1, "x");
    if (form->ValueListEditor7->Count() > 0) form->ValueListEditor7->SetValues(1, "300");
    form->saveships(0, 0);

    // Each message says where: the side, its participant, the entry and what it holds.
    auto where = [](int side, TValueListEditor* editor, int line) {
        return "\nСторона " + std::to_string(side) + ", участник «" + (side == 1 ? "Я" : "Враг") + "», «" +
               editor->Keys(line) + "»: «" + editor->Values(line) + "»";
    };
    std::vector<std::string> expected = {
        "количество кораблей должно быть целым числом" + where(1, form->ValueListEditor1, 1),
        "количество кораблей должно быть целым числом" + where(2, form->ValueListEditor4, 2)};
    if (form->ValueListEditor7->Count() > 0)
        expected.push_back("количество медалей должно быть целым числом" + where(1, form->ValueListEditor7, 1));
    expected.push_back("Уровень офицеров быть целым числом" + where(2, form->ValueListEditor6, 1));
    expected.push_back("Уровень технологий должен быть целым числом" + where(1, form->ValueListEditor2, 1));
    EXPECT_EQ(Texts(), expected);
    EXPECT_NE(Texts()[1].find("«abc»"), std::string::npos) << Utf8(Texts()[1]);

    EXPECT_EQ(In().ShipCount[1][0][Row(0)], 0u);
    EXPECT_EQ(In().ShipCount[2][0][Row(0)], 30u);  // not lost to side 1's mistake
    EXPECT_EQ(In().ShipCount[1][0][Row(1)], 12u);
    EXPECT_EQ(In().ShipCount[2][0][Row(1)], 0u);
    EXPECT_EQ(In().TechLevel[1][0][0], 5);      // kept
    EXPECT_EQ(In().OfficerLevel[2][0][0], 6);   // kept
    if (form->ValueListEditor7->Count() > 0) EXPECT_EQ(In().MedalCount[1][0][0], 9);
}

// A run stores the editors before every battle: each store gives what the
// editors hold then, whatever changed in between, and tells a bad value
// every time.
TEST_F(FleetEntry, EveryStoreFollowsTheEditorsAndTheArraysAsTheyStandThen) {
    form->ValueListEditor1->SetValues(1, "100");
    form->ValueListEditor5->SetValues(1, "8");
    form->saveships(0, 0);
    form->saveships(0, 0);
    EXPECT_EQ(In().ShipCount[1][0][Row(0)], 100u);

    In().ShipCount[1][0][Row(0)] = 5;  // another window wrote the arrays
    form->saveships(0, 0);
    EXPECT_EQ(In().ShipCount[1][0][Row(0)], 100u);
    In().TechLevel[2][0][0] = 1;
    form->saveships(0, 0);
    EXPECT_EQ(In().TechLevel[2][0][0], 8);

    form->ValueListEditor1->SetValues(1, "7");
    form->saveships(0, 0);
    EXPECT_EQ(In().ShipCount[1][0][Row(0)], 7u);

    form->saveships(1, 0);  // another participant of side 1 takes the same editors
    EXPECT_EQ(In().ShipCount[1][1][Row(0)], 7u);
    In().ShipCount[1][0][Row(0)] = 0;
    form->saveships(0, 0);
    EXPECT_EQ(In().ShipCount[1][0][Row(0)], 7u);

    form->ValueListEditor4->SetValues(1, "много");
    form->saveships(0, 0);
    form->saveships(0, 0);
    EXPECT_EQ(Texts().size(), 2u);
    form->ValueListEditor4->SetValues(1, "3");
    form->saveships(0, 0);
    form->saveships(0, 0);
    EXPECT_EQ(Texts().size(), 2u);
    EXPECT_EQ(In().ShipCount[2][0][Row(0)], 3u);
}

// Technology and officer entries far beyond the twentieth are stored like the others.
TEST_F(FleetEntry, LevelsOfLateTechnologyAndOfficerEntriesAreStored) {
    battle::DataTable& table = Form4->Table();
    std::vector<int> added;
    for (int row = battle::kTechFirstRow; row <= battle::kTechLastRow && added.size() < 30; ++row) {
        if (table.Cell(battle::kColKind, row) != battle::kKindFree) continue;
        table.SetCell(battle::kColKind, row, battle::kKindTech);
        table.SetCell(battle::kColName, row, "Проба " + std::to_string(row));
        added.push_back(row);
    }
    form->loadships();
    const int entries = form->ValueListEditor2->Count();
    ASSERT_GT(entries, 25);
    form->ValueListEditor2->SetValues(entries, "21");
    form->ValueListEditor5->SetValues(entries, "22");
    form->saveships(0, 0);
    for (int row : added) table.SetCell(battle::kColKind, row, battle::kKindFree);
    form->loadships();

    EXPECT_TRUE(Texts().empty()) << Utf8(Texts().empty() ? "" : Texts()[0]);
    EXPECT_EQ(In().TechLevel[1][0][entries - 1], 21);
    EXPECT_EQ(In().TechLevel[2][0][entries - 1], 22);
}

TEST_F(FleetEntry, SixParticipantsASideAndTheSeventhIsRefused) {
    for (int i = 2; i <= 6; ++i) AddThroughPrompt(1, "Союзник " + std::to_string(i));
    EXPECT_EQ(form->ListBox1->Items()->Count(), 6);
    EXPECT_EQ(In().PartCount[1], 6);
    EXPECT_EQ(form->ListBox1->ItemIndex(), 5);
    EXPECT_EQ(form->CurPart[1], 5);
    EXPECT_EQ(form->Edit1->Text(), "Союзник 6");
    EXPECT_TRUE(Texts().empty());

    vcltest::Click(form->Button1);
    EXPECT_FALSE(Form11->Visible());
    EXPECT_EQ(Texts(), std::vector<std::string>{"Достигнут предел количества участников САБ"});

    // The limit holds also when the adding step is asked for directly.
    Boxes().Clear();
    Form11->Edit1->SetText("Лишний");
    form->addnew1->SetEnabled(true);
    vcltest::Advance(1);
    EXPECT_EQ(form->ListBox1->Items()->Count(), 6);
    EXPECT_EQ(In().PartCount[1], 6);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Достигнут предел количества участников САБ"});

    // Side 2 has its own count and its own prompt.
    AddThroughPrompt(2, "tovermil");
    EXPECT_EQ(form->ListBox2->Items()->ToVector(), (std::vector<std::string>{"Враг", "tovermil"}));
    EXPECT_FALSE(Form4->Visible());
}

TEST_F(FleetEntry, TheAccessCodeOpensTheDatabaseInsteadOfAddingAParticipant) {
    AddThroughPrompt(1, "tovermil");
    EXPECT_TRUE(Form4->Visible());
    EXPECT_EQ(form->ListBox1->Items()->Count(), 1);
    EXPECT_EQ(In().PartCount[1], 1);
    Form4->Hide();
}

TEST_F(FleetEntry, SwitchingKeepsEachParticipantsValuesAndANewOneStartsEmpty) {
    form->ValueListEditor1->SetValues(1, "11");
    form->ValueListEditor2->SetValues(1, "4");
    AddThroughPrompt(1, "Второй");
    EXPECT_EQ(form->ValueListEditor1->Values(1), "0");
    EXPECT_EQ(form->ValueListEditor2->Values(1), "0");
    form->ValueListEditor1->SetValues(1, "22");

    vcltest::SelectItem(form->ListBox1, 0);
    EXPECT_EQ(form->CurPart[1], 0);
    EXPECT_EQ(form->Edit1->Text(), "Я");
    EXPECT_EQ(form->ValueListEditor1->Values(1), "11");
    EXPECT_EQ(form->ValueListEditor2->Values(1), "4");
    EXPECT_EQ(In().ShipCount[1][0][Row(0)], 11u);
    EXPECT_EQ(In().ShipCount[1][1][Row(0)], 22u);

    // A slot used before and freed by a delete gives the next participant nothing of its past.
    vcltest::SelectItem(form->ListBox1, 1);
    vcltest::Click(form->Button2);
    EXPECT_EQ(In().PartCount[1], 1);
    AddThroughPrompt(1, "Третий");
    EXPECT_EQ(form->ValueListEditor1->Values(1), "0");
    EXPECT_EQ(In().ShipCount[1][1][Row(0)], 0u);
}

TEST_F(FleetEntry, DeletingParticipantTwoOfFourMovesTheRestDownWithAllTheirValues) {
    for (const char* name : {"Второй", "Третий", "Четвертый"}) AddThroughPrompt(1, name);
    // Participant p gets p + 1 units of the first type and technology level 10 (p + 1).
    for (int p = 0; p < 4; ++p) {
        vcltest::SelectItem(form->ListBox1, p);
        form->ValueListEditor1->SetValues(1, std::to_string(p + 1));
        form->ValueListEditor2->SetValues(1, std::to_string(10 * (p + 1)));
    }
    // Participant 2 (list index 1) is current; its last edit is not stored yet.
    vcltest::SelectItem(form->ListBox1, 1);
    form->ValueListEditor1->SetValues(1, "77");
    form->ValueListEditor4->SetValues(1, "55");  // an unsaved edit on side 2

    vcltest::Click(form->Button2);

    EXPECT_EQ(form->ListBox1->Items()->ToVector(), (std::vector<std::string>{"Я", "Третий", "Четвертый"}));
    EXPECT_EQ(In().PartCount[1], 3);
    EXPECT_EQ(form->ListBox1->ItemIndex(), 0);
    EXPECT_EQ(form->CurPart[1], 0);
    EXPECT_EQ(form->Edit1->Text(), "Я");
    const uint16_t row = Row(0);
    EXPECT_EQ(In().ShipCount[1][0][row], 1u);
    EXPECT_EQ(In().ShipCount[1][1][row], 3u);
    EXPECT_EQ(In().ShipCount[1][2][row], 4u);
    EXPECT_EQ(In().ShipCount[1][3][row], 0u);
    EXPECT_EQ(In().TechLevel[1][1][0], 30);
    EXPECT_EQ(In().TechLevel[1][2][0], 40);
    EXPECT_EQ(In().TechLevel[1][3][0], 0);
    EXPECT_EQ(form->ValueListEditor1->Values(1), "1");
    EXPECT_EQ(form->ValueListEditor4->Values(1), "55");  // side 2's edit survived
    EXPECT_EQ(In().ShipCount[2][0][row], 55u);
}

TEST_F(FleetEntry, TheLastParticipantOfASideCannotBeDeleted) {
    vcltest::Click(form->Button4);
    EXPECT_EQ(form->ListBox2->Items()->Count(), 1);
    EXPECT_EQ(In().PartCount[2], 1);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Нельзя удалить единственного участника стороны"});
}

TEST_F(FleetEntry, RenamingFollowsEveryKeystroke) {
    AddThroughPrompt(2, "Пират");
    vcltest::SelectItem(form->ListBox2, 0);
    EXPECT_EQ(form->Edit2->Text(), "Враг");
    std::string typed;
    for (const char* key : {"К", "о", "т"}) {
        typed += key;
        vcltest::TypeText(form->Edit2, typed);
        EXPECT_EQ(form->ListBox2->Items()->Get(0), typed);
    }
    EXPECT_EQ(form->ListBox2->Items()->Get(1), "Пират");
    EXPECT_EQ(form->ListBox2->ItemIndex(), 0);
}
