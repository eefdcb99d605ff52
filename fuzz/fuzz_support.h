// Shared by the fuzz targets: the readers take file names, so each input is
// written to one scratch file of the process first; an input may also carry
// several files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>
#include <unistd.h>

namespace fuzz {

inline const std::string& ScratchPath() {
    static const std::string path = "/tmp/norvix_fuzz_" + std::to_string(getpid()) + ".dat";
    // Registered after the path is made, so it runs before the path is gone.
    static const bool removedAtExit = std::atexit([] { std::remove(ScratchPath().c_str()); }) == 0;
    (void)removedAtExit;
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

// The input as the lines a memo or a text file would hold (CR LF, LF or CR).
inline std::vector<std::string> Lines(const uint8_t* data, size_t size) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// Several files in one input: the first file, then for each further one a
// line "#file NAME" and its bytes. Seeds stay readable and the fuzzer can
// change a file, its name or where one ends.
struct NamedFile {
    std::string name;
    std::string bytes;
};
inline std::vector<NamedFile> SplitFiles(const uint8_t* data, size_t size, const std::string& firstName) {
    static constexpr std::string_view kMark = "\n#file ";
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    std::vector<NamedFile> files{{firstName, {}}};
    size_t pos = 0;
    for (;;) {
        const size_t mark = all.find(kMark, pos);
        files.back().bytes.assign(all.substr(pos, mark == std::string_view::npos ? std::string_view::npos : mark - pos));
        if (mark == std::string_view::npos) return files;
        const size_t nameStart = mark + kMark.size();
        const size_t nameEnd = all.find('\n', nameStart);
        files.push_back({std::string(all.substr(nameStart, nameEnd == std::string_view::npos ? std::string_view::npos
                                                                                              : nameEnd - nameStart)),
                         {}});
        if (nameEnd == std::string_view::npos) return files;
        pos = nameEnd + 1;
    }
}

inline const std::string* FindFile(const std::vector<NamedFile>& files, std::string_view name) {
    for (const NamedFile& f : files)
        if (f.name == name) return &f.bytes;
    return nullptr;
}

}  // namespace fuzz
