// The skin engine's pixel routines: blends at their edges, keyed copies,
// stretching, gradients and the small text helpers of skin files.
#include <gtest/gtest.h>

#include <functional>

#include "rtl/errors.h"
#include "skin/core/blend.h"
#include "skin/core/bmpfile.h"
#include "skin/core/builtinbitmaps.h"
#include "skin/core/colors.h"
#include "skin/core/gradient.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/skinini.h"
#include "skin/core/skinutils.h"
#include "support/skin_support.h"

using namespace skin;
using skintest::AllOf;
using skintest::At;
using skintest::Framed;
using skintest::Put;
using skintest::Solid;

namespace {

// A BMP file: a header of 12 (the old core header) or 40 bytes, then the
// palette or bit fields, then the pixel rows as given.
std::string BmpFile(uint32_t headerSize, int32_t width, int32_t height, int bpp, uint32_t compression,
                    const std::string& palette, const std::string& rows) {
    std::string f(14 + headerSize, '\0');
    auto put = [&f](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) f[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    f[0] = 'B', f[1] = 'M';
    put(10, static_cast<uint32_t>(14 + headerSize + palette.size()), 4);
    put(14, headerSize, 4);
    if (headerSize == 12) {
        put(18, static_cast<uint32_t>(width), 2);
        put(20, static_cast<uint32_t>(height), 2);
        put(22, 1, 2);
        put(24, static_cast<uint32_t>(bpp), 2);
    } else {
        put(18, static_cast<uint32_t>(width), 4);
        put(22, static_cast<uint32_t>(height), 4);
        put(26, 1, 2);
        put(28, static_cast<uint32_t>(bpp), 2);
        put(30, compression, 4);
    }
    return f + palette + rows;
}

bool Read(const std::string& file, TPixelBitmap& out, std::string& error) {
    return ReadBmp(reinterpret_cast<const uint8_t*>(file.data()), file.size(), out, error);
}

}  // namespace

TEST(SkinBlend, BlendBitmapRectAtItsEdgesAndClipping) {
    TPixelBitmap dst = Solid(4, 3, MakeColor(200, 100, 0));
    TPixelBitmap src = Solid(4, 3, MakeColor(10, 20, 30));
    BlendBitmapRect(dst.Pixels(), src.Pixels(), 0, {0, 0}, {0, 0, 2, 3});  // A = 0 takes the source
    EXPECT_EQ(At(dst.Pixels(), 1, 1), MakeColor(10, 20, 30));
    // A = 255 keeps the destination, within the rounding of the shift.
    BlendBitmapRect(dst.Pixels(), src.Pixels(), 255, {2, 0}, {0, 0, 2, 3});
    EXPECT_EQ(At(dst.Pixels(), 2, 0), MakeColor((200 * 255 + 10 + 127) >> 8, (100 * 255 + 20 + 127) >> 8, 0));
    // A negative point skips what falls outside; the rest lands at column 0.
    TPixelBitmap d2 = Solid(4, 3, clWhite);
    TPixelBitmap s2 = Solid(4, 3, clBlack);
    Put(s2.Pixels(), 1, 0, MakeColor(255, 0, 0));
    BlendBitmapRect(d2.Pixels(), s2.Pixels(), 0, {-1, 0}, {0, 0, 4, 3});
    EXPECT_EQ(At(d2.Pixels(), 0, 0), MakeColor((255 * 255 + 127) >> 8, 0, 0));
    EXPECT_EQ(At(d2.Pixels(), 3, 0), clWhite);  // nothing was left for the last column
    // A source rectangle above the picture moves the target down alike.
    TPixelBitmap d3 = Solid(4, 3, clWhite);
    BlendBitmapRect(d3.Pixels(), s2.Pixels(), 0, {0, 0}, {0, -1, 4, 3});
    EXPECT_EQ(At(d3.Pixels(), 1, 0), clWhite);
    EXPECT_EQ(At(d3.Pixels(), 1, 1), MakeColor((255 * 255 + 127) >> 8, 0, 0));
    // Bitmaps smaller than 2 x 2 do not attach: nothing happens.
    TPixelBitmap thin = Solid(5, 1, clWhite);
    BlendBitmapRect(thin.Pixels(), s2.Pixels(), 0, {0, 0}, {0, 0, 4, 1});
    EXPECT_TRUE(AllOf(thin.Pixels(), 0, 0, 5, 1, clWhite));
    TacFast24 fast;
    fast.Width = 7;
    EXPECT_FALSE(fast.Attach(thin.Pixels()));
    EXPECT_EQ(fast.Width, 0);
}

// Every channel byte follows (src * (255 - A) + dst * A + 127) >> 8, however
// many bytes a pixel takes on either side; a fourth byte is left alone; and
// a bitmap blended onto itself further down and right reads each pixel
// before it changes.
TEST(SkinBlend, BlendBitmapRectFollowsItsFormulaForEveryLayout) {
    auto fill = [](TPixelBitmap& bmp, int seed) {
        const TPixels p = bmp.Pixels();
        for (int y = 0; y < p.Height; ++y)
            for (int x = 0; x < p.Width * p.BytesPerPixel; ++x) p.ScanLine(y)[x] = static_cast<uint8_t>(x * 37 + y * 11 + seed);
    };
    auto blended = [](int s, int d, int a) { return static_cast<uint8_t>((s * (255 - a) + d * a + 127) >> 8); };
    for (const int dstBytes : {3, 4}) {
        TPixelBitmap src(41, 5, 3), dst(45, 6, dstBytes);
        fill(src, 1);
        fill(dst, 90);
        const TPixelBitmap before = dst;
        BlendBitmapRect(dst.Pixels(), src.Pixels(), 77, {3, 1}, {1, 1, 41, 5});
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 45; ++x)
                for (int c = 0; c < dstBytes; ++c) {
                    const uint8_t was = before.Pixels().At(x, y)[c];
                    const bool inside = x >= 3 && x < 43 && y >= 1 && y < 5 && c < 3;
                    const uint8_t want = inside ? blended(src.Pixels().At(x - 2, y)[c], was, 77) : was;
                    ASSERT_EQ(dst.Pixels().At(x, y)[c], want) << dstBytes << " bytes, " << x << "," << y << "," << c;
                }
    }
    TPixelBitmap self(9, 7, 3);
    fill(self, 5);
    const TPixelBitmap original = self;
    BlendBitmapRect(self.Pixels(), self.Pixels(), 100, {2, 1}, {0, 0, 7, 6});
    for (int y = 1; y < 7; ++y)
        for (int x = 2; x < 9; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(self.Pixels().At(x, y)[c],
                          blended(original.Pixels().At(x - 2, y - 1)[c], original.Pixels().At(x, y)[c], 100));
}

// Copies and blends between pictures lying in rings of another colour, with
// rectangles reaching past every edge: each source pixel lands at its own
// place, and nothing past either picture is read or written.
TEST(SkinBlend, CopiesAndBlendsStayWithinBothPictures) {
    const TColor back = MakeColor(250, 240, 230);
    auto shade = [](TColor c, int a) {  // c * a / 256, rounded as the blends' shift
        return MakeColor((RedOf(c) * a + 127) >> 8, (GreenOf(c) * a + 127) >> 8, (BlueOf(c) * a + 127) >> 8);
    };
    struct Routine {
        const char* name;
        std::function<void(const TPixels&, const TPixels&, TPoint, TRect)> run;
        std::function<TColor(TColor)> landed;  // what a source pixel becomes on the background
    };
    const TParentCacheInfo noParent;
    const Routine routines[] = {
        {"copy", [](auto& d, auto& s, TPoint at, TRect r) { CopyRect(d, at.X, at.Y, s, r); }, [](TColor s) { return s; }},
        {"keyed copy", [](auto& d, auto& s, TPoint at, TRect r) { CopyKeyedRect(d, at.X, at.Y, s, r, clFuchsia); },
         [](TColor s) { return s; }},
        {"transparent copy",
         [&](auto& d, auto& s, TPoint at, TRect r) { CopyTransparentRect(d, s, at.X, at.Y, false, noParent, clFuchsia, r); },
         [](TColor s) { return s; }},
        {"transparent blend", [](auto& d, auto& s, TPoint at, TRect r) { BlendTransparent(d, s, at.X, at.Y, clFuchsia, 0.0, r); },
         [](TColor s) { return s; }},
        {"blend 0", [](auto& d, auto& s, TPoint at, TRect r) { BlendBitmapRect(d, s, 0, at, r); },
         [&](TColor s) { return shade(s, 255); }},
        {"blend below 0", [](auto& d, auto& s, TPoint at, TRect r) { BlendBitmapRect(d, s, -40, at, r); },
         [&](TColor s) { return shade(s, 255); }},
        {"blend above 255", [](auto& d, auto& s, TPoint at, TRect r) { BlendBitmapRect(d, s, 300, at, r); },
         [&](TColor) { return shade(back, 255); }},
    };
    const struct {
        TPoint at;
        TRect source;
    } placements[] = {{{1, 1}, {0, 0, 4, 3}},   {{3, 3}, {0, 0, 4, 3}},  {{-2, -1}, {0, 0, 4, 3}},
                      {{0, 0}, {-1, -2, 3, 2}}, {{2, 1}, {1, 1, 7, 6}},  {{5, 4}, {3, 2, 4, 3}},
                      {{1, 0}, {-3, 0, 9, 9}},  {{6, 0}, {0, 0, 4, 3}}, {{0, 0}, {4, 0, 6, 3}}};
    for (const Routine& routine : routines) {
        for (const auto& [at, source] : placements) {
            Framed src(4, 3, 0), dst(6, 5, back);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 4; ++x) Put(src.Pixels(), x, y, MakeColor(20 + 40 * x, 30 + 50 * y, 200));
            routine.run(dst.Pixels(), src.Pixels(), at, source);
            const std::string where = std::string(routine.name) + " to " + std::to_string(at.X) + "," +
                                      std::to_string(at.Y) + " from " + std::to_string(source.Left) + "," +
                                      std::to_string(source.Top) + "-" + std::to_string(source.Right) + "," +
                                      std::to_string(source.Bottom);
            EXPECT_TRUE(dst.RingIntact()) << where;
            for (int y = 0; y < 5; ++y) {
                for (int x = 0; x < 6; ++x) {
                    const int sx = x - at.X + source.Left, sy = y - at.Y + source.Top;
                    const bool covered = sx >= 0 && sy >= 0 && sx < 4 && sy < 3 && sx >= source.Left &&
                                         sx < source.Right && sy >= source.Top && sy < source.Bottom;
                    const TColor want = covered ? routine.landed(At(src.Pixels(), sx, sy)) : back;
                    ASSERT_EQ(At(dst.Pixels(), x, y), want) << where << " at " << x << "," << y;
                }
            }
        }
    }

