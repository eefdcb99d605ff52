#include "skin/windows/skinmenus.h"

#include <algorithm>

#include "skin/core/blend.h"
#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/sectionpaint.h"
#include "skin/core/skincommands.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/core/win32/skinpaint.h"
#include "skin/windows/paneladapters.h"
#include "skin/windows/skinprovider.h"
#include "vcl/forms.h"
#include "vcl/imglist.h"
#include "vcl/menus.h"
#include "vcl/wintext.h"

namespace skin {

using namespace vcl;

namespace {

// The menu being shown: one at a time in a process.
struct TShownMenu {
    std::unique_ptr<TBitmap> BorderCache;
    const TMenuItem* FirstItem = nullptr;  // compared, never followed
    bool ExtraLineVisible = false;
    bool ExtraFetched = false;
    bool Fetching = false;
    std::string ExtraSection;
    std::string ExtraCaption;
    std::unique_ptr<TBitmap> ExtraGlyph;
    int GlyphColumnWidth = 0;
    int IcoLineWidth = 0;
    TsMenuItemType ItemType = smNormal;
};

TShownMenu& Shown() {
    static auto* shown = new TShownMenu;
    return *shown;
}

constexpr const char* kPrevProcProp = "NorvixPopupPrevProc";

// The handlers the painter installs, told apart from the program's own by their type.
enum class THandlerKind { Popup, Line };
struct TMeasureHandler {
    TsSkinableMenus* Menus;
    THandlerKind Kind;
    void operator()(TObject* sender, TCanvas* canvas, int& width, int& height) const {
        if (Kind == THandlerKind::Popup) Menus->MeasureMenuItem(sender, canvas, width, height);
        else Menus->MeasureMenuLineItem(sender, canvas, width, height);
    }
};
struct TDrawHandler {
    TsSkinableMenus* Menus;
    THandlerKind Kind;
    void operator()(TObject* sender, TCanvas* canvas, RECT rect, TOwnerDrawState state) const {
        if (Kind == THandlerKind::Popup) Menus->DrawMenuItem(sender, canvas, rect, state);
        else Menus->DrawMenuLineItem(sender, canvas, rect, state);
    }
};

bool IsHandler(const TMenuMeasureItemEvent& e, const TsSkinableMenus* menus, THandlerKind kind) {
    const auto* h = e.target<TMeasureHandler>();
    return h && h->Menus == menus && h->Kind == kind;
}
bool IsHandler(const TAdvancedMenuDrawItemEvent& e, const TsSkinableMenus* menus, THandlerKind kind) {
    const auto* h = e.target<TDrawHandler>();
    return h && h->Menus == menus && h->Kind == kind;
}

bool IsTopLineItem(const TMenuItem* item) {
    const TMenu* menu = item->GetParentMenu();
    return menu && dynamic_cast<const TMainMenu*>(menu) && item->Parent() == menu->Items();
}

TMenuItem* FirstItemOf(TMenuItem* item) {
    TMenuItem* parent = item->Parent();
    return parent && parent->Count() > 0 ? parent->Items(0) : item;
}

bool IsFirstVisible(const TMenuItem* item) {
    const TMenuItem* parent = item->Parent();
    if (!parent) return true;
    for (int i = 0; i < parent->Count(); ++i)
        if (parent->Items(i)->Visible()) return parent->Items(i) == item;
    return false;
}

bool IsLastVisible(const TMenuItem* item) {
    const TMenuItem* parent = item->Parent();
    if (!parent) return true;
    for (int i = parent->Count() - 1; i >= 0; --i)
        if (parent->Items(i)->Visible()) return parent->Items(i) == item;
    return false;
}

// The next visible item of the same parent, nullptr after the last.
const TMenuItem* NextVisible(const TMenuItem* item) {
    const TMenuItem* parent = item->Parent();
    if (!parent) return nullptr;
    for (int i = parent->IndexOf(item) + 1; i < parent->Count(); ++i)
        if (parent->Items(i)->Visible()) return parent->Items(i);
    return nullptr;
}

std::string WithoutAmpersands(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    return text;
}

TForm* OwnerForm(const TComponent* component) {
    for (TComponent* c = component ? component->Owner() : nullptr; c; c = c->Owner())
        if (auto* form = dynamic_cast<TForm*>(c)) return form;
    return nullptr;
}

// Where the client area of a window lies in the window.
POINT ClientOffset(HWND window) {
    RECT wr{};
    POINT origin{0, 0};
    GetWindowRect(window, &wr);
    ClientToScreen(window, &origin);
    return POINT{origin.x - wr.left, origin.y - wr.top};
}

// The client rectangle R of a popup copied from the border cache (which
// covers the whole window) onto the item's device context.
void CopyFromCache(HDC dc, const TBitmap* cache, const RECT& r, POINT offset) {
    if (!cache || cache->Empty() || r.right <= r.left || r.bottom <= r.top) return;
    TBitmap* c = const_cast<TBitmap*>(cache);
    DrawPixels(dc, r.left, r.top, c->Pixels(), TRect{r.left + offset.x, r.top + offset.y, r.right + offset.x, r.bottom + offset.y});
}

void Blit(HDC dc, int x, int y, TBitmap* bmp) {
    if (bmp->Empty()) return;
    DrawPixels(dc, x, y, bmp->Pixels(), TRect{0, 0, bmp->Width(), bmp->Height()});
}

}  // namespace

// ---- unit-wide state

void ResetMenuCache() {
    TShownMenu& s = Shown();
    s.FirstItem = nullptr;
    s.BorderCache.reset();
    s.ExtraLineVisible = false;
    s.ExtraFetched = false;
}

TBitmap* MenuBorderCache() { return Shown().BorderCache.get(); }

// ---- TsSkinableMenus

TsSkinableMenus::TsSkinableMenus(TsSkinManager* owner) : manager_(owner), captionFont_(std::make_unique<TFont>()) {
    // The form providers hook their menus through this painter.
    if (!ProviderCallPoints.HookMenu)
        ProviderCallPoints.HookMenu = [](TComponent* menu, bool skinned) {
            if (DefaultManager && DefaultManager->SkinableMenus) DefaultManager->SkinableMenus->HookComponent(menu, skinned);
        };
    if (!ProviderCallPoints.SetMenuPainterActive)
        ProviderCallPoints.SetMenuPainterActive = [](TsSkinManager* m, bool active) {
            if (!m || !m->SkinableMenus) return;
            m->SkinableMenus->Active = active;
            m->SkinableMenus->HookAllMenus(active);
        };
}

TsSkinableMenus::~TsSkinableMenus() {
    // No item keeps a handler of a freed painter. Only the handlers go: the
    // menus themselves may belong to forms that are being destroyed.
    std::function<void(TMenuItem*)> forget = [&](TMenuItem* item) {
        if (IsOwnDraw(item->OnAdvancedDrawItem)) item->OnAdvancedDrawItem = nullptr;
        if (IsOwnMeasure(item->OnMeasureItem)) item->OnMeasureItem = nullptr;
        for (int i = 0; i < item->Count(); ++i) forget(item->Items(i));
    };
    std::function<void(TComponent*)> walk = [&](TComponent* owner) {
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            TComponent* c = owner->Components(i);
            if (auto* menu = dynamic_cast<TMenu*>(c)) forget(menu->Items());
            else if (auto* item = dynamic_cast<TMenuItem*>(c)) forget(item);
            walk(c);
        }
    };
    for (int i = 0; i < Screen->FormCount(); ++i) walk(Screen->Forms(i));
}

