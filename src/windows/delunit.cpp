#include "windows/delunit.h"

#include "battle/datatable.h"
#include "windows/editorfields.h"
#include "windows/mainteme.h"

using namespace vcl;

TForm21* Form21 = nullptr;

TForm21::TForm21(TComponent* owner) : TForm3(owner) {
    SetName("Form21");
    SetCaption("Удаление юнита");
    Button1->SetCaption("Удалить");
    Button1->OnClick = Bind(this, &TForm21::Button1Click);
}

void TForm21::Button1Click(TObject*) {
    if (RefuseWhileRunning()) return;
    int row = 0;
    if (!ChosenRow(row)) return;
    // The row's values and the rapid fire against it stay: only its kind goes.
    GameTable().SetCell(battle::kColKind, row, battle::kKindFree);
    SaveDataBase();
    Application->MessageBox("Для сохранения части изменений нужно перезапустить программу", Caption(), MB_OK);
    Close();
}