    // Fills, fades, tiles and gradients of rectangles past every edge: the
    // part inside the picture, and only that.
    const TColor ink = MakeColor(5, 6, 7);
    const TPixelBitmap tile = Solid(2, 3, ink);
    auto gradient = [&](int mode, std::vector<int> shares) {
        TsGradArray steps;
        for (int share : shares) steps.push_back({ink, ink, static_cast<uint8_t>(share), mode});
        return steps;
    };
    const struct {
        const char* name;
        std::function<void(const TPixels&, TRect)> run;
        bool ringOnly;  // two pixels along the rectangle's edges
    } painters[] = {
        {"fill", [&](auto& p, TRect r) { FillRect(p, r, ink); }, false},
        {"colour blend", [&](auto& p, TRect r) { BlendRectWithColor(p, r, 0, ink); }, false},
        {"fade", [&](auto& p, TRect r) { BlendRoundRect(p, r, 100, 0, 0, ink); }, false},
        {"fade above 100 %", [&](auto& p, TRect r) { BlendRoundRect(p, r, 150, 0, 0, ink); }, false},
        {"tile", [&](auto& p, TRect r) { TileGraphic(p, r, tile.Pixels()); }, false},
        {"gradient down", [&](auto& p, TRect r) { PaintGradient(p, r, gradient(0, {100})); }, false},
        {"gradient bands past the end", [&](auto& p, TRect r) { PaintGradient(p, r, gradient(1, {70, 70, 10})); }, false},
        {"gradient rows past the end", [&](auto& p, TRect r) { PaintGradient(p, r, gradient(0, {60, 90})); }, false},
        {"3D frame", [&](auto& p, TRect r) { DrawFrame3D(p, r, ink, ink, 2); }, true},
    };
    for (const auto& painter : painters) {
        for (const TRect r : {TRect{-2, -1, 3, 2}, TRect{3, 2, 9, 8}, TRect{1, 1, 5, 4}, TRect{-5, -5, 20, 20},
                              TRect{0, 0, 6, 5}, TRect{6, 5, 8, 8}, TRect{-3, 0, 0, 5}}) {
            Framed bmp(6, 5, back);
            painter.run(bmp.Pixels(), r);
            const std::string where = std::string(painter.name) + " of " + std::to_string(r.Left) + "," +
                                      std::to_string(r.Top) + "-" + std::to_string(r.Right) + "," + std::to_string(r.Bottom);
            EXPECT_TRUE(bmp.RingIntact()) << where;
            for (int y = 0; y < 5; ++y) {
                for (int x = 0; x < 6; ++x) {
                    bool inside = x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
                    if (painter.ringOnly)
                        inside = inside && (x < r.Left + 2 || y < r.Top + 2 || x >= r.Right - 2 || y >= r.Bottom - 2);
                    ASSERT_EQ(At(bmp.Pixels(), x, y), inside ? ink : back) << where << " at " << x << "," << y;
                }
            }
        }
    }
    // A fade below 0 % leaves the picture as it was.
    Framed unfaded(6, 5, back);
    BlendRoundRect(unfaded.Pixels(), {0, 0, 6, 5}, -20, 0, 0, ink);
    EXPECT_TRUE(AllOf(unfaded.Pixels(), 0, 0, 6, 5, back));
}

TEST(SkinBlend, ColourBlendsRoundHalvesToEvenAndClampAbove100Percent) {
    EXPECT_EQ(BlendColors(MakeColor(255, 0, 10), MakeColor(0, 255, 20), 0.5), MakeColor(128, 128, 15));
    EXPECT_EQ(BlendColors(MakeColor(1, 3, 0), MakeColor(0, 0, 0), 0.5), MakeColor(0, 2, 0));  // 0.5 and 1.5
    TPixelBitmap bmp = Solid(3, 2, MakeColor(200, 100, 10));
    BlendRectWithColor(bmp.Pixels(), {0, 0, 1, 2}, 100, clBlack);
    BlendRectWithColor(bmp.Pixels(), {0, 0, 1, 2}, 356, clWhite);  // only the low byte counts: 100 again
    BlendRectWithColor(bmp.Pixels(), {1, 0, 2, 2}, 0, MakeColor(1, 2, 3));
    BlendRectWithColor(bmp.Pixels(), {2, 0, 9, 9}, 150, clWhite);  // 1.5 x pixel - 0.5 x white
    EXPECT_EQ(At(bmp.Pixels(), 0, 0), MakeColor(200, 100, 10));
    EXPECT_EQ(At(bmp.Pixels(), 1, 1), MakeColor(1, 2, 3));
    EXPECT_EQ(At(bmp.Pixels(), 2, 1), MakeColor(172, 22, 0));  // 300 - 127.5, 150 - 127.5, clamped at 0
}

TEST(SkinBlend, TransparentBlendSkipsKeyPixelsUnlessTheKeySaysAll) {
    TPixelBitmap dst = Solid(2, 2, MakeColor(100, 100, 100));
    TPixelBitmap src = Solid(2, 2, MakeColor(200, 0, 50));
    Put(src.Pixels(), 1, 0, clFuchsia);
    BlendTransparent(dst.Pixels(), src.Pixels(), 0, 0, clFuchsia, 0.5, {0, 0, 2, 2});
    EXPECT_EQ(At(dst.Pixels(), 0, 0), MakeColor(150, 50, 75));
    EXPECT_EQ(At(dst.Pixels(), 1, 0), MakeColor(100, 100, 100));
    BlendTransparent(dst.Pixels(), src.Pixels(), 0, 0, static_cast<TColor>(0xFFFF00FF), 0.0, {0, 0, 2, 2});
    EXPECT_EQ(At(dst.Pixels(), 1, 0), clFuchsia);  // copied as any other pixel
    // A source rectangle reaching before the picture keeps every pixel at its place.
    TPixelBitmap shifted = Solid(3, 3, clWhite);
    Put(src.Pixels(), 0, 1, MakeColor(1, 2, 3));
    BlendTransparent(shifted.Pixels(), src.Pixels(), 0, 0, clFuchsia, 0.0, {-1, -1, 2, 2});
    EXPECT_EQ(At(shifted.Pixels(), 1, 2), MakeColor(1, 2, 3));
    EXPECT_EQ(At(shifted.Pixels(), 0, 0), clWhite);
}

