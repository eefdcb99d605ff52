// A working folder for one test: a fresh temporary folder with copies of
// chosen installation files, made the current folder of the program (for
// the C library and for Win32 alike) and removed again at the end.
#pragma once
#include "gtest_windows.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "vcl/wintext.h"

namespace scratch {

inline std::string SourceData(const std::string& name) {
    const char* source = std::getenv("NORVIX_SOURCE_DIR");
    return std::string(source ? source : ".") + "/data/" + name;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline void ChangeFolder(const std::string& hostPath) {
    if (chdir(hostPath.c_str()) != 0) ADD_FAILURE() << "chdir " << hostPath;
    std::string dos = "Z:" + hostPath;
    for (char& c : dos)
        if (c == '/') c = '\\';
    SetCurrentDirectoryW(vcl::WideText(dos));
}

class Folder {
public:
    explicit Folder(const std::vector<std::string>& installFiles = {}) {
        char name[] = "/tmp/norvix_scratch_XXXXXX";
        const char* made = mkdtemp(name);
        // Without its own folder a test would write into the current one.
        if (!made) throw std::runtime_error("no scratch folder for the test");
        path_ = made;
        char* previous = getcwd(nullptr, 0);
        previous_ = previous ? previous : "/tmp";
        free(previous);
        for (const std::string& file : installFiles) WriteFile(path_ + "/" + file, ReadFile(SourceData(file)));
        ChangeFolder(path_);
    }
    ~Folder() {
        ChangeFolder(previous_);
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    std::string Path(const std::string& name) const { return path_ + "/" + name; }
    std::string Read(const std::string& name) const { return ReadFile(Path(name)); }
    void Write(const std::string& name, const std::string& bytes) const { WriteFile(Path(name), bytes); }
    bool Exists(const std::string& name) const { return access(Path(name).c_str(), F_OK) == 0; }

private:
    std::string path_, previous_;
};

// Lines of a text as the program writes them (CR LF).
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

inline std::string JoinCrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace scratch
