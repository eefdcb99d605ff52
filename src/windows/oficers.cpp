#include "windows/oficers.h"

#include "battle/datatable.h"

using namespace vcl;

TForm27* Form27 = nullptr;

TForm27::TForm27(TComponent* owner)
    : TUnitBonusEditor(owner,
                       {battle::kOfficerFirstRow, battle::kOfficerLastRow, battle::kKindOfficer, "Новый офицер",
                        "Невозможно создать больше офицеров"},
                       {"Список офицеров", "Название технологии", "% к атаке", "% к щитам", "% к структуре"},
                       {"Новый офицер", "Удалить"}) {
    SetName("Form27");
    SetCaption("Редактор офицеров");
    SetBounds(180, 110, Width(), Height());
    // Loaded and saved all the same; only the analyser uses it.
    Label5->SetVisible(false);
    Edit5->SetVisible(false);
}
