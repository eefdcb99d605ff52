#include "skin/core/skinini.h"

#include "rtl/encoding.h"

namespace skin {

namespace {

std::string Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

}  // namespace

TSkinIni::TSkinIni(std::string_view text) {
    for (TIniSection& raw : ReadIniSections(text)) {
        Section* target = const_cast<Section*>(Find(raw.Name));
        if (target == nullptr) {
            sections_.push_back(Section{raw.Name, {}});
            target = &sections_.back();
        }
        for (const std::string& line : raw.Lines) {
            const size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            std::string key = Trimmed(std::string_view(line).substr(0, eq));
            if (key.empty()) continue;
            bool known = false;
            for (const Entry& e : target->Entries) known = known || rtl::SameText1251(e.Key, key);
            if (!known) target->Entries.push_back(Entry{std::move(key), Trimmed(std::string_view(line).substr(eq + 1))});
        }
    }
}

const TSkinIni::Section* TSkinIni::Find(std::string_view section) const {
    for (const Section& s : sections_)
        if (rtl::SameText1251(s.Name, section)) return &s;
    return nullptr;
}

std::vector<std::string> TSkinIni::ReadSections() const {
    std::vector<std::string> names;
    for (const Section& s : sections_) names.push_back(s.Name);
    return names;
}

std::vector<std::string> TSkinIni::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* s = Find(section))
        for (const Entry& e : s->Entries) keys.push_back(e.Key);
    return keys;
}

std::string TSkinIni::ReadString(std::string_view section, std::string_view key, const std::string& fallback) const {
    if (const Section* s = Find(section))
        for (const Entry& e : s->Entries)
            if (rtl::SameText1251(e.Key, key)) return e.Value;
    return fallback;
}

int TSkinIni::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
    int value;
    return TrySkinStrToInt(ReadString(section, key, ""), value) ? value : fallback;
}

double TSkinIni::ReadFloat(std::string_view section, std::string_view key, double fallback) const {
    const std::string text = ReadString(section, key, "");
    if (text.empty()) return fallback;
    // Parsed by hand: "." whatever the locale says.
    size_t i = 0;
    bool negative = false;
    if (text[i] == '-' || text[i] == '+') negative = text[i++] == '-';
    double value = 0, scale = 1;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            if (point) {
                scale /= 10;
                value += (c - '0') * scale;
            } else {
                value = value * 10 + (c - '0');
            }
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return fallback;
        }
    }
    if (!digits) return fallback;
    return negative ? -value : value;
}

}  // namespace skin
