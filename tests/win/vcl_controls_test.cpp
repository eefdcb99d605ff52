// The control behaviours the windows rely on.
#include "gtest_windows.h"
#include "support/vcl_test_support.h"

#include <cstdio>

using namespace vcl;
using vcltest::Pump;

namespace {

struct FormFixture : ::testing::Test {
    void SetUp() override {
        form = NewForm<TForm>(nullptr);
        form->SetClientSize(500, 400);
        form->Show();
    }
    void TearDown() override { form->Free(); }
    template <class T>
    T* Add(int left, int top, int width, int height) {
        T* control = new T(form);
        control->SetParent(form);
        control->SetBounds(left, top, width, height);
        return control;
    }
    TForm* form = nullptr;
};

std::function<void(TObject*)> Count(int& counter) {
    return [&counter](TObject*) { ++counter; };
}

}  // namespace

using Controls = FormFixture;

TEST_F(Controls, EditChangeFiresOnTypingAndOnRealChangesFromCode) {
    auto* edit = Add<TEdit>(10, 10, 200, 21);
    edit->SetText("Я");
    int changes = 0;
    edit->OnChange = Count(changes);
    edit->SetText("Я");
    EXPECT_EQ(changes, 0);
    edit->SetText("Враг");
    EXPECT_EQ(changes, 1);
    vcltest::TypeText(edit, "САБ");
    EXPECT_EQ(edit->Text(), "САБ");
    EXPECT_GE(changes, 4);  // every keystroke

    // The text is read once and kept; whatever changes the window is seen.
    HWND window = edit->Handle();
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"Союз"));
    EXPECT_EQ(edit->Text(), "Союз");
    SendMessageW(window, EM_SETSEL, 0, 2);
    SendMessageW(window, WM_CLEAR, 0, 0);
    EXPECT_EQ(edit->Text(), "юз");
    SendMessageW(window, EM_UNDO, 0, 0);
    EXPECT_EQ(edit->Text(), "Союз");
    SendMessageW(window, EM_SETSEL, 4, 4);
    SendMessageW(window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"ник"));
    EXPECT_EQ(edit->Text(), "Союзник");

    // Reached from code (as Tab reaches it) an edit has its whole text
    // chosen, so that typing replaces it; a click only places the caret.
    auto* other = Add<TEdit>(10, 40, 200, 21);
    DWORD from = 0, to = 0;
    auto chosen = [&] {
        SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        return to - from;
    };
    other->SetFocus();
    edit->SetFocus();
    EXPECT_TRUE(chosen() == 7 && from == 0);
    other->SetFocus();
    vcltest::Click(edit);
    EXPECT_EQ(chosen(), 0u);
    // Back from another window it keeps its caret; its form shown anew chooses the text again.
    auto* elsewhere = NewForm<TForm>(nullptr);
    elsewhere->Show();
    form->Show();
    EXPECT_EQ(chosen(), 0u);
    form->Hide();
    form->Show();
    EXPECT_EQ(chosen(), 7u);
    elsewhere->Free();
}

TEST_F(Controls, CheckBoxClickFiresForEveryNewStateFromCodeOrMouse) {
    auto* box = Add<TCheckBox>(10, 40, 200, 17);
    box->SetCaption("Использовать статистический модуль");
    auto* mirror = Add<TCheckBox>(10, 60, 200, 17);
    int clicks = 0;
    box->OnClick = [&](TObject*) {
        ++clicks;
        mirror->SetChecked(box->Checked());
    };
    box->SetChecked(false);
    EXPECT_EQ(clicks, 0);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(mirror->Checked());
    EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    vcltest::Click(box);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(box->Checked());
    EXPECT_FALSE(mirror->Checked());
}

TEST_F(Controls, RadioGroupIndexIsClampedAndANewIndexFiresClick) {
    auto* group = Add<TRadioGroup>(10, 90, 200, 80);
    group->SetCaption("Наш флот");
    group->Items()->Add("Атакует");
    group->Items()->Add("Защищается");
    int clicks = 0;
    group->OnClick = Count(clicks);
    group->SetItemIndex(1);
    EXPECT_EQ(clicks, 1);
    group->SetItemIndex(1);
    EXPECT_EQ(clicks, 1);
    group->SetItemIndex(7);
    EXPECT_EQ(group->ItemIndex(), 1);
    group->SetItemIndex(-5);
    EXPECT_EQ(group->ItemIndex(), -1);
    // The user's click on an item selects it and fires the event too.
    auto* first = dynamic_cast<TWinControl*>(group->Controls(0));
    ASSERT_NE(first, nullptr);
    vcltest::Click(first);
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(first->Caption(), "Атакует");

    // Tab reaches the group at its checked button; the arrows move the
    // choice round the group, the focus with it.
    auto* second = dynamic_cast<TWinControl*>(group->Controls(1));
    group->SetItemIndex(1);
    form->SelectNext(nullptr, true);
    EXPECT_TRUE(second->Focused());
    vcltest::PressKey(second, VK_DOWN);
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_TRUE(first->Focused());
    vcltest::PressKey(first, VK_LEFT);
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(clicks, 5);
}

