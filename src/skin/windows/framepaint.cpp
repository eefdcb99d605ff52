// The frame of a skinned form rendered into the cache of its skin data:
// border and background, grip, title with icon, caption and buttons, the
// menu line; then copied to the window in bands (frame) and as the client
// area's background.
#include <algorithm>

#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/skincommands.h"
#include "skin/core/win32/formbroadcast.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/core/win32/skinpaint.h"
#include "skin/windows/layout/skinsizes.h"
#include "skin/windows/layout/winvalues.h"
#include "skin/windows/skinprovider.h"
#include "vcl/menus.h"

namespace skin {

using namespace vcl;

namespace {

// The window's height as the frame paints it: a minimized form paints its caption only.
int PaintHeight(const TFormFrame& f, const TFrameSystemMetrics& m) {
    return f.Iconic ? CaptionHeight(f, m) + FrameHeight(f, m) + 1 : f.Height;
}

}  // namespace

void TsSkinProvider::SaveTitleStrip() {
    const TFormFrame f = Frame();
    const TFrameSystemMetrics m = SystemMetrics();
    TitleStrip = std::make_unique<TBitmap>(f.Width, CaptionHeight() + skin::FrameHeight(f, m), pf24bit);
    CopyRect(TitleStrip->Pixels(), 0, 0, SkinData->CacheBitmap->Pixels(), TRect{0, 0, TitleStrip->Width(), TitleStrip->Height()});
}

void TsSkinProvider::SaveButtonsBackground(bool full) {
    const TFormFrame f = Frame();
    const TFrameSystemMetrics m = SystemMetrics();
    const TTitleButtonsLayout layout = PlaceTitleButtons(f, m, Masks());
    const int width = layout.Width + skin::FrameWidth(f, m) + 10;
    const int top = skin::TopNonClientHeight(f, m);
    ButtonsBackground->SetSize(std::max(width, 0), std::max(top, 0));
    const int height = full ? top : skin::CaptionHeight(f, m) + skin::FrameHeight(f, m);
    const int x = f.Width - width - 1;
    CopyRect(ButtonsBackground->Pixels(), 0, 0, SkinData->CacheBitmap->Pixels(), TRect{x, 0, x + width, height});
}

void TsSkinProvider::RestoreButtonsBackground() {
    if (!ButtonsBackground || ButtonsBackground->Empty()) return;
    const int x = FormWindowWidth() - ButtonsBackground->Width() - 1;
    CopyRect(SkinData->CacheBitmap->Pixels(), x, 0, ButtonsBackground->Pixels(),
             TRect{0, 0, ButtonsBackground->Width(), ButtonsBackground->Height()});
}

void TsSkinProvider::PaintAppIcon(TBitmap* bmp) {
    const TFormFrame f = Frame();
    const TFrameSystemMetrics m = SystemMetrics();
    if (!skin::IconVisible(f)) return;
    const TRect r = GetTitleIconRect(f, m);
    TBitmap* glyph = TitleIcon->Glyph();
    if (!glyph->Empty()) {
        // Stretched over the icon's place, the key colour left out.
        const int w = TitleIcon->Width ? TitleIcon->Width : AppIconSize(TopNonClientHeight() - 2);
        const int h = TitleIcon->Height ? TitleIcon->Height : AppIconSize(TopNonClientHeight() - 2);
        const TPixels src = glyph->Pixels(), dst = bmp->Pixels();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* s = src.At(x * src.Width / std::max(w, 1), y * src.Height / std::max(h, 1));
                if (IsKeyPixel(s, clFuchsia) || !dst.Contains(r.Left + x, r.Top + y)) continue;
                uint8_t* d = dst.At(r.Left + x, r.Top + y);
                d[0] = s[0], d[1] = s[1], d[2] = s[2];
            }
        return;
    }
    const int size = r.Width();
    if (size <= 0) return;
    HICON icon = nullptr;
    if (!Form->Icon()->Empty()) icon = Form->Icon()->Handle();
    else if (!Application->Icon()->Empty())
        icon = size < 24 ? Application->SmallIcon() : Application->Icon()->Handle();  // the nearer of its two pictures
    else icon = ProgramIcon(size > 16);
    if (!icon) icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    DrawIconEx(bmp->Canvas()->Handle(), r.Left, r.Top, icon, size, r.Height(), 0, nullptr, DI_NORMAL);
}

