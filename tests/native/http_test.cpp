// Loading pages over HTTP and HTTPS from servers on 127.0.0.1 that the test
// starts (with certificates made here): what arrives, in which text, and how
// every failure is reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "rtl/encoding.h"
#include "rtl/http.h"
#include "support/http_server.h"

using rtl::HttpGet;
using rtl::HttpLimits;

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
    // Only bodies the loader is known to unpack are asked for.
    EXPECT_NE(server.Heads()[0].find("\r\nAccept-Encoding: gzip, deflate\r\n"), std::string::npos) << server.Heads()[0];
}

TEST(HttpsGet, APageComesWholeOverTlsAndPlainAddressesAreSentOnToIt) {
    testhttp::TestAuthority authority;
    testhttp::Server site(authority.Issue("127.0.0.1"));
    testhttp::Server plain;
    // Larger than any one read or TLS record, in UTF-8, in pieces.
    std::string text;
    for (int k = 0; k < 4000; ++k) text += kRussian + " " + std::to_string(k) + "\r\n";
    testhttp::Page big{rtl::Cp1251ToUtf8(text)};
    big.chunked = true;
    site.Set("/infos.php?gid=205&notopnav=true", big);
    testhttp::Page packed{rtl::Cp1251ToUtf8(text)};
    packed.gzip = true;
    site.Set("/packed", packed);
    testhttp::Page moved{"", "text/html", 301};
    moved.location = site.Address() + "infos.php?gid=205&notopnav=true";
    plain.Set("/old", moved);

    for (const std::string& address : {site.Address() + "infos.php?gid=205&notopnav=true", plain.Address() + "old",
                                       site.Address() + "packed"}) {
        const rtl::HttpResult page = HttpGet(address);
        ASSERT_TRUE(page.ok) << address << ": " << rtl::Cp1251ToUtf8(page.error);
        EXPECT_EQ(page.status, 200);
        EXPECT_TRUE(page.text == text) << address << ": " << page.text.size() << " of " << text.size();
    }
    EXPECT_EQ(plain.Requests(), std::vector<std::string>{"/old"});
    EXPECT_EQ(site.Requests().size(), 3u);
}

// Certificates are checked: one for another name, or from an authority
// that is not trusted, is refused with the reason, as a site that did not answer.
TEST(HttpsGet, ACertificateForAnotherNameOrFromAnUnknownAuthorityIsRefused) {
    testhttp::TestAuthority authority;
    testhttp::Server other(authority.Issue("game.example"));
    other.Set("/", {"never read"});
    const rtl::HttpResult refused = HttpGet(other.Address());
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.status, 0);
    EXPECT_EQ(refused.failure, rtl::HttpFailure::kCertificate);
    EXPECT_TRUE(refused.text.empty());
    EXPECT_EQ(refused.error.rfind("сертификат сайта 127.0.0.1 не принят: сертификат выдан другому имени (", 0), 0u)
        << rtl::Cp1251ToUtf8(refused.error);

    testhttp::Server site(authority.Issue("127.0.0.1"));
    site.Set("/", {"page"});
    ASSERT_TRUE(HttpGet(site.Address()).ok);
    unsetenv("NORVIX_EXTRA_CA_FILE");
    const rtl::HttpResult unknown = HttpGet(site.Address());
    setenv("NORVIX_EXTRA_CA_FILE", authority.File().c_str(), 1);
    EXPECT_FALSE(unknown.ok);
    EXPECT_EQ(unknown.status, 0);
    EXPECT_EQ(unknown.error.rfind("сертификат сайта 127.0.0.1 не принят: сертификат выдан неизвестным центром", 0), 0u)
        << rtl::Cp1251ToUtf8(unknown.error);
    EXPECT_TRUE(other.Requests().empty());
    EXPECT_EQ(site.Requests().size(), 1u);
}

