#include "skinbuilder.h"

#include <cstdio>
#include <stdexcept>
#include <tuple>

#include "skin/core/bmpfile.h"
#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"

namespace skingen {

using namespace skin;

namespace {
constexpr int kMasterWidth = 320;
constexpr int kMasterMaxHeight = 1024;
}  // namespace

SkinBuilder::SkinBuilder(TColor background) : master_(kMasterWidth, kMasterMaxHeight) {
    FillRect(master_.Pixels(), {0, 0, kMasterWidth, kMasterMaxHeight}, background);
}

TRect SkinBuilder::Place(int width, int height) {
    if (width > kMasterWidth) throw std::runtime_error("a piece wider than the master bitmap");
    if (shelfX_ + width > kMasterWidth) {
        shelfY_ += shelfHeight_ + 1;
        shelfX_ = 0;
        shelfHeight_ = 0;
    }
    TRect r{shelfX_, shelfY_, shelfX_ + width, shelfY_ + height};
    if (r.Bottom > kMasterMaxHeight) throw std::runtime_error("the master bitmap is full");
    shelfX_ += width + 1;
    shelfHeight_ = std::max(shelfHeight_, height);
    usedHeight_ = std::max(usedHeight_, r.Bottom);
    return r;
}

std::string SkinBuilder::Rect4(const TRect& r) {
    char text[32];
    std::snprintf(text, sizeof(text), "%04d,%04d,%04d,%04d", r.Left, r.Top, r.Right, r.Bottom);
    return text;
}

void SkinBuilder::Set(const std::string& section, const std::string& key, const std::string& value) {
    for (auto& s : sections_)
        if (s.first == section) {
            s.second.emplace_back(key, value);
            return;
        }
    sections_.push_back({section, {{key, value}}});
}

void SkinBuilder::Set(const std::string& section, const std::string& key, long long value) {
    Set(section, key, std::to_string(value));
}

void SkinBuilder::Gradient(const std::string& section, const std::string& key,
                           const std::vector<std::tuple<TColor, TColor, int>>& steps, int mode) {
    std::string text;
    for (const auto& [c1, c2, percent] : steps)
        text += std::to_string(c1) + ";" + std::to_string(c2) + ";" + std::to_string(percent) + ";" +
                std::to_string(mode) + ";0;";
    Set(section, key, text);
}

void SkinBuilder::Border(const std::string& section, const std::string& key, const std::vector<Layer>& frames, int wl,
                         int wt, int wr, int wb, int drawMode, bool openBottom) {
    const int fw = frames[0].Width(), fh = frames[0].Height();
    const TRect r = Place(fw * static_cast<int>(frames.size()), fh * 2);
    for (size_t i = 0; i < frames.size(); ++i) {
        const int x = r.Left + static_cast<int>(i) * fw;
        EmitMasked(master_.Pixels(), x, r.Top, frames[i]);
        // Key pixels are what lies outside the window; a clear pixel that the
        // frame's lines enclose in a corner keeps what lies under the frame
        // through its mask instead.
        const TPixels px = master_.Pixels();
        const int bottom = openBottom ? 0 : kOuterBottom;
        for (const auto& [area, edges] : {std::pair{TRect{x, r.Top, x + wl, r.Top + wt}, kOuterLeft | kOuterTop},
                                          std::pair{TRect{x + fw - wr, r.Top, x + fw, r.Top + wt}, kOuterRight | kOuterTop},
                                          std::pair{TRect{x, r.Top + fh - wb, x + wl, r.Top + fh}, kOuterLeft | bottom},
                                          std::pair{TRect{x + fw - wr, r.Top + fh - wb, x + fw, r.Top + fh}, kOuterRight | bottom}}) {
            const std::vector<char> outside = KeyPixelsOutside(px, area, edges);
            for (int j = 0; j < area.Height(); ++j)
                for (int k = 0; k < area.Width(); ++k)
                    if (IsKeyPixel(px.At(area.Left + k, area.Top + j), clFuchsia) && !outside[static_cast<size_t>(j) * area.Width() + k]) {
                        // White over a white mask gives back exactly what lies under.
                        SetPixelColor(px.At(area.Left + k, area.Top + j), clWhite);
                        SetPixelColor(px.At(area.Left + k, area.Top + fh + j), clWhite);
                    }
        }
    }
    char tail[64];
    std::snprintf(tail, sizeof(tail), ",%04d,%04d,%04d,%04d,%d,1,%d,0", wl, wt, wr, wb, static_cast<int>(frames.size()),
                  drawMode);
    Set(section, key, "^" + Rect4(r) + tail);
}

void SkinBuilder::Glyph(const std::string& section, const std::string& key, const std::vector<Layer>& frames) {
    const int fw = frames[0].Width(), fh = frames[0].Height();
    const TRect r = Place(fw * static_cast<int>(frames.size()), fh * 2);
    for (size_t i = 0; i < frames.size(); ++i) EmitMasked(master_.Pixels(), r.Left + static_cast<int>(i) * fw, r.Top, frames[i]);
    Set(section, key, "@" + Rect4(r) + "," + std::to_string(frames.size()) + ",1");
}

void SkinBuilder::Texture(const std::string& section, const std::string& key, const Layer& tile, TColor under,
                          int drawMode) {
    const TRect r = Place(tile.Width(), tile.Height());
    EmitOpaque(master_.Pixels(), r.Left, r.Top, tile, under);
    char tail[16];
    std::snprintf(tail, sizeof(tail), ",%02d,0", drawMode);
    Set(section, key, "~" + Rect4(r) + tail);
}

void SkinBuilder::AddFile(const std::string& name, std::string bytes) { files_.push_back(TPackEntry{name, std::move(bytes)}); }

std::vector<TPackEntry> SkinBuilder::Files(const std::string& masterName) const {
    std::string options;
    for (const auto& [section, keys] : sections_) {
        options += "[" + section + "]\r\n";
        for (const auto& [key, value] : keys) options += key + "=" + value + "\r\n";
        options += "\r\n";
    }
    TPixelBitmap used(kMasterWidth, usedHeight_);
    CopyRect(used.Pixels(), 0, 0, master_.Pixels(), {0, 0, kMasterWidth, usedHeight_});
    std::vector<TPackEntry> files{{"Options.dat", options}, {masterName, WriteBmp(used.Pixels())}};
    files.insert(files.end(), files_.begin(), files_.end());
    return files;
}

}  // namespace skingen