int TsSkinableMenus::SkinBorderWidth() {
    if (skinBorderWidth_ < 0) skinBorderWidth_ = skin::SkinBorderWidth(-1, manager_ ? &manager_->Skin() : nullptr);
    return skinBorderWidth_;
}

int TsSkinableMenus::ExtraLineSpace() const {
    const TacMenuSupport& support = manager_->MenuSupport();
    return skin::ExtraLineSpace(support.UseExtraLine, Shown().ExtraLineVisible, support.ExtraLineWidth);
}

bool TsSkinableMenus::IsOwnMeasure(const TMenuMeasureItemEvent& handler) const {
    return IsHandler(handler, this, THandlerKind::Popup) || IsHandler(handler, this, THandlerKind::Line);
}

bool TsSkinableMenus::IsOwnDraw(const TAdvancedMenuDrawItemEvent& handler) const {
    return IsHandler(handler, this, THandlerKind::Popup) || IsHandler(handler, this, THandlerKind::Line);
}

void TsSkinableMenus::UpdateMenus() { SetMenusActive(manager_->SkinActive()); }

void TsSkinableMenus::SetMenusActive(bool value) {
    if (value == Active) return;
    Active = value;
    HookAllMenus(value);
}

void TsSkinableMenus::HookAllMenus(bool value) {
    if (manager_->ComponentState() & csDesigning) return;
    const bool popups = value && manager_->SkinnedPopups();
    std::function<void(TComponent*)> walk = [&](TComponent* owner) {
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            TComponent* c = owner->Components(i);
            if (auto* mainMenu = dynamic_cast<TMainMenu*>(c)) {
                HookMainMenu(mainMenu, value);
                TMenuItem* items = mainMenu->Items();
                for (int j = 0; j < items->Count(); ++j) HookItemTree(items->Items(j), popups);
            } else if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
                HookPopupMenu(popup, popups);
            } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
                if (!dynamic_cast<TMainMenu*>(item->GetParentMenu())) HookItemTree(item, popups);
            }
            walk(c);
        }
    };
    for (int i = 0; i < Screen->FormCount(); ++i) walk(Screen->Forms(i));
}

void TsSkinableMenus::InstallPopupHandlers(TMenuItem* item, bool value) {
    if (value) {
        if (!item->OnAdvancedDrawItem) item->OnAdvancedDrawItem = TDrawHandler{this, THandlerKind::Popup};
        if (!item->OnMeasureItem) item->OnMeasureItem = TMeasureHandler{this, THandlerKind::Popup};
    } else {
        if (IsHandler(item->OnAdvancedDrawItem, this, THandlerKind::Popup)) item->OnAdvancedDrawItem = nullptr;
        if (IsHandler(item->OnMeasureItem, this, THandlerKind::Popup)) item->OnMeasureItem = nullptr;
    }
}

