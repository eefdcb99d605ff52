// Loading a web page over plain HTTP: the address, the request with bounded
// connect and read times, the response (fixed length, chunked or up to the
// close) and the page text turned into the program's code page 1251.
// Window-free: the hidden page loaders of the windows run it on a thread of
// their own, so the windows stay responsive while a page loads.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace rtl {

struct Url {
    std::string host;
    uint16_t port = 80;
    std::string target = "/";  // path and query, always starting with '/'
};

// "http://host[:port][/path][?query]"; false for anything else (other
// schemes, no host, a bad port, blanks or control characters).
bool ParseHttpUrl(std::string_view text, Url& url);

// True for an address of the web ("http://" or "https://", a host, no blanks,
// quotes or control characters): what may be handed to a browser.
bool IsWebLink(std::string_view text);

struct HttpResponse {
    int status = 0;
    std::string contentType;
    std::string location;
    std::string body;  // as it came, chunked transfer undone
};

enum class HttpParse { Incomplete, Complete, Malformed };

// Reads a response from the bytes received so far. `closed` says that the
// server closed the connection after them: a body without a length then ends
// there, and a body shorter than its stated length is malformed.
HttpParse ParseHttpResponse(std::string_view raw, bool closed, HttpResponse& response);

// The page text in code page 1251, from the charset that the Content-Type
// header names or, without one, a byte order mark or the page's own meta
// tag. UTF-8 and KOI8-R are converted; 1251 and unknown charsets are kept.
std::string PageTextTo1251(std::string_view body, std::string_view contentType);

struct HttpLimits {
    int connectMs = 10000;  // to connect
    int readMs = 20000;     // from the request to the last byte of the response
    size_t maxBytes = 16u << 20;
    int maxRedirects = 5;
};

struct HttpResult {
    bool ok = false;    // a 2xx response was read whole
    int status = 0;     // the last status line's code; 0 when none came
    std::string text;   // the page in code page 1251 (only when ok)
    std::string error;  // why not, when not ok
};

// GET with the limits above; `cancel` (may be null) stops it within about a
// tenth of a second. Blocking: run it off the GUI thread.
HttpResult HttpGet(const std::string& url, const HttpLimits& limits = {},
                   const std::atomic<bool>* cancel = nullptr);

}  // namespace rtl
