// Options.dat of a skin as anyone may write it: any text loads as a skin or
// fails with one message, with no half-loaded skin left behind. Its pictures
// come from a small packed skin made here.
// seeds: data/skins/*/Options.dat
#include "skin/core/bmpfile.h"
#include "skin/core/colors.h"
#include "skin/core/skinload.h"

namespace {

const skin::TacSkinConvertor& Pictures() {
    static const skin::TacSkinConvertor convertor = [] {
        skin::TPixelBitmap master(96, 64), grip(36, 24);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 96; ++x) skin::SetPixelColor(master.Pixels().At(x, y), (x * 7 + y * 13) % 5 ? 0x204060 : skin::clFuchsia);
        skin::TacSkinConvertor c;
        c.Files.push_back({"Master.bmp", true, skin::WriteBmp(master.Pixels())});
        c.Files.push_back({"Grip.bmp", true, skin::WriteBmp(grip.Pixels())});
        return c;
    }();
    return convertor;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    skin::TSkinLoadOptions options;
    // The first byte also picks a colour shift and the application's own sections.
    if (size > 0) {
        options.HueOffset = (data[0] & 7) * 47 - 100;
        options.Saturation = ((data[0] >> 3) & 7) * 40 - 140;
        if (data[0] & 0x80) options.CommonSections = {"[EXTRA]", "PARENTCLASS=BUTTON", "COLOR=0x10", "MASK=#(0,0,9,9)(3,1)"};
    }
    skin::TsSkinContent content;
    content.IsPacked = true;
    const skin::TSkinLoadResult r = skin::LoadSkinFromText(content, text, &Pictures(), options);
    if (r.Status == skin::TSkinLoadStatus::Failed && (r.Message.empty() || !content.Sections.empty())) __builtin_trap();
    for (size_t i = 0; i < content.Sections.size(); ++i) {
        const auto& name = content.Sections[i].SectionName;
        content.GetMaskIndex(static_cast<int>(i), name, "BORDERSMASK");
        content.GetTextureIndex(static_cast<int>(i), name, "PATTERN");
    }
    return 0;
}
