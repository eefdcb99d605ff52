// Skinned form frames under Wine with a flat test skin: the frame, title,
// caption and buttons come from the skin and survive the default
// procedure's own painting; the corners are cut out of the window; the
// close button lights up, presses and closes only when released on it;
// the system menu opens from the icon, the caption and Alt+Space; the
// outline of older systems moves by where the form was taken; and the
// provider hands its form back as it found it.
#include "gtest_windows.h"
#include "support/frame_skin.h"
#include "support/vcl_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "skin/core/skincommands.h"
#include "skin/core/storedskins.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmessages.h"
#include "rtl/encoding.h"
#include "skin/windows/skinprovider.h"
#include "vcl/wintext.h"

using namespace vcl;
using namespace skin;
using namespace skintest;
using vcltest::Pump;

namespace {

struct FrameScene {
    explicit FrameScene(TFormBorderStyle style = bsSizeable, const std::string& caption = "Frame", bool skinned = true) {
        host = NewForm<TForm>(Application);
        manager = new TsSkinManager(host);
        manager->SetActive(false);
        form = NewForm<TForm>(Application);
        form->SetBorderStyle(style);
        form->SetCaption(caption);
        form->SetBounds(60, 60, 260, 180);
        provider = new TsSkinProvider(form);
        provider->AfterConstruction();
        form->Show();
        Pump();
        if (skinned) Skin();
    }
    ~FrameScene() {
        form->Free();
        host->Free();
        OverrideWindowsMajorVersion(0);
    }
    FrameScene(const FrameScene&) = delete;
    FrameScene& operator=(const FrameScene&) = delete;

    void Skin() {
        LoadFrameSkin(manager);
        Pump();
    }
    HWND H() const { return form->Handle(); }
    RECT Window() const {
        RECT r;
        GetWindowRect(H(), &r);
        return r;
    }
    // What the window shows at a point of its frame (window coordinates).
    TColor Pixel(POINT p) {
        Pump();
        HDC dc = GetWindowDC(H());
        const COLORREF c = GetPixel(dc, p.x, p.y);
        ReleaseDC(H(), dc);
        return static_cast<TColor>(c);
    }
    POINT ToScreen(POINT p) const { return POINT{Window().left + p.x, Window().top + p.y}; }
    // A point of the title away from the icon, the text and the buttons.
    POINT TitlePoint() const { return POINT{150, provider->FrameHeight() + 3}; }
    POINT CloseCentre() const {
        const TRect& r = provider->ButtonClose.Rect;
        return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    // The mouse goes there for real (the hot button follows it), then the hit test is asked.
    LRESULT HitAt(POINT windowPoint) {
        const POINT s = ToScreen(windowPoint);
        SetCursorPos(s.x, s.y);
        return SendMessageW(H(), WM_NCHITTEST, 0, MAKELPARAM(s.x, s.y));
    }
    LPARAM ScreenParam(POINT windowPoint) const {
        const POINT s = ToScreen(windowPoint);
        return MAKELPARAM(s.x, s.y);
    }

    TForm* host;
    TsSkinManager* manager;
    TForm* form;
    TsSkinProvider* provider;
};

void Click(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Pump();
}

void Keys(std::initializer_list<std::pair<WORD, bool>> keys) {
    for (auto [key, down] : keys) keybd_event(static_cast<BYTE>(key), 0, down ? 0 : KEYEVENTF_KEYUP, 0);
    Pump();
}

// The popup menus the form opened, each closed again at once.
struct MenuRecorder {
    MenuRecorder(TForm* f, TsSkinProvider* provider) : form(f) {
        token = form->ReplaceWindowProc([this, provider](TMessage& m) {
            if (m.Msg == WM_INITMENUPOPUP) {
                ours += reinterpret_cast<HMENU>(m.WParam) == provider->SystemMenu->Handle();
                systemMenus += HIWORD(m.LParam) != 0;
                EndMenu();
            }
            form->CallPreviousWindowProc(token, m);
        });
    }
    ~MenuRecorder() { form->RestoreWindowProc(token); }
    TForm* form;
    TWindowProcToken token;
    int ours = 0;  // the provider's system menu
    int systemMenus = 0;
};

// How many pixels of the title the caption's text takes (icon off).
int CaptionInk(FrameScene& s) {
    Pump();
    HDC dc = GetWindowDC(s.H());
    const int top = s.provider->FrameHeight(), bottom = top + s.provider->CaptionHeight();
    int ink = 0;
    for (int x = s.provider->FrameWidth(); x < s.provider->ButtonMin.Rect.Left - 1; ++x)
        for (int y = top; y < bottom; ++y) ink += static_cast<TColor>(GetPixel(dc, x, y)) != kTitleOn;
    ReleaseDC(s.H(), dc);
    return ink;
}

// The same text drawn in the caption's colours and font, bold or not, as
// a menu would show it (prefixes) or not.
int TextInk(TForm* form, const std::string& text, bool bold, bool prefixes) {
    TBitmap picture(400, 40, pf24bit);
    TCanvas* canvas = picture.Canvas();
    canvas->Brush()->SetColor(kTitleOn);
    RECT all{0, 0, 400, 40};
    canvas->FillRect(all);
    canvas->Font()->Assign(*form->Font());
    if (bold) canvas->Font()->SetStyle(canvas->Font()->Style() | fsBold);
    if (const int h = CaptionFontHeight()) canvas->Font()->SetHeight(h);
    canvas->Font()->SetColor(kTitleTextOn);
    canvas->Brush()->SetStyle(bsClear);
    canvas->DrawText(text, all, DT_SINGLELINE | (prefixes ? 0 : DT_NOPREFIX));
    int ink = 0;
    const TPixels p = picture.Pixels();
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) ink += !IsKeyPixel(p.At(x, y), kTitleOn);
    return ink;
}

}  // namespace