void TsSkinableMenus::HookMainMenu(TMainMenu* menu, bool value) {
    TMenuItem* items = menu->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        if (value && manager_->SkinActive()) {
            item->OnAdvancedDrawItem = TDrawHandler{this, THandlerKind::Line};
            item->OnMeasureItem = TMeasureHandler{this, THandlerKind::Line};
        } else if (!value) {
            if (IsHandler(item->OnAdvancedDrawItem, this, THandlerKind::Line)) item->OnAdvancedDrawItem = nullptr;
            if (IsHandler(item->OnMeasureItem, this, THandlerKind::Line)) item->OnMeasureItem = nullptr;
        }
    }
    if (!(menu->ComponentState() & csDestroying)) menu->SetOwnerDraw(value);
}

void TsSkinableMenus::HookPopupMenu(TPopupMenu* menu, bool value) {
    menu->SetOwnerDraw(value);
    // The region is set as the first item is drawn: the menu must not unfold before it.
    if (value) menu->MenuAnimation |= maNone;
    else menu->MenuAnimation &= ~static_cast<TMenuAnimation>(maNone);
    HookItemTree(menu->Items(), value);
}

void TsSkinableMenus::HookItemTree(TMenuItem* item, bool value) {
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* child = item->Items(i);
        if (!IsTopLineItem(child)) InstallPopupHandlers(child, value);
        HookItemTree(child, value);
    }
}

void TsSkinableMenus::HookMenuItem(TMenuItem* item, bool value) {
    if (TMenu* menu = item->GetParentMenu()) menu->SetOwnerDraw(value);
    if (value) {
        if (IsTopLineItem(item)) {
            item->OnAdvancedDrawItem = TDrawHandler{this, THandlerKind::Line};
            item->OnMeasureItem = TMeasureHandler{this, THandlerKind::Line};
        } else if (manager_->SkinnedPopups()) {
            InstallPopupHandlers(item, true);
        }
    } else {
        InstallPopupHandlers(item, false);
    }
}

void TsSkinableMenus::HookComponent(TComponent* component, bool value) {
    if (auto* mainMenu = dynamic_cast<TMainMenu*>(component)) {
        HookMainMenu(mainMenu, value);
        const bool popups = value && manager_->SkinnedPopups();
        TMenuItem* items = mainMenu->Items();
        for (int j = 0; j < items->Count(); ++j) HookItemTree(items->Items(j), popups);
    } else if (auto* popup = dynamic_cast<TPopupMenu*>(component)) {
        HookPopupMenu(popup, value);
    } else if (auto* item = dynamic_cast<TMenuItem*>(component)) {
        if (item->Parent()) HookMenuItem(item, value);
        else HookItemTree(item, value);
    }
}

// ---- measuring

void TsSkinableMenus::SetItemFont(TMenuItem* item, TCanvas* canvas) {
    canvas->Font()->Assign(*Screen->MenuFont());
    if (TForm* form = OwnerForm(item->GetParentMenu())) canvas->Font()->SetCharset(form->Font()->Charset());
    if (item->Default()) canvas->Font()->SetStyle(canvas->Font()->Style() | fsBold);
}

TPoint TsSkinableMenus::GlyphSize(TMenuItem* item, bool lineItem) const {
    TMenu* menu = item->GetParentMenu();
    const TPoint bitmap = item->HasBitmap() ? TPoint{item->Bitmap()->Width(), item->Bitmap()->Height()} : TPoint{0, 0};
    const bool images = menu && menu->Images();
    return GetGlyphSize(bitmap, lineItem, images, images ? TPoint{menu->Images()->Width(), menu->Images()->Height()} : TPoint{});
}

bool TsSkinableMenus::IsAfterBreak(TMenuItem* item) const {
    if (!Shown().ExtraFetched || !item->Parent()) return false;
    TMenuItem* parent = item->Parent();
    for (int i = 0; i <= parent->IndexOf(item); ++i)
        if (parent->Items(i)->Break() != mbNone) return true;
    return false;
}

int TsSkinableMenus::ItemHeight(TMenuItem* item, TCanvas* canvas) {
    if (item->IsLine()) return 2;
    SetItemFont(item, canvas);
    return MenuItemHeight(item->Caption(), canvas->TextHeight("W"), GlyphSize(item, false).Y, Margin);
}

void TsSkinableMenus::FetchExtraLineData(TMenuItem* firstItem) {
    TShownMenu& s = Shown();
    if (s.ExtraFetched || s.Fetching || (manager_->ComponentState() & csDesigning)) return;
    s.Fetching = true;
    if (firstItem && firstItem->Name() == "SkinSelectItem") {
        s.ExtraLineVisible = false;
    } else {
        s.ExtraSection = "EXTRALINE";
        s.ExtraGlyph.reset();
        s.ExtraCaption = "Don`t forget OnGetExtraLineData event...";
        s.ExtraLineVisible = true;
        if (manager_->OnGetMenuExtraLineData) {
            TBitmap* glyph = nullptr;
            manager_->OnGetMenuExtraLineData(firstItem, s.ExtraSection, s.ExtraCaption, glyph, s.ExtraLineVisible);
            s.ExtraGlyph.reset(glyph);
        }
        s.ExtraCaption = WithoutAmpersands(s.ExtraCaption);
        if (!s.ExtraLineVisible) s.ExtraGlyph.reset();
    }
    s.ExtraFetched = true;
    s.Fetching = false;
}

