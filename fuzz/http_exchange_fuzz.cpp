// A page load as a server may answer it: each file of the input is the
// answer to one connection (redirects open the next), delivered whole or in
// small slices and then closed, or broken off when its name says "fail".
// The load ends with the page or with a message, never hangs on a closed
// connection, asks only for well-formed addresses, and reads the same
// answers the same way however they are sliced.
// seeds: fuzz/seeds/http_response/*
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "rtl/http.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// Printable bytes only, apart from the CR LF that end its lines.
void CheckRequest(const std::string& request) {
    Check(request.rfind("GET /", 0) == 0);
    Check(request.size() >= 4 && request.compare(request.size() - 4, 4, "\r\n\r\n") == 0);
    for (size_t i = 0; i < request.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(request[i]);
        if (c == '\r') Check(i + 1 < request.size() && request[i + 1] == '\n');
        else if (c == '\n') Check(i > 0 && request[i - 1] == '\r');
        else Check(c > 0x20 || c == ' ');
    }
}

class ScriptedConnection : public rtl::HttpConnection {
public:
    ScriptedConnection(const fuzz::NamedFile& answer, bool sliced) : answer_(answer), sliced_(sliced) {}

    bool Send(std::string_view request, std::string& error) override {
        CheckRequest(std::string(request));
        return true;
    }
    bool Receive(std::string& received, bool& closed, std::string& error) override {
        Check(!closed_);  // nothing is read after the close
        if (pos_ >= answer_.bytes.size()) {
            if (answer_.name == "fail") {
                error = "соединение прервано";
                return false;
            }
            closed = closed_ = true;
            return true;
        }
        static constexpr size_t kSlices[] = {1, 5, 2, 64, 3, 700};
        const size_t n = sliced_ ? kSlices[slice_++ % std::size(kSlices)] : answer_.bytes.size();
        received.append(answer_.bytes, pos_, n);
        pos_ += n;
        return true;
    }

private:
    const fuzz::NamedFile& answer_;
    bool sliced_;
    size_t pos_ = 0, slice_ = 0;
    bool closed_ = false;
};

rtl::HttpResult Load(const std::vector<fuzz::NamedFile>& answers, const rtl::HttpLimits& limits, bool sliced) {
    size_t opened = 0;
    rtl::HttpResult result =
        rtl::HttpGetOver("http://game.example/infos.php?gid=205", limits,
                         [&](const rtl::Url& url, std::string& error) -> std::unique_ptr<rtl::HttpConnection> {
                             Check(!url.host.empty() && !url.target.empty() && url.target[0] == '/');
                             Check(opened <= static_cast<size_t>(limits.maxRedirects));
                             if (opened == answers.size()) {
                                 error = "нет соединения с " + url.host;
                                 return nullptr;
                             }
                             return std::make_unique<ScriptedConnection>(answers[opened++], sliced);
                         });
    Check(result.ok ? result.status >= 200 && result.status <= 299 && result.error.empty() : !result.error.empty());
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<fuzz::NamedFile> answers = fuzz::SplitFiles(data, size, "");
    rtl::HttpLimits limits;
    limits.maxRedirects = 3;
    const rtl::HttpResult whole = Load(answers, limits, false);
    const rtl::HttpResult sliced = Load(answers, limits, true);
    Check(whole.ok == sliced.ok && whole.status == sliced.status && whole.text == sliced.text &&
          whole.error == sliced.error);
    // A page beyond the limit is refused however it comes.
    limits.maxBytes = 64;
    Load(answers, limits, true);
    return 0;
}
