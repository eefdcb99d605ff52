#include "skin/windows/layout/formframe.h"

#include <algorithm>

#include "skin/windows/layout/skinsizes.h"
#include "skin/windows/layout/winvalues.h"

namespace skin {

namespace {

using BS = TFrameBorderStyle;

bool IsMDIChild(const TFormFrame& f) { return f.FormStyle == TFrameFormStyle::fsMDIChild; }
bool IsSingleOrSizeable(const TFormFrame& f) { return f.BorderStyle == BS::bsSingle || f.BorderStyle == BS::bsSizeable; }
bool Contains(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }
bool SysButtonsShown(const TFormFrame& f) { return f.BorderIcons.biSystemMenu && f.HasSystemMenu; }

int Mask(const TsSkinContent& skin, int sectionIndex, std::string_view section, std::string_view name) {
    return skin.GetMaskIndex(sectionIndex, section, name);
}

}  // namespace

TFrameSkinMasks GetFrameSkinMasks(const TsSkinContent& skin, std::string_view formSection, TFrameBorderStyle borderStyle,
                                  bool isMDIForm) {
    TFrameSkinMasks k;
    k.Skin = &skin;
    k.BISpace = skin.SkinData.BISpace;
    const int form = skin.GetSkinIndex(formSection);
    k.TitleBar = Mask(skin, form, formSection, "TITLEBAR");
    const int global = skin.GetSkinIndex("GLOBALINFO");
    if (!skin.IsValidSkinIndex(global)) return k;
    auto g = [&](std::string_view name) { return Mask(skin, global, "GLOBALINFO", name); };
    auto own = [&](std::string_view name) { return Mask(skin, form, formSection, name); };
    if (g("BICONCLOSE") < 0) {
        k.Min = own("BICONMIN"), k.Max = own("BICONMAX"), k.Close = own("BICONCLOSE"), k.Help = own("BICONHELP");
        if (isMDIForm) k.MDIMin = k.Min, k.MDIMax = k.Max, k.MDIClose = k.Close;
    } else {
        if (borderStyle != BS::bsSingle && borderStyle != BS::bsSizeable) {
            k.Close = g("SICONCLOSE"), k.Min = g("SICONMIN"), k.Max = g("SICONMAX"), k.Help = g("SICONHELP");
            if (k.Help < 0) k.Help = g("BICONHELP");
        } else {
            k.Min = g("BICONMIN"), k.Max = g("BICONMAX"), k.Close = g("BICONCLOSE"), k.Help = g("BICONHELP");
        }
        if (isMDIForm) {
            k.MDIMin = g("SICONMIN"), k.MDIMax = g("SICONMAX"), k.MDIClose = g("SICONCLOSE");
            if (k.MDIMin < 0) k.MDIMin = k.Min, k.MDIMax = k.Max, k.MDIClose = k.Close;
        }
    }
    k.Norm = g("BICONNORM");
    if (k.Norm < 0) k.Norm = own("BICONNORM");
    k.MDINorm = g("SICONNORM");
    if (k.MDINorm < 0) k.MDINorm = k.Norm;
    k.TitleButton = g("TITLEBUTTON");
    if (k.TitleButton < 0) k.TitleButton = own("TITLEBUTTON");
    k.Grip = g("GRIPIMAGE");
    return k;
}

bool IsBordered(const TFormFrame& f) { return f.BorderStyle != BS::bsNone || IsMDIChild(f); }

int CaptionHeight(const TFormFrame& f, const TFrameSystemMetrics& m) {
    if (!((IsBordered(f) && f.HasCaptionStyle) || f.Iconic)) return 0;
    const bool tool = f.BorderStyle == BS::bsToolWindow || f.BorderStyle == BS::bsSizeToolWin;
    return tool ? m.cySmCaption : m.cyCaption;
}

namespace {
bool FixedFrame(const TFormFrame& f) {
    if (IsMDIChild(f)) return f.BorderStyle == BS::bsSingle || f.BorderStyle == BS::bsToolWindow;
    return f.BorderStyle == BS::bsSingle || f.BorderStyle == BS::bsDialog || f.BorderStyle == BS::bsToolWindow;
}
}  // namespace

int FrameHeight(const TFormFrame& f, const TFrameSystemMetrics& m) {
    if (!IsBordered(f)) return 0;
    return FixedFrame(f) ? m.cyFixedFrame : m.cyFrame;
}

int FrameWidth(const TFormFrame& f, const TFrameSystemMetrics& m) {
    if (!IsBordered(f)) return 0;
    return FixedFrame(f) ? m.cxFixedFrame : m.cxFrame;
}

int FrameTop(const TFormFrame& f, const TFrameSystemMetrics& m) { return FrameHeight(f, m) + f.BorderWidth; }

int MenuLineHeight(const TFormFrame& f, const TFrameSystemMetrics& m) { return f.HasMenu ? m.cyMenu - 1 : 0; }

int AppIconSize(int h) {
    if (h < 9) return 0;
    if (h <= 16) return 8;
    if (h <= 27) return 16;
    return 32;
}

bool IconVisible(const TFormFrame& f) { return f.ShowAppIcon && IsSingleOrSizeable(f); }

int TitleIconWidth(const TFormFrame& f, const TFrameSystemMetrics& m) {
    if (!IconVisible(f)) return 0;
    return f.TitleIconWidth != 0 ? f.TitleIconWidth : AppIconSize(CaptionHeight(f, m));
}

int TitleIconHeight(const TFormFrame& f, const TFrameSystemMetrics& m) {
    if (!IconVisible(f)) return 0;
    return f.TitleIconHeight != 0 ? f.TitleIconHeight : AppIconSize(CaptionHeight(f, m));
}

TRect GetTitleIconRect(const TFormFrame& f, const TFrameSystemMetrics& m) {
    TRect r;
    r.Left = FrameWidth(f, m);
    r.Right = r.Left + TitleIconWidth(f, m);
    r.Top = (CaptionHeight(f, m) + FrameHeight(f, m) - TitleIconHeight(f, m)) / 2;
    r.Bottom = r.Top + TitleIconHeight(f, m);
    return r;
}

int SysButtonHeight(const TFrameSkinMasks& masks) { return TitleButtonHeight(masks.Skin, masks.Close); }

int SysButtonWidth(const TFrameSkinMasks& masks, int maskIndex) { return TitleButtonWidth(masks.Skin, maskIndex); }

int UserButtonWidth(const TFrameSkinMasks& masks, const TUserTitleButton& button) {
    return std::max(button.GlyphWidth > 0 ? button.GlyphWidth + 2 : 0, TitleButtonWidth(masks.Skin, masks.TitleButton));
}

int SysButtonCount(const TFormFrame& f) {
    if (!SysButtonsShown(f)) return 0;
    return 1 + (VisibleMax(f) ? 1 : 0) + (VisibleMin(f) ? 1 : 0) + (f.BorderIcons.biHelp ? 1 : 0);
}

// Everything above the client area: the window's height less the client's
// and less what lies below the client area (the bottom border and the
// form's BorderWidth, on every form) and the horizontal bar.
int TopNonClientHeight(const TFormFrame& f, const TFrameSystemMetrics& m) {
    const int b = FrameHeight(f, m);
    const int above = std::max(f.Height - f.ClientHeight - b - f.BorderWidth - f.HorzScrollHeight, 0);
    return above + (f.Iconic ? b : 0);
}

int ClientOffsetX(const TFormFrame& f) { return (f.Width - f.ClientWidth - f.VertScrollWidth) / 2; }

int ClientOffsetY(const TFormFrame& f, const TFrameSystemMetrics& m) {
    return f.Height - f.ClientHeight - (FrameHeight(f, m) + f.BorderWidth) - f.HorzScrollHeight;
}

int MenuLineRowCount(const TFormFrame& f, const TFrameSystemMetrics& m, const std::vector<int>& itemWidths) {
    const int s = FrameWidth(f, m);
    const int limit = f.Width - 2 * s - 2 * f.BorderWidth;
    int rows = 1, x = s;
    for (int w : itemWidths) {
        // An item wider than a whole row still starts on the row it opens.
        if (x + w > limit && x > s) {
            ++rows;
            x = s;
        }
        x += w;
    }
    return rows;
}

bool VisibleMin(const TFormFrame& f) {
    if (!f.BorderIcons.biSystemMenu) return false;
    if (f.Iconic || IsMDIChild(f)) return true;
    if (!IsSingleOrSizeable(f)) return false;
    return f.BorderIcons.biMinimize;
}

bool VisibleMax(const TFormFrame& f) {
    if (!f.BorderIcons.biSystemMenu) return false;
    if (f.Iconic || IsMDIChild(f)) return true;
    if (!IsSingleOrSizeable(f)) return false;
    return f.BorderIcons.biMaximize;
}

bool VisibleClose(const TFormFrame& f) { return f.BorderIcons.biSystemMenu; }

TSystemMenuItems UpdateSystemMenuItems(const TFormFrame& f) {
    using WS = TFrameWindowState;
    const TFrameBorderIcons& bi = f.BorderIcons;
    TSystemMenuItems s;
    s.ItemRestore.Visible = bi.biSystemMenu && (IsMDIChild(f) || IsSingleOrSizeable(f));
    s.ItemRestore.Enabled = (bi.biMaximize && f.WindowState != WS::wsNormal) || f.WindowState == WS::wsMinimized;
    s.ItemMove.Visible = true;
    s.ItemMove.Enabled = f.WindowState != WS::wsMaximized;
    s.ItemSize.Visible = IsMDIChild(f) || !(f.BorderStyle == BS::bsNone || f.BorderStyle == BS::bsDialog ||
                                            f.BorderStyle == BS::bsToolWindow);
    s.ItemSize.Enabled = f.BorderStyle != BS::bsSingle && !f.Iconic;
    s.ItemMinimize.Visible = VisibleMin(f);
    s.ItemMinimize.Enabled = bi.biMinimize && f.WindowState != WS::wsMinimized;
    s.ItemMaximize.Visible = VisibleMax(f);
    s.ItemMaximize.Enabled =
        bi.biMaximize && (IsMDIChild(f) || (f.WindowState != WS::wsMaximized && IsSingleOrSizeable(f)));
    s.ItemClose.Visible = bi.biSystemMenu;
    s.ItemClose.Enabled = true;
    return s;
}

int TitleButtonTop(const TFormFrame& f, const TFrameSystemMetrics& m, const TFrameSkinMasks& masks) {
    const int h = SysButtonHeight(masks);
    return (CaptionHeight(f, m) - h + FrameHeight(f, m)) / 2 + (h < 16 ? 2 : 0);
}

TTitleButtonsLayout PlaceTitleButtons(const TFormFrame& f, const TFrameSystemMetrics& m, const TFrameSkinMasks& masks) {
    TTitleButtonsLayout l;
    if (!IsBordered(f)) return l;
    const int top = TitleButtonTop(f, m, masks), h = SysButtonHeight(masks);
    int x = f.Width - FrameWidth(f, m) - masks.BISpace;
    auto place = [&](std::vector<TPlacedTitleButton>& into, int code, int width, int mask, bool enabled) {
        into.push_back({code, TRect{x - width, top, x, top + h}, mask, enabled});
        x -= width + masks.BISpace;
        l.Width += width + masks.BISpace;
    };
    if (SysButtonsShown(f)) {
        const TSystemMenuItems items = UpdateSystemMenuItems(f);
        place(l.System, hit::Close, SysButtonWidth(masks, masks.Close), masks.Close, true);
        if (items.ItemMaximize.Visible) {
            const bool zoomed = f.WindowState == TFrameWindowState::wsMaximized;
            const int mask = zoomed ? masks.Norm : masks.Max;
            place(l.System, hit::MaxButton, SysButtonWidth(masks, mask), mask,
                  zoomed ? items.ItemRestore.Enabled : items.ItemMaximize.Enabled);
        }
        if (items.ItemMinimize.Visible) {
            const int mask = f.Iconic ? masks.Norm : masks.Min;
            place(l.System, hit::MinButton, SysButtonWidth(masks, mask), mask,
                  f.Iconic ? items.ItemRestore.Enabled : items.ItemMinimize.Enabled);
        }
        if (f.BorderIcons.biHelp) place(l.System, hit::Help, SysButtonWidth(masks, masks.Help), masks.Help, true);
    }
    for (size_t i = 0; i < f.TitleButtons.size(); ++i) {
        const TUserTitleButton& b = f.TitleButtons[i];
        const bool skinned = b.UseSkinData && masks.Skin && masks.Skin->IsValidMaskIndex(masks.TitleButton);
        place(l.User, hit::TitleButton0 + static_cast<int>(i), UserButtonWidth(masks, b), skinned ? masks.TitleButton : -1,
              b.Enabled);
    }
    if (f.ShowMDIChildButtons) {
        const TPoint frame = ThreeStateFrame(masks.Skin, masks.MDIClose);
        const int w = frame.X > 0 ? frame.X : 16, bh = frame.Y > 0 ? frame.Y : 16;
        const int y = TopNonClientHeight(f, m) - (MenuLineHeight(f, m) - bh) / 2 - bh - 1;
        const int right = f.Width - FrameWidth(f, m);
        auto small = [&](int code, int left, int mask) { l.MDI.push_back({code, TRect{left, y, left + w, y + bh}, mask, true}); };
        small(hit::MDIMin, right - 3 * (w + 1), masks.MDIMin);
        small(hit::MDIMax, right - 2 * (w + 1), masks.MDINorm);
        small(hit::MDIClose, right - w - 1, masks.MDIClose);
    }
    return l;
}

int ButtonIndexAt(const TTitleButtonsLayout& layout, int x) {
    int n = 0;
    for (const auto* list : {&layout.System, &layout.User})
        for (const TPlacedTitleButton& b : *list) {
            ++n;
            if (x >= b.Rect.Left && x < b.Rect.Right) return n;
        }
    return 0;
}

int MinTitleWidth(const TTitleButtonsLayout& layout, const TFrameSkinMasks& masks) {
    return 2 * TitleBarThird(masks.Skin, masks.TitleBar) + layout.Width;
}

TRect CaptionTextRect(const TFormFrame& f, const TFrameSystemMetrics& m, const TTitleButtonsLayout& layout,
                      int textHeight) {
    TRect r{FrameWidth(f, m) + TitleIconWidth(f, m) + 4, FrameHeight(f, m), f.Width - layout.Width - 6,
            CaptionHeight(f, m)};
    r.Top += (r.Height() - textHeight) / 2;
    r.Bottom = r.Top + textHeight;
    return r;
}

TPoint GetGripPosition(const TFormFrame& f, const TFrameSystemMetrics& m, const TFrameSkinMasks& masks) {
    const TPoint frame = ThreeStateFrame(masks.Skin, masks.Grip);
    return {f.Width - frame.X - FrameWidth(f, m), f.Height - frame.Y - FrameHeight(f, m)};
}

int NCHitTest(const TFormFrame& f, const TFrameSystemMetrics& m, const TFrameSkinMasks& masks,
              const TTitleButtonsLayout& layout, TPoint p, const TRect& scrollCorner) {
    // The band of the caption buttons is where they are drawn.
    const int top = TitleButtonTop(f, m, masks);
    if (p.Y >= top && p.Y < top + SysButtonHeight(masks)) {
        const int s = FrameWidth(f, m);
        if (p.X >= s && p.X < s + TitleIconWidth(f, m)) return hit::SysMenu;
        const int n = ButtonIndexAt(layout, p.X);
        if (n == 0) return hit::Caption;
        const size_t i = static_cast<size_t>(n - 1);
        const TPlacedTitleButton& b = i < layout.System.size() ? layout.System[i] : layout.User[i - layout.System.size()];
        const TSystemMenuItems items = UpdateSystemMenuItems(f);
        bool enabled = b.Enabled;
        if (b.Code == hit::MaxButton)
            enabled = items.ItemMaximize.Enabled || (items.ItemRestore.Enabled && !f.Iconic);
        else if (b.Code == hit::MinButton)
            enabled = f.Iconic || items.ItemMinimize.Enabled;
        return enabled ? b.Code : hit::Caption;
    }
    const bool inCorner = !scrollCorner.IsEmpty() && Contains(scrollCorner, p);
    if ((f.GripRightBottom || inCorner) && masks.Skin && masks.Skin->IsValidMaskIndex(masks.Grip)) {
        const TPoint g = GetGripPosition(f, m, masks);
        if (p.X >= g.X && p.Y >= g.Y) return hit::BottomRight;
    }
    for (const TPlacedTitleButton& b : layout.MDI)
        if (Contains(b.Rect, p)) return b.Code;
    if (f.WindowState == TFrameWindowState::wsMaximized && !Contains(TRect{2, 2, f.Width - 2, f.Height - 2}, p))
        return hit::Outside;
    return hit::Nowhere;
}

TFrameBands GetFrameBands(const TFormFrame& f, const TFrameSystemMetrics& m) {
    const int b = FrameHeight(f, m), s = FrameWidth(f, m), bw = f.BorderWidth;
    const int menu = f.MenuVisible ? f.MenuRows * MenuLineHeight(f, m) : 0;
    const int y0 = b + CaptionHeight(f, m) + (f.Iconic ? 1 : 0) + menu + bw;
    TFrameBands r;
    r.Top = TRect{0, 0, f.Width, TopNonClientHeight(f, m)};
    // Sides are the side width across, the bottom the border height down.
    r.Left = TRect{0, y0, s + bw, f.Height};
    r.Right = TRect{f.Width - s - bw, y0, f.Width, f.Height};
    r.Bottom = TRect{s + bw, f.Height - b - bw, f.Width - s - bw, f.Height};
    return r;
}

}  // namespace skin
