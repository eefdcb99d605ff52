#include "http_server.h"

#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
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

// One client connection, plain or TLS.
struct Link {
    int fd = -1;
    SSL* ssl = nullptr;
    ~Link() {
        if (ssl) {
            SSL_shutdown(ssl);
            SSL_free(ssl);
        }
    }
    bool Pending() const { return ssl && SSL_pending(ssl) > 0; }
    long Read(char* buffer, size_t size) {
        return ssl ? SSL_read(ssl, buffer, static_cast<int>(size)) : recv(fd, buffer, size, 0);
    }
    void SendAll(const std::string& data) {
        size_t sent = 0;
        while (sent < data.size()) {
            long n = ssl ? SSL_write(ssl, data.data() + sent, static_cast<int>(data.size() - sent))
                         : send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return;
            sent += static_cast<size_t>(n);
        }
    }
};

std::string Gzip(const std::string& data) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, data.size()) + 32, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

bool Accepts(const std::string& request, const char* coding) {
    std::string lower = request;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    const size_t at = lower.find("\naccept-encoding:");
    return at != std::string::npos && lower.find(coding, at) < lower.find('\n', at + 1);
}

// --- certificates made at test time ---

void Require(bool condition, const char* what) {
    if (!condition) throw std::runtime_error(std::string("test certificate: ") + what);
}

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Cert = std::unique_ptr<X509, decltype(&X509_free)>;

// What `write` puts into a memory file, as text.
template <typename Write>
std::string Pem(Write write) {
    BIO* bio = BIO_new(BIO_s_mem());
    write(bio);
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    std::string text(data, static_cast<size_t>(size));
    BIO_free(bio);
    return text;
}

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    Require(ext != nullptr, value);
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

// A certificate for `name` signed by `issuer` (itself when null: the authority).
Certificate Make(const std::string& name, const Certificate* issuer) {
    Key key(EVP_EC_gen("P-256"), &EVP_PKEY_free);
    Require(key != nullptr, "no key");
    Cert cert(X509_new(), &X509_free);
    static std::atomic<long> serial{1};
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial++ + (time(nullptr) & 0xFFFFFF) * 1000);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 7 * 86400);
    X509_set_pubkey(cert.get(), key.get());
    X509_NAME_add_entry_by_txt(X509_get_subject_name(cert.get()), "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(name.c_str()), -1, -1, 0);
    Cert issuerCert(nullptr, &X509_free);
    Key issuerKey(nullptr, &EVP_PKEY_free);
    if (issuer) {
        BIO* c = BIO_new_mem_buf(issuer->cert.data(), static_cast<int>(issuer->cert.size()));
        BIO* k = BIO_new_mem_buf(issuer->key.data(), static_cast<int>(issuer->key.size()));
        issuerCert.reset(PEM_read_bio_X509(c, nullptr, nullptr, nullptr));
        issuerKey.reset(PEM_read_bio_PrivateKey(k, nullptr, nullptr, nullptr));
        BIO_free(c);
        BIO_free(k);
        Require(issuerCert && issuerKey, "issuer unreadable");
    }
    X509* signer = issuer ? issuerCert.get() : cert.get();
    X509_set_issuer_name(cert.get(), X509_get_subject_name(signer));
    AddExtension(cert.get(), signer, NID_subject_key_identifier, "hash");
    if (issuer) {
        const bool address = name.find_first_not_of("0123456789.") == std::string::npos;
        AddExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:FALSE");
        AddExtension(cert.get(), signer, NID_key_usage, "critical,digitalSignature");
        AddExtension(cert.get(), signer, NID_ext_key_usage, "serverAuth");
        AddExtension(cert.get(), signer, NID_subject_alt_name, ((address ? "IP:" : "DNS:") + name).c_str());
        AddExtension(cert.get(), signer, NID_authority_key_identifier, "keyid:always");
    } else {
        AddExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
        AddExtension(cert.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    }
    Require(X509_sign(cert.get(), issuer ? issuerKey.get() : key.get(), EVP_sha256()) > 0, "not signed");
    return {Pem([&](BIO* bio) { PEM_write_bio_X509(bio, cert.get()); }),
            Pem([&](BIO* bio) { PEM_write_bio_PrivateKey(bio, key.get(), nullptr, nullptr, 0, nullptr, nullptr); })};
}

}  // namespace

