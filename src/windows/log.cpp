#include "windows/log.h"

#include <algorithm>
#include <climits>
#include <string>

#include "vcl/wintext.h"

using namespace vcl;

TForm7* Form7 = nullptr;

namespace {

// The gauges take int; a battle's counts fit, but keep a huge maximum sane.
int GaugeValue(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, 0, INT_MAX)); }

// Paint the log at most this often while a long battle tick runs.
constexpr uint64_t kPaintEveryMs = 100;

}  // namespace

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
                });
    sGauge1 = Declare<TGauge>(this, "sGauge1").Bounds(8, 472, 528, 22).Anchors(akLeft | akRight | akBottom);
    sGauge2 = Declare<TGauge>(this, "sGauge2").Bounds(8, 500, 528, 22).Anchors(akLeft | akRight | akBottom);
    sGauge1->SetSuffix("%");
    sGauge2->SetSuffix("%");
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(436, 530, 100, 25)
                  .Anchors(akRight | akBottom)
                  .Caption("стереть")
                  .OnClick(Bind(this, &TForm7::Button1Click));
}

void TForm7::Button1Click(TObject*) { Memo1->Lines()->Clear(); }

void TForm7::Log(std::string_view line) {
    // Appended at the end of the window text: a long log grows line by line
    // without the whole text being read back for every line.
    HWND memo = Memo1->Handle();
    int length = GetWindowTextLengthW(memo);
    std::string text(line);
    text += "\r\n";
    SendMessageW(memo, EM_SETSEL, static_cast<WPARAM>(length), length);
    SendMessageW(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(WideText(text).c_str()));
}

void TForm7::SetUnitGauge(int64_t maximum, std::string_view suffix) {
    sGauge1->SetMaxValue(GaugeValue(maximum));
    sGauge1->SetSuffix(std::string(suffix));
    PaintWhileBusy();
}

void TForm7::SetUnitProgress(int64_t position) {
    sGauge1->SetProgress(GaugeValue(position));
    PaintWhileBusy();
}

void TForm7::SetRoundGauge(int64_t maximum, std::string_view suffix) {
    sGauge2->SetMaxValue(GaugeValue(maximum));
    sGauge2->SetSuffix(std::string(suffix));
    PaintWhileBusy();
}

void TForm7::SetRoundProgress(int64_t position) {
    sGauge2->SetProgress(GaugeValue(position));
    PaintWhileBusy();
}

void TForm7::PaintWhileBusy() {
    // A whole battle runs inside one timer tick: let the windows paint now
    // and then, not at every shot.
    uint64_t now = GetTickCount64();
    if (now - lastPaint_ < kPaintEveryMs) return;
    lastPaint_ = now;
    Application->ProcessMessages();
}
