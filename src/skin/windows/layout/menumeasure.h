// How skinned menu items are measured, free of windows: the kind of an
// item by its caption, the text that is measured, item heights and widths,
// the columns of a popup, the glyph size, the width of a menu-line item
// and the skin's popup border width. The skinned menus (TsSkinableMenus)
// answer WM_MEASUREITEM and size their border cache with these.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "skin/core/geometry.h"
#include "skin/core/skincontent.h"

namespace skin {

enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

// A caption whose first and last characters are both "-" (a caption item).
bool IsCaptionItem(std::string_view caption);
// "-" a divider, "-word-" a caption item, a top-level item of a main menu
// a menu-line item, anything else a normal item.
TsMenuItemType MenuItemType(std::string_view caption, bool topLine);
// The text measured for an item: a caption item with one more dash on each
// side, nothing for a divider, else the caption followed by the shortcut.
std::string MeasuredMenuText(TsMenuItemType type, std::string_view caption, std::string_view shortcutText);
// The word a caption item shows: the first one between dashes.
std::string CaptionItemWord(std::string_view caption);
// A caption starting with character 8 is drawn right-aligned without it
// and with six spaces after it.
std::string PopupItemText(std::string_view caption, bool& rightAligned);

// The height of a popup item: 2 for "-"; else the height of "W" times 1.25,
// rounded (halves to even), or the glyph's height when taller, plus the
// margin above and below (a caption item ignores the glyph).
int MenuItemHeight(std::string_view caption, int textHeightW, int glyphHeight, int margin);
// The width of a popup item; items after a column break carry no extra line.
int MenuItemWidth(int glyphWidth, int textWidth, int margin, int spacing, int extraLineSpace, bool afterBreak);
// The extra line's width when it is used and shown in this menu, else 0.
int ExtraLineSpace(bool useExtraLine, bool extraLineVisible, int extraLineWidth);
// Whether the item at Index, or one before it, starts a column.
bool IsAfterBreak(const std::vector<bool>& breaks, size_t index);

// A measured item of a popup.
struct TMenuItemMeasure {
    bool Visible = true;
    bool Break = false;  // starts a new column
    int Width = 0;
    int Height = 0;
};
// The popup's size when no window tells it: its columns side by side (each
// as wide as its widest item + 12, 4 more between columns) and as high as
// the tallest column, with the border around.
TPoint PopupSize(const std::vector<TMenuItemMeasure>& items, int borderWidth);

// The glyph of an item: its own bitmap when it has one; a popup item
// otherwise the image list's size, or 16 x 16 without one; a menu-line
// item without a bitmap none.
TPoint GetGlyphSize(TPoint bitmapSize, bool lineItem, bool hasImages, TPoint imagesSize);
// The width of a menu-line item (its height is SM_CYMENU - 1).
int MenuLineItemWidth(int textWidth, bool hasImages, int imagesWidth, int imageIndex);
// The popup border width a skin's "MAINMENU" border mask gives: Stored
// when it is 0 or more, else the mask's border width (3 when below 1), 0
// without the mask.
int SkinBorderWidth(int stored, const TsSkinContent* skin);

}  // namespace skin
