// The player's default levels, names and template (def.dat) and medal
// counts (med.dat). Both hold pairs of lines, a database row and a value,
// in the order of the defaults window's lists: technologies, officers and
// medals. The fixed entries at the head of the technology and officer lists
// have no row of their own ("0") and are matched by position.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace battle {

inline constexpr const char* kDefaultsFile = "def.dat";
inline constexpr const char* kMedalDefaultsFile = "med.dat";
inline constexpr std::string_view kDefaultsSeparator = "------";
inline constexpr std::string_view kTemplateBlockOn = "1";
inline constexpr std::string_view kNoTemplate = "-1";

// One list of the defaults window: every entry's database row (0 for the
// fixed ones) and its value as typed.
struct LevelList {
    std::vector<uint16_t> rows;
    std::vector<std::string> values;
    size_t fixed = 0;  // entries at the head matched by position

    // Entries by position for the fixed head, then rows in order.
    void Add(uint16_t row, std::string value = "0") {
        rows.push_back(row);
        values.push_back(std::move(value));
    }
};

// What def.dat holds besides the lists.
struct DefaultLevels {
    LevelList techs, officers;
    std::string playerName, enemyName;
    bool loadTemplate = false;               // "загружать юниты из шаблона"
    std::string templateIndex{kNoTemplate};  // as the file holds it
};

struct DefaultsReadResult {
    bool found = true;    // false: no file; nothing was changed
    std::string message;  // for the player when the file ended early; else empty
};

// Sets what the file names onto `levels`, whose rows and fixed counts must
// describe the lists as the window built them. A pair whose row no entry at
// or after the last match has (a row deleted since, pairs out of order) is
// skipped and the reading goes on. The names and the template block are set
// only when the file has them. A file that ends before its last separator
// keeps what it had and says so in the message.
// An unreadable file throws rtl::EInOutError.
DefaultsReadResult ReadDefaultsFile(const std::string& path, DefaultLevels& levels);
// The file as the window saves it; the template block only with loadTemplate.
// Throws rtl::EInOutError and leaves the previous file whole.
void WriteDefaultsFile(const std::string& path, const DefaultLevels& levels);

// med.dat: pairs to the end of the file, matched by row like the lists above.
DefaultsReadResult ReadMedalDefaultsFile(const std::string& path, LevelList& medals);
void WriteMedalDefaultsFile(const std::string& path, const LevelList& medals);

// For every entry of `to`, the index of the entry of `from` with the same
// row (the fixed head by position), or -1. Lists of different windows built
// at different times may differ when rows were added or deleted since.
std::vector<int> MatchEntries(const std::vector<uint16_t>& from, size_t fromFixed,
                              const std::vector<uint16_t>& to, size_t toFixed);

// A text typed into a control is one line of a file whatever it holds.
std::string OneLine(std::string text);

// The default template's index as a list position within 0..count-1, or -1
// for none (also for a text that is no whole number or lies outside).
int TemplateIndex(std::string_view text, int count);

}  // namespace battle