// A page the site answered but that is no page (cut short, too large, an
// error status, redirects without end) keeps the status it came with; a
// site that gave no answer has status 0.
TEST(HttpGet, FailuresAreToldByNameWithinTheirTimeAndNeverAsAPage) {
    testhttp::TestAuthority authority;
    testhttp::Server server(authority.Issue("127.0.0.1"));
    testhttp::Page cut{std::string(50000, 'x')};
    cut.cutAfter = 20000;
    server.Set("/cut", cut);
    testhttp::Page closed;
    closed.closeAtOnce = true;
    server.Set("/closed", closed);
    testhttp::Page slow{"late"};
    slow.delayMs = 3000;
    server.Set("/slow", slow);
    testhttp::Page loop{"", "text/html", 302};
    loop.location = "/loop";
    server.Set("/loop", loop);
    server.Set("/sized", {std::string(1000, 'y')});
    // Small when packed, far beyond the limit once unpacked.
    testhttp::Page bomb{std::string(4 << 20, '\0')};
    bomb.gzip = true;
    server.Set("/bomb", bomb);
    testhttp::Page away{"", "text/html", 301};
    away.location = "ftp://127.0.0.1/x";
    server.Set("/ftp", away);
    server.Set("/choices", {"one or another", "text/html", 300});
    const std::string base = server.Address();

    auto expect = [&](const std::string& path, int status, const std::string& error, const HttpLimits& limits = {}) {
        const rtl::HttpResult r = HttpGet(base + path, limits);
        EXPECT_FALSE(r.ok) << path;
        EXPECT_TRUE(r.text.empty()) << path;
        EXPECT_EQ(r.status, status) << path;
        // The walk goes on after a page the site answered; it stops for no answer or a load never sent.
        if (status != 0) EXPECT_EQ(r.failure, rtl::HttpFailure::kPage) << path;
        else EXPECT_NE(r.failure, rtl::HttpFailure::kPage) << path;
        EXPECT_EQ(r.error, error) << path << ": " << rtl::Cp1251ToUtf8(r.error);
    };
    expect("cut", 200, "страница пришла не вся: сервер оборвал соединение");
    expect("nothing", 404, "ответ сервера 404");
    expect("choices", 300, "ответ сервера 300");
    expect("loop", 302, "перенаправления по кругу (больше 5)");
    expect("closed", 0, "сервер закрыл соединение");
    expect("ftp", 301, "неверный адрес ftp://127.0.0.1/x");
    EXPECT_EQ(HttpGet("ftp://127.0.0.1/").error, "неверный адрес ftp://127.0.0.1/");

    // Up to the limit the page is read; one byte more and it is refused, also when it comes packed.
    HttpLimits limits;
    limits.maxBytes = 1000;
    EXPECT_TRUE(HttpGet(base + "sized", limits).ok);
    limits.maxBytes = 999;
    expect("sized", 200, "страница слишком велика", limits);
    limits.maxBytes = 1 << 20;
    expect("bomb", 200, "страница слишком велика", limits);
    // No load runs without its limits: one out of range, or an option
    // libcurl refuses (an address beyond its length), fails before any request.
    limits.readMs = 0;
    expect("sized", 0, "неверный предел загрузки: время загрузки 0 мс", limits);
    limits.readMs = 1000;
    limits.connectMs = -1;
    expect("sized", 0, "неверный предел загрузки: время соединения -1 мс", limits);
    EXPECT_EQ(HttpGet(base + std::string(8 << 20, 'a')).error.rfind("libcurl не принял параметр CURLOPT_URL (", 0), 0u);
    const std::vector<std::string> asked = server.Requests();
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "/sized"), 2);

    // A caller that sets no limits still gets all of them: a time, a size
    // (packed or not), redirects (the "loop" above), the answer's headers.
    EXPECT_GT(HttpLimits{}.connectMs, 0);
    EXPECT_GT(HttpLimits{}.readMs, 0);
    EXPECT_LE(HttpLimits{}.readMs, 60000);
    testhttp::Page huge{std::string(17 << 20, '\0')};
    huge.gzip = true;
    server.Set("/huge", huge);
    expect("huge", 200, "страница слишком велика");
    testhttp::Page heavy{"head too large"};
    for (int k = 0; k < 70; ++k) heavy.headers += "X-Filler-" + std::to_string(k) + ": " + std::string(1000, 'h') + "\r\n";
    server.Set("/heavy", heavy);
    expect("heavy", 200, "заголовки ответа слишком велики (больше 65536 байт)");

    // Redirects up to the limit are followed, one more is not.
    for (int k = 1; k <= 3; ++k) {
        testhttp::Page step{"", "text/html", 302};
        step.location = k < 3 ? "/hop" + std::to_string(k + 1) : "/end";
        server.Set("/hop" + std::to_string(k), step);
    }
    server.Set("/end", {"arrived"});
    HttpLimits twoHops;
    twoHops.maxRedirects = 2;
    EXPECT_EQ(HttpGet(base + "hop2", twoHops).text, "arrived");
    expect("hop1", 302, "перенаправления по кругу (больше 2)", twoHops);

    HttpLimits quick;
    quick.readMs = 300;
    auto start = std::chrono::steady_clock::now();
    expect("slow", 0, "нет ответа сервера (страница)", quick);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));

    std::atomic<bool> cancel{false};
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        cancel = true;
    });
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpGet(base + "slow", {}, &cancel).error, "прервано");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    canceller.join();

    // Nobody listens on the port of a server that has stopped.
    std::string gone;
    {
        testhttp::Server stopped;
        gone = stopped.Address();
    }
    const rtl::HttpResult refused = HttpGet(gone);
    EXPECT_EQ(refused.failure, rtl::HttpFailure::kNoAnswer);
    EXPECT_EQ(refused.error, "нет соединения с 127.0.0.1: сервер отказал в соединении");

    // No credentials are ever sent: an address with a login is refused, also
    // as a redirect's target, and the password shows nowhere. An '@' in the
    // path or query is no login.
    const std::string host = base.substr(8);  // "127.0.0.1:PORT/"
    const size_t before = server.Requests().size();
    for (const auto& [login, shown] : std::vector<std::pair<std::string, std::string>>{
             {"player:secret@", "player:***@"}, {"player@", "player@"}, {"player:s%65cret@", "player:***@"},
             {":secret@", ":***@"}}) {
        const rtl::HttpResult r = HttpGet("https://" + login + host);
        EXPECT_EQ(r.failure, rtl::HttpFailure::kRequest) << login;
        EXPECT_EQ(r.error, "адрес https://" + shown + host + " не загружен: загрузчик страниц не принимает логины");
    }
    EXPECT_EQ(server.Requests().size(), before);
    for (const std::string& target : {"https://player:secret@" + host + "target", "//player:secret@" + host + "target"}) {
        testhttp::Page toLogin{"", "text/html", 302};
        toLogin.location = target;
        server.Set("/tologin", toLogin);
        expect("tologin", 302, "адрес https://player:***@" + host + "target не загружен: загрузчик страниц не принимает логины");
    }
    server.Set("/mail/a@b?to=x@y", {"kept"});
    EXPECT_EQ(HttpGet(base + "mail/a@b?to=x@y").text, "kept");
    EXPECT_EQ(server.Requests().size(), before + 3);
}

