// Skinned menus and dialogs without a window: item heights and widths,
// popup columns, the dialog's frame, buttons, caption, strips and system
// menu, and which adapter the window hook gives to what.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <tuple>

#include "skin/windows/layout/adapterrules.h"
#include "skin/windows/layout/dialogframe.h"
#include "skin/windows/layout/menumeasure.h"
#include "skin/windows/layout/winvalues.h"
#include "support/golden.h"
#include "support/layout_skin.h"

using namespace skin;

namespace {

const TFrameSystemMetrics kMetrics{22, 16, 3, 2, 5, 4, 20, 16, 16};

TDialogFrame Dialog(unsigned s, unsigned ex = 0) {
    TDialogFrame d;
    d.Style = s;
    d.ExStyle = ex;
    d.Width = 300;
    d.Height = 200;
    d.ClientHeight = 174;
    return d;
}

const unsigned kMessageBox = style::Popup | style::Caption | style::SysMenu | style::ModalFrame;

}  // namespace

TEST(SkinnedMenus, ItemHeightsAndWidths) {
    EXPECT_EQ(MenuItemHeight("-", 13, 18, 2), 2);
    EXPECT_EQ(MenuItemHeight("Открыть", 13, 18, 2), 22);  // max(round(16.25), 18) + 4
    EXPECT_EQ(MenuItemHeight("Открыть", 13, 0, 2), 20);
    EXPECT_EQ(MenuItemHeight("-Опции-", 13, 18, 2), 20);   // a caption item ignores the glyph
    EXPECT_EQ(MenuItemHeight("A", 14, 0, 0), 18);          // 17.5 and 12.5 round to even
    EXPECT_EQ(MenuItemHeight("A", 10, 0, 0), 12);

    EXPECT_EQ(MenuItemType("-", false), smDivider);
    EXPECT_EQ(MenuItemType("-Опции-", false), smCaption);
    EXPECT_EQ(MenuItemType("Файл", true), smTopLine);
    EXPECT_EQ(MenuItemType("a-b", false), smNormal);
    EXPECT_EQ(MenuItemType("-a", false), smNormal);
    EXPECT_EQ(MenuItemType("a-", false), smNormal);
    EXPECT_EQ(MeasuredMenuText(smCaption, "-Опции-", "Ctrl+O"), "--Опции--");
    EXPECT_EQ(MeasuredMenuText(smNormal, "Открыть", "Ctrl+O"), "ОткрытьCtrl+O");
    EXPECT_EQ(CaptionItemWord("-Опции-"), "Опции");
    // Only the first word between dashes; dashes alone show nothing and a divider measures nothing.
    EXPECT_EQ(CaptionItemWord("-Вид-Панели-"), "Вид");
    EXPECT_EQ(CaptionItemWord("--"), "");
    EXPECT_EQ(MeasuredMenuText(smDivider, "-", "Ctrl+D"), "");
    bool right = false;
    EXPECT_EQ(PopupItemText("\x08Справка", right), "Справка      ");
    EXPECT_TRUE(right);

    // The extra line widens the first column only.
    EXPECT_EQ(ExtraLineSpace(true, false, 32), 0);  // hidden
    EXPECT_EQ(ExtraLineSpace(false, true, 32), 0);
    const int space = ExtraLineSpace(true, true, 32);
    EXPECT_EQ(MenuItemWidth(16, 50, 2, 6, space, false), 126);
    EXPECT_EQ(MenuItemWidth(16, 50, 2, 6, space, true), 94);
    const std::vector<bool> breaks{false, false, true, false};
    EXPECT_FALSE(IsAfterBreak(breaks, 1));
    EXPECT_TRUE(IsAfterBreak(breaks, 2));
    EXPECT_TRUE(IsAfterBreak(breaks, 3));

    // Two columns: 100 + 12, 4 between, 70 + 12; the taller one; the border round.
    const TPoint size = PopupSize({{true, false, 100, 20}, {true, false, 80, 2}, {false, true, 500, 90},
                                   {true, true, 60, 20}, {true, false, 70, 20}},
                                  3);
    EXPECT_EQ(size.X, 204);
    EXPECT_EQ(size.Y, 46);
    // A break on the first shown item opens no empty column before it.
    EXPECT_EQ(PopupSize({{false, false, 300, 20}, {true, true, 100, 20}, {true, false, 70, 20}}, 0).X, 112);

    // A menu line item with an image, the first one included, is wider by it.
    EXPECT_EQ(MenuLineItemWidth(40, true, 16, 0), 62);
    EXPECT_EQ(MenuLineItemWidth(40, true, 16, -1), 40);
    EXPECT_EQ(MenuLineItemWidth(40, false, 16, 3), 40);

    EXPECT_EQ(GetGlyphSize({0, 0}, false, false, {}).X, 16);
    EXPECT_EQ(GetGlyphSize({0, 0}, true, true, {24, 24}).X, 0);
    // A popup item takes its image list's size; a bitmap without height is no bitmap.
    auto xy = [](TPoint p) { return std::pair{p.X, p.Y}; };
    EXPECT_EQ(xy(GetGlyphSize({0, 0}, false, true, {24, 20})), std::pair(24, 20));
    EXPECT_EQ(xy(GetGlyphSize({16, 0}, false, true, {24, 20})), std::pair(24, 20));
    EXPECT_EQ(xy(GetGlyphSize({18, 14}, false, true, {24, 20})), std::pair(18, 14));

    skintest::LayoutSkin skin;
    EXPECT_EQ(SkinBorderWidth(-1, &skin.Content), 0);
    skin.Section("MAINMENU");
    const int mask = skin.Mask("MAINMENU", "BORDERSMASK", 30, 30, 1, 1, 0);
    EXPECT_EQ(SkinBorderWidth(-1, &skin.Content), 3);
    skin.Content.Masks[static_cast<size_t>(mask)].BorderWidth = 0;
    EXPECT_EQ(SkinBorderWidth(-1, &skin.Content), 3);
    skin.Content.Masks[static_cast<size_t>(mask)].BorderWidth = 5;
    EXPECT_EQ(SkinBorderWidth(-1, &skin.Content), 5);
    EXPECT_EQ(SkinBorderWidth(2, &skin.Content), 2);
    EXPECT_EQ(SkinBorderWidth(0, &skin.Content), 0);  // a stored 0 is no border, not the skin's
}

