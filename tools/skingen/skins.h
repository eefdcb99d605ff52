// Our own skins: three looks drawn from one set of pieces.
#pragma once

#include <string>
#include <vector>

#include "skin/core/skinpack.h"

namespace skingen {

struct OwnSkin {
    std::string Name;      // as the program's skin manager stores it
    std::string FileStem;  // of its packed file and folder
    std::vector<skin::TPackEntry> Files;  // Options.dat, the master bitmap, other pictures
};

std::vector<OwnSkin> MakeOwnSkins();

}  // namespace skingen
