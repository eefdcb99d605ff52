// lang.dat: the captions of the main window's menus, buttons and labels,
// one a line in a fixed order (window caption, "файл", "Новый бой", ...).
#pragma once
#include <string>
#include <vector>

namespace battle {

inline constexpr const char* kLangFile = "lang.dat";
inline constexpr int kLangLineCount = 33;

struct LangCaptions {
    // The captions in file order, at most 33; fewer when the file is short,
    // and the controls of the missing lines keep the captions they have.
    std::vector<std::string> lines;
    std::string message;  // for the player when the file is short or damaged; else empty
};

// A missing or unreadable file throws rtl::EInOutError naming the file and
// its folder. Lines beyond the 33rd are not read. A file with control
// characters in a caption is damaged and gives no caption at all.
LangCaptions ReadLangFile(const std::string& path);

}  // namespace battle
