#include "skin/windows/layout/controlparts.h"

#include <climits>
#include <cstdint>
#include <vector>

namespace skin {

int PercentDone(int minValue, int maxValue, int progress) {
    if (maxValue <= minValue) return 0;
    return static_cast<int>((int64_t{progress} - minValue) * 100 / (int64_t{maxValue} - minValue));
}

int PartOf(int percent, int size) { return static_cast<int>(int64_t{size} * percent / 100); }

namespace {
std::string RangeMessage(int64_t lo, int64_t hi) {
    return "Value must be between " + std::to_string(lo) + " and " + std::to_string(hi);
}
}  // namespace

TGaugeChange TGaugeRange::SetMinValue(int value, bool loading) {
    TGaugeChange c;
    if (value == min_) return c;
    if (value > max_ && !loading) {
        c.Error = RangeMessage(-int64_t{INT_MAX}, int64_t{max_} - 1);
        return c;
    }
    min_ = value;
    if (progress_ < value) progress_ = value;
    c.Invalidate = true;
    return c;
}

TGaugeChange TGaugeRange::SetMaxValue(int value, bool loading) {
    TGaugeChange c;
    if (value == max_) return c;
    if (value < min_ && !loading) {
        c.Error = RangeMessage(int64_t{min_} + 1, INT_MAX);
        return c;
    }
    max_ = value;
    if (progress_ > value) progress_ = value;
    c.Invalidate = true;
    return c;
}

TGaugeChange TGaugeRange::SetProgress(int value) {
    TGaugeChange c;
    if (value < min_) value = min_;
    if (value > max_) value = max_;
    if (value == progress_) return c;
    const int before = PercentDone();
    progress_ = value;
    c.Invalidate = PercentDone() != before;
    c.Changed = true;
    return c;
}

std::string PanelSection(TPanelBevelKind outer, TPanelBevelKind inner, bool singleBorder) {
    switch (outer) {
        case TPanelBevelKind::bvLowered: return inner == TPanelBevelKind::bvRaised ? "GROUPBOX" : "PANEL_LOW";
        case TPanelBevelKind::bvRaised: return inner == TPanelBevelKind::bvLowered ? "GROUPBOX" : "PANEL";
        default: return singleBorder ? "PANEL_LOW" : "CHECKBOX";
    }
}

TToolBarCaption SplitToolBarCaption(std::string_view caption) {
    // Where each word starts and ends.
    std::vector<std::pair<size_t, size_t>> words;
    for (size_t i = 0; i < caption.size();) {
        if (caption[i] == ' ') {
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < caption.size() && caption[i] != ' ') ++i;
        words.emplace_back(start, i);
    }
    TToolBarCaption r;
    if (words.size() < 3) {
        r.Line1 = std::string(caption);
        return r;
    }
    const auto& lastOfFirst = words[words.size() - 3];
    const auto& firstOfSecond = words[words.size() - 2];
    r.TwoLines = true;
    r.Line1 = std::string(caption.substr(words.front().first, lastOfFirst.second - words.front().first));
    r.Line2 = std::string(caption.substr(firstOfSecond.first, words.back().second - firstOfSecond.first));
    return r;
}

TSpinHalves SpinHalves(int width, int height, int left) {
    return {TRect{left, 0, width, (height + 1) / 2}, TRect{left, height / 2, width, height}};
}

}  // namespace skin
