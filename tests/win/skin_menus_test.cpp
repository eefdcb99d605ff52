// Skinned menus under Wine with flat colours: a popup menu's items and
// frame come from the skin, its window is cut to the frame and forgets its
// border cache when it closes; the items of a form's menu line are painted
// into the provider's line; switching the painter off gives the menus back
// to the system and leaves the program's own handlers alone.
#include "gtest_windows.h"
#include "support/frame_skin.h"
#include "support/vcl_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "skin/windows/dialoghook.h"
#include "skin/windows/skinmenus.h"
#include "skin/windows/skinprovider.h"
#include "vcl/menus.h"

using namespace vcl;
using namespace skin;
using namespace skintest;
using vcltest::Pump;

namespace {

constexpr TColor kMenuBack = 0xE0E0E0;  // "MAINMENU"
constexpr TColor kItem = 0x40C040;      // "MENUITEM"
constexpr TColor kItemHot = 0xC04040;
constexpr TColor kLine = 0x4040C0;      // "MENULINE"

// The frame skin with the menus' sections and a popup border whose top
// left and top right corners are see-through.
void LoadMenuSkin(TsSkinManager* manager, bool withPopupFrame = true) {
    using namespace framedetail;
    LoadFrameSkin(manager);
    TsSkinContent& s = manager->Skin();
    if (!withPopupFrame) {
        s.Sections.push_back(Section("MENUITEM", kItem, kItemHot));
        manager->SendNewSkin();
        Pump();
        return;
    }
    s.Sections.push_back(Section("MAINMENU", kMenuBack, kMenuBack));
    s.Sections.push_back(Section("MENUITEM", kItem, kItemHot));
    s.Sections.push_back(Section("MENULINE", kLine, kLine));
    const int n = 9, b = 3;
    TsMaskData border = Mask(s, "MAINMENU", "BORDERSMASK", 0, 26, n, n, 1, [&](int, int x, int y) {
        const int cx = std::min(x, n - 1 - x), cy = std::min(y, n - 1 - y);
        if (cx + cy < 2) return skin::clFuchsia;
        return cx >= b && cy >= b ? skin::clFuchsia : TColor{0x202020};
    });
    border.WL = border.WT = border.WR = border.WB = b;
    s.Masks.push_back(std::move(border));
    manager->SendNewSkin();
    Pump();
}

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const std::string& caption) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

bool Near(TColor a, TColor b, int tolerance = 3) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

// What the open popup looked like, read while it was open.
struct PopupSeen {
    HWND Window = nullptr;
    bool OurProcedure = false;
    bool HasRegion = false;
    bool CornerCut = false;
    bool CacheFitsWindow = false;
    TColor Item = 0, Disabled = 0, Frame = 0;
};
PopupSeen g_seen;

void CALLBACK InspectPopup(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND w = FindWindowW(L"#32768", nullptr);
    g_seen.Window = w;
    if (w) {
        g_seen.OurProcedure = GetWindowLongPtrW(w, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&PopupMenuWndProc);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        g_seen.HasRegion = GetWindowRgn(w, rgn) != ERROR;
        RECT wr;
        GetWindowRect(w, &wr);
        const int width = wr.right - wr.left;
        g_seen.CornerCut = g_seen.HasRegion && !PtInRegion(rgn, 0, 0) && PtInRegion(rgn, width / 2, 1) &&
                           !PtInRegion(rgn, width - 1, 0);
        DeleteObject(rgn);
        TBitmap* cache = MenuBorderCache();
        g_seen.CacheFitsWindow = cache && cache->Width() == width && cache->Height() == wr.bottom - wr.top;
        // The items as the menu placed them: the first one enabled, the last disabled.
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0));
        RECT first{}, last{};
        GetMenuItemRect(nullptr, menu, 0, &first);
        GetMenuItemRect(nullptr, menu, 2, &last);
        HDC dc = GetWindowDC(w);
        g_seen.Item = static_cast<TColor>(GetPixel(dc, first.right - 6 - wr.left, (first.top + first.bottom) / 2 - wr.top));
        g_seen.Disabled = static_cast<TColor>(GetPixel(dc, last.right - 6 - wr.left, (last.top + last.bottom) / 2 - wr.top));
        g_seen.Frame = static_cast<TColor>(GetPixel(dc, width / 2, 1));
        ReleaseDC(w, dc);
    }
    EndMenu();
}