TEST(SkinBlend, MaskBlendsTakeThePictureAtMask0AndKeepAt255) {
    TPixelBitmap dst = Solid(2, 1, MakeColor(0, 100, 255));
    TPixelBitmap mask = Solid(2, 1, clBlack);
    Put(mask.Pixels(), 1, 0, clWhite);
    BlendWithMaskBitmap(dst.Pixels(), mask.Pixels(), MakeColor(50, 60, 70));
    EXPECT_EQ(At(dst.Pixels(), 0, 0), MakeColor(50, 60, 70));
    // A smaller mask: only the part it covers.
    TPixelBitmap wide = Solid(3, 2, clWhite), small = Solid(1, 1, clBlack);
    BlendWithMaskBitmap(wide.Pixels(), small.Pixels(), clBlack);
    EXPECT_EQ(At(wide.Pixels(), 0, 0), clBlack);
    EXPECT_EQ(At(wide.Pixels(), 1, 0), clWhite);
    EXPECT_EQ(At(dst.Pixels(), 1, 0), MakeColor((50 * 1 + 0) >> 8, (100 * 255 + 60) >> 8, (255 * 255 + 70) >> 8));

    // Between two pictures: share 256 is all of the first, 0 all of the second.
    TPixelBitmap a = Solid(2, 2, MakeColor(255, 0, 0)), b = Solid(2, 2, MakeColor(0, 0, 255)), out(2, 2);
    BlendThroughMask(out.Pixels(), a.Pixels(), b.Pixels(), 256);
    EXPECT_EQ(At(out.Pixels(), 1, 1), MakeColor(255, 0, 0));
    BlendThroughMask(out.Pixels(), a.Pixels(), b.Pixels(), 128);
    EXPECT_EQ(At(out.Pixels(), 0, 0), MakeColor(127, 0, 127));
    // Through a mask: white passes the share whole, black passes none.
    TPixelBitmap shares = Solid(3, 2, clWhite);
    Put(shares.Pixels(), 1, 0, clBlack);
    const TPixels sharesPixels = shares.Pixels();
    BlendThroughMask(out.Pixels(), a.Pixels(), b.Pixels(), 256, &sharesPixels);
    EXPECT_EQ(At(out.Pixels(), 0, 0), MakeColor(255, 0, 0));
    EXPECT_EQ(At(out.Pixels(), 1, 0), MakeColor(0, 0, 255));
    // A mask smaller than the pictures: the part it covers, nothing more.
    TPixelBitmap corner = Solid(1, 1, clWhite), mixed = Solid(2, 2, clBlack);
    const TPixels cornerPixels = corner.Pixels();
    BlendThroughMask(mixed.Pixels(), a.Pixels(), b.Pixels(), 256, &cornerPixels);
    EXPECT_EQ(At(mixed.Pixels(), 0, 0), MakeColor(255, 0, 0));
    EXPECT_TRUE(AllOf(mixed.Pixels(), 1, 0, 2, 2, clBlack));
    EXPECT_EQ(At(mixed.Pixels(), 0, 1), clBlack);

    TPixelBitmap faded = Solid(4, 4, clWhite);
    BlendRoundRect(faded.Pixels(), {0, 0, 4, 4}, 60, 0, 0, clBlack);  // a plain 60 % fade
    EXPECT_TRUE(AllOf(faded.Pixels(), 0, 0, 4, 4, MakeColor(101, 101, 101)));
    TPixelBitmap round = Solid(10, 10, clWhite);
    BlendRoundRect(round.Pixels(), {0, 0, 10, 10}, 100, 4, 0, clBlack);
    EXPECT_EQ(At(round.Pixels(), 0, 0), clWhite);  // cut off by the rounded corner
    EXPECT_EQ(At(round.Pixels(), 5, 5), clBlack);
    // The corner's pixels are cut by where their centres lie.
    EXPECT_EQ(At(round.Pixels(), 1, 1), clWhite);
    EXPECT_EQ(At(round.Pixels(), 2, 1), clBlack);
    EXPECT_EQ(At(round.Pixels(), 7, 8), clBlack);
    // A flat rectangle rounds its corners by half its height at most.
    TPixelBitmap flat = Solid(20, 6, clWhite);
    BlendRoundRect(flat.Pixels(), {0, 0, 20, 6}, 100, 8, 0, clBlack);
    EXPECT_EQ(At(flat.Pixels(), 3, 0), clBlack);
    EXPECT_EQ(At(flat.Pixels(), 0, 0), clWhite);
    // A soft edge of two rings: a third, two thirds, then the whole fade.
    TPixelBitmap soft = Solid(10, 10, clWhite);
    BlendRoundRect(soft.Pixels(), {0, 0, 10, 10}, 90, 0, 2, clBlack);
    EXPECT_EQ(At(soft.Pixels(), 0, 5), MakeColor(178, 178, 178));  // 30 %
    EXPECT_EQ(At(soft.Pixels(), 1, 5), MakeColor(101, 101, 101));  // 60 %
    EXPECT_EQ(At(soft.Pixels(), 5, 5), MakeColor(24, 24, 24));     // 90 %
    // Rounded corners and soft edges alike on every side: the fade of an odd
    // rectangle placed off the picture's corner is its own mirror image.
    TPixelBitmap mirrored = Solid(15, 13, clWhite);
    BlendRoundRect(mirrored.Pixels(), {2, 2, 13, 11}, 80, 4, 2, clBlack);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 15; ++x) {
            ASSERT_EQ(At(mirrored.Pixels(), x, y), At(mirrored.Pixels(), 14 - x, y)) << x << "," << y;
            ASSERT_EQ(At(mirrored.Pixels(), x, y), At(mirrored.Pixels(), x, 12 - y)) << x << "," << y;
        }
    EXPECT_EQ(At(mirrored.Pixels(), 2, 2), clWhite);
    EXPECT_EQ(At(mirrored.Pixels(), 7, 6), MakeColor(50, 50, 50));  // 255 x (20 x 256 / 100) / 256
}

TEST(SkinCopy, KeyedCopiesTakeHolesFromTheParentOnlyWhenItIsReady) {
    TPixelBitmap src = Solid(3, 1, MakeColor(1, 2, 3));
    Put(src.Pixels(), 1, 0, clFuchsia);
    TPixelBitmap parent = Solid(10, 10, MakeColor(9, 9, 9));
    Put(parent.Pixels(), 6, 5, MakeColor(7, 7, 7));
    TPixelBitmap dst = Solid(4, 2, clWhite);
    CopyTransparentRect(dst.Pixels(), src.Pixels(), 1, 0, true, TParentCacheInfo{}, clFuchsia, {0, 0, 3, 1});
    EXPECT_EQ(At(dst.Pixels(), 2, 0), clWhite);
    CopyTransparentRect(dst.Pixels(), src.Pixels(), 1, 0, true, MakeParentCacheInfo(parent.Pixels(), 4, 5),
                        clFuchsia, {0, 0, 3, 1});
    EXPECT_EQ(At(dst.Pixels(), 1, 0), MakeColor(1, 2, 3));
    EXPECT_EQ(At(dst.Pixels(), 2, 0), MakeColor(7, 7, 7));
    // A parent picture that does not reach that far leaves the pixel alone.
    TPixelBitmap fresh = Solid(4, 2, clWhite);
    CopyTransparentRect(fresh.Pixels(), src.Pixels(), 1, 0, true, MakeParentCacheInfo(parent.Pixels(), 9, 9),
                        clFuchsia, {0, 0, 3, 1});
    EXPECT_EQ(At(fresh.Pixels(), 2, 0), clWhite);
    // An empty parent picture is never read.
    CopyTransparentRect(fresh.Pixels(), src.Pixels(), 1, 0, true, MakeParentCacheInfo(TPixels{}, 0, 0), clFuchsia,
                        {0, 0, 3, 1});
    EXPECT_EQ(At(fresh.Pixels(), 2, 0), clWhite);
}