TEST(SkinnedFrame, TheSkinDrawsTheFrameAndCutsItsCornersUntilItIsRemoved) {
    TForm* below = NewForm<TForm>(Application);
    below->SetBorderStyle(bsNone);
    below->SetBounds(40, 40, 60, 60);
    int belowClicks = 0;
    below->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++belowClicks; };
    below->Show();
    FrameScene s;
    const HWND h = s.H();
    const RECT wr = s.Window();
    const int w = wr.right - wr.left, ht = wr.bottom - wr.top;

    EXPECT_FALSE(GetWindowLongW(h, GWL_STYLE) & WS_SYSMENU);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(h, region), ERROR);
    // Each corner loses the pixels with x + y < 3 and nothing more.
    for (POINT p : {POINT{0, 0}, POINT{1, 1}, POINT{2, 0}, POINT{w - 1, 0}, POINT{0, ht - 1}, POINT{w - 2, ht - 2}})
        EXPECT_FALSE(PtInRegion(region, p.x, p.y)) << p.x << "," << p.y;
    for (POINT p : {POINT{2, 1}, POINT{3, 0}, POINT{w / 2, 0}, POINT{w - 3, 1}, POINT{w / 2, ht - 1}})
        EXPECT_TRUE(PtInRegion(region, p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(s.Pixel(POINT{1, ht / 2}), kFrameOn);
    EXPECT_EQ(s.Pixel(POINT{w / 2, ht - 2}), kFrameOn);
    EXPECT_EQ(s.Pixel(s.TitlePoint()), kTitleOn);
    EXPECT_EQ(s.Pixel(s.CloseCentre()), kCloseNormal);
    HDC dc = GetDC(h);
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc, 10, 10)), kFormBack);
    ReleaseDC(h, dc);

    // A click on a cut corner reaches the window below; one pixel further in, the form.
    EXPECT_EQ(WindowFromPoint(POINT{wr.left, wr.top}), below->Handle());
    EXPECT_EQ(WindowFromPoint(POINT{wr.left + 3, wr.top + 3}), h);
    Click(POINT{wr.left, wr.top});
    EXPECT_EQ(belowClicks, 1);
    SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    // Skin removed: the system's own frame, buttons and rectangle again.
    s.manager->SendRemoveSkin();
    Pump();
    EXPECT_TRUE(GetWindowLongW(h, GWL_STYLE) & WS_SYSMENU);
    EXPECT_EQ(GetWindowRgn(h, region), ERROR);
    EXPECT_EQ(WindowFromPoint(POINT{wr.left, wr.top}), h);
    for (POINT p : {POINT{1, ht / 2}, s.TitlePoint(), s.CloseCentre()}) {
        const TColor c = s.Pixel(p);
        EXPECT_TRUE(c != kFrameOn && c != kTitleOn && c != kCloseNormal) << p.x << "," << p.y;
    }
    DeleteObject(region);
    below->Free();
}

