#include "rtl/http.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "rtl/encoding.h"

namespace rtl {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = Lower(c);
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != Lower(prefix[i])) return false;
    return true;
}

bool HasUnsafeCharacter(std::string_view text) {
    for (unsigned char c : text)
        if (c <= 0x20 || c == 0x7F || c == '"' || c == '\'' || c == '<' || c == '>' || c == '\\' || c == '`')
            return true;
    return false;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// Decimal digits only, at most `limit`.
bool ParseDecimal(std::string_view text, uint64_t limit, uint64_t& value) {
    if (text.empty()) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > limit) return false;
    }
    return true;
}

bool ParseHex(std::string_view text, uint64_t limit, uint64_t& value) {
    if (text.empty()) return false;
    value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (Lower(c) >= 'a' && Lower(c) <= 'f')
            digit = Lower(c) - 'a' + 10;
        else
            return false;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > limit) return false;
    }
    return true;
}

constexpr uint64_t kMaxBody = 1ull << 31;
constexpr size_t kMaxHeader = 64 * 1024;

// Undoes chunked transfer from `data`; Incomplete while the last chunk has not come.
HttpParse Unchunk(std::string_view data, std::string& body) {
    body.clear();
    size_t pos = 0;
    for (;;) {
        size_t lineEnd = data.find('\n', pos);
        if (lineEnd == std::string_view::npos) return data.size() - pos > 1024 ? HttpParse::Malformed : HttpParse::Incomplete;
        std::string_view sizeText = Trim(data.substr(pos, lineEnd - pos));
        sizeText = Trim(sizeText.substr(0, sizeText.find(';')));
        uint64_t size = 0;
        if (!ParseHex(sizeText, kMaxBody, size)) return HttpParse::Malformed;
        pos = lineEnd + 1;
        if (size == 0) return HttpParse::Complete;  // trailers are not needed
        if (data.size() - pos < size + 1) return HttpParse::Incomplete;
        body.append(data.substr(pos, size));
        pos += size;
        if (data[pos] == '\r') ++pos;
        if (pos >= data.size()) return HttpParse::Incomplete;
        if (data[pos] != '\n') return HttpParse::Malformed;
        ++pos;
    }
}

}  // namespace

bool ParseHttpUrl(std::string_view text, Url& url) {
    if (!StartsWithNoCase(text, "http://")) return false;
    text.remove_prefix(7);
    text = text.substr(0, text.find('#'));
    if (text.empty() || HasUnsafeCharacter(text)) return false;
    size_t hostEnd = text.find_first_of("/?");
    std::string_view authority = text.substr(0, hostEnd);
    std::string_view rest = hostEnd == std::string_view::npos ? std::string_view() : text.substr(hostEnd);
    if (authority.find('@') != std::string_view::npos) return false;
    std::string_view host = authority, portText;
    if (!authority.empty() && authority.front() == '[') {
        size_t close = authority.find(']');
        if (close == std::string_view::npos) return false;
        host = authority.substr(1, close - 1);
        std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') return false;
            portText = after.substr(1);
        }
    } else if (size_t colon = authority.find(':'); colon != std::string_view::npos) {
        host = authority.substr(0, colon);
        portText = authority.substr(colon + 1);
    }
    if (host.empty()) return false;
    uint64_t port = 80;
    if (!portText.empty() && (!ParseDecimal(portText, 65535, port) || port == 0)) return false;
    url.host = std::string(host);
    url.port = static_cast<uint16_t>(port);
    url.target = rest.empty() ? "/" : (rest.front() == '?' ? "/" + std::string(rest) : std::string(rest));
    return true;
}

bool IsWebLink(std::string_view text) {
    std::string_view rest;
    if (StartsWithNoCase(text, "http://"))
        rest = text.substr(7);
    else if (StartsWithNoCase(text, "https://"))
        rest = text.substr(8);
    else
        return false;
    if (rest.empty() || rest.front() == '/' || rest.front() == '?' || rest.front() == '#') return false;
    return !HasUnsafeCharacter(text);
}