TEST(SkinCopy, StretchAveragesAndFramesTileAndFrameRings) {
    TPixelBitmap src(2, 1);
    Put(src.Pixels(), 0, 0, clBlack);
    Put(src.Pixels(), 1, 0, clWhite);
    TPixelBitmap wide(4, 1), narrow(1, 1);
    StretchRect(wide.Pixels(), {0, 0, 4, 1}, src.Pixels(), {0, 0, 2, 1});
    EXPECT_EQ(At(wide.Pixels(), 1, 0), clBlack);
    EXPECT_EQ(At(wide.Pixels(), 2, 0), clWhite);
    StretchRect(narrow.Pixels(), {0, 0, 1, 1}, src.Pixels(), {0, 0, 2, 1});
    EXPECT_EQ(At(narrow.Pixels(), 0, 0), MakeColor(128, 128, 128));
    // Rows are averaged as columns are: black over white is grey.
    TPixelBitmap column(1, 2), dot(1, 1);
    Put(column.Pixels(), 0, 1, clWhite);
    StretchRect(dot.Pixels(), {0, 0, 1, 1}, column.Pixels(), {0, 0, 1, 2});
    EXPECT_EQ(At(dot.Pixels(), 0, 0), MakeColor(128, 128, 128));
    // A target reaching off the picture's left edge shows only its right half.
    TPixelBitmap half(2, 1);
    StretchRect(half.Pixels(), {-2, 0, 2, 1}, src.Pixels(), {0, 0, 2, 1});
    EXPECT_TRUE(AllOf(half.Pixels(), 0, 0, 2, 1, clWhite));
    // One colour stays that colour at any scale, however the pixels are shared.
    TPixelBitmap white = Solid(300, 300, clWhite), spread(7, 5), squeezed(1, 1);
    StretchRect(spread.Pixels(), {0, 0, 7, 5}, white.Pixels(), {0, 0, 3, 3});
    StretchRect(squeezed.Pixels(), {0, 0, 1, 1}, white.Pixels(), {0, 0, 300, 300});
    EXPECT_TRUE(AllOf(spread.Pixels(), 0, 0, 7, 5, clWhite));
    EXPECT_EQ(At(squeezed.Pixels(), 0, 0), clWhite);
    // A fill is clipped to the picture.
    TPixelBitmap filled = Solid(3, 2, clWhite);
    FillRect(filled.Pixels(), {-2, 1, 9, 9}, clBlack);
    EXPECT_TRUE(AllOf(filled.Pixels(), 0, 1, 3, 2, clBlack));
    EXPECT_TRUE(AllOf(filled.Pixels(), 0, 0, 3, 1, clWhite));

    // The same size is a plain copy.
    TPixelBitmap same(2, 1);
    StretchRect(same.Pixels(), {0, 0, 2, 1}, src.Pixels(), {0, 0, 2, 1});
    EXPECT_EQ(At(same.Pixels(), 1, 0), clWhite);
    // A dotted frame: black every third pixel along each edge, white one up and left of it.
    TPixelBitmap dotted = Solid(7, 7, MakeColor(50, 50, 50));
    DrawDottedFrame(dotted.Pixels(), {0, 0, 7, 7});
    for (TPoint p : {TPoint{0, 0}, TPoint{3, 0}, TPoint{6, 0}, TPoint{0, 3}, TPoint{6, 3}, TPoint{3, 6}, TPoint{6, 6}})
        EXPECT_EQ(At(dotted.Pixels(), p.X, p.Y), clBlack) << p.X << "," << p.Y;
    for (TPoint p : {TPoint{2, 5}, TPoint{5, 5}, TPoint{5, 2}})
        EXPECT_EQ(At(dotted.Pixels(), p.X, p.Y), clWhite) << p.X << "," << p.Y;
    EXPECT_EQ(At(dotted.Pixels(), 1, 0), MakeColor(50, 50, 50));
    EXPECT_EQ(At(dotted.Pixels(), 3, 3), MakeColor(50, 50, 50));
    // One wider: the right side's dots are its own, down to the last row's.
    TPixelBitmap wider = Solid(8, 7, MakeColor(50, 50, 50));
    DrawDottedFrame(wider.Pixels(), {0, 0, 8, 7});
    for (TPoint p : {TPoint{7, 0}, TPoint{7, 3}, TPoint{7, 6}, TPoint{0, 6}})
        EXPECT_EQ(At(wider.Pixels(), p.X, p.Y), clBlack) << p.X << "," << p.Y;
    EXPECT_EQ(At(wider.Pixels(), 7, 5), MakeColor(50, 50, 50));

    // Tiles keep their places when the rectangle starts off the picture.
    TPixelBitmap shifted = Solid(4, 1, clWhite);
    TileGraphic(shifted.Pixels(), {-3, 0, 8, 1}, src.Pixels());
    EXPECT_EQ(At(shifted.Pixels(), 0, 0), clWhite);
    EXPECT_EQ(At(shifted.Pixels(), 1, 0), clBlack);
    // And downward: a rectangle from row -3 of two-row tiles shows a tile's second row first.
    TPixelBitmap stripes(1, 4);
    TileGraphic(stripes.Pixels(), {0, -3, 1, 4}, column.Pixels());
    for (int y = 0; y < 4; ++y) EXPECT_EQ(At(stripes.Pixels(), 0, y), y % 2 == 0 ? clWhite : clBlack) << y;
    // A frame at least half as wide as an odd rectangle is the whole of it.
    TPixelBitmap whole = Solid(5, 5, clBlack), ring = Solid(5, 5, clWhite);
    CopyFrameRect(ring.Pixels(), whole.Pixels(), {0, 0, 5, 5}, 3);
    EXPECT_TRUE(AllOf(ring.Pixels(), 0, 0, 5, 5, clBlack));
    TPixelBitmap thin = Solid(5, 5, clWhite);
    CopyFrameRect(thin.Pixels(), whole.Pixels(), {0, 0, 5, 5}, 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(At(thin.Pixels(), x, y), x % 4 == 0 || y % 4 == 0 ? clBlack : clWhite) << x << "," << y;

    TPixelBitmap tiled = Solid(5, 5, clWhite);
    TileGraphic(tiled.Pixels(), {1, 1, 5, 4}, src.Pixels());
    EXPECT_EQ(At(tiled.Pixels(), 1, 1), clBlack);
    EXPECT_EQ(At(tiled.Pixels(), 4, 3), clWhite);
    EXPECT_EQ(At(tiled.Pixels(), 3, 2), clBlack);
    EXPECT_EQ(At(tiled.Pixels(), 0, 0), clWhite);
    EXPECT_EQ(At(tiled.Pixels(), 1, 4), clWhite);  // below the rectangle

    TPixelBitmap frame = Solid(4, 4, clWhite);
    DrawFrame3D(frame.Pixels(), {0, 0, 4, 4}, MakeColor(1, 1, 1), MakeColor(2, 2, 2), 1);
    EXPECT_EQ(At(frame.Pixels(), 0, 0), MakeColor(1, 1, 1));
    EXPECT_EQ(At(frame.Pixels(), 3, 0), MakeColor(2, 2, 2));  // the top-right pixel belongs to the dark edge
    EXPECT_EQ(At(frame.Pixels(), 0, 3), MakeColor(2, 2, 2));
    EXPECT_EQ(At(frame.Pixels(), 1, 1), clWhite);

    // Two rings, each closed to its last pixel: light top and left, dark
    // bottom and right (which take the two far corners).
    TPixelBitmap rings = Solid(6, 5, clWhite);
    DrawFrame3D(rings.Pixels(), {0, 0, 6, 5}, clBlack, MakeColor(128, 128, 128), 2);
    const char* expected[] = {"LLLLLD",
                              "LLLLDD",
                              "LL..DD",
                              "LDDDDD",
                              "DDDDDD"};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const char c = expected[y][x];
            EXPECT_EQ(At(rings.Pixels(), x, y), c == 'L' ? clBlack : c == 'D' ? MakeColor(128, 128, 128) : clWhite)
                << x << "," << y;
        }
}

