// A demonstration form with every kind of control, declared the way the
// program's windows declare theirs; its screenshot is saved for a person
// to look at (vcl_demo.bmp in the build folder). Also the ini file and the
// registry.
#include "gtest_windows.h"
#include "support/vcl_test_support.h"

#include <cstdio>

#include "rtl/textfile.h"

using namespace vcl;

namespace {

class TDemoForm : public TForm {
public:
    explicit TDemoForm(TComponent* owner) : TForm(owner) {
        SetName("DemoForm");
        SetCaption("Настройки");
        SetBorderStyle(bsSingle);
        SetClientSize(640, 440);
        SetLeft(40);
        SetTop(40);
        Menu1 = new TMainMenu(this);
        N1 = DeclareMenuItem(this, Menu1->Items(), "N1", "файл");
        DeclareMenuItem(this, N1, "N7", "Новый бой");
        DeclareMenuItem(this, N1, "N10", "-");
        DeclareMenuItem(this, N1, "N11", "Выход", [this](TObject*) { Close(); });
        DeclareMenuItem(this, Menu1->Items(), "N19", "Настройки");
        SetMenu(Menu1);

        GroupBox1 = Declare<TGroupBox>(this, "GroupBox1").Bounds(8, 8, 300, 150).Caption("Параметры");
        Label1 = Declare<TLabel>(GroupBox1, "Label1").Bounds(12, 24, 120, 13).Caption("количество раундов");
        Edit2 = Declare<TEdit>(GroupBox1, "Edit2").Bounds(160, 20, 120, 21).Text("8");
        Label2 = Declare<TLabel>(GroupBox1, "Label2").Bounds(12, 54, 120, 13).Caption("ID");
        SpinEdit1 = Declare<TSpinEdit>(GroupBox1, "SpinEdit1").Bounds(160, 50, 80, 21).With([](TSpinEdit* s) {
            s->SetMinValue(201);
            s->SetMaxValue(550);
            s->SetValue(201);
        });
        CheckBox2 = Declare<TCheckBox>(GroupBox1, "CheckBox2").Bounds(12, 84, 200, 17).Caption("сохранять логи");
        CheckBox4 = Declare<TCheckBox>(GroupBox1, "CheckBox4")
                        .Bounds(12, 108, 280, 17)
                        .Caption("Использовать статистический модуль")
                        .OnClick([this](TObject*) { ++statClicks; });
        RadioGroup1 = Declare<TRadioGroup>(this, "RadioGroup1")
                          .Bounds(8, 166, 300, 70)
                          .Caption("Наш флот")
                          .Items({"Атакует", "Защищается"})
                          .With([](TRadioGroup* g) { g->SetItemIndex(0); });
        Panel1 = Declare<TPanel>(this, "Panel1").Bounds(8, 244, 300, 30).Caption("Панель");
        ListBox1 = Declare<TListBox>(this, "ListBox1").Bounds(320, 8, 150, 80).Items({"Я", "Союзник"});
        CheckListBox1 = Declare<TCheckListBox>(this, "CheckListBox1")
                            .Bounds(480, 8, 150, 80)
                            .Items({"Регенерация", "Невидимость", "Броня"});
        ValueListEditor1 = Declare<TValueListEditor>(this, "ValueListEditor1").Bounds(320, 96, 310, 110);
        ValueListEditor1->TitleCaptions()->Clear();
        ValueListEditor1->TitleCaptions()->AddStrings(std::vector<std::string>{"Корабль", "Количество"});
        ValueListEditor1->InsertRow("Крейсер", "10", true);
        ValueListEditor1->InsertRow("Линкор", "0", true);
        StringGrid1 = Declare<TStringGrid>(this, "StringGrid1").Bounds(320, 214, 310, 90);
        for (int c = 0; c < 5; ++c)
            for (int r = 0; r < 5; ++r) StringGrid1->SetCells(c, r, std::to_string(r * 10 + c));
        ScrollBox1 = Declare<TScrollBox>(this, "ScrollBox1").Bounds(8, 282, 300, 60);
        Declare<TLabel>(ScrollBox1, "Label9").Bounds(4, 4, 500, 13).Caption("Прокручиваемая область с длинной строкой текста");
        Declare<TButton>(ScrollBox1, "Button9").Bounds(4, 30, 75, 25).Caption("внутри");
        Memo1 = Declare<TMemo>(this, "Memo1").Bounds(320, 312, 310, 60).Items({"Раунд 1/8", "Игрок: Я"});
        Memo1->SetScrollBars(ssVertical);
        sGauge1 = Declare<TGauge>(this, "sGauge1").Bounds(8, 350, 300, 20);
        sGauge1->SetProgress(45);
        sGauge1->SetSuffix("% (бой №1)");
        Button1 = Declare<TButton>(this, "Button1")
                      .Bounds(424, 400, 100, 25)
                      .Caption("сохранить")
                      .With([](TButton* b) { b->SetDefault(true); });
        Button2 = Declare<TButton>(this, "Button2")
                      .Bounds(530, 400, 100, 25)
                      .Caption("выйти")
                      .With([](TButton* b) { b->SetCancel(true); })
                      .OnClick([this](TObject*) { Close(); });
        Timer1 = DeclareTimer(this, "Timer1", 1000, true, [this](TObject*) {
            Timer1->SetEnabled(false);
            sGauge1->SetProgress(sGauge1->Progress() + 10);
        });
        OnCreate = [this](TObject*) { createdWith = ListBox1->Items()->Count(); };
    }

