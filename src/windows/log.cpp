#include "windows/log.h"

#include <algorithm>
#include <climits>
#include <string>

#include "battle/logline.h"
#include "rtl/convert.h"

using namespace vcl;
using skin::TsGauge;

TForm7* Form7 = nullptr;

TForm7::TForm7(TComponent* owner) : TForm(owner) {
    SetName("Form7");
    SetCaption("Симуляция");
    SetBounds(189, 113, 560, 600);
    SetClientSize(544, 562);
    Memo1 = Declare<TMemo>(this, "Memo1")
                .Bounds(8, 8, 528, 456)
                .Anchors(akLeft | akTop | akRight | akBottom)
                .With([](TMemo* m) {
                    m->SetScrollBars(ssBoth);
                    m->SetWordWrap(false);
                    m->SetLineBound(kRunLines, DroppedLinesNote);
                });
    sGauge1 = Declare<TsGauge>(this, "sGauge1").Bounds(8, 472, 528, 22).Anchors(akLeft | akRight | akBottom);
    sGauge2 = Declare<TsGauge>(this, "sGauge2").Bounds(8, 500, 528, 22).Anchors(akLeft | akRight | akBottom);
    for (TsGauge* gauge : {sGauge1, sGauge2}) {
        gauge->SetProgress(0);
        gauge->SetSuffix("%");
    }
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(436, 530, 100, 25)
                  .Anchors(akRight | akBottom)
                  .Caption("стереть")
                  .OnClick(Bind(this, &TForm7::Button1Click));
}

// What is kept after a drop holds the latest battle whole: its log, bounded
// by the battle itself, and its summary, at most a few thousand lines.
static_assert(TForm7::kRunLines / 2 >= battle::BoundedLog::kHeadLines + battle::BoundedLog::kTailLines + 5'000);

std::string TForm7::DroppedLinesNote(uint64_t dropped) {
    return "... пропущено ранних строк: " + rtl::IntToStr(dropped) + " ...";
}

void TForm7::Button1Click(TObject*) { Memo1->Lines()->Clear(); }

void TForm7::Log(std::string_view line) { Memo1->Lines()->Add(std::string(line)); }

void TForm7::SetUnitGauge(int64_t maximum, std::string_view suffix) {
    unitScale_.SetMaximum(*sGauge1, maximum);
    sGauge1->SetSuffix(std::string(suffix));
    PaintWhileBusy();
}

void TForm7::SetUnitProgress(int64_t position) {
    unitScale_.SetProgress(*sGauge1, position);
    PaintWhileBusy();
}

void TForm7::SetRoundGauge(int64_t maximum, std::string_view suffix) {
    roundScale_.SetMaximum(*sGauge2, maximum);
    sGauge2->SetSuffix(std::string(suffix));
    PaintWhileBusy();
}

void TForm7::SetRoundProgress(int64_t position) {
    roundScale_.SetProgress(*sGauge2, position);
    PaintWhileBusy();
}

void TForm7::GaugeScale::SetMaximum(TsGauge& gauge, int64_t maximum) {
    // A gauge counts in int: larger counts are shown in steps of `divisor`.
    divisor = maximum > INT_MAX ? maximum / INT_MAX + 1 : 1;
    gauge.SetMaxValue(static_cast<int>(std::max<int64_t>(maximum, 0) / divisor));
}

void TForm7::GaugeScale::SetProgress(TsGauge& gauge, int64_t position) {
    gauge.SetProgress(static_cast<int>(std::clamp<int64_t>(position / divisor, 0, INT_MAX)));
}

void TForm7::PaintWhileBusy() {
    // A whole battle runs inside one timer tick: let the windows paint now
    // and then, not at every shot, and not when the message loop has just
    // had its turn between the battles of a tick; a click is answered sooner.
    if (GetTickCount64() - Application->MessagesLookedAt() < kPaintEveryMs && !Application->InputWaiting()) return;
    Application->ProcessMessages();
}