// The proxy the environment names carries the requests.
TEST(HttpGet, TheEnvironmentsProxyIsUsed) {
    testhttp::Server proxy;
    proxy.Set("http://game.example/infos.php?gid=205", {"через прокси", "text/html; charset=windows-1251"});
    setenv("http_proxy", proxy.Address().c_str(), 1);
    const rtl::HttpResult page = HttpGet("http://game.example/infos.php?gid=205");
    unsetenv("http_proxy");
    ASSERT_TRUE(page.ok) << rtl::Cp1251ToUtf8(page.error);
    EXPECT_EQ(page.text, "через прокси");
    EXPECT_EQ(proxy.Requests(), std::vector<std::string>{"http://game.example/infos.php?gid=205"});
}

TEST(HttpGet, PagesOfOtherCodePagesBecomeTheProgramsText) {
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

TEST(WebLinks, OnlyWebAddressesAreTaken) {
    EXPECT_TRUE(rtl::IsWebLink("http://host/build.zip"));
    EXPECT_TRUE(rtl::IsWebLink("https://host/db.rar?x=1"));
    EXPECT_TRUE(rtl::IsWebLink("HTTPS://[::1]:8080/x"));
    for (const char* bad : {"file:///etc/passwd", "javascript:alert(1)", "http://", "https:///x", "http://a b",
                            "http://host/\"; rm -rf ~", "-http://host", "http://host/\n", "ftp://host/"})
        EXPECT_FALSE(rtl::IsWebLink(bad)) << bad;
}
