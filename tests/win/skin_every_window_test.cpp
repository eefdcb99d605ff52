// Every window of the program as a player meets it with the skin on: its 30
// windows, a message box, the drop-downs of the main window's menu line and
// a side's popup menu, opened one after another over a plain backdrop. For
// each, what the screen shows is checked against the skin:
// - the region and the painted frame agree: nothing within the frame's
//   outer ring is cut away or seen through, and the clear corners beyond it
//   are cut;
// - the title buttons are the ones the border icons and the window's state
//   ask for (restore while maximized, maximize again after restoring);
// - the caption keeps its margin from the icon or the frame and from the
//   buttons;
// - the title icon stands where the rule puts one and nowhere else, the
//   same after the skin was switched off and on while the window is open.
// Each picture is saved in every_window/ under NORVIX_SCREENSHOT_DIR (else
// the folder the test starts in); tools/contact_sheet.py lays them out.
#include "support/program_fixture.h"
#include "support/real_input.h"
#include "support/screen_frames.h"

#include <cstdio>
#include <functional>
#include <memory>

#include "skin/core/sectionpaint.h"
#include "skin/core/skincommands.h"
#include "skin/core/win32/formbroadcast.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/core/win32/skinpaint.h"
#include "skin/windows/dialoghook.h"
#include "skin/windows/skinprovider.h"
#include "vcl/wintext.h"
#include "windows/opt.h"

using namespace vcl;
using namespace screentest;

namespace {

// Taken while the test starts, before the program moves to its own folder.
const std::string g_pictures = PictureFolder();
int g_pictureCount = 0;

std::string NextPicture(const std::string& name) {
    char number[16];
    std::snprintf(number, sizeof(number), "%02d_", ++g_pictureCount);
    return g_pictures + "/" + number + name + ".bmp";
}

constexpr int kCaptionMargin = 4;  // from the icon or the frame's lines

const skin::TsSkinContent& Skin() { return Form1->sSkinManager1->Skin(); }

const skin::TsMaskData* BorderOf(const std::string& section) {
    const int index = Skin().GetMaskIndex(Skin().GetSkinIndex(section), section, "BORDERSMASK");
    return Skin().IsValidMaskIndex(index) ? &Skin().Masks[static_cast<size_t>(index)] : nullptr;
}

// The frame of a window: its section's border over the whole window, the
// title's over the title band (`title` rows high, 0 without a title).
FrameShape WindowShape(HWND window, const skin::TsMaskData* border, int title) {
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<FrameLayer> layers;
    if (border) layers.push_back(FrameLayer{border, 1, skin::TRect{0, 0, w, h}});
    if (const skin::TsMaskData* titleBorder = BorderOf("FORMTITLE"); titleBorder && title > 0)
        layers.push_back(FrameLayer{titleBorder, 1, skin::TRect{0, 0, w, title}});
    return ShapeOf(w, h, layers);
}

void ExpectFrameAgrees(HWND window, const FrameShape& shape, const TPixelBitmap& screen) {
    const FrameFaults f = CheckFrame(window, shape, screen.Pixels());
    EXPECT_EQ(f.CutInside, 0) << f.First;
    EXPECT_EQ(f.SeenInside, 0) << f.First;
    EXPECT_EQ(f.KeptOutside, 0) << f.First;
    EXPECT_EQ(f.HiddenOutside, 0) << f.First;
}

// The caption's letters (`titled` less `bare`) keep their distance from
// what stands left of them and from the leftmost button.
void ExpectCaptionMargins(const TPixelBitmap& titled, const TPixelBitmap& bare, int leftObstacle,
                          const std::vector<FoundButton>& buttons) {
    const skin::TRect text = Difference(titled.Pixels(), bare.Pixels());
    ASSERT_FALSE(text.IsEmpty()) << "no caption drawn";
    EXPECT_GE(text.Left - leftObstacle, kCaptionMargin) << "caption from " << text.Left << ", icon or frame to "
                                                        << leftObstacle;
    if (!buttons.empty()) {
        EXPECT_LE(text.Right + 2, buttons.back().Rect.Left) << "caption into the buttons";
    }
}

// The title as the skin draws it on its own, in a bitmap that can be drawn on.
std::unique_ptr<TBitmap> TitleAlone(int width, int height) {
    auto alone = std::make_unique<TBitmap>(width, height, pf24bit);
    const int index = Skin().GetSkinIndex("FORMTITLE");
    if (index >= 0)
        skin::PaintSectionItem(Skin(), alone->Pixels(),
                               skin::SectionArgs(Form1->sSkinManager1, index, skin::TParentCacheInfo{}, 1,
                                                 skin::TRect{0, 0, width, height}));
    return alone;
}

// Pixels of `seen` within `r` unlike `want`, those cut away by the region left out.
int Unlike(const TPixels& seen, const TPixels& want, const FrameShape& shape, skin::TRect r, std::string& first) {
    int wrong = 0;
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, seen.Height); ++y)
        for (int x = std::max(r.Left, 0); x < std::min(r.Right, seen.Width); ++x) {
            if (shape.Outside[static_cast<size_t>(y) * static_cast<size_t>(shape.Width) + x]) continue;
            if (std::memcmp(seen.At(x, y), want.At(x, y), 3) != 0 && wrong++ == 0)
                first = std::to_string(x) + "," + std::to_string(y);
        }
    return wrong;
}

