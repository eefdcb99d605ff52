// Painting of what timer ticks bring up: a form shown by one tick and a real
// message box opened by the next tick of the same scheduler dispatch both
// have their pictures drawn while the box waits for its answer. The
// pictures are read from the windows themselves, not from the screen.
#include "gtest_windows.h"
#include "support/vcl_test_support.h"

#include <cstdint>
#include <cstring>
#include <vector>

using namespace vcl;

namespace {

struct Picture {
    int pixels = 0;
    int background = 0;  // pixels of the expected background colour
    int ink = 0;         // dark pixels: text, icons, button edges
};

// Copies the picture of the window's client area, child windows included.
Picture ReadPicture(HWND window, COLORREF background) {
    Picture picture;
    RECT r;
    if (!GetClientRect(window, &r)) return picture;
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return picture;
    HDC source = GetDCEx(window, nullptr, DCX_CACHE);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    // Black first, so that nothing read back can pass for background.
    PatBlt(memory, 0, 0, width, height, BLACKNESS);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixel = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
        int red = (pixel[i] >> 16) & 0xFF, green = (pixel[i] >> 8) & 0xFF, blue = pixel[i] & 0xFF;
        ++picture.pixels;
        if (RGB(red, green, blue) == background) ++picture.background;
        if (red + green + blue < 3 * 96) ++picture.ink;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return picture;
}

BOOL CALLBACK FindBox(HWND window, LPARAM data) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof(className));
    if (IsWindowVisible(window) && std::strcmp(className, "#32770") == 0) {
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
    }
    return TRUE;
}

HWND ShownMessageBox() {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    return box;
}

class TWaitForm : public TForm {
public:
    explicit TWaitForm(TComponent* owner) : TForm(owner) {
        SetCaption("пожалуйста подождите");
        SetBorderStyle(bsDialog);
        SetClientSize(420, 60);
        auto* label = new TLabel(this);
        label->SetParent(this);
        label->SetCaption("Выполняется загрузка данных пожалуйста подождите");
        label->SetBounds(12, 20, 390, 16);
    }
};

// What the check saw while the box was up.
struct Seen {
    bool checked = false;
    bool boxFound = false;
    bool formVisible = false;
    Picture box, form;
    int textEdgeInk = -1;  // dark pixels in the last column of the box's text
};

Seen* g_seen = nullptr;
TForm* g_form = nullptr;

// Runs from the box's own message loop once it has nothing else to do:
// timer messages come after every pending paint.
void CALLBACK CheckAndAnswer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    Seen& seen = *g_seen;
    seen.checked = true;
    HWND box = ShownMessageBox();
    seen.boxFound = box != nullptr;
    seen.formVisible = IsWindowVisible(g_form->Handle()) != FALSE;
    seen.form = ReadPicture(g_form->Handle(), ColorToRGB(g_form->Color()));
    if (!box) box = GetActiveWindow();
    if (!box) return;
    seen.box = ReadPicture(box, GetSysColor(COLOR_BTNFACE));
    if (HWND text = GetDlgItem(box, 0xFFFF)) {
        RECT r;
        GetClientRect(text, &r);
        HDC dc = GetDC(text);
        seen.textEdgeInk = 0;
        for (int y = 0; y < r.bottom; ++y) {
            const COLORREF c = GetPixel(dc, r.right - 1, y);
            seen.textEdgeInk += GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 160;
        }
        ReleaseDC(text, dc);
    }
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

}  // namespace

TEST(Painting, FormAndMessageBoxFromTicksOfOneDispatchAreDrawnWhileTheBoxIsUp) {
    vcltest::Clock();
    TComponent owner(nullptr);
    auto* form = NewForm<TWaitForm>(&owner);
    Seen seen;
    g_seen = &seen;
    g_form = form;
    int answer = 0;
    std::vector<std::string> order;

    auto* showWait = new TTimer(&owner);
    showWait->SetInterval(1000);
    showWait->OnTimer = [&](TObject*) {
        showWait->SetEnabled(false);
        order.push_back("form");
        form->Show();
    };
    auto* warn = new TTimer(&owner);
    warn->SetInterval(1000);
    warn->OnTimer = [&](TObject*) {
        warn->SetEnabled(false);
        order.push_back("box");
        vcltest::PostAction([] { SetTimer(nullptr, 0, 1, CheckAndAnswer); });
        // A long line that ends in a wide letter: the box's last letter
        // used to touch its edge or lose its last stroke.
        answer = Application->MessageBox("количество кораблей должно быть целым числом\nСторона 1, участник «Я», «Грузовой "
                                         "челнок»: «12x»", "База данных", MB_OK | MB_ICONWARNING);
    };

    vcltest::Advance(1000);

    ASSERT_EQ(order, (std::vector<std::string>{"form", "box"}));
    ASSERT_TRUE(seen.checked);
    EXPECT_TRUE(seen.boxFound);
    EXPECT_EQ(answer, IDOK);
    EXPECT_TRUE(seen.formVisible);
    // Background with text on it. Showing only erases the background; the
    // text comes with the paint messages the box's loop must deliver.
    EXPECT_GT(seen.form.background * 2, seen.form.pixels);
    EXPECT_GT(seen.form.ink, 100);
    EXPECT_LT(seen.form.ink * 4, seen.form.pixels);
    EXPECT_GT(seen.box.background * 2, seen.box.pixels);
    EXPECT_GT(seen.box.ink, 100);
    EXPECT_LT(seen.box.ink * 4, seen.box.pixels);
    EXPECT_EQ(seen.textEdgeInk, 0);

    form->Hide();
    g_seen = nullptr;
    g_form = nullptr;
}

