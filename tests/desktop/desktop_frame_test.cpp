// The skinned frame on a desktop as a player has it: a window manager
// (openbox) places, maximizes and iconifies the windows, and the mouse is
// the real one (XTest, through xdotool). What the player sees is read from
// screenshots of the X screen: the title buttons after maximizing,
// restoring, minimizing and restoring again by clicking them, a window
// moved by its title, the corners of a skinned window over a plain
// background, and a covered window brought back by a menu command.
#include "gtest_windows.h"
#include "support/frame_skin.h"
#include "support/vcl_test_support.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <functional>
#include <string>
#include <vector>

#include "skin/core/bmpfile.h"
#include "skin/core/storedskins.h"
#include "skin/windows/skinprovider.h"
#include "vcl/menus.h"

using namespace vcl;
using namespace skin;
using namespace skintest;

namespace {

// Runs a command of the X desktop to its end. Under Wine the shell's child
// is not waited for the usual way (system() may come back early and
// without its status), so the command leaves a mark when it is done.
void Shell(const std::string& command) {
    static int count = 0;
    const std::string done = "/tmp/norvix_desktop_" + std::to_string(getpid()) + "_" + std::to_string(++count);
    (void)std::system(("(" + command + "); touch " + done).c_str());
    for (int waited = 0; waited < 10000 && access(done.c_str(), F_OK) != 0; waited += 10) usleep(10000);
    unlink(done.c_str());
}

std::string At(POINT p) { return std::to_string(p.x) + " " + std::to_string(p.y); }

// Handles messages for up to `ms` milliseconds of real time, until Done says so.
bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    for (;;) {
        Application->ProcessMessages();
        if (done()) return true;
        if (static_cast<int>(GetTickCount() - end) > 0) return false;
        Sleep(20);
    }
}

// Handles messages for `ms` milliseconds of real time.
void Pause(int ms) { WaitFor([] { return false; }, ms); }

// The X screen, read with xwd (a true-colour screen, its pixels in three or four bytes).
class XScreen {
public:
    bool Capture() {
        const std::string file = "/tmp/norvix_desktop_" + std::to_string(getpid()) + ".xwd";
        Shell("xwd -root -silent -out " + file);
        pixels_.clear();
        FILE* f = fopen(file.c_str(), "rb");
        if (!f) return false;
        std::vector<unsigned char> bytes;
        unsigned char buffer[65536];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
        fclose(f);
        unlink(file.c_str());
        auto field = [&bytes](int i) {
            const size_t o = static_cast<size_t>(i) * 4;
            return o + 4 > bytes.size() ? 0u
                                        : (unsigned{bytes[o]} << 24) | (unsigned{bytes[o + 1]} << 16) |
                                              (unsigned{bytes[o + 2]} << 8) | unsigned{bytes[o + 3]};
        };
        // Header fields: size 0, width 4, height 5, byte order 7, bits per
        // pixel 11, bytes per line 12, colour masks 14 to 16, colour map
        // entries 19. Pixels may come packed in three bytes.
        width_ = static_cast<int>(field(4)), height_ = static_cast<int>(field(5));
        line_ = field(12), lsbFirst_ = field(7) == 0;
        step_ = static_cast<int>(field(11) / 8);
        for (int c = 0; c < 3; ++c) mask_[c] = field(14 + c);
        const size_t start = field(0) + size_t{field(19)} * 12;
        if (step_ < 3 || step_ > 4 || start + size_t{line_} * height_ > bytes.size()) return false;
        pixels_.assign(bytes.begin() + static_cast<long>(start), bytes.end());
        return true;
    }
    // As RGB (the COLORREF order: red in the low byte), -1 off the screen.
    int Pixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty()) return -1;
        const unsigned char* p = &pixels_[static_cast<size_t>(y) * line_ + static_cast<size_t>(x) * step_];
        unsigned v = 0;
        for (int i = 0; i < step_; ++i) v |= unsigned{p[lsbFirst_ ? i : step_ - 1 - i]} << (8 * i);
        int rgb = 0;
        for (int c = 0; c < 3; ++c) {
            unsigned m = mask_[c], part = v & m;
            while (m && !(m & 1)) m >>= 1, part >>= 1;
            rgb |= static_cast<int>(part & 0xFF) << (8 * c);
        }
        return rgb;
    }
    int Pixel(POINT p) const { return Pixel(p.x, p.y); }
    // The screen as a BMP in $NORVIX_SCREENSHOT_DIR, for a person to look at.
    void Keep(const std::string& name) const {
        const char* dir = std::getenv("NORVIX_SCREENSHOT_DIR");
        if (!dir || pixels_.empty()) return;
        TPixelBitmap bmp(width_, height_);
        const TPixels out = bmp.Pixels();
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const int c = Pixel(x, y);
                uint8_t* d = out.At(x, y);
                d[0] = static_cast<uint8_t>(c >> 16), d[1] = static_cast<uint8_t>(c >> 8), d[2] = static_cast<uint8_t>(c);
            }
        const std::string bytes = WriteBmp(out);
        if (FILE* f = fopen((std::string(dir) + "/" + name).c_str(), "wb")) {
            fwrite(bytes.data(), 1, bytes.size(), f);
            fclose(f);
        }
    }