// Within the frame's ring the title's corners show the title as the skin
// draws it on its own: what its border leaves clear keeps the title's own
// background. Places where the icon or a button lies are left out.
void ExpectTitleCorners(const TPixelBitmap& band, const FrameShape& shape, std::vector<skin::TRect> covered) {
    const skin::TsMaskData* border = BorderOf("FORMTITLE");
    const int index = Skin().GetSkinIndex("FORMTITLE");
    if (!border || index < 0) return;
    const TPixels seen = band.Pixels();
    const std::unique_ptr<TBitmap> alone = TitleAlone(seen.Width, seen.Height);
    int wrong = 0;
    std::string first;
    for (int y = 0; y < seen.Height; ++y)
        for (int x = 0; x < seen.Width; ++x) {
            const bool corner = (x < border->WL || x >= seen.Width - border->WR) &&
                                (y < border->WT || y >= seen.Height - border->WB);
            const bool hidden = std::any_of(covered.begin(), covered.end(), [&](const skin::TRect& r) {
                return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
            });
            if (corner && !hidden) wrong += Unlike(seen, alone->Pixels(), shape, skin::TRect{x, y, x + 1, y + 1}, first);
        }
    EXPECT_EQ(wrong, 0) << "title corner pixels unlike the title's own, first at " << first;
}

bool IconRuled(TForm* form) { return form->BorderStyle() == bsSingle || form->BorderStyle() == bsSizeable; }

// A single or sizeable border shows the program's own icon, the one its
// file carries, at the left of the title (no form has one of its own);
// every other border leaves the title's own background there.
void ExpectTitleIcon(TForm* form, skin::TsSkinProvider* provider, const TPixelBitmap& window, const FrameShape& shape) {
    const bool ruled = IconRuled(form);
    const int c = provider->CaptionHeight(), title = c + provider->FrameHeight(), size = skin::AppIconSize(c);
    const int left = provider->FrameWidth(), top = (title - size) / 2;
    const skin::TRect r{left, top, left + size, top + size};
    const TPixels seen = window.Pixels();
    const std::unique_ptr<TBitmap> expected = TitleAlone(seen.Width, title);
    if (ruled) {
        // The picture the program file's icon resource holds for this size.
        HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, size, size, 0));
        ASSERT_TRUE(icon) << "the program file carries no icon of its own";
        DrawIconEx(expected->Canvas()->Handle(), r.Left, r.Top, icon, size, size, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }
    std::string first;
    EXPECT_EQ(Unlike(seen, expected->Pixels(), shape, r, first), 0)
        << (ruled ? "the program's icon" : "no icon") << " wanted at the title's left, first pixel unlike at " << first;
}

std::vector<skin::TRect> Places(const std::vector<FoundButton>& buttons, skin::TRect icon) {
    std::vector<skin::TRect> places{icon};
    for (const FoundButton& b : buttons) places.push_back(b.Rect);
    return places;
}