// The region taken away from the open popup, then asked for again the way
// a menu that could not find its window asks: through the application window.
TMenuItem* g_regionItem = nullptr;
bool g_regionBack = false;

void CALLBACK RegionThroughApplication(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND w = FindWindowW(L"#32768", nullptr);
    if (w) {
        SetWindowRgn(w, nullptr, FALSE);
        SendMessageW(Application->Handle(), kPopupItemShown, 0, reinterpret_cast<LPARAM>(g_regionItem));
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        g_regionBack = GetWindowRgn(w, rgn) != ERROR && !PtInRegion(rgn, 0, 0);
        DeleteObject(rgn);
    }
    EndMenu();
}

// Each item of the open popup at its left (inside the glyph column) and its right.
std::vector<std::pair<TColor, TColor>> g_items;
int g_popupWidth = 0;

void CALLBACK ReadItems(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_items.clear();
    if (HWND w = FindWindowW(L"#32768", nullptr)) {
        RECT wr;
        GetWindowRect(w, &wr);
        g_popupWidth = wr.right - wr.left;
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0));
        HDC dc = GetWindowDC(w);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            RECT r{};
            GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r);
            const int y = (r.top + r.bottom) / 2 - wr.top;
            g_items.emplace_back(static_cast<TColor>(GetPixel(dc, r.left + 4 - wr.left, y)),
                                 static_cast<TColor>(GetPixel(dc, r.right - 4 - wr.left, y)));
        }
        ReleaseDC(w, dc);
    }
    EndMenu();
}

// Inside a real message box: its system menu opened from the title, read, closed; then the box.
void CALLBACK OpenBoxSystemMenu(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"#32770", nullptr);
    if (!box || !IsWindowVisible(box)) return;
    KillTimer(nullptr, id);
    RECT wr;
    GetWindowRect(box, &wr);
    SetTimer(nullptr, 0, 300, ReadItems);
    SendMessageW(box, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(wr.left + 40, wr.top + 8));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

}  // namespace

TEST(SkinnedMenus, PopupDrawnFromTheSkinCutToItsFrameAndForgottenWhenClosed) {
    TForm* host = NewForm<TForm>(Application);
    auto* manager = new TsSkinManager(host);
    manager->SetActive(false);
    LoadMenuSkin(manager);
    auto* popup = new TPopupMenu(host);
    AddItem(host, popup->Items(), "Открыть");
    AddItem(host, popup->Items(), "-");
    AddItem(host, popup->Items(), "Сохранить")->SetEnabled(false);
    manager->SkinableMenus->HookPopupMenu(popup, true);
    ASSERT_TRUE(popup->OwnerDraw());
    EXPECT_TRUE(popup->MenuAnimation & maNone);  // no unfolding before the region is set

    g_seen = PopupSeen{};
    SetTimer(nullptr, 0, 400, InspectPopup);
    popup->Popup(200, 200);  // returns when the timer closed the menu
    Pump();

    ASSERT_NE(g_seen.Window, nullptr);
    EXPECT_TRUE(g_seen.OurProcedure);
    EXPECT_TRUE(g_seen.HasRegion);
    EXPECT_TRUE(g_seen.CornerCut);
    EXPECT_TRUE(g_seen.CacheFitsWindow);
    EXPECT_TRUE(Near(g_seen.Item, kItem)) << std::hex << g_seen.Item;
    EXPECT_TRUE(Near(g_seen.Frame, 0x202020)) << std::hex << g_seen.Frame;
    // A disabled item keeps 40 % of its own look over the menu's background.
    const TColor faded = static_cast<TColor>(
        RGB(0xE0 - (0xE0 - 0x40) * 0.4, 0xE0 - (0xE0 - 0xC0) * 0.4, 0xE0 - (0xE0 - 0x40) * 0.4));
    EXPECT_TRUE(Near(g_seen.Disabled, faded)) << std::hex << g_seen.Disabled;
    // The closed menu's window and its border cache are gone.
    EXPECT_FALSE(IsWindow(g_seen.Window));
    EXPECT_EQ(MenuBorderCache(), nullptr);

    g_regionItem = popup->Items()->Items(0);
    g_regionBack = false;
    SetTimer(nullptr, 0, 400, RegionThroughApplication);
    popup->Popup(200, 200);
    Pump();
    EXPECT_TRUE(g_regionBack);
    host->Free();
}