HttpParse ParseHttpResponse(std::string_view raw, bool closed, HttpResponse& response) {
    for (;;) {
        size_t headerEnd = raw.find("\r\n\r\n");
        size_t bodyStart = headerEnd == std::string_view::npos ? headerEnd : headerEnd + 4;
        if (size_t lf = raw.find("\n\n"); lf != std::string_view::npos && (bodyStart == std::string_view::npos || lf + 2 < bodyStart)) {
            headerEnd = lf;
            bodyStart = lf + 2;
        }
        if (headerEnd == std::string_view::npos)
            return (closed || raw.size() > kMaxHeader) ? HttpParse::Malformed : HttpParse::Incomplete;
        if (headerEnd > kMaxHeader) return HttpParse::Malformed;

        response = HttpResponse{};
        std::string_view head = raw.substr(0, headerEnd);
        size_t lineEnd = head.find('\n');
        std::string_view statusLine = Trim(head.substr(0, lineEnd));
        // "HTTP/1.1 200 OK"
        if (!StartsWithNoCase(statusLine, "HTTP/")) return HttpParse::Malformed;
        size_t blank = statusLine.find(' ');
        if (blank == std::string_view::npos) return HttpParse::Malformed;
        std::string_view codeText = statusLine.substr(blank + 1, 3);
        uint64_t code = 0;
        if (codeText.size() != 3 || !ParseDecimal(codeText, 999, code) || code < 100) return HttpParse::Malformed;
        response.status = static_cast<int>(code);

        bool chunked = false, hasLength = false;
        uint64_t length = 0;
        std::string_view headers = lineEnd == std::string_view::npos ? std::string_view() : head.substr(lineEnd + 1);
        while (!headers.empty()) {
            size_t end = headers.find('\n');
            std::string_view line = Trim(headers.substr(0, end));
            headers = end == std::string_view::npos ? std::string_view() : headers.substr(end + 1);
            size_t colon = line.find(':');
            if (colon == std::string_view::npos) continue;
            std::string name = LowerAscii(Trim(line.substr(0, colon)));
            std::string_view value = Trim(line.substr(colon + 1));
            if (name == "content-type") {
                response.contentType = std::string(value);
            } else if (name == "location") {
                response.location = std::string(value);
            } else if (name == "transfer-encoding") {
                chunked = LowerAscii(value).find("chunked") != std::string::npos;
            } else if (name == "content-length") {
                if (!ParseDecimal(value, kMaxBody, length)) return HttpParse::Malformed;
                hasLength = true;
            }
        }
        std::string_view data = raw.substr(bodyStart);
        if (code < 200) {  // an interim answer ("100 Continue"): the real one follows
            raw = data;
            continue;
        }
        if (code == 204 || code == 304) return HttpParse::Complete;
        if (chunked) {
            HttpParse state = Unchunk(data, response.body);
            if (state == HttpParse::Incomplete && closed) return HttpParse::Malformed;
            return state;
        }
        if (hasLength) {
            if (data.size() < length) return closed ? HttpParse::Malformed : HttpParse::Incomplete;
            response.body = std::string(data.substr(0, length));
            return HttpParse::Complete;
        }
        if (!closed) return HttpParse::Incomplete;
        response.body = std::string(data);
        return HttpParse::Complete;
    }
}

namespace {

std::string CharsetOf(std::string_view contentType) {
    std::string lower = LowerAscii(contentType);
    size_t at = lower.find("charset=");
    if (at == std::string::npos) return {};
    std::string value;
    for (size_t i = at + 8; i < lower.size(); ++i) {
        char c = lower[i];
        if (c == '"' || c == '\'') {
            if (value.empty()) continue;
            break;
        }
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == ':' || c == '.'))
            break;
        value += c;
    }
    return value;
}

// KOI8-R letters from 0xC0 on, as UTF-16 (the literal keeps its letters
// whatever the compiler's execution character set).
constexpr char16_t kKoi8Letters[] = u"юабцдефгхийклмнопярстужвьызшэщчъЮАБЦДЕФГХИЙКЛМНОПЯРСТУЖВЬЫЗШЭЩЧЪ";

