#include "vcl/extctrls.h"

#include <commctrl.h>

#include <algorithm>

#include "rtl/convert.h"
#include "vcl/wintext.h"

namespace vcl {

// ---- TSpinEdit

namespace {
constexpr int kArrowWidth = 15;
}

TSpinEdit::TSpinEdit(TComponent* owner) : TEdit(owner, NoHandle{}) {
    text_ = "0";
    CreateHandle();
    arrows_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, kArrowWidth, Height(), Handle(),
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(arrows_, UDM_SETRANGE32, 0, 100);
    SendMessageW(arrows_, UDM_SETPOS32, 0, 50);
    PlaceArrows();
}

void TSpinEdit::CreateParams(TCreateParams& params) {
    TEdit::CreateParams(params);
    // The arrows are a child of the edit: the edit's own painting, whenever
    // it is repainted alone, must not cover them.
    params.Style |= WS_CLIPCHILDREN;
}

void TSpinEdit::PlaceArrows() {
    if (!arrows_) return;
    RECT client;
    GetClientRect(Handle(), &client);
    SetWindowPos(arrows_, nullptr, client.right - kArrowWidth, 0, kArrowWidth, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, kArrowWidth + 1));
}

int TSpinEdit::CheckValue(int value) const {
    if (maxValue_ != minValue_) value = std::clamp(value, minValue_, maxValue_);
    return value;
}

int TSpinEdit::Value() const {
    int32_t value;
    if (!rtl::TryStrToInt(GetText(), value)) value = minValue_;
    return CheckValue(value);
}

void TSpinEdit::SetValue(int value) { SetText(rtl::IntToStr(CheckValue(value))); }

void TSpinEdit::SetMinValue(int value) {
    minValue_ = value;
    if (maxValue_ < minValue_) maxValue_ = minValue_;
}

void TSpinEdit::SetMaxValue(int value) {
    maxValue_ = value;
    if (minValue_ > maxValue_) minValue_ = maxValue_;
}

void TSpinEdit::Step(int direction) {
    if (ReadOnly()) return;
    SetValue(static_cast<int>(rtl::CheckedAdd(Value(), static_cast<int64_t>(direction) * increment_)));
    SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TSpinEdit::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(message.LParam);
        if (header->hwndFrom == arrows_ && header->code == static_cast<UINT>(UDN_DELTAPOS)) {
            auto* delta = reinterpret_cast<NMUPDOWN*>(message.LParam);
            Step(delta->iDelta > 0 ? 1 : -1);
            message.Result = 1;
            return;
        }
        break;
    }
    case WM_KEYDOWN:
        if (message.WParam == VK_UP || message.WParam == VK_DOWN) {
            Step(message.WParam == VK_UP ? 1 : -1);
            return;
        }
        break;
    case WM_SIZE:
        TEdit::WndProc(message);
        PlaceArrows();
        return;
    }
    TEdit::WndProc(message);
}

// ---- TGauge

TGauge::TGauge(TComponent* owner) : TCustomControl(owner) {
    // It paints every pixel: nothing is erased beneath it.
    SetControlStyle(ControlStyle() | csOpaque);
    SetBounds(0, 0, 100, 20);
    SetColor(clWindow);
    CreateHandle();
}

void TGauge::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WindowClass = u"TGauge";
    params.OwnClass = true;
    params.ClassStyle = CS_HREDRAW | CS_VREDRAW;
}

void TGauge::SetMinValue(int value) {
    minValue_ = value;
    if (maxValue_ < minValue_) maxValue_ = minValue_;
    SetProgress(progress_);
    Invalidate();
}

void TGauge::SetMaxValue(int value) {
    maxValue_ = value;
    if (minValue_ > maxValue_) minValue_ = maxValue_;
    SetProgress(progress_);
    Invalidate();
}

void TGauge::SetProgress(int value) {
    value = std::clamp(value, minValue_, maxValue_);
    if (value == progress_) return;
    int oldPercent = PercentDone();
    progress_ = value;
    if (PercentDone() != oldPercent || true) Invalidate();
}

int TGauge::PercentDone() const {
    if (maxValue_ == minValue_) return 0;
    return static_cast<int>(static_cast<int64_t>(progress_ - minValue_) * 100 / (static_cast<int64_t>(maxValue_) - minValue_));
}

void TGauge::SetSuffix(const std::string& value) {
    suffix_ = value;
    Invalidate();
}

void TGauge::SetForeColor(TColor value) {
    foreColor_ = value;
    Invalidate();
}

std::string TGauge::DisplayText() const { return rtl::IntToStr(PercentDone()) + suffix_; }

