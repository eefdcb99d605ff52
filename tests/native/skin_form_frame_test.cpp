// The skinned form's frame without a window: icon and frame metrics, the
// caption buttons where they are drawn and hit, the client area's place on
// every kind of form, and the system menu's items.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <sstream>

#include "skin/windows/layout/formframe.h"
#include "support/golden.h"
#include "support/layout_skin.h"

using namespace skin;
using BS = TFrameBorderStyle;
using WS = TFrameWindowState;

namespace {

// Side borders differ from top and bottom ones, so that a swap shows.
const TFrameSystemMetrics kMetrics{22, 16, 3, 2, 5, 4, 20, 16, 16};

TFormFrame Form(BS style = BS::bsSizeable) {
    TFormFrame f;
    f.BorderStyle = style;
    f.Width = 300;
    f.Height = 200;
    return f;
}

}  // namespace

TEST(FormFrame, IconAndFrameSizes) {
    EXPECT_EQ(AppIconSize(8), 0);
    EXPECT_EQ(AppIconSize(9), 8);
    EXPECT_EQ(AppIconSize(16), 8);
    EXPECT_EQ(AppIconSize(17), 16);
    EXPECT_EQ(AppIconSize(27), 16);
    EXPECT_EQ(AppIconSize(28), 32);

    TFormFrame f = Form();
    EXPECT_EQ(CaptionHeight(f, kMetrics), 22);
    EXPECT_EQ(FrameWidth(f, kMetrics), 5);
    EXPECT_EQ(FrameHeight(f, kMetrics), 4);
    EXPECT_EQ(TitleIconWidth(f, kMetrics), 16);
    f.TitleIconWidth = 20;
    EXPECT_EQ(TitleIconWidth(f, kMetrics), 20);
    EXPECT_EQ(GetTitleIconRect(f, kMetrics), (TRect{5, 5, 25, 21}));

    // No border: no caption, no frame, no icon; a minimized one has its caption.
    f = Form(BS::bsNone);
    EXPECT_EQ(CaptionHeight(f, kMetrics), 0);
    EXPECT_EQ(FrameWidth(f, kMetrics) + FrameHeight(f, kMetrics), 0);
    EXPECT_TRUE(PlaceTitleButtons(f, kMetrics, TFrameSkinMasks{}).System.empty());
    f.Iconic = true;
    EXPECT_EQ(CaptionHeight(f, kMetrics), 22);
    // An MDI child always has a frame; tool windows the small caption.
    f.FormStyle = TFrameFormStyle::fsMDIChild;
    EXPECT_EQ(FrameWidth(f, kMetrics), 5);
    f = Form(BS::bsToolWindow);
    EXPECT_EQ(CaptionHeight(f, kMetrics), 16);
    EXPECT_EQ(FrameWidth(f, kMetrics), 3);
    EXPECT_EQ(TitleIconWidth(f, kMetrics), 0);
    f.HasCaptionStyle = false;
    EXPECT_EQ(CaptionHeight(f, kMetrics), 0);
}

