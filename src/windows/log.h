// The battle log window: the log of the current battle and two gauges, the
// attacks of one participant and the rounds of the battle.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "battle/battleports.h"
#include "skin/windows/gauge.h"
#include "vcl/vcl.h"

class TForm7 : public vcl::TForm, public battle::BattleOutput {
public:
    explicit TForm7(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm7"; }

    vcl::TMemo* Memo1;
    skin::TsGauge* sGauge1;  // attacks of the participant that fires
    skin::TsGauge* sGauge2;  // rounds of the battle
    vcl::TButton* Button1;

    // "стереть": clears the log.
    void Button1Click(vcl::TObject* Sender);

    // What the battle writes.
    void Log(std::string_view line) override;
    void SetUnitGauge(int64_t maximum, std::string_view suffix) override;
    void SetUnitProgress(int64_t position) override;
    void SetRoundGauge(int64_t maximum, std::string_view suffix) override;
    void SetRoundProgress(int64_t position) override;

    // The most lines the log and the statistics windows hold, over a run of
    // any length and over runs: beyond it the oldest go (see
    // TMemo::SetLineBound), and the first line says how many.
    static constexpr size_t kRunLines = 100'000;
    static std::string DroppedLinesNote(uint64_t dropped);

    // While a run goes on the windows paint about this often: between the
    // battle timer's ticks, or from inside a battle that runs longer.
    static constexpr uint64_t kPaintEveryMs = 300;

private:
    struct GaugeScale {
        int64_t divisor = 1;
        void SetMaximum(skin::TsGauge& gauge, int64_t maximum);
        void SetProgress(skin::TsGauge& gauge, int64_t position);
    };
    void PaintWhileBusy();
    GaugeScale unitScale_, roundScale_;
};

extern TForm7* Form7;
