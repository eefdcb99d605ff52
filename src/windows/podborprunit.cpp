#include "windows/podborprunit.h"

using namespace vcl;

Tpodborpr* podborpr = nullptr;

Tpodborpr::Tpodborpr(TComponent* owner) : TForm(owner) {
    SetName("podborpr");
    SetCaption("прогресс подбора флота");
    SetBorderStyle(bsSingle);
    SetClientSize(420, 170);
    sGauge1 = Declare<TGauge>(this, "sGauge1").Bounds(12, 10, 396, 22);
    sGauge2 = Declare<TGauge>(this, "sGauge2").Bounds(12, 38, 396, 22);
    sGauge3 = Declare<TGauge>(this, "sGauge3").Bounds(12, 66, 396, 22);
    for (TGauge* gauge : {sGauge1, sGauge2, sGauge3}) gauge->SetSuffix("%");
    sGauge3->SetMinValue(1);
    sGauge3->SetMaxValue(3);
    Label1 = Declare<TLabel>(this, "Label1").Bounds(12, 96, 396, 16).Caption("Бой");
    Label2 = Declare<TLabel>(this, "Label2").Bounds(12, 118, 396, 16).Caption("");
    Label3 = Declare<TLabel>(this, "Label3").Bounds(12, 140, 396, 16).Caption("");
}
