#include "vcl/stdctrls.h"

#include <algorithm>

#include "vcl/forms.h"
#include "vcl/wintext.h"

namespace vcl {

void DrawCaption(HDC dc, const TControl& control, const std::string& text, RECT rect, UINT format) {
    HGDIOBJ oldFont = SelectObject(dc, control.Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    WideText wide(text);
    if (control.Enabled()) {
        SetTextColor(dc, ColorToRGB(control.Font()->Color()));
        DrawTextW(dc, wide, static_cast<int>(wide.size()), &rect, format);
    } else {
        OffsetRect(&rect, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextW(dc, wide, static_cast<int>(wide.size()), &rect, format);
        OffsetRect(&rect, -1, -1);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        DrawTextW(dc, wide, static_cast<int>(wide.size()), &rect, format);
    }
    SelectObject(dc, oldFont);
}

// ---- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
    CreateHandle();
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WindowClass = u"BUTTON";
    params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value) {
    default_ = value;
    if (HandleAllocated()) SendMessageW(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    if (modalResult_ != 0)
        if (TForm* form = ParentForm()) form->SetModalResult(modalResult_);
    TWinControl::Click();
}

void TButton::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        if (message.WParamHi() == BN_CLICKED) Click();
        return;
    case CM_DIALOGKEY: {
        bool shift = (GetKeyState(VK_SHIFT) | GetKeyState(VK_CONTROL) | GetKeyState(VK_MENU)) & 0x8000;
        TWinControl* focused = FindControl(GetFocus());
        bool active = Focused() || (default_ && !dynamic_cast<TButton*>(focused));
        if (!shift && ((message.WParam == VK_RETURN && active) || (message.WParam == VK_ESCAPE && cancel_)) &&
            Visible() && Enabled() && CanFocus()) {
            Click();
            message.Result = 1;
        }
        return;
    }
    }
    TWinControl::WndProc(message);
}

// ---- TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
    SetParentColor(true);
    CreateHandle();
}

void TCheckBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WindowClass = u"BUTTON";
    params.Style |= BS_CHECKBOX;
}

void TCheckBox::SetChecked(bool value) {
    if (checked_ == value) return;
    checked_ = value;
    if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    Click();
}

void TCheckBox::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND) {
        if (message.WParamHi() == BN_CLICKED) SetChecked(!checked_);
        return;
    }
    TWinControl::WndProc(message);
}

// ---- TEdit

TEdit::TEdit(TComponent* owner) : TEdit(owner, NoHandle{}) { CreateHandle(); }

TEdit::TEdit(TComponent* owner, NoHandle) : TWinControl(owner) {
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WindowClass = u"EDIT";
    params.Style |= ES_AUTOHSCROLL | (readOnly_ ? ES_READONLY : 0);
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::SetReadOnly(bool value) {
    readOnly_ = value;
    if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, value, 0);
}

void TEdit::Change() {
    if (OnChange) OnChange(this);
}

void TEdit::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND) {
        if (message.WParamHi() == EN_CHANGE) Change();
        return;
    }
    TWinControl::WndProc(message);
}

// ---- TMemo

TMemo::TMemo(TComponent* owner) : TWinControl(owner), lines_(std::make_unique<TMemoStrings>(this)) {
    SetBounds(0, 0, 185, 89);
    SetTabStop(true);
    SetColor(clWindow);
    CreateHandle();
}

void TMemo::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WindowClass = u"EDIT";
    params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | (readOnly_ ? ES_READONLY : 0);
    if (!wordWrap_) params.Style |= ES_AUTOHSCROLL;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
    if ((scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) && !wordWrap_) params.Style |= WS_HSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TMemo::RecreateWindow() {
    if (!HandleAllocated()) return;
    std::string text = GetText();
    DestroyHandle();
    CreateHandle();
    SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
    SendMessageW(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideText(text).c_str()));
}

void TMemo::SetReadOnly(bool value) {
    readOnly_ = value;
    if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, value, 0);
}

void TMemo::SetScrollBars(TScrollStyle value) {
    if (scrollBars_ == value) return;
    scrollBars_ = value;
    RecreateWindow();
}

void TMemo::SetWordWrap(bool value) {
    if (wordWrap_ == value) return;
    wordWrap_ = value;
    RecreateWindow();
}

void TMemo::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        if (message.WParamHi() == EN_CHANGE && OnChange) OnChange(this);
        return;
    case WM_CREATE:
        TWinControl::WndProc(message);
        return;
    }
    TWinControl::WndProc(message);
}

// The window text of a memo, read once per operation.
static std::u16string MemoText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    int got = GetWindowTextW(window, reinterpret_cast<WCHAR*>(text.data()), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
}