// Every string grid of a window wears the skin as its other controls do.
void ExpectGridsSkinned(TWinControl* parent) {
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* child = dynamic_cast<TWinControl*>(parent->Controls(i))) {
            if (dynamic_cast<TStringGrid*>(child)) {
                EXPECT_TRUE(skin::AskSkinCommand(child, skin::AC_QUERYSKINNED)) << child->Name() << " left plain";
            }
            ExpectGridsSkinned(child);
        }
}

// The buttons a form's border icons and state call for, right to left.
std::vector<std::string> ExpectedButtons(TForm* form) {
    const TBorderIcons icons = form->BorderIcons();
    if (!(icons & biSystemMenu)) return {};
    std::vector<std::string> kinds{"close"};
    const bool full = form->BorderStyle() == bsSingle || form->BorderStyle() == bsSizeable;
    if (full && (icons & biMaximize)) kinds.push_back(form->WindowState() == wsMaximized ? "restore" : "max");
    if (full && (icons & biMinimize)) kinds.push_back("min");
    if (icons & biHelp) kinds.push_back("help");
    return kinds;
}

void ParkCursor() { SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1); }

void CheckForm(TForm* form, Backdrop& backdrop, bool picture = true) {
    SCOPED_TRACE(form->Name());
    form->Show();
    SetForegroundWindow(form->Handle());
    ParkCursor();
    Settle();
    auto* provider = dynamic_cast<skin::TsSkinProvider*>(skin::FormProvider(form));
    ASSERT_TRUE(provider && provider->SkinData->HasValidSkin());
    const HWND h = form->Handle();
    const int title = provider->CaptionHeight() + provider->FrameHeight();
    const FrameShape shape = WindowShape(h, BorderOf(provider->SkinData->SkinSection()), title);

    backdrop.Behind(h);
    const TPixelBitmap screen = ScreenOf(h);
    backdrop.Hide();
    ExpectFrameAgrees(h, shape, screen);
    if (picture) {
        EXPECT_TRUE(SavePicture(screen, NextPicture(form->Name())));
    }

    const std::string caption = form->Caption();
    form->SetCaption("");
    Settle();
    const std::vector<FoundButton> buttons = FindButtons(TopRowsOf(h, title).Pixels(), Skin());
    EXPECT_EQ(Kinds(buttons), ExpectedButtons(form));
    if (ExpectedButtons(form).size() > 1 && ExpectedButtons(form)[1] == "max") {
        for (WPARAM command : {SC_MAXIMIZE, SC_RESTORE}) {
            SendMessageW(h, WM_SYSCOMMAND, command, 0);
            Settle();
            EXPECT_EQ(Kinds(FindButtons(TopRowsOf(h, title).Pixels(), Skin())), ExpectedButtons(form))
                << (command == SC_MAXIMIZE ? "maximized" : "restored");
        }
        ASSERT_EQ(form->WindowState(), wsNormal);
    }
    const TPixelBitmap bare = TopRowsOf(h, title);
    const skin::TRect icon = provider->IconVisible()
                                 ? skin::GetTitleIconRect(provider->Frame(), provider->SystemMetrics())
                                 : skin::TRect{};
    ExpectTitleCorners(bare, shape, Places(buttons, icon));
    // The icon as first shown; where none belongs, with the caption out of the way.
    ExpectTitleIcon(form, provider, IconRuled(form) ? screen : bare, shape);
    form->SetCaption(caption);
    Settle();
    ExpectCaptionMargins(TopRowsOf(h, title), bare, std::max(icon.Right, InnerEdge(shape, title / 2)), buttons);
    ExpectGridsSkinned(form);
    if (form != Form1) form->Hide();
}

// Runs `step` on a timer from inside whatever modal loop runs (a menu's, a
// message box's) until it answers true; gives up after about eight seconds.
std::function<bool(bool lastTry)> g_step;
int g_ticks = 0;

void CALLBACK StepTimer(HWND, UINT, UINT_PTR id, DWORD) {
    static bool busy = false;
    if (busy) return;
    busy = true;
    if (!g_step || g_step(++g_ticks >= 100)) {
        KillTimer(nullptr, id);
        g_step = nullptr;
    }
    busy = false;
}

