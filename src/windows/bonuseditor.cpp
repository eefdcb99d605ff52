#include "windows/bonuseditor.h"

#include <algorithm>
#include <tuple>

#include "battle/datatable.h"
#include "battle/inputcheck.h"
#include "rtl/convert.h"
#include "windows/dataform.h"
#include "windows/mainteme.h"

using namespace vcl;
using namespace battle;

namespace {

constexpr int kRight = 240;      // the fields' column
constexpr int kFieldLeft = 430;  // the percentages' edits
constexpr int kRightWidth = 412;

}  // namespace

// ---- TBonusEditor

TBonusEditor::TBonusEditor(TComponent* owner, const Band& band, const Captions& captions)
    : TForm(owner), band_(band), captions_(captions) {
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetClientSize(kRight + kRightWidth + 8, 480);
    NewLabel("Label1", 8, 8, 220, captions.list);
    ListBox1 = Declare<TListBox>(this, "ListBox1")
                   .Bounds(8, 28, 220, 338)
                   .OnClick(Bind(this, &TBonusEditor::ListBox1Click));
    NewLabel("Label2", kRight, 8, kRightWidth, captions.name);
    Edit4 = Declare<TEdit>(this, "Edit4").Bounds(kRight, 28, kRightWidth, 21);
    auto percent = [this](const char* label, const char* edit, int top, const char* caption) {
        NewLabel(label, kRight, top, kFieldLeft - kRight - 8, caption);
        return static_cast<TEdit*>(Declare<TEdit>(this, edit).Bounds(kFieldLeft, top, 100, 21).Text("0"));
    };
    Edit1 = percent("Label3", "Edit1", 60, captions.attack);
    Edit2 = percent("Label4", "Edit2", 86, captions.shields);
    Edit3 = percent("Label6", "Edit3", 112, captions.structure);
    // Set from code while a row opens, the name renames its item too: harmless.
    Edit4->OnChange = Bind(this, &TBonusEditor::Edit4Change);
    Timer1 = DeclareTimer(this, "Timer1", 1000, true, Bind(this, &TBonusEditor::Timer1Timer));
}

TLabel* TBonusEditor::NewLabel(const std::string& name, int left, int top, int width, const char* caption) {
    return Declare<TLabel>(this, name)
        .With([](TLabel* label) { label->SetAutoSize(false); })
        .Bounds(left, top + 3, width, 16)
        .Caption(caption);
}

void TBonusEditor::Timer1Timer(TObject*) {
    Timer1->SetEnabled(false);
    current_ = -1;
    ListBox1->Items()->Clear();
    ListExtra();
    const DataTable& table = GameTable();
    rows_ = RowsOfKind(table, band_.first, band_.last, band_.kind);
    ListBox1->Items()->BeginUpdate();
    for (uint16_t row : rows_) ListBox1->Items()->Add(table.Cell(kColName, row));
    ListBox1->Items()->EndUpdate();
    Listed();
}

