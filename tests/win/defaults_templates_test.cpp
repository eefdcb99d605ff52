// The player's defaults and fleet templates: the defaults window and its
// files, the defaults copy into side 1, the template editor, its pickers and
// "Сохранить в шаблон" on both sides.
#include "support/program_fixture.h"
#include "support/scratch_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "battle/datatable.h"
#include "rtl/textfile.h"
#include "windows/dataform.h"
#include "windows/defteh.h"
#include "windows/loadshbl1.h"
#include "windows/loadshbl2.h"
#include "windows/shabln.h"

using namespace vcl;
using programtest::Boxes;
using vcltest::Utf8;

namespace {

std::string FileText(const std::string& name) { return scratch::ReadFile(programtest::InFolder(name)); }

// The value of the editor entry that lists `row`; "" when none does.
std::string ValueOfRow(TValueListEditor* editor, const std::vector<uint16_t>& rows, int row) {
    for (size_t k = 0; k < rows.size(); ++k)
        if (rows[k] == row) return editor->Values(static_cast<int>(k) + 1);
    return "";
}

class PlayerDefaults : public ::testing::Test {
protected:
    // The shipped defaults and templates, read afresh; side 1 emptied.
    void SetUp() override {
        form = programtest::StartProgram();
        for (const char* name : {"def.dat", "med.dat", "Shbl.dat"})
            programtest::CopyFile(scratch::SourceData(name), programtest::InFolder(name));
        Form14->CheckBox1->SetChecked(false);
        Form14->Timer1Timer(nullptr);
        Form15->Timer1Timer(nullptr);
        for (int row = 1; row <= form->ValueListEditor1->Count(); ++row) form->ValueListEditor1->SetValues(row, "0");
        for (int row = 1; row <= form->ValueListEditor4->Count(); ++row) form->ValueListEditor4->SetValues(row, "0");
        Boxes().Clear();
    }
    void TearDown() override {
        for (TForm* window : std::initializer_list<TForm*>{Form14, Form15, Form16, Form17}) window->Hide();
    }
    std::string Side1(int row) const { return ValueOfRow(form->ValueListEditor1, form->ShipRows(), row); }
    std::string Side2(int row) const { return ValueOfRow(form->ValueListEditor4, form->ShipRows(), row); }
    std::vector<std::string> Texts() const { return Boxes().Texts(); }

    TForm1* form = nullptr;
};

}  // namespace

