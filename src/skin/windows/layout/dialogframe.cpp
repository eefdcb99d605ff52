#include "skin/windows/layout/dialogframe.h"

#include <algorithm>

#include "skin/windows/layout/skinsizes.h"
#include "skin/windows/layout/winvalues.h"

namespace skin {

namespace {

bool HasCaption(unsigned s) { return (s & style::Caption) == style::Caption; }
bool Contains(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }
int Code(const TDialogFrame& d) { return DialogBorderCode(d.Style, d.ExStyle); }

}  // namespace

int DialogBorderCode(unsigned s, unsigned ex) {
    if ((s & style::Popup) && !HasCaption(s)) return 2;
    if (!HasCaption(s)) return 3;
    // A caption brings a fixed frame of its own unless the window has a
    // sizing one; tool windows have the small caption.
    const bool tool = (ex & style::ExToolWindow) != 0;
    if (s & style::ThickFrame) return tool ? 5 : 3;
    if (s & style::ModalFrame) return tool ? 4 : 0;
    return tool ? 4 : 1;
}

int DialogTitleHeight(const TDialogFrame& d, const TFrameSystemMetrics& m) {
    const int code = Code(d);
    if (code == 2 || !HasCaption(d.Style)) return 0;
    return code == 4 || code == 5 ? m.cySmCaption : m.cyCaption;
}

int DialogBorderWidth(const TDialogFrame& d, const TFrameSystemMetrics& m) {
    const int code = Code(d);
    if (code == 2) return 0;
    return code == 0 || code == 1 || code == 4 ? m.cxFixedFrame : m.cxFrame;
}

int DialogBorderHeight(const TDialogFrame& d, const TFrameSystemMetrics& m) {
    const int code = Code(d);
    if (code == 2) return 0;
    return code == 0 || code == 1 || code == 4 ? m.cyFixedFrame : m.cyFrame;
}

bool DialogHasGrip(const TDialogFrame& d) {
    const int code = Code(d);
    return (code == 3 || code == 5) && (d.Style & style::ThickFrame);
}

// Everything above the client area: less the bottom border, which lies
// below it, on every dialog.
int DialogTopNonClientHeight(const TDialogFrame& d, const TFrameSystemMetrics& m) {
    const int bv = DialogBorderHeight(d, m);
    return std::max(d.Height - d.ClientHeight - bv + (d.Iconic ? bv : 0) - d.HorzScrollHeight, 0);
}

TDialogSkinMasks GetDialogSkinMasks(const TsSkinContent& skin, int borderCode) {
    TDialogSkinMasks k;
    k.Skin = &skin;
    const int form = skin.GetSkinIndex("FORM"), global = skin.GetSkinIndex("GLOBALINFO"),
              dialog = skin.GetSkinIndex("DIALOG");
    auto g = [&](std::string_view name) { return skin.GetMaskIndex(global, "GLOBALINFO", name); };
    auto own = [&](std::string_view name) { return skin.GetMaskIndex(dialog, "DIALOG", name); };
    const bool big = borderCode == 1 || borderCode == 3 || g("SICONCLOSE") < 0;
    auto pick = [&](std::string_view bigName, std::string_view smallName) {
        const int formOwn = skin.FindMaskIndex("FORM", bigName);
        if (form >= 0 && formOwn >= 0) return formOwn;
        return g(big ? bigName : smallName);
    };
    k.Close = pick("BICONCLOSE", "SICONCLOSE");
    k.Max = pick("BICONMAX", "SICONMAX");
    k.Min = pick("BICONMIN", "SICONMIN");
    k.Help = pick("BICONHELP", "SICONHELP");
    if (k.Help < 0) k.Help = g("BICONHELP");
    k.Norm = g("BICONNORM");
    if (k.Norm < 0) k.Norm = own("BICONNORM");
    k.IconicMax = g("BICONMAX");
    if (k.IconicMax < 0) k.IconicMax = own("BICONMAX");
    k.TitleBar = own("TITLEBAR");
    k.Grip = g("GRIPIMAGE");
    return k;
}

TDialogButtonsLayout PlaceDialogTitleButtons(const TDialogFrame& d, const TFrameSystemMetrics& m,
                                             const TDialogSkinMasks& masks) {
    TDialogButtonsLayout l;
    if (DialogTitleHeight(d, m) <= 0 || !(d.Style & style::SysMenu)) return l;
    const int th = DialogTitleHeight(d, m), bv = DialogBorderHeight(d, m), code = Code(d);
    int x = d.Width - DialogBorderWidth(d, m);
    auto place = [&](int hitCode, int mask, bool enabled) {
        if (!masks.Skin || !masks.Skin->IsValidMaskIndex(mask)) return;
        const int w = TitleButtonWidth(masks.Skin, mask), h = TitleButtonHeight(masks.Skin, mask);
        const int top = (th - h + bv) / 2 + (h < 16 ? 2 : 0);
        l.Buttons.push_back({hitCode, TRect{x - w, top, x, top + h}, mask, enabled});
        x -= w;
        l.Width += w;
    };
    const bool canMax = (d.Style & style::MaximizeBox) != 0;
    place(hit::Close, masks.Close, !d.ClassNoClose);
    if (canMax) {
        if (d.Zoomed)
            place(hit::MaxButton, masks.Norm, true);
        else
            place(hit::MaxButton, masks.Max, code == 1 || code == 3 || code == 5);
    }
    if (d.Style & style::MinimizeBox) {
        if (d.Iconic)
            place(hit::MinButton, masks.Norm, canMax);
        else
            place(hit::MinButton, masks.Min, true);
    }
    if (d.ExStyle & style::ExContextHelp) place(hit::Help, masks.Help, true);
    return l;
}

TRect DialogIconRect(const TDialogFrame& d, const TFrameSystemMetrics& m) {
    if (!d.HasIcon || DialogTitleHeight(d, m) <= 0) return {};
    const int left = DialogBorderWidth(d, m);
    const int top = (DialogTitleHeight(d, m) + DialogBorderHeight(d, m) - m.cySmIcon) / 2;
    return TRect{left, top, left + m.cxSmIcon, top + m.cySmIcon};
}

TRect DialogCaptionRect(const TDialogFrame& d, const TFrameSystemMetrics& m, const TDialogButtonsLayout& layout) {
    const int icon = d.HasIcon ? m.cxSmIcon : 0;
    return TRect{DialogBorderWidth(d, m) + 4 + icon, DialogBorderHeight(d, m), d.Width - layout.Width - 6,
                 DialogTitleHeight(d, m)};
}

int DialogCaptionFitWidth(const TDialogFrame& d, const TFrameSystemMetrics& m, const TDialogButtonsLayout& layout) {
    return d.Width - m.cxSmIcon - DialogBorderWidth(d, m) - layout.Width - 6;
}

TPoint DialogGripPosition(const TDialogFrame& d, const TFrameSystemMetrics& m, const TDialogSkinMasks& masks) {
    const TPoint frame = ThreeStateFrame(masks.Skin, masks.Grip);
    return {d.Width - frame.X - DialogBorderWidth(d, m), d.Height - frame.Y - DialogBorderHeight(d, m)};
}

int DialogHitTest(const TDialogFrame& d, const TFrameSystemMetrics& m, const TDialogSkinMasks& masks,
                  const TDialogButtonsLayout& layout, TPoint p) {
    if (DialogHasGrip(d) && masks.Skin && masks.Skin->IsValidMaskIndex(masks.Grip)) {
        const TPoint g = DialogGripPosition(d, m, masks);
        const TPoint frame = ThreeStateFrame(masks.Skin, masks.Grip);
        if (Contains(TRect{g.X, g.Y, g.X + frame.X, g.Y + frame.Y}, p)) return hit::BottomRight;
    }
    const int th = DialogTitleHeight(d, m);
    if (th <= 0) return hit::Nowhere;
    // A disabled button is part of the caption: clicking it does nothing.
    for (const TPlacedTitleButton& b : layout.Buttons)
        if (Contains(b.Rect, p)) return b.Enabled ? b.Code : hit::Caption;
    if (Contains(DialogIconRect(d, m), p)) return hit::SysMenu;
    const int bh = DialogBorderWidth(d, m), bv = DialogBorderHeight(d, m);
    if (Contains(TRect{bh, bv, d.Width - bh, bv + th}, p)) return hit::Caption;
    return hit::Nowhere;
}

TDialogStrips GetDialogStrips(const TDialogFrame& d, const TFrameSystemMetrics& m) {
    const int w = d.Width, h = d.Height;
    TDialogStrips s;
    if (Code(d) == 2 && (d.Style & style::ThickFrame)) {
        s.Title = TRect{0, 0, w, 3};
        s.Left = TRect{0, 3, 3, h};
        s.Bottom = TRect{3, h - 3, w - 3, h};
        s.Right = TRect{w - 3, 3, w, h};
        return s;
    }
    const int bh = DialogBorderWidth(d, m), bv = DialogBorderHeight(d, m);
    const int t = bv + DialogTitleHeight(d, m) + (d.Iconic ? 1 : 0);
    s.Title = TRect{0, 0, w, DialogTopNonClientHeight(d, m)};
    s.Left = TRect{0, t, bh, h};
    s.Bottom = TRect{bh, h - bv, w - bh, h};
    s.Right = TRect{w - bh, t, w, h};
    return s;
}

TDialogMenuItems UpdateDialogMenuItems(const TDialogFrame& d) {
    const int code = Code(d);
    const unsigned s = d.Style;
    const bool maxBox = (s & style::MaximizeBox) != 0, minBox = (s & style::MinimizeBox) != 0;
    TDialogMenuItems r;
    r.miRestore = {(code == 1 || code == 3) && (s & style::SysMenu), maxBox && (d.Zoomed || d.Iconic)};
    r.miMove = {true, !d.Zoomed};
    // Only a sizing frame can be sized.
    r.miSize = {code != 0 && code != 2 && code != 4, code != 1 && !d.Iconic && (s & style::ThickFrame)};
    r.miMinimize = {minBox, minBox && !d.Iconic};
    r.miMaximize = {maxBox, maxBox && !d.Zoomed};
    r.miClose = {(s & style::SysMenu) != 0, true};
    return r;
}

}  // namespace skin
