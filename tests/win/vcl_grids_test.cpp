// The string grid and the value-list editor.
#include "gtest_windows.h"
#include "support/real_input.h"
#include "support/vcl_test_support.h"

using namespace vcl;
using vcltest::Pump;

namespace {

struct GridFixture : ::testing::Test {
    void SetUp() override {
        form = NewForm<TForm>(nullptr);
        form->SetClientSize(600, 400);
        form->Show();
    }
    void TearDown() override { form->Free(); }
    TForm* form = nullptr;
};

}  // namespace

using Grids = GridFixture;

TEST_F(Grids, CellsBeyondTheShownCountsAreKeptAndEmptyCellsReadEmpty) {
    auto* grid = new TStringGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 600, 300);
    grid->SetColCount(630);
    grid->SetRowCount(600);
    grid->SetFixedCols(0);
    grid->SetFixedRows(0);
    for (int row = 0; row <= 600; ++row)
        for (int col = 0; col <= 630; ++col) grid->SetCells(col, row, std::to_string(col + row));
    EXPECT_EQ(grid->Cells(630, 600), "1230");
    EXPECT_EQ(grid->Cells(0, 600), "600");
    EXPECT_EQ(grid->Cells(631, 0), "");
    EXPECT_EQ(grid->Cells(5, 9000), "");
    grid->SetCells(3, 3, "");
    EXPECT_EQ(grid->Cells(3, 3), "");
    EXPECT_THROW(grid->SetCells(-1, 0, "x"), EListError);
    Pump();  // the whole table paints once
    // Scrolling to the far corner shows the last shown row and column.
    grid->SetTopLeft(10000, 10000);
    EXPECT_EQ(grid->TopRow(), 600 - grid->VisibleRowCount());
    EXPECT_GT(grid->LeftCol(), 620);
    SendMessageW(grid->Handle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(grid->TopRow(), 0);
    SendMessageW(grid->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(grid->TopRow(), grid->VisibleRowCount());
}

TEST_F(Grids, CellsAreEditedInPlaceAndEscapeDropsTheEdit) {
    auto* grid = new TStringGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 400, 200);
    grid->SetEditing(true);
    grid->SetColWidths(1, 100);
    grid->SetCells(1, 1, "30");
    grid->SetFocus();
    RECT cell = grid->CellRect(1, 1);
    EXPECT_EQ(cell.right - cell.left, 100);
    SendMessageW(grid->Handle(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(cell.left + 5, cell.top + 5));
    ASSERT_TRUE(grid->EditorShowing());
    vcltest::TypeText(grid->InplaceEditor(), "45");
    vcltest::PressKey(grid->InplaceEditor(), VK_RETURN);
    EXPECT_FALSE(grid->EditorShowing());
    EXPECT_EQ(grid->Cells(1, 1), "45");

    grid->ShowEditor();
    vcltest::TypeText(grid->InplaceEditor(), "99");
    vcltest::PressKey(grid->InplaceEditor(), VK_ESCAPE);
    EXPECT_EQ(grid->Cells(1, 1), "45");
    // Typed on the chosen cell, a character replaces its text and BackSpace empties it.
    SendMessageW(grid->Handle(), WM_CHAR, '7', 0);
    vcltest::PressKey(grid->InplaceEditor(), VK_RETURN);
    EXPECT_EQ(grid->Cells(1, 1), "7");
    SendMessageW(grid->Handle(), WM_CHAR, VK_BACK, 0);
    ASSERT_TRUE(grid->EditorShowing());
    vcltest::PressKey(grid->InplaceEditor(), VK_RETURN);
    EXPECT_EQ(grid->Cells(1, 1), "");
    // Fixed cells are never edited.
    grid->SetCurrent(0, 0);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
}

namespace {

// The first and last rows (from the cell's top) that hold dark ink in the
// cell's left 30 pixels, as the screen shows the grid.
std::pair<int, int> InkRows(TStringGrid* grid, const RECT& cell) {
    Pump();
    HDC dc = GetDC(grid->Handle());
    int first = -1, last = -1;
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.left + 30; ++x)
            if ((GetPixel(dc, x, y) & 0xFF) < 0x60) {
                if (first < 0) first = y - cell.top;
                last = y - cell.top;
            }
    ReleaseDC(grid->Handle(), dc);
    return {first, last};
}

}  // namespace

TEST_F(Grids, TheEditorShowsItsTextWhereTheCellShowsIt) {
    auto* grid = new TStringGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 400, 200);
    grid->SetEditing(true);
    grid->SetColWidths(1, 100);
    grid->SetCells(1, 1, "8080");
    grid->SetCells(1, 2, "8080");
    const RECT cell = grid->CellRect(1, 2);
    const std::pair<int, int> shown = InkRows(grid, cell);
    ASSERT_GE(shown.first, 2);
    grid->SetFocus();
    grid->SetCurrent(1, 2);
    grid->ShowEditor();
    ASSERT_TRUE(grid->EditorShowing());
    SendMessageW(grid->InplaceEditor()->Handle(), EM_SETSEL, static_cast<WPARAM>(-1), 0);
    HideCaret(grid->InplaceEditor()->Handle());
    EXPECT_EQ(InkRows(grid, cell), shown);
    // A line break typed or put in (as a paste does) never reaches the cell: its text is one line.
    SendMessageW(grid->InplaceEditor()->Handle(), WM_CHAR, '\n', 0);
    SendMessageW(grid->InplaceEditor()->Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"1\r\n2"));
    vcltest::PressKey(grid->InplaceEditor(), VK_RETURN);
    EXPECT_EQ(grid->Cells(1, 2).substr(0, 4), "8080");
    EXPECT_EQ(grid->Cells(1, 2).find_first_of("\r\n"), std::string::npos) << grid->Cells(1, 2);
}