TEST_F(Controls, ListBoxSelectionFromCodeIsSilentAndRenamingKeepsIt) {
    auto* list = Add<TListBox>(220, 10, 150, 120);
    list->Items()->Add("Я");
    list->Items()->Add("Второй");
    list->Items()->Add("Третий");
    int clicks = 0;
    list->OnClick = Count(clicks);
    list->SetItemIndex(1);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(list->ItemIndex(), 1);
    list->Items()->Put(1, "Союзник");
    EXPECT_EQ(list->Items()->Get(1), "Союзник");
    EXPECT_EQ(list->ItemIndex(), 1);
    vcltest::SelectItem(list, 2);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list->ItemIndex(), 2);
    list->Items()->Delete(0);
    EXPECT_EQ(list->Items()->Count(), 2);
    EXPECT_THROW(list->Items()->Get(2), EListError);

    auto* other = Add<TListBox>(220, 140, 150, 60);
    other->Items()->Assign(*list->Items());
    EXPECT_EQ(other->Items()->ToVector(), (std::vector<std::string>{"Союзник", "Третий"}));
    list->Items()->Clear();
    EXPECT_EQ(list->Items()->Count(), 0);
    EXPECT_EQ(list->ItemIndex(), -1);

    // The texts are read once; a change sent straight to the window is seen.
    EXPECT_EQ(other->Items()->Get(1), "Третий");
    SendMessageW(other->Handle(), LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>(u"Новый"));
    EXPECT_EQ(other->Items()->ToVector(), (std::vector<std::string>{"Союзник", "Новый", "Третий"}));
    SendMessageW(other->Handle(), LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(other->Items()->Count(), 0);
}

TEST_F(Controls, CheckListBoxKeepsItsChecksWhenItemsAreRenamed) {
    auto* list = Add<TCheckListBox>(10, 200, 200, 100);
    list->Items()->Add("Регенерация");
    list->Items()->Add("Невидимость");
    list->SetChecked(1, true);
    EXPECT_FALSE(list->Checked(0));
    EXPECT_TRUE(list->Checked(1));
    list->Items()->Put(1, "Маскировка");
    EXPECT_TRUE(list->Checked(1));
    // A click on the box of an item checks it.
    RECT item;
    SendMessageW(list->Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, (item.top + item.bottom) / 2));
    SendMessageW(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, (item.top + item.bottom) / 2));
    EXPECT_TRUE(list->Checked(0));
    EXPECT_THROW(list->Checked(5), EListError);
}

TEST_F(Controls, SpinEditReadsBadTextAsMinimumAndKeepsValuesInRange) {
    auto* spin = Add<TSpinEdit>(10, 310, 80, 21);
    spin->SetMinValue(201);
    spin->SetMaxValue(550);
    spin->SetValue(201);
    EXPECT_EQ(spin->Text(), "201");
    spin->SetText("abc");
    EXPECT_EQ(spin->Value(), 201);
    spin->SetText("9999");
    EXPECT_EQ(spin->Value(), 550);
    spin->SetValue(100);
    EXPECT_EQ(spin->Text(), "201");
    vcltest::PressKey(spin, VK_UP);
    EXPECT_EQ(spin->Value(), 202);
    // The edit repainted alone, its arrows not (a skinned form repaints
    // its controls so): the arrows stay on screen.
    Pump();
    RedrawWindow(spin->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_UPDATENOW);
    RECT client{};
    GetClientRect(spin->Handle(), &client);
    HDC dc = GetDC(spin->Handle());
    const COLORREF arrows = GetPixel(dc, client.right - 2, client.bottom / 2);
    ReleaseDC(spin->Handle(), dc);
    EXPECT_NE(arrows, ColorToRGB(spin->Color()));
}

TEST_F(Controls, GaugeKeepsProgressInRangeAndWritesPercentWithSuffix) {
    auto* gauge = Add<TGauge>(10, 340, 300, 20);
    gauge->SetMaxValue(9);
    gauge->SetProgress(3);
    gauge->SetSuffix("% (бой №1)");
    EXPECT_EQ(gauge->DisplayText(), "33% (бой №1)");
    gauge->SetProgress(50);
    EXPECT_EQ(gauge->Progress(), 9);
    EXPECT_EQ(gauge->PercentDone(), 100);
    gauge->SetProgress(-1);
    EXPECT_EQ(gauge->PercentDone(), 0);
    gauge->SetMinValue(1);
    gauge->SetMaxValue(1);
    EXPECT_EQ(gauge->PercentDone(), 0);  // an empty range divides by nothing
}

