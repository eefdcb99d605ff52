#include "windows/mainteme.h"

#include <cstdlib>
#include <exception>

#include "battle/namelist.h"
#include "rtl/errors.h"
#include "rtl/random.h"
#include "rtl/textfile.h"
#include "skin/core/storedskins.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/windows/scrollbox.h"
#include "vcl/wintext.h"
#include "windows/analis.h"
#include "windows/dataform.h"
#include "windows/defteh.h"
#include "windows/editor.h"
#include "windows/entrylists.h"
#include "windows/form_crators.h"
#include "windows/klan.h"
#include "windows/loadshbl1.h"
#include "windows/loadshbl2.h"
#include "windows/log.h"
#include "windows/medaleditor.h"
#include "windows/obnov.h"
#include "windows/oficers.h"
#include "windows/opt.h"
#include "windows/podbor_dialog.h"
#include "windows/shabln.h"
#include "windows/stat.h"
#include "windows/tehno.h"
#include "windows/unitsinfo.h"
#include "windows/wait.h"

using namespace vcl;

TForm1* Form1 = nullptr;

namespace {

// Layout of one side: its box, the list and name row above the four editors.
constexpr int kSideWidth = 560;
constexpr int kSideHeight = 574;
constexpr int kMargin = 8;
// What the update search compares with the build its site offers.
const char* const kBuildNumber = "3.6";

std::string CurrentDirectory() {
    WCHAR buffer[MAX_PATH + 1] = {};
    DWORD length = GetCurrentDirectoryW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) return ".";
    return FromWide(buffer, static_cast<int>(length));
}

void ShowWindowOf(TForm* form) {
    if (form) form->Show();
}

// A menu command that shows a window (the variable is read at the click:
// the windows are created after this one).
template <class F>
TNotifyEvent ShowForm(F* const& form) {
    return [&form](TObject*) { ShowWindowOf(form); };
}

}  // namespace

TForm1::TForm1(TComponent* owner)
    : TForm(owner), input_(std::make_unique<battle::BattleInput>()), stored_(std::make_unique<StoredEditors>()) {
    SetName("Form1");
    SetCaption("Симулятор V3.6");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetLeft(75);
    SetTop(0);
    DeclareSkinManager();
    DeclareMenus();
    SetClientSize(2 * kSideWidth + 3 * kMargin, kSideHeight + 60);
    DeclareSide(1);
    DeclareSide(2);

    const int bottom = kMargin + kSideHeight + 6;
    RadioGroup1 = Declare<TRadioGroup>(this, "RadioGroup1")
                      .Bounds(kMargin, bottom, 260, 42)
                      .Caption("Наш флот")
                      .Items({"Атакует", "Защищается"})
                      .With([](TRadioGroup* group) {
                          group->SetColumns(2);
                          group->SetItemIndex(0);
                      });
    const int right = ClientWidth() - kMargin;
    Button5 = Declare<TButton>(this, "Button5")
                  .Bounds(right - 180, bottom + 8, 180, 32)
                  .Caption("Начать расчет")
                  .OnClick(Bind(this, &TForm1::Button5Click));
    Button6 = Declare<TButton>(this, "Button6")
                  .Bounds(right - 180 - 8 - 140, bottom + 8, 140, 32)
                  .Caption("Подбор флота")
                  .OnClick(Bind(this, &TForm1::Button6Click));
    CheckBox1 = Declare<TCheckBox>(this, "CheckBox1").Bounds(280, bottom + 16, 20, 17).Visible(false);
    Edit3 = Declare<TEdit>(this, "Edit3").Bounds(304, bottom + 14, 40, 21).Text(kBuildNumber).Visible(false);

    DeclareTimers();
    OnCreate = Bind(this, &TForm1::FormCreate);
    OnCloseQuery = Bind(this, &TForm1::FormCloseQuery);
}

TForm1::~TForm1() = default;

void TForm1::DeclareSkinManager() {
    sSkinManager1 = new skin::TsSkinManager(this);
    sSkinManager1->SetName("sSkinManager1");
    sSkinManager1->SetActive(false);
    sSkinManager1->SetSkinDirectory("c:\\Skins");
    skin::AddOwnStoredSkins(sSkinManager1->InternalSkins());
    sSkinManager1->SetSkinName("Cold (internal)");
    sSkinManager1->MenuSupport().IcoLineSkin = "ICOLINE";
}

