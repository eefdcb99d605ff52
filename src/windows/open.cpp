#include "windows/open.h"

#include "battle/datatable.h"
#include "windows/editor.h"
#include "windows/editorfields.h"

using namespace vcl;

TForm3* Form3 = nullptr;

TForm3::TForm3(TComponent* owner) : TForm(owner) {
    SetName("Form3");
    SetCaption("Открыть юнит");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientSize(300, 400);
    SetBounds(300, 120, Width(), Height());
    ListBox1 = Declare<TListBox>(this, "ListBox1").Bounds(8, 8, 284, 346);
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(8, 364, 284, 28)
                  .Caption("Открыть")
                  .OnClick(Bind(this, &TForm3::Button1Click))
                  .With([](TButton* button) { button->SetDefault(true); });
    Timer1 = DeclareTimer(this, "Timer1", 1, false, Bind(this, &TForm3::Timer1Timer));
}

void TForm3::ListUnits() {
    const battle::DataTable& table = GameTable();
    rows_ = RowsOfKind(table, 1, battle::kLastRow, battle::kKindUnit);
    ListBox1->Items()->BeginUpdate();
    ListBox1->Items()->Clear();
    for (uint16_t row : rows_) ListBox1->Items()->Add(table.Cell(battle::kColName, row));
    ListBox1->Items()->EndUpdate();
}

bool TForm3::ChosenRow(int& row) const {
    const int index = ListBox1->ItemIndex();
    if (index < 0 || index >= static_cast<int>(rows_.size())) return false;
    row = rows_[static_cast<size_t>(index)];
    return true;
}

void TForm3::Timer1Timer(TObject*) {
    Timer1->SetEnabled(false);
    ListUnits();
}

void TForm3::Button1Click(TObject*) {
    int row = 0;
    if (!ChosenRow(row)) return;
    // The editor holds only rows of the unit band.
    if (row < Form2->SpinEdit1->MinValue() || row > Form2->SpinEdit1->MaxValue()) {
        Tell("Строка " + std::to_string(row) + " отмечена как юнит, но лежит вне строк юнитов " +
                 std::to_string(Form2->SpinEdit1->MinValue()) + ".." + std::to_string(Form2->SpinEdit1->MaxValue()) +
                 ": редактор ее не открывает.",
             Caption());
        return;
    }
    Form2->SpinEdit1->SetValue(row);
    Form2->Timer1->SetEnabled(true);
    Close();
}