TEST_F(Controls, MemoLinesReadWriteScrollAndFiles) {
    auto* memo = Add<TMemo>(220, 210, 250, 100);
    memo->SetScrollBars(ssVertical);
    TStrings* lines = memo->Lines();
    EXPECT_EQ(lines->Count(), 0);
    lines->Add("Раунд 1/8");
    lines->Add("Игрок: Я");
    EXPECT_EQ(lines->Count(), 2);
    EXPECT_EQ(lines->Get(1), "Игрок: Я");
    lines->Put(0, "Раунд 2/8");
    lines->Insert(1, "вставка");
    EXPECT_EQ(vcltest::MemoLines(memo), (std::vector<std::string>{"Раунд 2/8", "вставка", "Игрок: Я"}));
    lines->Delete(1);
    EXPECT_EQ(lines->Text(), "Раунд 2/8\r\nИгрок: Я\r\n");
    // Text typed without a final line break still counts as a line.
    memo->SetText("a\r\nb");
    EXPECT_EQ(lines->Count(), 2);
    lines->Add("c");
    EXPECT_EQ(vcltest::MemoLines(memo), (std::vector<std::string>{"a", "b", "c"}));

    // A long log: the newest line is in view, nothing is cut off.
    lines->Clear();
    lines->BeginUpdate();
    for (int i = 0; i < 300; ++i) lines->Add("    Корабль " + std::to_string(i) + " из 300");
    lines->EndUpdate();
    lines->Add("последняя");
    EXPECT_EQ(lines->Count(), 301);
    EXPECT_EQ(lines->Get(300), "последняя");
    EXPECT_GT(SendMessageW(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 250);

    // Files are code page 1251 with CR LF.
    const std::string path = "vcl_memo_test.txt";
    lines->Clear();
    lines->Add("Симуляция");
    lines->Add("");
    lines->Add("конец");
    lines->SaveToFile(path);
    FILE* file = fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char bytes[64] = {};
    size_t size = fread(bytes, 1, sizeof(bytes), file);
    fclose(file);
    EXPECT_EQ(std::string(bytes, size), "Симуляция\r\n\r\nконец\r\n");
    lines->Clear();
    lines->LoadFromFile(path);
    EXPECT_EQ(vcltest::MemoLines(memo), (std::vector<std::string>{"Симуляция", "", "конец"}));
    remove(path.c_str());
    EXPECT_THROW(lines->LoadFromFile("no_such_file.txt"), rtl::EInOutError);
}

TEST_F(Controls, MenusShowCaptionsSeparatorsVisibilityAndRunClicks) {
    auto* menu = new TMainMenu(form);
    auto* file = new TMenuItem(form);
    file->SetCaption("файл");
    menu->Items()->Add(file);
    auto* newBattle = new TMenuItem(form);
    newBattle->SetCaption("Новый бой");
    auto* line = new TMenuItem(form);
    line->SetCaption("-");
    auto* hidden = new TMenuItem(form);
    hidden->SetCaption("Описание способностей");
    hidden->SetVisible(false);
    auto* off = new TMenuItem(form);
    off->SetCaption("Выход");
    off->SetEnabled(false);
    for (TMenuItem* item : {newBattle, line, hidden, off}) file->Add(item);
    int clientHeight = form->ClientHeight();
    form->SetMenu(menu);
    EXPECT_EQ(form->ClientHeight(), clientHeight);  // the menu line adds to the frame

    HMENU bar = GetMenu(form->Handle());
    ASSERT_NE(bar, nullptr);
    HMENU sub = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(sub), 3);  // the hidden item is left out
    WCHAR caption[64] = {};
    GetMenuStringW(sub, 0, caption, 64, MF_BYPOSITION);
    EXPECT_EQ(vcl::FromWide(caption), "Новый бой");
    EXPECT_TRUE(GetMenuState(sub, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(sub, 2, MF_BYPOSITION) & MF_GRAYED);

    int clicks = 0;
    newBattle->OnClick = Count(clicks);
    vcltest::ChooseMenuItem(form, newBattle);
    EXPECT_EQ(clicks, 1);
    newBattle->SetCaption("Новая битва");
    GetMenuStringW(GetSubMenu(GetMenu(form->Handle()), 0), 0, caption, 64, MF_BYPOSITION);
    EXPECT_EQ(vcl::FromWide(caption), "Новая битва");
}

namespace {

bool g_menuSeen = false;

void CALLBACK CloseOpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu && IsWindowVisible(menu)) {
        g_menuSeen = true;
        EndMenu();
    }
}

}  // namespace

TEST_F(Controls, RightClickOpensThePopupMenuOfTheControl) {
    auto* popup = new TPopupMenu(form);
    auto* item = new TMenuItem(form);
    item->SetCaption("Использовать шаблон");
    popup->Items()->Add(item);
    auto* list = Add<TListBox>(10, 10, 100, 100);
    list->SetPopupMenu(popup);
    UINT_PTR timer = SetTimer(nullptr, 0, 200, CloseOpenMenu);
    POINT at = list->ClientToScreen(POINT{20, 20});
    SendMessageW(list->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list->Handle()), MAKELPARAM(at.x, at.y));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_menuSeen);
    EXPECT_EQ(popup->PopupComponent(), list);
}
