// Packed skins: our writer and the reader agree, and damaged data is
// refused with one message without reading past what the bytes hold.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <jpeglib.h>

#include "skin/core/jpegfile.h"
#include "skin/core/skinpack.h"

using namespace skin;

namespace {

// From memory of exactly that size, so that a read past the end is seen.
TUnpackResult Unpack(const std::string& bytes, TacSkinConvertor& c) {
    const std::vector<uint8_t> exact(bytes.begin(), bytes.end());
    return UnpackSkinData(exact.data(), exact.size(), c);
}

void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A JPEG picture of one grey level, in the one colour channel such pictures have.
std::string GreyJpeg(int width, int height, uint8_t level) {
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width), level);
    while (info.next_scanline < info.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

}  // namespace

TEST(SkinPack, RoundTripsOfNoneOneAndManyEntries) {
    TacSkinConvertor c;
    ASSERT_TRUE(Unpack(PackSkinFiles({}), c).Ok);
    EXPECT_EQ(c.ImageCount, -1);
    EXPECT_TRUE(c.Files.empty());
    EXPECT_FALSE(c.Options);

    ASSERT_TRUE(Unpack(PackSkinFiles({{"options.DAT", "[GLOBALINFO]\r\n"}}), c).Ok);
    EXPECT_EQ(c.ImageCount, 0);
    EXPECT_TRUE(c.Files.empty());
    ASSERT_TRUE(c.Options);
    EXPECT_EQ(*c.Options, "[GLOBALINFO]\r\n");

    std::string big(200000, 'x');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7919 % 251);
    const std::vector<TPackEntry> entries = {
        {"Frame.bmp", "BM-frame"}, {"Options.dat", "old"}, {"Back.jpg", big}, {"empty.BMP", ""}, {"OPTIONS.DAT", "new"}};
    ASSERT_TRUE(Unpack(PackSkinFiles(entries), c).Ok);
    EXPECT_EQ(c.ImageCount, 4);
    ASSERT_EQ(c.Files.size(), 3u);
    EXPECT_EQ(c.Files[0].FileName, "Frame.bmp");
    EXPECT_TRUE(c.Files[0].IsBitmap);
    EXPECT_EQ(c.Files[0].Data, "BM-frame");
    EXPECT_FALSE(c.Files[1].IsBitmap);
    EXPECT_EQ(c.Files[1].Data, big);
    EXPECT_TRUE(c.Files[2].IsBitmap);
    EXPECT_EQ(c.Files[2].Data, "");
    EXPECT_EQ(*c.Options, "new");  // the last Options.dat wins
    ASSERT_NE(c.FindFile("FRAME.BMP"), nullptr);
    EXPECT_EQ(c.FindFile("Frame.bmp"), nullptr);  // callers pass upper-cased names
}

TEST(SkinPack, WrongMagicAndDamagedDataLeaveNothing) {
    TacSkinConvertor c;
    const std::string good = PackSkinFiles({{"Options.dat", "[A]\r\n"}, {"x.bmp", std::string(5000, 'b')}});
    TUnpackResult r = Unpack("ASzF" + good.substr(4), c);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Message, "Loaded data is not a packed skin file");
    EXPECT_FALSE(c.Options);

    // Cut anywhere: refused, never a partial skin.
    for (size_t cut : {size_t(0), size_t(3), size_t(6), size_t(7), size_t(12), good.size() / 2, good.size() - 1}) {
        ASSERT_TRUE(Unpack(good, c).Ok);
        r = Unpack(good.substr(0, cut), c);
        EXPECT_FALSE(r.Ok) << cut;
        EXPECT_FALSE(r.Message.empty());
        EXPECT_FALSE(c.Options) << cut;
        EXPECT_TRUE(c.Files.empty()) << cut;
    }
    // Counts and sizes that the bytes cannot hold.
    std::string counted = "ASzf";
    Put32(counted, 0x7FFFFFFF);
    EXPECT_FALSE(Unpack(counted, c).Ok);
    std::string named = "ASzf";
    Put32(named, 1);
    Put32(named, 0x7FFFFFF0);
    named += "abc";
    EXPECT_FALSE(Unpack(named, c).Ok);
    std::string sized = good.substr(0, 8 + 4 + 11);
    Put32(sized, 0x7FFFFFFF);  // unpacked length of Options.dat far beyond what follows
    sized += good.substr(8 + 4 + 11 + 4);
    EXPECT_FALSE(Unpack(sized, c).Ok);
    std::string longer = good.substr(0, 8 + 4 + 11);
    Put32(longer, 6);  // one byte more than the stream holds
    longer += good.substr(8 + 4 + 11 + 4);
    EXPECT_FALSE(Unpack(longer, c).Ok);
    // A corrupt byte inside the compressed data.
    std::string corrupt = good;
    corrupt[8 + 4 + 11 + 4 + 3] ^= 0x55;
    EXPECT_FALSE(Unpack(corrupt, c).Ok);
}

