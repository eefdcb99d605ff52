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

namespace {

// Messages that neither read nor change an edit window's text: a memo's
// pending lines may wait, an edit's known text holds.
bool LeavesTextAlone(UINT msg) {
    switch (msg) {
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_MOVE:
    case WM_SIZE:
    case WM_NCCALCSIZE:
    // The edit control shows and hides its scroll bars as its text grows.
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
    case WM_SHOWWINDOW:
    case WM_GETDLGCODE:
    case WM_DESTROY:
    case WM_NCDESTROY:
    // Focus and activation: a click on another window during a run would
    // otherwise write the log's pending lines out two or three times over.
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_MOUSEACTIVATE:
    case WM_CAPTURECHANGED:
    case WM_IME_SETCONTEXT:
    case WM_IME_NOTIFY:
    case WM_QUERYUISTATE:
    case WM_UPDATEUISTATE:
    case WM_CHANGEUISTATE:
        return true;
    }
    return msg >= CM_BASE;
}

// Messages after which an edit's text is as it was: the above, and those
// that only read it or paint it. The window's end is not among them.
bool KeepsEditText(UINT msg) {
    switch (msg) {
    case WM_GETTEXT: case WM_GETTEXTLENGTH: case WM_PAINT: case WM_TIMER: case WM_GETFONT: case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: case EM_GETSEL: case EM_GETLINECOUNT: case EM_GETLINE: case EM_LINEINDEX:
    case EM_LINELENGTH: case EM_GETMODIFY: case EM_GETRECT: case EM_POSFROMCHAR: case EM_CHARFROMPOS:
    case EM_GETLIMITTEXT: case EM_GETFIRSTVISIBLELINE:
        return true;
    case WM_DESTROY: case WM_NCDESTROY:
        return false;
    default:
        return LeavesTextAlone(msg);
    }
}

}  // namespace

std::string TEdit::GetText() const {
    if (!HandleAllocated()) return TWinControl::GetText();
    if (!textKnown_) {
        knownText_ = TWinControl::GetText();
        textKnown_ = true;
    }
    return knownText_;
}

void TEdit::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND) {
        textKnown_ = false;
        if (message.WParamHi() == EN_CHANGE) Change();
        return;
    }
    if (message.Msg == WM_SETFOCUS) {
        // Reached by Tab or from code, an edit offers its whole text: what
        // is typed replaces it.
        TWinControl::WndProc(message);
        TForm* form = ParentForm();
        if (!clicking_ && Focused() && !(form && form->RestoringFocus())) SendMessageW(Handle(), EM_SETSEL, 0, -1);
        return;
    }
    if (KeepsEditText(message.Msg)) {
        TWinControl::WndProc(message);
        return;
    }
    // Before and after: whatever reads the text while the message is
    // handled sees the window as it is then. A click places the caret where
    // it points, also when it brings the focus.
    textKnown_ = false;
    const bool clicking = clicking_;
    clicking_ = clicking || message.Msg == WM_LBUTTONDOWN;
    TWinControl::WndProc(message);
    clicking_ = clicking;
    textKnown_ = false;
}

// ---- TMemo

namespace {

constexpr UINT_PTR kMemoFlushTimer = 0x4E4D;
// How often a visible memo that keeps receiving lines is brought up to date.
constexpr DWORD kMemoFlushIntervalMs = 100;
// How many lines it then takes in at most, the rest at the next time: Wine's
// edit control lays out some 30,000 lines a second, and the program answers
// between two of these, however far the window is behind.
constexpr size_t kMemoFlushLines = 3'000;

// Splits at CR LF, LF or CR; a text that ends with a break ends with an
// empty piece, so every piece stands for one line of the window.
std::vector<std::string> SplitAtBreaks(const std::string& text) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        pieces.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

bool HasBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

// What a window's scroll bars show: which it has, their range, page and
// position, and whether each can be used.
struct ScrollBarsLook {
    struct Bar {
        int min = 0, max = 0, page = 0, pos = 0;
        DWORD state = 0;
        bool operator==(const Bar&) const = default;
    };
    LONG_PTR bars;
    Bar vertical, horizontal;

    explicit ScrollBarsLook(HWND window)
        : bars(GetWindowLongPtrW(window, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)),
          vertical(Read(window, SB_VERT, OBJID_VSCROLL)),
          horizontal(Read(window, SB_HORZ, OBJID_HSCROLL)) {}
    bool operator==(const ScrollBarsLook&) const = default;