void StepInsideModalLoop(std::function<bool(bool lastTry)> step) {
    g_step = std::move(step);
    g_ticks = 0;
    SetTimer(nullptr, 0, 80, StepTimer);
}

HWND VisiblePopupMenu() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

// Checks the open popup menu window once it is new and drawn; true when done with it.
bool CheckMenuWindow(HWND& last, Backdrop& backdrop, const std::string& name) {
    HWND menu = VisiblePopupMenu();
    if (!menu || menu == last) return false;
    last = menu;
    backdrop.Behind(menu);
    const TPixelBitmap screen = ScreenOf(menu);
    backdrop.Hide();
    SCOPED_TRACE(name);
    RECT r;
    GetWindowRect(menu, &r);
    EXPECT_GT(r.right - r.left, 20);
    ExpectFrameAgrees(menu, WindowShape(menu, BorderOf("MAINMENU"), 0), screen);
    EXPECT_TRUE(SavePicture(screen, NextPicture(name)));
    return true;
}

// A real message box, looked at from inside its own modal loop, then closed with its button.
void CheckMessageBox(Backdrop& backdrop, bool picture = true) {
    bool boxSeen = false;
    StepInsideModalLoop([&](bool lastTry) {
        HWND box = vcltest::VisibleDialog();
        skin::TacProvider* hooked = box ? skin::FindProviderByHandle(box) : nullptr;
        if (!hooked || !hooked->DialogAdapter) return lastTry;
        boxSeen = true;
        skin::TacDialogWnd* dialog = hooked->DialogAdapter.get();
        const skin::TDialogFrame d = dialog->Frame();
        const skin::TFrameSystemMetrics m = skin::TacDialogWnd::SystemMetrics();
        const int title = skin::DialogTitleHeight(d, m) + skin::DialogBorderHeight(d, m);
        const FrameShape shape = WindowShape(box, BorderOf(dialog->SkinData->SkinSection()), title);
        backdrop.Behind(box);
        const TPixelBitmap screen = ScreenOf(box);
        backdrop.Hide();
        SCOPED_TRACE("message box");
        ExpectFrameAgrees(box, shape, screen);
        if (picture) {
            EXPECT_TRUE(SavePicture(screen, NextPicture("message_box")));
        }
        const std::string caption = GetWindowText1251(box);
        SetWindowText1251(box, "");
        Settle();
        const TPixelBitmap bare = TopRowsOf(box, title);
        const std::vector<FoundButton> buttons = FindButtons(bare.Pixels(), Skin());
        EXPECT_EQ(Kinds(buttons), std::vector<std::string>{"close"});
        ExpectTitleCorners(bare, shape, Places(buttons, skin::DialogIconRect(d, m)));
        SetWindowText1251(box, caption);
        Settle();
        ExpectCaptionMargins(TopRowsOf(box, title), bare,
                             std::max(skin::DialogIconRect(d, m).Right, InnerEdge(shape, title / 2)), buttons);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        return true;
    });
    programtest::Boxes().Pause();
    Application->MessageBox("количество кораблей должно быть целым числом", Application->Title(), MB_OK | MB_ICONSTOP);
    programtest::Boxes().Resume();
    EXPECT_TRUE(boxSeen);
}

}  // namespace

