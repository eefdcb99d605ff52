// A skin for the layout tests: sections and masks of chosen sizes. Only
// their sizes matter; their pictures are never drawn.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "skin/core/skincontent.h"

namespace skintest {

// "(left,top,right,bottom)", for recorded layouts.
inline std::string RectText(const skin::TRect& r) {
    return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom) + ")";
}

// The values of `at` from `from` to `to` as runs " first-last:value".
inline std::string Runs(int from, int to, const std::function<int(int)>& at) {
    std::string runs;
    int start = from, value = at(from);
    for (int x = from + 1; x <= to + 1; ++x) {
        const int next = x <= to ? at(x) : 0;
        if (x <= to && next == value) continue;
        runs += " " + std::to_string(start) + "-" + std::to_string(x - 1) + ":" + std::to_string(value);
        start = x;
        value = next;
    }
    return runs;
}

class LayoutSkin {
public:
    skin::TsSkinContent Content;

    int Section(const std::string& name, bool reservedBoolean = false) {
        skin::TsGeneralData s;
        s.SectionName = name;
        s.ReservedBoolean = reservedBoolean;
        Content.Sections.push_back(s);
        return static_cast<int>(Content.Sections.size()) - 1;
    }
    // A mask of ImageCount frames, each FrameW x FrameH, with MaskType mask rows.
    int Mask(const std::string& section, const std::string& key, int frameW, int frameH, int imageCount = 3,
             int maskType = 1, int borderWidth = 0) {
        skin::TsMaskData m;
        m.SectionName = section;
        m.PropertyName = key;
        m.SourceRect = skin::TRect{0, 0, frameW * imageCount, frameH * (maskType + 1)};
        m.ImageCount = imageCount;
        m.MaskType = maskType;
        m.BorderWidth = borderWidth;
        m.Manager = &Content;
        Content.Masks.push_back(std::move(m));
        return static_cast<int>(Content.Masks.size()) - 1;
    }
    // A mask with a picture of its own, W x H.
    int OwnMask(const std::string& section, const std::string& key, int w, int h) {
        const int index = Mask(section, key, w, h, 1, 0);
        Content.Masks.back().Image = std::make_unique<skin::TPixelBitmap>(w, h);
        return index;
    }
};

}  // namespace skintest
