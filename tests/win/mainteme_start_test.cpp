// The start of the program: the window set, the main window's creation,
// the start timers and the menus.
#include "support/program_fixture.h"

#include <cstdio>

#include "battle/datatable.h"
#include "windows/dataform.h"
#include "windows/defteh.h"
#include "rtl/textfile.h"
#include "windows/form_crators.h"
#include "windows/log.h"
#include "windows/stat.h"
#include "windows/opt.h"
#include "windows/wait.h"

using namespace vcl;
using vcltest::Utf8;

namespace {

std::vector<std::string> Keys(TValueListEditor* editor) {
    std::vector<std::string> keys;
    for (int row = 1; row <= editor->Count(); ++row) keys.push_back(editor->Keys(row));
    return keys;
}

int RowsOfKind(std::string_view kind, int first, int last) {
    int count = 0;
    for (int row = first; row <= last; ++row) count += Form4->Table().Cell(battle::kColKind, row) == kind;
    return count;
}

}  // namespace

// One test: the sequence runs once per program, and each step relies on the
// ones before it.
TEST(StartSequence, WindowsInOrderThenTheTimersInStages) {
    vcltest::Clock();
    programtest::WorkFolder();
    programtest::Boxes();
    Application->Initialize();
    Application->SetTitle("Kemru");
    CreateProgramForms();

    // Thirty windows in the fixed order, the main window first and the only one shown.
    const char* const order[] = {"TForm1",   "TForm2",       "TForm4",        "TForm3",        "TForm5",
                                 "TForm7",   "TForm10",      "TForm11",       "TForm12",       "TForm13",
                                 "TForm14",  "TForm15",      "TForm16",       "TForm17",       "TForm18",
                                 "TForm20",  "TForm21",      "TFo8",          "Tform911",      "Tinfoform",
                                 "TForm26",  "TForm27",      "Tformcreators", "Tonlinesverka", "Tpoisk_obnov",
                                 "Tobnovl",  "Tpodborform",  "TForm22",       "Tpodborpr",     "Tpodborres"};
    ASSERT_EQ(Screen->FormCount(), 30);
    for (int i = 0; i < 30; ++i) EXPECT_STREQ(Screen->Forms(i)->ClassName(), order[i]) << i;
    EXPECT_EQ(Application->MainForm(), Form1);
    EXPECT_EQ(Application->Title(), "Kemru");
    EXPECT_EQ(Form1->Caption(), "Симулятор V3.6");
    for (int i = 1; i < 30; ++i) EXPECT_FALSE(Screen->Forms(i)->Visible()) << Screen->Forms(i)->ClassName();
    Form1->Show();
    vcltest::Pump();

    // Right after creation: one participant a side, both selected; the
    // officer and technology editors hold the lists' names.
    EXPECT_EQ(Form1->ListBox1->Items()->ToVector(), std::vector<std::string>{"Я"});
    EXPECT_EQ(Form1->ListBox2->Items()->ToVector(), std::vector<std::string>{"Враг"});
    EXPECT_EQ(Form1->ListBox1->ItemIndex(), 0);
    EXPECT_EQ(Form1->ListBox2->ItemIndex(), 0);
    EXPECT_EQ(Form1->RadioGroup1->ItemIndex(), 0);
    EXPECT_GT(Form1->OfficerRowCount, 0);
    EXPECT_EQ(Form1->ValueListEditor3->Count(), Form1->OfficerRowCount);
    EXPECT_EQ(Keys(Form1->ValueListEditor3), Keys(Form1->ValueListEditor6));
    EXPECT_EQ(Form1->ValueListEditor2->Count(), Form1->TechRowCount);
    EXPECT_EQ(Form1->Input().PartCount[1], 1);
    EXPECT_EQ(Form1->Input().PartCount[2], 1);
    EXPECT_FALSE(Form20->Visible());

    // After one second: the wait window, and the eight editors built from the database.
    vcltest::Advance(1000);
    EXPECT_TRUE(Form20->Visible());
    const std::vector<std::string> officers = Keys(Form1->ValueListEditor3);
    ASSERT_GE(officers.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(officers.begin(), officers.begin() + 4),
              (std::vector<std::string>{"Адмирал", "Боевой опыт", "Кристалы Хайдариана", "Кислотный баcсейн"}));
    EXPECT_EQ(Keys(Form1->ValueListEditor6), officers);
    EXPECT_EQ(Form1->ValueListEditor3->Count(),
              4 + RowsOfKind(battle::kKindOfficer, battle::kOfficerFirstRow, battle::kOfficerLastRow));
    const std::vector<std::string> techs = Keys(Form1->ValueListEditor2);
    ASSERT_GE(techs.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(techs.begin(), techs.begin() + 3),
              (std::vector<std::string>{"Оружейная", "Структурная", "Шитовая"}));
    EXPECT_EQ(Form1->ValueListEditor5->Count(),
              3 + RowsOfKind(battle::kKindTech, battle::kTechFirstRow, battle::kTechLastRow));
    const int units = RowsOfKind(battle::kKindUnit, battle::kUnitFirstRow, battle::kUnitLastRow);
    EXPECT_GT(units, 0);
    EXPECT_EQ(Form1->ValueListEditor1->Count(), units);
    EXPECT_EQ(Form1->ValueListEditor4->Count(), units);
    EXPECT_EQ(Form1->ShipRowCount(), units);
    EXPECT_EQ(Form1->ValueListEditor7->Count(),
              RowsOfKind(battle::kKindMedal, battle::kMedalFirstRow, battle::kMedalLastRow));
    EXPECT_EQ(Form1->ValueListEditor1->Keys(1), Form4->Table().Cell(battle::kColName, Form1->ShipRows()[0]));
    EXPECT_EQ(Form1->ValueListEditor1->Values(1), "0");
    EXPECT_EQ(Form1->ValueListEditor1->TitleCaptions()->Get(0), "Корабль");
    EXPECT_EQ(Form1->ValueListEditor6->TitleCaptions()->Get(0), "Офицер");
    EXPECT_EQ(Form1->ValueListEditor8->TitleCaptions()->Get(1), "Количество");

    // The wait window closes three seconds after start.
    vcltest::Advance(2000);
    EXPECT_FALSE(Form20->Visible());

    // A second rebuild counts the entries afresh.
    Form1->loadships();
    EXPECT_EQ(Form1->ShipRowCount(), units);
    EXPECT_EQ(Form1->Input().MedalRowCount, Form1->ValueListEditor7->Count());
}