void TsSkinableMenus::MeasureMenuItem(TObject* sender, TCanvas* canvas, int& width, int& height) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item || (item->ComponentState() & csDestroying)) return;
    TShownMenu& s = Shown();
    TMenuItem* first = FirstItemOf(item);
    if (s.FirstItem != first) {
        ResetMenuCache();
        s.FirstItem = first;
    }
    s.ItemType = MenuItemType(item->Caption(), false);
    FetchExtraLineData(first);
    SetItemFont(item, canvas);
    const std::string text = MeasuredMenuText(s.ItemType, item->Caption(), ShortCutToText(item->ShortCut()));
    RECT r{0, 0, 0, 0};
    if (!text.empty()) canvas->DrawText(text, r, DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
    const int space = s.ExtraLineVisible ? ExtraLineSpace() : 0;
    width = MenuItemWidth(GlyphSize(item, false).X, r.right - r.left, Margin, Spacing, space, IsAfterBreak(item));
    height = ItemHeight(item, canvas);
}

void TsSkinableMenus::MeasureMenuLineItem(TObject* sender, TCanvas* canvas, int& width, int& height) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item) return;
    height = GetSystemMetrics(SM_CYMENU) - 1;
    SetItemFont(item, canvas);
    TMenu* menu = item->GetParentMenu();
    const bool images = menu && menu->Images();
    width = MenuLineItemWidth(canvas->TextWidth(WithoutAmpersands(item->Caption())), images,
                              images ? menu->Images()->Width() : 0, item->ImageIndex());
}

// ---- the border cache and the popup window

void TsSkinableMenus::PaintExtraLine(TBitmap* cache) {
    TShownMenu& s = Shown();
    TacMenuSupport& support = manager_->MenuSupport();
    const int index = manager_->GetSkinIndex(s.ExtraSection);
    if (!support.UseExtraLine || !s.ExtraLineVisible || !manager_->IsValidSkinIndex(index)) return;
    const int bw = SkinBorderWidth();
    TBitmap strip(support.ExtraLineWidth, std::max(0, cache->Height() - 2 * bw), pf24bit);
    if (strip.Empty()) return;
    PaintSectionItem(manager_->Skin(), strip.Pixels(),
                     SectionArgs(manager_, index, MakeParentCacheInfo(cache->Pixels(), bw, bw), 0,
                                 TRect{0, 0, strip.Width(), strip.Height()}));
    int bottom = strip.Height() - 12;
    if (s.ExtraGlyph && !s.ExtraGlyph->Empty()) {
        strip.Canvas()->Draw((strip.Width() - s.ExtraGlyph->Width()) / 2, bottom - s.ExtraGlyph->Height(), s.ExtraGlyph.get());
        bottom -= 8 + s.ExtraGlyph->Height();
    }
    if (!s.ExtraCaption.empty()) {
        // Runs upwards from near the bottom.
        TFont* f = support.ExtraLineFont();
        LOGFONTW lf = {};
        lf.lfHeight = f->Size();
        lf.lfEscapement = lf.lfOrientation = 900;
        lf.lfWeight = FW_NORMAL;
        lf.lfItalic = (f->Style() & fsItalic) != 0;
        lf.lfUnderline = (f->Style() & fsUnderline) != 0;
        lf.lfStrikeOut = (f->Style() & fsStrikeOut) != 0;
        lf.lfCharSet = static_cast<BYTE>(f->Charset());
        WideText face(f->Name());
        lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
        HFONT font = CreateFontIndirectW(&lf);
        HDC dc = strip.Canvas()->Handle();
        HFONT old = static_cast<HFONT>(SelectObject(dc, font));
        const TsGeneralData& gd = manager_->Skin().Sections[static_cast<size_t>(index)];
        SetTextColor(dc, ColorToRGB(gd.FontColor[0]));
        SetBkMode(dc, TRANSPARENT);
        WideText text(s.ExtraCaption);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        TextOutW(dc, (strip.Width() - size.cy) / 2, bottom, text.c_str(), static_cast<int>(text.size()));
        SelectObject(dc, old);
        DeleteObject(font);
    }
    CopyRect(cache->Pixels(), bw, bw, strip.Pixels(), TRect{0, 0, strip.Width(), strip.Height()});
    s.ExtraGlyph.reset();
}

