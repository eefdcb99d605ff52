// The hidden page loader of a window: Navigate starts loading a page over
// HTTP or HTTPS on a thread of its own, Busy tells whether it is still
// loading, and the page's source (in code page 1251) can then be saved to a
// file. A page that could not be loaded leaves an empty document.
#pragma once
#include <memory>
#include <string>

#include "rtl/http.h"
#include "vcl/win.h"
#include "vcl/classes.h"

namespace vcl {

class TWebBrowser : public TComponent {
public:
    explicit TWebBrowser(TComponent* owner);
    ~TWebBrowser() override;
    const char* ClassName() const override { return "TWebBrowser"; }

    // A load still going is abandoned for the new one.
    void Navigate(const std::string& url);
    bool Busy() const;
    // False before the first page and while loading.
    bool HasDocument() const;
    // The last page's source; "" when its load failed.
    std::string DocumentSource() const;
    // Why the last load failed; "" when it did not.
    std::string LoadError() const;
    // Why the last load failed: kNone when it did not or while loading.
    rtl::HttpFailure LoadFailure() const;

    void SetLimits(const rtl::HttpLimits& limits) { limits_ = limits; }

private:
    struct Load;
    struct Job;
    static DWORD WINAPI Run(void* job);
    std::shared_ptr<Load> load_;
    rtl::HttpLimits limits_;
};

// Saves the browser's page source to a file. When there is no page or the
// file cannot be written, tells the player ("Fail to save HTML source") and
// answers false.
bool SaveHTMLSourceToFile(const std::string& fileName, TWebBrowser* browser);

}  // namespace vcl