TEST_F(PlayerDefaults, TheWindowSavesDiscardsAndZeroesItsLists) {
    // The lists are the main window's, with the database rows behind them.
    ASSERT_EQ(Form14->ValueListEditor2->Count(), form->ValueListEditor2->Count());
    ASSERT_EQ(Form14->ValueListEditor3->Count(), form->ValueListEditor3->Count());
    ASSERT_EQ(Form14->ValueListEditor7->Count(), form->ValueListEditor7->Count());
    ASSERT_GE(Form14->ValueListEditor7->Count(), 1);
    EXPECT_EQ(Form14->ValueListEditor2->Keys(3), "Шитовая");
    EXPECT_EQ(Form14->TechRows, form->TechEntryRows());
    EXPECT_EQ(Form14->OfficerRows, form->OfficerEntryRows());
    EXPECT_EQ(Form14->ListBox1->Items()->ToVector(), Form15->ListBox1->Items()->ToVector());
    EXPECT_FALSE(Form14->ListBox1->Enabled());

    Form14->Show();
    Form14->ValueListEditor2->SetValues(2, " +04");
    Form14->ValueListEditor2->SetValues(5, "007 ");
    Form14->ValueListEditor3->SetValues(1, "2");
    Form14->ValueListEditor7->SetValues(1, "\t03");
    vcltest::TypeText(Form14->Edit2, "Командир");
    vcltest::Click(Form14->CheckBox1);
    EXPECT_TRUE(Form14->ListBox1->Enabled());
    vcltest::SelectItem(Form14->ListBox1, 1);
    EXPECT_EQ(Form14->Edit1->Text(), "1");
    vcltest::Click(Form14->Button1);
    EXPECT_FALSE(Form14->Visible());
    EXPECT_TRUE(Texts().empty()) << Utf8(Texts()[0]);
    const std::vector<std::string> def = scratch::Lines(FileText("def.dat"));
    ASSERT_GE(def.size(), 10u);
    EXPECT_EQ(std::vector<std::string>(def.begin(), def.begin() + 4), (std::vector<std::string>{"0", "0", "0", "4"}));
    EXPECT_EQ(std::vector<std::string>(def.end() - 5, def.end()),
              (std::vector<std::string>{"Командир", "Враг", "------", "1", "1"}));
    EXPECT_EQ(scratch::Lines(FileText("med.dat"))[1], "3");

    // Levels, counts and names a battle could not take are named and not saved;
    // the window stays open with them to be mended.
    const std::string savedDef = FileText("def.dat"), savedMed = FileText("med.dat");
    Form14->Show();
    Form14->ValueListEditor2->SetValues(5, "abc");
    Form14->ValueListEditor3->SetValues(2, "-3");
    Form14->ValueListEditor7->SetValues(1, "256");
    Form14->Edit3->SetText(" ");
    vcltest::Click(Form14->Button1);
    EXPECT_TRUE(Form14->Visible());
    ASSERT_EQ(Texts().size(), 1u);
    for (const std::string& part :
         {"«" + Form14->ValueListEditor2->Keys(5) + "»: «abc» - должно быть целым числом от 0 до 65535",
          "«" + Form14->ValueListEditor3->Keys(2) + "»: «-3» - должно быть целым числом от 0 до 65535",
          "«" + Form14->ValueListEditor7->Keys(1) + "»: «256» - должно быть целым числом от 0 до 255",
          std::string("«Имя соперника по умолчанию»: не заполнено")})
        EXPECT_NE(Texts()[0].find(part), std::string::npos) << Utf8(part) << "\n" << Utf8(Texts()[0]);
    EXPECT_EQ(FileText("def.dat"), savedDef);
    EXPECT_EQ(FileText("med.dat"), savedMed);
    Boxes().Clear();

    // "Закрыть без сохранения" brings back what was saved, the choice too.
    Form14->Edit3->SetText("Враг");
    Form14->ValueListEditor2->SetValues(5, "99");
    Form14->Edit2->SetText("Другой");
    vcltest::SelectItem(Form14->ListBox1, 2);
    vcltest::Click(Form14->Button3);
    EXPECT_FALSE(Form14->Visible());
    EXPECT_EQ(Form14->ValueListEditor2->Values(2), "4");
    EXPECT_EQ(Form14->ValueListEditor2->Values(5), "7");
    EXPECT_EQ(Form14->Edit2->Text(), "Командир");
    EXPECT_TRUE(Form14->CheckBox1->Checked());
    EXPECT_EQ(Form14->Edit1->Text(), "1");
    EXPECT_EQ(Form14->ListBox1->ItemIndex(), 1);

    // "Обнулить" zeroes the lists a moment later and saves nothing.
    vcltest::Click(Form14->Button2);
    vcltest::Advance(10);
    EXPECT_EQ(Form14->ValueListEditor2->Values(2), "0");
    EXPECT_EQ(Form14->ValueListEditor7->Values(1), "0");
    EXPECT_EQ(Form14->Edit2->Text(), "Командир");
    EXPECT_EQ(scratch::Lines(FileText("def.dat"))[3], "4");

    vcltest::Click(Form14->CheckBox1);
    EXPECT_FALSE(Form14->ListBox1->Enabled());
    EXPECT_EQ(Form14->Edit1->Text(), "-1");
    EXPECT_EQ(Form14->ListBox1->ItemIndex(), -1);
    Form14->Edit2->SetText("Я");
}