TEST(FormFrame, CaptionButtonsAreHitWhereTheyAreDrawn) {
    // Without masks every button is 21 pixels: close, maximize, minimize from the right.
    TFormFrame f = Form();
    TFrameSkinMasks none;
    TTitleButtonsLayout l = PlaceTitleButtons(f, kMetrics, none);
    ASSERT_EQ(l.System.size(), 3u);
    EXPECT_EQ(l.System[0].Rect, (TRect{274, 2, 295, 23}));
    EXPECT_EQ(l.System[1].Rect, (TRect{253, 2, 274, 23}));
    EXPECT_EQ(l.System[2].Rect, (TRect{232, 2, 253, 23}));
    EXPECT_EQ(l.Width, 63);
    EXPECT_EQ(ButtonIndexAt(l, 294), 1);
    EXPECT_EQ(ButtonIndexAt(l, 295), 0);  // the right border
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {295, 10}), 2);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {280, 10}), 20);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {260, 10}), 9);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {240, 22}), 8);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {100, 10}), 2);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {6, 10}), 3);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {280, 100}), 0);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {280, 1}), 0);
    EXPECT_EQ(CaptionTextRect(f, kMetrics, l, 14), (TRect{25, 6, 231, 20}));

    // Own title buttons follow, numbered 1000 + i; a disabled one is caption.
    f.TitleButtons = {TUserTitleButton{}, TUserTitleButton{false, true, 30}};
    l = PlaceTitleButtons(f, kMetrics, none);
    ASSERT_EQ(l.User.size(), 2u);
    EXPECT_EQ(l.User[0].Rect, (TRect{211, 2, 232, 23}));
    EXPECT_EQ(l.User[1].Rect, (TRect{179, 2, 211, 23}));
    EXPECT_EQ(ButtonIndexAt(l, 220), 4);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {220, 10}), 1000);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {190, 10}), 2);

    // The band ends with the buttons' last row.
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {280, 22}), 20);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {280, 23}), 0);

    // Maximized: the restore button still answers 9; the outer edge is nothing.
    f = Form();
    f.WindowState = WS::wsMaximized;
    l = PlaceTitleButtons(f, kMetrics, none);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {260, 10}), 9);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {150, 199}), -1);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {150, 100}), 0);
    // Minimized without biMaximize: maximize is shown but dead, minimize restores.
    f = Form();
    f.WindowState = WS::wsMinimized;
    f.Iconic = true;
    f.BorderIcons.biMaximize = false;
    l = PlaceTitleButtons(f, kMetrics, none);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {260, 10}), 2);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {240, 10}), 8);
    EXPECT_FALSE(l.System[1].Enabled);  // drawn as a ghost
    EXPECT_TRUE(l.System[2].Enabled);
    // Without biSystemMenu no system buttons, own ones from the same edge.
    f = Form();
    f.BorderIcons.biSystemMenu = false;
    f.TitleButtons = {TUserTitleButton{}};
    l = PlaceTitleButtons(f, kMetrics, none);
    EXPECT_TRUE(l.System.empty());
    EXPECT_EQ(l.User[0].Rect.Right, 295);

    // Small pictures sit two pixels lower, and the hit band moves with them;
    // BISPACE keeps gaps; the grip answers 17 right of and below its picture.
    skintest::LayoutSkin skin;
    skin.Section("FORM");
    skin.Section("GLOBALINFO");
    skin.Mask("GLOBALINFO", "BICONCLOSE", 14, 14);
    skin.Mask("GLOBALINFO", "BICONMAX", 14, 14);
    skin.Mask("GLOBALINFO", "BICONMIN", 14, 14);
    skin.Mask("GLOBALINFO", "GRIPIMAGE", 12, 12);
    skin.Content.SkinData.BISpace = 2;
    const TFrameSkinMasks masks = GetFrameSkinMasks(skin.Content, "FORM", BS::bsSizeable, false);
    f = Form();
    f.GripRightBottom = true;
    l = PlaceTitleButtons(f, kMetrics, masks);
    EXPECT_EQ(l.System[0].Rect, (TRect{279, 8, 293, 22}));
    EXPECT_EQ(l.System[1].Rect, (TRect{263, 8, 277, 22}));
    EXPECT_EQ(NCHitTest(f, kMetrics, masks, l, {285, 21}), 20);
    EXPECT_EQ(NCHitTest(f, kMetrics, masks, l, {285, 7}), 0);
    EXPECT_EQ(NCHitTest(f, kMetrics, masks, l, {278, 10}), 2);
    const TPoint grip = GetGripPosition(f, kMetrics, masks);
    EXPECT_EQ(grip.X, 283);
    EXPECT_EQ(grip.Y, 184);
    EXPECT_EQ(NCHitTest(f, kMetrics, masks, l, {290, 190}), 17);
    EXPECT_EQ(NCHitTest(f, kMetrics, masks, l, {280, 190}), 0);
    // ... from the grip picture's first pixel on, not the one before it.
    EXPECT_EQ(NCHitTest(f, kMetrics, masks, l, {283, 184}), 17);
    EXPECT_EQ(NCHitTest(f, kMetrics, masks, l, {282, 190}), 0);
    EXPECT_EQ(NCHitTest(f, kMetrics, masks, l, {290, 183}), 0);
    // Pictures of 16 pixels are not small: they sit centred.
    skintest::LayoutSkin big;
    big.Section("FORM");
    big.Section("GLOBALINFO");
    big.Mask("GLOBALINFO", "BICONCLOSE", 16, 16);
    const TFrameSkinMasks bigMasks = GetFrameSkinMasks(big.Content, "FORM", BS::bsSizeable, false);
    EXPECT_EQ(TitleButtonTop(Form(), kMetrics, bigMasks), 5);
    // A grip picture of its own: three states side by side over a mask row.
    skintest::LayoutSkin gripSkin;
    gripSkin.Section("FORM");
    gripSkin.Section("GLOBALINFO");
    gripSkin.OwnMask("GLOBALINFO", "GRIPIMAGE", 36, 24);
    TFormFrame gf = Form();
    EXPECT_EQ(GetGripPosition(gf, kMetrics, GetFrameSkinMasks(gripSkin.Content, "FORM", BS::bsSizeable, false)).X,
              300 - 12 - 5);
    // A close picture of its own: two rows (picture and mask), three states.
    skintest::LayoutSkin own;
    own.Section("FORM");
    own.Section("GLOBALINFO");
    own.OwnMask("GLOBALINFO", "BICONCLOSE", 48, 32);
    const TFrameSkinMasks ownMasks = GetFrameSkinMasks(own.Content, "FORM", BS::bsSizeable, false);
    EXPECT_EQ(SysButtonHeight(ownMasks), 16);
    EXPECT_EQ(PlaceTitleButtons(Form(), kMetrics, bigMasks).System[0].Rect, (TRect{279, 5, 295, 21}));
    // No grip mode: only the square between two skinned bars is a grip.
    f.GripRightBottom = false;
    EXPECT_EQ(NCHitTest(f, kMetrics, masks, l, {290, 190}), 0);
    EXPECT_EQ(NCHitTest(f, kMetrics, masks, l, {290, 190}, TRect{278, 178, 295, 195}), 17);

    // A maximized child's buttons in the menu line: 16 pixels without a picture.
    f = Form();
    f.FormStyle = TFrameFormStyle::fsMDIForm;
    f.HasMenu = f.MenuVisible = f.ShowMDIChildButtons = true;
    f.ClientWidth = 290;
    f.ClientHeight = 151;  // caption, menu line and both borders above and below
    l = PlaceTitleButtons(f, kMetrics, none);
    ASSERT_EQ(l.MDI.size(), 3u);
    EXPECT_EQ(l.MDI[0].Rect, (TRect{244, 27, 260, 43}));
    EXPECT_EQ(l.MDI[1].Rect, (TRect{261, 27, 277, 43}));
    EXPECT_EQ(l.MDI[2].Rect, (TRect{278, 27, 294, 43}));
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {285, 35}), 101);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {268, 35}), 102);
    EXPECT_EQ(NCHitTest(f, kMetrics, none, l, {251, 35}), 103);
    // The form's own border width moves them down with the client area, not inward.
    f.BorderWidth = 3;
    f.ClientWidth = 284;
    f.ClientHeight = 145;
    l = PlaceTitleButtons(f, kMetrics, none);
    EXPECT_EQ(l.MDI[0].Rect, (TRect{244, 30, 260, 46}));
    EXPECT_EQ(l.MDI[2].Rect, (TRect{278, 30, 294, 46}));
}

