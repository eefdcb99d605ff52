// Loading pages over HTTP from a server on 127.0.0.1 that the test starts:
// what arrives, in which text, and how every failure is reported.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "rtl/encoding.h"
#include "rtl/http.h"
#include "support/http_server.h"

using rtl::HttpGet;
using rtl::HttpLimits;
using rtl::HttpParse;
using rtl::HttpResponse;
using rtl::ParseHttpResponse;

namespace {

const std::string kRussian = "Скорострел по Крейсер";  // code page 1251, as the program reads it

std::string Koi8(const std::string& text1251) {
    // Windows-1251 to KOI8-R for the Russian letters of the test text.
    static const std::u16string letters = u"юабцдефгхийклмнопярстужвьызшэщчъЮАБЦДЕФГХИЙКЛМНОПЯРСТУЖВЬЫЗШЭЩЧЪ";
    std::string out;
    for (char16_t c : rtl::Cp1251ToUtf16(text1251)) {
        size_t at = letters.find(c);
        out += at == std::u16string::npos ? static_cast<char>(c) : static_cast<char>(0xC0 + at);
    }
    return out;
}

}  // namespace

TEST(HttpGet, PagesArriveInTheProgramsTextWhateverTheServerSends) {
    testhttp::Server server;
    server.Set("/utf8", {rtl::Cp1251ToUtf8(kRussian)});
    server.Set("/cp1251", {kRussian, "text/html; charset=windows-1251"});
    server.Set("/koi8", {Koi8(kRussian), "text/html; charset=\"KOI8-R\""});
    server.Set("/meta", {"<meta charset=utf-8>" + rtl::Cp1251ToUtf8(kRussian), "text/html"});
    server.Set("/bom", {"\xEF\xBB\xBF" + rtl::Cp1251ToUtf8(kRussian), "text/plain"});
    testhttp::Page chunked{rtl::Cp1251ToUtf8(kRussian + "\r\n" + kRussian)};
    chunked.chunked = true;
    server.Set("/chunked", chunked);
    testhttp::Page moved{"", "text/html", 302};
    moved.location = "/utf8";
    server.Set("/moved", moved);
    server.Set("/infos.php?gid=205&notopnav=true", {"unit"});

    const std::string base = server.Address();
    for (const char* path : {"utf8", "cp1251", "koi8", "bom", "moved"}) {
        rtl::HttpResult page = HttpGet(base + path);
        ASSERT_TRUE(page.ok) << path << ": " << page.error;
        EXPECT_EQ(page.status, 200) << path;
        EXPECT_EQ(page.text, kRussian) << path;
    }
    EXPECT_EQ(HttpGet(base + "meta").text, "<meta charset=utf-8>" + kRussian);
    EXPECT_EQ(HttpGet(base + "chunked").text, kRussian + "\r\n" + kRussian);
    EXPECT_EQ(HttpGet(base + "infos.php?gid=205&notopnav=true").text, "unit");
    EXPECT_EQ(server.Requests().back(), "/infos.php?gid=205&notopnav=true");
    EXPECT_EQ(server.Requests()[4], "/moved");
    EXPECT_EQ(server.Requests()[5], "/utf8");
}

TEST(HttpGet, FailuresAreReportedWithinTheirTimeAndNeverAsAPage) {
    testhttp::Server server;
    testhttp::Page closed;
    closed.closeAtOnce = true;
    server.Set("/closed", closed);
    testhttp::Page slow{"late"};
    slow.delayMs = 3000;
    server.Set("/slow", slow);
    testhttp::Page loop{"", "text/html", 301};
    loop.location = "/loop";
    server.Set("/loop", loop);
    const std::string base = server.Address();

    rtl::HttpResult missing = HttpGet(base + "nothing");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.status, 404);
    EXPECT_TRUE(missing.text.empty());

    EXPECT_FALSE(HttpGet(base + "closed").ok);
    EXPECT_FALSE(HttpGet(base + "loop").ok);
    // Redirects up to the limit are followed, one more is not; 300 is no page.
    for (int k = 1; k <= 3; ++k) {
        testhttp::Page step{"", "text/html", 302};
        step.location = k < 3 ? "/hop" + std::to_string(k + 1) : "/end";
        server.Set("/hop" + std::to_string(k), step);
    }
    server.Set("/end", {"arrived"});
    server.Set("/choices", {"one or another", "text/html", 300});
    HttpLimits twoHops;
    twoHops.maxRedirects = 2;
    EXPECT_EQ(HttpGet(base + "hop2", twoHops).text, "arrived");
    EXPECT_FALSE(HttpGet(base + "hop1", twoHops).ok);
    const rtl::HttpResult choices = HttpGet(base + "choices");
    EXPECT_FALSE(choices.ok);
    EXPECT_EQ(choices.status, 300);
    EXPECT_TRUE(choices.text.empty());
    EXPECT_FALSE(HttpGet("ftp://127.0.0.1/").ok);

    HttpLimits quick;
    quick.readMs = 300;
    auto start = std::chrono::steady_clock::now();
    rtl::HttpResult late = HttpGet(base + "slow", quick);
    EXPECT_FALSE(late.ok);
    EXPECT_FALSE(late.error.empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));

    std::atomic<bool> cancel{false};
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        cancel = true;
    });
    start = std::chrono::steady_clock::now();
    EXPECT_FALSE(HttpGet(base + "slow", {}, &cancel).ok);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    canceller.join();

    // Nobody listens on the port of a server that has stopped.
    std::string gone;
    {
        testhttp::Server stopped;
        gone = stopped.Address();
    }
    EXPECT_FALSE(HttpGet(gone).ok);
}