// Levels, medals, names and the default template reach side 1 after the
// start's five seconds; an index that names no template loads no units.
TEST_F(PlayerDefaults, TheDefaultsCopyWithNoValidAndOutOfRangeTemplates) {
    std::vector<std::string> def = scratch::Lines(FileText("def.dat"));
    def[1] = "5";           // weapons
    def[3 * 2 + 1] = "6";   // the first technology row
    def.back() = "Пират";
    def.insert(def.end(), {"------", "1", "1"});
    rtl::WriteAllLines(programtest::InFolder("def.dat"), def);
    std::vector<std::string> med = scratch::Lines(FileText("med.dat"));
    med[1] = "2";
    rtl::WriteAllLines(programtest::InFolder("med.dat"), med);
    Form14->Timer1Timer(nullptr);
    Form15->Timer1Timer(nullptr);
    ASSERT_GE(Form15->TemplateTotal, 2);
    EXPECT_EQ(Form14->ListBox1->ItemIndex(), 1);
    form->ValueListEditor1->SetValues(1, "33");

    form->Timer7->SetEnabled(true);
    vcltest::Advance(5000);
    EXPECT_FALSE(form->Timer7->Enabled());
    EXPECT_EQ(form->ValueListEditor2->Values(1), "5");
    EXPECT_EQ(form->ValueListEditor2->Values(4), "6");
    EXPECT_EQ(form->ValueListEditor7->Values(1), "2");
    EXPECT_EQ(form->Edit2->Text(), "Пират");
    EXPECT_EQ(form->ListBox2->Items()->Get(form->CurPart[2]), "Пират");
    // The whole unit list is the template's: counts it lacks become 0.
    const battle::FleetTemplate& zerg = Form15->Templates[1];
    for (size_t k = 0; k < form->ShipRows().size(); ++k)
        EXPECT_EQ(form->ValueListEditor1->Values(static_cast<int>(k) + 1),
                  std::to_string(zerg.counts[form->ShipRows()[k]]));

    for (const char* index : {"-1", "7", "x"}) {
        SCOPED_TRACE(index);
        Form14->Edit1->SetText(index);
        form->ValueListEditor1->SetValues(1, "33");
        Form14->Edit3->SetText(std::string("Враг ") + index);
        form->N24->Click();
        EXPECT_EQ(form->ValueListEditor1->Values(1), "33");
        EXPECT_EQ(form->Edit2->Text(), std::string("Враг ") + index);
    }
    EXPECT_TRUE(Texts().empty());

    // A run started before the copy at start was started with what the player
    // had entered: the copy is not made, neither during the run nor after it.
    Form14->Edit3->SetText("Другой");
    const std::string typed = form->ValueListEditor2->Values(1);
    Form14->ValueListEditor2->SetValues(1, typed + "1");
    form->Button5Click(nullptr);
    ASSERT_TRUE(form->RunGoing());
    form->Timer7->SetEnabled(true);
    form->Timer7Timer(form->Timer7);  // its tick during the run
    EXPECT_FALSE(form->Timer7->Enabled());
    vcltest::Advance(10000);
    EXPECT_FALSE(form->RunGoing());
    EXPECT_NE(form->Edit2->Text(), "Другой");
    EXPECT_EQ(form->ValueListEditor2->Values(1), typed);
    Form14->Edit3->SetText("Враг");
    form->Edit2->SetText("Враг");
}

// A unit deleted from the database since the template editor listed its
// units: the copy goes by row, so no count lands on the next unit type.
TEST_F(PlayerDefaults, PickersOpenTemplatesOnEitherSideByRow) {
    const battle::FleetTemplate terran = Form15->Templates[0];
    ASSERT_NE(terran.counts[205], 0u);
    ASSERT_NE(terran.counts[206], 0u);
    ASSERT_EQ(terran.counts[207], 0u);
    battle::DataTable& table = Form4->Table();
    table.SetCell(battle::kColKind, 206, "0");
    form->loadships();

    Form16->Show();
    vcltest::SelectItem(Form16->ListBox1, 0);
    vcltest::Click(Form16->Button1);
    EXPECT_FALSE(Form16->Visible());
    EXPECT_EQ(Side1(205), std::to_string(terran.counts[205]));
    EXPECT_EQ(Side1(207), "0");
    EXPECT_EQ(Side1(211), std::to_string(terran.counts[211]));
    table.SetCell(battle::kColKind, 206, "1");
    form->loadships();

    Form17->Show();
    vcltest::SelectItem(Form17->ListBox1, 2);
    vcltest::Click(Form17->Button1);
    EXPECT_FALSE(Form17->Visible());
    const battle::FleetTemplate& protoss = Form15->Templates[2];
    EXPECT_EQ(Side2(247), std::to_string(protoss.counts[247]));
    EXPECT_EQ(Side1(247), "0");

    // Nothing chosen: nothing loaded, the window closes.
    form->ValueListEditor4->SetValues(1, "9");
    Form17->Show();
    Form17->ListBox1->SetItemIndex(-1);
    vcltest::Click(Form17->Button1);
    EXPECT_FALSE(Form17->Visible());
    EXPECT_EQ(form->ValueListEditor4->Values(1), "9");
    EXPECT_TRUE(Texts().empty());
}

