// Spin edit, progress gauge, check list box and scroll box.
#pragma once
#include "vcl/win.h"

#include <string>

#include "vcl/stdctrls.h"

namespace vcl {

// An edit of whole numbers with up and down arrows.
class TSpinEdit : public TEdit {
public:
    explicit TSpinEdit(TComponent* owner);
    const char* ClassName() const override { return "TSpinEdit"; }

    // The text as a number: text that is not a whole number reads as
    // MinValue; the result is kept within MinValue..MaxValue (when the two
    // differ; equal limits mean no limit).
    int Value() const;
    void SetValue(int value);
    int MinValue() const { return minValue_; }
    void SetMinValue(int value);
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int value);
    int Increment() const { return increment_; }
    void SetIncrement(int value) { increment_ = value; }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    int CheckValue(int value) const;
    void Step(int direction);
    void PlaceArrows();

    HWND arrows_ = nullptr;
    int minValue_ = 0;
    int maxValue_ = 0;
    int increment_ = 1;
};

// A progress bar with the percentage and a suffix written over it.
class TGauge : public TCustomControl {
public:
    explicit TGauge(TComponent* owner);
    const char* ClassName() const override { return "TGauge"; }

    int MinValue() const { return minValue_; }
    void SetMinValue(int value);
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int value);
    // Kept within MinValue..MaxValue.
    int Progress() const { return progress_; }
    void SetProgress(int value);
    // Whole percent done.
    int PercentDone() const;
    const std::string& Suffix() const { return suffix_; }
    void SetSuffix(const std::string& value);
    TColor ForeColor() const { return foreColor_; }
    void SetForeColor(TColor value);
    // The text drawn over the bar: the percentage and the suffix.
    std::string DisplayText() const;
    // Set many times between two paints (a battle moves it at every unit
    // step), the gauge asks for one repaint only.
    void Invalidate() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(HDC dc) override;

private:
    int minValue_ = 0;
    int maxValue_ = 100;
    int progress_ = 0;
    std::string suffix_ = "%";
    TColor foreColor_ = clHighlight;
    bool paintPending_ = false;
};

// A list box with a check box before every item.
class TCheckListBox : public TListBox {
public:
    explicit TCheckListBox(TComponent* owner);
    const char* ClassName() const override { return "TCheckListBox"; }

    bool Checked(int index) const;
    void SetChecked(int index, bool value);
    TNotifyEvent OnClickCheck;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    void Toggle(int index);
    void DrawItem(const DRAWITEMSTRUCT& item);
};

class TScrollBox;

enum TScrollBarKind { sbHorizontal, sbVertical };

// One scroll bar of a scroll box: where the view stands and how far the
// children reach.
class TControlScrollBar : public TObject {
public:
    TControlScrollBar(TScrollBox* box, TScrollBarKind kind) : box_(box), kind_(kind) {}
    const char* ClassName() const override { return "TControlScrollBar"; }

    TScrollBarKind Kind() const { return kind_; }
    // Pixels scrolled from the start; kept within the range.
    int Position() const;
    void SetPosition(int value);
    // How far the children reach (0 when they fit).
    int Range() const;
    // A hidden bar shows nothing and does not scroll.
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    // Pixels of one step of the arrows and the wheel.
    int Increment() const { return increment_; }
    void SetIncrement(int value) { increment_ = value > 0 ? value : 1; }
    // Whether the bar is shown now (the children reach past the view).
    bool IsScrollBarVisible() const;

private:
    TScrollBox* box_;
    TScrollBarKind kind_;
    bool visible_ = true;
    int increment_ = 16;
};

// A container that scrolls its children when they reach past its size.
class TScrollBox : public TCustomControl {
public:
    explicit TScrollBox(TComponent* owner);
    const char* ClassName() const override { return "TScrollBox"; }

    TControlScrollBar* HorzScrollBar() { return &horz_; }
    TControlScrollBar* VertScrollBar() { return &vert_; }
    // bsSingle (the default) draws a sunken edge around the box.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);

    // Recomputes the scroll ranges from the children.
    void UpdateScrollRange();
    int HorzPosition() const { return pos_[0]; }
    int VertPosition() const { return pos_[1]; }
    void ScrollTo(int horizontal, int vertical);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    friend class TControlScrollBar;
    void Scroll(int bar, int code);
    TControlScrollBar horz_{this, sbHorizontal};
    TControlScrollBar vert_{this, sbVertical};
    TBorderStyle borderStyle_ = bsSingle;
    int pos_[2] = {0, 0};
    int range_[2] = {0, 0};
};

}  // namespace vcl