private:
    std::vector<unsigned char> pixels_;
    int width_ = 0, height_ = 0, step_ = 4;
    unsigned line_ = 0, mask_[3] = {0xFF0000, 0xFF00, 0xFF};
    bool lsbFirst_ = true;
};

// Takes screenshots until the screen shows the colour at P (what was drawn
// has reached the X server), at most a few seconds.
::testing::AssertionResult ScreenShows(XScreen& screen, POINT p, TColor colour) {
    if (WaitFor([&] { return screen.Capture() && screen.Pixel(p) == static_cast<int>(colour); }, 4000))
        return ::testing::AssertionSuccess();
    char text[96];
    snprintf(text, sizeof text, "the screen shows %06X at %d,%d, not %06X", screen.Pixel(p), static_cast<int>(p.x),
             static_cast<int>(p.y), static_cast<unsigned>(colour));
    return ::testing::AssertionFailure() << text;
}

// A skinned form of its own manager, shown on the desktop.
struct DesktopForm {
    explicit DesktopForm(const std::string& caption) {
        host = NewForm<TForm>(Application);
        manager = new TsSkinManager(host);
        manager->SetActive(false);
        form = NewForm<TForm>(Application);
        form->SetCaption(caption);
        form->SetBounds(200, 150, 420, 300);
        provider = new TsSkinProvider(form);
        provider->AfterConstruction();
        form->Show();
        WaitFor([this] { return IsWindowVisible(H()) && GetForegroundWindow() == H(); }, 3000);
    }
    ~DesktopForm() {
        form->Free();
        host->Free();
    }
    DesktopForm(const DesktopForm&) = delete;
    DesktopForm& operator=(const DesktopForm&) = delete;

    HWND H() const { return form->Handle(); }
    RECT Window() const {
        RECT r;
        GetWindowRect(H(), &r);
        return r;
    }
    // A title button's middle on the screen.
    POINT Centre(const TitleButtonRecord& b) const {
        const RECT w = Window();
        return POINT{w.left + (b.Rect.Left + b.Rect.Right) / 2, w.top + (b.Rect.Top + b.Rect.Bottom) / 2};
    }
    // The real mouse clicks there.
    static void Click(POINT p) {
        Shell("xdotool mousemove --sync " + At(p) + " click 1");
        Pause(300);
    }

