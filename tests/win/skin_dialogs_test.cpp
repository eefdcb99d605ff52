// The skin library's message boxes: captions, icons and buttons chosen from
// a set, the position held only during the call, and a real box answered;
// a skinned box closes on Esc, on its X and on Close as the plain one does.
#include "gtest_windows.h"
#include "skin/core/win32/skindialogs.h"
#include "skin/windows/dialoghook.h"
#include "skin/windows/dialogwnd.h"
#include "support/frame_skin.h"
#include "support/real_input.h"
#include "support/vcl_test_support.h"
#include "vcl/menus.h"
#include "vcl/wintext.h"

using namespace skin;

TEST(SkinDialogs, CaptionIconAndButtonsFollowTheTypeAndTheSet) {
    vcltest::MessageBoxes boxes;
    int seenX = 0, seenY = 0;
    boxes.Answer(IDNO);
    EXPECT_EQ(ShowMessageDlg("", "Save the skin?", mtConfirmation, mbYes | mbNo | mbCancel), IDNO);
    ShowMessageDlg("Skins", "Text", mtError, mbOK | mbCancel);
    ShowMessageDlgShort("Text", mtInformation, mbAbort | mbRetry | mbIgnore);
    ShowMessageDlgShort("Text", mtCustom, mbRetry | mbCancel);
    ShowMessageDlgShort("Text", mtCustom, mbHelp);
    WarningBox("Loaded data is not a packed skin file");
    ASSERT_EQ(boxes.Shown().size(), 6u);
    const auto& b = boxes.Shown();
    EXPECT_EQ(b[0].caption, "Confirm");
    EXPECT_EQ(b[0].flags, UINT(MB_ICONQUESTION | MB_YESNOCANCEL));
    EXPECT_EQ(b[1].caption, "Skins");
    EXPECT_EQ(b[1].flags, UINT(MB_ICONERROR | MB_OKCANCEL));
    EXPECT_EQ(b[2].flags, UINT(MB_ICONINFORMATION | MB_ABORTRETRYIGNORE));
    EXPECT_EQ(b[3].caption, "");
    EXPECT_EQ(b[3].flags, UINT(MB_RETRYCANCEL));
    EXPECT_EQ(b[4].flags, UINT(MB_OK));
    EXPECT_EQ(b[5].caption, "Warning");
    EXPECT_EQ(b[5].flags, UINT(MB_ICONWARNING | MB_OK));

    // The position is there while the box is up, and gone after it.
    vcl::Application->SetMessageBoxHandler([&](const std::string&, const std::string&, UINT) {
        seenX = MessageBoxX;
        seenY = MessageBoxY;
        return IDOK;
    });
    ShowMessageDlg("", "Here", mtWarning, mbOK, 40, 50);
    EXPECT_EQ(seenX, 40);
    EXPECT_EQ(seenY, 50);
    EXPECT_EQ(MessageBoxX, -1);
    EXPECT_EQ(MessageBoxY, -1);
}

