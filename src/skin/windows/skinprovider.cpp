#include "skin/windows/skinprovider.h"

#include <algorithm>

#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/skincommands.h"
#include "skin/core/win32/formbroadcast.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/windows/layout/skinsizes.h"
#include "skin/windows/layout/winvalues.h"

namespace skin {

using namespace vcl;

// Never destroyed: providers freed with the forms at exit still read it.
TProviderCallPoints& ProviderCallPoints = *new TProviderCallPoints;
TsSkinProvider* MDIMainProvider = nullptr;
TsSkinProvider* MaximizedChildProvider = nullptr;
bool MaximizeChildOnPaint = false;
bool CaptionButtonPressed = false;
int PendingResizeHit = 0;
TForm* MenuIconsForm = nullptr;
bool AddingControls = false;
bool ClearingItems = false;

namespace {

int overriddenMajor = 0;

int SystemMajorVersion() {
    static const int major = [] {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof(info);
        GetVersionExA(&info);
        return static_cast<int>(info.dwMajorVersion);
    }();
    return major;
}

TFrameBorderStyle FrameStyle(TFormBorderStyle s) { return static_cast<TFrameBorderStyle>(s); }

}  // namespace

int WindowsMajorVersion() { return overriddenMajor > 0 ? overriddenMajor : SystemMajorVersion(); }
void OverrideWindowsMajorVersion(int major) { overriddenMajor = major; }

// ---- creation and destruction

TsSkinProvider::TsSkinProvider(TComponent* owner) : TComponent(owner) {
    Form = GetOwnerForm(owner);
    SkinData = std::make_unique<TsCommonData>(this, true);
    SkinData->ControlTypeCode = 224;
    SkinData->SetSkinSection("FORM");
    if (Form && Form->ControlState() != 0) SkinData->Updating = true;
    TitleIcon = std::make_unique<TsTitleIcon>();
    TitleButtons = std::make_unique<TsTitleButtons>(this);
    if (!Form) return;
    for (int i = 0; i < Form->ComponentCount(); ++i) {
        auto* other = dynamic_cast<TsSkinProvider*>(Form->Components(i));
        if (other && other != this) {
            // A form has one provider; a second one stays inert.
            Form = nullptr;
            return;
        }
    }
    ButtonsBackground = std::make_unique<TBitmap>(0, 0, pf24bit);
    MenuLineBmp = std::make_unique<TBitmap>(0, 0, pf24bit);
    FormHooked = true;
    BorderRects.clear();
    MenuRowCount = -1;
    token_ = Form->ReplaceWindowProc([this](TMessage& message) { FormWndProc(message); });
    AddSkinnedForm(Form);
    FormActive = true;
}

void TsSkinProvider::AfterConstruction() {
    TsSkinManager* m = Manager();
    if (Form && m && m->Active() && m->SkinActive()) InitSkinning();
}

void TsSkinProvider::BeforeDestruction() {
    TComponent::BeforeDestruction();
    // Freed with its form, the provider lets go while the form is whole.
    ReleaseForm();
}

TsSkinProvider::~TsSkinProvider() {
    if (Form && !released_) {
        if (Form->ComponentState() & csDestroying) {
            // The form is being taken apart around us: only our own lists forget it.
            released_ = true;
            RemoveSkinnedForm(Form);
            if (MDIMainProvider == this) MDIMainProvider = nullptr;
        } else {
            ReleaseForm();
        }
    }
    if (MaximizedChildProvider == this) MaximizedChildProvider = nullptr;
    if (MDIMainProvider == this) MDIMainProvider = nullptr;
    Adapter.reset();
    MDIForm.reset();
    SystemMenu.reset();
    ListSW.reset();
}

void TsSkinProvider::ReleaseForm() {
    if (released_ || !Form) return;
    released_ = true;
    RemoveSkinnedForm(Form);
    // The scroll adapter sits above the provider in the form's chain: it goes first.
    ListSW.reset();
    HideCoverForm();
    if (dragging_) FinishDragResize();
    // Only our own replacement leaves the chain; whatever came later stays.
    Form->RestoreWindowProc(token_);
    if (IsMDIChild() && Form->Menu() && MDIMainProvider && MDIMainProvider->Form &&
        !(MDIMainProvider->ComponentState() & csDestroying) &&
        !(MDIMainProvider->Form->ComponentState() & csDestroying)) {
        MDIMainProvider->SkinData->BackgroundChanged = true;
        MDIMainProvider->MenuRowCount = -1;
        if (MDIMainProvider->Form->HandleAllocated()) SendMessageW(MDIMainProvider->Form->Handle(), WM_NCPAINT, 1, 0);
    }
    if (MDIMainProvider == this) {
        MDIForm.reset();
        MDIMainProvider = nullptr;
    }
}

void TsSkinProvider::RebuildRegion() {
    FullRepaint = true;
    LoadBordersMask();
    UpdateWindowRegion(false);
}

// ---- properties

void TsSkinProvider::MarkChanged() {
    if (SkinData) SkinData->BackgroundChanged = true;
    if (Form && Form->HandleAllocated() && IsWindowVisible(Form->Handle())) SendMessageW(Form->Handle(), WM_NCPAINT, 1, 0);
}

void TsSkinProvider::SetCaptionAlignment(TAlignment value) {
    if (value == captionAlignment_) return;
    captionAlignment_ = value;
    MarkChanged();
}

void TsSkinProvider::SetShowAppIcon(bool value) {
    if (value == showAppIcon_) return;
    showAppIcon_ = value;
    MarkChanged();
}

void TsSkinProvider::SetTitleSkin(const std::string& value) {
    if (value == titleSkin_) return;
    titleSkin_ = value;
    MarkChanged();
}

void TsSkinProvider::SetUseGlobalColor(bool value) {
    if (value == useGlobalColor_) return;
    useGlobalColor_ = value;
    if (!Form || !SkinData->HasValidSkin()) return;
    TsSkinManager* m = Manager();
    Form->SetColor(value && !SkinData->CustomColor() && m ? m->GetGlobalInfoColor() : clBtnFace);
}

// ---- state of the form

bool TsSkinProvider::FormDestroying() const {
    return !Form || (Form->ComponentState() & csDestroying) || (ComponentState() & csDestroying);
}
bool TsSkinProvider::FormCreating() const { return Form && (Form->ControlState() & csCreating); }
bool TsSkinProvider::FormLoading() const {
    return (Form && (Form->ComponentState() & (csLoading | csReading))) || (ComponentState() & (csLoading | csReading));
}
bool TsSkinProvider::IsMDIChild() const { return Form && Form->FormStyle() == fsMDIChild; }
bool TsSkinProvider::IsMDIForm() const { return Form && Form->FormStyle() == fsMDIForm; }
bool TsSkinProvider::Showing() const { return Form && Form->HandleAllocated() && IsWindowVisible(Form->Handle()); }
bool TsSkinProvider::Skinned() const { return SkinData && !FormDestroying() && SkinData->HasValidSkin(); }
TsSkinManager* TsSkinProvider::Manager() const { return SkinData ? SkinData->SkinManager() : nullptr; }

// ---- metrics

TFrameSystemMetrics TsSkinProvider::SystemMetrics() {
    TFrameSystemMetrics m;
    m.cyCaption = GetSystemMetrics(SM_CYCAPTION);
    m.cySmCaption = GetSystemMetrics(SM_CYSMCAPTION);
    m.cxFixedFrame = GetSystemMetrics(SM_CXFIXEDFRAME);
    m.cyFixedFrame = GetSystemMetrics(SM_CYFIXEDFRAME);
    m.cxFrame = GetSystemMetrics(SM_CXFRAME);
    m.cyFrame = GetSystemMetrics(SM_CYFRAME);
    m.cyMenu = GetSystemMetrics(SM_CYMENU);
    m.cxSmIcon = GetSystemMetrics(SM_CXSMICON);
    m.cySmIcon = GetSystemMetrics(SM_CYSMICON);
    return m;
}

TFormFrame TsSkinProvider::Frame() const {
    TFormFrame f;
    if (!Form) return f;
    f.BorderStyle = FrameStyle(Form->BorderStyle());
    f.FormStyle = static_cast<TFrameFormStyle>(Form->FormStyle());
    const TBorderIcons icons = Form->BorderIcons();
    f.BorderIcons.biSystemMenu = icons & biSystemMenu;
    f.BorderIcons.biMinimize = icons & biMinimize;
    f.BorderIcons.biMaximize = icons & biMaximize;
    f.BorderIcons.biHelp = icons & biHelp;
    f.WindowState = static_cast<TFrameWindowState>(Form->WindowState());
    f.HasSystemMenu = SystemMenu != nullptr;
    f.IsMainForm = Form == Application->MainForm();
    f.HasMenu = Form->Menu() != nullptr;
    f.MenuVisible = HasVisibleMenu();
    f.MenuRows = MenuRowCount > 0 ? MenuRowCount : 1;
    f.BorderWidth = 0;
    if (Form->HandleAllocated()) {
        HWND h = Form->Handle();
        f.Iconic = IsIconic(h);
        f.HasCaptionStyle = (GetWindowLongW(h, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
        RECT wr, cr;
        GetWindowRect(h, &wr);
        GetClientRect(h, &cr);
        f.Width = wr.right - wr.left;
        f.Height = wr.bottom - wr.top;
        f.ClientWidth = cr.right;
        f.ClientHeight = cr.bottom;
        if (ListSW && !ListSW->Destroyed) {
            const DWORD style = GetWindowLongW(h, GWL_STYLE);
            if (style & WS_HSCROLL) f.HorzScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
            if (style & WS_VSCROLL) f.VertScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
        }
    }
    f.ShowAppIcon = showAppIcon_;
    f.TitleIconWidth = TitleIcon->Width;
    f.TitleIconHeight = TitleIcon->Height;
    for (int i = 0; i < TitleButtons->Count(); ++i) {
        TsTitleButton* b = TitleButtons->Items(i);
        f.TitleButtons.push_back({b->Enabled, b->UseSkinData, b->Glyph()->Empty() ? 0 : b->Glyph()->Width()});
    }
    f.ShowMDIChildButtons = IsMDIForm() && Form->Menu() && MaximizedChildProvider && MaximizedChildProvider->Form &&
                            MaximizedChildProvider->Form->WindowState() == wsMaximized;
    f.GripRightBottom = GripMode == gmRightBottom;
    return f;
}

TFrameSkinMasks TsSkinProvider::Masks() const {
    TsSkinManager* m = Manager();
    TFrameSkinMasks k;
    if (!m || m->Skin().Sections.empty()) return k;
    k = GetFrameSkinMasks(m->Skin(), SkinData->SkinSection(), FrameStyle(Form ? Form->BorderStyle() : bsSizeable),
                          IsMDIForm());
    // The pictures the buttons hold now (UpdateSysButtonImages).
    k.Close = ButtonClose.MaskIndex, k.Max = ButtonMax.MaskIndex, k.Min = ButtonMin.MaskIndex;
    k.Help = ButtonHelp.MaskIndex;
    if (TitleButtonMask >= -1) k.TitleButton = TitleButtonMask;
    return k;
}

TTitleButtonsLayout TsSkinProvider::ButtonsLayout() const { return PlaceTitleButtons(Frame(), SystemMetrics(), Masks()); }

bool TsSkinProvider::IsBordered() const { return skin::IsBordered(Frame()); }
int TsSkinProvider::CaptionHeight() const { return skin::CaptionHeight(Frame(), SystemMetrics()); }
int TsSkinProvider::FrameHeight() const { return skin::FrameHeight(Frame(), SystemMetrics()); }
int TsSkinProvider::FrameWidth() const { return skin::FrameWidth(Frame(), SystemMetrics()); }
int TsSkinProvider::MenuLineHeight() const { return skin::MenuLineHeight(Frame(), SystemMetrics()); }
int TsSkinProvider::FormWindowWidth() const { return Frame().Width; }
int TsSkinProvider::TopNonClientHeight() const { return skin::TopNonClientHeight(Frame(), SystemMetrics()); }
int TsSkinProvider::ClientOffsetX() const { return skin::ClientOffsetX(Frame()); }
int TsSkinProvider::ClientOffsetY() const { return skin::ClientOffsetY(Frame(), SystemMetrics()); }
int TsSkinProvider::SysButtonCount() const { return skin::SysButtonCount(Frame()); }
bool TsSkinProvider::IconVisible() const { return skin::IconVisible(Frame()); }

std::vector<std::pair<TMenuItem*, RECT>> TsSkinProvider::PaintedMenuItems() const {
    std::vector<std::pair<TMenuItem*, RECT>> painted;
    if (!Form || !Form->Menu() || !Form->HandleAllocated()) return painted;
    TMenuItem* items = Form->Menu()->Items();
    int position = 0;
    for (int i = 0; i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        if (!item->Visible()) continue;
        if (item->OnMeasureItem && item->OnAdvancedDrawItem) {
            RECT r{};
            GetMenuItemRect(Form->Handle(), Form->Menu()->Handle(), position, &r);
            painted.emplace_back(item, r);
        }
        ++position;
    }
    return painted;
}

bool TsSkinProvider::HasVisibleMenu() const {
    if (!Form || !Form->Menu()) return false;
    if (Form->BorderStyle() == bsDialog || IsMDIChild()) return false;
    TMenuItem* items = Form->Menu()->Items();
    for (int i = 0; i < items->Count(); ++i)
        if (items->Items(i)->Visible()) return true;
    return false;
}

int TsSkinProvider::MenuLineRowCount() {
    if (MenuRowCount != -1) return MenuRowCount;
    MenuRowCount = 1;
    if (!Form || !Form->Menu() || !Form->HandleAllocated()) return MenuRowCount;
    // Only the items the menu painter draws take room on the skinned line.
    std::vector<int> widths;
    for (const auto& [item, r] : PaintedMenuItems()) widths.push_back(r.right - r.left);
    TFormFrame f = Frame();
    MenuRowCount = std::max(1, skin::MenuLineRowCount(f, SystemMetrics(), widths));
    return MenuRowCount;
}

// ---- hit test

POINT TsSkinProvider::ScreenToFormPoint(int x, int y) const {
    POINT origin{0, 0};
    if (Form && Form->HandleAllocated()) {
        if (IsMDIChild()) {
            ClientToScreen(Form->Handle(), &origin);
            origin.x -= FrameWidth();
            origin.y -= FrameHeight() + (IsIconic(Form->Handle()) ? 0 : CaptionHeight());
        } else {
            RECT wr;
            GetWindowRect(Form->Handle(), &wr);
            origin = POINT{wr.left, wr.top};
        }
    }
    return POINT{x - origin.x, y - origin.y};
}

TitleButtonRecord* TsSkinProvider::ButtonRecord(int code) {
    switch (code) {
        case hit::MinButton: return &ButtonMin;
        case hit::MaxButton: return &ButtonMax;
        case hit::Close: return &ButtonClose;
        case hit::Help: return &ButtonHelp;
        case hit::MDIClose: return &MDIClose;
        case hit::MDIMax: return &MDIMax;
        case hit::MDIMin: return &MDIMin;
        default:
            if (code >= hit::TitleButton0)
                if (TsTitleButton* b = TitleButtons->Items(code - hit::TitleButton0)) return &b->Record;
            return nullptr;
    }
}

int TsSkinProvider::NCHitTest(const TMessage& message) {
    const POINT p = ScreenToFormPoint(static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam)));
    const TFormFrame f = Frame();
    const TFrameSystemMetrics m = SystemMetrics();
    const TFrameSkinMasks masks = Masks();
    const TTitleButtonsLayout layout = PlaceTitleButtons(f, m, masks);
    TRect corner;
    if (ListSW && !ListSW->Destroyed && ListSW->HorzBar && ListSW->VertBar) {
        const TScrollBarRects r = ListSW->BarRects();
        if (!r.Corner.IsEmpty()) {
            const POINT c = ScreenToFormPoint(r.Corner.Left, r.Corner.Top);
            corner = TRect{c.x, c.y, c.x + r.Corner.Width(), c.y + r.Corner.Height()};
        }
    }
    const int code = skin::NCHitTest(f, m, masks, layout, TPoint{p.x, p.y}, corner);
    // Only a caption button lights up; anything else puts the lit one out.
    if (ButtonRecord(code)) SetHotButton(code, true);
    else SetHotButton(0, true);
    return code;
}

// ---- region

void TsSkinProvider::LoadBordersMask() {
    BorderRects.clear();
    TsSkinManager* m = Manager();
    if (!m || !Form) return;
    const TFormFrame f = Frame();
    if (m->IsValidMaskIndex(SkinData->BorderMaskIndex)) {
        const TsMaskData& mask = m->Skin().Masks[static_cast<size_t>(SkinData->BorderMaskIndex)];
        GetMaskRegionRects(BorderRects, f.Width, mask, false, 0);
        GetMaskRegionRects(BorderRects, f.Width, mask, true, f.Height - MaskMarginBottom(m->Skin(), SkinData->BorderMaskIndex));
    }
    const std::string title = titleSkin_.empty() ? std::string("FORMTITLE") : titleSkin_;
    const int titleIndex = m->GetSkinIndex(title);
    const int titleMask = m->GetMaskIndex(titleIndex, title, "BORDERSMASK");
    if (m->IsValidSkinIndex(titleIndex) && m->IsValidMaskIndex(titleMask))
        GetMaskRegionRects(BorderRects, f.Width, m->Skin().Masks[static_cast<size_t>(titleMask)], false, 0);
}

HRGN TsSkinProvider::CreateBordersRgn(int x, int y) const {
    const TFormFrame f = Frame();
    HRGN region = CreateRectRgn(x, y, x + f.Width, y + f.Height);
    for (const TRect& r : BorderRects) {
        HRGN hole = CreateRectRgn(x + r.Left, y + r.Top, x + r.Right, y + r.Bottom);
        CombineRgn(region, region, hole, RGN_DIFF);
        DeleteObject(hole);
    }
    return region;
}

void TsSkinProvider::UpdateWindowRegion(bool repaint) {
    if (InMenuLoop || !Form || !Form->HandleAllocated()) return;
    HWND h = Form->Handle();
    if (!IsBordered() && !IsIconic(h)) return;
    if (Form->Parent()) {
        SetWindowRgn(h, nullptr, FALSE);
        return;
    }
    if (!PaintedOnce && SendMessageW(h, kKeepRectangularQuery, kKeepRectangularAnswer, 0) == kKeepRectangularAnswer) return;
    HRGN region = CreateBordersRgn(0, 0);
    if (HasWindowRegion(h, region)) {
        DeleteObject(region);
        return;
    }
    RgnChanging = true;
    SetWindowRgn(h, region, repaint);
    // Only the changes the region itself makes are held back.
    RgnChanging = false;
}

// ---- cover form

void TsSkinProvider::ShowCoverForm(bool wholeForm) {
    if (ShowAnimated || !Form || !Form->HandleAllocated()) return;
    if (!CoverForm) {
        CoverForm = new TForm(nullptr);
        CoverForm->AfterConstruction();
        CoverForm->SetTag(-98);
        CoverForm->SetBorderStyle(bsNone);
        CoverForm->OnPaint = [this](TObject*) { PaintCoverForm(); };
        coverToken_ = CoverForm->ReplaceWindowProc([this](TMessage& message) {
            if (message.Msg == WM_ERASEBKGND) {
                message.Result = 1;
                return;
            }
            CoverForm->CallPreviousWindowProc(coverToken_, message);
        });
    }
    HWND cover = CoverForm->Handle();
    ShowWindow(cover, SW_HIDE);
    RECT wr;
    GetWindowRect(Form->Handle(), &wr);
    const int top = TopNonClientHeight();
    int x = wr.left, y = wr.top, w = wr.right - wr.left, h = wholeForm ? wr.bottom - wr.top : top;
    HWND after = Form->FormStyle() == fsStayOnTop ? HWND_TOPMOST : HWND_TOP;
    if (IsMDIChild() && MDIMainProvider && MDIMainProvider->Form) {
        POINT at{AlignedControlsSize(MDIMainProvider->Form, alLeft, false) + Form->Left() + 2,
                 AlignedControlsSize(MDIMainProvider->Form, alTop, false) + Form->Top() + 2};
        ClientToScreen(MDIMainProvider->Form->Handle(), &at);
        x = at.x, y = at.y, h = top;
    }
    SetWindowPos(cover, after, x, y, w, h,
                 SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    PaintCoverForm();
}

void TsSkinProvider::HideCoverForm() {
    if (!CoverForm) return;
    TForm* cover = CoverForm;
    CoverForm = nullptr;
    cover->RestoreWindowProc(coverToken_);
    coverToken_ = 0;
    cover->Free();
}

void TsSkinProvider::PaintCoverForm() {
    if (!CoverForm || (CoverForm->ComponentState() & csDestroying) || !SkinData->CacheBitmap) return;
    HDC dc = GetDC(CoverForm->Handle());
    RECT r;
    GetClientRect(CoverForm->Handle(), &r);
    DrawPixels(dc, 0, 0, SkinData->CacheBitmap->Pixels(), TRect{0, 0, r.right, r.bottom});
    ReleaseDC(CoverForm->Handle(), dc);
}

// ---- scroll bars, redraw lock, repainting

void TsSkinProvider::RefreshFormScrollBars() {
    if ((ComponentState() & csDestroying) || !Form || !Form->HandleAllocated() || !Form->AutoScroll()) return;
    UpdateSkinnedScrolls(SkinData.get(), ListSW);
}

void TsSkinProvider::LockFormRedraw(bool withParent) {
    SkinData->BeginSkinUpdate();
    Form->Perform(WM_SETREDRAW, 0, 0);
    if (withParent && IsMDIChild() && MDIMainProvider && MDIMainProvider != this) MDIMainProvider->LockFormRedraw(false);
}

void TsSkinProvider::UnlockFormRedraw(bool withParent) {
    SkinData->EndSkinUpdate();
    Form->Perform(WM_SETREDRAW, 1, 0);
    if (withParent && IsMDIChild() && MDIMainProvider && MDIMainProvider != this) MDIMainProvider->UnlockFormRedraw(false);
}

void TsSkinProvider::RepaintFrame() {
    if (IsMDIChild() && Form->WindowState() == wsMaximized && MDIMainProvider && MDIMainProvider != this) {
        MDIMainProvider->RepaintFrame();
        return;
    }
    if (!Form || !Form->HandleAllocated()) return;
    SkinData->BackgroundChanged = true;
    HDC dc = GetWindowDC(Form->Handle());
    const int saved = SaveDC(dc);
    PaintFrameToDC(dc);
    RestoreDC(dc, saved);
    ReleaseDC(Form->Handle(), dc);
}

void TsSkinProvider::RefreshMDIParent() {
    TsSkinProvider* main = MDIMainProvider;
    if (!main || !main->Form) return;
    main->SkinData->BeginSkinUpdate();
    Application->ProcessMessages();
    main->SkinData->BackgroundChanged = true;
    main->MenuRowCount = -1;
    if (main->MDIForm) main->MDIForm->Refresh();
    main->SkinData->EndSkinUpdate();
    RedrawWindow(main->Form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace skin
