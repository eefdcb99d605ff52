// Opening a download link in the desktop's web browser.
#pragma once
#include <string>

namespace rtl {

// Starts the browser program (xdg-open, or the program named by the
// environment variable NORVIX_BROWSER) with the link as its one argument;
// no shell reads the link. Only http and https links are opened. False when
// the link is refused or the program could not be started.
bool OpenWebLink(const std::string& link);

// Another program for the rest of the run ("" goes back to the default).
void SetWebBrowserProgram(const std::string& program);

}  // namespace rtl