TEST(SkinnedMenus, MenuLineItemsPaintedIntoTheProvidersLine) {
    TForm* host = NewForm<TForm>(Application);
    auto* manager = new TsSkinManager(host);
    manager->SetActive(false);
    TForm* form = NewForm<TForm>(Application);
    form->SetBounds(60, 60, 320, 200);
    auto* menu = new TMainMenu(form);
    AddItem(form, menu->Items(), "Файл");
    AddItem(form, menu->Items(), "Правка")->SetEnabled(false);
    form->SetMenu(menu);
    auto* provider = new TsSkinProvider(form);
    provider->AfterConstruction();
    form->Show();
    Pump();
    LoadMenuSkin(manager);
    Pump();

    ASSERT_TRUE(menu->OwnerDraw());
    ASSERT_EQ(provider->PaintedMenuItems().size(), 2u);
    RECT wr, file, edit;
    GetWindowRect(form->Handle(), &wr);
    GetMenuItemRect(form->Handle(), menu->Handle(), 0, &file);
    GetMenuItemRect(form->Handle(), menu->Handle(), 1, &edit);
    HDC dc = GetWindowDC(form->Handle());
    auto at = [&](int x, int y) { return static_cast<TColor>(GetPixel(dc, x - wr.left, y - wr.top)); };
    const int middle = (file.top + file.bottom) / 2;
    const TColor item = at(file.left + 2, middle);
    const TColor disabled = at(edit.left + 2, middle);
    const TColor line = at(edit.right + 20, middle);
    // The system's menu bar is a row taller than the skinned line: that row
    // shows the frame under the items as beside them, no item's edge.
    const int lineBottom = wr.top + provider->FrameHeight() + provider->CaptionHeight() + provider->MenuLineHeight();
    ASSERT_EQ(file.bottom, lineBottom + 1);
    EXPECT_EQ(at(file.left + 2, lineBottom), at(edit.right + 20, lineBottom));
    EXPECT_EQ(at(edit.left + 2, lineBottom), at(edit.right + 20, lineBottom));
    ReleaseDC(form->Handle(), dc);
    EXPECT_TRUE(Near(item, kItem)) << std::hex << item;
    EXPECT_TRUE(Near(line, kLine)) << std::hex << line;
    // The disabled item is blended toward the line behind it.
    EXPECT_FALSE(Near(disabled, kItem, 8)) << std::hex << disabled;
    EXPECT_FALSE(Near(disabled, kLine, 8)) << std::hex << disabled;

    // Without the skin the menu is the system's again.
    manager->SendRemoveSkin();
    Pump();
    EXPECT_FALSE(menu->OwnerDraw());
    EXPECT_FALSE(menu->Items()->Items(0)->OnAdvancedDrawItem);
    form->Free();
    host->Free();
}

TEST(SkinnedMenus, SwitchingOffKeepsTheProgramsOwnHandlers) {
    TForm* host = NewForm<TForm>(Application);
    auto* manager = new TsSkinManager(host);
    manager->SetActive(false);
    LoadMenuSkin(manager);
    auto* popup = new TPopupMenu(host);
    TMenuItem* plain = AddItem(host, popup->Items(), "Взять из отчета");
    TMenuItem* own = AddItem(host, popup->Items(), "Свой");
    int ownDrawn = 0;
    own->OnAdvancedDrawItem = [&ownDrawn](TObject*, TCanvas*, RECT, TOwnerDrawState) { ++ownDrawn; };
    TsSkinableMenus* menus = manager->SkinableMenus.get();

    menus->SetMenusActive(true);
    EXPECT_TRUE(popup->OwnerDraw());
    EXPECT_TRUE(menus->IsOwnDraw(plain->OnAdvancedDrawItem));
    EXPECT_TRUE(menus->IsOwnMeasure(plain->OnMeasureItem));
    EXPECT_FALSE(menus->IsOwnDraw(own->OnAdvancedDrawItem));

    menus->SetMenusActive(false);
    EXPECT_FALSE(popup->OwnerDraw());
    EXPECT_FALSE(popup->MenuAnimation & maNone);
    EXPECT_FALSE(plain->OnAdvancedDrawItem);
    EXPECT_FALSE(plain->OnMeasureItem);
    ASSERT_TRUE(own->OnAdvancedDrawItem);
    own->OnAdvancedDrawItem(own, nullptr, RECT{}, 0);
    EXPECT_EQ(ownDrawn, 1);

    // A form without a provider has no skinned line to paint into: its
    // hooked menu line keeps its captions.
    TForm* bare = NewForm<TForm>(Application);
    bare->SetBounds(60, 60, 300, 160);
    auto* mainMenu = new TMainMenu(bare);
    AddItem(bare, mainMenu->Items(), "ЖЖЖЖЖЖ");
    bare->SetMenu(mainMenu);
    bare->Show();
    menus->SetMenusActive(true);
    ASSERT_TRUE(mainMenu->OwnerDraw());
    DrawMenuBar(bare->Handle());
    Pump();
    RECT wr, r;
    GetWindowRect(bare->Handle(), &wr);
    GetMenuItemRect(bare->Handle(), mainMenu->Handle(), 0, &r);
    HDC dc = GetWindowDC(bare->Handle());
    int dark = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF c = GetPixel(dc, x - wr.left, y - wr.top);
            dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 200;
        }
    ReleaseDC(bare->Handle(), dc);
    EXPECT_GT(dark, 20);
    menus->SetMenusActive(false);
    bare->Free();
    host->Free();
}