    static Bar Read(HWND window, int bar, LONG object) {
        Bar read;
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (GetScrollInfo(window, bar, &info)) {
            read.min = info.nMin;
            read.max = info.nMax;
            read.page = static_cast<int>(info.nPage);
            read.pos = info.nPos;
        }
        SCROLLBARINFO look{};
        look.cbSize = sizeof(look);
        if (GetScrollBarInfo(window, object, &look)) read.state = look.rgstate[0];
        return read;
    }
};

std::u16string JoinLines(const std::vector<std::string>& lines, size_t from, size_t to) {
    std::string text;
    size_t size = 0;
    for (size_t i = from; i < to; ++i) size += lines[i].size() + 2;
    text.reserve(size);
    for (size_t i = from; i < to; ++i) {
        text += lines[i];
        text += "\r\n";
    }
    return rtl::Cp1251ToUtf16(text);
}

std::u16string MemoText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    int got = GetWindowTextW(window, reinterpret_cast<WCHAR*>(text.data()), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
}

// Lines of a window text: broken at CR LF, LF or CR; a final line break
// starts no further line.
std::vector<std::string> SplitWindowText(const std::u16string& text) {
    std::vector<std::string> lines;
    size_t start = 0, length = text.size();
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') continue;
        lines.push_back(rtl::Utf16ToCp1251(std::u16string_view(text).substr(start, i - start)));
        if (text[i] == u'\r' && i + 1 < length && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < length) lines.push_back(rtl::Utf16ToCp1251(std::u16string_view(text).substr(start)));
    return lines;
}

}  // namespace

TMemo::TMemo(TComponent* owner) : TWinControl(owner), lines_(std::make_unique<TMemoStrings>(this)) {
    SetBounds(0, 0, 185, 89);
    SetTabStop(true);
    SetColor(clWindow);
    CreateHandle();
    // The edit control's default limit would cut a long log off.
    SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
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
    std::string text = GetText();  // writes pending lines first
    DestroyHandle();
    lines_->timerArmed_ = false;
    CreateHandle();
    SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
    lines_->flushing_ = true;
    SendMessageW(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideText(text).c_str()));
    lines_->flushing_ = false;
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
        if (message.WParamHi() == EN_CHANGE) {
            if (!lines_->flushing_) lines_->WindowChanged();
            if (OnChange) OnChange(this);
        }
        return;
    case WM_TIMER:
        if (message.WParam == kMemoFlushTimer) {
            lines_->OnFlushTimer();
            return;
        }
        break;
    case WM_PAINT:
        lines_->OnPaint();
        break;
    case WM_SETTEXT:
        // New text for the whole window: what was pending is superseded.
        if (!lines_->flushing_) lines_->WindowChanged();
        break;
    default:
        if (!LeavesTextAlone(message.Msg)) lines_->Flush();
        if (!lines_->flushing_ && (message.Msg == EM_REPLACESEL || message.Msg == EM_UNDO)) {
            TWinControl::WndProc(message);
            lines_->WindowChanged();
            return;
        }
    }
    TWinControl::WndProc(message);
}

void TMemoStrings::EnsureLines() const {
    if (!stale_) return;
    std::u16string text = MemoText(memo_->Handle());
    lines_ = SplitWindowText(text);
    windowLines_ = lines_.size();
    windowEndsLine_ = text.empty() || text.back() == u'\r' || text.back() == u'\n';
    stale_ = false;
}

void TMemoStrings::WindowChanged() {
    stale_ = true;
    lines_.clear();
    windowLines_ = 0;
    rewrite_ = keepScroll_ = scrollToEnd_ = false;
}

void TMemoStrings::Changed(bool appended) {
    if (appended) scrollToEnd_ = true;
    FlushLater();
}

void TMemoStrings::FlushLater() {
    if (timerArmed_ || Updating() || !memo_->HandleAllocated()) return;
    timerArmed_ = SetTimer(memo_->Handle(), kMemoFlushTimer, kMemoFlushIntervalMs, nullptr) != 0;
}

void TMemoStrings::OnFlushTimer() {
    KillTimer(memo_->Handle(), kMemoFlushTimer);
    timerArmed_ = false;
    // A hidden memo is brought up to date when it is painted or read.
    if (IsWindowVisible(memo_->Handle()) && !Updating()) Flush(true);
}