TEST(FormFrame, TheClientAreaStartsBelowTheTopFrameOnEveryForm) {
    TFormFrame f = Form();
    f.ClientWidth = 290;
    f.ClientHeight = 170;  // 4 + 22 above, 4 below
    EXPECT_EQ(ClientOffsetX(f), 5);
    EXPECT_EQ(ClientOffsetY(f, kMetrics), 26);
    EXPECT_EQ(TopNonClientHeight(f, kMetrics), 26);
    const TFrameBands bands = GetFrameBands(f, kMetrics);
    EXPECT_EQ(bands.Top, (TRect{0, 0, 300, 26}));
    EXPECT_EQ(bands.Left, (TRect{0, 26, 5, 200}));
    EXPECT_EQ(bands.Right, (TRect{295, 26, 300, 200}));
    EXPECT_EQ(bands.Bottom, (TRect{5, 196, 295, 200}));

    // BorderWidth lies inside the frame on all four sides.
    f.BorderWidth = 3;
    f.ClientWidth = 284;
    f.ClientHeight = 164;
    EXPECT_EQ(ClientOffsetX(f), 8);
    EXPECT_EQ(ClientOffsetY(f, kMetrics), 29);
    EXPECT_EQ(GetFrameBands(f, kMetrics).Left, (TRect{0, 29, 8, 200}));
    EXPECT_EQ(GetFrameBands(f, kMetrics).Right, (TRect{292, 29, 300, 200}));
    EXPECT_EQ(GetFrameBands(f, kMetrics).Bottom, (TRect{8, 193, 292, 200}));

    // Without a caption the bottom border still lies below the client area.
    f = Form();
    f.HasCaptionStyle = false;
    f.ClientWidth = 290;
    f.ClientHeight = 192;
    EXPECT_EQ(ClientOffsetY(f, kMetrics), 4);
    EXPECT_EQ(TopNonClientHeight(f, kMetrics), 4);
    f.BorderWidth = 2;
    f.ClientHeight = 188;
    EXPECT_EQ(ClientOffsetY(f, kMetrics), 6);

    // A minimized form is all title: the bottom border belongs to it too.
    f = Form();
    f.Iconic = true;
    f.Height = 27;
    f.ClientWidth = f.ClientHeight = 0;
    EXPECT_EQ(TopNonClientHeight(f, kMetrics), 27);

    // Skinned bars: the client area shrinks, its top stays.
    f = Form();
    f.ClientWidth = 273;
    f.ClientHeight = 153;
    f.HorzScrollHeight = f.VertScrollWidth = 17;
    EXPECT_EQ(ClientOffsetX(f), 5);
    EXPECT_EQ(ClientOffsetY(f, kMetrics), 26);
    EXPECT_EQ(TopNonClientHeight(f, kMetrics), 26);

    // The menu line wraps where the next item passes the frame; an item
    // wider than a row takes a row of its own, not two.
    f = Form();
    EXPECT_EQ(MenuLineRowCount(f, kMetrics, {100, 100, 85}), 1);
    EXPECT_EQ(MenuLineRowCount(f, kMetrics, {100, 100, 86}), 2);
    EXPECT_EQ(MenuLineRowCount(f, kMetrics, {400}), 1);
    EXPECT_EQ(MenuLineRowCount(f, kMetrics, {50, 400, 50}), 3);
    // A new row starts after the side border again: 5 + 200 + 85 fits, 5 + 200 + 86 does not.
    EXPECT_EQ(MenuLineRowCount(f, kMetrics, {200, 200, 85}), 2);
    EXPECT_EQ(MenuLineRowCount(f, kMetrics, {200, 200, 86}), 3);
    // The form's own border width narrows the row on both sides.
    f.BorderWidth = 2;
    EXPECT_EQ(MenuLineRowCount(f, kMetrics, {100, 100, 82}), 2);
    EXPECT_EQ(MenuLineRowCount(f, kMetrics, {100, 100, 81}), 1);
    // Two rows of the menu line both lie above the side bands; a menu row is
    // one pixel less than the system's menu height.
    f = Form();
    f.HasMenu = f.MenuVisible = true;
    f.MenuRows = 2;
    EXPECT_EQ(MenuLineHeight(f, kMetrics), 19);
    EXPECT_EQ(GetFrameBands(f, kMetrics).Left.Top, 4 + 22 + 2 * 19);
    // A dialog frame is fixed; a skinned horizontal bar lies below the client area.
    EXPECT_EQ(FrameWidth(Form(BS::bsDialog), kMetrics), 3);
    EXPECT_EQ(FrameHeight(Form(BS::bsDialog), kMetrics), 2);
    f = Form();
    f.ClientWidth = 290;
    f.ClientHeight = 153;
    f.HorzScrollHeight = 17;
    EXPECT_EQ(ClientOffsetY(f, kMetrics), 26);
}

