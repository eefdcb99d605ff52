// Collects one skin: pieces drawn into the master bitmap with their keys in
// Options.dat, other settings, and separate picture files.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "painter.h"
#include "skin/core/geometry.h"
#include "skin/core/skinpack.h"

namespace skingen {

class SkinBuilder {
public:
    explicit SkinBuilder(TColor background);

    void Set(const std::string& section, const std::string& key, const std::string& value);
    void Set(const std::string& section, const std::string& key, long long value);
    // A gradient text: steps of (colour 1, colour 2, percent), one mode for all.
    void Gradient(const std::string& section, const std::string& key,
                  const std::vector<std::tuple<TColor, TColor, int>>& steps, int mode);

    // Frames side by side over their mask row ("^" notation). OpenBottom: the
    // frame goes on below its picture (a title over its window), so the
    // bottom edge is no outer edge of the window.
    void Border(const std::string& section, const std::string& key, const std::vector<Layer>& frames, int wl, int wt,
                int wr, int wb, int drawMode = 0, bool openBottom = false);
    // Glyph frames over their mask row ("@" notation).
    void Glyph(const std::string& section, const std::string& key, const std::vector<Layer>& frames);
    // A texture tile without a mask row ("~" notation), laid over `under`.
    void Texture(const std::string& section, const std::string& key, const Layer& tile, TColor under, int drawMode);
    // A picture file of its own beside Options.dat.
    void AddFile(const std::string& name, std::string bytes);

    // Options.dat first, then the master bitmap, then the other files.
    std::vector<skin::TPackEntry> Files(const std::string& masterName) const;

private:
    skin::TRect Place(int width, int height);
    static std::string Rect4(const skin::TRect& r);

    skin::TPixelBitmap master_;
    int shelfX_ = 0, shelfY_ = 0, shelfHeight_ = 0, usedHeight_ = 0;
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> sections_;
    std::vector<skin::TPackEntry> files_;
};

}  // namespace skingen