void TMemoStrings::OnPaint() {
    if (flushing_ || !Pending() || Updating()) return;
    // A handler that adds a line and pumps messages after each one would
    // otherwise rewrite the window for every line.
    if (GetTickCount() - lastFlush_ >= kMemoFlushIntervalMs) Flush(true);
    else FlushLater();
}

void TMemoStrings::Flush(bool part) {
    if (flushing_ || stale_ || !Pending() || !memo_->HandleAllocated()) return;
    HWND window = memo_->Handle();
    flushing_ = true;
    if (timerArmed_) {
        KillTimer(window, kMemoFlushTimer);
        timerArmed_ = false;
    }
    // The edit control brings its scroll bars up to date at every change of
    // text or selection, and on screen each of those costs Wine several
    // times the change itself. So the window counts as hidden while its
    // text changes (as the system's own handling of WM_SETREDRAW marks it)
    // and is painted once when it is done. Shown again, the whole window
    // counts as uncovered, frame and bars included; drawing the bars costs
    // Wine more than the text, so the frame is painted only when the bars
    // show something else now (a log replaced by one as long leaves them be)
    // or when a paint of the window was waiting already.
    struct HiddenWhileChanging {
        HWND window;
        bool shown;
        bool paintWaiting;
        ScrollBarsLook before;
        explicit HiddenWhileChanging(HWND w)
            : window(w), shown(IsWindowVisible(w) != FALSE), paintWaiting(GetUpdateRect(w, nullptr, FALSE) != FALSE),
              before(w) {
            if (shown) SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) & ~WS_VISIBLE);
        }
        ~HiddenWhileChanging() {
            if (!shown) return;
            SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | WS_VISIBLE);
            if (paintWaiting || !(ScrollBarsLook(window) == before)) {
                RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
                return;
            }
            RedrawWindow(window, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        }
    } hidden(window);
    const size_t from = rewrite_ ? 0 : windowLines_;
    const size_t to = part ? std::min(lines_.size(), from + kMemoFlushLines) : lines_.size();
    try {
        if (rewrite_) {
            int firstVisible = keepScroll_ ? static_cast<int>(SendMessageW(window, EM_GETFIRSTVISIBLELINE, 0, 0)) : 0;
            std::u16string text = JoinLines(lines_, 0, to);
            SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            if (firstVisible > 0 && !scrollToEnd_) SendMessageW(window, EM_LINESCROLL, 0, firstVisible);
        } else {
            std::u16string text = JoinLines(lines_, windowLines_, to);
            if (!windowEndsLine_) text.insert(0, u"\r\n");
            int length = GetWindowTextLengthW(window);
            SendMessageW(window, EM_SETSEL, static_cast<WPARAM>(length), length);
            SendMessageW(window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
        }
        if (scrollToEnd_) {
            int length = GetWindowTextLengthW(window);
            SendMessageW(window, EM_SETSEL, static_cast<WPARAM>(length), length);
            SendMessageW(window, EM_SCROLLCARET, 0, 0);
        }
    } catch (...) {
        flushing_ = false;
        throw;
    }
    windowLines_ = to;
    windowEndsLine_ = true;
    rewrite_ = keepScroll_ = false;
    flushing_ = false;
    lastFlush_ = GetTickCount();
    if (to < lines_.size()) FlushLater();
    else scrollToEnd_ = false;
}

std::vector<std::string> TMemoStrings::Lines() const { return SplitWindowText(MemoText(memo_->Handle())); }

void TMemoStrings::SetBound(size_t limit, DroppedNote note) {
    limit_ = limit;
    note_ = std::move(note);
}

void TMemoStrings::DropOldest() {
    // Half the bound goes at once: the window is rewritten once for as many
    // lines as it then takes in, not at every line.
    const size_t drop = lines_.size() - limit_ / 2;
    // The note of an earlier drop is no line of its own.
    dropped_ += drop - (dropped_ > 0 && lines_.front() == noteShown_ ? 1 : 0);
    noteShown_ = note_(dropped_);
    lines_[drop - 1] = noteShown_;
    lines_.erase(lines_.begin(), lines_.begin() + static_cast<ptrdiff_t>(drop - 1));
    windowLines_ = 0;
    rewrite_ = true;
    keepScroll_ = false;
}

int TMemoStrings::Count() const {
    EnsureLines();
    return static_cast<int>(lines_.size());
}

std::string TMemoStrings::Get(int index) const {
    EnsureLines();
    CheckIndex(index, static_cast<int>(lines_.size()));
    return lines_[static_cast<size_t>(index)];
}

