// The text of a skin's Options.dat as the loader reads it: sections and
// keys in the order written, names compared without regard to case, a
// section or key written twice counted once (the first value wins).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "skin/core/skinutils.h"

namespace skin {

class TSkinIni {
public:
    TSkinIni() = default;
    explicit TSkinIni(std::string_view text);

    // Section names as written, in order.
    std::vector<std::string> ReadSections() const;
    // Key names of a section as written, in order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    bool SectionExists(std::string_view section) const { return Find(section) != nullptr; }
    std::string ReadString(std::string_view section, std::string_view key, const std::string& fallback) const;
    // "0x1F" and "$1F" are hexadecimal; the default when missing or no number.
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
    // "." is the decimal separator; the default when missing or no number.
    double ReadFloat(std::string_view section, std::string_view key, double fallback) const;

private:
    struct Entry {
        std::string Key;
        std::string Value;
    };
    struct Section {
        std::string Name;
        std::vector<Entry> Entries;
    };
    const Section* Find(std::string_view section) const;
    std::vector<Section> sections_;
};

}  // namespace skin
