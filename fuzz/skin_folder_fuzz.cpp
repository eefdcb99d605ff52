// A skin folder as a disk may hold it: Options.dat, then "#file NAME" and the
// bytes of each picture beside it. The skin loads, with what its pictures
// give, or fails with a message and leaves nothing half-loaded; names that
// point elsewhere or differ in case are looked up as the system would.
// seeds: fuzz/seeds/skin_folder/*
// options: -max_len=65536
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "skin_checks.h"

namespace {

// Made before main, so that they outlive the folder's removal at exit.
std::string skinsDir;
std::vector<std::string> written;  // the files of the last input

void RemoveFiles() {
    for (const std::string& path : written) std::remove(path.c_str());
    written.clear();
}

// Only plain names: the input never writes outside its own folder.
bool PlainName(const std::string& name) {
    if (name.empty() || name.size() > 64 || name[0] == '.') return false;
    for (char c : name)
        if (c == '/' || c == '\\' || c == '\0') return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    skinsDir = "/tmp/norvix_fuzz_skins_" + std::to_string(getpid());
    mkdir(skinsDir.c_str(), 0700);
    mkdir((skinsDir + "/Fuzzed").c_str(), 0700);
    // The folder goes with the process.
    std::atexit([] {
        RemoveFiles();
        std::remove((skinsDir + "/Fuzzed").c_str());
        std::remove(skinsDir.c_str());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RemoveFiles();
    for (const fuzz::NamedFile& file : fuzz::SplitFiles(data, size, "Options.dat")) {
        if (!PlainName(file.name)) continue;
        const std::string path = skinsDir + "/Fuzzed/" + file.name;
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(file.bytes.data(), 1, file.bytes.size(), f);
            std::fclose(f);
            written.push_back(path);
        }
    }
    skin::TsSkinContent content;
    const skin::TsStoredSkins none;
    skin::TSkinLoadOptions options;
    const skin::TSkinLoadResult result = skin::LoadSkinFromDir(content, skinsDir, "Fuzzed", none, options);
    fuzz::CheckLoadedSkin(content, result);
    return 0;
}