void TMemoStrings::Insert(int index, const std::string& text) {
    EnsureLines();
    CheckIndex(index, static_cast<int>(lines_.size()) + 1);
    bool atEnd = static_cast<size_t>(index) == lines_.size();
    auto at = lines_.begin() + index;
    if (HasBreak(text)) {
        std::vector<std::string> pieces = SplitAtBreaks(text);
        lines_.insert(at, pieces.begin(), pieces.end());
    } else {
        lines_.insert(at, text);
    }
    if (static_cast<size_t>(index) < windowLines_) rewrite_ = keepScroll_ = true;
    if (limit_ > 0 && lines_.size() > limit_) DropOldest();
    Changed(atEnd);
}

void TMemoStrings::Put(int index, const std::string& text) {
    EnsureLines();
    CheckIndex(index, static_cast<int>(lines_.size()));
    auto at = lines_.begin() + index;
    if (HasBreak(text)) {
        std::vector<std::string> pieces = SplitAtBreaks(text);
        at = lines_.erase(at);
        lines_.insert(at, pieces.begin(), pieces.end());
    } else {
        *at = text;
    }
    if (static_cast<size_t>(index) < windowLines_) rewrite_ = keepScroll_ = true;
    Changed(false);
}

void TMemoStrings::Delete(int index) {
    EnsureLines();
    CheckIndex(index, static_cast<int>(lines_.size()));
    lines_.erase(lines_.begin() + index);
    if (static_cast<size_t>(index) < windowLines_) rewrite_ = keepScroll_ = true;
    Changed(false);
}

void TMemoStrings::Clear() {
    // Whatever the window holds goes: nothing to read back first.
    stale_ = false;
    dropped_ = 0;
    lines_.clear();
    windowLines_ = 0;
    rewrite_ = true;
    keepScroll_ = scrollToEnd_ = false;
    Changed(false);
}

void TMemoStrings::SetAllLines(const std::vector<std::string>& lines) {
    stale_ = false;
    dropped_ = 0;
    lines_.clear();
    for (const auto& line : lines) {
        if (HasBreak(line)) {
            std::vector<std::string> pieces = SplitAtBreaks(line);
            lines_.insert(lines_.end(), pieces.begin(), pieces.end());
        } else {
            lines_.push_back(line);
        }
    }
    windowLines_ = 0;
    rewrite_ = true;
    keepScroll_ = scrollToEnd_ = false;
    Changed(false);
}

