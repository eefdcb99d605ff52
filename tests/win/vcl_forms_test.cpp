// Forms: showing, closing with the close query on every road, modal loops,
// default and cancel buttons, the list of forms.
#include <functional>

#include "gtest_windows.h"
#include "support/vcl_test_support.h"

using namespace vcl;
using vcltest::Pump;

namespace {

class TDialog : public TForm {
public:
    explicit TDialog(TComponent* owner) : TForm(owner) {
        SetName("Dialog");
        SetCaption("Предупреждение");
        SetBorderStyle(bsDialog);
        SetClientSize(300, 120);
        Edit = new TEdit(this);
        Edit->SetParent(this);
        Edit->SetBounds(10, 10, 200, 21);
        Ok = new TButton(this);
        Ok->SetName("Ok");
        Ok->SetParent(this);
        Ok->SetCaption("Подобрать флот");
        Ok->SetBounds(10, 80, 120, 25);
        Ok->SetDefault(true);
        Ok->SetModalResult(mrOk);
        Back = new TButton(this);
        Back->SetParent(this);
        Back->SetCaption("Вернуться в редактор");
        Back->SetBounds(140, 80, 150, 25);
        Back->SetCancel(true);
        Back->SetModalResult(mrCancel);
        OnCloseQuery = [this](TObject*, bool& canClose) {
            ++closeQueries;
            canClose = allowClose;
        };
        OnCreate = [this](TObject*) { createdWithControls = Edit->HandleAllocated() && Ok->HandleAllocated(); };
    }
    TEdit* Edit;
    TButton* Ok;
    TButton* Back;
    int closeQueries = 0;
    bool allowClose = true;
    bool createdWithControls = false;
};

// Whether top-level window `upper` lies in front of `lower`.
bool InFrontOf(HWND upper, HWND lower) {
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (window == upper) return true;
        if (window == lower) return false;
    }
    return false;
}

// What a window manager does with the window the player clicks: it comes to
// the front whether or not it takes input. True when `front` comes back in
// front of it within a second.
bool ComesBackInFront(HWND front, HWND clicked) {
    SetWindowPos(clicked, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (int waited = 0; waited < 1000; waited += 10) {
        Pump();
        if (InFrontOf(front, clicked)) return true;
        Sleep(10);
    }
    return false;
}

}  // namespace

TEST(Forms, CreationEventRunsOnceEveryControlExistsAndFormsAreListed) {
    int before = Screen->FormCount();
    auto* dialog = NewForm<TDialog>(nullptr);
    EXPECT_TRUE(dialog->createdWithControls);
    EXPECT_FALSE(dialog->ComponentState() & csLoading);
    EXPECT_EQ(Screen->FormCount(), before + 1);
    EXPECT_EQ(vcltest::FindForm("dialog"), dialog);
    EXPECT_EQ(vcltest::Find<TButton>(dialog, "ok"), dialog->Ok);
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
    dialog->Free();
    EXPECT_EQ(Screen->FormCount(), before);
}