TEST(SkinnedDialogs, FrameButtonsCaptionAndHitTest) {
    EXPECT_EQ(DialogBorderCode(kMessageBox, 0), 0);
    EXPECT_EQ(DialogBorderCode(style::Popup | style::ThickFrame, 0), 2);
    EXPECT_EQ(DialogBorderCode(style::Caption | style::ThickFrame, 0), 3);
    EXPECT_EQ(DialogBorderCode(style::Caption, 0), 1);
    EXPECT_EQ(DialogBorderCode(style::Caption, style::ExToolWindow), 4);
    EXPECT_EQ(DialogBorderCode(style::Caption | style::ThickFrame, style::ExToolWindow), 5);
    EXPECT_EQ(DialogBorderCode(style::Caption | style::ModalFrame, style::ExToolWindow), 4);
    EXPECT_EQ(DialogTitleHeight(Dialog(style::Caption | style::ThickFrame, style::ExToolWindow), kMetrics), 16);
    EXPECT_EQ(DialogTitleHeight(Dialog(style::Popup | style::ThickFrame), kMetrics), 0);
    EXPECT_EQ(DialogBorderWidth(Dialog(style::Popup | style::ThickFrame), kMetrics), 0);
    EXPECT_EQ(DialogTitleHeight(Dialog(style::Caption, style::ExToolWindow), kMetrics), 16);

    // A message box 300 wide: close and minimize of 21 pixels from x 297 leftward.
    skintest::LayoutSkin skin;
    skin.Section("FORM");
    skin.Section("DIALOG");
    skin.Section("GLOBALINFO");
    skin.Mask("GLOBALINFO", "BICONCLOSE", 25, 19);
    const int close = skin.Mask("GLOBALINFO", "SICONCLOSE", 21, 21);
    skin.Mask("GLOBALINFO", "SICONMIN", 21, 21);
    skin.Mask("GLOBALINFO", "GRIPIMAGE", 12, 12);
    TDialogFrame d = Dialog(kMessageBox | style::MinimizeBox);
    TDialogSkinMasks masks = GetDialogSkinMasks(skin.Content, DialogBorderCode(d.Style, d.ExStyle));
    EXPECT_EQ(masks.Close, close);
    TDialogButtonsLayout l = PlaceDialogTitleButtons(d, kMetrics, masks);
    ASSERT_EQ(l.Buttons.size(), 2u);
    EXPECT_EQ(l.Buttons[0].Rect, (TRect{276, 1, 297, 22}));
    EXPECT_EQ(l.Buttons[1].Rect, (TRect{255, 1, 276, 22}));
    EXPECT_EQ(DialogHitTest(d, kMetrics, masks, l, {280, 5}), 20);
    EXPECT_EQ(DialogHitTest(d, kMetrics, masks, l, {260, 5}), 8);
    EXPECT_EQ(DialogHitTest(d, kMetrics, masks, l, {100, 5}), 2);
    EXPECT_EQ(DialogHitTest(d, kMetrics, masks, l, {100, 1}), 0);
    EXPECT_EQ(DialogHitTest(d, kMetrics, masks, l, {1, 10}), 0);    // the left border
    EXPECT_EQ(DialogHitTest(d, kMetrics, masks, l, {298, 10}), 0);  // the right border
    EXPECT_EQ(DialogHitTest(d, kMetrics, masks, l, {8, 10}), 2);
    EXPECT_EQ(DialogCaptionRect(d, kMetrics, l).Left, 7);
    d.HasIcon = true;
    EXPECT_EQ(DialogCaptionRect(d, kMetrics, l).Left, 23);
    EXPECT_EQ(DialogCaptionFitWidth(d, kMetrics, l), 300 - 16 - 3 - 42 - 6);
    EXPECT_EQ(DialogHitTest(d, kMetrics, masks, l, {8, 10}), 3);
    // A class without close: the close button is drawn dead and clicks are caption.
    d.ClassNoClose = true;
    l = PlaceDialogTitleButtons(d, kMetrics, masks);
    EXPECT_FALSE(l.Buttons[0].Enabled);
    EXPECT_EQ(DialogHitTest(d, kMetrics, masks, l, {280, 5}), 2);
    // No picture, no button; no caption or system menu, no buttons at all.
    EXPECT_EQ(PlaceDialogTitleButtons(Dialog(kMessageBox | style::MaximizeBox), kMetrics, masks).Buttons.size(), 1u);
    EXPECT_TRUE(PlaceDialogTitleButtons(Dialog(style::Popup | style::SysMenu), kMetrics, masks).Buttons.empty());

    // A tool window without small close picture takes the big ones; the
    // form section's own pictures come first.
    skin.Content.Masks[static_cast<size_t>(close)].PropertyName = "NONE";
    EXPECT_EQ(GetDialogSkinMasks(skin.Content, 4).Close, 0);
    const int formClose = skin.Mask("FORM", "BICONCLOSE", 18, 18);
    EXPECT_EQ(GetDialogSkinMasks(skin.Content, 0).Close, formClose);
    // ... only when the skin has a section of that name (the pictures of a
    // "[Form]" section are stored under the upper-case name).
    skintest::LayoutSkin loose;
    loose.Section("Form");
    loose.Section("GLOBALINFO");
    const int globalClose = loose.Mask("GLOBALINFO", "BICONCLOSE", 21, 21);
    loose.Mask("FORM", "BICONCLOSE", 18, 18);
    EXPECT_EQ(GetDialogSkinMasks(loose.Content, 1).Close, globalClose);
    // Big pictures for single and sizing frames, small ones for the rest.
    skin.Content.Masks[static_cast<size_t>(formClose)].PropertyName = "NONE";
    skin.Content.Masks[static_cast<size_t>(close)].PropertyName = "SICONCLOSE";
    EXPECT_EQ(GetDialogSkinMasks(skin.Content, 3).Close, 0);
    EXPECT_EQ(GetDialogSkinMasks(skin.Content, 1).Close, 0);
    EXPECT_EQ(GetDialogSkinMasks(skin.Content, 5).Close, close);

    // A zoomed sizing dialog shows restore for maximize; its own title bar.
    TDialogFrame zoomedFrame = Dialog(style::Caption | style::SysMenu | style::ThickFrame | style::MaximizeBox);
    zoomedFrame.Zoomed = true;
    const int bigMax = skin.Mask("GLOBALINFO", "BICONMAX", 21, 21);
    const int dialogBar = skin.Mask("DIALOG", "TITLEBAR", 30, 22);
    skin.Mask("GLOBALINFO", "TITLEBAR", 30, 22);
    TDialogSkinMasks zm = GetDialogSkinMasks(skin.Content, 3);
    EXPECT_EQ(zm.TitleBar, dialogBar);
    EXPECT_EQ(zm.IconicMax, bigMax);
    skin.Content.Masks[static_cast<size_t>(bigMax)].PropertyName = "NONE";
    const int ownMax = skin.Mask("DIALOG", "BICONMAX", 21, 21);
    zm = GetDialogSkinMasks(skin.Content, 3);
    EXPECT_EQ(zm.IconicMax, ownMax);
    const int zoomNorm = skin.Mask("GLOBALINFO", "BICONNORM", 21, 21);
    zm = GetDialogSkinMasks(skin.Content, 3);
    const TDialogButtonsLayout zl = PlaceDialogTitleButtons(zoomedFrame, kMetrics, zm);
    ASSERT_GE(zl.Buttons.size(), 2u);
    EXPECT_EQ(zl.Buttons[1].MaskIndex, zoomNorm);
    skin.Content.Masks[static_cast<size_t>(zoomNorm)].PropertyName = "NONE";

    // A minimized dialog: its minimize button shows the restore picture,
    // usable only when the dialog can be maximized as well.
    const int norm = skin.Mask("GLOBALINFO", "BICONNORM", 21, 21);
    TDialogFrame minimized = Dialog(kMessageBox | style::MinimizeBox);
    minimized.Iconic = true;
    masks = GetDialogSkinMasks(skin.Content, 0);
    l = PlaceDialogTitleButtons(minimized, kMetrics, masks);
    ASSERT_EQ(l.Buttons.size(), 2u);
    EXPECT_EQ(l.Buttons[1].MaskIndex, norm);
    EXPECT_FALSE(l.Buttons[1].Enabled);
    minimized.Style |= style::MaximizeBox;
    l = PlaceDialogTitleButtons(minimized, kMetrics, masks);
    EXPECT_TRUE(l.Buttons.back().Enabled);
    // The small icon is centred in the title and the top border together.
    const TFrameSystemMetrics odd{21, 16, 3, 2, 5, 4, 20, 16, 16};
    d = Dialog(kMessageBox);
    d.HasIcon = true;
    EXPECT_EQ(DialogIconRect(d, odd), (TRect{3, 3, 19, 19}));

    // Only a sizing frame has a grip and an enabled Size item.
    TDialogFrame sizing = Dialog(style::Caption | style::SysMenu | style::ThickFrame | style::MaximizeBox);
    EXPECT_TRUE(DialogHasGrip(sizing));
    EXPECT_EQ(DialogHitTest(sizing, kMetrics, masks, {}, {290, 190}), 17);
    // The grip is its picture, 12 pixels square from (283, 184), and no more.
    EXPECT_EQ(DialogGripPosition(sizing, kMetrics, masks).X, 283);
    EXPECT_EQ(DialogGripPosition(sizing, kMetrics, masks).Y, 184);
    EXPECT_EQ(DialogHitTest(sizing, kMetrics, masks, {}, {283, 184}), 17);
    EXPECT_EQ(DialogHitTest(sizing, kMetrics, masks, {}, {294, 195}), 17);
    EXPECT_EQ(DialogHitTest(sizing, kMetrics, masks, {}, {282, 190}), 0);
    EXPECT_EQ(DialogHitTest(sizing, kMetrics, masks, {}, {290, 196}), 0);
    EXPECT_TRUE(UpdateDialogMenuItems(sizing).miSize.Enabled);
    const TDialogFrame child = Dialog(style::Child | style::SysMenu);
    EXPECT_EQ(DialogBorderCode(child.Style, 0), 3);
    EXPECT_FALSE(DialogHasGrip(child));
    EXPECT_EQ(DialogHitTest(child, kMetrics, masks, {}, {290, 190}), 0);
    EXPECT_TRUE(UpdateDialogMenuItems(child).miSize.Visible);
    EXPECT_FALSE(UpdateDialogMenuItems(child).miSize.Enabled);
}