// A picture copied partly off the target (a control scrolled half out of its
// parent) shows exactly the part that falls inside, at its own place, and
// nothing is written past any edge.
TEST(SkinCopy, CopiesOffEveryEdgeClipBothPictures) {
    TPixelBitmap src(4, 3);
    auto colour = [](int x, int y) { return MakeColor(10 + 60 * x, 20 + 80 * y, 7); };
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) Put(src.Pixels(), x, y, colour(x, y));
    // The target is only as large as it must be, so that a row or column
    // written too far would leave its memory.
    for (int bpp : {3, 4}) {
        TPixelBitmap dst = Solid(5, 4, clWhite, bpp);
        CopyRect(dst.Pixels(), -2, -1, src.Pixels(), {0, 0, 4, 3});  // up and left out of the target
        EXPECT_EQ(At(dst.Pixels(), 0, 0), colour(2, 1)) << bpp;
        EXPECT_EQ(At(dst.Pixels(), 1, 1), colour(3, 2)) << bpp;
        EXPECT_EQ(At(dst.Pixels(), 2, 0), clWhite) << bpp;
        EXPECT_EQ(At(dst.Pixels(), 0, 2), clWhite) << bpp;
        CopyRect(dst.Pixels(), 3, 2, src.Pixels(), {0, 0, 4, 3});  // down and right out of it
        EXPECT_EQ(At(dst.Pixels(), 3, 2), colour(0, 0)) << bpp;
        EXPECT_EQ(At(dst.Pixels(), 4, 3), colour(1, 1)) << bpp;
        EXPECT_EQ(At(dst.Pixels(), 2, 3), clWhite) << bpp;
    }
    // A source rectangle starting before the picture moves the target along.
    TPixelBitmap dst = Solid(5, 4, clWhite);
    CopyRect(dst.Pixels(), 1, 1, src.Pixels(), {-1, -2, 2, 2});
    EXPECT_EQ(At(dst.Pixels(), 2, 3), colour(0, 0));
    EXPECT_EQ(At(dst.Pixels(), 3, 3), colour(1, 0));
    EXPECT_TRUE(AllOf(dst.Pixels(), 0, 0, 5, 3, clWhite));
    // The keyed copies clip alike and still skip the key.
    Put(src.Pixels(), 3, 2, clFuchsia);
    TPixelBitmap keyed = Solid(3, 2, clWhite);
    CopyTransparentBmp(keyed.Pixels(), src.Pixels(), -2, -1, clFuchsia);
    EXPECT_EQ(At(keyed.Pixels(), 0, 0), colour(2, 1));
    EXPECT_EQ(At(keyed.Pixels(), 1, 0), colour(3, 1));
    EXPECT_EQ(At(keyed.Pixels(), 0, 1), colour(2, 2));
    EXPECT_EQ(At(keyed.Pixels(), 1, 1), clWhite);
    EXPECT_EQ(At(keyed.Pixels(), 2, 0), clWhite);
    TPixelBitmap edge = Solid(3, 2, clWhite);
    CopyTransparentRect(edge.Pixels(), src.Pixels(), 1, 1, false, TParentCacheInfo{}, clFuchsia, {0, 0, 4, 3});
    EXPECT_EQ(At(edge.Pixels(), 1, 1), colour(0, 0));
    EXPECT_EQ(At(edge.Pixels(), 2, 1), colour(1, 0));
    EXPECT_TRUE(AllOf(edge.Pixels(), 0, 0, 3, 1, clWhite));
}

TEST(SkinCopy, ChangedRunsFindEveryDifferingPixelAtTheOffsetAndGiveUpToOneRectangle) {
    const TPixelBitmap before = Solid(6, 4, clWhite);
    for (int bpp : {3, 4}) {
        // The picture sits at (2, 1) of a larger one; pixels outside it do not count.
        TPixelBitmap now = Solid(9, 6, clBlack, bpp);
        CopyRect(now.Pixels(), 2, 1, before.Pixels(), {0, 0, 6, 4});
        EXPECT_TRUE(ChangedRuns(now.Pixels(), 2, 1, Solid(6, 4, clWhite, bpp).Pixels(), 8).empty()) << bpp;
        // The first and the last pixel of a row, and two neighbours in another.
        const TPixelBitmap same = Solid(6, 4, clWhite, bpp);
        Put(now.Pixels(), 2, 1, MakeColor(255, 0, 0));
        Put(now.Pixels(), 7, 1, MakeColor(255, 0, 0));
        Put(now.Pixels(), 4, 4, MakeColor(255, 255, 254));
        Put(now.Pixels(), 5, 4, MakeColor(0, 0, 255));
        const std::vector<TRect> runs = ChangedRuns(now.Pixels(), 2, 1, same.Pixels(), 8);
        ASSERT_EQ(runs.size(), 3u) << bpp;
        EXPECT_EQ(runs[0], (TRect{0, 0, 1, 1})) << bpp;
        EXPECT_EQ(runs[1], (TRect{5, 0, 6, 1})) << bpp;
        EXPECT_EQ(runs[2], (TRect{2, 3, 4, 4})) << bpp;
        // Past the limit one rectangle holds them all.
        EXPECT_EQ(ChangedRuns(now.Pixels(), 2, 1, same.Pixels(), 2), (std::vector<TRect>{TRect{0, 0, 6, 4}})) << bpp;
        // A picture that does not fit where it should be has changed as a whole.
        EXPECT_EQ(ChangedRuns(now.Pixels(), 4, 3, same.Pixels(), 8), (std::vector<TRect>{TRect{0, 0, 6, 4}})) << bpp;
        EXPECT_EQ(ChangedRuns(now.Pixels(), -1, 0, same.Pixels(), 8), (std::vector<TRect>{TRect{0, 0, 6, 4}})) << bpp;
    }
}

TEST(SkinGradient, ParsesStepsAndRefusesDamagedText) {
    TsGradArray data;
    ParseGradientData("255;16711680;50;0;0;16711680;65280;50;0;0", data);
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(data[0], (TsGradPart{255, 16711680, 50, 0}));
    EXPECT_EQ(data[1], (TsGradPart{16711680, 65280, 50, 0}));
    ParseGradientData("1;2;150;1;0;7;8", data);  // seven words: one step; 150 % is 100 %
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data[0].Percent, 100);
    ParseGradientData("$FF;0x10;-$10;2;x", data);
    EXPECT_EQ(data[0].Percent, 0);  // -16 is below nothing
    ParseGradientData("$FF;0x10;20;2;x", data);
    EXPECT_EQ(data[0].Color1, 255);
    EXPECT_EQ(data[0].Color2, 16);
    ParseGradientData("1;2;-5;0;0", data);  // a share below nothing is nothing
    EXPECT_EQ(data[0].Percent, 0);
    ParseGradientData("", data);
    EXPECT_TRUE(data.empty());
    ParseGradientData("1;2;3;4;5", data);
    EXPECT_THROW(ParseGradientData("1;red;3;4;5", data), rtl::EConvertError);
    EXPECT_TRUE(data.empty());
}