TEST(FormFrame, SystemMenuItemsAndTheSkinsPictures) {
    // A dialog frame shows Move and Close only.
    TSystemMenuItems s = UpdateSystemMenuItems(Form(BS::bsDialog));
    EXPECT_TRUE(s.ItemMove.Visible && s.ItemClose.Visible);
    EXPECT_FALSE(s.ItemRestore.Visible || s.ItemSize.Visible || s.ItemMinimize.Visible || s.ItemMaximize.Visible);
    // A minimized form of any frame has its minimize and maximize items.
    TFormFrame tiny = Form(BS::bsDialog);
    tiny.Iconic = true;
    EXPECT_TRUE(VisibleMin(tiny) && VisibleMax(tiny));
    // A maximized MDI child: Restore and Maximize enabled, Move not.
    TFormFrame f = Form();
    f.FormStyle = TFrameFormStyle::fsMDIChild;
    f.WindowState = WS::wsMaximized;
    s = UpdateSystemMenuItems(f);
    EXPECT_TRUE(s.ItemRestore.Visible && s.ItemRestore.Enabled);
    EXPECT_TRUE(s.ItemMaximize.Enabled);
    EXPECT_FALSE(s.ItemMove.Enabled);
    // A fixed single frame cannot be sized; without biSystemMenu no Close.
    f = Form(BS::bsSingle);
    f.BorderIcons.biSystemMenu = false;
    s = UpdateSystemMenuItems(f);
    EXPECT_TRUE(s.ItemSize.Visible);
    EXPECT_FALSE(s.ItemSize.Enabled || s.ItemClose.Visible || s.ItemMinimize.Visible);
    EXPECT_EQ(SysButtonCount(f), 0);
    f.BorderIcons = TFrameBorderIcons{true, true, false, true};
    EXPECT_EQ(SysButtonCount(f), 3);
    // A minimized sizeable form: Restore, and no Size until it is restored.
    f = Form();
    f.WindowState = WS::wsMinimized;
    f.Iconic = true;
    s = UpdateSystemMenuItems(f);
    EXPECT_TRUE(s.ItemRestore.Enabled && s.ItemSize.Visible);
    EXPECT_FALSE(s.ItemSize.Enabled || s.ItemMinimize.Enabled);
    // 45 skin names: columns start before the 21st and the 41st.
    int breaks = 0;
    for (int i = 0; i < 45; ++i) breaks += SkinItemBreaks(i) ? 1 : 0;
    EXPECT_EQ(breaks, 2);
    EXPECT_TRUE(SkinItemBreaks(20) && SkinItemBreaks(40) && !SkinItemBreaks(0));

    // Small pictures for tool and dialog frames; help falls back to the big one.
    skintest::LayoutSkin skin;
    skin.Section("FORM");
    skin.Section("GLOBALINFO");
    const int bigClose = skin.Mask("GLOBALINFO", "BICONCLOSE", 21, 21);
    const int smallClose = skin.Mask("GLOBALINFO", "SICONCLOSE", 15, 15);
    const int bigHelp = skin.Mask("GLOBALINFO", "BICONHELP", 21, 21);
    const int title = skin.Mask("FORM", "TITLEBAR", 30, 22);
    EXPECT_EQ(GetFrameSkinMasks(skin.Content, "FORM", BS::bsSizeable, false).Close, bigClose);
    TFrameSkinMasks m = GetFrameSkinMasks(skin.Content, "FORM", BS::bsToolWindow, false);
    EXPECT_EQ(m.Close, smallClose);
    EXPECT_EQ(m.Help, bigHelp);
    EXPECT_EQ(m.TitleBar, title);
    EXPECT_EQ(SysButtonHeight(m), 15);
    // The title bar band: a third of a title-bar frame on each side of the buttons.
    f = Form(BS::bsToolWindow);
    EXPECT_EQ(MinTitleWidth(PlaceTitleButtons(f, kMetrics, m), m), 2 * 10 + 15);
    // A title bar of its own picture: three states of three thirds each.
    skin.Content.Masks[static_cast<size_t>(title)].PropertyName = "OLDTITLEBAR";
    skin.OwnMask("FORM", "TITLEBAR", 90, 22);
    m = GetFrameSkinMasks(skin.Content, "FORM", BS::bsToolWindow, false);
    EXPECT_EQ(MinTitleWidth(PlaceTitleButtons(f, kMetrics, m), m), 2 * 10 + 15);
    // Own title buttons take "TITLEBUTTON" of GLOBALINFO, else the form's;
    // a button that does not use the skin's data has no picture.
    const int formTitle = skin.Mask("FORM", "TITLEBUTTON", 18, 18);
    m = GetFrameSkinMasks(skin.Content, "FORM", BS::bsSizeable, false);
    EXPECT_EQ(m.TitleButton, formTitle);
    f = Form();
    f.TitleButtons = {TUserTitleButton{true, true, 0}, TUserTitleButton{true, false, 0}};
    const TTitleButtonsLayout own = PlaceTitleButtons(f, kMetrics, m);
    EXPECT_EQ(own.User[0].MaskIndex, formTitle);
    EXPECT_EQ(own.User[1].MaskIndex, -1);
    // An MDI main form: a maximized child's restore falls back to the big restore picture.
    const int norm = skin.Mask("GLOBALINFO", "BICONNORM", 21, 21);
    m = GetFrameSkinMasks(skin.Content, "FORM", BS::bsSizeable, true);
    EXPECT_EQ(m.Norm, norm);
    EXPECT_EQ(m.MDINorm, norm);
    const int smallNorm = skin.Mask("GLOBALINFO", "SICONNORM", 15, 15);
    EXPECT_EQ(GetFrameSkinMasks(skin.Content, "FORM", BS::bsSizeable, true).MDINorm, smallNorm);
    // Single and sizeable frames take the big pictures; a maximized form
    // shows the restore picture, from the form's own section when GLOBALINFO has none.
    EXPECT_EQ(GetFrameSkinMasks(skin.Content, "FORM", BS::bsSingle, false).Close, bigClose);
    skin.Content.Masks[static_cast<size_t>(norm)].PropertyName = "OLDNORM";
    const int formNorm = skin.Mask("FORM", "BICONNORM", 21, 21);
    m = GetFrameSkinMasks(skin.Content, "FORM", BS::bsSizeable, false);
    EXPECT_EQ(m.Norm, formNorm);
    f = Form();
    f.WindowState = WS::wsMaximized;
    EXPECT_EQ(PlaceTitleButtons(f, kMetrics, m).System[1].MaskIndex, formNorm);
    // A skin without the close picture in GLOBALINFO: the form section's.
    skin.Content.Masks[static_cast<size_t>(bigClose)].SectionName = "FORM";
    EXPECT_EQ(GetFrameSkinMasks(skin.Content, "FORM", BS::bsToolWindow, false).Close, bigClose);
}

