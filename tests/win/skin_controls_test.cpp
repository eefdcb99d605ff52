// The adapters of standard controls on small real windows, made as a
// form's control adapter makes them: edits and lists wear the EDIT section
// with its border over the parent, give their own colours back with the
// skin, and read their bars after the list or the text was emptied;
// buttons, check boxes and group boxes paint their skinned look and never
// the plain one when pressed, checked or focused, also by the real mouse
// and keyboard; combo lists, popup menus, panels, up-down arrows and the
// scroll box.
#include "gtest_windows.h"
#include "support/control_skin.h"
#include "support/real_input.h"

#include <commctrl.h>

#include <vector>

#include "skin/core/skincommands.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/windows/adapterfactory.h"
#include "skin/windows/buttonadapters.h"
#include "skin/windows/editadapters.h"
#include "skin/windows/paneladapters.h"
#include "skin/windows/scrollbox.h"
#include "vcl/grids.h"
#include "vcl/wintext.h"

using namespace vcl;
using namespace skin;
using namespace skintest;
using vcltest::Pump;
using vcltest::PostAction;

namespace {

// The item a form's control adapter keeps for a control: its skin data and its adapter.
struct Item {
    Item(TWinControl* control, int kind) : Data(control, true) {
        Data.ControlTypeCode = 227;
        Adapter = CreateControlAdapter(kind, control, &Data);
    }
    ~Item() { Adapter.reset(); }
    TsCommonData Data;
    std::unique_ptr<TacMainWnd> Adapter;
};

bool ColumnHas(HWND window, int x, int top, int bottom, TColor color, bool client = true) {
    for (int y = top; y < bottom; ++y)
        if ((client ? ClientPixel(window, x, y) : FramePixel(window, x, y)) == color) return true;
    return false;
}

// The first row with text (black) pixels between the columns, or -1.
int FirstTextRow(HWND window, int left, int right, int height) {
    for (int y = 0; y < height; ++y)
        for (int x = left; x < right; ++x)
            if (ClientPixel(window, x, y) == 0) return y;
    return -1;
}

void RedrawAll(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
}

HWND MakeChild(const wchar_t* cls, DWORD style, int x, int y, int w, int h, HWND parent, const wchar_t* text = L"") {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// How many pixels of the window's client area differ from the picture, which
// is taken when none is given.
int ChangedPixels(HWND window, std::vector<COLORREF>* picture) {
    RECT r;
    GetClientRect(window, &r);
    HDC dc = GetDC(window);
    int changed = 0;
    for (int y = 0, i = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x, ++i) {
            const COLORREF c = GetPixel(dc, x, y);
            if (static_cast<size_t>(i) == picture->size()) picture->push_back(c);
            changed += (*picture)[i] != c;
        }
    ReleaseDC(window, dc);
    return changed;
}

// Real input takes its way through the window server: messages are handled
// for a while after it was sent.
void PumpWhileInputArrives() {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 150; Sleep(5)) Pump();
}

void RealClick(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    inputtest::SendButton(p);
    PumpWhileInputArrives();
}

}  // namespace