void TForm1::DeclareMenus() {
    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    TMenuItem* root = MainMenu1->Items();

    N1 = DeclareMenuItem(this, root, "N1", "файл");
    N7 = DeclareMenuItem(this, N1, "N7", "Новый бой", Bind(this, &TForm1::N7Click));
    N25 = DeclareMenuItem(this, N1, "N25", "-");
    N8 = DeclareMenuItem(this, N1, "N8", "Открыть шаблон", ShowForm(Form16));
    N9 = DeclareMenuItem(this, N1, "N9", "Анализ отчета", ShowForm(Form18));
    N32 = DeclareMenuItem(this, N1, "N32", "-");
    N26 = DeclareMenuItem(this, N1, "N26", "Импорт базы даннах", Bind(this, &TForm1::N26Click));
    N33 = DeclareMenuItem(this, N1, "N33", "Поиск обновлений", Bind(this, &TForm1::N33Click));
    N10 = DeclareMenuItem(this, N1, "N10", "-");
    N11 = DeclareMenuItem(this, N1, "N11", "Выход", Bind(this, &TForm1::N11Click));

    N2 = DeclareMenuItem(this, root, "N2", "Редактор");
    N3 = DeclareMenuItem(this, N2, "N3", "Юниты", ShowForm(Form2));
    N4 = DeclareMenuItem(this, N2, "N4", "Шаблоны", ShowForm(Form15));
    N5 = DeclareMenuItem(this, N2, "N5", "-");
    N27 = DeclareMenuItem(this, N2, "N27", "Медали", ShowForm(form911));
    N28 = DeclareMenuItem(this, N2, "N28", "Технологии", ShowForm(Form26));
    O1 = DeclareMenuItem(this, N2, "O1", "Oфицеры", ShowForm(Form27));
    N6 = DeclareMenuItem(this, N2, "N6", "Базовые технологии", ShowForm(Form14));

    N12 = DeclareMenuItem(this, root, "N12", "Информация");
    N13 = DeclareMenuItem(this, N12, "N13", "Характеристики юнитов", ShowForm(infoform));
    N14 = DeclareMenuItem(this, N12, "N14", "Описание способностей");
    N15 = DeclareMenuItem(this, N12, "N15", "Описания технологий");
    N14->SetVisible(false);
    N15->SetVisible(false);
    N16 = DeclareMenuItem(this, N12, "N16", "-");
    N17 = DeclareMenuItem(this, N12, "N17", "Благодарности", ShowForm(formcreators));

    N19 = DeclareMenuItem(this, root, "N19", "Настройки", ShowForm(Form13));
    SetMenu(MainMenu1);

    // Over the editors of side 1 and of side 2.
    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    N20 = DeclareMenuItem(this, PopupMenu1->Items(), "N20", "Использовать шаблон",
                          ShowForm(Form16));
    N24 = DeclareMenuItem(this, PopupMenu1->Items(), "N24", "Загрузить по умолчанию",
                          Bind(this, &TForm1::N24Click));
    N29 = DeclareMenuItem(this, PopupMenu1->Items(), "N29", "Сохранить в шаблон", Bind(this, &TForm1::N29Click));
    PopupMenu2 = new TPopupMenu(this);
    PopupMenu2->SetName("PopupMenu2");
    N21 = DeclareMenuItem(this, PopupMenu2->Items(), "N21", "Взять из отчета",
                          ShowForm(Form18));
    N22 = DeclareMenuItem(this, PopupMenu2->Items(), "N22", "-");
    N23 = DeclareMenuItem(this, PopupMenu2->Items(), "N23", "Взять из шаблона",
                          ShowForm(Form17));
    N30 = DeclareMenuItem(this, PopupMenu2->Items(), "N30", "-");
    N31 = DeclareMenuItem(this, PopupMenu2->Items(), "N31", "Сохранить в шаблон", Bind(this, &TForm1::N31Click));
}

