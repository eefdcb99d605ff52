// A small web server for tests, on 127.0.0.1 and a free port, over plain
// HTTP or over TLS with a certificate made for the test: it serves the pages
// a test sets, answers 404 for others, and remembers the requests. It stops
// by itself after a bounded number of requests or time.
#pragma once
#include <atomic>
#include <cstdint>
#include <limits>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testhttp {

struct Page {
    std::string body;
    std::string contentType = "text/html; charset=utf-8";
    int status = 200;
    int delayMs = 0;          // waits this long before answering
    bool closeAtOnce = false;  // closes the connection without an answer
    bool chunked = false;
    std::string location = {};  // a Location header
    // Sends only this many bytes of the body (its length announced whole), then closes.
    size_t cutAfter = std::numeric_limits<size_t>::max();
    bool gzip = false;  // packed when the request accepts gzip
    std::string headers = {};  // more header lines, each ending in CR LF
};

// A certificate and its key, both PEM.
struct Certificate {
    std::string cert, key;
};

// A certificate authority made for one test, trusted by the page loader
// (through NORVIX_EXTRA_CA_FILE) while it lives.
class TestAuthority {
public:
    TestAuthority();
    ~TestAuthority();
    TestAuthority(const TestAuthority&) = delete;
    TestAuthority& operator=(const TestAuthority&) = delete;

    // A server certificate for `name` (an IP address or a host name).
    Certificate Issue(const std::string& name) const;
    const std::string& File() const { return file_; }

private:
    Certificate own_;
    std::string file_;
};

class Server {
public:
    explicit Server(int maxRequests = 2000, int lifetimeSeconds = 600);
    // Over TLS with this certificate.
    explicit Server(const Certificate& certificate, int maxRequests = 2000, int lifetimeSeconds = 600);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    uint16_t Port() const { return port_; }
    // "http://127.0.0.1:PORT/" or "https://127.0.0.1:PORT/"
    std::string Address() const;
    // A page by request target ("/infos.php?gid=201&notopnav=true").
    void Set(const std::string& target, const Page& page);
    std::vector<std::string> Requests() const;
    // Each request as it came: the request line and the header lines.
    std::vector<std::string> Heads() const;

private:
    void Listen();
    void Serve();
    void Answer(int client);

    int listener_ = -1;
    uint16_t port_ = 0;
    int maxRequests_, lifetimeSeconds_;
    void* tls_ = nullptr;  // the TLS context when over TLS
    std::atomic<bool> stop_{false};
    mutable std::mutex lock_;
    std::map<std::string, Page> pages_;
    std::vector<std::string> requests_, heads_;
    std::thread thread_;
};

}  // namespace testhttp