void TsSkinableMenus::PaintMenuBorder(TMenuItem* firstItem, int width, int height, HWND window) {
    TShownMenu& s = Shown();
    if (s.BorderCache && s.FirstItem == firstItem) return;
    FetchExtraLineData(firstItem);
    s.FirstItem = firstItem;
    s.BorderCache = std::make_unique<TBitmap>(std::max(width, 0), std::max(height, 0), pf24bit);
    s.GlyphColumnWidth = firstItem ? GlyphSize(firstItem, false).X : 16;
    s.IcoLineWidth = Margin + s.GlyphColumnWidth + Spacing;
    TBitmap* cache = s.BorderCache.get();
    const int index = manager_->GetSkinIndex("MAINMENU");
    if (cache->Empty()) return;
    if (!manager_->IsValidSkinIndex(index)) {
        // A skin without a popup frame: the frame's bands stay the menu's plain colour.
        FillRect(cache->Pixels(), TRect{0, 0, width, height}, static_cast<TColor>(ColorToRGB(clMenu)));
        return;
    }
    PaintSectionItem(manager_->Skin(), cache->Pixels(), SectionArgs(manager_, index, TParentCacheInfo{}, 0, TRect{0, 0, width, height}));
    PaintExtraLine(cache);
    const int bw = SkinBorderWidth();
    const std::string& ico = manager_->MenuSupport().IcoLineSkin;
    const int icoIndex = ico.empty() ? -1 : manager_->GetSkinIndex(ico);
    if (manager_->IsValidSkinIndex(icoIndex)) {
        TBitmap line(s.IcoLineWidth, std::max(0, height - 2 * bw), pf24bit);
        if (!line.Empty()) {
            const int x = ExtraLineSpace() + bw;
            PaintSectionItem(manager_->Skin(), line.Pixels(),
                             SectionArgs(manager_, icoIndex, MakeParentCacheInfo(cache->Pixels(), x, bw), 0,
                                         TRect{0, 0, line.Width(), line.Height()}));
            CopyRect(cache->Pixels(), x, bw, line.Pixels(), TRect{0, 0, line.Width(), line.Height()});
        }
    }
    borderRects_.clear();
    const int mask = manager_->GetMaskIndex(index, "MAINMENU", "BORDERSMASK");
    if (manager_->IsValidMaskIndex(mask)) {
        const TsMaskData& md = manager_->Skin().Masks[static_cast<size_t>(mask)];
        GetMaskRegionRects(borderRects_, width, md, false, 0);
        const int wb = md.WB > 0 ? md.WB : md.BorderWidth;
        GetMaskRegionRects(borderRects_, width, md, true, height - wb);
    }
    if (window) SetPopupMenuRgn(window, cache);
}

void TsSkinableMenus::SetPopupMenuRgn(HWND window, TBitmap* bmp) {
    if (settingRgn_ || !window || !IsWindow(window)) return;
    settingRgn_ = true;
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&PopupMenuWndProc)) {
        const LONG_PTR prev = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PopupMenuWndProc));
        WideText prop(kPrevProcProp);
        SetPropW(window, prop.c_str(), reinterpret_cast<HANDLE>(prev));
    }
    if (bmp && !bmp->Empty()) {
        // An adapter that is still painting the menu keeps the region it has.
        if (SendMessageW(window, SM_SKINCMD, SkinCommandWParam(AC_SETUPDATEFLAG, 0), 0) == 0) {
            SendMessageW(window, SM_SKINCMD, SkinCommandWParam(AC_POPUPREGIONSET, 0), 0);
            HRGN region = CreateRectRgn(0, 0, bmp->Width(), bmp->Height());
            auto cut = [region](const TRect& r) {
                HRGN part = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
                CombineRgn(region, region, part, RGN_DIFF);
                DeleteObject(part);
            };
            if (borderRects_.empty()) cut(TRect{0, 0, 1, 1});
            for (const TRect& r : borderRects_) cut(r);
            if (!SetWindowRgn(window, region, TRUE)) DeleteObject(region);
        }
    }
    settingRgn_ = false;
}

void TsSkinableMenus::PopupMenuShown(TMessage& message) {
    HWND window = nullptr;
    if (message.Msg == kPopupWindowShown) {
        window = reinterpret_cast<HWND>(message.LParam);
    } else {
        auto* item = reinterpret_cast<TMenuItem*>(message.LParam);
        if (!MenuBorderCache() || !item || !item->Parent()) return;
        int position = 0;
        TMenuItem* parent = item->Parent();
        for (int i = 0; i < parent->IndexOf(item); ++i)
            if (parent->Items(i)->Visible()) ++position;
        RECT r{};
        if (!GetMenuItemRect(nullptr, parent->Handle(), static_cast<UINT>(position), &r)) return;
        window = WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    if (window) SetPopupMenuRgn(window, MenuBorderCache());
}

LRESULT CALLBACK PopupMenuWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    WideText prop(kPrevProcProp);
    auto prev = reinterpret_cast<WNDPROC>(GetPropW(window, prop.c_str()));
    auto callPrev = [&]() {
        return prev ? CallWindowProcW(prev, window, msg, wParam, lParam) : DefWindowProcW(window, msg, wParam, lParam);
    };
    switch (msg) {
        case WM_DESTROY:
            ResetMenuCache();
            return callPrev();
        case WM_NCDESTROY: {
            // The system's procedure comes back while this one is on top;
            // a procedure put over it later gives back its own.
            if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&PopupMenuWndProc) && prev)
                SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
            RemovePropW(window, prop.c_str());
            return prev ? CallWindowProcW(prev, window, msg, wParam, lParam) : 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_NCPAINT: {
            if (WindowsMajorVersion() >= 6) {
                RECT wr{};
                GetWindowRect(window, &wr);
                TBitmap* cache = MenuBorderCache();
                if (!cache || cache->Width() != wr.right - wr.left || cache->Height() != wr.bottom - wr.top) callPrev();
            }
            return 1;
        }
        default:
            return callPrev();
    }
}