TEST(Forms, CloseQuerySeesCloseBoxAltF4AndCloseAndMayRefuse) {
    auto* dialog = NewForm<TDialog>(nullptr);
    dialog->Show();
    Pump();
    EXPECT_TRUE(IsWindowVisible(dialog->Handle()));
    dialog->allowClose = false;
    SendMessageW(dialog->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    PostMessageW(dialog->Handle(), WM_SYSKEYDOWN, VK_F4, 0x20000000);  // Alt+F4
    Pump();
    dialog->Close();
    EXPECT_EQ(dialog->closeQueries, 3);
    EXPECT_TRUE(dialog->Visible());
    dialog->allowClose = true;
    dialog->Close();
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
    EXPECT_EQ(dialog->closeQueries, 4);
    dialog->Free();
}

TEST(Forms, OuterFramePositionIsInScreenPixels) {
    auto* dialog = NewForm<TDialog>(nullptr);
    dialog->SetLeft(75);
    dialog->SetTop(20);
    RECT r;
    GetWindowRect(dialog->Handle(), &r);
    EXPECT_EQ(r.left, 75);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(dialog->ClientWidth(), 300);
    SetWindowPos(dialog->Handle(), nullptr, 113, 189, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(dialog->Left(), 113);
    EXPECT_EQ(dialog->Top(), 189);

    // Onto the work area: a fixed border too wide keeps its size and its
    // corner on the area; a maximized form comes back within it.
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    dialog->SetBounds(0, 0, area.right - area.left + 6, 100);
    const int wide = dialog->Width();
    dialog->PlaceOnWorkArea(area.left + 40, area.top - 30);
    EXPECT_EQ(wide, dialog->Width());
    EXPECT_EQ(dialog->Left(), area.left);
    EXPECT_EQ(dialog->Top(), area.top);
    auto* form = NewForm<TForm>(nullptr);
    form->SetBounds(0, 0, 400, 300);
    form->Show();
    form->SetWindowState(wsMaximized);
    form->PlaceOnWorkArea(area.right - 50, area.bottom + 900);
    EXPECT_EQ(form->WindowState(), wsMaximized);
    form->SetWindowState(wsNormal);
    EXPECT_EQ(form->Left(), area.right - 400);
    EXPECT_EQ(form->Top(), area.bottom - 300);
    form->Free();
    dialog->Free();
}

TEST(Forms, ShowModalReturnsTheResultOfTheButtonPressedAndKeysReachDefaultAndCancel) {
    auto* dialog = NewForm<TDialog>(nullptr);
    int okClicks = 0;
    dialog->Ok->OnClick = [&](TObject*) { ++okClicks; };
    vcltest::PostAction([&] { vcltest::Click(dialog->Ok); });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(okClicks, 1);
    EXPECT_FALSE(dialog->Visible());

    // Enter in the edit presses the default button; Esc the cancel button.
    vcltest::PostAction([&] { vcltest::PressKey(dialog->Edit, VK_RETURN); });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(okClicks, 2);
    vcltest::PostAction([&] { vcltest::PressKey(dialog->Edit, VK_ESCAPE); });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);

    // A modal form that refuses to close stays until it allows it.
    dialog->allowClose = false;
    vcltest::PostAction([&] {
        vcltest::Click(dialog->Back);
        EXPECT_TRUE(dialog->Visible());
        dialog->allowClose = true;
        dialog->Close();
    });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    dialog->Free();
}

TEST(Forms, TimersTickInsideAModalLoop) {
    vcltest::Clock();
    auto* dialog = NewForm<TDialog>(nullptr);
    auto* timer = new TTimer(dialog);
    timer->SetEnabled(false);
    timer->SetInterval(2000);
    timer->OnTimer = [&](TObject*) {
        timer->SetEnabled(false);
        dialog->SetModalResult(mrAbort);
    };
    timer->SetEnabled(true);
    vcltest::PostAction([] { vcltest::Advance(2000); });
    EXPECT_EQ(dialog->ShowModal(), mrAbort);
    dialog->Free();
}

TEST(Forms, ShowOfAVisibleFormActivatesItButNotOverAModalForm) {
    auto* log = NewForm<TForm>(nullptr);
    auto* other = NewForm<TForm>(nullptr);
    log->Show();
    other->Show();
    Pump();
    ASSERT_EQ(GetActiveWindow(), other->Handle());
    log->Show();
    EXPECT_EQ(GetActiveWindow(), log->Handle());

    // While a modal form is up, a window shown again keeps behind it, and
    // one the desktop brings to the front puts the modal form back over it.
    auto* dialog = NewForm<TDialog>(nullptr);
    HWND active = nullptr;
    bool dialogInFront = false;
    vcltest::PostAction([&] {
        log->Show();
        active = GetActiveWindow();
        Pump();
        dialogInFront = ComesBackInFront(dialog->Handle(), log->Handle());
        dialog->SetModalResult(mrCancel);
    });
    dialog->ShowModal();
    EXPECT_EQ(active, dialog->Handle());
    EXPECT_TRUE(dialogInFront);
    dialog->Free();
    other->Free();
    log->Free();
}

// A real message box holds the other forms back as a modal form does: the
// log shown again by a battle, or a click on another form, would otherwise
// come over the box. Once it closes every form takes input again and its
// owner is the active window.
TEST(Forms, AMessageBoxKeepsEveryOtherFormBehindItUntilItCloses) {
    auto* log = NewForm<TForm>(nullptr);
    auto* owner = NewForm<TForm>(nullptr);
    log->Show();
    owner->Show();
    Pump();
    ASSERT_EQ(GetActiveWindow(), owner->Handle());

    HWND box = nullptr, activeAfterShow = nullptr;
    bool logTookInput = true, boxInFront = false;
    int looks = 0;
    std::function<void()> look = [&] {
        box = vcltest::VisibleDialog();
        if (!box && ++looks < 200) {
            Sleep(10);
            vcltest::PostAction(look);
            return;
        }
        if (!box) return;
        logTookInput = IsWindowEnabled(log->Handle());
        log->Show();
        activeAfterShow = GetActiveWindow();
        // Clicked on the desktop, the form and the box's owner come to the
        // front; the box comes back over them.
        boxInFront = ComesBackInFront(box, owner->Handle()) && ComesBackInFront(box, log->Handle());
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    };
    vcltest::PostAction(look);
    vcltest::MessageBoxes boxes;
    boxes.Pause();
    EXPECT_EQ(Application->MessageBox("Идет расчет боя, дождитесь его окончания", "Симулятор", MB_OK), IDOK);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(logTookInput);
    EXPECT_EQ(activeAfterShow, box);
    EXPECT_TRUE(boxInFront);
    Pump();
    EXPECT_TRUE(IsWindowEnabled(log->Handle()));
    EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
    EXPECT_EQ(GetActiveWindow(), owner->Handle());
    owner->Free();
    log->Free();
}

TEST(Forms, AnchoredAndAlignedControlsFollowTheForm) {
    auto* form = NewForm<TForm>(nullptr);
    form->SetClientSize(400, 300);
    auto* top = new TPanel(form);
    top->SetParent(form);
    top->SetHeight(40);
    top->SetAlign(alTop);
    auto* client = new TMemo(form);
    client->SetParent(form);
    client->SetAlign(alClient);
    auto* corner = new TButton(form);
    corner->SetParent(form);
    corner->SetBounds(310, 265, 80, 25);
    corner->SetAnchors(akRight | akBottom);
    EXPECT_EQ(top->Width(), 400);
    EXPECT_EQ(client->Top(), 40);
    EXPECT_EQ(client->Height(), 260);
    form->SetClientSize(500, 350);
    EXPECT_EQ(top->Width(), 500);
    EXPECT_EQ(client->Width(), 500);
    EXPECT_EQ(client->Height(), 310);
    EXPECT_EQ(corner->Left(), 410);
    EXPECT_EQ(corner->Top(), 315);

    // Minimized and restored, every control is where it was: a minimized
    // form's tiny client area is no size to follow.
    auto* stretched = new TMemo(form);
    stretched->SetParent(form);
    stretched->SetBounds(10, 50, 300, 200);
    stretched->SetAnchors(akLeft | akTop | akRight | akBottom);
    form->Show();
    vcltest::Pump();
    for (int cmd : {SW_MINIMIZE, SW_RESTORE, SW_MAXIMIZE, SW_MINIMIZE, SW_RESTORE, SW_RESTORE}) {
        ShowWindow(form->Handle(), cmd);
        vcltest::Pump();
    }
    EXPECT_EQ(form->ClientWidth(), 500);
    EXPECT_EQ(corner->Left(), 410);
    EXPECT_EQ(corner->Top(), 315);
    EXPECT_EQ(stretched->Width(), 300);
    EXPECT_EQ(stretched->Height(), 200);
    form->Free();
}