void TMemoStrings::LineStarts(std::vector<int>& starts, int& length, std::u16string* out) const {
    std::u16string text = MemoText(memo_->Handle());
    length = static_cast<int>(text.size());
    starts.clear();
    if (!text.empty()) starts.push_back(0);
    for (int i = 0; i < length; ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < length && text[i + 1] == u'\n') ++i;
            if (i + 1 < length) starts.push_back(i + 1);
        }
    }
    if (out) *out = std::move(text);
}

std::vector<std::string> TMemoStrings::Lines() const {
    std::vector<int> starts;
    int length;
    std::u16string text;
    LineStarts(starts, length, &text);
    std::vector<std::string> lines;
    lines.reserve(starts.size());
    for (size_t i = 0; i < starts.size(); ++i) {
        int end = i + 1 < starts.size() ? starts[i + 1] : length;
        while (end > starts[i] && (text[end - 1] == u'\n' || text[end - 1] == u'\r')) {
            --end;
            if (end > starts[i] && text[end] == u'\n' && text[end - 1] == u'\r') --end;
            break;
        }
        lines.push_back(rtl::Utf16ToCp1251(std::u16string_view(text).substr(starts[i], end - starts[i])));
    }
    return lines;
}

int TMemoStrings::Count() const {
    std::vector<int> starts;
    int length;
    LineStarts(starts, length, nullptr);
    return static_cast<int>(starts.size());
}

std::string TMemoStrings::Get(int index) const {
    std::vector<std::string> lines = Lines();
    CheckIndex(index, static_cast<int>(lines.size()));
    return lines[static_cast<size_t>(index)];
}

void TMemoStrings::Replace(int from, int to, const std::u16string& with, bool scroll) {
    HWND window = memo_->Handle();
    SendMessageW(window, EM_SETSEL, static_cast<WPARAM>(from), to);
    SendMessageW(window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(with.c_str()));
    if (scroll) SendMessageW(window, EM_SCROLLCARET, 0, 0);
}

void TMemoStrings::Insert(int index, const std::string& text) {
    HWND window = memo_->Handle();
    std::u16string line = rtl::Cp1251ToUtf16(text);
    int length = GetWindowTextLengthW(window);
    if (length == 0) {
        if (index != 0) throw EListError(index);
        Replace(0, 0, line + u"\r\n", true);
        return;
    }
    // Appending is the common case (logs): the last visual line tells
    // whether the text already ends with a line break.
    int lastLine = static_cast<int>(SendMessageW(window, EM_GETLINECOUNT, 0, 0)) - 1;
    int lastStart = static_cast<int>(SendMessageW(window, EM_LINEINDEX, static_cast<WPARAM>(lastLine), 0));
    bool endsWithBreak = SendMessageW(window, EM_LINELENGTH, static_cast<WPARAM>(lastStart), 0) == 0;
    std::vector<int> starts;
    int total;
    if (index < 0) throw EListError(index);
    if (endsWithBreak) {
        // Every line is ended; line `index` starts where a line starts or at the very end.
        LineStarts(starts, total, nullptr);
        if (index > static_cast<int>(starts.size())) throw EListError(index);
        int at = index == static_cast<int>(starts.size()) ? total : starts[static_cast<size_t>(index)];
        Replace(at, at, line + u"\r\n", index == static_cast<int>(starts.size()));
        return;
    }
    LineStarts(starts, total, nullptr);
    if (index > static_cast<int>(starts.size())) throw EListError(index);
    if (index == static_cast<int>(starts.size())) Replace(total, total, u"\r\n" + line + u"\r\n", true);
    else Replace(starts[static_cast<size_t>(index)], starts[static_cast<size_t>(index)], line + u"\r\n", false);
}

void TMemoStrings::Put(int index, const std::string& text) {
    std::vector<int> starts;
    int length;
    std::u16string all;
    LineStarts(starts, length, &all);
    CheckIndex(index, static_cast<int>(starts.size()));
    int from = starts[static_cast<size_t>(index)];
    int to = index + 1 < static_cast<int>(starts.size()) ? starts[static_cast<size_t>(index) + 1] : length;
    while (to > from && (all[to - 1] == u'\n' || all[to - 1] == u'\r')) --to;
    Replace(from, to, rtl::Cp1251ToUtf16(text), false);
}

void TMemoStrings::Delete(int index) {
    std::vector<int> starts;
    int length;
    LineStarts(starts, length, nullptr);
    CheckIndex(index, static_cast<int>(starts.size()));
    int from = starts[static_cast<size_t>(index)];
    int to = index + 1 < static_cast<int>(starts.size()) ? starts[static_cast<size_t>(index) + 1] : length;
    Replace(from, to, u"", false);
}

void TMemoStrings::Clear() { SendMessageW(memo_->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"")); }

void TMemoStrings::SetAllLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    SendMessageW(memo_->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideText(text).c_str()));
}