void TGauge::Invalidate() {
    if (paintPending_ || !HandleAllocated()) return;
    paintPending_ = true;
    TCustomControl::Invalidate();
}

void TGauge::PaintWindow(HDC dc) {
    paintPending_ = false;
    RECT client;
    GetClientRect(Handle(), &client);
    DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    int span = maxValue_ - minValue_;
    int filled = span == 0 ? 0
                           : static_cast<int>(static_cast<int64_t>(client.right - client.left) * (progress_ - minValue_) / span);
    RECT done = client, rest = client;
    done.right = client.left + filled;
    rest.left = done.right;
    FillRect(dc, &done, SolidBrush(foreColor_));
    FillRect(dc, &rest, BackgroundBrush());
    WideText text(DisplayText());
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    // The text is drawn twice, clipped: light over the bar, dark over the rest.
    int saved = SaveDC(dc);
    IntersectClipRect(dc, done.left, done.top, done.right, done.bottom);
    SetTextColor(dc, ColorToRGB(clHighlightText));
    DrawTextW(dc, text, static_cast<int>(text.size()), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    RestoreDC(dc, saved);
    saved = SaveDC(dc);
    IntersectClipRect(dc, rest.left, rest.top, rest.right, rest.bottom);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    DrawTextW(dc, text, static_cast<int>(text.size()), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    RestoreDC(dc, saved);
    SelectObject(dc, oldFont);
}

// ---- TCheckListBox

namespace {
constexpr int kCheckWidth = 16;
}

TCheckListBox::TCheckListBox(TComponent* owner) : TListBox(owner, NoHandle{}) {
    CreateHandle();
    SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, std::abs(Font()->Height()) + 5);
}

void TCheckListBox::CreateParams(TCreateParams& params) {
    TListBox::CreateParams(params);
    params.Style |= LBS_OWNERDRAWFIXED;
}

bool TCheckListBox::Checked(int index) const {
    if (index < 0 || index >= const_cast<TCheckListBox*>(this)->Items()->Count()) throw EListError(index);
    return SendMessageW(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0) == 1;
}

void TCheckListBox::SetChecked(int index, bool value) {
    if (index < 0 || index >= Items()->Count()) throw EListError(index);
    SendMessageW(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), value ? 1 : 0);
    RECT r;
    SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    InvalidateRect(Handle(), &r, TRUE);
}

void TCheckListBox::Toggle(int index) {
    if (index < 0 || index >= Items()->Count()) return;
    SetChecked(index, !Checked(index));
    if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::DrawItem(const DRAWITEMSTRUCT& item) {
    if (static_cast<int>(item.itemID) < 0) return;
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    bool selected = item.itemState & ODS_SELECTED;
    FillRect(dc, &r, BackgroundBrush());
    RECT box{r.left + 2, r.top + (r.bottom - r.top - 13) / 2, r.left + 15, r.top + (r.bottom - r.top - 13) / 2 + 13};
    UINT state = DFCS_BUTTONCHECK | DFCS_FLAT | (item.itemData == 1 ? DFCS_CHECKED : 0) | (Enabled() ? 0 : DFCS_INACTIVE);
    DrawFrameControl(dc, &box, DFC_BUTTON, state);
    RECT text = r;
    text.left += kCheckWidth + 2;
    if (selected) {
        FillRect(dc, &text, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    }
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    WideText caption(Items()->Get(static_cast<int>(item.itemID)));
    text.left += 2;
    DrawTextW(dc, caption, static_cast<int>(caption.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        focus.left += kCheckWidth + 2;
        DrawFocusRect(dc, &focus);
    }
}

void TCheckListBox::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_DRAWITEM:
        DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam));
        message.Result = 1;
        return;
    case CN_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam)->itemHeight = static_cast<UINT>(std::abs(Font()->Height()) + 5);
        message.Result = 1;
        return;
    case WM_LBUTTONDOWN: {
        int x = static_cast<short>(LOWORD(message.LParam));
        LRESULT hit = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, message.LParam);
        TListBox::WndProc(message);
        if (x < kCheckWidth && !HIWORD(hit)) Toggle(LOWORD(hit));
        return;
    }
    case WM_CHAR:
        if (message.WParam == VK_SPACE) {
            Toggle(ItemIndex());
            return;
        }
        break;
    }
    TListBox::WndProc(message);
}

// ---- TScrollBox

int TControlScrollBar::Position() const { return box_->pos_[kind_ == sbHorizontal ? 0 : 1]; }