void TForm1::DeclareSide(int side) {
    const bool own = side == 1;
    TPopupMenu* popup = own ? PopupMenu1 : PopupMenu2;
    // The side's fleet entry lies in a scroll box that wears the skin; the
    // two boxes share the form's width above the start row.
    const int half = ClientWidth() / 2;
    auto* scroll = new skin::TsScrollBox(this);
    scroll->SetName(own ? "sScrollBox1" : "sScrollBox2");
    scroll->SetParent(this);
    scroll->SetBounds(own ? 0 : half, 0, own ? half : ClientWidth() - half, kSideHeight + 8);
    scroll->SetPopupMenu(popup);
    scroll->SkinData()->SetSkinSection("PANEL_LOW");
    (own ? sScrollBox1 : sScrollBox2) = scroll;
    TGroupBox* box = Declare<TGroupBox>(scroll, own ? "GroupBox1" : "GroupBox2")
                         .Bounds(own ? kMargin - 4 : kMargin / 2 - 2, kMargin - 6, kSideWidth, kSideHeight)
                         .Caption(own ? "Сторона 1" : "Сторона 2");
    (own ? GroupBox1 : GroupBox2) = box;
    const std::string n = own ? "1" : "2";

    // Participants and the name of the current one.
    TLabel* sab = Declare<TLabel>(box, own ? "Label1" : "Label2").Bounds(12, 20, 140, 13).Caption("САБ");
    TListBox* list = Declare<TListBox>(box, "ListBox" + n)
                         .Bounds(12, 36, 176, 98)
                         .Items({own ? "Я" : "Враг"})
                         .OnClick(Bind(this, own ? &TForm1::ListBox1Click : &TForm1::ListBox2Click));
    TLabel* rename = Declare<TLabel>(box, own ? "Label3" : "Label4")
                         .Bounds(200, 20, kSideWidth - 212, 13)
                         .Caption("Смена имени текущего участника саб");
    TEdit* name = Declare<TEdit>(box, "Edit" + n)
                      .Text(own ? "Я" : "Враг")
                      .Bounds(200, 36, kSideWidth - 212, 21)
                      .OnChange(Bind(this, own ? &TForm1::Edit1Change : &TForm1::Edit2Change));
    TButton* add = Declare<TButton>(box, own ? "Button1" : "Button3")
                       .Bounds(200, 70, 240, 27)
                       .Caption("Добавить нового участника")
                       .OnClick(Bind(this, own ? &TForm1::Button1Click : &TForm1::Button3Click));
    TButton* remove = Declare<TButton>(box, own ? "Button2" : "Button4")
                          .Bounds(200, 105, 240, 27)
                          .Caption("Удалить участника")
                          .OnClick(Bind(this, own ? &TForm1::Button2Click : &TForm1::Button4Click));

    // Units in a tall column on the left, the levels and medals beside it.
    const int top = 144, column = 282, gap = 8, right = 12 + column + gap, rightWidth = kSideWidth - right - 12;
    const int bottom = kSideHeight - 10;
    TValueListEditor* units = DeclareEditor(box, own ? "ValueListEditor1" : "ValueListEditor4", "Корабль",
                                            "Количество", 12, top, column, bottom - top, popup);
    TValueListEditor* techs = DeclareEditor(box, own ? "ValueListEditor2" : "ValueListEditor5", "Технология",
                                            "Уровень", right, top, rightWidth, 150, popup);
    TValueListEditor* officers = DeclareEditor(box, own ? "ValueListEditor3" : "ValueListEditor6", "Офицер",
                                               "Уровень", right, top + 150 + gap, rightWidth, 122, popup);
    const int medalTop = top + 150 + gap + 122 + gap;
    TValueListEditor* medals = DeclareEditor(box, own ? "ValueListEditor7" : "ValueListEditor8", "Медаль",
                                             "Количество", right, medalTop, rightWidth, bottom - medalTop, popup);

    // The box scrolls as far as the side's box reaches.
    scroll->UpdateScrollRange();

    if (own) {
        Label1 = sab, Label3 = rename, ListBox1 = list, Edit1 = name, Button1 = add, Button2 = remove;
        ValueListEditor1 = units, ValueListEditor2 = techs, ValueListEditor3 = officers, ValueListEditor7 = medals;
    } else {
        Label2 = sab, Label4 = rename, ListBox2 = list, Edit2 = name, Button3 = add, Button4 = remove;
        ValueListEditor4 = units, ValueListEditor5 = techs, ValueListEditor6 = officers, ValueListEditor8 = medals;
    }
}

