#include "vcl/grids.h"

#include <algorithm>

#include "rtl/convert.h"
#include "vcl/wintext.h"

namespace vcl {

// ---- TInplaceEdit

TInplaceEdit::TInplaceEdit(TStringGrid* grid) : TEdit(grid, NoHandle{}), grid_(grid) {
    SetTabStop(false);
    SetVisible(false);
    CreateHandle();
    SetParent(grid);
    SetWindowLongPtrW(Handle(), GWL_EXSTYLE, 0);
}

// A multi-line edit is the one whose text line can be placed in its window;
// it never gets a line break (see WndProc and HideEditor).
void TInplaceEdit::CreateParams(TCreateParams& params) {
    TEdit::CreateParams(params);
    params.Style |= ES_MULTILINE;
}

void TInplaceEdit::PlaceText() {
    if (!HandleAllocated()) return;
    RECT client;
    GetClientRect(Handle(), &client);
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    client.top = (client.bottom - tm.tmHeight) / 2;
    SendMessageW(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&client));
}

void TInplaceEdit::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_SIZE:
    case WM_SETFONT:
        TEdit::WndProc(message);
        PlaceText();
        return;
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_KEYDOWN:
        if (message.WParam == VK_RETURN || message.WParam == VK_ESCAPE) {
            grid_->HideEditor(message.WParam == VK_RETURN);
            grid_->SetFocus();
            return;
        }
        // The cell has one line: Up, Down, PageUp and PageDown end its edit,
        // keeping the text, and move as on the grid. Left, Right, Home and
        // End stay with the caret.
        if (message.WParam == VK_UP || message.WParam == VK_DOWN || message.WParam == VK_PRIOR ||
            message.WParam == VK_NEXT) {
            grid_->HideEditor(true);
            grid_->SetFocus();
            grid_->Perform(WM_KEYDOWN, message.WParam, message.LParam);
            return;
        }
        break;
    case WM_CHAR:
        if (message.WParam == VK_RETURN || message.WParam == VK_ESCAPE || message.WParam == '\n') return;
        break;
    case WM_KILLFOCUS:
        TEdit::WndProc(message);
        if (Visible()) grid_->HideEditor(true);
        return;
    }
    TEdit::WndProc(message);
}

// ---- TStringGrid

TStringGrid::TStringGrid(TComponent* owner) : TCustomControl(owner) {
    // Every pixel of the client area is a cell, a grid line or the empty rest.
    SetControlStyle(ControlStyle() | csOpaque);
    SetBounds(0, 0, 320, 120);
    SetColor(clWindow);
    SetTabStop(true);
    colWidths_.assign(static_cast<size_t>(colCount_), defaultColWidth_);
    CreateHandle();
    UpdateScrollBars();
}

void TStringGrid::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WindowClass = u"TStringGrid";
    params.OwnClass = true;
    params.Style |= WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

std::string TStringGrid::Cells(int col, int row) const {
    if (row < 0 || col < 0 || row >= static_cast<int>(cells_.size())) return {};
    const auto& line = cells_[static_cast<size_t>(row)];
    return col < static_cast<int>(line.size()) ? line[static_cast<size_t>(col)] : std::string();
}

void TStringGrid::SetCells(int col, int row, const std::string& text) {
    if (row < 0 || col < 0) throw EListError(row < 0 ? row : col);
    ++changes_;
    if (row >= static_cast<int>(cells_.size())) {
        if (text.empty()) return;
        cells_.resize(static_cast<size_t>(row) + 1);
    }
    auto& line = cells_[static_cast<size_t>(row)];
    if (col >= static_cast<int>(line.size())) {
        if (text.empty()) return;
        line.resize(static_cast<size_t>(std::max(col + 1, colCount_)));
    }
    line[static_cast<size_t>(col)] = text;
    CellsChanged(col, row);
}