TEST(SkinGradient, PaintsTheThreeModes) {
    TsGradArray data;
    // Uniform steps give one colour everywhere in every mode.
    for (int mode = 0; mode <= 2; ++mode) {
        TPixelBitmap bmp = Solid(7, 5, clBlack);
        const TColor c = MakeColor(10, 20, 30);
        data = {{c, c, 100, mode}, {c, c, 0, mode}, {c, c, 0, mode}, {c, c, 0, mode}, {c, c, 0, mode}};
        PaintGradient(bmp.Pixels(), {0, 0, 7, 5}, data);
        EXPECT_TRUE(AllOf(bmp.Pixels(), 0, 0, 7, 5, c)) << "mode " << mode;
    }
    // Two vertical steps: red to blue over the top half, blue to green below.
    TPixelBitmap v = Solid(3, 10, clWhite);
    ParseGradientData("255;16711680;50;0;0;16711680;65280;50;0;0", data);
    PaintGradient(v.Pixels(), {0, 0, 3, 10}, data);
    EXPECT_EQ(At(v.Pixels(), 0, 0), 255);
    EXPECT_EQ(At(v.Pixels(), 2, 4), 16711680);
    EXPECT_EQ(At(v.Pixels(), 1, 5), 16711680);
    EXPECT_EQ(At(v.Pixels(), 1, 9), 65280);
    EXPECT_EQ(At(v.Pixels(), 1, 2), MakeColor(128, 0, 128));
    // Bands whose percents pass 100 stop at the rectangle; the clip keeps
    // negative coordinates inside the bitmap.
    // Steps whose percents fall short of 100: the last one runs to the end.
    TPixelBitmap shortSteps = Solid(2, 10, clWhite);
    data = {{255, 255, 30, 0}, {16711680, 16711680, 30, 0}};
    PaintGradient(shortSteps.Pixels(), {0, 0, 2, 10}, data);
    EXPECT_TRUE(AllOf(shortSteps.Pixels(), 0, 0, 2, 3, 255));
    EXPECT_TRUE(AllOf(shortSteps.Pixels(), 0, 3, 2, 10, 16711680));
    TPixelBitmap h = Solid(10, 2, clWhite);
    data = {{255, 255, 100, 1}, {65280, 65280, 100, 1}, {0, 0, 100, 1}};
    PaintGradient(h.Pixels(), {-5, 0, 10, 2}, data);
    EXPECT_TRUE(AllOf(h.Pixels(), 0, 0, 10, 2, 255));
    // Left to right, each band after the one before; a step of no length
    // gives way to the next.
    const TColor red = MakeColor(255, 0, 0), green = MakeColor(0, 255, 0), blue = MakeColor(0, 0, 255);
    TPixelBitmap across = Solid(4, 2, clWhite);
    data = {{red, red, 0, 1}, {red, green, 50, 1}, {blue, blue, 50, 1}};
    PaintGradient(across.Pixels(), {0, 0, 4, 2}, data);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(across.Pixels(), x, 1), x == 0 ? red : x == 1 ? green : blue) << x;
    // Triangles with two steps: the corners past the centre repeat step 1's colour.
    TPixelBitmap t = Solid(20, 20, clWhite);
    data = {{255, 0, 50, 2}, {65280, 0, 50, 2}};
    PaintGradient(t.Pixels(), {0, 0, 20, 20}, data);
    EXPECT_EQ(At(t.Pixels(), 19, 19), 65280);
    EXPECT_EQ(At(t.Pixels(), 10, 19), 65280);
    EXPECT_GT(RedOf(At(t.Pixels(), 0, 0)), 200);  // beside the red top-left vertex
    EXPECT_LT(RedOf(At(t.Pixels(), 19, 0)), 50);
    // Five steps: the bottom triangle mixes only the bottom corners and the
    // centre, so the top-right vertex's green never reaches it.
    data = {{red, 0, 20, 2}, {clBlack, 0, 20, 2}, {green, 0, 20, 2}, {blue, 0, 20, 2}, {MakeColor(255, 0, 255), 0, 20, 2}};
    PaintGradient(t.Pixels(), {0, 0, 20, 20}, data);
    for (int y = 11; y < 20; ++y)
        for (int x = 20 - y; x < y; ++x) ASSERT_EQ(GreenOf(At(t.Pixels(), x, y)), 0) << x << "," << y;
    EXPECT_GT(GreenOf(At(t.Pixels(), 19, 0)), 200);
    EXPECT_GT(BlueOf(At(t.Pixels(), 19, 19)), 200);
}

TEST(SkinColour, HueAndSaturationShifts) {
    EXPECT_EQ(ShiftColorHue(MakeColor(255, 0, 0), 120), MakeColor(0, 255, 0));
    EXPECT_EQ(ShiftColorHue(MakeColor(255, 0, 0), -120), MakeColor(0, 0, 255));
    EXPECT_EQ(ShiftColorHue(MakeColor(255, 0, 0), 480), MakeColor(0, 255, 0));  // modulo 360
    EXPECT_EQ(ShiftColorHue(MakeColor(90, 90, 90), 77), MakeColor(90, 90, 90));
    // Orange turns toward green, pink toward orange.
    EXPECT_EQ(ShiftColorHue(MakeColor(255, 128, 0), 60), MakeColor(127, 255, 0));
    EXPECT_EQ(ShiftColorHue(MakeColor(255, 0, 128), 60), MakeColor(255, 127, 0));
    EXPECT_EQ(ShiftColorHue(MakeColor(0, 128, 255), 60), MakeColor(127, 0, 255));  // azure toward violet
    EXPECT_EQ(ShiftColorHue(MakeColor(128, 0, 255), 100), MakeColor(255, 43, 0));  // violet round to red
    EXPECT_EQ(ShiftColorSaturation(MakeColor(200, 100, 0), 100), MakeColor(100, 100, 100));
    EXPECT_EQ(ShiftColorSaturation(MakeColor(200, 100, 0), -50), MakeColor(250, 100, 0));
    EXPECT_EQ(ShiftColorSaturation(MakeColor(200, 100, 0), 0), MakeColor(200, 100, 0));
    // Every sector of the wheel, worked out from hue, saturation and value:
    // (64, 255, 0) has hue 105; red has hue 0.
    for (const auto& [from, degrees, to] : {std::tuple{MakeColor(64, 255, 0), 60, MakeColor(0, 255, 191)},
                                            std::tuple{MakeColor(255, 0, 0), 200, MakeColor(0, 170, 255)},
                                            std::tuple{MakeColor(255, 0, 0), -100, MakeColor(85, 0, 255)},
                                            std::tuple{MakeColor(255, 0, 0), -20, MakeColor(255, 0, 85)}})
        EXPECT_EQ(ShiftColorHue(from, degrees), to) << degrees;
    // The grey is the exact average (85 1/3 here), not a whole number.
    EXPECT_EQ(ShiftColorSaturation(MakeColor(255, 0, 1), 50), MakeColor(170, 43, 43));
    // A grey picture takes the average rounded down.
    TPixelBitmap grey(2, 1);
    Put(grey.Pixels(), 0, 0, MakeColor(1, 1, 0));
    Put(grey.Pixels(), 1, 0, MakeColor(2, 2, 1));
    GrayscaleBitmap(grey.Pixels());
    EXPECT_EQ(At(grey.Pixels(), 0, 0), clBlack);
    EXPECT_EQ(At(grey.Pixels(), 1, 0), MakeColor(1, 1, 1));
}

