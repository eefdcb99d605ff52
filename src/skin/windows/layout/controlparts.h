// Arithmetic of the skinned controls that paint themselves, free of
// windows: the gauge's range and percentage (TsGauge), the section a
// panel's bevels choose (TacPanelWnd), the two lines of a tool-bar
// button's caption (TacToolBarWnd) and the halves of an up-down control
// (TacSpinWnd).
#pragma once

#include <string>
#include <string_view>

#include "skin/core/geometry.h"

namespace skin {

// (Progress - Min) x 100 / (Max - Min), truncated, in 64 bits; 0 for an
// empty or upside-down range.
int PercentDone(int minValue, int maxValue, int progress);
// Percent of Size, truncated.
int PartOf(int percent, int size);

// What a change of the gauge's values calls for.
struct TGaugeChange {
    bool Invalidate = false;  // the picture changed
    bool Changed = false;     // OnChange is due
    std::string Error;        // the value was refused: the message to raise
};

// The gauge's MinValue, MaxValue and Progress, Progress always inside the range.
class TGaugeRange {
public:
    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    int Progress() const { return progress_; }
    int PercentDone() const { return skin::PercentDone(min_, max_, progress_); }

    // A minimum above the maximum (or a maximum below the minimum) is
    // refused, except while the form is being read.
    TGaugeChange SetMinValue(int value, bool loading = false);
    TGaugeChange SetMaxValue(int value, bool loading = false);
    // Clamped into the range; a repaint only when the percentage changes,
    // OnChange whenever the value does.
    TGaugeChange SetProgress(int value);

private:
    int min_ = 0;
    int max_ = 100;
    int progress_ = 47;
};

// A panel's bevel, as the component layer names it.
enum class TPanelBevelKind { bvNone, bvLowered, bvRaised, bvSpace };
// The skin section a panel is painted in, by its bevels and border style.
std::string PanelSection(TPanelBevelKind outer, TPanelBevelKind inner, bool singleBorder);

// A tool-bar button's caption: one or two words go on as one text (drawn
// with word breaks); longer ones are split before their last two words.
struct TToolBarCaption {
    bool TwoLines = false;
    std::string Line1;
    std::string Line2;
};
TToolBarCaption SplitToolBarCaption(std::string_view caption);

// The halves of an up-down control W x H whose Left columns are not drawn;
// an odd height gives both halves the middle row.
struct TSpinHalves {
    TRect Up;
    TRect Down;
};
TSpinHalves SpinHalves(int width, int height, int left);

}  // namespace skin