void TStringGrid::CellsChanged(int col, int row) {
    if (paintPending_ || !HandleAllocated()) return;
    bool rowShown = row < fixedRows_ || (row >= topRow_ && row < topRow_ + VisibleRowCount() + 1);
    bool colShown = col < fixedCols_ || (col >= leftCol_ && col < leftCol_ + VisibleColCount() + 1);
    if (rowShown && colShown) {
        // Many cells change at once when a table loads: one repaint for all.
        paintPending_ = true;
        InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void TStringGrid::SetColCount(int value) {
    value = std::max(value, 1);
    ++changes_;
    colCount_ = value;
    colWidths_.resize(static_cast<size_t>(value), defaultColWidth_);
    fixedCols_ = std::min(fixedCols_, value - 1 < 0 ? 0 : value - 1);
    col_ = std::clamp(col_, fixedCols_, value - 1);
    leftCol_ = std::clamp(leftCol_, fixedCols_, value - 1);
    UpdateScrollBars();
    Invalidate();
}

void TStringGrid::SetRowCount(int value) {
    value = std::max(value, 1);
    ++changes_;
    rowCount_ = value;
    fixedRows_ = std::min(fixedRows_, value - 1 < 0 ? 0 : value - 1);
    row_ = std::clamp(row_, fixedRows_, value - 1);
    topRow_ = std::clamp(topRow_, fixedRows_, value - 1);
    UpdateScrollBars();
    Invalidate();
}

void TStringGrid::SetFixedCols(int value) {
    fixedCols_ = std::clamp(value, 0, colCount_ - 1);
    col_ = fixedCols_;
    leftCol_ = fixedCols_;
    UpdateScrollBars();
    Invalidate();
}

void TStringGrid::SetFixedRows(int value) {
    fixedRows_ = std::clamp(value, 0, rowCount_ - 1);
    row_ = fixedRows_;
    topRow_ = fixedRows_;
    UpdateScrollBars();
    Invalidate();
}

void TStringGrid::SetDefaultColWidth(int value) {
    defaultColWidth_ = value;
    std::fill(colWidths_.begin(), colWidths_.end(), value);
    UpdateScrollBars();
    Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int value) {
    defaultRowHeight_ = std::max(value, 1);
    UpdateScrollBars();
    Invalidate();
}

int TStringGrid::ColWidths(int col) const {
    if (col < 0 || col >= colCount_) throw EListError(col);
    return colWidths_[static_cast<size_t>(col)];
}

void TStringGrid::SetColWidths(int col, int width) {
    if (col < 0 || col >= colCount_) throw EListError(col);
    colWidths_[static_cast<size_t>(col)] = std::max(width, 0);
    UpdateScrollBars();
    Invalidate();
}

int TStringGrid::VisibleRowCount() const {
    int height = ClientHeight() - fixedRows_ * (defaultRowHeight_ + 1);
    return std::max(1, height / (defaultRowHeight_ + 1));
}

int TStringGrid::VisibleColCount() const {
    int width = ClientWidth();
    for (int c = 0; c < fixedCols_; ++c) width -= colWidths_[static_cast<size_t>(c)] + 1;
    int count = 0;
    for (int c = leftCol_; c < colCount_ && width >= colWidths_[static_cast<size_t>(c)] + 1; ++c) {
        width -= colWidths_[static_cast<size_t>(c)] + 1;
        ++count;
    }
    return std::max(1, count);
}

int TStringGrid::ColLeft(int col) const {
    int x = 0;
    for (int c = 0; c < fixedCols_ && c < col; ++c) x += colWidths_[static_cast<size_t>(c)] + 1;
    if (col < fixedCols_) return x;
    if (col < leftCol_) return -1;
    for (int c = leftCol_; c < col; ++c) x += colWidths_[static_cast<size_t>(c)] + 1;
    return x;
}

RECT TStringGrid::CellRect(int col, int row) const {
    RECT empty{0, 0, 0, 0};
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return empty;
    int x = ColLeft(col);
    if (x < 0 || x > ClientWidth()) return empty;
    int y;
    if (row < fixedRows_) y = row * (defaultRowHeight_ + 1);
    else if (row < topRow_) return empty;
    else y = fixedRows_ * (defaultRowHeight_ + 1) + (row - topRow_) * (defaultRowHeight_ + 1);
    if (y > ClientHeight()) return empty;
    return RECT{x, y, x + colWidths_[static_cast<size_t>(col)], y + defaultRowHeight_};
}

bool TStringGrid::MouseToCell(int x, int y, int& col, int& row) const {
    int fixedHeight = fixedRows_ * (defaultRowHeight_ + 1);
    if (y < fixedHeight) row = y / (defaultRowHeight_ + 1);
    else row = topRow_ + (y - fixedHeight) / (defaultRowHeight_ + 1);
    col = -1;
    int left = 0;
    for (int c = 0; c < colCount_; ++c) {
        if (c >= fixedCols_ && c < leftCol_) continue;
        int right = left + colWidths_[static_cast<size_t>(c)] + 1;
        if (x >= left && x < right) {
            col = c;
            break;
        }
        left = right;
        if (left > ClientWidth()) break;
    }
    return col >= 0 && row >= 0 && row < rowCount_;
}

void TStringGrid::UpdateScrollBars() {
    if (!HandleAllocated()) return;
    SCROLLINFO vertical = {sizeof(vertical), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, fixedRows_,
                           rowCount_ - 1, static_cast<UINT>(VisibleRowCount()), topRow_, 0};
    SetScrollInfo(Handle(), SB_VERT, &vertical, TRUE);
    SCROLLINFO horizontal = {sizeof(horizontal), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, fixedCols_,
                             colCount_ - 1, static_cast<UINT>(VisibleColCount()), leftCol_, 0};
    SetScrollInfo(Handle(), SB_HORZ, &horizontal, TRUE);
}

void TStringGrid::SetTopLeft(int leftCol, int topRow) {
    int maxTop = std::max(fixedRows_, rowCount_ - VisibleRowCount());
    int maxLeft = fixedCols_;
    {
        // The last left column that still fills the window.
        int width = ClientWidth();
        for (int c = 0; c < fixedCols_; ++c) width -= colWidths_[static_cast<size_t>(c)] + 1;
        int c = colCount_ - 1;
        while (c > fixedCols_ && width - (colWidths_[static_cast<size_t>(c)] + 1) >= colWidths_[static_cast<size_t>(c - 1)] + 1) {
            width -= colWidths_[static_cast<size_t>(c)] + 1;
            --c;
        }
        maxLeft = std::max(fixedCols_, c);
    }
    leftCol = std::clamp(leftCol, fixedCols_, maxLeft);
    topRow = std::clamp(topRow, fixedRows_, maxTop);
    if (leftCol == leftCol_ && topRow == topRow_) return;
    HideEditor(true);
    leftCol_ = leftCol;
    topRow_ = topRow;
    UpdateScrollBars();
    Invalidate();
}

void TStringGrid::ScrollInView(int col, int row) {
    int left = leftCol_, top = topRow_;
    if (row >= fixedRows_) {
        if (row < top) top = row;
        else if (row >= top + VisibleRowCount()) top = row - VisibleRowCount() + 1;
    }
    if (col >= fixedCols_) {
        if (col < left) left = col;
        while (col >= left + VisibleColCount() && left < col) ++left;
    }
    SetTopLeft(left, top);
}

void TStringGrid::SetCurrent(int col, int row) {
    col = std::clamp(col, fixedCols_, colCount_ - 1);
    row = std::clamp(row, fixedRows_, rowCount_ - 1);
    if (col == col_ && row == row_) return;
    HideEditor(true);
    col_ = col;
    row_ = row;
    ScrollInView(col, row);
    Invalidate();
    if (OnSelectCell) OnSelectCell(this);
}

void TStringGrid::Scroll(int bar, int code) {
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(Handle(), bar, &info);
    int pos = bar == SB_VERT ? topRow_ : leftCol_;
    int page = std::max(1, static_cast<int>(info.nPage));
    switch (code) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = info.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = bar == SB_VERT ? rowCount_ : colCount_; break;
    default: return;
    }
    if (bar == SB_VERT) SetTopLeft(leftCol_, pos);
    else SetTopLeft(pos, topRow_);
}

bool TStringGrid::CanEditCell(int col, int row) const {
    return editing_ && col >= fixedCols_ && row >= fixedRows_;
}

void TStringGrid::ShowEditor() {
    if (!CanEditCell(col_, row_)) return;
    ScrollInView(col_, row_);
    if (!editor_) editor_ = new TInplaceEdit(this);
    RECT r = CellRect(col_, row_);
    editCol_ = col_;
    editRow_ = row_;
    editor_->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    editor_->PlaceText();
    editor_->SetText(Cells(col_, row_));
    editor_->Show();
    editor_->SetFocus();
    SendMessageW(editor_->Handle(), EM_SETSEL, 0, -1);
}

void TStringGrid::HideEditor(bool commit) {
    if (!editor_ || !editor_->Visible()) return;
    std::string text = editor_->Text();
    // A cell holds one line: pasted lines end at the first break, as in a
    // one-line edit.
    text = text.substr(0, text.find_first_of("\r\n"));
    editor_->Hide();
    if (commit && editCol_ >= 0) SetCells(editCol_, editRow_, text);
    editCol_ = editRow_ = -1;
    Invalidate();
}

void TStringGrid::KeyDown(WPARAM key) {
    switch (key) {
    case VK_UP: SetCurrent(col_, row_ - 1); break;
    case VK_DOWN: SetCurrent(col_, row_ + 1); break;
    case VK_LEFT: SetCurrent(col_ - 1, row_); break;
    case VK_RIGHT: SetCurrent(col_ + 1, row_); break;
    case VK_PRIOR: SetCurrent(col_, row_ - VisibleRowCount()); break;
    case VK_NEXT: SetCurrent(col_, row_ + VisibleRowCount()); break;
    case VK_HOME: SetCurrent(fixedCols_, row_); break;
    case VK_END: SetCurrent(colCount_ - 1, row_); break;
    case VK_F2:
    case VK_RETURN: ShowEditor(); break;
    }
}

void TStringGrid::SetFixedColor(TColor value) {
    if (fixedColor_ == value) return;
    fixedColor_ = value;
    Invalidate();
}

bool TStringGrid::GetOrdProp(const std::string& name, int64_t& value) const {
    if (name == "FixedColor") {
        value = fixedColor_;
        return true;
    }
    return TCustomControl::GetOrdProp(name, value);
}

bool TStringGrid::SetOrdProp(const std::string& name, int64_t value) {
    if (name == "FixedColor") {
        SetFixedColor(static_cast<TColor>(value));
        return true;
    }
    return TCustomControl::SetOrdProp(name, value);
}

void TStringGrid::PaintWindow(HDC dc) {
    paintPending_ = false;
    TCanvas* canvas = Canvas();
    RECT client;
    GetClientRect(Handle(), &client);
    canvas->Font()->Assign(*Font());
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->FillRect(client);
    auto paintRow = [&](int row, int y) {
        int x = 0;
        auto paintCell = [&](int col) {
            RECT cell{x, y, x + colWidths_[static_cast<size_t>(col)], y + defaultRowHeight_};
            bool isFixed = col < fixedCols_ || row < fixedRows_;
            bool current = col == col_ && row == row_;
            bool selected = current && Focused() && !isFixed;
            canvas->Brush()->SetColor(isFixed ? fixedColor_ : selected ? clHighlight : Color());
            canvas->FillRect(cell);
            if (isFixed) {
                RECT edge = cell;
                DrawEdge(canvas->Handle(), &edge, BDR_RAISEDINNER, BF_RECT);
            }
            std::string text = Cells(col, row);
            if (!text.empty()) {
                canvas->Font()->SetColor(selected ? clHighlightText : Font()->Color());
                canvas->Brush()->SetStyle(bsClear);
                RECT inner{cell.left + 2, cell.top, cell.right - 2, cell.bottom};
                canvas->DrawText(text, inner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
                canvas->Brush()->SetStyle(bsSolid);
            }
            if (current && !isFixed) DrawFocusRect(canvas->Handle(), &cell);
            x = cell.right + 1;
        };
        for (int col = 0; col < fixedCols_; ++col) paintCell(col);
        for (int col = leftCol_; col < colCount_ && x < client.right; ++col) paintCell(col);
        if (x < client.right) {
            canvas->Brush()->SetColor(Color());
            canvas->FillRect(RECT{x, y, client.right, y + defaultRowHeight_ + 1});
        }
    };
    int y = 0;
    for (int row = 0; row < fixedRows_; ++row, y += defaultRowHeight_ + 1) paintRow(row, y);
    for (int row = topRow_; row < rowCount_ && y < client.bottom; ++row, y += defaultRowHeight_ + 1) paintRow(row, y);
    if (y < client.bottom) {
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(RECT{0, y, client.right, client.bottom});
    }
}

void TStringGrid::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_ERASEBKGND:
        message.Result = 1;
        return;
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_VSCROLL:
        if (!message.LParam) {
            Scroll(SB_VERT, LOWORD(message.WParam));
            return;
        }
        break;
    case WM_HSCROLL:
        if (!message.LParam) {
            Scroll(SB_HORZ, LOWORD(message.WParam));
            return;
        }
        break;
    case CM_MOUSEWHEEL:
        SetTopLeft(leftCol_, topRow_ + (static_cast<short>(HIWORD(message.WParam)) > 0 ? -3 : 3));
        message.Result = 1;
        return;
    case WM_LBUTTONDOWN: {
        SetFocus();
        int col, row;
        if (MouseToCell(static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam)), col, row) &&
            col >= fixedCols_ && row >= fixedRows_)
            SetCurrent(col, row);
        return;
    }
    case WM_LBUTTONDBLCLK:
        ShowEditor();
        return;
    case WM_KEYDOWN:
        KeyDown(message.WParam);
        return;
    case WM_CHAR:
        // A key typed on the chosen cell starts its edit, the cell's text
        // selected: a character replaces it, BackSpace empties it.
        if ((message.WParam >= 32 || message.WParam == VK_BACK) && CanEditCell(col_, row_)) {
            ShowEditor();
            if (editor_ && editor_->Visible()) SendMessageW(editor_->Handle(), WM_CHAR, message.WParam, message.LParam);
        }
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TCustomControl::WndProc(message);
        Invalidate();
        return;
    case WM_SIZE:
        TCustomControl::WndProc(message);
        UpdateScrollBars();
        return;
    }
    TCustomControl::WndProc(message);
}

