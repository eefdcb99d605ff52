// Packed skins (.asz files and stored skins) as a disk or a form may hold
// them: any bytes unpack or are refused with a message; whatever unpacks
// loads as a skin or fails with one message, never a read of missing data.
// seeds: data/skins/*.asz src/skin/core/stored/*.asz
#include "skin/core/skinload.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    skin::TacSkinConvertor convertor;
    const skin::TUnpackResult unpacked = skin::UnpackSkinData(data, size, convertor);
    if (!unpacked.Ok && (unpacked.Message.empty() || convertor.Options || !convertor.Files.empty())) __builtin_trap();
    skin::TsStoredSkin stored;
    stored.Data.assign(reinterpret_cast<const char*>(data), size);
    skin::TsSkinContent content;
    const skin::TSkinLoadResult r = skin::LoadStoredSkin(content, stored, {});
    if (r.Status != skin::TSkinLoadStatus::Loaded && r.Message.empty()) __builtin_trap();
    if (r.Status != skin::TSkinLoadStatus::Loaded && (!content.Sections.empty() || !content.Masks.empty())) __builtin_trap();
    return 0;
}
