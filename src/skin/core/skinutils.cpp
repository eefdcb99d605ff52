#include "skin/core/skinutils.h"

#include <cstdint>

#include "rtl/convert.h"
#include "rtl/encoding.h"
#include "rtl/errors.h"

namespace skin {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool IsDelim(char c, std::string_view delims) { return delims.find(c) != std::string_view::npos; }

}  // namespace

TIniSections ReadIniSections(std::string_view text) {
    TIniSections sections;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            sections.push_back(TIniSection{std::string(Trim(line.substr(1, line.size() - 2))), {}});
        } else if (!sections.empty()) {
            sections.back().Lines.emplace_back(line);
        }
    }
    return sections;
}

const TIniSection* FindIniSection(const TIniSections& sections, std::string_view name) {
    for (const TIniSection& s : sections)
        if (rtl::SameText1251(s.Name, name)) return &s;
    return nullptr;
}

std::string ReadIniString(const TIniSections& sections, std::string_view section, std::string_view key,
                          const std::string& fallback) {
    const TIniSection* s = FindIniSection(sections, section);
    if (s == nullptr) return fallback;
    for (const std::string& line : s->Lines) {
        size_t eq = line.find('=');
        if (eq != std::string::npos && rtl::SameText1251(Trim(std::string_view(line).substr(0, eq)), key))
            return std::string(Trim(std::string_view(line).substr(eq + 1)));
    }
    return fallback;
}

int ReadIniInteger(const TIniSections& sections, std::string_view section, std::string_view key, int fallback) {
    const std::string text = ReadIniString(sections, section, key, "");
    int value;
    return TrySkinStrToInt(text, value) ? value : fallback;
}

bool TrySkinStrToInt(std::string_view text, int& value) {
    int32_t v;
    if (rtl::TryStrToInt(text, v)) {
        value = v;
        return true;
    }
    std::string_view t = Trim(text);
    bool negative = false;
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    if (!t.empty() && t.front() == '$')
        t.remove_prefix(1);
    else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))
        t.remove_prefix(2);
    else
        return false;
    if (t.empty() || t.size() > 8) return false;
    uint32_t acc = 0;
    for (char c : t) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        acc = acc * 16 + static_cast<uint32_t>(d);
    }
    value = static_cast<int32_t>(negative ? 0u - acc : acc);
    return true;
}

int SkinStrToInt(std::string_view text) {
    int value;
    if (!TrySkinStrToInt(text, value)) throw rtl::EConvertError("'" + std::string(text) + "' не является целым числом");
    return value;
}

int WordStart(int n, std::string_view s, std::string_view delims) {
    int count = 0;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && IsDelim(s[i], delims)) ++i;
        if (i >= s.size()) break;
        if (++count == n) return static_cast<int>(i) + 1;
        while (i < s.size() && !IsDelim(s[i], delims)) ++i;
    }
    return 0;
}

std::string WordAt(int n, std::string_view s, std::string_view delims) {
    int start = WordStart(n, s, delims);
    if (start == 0) return {};
    size_t i = static_cast<size_t>(start - 1), j = i;
    while (j < s.size() && !IsDelim(s[j], delims)) ++j;
    return std::string(s.substr(i, j - i));
}

int CountWords(std::string_view s, std::string_view delims) {
    int count = 0;
    bool inWord = false;
    for (char c : s) {
        bool d = IsDelim(c, delims);
        if (!d && !inWord) ++count;
        inWord = !d;
    }
    return count;
}

std::string RemoveChar(std::string_view s, char c) {
    std::string out;
    out.reserve(s.size());
    for (char ch : s)
        if (ch != c) out += ch;
    return out;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string out;
    size_t pos = 0;
    for (size_t hit; (hit = s.find(from, pos)) != std::string_view::npos; pos = hit + from.size()) {
        out.append(s.substr(pos, hit - pos));
        out.append(to);
    }
    out.append(s.substr(pos));
    return out;
}

std::string NormalDir(std::string_view dir) {
    if (dir.empty()) return {};
    if (dir.back() == '\\') return std::string(dir);
    if (dir.back() == '/') return std::string(dir.substr(0, dir.size() - 1)) + '\\';
    if (dir.size() == 1) return std::string(dir) + ":\\";
    return std::string(dir) + '\\';
}

std::string ChangeSetText(std::string_view text, std::string_view element, bool include, bool& changed) {
    // Compared element by element, so that removing "a" never cuts it out of "ab".
    std::vector<std::string> items;
    for (int i = 1, n = CountWords(text, ","); i <= n; ++i) items.push_back(std::string(Trim(WordAt(i, text, ","))));
    bool present = false;
    for (const std::string& item : items) present = present || item == element;
    changed = include != present;
    if (!changed) return std::string(text);
    if (include) return text.empty() ? std::string(element) : std::string(text) + "," + std::string(element);
    std::string out;
    bool removed = false;
    for (const std::string& item : items) {
        if (!removed && item == element) {
            removed = true;
            continue;
        }
        if (!out.empty()) out += ',';
        out += item;
    }
    return out;
}

std::string FitTextWithEllipsis(const std::string& text, int width, const std::function<int(const std::string&)>& measure) {
    if (measure(text) <= width) return text;
    std::string rest = text;
    while (!rest.empty()) {
        rest.pop_back();
        std::string candidate = rest + "...";
        if (measure(candidate) <= width) return candidate;
    }
    return "...";
}

}  // namespace skin