// Which picture each caption button takes, for every kind of frame and for
// skins with and without the global pictures.
TEST(FormFrame, EachButtonTakesItsPictureFromTheRightSection) {
    skintest::LayoutSkin skin;
    skin.Section("FORM");
    skin.Section("GLOBALINFO");
    std::map<std::string, int> g, own;
    for (const char* name : {"BICONCLOSE", "BICONMAX", "BICONMIN", "BICONHELP", "BICONNORM", "SICONCLOSE", "SICONMAX",
                             "SICONMIN", "SICONNORM", "TITLEBUTTON"})
        g[name] = skin.Mask("GLOBALINFO", name, 21, 19);
    for (const char* name : {"BICONCLOSE", "BICONMAX", "BICONMIN", "BICONHELP", "BICONNORM", "TITLEBAR"})
        own[name] = skin.Mask("FORM", name, 20, 18);
    // Close, maximize, minimize, help, restore, then a maximized child's minimize, maximize, close, restore.
    using Expected = std::array<int, 9>;
    auto pictures = [&](BS style, bool mdi) {
        const TFrameSkinMasks k = GetFrameSkinMasks(skin.Content, "FORM", style, mdi);
        EXPECT_EQ(k.TitleBar, own["TITLEBAR"]);
        return Expected{k.Close, k.Max, k.Min, k.Help, k.Norm, k.MDIMin, k.MDIMax, k.MDIClose, k.MDINorm};
    };
    // A sizeable MDI form: the big pictures, the small ones for its child's buttons.
    EXPECT_EQ(pictures(BS::bsSizeable, true),
              (Expected{g["BICONCLOSE"], g["BICONMAX"], g["BICONMIN"], g["BICONHELP"], g["BICONNORM"], g["SICONMIN"],
                        g["SICONMAX"], g["SICONCLOSE"], g["SICONNORM"]}));
    // A tool window: the small ones; without a small help picture the big one.
    EXPECT_EQ(pictures(BS::bsToolWindow, false),
              (Expected{g["SICONCLOSE"], g["SICONMAX"], g["SICONMIN"], g["BICONHELP"], g["BICONNORM"], -1, -1, -1,
                        g["SICONNORM"]}));
    // GLOBALINFO without a close picture: the form section's own, for the child's buttons too.
    skin.Content.Masks[static_cast<size_t>(g["BICONCLOSE"])].PropertyName = "UNUSED";
    EXPECT_EQ(pictures(BS::bsSizeable, true),
              (Expected{own["BICONCLOSE"], own["BICONMAX"], own["BICONMIN"], own["BICONHELP"], g["BICONNORM"],
                        own["BICONMIN"], own["BICONMAX"], own["BICONCLOSE"], g["SICONNORM"]}));
    // No GLOBALINFO at all: no button pictures, not even the form's own.
    skin.Content.Sections[1].SectionName = "OTHER";
    EXPECT_EQ(pictures(BS::bsSizeable, true), (Expected{-1, -1, -1, -1, -1, -1, -1, -1, -1}));
}

