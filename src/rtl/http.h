// Loading a web page over plain HTTP: the address, the request with bounded
// connect and read times, the response (fixed length, chunked or up to the
// close) and the page text turned into the program's code page 1251.
// Window-free: the hidden page loaders of the windows run it on a thread of
// their own, so the windows stay responsive while a page loads.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
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

// One connection to a server as the request and its response need it: a
// socket with its time limits in HttpGet, anything that delivers bytes
// elsewhere.
class HttpConnection {
public:
    virtual ~HttpConnection() = default;
    // Sends the whole request; false with `error` set when it could not.
    virtual bool Send(std::string_view request, std::string& error) = 0;
    // Appends the bytes that came next to `received`, or sets `closed` when
    // the server closed the connection; false with `error` set on a failure,
    // a timeout or a cancel.
    virtual bool Receive(std::string& received, bool& closed, std::string& error) = 0;
};

// Opens a connection to the address's server; null with `error` set when it cannot.
using HttpConnector = std::function<std::unique_ptr<HttpConnection>(const Url& url, std::string& error)>;

// HttpGet over the connections `connect` opens, one for each request
// (redirects included); only maxBytes and maxRedirects of the limits apply.
HttpResult HttpGetOver(const std::string& url, const HttpLimits& limits, const HttpConnector& connect);

}  // namespace rtl