void TsSkinProvider::UpdateTitleButtonRects(const TTitleButtonsLayout& layout) {
    for (int code : {hit::Close, hit::MaxButton, hit::MinButton, hit::Help}) ButtonRecord(code)->Rect = TRect{};
    for (const auto* list : {&layout.System, &layout.User, &layout.MDI})
        for (const TPlacedTitleButton& b : *list)
            if (TitleButtonRecord* record = ButtonRecord(b.Code)) {
                record->Rect = b.Rect;
                if (record->State < 0) record->State = 0;
            }
}

void TsSkinProvider::DrawUserGlyph(TsTitleButton* button, const TRect& rect, int c) {
    TBitmap* glyph = button->Glyph();
    if (glyph->Empty()) return;
    glyph->SetPixelFormat(pf24bit);
    const TPixels g = glyph->Pixels();
    const uint8_t* corner = g.At(0, g.Height - 1);
    const TColor key = MakeColor(corner[2], corner[1], corner[0]);
    const int shift = button->Record.State == 2 ? 1 : 0;
    CopyTransparentBmp(SkinData->CacheBitmap->Pixels(), g, rect.Left + (rect.Width() - g.Width) / 2 + shift,
                       rect.Top + (c - g.Height) / 2 + shift, key);
}

// One caption button in its state into the cache: normal buttons of an
// inactive form and disabled ones as ghosts.
void TsSkinProvider::DrawCaptionButton(const TitleButtonRecord& record, int code, const TTitleButtonsLayout& layout) {
    TsSkinManager* m = Manager();
    const TPlacedTitleButton* placed = nullptr;
    for (const auto* list : {&layout.System, &layout.User, &layout.MDI})
        for (const TPlacedTitleButton& b : *list)
            if (b.Code == code) placed = &b;
    if (!placed || !m) return;
    const int state = std::max(record.State, 0);
    const int mode = placed->Enabled && (FormActive || state > 0) ? 1 : 2;
    if (m->IsValidMaskIndex(placed->MaskIndex))
        DrawSkinGlyph(SkinData->CacheBitmap->Pixels(), TPoint{placed->Rect.Left, placed->Rect.Top}, state,
                      m->Skin().Masks[static_cast<size_t>(placed->MaskIndex)], mode);
    if (code >= hit::TitleButton0)
        if (TsTitleButton* b = TitleButtons->Items(code - hit::TitleButton0)) DrawUserGlyph(b, placed->Rect, CaptionHeight());
}

void TsSkinProvider::PaintTitleButtons() {
    if (!IsBordered()) return;
    RestoreButtonsBackground();
    const TTitleButtonsLayout layout = ButtonsLayout();
    UpdateTitleButtonRects(layout);
    for (const auto* list : {&layout.System, &layout.User, &layout.MDI})
        for (const TPlacedTitleButton& b : *list)
            if (TitleButtonRecord* record = ButtonRecord(b.Code)) {
                // The system buttons keep the pictures the skin gave them: the
                // restore picture a maximized or minimized form shows is only borrowed.
                if (b.Code >= hit::TitleButton0) record->MaskIndex = b.MaskIndex;
                DrawCaptionButton(*record, b.Code, layout);
            }
}

void TsSkinProvider::RepaintCaptionButton(int code) {
    TitleButtonRecord* record = ButtonRecord(code);
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (!record || !cache || cache->Empty() || !Form || !Form->HandleAllocated()) return;
    const TTitleButtonsLayout layout = ButtonsLayout();
    UpdateTitleButtonRects(layout);
    const TRect r = record->Rect;
    if (r.IsEmpty()) return;
    // What lies behind the button comes back first, then its picture in the new state.
    const int bx = FormWindowWidth() - ButtonsBackground->Width() - 1;
    if (!ButtonsBackground->Empty() && code < hit::MDIClose)
        CopyRect(cache->Pixels(), r.Left, r.Top, ButtonsBackground->Pixels(), TRect{r.Left - bx, r.Top, r.Right - bx, r.Bottom});
    DrawCaptionButton(*record, code, layout);
    HDC dc = GetWindowDC(Form->Handle());
    DrawPixels(dc, r.Left, r.Top, cache->Pixels(), r);
    ReleaseDC(Form->Handle(), dc);
}

