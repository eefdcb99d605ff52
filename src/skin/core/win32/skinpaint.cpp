#include "skin/core/win32/skinpaint.h"

#include "skin/core/maskpaint.h"
#include "skin/core/skinutils.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/core/win32/skinmessages.h"
#include "vcl/wintext.h"

namespace skin {

using namespace vcl;

namespace {

TColor RGBOf(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

TSectionBackground Args(int sectionIndex, const std::string& sectionName, const TParentCacheInfo& parentCache,
                        int state, const TRect& rect, TPoint offset) {
    TSectionBackground a;
    a.SectionIndex = sectionIndex;
    a.SectionName = sectionName;
    a.ParentCache = parentCache;
    a.State = state;
    a.Rect = rect;
    a.Offset = offset;
    a.ColorToRGB = RGBOf;
    return a;
}

TsSkinManager* Manager(TsSkinManager* manager) { return manager ? manager : DefaultManager; }

// The owner's colour when its data keeps it, else none.
TColor OwnColor(TsCommonData* data) {
    if (!data->CustomColor()) return clFuchsia;
    if (auto* provider = dynamic_cast<TsProviderLink*>(data->OwnerObject))
        if (TForm* form = provider->ProviderForm()) return RGBOf(form->Color());
    return data->OwnerControl ? RGBOf(data->OwnerControl->Color()) : clFuchsia;
}

// The reply colour is the answer of one question: it never outlives the paint that asked.
struct ReplyColourReset {
    ~ReplyColourReset() { ReplyBgColor = clFuchsia; }
};

}  // namespace

TSectionBackground SectionArgs(const TsSkinManager* manager, int sectionIndex, const TParentCacheInfo& parentCache,
                               int state, const TRect& rect) {
    return Args(sectionIndex, manager->Skin().Sections[static_cast<size_t>(sectionIndex)].SectionName, parentCache, state,
                rect, TPoint{});
}

void PaintSectionBackground(int sectionIndex, const std::string& sectionName, const TParentCacheInfo& parentCache,
                            int state, const TRect& rect, TPoint offset, TBitmap* bmp, TsSkinManager* manager,
                            int textureIndex, int hotTextureIndex, TColor customColor) {
    TsSkinManager* m = Manager(manager);
    if (!m || !bmp || !DefaultManager) return;
    TSectionBackground a = Args(sectionIndex, sectionName, parentCache, state, rect, offset);
    a.TextureIndex = textureIndex;
    a.HotTextureIndex = hotTextureIndex;
    a.CustomColor = customColor;
    PaintSectionBackground(m->Skin(), bmp->Pixels(), a);
}

void PaintControlBackground(TsCommonData* data, const TParentCacheInfo& parentCache, int state, const TRect& rect,
                            TPoint offset, TBitmap* bmp) {
    if (!data) return;
    PaintSectionBackground(data->SectionIndex, data->SkinSection(), parentCache, state, rect, offset, bmp,
                           data->SkinManager(), data->TextureIndex, data->HotTextureIndex, OwnColor(data));
}

void PaintControlSection(TsCommonData* data, const TParentCacheInfo& parentCache, TBitmap* bmp, TPoint offset,
                         const TRect& rect, int state) {
    TsSkinManager* m = data ? data->SkinManager() : nullptr;
    if (!m || !bmp || !m->IsValidSkinIndex(data->SectionIndex)) return;
    ReplyColourReset reset;
    ReplyBgColor = clFuchsia;
    TColor parentColour = clFuchsia;
    TWinControl* parent = data->OwnerControl ? data->OwnerControl->Parent() : nullptr;
    if (!parentCache.Ready && parent) {
        parentColour = ReplyBgColor = RGBOf(parent->Color());
    } else if (parentCache.Ready && parent && !data->ParentBgVaries()) {
        QueryBgColor(parent);  // a plain parent: its colour, not a copy of its picture
    }
    TSectionBackground a = Args(data->SectionIndex, data->SkinSection(), parentCache, state, rect, offset);
    a.TextureIndex = data->TextureIndex;
    a.HotTextureIndex = data->HotTextureIndex;
    a.CustomColor = OwnColor(data);
    a.ReplyBgColor = ReplyBgColor;
    a.ParentColor = parentColour;
    const TPixels pixels = bmp->Pixels();
    PaintSectionBackground(m->Skin(), pixels, a);
    TParentCacheInfo shifted = parentCache;
    shifted.X += offset.X;
    shifted.Y += offset.Y;
    if (m->IsValidMaskIndex(data->BorderMaskIndex))
        DrawSkinRect(pixels, rect, true, shifted, m->Skin().Masks[static_cast<size_t>(data->BorderMaskIndex)], state,
                     shifted.Ready);
    PaintSectionCorners(m->Skin(), pixels, data->SectionIndex, rect, state, shifted);
}

void PaintSectionItemToDC(HDC dc, const TRect& rect, int sectionIndex, int state, TsSkinManager* manager,
                          const TParentCacheInfo& parentCache) {
    TsSkinManager* m = Manager(manager);
    if (!dc || !m || !m->IsValidSkinIndex(sectionIndex) || rect.IsEmpty()) return;
    TBitmap picture(rect.Width(), rect.Height());
    const TRect local{0, 0, rect.Width(), rect.Height()};
    PaintSectionItem(m->Skin(), picture.Pixels(),
                     Args(sectionIndex, m->Skin().Sections[static_cast<size_t>(sectionIndex)].SectionName, parentCache,
                          state, local, TPoint{}));
    const int saved = SaveDC(dc);
    DrawPixels(dc, rect.Left, rect.Top, picture.Pixels(), local);
    RestoreDC(dc, saved);
}

void DrawSkinText(TCanvas* canvas, const std::string& text, bool enabled, TsSkinManager* manager, bool hot,
                  int sectionIndex, UINT flags, RECT rect) {
    if (!canvas || !manager || text.empty() || !manager->IsValidSkinIndex(sectionIndex)) return;
    canvas->Brush()->SetStyle(bsClear);
    const TColor original = canvas->Font()->Color();
    for (const TTextPass& pass : SkinTextPasses(manager->Skin(), sectionIndex, hot, enabled, RGBOf)) {
        RECT r = rect;
        OffsetRect(&r, pass.DX, pass.DY);
        canvas->Font()->SetColor(pass.Color);
        canvas->DrawText(text, r, flags);
    }
    canvas->Font()->SetColor(original);
}

void DrawSkinDataText(TsCommonData* data, TCanvas* canvas, const std::string& text, RECT rect, UINT flags, bool hot) {
    if (!data || !canvas) return;
    TsSkinManager* m = data->SkinManager();
    const int saved = SaveDC(canvas->Handle());
    IntersectClipRect(canvas->Handle(), rect.left, rect.top, rect.right, rect.bottom);
    const TFontStyles style = canvas->Font()->Style();
    if (hot && data->SkinSection() == "WEBBUTTON") canvas->Font()->SetStyle(style | fsUnderline);
    const bool enabled = !data->OwnerControl || data->OwnerControl->Enabled();
    DrawSkinText(canvas, text, enabled, m, hot, data->SectionIndex, flags, rect);
    canvas->Font()->SetStyle(style);
    RestoreDC(canvas->Handle(), saved);
}

void DrawDefaultSkinText(TCanvas* canvas, const std::string& text, bool enabled, bool hot, int sectionIndex,
                         UINT flags, RECT rect) {
    DrawSkinText(canvas, text, enabled, DefaultManager, hot, sectionIndex, flags, rect);
}

std::string FitTextWithEllipsis(TCanvas* canvas, const std::string& text, int width) {
    if (!canvas) return text;
    return skin::FitTextWithEllipsis(text, width, [canvas](const std::string& s) { return canvas->TextWidth(s); });
}

void PaintControlBorder(TsCommonData* data, int state) {
    if (!data || !data->CacheBitmap || data->CacheBitmap->Empty()) return;
    TsSkinManager* m = data->SkinManager();
    TControl* owner = data->OwnerControl;
    if (!m || !m->IsValidMaskIndex(data->BorderMaskIndex) || !owner || owner->Width() < 2 || owner->Height() < 2) return;
    TParentCacheInfo parent;
    data->GetParentCache(parent);
    // What the see-through corners show: the parent's plain colour where
    // it has no picture or its picture is one colour, else its picture.
    TWinControl* parentControl = owner->Parent();
    TColor fill = clFuchsia;
    if (parentControl && !parent.Ready) {
        fill = static_cast<TColor>(ColorToRGB(parentControl->Color()));
    } else if (parentControl && !data->ParentBgVaries()) {
        QueryBgColor(parentControl);
        fill = ReplyBgColor;
    }
    if (fill == clFuchsia) parent.X += owner->Left(), parent.Y += owner->Top();
    PaintBorderCorners(data->CacheBitmap->Pixels(), m->Skin().Masks[static_cast<size_t>(data->BorderMaskIndex)], state,
                       owner->Width(), owner->Height(), fill, parent);
    ReplyBgColor = clFuchsia;
}

void PaintCacheExcludeControls(HDC dc, TWinControl* control, TsCommonData* data, const TRect& rect, bool withCorners) {
    if (!dc || !data || !data->CacheBitmap || data->CacheBitmap->Empty()) return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
    if (withCorners) PaintControlBorder(data, 0);
    if (control) {
        for (int i = 0; i < control->ControlCount(); ++i) {
            TControl* child = control->Controls(i);
            if (!child->Visible()) continue;
            const bool windowed = dynamic_cast<TWinControl*>(child) != nullptr;
            if (!windowed && !(child->ControlStyle() & csOpaque)) continue;  // it paints over the copy
            const RECT b = child->BoundsRect();
            ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
        }
    }
    DrawPixels(dc, rect.Left, rect.Top, data->CacheBitmap->Pixels(), rect);
    RestoreDC(dc, saved);
}

void PaintCacheExcludeWindows(HDC dc, HWND window, TsCommonData* data, const TRect& rect) {
    if (!dc || !data || !data->CacheBitmap || data->CacheBitmap->Empty()) return;
    TsSkinManager* m = data->SkinManager();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        WCHAR cls[16] = {};
        GetClassNameW(child, cls, 16);
        const bool groupBox = lstrcmpiW(cls, L"Button") == 0 &&
                              (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
        if (!groupBox) {
            ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
            continue;
        }
        const int top = static_cast<int>(SendSkinCommand(child, AC_QUERYCAPTIONHEIGHT));
        int left = 0, right = 0, bottom = 0;
        if (m) {
            const int border = m->GetMaskIndex(m->GetSkinIndex("GROUPBOX"), "GROUPBOX", "BORDERSMASK");
            left = m->GetMaskMarginLeft(border);
            right = m->GetMaskMarginRight(border);
            bottom = m->GetMaskMarginBottom(border);
        }
        ExcludeClipRect(dc, r.left, r.top, r.right, r.top + top);
        ExcludeClipRect(dc, r.left, r.top, r.left + left, r.bottom);
        ExcludeClipRect(dc, r.right - right, r.top, r.right, r.bottom);
        ExcludeClipRect(dc, r.left, r.bottom - bottom, r.right, r.bottom);
    }
    DrawPixels(dc, rect.Left, rect.Top, data->CacheBitmap->Pixels(), rect);
    RestoreDC(dc, saved);
}

}  // namespace skin
