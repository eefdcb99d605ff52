// The generator's JPEG textures, written through libjpeg.
#include <cstdlib>
#include <string>
#include <vector>

#include <cstdio>
#include <jpeglib.h>

#include "skin/core/pixels.h"

namespace skingen {

std::string WriteJpeg(const skin::TPixels& pixels, int quality) {
    if (pixels.Empty()) return {};
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = static_cast<JDIMENSION>(pixels.Width);
    info.image_height = static_cast<JDIMENSION>(pixels.Height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(pixels.Width) * 3);
    for (int y = 0; y < pixels.Height; ++y) {
        for (int x = 0; x < pixels.Width; ++x) {
            const uint8_t* p = pixels.At(x, y);
            row[x * 3] = p[2];
            row[x * 3 + 1] = p[1];
            row[x * 3 + 2] = p[0];
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<const char*>(buffer), length);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

}  // namespace skingen