void TsSkinProvider::PaintCaptionText(const TRect& area, int top, int right) {
    TsSkinManager* m = Manager();
    const std::string title = titleSkin_.empty() ? std::string("FORMTITLE") : titleSkin_;
    const int titleIndex = m->GetSkinIndex(title);
    const std::string caption = Form->Caption();
    TCanvas* canvas = SkinData->CacheBitmap->Canvas();
    canvas->Font()->Assign(*Form->Font());
    canvas->Font()->SetStyle(canvas->Font()->Style() | fsBold);
    if (const int height = CaptionFontHeight()) canvas->Font()->SetHeight(height);
    const TFormFrame f = Frame();
    const TFrameSystemMetrics metrics = SystemMetrics();
    const TTitleButtonsLayout layout = PlaceTitleButtons(f, metrics, Masks());
    const int textHeight = caption.empty() ? 0 : canvas->TextHeight(caption);
    TRect r = CaptionTextRect(f, metrics, layout, textHeight);
    r.Top += top, r.Bottom += top;
    r.Right = std::min(r.Right, right - layout.Width - 6);
    (void)area;
    if (caption.empty() || r.Right <= r.Left) return;
    UINT flags = GetTextAlignFlags(Form, captionAlignment_) | DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    DrawSkinText(canvas, caption, Form->Enabled(), m, FormActive, titleIndex, flags, ToRECT(r));
}

void TsSkinProvider::RepaintCaption(const TParentCacheInfo& cache, const TRect& rect) {
    TsSkinManager* m = Manager();
    const std::string title = titleSkin_.empty() ? std::string("FORMTITLE") : titleSkin_;
    const int titleIndex = m->GetSkinIndex(title);
    const TPixels pixels = SkinData->CacheBitmap->Pixels();
    if (m->IsValidSkinIndex(titleIndex))
        PaintSectionItem(m->Skin(), pixels, SectionArgs(m, titleIndex, cache, FormActive ? 1 : 0, TRect{0, 0, rect.Right, rect.Bottom}));
    PaintAppIcon(SkinData->CacheBitmap.get());
    const TFrameSkinMasks masks = Masks();
    const TTitleButtonsLayout layout = ButtonsLayout();
    if (SysButtonCount() > 0 && m->IsValidMaskIndex(masks.TitleBar)) {
        const int wt = MinTitleWidth(layout, masks);
        DrawSkinRect(pixels, TRect{rect.Right - wt, 0, rect.Right, rect.Bottom}, true, cache,
                     m->Skin().Masks[static_cast<size_t>(masks.TitleBar)], FormActive ? 1 : 0, false);
    }
    SaveButtonsBackground(false);
    PaintTitleButtons();
    PaintCaptionText(rect, rect.Top, rect.Right);
}

void TsSkinProvider::PaintMenuLine(const TParentCacheInfo& cache, int c, int b, int w) {
    TsSkinManager* m = Manager();
    const int rows = MenuLineRowCount(), line = MenuLineHeight();
    std::string section = "MENULINE";
    if (!MenuLineSkin.empty() && m->IsValidSkinIndex(m->GetSkinIndex(MenuLineSkin))) section = MenuLineSkin;
    const int index = m->GetSkinIndex(section);
    const TRect band{0, c + b, w, c + b + rows * line};
    if (m->IsValidSkinIndex(index))
        PaintSectionItem(m->Skin(), SkinData->CacheBitmap->Pixels(), SectionArgs(m, index, cache, FormActive ? 1 : 0, band));
    MenuLineBmp->SetSize(w, rows * line);
    CopyRect(MenuLineBmp->Pixels(), 0, 0, SkinData->CacheBitmap->Pixels(), band);
    // The items the menu painter draws; the others stay the line's background.
    TCanvas* canvas = SkinData->CacheBitmap->Canvas();
    RECT wr;
    GetWindowRect(Form->Handle(), &wr);
    for (auto [item, r] : PaintedMenuItems()) {
        OffsetRect(&r, -wr.left, -wr.top);
        item->OnAdvancedDrawItem(item, canvas, r, odNoAccel);
    }
}

