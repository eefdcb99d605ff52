// The progress gauge on a real form: drawn from our stored skin at 0, 47
// and 100 %, plain again once the skin is gone (the percentage XORed over
// the bar), ranges of millions of units, one repaint for many changes, and
// the limits it refuses.
#include "gtest_windows.h"
#include "support/vcl_test_support.h"

#include "skin/core/pixelcopy.h"
#include "skin/core/sectionpaint.h"
#include "skin/core/skinlookups.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/windows/gauge.h"

using namespace vcl;
using skin::TsGauge;

namespace {

constexpr int kLeft = 10, kTop = 10, kWidth = 300, kHeight = 24;

struct GaugeScene {
    GaugeScene() {
        form = NewForm<TForm>(Application);
        form->SetBounds(0, 0, 340, 80);
        manager = new skin::TsSkinManager(form);
        manager->SetActive(false);
        skin::AddOwnStoredSkins(manager->InternalSkins());
        manager->SetSkinName("Cold (internal)");
        gauge = new TsGauge(form);
        gauge->SetParent(form);
        gauge->SetBounds(kLeft, kTop, kWidth, kHeight);
        form->Show();
    }
    ~GaugeScene() { form->Free(); }

    // What the screen shows at a point of the gauge, after every paint.
    TColor Pixel(int x, int y) {
        vcltest::Pump();
        HDC dc = GetDC(form->Handle());
        const COLORREF c = GetPixel(dc, kLeft + x, kTop + y);
        ReleaseDC(form->Handle(), dc);
        return static_cast<TColor>(c);
    }
    int CountInRow(int y, int from, int to, TColor colour) {
        int n = 0;
        for (int x = from; x < to; ++x) n += Pixel(x, y) == colour;
        return n;
    }

    TForm* form;
    skin::TsSkinManager* manager;
    TsGauge* gauge;
};

bool WaitsForPaint(TWinControl* control) {
    RECT r;
    return GetUpdateRect(control->Handle(), &r, FALSE) != FALSE;
}

}  // namespace

TEST(SkinnedGauge, TheSkinsBarFillsZero47AndAHundredPercentInsideTheBorder) {
    GaugeScene s;
    s.manager->SetActive(true);
    ASSERT_TRUE(s.gauge->SkinData()->HasValidSkin());
    const skin::TsSkinContent& skin = s.manager->Skin();
    const int border = s.gauge->SkinData()->BorderMaskIndex;
    ASSERT_TRUE(skin.IsValidMaskIndex(border));
    const skin::TRect inner{skin::MaskMarginLeft(skin, border), skin::MaskMarginTop(skin, border),
                            kWidth - skin::MaskMarginRight(skin, border), kHeight - skin::MaskMarginBottom(skin, border)};
    const skin::TColor back = skin.Sections[skin.GetSkinIndex("GAUGE")].Color;
    const skin::TColor text = skin.Sections[skin.GetSkinIndex("GAUGE")].FontColor[0];

    // A bar of the width as the core paints the section item: the gauge's
    // filled part shows its inner columns unchanged.
    const int mid = kHeight / 2;
    auto barPixel = [&](int x, int width) {
        skin::TPixelBitmap part(width, inner.Height());
        skin::TSectionBackground a;
        a.SectionIndex = skin.GetSkinIndex("PROGRESSH");
        a.SectionName = "PROGRESSH";
        a.Rect = skin::TRect{0, 0, width, inner.Height()};
        skin::PaintSectionItem(skin, part.Pixels(), a);
        return skin::PixelColor(part.Pixels().At(x - inner.Left, mid - inner.Top));
    };

    s.gauge->SetProgress(0);
    EXPECT_EQ(s.Pixel(inner.Left + 4, mid), back);
    EXPECT_EQ(s.Pixel(inner.Right - 4, mid), back);
    // The section's border around it, as the core paints the section.
    skin::TPixelBitmap frame(kWidth, kHeight);
    skin::TSectionBackground item;
    item.SectionIndex = skin.GetSkinIndex("GAUGE");
    item.SectionName = "GAUGE";
    item.Rect = skin::TRect{0, 0, kWidth, kHeight};
    skin::PaintSectionItem(skin, frame.Pixels(), item);
    for (auto [x, y] : {std::pair{0, mid}, {1, mid}, {kWidth / 2, 0}, {kWidth - 1, kHeight - 2}})
        EXPECT_EQ(s.Pixel(x, y), skin::PixelColor(frame.Pixels().At(x, y))) << x << "," << y;

    s.gauge->SetProgress(47);
    const int filled = skin::PartOf(47, inner.Width());
    for (int x : {inner.Left + 5, inner.Left + 60, inner.Left + filled - 5})
        EXPECT_EQ(s.Pixel(x, mid), barPixel(x, filled)) << x;
    EXPECT_EQ(s.Pixel(inner.Left + filled + 40, mid), back);  // past the bar, right of the text
    // The number and its suffix in the skin's text colour, in the middle.
    EXPECT_GT(s.CountInRow(mid, kWidth / 2 - 25, kWidth / 2 + 25, text) + s.CountInRow(mid - 2, kWidth / 2 - 25, kWidth / 2 + 25, text), 0);

    s.gauge->SetShowText(false);
    s.gauge->SetProgress(100);
    for (int x : {inner.Left + 5, kWidth / 2, inner.Right - 5})
        EXPECT_EQ(s.Pixel(x, mid), barPixel(x, inner.Width())) << x;
    s.manager->SetActive(false);
}

