// The skinned controls' window-free rules: the gauge's range and
// percentage, panel sections, tool-bar captions, up-down halves, which
// controls the form's control adapter takes, and the purge of dead items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/windows/layout/adapterrules.h"
#include "skin/windows/layout/controlparts.h"

using namespace skin;

TEST(SkinnedGauge, RangeAndPercentage) {
    TGaugeRange g;
    EXPECT_EQ(g.PercentDone(), 47);
    // Max = Min: 0 %.
    EXPECT_TRUE(g.SetMaxValue(0).Invalidate);
    EXPECT_EQ(g.Progress(), 0);
    EXPECT_EQ(g.PercentDone(), 0);
    // Ranges of millions: the percentage in 64 bits.
    g.SetMaxValue(24000000);
    g.SetProgress(12000000);
    EXPECT_EQ(g.PercentDone(), 50);
    g.SetProgress(23999999);
    EXPECT_EQ(g.PercentDone(), 99);
    EXPECT_EQ(PercentDone(-2000000000, 2000000000, 0), 50);
    EXPECT_EQ(PercentDone(5, 3, 4), 0);
    EXPECT_EQ(PartOf(47, 200), 94);
    EXPECT_EQ(PartOf(99, 24000000), 23760000);
    EXPECT_EQ(PartOf(50, 15), 7);  // a bar shorter than a hundred pixels still fills

    // Outside the range: the nearest bound; the same value: no OnChange.
    TGaugeChange c = g.SetProgress(30000000);
    EXPECT_EQ(g.Progress(), 24000000);
    EXPECT_TRUE(c.Changed && c.Invalidate);
    c = g.SetProgress(24000001);
    EXPECT_FALSE(c.Changed || c.Invalidate);
    // A change inside one percent: OnChange without a repaint.
    g.SetProgress(12000000);
    c = g.SetProgress(12000001);
    EXPECT_TRUE(c.Changed);
    EXPECT_FALSE(c.Invalidate);

    // A minimum above the maximum is refused with the range allowed, and
    // nothing changes; while the form is read it is stored.
    TGaugeRange r;
    c = r.SetMinValue(150);
    EXPECT_EQ(c.Error, "Value must be between -2147483647 and 99");
    EXPECT_EQ(r.MinValue(), 0);
    EXPECT_FALSE(r.SetMinValue(101).Error.empty());  // one past the maximum is refused too
    c = r.SetMaxValue(-5);
    EXPECT_EQ(c.Error, "Value must be between 1 and 2147483647");
    EXPECT_EQ(r.MaxValue(), 100);
    // A higher minimum raises the progress, a lower maximum lowers it.
    r.SetMinValue(60);
    EXPECT_EQ(r.Progress(), 60);
    r.SetMaxValue(70);
    r.SetProgress(70);
    r.SetMaxValue(65);
    EXPECT_EQ(r.Progress(), 65);
    r.SetMaxValue(64);  // one above is lowered too
    EXPECT_EQ(r.Progress(), 64);
    EXPECT_TRUE(r.SetMinValue(200, true).Error.empty());
    EXPECT_EQ(r.MinValue(), 200);
    TGaugeRange read;
    EXPECT_TRUE(read.SetMaxValue(-5, true).Error.empty());
    EXPECT_EQ(read.MaxValue(), -5);
    EXPECT_EQ(read.Progress(), -5);

    // Below the range: the minimum. The same bounds again: no repaint.
    TGaugeRange low;
    low.SetMinValue(10);
    c = low.SetProgress(-5);
    EXPECT_EQ(low.Progress(), 10);
    EXPECT_TRUE(c.Changed);
    c = low.SetMinValue(10);
    EXPECT_FALSE(c.Invalidate || c.Changed);
    c = low.SetMaxValue(100);
    EXPECT_FALSE(c.Invalidate || c.Changed);
}

TEST(SkinnedControls, PanelSectionsCaptionsAndSpinHalves) {
    using B = TPanelBevelKind;
    EXPECT_EQ(PanelSection(B::bvRaised, B::bvLowered, false), "GROUPBOX");
    EXPECT_EQ(PanelSection(B::bvLowered, B::bvLowered, true), "PANEL_LOW");
    EXPECT_EQ(PanelSection(B::bvNone, B::bvRaised, false), "CHECKBOX");
    EXPECT_EQ(PanelSection(B::bvLowered, B::bvRaised, false), "GROUPBOX");
    EXPECT_EQ(PanelSection(B::bvRaised, B::bvRaised, false), "PANEL");
    EXPECT_EQ(PanelSection(B::bvRaised, B::bvNone, true), "PANEL");
    EXPECT_EQ(PanelSection(B::bvNone, B::bvNone, true), "PANEL_LOW");

    TToolBarCaption t = SplitToolBarCaption("Save as");
    EXPECT_FALSE(t.TwoLines);
    EXPECT_EQ(t.Line1, "Save as");
    t = SplitToolBarCaption("Save all  the open files");
    EXPECT_TRUE(t.TwoLines);
    EXPECT_EQ(t.Line1, "Save all  the");
    EXPECT_EQ(t.Line2, "open files");
    t = SplitToolBarCaption(" a b c ");
    EXPECT_EQ(t.Line1, "a");
    EXPECT_EQ(t.Line2, "b c");

    // 17 pixels high: the upper half rows 0 to 8, the lower 8 to 16.
    const TSpinHalves h = SpinHalves(15, 17, 2);
    EXPECT_EQ(h.Up, (TRect{2, 0, 15, 9}));
    EXPECT_EQ(h.Down, (TRect{2, 8, 15, 17}));
    EXPECT_EQ(SpinHalves(15, 16, 0).Down, (TRect{0, 8, 15, 16}));

    EXPECT_TRUE(IsRadioButtonStyle(4) && IsRadioButtonStyle(9) && IsRadioButtonStyle(0x2009));
    EXPECT_FALSE(IsRadioButtonStyle(2) || IsRadioButtonStyle(3) || IsRadioButtonStyle(0xC));
}

