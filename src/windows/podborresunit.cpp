#include "windows/podborresunit.h"

using namespace vcl;

Tpodborres* podborres = nullptr;

Tpodborres::Tpodborres(TComponent* owner) : TForm(owner) {
    SetName("podborres");
    SetCaption("Результаты подбора");
    SetClientSize(420, 360);
    Memo1 = Declare<TMemo>(this, "Memo1")
                .Bounds(8, 8, 404, 308)
                .Anchors(akLeft | akTop | akRight | akBottom)
                .With([](TMemo* m) { m->SetScrollBars(ssVertical); });
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(8, 326, 120, 25)
                  .Anchors(akLeft | akBottom)
                  .Caption("Закрыть")
                  .OnClick(Bind(this, &Tpodborres::Button1Click));
    Button2 = Declare<TButton>(this, "Button2")
                  .Bounds(192, 326, 220, 25)
                  .Anchors(akRight | akBottom)
                  .Caption("Отправить данные на симуляцию")
                  .Enabled(false);
}

void Tpodborres::Button1Click(TObject*) { Close(); }