// ---- TValueListEditor

TValueListEditor::TValueListEditor(TComponent* owner) : TStringGrid(owner) {
    SetColCount(2);
    SetRowCount(2);
    SetFixedCols(0);
    SetFixedRows(1);
    SetEditing(true);
    SetDefaultRowHeight(18);
    SetColWidths(0, 150);
    SetColWidths(1, 150);
    titles_.Add("Key");
    titles_.Add("Value");
    titles_.OnChange = [this](TObject*) { ShowTitles(); };
    ShowTitles();
}

void TValueListEditor::ShowTitles() {
    SetCells(0, 0, titles_.Count() > 0 ? titles_.Get(0) : std::string());
    SetCells(1, 0, titles_.Count() > 1 ? titles_.Get(1) : std::string());
}

bool TValueListEditor::CanEditCell(int col, int row) const {
    return col == 1 && row >= 1 && row <= count_ && Editing();
}

void TValueListEditor::CheckRow(int row) const {
    if (row < 1 || row > count_) throw EListError(row - 1);
}

int TValueListEditor::InsertRow(const std::string& key, const std::string& value, bool append) {
    HideEditor(true);
    int row = append ? count_ + 1 : 1;
    ++count_;
    SetRowCount(std::max(2, count_ + 1));
    for (int r = count_; r > row; --r) {
        SetCells(0, r, Cells(0, r - 1));
        SetCells(1, r, Cells(1, r - 1));
    }
    SetCells(0, row, key);
    SetCells(1, row, value);
    return row;
}