void TsSkinProvider::PaintNonClient() {
    if (!Form || !Form->HandleAllocated() || FormCreating()) return;
    const TFormFrame frame0 = Frame();
    if (frame0.ShowMDIChildButtons && MenuChanged) return;
    TsSkinManager* m = Manager();
    if (!m) return;
    if (!SkinData->CacheBitmap) SkinData->CacheBitmap = std::make_unique<TBitmap>(0, 0, pf24bit);
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (SkinData->BackgroundChanged) {
        MenuLineRowCount();
        const TFormFrame f = Frame();
        const TFrameSystemMetrics metrics = SystemMetrics();
        const int c = skin::CaptionHeight(f, metrics), b = skin::FrameHeight(f, metrics), w = f.Width;
        const int h = PaintHeight(f, metrics);
        const TsGeneralData* gd = SkinData->Section();
        const bool fast = !MenuChanged && gd && gd->ReservedBoolean && TitleStrip && TitleStrip->Width() == w &&
                          cache->Height() == f.Height && c != 0;
        if (fast) {
            CopyRect(cache->Pixels(), 0, 0, TitleStrip->Pixels(), TRect{0, 0, TitleStrip->Width(), TitleStrip->Height()});
            RepaintCaption(MakeParentCacheInfo(cache->Pixels(), 0, 0), TRect{0, 0, TitleStrip->Width(), TitleStrip->Height()});
        } else {
            FullRepaint = true;
            cache->SetPixelFormat(pf24bit);
            cache->SetSize(w, f.Height);
            if (m->IsValidSkinIndex(SkinData->SectionIndex)) {
                const TRect rw{0, 0, w, h};
                const int state = FormActive ? 1 : 0;
                if (skin::IsBordered(f))
                    PaintControlSection(SkinData.get(), TParentCacheInfo{}, cache, TPoint{0, 0}, rw, state);
                else
                    PaintSectionBackground(SkinData->SectionIndex, SkinData->SkinSection(), TParentCacheInfo{}, state, rw,
                                           TPoint{0, 0}, cache, m, -1, -1);
                const TFrameSkinMasks masks = Masks();
                if (GripMode == gmRightBottom && m->IsValidMaskIndex(masks.Grip)) {
                    const TPoint g = GetGripPosition(f, metrics, masks);
                    DrawSkinGlyph(cache->Pixels(), g, 0, m->Skin().Masks[static_cast<size_t>(masks.Grip)], 1);
                }
                if (gd && gd->ReservedBoolean && (!TitleStrip || TitleStrip->Width() != w)) SaveTitleStrip();
                const TParentCacheInfo ci = MakeParentCacheInfo(cache->Pixels(), ClientOffsetX(), ClientOffsetY());
                // What lies behind the title is the frame at the title's own place, as for a caption repaint:
                // read at the client's offset, the title's clear corners would show pieces of the client and
                // of the right border.
                const TParentCacheInfo behindTitle = MakeParentCacheInfo(cache->Pixels(), 0, 0);
                const TTitleButtonsLayout layout = PlaceTitleButtons(f, metrics, masks);
                if (c != 0) {
                    const std::string title = titleSkin_.empty() ? std::string("FORMTITLE") : titleSkin_;
                    const int titleIndex = m->GetSkinIndex(title);
                    if (m->IsValidSkinIndex(titleIndex))
                        PaintSectionItem(m->Skin(), cache->Pixels(),
                                         SectionArgs(m, titleIndex, behindTitle, state, TRect{0, 0, w, f.Iconic ? h : c + b}));
                    PaintAppIcon(cache);
                    if (SysButtonCount() > 0 && m->IsValidMaskIndex(masks.TitleBar)) {
                        const int wt = MinTitleWidth(layout, masks);
                        DrawSkinRect(cache->Pixels(), TRect{w - wt, 0, w, c + b}, true, behindTitle,
                                     m->Skin().Masks[static_cast<size_t>(masks.TitleBar)], state, false);
                    }
                }
                if (Form->Menu() && f.MenuVisible && MenuLineHeight() > 0) PaintMenuLine(ci, c, b, w);
                if (c != 0) {
                    SaveButtonsBackground(true);
                    PaintTitleButtons();
                    PaintCaptionText(TRect{0, 0, w, c + b}, 0, w);
                }
                if (IsMDIForm() && MDIForm) {
                    const int area = m->GetSkinIndex("MDIAREA");
                    const int rows = MenuLineRowCount() * MenuLineHeight() * (f.MenuVisible ? 1 : 0);
                    const TRect r{AlignedControlsSize(Form, alLeft, false) + b, 2 * b + c + rows - 2,
                                  w - b - AlignedControlsSize(Form, alRight, false),
                                  f.Height - b - AlignedControlsSize(Form, alBottom, false)};
                    if (m->IsValidSkinIndex(area) && !r.IsEmpty())
                        PaintSectionItem(m->Skin(), cache->Pixels(), SectionArgs(m, area, TParentCacheInfo{}, 0, r));
                }
            }
            MenuChanged = false;
            // The picture counts as made before the form's own drawing: an
            // OnPaint that updates the form finds nothing left to render.
            PaintedOnce = true;
            SkinData->BackgroundChanged = false;
            if (Form->OnPaint) {
                // The form's own drawing goes into the cache at its client area.
                HDC dc = cache->Canvas()->Handle();
                const int saved = SaveDC(dc);
                SetWindowOrgEx(dc, -ClientOffsetX(), -ClientOffsetY(), nullptr);
                TCanvas* formCanvas = Form->Canvas();
                formCanvas->SetHandle(dc);
                Form->OnPaint(Form);
                formCanvas->SetHandle(nullptr);
                RestoreDC(dc, saved);
            }
        }
        PaintedOnce = true;
        SkinData->BackgroundChanged = false;
    }
    SkinData->Updating = false;
}

