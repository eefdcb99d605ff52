// Nine-part painting of skin masks, glyphs, the transparent corners of
// borders, texture placement, a sample element to look at, and the
// recorded pictures of every painting routine.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "skin/core/blend.h"
#include "skin/core/glyphlayout.h"
#include "skin/core/gradient.h"
#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/sectionpaint.h"
#include "skin/core/texture.h"
#include "support/golden.h"
#include "support/skin_support.h"

using namespace skin;
using skintest::AllOf;
using skintest::At;
using skintest::Fill;
using skintest::Put;
using skintest::Solid;

namespace {

// Pieces of a frame, numbered as they lie: 1 2 3 / 4 5 6 / 7 8 9.
// Each pixel says its piece (red), the state (green) and its place in the
// piece (blue = 10 x column + row), so any painted pixel tells where it came from.
TColor PieceColor(int piece, int state, int col, int row) { return MakeColor(piece * 20, state * 50, col * 10 + row); }
int PieceOf(TColor c) { return RedOf(c) / 20; }
int ColOf(TColor c) { return BlueOf(c) / 10; }
int RowOf(TColor c) { return BlueOf(c) % 10; }

// Draws `states` frames of a frame cut into pieces by the corner sizes,
// from (0, 0) of the content's master bitmap.
void DrawFrames(const TsSkinContent& content, int states, int fw, int fh, int wl, int wt, int wr, int wb) {
    const TPixels& px = content.MasterPixels();
    for (int s = 0; s < states; ++s)
        for (int y = 0; y < fh; ++y)
            for (int x = 0; x < fw; ++x) {
                int col = x < wl ? 0 : (x < fw - wr ? 1 : 2);
                int row = y < wt ? 0 : (y < fh - wb ? 1 : 2);
                int lx = col == 0 ? x : (col == 1 ? x - wl : x - (fw - wr));
                int ly = row == 0 ? y : (row == 1 ? y - wt : y - (fh - wb));
                Put(px, s * fw + x, y, PieceColor(row * 3 + col + 1, s, lx, ly));
            }
}

}  // namespace

TEST(SkinRect, TiledPiecesFillTheRectangleWithoutOverlap) {
    auto content = skintest::ContentWithMaster(27, 9);
    DrawFrames(*content, 3, 9, 9, 3, 3, 3, 3);
    const TsMaskData mask = skintest::MaskIn(*content, {0, 0, 27, 9}, 3, 0, 3, 3, 3, 3, 4);
    TPixelBitmap bmp = Solid(24, 17, clWhite);
    DrawSkinRect(bmp.Pixels(), {2, 1, 22, 16}, true, TParentCacheInfo{}, mask, 1, false);
    const TPixels& p = bmp.Pixels();
    for (int y = 1; y < 16; ++y)
        for (int x = 2; x < 22; ++x) {
            const TColor c = At(p, x, y);
            const int col = x < 5 ? 0 : (x < 19 ? 1 : 2), row = y < 4 ? 0 : (y < 13 ? 1 : 2);
            ASSERT_EQ(PieceOf(c), row * 3 + col + 1) << x << "," << y;
            ASSERT_EQ(GreenOf(c), 50);
            // Sides and centre repeat their 3 x 3 tile from the near edge, the last one cut.
            if (col == 1) {
                ASSERT_EQ(ColOf(c), (x - 5) % 3);
            }
            if (row == 1) {
                ASSERT_EQ(RowOf(c), (y - 4) % 3);
            }
        }
    EXPECT_TRUE(AllOf(p, 0, 0, 24, 1, clWhite));
    EXPECT_TRUE(AllOf(p, 22, 0, 24, 17, clWhite));
    EXPECT_EQ(ColOf(At(p, 21, 1)), 2);  // the right corner keeps its own columns

    // Without the centre flag (or without FillCentre) the middle stays as it was.
    TPixelBitmap open = Solid(12, 12, clWhite);
    const TsMaskData noCentre = skintest::MaskIn(*content, {0, 0, 27, 9}, 3, 0, 3, 3, 3, 3, 0);
    DrawSkinRect(open.Pixels(), {0, 0, 12, 12}, true, TParentCacheInfo{}, noCentre, 0, false);
    EXPECT_TRUE(AllOf(open.Pixels(), 3, 3, 9, 9, clWhite));
    EXPECT_EQ(PieceOf(At(open.Pixels(), 5, 0)), 2);
}

TEST(SkinRect, StretchOnlyWithoutAMaskRow) {
    auto content = skintest::ContentWithMaster(27, 18);
    DrawFrames(*content, 3, 9, 9, 3, 3, 3, 3);
    Fill(content->MasterPixels(), 0, 9, 27, 18, clBlack);  // a mask row that keeps nothing of the target
    TPixelBitmap bmp = Solid(20, 12, clWhite);
    const TsMaskData stretched = skintest::MaskIn(*content, {0, 0, 27, 9}, 3, 0, 3, 3, 3, 3, 1 | 4);
    DrawSkinRect(bmp.Pixels(), {0, 0, 20, 12}, true, TParentCacheInfo{}, stretched, 0, false);
    for (int x = 3; x < 17; ++x) EXPECT_EQ(PieceOf(At(bmp.Pixels(), x, 1)), 2);
    EXPECT_EQ(ColOf(At(bmp.Pixels(), 3, 1)), 0);
    EXPECT_EQ(ColOf(At(bmp.Pixels(), 16, 1)), 2);  // one tile spread over 14 columns
    EXPECT_EQ(PieceOf(At(bmp.Pixels(), 10, 6)), 5);

    // With a mask row the same draw mode tiles.
    const TsMaskData masked = skintest::MaskIn(*content, {0, 0, 27, 18}, 3, 1, 3, 3, 3, 3, 1 | 4);
    DrawSkinRect(bmp.Pixels(), {0, 0, 20, 12}, true, TParentCacheInfo{}, masked, 0, false);
    for (int x = 3; x < 17; ++x) EXPECT_EQ(ColOf(At(bmp.Pixels(), x, 1)), (x - 3) % 3);

    // Stretched sides leave the centre alone unless both the mask and the caller ask for it.
    TPixelBitmap open = Solid(20, 12, clWhite);
    DrawSkinRect(open.Pixels(), {0, 0, 20, 12}, true, TParentCacheInfo{},
                 skintest::MaskIn(*content, {0, 0, 27, 9}, 3, 0, 3, 3, 3, 3, 1), 0, false);
    EXPECT_EQ(PieceOf(At(open.Pixels(), 10, 1)), 2);
    EXPECT_EQ(At(open.Pixels(), 10, 6), clWhite);
    DrawSkinRect(open.Pixels(), {0, 0, 20, 12}, false, TParentCacheInfo{}, stretched, 0, false);
    EXPECT_EQ(At(open.Pixels(), 10, 6), clWhite);
}