TEST(SkinPack, AnEntryOrASkinLargerThanTheLimitsIsRefusedBeforeUnpacking) {
    // One zlib stream of zeros, a little over the limit of one entry: some
    // 64 KB in the file, well within what such a stream can unpack to.
    const std::string zeros(kMaxPackedEntryBytes + 1, '\0');
    uLongf packedSize = compressBound(static_cast<uLong>(zeros.size()));
    std::string stream(packedSize, '\0');
    ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(stream.data()), &packedSize,
                        reinterpret_cast<const Bytef*>(zeros.data()), static_cast<uLong>(zeros.size()), 9),
              Z_OK);
    stream.resize(packedSize);
    auto packed = [&stream](int entries, uint32_t statedSize) {
        std::string bytes = "ASzf";
        Put32(bytes, static_cast<uint32_t>(entries) + 1);
        Put32(bytes, 11);
        bytes += "Options.dat";
        const std::string options = PackSkinFiles({{"Options.dat", "[A]\r\n"}});
        bytes += options.substr(8 + 4 + 11);  // its stated size and its stream
        for (int i = 0; i < entries; ++i) {
            const std::string name = "p" + std::to_string(i) + ".bmp";
            Put32(bytes, static_cast<uint32_t>(name.size()));
            bytes += name;
            Put32(bytes, statedSize);
            bytes += stream;
        }
        return bytes;
    };
    TacSkinConvertor c;
    // An entry of the largest size allowed is read.
    ASSERT_TRUE(Unpack(packed(1, kMaxPackedEntryBytes), c).Ok);
    ASSERT_EQ(c.Files.size(), 1u);
    EXPECT_EQ(c.Files[0].Data.size(), kMaxPackedEntryBytes);
    // One byte more is refused, with one message and nothing kept.
    TUnpackResult r = Unpack(packed(1, kMaxPackedEntryBytes + 1), c);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Message, kPackedSkinTooLargeMessage);
    EXPECT_FALSE(c.Options);
    EXPECT_TRUE(c.Files.empty());
    // Entries each within the limit, together beyond that of a whole skin.
    const uint32_t each = static_cast<uint32_t>(kMaxPackedEntryBytes - 1);
    r = Unpack(packed(static_cast<int>(kMaxPackedSkinBytes / each) + 1, each), c);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Message, kPackedSkinTooLargeMessage);
    EXPECT_TRUE(c.Files.empty());
}

TEST(SkinJpeg, DecodesOurTextureAndRefusesDamagedPictures) {
    const char* root = std::getenv("NORVIX_SOURCE_DIR");
    std::ifstream file(std::string(root ? root : ".") + "/data/skins/Cold/Frost.jpg", std::ios::binary);
    const std::string jpeg((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(jpeg.empty());
    TPixelBitmap picture;
    std::string error;
    ASSERT_TRUE(ReadJpeg(reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size(), picture, error)) << error;
    EXPECT_EQ(picture.Width(), 128);
    EXPECT_EQ(picture.Height(), 128);
    EXPECT_GT(picture.Pixels().At(5, 5)[0], 150);  // frost is light blue: much blue
    int64_t blue = 0, red = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            blue += picture.Pixels().At(x, y)[0];
            red += picture.Pixels().At(x, y)[2];
        }
    EXPECT_GT(blue - red, 15 * 128 * 128);  // and bluer than red throughout

    // A grey picture (one channel) is read as grey.
    const std::string grey = GreyJpeg(9, 5, 128);
    ASSERT_TRUE(ReadJpeg(reinterpret_cast<const uint8_t*>(grey.data()), grey.size(), picture, error)) << error;
    ASSERT_EQ(picture.Width(), 9);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(picture.Pixels().At(8, 4)[c], 128) << c;

    // A frame header claiming 65535 x 65535 pixels is refused before decoding.
    std::string huge = jpeg;
    const size_t sof = huge.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    for (size_t i = sof + 5; i < sof + 9; ++i) huge[i] = static_cast<char>(0xFF);
    EXPECT_FALSE(ReadJpeg(reinterpret_cast<const uint8_t*>(huge.data()), huge.size(), picture, error));
    EXPECT_EQ(picture.Width(), 0);
    // Garbage after a JPEG start, and nothing at all.
    const std::string notJpeg = "\xFF\xD8\xFF\xE0 not really";
    EXPECT_FALSE(ReadJpeg(reinterpret_cast<const uint8_t*>(notJpeg.data()), notJpeg.size(), picture, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ReadJpeg(nullptr, 0, picture, error));
}