TEST(HttpResponse, LengthsChunksAndBrokenAnswers) {
    HttpResponse r;
    EXPECT_EQ(ParseHttpResponse("HTTP/1.1 200 OK\r\nContent-Len", false, r), HttpParse::Incomplete);
    EXPECT_EQ(ParseHttpResponse("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nabc", false, r), HttpParse::Incomplete);
    EXPECT_EQ(ParseHttpResponse("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nabc", true, r), HttpParse::Malformed);
    ASSERT_EQ(ParseHttpResponse("HTTP/1.1 200 OK\r\ncontent-length: 3\r\n\r\nabcdef", false, r), HttpParse::Complete);
    EXPECT_EQ(r.body, "abc");
    // A blank line inside the body is the body's.
    ASSERT_EQ(ParseHttpResponse("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\na\n\nb", false, r), HttpParse::Complete);
    EXPECT_EQ(r.body, "a\n\nb");
    // A header that never ends is refused once it is too long to be one, without waiting for the close.
    EXPECT_EQ(ParseHttpResponse("HTTP/1.1 200 OK\r\nX: " + std::string(70000, 'x'), false, r), HttpParse::Malformed);
    EXPECT_EQ(ParseHttpResponse("HTTP/1.1 200 OK\r\nX: " + std::string(70000, 'x') + "\r\n\r\nbody", true, r),
              HttpParse::Malformed);
    // Without a length the body runs to the close.
    EXPECT_EQ(ParseHttpResponse("HTTP/1.0 200 OK\n\nabc", false, r), HttpParse::Incomplete);
    ASSERT_EQ(ParseHttpResponse("HTTP/1.0 200 OK\n\nabc", true, r), HttpParse::Complete);
    EXPECT_EQ(r.body, "abc");
    ASSERT_EQ(ParseHttpResponse("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 404 No\r\nContent-Length: 0\r\n\r\n", false, r),
              HttpParse::Complete);
    EXPECT_EQ(r.status, 404);
    // Answers that never have a body are whole at their header.
    for (const char* empty : {"HTTP/1.1 204 No Content\r\n\r\n", "HTTP/1.1 304 Not Modified\r\n\r\n"})
        EXPECT_EQ(ParseHttpResponse(empty, false, r), HttpParse::Complete) << empty;

    const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4;x=1\r\nabcd\r\n2\r\nef\r\n0\r\n\r\n";
    ASSERT_EQ(ParseHttpResponse(chunked, false, r), HttpParse::Complete);
    EXPECT_EQ(r.body, "abcdef");
    ASSERT_EQ(ParseHttpResponse("HTTP/1.1 200 OK\r\nTransfer-Encoding: x-zip, Chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n",
                                false, r),
              HttpParse::Complete);
    EXPECT_EQ(r.body, "abc");  // chunked as the last of several codings
    EXPECT_EQ(ParseHttpResponse(chunked.substr(0, chunked.size() - 8), false, r), HttpParse::Incomplete);
    EXPECT_EQ(ParseHttpResponse(chunked.substr(0, chunked.size() - 8), true, r), HttpParse::Malformed);
    // Sizes in either case up to f; chunks ended by a bare LF.
    ASSERT_EQ(ParseHttpResponse("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nF\r\n0123456789abcde\r\n"
                                "f\r\n0123456789ABCDE\r\n0\r\n\r\n",
                                false, r),
              HttpParse::Complete);
    EXPECT_EQ(r.body, "0123456789abcde0123456789ABCDE");
    ASSERT_EQ(ParseHttpResponse("HTTP/1.1 200 OK\nTransfer-Encoding: chunked\n\n4\nabcd\n1\ne\n0\n\n", false, r),
              HttpParse::Complete);
    EXPECT_EQ(r.body, "abcde");

    for (const char* broken : {"garbage\r\n\r\n", "HTTP/1.1 abc\r\n\r\n", "HTTP/1.1 200\r\nContent-Length: -1\r\n\r\n",
                               "HTTP/1.1 200\r\nContent-Length: 99999999999999999999\r\n\r\n",
                               "HTTP/1.1 200\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n",
                               "HTTP/1.1 200\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabcX0\r\n\r\n",
                               "HTTP/1.1 099 Low\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx", "HTTP/1.1 99 Low\r\n\r\n",
                               "HTTP/1.1 1000 High\r\n\r\n"})
        EXPECT_EQ(ParseHttpResponse(broken, true, r), HttpParse::Malformed) << broken;
    // A chunk size line with a long extension is waited for up to 1024 bytes; past that it is refused.
    const std::string head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3;";
    EXPECT_EQ(ParseHttpResponse(head + std::string(500, 'x'), false, r), HttpParse::Incomplete);
    EXPECT_EQ(ParseHttpResponse(head + std::string(1100, 'x'), false, r), HttpParse::Malformed);
    ASSERT_EQ(ParseHttpResponse(head + std::string(500, 'x') + "\r\nabc\r\n0\r\n\r\n", false, r), HttpParse::Complete);
    EXPECT_EQ(r.body, "abc");
}