// Without of.dat the creation tells the player once and goes on: the
// technologies are read and the start timer is armed.
TEST(StartSequence, MissingOfficerListIsToldOnceAndTheStartGoesOn) {
    TForm1* form = programtest::StartProgram();
    const std::string kept = programtest::InFolder("of.dat.kept");
    ASSERT_EQ(rename(programtest::InFolder("of.dat").c_str(), kept.c_str()), 0);
    programtest::Boxes().Clear();
    form->Timer2->SetEnabled(false);
    form->ValueListEditor2->Clear();

    form->FormCreate(form);
    rename(kept.c_str(), programtest::InFolder("of.dat").c_str());

    ASSERT_EQ(programtest::Boxes().Shown().size(), 1u);
    EXPECT_NE(programtest::Boxes().Shown()[0].text.find("of.dat"), std::string::npos)
        << Utf8(programtest::Boxes().Shown()[0].text);
    EXPECT_GT(form->ValueListEditor2->Count(), 0);
    EXPECT_TRUE(form->Timer2->Enabled());
    vcltest::Advance(3000);
    EXPECT_GE(form->ValueListEditor3->Count(), 4);
    EXPECT_EQ(form->ValueListEditor3->Keys(1), "Адмирал");
}

TEST(MainMenu, CaptionsVisibilityAndTheWindowsItOpens) {
    TForm1* form = programtest::StartProgram();
    struct Item {
        TMenuItem* item;
        const char* caption;
    };
    const Item items[] = {{form->N1, "файл"},       {form->N7, "Новый бой"},         {form->N8, "Открыть шаблон"},
                          {form->N9, "Анализ отчета"}, {form->N26, "Импорт базы даннах"},
                          {form->N33, "Поиск обновлений"}, {form->N11, "Выход"},      {form->N2, "Редактор"},
                          {form->N3, "Юниты"},      {form->N4, "Шаблоны"},           {form->N27, "Медали"},
                          {form->N28, "Технологии"}, {form->O1, "Oфицеры"},         {form->N6, "Базовые технологии"},
                          {form->N12, "Информация"}, {form->N13, "Характеристики юнитов"},
                          {form->N17, "Благодарности"}, {form->N19, "Настройки"},
                          {form->N20, "Использовать шаблон"}, {form->N24, "Загрузить по умолчанию"},
                          {form->N29, "Сохранить в шаблон"}, {form->N21, "Взять из отчета"},
                          {form->N23, "Взять из шаблона"},    {form->N31, "Сохранить в шаблон"}};
    for (const Item& item : items) {
        EXPECT_EQ(item.item->Caption(), item.caption) << item.item->Name();
        EXPECT_TRUE(item.item->Visible()) << item.item->Name();
    }
    EXPECT_FALSE(form->N14->Visible());
    EXPECT_FALSE(form->N15->Visible());
    for (TMenuItem* line : {form->N25, form->N32, form->N10, form->N5, form->N16, form->N22, form->N30})
        EXPECT_TRUE(line->IsLine()) << line->Name();
    EXPECT_EQ(form->N7->Parent(), form->N1);
    EXPECT_EQ(form->O1->Parent(), form->N2);

    vcltest::ChooseMenuItem(form, form->N19);
    EXPECT_TRUE(Form13->Visible());
    Form13->Hide();
    vcltest::ChooseMenuItem(form, form->N17);
    EXPECT_TRUE(formcreators->Visible());
    formcreators->Hide();

    // The database import is armed, not run, by the command.
    form->N26->Click();
    EXPECT_TRUE(Form4->Timer6->Enabled());
    Form4->Timer6->SetEnabled(false);
}

