// A skinned form made ready for its skin: the system buttons' pictures, the
// system menu and its drop, the window style, the control adapter, the
// menus' hooking; and moving and sizing with an outline.
#include <algorithm>

#include "skin/core/skincommands.h"
#include "skin/core/win32/deferredfree.h"
#include "skin/core/win32/formbroadcast.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/windows/layout/winvalues.h"
#include "skin/windows/skinprovider.h"
#include "vcl/menus.h"

namespace skin {

using namespace vcl;

void TsSkinProvider::DropSystemMenu(int x, int y) {
    if (!SystemMenu || !Form) return;
    TsSkinManager* m = Manager();
    if (MakeSkinMenu) SystemMenu->MakeSkinItems();
    if (m && m->SkinnedPopups() && ProviderCallPoints.HookMenu) ProviderCallPoints.HookMenu(SystemMenu.get(), true);
    SystemMenu->UpdateSystemMenuItems();
    SystemMenu->SetPopupComponent(Form);
    SystemMenu->Popup(x, y);
}

void TsSkinProvider::SetMenusSkinned(bool value) {
    TsSkinManager* m = Manager();
    if (!Form || !m || m != DefaultManager || !ProviderCallPoints.HookMenu) return;
    value = value && m->SkinnedPopups();
    if (ProviderCallPoints.SetMenuPainterActive) ProviderCallPoints.SetMenuPainterActive(m, value);
    std::function<void(TComponent*)> walk = [&](TComponent* owner) {
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            TComponent* c = owner->Components(i);
            if (dynamic_cast<TMainMenu*>(c)) {
                ProviderCallPoints.HookMenu(c, value);
            } else if (dynamic_cast<TPopupMenu*>(c)) {
                ProviderCallPoints.HookMenu(c, value && m->SkinnedPopups());
            } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
                if (!dynamic_cast<TMainMenu*>(item->GetParentMenu())) ProviderCallPoints.HookMenu(c, value && m->SkinnedPopups());
            }
            walk(c);
        }
    };
    walk(Form);
}

void TsSkinProvider::RebuildMenuBar() {
    if (!Form || !Form->Menu() || !Form->HandleAllocated()) return;
    // The bar is measured again.
    DrawMenuBar(Form->Handle());
    MenuRowCount = -1;
}

// ---- outline moving and sizing

void TsSkinProvider::DrawOutline(const RECT& rect) {
    if (!desktopDC_) return;
    const POINT points[5] = {{rect.left, rect.top}, {rect.right - 1, rect.top}, {rect.right - 1, rect.bottom - 1},
                             {rect.left, rect.bottom - 1}, {rect.left, rect.top}};
    Polyline(desktopDC_, points, 5);
}

void TsSkinProvider::StartDragResize(int x, int y, int hitCode) {
    if (dragging_ || !Form || !Form->HandleAllocated()) return;
    dragging_ = true;
    dragMoving_ = hitCode == hit::Caption;
    dragHit_ = hitCode;
    desktopDC_ = GetWindowDC(GetDesktopWindow());
    savedDC_ = SaveDC(desktopDC_);
    SetROP2(desktopDC_, R2_NOT);
    SelectObject(desktopDC_, GetStockObject(WHITE_PEN));
    GetWindowRect(Form->Handle(), &dragStart_);
    grab_ = POINT{x - dragStart_.left, y - dragStart_.top};
    outline_ = dragStart_;
    DrawOutline(outline_);
    outlineShown_ = true;
    SetCapture(Form->Handle());
}

void TsSkinProvider::DragResizeFrame(int x, int y) {
    if (!dragging_) return;
    RECT r = outline_;
    if (dragMoving_) {
        // The outline keeps the place where the mouse took the form.
        OffsetRect(&r, x - grab_.x - r.left, y - grab_.y - r.top);
    } else {
        const TSizeConstraints& limits = Form->Constraints();
        const int minW = std::max(limits.MinWidth, 2 * FrameWidth() + 1);
        const int minH = std::max(limits.MinHeight, 2 * FrameHeight() + CaptionHeight());
        const int h = dragHit_;
        if (h == HTLEFT || h == HTTOPLEFT || h == HTBOTTOMLEFT) r.left = std::min(x, r.right - minW);
        if (h == HTRIGHT || h == HTTOPRIGHT || h == HTBOTTOMRIGHT) r.right = std::max(x, r.left + minW);
        if (h == HTTOP || h == HTTOPLEFT || h == HTTOPRIGHT) r.top = std::min(y, r.bottom - minH);
        if (h == HTBOTTOM || h == HTBOTTOMLEFT || h == HTBOTTOMRIGHT) r.bottom = std::max(y, r.top + minH);
    }
    if (EqualRect(&r, &outline_)) return;
    if (outlineShown_) DrawOutline(outline_);  // the old outline goes
    outline_ = r;
    DrawOutline(outline_);
    outlineShown_ = true;
}