TEST(SkinRect, CornersShrinkToFitAndOddPixelsGoRight) {
    // Width 9 under 6 + 6: overflow 3, WL 5 and WR 4. Width 8 under 6 + 5:
    // overflow 3 again; the corners meet and never overlap. Height 5 under
    // 3 + 3: WT 3 and WB 2.
    struct Case {
        int frameWidth, wl, wr, width, split;
    };
    for (Case c : {Case{13, 6, 6, 9, 5}, Case{11, 6, 5, 8, 5}}) {
        auto content = skintest::ContentWithMaster(c.frameWidth, 9);
        DrawFrames(*content, 1, c.frameWidth, 9, c.wl, 3, c.wr, 3);
        const TsMaskData mask = skintest::MaskIn(*content, {0, 0, c.frameWidth, 9}, 1, 0, c.wl, 3, c.wr, 3, 4);
        TPixelBitmap bmp = Solid(c.width, 5, clWhite);
        DrawSkinRect(bmp.Pixels(), {0, 0, c.width, 5}, true, TParentCacheInfo{}, mask, 0, false);
        for (int x = 0; x < c.width; ++x) EXPECT_EQ(PieceOf(At(bmp.Pixels(), x, 0)), x < c.split ? 1 : 3) << x;
        for (int y = 0; y < 5; ++y) EXPECT_EQ(PieceOf(At(bmp.Pixels(), 0, y)), y < 3 ? 1 : 7) << y;
        EXPECT_EQ(ColOf(At(bmp.Pixels(), c.split, 0)), 2);  // the right corner keeps its outer columns
        EXPECT_EQ(RowOf(At(bmp.Pixels(), 0, 3)), 1);
    }
    // One corner wider than the whole target: it takes all of it, the other
    // none, and nothing is drawn beyond the target.
    auto wide = skintest::ContentWithMaster(13, 9);
    DrawFrames(*wide, 1, 13, 9, 10, 3, 0, 3);
    TPixelBitmap narrow = Solid(8, 5, clWhite);
    DrawSkinRect(narrow.Pixels(), {0, 0, 4, 5}, true, TParentCacheInfo{},
                 skintest::MaskIn(*wide, {0, 0, 13, 9}, 1, 0, 10, 3, 0, 3, 4), 0, false);
    EXPECT_EQ(PieceOf(At(narrow.Pixels(), 3, 0)), 1);
    EXPECT_TRUE(AllOf(narrow.Pixels(), 4, 0, 8, 5, clWhite));
    // Stretched sides between shrunk corners take only the columns the
    // corners kept: a left side five wide is its first five columns,
    // unstretched across, each source row twice down.
    auto sides = skintest::ContentWithMaster(13, 9);
    DrawFrames(*sides, 1, 13, 9, 6, 3, 6, 3);
    TPixelBitmap squeezed = Solid(9, 12, clWhite);
    DrawSkinRect(squeezed.Pixels(), {0, 0, 9, 12}, true, TParentCacheInfo{},
                 skintest::MaskIn(*sides, {0, 0, 13, 9}, 1, 0, 6, 3, 6, 3, 1 | 4), 0, false);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(At(squeezed.Pixels(), x, 5), PieceColor(4, 0, x, 1)) << x;
}