TEST(SkinnedDialogs, StripsAndSystemMenu) {
    // Sides as wide as the side border, the bottom as high as the bottom border.
    TDialogStrips s = GetDialogStrips(Dialog(kMessageBox), kMetrics);
    EXPECT_EQ(s.Title, (TRect{0, 0, 300, 24}));
    EXPECT_EQ(s.Left, (TRect{0, 24, 3, 200}));
    EXPECT_EQ(s.Bottom, (TRect{3, 198, 297, 200}));
    EXPECT_EQ(s.Right, (TRect{297, 24, 300, 200}));
    // A sizing frame: sides of the sizing width.
    s = GetDialogStrips(Dialog(style::Caption | style::ThickFrame), kMetrics);
    EXPECT_EQ(s.Right, (TRect{295, 26, 300, 200}));
    EXPECT_EQ(s.Left, (TRect{0, 26, 5, 200}));
    // A captionless sizing popup: a ring of 3.
    TDialogFrame popup = Dialog(style::Popup | style::ThickFrame);
    popup.ClientHeight = 194;
    s = GetDialogStrips(popup, kMetrics);
    EXPECT_EQ(s.Title, (TRect{0, 0, 300, 3}));
    EXPECT_EQ(s.Left, (TRect{0, 3, 3, 200}));
    EXPECT_EQ(s.Bottom, (TRect{3, 197, 297, 200}));
    EXPECT_EQ(s.Right, (TRect{297, 3, 300, 200}));
    // A fixed tool window: the fixed border, no Size item.
    const TDialogFrame tool = Dialog(style::Caption | style::SysMenu, style::ExToolWindow);
    EXPECT_EQ(DialogBorderWidth(tool, kMetrics), 3);
    EXPECT_EQ(DialogBorderHeight(tool, kMetrics), 2);
    EXPECT_FALSE(UpdateDialogMenuItems(tool).miSize.Visible);
    EXPECT_TRUE(UpdateDialogMenuItems(Dialog(style::Caption | style::SysMenu | style::ThickFrame, style::ExToolWindow))
                    .miSize.Visible);
    EXPECT_EQ(DialogTopNonClientHeight(Dialog(style::Child | style::SysMenu), kMetrics), 200 - 174 - 4);
    // A minimized message box is all title: the band takes the whole window
    // and the borders start one row below the title.
    TDialogFrame minimized = Dialog(kMessageBox | style::MinimizeBox);
    minimized.Iconic = true;
    minimized.Width = 160;
    minimized.Height = 27;
    minimized.ClientHeight = 0;
    EXPECT_EQ(DialogTopNonClientHeight(minimized, kMetrics), 27);
    s = GetDialogStrips(minimized, kMetrics);
    EXPECT_EQ(s.Title, (TRect{0, 0, 160, 27}));
    EXPECT_EQ(s.Left, (TRect{0, 25, 3, 27}));
    EXPECT_EQ(s.Bottom, (TRect{3, 25, 157, 27}));
    EXPECT_EQ(s.Right, (TRect{157, 25, 160, 27}));

    // A message box: Move and Close.
    TDialogMenuItems m = UpdateDialogMenuItems(Dialog(kMessageBox));
    EXPECT_TRUE(m.miMove.Visible && m.miMove.Enabled && m.miClose.Visible);
    EXPECT_FALSE(m.miRestore.Visible || m.miSize.Visible || m.miMinimize.Visible || m.miMaximize.Visible);
    // A zoomed sizing dialog: Restore, not Maximize, not Move.
    TDialogFrame zoomed = Dialog(style::Caption | style::SysMenu | style::ThickFrame | style::MaximizeBox);
    zoomed.Zoomed = true;
    m = UpdateDialogMenuItems(zoomed);
    EXPECT_TRUE(m.miRestore.Visible && m.miRestore.Enabled && m.miMaximize.Visible);
    EXPECT_FALSE(m.miMaximize.Enabled || m.miMove.Enabled);
    zoomed.Zoomed = false;
    EXPECT_TRUE(UpdateDialogMenuItems(zoomed).miMove.Enabled);
    // An iconic one with a minimize box: Restore only without a maximize box.
    TDialogFrame iconic = Dialog(style::Caption | style::SysMenu | style::MinimizeBox);
    iconic.Iconic = true;
    m = UpdateDialogMenuItems(iconic);
    EXPECT_TRUE(m.miRestore.Visible);
    EXPECT_FALSE(m.miRestore.Enabled || m.miMinimize.Enabled || m.miSize.Enabled);
}

