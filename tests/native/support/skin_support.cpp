#include "support/skin_support.h"

#include <cstdlib>
#include <fstream>

#include "skin/core/bmpfile.h"

namespace skintest {

using namespace skin;

TPixelBitmap Solid(int width, int height, TColor color, int bytesPerPixel) {
    TPixelBitmap bmp(width, height, bytesPerPixel);
    Fill(bmp.Pixels(), 0, 0, width, height, color);
    return bmp;
}

TColor At(const TPixels& p, int x, int y) { return PixelColor(p.At(x, y)); }

void Put(const TPixels& p, int x, int y, TColor color) { SetPixelColor(p.At(x, y), color); }

void Fill(const TPixels& p, int left, int top, int right, int bottom, TColor color) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) Put(p, x, y, color);
}

bool AllOf(const TPixels& p, int left, int top, int right, int bottom, TColor color) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (At(p, x, y) != color) return false;
    return true;
}

Framed::Framed(int width, int height, TColor fill, int bytesPerPixel)
    : outer_(Solid(width + 4, height + 4, kRing, bytesPerPixel)) {
    inner_ = outer_.Pixels();
    inner_.Row0 = inner_.At(2, 2);
    inner_.Width = width;
    inner_.Height = height;
    Fill(inner_, 0, 0, width, height, fill);
}

bool Framed::RingIntact() const {
    const TPixels& o = outer_.Pixels();
    for (int y = 0; y < o.Height; ++y)
        for (int x = 0; x < o.Width; ++x)
            if ((x < 2 || y < 2 || x >= o.Width - 2 || y >= o.Height - 2) && At(o, x, y) != kRing) return false;
    return true;
}

std::unique_ptr<TsSkinContent> ContentWithMaster(int width, int height, TColor color) {
    auto content = std::make_unique<TsSkinContent>();
    content->MasterBitmap = std::make_unique<TPixelBitmap>(Solid(width, height, color));
    return content;
}

TsMaskData MaskIn(const TsSkinContent& content, TRect source, int imageCount, int maskType, int wl, int wt, int wr,
                  int wb, int drawMode) {
    TsMaskData mask;
    mask.SourceRect = source;
    mask.ImageCount = imageCount;
    mask.MaskType = maskType;
    mask.WL = wl;
    mask.WT = wt;
    mask.WR = wr;
    mask.WB = wb;
    mask.DrawMode = drawMode;
    mask.Manager = &content;
    return mask;
}

std::string SavePicture(const TPixels& p, const std::string& name) {
    const char* dir = std::getenv("NORVIX_SCREENSHOT_DIR");
    std::string path = std::string(dir && *dir ? dir : ".") + "/" + name;
    std::ofstream(path, std::ios::binary) << WriteBmp(p);
    return path;
}

}  // namespace skintest