TEST(HttpResponse, PagesOfOtherCodePagesBecomeTheProgramsText) {
    EXPECT_EQ(rtl::PageTextTo1251("\xA3\xB3", "text/html; charset=koi8-r"), "ёЁ");
    // The first and the last letter of the table; Ukrainian pages share the Russian letters.
    EXPECT_EQ(rtl::PageTextTo1251("\xC0\xFF\xE0\xDF", "text/html; charset=koi8-u"), "юЪЮъ");
    EXPECT_EQ(rtl::PageTextTo1251("a\x80\xBF", "text/html; charset=koi8-r"), "a??");  // box drawing
    EXPECT_EQ(rtl::PageTextTo1251("a\xA0\xE9", "text/plain; charset=ISO-8859-1"), "a\xA0?");
    EXPECT_EQ(rtl::PageTextTo1251("\xEF\xBB\xBF\xD0\x96", "text/html; charset='utf-8'"), "Ж");
    EXPECT_EQ(rtl::PageTextTo1251("\xD0\x96", "text/html; charset=UTF8"), "Ж");
    EXPECT_EQ(rtl::PageTextTo1251("Ж", "text/html; charset=windows-1251"), "Ж");
    // The server's charset wins over the page's own meta tag.
    EXPECT_EQ(rtl::PageTextTo1251("<meta charset=utf-8>\xD0\x96", "text/html; charset=windows-1251"),
              "<meta charset=utf-8>\xD0\x96");
}

TEST(HttpAddresses, OnlyPlainWebAddressesAreTaken) {
    rtl::Url url;
    ASSERT_TRUE(rtl::ParseHttpUrl("http://127.0.0.1:8080/infos.php?gid=1", url));
    EXPECT_EQ(url.host, "127.0.0.1");
    EXPECT_EQ(url.port, 8080);
    EXPECT_EQ(url.target, "/infos.php?gid=1");
    ASSERT_TRUE(rtl::ParseHttpUrl("http://[::1]:8080/x", url));
    EXPECT_EQ(url.host, "::1");
    EXPECT_EQ(url.port, 8080);
    EXPECT_FALSE(rtl::ParseHttpUrl("http://[::1]x/", url));
    ASSERT_TRUE(rtl::ParseHttpUrl("HTTP://[::1]?x#frag", url));
    EXPECT_EQ(url.host, "::1");
    EXPECT_EQ(url.port, 80);
    EXPECT_EQ(url.target, "/?x");
    ASSERT_TRUE(rtl::ParseHttpUrl("http://h:65535", url));
    EXPECT_EQ(url.port, 65535);
    for (const char* bad : {"https://host/", "http://", "http://:80/", "http://host:0/", "http://host:65536/",
                            "http://user@host/", "http://ho st/", "http://host/\r\nX: 1"})
        EXPECT_FALSE(rtl::ParseHttpUrl(bad, url)) << bad;

    EXPECT_TRUE(rtl::IsWebLink("http://host/build.zip"));
    EXPECT_TRUE(rtl::IsWebLink("https://host/db.rar?x=1"));
    for (const char* bad : {"file:///etc/passwd", "javascript:alert(1)", "http://", "https:///x", "http://a b",
                            "http://host/\"; rm -rf ~", "-http://host", "http://host/\n"})
        EXPECT_FALSE(rtl::IsWebLink(bad)) << bad;
}

namespace {

// A server as a script: the answer to each request target, delivered whole
// and then closed; the requests as they were sent.
struct ScriptedServer {
    std::map<std::string, std::string> answers;
    std::vector<std::string> requests;