TEST_F(PlayerDefaults, SavingASideAsATemplateAndTheLimitOfTwenty) {
    form->ValueListEditor4->SetValues(1, "12");
    const int row = form->ShipRows()[0];
    form->N31->Click();
    EXPECT_TRUE(Form15->Visible());
    ASSERT_EQ(Form15->TemplateTotal, 4);
    EXPECT_EQ(Form15->ListBox1->ItemIndex(), 3);
    EXPECT_EQ(ValueOfRow(Form15->ValueListEditor1, Form15->UnitRows, row), "12");
    EXPECT_EQ(Form17->ListBox1->Items()->Count(), 4);

    vcltest::TypeText(Form15->Edit1, "Мой флот");
    EXPECT_EQ(Form15->ListBox1->Items()->Get(3), "Мой флот");
    EXPECT_EQ(Form17->ListBox1->Items()->Get(3), "Мой флот");
    EXPECT_EQ(Form14->ListBox1->Items()->Get(3), "Мой флот");
    vcltest::Click(Form15->Button2);
    EXPECT_NE(FileText("Shbl.dat").find("Мой флот\r\n" + std::to_string(row) + "\r\n12\r\nend\r\n"),
              std::string::npos);
    Form15->Hide();

    // The other side takes it from its picker.
    Form16->Show();
    vcltest::SelectItem(Form16->ListBox1, 3);
    vcltest::Click(Form16->Button1);
    EXPECT_EQ(form->ValueListEditor1->Values(1), "12");

    // Bad counts refuse the save: one message names each unit and its value,
    // and the file and the template stay as they were.
    const std::string savedFile = FileText("Shbl.dat");
    const std::vector<uint32_t> savedCounts = Form15->Templates[3].counts;
    Form15->Show();
    TValueListEditor* counts = Form15->ValueListEditor1;
    counts->SetValues(1, "x");
    counts->SetValues(2, "-5");
    counts->SetValues(3, "99999999999");
    counts->SetValues(4, "8");
    vcltest::Click(Form15->Button2);
    const std::string told = "количество кораблей должно быть целым числом от 0 до 4294967295:\n«" +
                             counts->Keys(1) + "»: «x»\n«" + counts->Keys(2) + "»: «-5»\n«" + counts->Keys(3) +
                             "»: «99999999999»\nШаблон \"Мой флот\" не изменен и не сохранен: исправьте количество.";
    EXPECT_EQ(Texts(), std::vector<std::string>{told}) << Utf8(Texts().empty() ? "" : Texts()[0]);
    EXPECT_EQ(FileText("Shbl.dat"), savedFile);
    EXPECT_EQ(Form15->Templates[3].counts, savedCounts);
    // Choosing another template, or saving a side as one, is refused the same
    // way: the bad values stay in view, with their template chosen.
    vcltest::SelectItem(Form15->ListBox1, 0);
    form->N31->Click();
    EXPECT_EQ(Texts(), (std::vector<std::string>{told, told, told}));
    EXPECT_EQ(Form15->Current, 3);
    EXPECT_EQ(Form15->ListBox1->ItemIndex(), 3);
    EXPECT_EQ(Form15->TemplateTotal, 4);
    EXPECT_EQ(counts->Values(1), "x");
    Boxes().Clear();
    // Closed so, it keeps them; a picker and the default load what is stored.
    Form15->Close();
    Form17->Show();
    vcltest::SelectItem(Form17->ListBox1, 0);
    vcltest::Click(Form17->Button1);
    Form14->Edit1->SetText("1");
    form->N24->Click();
    EXPECT_TRUE(Texts().empty()) << Utf8(Texts()[0]);
    EXPECT_EQ(Side2(205), std::to_string(Form15->Templates[0].counts[205]));
    EXPECT_EQ(Side1(227), std::to_string(Form15->Templates[1].counts[227]));
    EXPECT_EQ(Form15->Current, 3);
    EXPECT_EQ(counts->Values(1), "x");
    Form14->Edit1->SetText("-1");
    // Mended, it is saved whole.
    for (int entry : {1, 2, 3}) counts->SetValues(entry, "0");
    vcltest::Click(Form15->Button2);
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(Form15->Templates[3].counts[Form15->UnitRows[3]], 8u);
    EXPECT_NE(FileText("Shbl.dat").find("Мой флот\r\n" + std::to_string(Form15->UnitRows[3]) + "\r\n8\r\nend\r\n"),
              std::string::npos);
    Form15->Hide();

    // At twenty the save is refused and the last template stays as it was.
    while (Form15->TemplateTotal < 20) ASSERT_TRUE(Form15->AddTemplate("T"));
    Form15->Templates[19].counts[205] = 77;
    const uint8_t current = Form15->Current;
    form->N29->Click();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Невозможно создать больше шаблонов, удалите лишние"});
    EXPECT_EQ(Form15->TemplateTotal, 20);
    EXPECT_EQ(Form15->Current, current);
    EXPECT_EQ(Form15->Templates[19].counts[205], 77u);
    EXPECT_EQ(Form15->Templates[19].name, "T");
}

