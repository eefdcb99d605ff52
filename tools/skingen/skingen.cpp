// Draws our own skins and writes them where the program takes them from:
//   skingen --repo ROOT   the stored skins compiled into the program
//                         (ROOT/src/skin/core/stored/*.asz) and the skins of
//                         the installation's skin folder (ROOT/data/skins):
//                         "Cold" as a folder, "Pulsar" as a packed file;
//                         and the program's icon (ROOT/src/windows/res).
//   skingen --all DIR     every skin both as a folder and as a packed file.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "appicon.h"
#include "skin/core/skinpack.h"
#include "skins.h"

namespace {

bool MakeDir(const std::string& path) {
    std::string partial;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            if (!partial.empty() && mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
        }
        if (i < path.size()) partial += path[i];
    }
    return true;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) std::fprintf(stderr, "skingen: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

bool WriteFolder(const std::string& dir, const skingen::OwnSkin& skin) {
    if (!MakeDir(dir)) return false;
    for (const skin::TPackEntry& file : skin.Files)
        if (!WriteFile(dir + "/" + file.FileName, file.Data)) return false;
    return true;
}

bool WritePacked(const std::string& path, const skingen::OwnSkin& skin) {
    return WriteFile(path, skin::PackSkinFiles(skin.Files));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "--repo") != 0 && std::strcmp(argv[1], "--all") != 0)) {
        std::fprintf(stderr, "usage: skingen --repo ROOT | --all DIR\n");
        return 2;
    }
    const std::string out = argv[2];
    const auto skins = skingen::MakeOwnSkins();
    bool ok = true;
    if (std::strcmp(argv[1], "--all") == 0) {
        ok = MakeDir(out);
        for (const auto& skin : skins)
            ok = ok && WriteFolder(out + "/" + skin.FileStem, skin) && WritePacked(out + "/" + skin.FileStem + ".asz", skin);
        return ok ? 0 : 1;
    }
    const std::string stored = out + "/src/skin/core/stored", shipped = out + "/data/skins", res = out + "/src/windows/res";
    ok = MakeDir(stored) && MakeDir(shipped) && MakeDir(res);
    ok = ok && WriteFile(res + "/norvixsim.ico", skingen::MakeProgramIconFile());
    for (const auto& skin : skins) {
        ok = ok && WritePacked(stored + "/" + skin.FileStem + ".asz", skin);
        if (skin.FileStem == "cold") ok = ok && WriteFolder(shipped + "/Cold", skin);
        if (skin.FileStem == "pulsar") ok = ok && WritePacked(shipped + "/Pulsar.asz", skin);
    }
    return ok ? 0 : 1;
}
