// A skinned form losing and taking back the activation shows exactly what a
// whole repaint of it shows, frame, client area and controls, whether the
// skin draws the client of an active form like an inactive one's or not;
// when it draws them alike, the controls are not painted again.
#include "gtest_windows.h"
#include "support/frame_skin.h"
#include "support/screen_frames.h"
#include "support/vcl_test_support.h"

#include "skin/core/skincommands.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/windows/dialoghook.h"
#include "skin/windows/skinprovider.h"

#include <deque>
#include <vector>

using namespace vcl;
using namespace skin;
using namespace skintest;
using vcltest::Pump;

namespace {

constexpr TColor kFormBackActive = 0x90B0E0;  // "FORM" of an active form, when the skin tells them apart
constexpr TColor kCheckText = 0x202080;

// A skinned form with a see-through check box, a label and a memo over its
// client area, and a plain form beside it to take the activation.
struct ActivationScene {
    explicit ActivationScene(bool clientDiffers) {
        InitSkinnedWindows();
        host = NewForm<TForm>(Application);
        host->SetBounds(420, 40, 200, 120);
        manager = new TsSkinManager(host);
        manager->SetActive(false);
        host->Show();
        form = NewForm<TForm>(Application);
        form->SetBounds(40, 40, 300, 240);
        form->SetCaption("Activation");
        box = new TCheckBox(form);
        box->SetParent(form);
        box->SetBounds(10, 10, 150, 17);
        box->SetCaption("Флажок");
        label = new TLabel(form);
        label->SetParent(form);
        label->SetBounds(10, 36, 100, 13);
        label->SetCaption("Надпись");
        label->SetTransparent(true);
        memo = new TMemo(form);
        memo->SetParent(form);
        memo->SetBounds(10, 60, 200, 80);
        memo->Lines()->Add("строка");
        // Nothing takes the focus: a focused control paints itself on activation changes.
        box->SetTabStop(false);
        memo->SetTabStop(false);
        provider = new TsSkinProvider(form);
        provider->AfterConstruction();
        form->Show();
        Pump();
        LoadFrameSkin(manager);
        TsSkinContent& skin = manager->Skin();
        skin.Sections[static_cast<size_t>(skin.GetSkinIndex("FORM"))].HotColor = clientDiffers ? kFormBackActive : kFormBack;
        TsGeneralData check = framedetail::Section("CHECKBOX", kFormBack, kFormBack);
        check.Transparency = check.HotTransparency = 100;
        check.FontColor[0] = check.HotFontColor[0] = kCheckText;
        skin.Sections.push_back(check);
        skin.Sections.push_back(framedetail::Section("EDIT", 0xFFFFFF, 0xFFFFFF));
        manager->SendNewSkin();
        Pump();
        for (TWinControl* control : {static_cast<TWinControl*>(box), static_cast<TWinControl*>(memo)}) {
            paints.push_back(0);
            int* count = &paints.back();
            tokens.push_back(control->ReplaceWindowProc([control, count, this, i = tokens.size()](TMessage& m) {
                *count += m.Msg == WM_PAINT || (m.Msg == SM_SKINCMD && SkinCommandOf(m.WParam) == AC_REDRAWBG);
                control->CallPreviousWindowProc(tokens[i], m);
            }));
        }
    }
    ~ActivationScene() {
        box->RestoreWindowProc(tokens[0]);
        memo->RestoreWindowProc(tokens[1]);
        form->Free();
        host->Free();
    }
    ActivationScene(const ActivationScene&) = delete;
    ActivationScene& operator=(const ActivationScene&) = delete;

    HWND H() const { return form->Handle(); }
    // What the window shows, frame and controls included.
    TPixelBitmap Picture() {
        screentest::Settle();
        RECT r;
        GetWindowRect(H(), &r);
        HDC dc = GetWindowDC(H());
        TPixelBitmap shot = screentest::Grab(dc, 0, 0, r.right - r.left, r.bottom - r.top);
        ReleaseDC(H(), dc);
        return shot;
    }
    // The whole form drawn again from nothing, as on a skin change.
    void RepaintWhole() {
        provider->SkinData->BackgroundChanged = true;
        RedrawWindow(H(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        RepaintChildControls(form);
        Pump();
    }
    // A point of the client area away from the controls, in window coordinates.
    TColor BareClientPixel() {
        Pump();
        POINT p{250, 180};
        ClientToScreen(H(), &p);
        RECT r;
        GetWindowRect(H(), &r);
        HDC dc = GetWindowDC(H());
        const COLORREF c = GetPixel(dc, p.x - r.left, p.y - r.top);
        ReleaseDC(H(), dc);
        return static_cast<TColor>(c);
    }
    int ControlPaints() const { return paints[0] + paints[1]; }

    TForm* host;
    TsSkinManager* manager;
    TForm* form;
    TsSkinProvider* provider;
    TCheckBox* box;
    TLabel* label;
    TMemo* memo;
    std::vector<TWindowProcToken> tokens;
    std::deque<int> paints;  // WM_PAINT and AC_REDRAWBG of the check box and the memo
};

}  // namespace

TEST(SkinnedActivation, AFormLosingAndTakingBackTheActivationShowsWhatAWholeRepaintShows) {
    for (const bool clientDiffers : {true, false}) {
        SCOPED_TRACE(clientDiffers ? "the skin draws an active client otherwise" : "the client alike in both states");
        ActivationScene s(clientDiffers);
        SetActiveWindow(s.H());
        Pump();
        ASSERT_EQ(s.provider->Adapter != nullptr, true);
        s.RepaintWhole();
        ASSERT_EQ(s.BareClientPixel(), clientDiffers ? kFormBackActive : kFormBack);

        for (const bool active : {false, true}) {
            const int paintsBefore = s.ControlPaints();
            SetActiveWindow(active ? s.H() : s.host->Handle());
            Pump();
            ASSERT_EQ(s.provider->FormActive, active);
            const TPixelBitmap afterActivation = s.Picture();
            const int paintsOfActivation = s.ControlPaints() - paintsBefore;
            s.RepaintWhole();
            const TPixelBitmap whole = s.Picture();
            EXPECT_TRUE(screentest::Same(afterActivation, whole)) << (active ? "activated" : "deactivated");
            EXPECT_EQ(s.BareClientPixel(), clientDiffers && active ? kFormBackActive : kFormBack);
            // Only the frame changed: the controls were left alone.
            if (!clientDiffers) EXPECT_EQ(paintsOfActivation, 0) << (active ? "activated" : "deactivated");
        }
    }
}
