// Packed skins: a whole skin folder (Options.dat and its pictures) in one
// byte stream, a file NAME.asz or the data of a stored skin. Layout, all
// integers 32-bit little-endian: "ASzf", the entry count N, then N entries
// of name length, name, unpacked length and one zlib stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace skin {

struct TacImageItem {
    std::string FileName;  // as stored
    bool IsBitmap = false; // the extension is ".BMP" in any case
    std::string Data;      // the unpacked file
};

class TacSkinConvertor {
public:
    int ImageCount = 0;                    // entries in the stream minus 1
    std::vector<TacImageItem> Files;       // every entry but Options.dat, in stream order
    std::unique_ptr<std::string> Options;  // the unpacked Options.dat; null when there is none

    // The first file whose upper-cased name equals `upperName`; nullptr when none.
    const TacImageItem* FindFile(const std::string& upperName) const;
};

// Frees every entry, the last first, and the options.
void ClearConvertor(TacSkinConvertor& convertor);

// The outcome of reading packed data: Ok, or one message for the player.
struct TUnpackResult {
    bool Ok = true;
    std::string Message;
};

constexpr const char* kNotPackedSkinMessage = "Loaded data is not a packed skin file";
constexpr const char* kPackedSkinTooLargeMessage = "The packed skin is too large to be loaded";

// What a packed skin may unpack to: one file, and all its files together.
constexpr uint64_t kMaxPackedEntryBytes = uint64_t(64) << 20;
constexpr uint64_t kMaxPackedSkinBytes = uint64_t(256) << 20;

// Reads packed bytes into the convertor, which is emptied first. Wrong magic,
// damaged data or a skin larger than the limits above leaves the convertor
// empty and says why; sizes and counts are never believed beyond what the
// bytes hold, and nothing is unpacked of a skin that asks for too much.
TUnpackResult UnpackSkinData(const uint8_t* data, size_t size, TacSkinConvertor& convertor);

// UnpackSkinData of a file; a missing file changes nothing and says so.
TUnpackResult ExtractPackedData(const std::string& fileName, TacSkinConvertor& convertor);

// Our own writer of the same format, for our tools and tests.
struct TPackEntry {
    std::string FileName;
    std::string Data;
};
std::string PackSkinFiles(const std::vector<TPackEntry>& entries);

}  // namespace skin
