#include "windows/editskr.h"

#include <algorithm>

#include "battle/datatable.h"
#include "windows/editor.h"
#include "windows/editorfields.h"
#include "windows/entrylists.h"
#include "windows/mainteme.h"

using namespace vcl;
using namespace battle;

TForm5* Form5 = nullptr;

TForm5::TForm5(TComponent* owner) : TForm(owner) {
    SetName("Form5");
    SetCaption("Скорострел от");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientSize(340, 480);
    SetBounds(400, 80, Width(), Height());
    ValueListEditor1 = DeclareEditor(this, "ValueListEditor1", "Юнит", "Значение", 8, 8, 324, 424);
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(8, 442, 190, 28)
                  .Caption("сохранить и закрыть")
                  .OnClick(Bind(this, &TForm5::Button1Click));
    Button2 = Declare<TButton>(this, "Button2")
                  .Bounds(232, 442, 100, 28)
                  .Caption("Закрыть")
                  .OnClick(Bind(this, &TForm5::Button2Click));
    Timer1 = DeclareTimer(this, "Timer1", 100, false, Bind(this, &TForm5::Timer1Timer));
}

void TForm5::Timer1Timer(TObject*) {
    // Once: a second listing would throw away what the player typed.
    Timer1->SetEnabled(false);
    RedrawHeld held{ValueListEditor1};
    ValueListEditor1->Clear();
    rows_.clear();
    listedUnit_ = -1;
    int unit = 0;
    if (!Form2->EditedRow(unit)) return;
    const DataTable& table = GameTable();
    listedUnit_ = unit;
    rows_ = RowsOfKind(table, 1, kLastRow, kKindUnit);
    for (uint16_t row : rows_)
        ValueListEditor1->InsertRow(table.Cell(kColName, row), table.Cell(kColRapidFire + unit, row), true);
}

void TForm5::Button1Click(TObject*) {
    // Refused during a battle with the values kept here for after it.
    if (RefuseWhileRunning()) return;
    if (listedUnit_ < 0) {
        Close();
        return;
    }
    const int count = std::min<int>(ValueListEditor1->Count(), static_cast<int>(rows_.size()));
    // Into the column of the unit that was listed, whatever the editor shows now.
    const int col = kColRapidFire + listedUnit_;
    FieldCheck check;
    std::vector<std::string> values;
    for (int k = 0; k < count; ++k)
        values.push_back(check.Cell(*CellRuleFor(kKindUnit, "", col), ValueListEditor1->Values(k + 1),
                                    ValueListEditor1->Keys(k + 1)));
    if (!check.Report(Caption())) return;
    DataTable& table = GameTable();
    for (int k = 0; k < count; ++k) table.SetCell(col, rows_[static_cast<size_t>(k)], values[static_cast<size_t>(k)]);
    SaveDataBase();
    Close();
}

void TForm5::Button2Click(TObject*) { Close(); }