namespace {

// Pixels of the bar's colour along the middle row of a gauge.
int BarWidth(TGauge* gauge) {
    HDC dc = GetDC(gauge->Handle());
    const COLORREF bar = ColorToRGB(gauge->ForeColor());
    int width = 0;
    for (int x = 0; x < gauge->Width(); ++x)
        if (GetPixel(dc, x, gauge->Height() / 2) == bar) ++width;
    ReleaseDC(gauge->Handle(), dc);
    return width;
}

bool WaitsForPaint(TWinControl* control) {
    RECT r;
    return GetUpdateRect(control->Handle(), &r, FALSE) != FALSE;
}

}  // namespace

TEST(Painting, AFormShownByAHandlerThatGoesOnWorkingIsDrawnBeforeItGoesOn) {
    // As the log window at a run's first battle and the statistics window at
    // its end: the handler that shows the form goes on working before any
    // message is handled, and a form drawn only afterwards stays black on
    // the desktop meanwhile.
    TForm form(nullptr);
    form.SetClientSize(420, 200);
    auto put = [&form](auto* control, int left, int top, int width, int height) {
        control->SetParent(&form);
        control->SetBounds(left, top, width, height);
        return control;
    };
    TMemo* memo = put(new TMemo(&form), 8, 8, 404, 150);
    memo->Lines()->Add("По итогам симуляции");
    TButton* button = put(new TButton(&form), 312, 166, 100, 25);
    button->SetCaption("Стереть");
    form.Show();  // no message is handled from here on
    EXPECT_FALSE(WaitsForPaint(&form));
    EXPECT_FALSE(WaitsForPaint(memo));
    EXPECT_FALSE(WaitsForPaint(button));
    const Picture text = ReadPicture(memo->Handle(), ColorToRGB(memo->Color()));
    EXPECT_GT(text.background * 2, text.pixels);
    EXPECT_GT(text.ink, 20);  // the line is there
    EXPECT_GT(ReadPicture(form.Handle(), ColorToRGB(form.Color())).background, 0);
    form.Hide();
}

TEST(Painting, AGaugeSetManyTimesBetweenPaintsShowsItsLastValueAndRepaintsAgainAfter) {
    TForm form(nullptr);
    form.SetClientSize(320, 60);
    auto* gauge = new TGauge(&form);
    gauge->SetParent(&form);
    gauge->SetBounds(10, 10, 300, 24);
    form.Show();
    vcltest::Pump();
    for (int step = 0; step <= 30; ++step) gauge->SetProgress(step);
    EXPECT_TRUE(WaitsForPaint(gauge));
    vcltest::Pump();
    EXPECT_FALSE(WaitsForPaint(gauge));
    EXPECT_NEAR(BarWidth(gauge), 88, 4);  // 30 % of the inner width
    // The next change after a paint is drawn too.
    gauge->SetMaxValue(60);
    EXPECT_TRUE(WaitsForPaint(gauge));
    vcltest::Pump();
    EXPECT_NEAR(BarWidth(gauge), 148, 4);
    form.Hide();
}

TEST(Painting, ALabelChangedManyTimesBetweenPaintsAsksOnceAndAgainAfterItsPaint) {
    TForm form(nullptr);
    form.SetClientSize(320, 60);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 300, 16);
    form.Show();
    vcltest::Pump();
    ASSERT_FALSE(WaitsForPaint(&form));
    for (int battle = 1; battle <= 30; ++battle) label->SetCaption("Бой №" + std::to_string(battle) + " из 2000");
    EXPECT_TRUE(WaitsForPaint(&form));
    vcltest::Pump();
    EXPECT_FALSE(WaitsForPaint(&form));
    // After its paint the next caption is asked for again.
    label->SetCaption("Бой №31 из 2000");
    EXPECT_TRUE(WaitsForPaint(&form));
    vcltest::Pump();
    // Hidden, the form keeps nothing waiting; shown again, a change is painted.
    form.Hide();
    label->SetCaption("Бой №32 из 2000");
    form.Show();
    vcltest::Pump();
    label->SetCaption("Бой №33 из 2000");
    EXPECT_TRUE(WaitsForPaint(&form));
    vcltest::Pump();
    EXPECT_EQ(label->Caption(), "Бой №33 из 2000");
    form.Hide();
}
