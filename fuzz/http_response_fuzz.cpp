// Whatever a web server sends: the response is read or refused, and its text
// converted, never a crash; addresses taken from it are checked.
// seeds: data/unicode.dat
#include <string_view>

#include "fuzz_support.h"
#include "rtl/http.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    for (bool closed : {false, true}) {
        rtl::HttpResponse response;
        if (rtl::ParseHttpResponse(raw, closed, response) == rtl::HttpParse::Complete) {
            rtl::PageTextTo1251(response.body, response.contentType);
            rtl::Url url;
            rtl::ParseHttpUrl(response.location, url);
        }
    }
    rtl::PageTextTo1251(raw, "");
    rtl::IsWebLink(raw);
    return 0;
}