TEST(SkinRect, EmptyPiecesStatesAndTinyTargets) {
    auto content = skintest::ContentWithMaster(27, 9);
    DrawFrames(*content, 3, 9, 9, 3, 3, 3, 3);
    TPixelBitmap bmp = Solid(30, 30, clWhite);
    // Corners as wide as the frame: no side or centre tile, and no endless loop.
    const TsMaskData noTile = skintest::MaskIn(*content, {0, 0, 27, 9}, 3, 0, 5, 5, 4, 4, 4);
    DrawSkinRect(bmp.Pixels(), {0, 0, 30, 30}, true, TParentCacheInfo{}, noTile, 0, false);
    EXPECT_TRUE(AllOf(bmp.Pixels(), 5, 0, 26, 30, clWhite));
    EXPECT_TRUE(AllOf(bmp.Pixels(), 0, 5, 30, 26, clWhite));
    EXPECT_NE(At(bmp.Pixels(), 0, 0), clWhite);

    const TsMaskData mask = skintest::MaskIn(*content, {0, 0, 27, 9}, 3, 0, 3, 3, 3, 3, 4);
    TPixelBitmap s = Solid(10, 10, clWhite);
    DrawSkinRect(s.Pixels(), {0, 0, 10, 10}, true, TParentCacheInfo{}, mask, 5, false);
    EXPECT_EQ(GreenOf(At(s.Pixels(), 5, 5)), 100);  // state 5 of three paints the last frame
    TPixelBitmap g = Solid(9, 9, clWhite);
    DrawSkinGlyph(g.Pixels(), {0, 0}, 5, skintest::MaskIn(*content, {0, 0, 18, 9}, 2, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(GreenOf(At(g.Pixels(), 4, 4)), 50);  // a glyph of two frames: state 5 is the second

    TsMaskData none = skintest::MaskIn(*content, {0, 0, 27, 9}, 0, 0, 3, 3, 3, 3, 4);
    TsMaskData skipNormal = skintest::MaskIn(*content, {0, 0, 27, 9}, 3, 0, 3, 3, 3, 3, 4 | 2);
    TsMaskData orphan = skintest::MaskIn(*content, {0, 0, 27, 9}, 3, 0, 3, 3, 3, 3, 4);
    orphan.Manager = nullptr;
    TPixelBitmap untouched = Solid(10, 10, clWhite);
    DrawSkinRect(untouched.Pixels(), {0, 0, 10, 10}, true, TParentCacheInfo{}, none, 0, false);
    DrawSkinRect(untouched.Pixels(), {0, 0, 10, 10}, true, TParentCacheInfo{}, skipNormal, 0, false);
    DrawSkinRect(untouched.Pixels(), {0, 0, 10, 10}, true, TParentCacheInfo{}, orphan, 1, false);
    DrawSkinRect(untouched.Pixels(), {0, 0, 1, 10}, true, TParentCacheInfo{}, mask, 1, false);
    DrawSkinGlyph(untouched.Pixels(), {0, 0}, 0, none, 1);
    EXPECT_TRUE(AllOf(untouched.Pixels(), 0, 0, 10, 10, clWhite));
}

TEST(SkinRect, MaskRowAndParentCacheGiveTheTransparentPixels) {
    // One 4 x 4 frame: picture red with a key pixel at the top-left; its mask
    // row black (take the picture) but grey at (1, 1) and white at (2, 2).
    auto content = skintest::ContentWithMaster(4, 8, clBlack);
    const TPixels& m = content->MasterPixels();
    Fill(m, 0, 0, 4, 4, MakeColor(200, 0, 0));
    Put(m, 0, 0, clFuchsia);
    Put(m, 1, 5, MakeColor(128, 128, 128));
    Put(m, 2, 6, clWhite);
    const TsMaskData mask = skintest::MaskIn(*content, {0, 0, 4, 8}, 1, 1, 2, 2, 2, 2, 4);
    TPixelBitmap parent = Solid(20, 20, MakeColor(0, 0, 90));
    TPixelBitmap bmp = Solid(4, 4, MakeColor(0, 100, 0));
    DrawSkinRect(bmp.Pixels(), {0, 0, 4, 4}, true, MakeParentCacheInfo(parent.Pixels(), 3, 3), mask, 0, false);
    EXPECT_EQ(At(bmp.Pixels(), 0, 0), MakeColor(0, 0, 90));  // the hole shows the parent
    EXPECT_EQ(At(bmp.Pixels(), 3, 3), MakeColor(200, 0, 0));
    EXPECT_EQ(At(bmp.Pixels(), 1, 1), MakeColor((200 * 128) >> 8, (100 * 128) >> 8, 0));
    EXPECT_EQ(At(bmp.Pixels(), 2, 2), MakeColor(200 >> 8, (100 * 255) >> 8, 0));

    // A piece as tall as picture and mask row together takes the picture's
    // rows only: the mask row is never painted, nor read past its end.
    TPixelBitmap tall = Solid(4, 8, MakeColor(0, 100, 0));
    DrawMaskRect({0, 0, 4, 8}, {0, 0, 4, 8}, tall.Pixels(), mask, TParentCacheInfo{});
    EXPECT_EQ(At(tall.Pixels(), 3, 3), MakeColor(200, 0, 0));
    EXPECT_TRUE(AllOf(tall.Pixels(), 0, 4, 4, 8, MakeColor(0, 100, 0)));
    // A source rectangle starting left of the picture keeps each pixel at its place.
    auto row = skintest::ContentWithMaster(2, 2, clBlack);
    Put(row->MasterPixels(), 0, 0, MakeColor(200, 0, 0));
    Put(row->MasterPixels(), 1, 0, MakeColor(0, 200, 0));
    TPixelBitmap placed = Solid(3, 1, clWhite);
    CopyThroughMask(placed.Pixels(), 0, 0, row->MasterPixels(), {-1, 0, 2, 1}, 1, 1);
    EXPECT_EQ(At(placed.Pixels(), 0, 0), clWhite);
    EXPECT_EQ(At(placed.Pixels(), 1, 0), MakeColor(200, 0, 0));
    EXPECT_EQ(At(placed.Pixels(), 2, 0), MakeColor(0, 200, 0));
    // A smaller target takes as much of the piece as fits, no more.
    TPixelBitmap little = Solid(4, 4, MakeColor(0, 100, 0));
    DrawMaskRect({0, 0, 4, 4}, {1, 1, 3, 3}, little.Pixels(), mask, TParentCacheInfo{});
    EXPECT_EQ(At(little.Pixels(), 2, 1), MakeColor(200, 0, 0));
    EXPECT_EQ(At(little.Pixels(), 3, 1), MakeColor(0, 100, 0));
    EXPECT_EQ(At(little.Pixels(), 1, 3), MakeColor(0, 100, 0));

    // A ghost of a key-coloured picture: half the picture, key pixels left alone.
    auto plain = skintest::ContentWithMaster(2, 1, MakeColor(200, 0, 0));
    Put(plain->MasterPixels(), 1, 0, clFuchsia);
    const TsMaskData glyph = skintest::MaskIn(*plain, {0, 0, 2, 1}, 1, 0, 0, 0, 0, 0);
    TPixelBitmap g = Solid(2, 1, MakeColor(0, 0, 100));
    DrawSkinGlyph(g.Pixels(), {0, 0}, 0, glyph, 0);
    EXPECT_EQ(At(g.Pixels(), 0, 0), MakeColor(100, 0, 50));
    EXPECT_EQ(At(g.Pixels(), 1, 0), MakeColor(0, 0, 100));

    // The ghost of a masked glyph (a title button of an inactive window):
    // every mask value gains 100, so the picture fades toward what lies
    // behind, and a mask of 155 or more keeps what lies behind all but
    // exactly; the key colour is still a hole.
    auto button = skintest::ContentWithMaster(3, 2, clBlack);
    Put(button->MasterPixels(), 1, 0, MakeColor(200, 100, 50));
    Put(button->MasterPixels(), 2, 0, clFuchsia);
    Put(button->MasterPixels(), 1, 1, MakeColor(200, 200, 200));
    const TsMaskData masked = skintest::MaskIn(*button, {0, 0, 3, 2}, 1, 1, 0, 0, 0, 0);
    TPixelBitmap active = Solid(3, 1, clWhite), inactive = Solid(3, 1, clWhite);
    DrawSkinGlyph(active.Pixels(), {0, 0}, 0, masked, 1);
    DrawSkinGlyph(inactive.Pixels(), {0, 0}, 0, masked, 2);
    EXPECT_EQ(At(active.Pixels(), 0, 0), clBlack);
    EXPECT_EQ(At(inactive.Pixels(), 0, 0), MakeColor(99, 99, 99));  // 255 x 100 / 256
    EXPECT_EQ(At(active.Pixels(), 1, 0), MakeColor(242, 221, 210));
    EXPECT_EQ(At(inactive.Pixels(), 1, 0), MakeColor(254, 254, 254));
    EXPECT_EQ(At(inactive.Pixels(), 2, 0), clWhite);
}

TEST(SkinRect, BorderCornersTakeTheParentOrItsColour) {
    // A 3-state border of 6 x 6 frames over a mask row, with a key pixel in each outer corner.
    TsMaskData mask;
    mask.Image = std::make_unique<TPixelBitmap>(Solid(18, 12, MakeColor(50, 50, 50)));
    for (int s = 0; s < 3; ++s)
        for (TPoint p : {TPoint{0, 0}, TPoint{5, 0}, TPoint{0, 5}, TPoint{5, 5}})
            Put(mask.Image->Pixels(), s * 6 + p.X, p.Y, clFuchsia);
    mask.ImageCount = 0;  // a bare picture: taken as three states over a mask row
    mask.WL = mask.WT = mask.WR = mask.WB = 2;
    TPixelBitmap parent = Solid(40, 40, MakeColor(1, 2, 3));
    Put(parent.Pixels(), 10 + 9, 5 + 7, MakeColor(9, 9, 9));

    TPixelBitmap cache = Solid(10, 8, clWhite);
    PaintBorderCorners(cache.Pixels(), mask, 0, 10, 8, clFuchsia, MakeParentCacheInfo(parent.Pixels(), 10, 5));
    EXPECT_EQ(At(cache.Pixels(), 0, 0), MakeColor(1, 2, 3));
    EXPECT_EQ(At(cache.Pixels(), 9, 7), MakeColor(9, 9, 9));
    EXPECT_EQ(At(cache.Pixels(), 1, 1), clWhite);  // not a hole

    TPixelBitmap plain = Solid(10, 8, clWhite);
    PaintBorderCorners(plain.Pixels(), mask, 2, 10, 8, MakeColor(7, 7, 7), TParentCacheInfo{});
    EXPECT_EQ(At(plain.Pixels(), 9, 0), MakeColor(7, 7, 7));
    EXPECT_EQ(At(plain.Pixels(), 0, 7), MakeColor(7, 7, 7));

    // Each state has its own corners: a hole only the hot frame has.
    Put(mask.Image->Pixels(), 6 + 1, 0, clFuchsia);
    TPixelBitmap normal = Solid(10, 8, clWhite), hotState = Solid(10, 8, clWhite);
    PaintBorderCorners(normal.Pixels(), mask, 0, 10, 8, MakeColor(7, 7, 7), TParentCacheInfo{});
    PaintBorderCorners(hotState.Pixels(), mask, 1, 10, 8, MakeColor(7, 7, 7), TParentCacheInfo{});
    EXPECT_EQ(At(normal.Pixels(), 1, 0), clWhite);
    EXPECT_EQ(At(hotState.Pixels(), 1, 0), MakeColor(7, 7, 7));

    // Without a parent picture and without a colour nothing changes; a
    // parent picture too small to read is never read.
    TPixelBitmap kept = Solid(10, 8, clWhite);
    TPixelBitmap tiny = Solid(1, 1, clBlack);
    PaintBorderCorners(kept.Pixels(), mask, 0, 10, 8, clFuchsia, TParentCacheInfo{});
    PaintBorderCorners(kept.Pixels(), mask, 0, 10, 8, clFuchsia, MakeParentCacheInfo(tiny.Pixels(), 0, 0));
    PaintBorderCorners(kept.Pixels(), mask, 0, 10, 8, clFuchsia, MakeParentCacheInfo(TPixels{}, 0, 0));
    EXPECT_TRUE(AllOf(kept.Pixels(), 0, 0, 10, 8, clWhite));

    std::vector<TRect> holes;
    mask.ImageCount = 3;
    mask.MaskType = 1;
    mask.SourceRect = {0, 0, 18, 12};
    GetMaskRegionRects(holes, 100, mask, false, 0);
    GetMaskRegionRects(holes, 100, mask, true, 50);
    EXPECT_EQ(holes, (std::vector<TRect>{{0, 0, 1, 1}, {99, 0, 100, 1}, {0, 51, 1, 52}, {99, 51, 100, 52}}));

    // Corners of different sizes: each hole stays in its own corner, the
    // bottom ones at the control's bottom, the right ones at its right edge.
    mask.WL = 1, mask.WT = 1, mask.WR = 3, mask.WB = 3;
    holes.clear();
    GetMaskRegionRects(holes, 100, mask, false, 0);
    GetMaskRegionRects(holes, 100, mask, true, 50);
    EXPECT_EQ(holes, (std::vector<TRect>{{0, 0, 1, 1}, {99, 0, 100, 1}, {0, 52, 1, 53}, {99, 52, 100, 53}}));
    TPixelBitmap uneven = Solid(10, 8, clWhite);
    PaintBorderCorners(uneven.Pixels(), mask, 0, 10, 8, MakeColor(7, 7, 7), TParentCacheInfo{});
    for (TPoint p : {TPoint{0, 0}, TPoint{9, 0}, TPoint{0, 7}, TPoint{9, 7}})
        EXPECT_EQ(At(uneven.Pixels(), p.X, p.Y), MakeColor(7, 7, 7)) << p.X << "," << p.Y;
    EXPECT_EQ(At(uneven.Pixels(), 0, 5), clWhite);
}

// A disabled control: grey, or faded into what lies behind it (the
// parent's picture at the control's place, else the parent's colour).
TEST(SkinRect, TheDisabledLookGreysAndFadesTowardTheParent) {
    const TColor own = MakeColor(200, 100, 0);
    TPixelBitmap grey = Solid(2, 2, own);
    PaintDisabledLook(grey.Pixels(), 2, TParentCacheInfo{}, clFuchsia);
    EXPECT_TRUE(AllOf(grey.Pixels(), 0, 0, 2, 2, MakeColor(100, 100, 100)));

    TPixelBitmap parent = Solid(10, 10, MakeColor(0, 0, 250));
    Put(parent.Pixels(), 4, 3, clBlack);
    TPixelBitmap faded = Solid(2, 2, own);
    PaintDisabledLook(faded.Pixels(), 1, MakeParentCacheInfo(parent.Pixels(), 3, 2), clWhite);
    EXPECT_EQ(At(faded.Pixels(), 0, 0), MakeColor(80, 40, 150));  // 40 % own, 60 % parent
    EXPECT_EQ(At(faded.Pixels(), 1, 1), MakeColor(80, 40, 0));     // over the parent's black pixel

    TPixelBitmap plain = Solid(2, 2, own);
    PaintDisabledLook(plain.Pixels(), 1, TParentCacheInfo{}, MakeColor(0, 0, 200));
    EXPECT_EQ(At(plain.Pixels(), 0, 0), MakeColor(100, 50, 100));  // half way to the parent's colour
    TPixelBitmap alone = Solid(2, 2, own);
    PaintDisabledLook(alone.Pixels(), 1, TParentCacheInfo{}, clFuchsia);
    EXPECT_TRUE(AllOf(alone.Pixels(), 0, 0, 2, 2, own));
}

TEST(SkinRect, OnlyKeyPixelsOutsideTheFrameLinesAreHolesOfTheRegion) {
    // A 12 x 12 frame: a line two pixels wide round the edge with its corner
    // pixels cut, the inside clear (key colour) right into the 5 x 5 corner
    // areas; a notch in the top line's outer edge away from the corner is
    // outside too.
    auto content = skintest::ContentWithMaster(12, 24, clWhite);
    const TPixels& m = content->MasterPixels();
    Fill(m, 0, 0, 12, 12, MakeColor(40, 40, 40));
    Fill(m, 2, 2, 10, 10, clFuchsia);
    for (TPoint p : {TPoint{0, 0}, TPoint{11, 0}, TPoint{0, 11}, TPoint{11, 11}, TPoint{3, 0}}) Put(m, p.X, p.Y, clFuchsia);
    const TsMaskData mask = skintest::MaskIn(*content, {0, 0, 12, 24}, 1, 1, 5, 5, 5, 5);
    std::vector<TRect> holes;
    GetMaskRegionRects(holes, 100, mask, false, 0);
    GetMaskRegionRects(holes, 100, mask, true, 40);
    EXPECT_EQ(holes, (std::vector<TRect>{{0, 0, 1, 1}, {3, 0, 4, 1}, {99, 0, 100, 1}, {0, 44, 1, 45}, {99, 44, 100, 45}}));

    // A line three pixels wide with notches two deep: one from the top edge
    // down, one from the bottom edge up (reached only from that edge); the
    // top corners four rows high, the bottom ones five.
    Fill(m, 0, 0, 12, 12, MakeColor(40, 40, 40));
    Fill(m, 3, 3, 9, 9, clFuchsia);
    for (TPoint p : {TPoint{3, 0}, TPoint{3, 1}, TPoint{8, 11}, TPoint{8, 10}}) Put(m, p.X, p.Y, clFuchsia);
    const TsMaskData notched = skintest::MaskIn(*content, {0, 0, 12, 24}, 1, 1, 5, 4, 5, 5);
    holes.clear();
    GetMaskRegionRects(holes, 100, notched, false, 0);
    GetMaskRegionRects(holes, 100, notched, true, 40);
    EXPECT_EQ(holes, (std::vector<TRect>{{3, 0, 4, 1}, {3, 1, 4, 2}, {96, 43, 97, 44}, {96, 44, 97, 45}}));
}

TEST(SkinTexture, PlacementsHandBackWhatTheyLeave) {
    auto content = skintest::ContentWithMaster(4, 4, MakeColor(0, 0, 200));
    Put(content->MasterPixels(), 0, 0, MakeColor(200, 0, 0));
    TsMaskData tex = skintest::MaskIn(*content, {0, 0, 4, 4}, 1, 0, 0, 0, 0, 0);
    tex.ImgType = itisaTexture;
    TPixelBitmap bmp = Solid(10, 12, clWhite);
    TRect r{0, 0, 10, 12};
    PlaceTexture(bmp.Pixels(), r, 2, tex);  // one row along the top, three tiles high rectangle
    EXPECT_EQ(r, (TRect{0, 4, 10, 12}));
    EXPECT_EQ(At(bmp.Pixels(), 8, 0), MakeColor(200, 0, 0));
    EXPECT_TRUE(AllOf(bmp.Pixels(), 0, 4, 10, 12, clWhite));
    r = {0, 0, 10, 12};
    PlaceTexture(bmp.Pixels(), r, 7, tex);
    EXPECT_EQ(r, (TRect{0, 0, 6, 12}));
    EXPECT_EQ(At(bmp.Pixels(), 6, 8), MakeColor(200, 0, 0));
    r = {0, 0, 10, 12};
    PlaceTexture(bmp.Pixels(), r, 10, tex);  // the strip below the last whole row is drawn as well
    EXPECT_EQ(r, kNoRect);
    EXPECT_EQ(At(bmp.Pixels(), 0, 8), MakeColor(200, 0, 0));
    // Stretched: over everything (1), across the top at its own height (4),
    // down the left edge at its own width (5); the rest handed back.
    TPixelBitmap stretched = Solid(8, 12, clWhite);
    r = {0, 0, 8, 8};
    PlaceTexture(stretched.Pixels(), r, 1, tex);
    EXPECT_EQ(r, kNoRect);
    EXPECT_EQ(At(stretched.Pixels(), 1, 1), MakeColor(200, 0, 0));  // the red pixel, twice as large
    EXPECT_EQ(At(stretched.Pixels(), 2, 2), MakeColor(0, 0, 200));
    EXPECT_TRUE(AllOf(stretched.Pixels(), 0, 8, 8, 12, clWhite));
    TPixelBitmap band = Solid(8, 12, clWhite);
    r = {0, 0, 8, 12};
    PlaceTexture(band.Pixels(), r, 4, tex);
    EXPECT_EQ(r, (TRect{0, 4, 8, 12}));
    EXPECT_EQ(At(band.Pixels(), 1, 0), MakeColor(200, 0, 0));
    EXPECT_EQ(At(band.Pixels(), 1, 1), MakeColor(0, 0, 200));
    EXPECT_TRUE(AllOf(band.Pixels(), 0, 4, 8, 12, clWhite));
    TPixelBitmap column = Solid(8, 12, clWhite);
    r = {0, 0, 8, 12};
    PlaceTexture(column.Pixels(), r, 5, tex);
    EXPECT_EQ(r, (TRect{4, 0, 8, 12}));
    EXPECT_EQ(At(column.Pixels(), 0, 2), MakeColor(200, 0, 0));
    EXPECT_EQ(At(column.Pixels(), 0, 3), MakeColor(0, 0, 200));
    EXPECT_TRUE(AllOf(column.Pixels(), 4, 0, 8, 12, clWhite));
    // Along the left edge of a rectangle narrower than the texture: no further.
    TPixelBitmap narrow = Solid(10, 12, clWhite);
    r = {0, 0, 3, 12};
    PlaceTexture(narrow.Pixels(), r, 3, tex);
    EXPECT_EQ(r, kNoRect);
    EXPECT_EQ(At(narrow.Pixels(), 0, 4), MakeColor(200, 0, 0));
    EXPECT_TRUE(AllOf(narrow.Pixels(), 3, 0, 10, 12, clWhite));
    r = {0, 0, 10, 12};
    PlaceTexture(bmp.Pixels(), r, 20, tex);
    EXPECT_EQ(r, (TRect{0, 0, 10, 12}));
    // Tiled from a corner off the picture: the tiles keep their places.
    TPixelBitmap off = Solid(10, 4, clWhite);
    r = {-1, 0, 9, 4};
    PlaceTexture(off.Pixels(), r, 0, tex);
    for (int x = 0; x < 9; ++x) EXPECT_EQ(At(off.Pixels(), x, 0), x % 4 == 3 ? MakeColor(200, 0, 0) : MakeColor(0, 0, 200)) << x;
    // A texture of its own picture is tiled over everything, whatever the mode.
    TsMaskData own;
    own.Image = std::make_unique<TPixelBitmap>(Solid(3, 3, MakeColor(0, 90, 0)));
    own.ImgType = itisaTexture;
    TPixelBitmap covered = Solid(10, 12, clWhite);
    r = {1, 1, 9, 11};
    PlaceTexture(covered.Pixels(), r, 2, own);
    EXPECT_EQ(r, kNoRect);
    EXPECT_TRUE(AllOf(covered.Pixels(), 1, 1, 9, 11, MakeColor(0, 90, 0)));
    EXPECT_EQ(At(covered.Pixels(), 0, 0), clWhite);
    // A flat texture (4 x 2): tiled with a strip at the right handed back,
    // one tile wide; a band across the top as high as the texture.
    TsMaskData flatTex = skintest::MaskIn(*content, {0, 0, 4, 2}, 1, 0, 0, 0, 0, 0);
    for (const auto& [mode, left] : {std::pair{8, TRect{6, 0, 10, 12}}, std::pair{13, TRect{6, 0, 10, 12}},
                                     std::pair{4, TRect{0, 2, 10, 12}}}) {
        r = {0, 0, 10, 12};
        PlaceTexture(bmp.Pixels(), r, mode, flatTex);
        EXPECT_EQ(r, left) << mode;
    }
    // Along the bottom: one row of tiles there, the rest handed back; a
    // rectangle lower than the texture gets its top rows, never a row above it.
    TPixelBitmap low = Solid(10, 12, clWhite);
    r = {0, 0, 10, 12};
    PlaceTexture(low.Pixels(), r, 6, tex);
    EXPECT_EQ(r, (TRect{0, 0, 10, 8}));
    EXPECT_EQ(At(low.Pixels(), 4, 8), MakeColor(200, 0, 0));
    EXPECT_TRUE(AllOf(low.Pixels(), 0, 0, 10, 8, clWhite));
    TPixelBitmap flat = Solid(10, 12, clWhite);
    r = {0, 6, 10, 9};
    PlaceTexture(flat.Pixels(), r, 6, tex);
    EXPECT_EQ(r, kNoRect);
    EXPECT_EQ(At(flat.Pixels(), 0, 6), MakeColor(200, 0, 0));
    EXPECT_EQ(At(flat.Pixels(), 1, 8), MakeColor(0, 0, 200));
    EXPECT_TRUE(AllOf(flat.Pixels(), 0, 0, 10, 6, clWhite));
    EXPECT_TRUE(AllOf(flat.Pixels(), 0, 9, 10, 12, clWhite));

    // A masked texture in mode 10, 2.5 tiles wide: the half-tile strip shows the parent.
    auto masked = skintest::ContentWithMaster(4, 8, clBlack);
    Fill(masked->MasterPixels(), 0, 0, 4, 4, MakeColor(0, 200, 0));
    const TsMaskData mt = skintest::MaskIn(*masked, {0, 0, 4, 8}, 1, 1, 0, 0, 0, 0);
    TPixelBitmap parent = Solid(30, 30, MakeColor(5, 6, 7));
    TPixelBitmap out = Solid(10, 4, clWhite);
    r = {0, 0, 10, 4};
    PlaceMaskedTexture(out.Pixels(), r, MakeParentCacheInfo(parent.Pixels(), 2, 2), 10, mt);
    EXPECT_EQ(r, kNoRect);
    EXPECT_TRUE(AllOf(out.Pixels(), 0, 0, 8, 4, MakeColor(0, 200, 0)));
    EXPECT_TRUE(AllOf(out.Pixels(), 8, 0, 10, 4, MakeColor(5, 6, 7)));
    // The strip shows the parent's pixel behind each of its own.
    Put(parent.Pixels(), 8 + 2, 1 + 5, MakeColor(9, 9, 9));
    r = {0, 0, 10, 4};
    PlaceMaskedTexture(out.Pixels(), r, MakeParentCacheInfo(parent.Pixels(), 2, 5), 10, mt);
    EXPECT_EQ(At(out.Pixels(), 8, 1), MakeColor(9, 9, 9));
    EXPECT_EQ(At(out.Pixels(), 8, 0), MakeColor(5, 6, 7));
    // Without a parent picture the strips take the parent's colour, or keep what was there.
    TPixelBitmap coloured = Solid(10, 6, clWhite);
    r = {0, 0, 10, 6};
    PlaceMaskedTexture(coloured.Pixels(), r, TParentCacheInfo{}, 10, mt, MakeColor(1, 1, 1));
    EXPECT_TRUE(AllOf(coloured.Pixels(), 8, 0, 10, 6, MakeColor(1, 1, 1)));
    EXPECT_TRUE(AllOf(coloured.Pixels(), 0, 4, 8, 6, MakeColor(1, 1, 1)));
    TPixelBitmap kept = Solid(10, 6, clWhite);
    r = {0, 0, 10, 6};
    PlaceMaskedTexture(kept.Pixels(), r, TParentCacheInfo{}, 10, mt, clFuchsia);
    EXPECT_TRUE(AllOf(kept.Pixels(), 8, 0, 10, 6, clWhite));
    // Mode 0 tiles the whole rectangle, cutting the last tiles.
    TPixelBitmap tiledMasked = Solid(10, 6, clWhite);
    r = {0, 0, 10, 6};
    PlaceMaskedTexture(tiledMasked.Pixels(), r, TParentCacheInfo{}, 0, mt, clFuchsia);
    EXPECT_EQ(r, kNoRect);
    EXPECT_TRUE(AllOf(tiledMasked.Pixels(), 0, 0, 10, 6, MakeColor(0, 200, 0)));
    // Other modes are no placement of a masked texture.
    r = {0, 0, 10, 6};
    PlaceMaskedTexture(tiledMasked.Pixels(), r, TParentCacheInfo{}, 3, mt, clFuchsia);
    EXPECT_EQ(r, (TRect{0, 0, 10, 6}));
}

// A button border in three states and a gradient title bar, drawn the way
// the skin draws them and saved to be looked at.
TEST(SkinSample, ButtonInThreeStatesAndGradientTitleBar) {
    const int fw = 12, fh = 12;
    auto content = skintest::ContentWithMaster(3 * fw, fh, clFuchsia);
    const TPixels& m = content->MasterPixels();
    const TColor face[3] = {MakeColor(236, 238, 242), MakeColor(214, 232, 252), MakeColor(176, 196, 222)};
    const TColor edge[3] = {MakeColor(120, 128, 140), MakeColor(60, 120, 200), MakeColor(40, 80, 150)};
    for (int s = 0; s < 3; ++s) {
        TsGradArray shade = {{BlendColors(face[s], clWhite, 0.6), face[s], 100, 0}};
        PaintGradient(m, {s * fw + 1, 1, s * fw + fw - 1, fh - 1}, shade);
        DrawFrame3D(m, {s * fw, 0, s * fw + fw, fh}, edge[s], edge[s], 1);
        // Rounded-off corners: the outermost pixels are holes.
        for (TPoint p : {TPoint{0, 0}, TPoint{fw - 1, 0}, TPoint{0, fh - 1}, TPoint{fw - 1, fh - 1}})
            Put(m, s * fw + p.X, p.Y, clFuchsia);
    }
    const TsMaskData button = skintest::MaskIn(*content, {0, 0, 3 * fw, fh}, 3, 0, 4, 4, 4, 4, 1 | 4);

    TPixelBitmap panel = Solid(300, 110, MakeColor(226, 230, 236));
    TPixelBitmap picture = Solid(300, 110, MakeColor(226, 230, 236));
    TsGradArray title;
    ParseGradientData("10040115;14120960;50;0;0;14120960;9122080;50;0;0", title);
    PaintGradient(picture.Pixels(), {0, 0, 300, 26}, title);
    for (int s = 0; s < 3; ++s)
        DrawSkinRect(picture.Pixels(), {10 + s * 95, 50, 10 + s * 95 + 85, 50 + 26}, true,
                     MakeParentCacheInfo(panel.Pixels(), 0, 0), button, s, true);
    const std::string path = skintest::SavePicture(picture.Pixels(), "skin_sample_button.bmp");

    const TPixels& p = picture.Pixels();
    EXPECT_EQ(At(p, 10, 50), MakeColor(226, 230, 236));  // the rounded corner shows the panel
    EXPECT_EQ(At(p, 11, 50), edge[0]);
    for (int s = 0; s < 3; ++s) EXPECT_EQ(At(p, 10 + s * 95 + 40, 50 + 24), face[s]) << path;
    EXPECT_EQ(At(p, 150, 0), 10040115);
    EXPECT_EQ(At(p, 150, 12), 14120960);
    EXPECT_EQ(At(p, 5, 25), 9122080);
}

TEST(SkinGlyphLayout, CentredSpreadMarginsAndRightToLeft) {
    const TRect button{10, 20, 110, 50};  // 100 x 30
    // Margin and spacing -1: a third of the free space each.
    TGlyphLayout l = CalcGlyphLayout(button, {16, 16}, {40, 13}, blGlyphLeft, -1, -1, 2, 0);
    EXPECT_EQ(l.GlyphPos.X, 10 + 14);
    EXPECT_EQ(l.GlyphPos.Y, 20 + 7);
    EXPECT_EQ(l.TextBounds, (TRect{10 + 44, 20 + 9, 10 + 84, 20 + 22}));
    // Right-to-left reading puts the glyph on the other side.
    l = CalcGlyphLayout(button, {16, 16}, {40, 13}, blGlyphLeft, -1, -1, 2, 2);
    EXPECT_EQ(l.GlyphPos.X, 10 + 70);
    EXPECT_EQ(l.TextBounds.Left, 10 + 16);
    // ... and a glyph on the right to the left; right alignment becomes left.
    l = CalcGlyphLayout(button, {16, 16}, {40, 13}, blGlyphRight, 4, 6, 2, 2);
    EXPECT_EQ(l.GlyphPos.X, 10 + 4);
    EXPECT_EQ(l.TextBounds.Left, 10 + 4 + 16 + 6);
    l = CalcGlyphLayout(TRect{0, 0, 60, 60}, {16, 16}, {30, 13}, blGlyphTop, 0, 0, 1, 2);
    EXPECT_EQ(l.GlyphPos.X, 0);
    // A centred block aligned left or right hugs that side, in either order:
    // the free 44 pixels give a spacing of 14 and 30 on the far side.
    for (const TButtonLayout layout : {blGlyphLeft, blGlyphRight})
        for (const int alignment : {0, 1}) {
            l = CalcGlyphLayout(button, {16, 16}, {40, 13}, layout, -1, -1, alignment, 0);
            const int glyphLeft = l.GlyphPos.X - 10, textLeft = l.TextBounds.Left - 10;
            const int blockLeft = std::min(glyphLeft, textLeft);
            EXPECT_EQ(blockLeft, alignment == 0 ? 0 : 30) << layout << " " << alignment;
            EXPECT_EQ(layout == blGlyphLeft ? textLeft - glyphLeft - 16 : glyphLeft - textLeft - 40, 14) << layout;
        }
    // A fixed margin with spacing spread; a glyph above its caption.
    l = CalcGlyphLayout(button, {16, 16}, {40, 13}, blGlyphRight, 4, -1, 2, 0);
    EXPECT_EQ(l.GlyphPos.X, 10 + 80);
    EXPECT_EQ(l.TextBounds.Left, 10 + 80 - 20 - 40);
    l = CalcGlyphLayout(TRect{0, 0, 60, 60}, {16, 16}, {30, 13}, blGlyphTop, 0, 0, 2, 0);
    EXPECT_EQ(l.GlyphPos.X, 22);
    EXPECT_EQ(l.TextBounds, (TRect{15, 16, 45, 29}));
    // Without a caption there is no spacing: the glyph alone is centred.
    l = CalcGlyphLayout(button, {16, 16}, {0, 0}, blGlyphLeft, -1, 5, 2, 0);
    EXPECT_EQ(l.GlyphPos.X, 10 + 42);
    // An odd free size puts the spare pixel on the same side for glyph and
    // caption: items of one size stay on one line, across and down.
    l = CalcGlyphLayout(button, {15, 15}, {40, 15}, blGlyphLeft, -1, -1, 2, 0);
    EXPECT_EQ(l.GlyphPos.Y, 20 + 8);
    EXPECT_EQ(l.TextBounds.Top, 20 + 8);
    l = CalcGlyphLayout(TRect{0, 0, 61, 60}, {16, 16}, {16, 13}, blGlyphBottom, -1, -1, 2, 0);
    EXPECT_EQ(l.GlyphPos.X, 23);
    EXPECT_EQ(l.TextBounds.Left, 23);
    EXPECT_EQ(l.GlyphPos.Y, 60 - 10 - 16);
}

// Every layout, margin and spacing, on even and odd buttons: the glyph and
// the caption lie in their order, the spacing apart, never over each other,
// the margin from the glyph's edge; a centred block leaves its two sides
// free alike, the glyph's side taking the odd pixel.
TEST(SkinGlyphLayout, GlyphAndCaptionKeepTheirOrderSpacingAndMargins) {
    const TPoint glyph{16, 12}, text{30, 13};
    for (const TRect button : {TRect{5, 7, 105, 67}, TRect{5, 7, 106, 68}, TRect{0, 0, 71, 49}}) {
        for (int layout = blGlyphLeft; layout <= blGlyphBottom; ++layout) {
            for (int margin : {-1, 0, 3}) {
                for (int spacing : {-1, 0, 4, 5}) {
                    const TGlyphLayout l = CalcGlyphLayout(button, glyph, text, static_cast<TButtonLayout>(layout),
                                                           margin, spacing, 2, 0);
                    const TRect g{l.GlyphPos.X, l.GlyphPos.Y, l.GlyphPos.X + glyph.X, l.GlyphPos.Y + glyph.Y};
                    const TRect& c = l.TextBounds;
                    const std::string what = "layout " + std::to_string(layout) + ", margin " +
                                             std::to_string(margin) + ", spacing " + std::to_string(spacing) +
                                             ", width " + std::to_string(button.Width());
                    EXPECT_EQ(c.Width(), text.X) << what;
                    EXPECT_EQ(c.Height(), text.Y) << what;
                    // From the glyph's side: the margin before it, the gap after it, the room left beyond.
                    int before = 0, gap = 0, beyond = 0;
                    switch (layout) {
                        case blGlyphLeft: before = g.Left - button.Left, gap = c.Left - g.Right, beyond = button.Right - c.Right; break;
                        case blGlyphRight: before = button.Right - g.Right, gap = g.Left - c.Right, beyond = c.Left - button.Left; break;
                        case blGlyphTop: before = g.Top - button.Top, gap = c.Top - g.Bottom, beyond = button.Bottom - c.Bottom; break;
                        case blGlyphBottom: before = button.Bottom - g.Bottom, gap = g.Top - c.Bottom, beyond = c.Top - button.Top; break;
                    }
                    EXPECT_GE(gap, 0) << what << ": the caption over the glyph";
                    if (spacing >= 0) {
                        EXPECT_EQ(gap, spacing) << what;
                    }
                    if (margin >= 0) {
                        EXPECT_EQ(before, margin) << what;
                    }
                    if (margin == -1 && spacing >= 0) {
                        EXPECT_EQ(before - beyond, (before + beyond) % 2) << what;
                    }
                    if (margin == -1 && spacing == -1) {
                        EXPECT_EQ(before, gap) << what;
                        EXPECT_GE(beyond, before) << what;
                        EXPECT_LE(beyond - before, 2) << what;
                    }
                    // A spread spacing after a fixed margin leaves the odd pixel beyond the caption.
                    if (margin >= 0 && spacing == -1) {
                        EXPECT_EQ(beyond - gap, (beyond + gap) % 2) << what;
                    }
                    // Across the layout both are centred, the top or left taking the odd pixel.
                    const bool across = layout == blGlyphLeft || layout == blGlyphRight;
                    for (const TRect& item : {g, c}) {
                        const int front = across ? item.Top - button.Top : item.Left - button.Left;
                        const int back = across ? button.Bottom - item.Bottom : button.Right - item.Right;
                        EXPECT_EQ(front - back, (front + back) % 2) << what;
                    }
                }
            }
        }
    }
}

namespace {

// A picture's pixels (not the padding of its rows) in 64 bits.
uint64_t PictureHash(const TPixels& p) {
    uint64_t h = 1469598103934665603ull;
    auto add = [&h](uint8_t b) { h = (h ^ b) * 1099511628211ull; };
    add(static_cast<uint8_t>(p.Width)), add(static_cast<uint8_t>(p.Height));
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x)
            for (int c = 0; c < 3; ++c) add(p.At(x, y)[c]);
    return h;
}

// A picture with a different colour at every pixel, to paint from.
void Pattern(const TPixels& p, int seed) {
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) Put(p, x, y, MakeColor(x * 23 + seed, y * 41 + 2 * seed, (x + y) * 13 + 7 * seed));
}

}  // namespace