namespace {

struct DialogSearch {
    std::string caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<DialogSearch*>(p);
    WCHAR cls[16] = {};
    GetClassNameW(w, cls, 16);
    if (vcl::FromWide(cls) == "#32770" && vcl::GetWindowText1251(w) == s->caption) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND FindThreadDialog(const std::string& caption) {
    DialogSearch search{caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits inside the box's own message loop until it is up, then presses `button`.
void PressWhenShown(const std::string& caption, int button, std::vector<int>& buttonsSeen, int tries = 200) {
    vcltest::PostAction([=, &buttonsSeen] {
        HWND box = FindThreadDialog(caption);
        if (!box) {
            Sleep(10);
            if (tries > 0) PressWhenShown(caption, button, buttonsSeen, tries - 1);
            return;
        }
        for (int id : {IDOK, IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY, IDIGNORE})
            if (GetDlgItem(box, id)) buttonsSeen.push_back(id);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    });
}

}  // namespace

TEST(SkinDialogs, ARealBoxShowsItsButtonsAndReturnsThePressedOne) {
    std::vector<int> buttons;
    PressWhenShown("Confirm", IDNO, buttons);
    EXPECT_EQ(ShowMessageDlgShort("Keep the changes?", mtConfirmation, mbYes | mbNo | mbCancel), IDNO);
    EXPECT_EQ(buttons, (std::vector<int>{IDCANCEL, IDYES, IDNO}));
    buttons.clear();
    PressWhenShown("Warning", IDOK, buttons);
    WarningBox("Loaded data is not a packed skin file");
    EXPECT_EQ(buttons, (std::vector<int>{IDOK}));
    EXPECT_EQ(MessageBoxX, -1);
}

namespace {

// The ways a player closes an OK-only box without its button.
enum class CloseWay { Escape, CloseButton, SysClose, MenuClose };

struct CloseTry {
    CloseWay way = CloseWay::Escape;
    int shownTicks = 0;
    bool skinned = false;  // the box wore the skin's dialog adapter
    bool acted = false;
    bool rescued = false;  // still up two seconds later: ended by its OK
    int afterAct = 0;
};
CloseTry g_close;

// The point of the box's title that answers HTCLOSE, in screen coordinates.
bool CloseButtonPoint(HWND box, POINT& at) {
    RECT r{};
    GetWindowRect(box, &r);
    for (int y = r.top; y < r.top + 40; ++y)
        for (int x = r.right - 1; x > r.right - 80; --x)
            if (SendMessageW(box, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                at = POINT{x - 3, y + 3};
                return SendMessageW(box, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)) == HTCLOSE;
            }
    return false;
}

void CALLBACK TryToCloseTheBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindThreadDialog("Warning");
    if (!box || !IsWindowVisible(box)) return;
    if (!g_close.acted) {
        if (++g_close.shownTicks < 3) return;  // up, skinned and painted first
        g_close.acted = true;
        auto* dialog = dynamic_cast<skin::TacDialogWnd*>(skin::GetScrollWnd(box));
        g_close.skinned = dialog != nullptr;
        switch (g_close.way) {
            case CloseWay::Escape:
                inputtest::SendKey(VK_ESCAPE);
                break;
            case CloseWay::CloseButton: {
                POINT at{};
                if (CloseButtonPoint(box, at)) inputtest::SendButton(at);
                break;
            }
            case CloseWay::SysClose:
                PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
            case CloseWay::MenuClose:
                // What choosing "Close" in the box's own title menu does.
                if (dialog && dialog->SystemMenu) dialog->SystemMenu->miClose->Click();
                else PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
        }
        return;
    }
    if (++g_close.afterAct == 40 && !g_close.rescued) {
        g_close.rescued = true;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    }
}

// Shows a real OK-only box over `owner` and closes it the given way.
CloseTry CloseBox(HWND owner, CloseWay way, int& answer) {
    g_close = CloseTry{};
    g_close.way = way;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, TryToCloseTheBox);
    answer = MessageBoxW(owner, L"количество кораблей должно быть целым числом", L"Warning", MB_OK);
    KillTimer(nullptr, timer);
    vcltest::Pump();
    return g_close;
}

}  // namespace

TEST(SkinDialogs, ASkinnedOkBoxClosesOnEscapeItsCloseButtonAndCloseAsThePlainBoxDoes) {
    using namespace vcl;
    skin::InitSkinnedWindows();
    TForm* host = NewForm<TForm>(Application);
    host->SetBounds(20, 20, 300, 200);
    // The program's menus are made first and hold the small numbers, the
    // numbers a dialog's buttons have too (IDCANCEL among them); choosing
    // none of them is part of closing a box.
    auto* programMenu = new TPopupMenu(host);
    int programClicks = 0;
    for (int i = 0; i < 12; ++i) {
        auto* item = new TMenuItem(host);
        item->SetCaption("Пункт");
        item->OnClick = [&](TObject*) { ++programClicks; };
        programMenu->Items()->Add(item);
    }
    ASSERT_NE(TMenuItem::FromCommand(IDCANCEL), nullptr) << "the program's menus are to hold IDCANCEL's number here";
    auto* manager = new skin::TsSkinManager(host);
    manager->SetActive(false);
    host->Show();
    vcltest::Pump();

    const CloseWay ways[] = {CloseWay::Escape, CloseWay::CloseButton, CloseWay::SysClose, CloseWay::MenuClose};
    int plainAnswers[4] = {}, skinnedAnswers[4] = {};
    for (int i = 0; i < 4; ++i) {
        const CloseTry plain = CloseBox(host->Handle(), ways[i], plainAnswers[i]);
        EXPECT_TRUE(plain.acted) << i;
        EXPECT_FALSE(plain.skinned) << i;
        EXPECT_FALSE(plain.rescued) << "the plain box stayed up, way " << i;
    }

    skintest::LoadFrameSkin(manager);
    manager->Skin().Sections.push_back(skintest::framedetail::Section("DIALOG", 0x50A050, 0x50A050));
    manager->Skin().Sections.push_back(skintest::framedetail::Section("BUTTON", 0x8040C0, 0x8040C0));
    manager->SendNewSkin();
    vcltest::Pump();
    ASSERT_TRUE(manager->IsHooked);
    for (int i = 0; i < 4; ++i) {
        const CloseTry skinned = CloseBox(host->Handle(), ways[i], skinnedAnswers[i]);
        EXPECT_TRUE(skinned.acted) << i;
        EXPECT_TRUE(skinned.skinned) << i;
        EXPECT_FALSE(skinned.rescued) << "the skinned box stayed up, way " << i;
        EXPECT_EQ(skinnedAnswers[i], plainAnswers[i]) << i;
    }
    EXPECT_EQ(programClicks, 0);
    manager->SetActive(false);
    host->Free();
}
