// Shared by the fuzz targets: the readers take file names, so each input is
// written to one scratch file of the process first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace fuzz {

inline const std::string& ScratchPath() {
    static const std::string path = "/tmp/norvix_fuzz_" + std::to_string(getpid()) + ".dat";
    return path;
}

inline const std::string& WriteScratch(const uint8_t* data, size_t size) {
    const std::string& path = ScratchPath();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size != 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}

}  // namespace fuzz
