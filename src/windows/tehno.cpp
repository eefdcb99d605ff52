#include "windows/tehno.h"

#include <string>
#include <vector>

#include "battle/datatable.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"
#include "windows/dataform.h"

using namespace vcl;

TForm26* Form26 = nullptr;

TForm26::TForm26(TComponent* owner)
    : TUnitBonusEditor(owner,
                       {battle::kTechFirstRow, battle::kTechLastRow, battle::kKindTech, "Новая технология",
                        "Невозможно создать больше технологий"},
                       {"Список технологий", "Название технологии", "% к атаке", "% к щитам", "% к структуре"},
                       {"Новая технология", "Удалить технологию"}) {
    SetName("Form26");
    SetCaption("Редактор технологий");
    SetBounds(160, 90, Width(), Height());
}

void TForm26::Button1Click(TObject*) {
    if (StoreAndSave()) WriteTechNames();
}

void TForm26::Listed() {
    // A database that was not read whole is not written over by the listing
    // at start: the database window has told the player already.
    if (Form4->LoadComplete()) SaveDataBase();
    WriteTechNames();
}

void TForm26::WriteTechNames() {
    // Every player has these three; the database's follow in list order.
    std::vector<std::string> names = {"Оружейная технология", "Технология брони", "Щитовая технология"};
    for (uint16_t row : Rows()) names.push_back(GameTable().Cell(battle::kColSpyName, row));
    try {
        rtl::WriteAllLines(kTechNamesFile, names, true);
    } catch (const rtl::EInOutError& error) {
        Tell(error.what(), Caption());
    }
}
