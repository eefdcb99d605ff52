// The skin library's message boxes: captions, icons and buttons chosen from
// a set, the position held only during the call, and a real box answered.
#include "gtest_windows.h"
#include "skin/core/win32/skindialogs.h"
#include "support/vcl_test_support.h"
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