TEST(SkinnedDialogs, BorderWithoutCaptionIconSizesAndRestore) {
    // A popup with a thin border but no caption is a captionless popup: no title.
    const unsigned thinBorder = 0x00800000u;
    const TDialogFrame bordered = Dialog(style::Popup | thinBorder | style::SysMenu);
    EXPECT_EQ(DialogBorderCode(bordered.Style, 0), 2);
    EXPECT_EQ(DialogTitleHeight(bordered, kMetrics), 0);
    // ... and its icon is nowhere.
    TDialogFrame captionless = Dialog(style::Popup | style::ThickFrame);
    captionless.HasIcon = true;
    EXPECT_TRUE(DialogIconRect(captionless, kMetrics).IsEmpty());
    EXPECT_EQ(DialogHitTest(captionless, kMetrics, TDialogSkinMasks{}, {}, {8, 8}), 0);

    // A small icon 16 wide and 12 high: the caption starts after its width.
    const TFrameSystemMetrics wide{22, 16, 3, 2, 5, 4, 20, 16, 12};
    TDialogFrame d = Dialog(kMessageBox);
    d.HasIcon = true;
    EXPECT_EQ(DialogIconRect(d, wide), (TRect{3, 6, 19, 18}));
    EXPECT_EQ(DialogCaptionRect(d, wide, {}).Left, 3 + 16 + 4);
    EXPECT_EQ(DialogCaptionFitWidth(d, wide, {}), 300 - 16 - 3 - 6);

    // Restore is an item of the system menu only when the dialog has one.
    TDialogFrame single = Dialog(style::Popup | style::Caption | style::MaximizeBox);
    EXPECT_FALSE(UpdateDialogMenuItems(single).miRestore.Visible);
    single.Style |= style::SysMenu;
    EXPECT_TRUE(UpdateDialogMenuItems(single).miRestore.Visible);
}