    TForm* host;
    TsSkinManager* manager;
    TForm* form;
    TsSkinProvider* provider;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(Desktop, TitleButtonsMaximizeRestoreMinimizeAndRestoreTheFormAndShowTheirOwnGlyphs) {
    DesktopForm d("Анализ отчета");
    // A memo that follows the form's size, as the report window has one.
    auto* memo = new TMemo(d.form);
    memo->SetParent(d.form);
    memo->SetBounds(8, 8, 300, 200);
    memo->SetAnchors(akLeft | akTop | akRight | akBottom);
    LoadFrameSkin(d.manager);
    d.provider->RepaintFrame();
    XScreen screen;
    const RECT normal = d.Window();
    ASSERT_TRUE(ScreenShows(screen, d.Centre(d.provider->ButtonMax), kMaxColor));
    EXPECT_EQ(screen.Pixel(d.Centre(d.provider->ButtonMin)), static_cast<int>(kMinColor));

    // Maximize: the whole screen, the restore glyph on the maximize button.
    d.Click(d.Centre(d.provider->ButtonMax));
    ASSERT_TRUE(WaitFor([&] { return IsZoomed(d.H()) != 0; }));
    EXPECT_TRUE(ScreenShows(screen, d.Centre(d.provider->ButtonMax), kNormColor));
    EXPECT_EQ(screen.Pixel(d.Centre(d.provider->ButtonMin)), static_cast<int>(kMinColor));
    const RECT zoomed = d.Window();
    EXPECT_LE(zoomed.left, 0);
    EXPECT_LE(zoomed.top, 0);
    EXPECT_GE(zoomed.right, GetSystemMetrics(SM_CXSCREEN));
    screen.Keep("desktop_maximized.bmp");

    // Restore: the old place, the maximize glyph again.
    d.Click(d.Centre(d.provider->ButtonMax));
    ASSERT_TRUE(WaitFor([&] { return !IsZoomed(d.H()) && SameRect(d.Window(), normal); }));
    EXPECT_TRUE(ScreenShows(screen, d.Centre(d.provider->ButtonMax), kMaxColor));
    EXPECT_EQ(screen.Pixel(d.Centre(d.provider->ButtonMin)), static_cast<int>(kMinColor));

    // Minimize, then restore through the window manager as a taskbar does.
    d.Click(d.Centre(d.provider->ButtonMin));
    ASSERT_TRUE(WaitFor([&] { return IsIconic(d.H()) != 0; }));
    const auto xwindow = reinterpret_cast<uintptr_t>(GetPropA(d.H(), "__wine_x11_whole_window"));
    ASSERT_NE(xwindow, 0u);
    Shell("xdotool windowactivate " + std::to_string(xwindow));
    ASSERT_TRUE(WaitFor([&] { return !IsIconic(d.H()) && SameRect(d.Window(), normal); }));
    EXPECT_TRUE(ScreenShows(screen, d.Centre(d.provider->ButtonMin), kMinColor));
    EXPECT_EQ(screen.Pixel(d.Centre(d.provider->ButtonMax)), static_cast<int>(kMaxColor));
    EXPECT_EQ(screen.Pixel(d.Centre(d.provider->ButtonClose)), static_cast<int>(kCloseNormal));
    EXPECT_EQ(memo->Width(), 300);
    EXPECT_EQ(memo->Height(), 200);
    screen.Keep("desktop_restored.bmp");
}

TEST(Desktop, TheFormMovesWhereItsTitleIsDragged) {
    DesktopForm d("Перемещение");
    LoadFrameSkin(d.manager);
    d.provider->RepaintFrame();
    const RECT before = d.Window();
    const POINT grab{before.left + 150, before.top + d.provider->FrameHeight() + 4};
    // The whole drag in the background: while the title is held the form's
    // thread waits in the move loop for the window manager.
    std::string drag = "(xdotool mousemove --sync " + At(grab) + " mousedown 1";
    for (int step = 1; step <= 8; ++step)
        drag += "; sleep 0.05; xdotool mousemove --sync " + At(POINT{grab.x + step * 15, grab.y + step * 10});
    drag += "; sleep 0.2; xdotool mouseup 1) &";
    Shell(drag);
    ASSERT_TRUE(WaitFor([&] { return d.Window().left == before.left + 120 && d.Window().top == before.top + 80; }))
        << d.Window().left << "," << d.Window().top;
    const RECT after = d.Window();
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    XScreen screen;
    EXPECT_TRUE(ScreenShows(screen, POINT{grab.x + 120, grab.y + 80}, kTitleOn));
    EXPECT_TRUE(ScreenShows(screen, d.Centre(d.provider->ButtonClose), kCloseNormal));
}

TEST(Desktop, NoCornerOfOurSkinnedWindowsLetsTheDesktopThroughInsideTheFrame) {
    // A plain background of a colour no skin has, the whole screen.
    const TColor plain = 0x00F000;
    TForm* back = NewForm<TForm>(Application);
    back->SetBorderStyle(bsNone);
    back->SetColor(plain);
    back->SetBounds(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    back->Show();
    DesktopForm d("Углы");
    AddOwnStoredSkins(d.manager->InternalSkins());
    for (const char* name : {"Cold (internal)", "Pulsar (internal)", "Office2007 Black (internal)"}) {
        SCOPED_TRACE(name);
        d.manager->SetSkinName(name);
        d.manager->SetActive(true);
        SetForegroundWindow(d.H());
        XScreen screen;
        const RECT w = d.Window();
        // Cut away at the very corner: the background shows there.
        ASSERT_TRUE(ScreenShows(screen, POINT{w.left, w.top}, plain));
        Pause(300);
        ASSERT_TRUE(screen.Capture());
        // In each 12 x 12 corner square, past its outermost 4 x 4, the frame
        // or what it holds: never the desktop.
        int through = 0;
        for (int cy = 0; cy < 12; ++cy)
            for (int cx = 0; cx < 12; ++cx) {
                if (cx < 4 && cy < 4) continue;
                for (POINT p : {POINT{w.left + cx, w.top + cy}, POINT{w.right - 1 - cx, w.top + cy},
                                POINT{w.left + cx, w.bottom - 1 - cy}, POINT{w.right - 1 - cx, w.bottom - 1 - cy}})
                    through += screen.Pixel(p) == static_cast<int>(plain);
            }
        EXPECT_EQ(through, 0);
        screen.Keep(std::string("desktop_corners_") + name[0] + ".bmp");
    }
    back->Free();
}

// The X window of a form, and whether the window manager stacks it above
// every other window it manages.
unsigned long XWindowOf(TForm* form) {
    return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(GetPropA(form->Handle(), "__wine_x11_whole_window")));
}

bool StackedOnTop(unsigned long xwindow) {
    const std::string file = "/tmp/norvix_desktop_" + std::to_string(getpid()) + ".stacking";
    Shell("xprop -root _NET_CLIENT_LIST_STACKING > " + file);
    unsigned long top = 0;
    if (FILE* f = fopen(file.c_str(), "r")) {
        char line[4096] = {};
        if (fgets(line, sizeof line, f))
            for (const char* p = strstr(line, "0x"); p; p = strstr(p + 2, "0x")) top = strtoul(p, nullptr, 16);
        fclose(f);
    }
    unlink(file.c_str());
    return top != 0 && top == xwindow;
}

TEST(Desktop, AMenuCommandBringsItsWindowBackInFrontOfTheWindowCoveringIt) {
    // The main window with a menu line whose command shows a tool window;
    // the tool window, used and then covered by a click on the main window.
    TForm* main = NewForm<TForm>(Application);
    main->SetBounds(120, 100, 640, 480);
    auto* menu = new TMainMenu(main);
    auto* command = new TMenuItem(main);
    command->SetCaption("Анализ отчета");
    menu->Items()->Add(command);
    main->SetMenu(menu);
    main->Show();
    DesktopForm tool("Анализ отчета");
    command->OnClick = [&tool](TObject*) { tool.form->Show(); };
    const RECT t = tool.Window();
    DesktopForm::Click(POINT{t.left + 100, t.top + 100});
    ASSERT_TRUE(WaitFor([&] { return StackedOnTop(XWindowOf(tool.form)); }));
    DesktopForm::Click(POINT{t.right + 40, t.bottom + 40});
    ASSERT_TRUE(WaitFor([&] { return StackedOnTop(XWindowOf(main)); })) << "the main window was not raised";

    RECT item;
    ASSERT_TRUE(GetMenuItemRect(main->Handle(), GetMenu(main->Handle()), 0, &item));
    DesktopForm::Click(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    EXPECT_TRUE(WaitFor([&] { return StackedOnTop(XWindowOf(tool.form)); })) << "the tool window stays covered";
    EXPECT_EQ(GetForegroundWindow(), tool.H());
    main->Free();
}

namespace {

// The window manager of this test's display (the one the test run
// started): the process named openbox whose DISPLAY is ours; 0 when none.
int OurWindowManager() {
    const std::string display = std::string("DISPLAY=") + (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
    DIR* proc = opendir("/proc");
    if (!proc) return 0;
    int found = 0;
    while (dirent* e = readdir(proc)) {
        const std::string dir = std::string("/proc/") + e->d_name;
        std::ifstream comm(dir + "/comm");
        std::string name;
        if (!std::getline(comm, name) || name != "openbox") continue;
        std::ifstream environ(dir + "/environ", std::ios::binary);
        const std::string vars((std::istreambuf_iterator<char>(environ)), std::istreambuf_iterator<char>());
        if (vars.find(display + '\0') != std::string::npos) found = std::atoi(e->d_name);
    }
    closedir(proc);
    return found;
}

}  // namespace

TEST(Desktop, AFormShownWhileItsHandlerGoesOnWorkingIsOnTheScreenBeforeItGoesOnAtEveryShow) {
    // As the log window shown by a run's tick, which then prepares a big
    // battle: the window manager maps the window when it gets round to it
    // (here a little late), and what was drawn before never reaches the
    // screen by itself.
    const int manager = OurWindowManager();
    ASSERT_NE(manager, 0);
    TForm* form = NewForm<TForm>(Application);
    form->SetBounds(240, 160, 460, 320);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(8, 8, 420, 200);
    memo->Lines()->Add("Инициация модуля загрузки");
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetBounds(328, 220, 100, 25);
    button->SetCaption("стереть");
    for (int show = 1; show <= 2; ++show) {
        SCOPED_TRACE(show);
        Shell("kill -STOP " + std::to_string(manager) + "; (sleep 0.15; kill -CONT " + std::to_string(manager) + ") &");
        form->Show();  // no message is handled from here on
        EXPECT_EQ(vcltest::ScreenDiffers({form->Handle()}), 0);
        Pause(300);
        form->Hide();
        Pause(300);
    }
    form->Free();
}