void TsSkinProvider::PaintFrameToDC(HDC dc) {
    if (SkinData->BackgroundChanged) {
        const TsGeneralData* gd = SkinData->Section();
        const bool fast = !MenuChanged && gd && gd->ReservedBoolean && TitleStrip &&
                          TitleStrip->Width() == FormWindowWidth() && SkinData->CacheBitmap &&
                          SkinData->CacheBitmap->Height() == Frame().Height && IsBordered();
        if (!fast) ClientRepaint = !PaintedOnce;
        PaintNonClient();
        SkinData->BackgroundChanged = false;
        SkinData->Updating = false;
    }
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (!cache || cache->Empty()) return;
    const TFrameBands bands = GetFrameBands(Frame(), SystemMetrics());
    for (const TRect& band : {bands.Top, bands.Left, bands.Bottom, bands.Right})
        if (!band.IsEmpty()) DrawPixels(dc, band.Left, band.Top, cache->Pixels(), band);
}

void TsSkinProvider::PaintClientArea(HDC dc, bool repaintChildren) {
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (!SkinData->PaintingChild) {
        if (!SkinData->FullPaint) PaintNonClient();
        cache = SkinData->CacheBitmap.get();
        if (!IsMDIForm() && cache && !cache->Empty()) {
            const int ox = ClientOffsetX(), oy = ClientOffsetY();
            RECT client;
            GetClientRect(Form->Handle(), &client);
            const int saved = SaveDC(dc);
            // The children cover their own places; the copy goes around them.
            for (int i = 0; i < Form->ControlCount(); ++i) {
                TControl* child = Form->Controls(i);
                if (!child->Visible()) continue;
                if (!dynamic_cast<TWinControl*>(child) && !(child->ControlStyle() & csOpaque)) continue;
                const RECT bounds = child->BoundsRect();
                ExcludeClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
            }
            SetWindowOrgEx(dc, ox, oy, nullptr);
            DrawPixels(dc, ox, oy, cache->Pixels(), TRect{ox, oy, ox + client.right, oy + client.bottom});
            RestoreDC(dc, saved);
            PaintGraphicControls(dc, Form, POINT{0, 0});
        }
        if (repaintChildren) {
            RepaintChildControls(Form);
            TMessage redraw = SkinCommandMessage(AC_REDRAWBG);
            BroadcastToAdapter(redraw);
        }
        ClientRepaint = false;
        return;
    }
    // One windowless child painted over the form's picture behind it.
    TControl* child = SkinData->PaintingChild;
    bool found = false;
    for (int i = 0; i < Form->ControlCount(); ++i) found = found || Form->Controls(i) == child;
    auto* graphic = dynamic_cast<TGraphicControl*>(child);
    if (!found || !graphic || !cache || cache->Empty()) return;
    const TControlState state = child->ControlState();
    if (Form->ControlState() & csPaintCopy) child->SetControlState(state | csPaintCopy);
    TBitmap picture(child->Width(), child->Height(), pf24bit);
    CopyRect(picture.Pixels(), 0, 0, cache->Pixels(),
             TRect{child->Left() + ClientOffsetX(), child->Top() + ClientOffsetY(),
                   child->Left() + ClientOffsetX() + child->Width(), child->Top() + ClientOffsetY() + child->Height()});
    HDC pdc = picture.Canvas()->Handle();
    const int saved = SaveDC(pdc);
    SetWindowOrgEx(pdc, child->Left(), child->Top(), nullptr);
    graphic->Paint(pdc);
    RestoreDC(pdc, saved);
    DrawPixels(dc, child->Left(), child->Top(), picture.Pixels(), TRect{0, 0, picture.Width(), picture.Height()});
    child->SetControlState(state);
}