TEST(DialogHook, ChildAdaptersAndHookDecisions) {
    using C = TacWndClass;
    EXPECT_EQ(ChooseChildAdapter("Static", 0).Class, C::TacStaticWnd);
    EXPECT_EQ(ChooseChildAdapter("STATIC", 0x3).Class, C::TacIconWnd);
    // Text statics of every kind: left, centred, right, simple, left without wrapping.
    for (unsigned type : {0x0u, 0x1u, 0x2u, 0xAu, 0xCu})
        EXPECT_EQ(ChooseChildAdapter("Static", type).Class, C::TacStaticWnd) << type;
    for (unsigned type : {0x4u, 0x5u, 0x7u, 0x9u, 0xBu, 0xDu, 0xFu, 0x10u, 0x12u})
        EXPECT_EQ(ChooseChildAdapter("static", type | 0x100).Class, C::None) << type;
    EXPECT_EQ(ChooseChildAdapter("Button", 7).Section, "GROUPBOX");
    EXPECT_EQ(ChooseChildAdapter("Button", 1).Class, C::TacBtnWnd);
    EXPECT_EQ(ChooseChildAdapter("Button", 8).Class, C::TacBtnWnd);  // BS_USERBUTTON
    EXPECT_EQ(ChooseChildAdapter("Button", 9).Class, C::TacCheckBoxWnd);
    EXPECT_EQ(ChooseChildAdapter("Button", 0xB).Class, C::None);
    EXPECT_EQ(ChooseChildAdapter("SysTabControl32", 0).Class, C::None);
    // A scroll-bar window is a size grip only as a size box or grip (SBS_SIZEBOX, SBS_SIZEGRIP).
    EXPECT_EQ(ChooseChildAdapter("ScrollBar", 0x10).Class, C::TacSizerWnd);
    EXPECT_EQ(ChooseChildAdapter("ScrollBar", 0x8).Class, C::TacSizerWnd);
    for (unsigned bar : {0x0u, 0x1u, 0x2u, 0x4u})
        EXPECT_EQ(ChooseChildAdapter("ScrollBar", 0x50000000u | bar).Class, C::None) << bar;
    const TAdapterChoice spin = ChooseChildAdapter("msctls_updown32", 0);
    EXPECT_EQ(spin.Section, "SPEEDBUTTON_SMALL");
    EXPECT_EQ(spin.SpinMargin, 2);
    EXPECT_EQ(ChooseChildAdapter("ToolbarWindow32", 0x200).Section, "BAR");
    EXPECT_EQ(ChooseChildAdapter("ToolbarWindow32", 0).Section, "CHECKBOX");
    const TAdapterChoice edit = ChooseChildAdapter("Edit", 0);
    EXPECT_EQ(edit.Class, C::TacEditWnd);
    EXPECT_TRUE(edit.DialogChild);
    EXPECT_EQ(ChooseChildAdapter("ComboLBox", 0).Section, "COMBOBOX");
    for (const auto& [name, cls, section] :
         {std::tuple{"ComboBox", C::TacComboBoxWnd, "COMBOBOX"}, std::tuple{"ComboBoxEx32", C::TacComboBoxWnd, "COMBOBOX"},
          std::tuple{"SysListView32", C::TacListViewWnd, "EDIT"}, std::tuple{"SysTreeView32", C::TacTreeViewWnd, "EDIT"},
          std::tuple{"ListBox", C::TacEditWnd, "EDIT"}}) {
        const TAdapterChoice c = ChooseChildAdapter(name, 0);
        EXPECT_EQ(c.Class, cls) << name;
        EXPECT_EQ(c.Section, section) << name;
        EXPECT_TRUE(c.DialogChild) << name;
    }
    EXPECT_EQ(ChooseChildAdapter("#32770", 0).Class, C::TacTransPanelWnd);
    EXPECT_EQ(ChooseChildAdapter("TPanel", 0).Section, "PANEL");
    EXPECT_FALSE(ChooseChildAdapter("SysLink", 0).DialogChild);
    EXPECT_EQ(ChooseChildAdapter("SHBrowseForFolder ShellNameSpace Control", 0).Class, C::TacTransPanelWnd);
    EXPECT_EQ(ChooseChildAdapter("#32770", 0).Class, C::TacTransPanelWnd);
    EXPECT_EQ(ChooseChildAdapter("RichEdit20W", 0).Class, C::None);
    // A bitmap static is a picture too; the list of a combo box is skinned as
    // an edit in the combo box's section; the older names of panels and links.
    EXPECT_EQ(ChooseChildAdapter("Static", 0xE | 0x200).Class, C::TacIconWnd);
    const TAdapterChoice list = ChooseChildAdapter("ComboLBox", 0);
    EXPECT_EQ(list.Class, C::TacEditWnd);
    EXPECT_TRUE(list.DialogChild);
    const TAdapterChoice silent = ChooseChildAdapter("TSilentPaintPanel", 0);
    EXPECT_EQ(silent.Class, C::TacDlgPanelWnd);
    EXPECT_EQ(silent.Section, "PANEL");
    EXPECT_EQ(ChooseChildAdapter("Link Window", 0).Class, C::TacLinkWnd);

    EXPECT_TRUE(IsDialogClass("#32770") && IsDialogClass("TMessageForm") && !IsDialogClass("TForm1"));
    EXPECT_TRUE(PopupMenuNeedsAdapter("#32768", false));
    EXPECT_FALSE(PopupMenuNeedsAdapter("#32768", true) || PopupMenuNeedsAdapter("#32770", false));

    THookWindowFacts form;
    form.IsForm = true;
    form.ClassName = "TForm1";
    EXPECT_EQ(TryHookWindowAction(form), THookAction::FormProvider);
    form.FormTag = kNoSkinTag;
    EXPECT_EQ(TryHookWindowAction(form), THookAction::None);
    THookWindowFacts message = form;
    message.ClassName = "TMessageForm";
    message.StdDialogs = false;
    EXPECT_EQ(TryHookWindowAction(message), THookAction::None);
    message.StdDialogs = true;
    EXPECT_EQ(TryHookWindowAction(message), THookAction::FormProvider);

    THookWindowFacts dialog;
    dialog.ClassName = "#32770";
    dialog.StdDialogs = false;
    EXPECT_EQ(TryHookWindowAction(dialog), THookAction::None);
    dialog.StdDialogs = true;
    int asked = 0;
    dialog.HasToolBarChild = [&] { ++asked; return false; };
    EXPECT_EQ(TryHookWindowAction(dialog), THookAction::DialogProvider);
    EXPECT_EQ(asked, 0);
    dialog.HookedDialogVisible = true;
    EXPECT_EQ(TryHookWindowAction(dialog), THookAction::None);
    dialog.HasToolBarChild = [] { return true; };
    EXPECT_EQ(TryHookWindowAction(dialog), THookAction::DialogProvider);
    dialog.AnswersSkinned = true;
    EXPECT_EQ(TryHookWindowAction(dialog), THookAction::None);
    dialog.AnswersSkinned = false;
    dialog.AlreadyListed = true;
    EXPECT_EQ(TryHookWindowAction(dialog), THookAction::None);
    // The application's hidden window and the report preview are never hooked.
    for (const char* name : {"TApplication", "TQRStandardPreview"}) {
        THookWindowFacts app;
        app.ClassName = name;
        EXPECT_EQ(TryHookWindowAction(app), THookAction::None) << name;
    }
    // Each of these alone keeps a form or a dialog that would be hooked unhooked.
    const std::vector<std::pair<const char*, std::function<void(THookWindowFacts&)>>> refusals = {
        {"skinned already", [](THookWindowFacts& w) { w.AnswersSkinned = true; }},
        {"no default manager", [](THookWindowFacts& w) { w.HasDefaultManager = false; }},
        {"listed already", [](THookWindowFacts& w) { w.AlreadyListed = true; }},
        {"no standard dialogs", [](THookWindowFacts& w) { w.StdDialogs = false, w.StdForms = false; }},
    };
    for (const bool isForm : {true, false}) {
        THookWindowFacts w;
        w.IsForm = isForm;
        w.ClassName = isForm ? "TForm1" : "#32770";
        const THookAction hooked = TryHookWindowAction(w);
        EXPECT_EQ(hooked, isForm ? THookAction::FormProvider : THookAction::DialogProvider);
        for (const auto& [why, refuse] : refusals) {
            THookWindowFacts refused = w;
            refuse(refused);
            EXPECT_EQ(TryHookWindowAction(refused), THookAction::None) << why << (isForm ? ", form" : ", dialog");
        }
    }
}

