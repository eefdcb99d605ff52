// A skin folder as a disk may hold it: Options.dat, then "#file NAME" and the
// bytes of each picture beside it. The skin loads, with what its pictures
// give, or fails with a message and leaves nothing half-loaded; names that
// point elsewhere or differ in case are looked up as the system would.
// seeds: fuzz/seeds/skin_folder/*
// options: -max_len=65536
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "skin_checks.h"

namespace {

const std::string& SkinsDir() {
    static const std::string dir = [] {
        const std::string base = "/tmp/norvix_fuzz_skins_" + std::to_string(getpid());
        mkdir(base.c_str(), 0700);
        mkdir((base + "/Fuzzed").c_str(), 0700);
        return base;
    }();
    return dir;
}

// Only plain names: the input never writes outside its own folder.
bool PlainName(const std::string& name) {
    if (name.empty() || name.size() > 64 || name[0] == '.') return false;
    for (char c : name)
        if (c == '/' || c == '\\' || c == '\0') return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::vector<std::string> written;
    for (const std::string& path : written) std::remove(path.c_str());
    written.clear();
    for (const fuzz::NamedFile& file : fuzz::SplitFiles(data, size, "Options.dat")) {
        if (!PlainName(file.name)) continue;
        const std::string path = SkinsDir() + "/Fuzzed/" + file.name;
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(file.bytes.data(), 1, file.bytes.size(), f);
            std::fclose(f);
            written.push_back(path);
        }
    }
    skin::TsSkinContent content;
    const skin::TsStoredSkins none;
    skin::TSkinLoadOptions options;
    const skin::TSkinLoadResult result = skin::LoadSkinFromDir(content, SkinsDir(), "Fuzzed", none, options);
    fuzz::CheckLoadedSkin(content, result);
    return 0;
}