TEST(SkinnedGauge, WithoutTheSkinThePlainLookComesBackForRangesOfMillions) {
    GaugeScene s;
    s.gauge->SetSuffix("% (бой №1)");
    s.manager->SetActive(true);
    s.gauge->SetMaxValue(24000000);
    s.gauge->SetProgress(11280000);
    EXPECT_EQ(s.gauge->DisplayText(), "47% (бой №1)");
    s.manager->SetActive(false);
    EXPECT_FALSE(s.gauge->SkinData()->HasValidSkin());
    // The plain text writes the percentage alone.
    EXPECT_EQ(s.gauge->DisplayText(), "47%");

    // A black frame, the black bar over 47 % of the inner width, white after it.
    const int filled = skin::PartOf(47, kWidth - 2);
    EXPECT_EQ(s.Pixel(0, 0), clBlack);
    EXPECT_EQ(s.Pixel(kWidth - 1, kHeight - 1), clBlack);
    EXPECT_EQ(s.CountInRow(2, 1, kWidth - 1, clBlack), filled);
    EXPECT_EQ(s.Pixel(filled + 2, 2), clWhite);
    // The text crosses the bar's end: inverted, white over the bar and black after it.
    const int mid = kHeight / 2;
    EXPECT_GT(s.CountInRow(mid, filled - 20, filled + 1, clWhite) + s.CountInRow(mid - 2, filled - 20, filled + 1, clWhite), 0);
    EXPECT_GT(s.CountInRow(mid, filled + 1, filled + 30, clBlack) + s.CountInRow(mid - 2, filled + 1, filled + 30, clBlack), 0);

    // The other kinds draw inside the frame in ForeColor.
    s.gauge->SetShowText(false);
    s.gauge->SetForeColor(0x0000C0);
    s.gauge->SetKind(skin::gkVerticalBar);
    EXPECT_EQ(s.Pixel(kWidth / 2, kHeight - 2), 0x0000C0);
    EXPECT_EQ(s.Pixel(kWidth / 2, 1), clWhite);
    s.gauge->SetKind(skin::gkPie);
    s.gauge->SetBounds(kLeft, kTop, 40, 40);
    s.gauge->SetProgress(6000000);  // a quarter: the top left of the circle
    EXPECT_EQ(s.Pixel(14, 14), 0x0000C0);
    EXPECT_EQ(s.Pixel(26, 14), clWhite);
    EXPECT_EQ(s.Pixel(20, 26), clWhite);
}

TEST(SkinnedGauge, ManyChangesBetweenPaintsAskOnceASamePercentNoneAndLimitsTheWrongWayRoundAreRefused) {
    GaugeScene s;
    // A minimum above the maximum (a maximum below the minimum) is refused; nothing changes.
    EXPECT_THROW(s.gauge->SetMinValue(150), EInvalidOperation);
    EXPECT_THROW(s.gauge->SetMaxValue(-1), EInvalidOperation);
    EXPECT_EQ((std::vector<int>{s.gauge->MinValue(), s.gauge->MaxValue(), s.gauge->Progress()}),
              (std::vector<int>{0, 100, 47}));
    s.manager->SetActive(true);
    vcltest::Pump();
    std::vector<int> changes;
    s.gauge->OnChange = [&changes, &s](TObject*) { changes.push_back(s.gauge->Progress()); };
    s.gauge->SetMaxValue(24000000);
    s.gauge->SetProgress(0);
    vcltest::Pump();
    changes.clear();

    // Inside one percent: OnChange, no repaint.
    s.gauge->SetProgress(1000);
    EXPECT_FALSE(WaitsForPaint(s.form));
    EXPECT_EQ(changes, std::vector<int>{1000});
    // The same value again: nothing at all; outside the range: the bound.
    s.gauge->SetProgress(1000);
    s.gauge->SetProgress(-5);
    EXPECT_EQ(changes, (std::vector<int>{1000, 0}));

    // A whole run of changes waits for one paint.
    for (int step = 1; step <= 30; ++step) s.gauge->SetProgress(step * 240000);
    EXPECT_TRUE(WaitsForPaint(s.form));
    vcltest::Pump();
    EXPECT_FALSE(WaitsForPaint(s.form));
    // After that paint the next change is asked for again.
    s.gauge->SetProgress(24000000);
    EXPECT_TRUE(WaitsForPaint(s.form));
    s.gauge->OnChange = nullptr;
    s.manager->SetActive(false);
}