void TsSkinProvider::PaintFormWindow() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Form->Handle(), &ps);
    SkinData->Updating = false;
    bool paint = !ShowAnimated && !FormDestroying();
    if (paint && IsMDIChild() && MDIMainProvider && MDIMainProvider->Form)
        paint = SendMessageW(GetParent(Form->Handle()), WM_MDIGETACTIVE, 0, 0) == reinterpret_cast<LRESULT>(Form->Handle());
    if (paint) PaintClientArea(dc, true);
    EndPaint(Form->Handle(), &ps);
}

// ---- button states

void TsSkinProvider::SetHotButton(int code, bool repaint) {
    if (code == HotCode) return;
    if (TitleButtonRecord* old = ButtonRecord(HotCode)) {
        old->State = 0;
        if (repaint) RepaintCaptionButton(HotCode);
    }
    HotCode = code;
    CaptionButtonPressed = false;
    if (TitleButtonRecord* now = ButtonRecord(code)) {
        now->State = 1;
        if (repaint) RepaintCaptionButton(code);
        // Leaving the frame puts the button out again.
        if (Form && Form->HandleAllocated()) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, Form->Handle(), 0};
            TrackMouseEvent(&track);
        }
    }
}

void TsSkinProvider::SetPressedButton(int code) {
    if (HotCode != code)
        if (TitleButtonRecord* old = ButtonRecord(HotCode)) {
            old->State = 0;
            RepaintCaptionButton(HotCode);
        }
    const TSystemMenuItems items = skin::UpdateSystemMenuItems(Frame());
    if (code == hit::MaxButton) {
        const bool zoomed = Form->WindowState() == wsMaximized;
        if (!(items.ItemMaximize.Enabled || (zoomed && items.ItemRestore.Enabled))) {
            HotCode = 0;
            return;
        }
    }
    if (code == hit::MDIMax && MaximizedChildProvider &&
        !skin::UpdateSystemMenuItems(MaximizedChildProvider->Frame()).ItemMaximize.Enabled) {
        HotCode = 0;
        return;
    }
    HotCode = code;
    TitleButtonRecord* record = ButtonRecord(code);
    if (!record) return;
    record->State = 2;
    CaptionButtonPressed = true;
    RepaintCaptionButton(code);
}

void TsSkinProvider::CheckMaximizedEdge(POINT screenPoint) {
    const POINT p = ScreenToFormPoint(screenPoint.x, screenPoint.y);
    const TFormFrame f = Frame();
    if (p.x < 2 || p.y < 2 || p.x >= f.Width - 4 || p.y >= f.Height - 4) SetHotButton(0, true);
}

}  // namespace skin