    TMainMenu* Menu1;
    TMenuItem* N1;
    TGroupBox* GroupBox1;
    TLabel *Label1, *Label2;
    TEdit* Edit2;
    TSpinEdit* SpinEdit1;
    TCheckBox *CheckBox2, *CheckBox4;
    TRadioGroup* RadioGroup1;
    TPanel* Panel1;
    TListBox* ListBox1;
    TCheckListBox* CheckListBox1;
    TValueListEditor* ValueListEditor1;
    TStringGrid* StringGrid1;
    TScrollBox* ScrollBox1;
    TMemo* Memo1;
    TGauge* sGauge1;
    TButton *Button1, *Button2;
    TTimer* Timer1;
    int statClicks = 0;
    int createdWith = -1;
};

}  // namespace

TEST(Demo, DeclaredFormWorksThroughTheTestDriverAndLooksLikeADialog) {
    vcltest::Clock();
    auto* form = NewForm<TDemoForm>(nullptr);
    EXPECT_EQ(form->createdWith, 2);
    form->Show();
    vcltest::Pump();

    // Driven by name, as the window tests will.
    TForm* found = vcltest::FindForm("DemoForm");
    ASSERT_EQ(found, form);
    auto* box = vcltest::Find<TCheckBox>(found, "CheckBox4");
    ASSERT_NE(box, nullptr);
    vcltest::Click(box);
    EXPECT_EQ(form->statClicks, 1);
    EXPECT_EQ(vcltest::Find<TMenuItem>(found, "N7")->Caption(), "Новый бой");
    EXPECT_EQ(vcltest::Find<TLabel>(found, "Label9")->Parent(), form->ScrollBox1);
    vcltest::Advance(1000);
    EXPECT_EQ(form->sGauge1->Progress(), 55);
    EXPECT_EQ(vcltest::MemoLines(form->Memo1), (std::vector<std::string>{"Раунд 1/8", "Игрок: Я"}));

    ASSERT_TRUE(vcltest::SaveScreenshot(form, "vcl_demo.bmp"));
    FILE* file = fopen("vcl_demo.bmp", "rb");
    ASSERT_NE(file, nullptr);
    fseek(file, 0, SEEK_END);
    long size = ftell(file);
    fclose(file);
    EXPECT_GT(size, 640L * 440 * 3);

    // The cancel button closes it with Esc.
    vcltest::PressKey(form->Edit2, VK_ESCAPE);
    EXPECT_FALSE(form->Visible());
    form->Free();
}

TEST(IniFile, CaseInsensitiveSectionsAndKeysDefaultsAndWriting) {
    const std::string path = "vcl_cords_test.ini";
    remove(path.c_str());
    {
        TIniFile ini(path);
        EXPECT_EQ(ini.ReadInteger("main", "top", 0), 0);
        EXPECT_EQ(ini.ReadInteger("stat", "left", 652), 652);
        ini.WriteInteger("main", "top", 10);
        ini.WriteInteger("main", "left", 75);
        ini.WriteInteger("log", "top", 113);
        ini.WriteString("Log", "Name", "Симуляция");
        ini.WriteInteger("MAIN", "TOP", -5);
    }
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("Main", "Top", 0), -5);
    EXPECT_EQ(ini.ReadInteger("main", "left", 0), 75);
    EXPECT_EQ(ini.ReadString("log", "name", ""), "Симуляция");
    EXPECT_EQ(ini.ReadInteger("log", "name", 7), 7);  // not a number: the default
    EXPECT_FALSE(ini.SectionExists("stat"));
    std::vector<std::string> lines = rtl::ReadAllLines(path);
    EXPECT_EQ(lines, (std::vector<std::string>{"[main]", "top=-5", "left=75", "[log]", "top=113", "Name=Симуляция"}));
    remove(path.c_str());
}

TEST(Registry, OpensCreatesAndKeepsIntegerValues) {
    TRegistry registry;
    registry.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey("software", true));
    ASSERT_TRUE(registry.OpenKey("NorvixSimLayerTest", true));
    registry.WriteInteger("rb", 0);
    EXPECT_TRUE(registry.ValueExists("rb"));
    EXPECT_EQ(registry.ReadInteger("rb"), 0);
    EXPECT_FALSE(registry.ValueExists("other"));
    EXPECT_THROW(registry.ReadInteger("other"), ERegistryException);
    registry.CloseKey();
    RegDeleteKeyW(HKEY_CURRENT_USER, L"software\\NorvixSimLayerTest");
    TRegistry fresh;
    EXPECT_FALSE(fresh.OpenKey("software\\NorvixSimLayerTest", false));
}
