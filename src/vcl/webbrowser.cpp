#include "vcl/webbrowser.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "rtl/textfile.h"
#include "vcl/forms.h"

namespace vcl {

// One load, shared by the browser and its thread: an abandoned load finishes
// (or sees its cancel) on its own and frees itself with the last owner.
struct TWebBrowser::Load {
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    std::mutex lock;
    rtl::HttpResult result;
};

struct TWebBrowser::Job {
    std::shared_ptr<Load> load;
    std::string url;
    rtl::HttpLimits limits;
};

TWebBrowser::TWebBrowser(TComponent* owner) : TComponent(owner) {}

TWebBrowser::~TWebBrowser() {
    if (load_) load_->cancel = true;
}

void TWebBrowser::Navigate(const std::string& url) {
    if (load_) load_->cancel = true;
    auto load = std::make_shared<Load>();
    load_ = load;
    // The thread touches nothing of the program: only its own load.
    auto* job = new Job{load, url, limits_};
    HANDLE thread = CreateThread(nullptr, 0, &TWebBrowser::Run, job, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
        return;
    }
    delete job;
    load->result.error = "no thread for the page";
    load->result.failure = rtl::HttpFailure::kRequest;
    load->done = true;
}

DWORD WINAPI TWebBrowser::Run(void* parameter) {
    std::unique_ptr<Job> job(static_cast<Job*>(parameter));
    rtl::HttpResult result = rtl::HttpGet(job->url, job->limits, &job->load->cancel);
    {
        std::lock_guard<std::mutex> guard(job->load->lock);
        job->load->result = std::move(result);
    }
    job->load->done = true;
    return 0;
}

bool TWebBrowser::Busy() const { return load_ && !load_->done; }

bool TWebBrowser::HasDocument() const { return load_ && load_->done; }

std::string TWebBrowser::DocumentSource() const {
    if (!HasDocument()) return {};
    std::lock_guard<std::mutex> guard(load_->lock);
    return load_->result.ok ? load_->result.text : std::string();
}

std::string TWebBrowser::LoadError() const {
    if (!HasDocument()) return {};
    std::lock_guard<std::mutex> guard(load_->lock);
    return load_->result.ok ? std::string() : load_->result.error;
}

rtl::HttpFailure TWebBrowser::LoadFailure() const {
    if (!HasDocument()) return rtl::HttpFailure::kNone;
    std::lock_guard<std::mutex> guard(load_->lock);
    return load_->result.failure;
}

bool SaveHTMLSourceToFile(const std::string& fileName, TWebBrowser* browser) {
    bool saved = false;
    if (browser && browser->HasDocument()) {
        const std::string source = browser->DocumentSource();
        if (FILE* f = std::fopen(rtl::HostPath(fileName).c_str(), "wb")) {
            saved = std::fwrite(source.data(), 1, source.size(), f) == source.size();
            saved = std::fclose(f) == 0 && saved;
        }
    }
    if (!saved) Application->MessageBox("Fail to save HTML source", "Error", MB_OK | MB_ICONSTOP);
    return saved;
}

}  // namespace vcl
