// The progress gauge of the battle log and the fleet-selection progress
// window: a bar (or text, a pie, a needle) drawn plainly, or from the skin's
// GAUGE and PROGRESSH/PROGRESSV sections over the parent's picture while a
// skin is active.
#pragma once
#include "vcl/win.h"

#include <string>

#include "skin/core/win32/commondata.h"
#include "skin/windows/layout/controlparts.h"
#include "vcl/controls.h"

namespace skin {

enum TsGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

class TsGauge : public vcl::TGraphicControl {
public:
    explicit TsGauge(vcl::TComponent* owner);
    const char* ClassName() const override { return "TsGauge"; }

    TsGaugeKind Kind() const { return kind_; }
    void SetKind(TsGaugeKind value);
    // bsSingle: a one-pixel frame around the plain picture.
    vcl::TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(vcl::TBorderStyle value);
    TsCommonData* SkinData() { return &data_; }
    // Plain background, and plain bar, pie and needle.
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor value);
    TColor ForeColor() const { return foreColor_; }
    void SetForeColor(TColor value);

    // A minimum above the maximum (a maximum below the minimum) throws
    // EInvalidOperation, except while the form is being built.
    int MinValue() const { return range_.MinValue(); }
    void SetMinValue(int value);
    int MaxValue() const { return range_.MaxValue(); }
    void SetMaxValue(int value);
    // Kept within MinValue..MaxValue. Set many times between two paints (a
    // battle moves it at every unit step), the gauge asks for one repaint
    // only, and for none while the whole percent stays the same.
    int Progress() const { return range_.Progress(); }
    void SetProgress(int value);
    int PercentDone() const { return range_.PercentDone(); }
    // Section of the filled part; empty: PROGRESSH for a horizontal bar, PROGRESSV otherwise.
    const std::string& ProgressSkin() const { return progressSkin_; }
    void SetProgressSkin(const std::string& value);
    bool ShowText() const { return showText_; }
    void SetShowText(bool value);
    // Written after the number in the skinned look (the plain look writes "%").
    const std::string& Suffix() const { return suffix_; }
    void SetSuffix(const std::string& value);
    // The text the gauge shows now.
    std::string DisplayText() const;

    // After every change of Progress.
    vcl::TNotifyEvent OnChange;

    void Invalidate() override;
    void Paint(HDC dc) override;

protected:
    void WndProc(vcl::TMessage& message) override;
    void OnLoaded() override;

private:
    bool Loading() const;
    void Apply(const TGaugeChange& change);
    void PaintPlain(HDC dc);
    void PaintSkinned(HDC dc);
    bool OwnerFormSkinned();

    TsCommonData data_;
    TGaugeRange range_;
    TsGaugeKind kind_ = gkHorizontalBar;
    vcl::TBorderStyle borderStyle_ = vcl::bsSingle;
    TColor backColor_ = clWhite;
    TColor foreColor_ = clBlack;
    std::string progressSkin_;
    bool showText_ = true;
    std::string suffix_ = "%";
    bool paintPending_ = false;
};

}  // namespace skin
