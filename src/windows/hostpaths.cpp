#include "windows/hostpaths.h"

#include <string>

#include "rtl/encoding.h"
#include "rtl/textfile.h"
#include "vcl/wintext.h"

namespace {

// Wine's own conversion from a drive path to the host path it stands for.
using UnixFileName = char*(CDECL*)(LPCWSTR);

UnixFileName WineConversion() {
    static const auto convert = reinterpret_cast<UnixFileName>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    return convert;
}

bool HasDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string WineHostPath(UnixFileName convert, const std::string& programPath) {
    char* host = convert(vcl::WideText(programPath));
    if (!host) return {};
    std::string path = host;
    HeapFree(GetProcessHeap(), 0, host);
    return path;
}

std::string HostPath(const std::string& programPath) {
    if (HasDrive(programPath)) {
        if (UnixFileName convert = WineConversion()) {
            // Wine looks the folder up; the file's own name is taken as
            // written, as the bare names in the working folder are. Asked for
            // the whole path, Wine reads the whole folder for a file whose
            // name differs only in case whenever the name is not there yet:
            // a run that saves a log per battle spent more time naming its
            // files than fighting once the logs folder held a thousand.
            // Only a path whose folder exists converts; otherwise the open
            // that follows fails with a message about the path as written.
            const size_t slash = programPath.find_last_of('\\');
            if (slash != std::string::npos && slash + 1 < programPath.size()) {
                std::string folder = WineHostPath(convert, programPath.substr(0, slash + 1));
                if (!folder.empty()) {
                    if (folder.back() != '/') folder += '/';
                    return folder + rtl::Cp1251ToUtf8(programPath.substr(slash + 1));
                }
            } else if (std::string path = WineHostPath(convert, programPath); !path.empty()) {
                return path;
            }
        }
    }
    // Relative to the working folder (which the program never changes), or
    // a folder that does not exist: the same path in the host's form.
    std::string path = rtl::Cp1251ToUtf8(programPath);
    for (char& c : path)
        if (c == '\\') c = '/';
    if (HasDrive(path) && (path[0] == 'Z' || path[0] == 'z')) path.erase(0, 2);
    return path;
}

}  // namespace

void InstallHostPaths() { rtl::SetPathMapper(HostPath); }
