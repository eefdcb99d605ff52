#include "skin/core/skinpack.h"

#include <zlib.h>

#include <algorithm>

#include "rtl/encoding.h"
#include "skin/core/skinload.h"

namespace skin {

namespace {

constexpr char kMagic[4] = {'A', 'S', 'z', 'f'};
// A deflate stream never unpacks to more than about 1032 times its size.
constexpr uint64_t kMaxInflateRatio = 1032;

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Left() const { return size_ - pos_; }
    size_t Pos() const { return pos_; }
    const uint8_t* Here() const { return data_ + pos_; }
    void Skip(size_t n) { pos_ += n; }
    bool Int32(int32_t& v) {
        if (Left() < 4) return false;
        const uint8_t* p = Here();
        v = static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24));
        pos_ += 4;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Inflates the zlib stream at the reader's position into `out` (U bytes of
// it) and moves the reader to the first byte after the stream.
bool InflateEntry(Reader& in, uint64_t unpacked, std::string& out) {
    if (unpacked > in.Left() * kMaxInflateRatio + 64) return false;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    out.clear();
    out.reserve(static_cast<size_t>(std::min<uint64_t>(unpacked, 1 << 20)));
    z.next_in = const_cast<Bytef*>(in.Here());
    z.avail_in = static_cast<uInt>(std::min<size_t>(in.Left(), 0x7FFFFFFF));
    // The output grows with what really comes out; bytes past the stated
    // length are dropped, since the next entry starts only where the stream ends.
    char chunk[65536];
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof(chunk);
        rc = inflate(&z, Z_NO_FLUSH);
        const size_t got = sizeof(chunk) - z.avail_out;
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(got, unpacked - out.size()));
        out.append(chunk, wanted);
        if (rc == Z_BUF_ERROR && got > 0) rc = Z_OK;  // no progress only when nothing came out
    }
    const size_t consumed = static_cast<size_t>(z.total_in);
    inflateEnd(&z);
    if (rc != Z_STREAM_END || out.size() < unpacked) return false;
    in.Skip(consumed);
    return true;
}

TUnpackResult Damaged(TacSkinConvertor& convertor) {
    ClearConvertor(convertor);
    return TUnpackResult{false, "The packed skin is damaged and cannot be read"};
}

}  // namespace

const TacImageItem* TacSkinConvertor::FindFile(const std::string& upperName) const {
    for (const TacImageItem& item : Files)
        if (rtl::UpperCase1251(item.FileName) == upperName) return &item;
    return nullptr;
}

void ClearConvertor(TacSkinConvertor& convertor) {
    while (!convertor.Files.empty()) convertor.Files.pop_back();
    convertor.Options.reset();
    convertor.ImageCount = 0;
}

TUnpackResult UnpackSkinData(const uint8_t* data, size_t size, TacSkinConvertor& convertor) {
    ClearConvertor(convertor);
    Reader in(data, size);
    if (size < 4 || !std::equal(kMagic, kMagic + 4, data)) return TUnpackResult{false, kNotPackedSkinMessage};
    in.Skip(4);
    int32_t count;
    // Each entry takes at least 4 + 4 + 8 bytes (lengths and the shortest zlib stream).
    if (!in.Int32(count) || count < 0 || static_cast<uint64_t>(count) > in.Left() / 16 + 1) return Damaged(convertor);
    convertor.ImageCount = count - 1;
    const std::string optionsName = rtl::UpperCase1251("Options.dat");
    uint64_t total = 0;
    for (int32_t i = 0; i < count; ++i) {
        int32_t nameLength, unpacked;
        if (!in.Int32(nameLength) || nameLength < 0 || static_cast<size_t>(nameLength) > in.Left()) return Damaged(convertor);
        std::string name(reinterpret_cast<const char*>(in.Here()), static_cast<size_t>(nameLength));
        in.Skip(static_cast<size_t>(nameLength));
        std::string bytes;
        if (!in.Int32(unpacked) || unpacked < 0) return Damaged(convertor);
        // The stated sizes are weighed before anything is unpacked: a small
        // file could otherwise ask for hundreds of megabytes an entry.
        total += static_cast<uint64_t>(unpacked);
        if (static_cast<uint64_t>(unpacked) > kMaxPackedEntryBytes || total > kMaxPackedSkinBytes) {
            ClearConvertor(convertor);
            return TUnpackResult{false, kPackedSkinTooLargeMessage};
        }
        if (!InflateEntry(in, static_cast<uint64_t>(unpacked), bytes)) return Damaged(convertor);
        const std::string upper = rtl::UpperCase1251(name);
        if (upper == optionsName) {
            convertor.Options = std::make_unique<std::string>(std::move(bytes));  // a later one wins
        } else {
            const size_t dot = upper.rfind('.');
            const bool bitmap = dot != std::string::npos && upper.substr(dot) == ".BMP";
            convertor.Files.push_back(TacImageItem{std::move(name), bitmap, std::move(bytes)});
        }
    }
    return TUnpackResult{};
}

TUnpackResult ExtractPackedData(const std::string& fileName, TacSkinConvertor& convertor) {
    std::string bytes;
    if (!ReadSkinFile(fileName, bytes)) return TUnpackResult{false, "The packed skin " + fileName + " is not there"};
    return UnpackSkinData(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), convertor);
}

std::string PackSkinFiles(const std::vector<TPackEntry>& entries) {
    std::string out(kMagic, 4);
    auto put32 = [&out](uint32_t v) {
        for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put32(static_cast<uint32_t>(entries.size()));
    for (const TPackEntry& e : entries) {
        put32(static_cast<uint32_t>(e.FileName.size()));
        out += e.FileName;
        put32(static_cast<uint32_t>(e.Data.size()));
        uLongf packedSize = compressBound(static_cast<uLong>(e.Data.size()));
        std::string packed(packedSize, '\0');
        compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(e.Data.data()),
                  static_cast<uLong>(e.Data.size()), Z_BEST_COMPRESSION);
        out.append(packed.data(), packedSize);
    }
    return out;
}

}  // namespace skin
