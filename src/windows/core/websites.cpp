#include "windows/core/websites.h"

#include <cstdlib>

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

std::string AddressOf(const Site& site) {
    if (!site.chosen.empty()) return WithSlash(site.chosen);
    const char* set = std::getenv(site.variable);
    return WithSlash(set && *set ? set : site.fallback);
}

}  // namespace

std::string GameSite() { return AddressOf(gameSite); }
std::string UpdateSite() { return AddressOf(updateSite); }
void SetGameSite(const std::string& address) { gameSite.chosen = address; }
void SetUpdateSite(const std::string& address) { updateSite.chosen = address; }

}  // namespace web