    rtl::HttpResult Get(const std::string& address, const HttpLimits& limits = {}) {
        return rtl::HttpGetOver(address, limits,
                                [this](const rtl::Url& url, std::string&) -> std::unique_ptr<rtl::HttpConnection> {
                                    return std::make_unique<Connection>(*this, url.target);
                                });
    }

    class Connection : public rtl::HttpConnection {
    public:
        Connection(ScriptedServer& server, std::string target) : server_(server), target_(std::move(target)) {}
        bool Send(std::string_view request, std::string&) override {
            server_.requests.emplace_back(request);
            return true;
        }
        bool Receive(std::string& received, bool& closed, std::string&) override {
            if (sent_) {
                closed = true;
                return true;
            }
            sent_ = true;
            received += server_.answers[target_];
            return true;
        }

    private:
        ScriptedServer& server_;
        std::string target_;
        bool sent_ = false;
    };
};

std::string Answer(const std::string& statusLine, const std::string& headers, const std::string& body) {
    return "HTTP/1.1 " + statusLine + "\r\n" + headers + "Content-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

}  // namespace

TEST(HttpExchange, RequestsNameTheirHostAsTheServerExpectsIt) {
    ScriptedServer server;
    server.answers["/p"] = Answer("200 OK", "", "x");
    for (const auto& [address, host] : {std::pair{"http://game.example/p", "game.example"},
                                        {"http://game.example:8080/p", "game.example:8080"},
                                        {"http://[::1]/p", "[::1]"},
                                        {"http://[::1]:81/p", "[::1]:81"}}) {
        server.requests.clear();
        ASSERT_TRUE(server.Get(address).ok) << address;
        ASSERT_EQ(server.requests.size(), 1u);
        EXPECT_EQ(server.requests[0].substr(0, server.requests[0].find("\r\nUser-Agent")),
                  std::string("GET /p HTTP/1.1\r\nHost: ") + host)
            << address;
    }
}

TEST(HttpExchange, RedirectsTheByteLimitAndClosedConnections) {
    ScriptedServer server;
    server.answers["/old"] = Answer("308 Permanent Redirect", "Location: /new\r\n", "");
    server.answers["/new"] = Answer("200 OK", "", "moved here");
    server.answers["/unsafe"] = Answer("302 Found", "Location: /a b\r\n", "");
    server.answers["/broken"] = "no answer at all";
    server.answers["/away"] = Answer("301 Moved Permanently", "Location: http://mirror.example:8080/new\r\n", "");
    server.answers["/nowhere"] = Answer("302 Found", "", "");
    server.answers["/ftp"] = Answer("302 Found", "Location: ftp://mirror.example/new\r\n", "");
    server.answers["/see"] = Answer("303 See Other", "Location: /new\r\n", "");
    server.answers["/temp"] = Answer("307 Temporary Redirect", "Location: /new\r\n", "");
    rtl::HttpResult page;
    for (const char* moved : {"/old", "/see", "/temp"}) {  // every kind of move is followed
        page = server.Get(std::string("http://h") + moved);
        ASSERT_TRUE(page.ok) << moved << ": " << page.error;
        EXPECT_EQ(page.text, "moved here") << moved;
    }
    // To another server: asked there, with its own host.
    server.requests.clear();
    page = server.Get("http://h/away");
    EXPECT_EQ(page.text, "moved here");
    ASSERT_EQ(server.requests.size(), 2u);
    EXPECT_EQ(server.requests[1].rfind("GET /new HTTP/1.1\r\nHost: mirror.example:8080\r\n", 0), 0u);
    page = server.Get("http://h/ftp");
    EXPECT_FALSE(page.ok);
    EXPECT_EQ(page.error, "неверный адрес ftp://mirror.example/new");
    page = server.Get("http://h/nowhere");  // moved, but nobody says where
    EXPECT_FALSE(page.ok);
    EXPECT_EQ(page.status, 302);
    EXPECT_EQ(page.error, "ответ сервера 302");

    // A relative address is checked like any other before it is asked for.
    server.requests.clear();
    page = server.Get("http://h/unsafe");
    EXPECT_FALSE(page.ok);
    EXPECT_EQ(page.error, "неверный адрес /a b");
    EXPECT_EQ(server.requests.size(), 1u);

    // Up to the limit the answer is read; one byte more and it is refused.
    const size_t whole = server.answers["/new"].size();
    HttpLimits limits;
    limits.maxBytes = whole;
    EXPECT_TRUE(server.Get("http://h/new", limits).ok);
    limits.maxBytes = whole - 1;
    page = server.Get("http://h/new", limits);
    EXPECT_FALSE(page.ok);
    EXPECT_EQ(page.error, "страница слишком велика");

    // A close before any byte and a close after bytes that are no answer are told apart.
    EXPECT_EQ(server.Get("http://h/none").error, "сервер закрыл соединение");
    EXPECT_EQ(server.Get("http://h/broken").error, "неверный ответ сервера");
}
