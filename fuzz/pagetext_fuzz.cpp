// Whatever a web server sends as a page and its Content-Type (the input's
// first line): its text becomes the program's, never a crash; an address
// taken for a web link has no blank or control character in it, and an
// address as shown holds no password.
// seeds: data/unicode.dat
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "rtl/http.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    const size_t lineEnd = raw.find('\n');
    const std::string_view type = raw.substr(0, lineEnd);
    const std::string_view body = lineEnd == std::string_view::npos ? std::string_view() : raw.substr(lineEnd + 1);
    rtl::PageTextTo1251(body, type);
    rtl::PageTextTo1251(raw, "");
    // What is shown of an address keeps no password to mask again.
    const std::string shown = rtl::WithoutPassword(raw);
    if (rtl::WithoutPassword(shown) != shown) std::abort();
    if (rtl::IsWebLink(raw)) {
        for (unsigned char c : raw)
            if (c <= 0x20 || c == 0x7F) std::abort();
    }
    return 0;
}
