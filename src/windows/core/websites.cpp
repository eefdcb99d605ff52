#include "windows/core/websites.h"

#include <cstdlib>

#include "rtl/http.h"

namespace web {
namespace {

struct Site {
    const char* variable;
    const char* fallback;
    std::string chosen;
};

Site gameSite{"NORVIX_GAME_SITE", "http://game.norvix.ru/", {}};
Site updateSite{"NORVIX_UPDATE_SITE", "http://norvixsim.ru/", {}};

std::string WithSlash(std::string address) {
    if (address.empty() || address.back() != '/') address += '/';
    return address;
}

// A password is dropped as soon as the address is read: the page loader
// refuses an address with a login, and the masked one tells the player why
// wherever the address is shown.
std::string AddressOf(const Site& site) {
    if (!site.chosen.empty()) return WithSlash(rtl::WithoutPassword(site.chosen));
    const char* set = std::getenv(site.variable);
    return WithSlash(rtl::WithoutPassword(set && *set ? set : site.fallback));
}

}  // namespace

std::string GameSite() { return AddressOf(gameSite); }
std::string UpdateSite() { return AddressOf(updateSite); }
void SetGameSite(const std::string& address) { gameSite.chosen = address; }
void SetUpdateSite(const std::string& address) { updateSite.chosen = address; }

}  // namespace web
