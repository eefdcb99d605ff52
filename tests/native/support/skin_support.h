// Small pictures for the skin engine's tests: solid bitmaps, pixel reads,
// and a skin content whose master bitmap holds masks drawn by the test.
#pragma once

#include <memory>
#include <string>

#include "skin/core/colors.h"
#include "skin/core/maskdata.h"
#include "skin/core/pixels.h"
#include "skin/core/skincontent.h"

namespace skintest {

skin::TPixelBitmap Solid(int width, int height, skin::TColor color, int bytesPerPixel = 3);
skin::TColor At(const skin::TPixels& p, int x, int y);
void Put(const skin::TPixels& p, int x, int y, skin::TColor color);
// Fills a rectangle of a picture (for drawing masks by hand).
void Fill(const skin::TPixels& p, int left, int top, int right, int bottom, skin::TColor color);
// True when every pixel of the rectangle has the colour.
bool AllOf(const skin::TPixels& p, int left, int top, int right, int bottom, skin::TColor color);

// A picture inside a ring of another colour, two pixels wide, sharing its
// rows: a routine that reads past the picture's edge meets the ring's
// colour, one that writes past it changes the ring.
class Framed {
public:
    static constexpr skin::TColor kRing = 0x00123456;
    Framed(int width, int height, skin::TColor fill, int bytesPerPixel = 3);
    const skin::TPixels& Pixels() const { return inner_; }
    bool RingIntact() const;

private:
    skin::TPixelBitmap outer_;
    skin::TPixels inner_;
};

// A content with a master bitmap of the given size (filled with `color`).
std::unique_ptr<skin::TsSkinContent> ContentWithMaster(int width, int height, skin::TColor color = 0);
// A mask lying in the content's master bitmap.
skin::TsMaskData MaskIn(const skin::TsSkinContent& content, skin::TRect source, int imageCount, int maskType,
                        int wl, int wt, int wr, int wb, int drawMode = 0);

// Writes the pixels as a BMP to $NORVIX_SCREENSHOT_DIR (or the working
// folder) for a person to look at; returns the path.
std::string SavePicture(const skin::TPixels& p, const std::string& name);

}  // namespace skintest
