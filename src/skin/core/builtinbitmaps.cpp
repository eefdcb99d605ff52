#include "skin/core/builtinbitmaps.h"

#include <array>

#include "skin/core/colors.h"

namespace skin {

namespace {

struct Picture {
    const char* Name;
    std::array<const char*, 9> Rows;  // '#' black, anything else transparent
};

constexpr Picture kPictures[] = {
    {"SF", {"#########", "#.......#", "#.......#", "#.......#", "#.......#", "#.......#", "#.......#", "#.......#", "#########"}},
    {"SR", {".........", "..#......", "..##.....", "..###....", "..####...", "..###....", "..##.....", "..#......", "........."}},
    {"SD", {".........", ".........", ".#######.", "..#####..", "...###...", "....#....", ".........", ".........", "........."}},
    {"SE", {".........", ".........", ".........", ".........", ".#..#..#.", ".........", ".........", ".........", "........."}},
    {"SC", {".........", ".......#.", "......##.", "#....##..", "##..##...", ".####....", "..##.....", ".........", "........."}},
};

TPixelBitmap Build(const Picture& picture) {
    TPixelBitmap bmp(9, 9);
    const TPixels& px = bmp.Pixels();
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) SetPixelColor(px.At(x, y), picture.Rows[y][x] == '#' ? clBlack : clFuchsia);
    return bmp;
}

}  // namespace

const TPixelBitmap* BuiltInBitmap(std::string_view name) {
    static const std::array<TPixelBitmap, 5> bitmaps = [] {
        std::array<TPixelBitmap, 5> built;
        for (size_t i = 0; i < built.size(); ++i) built[i] = Build(kPictures[i]);
        return built;
    }();
    for (size_t i = 0; i < bitmaps.size(); ++i)
        if (name == kPictures[i].Name) return &bitmaps[i];
    return nullptr;
}

}  // namespace skin
