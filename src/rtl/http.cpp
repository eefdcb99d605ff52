#include "rtl/http.h"

#include <curl/curl.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

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

}  // namespace

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

// The login ends at the last '@' before the path, so a password that holds
// an '@' is masked whole; an '@' in the path or query is no login.
std::string WithoutPassword(std::string_view address) {
    const size_t scheme = address.find("://");
    const size_t start = scheme == std::string_view::npos ? 0 : scheme + 3;
    const size_t at = address.substr(0, address.find_first_of("/?#", start)).rfind('@');
    const size_t colon = address.find(':', start);
    if (at == std::string_view::npos || at < start || colon >= at) return std::string(address);
    return std::string(address.substr(0, colon + 1)) + "***" + std::string(address.substr(at));
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
    const bool bom = body.starts_with(kUtf8ByteOrderMark);
    if (charset.empty() && bom) charset = "utf-8";
    if (charset.empty()) charset = CharsetOf(body.substr(0, 4096));  // <meta ... charset=...>
    if (bom && (charset == "utf-8" || charset == "utf8")) body.remove_prefix(kUtf8ByteOrderMark.size());
    if (charset == "utf-8" || charset == "utf8") return Utf8ToCp1251(body);
    if (charset == "koi8-r" || charset == "koi8-u") return Koi8To1251(body);
    if (charset == "iso-8859-1" || charset == "latin1" || charset == "us-ascii" || charset == "ascii")
        return Latin1To1251(body);
    return std::string(body);
}

namespace {

bool Cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(); }

// One easy handle with what its callbacks gather.
struct Transfer {
    size_t maxBytes = 0;
    std::string body;
    bool tooLarge = false;
    size_t maxHeaderBytes = 0;
    size_t headerBytes = 0;  // of the answer being read
    bool headersTooLarge = false;
    char errors[CURL_ERROR_SIZE] = {};
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const size_t n = size * count;
    // Counted as unpacked: a small packed page cannot grow past the limit.
    if (n > t.maxBytes - t.body.size()) {
        t.tooLarge = true;
        return 0;
    }
    t.body.append(data, n);
    return n;
}

// Every answer of a redirect chain starts again from an empty body and its
// own count of header bytes.
size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (StartsWithNoCase(std::string_view(data, n), "HTTP/")) {
        t.body.clear();
        t.headerBytes = 0;
    }
    if (n > t.maxHeaderBytes - t.headerBytes) {
        t.headersTooLarge = true;
        return 0;
    }
    t.headerBytes += n;
    return n;
}