void TsSkinProvider::FinishDragResize() {
    if (!dragging_) return;
    dragging_ = false;
    if (GetCapture() == Form->Handle()) ReleaseCapture();
    if (outlineShown_) DrawOutline(outline_);  // erased
    outlineShown_ = false;
    RestoreDC(desktopDC_, savedDC_);
    ReleaseDC(GetDesktopWindow(), desktopDC_);
    desktopDC_ = nullptr;
    PendingResizeHit = 0;
    // The form goes where its outline was.
    if (!EqualRect(&outline_, &dragStart_)) {
        RECT r = outline_;
        if (HWND parent = GetParent(Form->Handle()); parent && IsMDIChild())
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        MoveWindow(Form->Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

// ---- skin initialization

bool TsSkinProvider::CacheSizeChanged() const {
    const TBitmap* cache = SkinData->CacheBitmap.get();
    const TFormFrame f = Frame();
    return !cache || cache->Width() != f.Width || cache->Height() != f.Height;
}

void TsSkinProvider::RefreshNonClient() {
    SkinData->BackgroundChanged = true;
    MenuChanged = true;
    MenuRowCount = -1;
    if (Form && Form->HandleAllocated()) SendMessageW(Form->Handle(), WM_NCPAINT, 1, 0);
}

void TsSkinProvider::UpdateMDIForm(bool value) {
    if (value) {
        if (MDIForm) return;
        MDIMainProvider = this;
        if (ProviderCallPoints.MakeMDIForm) MDIForm = ProviderCallPoints.MakeMDIForm(this);
    } else {
        MDIForm.reset();
    }
}

void TsSkinProvider::InitAdapter() {
    if (Adapter || !Form || !Skinned() || !ProviderCallPoints.MakeAdapter) return;
    Adapter = ProviderCallPoints.MakeAdapter(this);
    if (Adapter) Adapter->AddAllControls(nullptr);
}

void TsSkinProvider::FreeAdapter() {
    if (!Adapter) return;
    TMessage removed = SkinCommandMessage(AC_SKINREMOVED, reinterpret_cast<LPARAM>(Manager()));
    Adapter->BroadcastMessage(removed);
    // The controls are let go now; their adapters may be inside a message
    // of their own (a check box that switched the skin off) and go later.
    Adapter->ReleaseWindows();
    FreeAfterMessages(std::move(Adapter));
}

void TsSkinProvider::BroadcastToAdapter(TMessage& message) {
    if (Adapter) Adapter->BroadcastMessage(message);
}

void TsSkinProvider::CopyMenuLineTail(TForm* form) {
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (!form || !cache || cache->Empty() || !form->HandleAllocated()) return;
    HDC dc = GetDC(form->Handle());
    const int w = FormWindowWidth();
    DrawPixels(dc, 0, 0, cache->Pixels(), TRect{w - 60, CaptionHeight(), w, CaptionHeight() + GetSystemMetrics(SM_CYMENU) + 3});
    ReleaseDC(form->Handle(), dc);
}

void TsSkinProvider::UpdateSysButtonImages() {
    TsSkinManager* m = Manager();
    if (!m || !Form || !m->IsValidSkinIndex(m->GetSkinIndex("GLOBALINFO"))) return;
    const TFrameSkinMasks k =
        GetFrameSkinMasks(m->Skin(), SkinData->SkinSection(), static_cast<TFrameBorderStyle>(Form->BorderStyle()), IsMDIForm());
    ButtonMin.MaskIndex = k.Min, ButtonMax.MaskIndex = k.Max, ButtonClose.MaskIndex = k.Close, ButtonHelp.MaskIndex = k.Help;
    if (IsMDIForm()) MDIMin.MaskIndex = k.MDIMin, MDIMax.MaskIndex = k.MDIMax, MDIClose.MaskIndex = k.MDIClose;
    TitleButtonMask = k.TitleButton;
    for (int i = 0; i < TitleButtons->Count(); ++i) {
        TsTitleButton* b = TitleButtons->Items(i);
        b->Record.MaskIndex = b->UseSkinData ? TitleButtonMask : -1;
    }
}

void TsSkinProvider::InitSkinning() {
    TsSkinManager* m = Manager();
    if (!m || !Form) return;
    SkinData->RefreshSkinIndexes();
    if (!SystemMenu) SystemMenu = std::make_unique<TsSystemMenu>(this);
    SystemMenu->UpdateSystemMenuItems();
    const bool active = m->SkinActive() || SkinSending;
    if (active && !IsMDIChild() && Form->HandleAllocated()) {
        // The system must draw no buttons and open no menu of its own.
        HWND h = Form->Handle();
        SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) & ~WS_SYSMENU);
    }
    if (firstInit_ && active && IsMDIForm()) UpdateMDIForm(true);
    UpdateSysButtonImages();
    FullRepaint = true;
    MenuChanged = true;
    SkinData->BackgroundChanged = true;
    if (IsMDIChild() && MDIMainProvider && MDIMainProvider->Skinned()) {
        MDIMainProvider->SkinData->BackgroundChanged = true;
        MDIMainProvider->MenuRowCount = -1;
    }
    if (!FormCreating() && !FormLoading() && useGlobalColor_ && !SkinData->CustomColor() && active)
        Form->SetColor(m->GetGlobalInfoColor());
    if (firstInit_) RebuildMenuBar();
    firstInit_ = false;
}

void TsSkinProvider::Loaded() {
    TsSkinManager* m = Manager();
    if (!m || !SkinData->HasValidSkin()) return;
    if (!Adapter) InitAdapter();
    InitSkinning();
    if (SystemMenu) SystemMenu->UpdateSystemMenuItems();
    if (MDIForm) {
        Application->ProcessMessages();
        MDIForm->Refresh();
    }
}

void TsSkinProvider::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    auto* manager = dynamic_cast<TsSkinManager*>(component);
    if (manager && SkinData) {
        if (operation == opInsert && !SkinData->StoredSkinManager()) SkinData->SetSkinManager(manager);
        else if (operation == opRemove && SkinData->StoredSkinManager() == manager) SkinData->SetSkinManager(nullptr);
        return;
    }
    if (operation == opInsert && Adapter)
        if (auto* control = dynamic_cast<TWinControl*>(component)) Adapter->AddItem(control);
}

}  // namespace skin
