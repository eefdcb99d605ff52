#include "http_server.h"

#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace testhttp {
namespace {

bool Stopping(const std::atomic<bool>& stop, int ms) {
    for (int waited = 0; waited < ms; waited += 20) {
        if (stop) return true;
        usleep(20 * 1000);
    }
    return stop;
}

void SendAll(int fd, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

}  // namespace

Server::Server(int maxRequests, int lifetimeSeconds) : maxRequests_(maxRequests), lifetimeSeconds_(lifetimeSeconds) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0) throw std::runtime_error("no socket for the test server");
    int yes = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 16) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("the test server cannot listen on 127.0.0.1");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

Server::~Server() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    close(listener_);
}

std::string Server::Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

void Server::Set(const std::string& target, const Page& page) {
    std::lock_guard<std::mutex> guard(lock_);
    pages_[target] = page;
}

std::vector<std::string> Server::Requests() const {
    std::lock_guard<std::mutex> guard(lock_);
    return requests_;
}

void Server::Serve() {
    // The thread takes no signal meant for the process.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(lifetimeSeconds_);
    for (int served = 0; served < maxRequests_ && !stop_ && std::chrono::steady_clock::now() < end;) {
        pollfd p{listener_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        int client = accept(listener_, nullptr, nullptr);
        if (client < 0) continue;
        Answer(client);
        close(client);
        ++served;
    }
}

void Server::Answer(int client) {
    std::string request;
    char buffer[4096];
    for (int waited = 0; request.find("\r\n\r\n") == std::string::npos && waited < 5000 && !stop_;) {
        pollfd p{client, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) {
            waited += 50;
            continue;
        }
        ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        request.append(buffer, static_cast<size_t>(n));
    }
    // "GET /target HTTP/1.1"
    size_t first = request.find(' '), second = request.find(' ', first + 1);
    if (first == std::string::npos || second == std::string::npos) return;
    const std::string target = request.substr(first + 1, second - first - 1);
    Page page;
    bool known;
    {
        std::lock_guard<std::mutex> guard(lock_);
        requests_.push_back(target);
        auto found = pages_.find(target);
        known = found != pages_.end();
        if (known) page = found->second;
    }
    if (!known) {
        page.status = 404;
        page.body = "<html><body>Not found</body></html>";
    }
    if (page.delayMs > 0 && Stopping(stop_, page.delayMs)) return;
    if (page.closeAtOnce) return;
    std::string head = "HTTP/1.1 " + std::to_string(page.status) + (page.status == 200 ? " OK" : " Other") +
                       "\r\nContent-Type: " + page.contentType + "\r\nConnection: close\r\n";
    if (!page.location.empty()) head += "Location: " + page.location + "\r\n";
    if (page.chunked) {
        head += "Transfer-Encoding: chunked\r\n\r\n";
        std::string body;
        for (size_t at = 0; at < page.body.size(); at += 7) {
            const std::string piece = page.body.substr(at, 7);
            char size[16];
            std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
            body += size + piece + "\r\n";
        }
        SendAll(client, head + body + "0\r\n\r\n");
    } else {
        head += "Content-Length: " + std::to_string(page.body.size()) + "\r\n\r\n";
        SendAll(client, head + page.body);
    }
}

}  // namespace testhttp