std::string HostOf(const std::string& address) {
    std::string host = address;
    if (CURLU* url = curl_url()) {
        char* part = nullptr;
        if (curl_url_set(url, CURLUPART_URL, address.c_str(), 0) == CURLUE_OK &&
            curl_url_get(url, CURLUPART_HOST, &part, 0) == CURLUE_OK && part)
            host = part;
        curl_free(part);
        curl_url_cleanup(url);
    }
    return host;
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

std::string CertificateProblem(std::string_view detail) {
    if (Contains(detail, "subject name") || Contains(detail, "does not match"))
        return "сертификат выдан другому имени";
    if (Contains(detail, "expired")) return "срок сертификата истёк";
    if (Contains(detail, "issuer") || Contains(detail, "self-signed") || Contains(detail, "self signed"))
        return "сертификат выдан неизвестным центром сертификации";
    return "сертификат не прошёл проверку";
}

// The failure in the player's words. `status` becomes 0 for failures where
// the site gave no answer: the callers tell "site down" from "page bad" by it.
void Describe(CURLcode code, CURL* easy, const Transfer& t, const HttpLimits& limits, HttpResult& result) {
    const char* last = nullptr;
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &last);
    const std::string host = HostOf(last ? last : "");
    const std::string detail = t.errors[0] ? t.errors : curl_easy_strerror(code);
    auto noAnswer = [&](std::string text, HttpFailure failure = HttpFailure::kNoAnswer) {
        result.status = 0;
        result.failure = failure;
        result.error = std::move(text);
    };
    // Refused before a request: by the first address; after an answer: by a redirect's target.
    auto refusedAddress = [&](std::string text) {
        result.failure = result.status != 0 ? HttpFailure::kPage : HttpFailure::kRequest;
        result.error = std::move(text);
    };
    switch (code) {
    case CURLE_WRITE_ERROR:
        if (t.tooLarge) {
            result.error = "страница слишком велика";
            return;
        }
        if (t.headersTooLarge) {
            result.error = "заголовки ответа слишком велики (больше " + std::to_string(limits.maxHeaderBytes) + " байт)";
            return;
        }
        break;
    case CURLE_LOGIN_DENIED:  // the address, or a redirect's target, has a login
        return refusedAddress("адрес " + WithoutPassword(last ? last : "") + " не загружен: загрузчик страниц не принимает логины");
    case CURLE_TOO_MANY_REDIRECTS:
        result.error = "перенаправления по кругу (больше " + std::to_string(limits.maxRedirects) + ")";
        return;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        if (char* next = nullptr; curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &next) == CURLE_OK && next)
            return refusedAddress("неверный адрес " + WithoutPassword(next));
        return refusedAddress("неверный адрес " + WithoutPassword(last ? last : ""));
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_BAD_CONTENT_ENCODING:
        if (result.status != 0) {
            result.error = code == CURLE_BAD_CONTENT_ENCODING ? "страница не распаковывается (" + detail + ")"
                                                               : "страница пришла не вся: сервер оборвал соединение";
            return;
        }
        return noAnswer("сервер закрыл соединение");
    case CURLE_OPERATION_TIMEDOUT: {
        curl_off_t connected = 0;
        curl_easy_getinfo(easy, CURLINFO_CONNECT_TIME_T, &connected);
        if (result.status != 0 && connected != 0) {
            result.error = "нет ответа сервера (страница пришла не вся)";
            return;
        }
        return noAnswer(connected == 0 ? "нет ответа сервера (соединение с " + host + ")" : "нет ответа сервера (страница)");
    }
    case CURLE_ABORTED_BY_CALLBACK:
        result.error = "прервано";
        return;
    case CURLE_COULDNT_RESOLVE_HOST:
        return noAnswer("адрес " + host + " не найден");
    case CURLE_COULDNT_RESOLVE_PROXY:
        return noAnswer("прокси-сервер не найден (" + detail + ")");
    case CURLE_COULDNT_CONNECT: {
        long osError = 0;
        curl_easy_getinfo(easy, CURLINFO_OS_ERRNO, &osError);
        return noAnswer("нет соединения с " + host +
                        (osError == ECONNREFUSED ? ": сервер отказал в соединении" : " (" + detail + ")"));
    }
    case CURLE_PEER_FAILED_VERIFICATION:
        return noAnswer("сертификат сайта " + host + " не принят: " + CertificateProblem(detail) + " (" + detail + ")",
                        HttpFailure::kCertificate);
    case CURLE_SSL_CACERT_BADFILE:
        return noAnswer("сертификаты центров сертификации не прочитаны (" + detail + ")", HttpFailure::kRequest);
    case CURLE_SSL_CONNECT_ERROR:
        return noAnswer("защищённое соединение с " + host + " не установлено (" + detail + ")");
    case CURLE_GOT_NOTHING:
        return noAnswer("сервер закрыл соединение");
    case CURLE_WEIRD_SERVER_REPLY:
        result.error = "неверный ответ сервера";
        return;
    default:
        break;
    }
    result.error = detail;
}