void TForm1::DeclareTimers() {
    Timer1 = DeclareTimer(this, "Timer1", 1, false, Bind(this, &TForm1::Timer1Timer));
    Timer2 = DeclareTimer(this, "Timer2", 1000, true, Bind(this, &TForm1::Timer2Timer));
    Timer6 = DeclareTimer(this, "Timer6", 3000, false, Bind(this, &TForm1::Timer6Timer));
    Timer7 = DeclareTimer(this, "Timer7", 5000, true, Bind(this, &TForm1::Timer7Timer));
    Timer8 = DeclareTimer(this, "Timer8", 1, true, Bind(this, &TForm1::Timer8Timer));
    addnew1 = DeclareTimer(this, "addnew1", 1, false, Bind(this, &TForm1::addnew1Timer));
    addnew2 = DeclareTimer(this, "addnew2", 1, false, Bind(this, &TForm1::addnew2Timer));
    DeclareSelectionTimers();
}

// ---- Start and shut-down.

void TForm1::ReadNameList(const char* fileName, TValueListEditor* side1, TValueListEditor* side2, int& count) {
    battle::NameList list;
    try {
        list = battle::ReadNameList(fileName);
    } catch (const rtl::EInOutError& error) {
        list.message = std::string(error.what()) + " Список имен оставлен пустым.";
    }
    side1->Clear();
    side2->Clear();
    for (const std::string& name : list.names) {
        ++count;
        side1->InsertRow(name, "0", true);
        side2->InsertRow(name, "0", true);
    }
    if (!list.message.empty()) Application->MessageBox(list.message, Application->Title(), MB_OK | MB_ICONWARNING);
}

// What the start and "Новый бой" both begin with: a fresh run, one
// participant a side, the random generator seeded anew.
void TForm1::ResetBattle() {
    clrst();
    StartDir = CurrentDirectory();
    if (engine_) engine_->BattleNo = 1;
    input_->PartCount[1] = input_->PartCount[2] = 1;
    // A benchmark that fights the same battles without windows fixes the
    // draws so that both sides of its comparison fight the same ones.
    if (const char* seed = std::getenv("NORVIX_BENCH_SEED"))
        rtl::ProgramRandom().Seed(std::strtoull(seed, nullptr, 10));
    else
        rtl::ProgramRandom().Randomize();
    CurPart[1] = CurPart[2] = 0;
    OfficerRowCount = 0;
    TechRowCount = 0;
}

void TForm1::FormCreate(TObject* Sender) {
    ResetBattle();
    // A missing or damaged list is told once; the start goes on, as the
    // editors are rebuilt from the database a second later anyway.
    ReadNameList(battle::kOfficerListFile, ValueListEditor3, ValueListEditor6, OfficerRowCount);
    ReadNameList(battle::kTechListFile, ValueListEditor2, ValueListEditor5, TechRowCount);
    Timer2->SetEnabled(true);
    ListBox1->SetItemIndex(0);
    ListBox2->SetItemIndex(0);
}

void TForm1::Timer2Timer(TObject* Sender) {
    Timer2->SetEnabled(false);
    Form20->Show();
    Form20->Timer1->SetEnabled(true);
    loadships();
}

namespace {

struct WindowPlace {
    const char* section;
    int top, left;  // when the file has none
};
constexpr WindowPlace kMainPlace{"main", 0, 75}, kLogPlace{"log", 113, 189}, kStatPlace{"stat", 21, 652};

// Where the window stands when shown normally: a minimized window reports a
// place far off the screen (-32000), a maximized one the screen's corner.
POINT NormalPlace(const TForm* form) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (form->HandleAllocated() && form->WindowState() != wsNormal &&
        GetWindowPlacement(form->Handle(), &placement))
        return {placement.rcNormalPosition.left, placement.rcNormalPosition.top};
    return {form->Left(), form->Top()};
}