TEST(EveryWindow, SkinnedFramesButtonsAndCaptionsAgreeWithTheSkin) {
    TForm1* main = programtest::StartProgram();
    vcltest::Click(Form13->CheckBox5);
    ASSERT_TRUE(main->sSkinManager1->SkinActive());
    Backdrop backdrop;
    ASSERT_EQ(Screen->FormCount(), 30);
    for (int i = 0; i < Screen->FormCount(); ++i) CheckForm(Screen->Forms(i), backdrop);

    // The skin switched off and on while the options window is open: its
    // frame comes back as it was first shown.
    Form13->Show();
    ParkCursor();
    Settle();
    auto* options = dynamic_cast<skin::TsSkinProvider*>(skin::FormProvider(Form13));
    ASSERT_NE(options, nullptr);
    const int title = options->CaptionHeight() + options->FrameHeight();
    const TPixelBitmap shown = TopRowsOf(Form13->Handle(), title);
    vcltest::Click(Form13->CheckBox5);
    ASSERT_FALSE(main->sSkinManager1->SkinActive());
    vcltest::Click(Form13->CheckBox5);
    ASSERT_TRUE(main->sSkinManager1->SkinActive());
    Settle();
    const FrameShape shape = WindowShape(Form13->Handle(), BorderOf(options->SkinData->SkinSection()), title);
    std::string first;
    EXPECT_EQ(Unlike(TopRowsOf(Form13->Handle(), title).Pixels(), shown.Pixels(), shape,
                     skin::TRect{0, 0, shape.Width, title}, first), 0)
        << "the options window's title changed, first at " << first;
    CheckForm(Form13, backdrop, false);

    // A message box, as the program shows one for a bad number.
    CheckMessageBox(backdrop);

    // The menu line's drop-downs, opened with the mouse and walked with the arrow key.
    SetForegroundWindow(main->Handle());
    Settle();
    int dropDowns = 0, expected = 0;
    for (int i = 0; i < main->MainMenu1->Items()->Count(); ++i)
        if (main->MainMenu1->Items()->Items(i)->Count() > 0) ++expected;
    HWND last = nullptr;
    StepInsideModalLoop([&](bool lastTry) {
        if (CheckMenuWindow(last, backdrop, "menu_" + std::to_string(dropDowns + 1)) && ++dropDowns < expected) {
            inputtest::SendKey(VK_RIGHT);
            return false;
        }
        if (dropDowns == expected || lastTry) {
            EndMenu();
            return true;
        }
        return false;
    });
    RECT item{};
    ASSERT_TRUE(GetMenuItemRect(main->Handle(), GetMenu(main->Handle()), 0, &item));
    inputtest::SendButton(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    Settle();
    EXPECT_EQ(dropDowns, expected);

    // A side's popup menu, from a right click on the side's participants label.
    bool popupSeen = false;
    last = nullptr;
    StepInsideModalLoop([&](bool lastTry) {
        popupSeen = popupSeen || CheckMenuWindow(last, backdrop, "popup_side1");
        if (popupSeen || lastTry) EndMenu();
        return popupSeen || lastTry;
    });
    const POINT label = main->Label1->Parent()->ClientToScreen(
        POINT{main->Label1->Left() + main->Label1->Width() / 2, main->Label1->Top() + main->Label1->Height() / 2});
    inputtest::SendButton(label, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    Settle();
    EXPECT_TRUE(popupSeen);
    EXPECT_TRUE(programtest::Boxes().Shown().empty());
}

TEST(EveryWindow, TitleCornersClearInsideTheFrameShowTheTitleItself) {
    // A skin may give the inside of a rounded corner the key colour too (ours
    // did): the title shows its own background there, the region keeps it.
    TForm1* main = programtest::StartProgram();
    if (!main->sSkinManager1->SkinActive()) vcltest::Click(Form13->CheckBox5);
    const skin::TsMaskData* title = BorderOf("FORMTITLE");
    ASSERT_NE(title, nullptr);
    const TPixels picture = title->Picture();
    const int height = title->FrameHeight();
    int keyed = 0;
    for (int y = title->SourceRect.Top; y < title->SourceRect.Top + height; ++y)
        for (int x = title->SourceRect.Left; x < title->SourceRect.Right; ++x) {
            uint8_t* p = picture.At(x, y);
            if (IsColor(p, RGB(0xFF, 0x00, 0xFF)) || picture.At(x, y + height)[0] != 255) continue;
            p[0] = p[2] = 0xFF, p[1] = 0;
            ++keyed;
        }
    ASSERT_GT(keyed, 0);
    main->sSkinManager1->SendNewSkin();
    Backdrop backdrop;
    for (const char* name : {"Form11", "Form13"}) CheckForm(vcltest::FindForm(name), backdrop, false);
    CheckMessageBox(backdrop, false);
    vcltest::Click(Form13->CheckBox5);
    EXPECT_FALSE(main->sSkinManager1->SkinActive());
}