namespace {

using skintest::RectText;

// Everything a hooked dialog's frame is drawn and hit by, and the hit test
// of every pixel (a row only where it differs from the row above).
std::string DescribeDialog(const TDialogFrame& d, const TsSkinContent& skin) {
    std::ostringstream o;
    const int code = DialogBorderCode(d.Style, d.ExStyle);
    const TDialogSkinMasks masks = GetDialogSkinMasks(skin, code);
    const TDialogButtonsLayout l = PlaceDialogTitleButtons(d, kMetrics, masks);
    const TPoint grip = DialogGripPosition(d, kMetrics, masks);
    o << " code " << code << " title " << DialogTitleHeight(d, kMetrics) << " border " << DialogBorderWidth(d, kMetrics)
      << "x" << DialogBorderHeight(d, kMetrics) << " above " << DialogTopNonClientHeight(d, kMetrics) << " grip "
      << DialogHasGrip(d) << " at " << grip.X << "," << grip.Y << "\n";
    o << " masks " << masks.Close << " " << masks.Max << " " << masks.Min << " " << masks.Help << " " << masks.Norm << " "
      << masks.IconicMax << " " << masks.TitleBar << " " << masks.Grip << "\n";
    for (const TPlacedTitleButton& b : l.Buttons)
        o << " button " << b.Code << " " << RectText(b.Rect) << " mask " << b.MaskIndex << (b.Enabled ? "" : " disabled")
          << "\n";
    o << " icon " << RectText(DialogIconRect(d, kMetrics)) << " caption " << RectText(DialogCaptionRect(d, kMetrics, l))
      << " fits " << DialogCaptionFitWidth(d, kMetrics, l) << "\n";
    const TDialogStrips strips = GetDialogStrips(d, kMetrics);
    o << " strips " << RectText(strips.Title) << RectText(strips.Left) << RectText(strips.Bottom) << RectText(strips.Right) << "\n";
    const TDialogMenuItems items = UpdateDialogMenuItems(d);
    o << " menu items";
    for (const TSystemMenuItem& i : {items.miRestore, items.miMove, items.miSize, items.miMinimize, items.miMaximize,
                                     items.miClose})
        o << " " << (i.Visible ? "V" : "-") << (i.Enabled ? "E" : "-");
    o << "\n";
    std::string above;
    for (int y = 0; y < d.Height; ++y) {
        const std::string row =
            skintest::Runs(0, d.Width - 1, [&](int x) { return DialogHitTest(d, kMetrics, masks, l, {x, y}); });
        if (row != above) o << " y" << y << row << "\n";
        above = row;
    }
    return o.str();
}

}  // namespace