namespace {

using skintest::RectText;

// A skin whose pictures all differ in size, so that taking one for another shows.
struct FrameSkin : skintest::LayoutSkin {
    FrameSkin() {
        Section("FORM");
        Section("GLOBALINFO");
        Mask("GLOBALINFO", "BICONCLOSE", 23, 19);
        Mask("GLOBALINFO", "BICONMAX", 21, 19);
        Mask("GLOBALINFO", "BICONMIN", 19, 19);
        Mask("GLOBALINFO", "BICONHELP", 17, 19);
        Mask("GLOBALINFO", "BICONNORM", 20, 19);
        Mask("GLOBALINFO", "SICONCLOSE", 15, 13);
        Mask("GLOBALINFO", "SICONMAX", 14, 13);
        Mask("GLOBALINFO", "SICONMIN", 13, 13);
        Mask("GLOBALINFO", "SICONHELP", 12, 13);
        Mask("GLOBALINFO", "SICONNORM", 11, 13);
        Mask("GLOBALINFO", "TITLEBUTTON", 25, 19);
        OwnMask("GLOBALINFO", "GRIPIMAGE", 39, 26);
        OwnMask("FORM", "TITLEBAR", 90, 22);
        Content.SkinData.BISpace = 2;
    }
};

// Everything a form's frame is drawn and hit by: metrics, pictures, the
// caption buttons, the bands copied to the window, the system menu, and the
// hit test of every pixel (a row only where it differs from the row above).
std::string DescribeFrame(const TFormFrame& f, const TFrameSkinMasks& masks) {
    std::ostringstream o;
    const TTitleButtonsLayout l = PlaceTitleButtons(f, kMetrics, masks);
    o << " caption " << CaptionHeight(f, kMetrics) << " frame " << FrameWidth(f, kMetrics) << "x"
      << FrameHeight(f, kMetrics) << " above " << TopNonClientHeight(f, kMetrics) << " client "
      << ClientOffsetX(f) << "," << ClientOffsetY(f, kMetrics) << " menu " << MenuLineHeight(f, kMetrics) << "\n";
    const TPoint grip = GetGripPosition(f, kMetrics, masks);
    o << " icon " << RectText(GetTitleIconRect(f, kMetrics)) << " buttons " << SysButtonCount(f) << " width " << l.Width
      << " titlebar " << MinTitleWidth(l, masks) << " text " << RectText(CaptionTextRect(f, kMetrics, l, 14)) << " grip "
      << grip.X << "," << grip.Y << " button top " << TitleButtonTop(f, kMetrics, masks) << "\n";
    for (const auto* list : {&l.System, &l.User, &l.MDI})
        for (const TPlacedTitleButton& b : *list)
            o << " button " << b.Code << " " << RectText(b.Rect) << " mask " << b.MaskIndex << (b.Enabled ? "" : " disabled")
              << "\n";
    const TFrameBands bands = GetFrameBands(f, kMetrics);
    o << " bands " << RectText(bands.Top) << RectText(bands.Left) << RectText(bands.Bottom) << RectText(bands.Right) << "\n";
    const TSystemMenuItems items = UpdateSystemMenuItems(f);
    o << " menu items";
    for (const TSystemMenuItem& i : {items.ItemRestore, items.ItemMove, items.ItemSize, items.ItemMinimize,
                                     items.ItemMaximize, items.ItemClose})
        o << " " << (i.Visible ? "V" : "-") << (i.Enabled ? "E" : "-");
    o << "\n";
    const TRect corner{f.Width - 22, f.Height - 22, f.Width - 5, f.Height - 5};
    std::string above;
    for (int y = 0; y < f.Height; ++y) {
        const std::string row =
            skintest::Runs(0, f.Width - 1, [&](int x) { return NCHitTest(f, kMetrics, masks, l, {x, y}, corner); });
        if (row != above) o << " y" << y << row << "\n";
        above = row;
    }
    return o.str();
}

}  // namespace