TEST(SkinnedFrame, TheCaptionIsBoldAndShowsItsAmpersands) {
    const std::string caption = "&WWWWWWWWWW&&";
    FrameScene s(bsSizeable, caption);
    s.provider->SetShowAppIcon(false);
    s.provider->RepaintFrame();
    const int ink = CaptionInk(s);
    const int bold = TextInk(s.form, caption, true, false);
    const int plain = TextInk(s.form, caption, false, false);
    const int prefixed = TextInk(s.form, caption, true, true);
    ASSERT_GT(std::abs(bold - plain), 20);
    ASSERT_GT(std::abs(bold - prefixed), 20);
    EXPECT_LE(std::abs(ink - bold), 8) << "ink " << ink << ", bold " << bold << ", plain " << plain << ", prefixed " << prefixed;
}

TEST(SkinnedFrame, TheCloseButtonLightsUpAndClosesOnlyWhenReleasedOnIt) {
    FrameScene s;
    int queries = 0;
    s.form->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++queries;
        canClose = false;
    };
    const POINT close = s.CloseCentre();
    ASSERT_FALSE(s.provider->ButtonClose.Rect.IsEmpty());
    EXPECT_EQ(s.Pixel(close), kCloseNormal);
    EXPECT_EQ(s.HitAt(close), HTCLOSE);
    EXPECT_EQ(s.Pixel(close), kCloseHot);
    SendMessageW(s.H(), WM_NCLBUTTONDOWN, HTCLOSE, s.ScreenParam(close));
    EXPECT_EQ(s.Pixel(close), kClosePressed);
    SendMessageW(s.H(), WM_NCLBUTTONUP, HTCLOSE, s.ScreenParam(close));
    Pump();
    EXPECT_EQ(queries, 1);
    EXPECT_EQ(s.Pixel(close), kCloseNormal);

    // Pressed, then the mouse goes off onto the caption and is released there.
    s.HitAt(close);
    SendMessageW(s.H(), WM_NCLBUTTONDOWN, HTCLOSE, s.ScreenParam(close));
    EXPECT_EQ(s.HitAt(s.TitlePoint()), HTCAPTION);
    EXPECT_EQ(s.Pixel(close), kCloseNormal);
    SendMessageW(s.H(), WM_NCLBUTTONUP, HTCAPTION, s.ScreenParam(s.TitlePoint()));
    Pump();
    EXPECT_EQ(queries, 1);

    // WM_LBUTTONUP carries the keys: 0x14 (shift and the middle button) is no hit code.
    SendMessageW(s.H(), WM_LBUTTONUP, 0x14, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(queries, 1);
    // A press on the button released over it as a client message (the mouse
    // was captured) is tested at its point: it closes.
    s.HitAt(close);
    SendMessageW(s.H(), WM_NCLBUTTONDOWN, HTCLOSE, s.ScreenParam(close));
    POINT client = s.ToScreen(close);
    ScreenToClient(s.H(), &client);
    SendMessageW(s.H(), WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    Pump();
    EXPECT_EQ(queries, 2);
    s.form->OnCloseQuery = nullptr;
}

TEST(SkinnedFrame, MaximizeAndMinimizeShowTheRestoreGlyphOnlyWhileTheyLast) {
    FrameScene s;
    auto centre = [](const TRect& r) { return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; };
    const int maxMask = s.provider->ButtonMax.MaskIndex, minMask = s.provider->ButtonMin.MaskIndex;
    ASSERT_EQ(s.Pixel(centre(s.provider->ButtonMax.Rect)), kMaxColor);
    for (int round = 0; round < 2; ++round) {
        ShowWindow(s.H(), SW_MAXIMIZE);
        Pump();
        EXPECT_EQ(s.Pixel(centre(s.provider->ButtonMax.Rect)), kNormColor) << round;
        EXPECT_EQ(s.Pixel(centre(s.provider->ButtonMin.Rect)), kMinColor) << round;
        ShowWindow(s.H(), SW_RESTORE);
        Pump();
        EXPECT_EQ(s.Pixel(centre(s.provider->ButtonMax.Rect)), kMaxColor) << round;
        ShowWindow(s.H(), SW_MINIMIZE);
        Pump();
        ShowWindow(s.H(), SW_RESTORE);
        Pump();
        EXPECT_EQ(s.Pixel(centre(s.provider->ButtonMin.Rect)), kMinColor) << round;
        EXPECT_EQ(s.Pixel(centre(s.provider->ButtonMax.Rect)), kMaxColor) << round;
    }
    // The buttons keep the pictures the skin gave them.
    EXPECT_EQ(s.provider->ButtonMax.MaskIndex, maxMask);
    EXPECT_EQ(s.provider->ButtonMin.MaskIndex, minMask);
}

TEST(SkinnedFrame, InOurSkinsTheTitleBesideACaptionWithoutIconIsTheTitleAlone) {
    // Each row of the title from below the rounded corner down to the
    // client area: between the frame's lines and the caption it shows what
    // the same row shows past the caption (the title's own picture).
    for (const char* name : {"Cold (internal)", "Pulsar (internal)", "Office2007 Black (internal)"}) {
        FrameScene s(bsDialog, "Warring", false);
        AddOwnStoredSkins(s.manager->InternalSkins());
        s.manager->SetSkinName(name);
        s.manager->SetActive(true);
        Pump();
        ASSERT_TRUE(s.provider->SkinData->HasValidSkin()) << name;
        const int left = s.provider->FrameWidth(), top = s.provider->FrameHeight() + s.provider->CaptionHeight();
        const int beyond = s.provider->ButtonClose.Rect.Left - 10;
        HDC dc = GetWindowDC(s.H());
        int foreign = 0;
        for (int y = 7; y < top; ++y)
            for (int x = 2; x < left + 4; ++x) foreign += GetPixel(dc, x, y) != GetPixel(dc, beyond, y);
        ReleaseDC(s.H(), dc);
        EXPECT_EQ(foreign, 0) << name;
    }
}

TEST(SkinnedFrame, AFormThatUpdatesItselfInItsOnPaintIsPaintedOnce) {
    FrameScene s;
    int depth = 0, deepest = 0, calls = 0;
    s.form->OnPaint = [&](TObject*) {
        ++calls;
        deepest = std::max(deepest, ++depth);
        if (depth < 20) {
            InvalidateRect(s.H(), nullptr, FALSE);
            UpdateWindow(s.H());
        }
        --depth;
    };
    s.provider->RepaintFrame();
    Pump();
    EXPECT_EQ(deepest, 1);
    EXPECT_GE(calls, 1);
    EXPECT_EQ(s.Pixel(s.TitlePoint()), kTitleOn);
    s.form->OnPaint = nullptr;
}

TEST(SkinnedFrame, TheFrameKeepsTheSkinThroughActivationAndCaptionChanges) {
    FrameScene s;
    TForm* other = NewForm<TForm>(Application);
    other->SetBounds(500, 400, 200, 150);
    const POINT side{1, 100};
    ASSERT_EQ(s.Pixel(s.TitlePoint()), kTitleOn);

    other->Show();
    SetActiveWindow(other->Handle());
    Pump();
    EXPECT_EQ(s.Pixel(s.TitlePoint()), kTitleOff);
    EXPECT_EQ(s.Pixel(side), kFrameOff);
    SetActiveWindow(s.H());
    Pump();
    EXPECT_EQ(s.Pixel(s.TitlePoint()), kTitleOn);
    EXPECT_EQ(s.Pixel(side), kFrameOn);

    // The default procedure paints its plain caption when the text changes: ours stays.
    s.form->SetCaption("Другой заголовок окна");
    EXPECT_EQ(s.Pixel(s.TitlePoint()), kTitleOn);
    EXPECT_EQ(s.Pixel(s.CloseCentre()), kCloseNormal);
    EXPECT_EQ(GetWindowText1251(s.H()), "Другой заголовок окна");

    // Older systems take the cover form instead of holding the redraw.
    OverrideWindowsMajorVersion(5);
    s.form->SetCaption("Frame");
    EXPECT_EQ(s.Pixel(s.TitlePoint()), kTitleOn);
    EXPECT_EQ(s.provider->CoverForm, nullptr);
    SetActiveWindow(other->Handle());
    Pump();
    EXPECT_EQ(s.Pixel(s.TitlePoint()), kTitleOff);
    EXPECT_EQ(s.provider->CoverForm, nullptr);
    other->Free();
}

TEST(SkinnedFrame, TheSystemMenuOpensFromTheIconTheCaptionAndAltSpaceAndAltF4Asks) {
    FrameScene s;
    int queries = 0;
    s.form->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++queries;
        canClose = false;
    };
    ASSERT_NE(s.provider->SystemMenu, nullptr);
    MenuRecorder menus(s.form, s.provider);
    const POINT icon{s.provider->FrameWidth() + 2, s.provider->FrameHeight() + s.provider->CaptionHeight() / 2};
    EXPECT_EQ(s.HitAt(icon), HTSYSMENU);
    SendMessageW(s.H(), WM_NCLBUTTONDOWN, HTSYSMENU, s.ScreenParam(icon));
    SendMessageW(s.H(), WM_NCRBUTTONDOWN, HTCAPTION, s.ScreenParam(s.TitlePoint()));
    SendMessageW(s.H(), WM_NCRBUTTONUP, HTCAPTION, s.ScreenParam(s.TitlePoint()));
    SetForegroundWindow(s.H());
    Keys({{VK_MENU, true}, {VK_SPACE, true}, {VK_SPACE, false}, {VK_MENU, false}});
    EXPECT_EQ(menus.ours, 3);
    EXPECT_EQ(menus.systemMenus, 0);
    // Restore, Move, Size, Minimize, Maximize, a line and Close; only restoring is off.
    HMENU m = s.provider->SystemMenu->Handle();
    ASSERT_EQ(GetMenuItemCount(m), 7);
    EXPECT_TRUE(GetMenuState(m, 0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(m, 4, MF_BYPOSITION) & MF_GRAYED);

    Keys({{VK_MENU, true}, {VK_F4, true}, {VK_F4, false}, {VK_MENU, false}});
    EXPECT_EQ(queries, 1);
    s.form->OnCloseQuery = nullptr;
}

TEST(SkinnedFrame, OnOlderSystemsTheOutlineMovesAndSizesTheFormFromWhereItWasTaken) {
    FrameScene s;
    // Newer systems compose the outline away: the first frame paint turns it off.
    s.provider->ResizeMode = rmBorder;
    s.provider->RefreshNonClient();
    EXPECT_EQ(s.provider->ResizeMode, rmStandard);

    OverrideWindowsMajorVersion(5);
    s.provider->ResizeMode = rmBorder;
    s.provider->RefreshNonClient();
    ASSERT_EQ(s.provider->ResizeMode, rmBorder);
    const RECT start = s.Window();
    HDC screen = GetDC(nullptr);
    // On the top edge of the outline while it is up and to the left of the form.
    const POINT onOutline{start.left - 30, start.top - 20};
    const COLORREF before = GetPixel(screen, onOutline.x, onOutline.y);

    const POINT grab = s.ToScreen(s.TitlePoint());
    SetCursorPos(grab.x, grab.y);
    SendMessageW(s.H(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(grab.x, grab.y));
    ASSERT_TRUE(s.provider->Dragging());
    SetCursorPos(grab.x - 40, grab.y - 20);
    SendMessageW(s.H(), WM_MOUSEMOVE, MK_LBUTTON, 0);
    EXPECT_NE(GetPixel(screen, onOutline.x, onOutline.y), before);
    SetCursorPos(grab.x + 30, grab.y + 40);
    SendMessageW(s.H(), WM_MOUSEMOVE, MK_LBUTTON, 0);
    EXPECT_EQ(GetPixel(screen, onOutline.x, onOutline.y), before);  // the old outline is gone
    SendMessageW(s.H(), WM_LBUTTONUP, 0, 0);
    Pump();
    EXPECT_FALSE(s.provider->Dragging());
    RECT moved = s.Window();
    EXPECT_EQ(moved.left, start.left + 30);
    EXPECT_EQ(moved.top, start.top + 40);
    EXPECT_EQ(moved.right - moved.left, start.right - start.left);

    // Sizing from the bottom-right corner: that corner follows the mouse.
    const POINT corner{moved.right - 1, moved.bottom - 1};
    SetCursorPos(corner.x, corner.y);
    SendMessageW(s.H(), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(corner.x, corner.y));
    SetCursorPos(corner.x + 20, corner.y + 10);
    SendMessageW(s.H(), WM_MOUSEMOVE, MK_LBUTTON, 0);
    SendMessageW(s.H(), WM_LBUTTONUP, 0, 0);
    Pump();
    const RECT sized = s.Window();
    EXPECT_EQ(sized.left, moved.left);
    EXPECT_EQ(sized.right, corner.x + 20);
    EXPECT_EQ(sized.bottom, corner.y + 10);
    ReleaseDC(nullptr, screen);
}

TEST(SkinProviderLife, TheProviderAnswersForItsFormAndGivesBackOnlyWhatIsItsOwn) {
    TForm* form = NewForm<TForm>(Application);
    form->SetBounds(80, 80, 240, 160);
    std::vector<UINT> below, above;
    TWindowProcToken belowToken = 0, aboveToken = 0;
    belowToken = form->ReplaceWindowProc([&](TMessage& m) {
        below.push_back(m.Msg == SM_SKINCMD ? SkinCommandOf(m.WParam) + 0x10000 : m.Msg);
        form->CallPreviousWindowProc(belowToken, m);
    });
    auto* host = NewForm<TForm>(Application);
    auto* manager = new TsSkinManager(host);
    manager->SetActive(false);
    auto* provider = new TsSkinProvider(form);
    provider->AfterConstruction();
    aboveToken = form->ReplaceWindowProc([&](TMessage& m) {
        above.push_back(m.Msg);
        form->CallPreviousWindowProc(aboveToken, m);
    });
    form->Show();
    Pump();
    // A second provider on the form stays out of its way.
    auto* second = new TsSkinProvider(form);
    EXPECT_EQ(second->Form, nullptr);
    second->Free();

    // Unskinned: asked, it says skinned all the same; what it does not know goes on.
    EXPECT_TRUE(AskSkinCommand(form, AC_QUERYSKINNED));
    below.clear();
    form->Perform(SM_SKINCMD, SkinCommandWParam(99), 0);
    EXPECT_EQ(below, std::vector<UINT>{0x10000 + 99});

    LoadFrameSkin(manager);
    Pump();
    below.clear();
    form->Perform(SM_SKINCMD, SkinCommandWParam(99), 0);
    form->Perform(WM_PRINTCLIENT, 0, 0);
    form->Perform(WM_ENTERIDLE, 0, 0);
    EXPECT_TRUE(below.empty());
    // A paint it does not make is answered all the same: nothing stays waiting.
    form->SetControlState(form->ControlState() | csCreating);
    InvalidateRect(form->Handle(), nullptr, FALSE);
    SendMessageW(form->Handle(), WM_PAINT, 0, 0);
    EXPECT_FALSE(GetUpdateRect(form->Handle(), nullptr, FALSE));
    form->SetControlState(form->ControlState() & ~static_cast<unsigned>(csCreating));

    // Freed, it takes only its own place in the chain: both others still hear everything.
    provider->Free();
    below.clear();
    above.clear();
    form->Perform(SM_SKINCMD, SkinCommandWParam(99), 0);
    EXPECT_EQ(below, std::vector<UINT>{0x10000 + 99});
    EXPECT_EQ(above, std::vector<UINT>{SM_SKINCMD});
    EXPECT_FALSE(AskSkinCommand(form, AC_QUERYSKINNED));
    form->RestoreWindowProc(aboveToken);
    form->RestoreWindowProc(belowToken);
    form->Free();
    host->Free();
}