TEST_F(Grids, ValueListEntriesKeepWholeKeysAndSitBelowTheTitleRow) {
    auto* list = new TValueListEditor(form);
    list->SetParent(form);
    list->SetBounds(0, 0, 300, 200);
    list->TitleCaptions()->Clear();
    list->TitleCaptions()->Add("Корабль");
    list->TitleCaptions()->Add("Количество");
    EXPECT_EQ(list->Cells(0, 0), "Корабль");
    EXPECT_EQ(list->Count(), 0);
    list->InsertRow("Крейсер=тяжелый", "0", true);
    list->InsertRow("", "5", true);
    list->InsertRow("Крейсер=тяжелый", "7", true);
    EXPECT_EQ(list->Count(), 3);
    EXPECT_EQ(list->Keys(1), "Крейсер=тяжелый");
    EXPECT_EQ(list->Values(2), "5");
    EXPECT_EQ(list->Keys(3), "Крейсер=тяжелый");
    list->SetValues(1, "12");
    EXPECT_EQ(list->Cells(1, 1), "12");
    EXPECT_THROW(list->Values(4), EListError);
    EXPECT_THROW(list->Keys(0), EListError);

    // Keys are not editable by the user; values are.
    list->SetFocus();
    list->SetCurrent(0, 2);
    list->ShowEditor();
    EXPECT_FALSE(list->EditorShowing());
    list->SetCurrent(1, 2);
    list->ShowEditor();
    ASSERT_TRUE(list->EditorShowing());
    vcltest::TypeText(list->InplaceEditor(), "abc");
    vcltest::PressKey(list->InplaceEditor(), VK_RETURN);
    EXPECT_EQ(list->Values(2), "abc");

    auto* copy = new TValueListEditor(form);
    copy->SetParent(form);
    copy->InsertRow("старое", "1", true);
    copy->AssignEntries(*list);
    EXPECT_EQ(copy->Count(), 3);
    EXPECT_EQ(copy->Keys(3), "Крейсер=тяжелый");
    EXPECT_EQ(copy->Values(3), "7");
    list->DeleteRow(1);
    EXPECT_EQ(list->Count(), 2);
    EXPECT_EQ(list->Values(1), "abc");
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->RowCount(), 2);
    EXPECT_EQ(list->Cells(0, 0), "Корабль");
}

TEST_F(Grids, UpDownPagesAndTabEndACellsEditAsOnTheGridLeftAndRightMoveTheCaret) {
    auto* list = new TValueListEditor(form);
    list->SetParent(form);
    list->SetBounds(0, 0, 300, 200);
    for (const char* name : {"Крейсер", "Линкор", "Бомбардировщик", "Уничтожитель"}) list->InsertRow(name, "0", true);
    SetForegroundWindow(form->Handle());
    Pump();
    // With the keyboard and the mouse as a player uses them: a click on a
    // count, then typing, arrows and Return.
    const RECT cell = list->CellRect(1, 1);
    POINT at{cell.left + 5, (cell.top + cell.bottom) / 2};
    ClientToScreen(list->Handle(), &at);
    inputtest::SendButton(at);
    Pump();
    ASSERT_EQ(list->Row(), 1);
    auto type = [](std::initializer_list<WORD> keys) {
        for (WORD key : keys) {
            inputtest::SendKey(key);
            Pump();
        }
    };
    type({'5', VK_DOWN, '6', VK_DOWN});
    EXPECT_FALSE(list->EditorShowing());
    EXPECT_EQ(list->Row(), 3);
    type({'7', VK_UP});
    EXPECT_EQ(list->Row(), 2);
    type({'1', '2', VK_LEFT, '3', VK_RETURN});
    EXPECT_EQ(list->Values(1), "5");
    EXPECT_EQ(list->Values(2), "132");
    EXPECT_EQ(list->Values(3), "7");
    EXPECT_EQ(list->Values(4), "0");
    EXPECT_EQ(list->Row(), 2);

    // PageDown and PageUp end the edit as well and move a page; Tab from a
    // cell being edited goes where it goes from the cell, the text kept.
    auto* next = new TEdit(form);
    next->SetParent(form);
    type({'9', VK_NEXT});
    EXPECT_EQ(list->Values(2), "9");
    EXPECT_EQ(list->Row(), 4);
    type({'8', VK_PRIOR, '4', VK_TAB});
    EXPECT_EQ(list->Values(4), "8");
    EXPECT_EQ(list->Values(1), "4");
    EXPECT_TRUE(next->Focused());
}