void TValueListEditor::DeleteRow(int row) {
    CheckRow(row);
    HideEditor(false);
    for (int r = row; r < count_; ++r) {
        SetCells(0, r, Cells(0, r + 1));
        SetCells(1, r, Cells(1, r + 1));
    }
    SetCells(0, count_, "");
    SetCells(1, count_, "");
    --count_;
    SetRowCount(std::max(2, count_ + 1));
}

void TValueListEditor::Clear() {
    HideEditor(false);
    for (int r = 1; r <= count_; ++r) {
        SetCells(0, r, "");
        SetCells(1, r, "");
    }
    count_ = 0;
    SetRowCount(2);
    SetTopLeft(0, 1);
}

std::string TValueListEditor::Keys(int row) const {
    CheckRow(row);
    return Cells(0, row);
}

void TValueListEditor::SetKeys(int row, const std::string& key) {
    CheckRow(row);
    SetCells(0, row, key);
}

std::string TValueListEditor::Values(int row) const {
    CheckRow(row);
    return Cells(1, row);
}

void TValueListEditor::SetValues(int row, const std::string& value) {
    CheckRow(row);
    SetCells(1, row, value);
}

void TValueListEditor::AssignEntries(const TValueListEditor& source) {
    if (&source == this) return;
    Clear();
    for (int r = 1; r <= source.count_; ++r) InsertRow(source.Cells(0, r), source.Cells(1, r), true);
}

}  // namespace vcl