// Answers the first option that libcurl refused, "" when it took them all:
// a load never runs on the library's own defaults in place of ours (no time
// limit, redirects to any protocol it knows).
std::string SetUp(CURL* easy, const std::string& address, const HttpLimits& limits, Transfer& t) {
    std::string refused;
    auto set = [&](CURLoption option, const char* name, auto value) {
        if (!refused.empty()) return;
        if (const CURLcode code = curl_easy_setopt(easy, option, value); code != CURLE_OK)
            refused = name + std::string(" (") + curl_easy_strerror(code) + ")";
    };
#define NORVIX_SET(option, value) set(option, #option, value)
    NORVIX_SET(CURLOPT_ERRORBUFFER, t.errors);
    NORVIX_SET(CURLOPT_URL, address.c_str());
    NORVIX_SET(CURLOPT_PROTOCOLS_STR, "http,https");
    NORVIX_SET(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    NORVIX_SET(CURLOPT_DISALLOW_USERNAME_IN_URL, 1L);  // checked again for every redirect's target
    NORVIX_SET(CURLOPT_FOLLOWLOCATION, 1L);
    NORVIX_SET(CURLOPT_MAXREDIRS, static_cast<long>(limits.maxRedirects));
    NORVIX_SET(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectMs));
    NORVIX_SET(CURLOPT_TIMEOUT_MS, static_cast<long>(limits.readMs));
    NORVIX_SET(CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
    NORVIX_SET(CURLOPT_USERAGENT, "NorvixSim");
    NORVIX_SET(CURLOPT_NOSIGNAL, 1L);  // runs on a thread of its own
    NORVIX_SET(CURLOPT_WRITEFUNCTION, &OnBody);
    NORVIX_SET(CURLOPT_WRITEDATA, &t);
    NORVIX_SET(CURLOPT_HEADERFUNCTION, &OnHeader);
    NORVIX_SET(CURLOPT_HEADERDATA, &t);
    // Added to the system's store (its folder of certificates stays searched), never in place of checking.
    if (const char* extra = std::getenv("NORVIX_EXTRA_CA_FILE"); extra && *extra) NORVIX_SET(CURLOPT_CAINFO, extra);
#undef NORVIX_SET
    return refused;
}

// Runs the transfer in slices of a tenth of a second, so that a cancel is seen soon.
CURLcode Perform(CURL* easy, const std::atomic<bool>* cancel) {
    CURLM* multi = curl_multi_init();
    if (!multi) return CURLE_OUT_OF_MEMORY;
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
        curl_multi_cleanup(multi);
        return CURLE_FAILED_INIT;
    }
    CURLcode code = CURLE_ABORTED_BY_CALLBACK;
    for (int running = 1; running && !Cancelled(cancel);) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        if (running) curl_multi_poll(multi, nullptr, 0, 100, nullptr);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued))
            if (message->msg == CURLMSG_DONE) code = message->data.result;
    }
    curl_multi_remove_handle(multi, easy);
    curl_multi_cleanup(multi);
    return code;
}

}  // namespace

HttpResult HttpGet(const std::string& address, const HttpLimits& limits, const std::atomic<bool>* cancel) {
    HttpResult result;
    result.failure = HttpFailure::kRequest;  // until a request has gone out
    if (!IsWebLink(address)) {
        result.error = "неверный адрес " + WithoutPassword(address);
        return result;
    }
    // A time of 0 would be none at all for libcurl.
    for (const auto& [value, name] : {std::pair{limits.connectMs, "время соединения"}, {limits.readMs, "время загрузки"}})
        if (value <= 0) {
            result.error = "неверный предел загрузки: " + std::string(name) + " " + std::to_string(value) + " мс";
            return result;
        }
    if (limits.maxRedirects < 0) {
        result.error = "неверный предел загрузки: перенаправлений " + std::to_string(limits.maxRedirects);
        return result;
    }
    static const CURLcode started = curl_global_init(CURL_GLOBAL_DEFAULT);
    std::unique_ptr<CURL, void (*)(CURL*)> easy(started == CURLE_OK ? curl_easy_init() : nullptr, &curl_easy_cleanup);
    if (!easy) {
        result.error = "нет памяти для загрузки страницы";
        return result;
    }
    Transfer t;
    t.maxBytes = limits.maxBytes;
    t.maxHeaderBytes = limits.maxHeaderBytes;
    if (const std::string refused = SetUp(easy.get(), address, limits, t); !refused.empty()) {
        result.error = "libcurl не принял параметр " + refused;
        return result;
    }
    result.failure = HttpFailure::kNone;
    const CURLcode code = Perform(easy.get(), cancel);
    long status = 0;
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
    result.status = static_cast<int>(status);
    if (code != CURLE_OK) {
        Describe(code, easy.get(), t, limits, result);
        if (result.failure == HttpFailure::kNone)
            result.failure = result.status != 0 ? HttpFailure::kPage : HttpFailure::kNoAnswer;
        return result;
    }
    if (status < 200 || status > 299) {
        result.failure = HttpFailure::kPage;
        result.error = "ответ сервера " + std::to_string(status);
        return result;
    }
    const char* type = nullptr;
    curl_easy_getinfo(easy.get(), CURLINFO_CONTENT_TYPE, &type);
    result.ok = true;
    result.text = PageTextTo1251(t.body, type ? type : "");
    return result;
}

}  // namespace rtl