TEST(SkinnedMenus, ExtraLineWidensTheFirstColumnAndShowsItsStrip) {
    constexpr TColor kExtra = 0x8060A0;
    TForm* host = NewForm<TForm>(Application);
    auto* manager = new TsSkinManager(host);
    manager->SetActive(false);
    LoadMenuSkin(manager);
    manager->Skin().Sections.push_back(framedetail::Section("EXTRALINE", kExtra, kExtra));
    manager->SendNewSkin();
    manager->MenuSupport().UseExtraLine = true;
    TsSkinableMenus* menus = manager->SkinableMenus.get();
    auto* popup = new TPopupMenu(host);
    TMenuItem* first = AddItem(host, popup->Items(), "Открыть");
    TMenuItem* after = AddItem(host, popup->Items(), "Открыть");
    after->SetBreak(mbBreak);
    HDC screen = GetDC(nullptr);
    TCanvas canvas;
    canvas.SetHandle(screen);
    auto width = [&](TMenuItem* item) {
        int w = 0, h = 0;
        menus->MeasureMenuItem(item, &canvas, w, h);
        return w;
    };

    // Not asked for: the line shows its reminder in the "EXTRALINE" section.
    ResetMenuCache();
    const int withLine = width(first);
    EXPECT_EQ(menus->ExtraLineSpace(), 32);
    EXPECT_EQ(width(after), withLine - 32);  // only the first column carries the line
    menus->PaintMenuBorder(first, 200, 120, nullptr);
    ASSERT_NE(MenuBorderCache(), nullptr);
    const int bw = menus->SkinBorderWidth();
    uint8_t* strip = MenuBorderCache()->Pixels().At(bw + 1, 60);
    EXPECT_TRUE(Near(static_cast<TColor>(RGB(strip[2], strip[1], strip[0])), kExtra));

    // The program's answer hides it; so does a first item named "SkinSelectItem".
    manager->OnGetMenuExtraLineData = [](TMenuItem*, std::string&, std::string&, TBitmap*&, bool& visible) { visible = false; };
    ResetMenuCache();
    EXPECT_EQ(width(first), withLine - 32);
    EXPECT_EQ(menus->ExtraLineSpace(), 0);
    manager->OnGetMenuExtraLineData = nullptr;
    first->SetName("SkinSelectItem");
    ResetMenuCache();
    EXPECT_EQ(width(first), withLine - 32);
    canvas.SetHandle(nullptr);
    ReleaseDC(nullptr, screen);
    host->Free();
}

