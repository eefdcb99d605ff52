#include "skin/windows/layout/menumeasure.h"

#include <algorithm>

#include "skin/core/colors.h"

namespace skin {

bool IsCaptionItem(std::string_view caption) {
    return !caption.empty() && caption.front() == '-' && caption.back() == '-';
}

TsMenuItemType MenuItemType(std::string_view caption, bool topLine) {
    if (caption == "-") return smDivider;
    if (IsCaptionItem(caption)) return smCaption;
    return topLine ? smTopLine : smNormal;
}

std::string MeasuredMenuText(TsMenuItemType type, std::string_view caption, std::string_view shortcutText) {
    switch (type) {
        case smCaption: return "-" + std::string(caption) + "-";
        case smDivider: return {};
        default: return std::string(caption) + std::string(shortcutText);
    }
}

std::string CaptionItemWord(std::string_view caption) {
    const size_t start = caption.find_first_not_of('-');
    if (start == std::string_view::npos) return {};
    const size_t end = caption.find('-', start);
    return std::string(caption.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string PopupItemText(std::string_view caption, bool& rightAligned) {
    rightAligned = !caption.empty() && caption.front() == '\x08';
    if (!rightAligned) return std::string(caption);
    return std::string(caption.substr(1)) + "      ";
}

int MenuItemHeight(std::string_view caption, int textHeightW, int glyphHeight, int margin) {
    if (caption == "-") return 2;
    const int h = RoundHalfEven(textHeightW * 1.25);
    if (IsCaptionItem(caption)) return h + 2 * margin;
    return std::max(h, glyphHeight) + 2 * margin;
}

int MenuItemWidth(int glyphWidth, int textWidth, int margin, int spacing, int extraLineSpace, bool afterBreak) {
    return 2 * glyphWidth + textWidth + 3 * margin + spacing + (afterBreak ? 0 : extraLineSpace);
}

int ExtraLineSpace(bool useExtraLine, bool extraLineVisible, int extraLineWidth) {
    return useExtraLine && extraLineVisible ? extraLineWidth : 0;
}

bool IsAfterBreak(const std::vector<bool>& breaks, size_t index) {
    const size_t last = std::min(index + 1, breaks.size());
    return std::any_of(breaks.begin(), breaks.begin() + static_cast<std::ptrdiff_t>(last), [](bool b) { return b; });
}

TPoint PopupSize(const std::vector<TMenuItemMeasure>& items, int borderWidth) {
    int width = 0, column = 0, columnHeight = 0, tallest = 0;
    bool first = true;
    for (const TMenuItemMeasure& item : items) {
        if (!item.Visible) continue;
        if (item.Break && !first) {
            width += column + 12 + 4;
            tallest = std::max(tallest, columnHeight);
            column = columnHeight = 0;
        }
        first = false;
        column = std::max(column, item.Width);
        columnHeight += item.Height;
    }
    width += column + 12;
    tallest = std::max(tallest, columnHeight);
    return {width + 2 * borderWidth, tallest + 2 * borderWidth};
}

TPoint GetGlyphSize(TPoint bitmapSize, bool lineItem, bool hasImages, TPoint imagesSize) {
    if (bitmapSize.X > 0 && bitmapSize.Y > 0) return bitmapSize;
    if (lineItem) return {};
    return hasImages ? imagesSize : TPoint{16, 16};
}

int MenuLineItemWidth(int textWidth, bool hasImages, int imagesWidth, int imageIndex) {
    return textWidth + (hasImages && imageIndex >= 0 ? imagesWidth + 6 : 0);
}

int SkinBorderWidth(int stored, const TsSkinContent* skin) {
    if (stored >= 0) return stored;
    if (!skin) return 0;
    const int mask = skin->GetMaskIndex(skin->GetSkinIndex("MAINMENU"), "MAINMENU", "BORDERSMASK");
    if (!skin->IsValidMaskIndex(mask)) return 0;
    const int w = skin->Masks[static_cast<size_t>(mask)].BorderWidth;
    return w < 1 ? 3 : w;
}

}  // namespace skin