TEST(ControlAdapter, ListedClassesAndDeadItems) {
    ThirdPartyList third;
    TThirdLists lists;
    UpdateThirdNames(third, lists, true);
    TListedComponent edit;
    edit.IsWindowed = edit.HasHandle = true;
    edit.ClassName = "TEdit";
    EXPECT_TRUE(IsListed(edit, lists));
    TListedComponent c = edit;
    c.Tag = kNoSkinTag;
    EXPECT_FALSE(IsListed(c, lists));
    c = edit;
    c.HasHandle = false;
    EXPECT_FALSE(IsListed(c, lists));
    c = edit;
    c.AnswersSkinned = true;
    EXPECT_FALSE(IsListed(c, lists));
    c = edit;
    c.ClassName = "tedit";  // exact names only
    EXPECT_FALSE(IsListed(c, lists));
    // Labels are asked through OnSkinItem; other graphic controls never listed.
    TListedComponent label;
    label.IsLabel = label.IsGraphic = true;
    label.ClassName = "TLabel";
    EXPECT_TRUE(IsListed(label, lists));
    EXPECT_FALSE(IsListed(label, lists, [] { return false; }));
    TListedComponent shape;
    shape.IsGraphic = true;
    shape.ClassName = "TPanel";
    EXPECT_FALSE(IsListed(shape, lists));

    // A class in two lists gets the adapter of the lower index.
    lists[tpGrids].push_back("TFleetGrid");
    lists[tpPanels].push_back("TFleetGrid");
    EXPECT_EQ(FindThirdKind(lists, "TFleetGrid"), tpGrids);
    EXPECT_EQ(HookControlChoice(FindThirdKind(lists, "TFleetGrid")).Class, TacWndClass::TacGridWnd);
    EXPECT_EQ(FindThirdKind(lists, "TShape"), -1);
    EXPECT_EQ(HookControlChoice(-1).Class, TacWndClass::None);
    const TAdapterChoice check = HookControlChoice(FindThirdKind(lists, "TRadioButton"));
    EXPECT_EQ(check.Class, TacWndClass::TacCheckBoxWnd);
    EXPECT_EQ(check.Section, "CHECKBOX");
    EXPECT_TRUE(check.StoreSection);
    EXPECT_FALSE(HookControlChoice(tpEdits).StoreSection);
    // Every list's adapter and section.
    using C = TacWndClass;
    const struct {
        int kind;
        C cls;
        const char* section;
        bool stored;
    } table[] = {{tpEdits, C::TacEditWnd, "EDIT", false},          {tpButtons, C::TacBtnWnd, "BUTTON", true},
                 {tpBitBtns, C::TacBitBtnWnd, "BUTTON", true},     {tpCheckBoxes, C::TacCheckBoxWnd, "CHECKBOX", true},
                 {tpComboBoxes, C::TacComboBoxWnd, "EDIT", false}, {tpGrids, C::TacGridWnd, "EDIT", false},
                 {tpGroupBoxes, C::TacGroupBoxWnd, "GROUPBOX", true}, {tpListViews, C::TacListViewWnd, "EDIT", false},
                 {tpPanels, C::TacPanelWnd, "PANEL", true},        {tpTreeViews, C::TacTreeViewWnd, "EDIT", false},
                 {tpWWEdits, C::TacWWComboBoxWnd, "EDIT", false},  {tpGridEh, C::TacGridEhWnd, "EDIT", false},
                 {tpVirtualTrees, C::TacVirtualTreeViewWnd, "EDIT", false}};
    for (const auto& row : table) {
        const TAdapterChoice choice = HookControlChoice(row.kind);
        EXPECT_EQ(choice.Class, row.cls) << row.kind;
        EXPECT_EQ(choice.Section, row.section) << row.kind;
        EXPECT_EQ(choice.StoreSection, row.stored) << row.kind;
    }

    // Adjacent dead items all go, each freed once; the living keep their order.
    std::vector<std::string> items{"a", "dead1", "dead2", "b", "dead3", "dead4"};
    std::vector<std::string> freed;
    PurgeDeadItems(
        items, [](const std::string& s) { return s.rfind("dead", 0) == 0; },
        [&](const std::string& s) { freed.push_back(s); });
    EXPECT_EQ(items, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(freed, (std::vector<std::string>{"dead1", "dead2", "dead3", "dead4"}));
}
