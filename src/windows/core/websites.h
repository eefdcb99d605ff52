// The addresses of the game's site (its unit pages) and of the update site,
// each ending in '/'. A default of the program, or the address in the
// environment variable NORVIX_GAME_SITE or NORVIX_UPDATE_SITE. A password in
// the address is never kept: it reads "***".
#pragma once
#include <string>

namespace web {

std::string GameSite();
std::string UpdateSite();
// Replaces the address for the rest of the run ("" goes back to the default).
void SetGameSite(const std::string& address);
void SetUpdateSite(const std::string& address);

}  // namespace web
