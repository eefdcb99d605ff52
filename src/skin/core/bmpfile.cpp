#include "skin/core/bmpfile.h"

#include <algorithm>
#include <vector>

namespace skin {

namespace {

constexpr int64_t kMaxSide = 32768;
constexpr int64_t kMaxPixels = int64_t(64) * 1024 * 1024;

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
int32_t S32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

struct Channel {
    uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;
    uint8_t Get(uint32_t v) const {
        if (Bits == 0) return 0;
        uint32_t c = (v & Mask) >> Shift;
        if (Bits >= 8) return static_cast<uint8_t>(c >> (Bits - 8));
        return static_cast<uint8_t>((c * 255 + ((1u << Bits) - 1) / 2) / ((1u << Bits) - 1));
    }
};

Channel MakeChannel(uint32_t mask) {
    Channel c;
    c.Mask = mask;
    if (mask == 0) return c;
    while (!((mask >> c.Shift) & 1)) ++c.Shift;
    while (c.Shift + c.Bits < 32 && ((mask >> (c.Shift + c.Bits)) & 1)) ++c.Bits;
    return c;
}

bool Fail(std::string& error, const char* why) {
    error = why;
    return false;
}

}  // namespace

bool ReadBmp(const uint8_t* data, size_t size, TPixelBitmap& out, std::string& error) {
    out = TPixelBitmap();
    if (data == nullptr || size < 14 + 12) return Fail(error, "the file is too short for a BMP picture");
    if (data[0] != 'B' || data[1] != 'M') return Fail(error, "the file is not a BMP picture");
    const uint64_t pixelOffset = U32(data + 10);
    const uint32_t headerSize = U32(data + 14);
    if (headerSize < 12 || 14 + static_cast<uint64_t>(headerSize) > size)
        return Fail(error, "the BMP header is damaged");
    const uint8_t* h = data + 14;
    int64_t width, height;
    int bpp;
    uint32_t compression = 0, colorsUsed = 0;
    size_t paletteEntry = 4;
    if (headerSize == 12) {  // the old core header
        width = U16(h + 4);
        height = static_cast<int16_t>(U16(h + 6));
        bpp = U16(h + 10);
        paletteEntry = 3;
    } else {
        if (headerSize < 40) return Fail(error, "the BMP header is damaged");
        width = S32(h + 4);
        height = S32(h + 8);
        bpp = U16(h + 14);
        compression = U32(h + 16);
        colorsUsed = U32(h + 32);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
        return Fail(error, "the BMP picture has an impossible size");

    // Bit fields: in the header (V2 and later) or right after a 40-byte one.
    Channel red, green, blue;
    if (compression == 3) {
        const uint8_t* masks = h + 40;
        if (headerSize < 52 && 14 + 40 + 12 > size) return Fail(error, "the BMP colour masks are missing");
        red = MakeChannel(U32(masks));
        green = MakeChannel(U32(masks + 4));
        blue = MakeChannel(U32(masks + 8));
    } else if (bpp == 16) {
        red = MakeChannel(0x7C00);
        green = MakeChannel(0x03E0);
        blue = MakeChannel(0x001F);
    }

    std::vector<uint32_t> palette;
    if (bpp <= 8) {
        if (bpp != 1 && bpp != 4 && bpp != 8) return Fail(error, "the BMP picture has an unsupported colour depth");
        uint64_t count = colorsUsed == 0 || colorsUsed > (1u << bpp) ? (1u << bpp) : colorsUsed;
        uint64_t at = 14 + static_cast<uint64_t>(headerSize) + (compression == 3 && headerSize < 52 ? 12 : 0);
        const uint64_t end = pixelOffset > at ? std::min<uint64_t>(pixelOffset, size) : size;
        for (uint64_t i = 0; i < count && at + paletteEntry <= end; ++i, at += paletteEntry)
            palette.push_back(data[at] | (data[at + 1] << 8) | (data[at + 2] << 16));
        if (palette.empty()) return Fail(error, "the BMP palette is missing");
        palette.resize(size_t(1) << bpp, 0);
    } else if (bpp != 16 && bpp != 24 && bpp != 32) {
        return Fail(error, "the BMP picture has an unsupported colour depth");
    }
    if (pixelOffset >= size) return Fail(error, "the BMP picture has no pixels");

    const bool rle = compression == 1 || compression == 2;
    if (compression > 3 || (rle && (topDown || bpp != (compression == 1 ? 8 : 4))) ||
        (compression == 3 && bpp != 16 && bpp != 32))
        return Fail(error, "the BMP picture is compressed in an unsupported way");
    const uint8_t* px = data + pixelOffset;
    const uint64_t available = size - pixelOffset;
    const uint64_t rowBytes = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
    if (!rle && rowBytes * static_cast<uint64_t>(height) > available)
        return Fail(error, "the BMP picture is shorter than its size says");
    if (rle && static_cast<uint64_t>(width * height) > available * 1024)
        return Fail(error, "the BMP picture is shorter than its size says");

    TPixelBitmap bmp(static_cast<int>(width), static_cast<int>(height));
    const TPixels& dst = bmp.Pixels();
    auto put = [&](int x, int fileRow, uint32_t rgb) {
        int y = topDown ? fileRow : static_cast<int>(height) - 1 - fileRow;
        uint8_t* d = dst.At(x, y);
        d[0] = static_cast<uint8_t>(rgb & 0xFF);
        d[1] = static_cast<uint8_t>((rgb >> 8) & 0xFF);
        d[2] = static_cast<uint8_t>((rgb >> 16) & 0xFF);
    };

    if (rle) {
        // Runs and escapes; pixels not reached stay black.
        uint64_t i = 0;
        int x = 0, row = 0;
        auto index = [&](int n) { return palette[static_cast<size_t>(n)]; };
        while (i + 1 < available && row < height) {
            uint8_t count = px[i], value = px[i + 1];
            i += 2;
            if (count > 0) {
                for (int k = 0; k < count && x < width; ++k, ++x)
                    put(x, row, index(bpp == 8 ? value : (k % 2 == 0 ? value >> 4 : value & 15)));
                continue;
            }
            if (value == 0) {
                x = 0;
                ++row;
            } else if (value == 1) {
                break;
            } else if (value == 2) {
                if (i + 1 >= available) break;
                x += px[i];
                row += px[i + 1];
                i += 2;
            } else {
                const uint64_t bytes = bpp == 8 ? value : (value + 1u) / 2;
                if (i + bytes > available) break;
                for (int k = 0; k < value && x < width; ++k, ++x) {
                    uint8_t b = px[i + (bpp == 8 ? k : k / 2)];
                    put(x, row, index(bpp == 8 ? b : (k % 2 == 0 ? b >> 4 : b & 15)));
                }
                i += (bytes + 1) & ~uint64_t(1);  // runs are padded to two bytes
            }
        }
        out = std::move(bmp);
        return true;
    }

    for (int row = 0; row < height; ++row) {
        const uint8_t* s = px + rowBytes * static_cast<uint64_t>(row);
        for (int x = 0; x < width; ++x) {
            uint32_t rgb;
            switch (bpp) {
                case 1: rgb = palette[(s[x / 8] >> (7 - x % 8)) & 1]; break;
                case 4: rgb = palette[(s[x / 2] >> (x % 2 ? 0 : 4)) & 15]; break;
                case 8: rgb = palette[s[x]]; break;
                case 16: {
                    uint32_t v = U16(s + x * 2);
                    rgb = blue.Get(v) | (green.Get(v) << 8) | (red.Get(v) << 16);
                    break;
                }
                case 24: rgb = s[x * 3] | (s[x * 3 + 1] << 8) | (s[x * 3 + 2] << 16); break;
                default: {
                    uint32_t v = U32(s + x * 4);
                    rgb = compression == 3 ? (blue.Get(v) | (green.Get(v) << 8) | (red.Get(v) << 16)) : (v & 0xFFFFFF);
                    break;
                }
            }
            put(x, row, rgb);
        }
    }
    out = std::move(bmp);
    return true;
}

std::string WriteBmp(const TPixels& pixels) {
    const int w = std::max(pixels.Width, 0), h = std::max(pixels.Height, 0);
    const uint32_t rowBytes = static_cast<uint32_t>(DibRowBytes(w, 3));
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(h);
    std::string out(54 + imageBytes, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto put16 = [&](size_t at, uint16_t v) {
        out[at] = static_cast<char>(v & 0xFF);
        out[at + 1] = static_cast<char>(v >> 8);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    put16(26, 1);
    put16(28, 24);
    put32(34, imageBytes);
    put32(38, 2835);  // 72 pixels per inch
    put32(42, 2835);
    for (int y = 0; y < h; ++y) {
        char* row = &out[54 + static_cast<size_t>(h - 1 - y) * rowBytes];
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = pixels.At(x, y);
            row[x * 3] = static_cast<char>(p[0]);
            row[x * 3 + 1] = static_cast<char>(p[1]);
            row[x * 3 + 2] = static_cast<char>(p[2]);
        }
    }
    return out;
}

}  // namespace skin