void TMemoStrings::SetUpdateState(bool updating) {
    if (!updating) FlushLater();
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

namespace {

// The messages that change a list box's texts.
bool ChangesListTexts(UINT msg) {
    switch (msg) {
    case LB_ADDSTRING: case LB_INSERTSTRING: case LB_DELETESTRING: case LB_RESETCONTENT: case LB_DIR:
    case LB_ADDFILE: case LB_SETCOUNT: case WM_CREATE: case WM_NCDESTROY:
        return true;
    default:
        return false;
    }
}

}  // namespace

void TListBox::WndProc(TMessage& message) {
    if (ChangesListTexts(message.Msg)) {
        // Before and after: whatever reads the list while the change is
        // made sees the window as it is then.
        items_->Forget();
        TWinControl::WndProc(message);
        items_->Forget();
        return;
    }
    if (message.Msg == CN_COMMAND) {
        if (message.WParamHi() == LBN_SELCHANGE) Click();
        else if (message.WParamHi() == LBN_DBLCLK && OnDblClick) OnDblClick(this);
        return;
    }
    TWinControl::WndProc(message);
}

const std::vector<std::string>& TListBoxStrings::Texts() const {
    if (known_) return texts_;
    HWND window = list_->Handle();
    const int count = std::max(0, static_cast<int>(SendMessageW(window, LB_GETCOUNT, 0, 0)));
    texts_.clear();
    texts_.reserve(static_cast<size_t>(count));
    for (int index = 0; index < count; ++index) {
        const int length = std::max(0, static_cast<int>(SendMessageW(window, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0)));
        std::u16string text(static_cast<size_t>(length) + 1, u'\0');
        SendMessageW(window, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        texts_.push_back(rtl::Utf16ToCp1251(text));
    }
    known_ = true;
    return texts_;
}

int TListBoxStrings::Count() const { return static_cast<int>(Texts().size()); }

std::string TListBoxStrings::Get(int index) const {
    const std::vector<std::string>& texts = Texts();
    CheckIndex(index, static_cast<int>(texts.size()));
    return texts[static_cast<size_t>(index)];
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
    // Unless transparent it fills its rectangle: nothing is drawn beneath it.
    SetControlStyle(ControlStyle() | csOpaque);
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
    SetControlStyle(value ? ControlStyle() & ~static_cast<unsigned>(csOpaque) : ControlStyle() | csOpaque);
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

void TLabel::Invalidate() { InvalidateOnce(paintPending_); }

void TLabel::Paint(HDC dc) {
    paintPending_ = false;
    RECT r{0, 0, Width(), Height()};
    if (!transparent_) FillRect(dc, &r, SolidBrush(Color()));
    UINT format = DT_EXPANDTABS | DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
    if (alignment_ == taCenter) format |= DT_CENTER;
    else if (alignment_ == taRightJustify) format |= DT_RIGHT;
    DrawCaption(dc, *this, text_, r, format);
}

void TLabel::WndProc(TMessage& message) {
    // A new caption is invalidated here once, after the new size: the
    // progress labels of a run change with every battle.
    if (message.Msg != CM_TEXTCHANGED) TGraphicControl::WndProc(message);
    if (message.Msg == CM_TEXTCHANGED || message.Msg == CM_FONTCHANGED) {
        AdjustSize();
        Invalidate();
    }
}

// ---- TGroupBox

TGroupBox::TGroupBox(TComponent* owner) : TGroupBox(owner, NoHandle{}) { CreateHandle(); }

TGroupBox::TGroupBox(TComponent* owner, NoHandle) : TWinControl(owner) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
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
    if (message.Msg == WM_KEYDOWN) {
        // The arrows move the choice to the next or previous button, round the group.
        int step = message.WParam == VK_DOWN || message.WParam == VK_RIGHT ? 1
                   : message.WParam == VK_UP || message.WParam == VK_LEFT  ? -1
                                                                           : 0;
        const int count = static_cast<int>(group_->buttons_.size());
        if (step != 0 && count > 0) {
            TGroupButton* next = group_->buttons_[static_cast<size_t>((index_ + step + count) % count)];
            group_->SetItemIndex(next->index_);
            if (next->CanFocus()) next->SetFocus();
            return;
        }
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
    UpdateTabStops();
    ArrangeButtons();
}

// Tab reaches the group at its checked button, or at the first when none is.
void TRadioGroup::UpdateTabStops() {
    for (size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->SetTabStop(static_cast<int>(i) == std::max(itemIndex_, 0));
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
    UpdateTabStops();
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
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
    CreateHandle();
}

void TPanel::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WindowClass = u"TPanel";
    params.OwnClass = true;
    params.Style |= WS_CLIPCHILDREN;
    if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TPanel::SetBevelWidth(int value) {
    if (value < 1) value = 1;
    if (bevelWidth_ == value) return;
    bevelWidth_ = value;
    Invalidate();
}

void TPanel::SetBorderStyle(TBorderStyle value) {
    if (value != bsNone) value = bsSingle;
    if (borderStyle_ == value) return;
    borderStyle_ = value;
    if (value == bsSingle) SetExStyleBits(WS_EX_CLIENTEDGE, 0);
    else SetExStyleBits(0, WS_EX_CLIENTEDGE);
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
    TCanvas* canvas = Canvas();
    RECT r;
    GetClientRect(Handle(), &r);
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        for (int ring = 0; ring < bevelWidth_; ++ring)
            DrawEdge(canvas->Handle(), &r, cut == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    };
    bevel(bevelOuter_);
    bevel(bevelInner_);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (alignment_ == taCenter) format |= DT_CENTER;
    else if (alignment_ == taRightJustify) format |= DT_RIGHT;
    canvas->Font()->Assign(*Font());
    canvas->Brush()->SetStyle(bsClear);
    std::string text = GetText();
    if (Enabled()) {
        canvas->DrawText(text, r, format);
    } else {
        // Embossed: light one pixel down and right, then the shadow over it.
        OffsetRect(&r, 1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        canvas->DrawText(text, r, format);
        OffsetRect(&r, -1, -1);
        canvas->Font()->SetColor(clBtnShadow);
        canvas->DrawText(text, r, format);
    }
    canvas->Brush()->SetStyle(bsSolid);
}

void TPanel::WndProc(TMessage& message) {
    TCustomControl::WndProc(message);
    if (message.Msg == CM_TEXTCHANGED) Invalidate();
}

}  // namespace vcl