// A window whose title bar would lie on no screen (a place saved while it
// was minimized, or on a screen since taken away) could never be reached.
bool TitleOnScreen(const TForm* form, int left, int top) {
    // Also keeps the sums below in range.
    constexpr int kFar = 1 << 30;
    if (left < -kFar || left > kFar || top < -kFar || top > kFar) return false;
    const int titleHeight = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    const RECT title{left, top, left + form->Width(), top + titleHeight};
    return MonitorFromRect(&title, MONITOR_DEFAULTTONULL) != nullptr;
}

}  // namespace

void TForm1::Timer8Timer(TObject* Sender) {
    Timer8->SetEnabled(false);
    if (!Form13->CheckBox8->Checked()) return;
    StartDir = CurrentDirectory();
    TIniFile file(StartDir + "\\cords.ini");
    auto place = [&file](TForm* form, const WindowPlace& where) {
        int top = file.ReadInteger(where.section, "top", where.top);
        int left = file.ReadInteger(where.section, "left", where.left);
        if (!TitleOnScreen(form, left, top)) {
            top = where.top;
            left = where.left;
        }
        // A place from a larger desktop still brings the whole window back.
        form->PlaceOnWorkArea(left, top);
    };
    place(this, kMainPlace);
    place(Form7, kLogPlace);
    place(Form10, kStatPlace);
}

void TForm1::FormCloseQuery(TObject* Sender, bool& CanClose) {
    // The battle being fought finishes first (its tick lets this request
    // through); the program closes right after it.
    if (inBattleTick_) {
        closeAfterBattle_ = true;
        CanClose = false;
        return;
    }
    // Between two battles of a run (or two steps of a selection): nothing
    // further starts.
    if (runGoing_) {
        StopRun();
        podbor2->SetEnabled(false);
        podbor3->SetEnabled(false);
    }
    StartDir = CurrentDirectory();
    // Positions that cannot be written must not keep the program from ending.
    try {
        TIniFile file(StartDir + "\\cords.ini");
        auto keep = [&file](TForm* form, const WindowPlace& where) {
            const POINT place = NormalPlace(form);
            file.WriteInteger(where.section, "top", place.y);
            file.WriteInteger(where.section, "left", place.x);
        };
        keep(this, kMainPlace);
        keep(Form7, kLogPlace);
        keep(Form10, kStatPlace);
    } catch (const std::exception& error) {
        Application->ShowException(error.what());
    }
    Fo8->Timer1->SetEnabled(true);
    Fo8->ShowModal();
}

// ---- Menu commands.

void TForm1::N7Click(TObject* Sender) {
    if (RefuseWhileRunning()) return;
    // The editors are rebuilt from the database, so no name list is read here.
    ResetBattle();
    ValueListEditor3->Clear();
    ValueListEditor6->Clear();
    ListBox1->Items()->Clear();
    ListBox1->Items()->Add(Form14->Edit2->Text());
    ListBox2->Items()->Clear();
    ListBox2->Items()->Add(Form14->Edit3->Text());
    ListBox1->SetItemIndex(0);
    ListBox2->SetItemIndex(0);
    Timer2->SetEnabled(true);
}

void TForm1::N11Click(TObject* Sender) { Close(); }

void TForm1::N26Click(TObject* Sender) { Form4->Timer6->SetEnabled(true); }

// The search runs in the update window's timer; the flag marks it as asked
// for, so that "nothing new" is told too.
void TForm1::N33Click(TObject* Sender) {
    Application->MessageBox("Будет осуществлен поиск обновлений в фоновом режиме", Application->Title(),
                            MB_OK | MB_ICONINFORMATION);
    if (poisk_obnov)
        if (auto* search = dynamic_cast<TTimer*>(poisk_obnov->FindComponent("Timer3"))) search->SetEnabled(true);
    CheckBox1->SetChecked(true);
}

void TForm1::Button6Click(TObject* Sender) {
    if (RefuseWhileRunning()) return;
    Form22->ShowModal();
}