TestAuthority::TestAuthority() : own_(Make("NorvixSim test authority", nullptr)) {
    char path[] = "/tmp/norvix-test-ca-XXXXXX";
    const int fd = mkstemp(path);
    Require(fd >= 0, "no file for the authority");
    Require(write(fd, own_.cert.data(), own_.cert.size()) == static_cast<ssize_t>(own_.cert.size()), "not written");
    close(fd);
    file_ = path;
    setenv("NORVIX_EXTRA_CA_FILE", file_.c_str(), 1);
}

TestAuthority::~TestAuthority() {
    unsetenv("NORVIX_EXTRA_CA_FILE");
    unlink(file_.c_str());
}

Certificate TestAuthority::Issue(const std::string& name) const { return Make(name, &own_); }

Server::Server(int maxRequests, int lifetimeSeconds) : maxRequests_(maxRequests), lifetimeSeconds_(lifetimeSeconds) {
    Listen();
}

Server::Server(const Certificate& certificate, int maxRequests, int lifetimeSeconds)
    : maxRequests_(maxRequests), lifetimeSeconds_(lifetimeSeconds) {
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    BIO* c = BIO_new_mem_buf(certificate.cert.data(), static_cast<int>(certificate.cert.size()));
    BIO* k = BIO_new_mem_buf(certificate.key.data(), static_cast<int>(certificate.key.size()));
    X509* cert = PEM_read_bio_X509(c, nullptr, nullptr, nullptr);
    EVP_PKEY* key = PEM_read_bio_PrivateKey(k, nullptr, nullptr, nullptr);
    const bool loaded = context && cert && key && SSL_CTX_use_certificate(context, cert) == 1 &&
                        SSL_CTX_use_PrivateKey(context, key) == 1;
    X509_free(cert);
    EVP_PKEY_free(key);
    BIO_free(c);
    BIO_free(k);
    if (!loaded) {
        SSL_CTX_free(context);
        throw std::runtime_error("the test server cannot use its certificate");
    }
    tls_ = context;
    Listen();
}

void Server::Listen() {
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
    SSL_CTX_free(static_cast<SSL_CTX*>(tls_));
}

std::string Server::Address() const {
    return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + "/";
}

void Server::Set(const std::string& target, const Page& page) {
    std::lock_guard<std::mutex> guard(lock_);
    pages_[target] = page;
}

std::vector<std::string> Server::Requests() const {
    std::lock_guard<std::mutex> guard(lock_);
    return requests_;
}

std::vector<std::string> Server::Heads() const {
    std::lock_guard<std::mutex> guard(lock_);
    return heads_;
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
    Link link;
    link.fd = client;
    if (tls_) {
        // A handshake the client breaks off (a certificate it refuses) ends here.
        timeval limit{5, 0};
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        link.ssl = SSL_new(static_cast<SSL_CTX*>(tls_));
        SSL_set_fd(link.ssl, client);
        if (SSL_accept(link.ssl) != 1) {
            ERR_clear_error();
            return;
        }
    }
    std::string request;
    char buffer[4096];
    for (int waited = 0; request.find("\r\n\r\n") == std::string::npos && waited < 5000 && !stop_;) {
        pollfd p{client, POLLIN, 0};
        if (!link.Pending() && poll(&p, 1, 50) <= 0) {
            waited += 50;
            continue;
        }
        long n = link.Read(buffer, sizeof buffer);
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
        heads_.push_back(request);
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
    head += page.headers;
    if (page.gzip && Accepts(request, "gzip")) {
        page.body = Gzip(page.body);
        head += "Content-Encoding: gzip\r\n";
    }
    if (page.chunked) {
        head += "Transfer-Encoding: chunked\r\n\r\n";
        std::string body;
        for (size_t at = 0; at < page.body.size(); at += 7) {
            const std::string piece = page.body.substr(at, 7);
            char size[16];
            std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
            body += size + piece + "\r\n";
        }
        link.SendAll(head + body + "0\r\n\r\n");
    } else {
        head += "Content-Length: " + std::to_string(page.body.size()) + "\r\n\r\n";
        link.SendAll(head + page.body.substr(0, std::min(page.cutAfter, page.body.size())));
        // Cut short: the connection just ends, as when a server dies mid-page.
        if (page.cutAfter < page.body.size() && link.ssl) {
            SSL_free(link.ssl);
            link.ssl = nullptr;
        }
    }
}

}  // namespace testhttp
