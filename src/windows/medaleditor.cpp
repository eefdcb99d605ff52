#include "windows/medaleditor.h"

#include "battle/datatable.h"

using namespace vcl;
using namespace battle;

Tform911* form911 = nullptr;

namespace {

constexpr int kFlags = 6;  // columns 6..11

}  // namespace

Tform911::Tform911(TComponent* owner)
    : TBonusEditor(owner,
                   {kMedalFirstRow, kMedalLastRow, kKindMedal, "Новая медаль", "Невозможно создать больше медалей"},
                   {"Список медалей", "Название", "бонус к атаке %", "бонус к щитам %", "бонус к структуре %"}) {
    SetName("form911");
    SetCaption("Редактор медалей");
    SetBounds(200, 130, Width(), Height());
    const char* const captions[kFlags] = {"Легкие юниты",          "Средние юниты",    "Тяжелые юниты",
                                          "Сверхтяжелые юниты",    "Оборонительные юниты", "Атакующие юниты"};
    TCheckBox** boxes[kFlags] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5, &CheckBox6};
    for (int i = 0; i < kFlags; ++i)
        *boxes[i] = Declare<TCheckBox>(this, "CheckBox" + std::to_string(i + 1))
                        .Bounds(240, 150 + 26 * i, 300, 18)
                        .Caption(captions[i]);

    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(8, 374, 220, 27)
                  .Caption("Создать новую медаль")
                  .OnClick(Bind(this, &Tform911::Button1Click));
    Button2 = Declare<TButton>(this, "Button2")
                  .Bounds(8, 405, 220, 27)
                  .Caption("Удалить текущую медаль")
                  .OnClick(Bind(this, &Tform911::Button2Click));
    Button3 = Declare<TButton>(this, "Button3")
                  .Bounds(240, 444, 130, 28)
                  .Caption("Сохранить данные")
                  .OnClick(Bind(this, &Tform911::Button3Click));
    Button5 = Declare<TButton>(this, "Button5")
                  .Bounds(378, 444, 140, 28)
                  .Caption("Сбросить изменения")
                  .OnClick(Bind(this, &Tform911::Button5Click));
    Button4 = Declare<TButton>(this, "Button4")
                  .Bounds(526, 444, 126, 28)
                  .Caption("Закрыть редактор")
                  .OnClick(Bind(this, &Tform911::Button4Click));
}

TCheckBox* Tform911::Flag(int index) const {
    TCheckBox* const boxes[kFlags] = {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6};
    return boxes[index];
}

void Tform911::StoreFields(int row) {
    for (int i = 0; i < kFlags; ++i) GameTable().SetCell(kColMedalLight + i, row, Flag(i)->Checked() ? "1" : "0");
}

void Tform911::OpenFields(int row) {
    for (int i = 0; i < kFlags; ++i) Flag(i)->SetChecked(GameTable().Cell(kColMedalLight + i, row) == "1");
}

void Tform911::Button1Click(TObject*) { NewRow(); }
void Tform911::Button2Click(TObject*) { DeleteChosen(); }
void Tform911::Button3Click(TObject*) { StoreAndSave(); }

void Tform911::Button4Click(TObject*) {
    if (Discard()) Close();
}

void Tform911::Button5Click(TObject*) { Discard(); }