TEST(SkinUtils, IniWordsFoldersAndSets) {
    const TIniSections ini =
        ReadIniSections("; note\r\nstray=1\r\n[Button]\r\nColor = 0x1F\r\n\r\nName=a=b\r\n[EDIT]\r\nX=1\r\n[broken\r\nY=2\r\n");
    ASSERT_EQ(ini.size(), 2u);  // "[broken" opens no section
    EXPECT_EQ(ReadIniString(ini, "EDIT", "Y", "?"), "2");
    // Numbers with a point whatever the locale; anything else is the default.
    const TSkinIni skinIni("[G]\r\nA=5.75\r\nB=-0.5\r\nC=1.2.3\r\nD=.\r\nE=7\r\nF=+2.5\r\nH=+\r\nI=-3.\r\n");
    EXPECT_DOUBLE_EQ(skinIni.ReadFloat("G", "F", 0), 2.5);
    EXPECT_DOUBLE_EQ(skinIni.ReadFloat("G", "H", 9), 9);
    EXPECT_DOUBLE_EQ(skinIni.ReadFloat("G", "I", 0), -3);
    EXPECT_DOUBLE_EQ(skinIni.ReadFloat("G", "A", 0), 5.75);
    EXPECT_DOUBLE_EQ(skinIni.ReadFloat("G", "B", 0), -0.5);
    EXPECT_DOUBLE_EQ(skinIni.ReadFloat("G", "C", 9), 9);
    EXPECT_DOUBLE_EQ(skinIni.ReadFloat("G", "D", 9), 9);
    EXPECT_DOUBLE_EQ(skinIni.ReadFloat("G", "E", 0), 7);
    // A section written twice is one section; a key written twice keeps its first value.
    const TSkinIni twice("[ A ]\r\nX=1\r\n[B]\r\nY=2\r\n[a]\r\nZ=$ff\r\nx=9\r\n");
    EXPECT_EQ(twice.ReadSections(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(twice.ReadSection("A"), (std::vector<std::string>{"X", "Z"}));
    EXPECT_EQ(twice.ReadInteger("a", "X", 0), 1);
    EXPECT_EQ(twice.ReadInteger("A", "Z", 0), 255);  // small hexadecimal letters as well
    EXPECT_EQ(ReadIniInteger(ini, "BUTTON", "color", 0), 31);
    EXPECT_EQ(ReadIniString(ini, "Button", "Name", "?"), "a=b");
    EXPECT_EQ(ReadIniString(ini, "Button", "X", "?"), "?");
    EXPECT_EQ(ReadIniInteger(ini, "Button", "Name", -1), -1);

    EXPECT_EQ(WordAt(2, ";;a;;bc;", ";"), "bc");
    EXPECT_EQ(WordStart(2, ";;a;;bc;", ";"), 6);
    EXPECT_EQ(WordStart(3, ";;a;;bc;", ";"), 0);
    EXPECT_EQ(CountWords(" a b  c ", " "), 3);
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceAll("abab", "ab", "b"), "bb");  // the search goes on after what was replaced
    EXPECT_EQ(RemoveChar("a b c", ' '), "abc");
    EXPECT_EQ(IntLimit(5, 10, 0), 10);  // the minimum is tested first

    EXPECT_EQ(NormalDir("C"), "C:\\");
    EXPECT_EQ(NormalDir("C:/x/"), "C:/x\\");
    EXPECT_EQ(NormalDir("C:\\x\\"), "C:\\x\\");
    EXPECT_EQ(NormalDir(""), "");
    EXPECT_EQ(NormalDir("Skins"), "Skins\\");

    bool changed;
    EXPECT_EQ(ChangeSetText("a,b,c", "b", false, changed), "a,c");
    EXPECT_TRUE(changed);
    EXPECT_EQ(ChangeSetText("a", "a", false, changed), "");
    EXPECT_EQ(ChangeSetText("ab,c", "a", false, changed), "ab,c");  // no element a to remove
    EXPECT_FALSE(changed);
    EXPECT_EQ(ChangeSetText("a, b ,a", "a", false, changed), "b,a");  // one element at a time
    EXPECT_EQ(ChangeSetText("ab", "a", true, changed), "ab,a");
    EXPECT_EQ(ChangeSetText("", "a", true, changed), "a");
}

// The built-in pictures are thin black marks on the transparent key colour.
TEST(SkinBuiltIn, PicturesAreBlackMarksOnTheKeyColour) {
    for (const char* name : {"SF", "SR", "SD", "SE", "SC"}) {
        const TPixelBitmap* picture = BuiltInBitmap(name);
        ASSERT_NE(picture, nullptr) << name;
        int black = 0, key = 0;
        for (int y = 0; y < picture->Height(); ++y)
            for (int x = 0; x < picture->Width(); ++x) {
                const TColor c = At(picture->Pixels(), x, y);
                black += c == clBlack;
                key += c == clFuchsia;
            }
        EXPECT_GT(black, 0) << name;
        EXPECT_GT(key, black) << name;
        EXPECT_EQ(black + key, picture->Width() * picture->Height()) << name;
    }
    EXPECT_EQ(BuiltInBitmap("SX"), nullptr);
}

TEST(SkinUtils, EllipsisFittingEndsWhenNothingIsLeft) {
    auto width = [](const std::string& s) { return static_cast<int>(s.size()) * 5; };
    EXPECT_EQ(FitTextWithEllipsis("Battle", 30, width), "Battle");
    EXPECT_EQ(FitTextWithEllipsis("Battle", 29, width), "Ba...");
    EXPECT_EQ(FitTextWithEllipsis("Battle", 25, width), "Ba...");  // just fits
    EXPECT_EQ(FitTextWithEllipsis("Battle", 3, width), "...");
    EXPECT_EQ(FitTextWithEllipsis("", 0, width), "");
}

TEST(SkinBmp, RoundTripAndDamagedFiles) {
    TPixelBitmap bmp(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) Put(bmp.Pixels(), x, y, MakeColor(x * 40, y * 80, 7));
    const std::string file = WriteBmp(bmp.Pixels());
    TPixelBitmap back;
    std::string error;
    ASSERT_TRUE(ReadBmp(reinterpret_cast<const uint8_t*>(file.data()), file.size(), back, error)) << error;
    ASSERT_EQ(back.Width(), 5);
    ASSERT_EQ(back.Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(At(back.Pixels(), x, y), MakeColor(x * 40, y * 80, 7));
    // The header of the saved file: its size, where the pixels start, their bytes (rows of 16).
    auto u32 = [&file](size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(file[at]) | static_cast<uint8_t>(file[at + 1]) << 8 |
                                     static_cast<uint8_t>(file[at + 2]) << 16 | static_cast<uint8_t>(file[at + 3]) << 24);
    };
    EXPECT_EQ(file.size(), 54u + 3 * 16);
    EXPECT_EQ(std::make_tuple(u32(2), u32(10), u32(14), u32(34)), std::make_tuple(54u + 48, 54u, 40u, 48u));

    // An 8-bit picture with a two-colour palette, top-down, one row.
    std::string pal = file.substr(0, 54);
    pal[10] = 54 + 8;
    pal[18] = 2;
    pal[22] = static_cast<char>(0xFF), pal[23] = pal[24] = pal[25] = static_cast<char>(0xFF);  // height -1
    pal[28] = 8;
    pal += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8) + std::string("\x01\x00\x00\x00", 4);
    ASSERT_TRUE(ReadBmp(reinterpret_cast<const uint8_t*>(pal.data()), pal.size(), back, error)) << error;
    EXPECT_EQ(At(back.Pixels(), 0, 0), MakeColor(0, 0, 255));
    EXPECT_EQ(At(back.Pixels(), 1, 0), MakeColor(255, 0, 0));

    // A 4-bit picture: the high half of a byte is the left pixel.
    std::string nibbles = pal;
    nibbles[28] = 4;
    nibbles[18] = 3;
    nibbles.resize(nibbles.size() - 4);
    nibbles += std::string("\x01\x00\x00\x00", 4);
    ASSERT_TRUE(ReadBmp(reinterpret_cast<const uint8_t*>(nibbles.data()), nibbles.size(), back, error)) << error;
    EXPECT_EQ(At(back.Pixels(), 0, 0), MakeColor(255, 0, 0));
    EXPECT_EQ(At(back.Pixels(), 1, 0), MakeColor(0, 0, 255));
    EXPECT_EQ(At(back.Pixels(), 2, 0), MakeColor(255, 0, 0));
    // 8-bit run-length coding: a run, an odd literal run padded to two bytes,
    // another run, the end.
    std::string rle = pal;
    rle[18] = 7;
    rle[22] = 1, rle[23] = rle[24] = rle[25] = 0;  // one row, bottom-up as such pictures are
    rle[30] = 1;
    rle.resize(rle.size() - 4);
    rle += std::string("\x02\x01" "\x00\x03\x00\x01\x00\x00" "\x02\x01" "\x00\x01", 12);
    ASSERT_TRUE(ReadBmp(reinterpret_cast<const uint8_t*>(rle.data()), rle.size(), back, error)) << error;
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(At(back.Pixels(), x, 0), x == 2 || x == 4 ? MakeColor(255, 0, 0) : MakeColor(0, 0, 255)) << x;

    // Cut short, impossible sizes, no magic: refused with a reason.
    for (std::string bad : {file.substr(0, file.size() - 4), std::string("BM"), std::string("XY") + file.substr(2)}) {
        EXPECT_FALSE(ReadBmp(reinterpret_cast<const uint8_t*>(bad.data()), bad.size(), back, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(back.Width(), 0);
    }
    std::string huge = file;
    huge[21] = 0x7F;  // width about 2 billion
    EXPECT_FALSE(ReadBmp(reinterpret_cast<const uint8_t*>(huge.data()), huge.size(), back, error));
    // Sides of 0 and past 32768 are refused; 32768 itself is read.
    auto rows = [](int64_t width, int64_t height) { return std::string(static_cast<size_t>(DibRowBytes(static_cast<int>(width), 3) * height), '\x40'); };
    for (const auto& [w, h, good] : {std::tuple{0, 2, false}, std::tuple{2, 0, false}, std::tuple{32769, 1, false},
                                     std::tuple{1, 32769, false}, std::tuple{32768, 1, true}, std::tuple{1, 32768, true}}) {
        const std::string sized = BmpFile(40, w, h, 24, 0, "", rows(std::max(w, 1), std::max(h, 1)));
        EXPECT_EQ(Read(sized, back, error), good) << w << " x " << h;
        if (good) {
            EXPECT_EQ(At(back.Pixels(), w - 1, h - 1), MakeColor(0x40, 0x40, 0x40));
        } else {
            EXPECT_FALSE(error.empty()) << w << " x " << h;
        }
    }
}

// Every depth a skin's pictures come in, the old core header, and the
// rarer run-length escapes; what cannot be read is refused with its reason.
TEST(SkinBmp, OtherDepthsHeadersAndRunsAndWhatIsRefused) {
    TPixelBitmap out;
    std::string error;
    const std::string blackWhite("\x00\x00\x00\x00\xFF\xFF\xFF\x00", 8);
    // 1 bit, ten pixels: 1 0 1 1 0 0 0 0 | 0 1, bottom row first.
    ASSERT_TRUE(Read(BmpFile(40, 10, 2, 1, 0, blackWhite, std::string("\xB0\x40\x00\x00\x00\x00\x00\x00", 8)), out,
                     error)) << error;
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(At(out.Pixels(), x, 1), x == 0 || x == 2 || x == 3 || x == 9 ? clWhite : clBlack) << x;
    EXPECT_TRUE(AllOf(out.Pixels(), 0, 0, 10, 1, clBlack));
    // The old core header: 16-bit sizes, three-byte palette entries.
    ASSERT_TRUE(Read(BmpFile(12, 2, 1, 8, 0, std::string("\x10\x20\x30\x40\x50\x60", 6),
                             std::string("\x01\x00\x00\x00", 4)),
                     out, error)) << error;
    EXPECT_EQ(At(out.Pixels(), 0, 0), MakeColor(0x60, 0x50, 0x40));
    EXPECT_EQ(At(out.Pixels(), 1, 0), MakeColor(0x30, 0x20, 0x10));
    // ... whose height is a signed 16-bit number: -2 is two rows, top-down.
    ASSERT_TRUE(Read(BmpFile(12, 1, -2, 8, 0, std::string("\x10\x20\x30\x40\x50\x60", 6),
                             std::string("\x01\x00\x00\x00\x00\x00\x00\x00", 8)),
                     out, error)) << error;
    EXPECT_EQ(At(out.Pixels(), 0, 0), MakeColor(0x60, 0x50, 0x40));
    EXPECT_EQ(At(out.Pixels(), 0, 1), MakeColor(0x30, 0x20, 0x10));
    // 32 bits: the fourth byte ignored; with bit fields the masks decide.
    ASSERT_TRUE(Read(BmpFile(40, 1, 1, 32, 0, "", std::string("\x01\x02\x03\xFF", 4)), out, error)) << error;
    EXPECT_EQ(At(out.Pixels(), 0, 0), MakeColor(3, 2, 1));
    ASSERT_TRUE(Read(BmpFile(40, 1, 1, 32, 3, std::string("\xFF\x00\x00\x00\x00\xFF\x00\x00\x00\x00\xFF\x00", 12),
                             std::string("\x01\x02\x03\x00", 4)),
                     out, error)) << error;
    EXPECT_EQ(At(out.Pixels(), 0, 0), MakeColor(1, 2, 3));
    // 8-bit runs: end of line, a jump right and up, the end of the picture.
    const std::string palette("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);  // red, blue
    ASSERT_TRUE(Read(BmpFile(40, 4, 3, 8, 1, palette, std::string("\x02\x01\x00\x00\x00\x02\x02\x01\x01\x01\x00\x01", 12)),
                     out, error)) << error;
    EXPECT_EQ(At(out.Pixels(), 0, 2), MakeColor(0, 0, 255));  // row 0 of the file is the bottom row
    EXPECT_EQ(At(out.Pixels(), 2, 2), clBlack);                // not reached
    EXPECT_EQ(At(out.Pixels(), 2, 0), MakeColor(0, 0, 255));  // after the jump: x 2, row 2
    EXPECT_EQ(At(out.Pixels(), 3, 0), clBlack);
    // 4-bit runs: a run alternates the byte's high and low halves, left first;
    // a literal run takes two pixels a byte.
    const std::string four("\x00\x00\x00\x00\x00\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00\x00\x00", 16);
    ASSERT_TRUE(Read(BmpFile(40, 6, 1, 4, 2, four, std::string("\x03\x12\x00\x03\x12\x30\x00\x01", 8)), out, error))
        << error;
    const TColor colours[] = {clBlack, MakeColor(255, 0, 0), MakeColor(0, 255, 0), MakeColor(0, 0, 255)};
    const int indexes[] = {1, 2, 1, 1, 2, 3};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(At(out.Pixels(), x, 0), colours[indexes[x]]) << x;
    for (const auto& [file, why] :
         {std::pair{BmpFile(40, 1, 1, 2, 0, palette, std::string(4, '\0')), "unsupported colour depth"},
          std::pair{BmpFile(40, 1, 1, 24, 4, "", std::string(4, '\0')), "compressed in an unsupported way"},
          std::pair{BmpFile(40, 1, 1, 24, 1, "", std::string(4, '\0')), "compressed in an unsupported way"},
          std::pair{BmpFile(20, 1, 1, 24, 0, "", std::string(4, '\0')), "header is damaged"},
          std::pair{BmpFile(40, 2, 2, 24, 0, "", std::string(8, '\0')), "shorter than its size says"}}) {
        EXPECT_FALSE(Read(file, out, error)) << why;
        EXPECT_NE(error.find(why), std::string::npos) << error;
        EXPECT_EQ(out.Width(), 0);
    }
}

// 16-bit pictures (some skin editors save them): 5-5-5 by default, any
// masks with bit fields; each channel widened to 8 bits with rounding, so
// that full stays full and the middle stays the middle.
TEST(SkinBmp, SixteenBitChannelsWidenRounded) {
    auto picture = [](uint32_t compression, std::vector<uint32_t> masks, std::vector<uint16_t> pixels) {
        std::string f(54 + 4 * masks.size(), '\0');
        auto put = [&f](size_t at, uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i) f[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        };
        f[0] = 'B', f[1] = 'M';
        put(10, static_cast<uint32_t>(f.size()), 4);
        put(14, 40, 4);
        put(18, static_cast<uint32_t>(pixels.size()), 4);
        put(22, 0xFFFFFFFF, 4);  // one row, top-down
        put(26, 1, 2);
        put(28, 16, 2);
        put(30, compression, 4);
        for (size_t i = 0; i < masks.size(); ++i) put(54 + 4 * i, masks[i], 4);
        for (uint16_t px : pixels) f += std::string{static_cast<char>(px & 0xFF), static_cast<char>(px >> 8)};
        while ((f.size() - (54 + 4 * masks.size())) % 4) f += '\0';
        TPixelBitmap out;
        std::string error;
        EXPECT_TRUE(ReadBmp(reinterpret_cast<const uint8_t*>(f.data()), f.size(), out, error)) << error;
        return out;
    };
    // 5-5-5: red, green, blue at full, white, and 16 of 31 in each channel.
    TPixelBitmap rgb = picture(0, {}, {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x4210});
    ASSERT_EQ(rgb.Width(), 5);
    EXPECT_EQ(At(rgb.Pixels(), 0, 0), MakeColor(255, 0, 0));
    EXPECT_EQ(At(rgb.Pixels(), 1, 0), MakeColor(0, 255, 0));
    EXPECT_EQ(At(rgb.Pixels(), 2, 0), MakeColor(0, 0, 255));
    EXPECT_EQ(At(rgb.Pixels(), 3, 0), clWhite);
    EXPECT_EQ(At(rgb.Pixels(), 4, 0), MakeColor(132, 132, 132));  // 16 x 255 / 31 = 131.6
    // 5-6-5 through bit fields: six bits of green.
    TPixelBitmap wide = picture(3, {0xF800, 0x07E0, 0x001F}, {0x07E0, 0x0400, 0xF81F});
    EXPECT_EQ(At(wide.Pixels(), 0, 0), MakeColor(0, 255, 0));
    EXPECT_EQ(At(wide.Pixels(), 1, 0), MakeColor(0, 130, 0));  // 32 x 255 / 63 = 129.5
    EXPECT_EQ(At(wide.Pixels(), 2, 0), clFuchsia);  // the key colour survives the widening
}
