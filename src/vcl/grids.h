// The string grid (a virtual grid drawn by itself: one window, any number
// of cells) and the value-list editor built on it.
#pragma once
#include "vcl/win.h"

#include <string>
#include <vector>

#include "vcl/stdctrls.h"

namespace vcl {

class TStringGrid;

// The editor laid over a cell while it is edited.
class TInplaceEdit : public TEdit {
public:
    explicit TInplaceEdit(TStringGrid* grid);
    const char* ClassName() const override { return "TInplaceEdit"; }

    // The text line placed where the grid draws a cell's text: centred in
    // the cell's height.
    void PlaceText();

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    TStringGrid* grid_;
};

class TStringGrid : public TCustomControl {
public:
    explicit TStringGrid(TComponent* owner);
    const char* ClassName() const override { return "TStringGrid"; }

    int ColCount() const { return colCount_; }
    void SetColCount(int value);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int value);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int value);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int value);

    // Any cell may be read and written, also beyond the shown counts; a cell
    // never written reads as "". A grid that shows cells kept elsewhere
    // overrides both.
    virtual std::string Cells(int col, int row) const;
    virtual void SetCells(int col, int row, const std::string& text);

    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int value);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int value);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);

    // Whether the user may edit cells in place.
    bool Editing() const { return editing_; }
    void SetEditing(bool value) { editing_ = value; }

    // The current cell.
    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCurrent(int col, int row);
    // The first scrollable column and row in view.
    int LeftCol() const { return leftCol_; }
    int TopRow() const { return topRow_; }
    void SetTopLeft(int leftCol, int topRow);
    // Rows and columns that fit in the window below the fixed ones.
    int VisibleRowCount() const;
    int VisibleColCount() const;

    // Starts editing the current cell; then commits or drops the edit.
    void ShowEditor();
    void HideEditor(bool commit);
    bool EditorShowing() const { return editor_ && editor_->Visible(); }
    TInplaceEdit* InplaceEditor() const { return editor_; }

    // Client rectangle of a cell in view (empty when it is not).
    RECT CellRect(int col, int row) const;
    // The cell at a client point; false when none.
    bool MouseToCell(int x, int y, int& col, int& row) const;

    // The colour of the fixed rows and columns.
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor value);

    TNotifyEvent OnSelectCell;

    bool GetOrdProp(const std::string& name, int64_t& value) const override;
    bool SetOrdProp(const std::string& name, int64_t value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(HDC dc) override;
    void WndProc(TMessage& message) override;
    virtual bool CanEditCell(int col, int row) const;

private:
    int ColLeft(int col) const;
    void UpdateScrollBars();
    void Scroll(int bar, int code);
    void ScrollInView(int col, int row);
    void KeyDown(WPARAM key);
    void CellsChanged(int col, int row);

    std::vector<std::vector<std::string>> cells_;  // by row, then column
    std::vector<int> colWidths_;
    int colCount_ = 5, rowCount_ = 5, fixedCols_ = 1, fixedRows_ = 1;
    int defaultColWidth_ = 64, defaultRowHeight_ = 24;
    int col_ = 1, row_ = 1, leftCol_ = 1, topRow_ = 1;
    bool editing_ = false;
    bool paintPending_ = false;
    TColor fixedColor_ = clBtnFace;
    int editCol_ = -1, editRow_ = -1;
    TInplaceEdit* editor_ = nullptr;
};

// Named values under a title row: entry k is grid row k + 1, the key in
// column 0 (not editable by the user) and the value in column 1.
class TValueListEditor : public TStringGrid {
public:
    explicit TValueListEditor(TComponent* owner);
    const char* ClassName() const override { return "TValueListEditor"; }

    TStrings* TitleCaptions() { return &titles_; }
    // Number of entries.
    int Count() const { return count_; }
    // Adds an entry (at the end when `append`, else before the first);
    // the key is taken whole, "=" and all. Returns the entry's row.
    int InsertRow(const std::string& key, const std::string& value, bool append);
    void DeleteRow(int row);
    void Clear();
    // By grid row (entry k at row k + 1).
    std::string Keys(int row) const;
    void SetKeys(int row, const std::string& key);
    std::string Values(int row) const;
    void SetValues(int row, const std::string& value);
    // Replaces every entry by those of another editor.
    void AssignEntries(const TValueListEditor& source);

protected:
    bool CanEditCell(int col, int row) const override;

private:
    void CheckRow(int row) const;
    void ShowTitles();
    TStringList titles_;
    int count_ = 0;
};

}  // namespace vcl