TEST(ControlAdapters, EditsAndGridsWearTheSkinAndGiveTheirOwnColoursBackExactly) {
    ControlSkinScene s(400, 300);
    auto* edit = new TEdit(s.form);
    edit->SetParent(s.form);
    edit->SetBounds(10, 10, 150, 24);
    edit->SetColor(0x123456);
    edit->Font()->SetColor(0x654321);
    auto* grid = new TStringGrid(s.form);
    grid->SetParent(s.form);
    grid->SetBounds(10, 50, 200, 120);
    grid->SetFixedColor(0x112233);
    Item editItem(edit, tpEdits), gridItem(grid, tpGrids);
    ASSERT_TRUE(dynamic_cast<TacEditWnd*>(editItem.Adapter.get()));
    ASSERT_TRUE(dynamic_cast<TacGridWnd*>(gridItem.Adapter.get()));
    Pump();
    RedrawWindow(s.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();

    // The section's colours; the fixed cells take the skin's global colour.
    EXPECT_EQ(edit->Color(), kFlatWindow);
    EXPECT_EQ(edit->Font()->Color(), kEditFont);
    EXPECT_EQ(grid->Color(), kFlatWindow);
    EXPECT_EQ(grid->FixedColor(), kGlobalColor);
    // The border ring of the skin, its clear corner showing the form behind.
    HWND h = edit->Handle();
    EXPECT_EQ(FramePixel(h, 0, 0), kSkinParent);
    EXPECT_EQ(FramePixel(h, 1, 0), kEditBorder);
    EXPECT_EQ(FramePixel(h, 1, 1), kEditBorder);
    EXPECT_EQ(FramePixel(h, 75, 1), kEditBorder);
    EXPECT_EQ(FramePixel(h, 149, 23), kSkinParent);

    s.manager->SendRemoveSkin();
    Pump();
    EXPECT_EQ(edit->Color(), 0x123456);
    EXPECT_EQ(edit->Font()->Color(), 0x654321);
    EXPECT_EQ(grid->Color(), clWindow);
    EXPECT_EQ(grid->FixedColor(), 0x112233);
    EXPECT_NE(FramePixel(h, 1, 1), kEditBorder);
    // Again with a new skin, and again back.
    LoadControlSkin(s.manager);
    Pump();
    EXPECT_EQ(edit->Color(), kFlatWindow);
    EXPECT_EQ(grid->FixedColor(), kGlobalColor);
    s.manager->SendRemoveSkin();
    EXPECT_EQ(edit->Color(), 0x123456);
    EXPECT_EQ(grid->FixedColor(), 0x112233);
}

TEST(ControlAdapters, ListsAndMemosReadTheirBarsAgainWhenEmptied) {
    ControlSkinScene s(400, 300);
    auto* list = new TListBox(s.form);
    list->SetParent(s.form);
    list->SetBounds(10, 10, 150, 120);
    for (int i = 0; i < 60; ++i) list->Items()->Add("строка " + std::to_string(i));
    HWND memo = MakeChild(L"EDIT", ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL, 200, 10, 150, 120, s.form->Handle());
    SetWindowLongPtrW(memo, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    std::string lines;
    for (int i = 0; i < 60; ++i) lines += "line\r\n";
    SetWindowText1251(memo, lines);
    Item listItem(list, tpEdits);
    auto memoAdapter = CreateWindowAdapter(TacWndClass::TacEditWnd, memo, nullptr, s.manager, "EDIT");
    Pump();
    auto thumbShown = [](HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        const int x = r.right - r.left - 2 - GetSystemMetrics(SM_CXVSCROLL) / 2;
        return ColumnHas(w, x, 0, r.bottom - r.top, kFlatThumb, false);
    };
    ASSERT_TRUE(thumbShown(list->Handle()));
    ASSERT_TRUE(thumbShown(memo));
    SendMessageW(list->Handle(), LB_RESETCONTENT, 0, 0);
    SendMessageW(memo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    Pump();
    EXPECT_FALSE(thumbShown(list->Handle()));
    EXPECT_FALSE(thumbShown(memo));
    // The memo writes in the section's colour on the section's background.
    EXPECT_EQ(dynamic_cast<TacEditWnd*>(memoAdapter.get())->PlainColor, kFlatWindow);
    memoAdapter.reset();
    DestroyWindow(memo);
}

TEST(ControlAdapters, ButtonsAreDrawnHotWhenDefaultAndNeverPlainWhenPressedOrFocused) {
    ControlSkinScene s(400, 300);
    auto* plain = new TButton(s.form);
    plain->SetParent(s.form);
    plain->SetBounds(10, 10, 100, 30);
    plain->SetCaption("Кнопка");
    auto* def = new TButton(s.form);
    def->SetParent(s.form);
    def->SetBounds(10, 50, 100, 30);
    def->SetDefault(true);
    Item plainItem(plain, tpButtons), defItem(def, tpButtons);
    EXPECT_EQ(plainItem.Data.SkinSection(), "BUTTON");
    Pump();
    HWND p = plain->Handle();
    // The caption is measured with the button's font on the first paint as
    // on any later one (not with the cache's stock font): it stays in place.
    const int firstTop = FirstTextRow(p, 20, 80, 30);
    EXPECT_GT(firstTop, 0);
    RedrawAll(s.form->Handle());
    EXPECT_EQ(FirstTextRow(p, 20, 80, 30), firstTop);
    EXPECT_EQ(ClientPixel(p, 3, 3), kButtonColor);
    EXPECT_EQ(ClientPixel(def->Handle(), 3, 3), kButtonHot);
    // Pressed from code: the system paints at once; the skin's look must be what shows.
    SendMessageW(p, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(ClientPixel(p, 3, 3), kButtonHot);
    SendMessageW(p, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(ClientPixel(p, 3, 3), kButtonColor);
    plain->SetFocus();
    Pump();
    EXPECT_EQ(ClientPixel(p, 3, 3), kButtonHot);
    // The caption is there, in the hot font colour of the section (black here).
    bool text = false;
    for (int x = 20; x < 80 && !text; ++x) text = ColumnHas(p, x, 8, 22, 0);
    EXPECT_TRUE(text);
    // The mouse over a button makes it hot; leaving it, the skin's normal look again.
    def->SetFocus();
    s.manager->SetHotWindow(p);
    EXPECT_EQ(ClientPixel(p, 3, 3), kButtonHot);
    s.manager->SetHotWindow(nullptr);
    EXPECT_EQ(ClientPixel(p, 3, 3), kButtonColor);
}

TEST(ControlAdapters, CheckBoxesPlaceTheirMarkAndCaptionAndShowTheirStateAtOnce) {
    ControlSkinScene s(400, 300);
    auto* box = new TCheckBox(s.form);
    box->SetParent(s.form);
    box->SetBounds(10, 10, 100, 17);
    box->SetCaption("Флажок");
    Item item(box, tpCheckBoxes);
    auto* adapter = dynamic_cast<TacCheckBoxWnd*>(item.Adapter.get());
    ASSERT_TRUE(adapter);
    EXPECT_EQ(item.Data.SkinSection(), "CHECKBOX");
    Pump();
    HWND h = box->Handle();
    // A 13 x 13 mark at (0, 2); the caption from x 17.
    EXPECT_EQ(adapter->MarkRect, (TRect{0, 2, 13, 15}));
    EXPECT_EQ(ClientPixel(h, 6, 8), kMarkUnchecked);
    EXPECT_EQ(adapter->TextRect.Left, 17);
    EXPECT_EQ(ClientPixel(h, 15, 8), kCheckBoxColor);
    EXPECT_FALSE(ColumnHas(h, 14, 0, 17, 0));
    bool text = false;
    for (int x = 17; x < 60 && !text; ++x) text = ColumnHas(h, x, 0, 17, 0);
    EXPECT_TRUE(text);
    // Checked from code, pressed, focused: the skinned mark at once.
    box->SetChecked(true);
    EXPECT_EQ(ClientPixel(h, 6, 8), kBoxChecked);
    SendMessageW(h, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(ClientPixel(h, 6, 8), kMarkPressed);
    SendMessageW(h, BM_SETSTATE, FALSE, 0);
    box->SetFocus();
    Pump();
    EXPECT_EQ(ClientPixel(h, 6, 8), kMarkFocused);

    // The text on the left: the mark at the right end, the caption from x 2.
    HWND left = MakeChild(L"BUTTON", BS_AUTOCHECKBOX | BS_LEFTTEXT, 10, 40, 100, 17, s.form->Handle(), L"Слева");
    // Both kinds of radio buttons get the circles.
    HWND radio = MakeChild(L"BUTTON", BS_AUTORADIOBUTTON, 10, 70, 100, 17, s.form->Handle(), L"Выбор");
    auto leftAdapter = CreateWindowAdapter(TacWndClass::TacCheckBoxWnd, left, nullptr, s.manager, "CHECKBOX");
    auto radioAdapter = CreateWindowAdapter(TacWndClass::TacCheckBoxWnd, radio, nullptr, s.manager, "CHECKBOX");
    Pump();
    auto* l = dynamic_cast<TacCheckBoxWnd*>(leftAdapter.get());
    EXPECT_EQ(l->MarkRect, (TRect{87, 2, 100, 15}));
    EXPECT_EQ(l->TextRect.Left, 2);
    EXPECT_EQ(ClientPixel(radio, 6, 8), kRadioUnchecked);
    leftAdapter.reset();
    radioAdapter.reset();
    DestroyWindow(left);
    DestroyWindow(radio);
}

TEST(ControlAdapters, AGroupBoxRunsItsFrameThroughTheMiddleOfItsCaptionAndKeepsItsChildren) {
    ControlSkinScene s(400, 300);
    auto* group = new TGroupBox(s.form);
    group->SetParent(s.form);
    group->SetBounds(10, 10, 200, 120);
    group->SetCaption("Группа");
    auto* label = new TLabel(s.form);
    label->SetParent(group);
    label->SetBounds(20, 60, 60, 13);
    label->SetCaption("Надпись");
    label->SetTransparent(true);
    auto* inner = new TButton(s.form);
    inner->SetParent(group);
    inner->SetBounds(100, 40, 80, 30);
    Item groupItem(group, tpGroupBoxes), innerItem(inner, tpButtons);
    auto* adapter = dynamic_cast<TacGroupBoxWnd*>(groupItem.Adapter.get());
    ASSERT_TRUE(adapter);
    Pump();
    RedrawAll(s.form->Handle());
    HWND h = group->Handle();
    const TRect cr = adapter->CaptionRect;
    EXPECT_EQ(cr.Left, 6);
    EXPECT_EQ(cr.Top, 0);
    const int top = cr.Height() / 2;
    EXPECT_EQ(ClientPixel(h, 2, top - 1), kSkinParent);
    EXPECT_EQ(ClientPixel(h, 2, top), kGroupColor);
    EXPECT_EQ(ClientPixel(h, 2, 110), kGroupColor);
    // The caption's strip shows the form behind the text.
    EXPECT_EQ(ClientPixel(h, cr.Left + 1, top), kSkinParent);
    EXPECT_EQ(SendSkinCommand(h, AC_QUERYCAPTIONHEIGHT), cr.Bottom);
    // The button inside keeps its skinned look; the label its text.
    EXPECT_EQ(ClientPixel(inner->Handle(), 3, 3), kButtonColor);
    const TColor ink = static_cast<TColor>(ColorToRGB(label->Font()->Color()));
    bool text = false;
    for (int x = 20; x < 60 && !text; ++x) text = ColumnHas(h, x, 60, 73, ink);
    EXPECT_TRUE(text);
    // The skin gone, the box and the button inside are plain again.
    s.manager->SendRemoveSkin();
    Pump();
    EXPECT_NE(ClientPixel(h, 2, 110), kGroupColor);
    EXPECT_NE(ClientPixel(inner->Handle(), 3, 3), kButtonColor);
}

TEST(ControlAdapters, TheRealMouseAndKeyboardNeverBringBackThePlainLookOfAGroupBoxOrAButton) {
    ControlSkinScene s(400, 300);
    auto* group = new TGroupBox(s.form);
    group->SetParent(s.form);
    group->SetBounds(10, 10, 200, 120);
    group->SetCaption("Сторона 1");
    auto* box = new TCheckBox(s.form);
    box->SetParent(s.form);
    box->SetBounds(230, 10, 100, 17);
    auto* button = new TButton(s.form);
    button->SetParent(s.form);
    button->SetBounds(230, 50, 100, 30);
    Item groupItem(group, tpGroupBoxes), boxItem(box, tpCheckBoxes), buttonItem(button, tpButtons);
    SetForegroundWindow(s.form->Handle());
    RedrawAll(s.form->Handle());
    HWND h = group->Handle();
    std::vector<COLORREF> skinned;
    ChangedPixels(h, &skinned);
    ASSERT_EQ(ClientPixel(h, 2, 110), kGroupColor);
    // A click on its empty part gives the box the focus and presses it, a
    // space presses it again: the system draws its own box for each.
    RealClick(h, 100, 80);
    ASSERT_EQ(GetFocus(), h);
    EXPECT_EQ(ChangedPixels(h, &skinned), 0);
    inputtest::SendKey(VK_SPACE);
    PumpWhileInputArrives();
    EXPECT_EQ(ChangedPixels(h, &skinned), 0);
    // The focus moves on to a check box and then a button, clicked: each
    // shows its skinned look, checked and focused; the box keeps its own.
    RealClick(box->Handle(), 50, 8);
    EXPECT_EQ(ChangedPixels(h, &skinned), 0);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(ClientPixel(box->Handle(), 6, 8), kMarkFocused);
    EXPECT_EQ(ClientPixel(box->Handle(), 15, 8), kCheckBoxColor);
    RealClick(button->Handle(), 50, 15);
    EXPECT_EQ(GetFocus(), button->Handle());
    EXPECT_EQ(ClientPixel(button->Handle(), 3, 3), kButtonHot);
    EXPECT_EQ(ClientPixel(box->Handle(), 6, 8), kBoxChecked);
}

TEST(ControlAdapters, ACombosDropDownListIsAdaptedOnceAndAPopupMenusAdapterGoesWithIt) {
    ControlSkinScene s(400, 300);
    HWND combo = MakeChild(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 10, 10, 150, 200, s.form->Handle());
    for (const wchar_t* item : {L"один", L"два", L"три"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    auto adapter = CreateChildAdapter(ChooseChildAdapter("combobox", CBS_DROPDOWNLIST), combo, s.manager);
    auto* c = dynamic_cast<TacComboBoxWnd*>(adapter.get());
    ASSERT_TRUE(c);
    // The list window comes with the combo's WM_CTLCOLORLISTBOX when it paints.
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
    ASSERT_TRUE(c->ListAdapter);
    HWND list = c->ListWindow;
    WCHAR cls[32] = {};
    GetClassNameW(list, cls, 32);
    EXPECT_EQ(FromWide(cls), "ComboLBox");
    EXPECT_EQ(GetScrollWnd(list), c->ListAdapter.get());
    TacComboListWnd* first = c->ListAdapter.get();
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
    EXPECT_EQ(c->ListAdapter.get(), first);
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    Pump();
    adapter.reset();
    DestroyWindow(combo);

    // A tree view takes the section's hot colour and gets its own colour back, not the system's.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HWND tree = MakeChild(WC_TREEVIEWW, 0, 200, 10, 150, 100, s.form->Handle());
    SendMessageW(tree, TVM_SETBKCOLOR, 0, 0x123456);
    auto treeAdapter = CreateChildAdapter(ChooseChildAdapter("systreeview32", 0), tree, s.manager);
    ASSERT_TRUE(dynamic_cast<TacTreeViewWnd*>(treeAdapter.get()));
    Pump();
    EXPECT_EQ(SendMessageW(tree, TVM_GETBKCOLOR, 0, 0), kFlatWindow);
    treeAdapter.reset();
    EXPECT_EQ(SendMessageW(tree, TVM_GETBKCOLOR, 0, 0), 0x123456);
    DestroyWindow(tree);

    // Each popup's window gets an adapter that goes with the window.
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"Пункт");
    for (int round = 0; round < 2; ++round) {
        TacMnuWnd* made = nullptr;
        int alive = -1;
        PostAction([&] {
            HWND popup = FindWindowW(L"#32768", nullptr);
            made = CreateMenuAdapter(popup, s.manager);
            alive = TacMnuWnd::LiveCount();
            EXPECT_EQ(GetScrollWnd(popup), made);
            EXPECT_EQ(SendSkinCommand(popup, AC_QUERYSKINNED), 1);
            EXPECT_EQ(CreateMenuAdapter(popup, s.manager), nullptr);
            EndMenu();
        });
        TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, s.form->Handle(), nullptr);
        Pump();
        EXPECT_NE(made, nullptr);
        EXPECT_EQ(alive, 1);
        EXPECT_EQ(TacMnuWnd::LiveCount(), 0);
    }
    DestroyMenu(menu);
}

TEST(ControlAdapters, PanelsSpinsAndStaticsTakeTheirSectionOrKeepTheirOwnLook) {
    ControlSkinScene s(400, 300);
    auto* panel = new TPanel(s.form);
    panel->SetParent(s.form);
    panel->SetBounds(10, 10, 120, 60);
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelInner(bvLowered);
    Item panelItem(panel, tpPanels);
    EXPECT_EQ(panelItem.Data.SkinSection(), "GROUPBOX");
    Pump();
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(ClientPixel(panel->Handle(), 60, 50), kGroupColor);

    // Up-down arrows 17 pixels high: each half lights under the mouse; the
    // halves share row 8.
    HWND spin = MakeChild(UPDOWN_CLASSW, 0, 200, 20, 20, 17, s.form->Handle());
    auto spinAdapter = CreateChildAdapter(ChooseChildAdapter("msctls_updown32", 0), spin, s.manager);
    auto* sp = dynamic_cast<TacSpinWnd*>(spinAdapter.get());
    ASSERT_TRUE(sp);
    EXPECT_EQ(sp->LeftMargin, 2);
    POINT at{10, 2};
    ClientToScreen(spin, &at);
    SetCursorPos(at.x, at.y);
    RedrawWindow(spin, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(sp->UpState, 1);
    EXPECT_EQ(sp->DownState, 0);
    EXPECT_EQ(ClientPixel(spin, 10, 7), kButtonHot);
    EXPECT_EQ(ClientPixel(spin, 10, 9), kButtonColor);

    // A static with an edge, and an etched line, keep their own look.
    HWND edged = MakeChild(L"STATIC", SS_LEFT, 200, 60, 100, 20, s.form->Handle(), L"Текст");
    SetWindowLongPtrW(edged, GWL_EXSTYLE, WS_EX_STATICEDGE);
    HWND etched = MakeChild(L"STATIC", SS_ETCHEDHORZ, 200, 100, 100, 4, s.form->Handle());
    HWND text = MakeChild(L"STATIC", SS_LEFT, 200, 120, 100, 20, s.form->Handle(), L"Текст");
    auto a1 = CreateWindowAdapter(TacWndClass::TacStaticWnd, edged, nullptr, s.manager, "CHECKBOX");
    auto a2 = CreateWindowAdapter(TacWndClass::TacStaticWnd, etched, nullptr, s.manager, "CHECKBOX");
    auto a3 = CreateWindowAdapter(TacWndClass::TacStaticWnd, text, nullptr, s.manager, "CHECKBOX");
    RedrawWindow(s.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    EXPECT_EQ(ClientPixel(text, 95, 15), kCheckBoxColor);
    EXPECT_NE(ClientPixel(edged, 50, 10), kCheckBoxColor);
    EXPECT_NE(ClientPixel(etched, 50, 1), kCheckBoxColor);

    // A message box's static says "no prefix": its "&" is shown as written,
    // as a prefixed static shows a doubled one.
    HWND asWritten = MakeChild(L"STATIC", SS_LEFT | SS_NOPREFIX, 10, 200, 100, 20, s.form->Handle(), L"a&b=1&c");
    HWND doubled = MakeChild(L"STATIC", SS_LEFT, 10, 230, 100, 20, s.form->Handle(), L"a&&b=1&&c");
    HWND prefixed = MakeChild(L"STATIC", SS_LEFT, 10, 260, 100, 20, s.form->Handle(), L"a&b=1&c");
    auto a4 = CreateWindowAdapter(TacWndClass::TacStaticWnd, asWritten, nullptr, s.manager, "CHECKBOX");
    auto a5 = CreateWindowAdapter(TacWndClass::TacStaticWnd, doubled, nullptr, s.manager, "CHECKBOX");
    auto a6 = CreateWindowAdapter(TacWndClass::TacStaticWnd, prefixed, nullptr, s.manager, "CHECKBOX");
    RedrawAll(s.form->Handle());
    auto rows = [](HWND w) {
        std::vector<TColor> pixels;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 100; ++x) pixels.push_back(ClientPixel(w, x, y));
        return pixels;
    };
    EXPECT_EQ(rows(asWritten), rows(doubled));
    EXPECT_NE(rows(asWritten), rows(prefixed));
    for (auto* a : {&a1, &a2, &a3, &a4, &a5, &a6, &spinAdapter}) a->reset();
}

TEST(ControlAdapters, AScrollBoxPaintsItsSectionAndSkinnedBarsAndGivesThemBack) {
    ControlSkinScene s(400, 300);
    auto* box = new TsScrollBox(s.form);
    box->SetParent(s.form);
    box->SetBounds(10, 10, 200, 150);
    auto* inner = new TButton(s.form);
    inner->SetBounds(0, 0, 150, 400);
    inner->SetParent(box);
    Pump();
    s.manager->RepaintForms();
    Pump();
    HWND h = box->Handle();
    ASSERT_NE(box->ScrollAdapter(), nullptr);
    EXPECT_EQ(box->SkinData()->SkinSection(), "PANEL_LOW");
    EXPECT_EQ(ClientPixel(h, 170, 100), kPanelLow);
    EXPECT_EQ(FramePixel(h, 1, 1), kPanelLow);
    const int bar = 200 - 2 - GetSystemMetrics(SM_CXVSCROLL) / 2;
    EXPECT_TRUE(ColumnHas(h, bar, 0, 150, kFlatThumb, false));
    // Scrolled through the skinned bar: the child moves, the bar follows.
    SendScrollMessage(h, WM_VSCROLL, SB_PAGEDOWN, 0);
    Pump();
    EXPECT_LT(inner->Top(), 0);
    s.manager->SendRemoveSkin();
    Pump();
    EXPECT_EQ(box->ScrollAdapter(), nullptr);
    EXPECT_FALSE(ColumnHas(h, bar, 0, 150, kFlatThumb, false));
    EXPECT_NE(ClientPixel(h, 170, 100), kPanelLow);
}