TEST(SkinnedMenus, NoBlackFrameWithoutAPopupSectionAndNoHandlerLeftByAFreedPainter) {
    TForm* host = NewForm<TForm>(Application);
    auto* manager = new TsSkinManager(host);
    manager->SetActive(false);
    LoadMenuSkin(manager, false);
    TForm* other = NewForm<TForm>(Application);
    auto* popup = new TPopupMenu(other);
    AddItem(other, popup->Items(), "Открыть");
    AddItem(other, popup->Items(), "-");
    TMenuItem* last = AddItem(other, popup->Items(), "Сохранить");
    manager->SkinableMenus->HookPopupMenu(popup, true);

    g_seen = PopupSeen{};
    SetTimer(nullptr, 0, 400, InspectPopup);
    popup->Popup(200, 200);
    Pump();
    ASSERT_NE(g_seen.Window, nullptr);
    EXPECT_FALSE(g_seen.HasRegion);
    EXPECT_TRUE(Near(g_seen.Item, kItem)) << std::hex << g_seen.Item;
    EXPECT_TRUE(Near(g_seen.Frame, static_cast<TColor>(ColorToRGB(clMenu)))) << std::hex << g_seen.Frame;

    // The manager goes while the other form's menu is still hooked: the
    // menu keeps no handler of its painter and opens as the layer draws it.
    host->Free();
    EXPECT_FALSE(last->OnAdvancedDrawItem);
    EXPECT_FALSE(last->OnMeasureItem);
    g_seen = PopupSeen{};
    SetTimer(nullptr, 0, 400, InspectPopup);
    popup->Popup(200, 200);
    Pump();
    EXPECT_NE(g_seen.Window, nullptr);
    other->Free();
}

TEST(SkinnedMenus, CheckMarksAndCaptionItemsFromTheirSections) {
    constexpr TColor kCheck = 0x10A0F0, kToolbar = 0x906030;
    TForm* host = NewForm<TForm>(Application);
    auto* manager = new TsSkinManager(host);
    manager->SetActive(false);
    LoadMenuSkin(manager);
    TsSkinContent& skin = manager->Skin();
    skin.Sections.push_back(framedetail::Section("TOOLBAR", kToolbar, kToolbar));
    skin.Masks.push_back(framedetail::Mask(skin, "GLOBALINFO", "CHECK", 100, 26, 10, 10, 2,
                                           [&](int, int, int) { return kCheck; }));
    manager->SendNewSkin();
    auto* popup = new TPopupMenu(host);
    AddItem(host, popup->Items(), "-Раздел-");
    AddItem(host, popup->Items(), "Флаг")->SetChecked(true);
    AddItem(host, popup->Items(), "Открыть");
    manager->SkinableMenus->HookPopupMenu(popup, true);

    SetTimer(nullptr, 0, 400, ReadItems);
    popup->Popup(200, 200);
    Pump();
    ASSERT_EQ(g_items.size(), 3u);
    // The caption item is the tool bar's section across, its word in the middle.
    EXPECT_TRUE(Near(g_items[0].first, kToolbar)) << std::hex << g_items[0].first;
    EXPECT_TRUE(Near(g_items[0].second, kToolbar)) << std::hex << g_items[0].second;
    // The checked item shows the skin's check mark where an unchecked one shows the item.
    EXPECT_TRUE(Near(g_items[1].first, kCheck)) << std::hex << g_items[1].first;
    EXPECT_TRUE(Near(g_items[2].first, kItem)) << std::hex << g_items[2].first;
    EXPECT_TRUE(Near(g_items[1].second, kItem)) << std::hex << g_items[1].second;
    host->Free();
}

TEST(SkinnedMenus, MessageBoxSystemMenuDrawnFromTheSkin) {
    InitSkinnedWindows();
    TForm* host = NewForm<TForm>(Application);
    host->SetBounds(20, 20, 300, 200);
    auto* manager = new TsSkinManager(host);
    manager->SetActive(false);
    host->Show();
    Pump();
    LoadMenuSkin(manager);
    manager->Skin().Sections.push_back(framedetail::Section("DIALOG", kMenuBack, kMenuBack));
    manager->SendNewSkin();
    Pump();
    ASSERT_TRUE(manager->IsHooked);

    g_items.clear();
    g_popupWidth = 0;
    SetTimer(nullptr, 0, 50, OpenBoxSystemMenu);
    MessageBoxW(host->Handle(), L"Count: 12x is not a number", L"Warning", MB_OK);
    Pump();
    // The box's own menu is measured and painted by the skinned menus.
    ASSERT_FALSE(g_items.empty());
    EXPECT_GT(g_popupWidth, 60);
    EXPECT_TRUE(std::any_of(g_items.begin(), g_items.end(), [](const auto& item) { return Near(item.second, kItem); }));
    manager->SetActive(false);
    host->Free();
}