std::string Koi8To1251(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c >= 0xC0)
            out += Utf16ToCp1251Char(kKoi8Letters[c - 0xC0]);
        else if (c == 0xA3)
            out += Utf16ToCp1251Char(u'ё');
        else if (c == 0xB3)
            out += Utf16ToCp1251Char(u'Ё');
        else
            out += '?';
    }
    return out;
}

std::string Latin1To1251(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) out += c < 0x80 ? static_cast<char>(c) : Utf16ToCp1251Char(c);
    return out;
}

}  // namespace

std::string PageTextTo1251(std::string_view body, std::string_view contentType) {
    std::string charset = CharsetOf(contentType);
    const bool bom = body.size() >= 3 && static_cast<unsigned char>(body[0]) == 0xEF &&
                     static_cast<unsigned char>(body[1]) == 0xBB && static_cast<unsigned char>(body[2]) == 0xBF;
    if (charset.empty() && bom) charset = "utf-8";
    if (charset.empty()) charset = CharsetOf(body.substr(0, 4096));  // <meta ... charset=...>
    if (bom && (charset == "utf-8" || charset == "utf8")) body.remove_prefix(3);
    if (charset == "utf-8" || charset == "utf8") return Utf8ToCp1251(body);
    if (charset == "koi8-r" || charset == "koi8-u") return Koi8To1251(body);
    if (charset == "iso-8859-1" || charset == "latin1" || charset == "us-ascii" || charset == "ascii")
        return Latin1To1251(body);
    return std::string(body);
}

namespace {

using Clock = std::chrono::steady_clock;

class Socket {
public:
    ~Socket() {
        if (fd_ >= 0) close(fd_);
    }
    int fd_ = -1;
};

int RemainingMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(std::min<long long>(left, 100)) : 0;
}

bool Cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(); }

// Waits for `events` on the socket in slices of a tenth of a second, so that a
// cancel is seen soon. False with `error` set on timeout, cancel or failure.
bool WaitFor(int fd, short events, Clock::time_point deadline, const std::atomic<bool>* cancel, const char* what,
             std::string& error) {
    for (;;) {
        if (Cancelled(cancel)) {
            error = "прервано";
            return false;
        }
        int slice = RemainingMs(deadline);
        if (slice == 0) {
            error = std::string("нет ответа сервера (") + what + ")";
            return false;
        }
        pollfd p{fd, events, 0};
        int n = poll(&p, 1, slice);
        if (n < 0 && errno != EINTR) {
            error = std::strerror(errno);
            return false;
        }
        if (n > 0) return true;
    }
}

bool Connect(const Url& url, const HttpLimits& limits, const std::atomic<bool>* cancel, Socket& sock,
             std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(url.port);
    if (int rc = getaddrinfo(url.host.c_str(), port.c_str(), &hints, &found); rc != 0) {
        error = "адрес " + url.host + " не найден";
        return false;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(limits.connectMs);
    error = "нет соединения с " + url.host;
    for (addrinfo* a = found; a; a = a->ai_next) {
        int fd = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (fd < 0) continue;
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
        if (connect(fd, a->ai_addr, a->ai_addrlen) != 0 && errno != EINPROGRESS) {
            close(fd);
            continue;
        }
        std::string waitError;
        int soError = 0;
        socklen_t len = sizeof soError;
        if (WaitFor(fd, POLLOUT, deadline, cancel, "соединение", waitError) &&
            getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) == 0 && soError == 0) {
            sock.fd_ = fd;
            freeaddrinfo(found);
            return true;
        }
        if (!waitError.empty()) error = waitError;
        close(fd);
        if (Cancelled(cancel)) break;
    }
    freeaddrinfo(found);
    return false;
}

// The program's connection: a socket, with the read time counted from the
// request to the last byte.
class SocketConnection : public HttpConnection {
public:
    SocketConnection(const HttpLimits& limits, const std::atomic<bool>* cancel) : limits_(limits), cancel_(cancel) {}

    bool Open(const Url& url, std::string& error) {
        if (!Connect(url, limits_, cancel_, sock_, error)) return false;
        deadline_ = Clock::now() + std::chrono::milliseconds(limits_.readMs);
        return true;
    }

