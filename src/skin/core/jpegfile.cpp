// Nothing here may include windows.h: its types clash with jpeglib's.
#include "skin/core/jpegfile.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace skin {

namespace {

constexpr uint64_t kMaxSide = 16384;
constexpr uint64_t kMaxPixels = uint64_t(64) * 1024 * 1024;

// libjpeg reports a fatal error by calling error_exit, which by default
// ends the process: ours jumps back to the caller with the message instead.
struct ErrorManager {
    jpeg_error_mgr Public;
    jmp_buf Back;
    char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->Message);
    longjmp(err->Back, 1);
}

void NoOutput(j_common_ptr) {}  // warnings are not shown

}  // namespace

bool ReadJpeg(const uint8_t* data, size_t size, TPixelBitmap& out, std::string& error) {
    out = TPixelBitmap();
    if (data == nullptr || size < 4) {
        error = "the file is too short for a JPEG picture";
        return false;
    }
    jpeg_decompress_struct info{};
    ErrorManager err{};
    info.err = jpeg_std_error(&err.Public);
    err.Public.error_exit = ErrorExit;
    err.Public.output_message = NoOutput;
    // Everything set up before the jump point that is changed after it must be volatile or heap-held.
    std::vector<uint8_t>* volatile rows = new std::vector<uint8_t>();
    TPixelBitmap* volatile picture = new TPixelBitmap();
    if (setjmp(err.Back)) {
        jpeg_destroy_decompress(&info);
        delete rows;
        delete picture;
        error = std::string("the JPEG picture is damaged: ") + err.Message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    const uint64_t w = info.image_width, h = info.image_height;
    const bool colours = info.num_components == 1 || info.num_components == 3;
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide || w * h > kMaxPixels || !colours) {
        jpeg_destroy_decompress(&info);
        delete rows;
        delete picture;
        error = colours ? "the JPEG picture has an impossible size" : "the JPEG picture has an unsupported colour space";
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    picture->SetSize(static_cast<int>(w), static_cast<int>(h));
    rows->resize(static_cast<size_t>(w) * 3);
    const TPixels& px = picture->Pixels();
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rows->data();
        const int y = static_cast<int>(info.output_scanline);
        if (jpeg_read_scanlines(&info, &row, 1) != 1) break;
        uint8_t* d = px.ScanLine(y);
        for (uint64_t x = 0; x < w; ++x, d += 3) {
            d[0] = (*rows)[x * 3 + 2];
            d[1] = (*rows)[x * 3 + 1];
            d[2] = (*rows)[x * 3];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    out = std::move(*picture);
    delete rows;
    delete picture;
    return true;
}

}  // namespace skin
