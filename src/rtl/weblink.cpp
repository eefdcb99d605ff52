#include "rtl/weblink.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <vector>

#include "rtl/http.h"

extern char** environ;

namespace rtl {
namespace {

std::string& ChosenProgram() {
    static std::string program;
    return program;
}

std::string BrowserProgram() {
    if (!ChosenProgram().empty()) return ChosenProgram();
    const char* set = std::getenv("NORVIX_BROWSER");
    return set && *set ? set : "xdg-open";
}

}  // namespace

void SetWebBrowserProgram(const std::string& program) { ChosenProgram() = program; }

bool OpenWebLink(const std::string& link) {
    if (!IsWebLink(link)) return false;
    std::string program = BrowserProgram();
    std::string argument = link;
    std::vector<char*> argv = {program.data(), argument.data(), nullptr};
    // Launchers started before that have ended are reaped now.
    static std::vector<pid_t> started;
    std::erase_if(started, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
    pid_t pid = 0;
    if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    started.push_back(pid);
    return true;
}

}  // namespace rtl