    bool Send(std::string_view request, std::string& error) override {
        size_t sent = 0;
        while (sent < request.size()) {
            if (!WaitFor(sock_.fd_, POLLOUT, deadline_, cancel_, "запрос", error)) return false;
            ssize_t n = send(sock_.fd_, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                error = std::strerror(errno);
                return false;
            }
            if (n > 0) sent += static_cast<size_t>(n);
        }
        return true;
    }

    bool Receive(std::string& received, bool& closed, std::string& error) override {
        char buffer[16384];
        for (;;) {
            if (!WaitFor(sock_.fd_, POLLIN, deadline_, cancel_, "страница", error)) return false;
            ssize_t n = recv(sock_.fd_, buffer, sizeof buffer, 0);
            if (n < 0) {
                if (errno == EAGAIN || errno == EINTR) continue;
                error = std::strerror(errno);
                return false;
            }
            closed = n == 0;
            received.append(buffer, static_cast<size_t>(n));
            return true;
        }
    }

private:
    const HttpLimits& limits_;
    const std::atomic<bool>* cancel_;
    Socket sock_;
    Clock::time_point deadline_;
};

// One request and its response; false with `error` when it did not come whole.
bool Exchange(const Url& url, const HttpLimits& limits, HttpConnection& connection, HttpResponse& response,
              std::string& error) {
    std::string hostHeader = url.host.find(':') != std::string::npos ? "[" + url.host + "]" : url.host;
    if (url.port != 80) hostHeader += ":" + std::to_string(url.port);
    const std::string request = "GET " + url.target + " HTTP/1.1\r\nHost: " + hostHeader +
                                "\r\nUser-Agent: NorvixSim\r\nAccept: text/html, */*\r\nConnection: close\r\n\r\n";
    if (!connection.Send(request, error)) return false;
    std::string raw;
    for (;;) {
        bool closed = false;
        if (!connection.Receive(raw, closed, error)) return false;
        if (raw.size() > limits.maxBytes) {
            error = "страница слишком велика";
            return false;
        }
        HttpParse state = ParseHttpResponse(raw, closed, response);
        if (state == HttpParse::Complete) return true;
        // Nothing more can come after the close: what is still incomplete then is broken.
        if (state == HttpParse::Malformed || closed) {
            error = raw.empty() ? "сервер закрыл соединение" : "неверный ответ сервера";
            return false;
        }
    }
}

}  // namespace

HttpResult HttpGetOver(const std::string& address, const HttpLimits& limits, const HttpConnector& connect) {
    HttpResult result;
    Url url;
    if (!ParseHttpUrl(address, url)) {
        result.error = "неверный адрес " + address;
        return result;
    }
    for (int redirects = 0;; ++redirects) {
        HttpResponse response;
        std::unique_ptr<HttpConnection> connection = connect(url, result.error);
        if (!connection || !Exchange(url, limits, *connection, response, result.error)) return result;
        result.status = response.status;
        const bool moved = response.status == 301 || response.status == 302 || response.status == 303 ||
                           response.status == 307 || response.status == 308;
        if (moved && !response.location.empty() && redirects < limits.maxRedirects) {
            Url next;
            if (!response.location.empty() && response.location.front() == '/') {
                next = url;
                next.target = response.location;
                if (HasUnsafeCharacter(next.target)) {
                    result.error = "неверный адрес " + response.location;
                    return result;
                }
            } else if (!ParseHttpUrl(response.location, next)) {
                result.error = "неверный адрес " + response.location;
                return result;
            }
            url = next;
            continue;
        }
        if (response.status < 200 || response.status > 299) {
            result.error = "ответ сервера " + std::to_string(response.status);
            return result;
        }
        result.ok = true;
        result.text = PageTextTo1251(response.body, response.contentType);
        return result;
    }
}

HttpResult HttpGet(const std::string& address, const HttpLimits& limits, const std::atomic<bool>* cancel) {
    return HttpGetOver(address, limits, [&](const Url& url, std::string& error) -> std::unique_ptr<HttpConnection> {
        auto connection = std::make_unique<SocketConnection>(limits, cancel);
        if (!connection->Open(url, error)) return nullptr;
        return connection;
    });
}

}  // namespace rtl