void TControlScrollBar::SetPosition(int value) {
    int page = kind_ == sbHorizontal ? box_->ClientWidth() : box_->ClientHeight();
    value = std::clamp(value, 0, std::max(0, Range() - page));
    if (kind_ == sbHorizontal) box_->ScrollTo(value, box_->pos_[1]);
    else box_->ScrollTo(box_->pos_[0], value);
}

int TControlScrollBar::Range() const { return box_->range_[kind_ == sbHorizontal ? 0 : 1]; }

void TControlScrollBar::SetVisible(bool value) {
    if (visible_ == value) return;
    visible_ = value;
    if (!value) SetPosition(0);
    box_->UpdateScrollRange();
}

bool TControlScrollBar::IsScrollBarVisible() const {
    if (!visible_ || !box_->HandleAllocated()) return false;
    int page = kind_ == sbHorizontal ? box_->ClientWidth() : box_->ClientHeight();
    return Range() > page;
}

TScrollBox::TScrollBox(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
    CreateHandle();
}

void TScrollBox::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WindowClass = u"TScrollBox";
    params.OwnClass = true;
    params.Style |= WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL;
    if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::SetBorderStyle(TBorderStyle value) {
    if (value != bsNone) value = bsSingle;
    if (borderStyle_ == value) return;
    borderStyle_ = value;
    if (!HandleAllocated()) return;
    if (value == bsSingle) SetExStyleBits(WS_EX_CLIENTEDGE, 0);
    else SetExStyleBits(0, WS_EX_CLIENTEDGE);
    UpdateScrollRange();
}

void TScrollBox::UpdateScrollRange() {
    int right = 0, bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* control = Controls(i);
        if (!control->Visible()) continue;
        right = std::max(right, control->Left() + pos_[0] + control->Width());
        bottom = std::max(bottom, control->Top() + pos_[1] + control->Height());
    }
    range_[0] = horz_.Visible() ? right : 0;
    range_[1] = vert_.Visible() ? bottom : 0;
    int page[2] = {ClientWidth(), ClientHeight()};
    for (int bar = 0; bar < 2; ++bar) {
        SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, range_[bar] - 1),
                           static_cast<UINT>(page[bar]), pos_[bar], 0};
        SetScrollInfo(Handle(), bar == 0 ? SB_HORZ : SB_VERT, &info, TRUE);
    }
    int maxH = std::max(0, range_[0] - ClientWidth()), maxV = std::max(0, range_[1] - ClientHeight());
    if (pos_[0] > maxH || pos_[1] > maxV) ScrollTo(std::min(pos_[0], maxH), std::min(pos_[1], maxV));
}

void TScrollBox::ScrollTo(int horizontal, int vertical) {
    int dx = pos_[0] - horizontal, dy = pos_[1] - vertical;
    if (dx == 0 && dy == 0) return;
    pos_[0] = horizontal;
    pos_[1] = vertical;
    ScrollBy(dx, dy);
    SetScrollPos(Handle(), SB_HORZ, pos_[0], TRUE);
    SetScrollPos(Handle(), SB_VERT, pos_[1], TRUE);
}

void TScrollBox::Scroll(int bar, int code) {
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(Handle(), bar == 0 ? SB_HORZ : SB_VERT, &info);
    int pos = pos_[bar];
    int line = (bar == 0 ? horz_ : vert_).Increment(), page = static_cast<int>(info.nPage);
    switch (code) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = info.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = range_[bar]; break;
    default: return;
    }
    int limit = std::max(0, range_[bar] - (bar == 0 ? ClientWidth() : ClientHeight()));
    pos = std::clamp(pos, 0, limit);
    if (bar == 0) ScrollTo(pos, pos_[1]);
    else ScrollTo(pos_[0], pos);
}

void TScrollBox::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_HSCROLL:
        if (!message.LParam) {
            Scroll(0, LOWORD(message.WParam));
            return;
        }
        break;
    case WM_VSCROLL:
        if (!message.LParam) {
            Scroll(1, LOWORD(message.WParam));
            return;
        }
        break;
    case CM_MOUSEWHEEL:
        Scroll(1, static_cast<short>(HIWORD(message.WParam)) > 0 ? SB_LINEUP : SB_LINEDOWN);
        message.Result = 1;
        return;
    case CM_CONTROLCHANGE:
        TCustomControl::WndProc(message);
        if (!(ComponentState() & csDestroying)) UpdateScrollRange();
        return;
    case WM_SIZE:
        TCustomControl::WndProc(message);
        UpdateScrollRange();
        return;
    }
    TCustomControl::WndProc(message);
}

}  // namespace vcl