void TMemoStrings::SetUpdateState(bool updating) {
    SendMessageW(memo_->Handle(), WM_SETREDRAW, updating ? FALSE : TRUE, 0);
    if (!updating) memo_->Invalidate();
}

// ---- TListBox

TListBox::TListBox(TComponent* owner) : TListBox(owner, NoHandle{}) { CreateHandle(); }

TListBox::TListBox(TComponent* owner, NoHandle)
    : TWinControl(owner), items_(std::make_unique<TListBoxStrings>(this)) {
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
}

void TListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WindowClass = u"LISTBOX";
    params.Style |= LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

int TListBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)); }

void TListBox::SetItemIndex(int value) {
    if (ItemIndex() != value) SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void TListBox::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND) {
        if (message.WParamHi() == LBN_SELCHANGE) Click();
        else if (message.WParamHi() == LBN_DBLCLK && OnDblClick) OnDblClick(this);
        return;
    }
    TWinControl::WndProc(message);
}

int TListBoxStrings::Count() const { return static_cast<int>(SendMessageW(list_->Handle(), LB_GETCOUNT, 0, 0)); }

std::string TListBoxStrings::Get(int index) const {
    CheckIndex(index, Count());
    HWND window = list_->Handle();
    int length = static_cast<int>(SendMessageW(window, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0));
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    SendMessageW(window, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return rtl::Utf16ToCp1251(text);
}

void TListBoxStrings::Put(int index, const std::string& text) {
    CheckIndex(index, Count());
    HWND window = list_->Handle();
    int selected = list_->ItemIndex();
    LRESULT data = SendMessageW(window, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    SendMessageW(window, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(window, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(WideText(text).c_str()));
    SendMessageW(window, LB_SETITEMDATA, static_cast<WPARAM>(index), data);
    list_->SetItemIndex(selected);
}

void TListBoxStrings::Insert(int index, const std::string& text) {
    CheckIndex(index, Count() + 1);
    LRESULT at = SendMessageW(list_->Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                              reinterpret_cast<LPARAM>(WideText(text).c_str()));
    if (at < 0) throw rtl::ERuntimeError("Не хватает памяти для списка");
}

void TListBoxStrings::Delete(int index) {
    CheckIndex(index, Count());
    SendMessageW(list_->Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TListBoxStrings::Clear() { SendMessageW(list_->Handle(), LB_RESETCONTENT, 0, 0); }

void TListBoxStrings::SetUpdateState(bool updating) {
    SendMessageW(list_->Handle(), WM_SETREDRAW, updating ? FALSE : TRUE, 0);
    if (!updating) list_->Invalidate();
}

// ---- TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 13);
    SetParentColor(true);
}

void TLabel::SetAutoSize(bool value) {
    autoSize_ = value;
    AdjustSize();
}

void TLabel::SetAlignment(TAlignment value) {
    alignment_ = value;
    Invalidate();
}

void TLabel::SetTransparent(bool value) {
    transparent_ = value;
    Invalidate();
}

void TLabel::SetWordWrap(bool value) {
    wordWrap_ = value;
    AdjustSize();
    Invalidate();
}

void TLabel::AdjustSize() {
    if (!autoSize_) return;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    WideText text(text_.empty() ? std::string(" ") : text_);
    RECT r{0, 0, wordWrap_ ? Width() : 0, 0};
    DrawTextW(dc, text, static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : 0));
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    SetBounds(Left(), Top(), wordWrap_ ? Width() : r.right, r.bottom);
}

void TLabel::Paint(HDC dc) {
    RECT r{0, 0, Width(), Height()};
    if (!transparent_) {
        HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    UINT format = DT_EXPANDTABS | DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
    if (alignment_ == taCenter) format |= DT_CENTER;
    else if (alignment_ == taRightJustify) format |= DT_RIGHT;
    DrawCaption(dc, *this, text_, r, format);
}

void TLabel::WndProc(TMessage& message) {
    TGraphicControl::WndProc(message);
    if (message.Msg == CM_TEXTCHANGED || message.Msg == CM_FONTCHANGED) {
        AdjustSize();
        Invalidate();
    }
}

// ---- TGroupBox

TGroupBox::TGroupBox(TComponent* owner) : TGroupBox(owner, NoHandle{}) { CreateHandle(); }

TGroupBox::TGroupBox(TComponent* owner, NoHandle) : TWinControl(owner) {
    SetBounds(0, 0, 185, 105);
    SetParentColor(true);
}

void TGroupBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WindowClass = u"BUTTON";
    params.Style |= BS_GROUPBOX | WS_CLIPCHILDREN;
}

void TGroupBox::WndProc(TMessage& message) {
    if (message.Msg == WM_ERASEBKGND) {
        // The Win32 group box leaves its inside unpainted.
        RECT r;
        GetClientRect(Handle(), &r);
        FillRect(reinterpret_cast<HDC>(message.WParam), &r, BackgroundBrush());
        message.Result = 1;
        return;
    }
    if (message.Msg == WM_NCHITTEST) {
        // A group box is not transparent to the mouse here: it has a popup
        // menu and children of its own.
        message.Result = HTCLIENT;
        return;
    }
    TWinControl::WndProc(message);
}

// ---- TRadioGroup

TGroupButton::TGroupButton(TRadioGroup* group, int index) : TWinControl(group), group_(group), index_(index) {
    SetParentColor(true);
    SetTabStop(false);
    SetParent(group);
    CreateHandle();
}

void TGroupButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WindowClass = u"BUTTON";
    params.Style |= BS_RADIOBUTTON;
}

void TGroupButton::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND) {
        if (message.WParamHi() == BN_CLICKED) group_->SetItemIndex(index_);
        return;
    }
    if (message.Msg == WM_SETFOCUS) {
        TWinControl::WndProc(message);
        return;
    }
    TWinControl::WndProc(message);
}

