// A small web server for tests, on 127.0.0.1 and a free port: it serves the
// pages a test sets, answers 404 for others, and remembers the requests. It
// stops by itself after a bounded number of requests or time.
#pragma once
#include <atomic>
#include <cstdint>
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
};

class Server {
public:
    explicit Server(int maxRequests = 2000, int lifetimeSeconds = 600);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    uint16_t Port() const { return port_; }
    // "http://127.0.0.1:PORT/"
    std::string Address() const;
    // A page by request target ("/infos.php?gid=201&notopnav=true").
    void Set(const std::string& target, const Page& page);
    std::vector<std::string> Requests() const;

private:
    void Serve();
    void Answer(int client);

    int listener_ = -1;
    uint16_t port_ = 0;
    int maxRequests_, lifetimeSeconds_;
    std::atomic<bool> stop_{false};
    mutable std::mutex lock_;
    std::map<std::string, Page> pages_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

}  // namespace testhttp