int TBonusEditor::ListPosition(int row) const {
    auto found = std::find(rows_.begin(), rows_.end(), row);
    return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

bool TBonusEditor::StoreOpenRow() {
    if (current_ < 0) return true;
    // Every value in the form the table keeps, checked by its cell's rule
    // and named by its caption here.
    FieldCheck check;
    std::vector<std::pair<int, std::string>> cells;
    for (auto [col, caption, edit] : {std::tuple{kColName, captions_.name, Edit4},
                                      std::tuple{kColBonusAttack, captions_.attack, Edit1},
                                      std::tuple{kColBonusShields, captions_.shields, Edit2},
                                      std::tuple{kColBonusStructure, captions_.structure, Edit3}})
        cells.emplace_back(col, check.Cell(*CellRuleFor(band_.kind, {}, col), edit->Text(), caption));
    if (!check.Report(Caption())) return false;
    for (const auto& [col, text] : cells) GameTable().SetCell(col, current_, text);
    StoreFields(current_);
    Form4->RefreshGrid();
    return true;
}

bool TBonusEditor::StoreAndSave() {
    if (RefuseWhileRunning() || !StoreOpenRow()) return false;
    SaveDataBase();
    return true;
}

void TBonusEditor::Open(int row) {
    const DataTable& table = GameTable();
    current_ = row;
    Edit4->SetText(table.Cell(kColName, row));
    Edit1->SetText(table.Cell(kColBonusAttack, row));
    Edit2->SetText(table.Cell(kColBonusShields, row));
    Edit3->SetText(table.Cell(kColBonusStructure, row));
    OpenFields(row);
}

void TBonusEditor::ListBox1Click(TObject*) {
    const int index = ListBox1->ItemIndex();
    if (index < 0 || index >= static_cast<int>(rows_.size())) return;
    const int row = rows_[static_cast<size_t>(index)];
    if (row == current_) return;
    // Moving on stores the open row: not during a battle, which keeps the row chosen.
    if ((current_ >= 0 && RefuseWhileRunning()) || !StoreOpenRow()) {
        // The refused values stay in the window, with their row chosen.
        ListBox1->SetItemIndex(ListPosition(current_));
        return;
    }
    Open(row);
}

void TBonusEditor::Edit4Change(TObject*) {
    const int position = current_ < 0 ? -1 : ListPosition(current_);
    if (position >= 0) ListBox1->Items()->Put(position, Edit4->Text());
}

void TBonusEditor::NewRow() {
    if (RefuseWhileRunning()) return;
    DataTable& table = GameTable();
    int row = band_.first;
    while (row <= band_.last && table.Cell(kColKind, row) == band_.kind) ++row;
    if (row > band_.last) {
        Tell(band_.fullText, Caption());
        return;
    }
    // The row keeps what it held before besides its name and kind; a
    // bonus it never had (a row never used) starts at 0, not empty, so that
    // the new row can be saved and fought with as it is.
    ListBox1->Items()->Add(band_.newName);
    rows_.push_back(static_cast<uint16_t>(row));
    table.SetCell(kColName, row, band_.newName);
    table.SetCell(kColKind, row, band_.kind);
    for (int col : {kColBonusAttack, kColBonusShields, kColBonusStructure}) {
        int64_t value = 0;
        if (!rtl::TryStrToInt64(table.Cell(col, row), value)) table.SetCell(col, row, "0");
    }
    Form4->RefreshGrid();
}

void TBonusEditor::DeleteChosen() {
    if (RefuseWhileRunning()) return;
    const int index = ListBox1->ItemIndex();
    if (index < 0 || index >= static_cast<int>(rows_.size())) return;
    const int row = rows_[static_cast<size_t>(index)];
    // The listing forgets the open row: what was typed into it is stored first.
    if (row != current_ && !StoreOpenRow()) return;
    GameTable().SetCell(kColKind, row, kKindFree);
    Form4->RefreshGrid();
    current_ = -1;
    Timer1->SetEnabled(true);
}

// The reload replaces the table the battle reads: refused during a run, and
// then the window stays open with what was typed.
bool TBonusEditor::Discard() {
    if (RefuseWhileRunning()) return false;
    Form4->Button2Click(nullptr);
    // Until the listing nothing typed may reach the reloaded table.
    current_ = -1;
    ListBox1->SetItemIndex(-1);
    Timer1->SetEnabled(true);
    return true;
}

// ---- TUnitBonusEditor

TUnitBonusEditor::TUnitBonusEditor(TComponent* owner, const Band& band, const Captions& captions, const Texts& texts)
    : TBonusEditor(owner, band, captions) {
    Label5 = NewLabel("Label5", kRight, 138, kFieldLeft - kRight - 8, "Название для анализатора");
    Edit5 = Declare<TEdit>(this, "Edit5").Bounds(kFieldLeft, 138, kRight + kRightWidth - kFieldLeft, 21);
    NewLabel("Label7", kRight, 168, kRightWidth, "корабли на которые влияет технология");
    CheckListBox1 = Declare<TCheckListBox>(this, "CheckListBox1").Bounds(kRight, 188, kRightWidth, 244);

    Button2 = Declare<TButton>(this, "Button2")
                  .Bounds(8, 374, 220, 27)
                  .Caption(texts.newButton)
                  .OnClick(Bind(this, &TUnitBonusEditor::Button2Click));
    Button3 = Declare<TButton>(this, "Button3")
                  .Bounds(8, 405, 220, 27)
                  .Caption(texts.deleteButton)
                  .OnClick(Bind(this, &TUnitBonusEditor::Button3Click));
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(kRight, 444, 120, 28)
                  .Caption("Сохранить")
                  .OnClick([this](TObject* sender) { Button1Click(sender); });
    Button4 = Declare<TButton>(this, "Button4")
                  .Bounds(kRight + 128, 444, 160, 28)
                  .Caption("Отменить изменения")
                  .OnClick(Bind(this, &TUnitBonusEditor::Button4Click));
    Button5 = Declare<TButton>(this, "Button5")
                  .Bounds(kRight + kRightWidth - 116, 444, 116, 28)
                  .Caption("закрыть")
                  .OnClick(Bind(this, &TUnitBonusEditor::Button5Click));
}

void TUnitBonusEditor::ListExtra() {
    const DataTable& table = GameTable();
    CheckListBox1->Items()->Clear();
    unitRows_ = RowsOfKind(table, kUnitFirstRow, kLastRow, kKindUnit);
    CheckListBox1->Items()->BeginUpdate();
    for (uint16_t row : unitRows_) CheckListBox1->Items()->Add(table.Cell(kColName, row));
    CheckListBox1->Items()->EndUpdate();
}

void TUnitBonusEditor::StoreFields(int row) {
    DataTable& table = GameTable();
    table.SetCell(kColSpyName, row, Edit5->Text());
    const int count = std::min<int>(CheckListBox1->Items()->Count(), static_cast<int>(unitRows_.size()));
    for (int k = 0; k < count; ++k)
        table.SetCell(unitRows_[static_cast<size_t>(k)], row, CheckListBox1->Checked(k) ? "1" : "0");
}

void TUnitBonusEditor::OpenFields(int row) {
    const DataTable& table = GameTable();
    Edit5->SetText(table.Cell(kColSpyName, row));
    const int count = std::min<int>(CheckListBox1->Items()->Count(), static_cast<int>(unitRows_.size()));
    for (int k = 0; k < count; ++k)
        CheckListBox1->SetChecked(k, table.Cell(unitRows_[static_cast<size_t>(k)], row) == "1");
}

void TUnitBonusEditor::Button1Click(TObject*) { StoreAndSave(); }
void TUnitBonusEditor::Button2Click(TObject*) { NewRow(); }
void TUnitBonusEditor::Button3Click(TObject*) { DeleteChosen(); }
void TUnitBonusEditor::Button4Click(TObject*) { Discard(); }

void TUnitBonusEditor::Button5Click(TObject*) {
    if (Discard()) Close();
}
