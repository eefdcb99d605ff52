#include "windows/podborprunit.h"

using namespace vcl;
using skin::TsGauge;

Tpodborpr* podborpr = nullptr;

Tpodborpr::Tpodborpr(TComponent* owner) : TForm(owner) {
    SetName("podborpr");
    SetCaption("прогресс подбора флота");
    SetBorderStyle(bsSingle);
    SetClientSize(420, 170);
    // Beside the battle log, which every battle of the selection shows again.
    SetLeft(760);
    SetTop(120);
    sGauge1 = Declare<TsGauge>(this, "sGauge1").Bounds(12, 10, 396, 22);
    sGauge2 = Declare<TsGauge>(this, "sGauge2").Bounds(12, 38, 396, 22);
    sGauge3 = Declare<TsGauge>(this, "sGauge3").Bounds(12, 66, 396, 22);
    for (TsGauge* gauge : {sGauge1, sGauge2, sGauge3}) {
        gauge->SetProgress(0);
        gauge->SetSuffix("%");
    }
    sGauge3->SetMinValue(1);
    sGauge3->SetMaxValue(3);
    // Status lines of changing length: fixed boxes.
    auto label = [this](const char* name, int top, const char* caption) {
        TLabel* l = Declare<TLabel>(this, name);
        l->SetAutoSize(false);
        l->SetBounds(12, top, 396, 16);
        l->SetCaption(caption);
        return l;
    };
    Label1 = label("Label1", 96, "Бой");
    Label2 = label("Label2", 118, "");
    Label3 = label("Label3", 140, "");
}