// Every window of the set has its caption (the second name prompt is the
// first one's kind, so it is left out).
TEST(WindowSet, Captions) {
    programtest::StartProgram();
    const char* const captions[] = {
        "Симулятор V3.6",        "Редктор юнитов",        "База данных",           "Открыть юнит",
        "Скорострел от",         "Симуляция",             "статистический модуль", "введите имя",
        "",                      "Настройки",             "Технологии по умолчанию", "Редактор шаблонов",
        "Открытие шблона",       "Открыть шаблон",        "Анализ шпионского отчета", "пожалуйста подождите",
        "Удаление юнита",        "Warring",               "Редактор медалей",      "Характеристики юнитов",
        "Редактор технологий",   "Редактор офицеров",     "Благодарности",         "Сверка скорострелов",
        "poisk_obnov",           "Обнаружен обновления",  "podbor",                "Предупреждение",
        "прогресс подбора флота", "Результаты подбора"};
    for (int i = 0; i < 30; ++i)
        if (i != 8) EXPECT_EQ(Screen->Forms(i)->Caption(), captions[i]) << Screen->Forms(i)->ClassName();
}

// With the option on, the positions come from cords.ini, and a window whose
// section is missing takes its default place.
TEST(WindowPositions, ReadAtStartWithDefaultsForMissingSections) {
    TForm1* form = programtest::StartProgram();
    rtl::WriteAllLines(programtest::InFolder("cords.ini"),
                       {"[main]", "top=12", "left=34", "[log]", "top=56", "left=78"});
    Form13->CheckBox8->SetChecked(true);
    form->Timer8Timer(form);
    EXPECT_EQ(form->Top(), 12);
    EXPECT_EQ(form->Left(), 34);
    EXPECT_EQ(Form7->Top(), 56);
    EXPECT_EQ(Form7->Left(), 78);
    EXPECT_EQ(Form10->Top(), 21);
    EXPECT_EQ(Form10->Left(), 652);

    // A place on no screen (saved while minimized, before) gives the default one.
    rtl::WriteAllLines(programtest::InFolder("cords.ini"),
                       {"[main]", "top=12", "left=34", "[log]", "top=-32000", "left=-32000", "[stat]",
                        "top=5000", "left=40"});
    form->Timer8Timer(form);
    EXPECT_EQ(Form7->Top(), 113);
    EXPECT_EQ(Form7->Left(), 189);
    EXPECT_EQ(Form10->Top(), 21);
    EXPECT_EQ(Form10->Left(), 652);
    EXPECT_EQ(form->Top(), 12);

    // A place from a larger desktop, or numbers that are none, bring every
    // window back whole onto the work area; only a sizeable one shrinks.
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int mainWidth = form->Width();
    Form10->SetBounds(0, 0, 3000, 2000);
    rtl::WriteAllLines(programtest::InFolder("cords.ini"), {"[main]", "top=12", "left=" + std::to_string(area.right - 100),
                                                            "[log]", "top=2147483647", "left=abc", "[stat]", "top=-3"});
    form->Timer8Timer(form);
    for (TForm* f : std::initializer_list<TForm*>{form, Form7, Form10}) {
        RECT r, inside;
        GetWindowRect(f->Handle(), &r);
        EXPECT_TRUE(IntersectRect(&inside, &r, &area) && EqualRect(&inside, &r)) << f->Name() << " at " << r.left;
    }
    EXPECT_EQ(form->Left(), area.right - mainWidth);
    EXPECT_EQ(form->Width(), mainWidth);
    EXPECT_EQ(Form7->Left(), 189);
    EXPECT_EQ(Form10->Width(), area.right - area.left);
    Form10->SetBounds(652, 21, 520, 520);

    // With the option off nothing moves.
    Form13->CheckBox8->SetChecked(false);
    form->SetBounds(75, 0, form->Width(), form->Height());
    form->Timer8Timer(form);
    EXPECT_EQ(form->Left(), 75);
    remove(programtest::InFolder("cords.ini").c_str());
}

// "Новый бой": one participant a side named after the defaults window, the
// officer editors empty until the rebuild a second later.
TEST(MainMenu, NewBattleStartsAgainWithTheDefaultNames) {
    TForm1* form = programtest::StartProgram();
    form->ListBox1->Items()->Add("Союзник");
    form->Input().PartCount[1] = 2;
    form->CurPart[1] = 1;
    Form14->Edit2->SetText("Командир");

    vcltest::ChooseMenuItem(form, form->N7);
    EXPECT_EQ(form->ListBox1->Items()->ToVector(), std::vector<std::string>{"Командир"});
    EXPECT_EQ(form->ListBox2->Items()->ToVector(), std::vector<std::string>{Form14->Edit3->Text()});
    EXPECT_EQ(form->Input().PartCount[1], 1);
    EXPECT_EQ(form->CurPart[1], 0);
    EXPECT_EQ(form->ValueListEditor3->Count(), 0);
    EXPECT_EQ(form->ValueListEditor6->Count(), 0);
    vcltest::Advance(1000);
    EXPECT_EQ(form->ValueListEditor3->Keys(1), "Адмирал");
    vcltest::Advance(2000);
    Form14->Edit2->SetText("Я");
}