// Every painting routine on odd sizes, uneven corners, clipped places and
// parents' pictures, each into a panel of its own whose pixels were
// recorded in tests/native/golden/skin_panels.txt. A change of any pixel
// names the panel; the panels are saved as pictures to look at when
// recording or when one differs.
TEST(SkinSample, EveryPaintingRoutineDrawsItsRecordedPanel) {
    // A mask of three 11 x 9 frames with uneven corners, over a graded mask row.
    auto content = skintest::ContentWithMaster(33, 18, clBlack);
    DrawFrames(*content, 3, 11, 9, 2, 3, 4, 1);
    const TPixels& master = content->MasterPixels();
    for (int x = 0; x < 33; ++x)
        for (int y = 9; y < 18; ++y) Put(master, x, y, MakeColor(x * 7, (y - 9) * 30, 255 - x * 7));
    Put(master, 0, 0, clFuchsia), Put(master, 10, 8, clFuchsia), Put(master, 16, 4, clFuchsia);
    TPixelBitmap parentPicture(60, 50);
    Pattern(parentPicture.Pixels(), 3);
    const TParentCacheInfo parent = MakeParentCacheInfo(parentPicture.Pixels(), 7, 4);

    std::vector<std::pair<std::string, TPixelBitmap>> panels;
    auto panel = [&](const std::string& name, int w, int h, const std::function<void(const TPixels&)>& paint) {
        TPixelBitmap bmp(w, h);
        Pattern(bmp.Pixels(), 1);
        paint(bmp.Pixels());
        panels.emplace_back(name, std::move(bmp));
    };
    for (int maskType : {0, 1}) {
        for (int drawMode : {4, 1 | 4, 0, 2 | 4}) {
            const TsMaskData m = skintest::MaskIn(*content, {0, 0, 33, maskType ? 18 : 9}, 3, maskType, 2, 3, 4, 1, drawMode);
            panel("nine parts, mode " + std::to_string(drawMode) + ", mask type " + std::to_string(maskType), 40, 32,
                  [&](const TPixels& b) {
                      DrawSkinRect(b, {1, 1, 31, 21}, true, parent, m, 0, true);
                      DrawSkinRect(b, {32, 2, 37, 5}, true, parent, m, 1, false);   // narrower than the corners
                      DrawSkinRect(b, {-3, 22, 9, 40}, true, TParentCacheInfo{}, m, 7, false);
                      DrawSkinRect(b, {10, 23, 39, 30}, false, parent, m, 2, true);
                  });
        }
        const TsMaskData m = skintest::MaskIn(*content, {0, 0, 33, maskType ? 18 : 9}, 3, maskType, 2, 3, 4, 1, 4);
        panel("glyphs and pieces, mask type " + std::to_string(maskType), 40, 24, [&](const TPixels& b) {
            DrawSkinGlyph(b, {1, 1}, 1, m, 1, parent);
            DrawSkinGlyph(b, {14, 1}, 2, m, 2, parent);
            DrawSkinGlyph(b, {33, 17}, 9, m, 1);
            DrawMaskRect({2, 1, 9, 8}, {4, 12, 9, 22}, b, m, parent);
        });
        panel("border corners and region, mask type " + std::to_string(maskType), 24, 20, [&](const TPixels& b) {
            PaintBorderCorners(b, m, 1, 24, 20, clFuchsia, parent);
            PaintBorderCorners(b, m, 2, 12, 10, MakeColor(9, 99, 199), TParentCacheInfo{});
            std::vector<TRect> holes;
            GetMaskRegionRects(holes, 24, m, false, 0);
            GetMaskRegionRects(holes, 24, m, true, 19);
            for (const TRect& r : holes) FillRect(b, r, clWhite);
        });
    }
    TsMaskData tile = skintest::MaskIn(*content, {3, 2, 9, 7}, 1, 0, 0, 0, 0, 0);
    for (int mode : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 20})
        panel("texture mode " + std::to_string(mode), 17, 13, [&](const TPixels& b) {
            TRect r{1, 2, 16, 12};
            PlaceTexture(b, r, mode, tile);
            if (!(r == kNoRect)) FillRect(b, r, clWhite);
        });
    const TsMaskData maskedTile = skintest::MaskIn(*content, {3, 0, 9, 18}, 1, 1, 0, 0, 0, 0);
    for (int mode : {0, 10})
        panel("masked texture mode " + std::to_string(mode), 23, 19, [&](const TPixels& b) {
            TRect r{1, 1, 22, 18};
            PlaceMaskedTexture(b, r, parent, mode, maskedTile, clFuchsia);
            r = {2, 2, 20, 16};
            PlaceMaskedTexture(b, r, TParentCacheInfo{}, mode, maskedTile, MakeColor(1, 2, 3));
        });
    for (const char* gradient : {"255;16711680;20;0;0;16711680;65280;30;0;0;65280;8421504;10;0;0",
                                 "255;16711680;40;1;0;65280;16776960;90;1;0", "255;0;0;2;0;16711680;0;0;2;0;65280;0;0;2;0;"
                                 "65535;0;0;2;0;16711935;0;0;2;0", "255;0;0;2;0;65280;0;0;2;0"}) {
        TsGradArray data;
        ParseGradientData(gradient, data);
        panel(std::string("gradient ") + gradient, 31, 23, [&](const TPixels& b) {
            PaintGradient(b, {-4, 1, 29, 22}, data);
        });
    }
    panel("blends", 40, 30, [&](const TPixels& b) {
        BlendRoundRect(b, {1, 1, 25, 17}, 70, 5, 2, MakeColor(0, 0, 128));
        BlendRectWithColor(b, {20, 10, 45, 25}, 35, MakeColor(250, 200, 0));
        BlendBitmapRect(b, parentPicture.Pixels(), 100, {-3, 18}, {5, 5, 30, 20});
        BlendTransparent(b, master, 26, 2, clFuchsia, 0.3, {0, 0, 15, 9});
        BlendThroughMask(b, parentPicture.Pixels(), master, 180, &master);
    });
    panel("grey and disabled", 30, 20, [&](const TPixels& b) {
        TPixelBitmap half(15, 20);
        Pattern(half.Pixels(), 5);
        GrayscaleBitmap(half.Pixels());
        CopyRect(b, 0, 0, half.Pixels(), {0, 0, 15, 20});
        PaintDisabledLook(b, 1, MakeParentCacheInfo(parentPicture.Pixels(), 11, 3), clFuchsia);
        BlendWithMaskBitmap(b, master, MakeColor(10, 240, 90));
    });
    panel("frames and copies", 44, 30, [&](const TPixels& b) {
        DrawFrame3D(b, {1, 1, 17, 13}, clWhite, clBlack, 3);
        DrawDottedFrame(b, {18, 1, 33, 12});
        CopyFrameRect(b, parentPicture.Pixels(), {20, 14, 43, 29}, 2);
        TileGraphic(b, {-5, 14, 19, 29}, master);
        StretchRect(b, {34, 1, 44, 12}, master, {2, 2, 5, 5});
        StretchRect(b, {1, 26, 5, 29}, master, {0, 0, 9, 7});
        CopyTransparentRect(b, master, 30, 20, true, parent, clFuchsia, {0, 0, 11, 9});
        CopyKeyedRect(b, -4, 24, master, {0, 0, 11, 9}, clFuchsia);
    });
    panel("colour shifts", 32, 8, [&](const TPixels& b) {
        const TColor colours[] = {MakeColor(255, 0, 0), MakeColor(250, 128, 3), MakeColor(200, 190, 20),
                                  MakeColor(20, 230, 40), MakeColor(0, 120, 250), MakeColor(140, 0, 255),
                                  MakeColor(255, 0, 140), MakeColor(128, 128, 128)};
        const int shifts[] = {-150, -30, 45, 200};
        const int saturation[] = {-60, 40, 100, -100};
        for (int i = 0; i < 8; ++i)
            for (int k = 0; k < 4; ++k) {
                Put(b, i * 4 + k, 0, ShiftColorHue(colours[i], shifts[k]));
                Put(b, i * 4 + k, 1, ShiftColorSaturation(colours[i], saturation[k]));
                Put(b, i * 4 + k, 2, BlendColors(colours[i], colours[(i + k + 1) % 8], 0.25 * k + 0.1));
            }
    });
    // Section backgrounds: colour, gradient and texture by their shares,
    // transparency over a parent at an offset, the hot set, an own colour,
    // a masked overlay, and an item with corner images and a border.
    TsSkinContent& skin = *content;
    auto section = [&](const std::string& name, auto&& set) {
        TsGeneralData gd;
        gd.SectionName = name;
        gd.Color = MakeColor(30, 60, 90);
        gd.HotColor = MakeColor(200, 100, 50);
        set(gd);
        skin.Sections.push_back(gd);
        return static_cast<int>(skin.Sections.size()) - 1;
    };
    TsMaskData texture = skintest::MaskIn(skin, {1, 1, 8, 6}, 1, 0, 0, 0, 0, 0, 0);
    texture.SectionName = "TEXTURED", texture.PropertyName = "PATTERN", texture.ImgType = itisaTexture;
    skin.Masks.push_back(std::move(texture));
    for (const auto& [corner, w] : {std::pair{"IMGTOPLEFT", 3}, {"IMGTOPRIGHT", 5}, {"IMGBTMLEFT", 4}, {"IMGBTMRIGHT", 2}}) {
        TsMaskData c = skintest::MaskIn(skin, {0, 0, w, 4}, 1, 0, 0, 0, 0, 0);
        c.SectionName = "ITEM", c.PropertyName = corner;
        skin.Masks.push_back(std::move(c));
    }
    TsMaskData border = skintest::MaskIn(skin, {0, 0, 33, 18}, 3, 1, 2, 3, 4, 1, 4);
    border.SectionName = "ITEM", border.PropertyName = "BORDERSMASK";
    skin.Masks.push_back(std::move(border));
    TsMaskData overlay = skintest::MaskIn(skin, {3, 0, 9, 18}, 1, 1, 0, 0, 0, 0, 10);
    overlay.ImgType = itisaTexture;
    skin.Masks.push_back(std::move(overlay));
    const int overlayIndex = static_cast<int>(skin.Masks.size()) - 1;
    TsGradArray grad;
    ParseGradientData("255;16711680;60;0;0;65280;255;40;0;0", grad);
    const int plain = section("PLAIN", [](TsGeneralData&) {});
    const int shared = section("SHARED", [&](TsGeneralData& g) { g.GradientPercent = 60, g.GradientArray = grad; });
    const int textured = section("TEXTURED", [&](TsGeneralData& g) {
        g.ImagePercent = 70, g.GradientPercent = 50, g.GradientArray = grad, g.HotImagePercent = 100;
    });
    const int clear = section("CLEAR", [&](TsGeneralData& g) { g.Transparency = 30, g.HotTransparency = 100; });
    const int item = section("ITEM", [&](TsGeneralData& g) { g.GradientPercent = 100, g.GradientArray = grad; });
    for (int index : {plain, shared, textured, clear, item})
        for (int state : {0, 1}) {
            panel("section " + skin.Sections[static_cast<size_t>(index)].SectionName + " state " + std::to_string(state),
                  30, 20, [&](const TPixels& b) {
                      TSectionBackground a;
                      a.SectionIndex = index;
                      a.State = state;
                      a.Rect = {1, 2, 28, 19};
                      a.ParentCache = parent;
                      a.Offset = {-2, 3};
                      a.TextureIndex = a.HotTextureIndex = index == plain ? overlayIndex : -1;
                      if (index == item)
                          PaintSectionItem(skin, b, a);
                      else
                          PaintSectionBackground(skin, b, a);
                      a.Rect = {20, 12, 30, 20};
                      a.CustomColor = state ? MakeColor(1, 2, 3) : clFuchsia;
                      a.ReplyBgColor = MakeColor(77, 77, 77);
                      PaintSectionWithMask(skin, b, a, state == 1, index == item ? overlayIndex : -1);
                  });
        }

    std::string all;
    for (const auto& [name, bmp] : panels) {
        char hash[17];
        std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(PictureHash(bmp.Pixels())));
        all += name + " " + hash + "\n";
    }
    golden::ExpectRecorded("skin_panels", all);
    if (std::getenv("NORVIX_GOLDEN_RECORD") || ::testing::Test::HasFailure()) {
        // All panels side by side, to look at.
        int width = 0;
        for (const auto& [name, bmp] : panels) width += bmp.Width() + 2;
        TPixelBitmap sheet = Solid(width, 32, clWhite);
        int x = 0;
        for (const auto& [name, bmp] : panels) {
            CopyRect(sheet.Pixels(), x, 0, bmp.Pixels(), {0, 0, bmp.Width(), bmp.Height()});
            x += bmp.Width() + 2;
        }
        skintest::SavePicture(sheet.Pixels(), "skin_panels.bmp");
    }
}