// Every kind of form, plain and in a skin, against the layout recorded in
// tests/native/golden/form_frames.txt (see the first tests above for what
// the figures mean on a few of them).
TEST(FormFrame, EveryKindOfFormMatchesItsRecordedLayout) {
    const std::vector<std::pair<const char*, std::function<void(TFormFrame&)>>> kinds = {
        {"sizeable", [](TFormFrame&) {}},
        {"single", [](TFormFrame& f) { f.BorderStyle = BS::bsSingle; }},
        {"dialog", [](TFormFrame& f) { f.BorderStyle = BS::bsDialog; }},
        {"tool window", [](TFormFrame& f) { f.BorderStyle = BS::bsToolWindow; }},
        {"sizeable tool window", [](TFormFrame& f) { f.BorderStyle = BS::bsSizeToolWin; }},
        {"no border", [](TFormFrame& f) { f.BorderStyle = BS::bsNone; }},
        {"no border minimized", [](TFormFrame& f) { f.BorderStyle = BS::bsNone, f.Iconic = true, f.WindowState = WS::wsMinimized; }},
        {"maximized", [](TFormFrame& f) { f.WindowState = WS::wsMaximized; }},
        {"minimized", [](TFormFrame& f) { f.WindowState = WS::wsMinimized, f.Iconic = true, f.Height = 30, f.ClientHeight = 0; }},
        {"minimized without maximize", [](TFormFrame& f) {
             f.WindowState = WS::wsMinimized, f.Iconic = true, f.BorderIcons.biMaximize = false;
         }},
        {"dialog minimized", [](TFormFrame& f) { f.BorderStyle = BS::bsDialog, f.Iconic = true; }},
        {"without minimize", [](TFormFrame& f) { f.BorderIcons.biMinimize = false; }},
        {"single without maximize", [](TFormFrame& f) { f.BorderStyle = BS::bsSingle, f.BorderIcons.biMaximize = false; }},
        {"with help", [](TFormFrame& f) { f.BorderIcons.biHelp = true; }},
        {"without system menu", [](TFormFrame& f) { f.BorderIcons.biSystemMenu = false; }},
        {"system menu not made", [](TFormFrame& f) { f.HasSystemMenu = false; }},
        {"MDI child", [](TFormFrame& f) { f.FormStyle = TFrameFormStyle::fsMDIChild, f.BorderStyle = BS::bsNone; }},
        {"MDI child dialog", [](TFormFrame& f) { f.FormStyle = TFrameFormStyle::fsMDIChild, f.BorderStyle = BS::bsDialog; }},
        {"MDI child tool window", [](TFormFrame& f) {
             f.FormStyle = TFrameFormStyle::fsMDIChild, f.BorderStyle = BS::bsToolWindow;
         }},
        {"odd frame", [](TFormFrame& f) { f.ClientWidth = 289, f.ClientHeight = 169; }},
        {"MDI child single maximized", [](TFormFrame& f) {
             f.FormStyle = TFrameFormStyle::fsMDIChild, f.BorderStyle = BS::bsSingle, f.WindowState = WS::wsMaximized;
         }},
        {"MDI form with a maximized child", [](TFormFrame& f) {
             f.FormStyle = TFrameFormStyle::fsMDIForm, f.HasMenu = f.MenuVisible = f.ShowMDIChildButtons = true;
             f.ClientHeight = 150;
         }},
        {"menu of two rows", [](TFormFrame& f) { f.HasMenu = f.MenuVisible = true, f.MenuRows = 2, f.ClientHeight = 130; }},
        {"hidden menu", [](TFormFrame& f) { f.HasMenu = true, f.MenuVisible = false; }},
        {"border width", [](TFormFrame& f) { f.BorderWidth = 3, f.ClientWidth = 284, f.ClientHeight = 164; }},
        {"scroll bars", [](TFormFrame& f) { f.HorzScrollHeight = f.VertScrollWidth = 17, f.ClientWidth = 273, f.ClientHeight = 153; }},
        {"title buttons", [](TFormFrame& f) {
             f.TitleButtons = {TUserTitleButton{}, TUserTitleButton{false, true, 30}, TUserTitleButton{true, false, 10}};
         }},
        {"own title icon", [](TFormFrame& f) { f.TitleIconWidth = 20, f.TitleIconHeight = 12; }},
        {"no application icon", [](TFormFrame& f) { f.ShowAppIcon = false; }},
        {"grip", [](TFormFrame& f) { f.GripRightBottom = true; }},
        {"no caption style", [](TFormFrame& f) { f.HasCaptionStyle = false, f.ClientHeight = 192; }},
    };
    const FrameSkin skin;
    std::string all;
    for (const auto& [name, setUp] : kinds) {
        TFormFrame f = Form();
        f.ClientWidth = 290;
        f.ClientHeight = 170;
        setUp(f);
        all += std::string(name) + ", plain\n" + DescribeFrame(f, TFrameSkinMasks{});
        const bool mdi = f.FormStyle == TFrameFormStyle::fsMDIForm;
        all += std::string(name) + ", skinned\n" + DescribeFrame(f, GetFrameSkinMasks(skin.Content, "FORM", f.BorderStyle, mdi));
    }
    golden::ExpectRecorded("form_frames", all);

    // Without small pictures an MDI form's child buttons take the big ones, each its own.
    skintest::LayoutSkin big;
    big.Section("FORM");
    big.Section("GLOBALINFO");
    for (const char* name : {"BICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM"}) big.Mask("GLOBALINFO", name, 21, 19);
    const TFrameSkinMasks mdi = GetFrameSkinMasks(big.Content, "FORM", BS::bsSizeable, true);
    EXPECT_GE(mdi.Min, 0);
    EXPECT_EQ(std::tie(mdi.MDIMin, mdi.MDIMax, mdi.MDIClose), std::tie(mdi.Min, mdi.Max, mdi.Close));
    EXPECT_NE(mdi.Min, mdi.Max);
}