TRadioGroup::TRadioGroup(TComponent* owner) : TGroupBox(owner, NoHandle{}) {
    CreateHandle();
    items_.OnChange = [this](TObject*) { UpdateButtons(); };
}

TRadioGroup::~TRadioGroup() { items_.OnChange = nullptr; }

void TRadioGroup::UpdateButtons() {
    if (ComponentState() & csDestroying) return;
    int count = items_.Count();
    while (static_cast<int>(buttons_.size()) > count) {
        delete buttons_.back();
        buttons_.pop_back();
    }
    while (static_cast<int>(buttons_.size()) < count)
        buttons_.push_back(new TGroupButton(this, static_cast<int>(buttons_.size())));
    for (int i = 0; i < count; ++i) {
        buttons_[static_cast<size_t>(i)]->SetIndex(i);
        buttons_[static_cast<size_t>(i)]->SetCaption(items_.Get(i));
        SendMessageW(buttons_[static_cast<size_t>(i)]->Handle(), BM_SETCHECK, i == itemIndex_ ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    if (itemIndex_ >= count) itemIndex_ = count - 1;
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
    int count = static_cast<int>(buttons_.size());
    if (count == 0) return;
    int columns = std::max(1, columns_);
    int rows = (count + columns - 1) / columns;
    int captionHeight = std::abs(Font()->Height()) + 4;
    int columnWidth = (Width() - 10) / columns;
    int rowHeight = std::max(1, (Height() - captionHeight - 4) / rows);
    for (int i = 0; i < count; ++i) {
        int column = i / rows, row = i % rows;
        buttons_[static_cast<size_t>(i)]->SetBounds(8 + column * columnWidth, captionHeight + row * rowHeight +
                                                                                  (rowHeight - 17) / 2,
                                                    columnWidth - 8, 17);
    }
}

void TRadioGroup::SetItemIndex(int value) {
    value = std::clamp(value, -1, items_.Count() - 1);
    if (value == itemIndex_) return;
    if (itemIndex_ >= 0 && itemIndex_ < static_cast<int>(buttons_.size()))
        SendMessageW(buttons_[static_cast<size_t>(itemIndex_)]->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
    itemIndex_ = value;
    if (itemIndex_ >= 0) {
        SendMessageW(buttons_[static_cast<size_t>(itemIndex_)]->Handle(), BM_SETCHECK, BST_CHECKED, 0);
        Click();
    }
}

void TRadioGroup::SetColumns(int value) {
    columns_ = std::clamp(value, 1, 16);
    ArrangeButtons();
}

void TRadioGroup::WndProc(TMessage& message) {
    TGroupBox::WndProc(message);
    if (message.Msg == WM_SIZE || message.Msg == CM_FONTCHANGED) ArrangeButtons();
}

// ---- TPanel

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
    CreateHandle();
}

void TPanel::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WindowClass = u"TPanel";
    params.OwnClass = true;
    params.Style |= WS_CLIPCHILDREN;
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TPanel::SetBevelOuter(TBevelCut value) {
    bevelOuter_ = value;
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut value) {
    bevelInner_ = value;
    Invalidate();
}

void TPanel::SetAlignment(TAlignment value) {
    alignment_ = value;
    Invalidate();
}

void TPanel::PaintWindow(HDC dc) {
    RECT r;
    GetClientRect(Handle(), &r);
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        DrawEdge(dc, &r, cut == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    };
    bevel(bevelOuter_);
    bevel(bevelInner_);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (alignment_ == taCenter) format |= DT_CENTER;
    else if (alignment_ == taRightJustify) format |= DT_RIGHT;
    DrawCaption(dc, *this, GetText(), r, format);
}

void TPanel::WndProc(TMessage& message) {
    TCustomControl::WndProc(message);
    if (message.Msg == CM_TEXTCHANGED) Invalidate();
}

}  // namespace vcl