// Shbl.dat saved by a text editor with a byte-order mark keeps its three
// templates through a new one. One of random bytes is told as damaged when
// it is read, and replaced only once a copy of it is kept beside it.
TEST_F(PlayerDefaults, TemplatesFromATextEditorAndAFileOfRandomBytes) {
    const std::string shipped = FileText("Shbl.dat");
    // Before its start timer an editor writes nothing: a save reads the
    // file instead, a new template goes after the file's ones.
    {
        TForm15 early(nullptr), adding(nullptr);
        vcltest::Click(early.Button2);
        EXPECT_EQ(FileText("Shbl.dat"), shipped);
        EXPECT_EQ(early.ListBox1->Items()->Count(), 3);
        ASSERT_TRUE(adding.AddTemplate("Ранний"));
        vcltest::Advance(3000);
        ASSERT_EQ(adding.TemplateTotal, 4);
        EXPECT_EQ(adding.Templates[3].name, "Ранний");
    }
    scratch::WriteFile(programtest::InFolder("Shbl.dat"), "\xEF\xBB\xBF" + shipped);
    Form15->Timer1Timer(nullptr);
    EXPECT_TRUE(Texts().empty()) << Utf8(Texts()[0]);
    ASSERT_EQ(Form15->TemplateTotal, 3);
    const std::vector<std::string> names = Form15->ListBox1->Items()->ToVector();
    vcltest::Click(Form15->Button1);
    vcltest::SelectItem(Form15->ListBox1, 3);
    vcltest::TypeText(Form15->Edit1, "Новый");
    Form15->ValueListEditor1->SetValues(1, "4\t");
    vcltest::Click(Form15->Button2);
    EXPECT_TRUE(Texts().empty()) << Utf8(Texts()[0]);
    battle::TemplateFileContents saved = battle::ReadTemplateFile(programtest::InFolder("Shbl.dat"));
    ASSERT_EQ(saved.templates.size(), 4u);
    EXPECT_EQ(saved.templates[3].counts[Form15->UnitRows[0]], 4u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(saved.templates[i].name, names[i]);
    EXPECT_EQ(saved.templates[3].name, "Новый");

    std::string garbage(3000, '\0');
    uint32_t state = 99;
    for (char& c : garbage) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
    scratch::WriteFile(programtest::InFolder("Shbl.dat"), garbage);
    // Where the copy should go stands a folder: no copy, so the file is not replaced.
    const std::string copy = programtest::InFolder("Shbl.dat.bak");
    ASSERT_EQ(mkdir(copy.c_str(), 0755), 0);
    Form15->Timer1Timer(nullptr);
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].find("Файл Shbl.dat поврежден: в его первой строке «"), 0u) << Utf8(Texts()[0]);
    EXPECT_NE(Texts()[0].find("Шаблоны из него не прочитаны. Копию файла Shbl.dat сделать не удалось"),
              std::string::npos)
        << Utf8(Texts()[0]);
    EXPECT_NE(Texts()[0].find("Файл Shbl.dat не будет перезаписан, пока его копия не сделана."), std::string::npos)
        << Utf8(Texts()[0]);
    EXPECT_EQ(Form15->TemplateTotal, 0);
    Boxes().Clear();
    vcltest::Click(Form15->Button1);
    vcltest::Click(Form15->Button2);
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find("Шаблоны не сохранены: поврежденный файл Shbl.dat остается как есть."),
              std::string::npos)
        << Utf8(Texts()[0]);
    EXPECT_EQ(FileText("Shbl.dat"), garbage);
    Boxes().Clear();

    rmdir(copy.c_str());
    vcltest::Click(Form15->Button2);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Копия поврежденного файла Shbl.dat сохранена как Shbl.dat.bak."});
    EXPECT_EQ(FileText("Shbl.dat.bak"), garbage);
    EXPECT_EQ(battle::ReadTemplateFile(programtest::InFolder("Shbl.dat")).templates.size(), 1u);
    Boxes().Clear();

    // Read at the next start, the same damage keeps the one copy.
    scratch::WriteFile(programtest::InFolder("Shbl.dat"), garbage);
    Form15->Timer1Timer(nullptr);
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find("Шаблоны из него не прочитаны. Копия файла сохранена как Shbl.dat.bak."),
              std::string::npos)
        << Utf8(Texts()[0]);
    EXPECT_NE(access(programtest::InFolder("Shbl.dat.bak2").c_str(), F_OK), 0);
    unlink(copy.c_str());
}