// ---- drawing popup items

void TsSkinableMenus::DrawDivider(TMenuItem* item, TCanvas* canvas, const RECT& rect, TPoint offset) {
    TShownMenu& s = Shown();
    int index = manager_->GetSkinIndex("DIVIDERV");
    int mask = manager_->GetMaskIndex(index, "DIVIDERV", "BORDERSMASK");
    if (!manager_->IsValidSkinIndex(index)) {
        index = manager_->GetSkinIndex("TRACKBAR");
        mask = manager_->GetMaskIndex(index, "TRACKBAR", "SLIDERCHANNEL");
    }
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (!manager_->IsValidMaskIndex(mask) || !s.BorderCache) {
        RECT line = rect;
        DrawEdge(canvas->Handle(), &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    // A mask taller than the 2-pixel divider is centred on it: its middle rows show.
    const TsMaskData& md = manager_->Skin().Masks[static_cast<size_t>(mask)];
    const int bh = std::max(h, md.FrameHeight()), top = (bh - h) / 2;
    TBitmap bmp(w, bh, pf24bit);
    if (bmp.Empty() || h <= 0) return;
    const TRect source{rect.left + offset.X, rect.top + offset.Y - top, rect.right + offset.X, rect.top + offset.Y - top + bh};
    CopyRect(bmp.Pixels(), 0, 0, s.BorderCache->Pixels(), source);
    const int space = ExtraLineSpace();
    const int left = std::max(space + Margin + Spacing, space + s.IcoLineWidth + 2);
    const int right = w - (space + 2 * Margin + Spacing);
    if (right > left)
        DrawSkinRect(bmp.Pixels(), TRect{left, 0, right, bh}, true, MakeParentCacheInfo(s.BorderCache->Pixels(), source.Left, source.Top),
                     md, 0, true);
    DrawPixels(canvas->Handle(), rect.left, rect.top, bmp.Pixels(), TRect{0, top, w, top + h});
}

void TsSkinableMenus::DrawCaptionItem(TMenuItem* item, TCanvas* canvas, const RECT& rect, TPoint offset) {
    TShownMenu& s = Shown();
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    TBitmap bmp(w, h, pf24bit);
    if (bmp.Empty()) return;
    if (s.BorderCache)
        CopyRect(bmp.Pixels(), 0, 0, s.BorderCache->Pixels(), TRect{rect.left + offset.X, rect.top + offset.Y, rect.right + offset.X, rect.bottom + offset.Y});
    const int index = manager_->GetSkinIndex("TOOLBAR");
    const int space = ExtraLineSpace();
    if (manager_->IsValidSkinIndex(index) && w > space)
        PaintSectionItem(manager_->Skin(), bmp.Pixels(),
                         SectionArgs(manager_, index, MakeParentCacheInfo(bmp.Pixels(), 0, 0), 0, TRect{space, 0, w, h}));
    TCanvas* c = bmp.Canvas();
    c->Font()->Assign(*captionFont_);
    RECT text{space, 0, w, h};
    DrawSkinText(c, CaptionItemWord(item->Caption()), true, manager_, false, index, DT_CENTER | DT_VCENTER | DT_SINGLELINE, text);
    Blit(canvas->Handle(), rect.left, rect.top, &bmp);
}

void TsSkinableMenus::DrawMenuItem(TObject* sender, TCanvas* canvas, RECT rect, TOwnerDrawState state) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item || !manager_ || !IsLiveManager(manager_)) return;
    TShownMenu& s = Shown();
    TacMnuWnd::SkinnedMenus = true;
    const int notAfterBreak = IsAfterBreak(item) ? 0 : 1;
    TMenuItem* first = FirstItemOf(item);
    if (s.FirstItem != first) ResetMenuCache();
    if (manager_->HotWindow) manager_->SetHotWindow(nullptr);

    // The popup's window, its size and where its client area lies in it.
    HWND window = WindowFromDC(canvas->Handle());
    if (window && GetClassLongW(window, GCW_ATOM) != 32768) window = nullptr;
    int width = 0, height = 0;
    POINT offset{BorderWidth, BorderWidth};
    if (window) {
        RECT wr{};
        GetWindowRect(window, &wr);
        width = wr.right - wr.left;
        height = wr.bottom - wr.top;
        offset = ClientOffset(window);
    } else {
        std::vector<TMenuItemMeasure> items;
        TMenuItem* parent = item->Parent();
        HDC screen = GetDC(nullptr);
        TCanvas measure;
        measure.SetHandle(screen);
        for (int i = 0; parent && i < parent->Count(); ++i) {
            TMenuItem* it = parent->Items(i);
            TMenuItemMeasure m;
            m.Visible = it->Visible();
            m.Break = it->Break() != mbNone;
            if (m.Visible) it->MeasureItem(&measure, m.Width, m.Height);
            items.push_back(m);
        }
        measure.SetHandle(nullptr);
        ReleaseDC(nullptr, screen);
        const TPoint size = PopupSize(items, BorderWidth);
        width = size.X;
        height = size.Y;
    }
    PaintMenuBorder(first, width, height, window);
    TBitmap* cache = s.BorderCache.get();
    const int space = ExtraLineSpace();

    if (window && cache && !cache->Empty()) {
        // The frame around the item, in window coordinates.
        HDC dc = GetWindowDC(window);
        const int top = rect.top + offset.y, bottom = rect.bottom + offset.y;
        const int cw = cache->Width(), ch = cache->Height();
        TPixels px = cache->Pixels();
        if (IsFirstVisible(item)) DrawPixels(dc, 0, 0, px, TRect{0, 0, cw, top});
        if (IsLastVisible(item)) DrawPixels(dc, 0, bottom, px, TRect{0, bottom, cw, ch});
        const int left = std::max(std::max(SkinBorderWidth(), BorderWidth), static_cast<int>(rect.left + offset.x)) + space * notAfterBreak;
        DrawPixels(dc, 0, top, px, TRect{0, top, left, bottom});
        const int right = std::max(BorderWidth, static_cast<int>(cw - (rect.right + offset.x)));
        DrawPixels(dc, cw - right, top, px, TRect{cw - right, top, cw, bottom});
        ReleaseDC(window, dc);
    } else if (!window && Application->Handle()) {
        MSG pending;
        if (!PeekMessageW(&pending, Application->Handle(), kPopupItemShown, kPopupWindowShown, PM_NOREMOVE))
            PostMessageW(Application->Handle(), kPopupItemShown, 0, reinterpret_cast<LPARAM>(item));
    }
    const TPoint off{offset.x, offset.y};

    if (item->IsLine()) {
        s.ItemType = smDivider;
        DrawDivider(item, canvas, rect, off);
        return;
    }
    if (IsCaptionItem(item->Caption())) {
        s.ItemType = smCaption;
        DrawCaptionItem(item, canvas, rect, off);
        return;
    }
    s.ItemType = smNormal;

    // The rest of a column below its last item, and the strip between columns.
    if (cache && !cache->Empty()) {
        HDC dc = canvas->Handle();
        const int columnBottom = cache->Height() - offset.y - 3;
        const TMenuItem* next = NextVisible(item);
        if ((next && next->Break() != mbNone) || (!next && rect.bottom < columnBottom))
            CopyFromCache(dc, cache, RECT{rect.left, rect.bottom, rect.right, columnBottom}, offset);
        if (item->Break() != mbNone) CopyFromCache(dc, cache, RECT{rect.left - 4, 0, rect.left, columnBottom}, offset);
    }

    const int iw = rect.right - rect.left - space * notAfterBreak, ih = rect.bottom - rect.top;
    if (iw <= 0 || ih <= 0) return;
    const int ix = rect.left + space * notAfterBreak;
    TBitmap bmp(iw, ih, pf24bit);
    const bool enabled = item->Enabled();
    const bool hot = enabled && (state & odSelected);
    const int index = manager_->GetSkinIndex("MENUITEM");
    if (cache && !cache->Empty()) CopyRect(bmp.Pixels(), 0, 0, cache->Pixels(), TRect{ix + offset.x, rect.top + offset.y, ix + offset.x + iw, rect.bottom + offset.y});
    if (manager_->IsValidSkinIndex(index))
        PaintSectionItem(manager_->Skin(), bmp.Pixels(),
                         SectionArgs(manager_, index,
                                     cache ? MakeParentCacheInfo(cache->Pixels(), ix + offset.x, rect.top + offset.y) : TParentCacheInfo{},
                                     hot ? 1 : 0, TRect{0, 0, iw, ih}));

    // The check mark, the glyph.
    if (item->Checked()) {
        const int global = manager_->GetSkinIndex("GLOBALINFO");
        int mark = manager_->GetMaskIndex(global, "GLOBALINFO", item->RadioItem() ? "RADIOCHECKED" : "CHECK");
        if (!manager_->IsValidMaskIndex(mark)) mark = manager_->GetMaskIndex(global, "GLOBALINFO", "BOXCHECKED");
        if (manager_->IsValidMaskIndex(mark)) {
            const TsMaskData& md = manager_->Skin().Masks[static_cast<size_t>(mark)];
            DrawSkinGlyph(bmp.Pixels(), TPoint{Margin, (ih - md.FrameHeight()) / 2}, hot ? 1 : 0, md, 1,
                          MakeParentCacheInfo(bmp.Pixels(), 0, 0));
        }
    }
    const TPoint glyph = GlyphSize(item, false);
    TMenu* menu = item->GetParentMenu();
    const int gy = (ih - glyph.Y) / 2;
    if (item->HasBitmap()) bmp.Canvas()->Draw(gy, gy, item->Bitmap());
    else if (menu && menu->Images() && item->ImageIndex() >= 0) menu->Images()->Draw(bmp.Canvas(), gy, gy, item->ImageIndex(), true);

    // The caption and the shortcut.
    TCanvas* c = bmp.Canvas();
    SetItemFont(item, c);
    bool rightAligned = false;
    const std::string caption = PopupItemText(item->Caption(), rightAligned);
    RECT text{glyph.X + 2 * Margin + Spacing, 0, iw, ih};
    UINT flags = DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;
    if (rightAligned) flags |= DT_RIGHT;
    else flags |= Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
    if (state & odNoAccel) flags |= DT_HIDEPREFIX;
    const bool textHot = hot || (enabled && (state & odHotLight));
    DrawSkinText(c, caption, true, manager_, textHot, index, flags, text);
    if (item->ShortCut()) {
        const std::string shortcut = ShortCutToText(item->ShortCut());
        RECT measure{0, 0, 0, 0};
        c->DrawText(shortcut, measure, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
        const int tw = measure.right - measure.left;
        const int full = rect.right - rect.left;
        RECT sr{full - tw - 8 - space, 0, full - 8 - space, ih};
        DrawSkinText(c, shortcut, true, manager_, textHot, index, DT_SINGLELINE | DT_VCENTER, sr);
    }
    if (OnDrawItem) OnDrawItem(this, c, RECT{0, 0, iw, ih}, state, smNormal);
    if (!enabled && cache && !cache->Empty())
        BlendTransparent(bmp.Pixels(), cache->Pixels(), 0, 0, clFuchsia, 0.4,
                         TRect{ix + offset.x, rect.top + offset.y, ix + offset.x + iw, rect.bottom + offset.y});
    Blit(canvas->Handle(), ix, rect.top, &bmp);
    if (item == first && space > 0 && cache && !cache->Empty())
        CopyFromCache(canvas->Handle(), cache, RECT{0, 0, rect.left + space * notAfterBreak, cache->Height()}, offset);
}

// ---- drawing menu-line items

void TsSkinableMenus::DrawMenuLineItem(TObject* sender, TCanvas* canvas, RECT rect, TOwnerDrawState state) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item || !manager_ || !IsLiveManager(manager_)) return;
    TsSkinProvider* provider = MDIMainProvider;
    if (!provider) {
        TForm* form = OwnerForm(item->GetParentMenu());
        if (form && form->HandleAllocated()) {
            auto* link = reinterpret_cast<TsProviderLink*>(
                SendMessageW(form->Handle(), SM_SKINCMD, SkinCommandWParam(AC_QUERYPROVIDER), 0));
            provider = dynamic_cast<TsSkinProvider*>(link);
        }
    }
    if (!provider || !provider->MenuLineBmp) {
        // A form without a provider has no skinned line: its item keeps the plain look.
        item->DefaultDraw(canvas, rect, state, true);
        return;
    }
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    TBitmap* line = provider->MenuLineBmp.get();
    const int lineTop = provider->CaptionHeight() + provider->FrameHeight();
    // The item keeps to the skinned line: the system's menu bar may be a row
    // taller, and that row is the frame's, as it is beside the last item.
    const int shown = line->Empty() ? h : std::min(h, lineTop + line->Height() - static_cast<int>(rect.top));
    if (w <= 0 || shown <= 0) return;
    TBitmap bmp(w, shown, pf24bit);
    const TParentCacheInfo parent = line->Empty() ? TParentCacheInfo{} : MakeParentCacheInfo(line->Pixels(), rect.left, rect.top - lineTop);
    if (!line->Empty()) CopyRect(bmp.Pixels(), 0, 0, line->Pixels(), TRect{rect.left, rect.top - lineTop, rect.right, rect.bottom - lineTop});
    const bool enabled = item->Enabled();
    const bool hot = enabled && (state & (odSelected | odHotLight));
    const int itemIndex = manager_->GetSkinIndex("MENUITEM");
    if (manager_->IsValidSkinIndex(itemIndex))
        PaintSectionItem(manager_->Skin(), bmp.Pixels(), SectionArgs(manager_, itemIndex, parent, hot ? 1 : 0, TRect{0, 0, w, shown}));
    // The glyph 3 pixels from the left, the caption beside it.
    const TPoint glyph = GlyphSize(item, true);
    TMenu* menu = item->GetParentMenu();
    const int gy = (h - glyph.Y) / 2;
    if (item->HasBitmap()) bmp.Canvas()->Draw(3, gy, item->Bitmap());
    else if (menu && menu->Images() && item->ImageIndex() >= 0) menu->Images()->Draw(bmp.Canvas(), 3, gy, item->ImageIndex(), true);
    TCanvas* c = bmp.Canvas();
    SetItemFont(item, c);
    RECT text{Margin + glyph.X, 0, w - Margin, h};
    UINT flags = (Alignment == taRightJustify ? DT_RIGHT : DT_CENTER) | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP;
    if (state & odNoAccel) flags |= DT_HIDEPREFIX;
    DrawSkinText(c, item->Caption(), true, manager_, hot, manager_->GetSkinIndex("MENULINE"), flags, text);
    if (OnDrawItem) OnDrawItem(this, c, RECT{3, gy, 3 + glyph.X, gy + glyph.Y}, state, smTopLine);
    if (!enabled && !line->Empty()) BlendBitmapRect(bmp.Pixels(), line->Pixels(), 102, TPoint{0, 0}, TRect{rect.left, rect.top - lineTop, rect.right, rect.bottom - lineTop});
    Blit(canvas->Handle(), rect.left, rect.top, &bmp);
}

}  // namespace skin