// Every kind of hooked dialog, without pictures and in a skin, against the
// layout recorded in tests/native/golden/dialog_frames.txt.
TEST(SkinnedDialogs, EveryKindOfDialogMatchesItsRecordedLayout) {
    using namespace style;
    const std::vector<std::pair<const char*, std::function<void(TDialogFrame&)>>> kinds = {
        {"message box", [](TDialogFrame&) {}},
        {"with minimize", [](TDialogFrame& d) { d.Style |= MinimizeBox; }},
        {"with both boxes", [](TDialogFrame& d) { d.Style |= MinimizeBox | MaximizeBox; }},
        {"with help", [](TDialogFrame& d) { d.ExStyle |= ExContextHelp; }},
        {"class without close", [](TDialogFrame& d) { d.ClassNoClose = true; }},
        {"with icon", [](TDialogFrame& d) { d.HasIcon = true; }},
        {"single frame", [](TDialogFrame& d) { d.Style = Popup | Caption | SysMenu | MinimizeBox; }},
        {"sizing", [](TDialogFrame& d) { d.Style = Popup | Caption | SysMenu | ThickFrame | MinimizeBox | MaximizeBox; }},
        {"sizing zoomed", [](TDialogFrame& d) {
             d.Style = Popup | Caption | SysMenu | ThickFrame | MinimizeBox | MaximizeBox, d.Zoomed = true;
         }},
        {"sizing minimized", [](TDialogFrame& d) {
             d.Style = Popup | Caption | SysMenu | ThickFrame | MinimizeBox | MaximizeBox, d.Iconic = true;
             d.Width = 160, d.Height = 31, d.ClientHeight = 0;
         }},
        {"minimized without maximize", [](TDialogFrame& d) {
             d.Style |= MinimizeBox, d.Iconic = true, d.Width = 160, d.Height = 27, d.ClientHeight = 0;
         }},
        {"tool window", [](TDialogFrame& d) { d.Style = Popup | Caption | SysMenu, d.ExStyle = ExToolWindow; }},
        {"modal tool window", [](TDialogFrame& d) { d.ExStyle = ExToolWindow; }},
        {"sizing tool window", [](TDialogFrame& d) {
             d.Style = Popup | Caption | SysMenu | ThickFrame | MaximizeBox, d.ExStyle = ExToolWindow;
         }},
        {"captionless sizing popup", [](TDialogFrame& d) { d.Style = Popup | ThickFrame, d.ClientHeight = 194; }},
        {"captionless popup", [](TDialogFrame& d) { d.Style = Popup, d.ClientHeight = 200; }},
        {"child", [](TDialogFrame& d) { d.Style = Child | SysMenu | ThickFrame; }},
        {"caption without system menu", [](TDialogFrame& d) { d.Style = Popup | Caption | ModalFrame; }},
        {"horizontal bar", [](TDialogFrame& d) { d.HorzScrollHeight = 17, d.ClientHeight = 157; }},
    };
    skintest::LayoutSkin none;
    skintest::LayoutSkin skin;
    skin.Section("FORM");
    skin.Section("DIALOG");
    skin.Section("GLOBALINFO");
    for (auto [name, w, h] : {std::tuple{"BICONCLOSE", 23, 19}, {"BICONMAX", 21, 19}, {"BICONMIN", 19, 19},
                              {"BICONHELP", 17, 19}, {"BICONNORM", 20, 19}, {"SICONCLOSE", 15, 13},
                              {"SICONMAX", 14, 13}, {"SICONMIN", 13, 13}, {"SICONHELP", 12, 13}})
        skin.Mask("GLOBALINFO", name, w, h);
    skin.OwnMask("GLOBALINFO", "GRIPIMAGE", 39, 26);
    skin.Mask("DIALOG", "TITLEBAR", 30, 22);
    std::string all;
    for (const auto& [name, setUp] : kinds) {
        TDialogFrame d = Dialog(kMessageBox);
        setUp(d);
        all += std::string(name) + ", plain\n" + DescribeDialog(d, none.Content);
        all += std::string(name) + ", skinned\n" + DescribeDialog(d, skin.Content);
    }
    // A skin whose restore and maximize pictures are the dialog section's own.
    skintest::LayoutSkin own;
    own.Section("DIALOG");
    own.Section("GLOBALINFO");
    own.Mask("GLOBALINFO", "BICONCLOSE", 23, 19);
    own.Mask("GLOBALINFO", "BICONMIN", 19, 19);
    own.Mask("DIALOG", "BICONNORM", 25, 19);
    own.Mask("DIALOG", "BICONMAX", 27, 19);
    for (const bool iconic : {false, true}) {
        TDialogFrame d = Dialog(kMessageBox);
        d.Style = Popup | Caption | SysMenu | ThickFrame | MinimizeBox | MaximizeBox;
        if (iconic) d.Iconic = true, d.Width = 160, d.Height = 31, d.ClientHeight = 0;
        all += std::string(iconic ? "sizing minimized" : "sizing") + ", the dialog's own pictures\n" +
               DescribeDialog(d, own.Content);
    }
    golden::ExpectRecorded("dialog_frames", all);
}