// The default template cannot be deleted; deleting one before it keeps the
// default on the same template and saves the defaults.
TEST_F(PlayerDefaults, DeletingBeforeAfterAndAtTheDefaultTemplate) {
    ASSERT_TRUE(Form15->AddTemplate("Четвертый"));
    vcltest::Click(Form15->Button2);
    Form14->CheckBox1->SetChecked(true);
    Form14->Edit1->SetText("2");
    const std::string defaultName = Form15->Templates[2].name;
    Form15->Show();

    vcltest::SelectItem(Form15->ListBox1, 2);
    vcltest::Click(Form15->Button3);
    EXPECT_EQ(Texts(), std::vector<std::string>{"невозможно удалить шаблон т.к. он загружается по умолчанию"});
    EXPECT_EQ(Form15->TemplateTotal, 4);
    Boxes().Clear();

    vcltest::SelectItem(Form15->ListBox1, 3);
    vcltest::Click(Form15->Button3);
    EXPECT_EQ(Form15->TemplateTotal, 3);
    EXPECT_EQ(Form14->Edit1->Text(), "2");
    EXPECT_EQ(FileText("Shbl.dat").find("Четвертый"), std::string::npos);

    const std::string second = Form15->Templates[1].name;
    vcltest::SelectItem(Form15->ListBox1, 0);
    vcltest::Click(Form15->Button3);
    EXPECT_TRUE(Texts().empty());
    ASSERT_EQ(Form15->TemplateTotal, 2);
    EXPECT_EQ(Form15->Templates[0].name, second);
    EXPECT_EQ(Form14->Edit1->Text(), "1");
    EXPECT_EQ(Form15->Templates[1].name, defaultName);
    EXPECT_EQ(Form14->ListBox1->ItemIndex(), 1);
    EXPECT_TRUE(scratch::Lines(FileText("def.dat")).back() == "1");
    EXPECT_EQ(Form16->ListBox1->Items()->ToVector(), (std::vector<std::string>{second, defaultName}));

    // Nothing chosen: nothing happens.
    Form15->ListBox1->SetItemIndex(-1);
    vcltest::Click(Form15->Button3);
    EXPECT_EQ(Form15->TemplateTotal, 2);

    // The last ones gone, every list is empty and the file too.
    vcltest::Click(Form14->CheckBox1);
    for (int left = 2; left > 0; --left) {
        vcltest::SelectItem(Form15->ListBox1, 0);
        vcltest::Click(Form15->Button3);
    }
    EXPECT_EQ(Form15->TemplateTotal, 0);
    EXPECT_EQ(Form15->ListBox1->Items()->Count(), 0);
    EXPECT_EQ(Form17->ListBox1->Items()->Count(), 0);
    EXPECT_EQ(FileText("Shbl.dat"), "");
    EXPECT_TRUE(Texts().empty());
}

// "Новый бой" needs no name list; the update command tells and marks.
TEST_F(PlayerDefaults, NewBattleWithoutTheOfficerListAndTheUpdateCommand) {
    const std::string kept = programtest::InFolder("of.dat.kept");
    ASSERT_EQ(rename(programtest::InFolder("of.dat").c_str(), kept.c_str()), 0);
    Form14->Edit2->SetText("Адмирал Флота");
    form->N7->Click();
    rename(kept.c_str(), programtest::InFolder("of.dat").c_str());
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(form->ListBox1->Items()->ToVector(), std::vector<std::string>{"Адмирал Флота"});
    EXPECT_EQ(form->ListBox2->Items()->ToVector(), std::vector<std::string>{Form14->Edit3->Text()});
    vcltest::Advance(3000);
    EXPECT_EQ(form->ValueListEditor3->Keys(1), "Адмирал");
    Form14->Edit2->SetText("Я");

    EXPECT_FALSE(form->Edit3->Visible());
    EXPECT_FALSE(form->Edit3->Text().empty());
    form->CheckBox1->SetChecked(false);
    form->N33->Click();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Будет осуществлен поиск обновлений в фоновом режиме"});
    EXPECT_TRUE(form->CheckBox1->Checked());
    form->CheckBox1->SetChecked(false);
}
