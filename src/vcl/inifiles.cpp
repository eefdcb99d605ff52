#include "vcl/inifiles.h"

#include "rtl/convert.h"
#include "rtl/encoding.h"
#include "rtl/textfile.h"

namespace vcl {

namespace {

std::string Trim(const std::string& text) { return std::string(rtl::Trimmed(text)); }

bool IsSection(const std::string& line) {
    std::string trimmed = Trim(line);
    return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

}  // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {
    if (rtl::FileExists(path_)) lines_ = rtl::ReadAllLines(path_);
}

int TIniFile::FindSection(const std::string& section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (!IsSection(lines_[i])) continue;
        std::string name = Trim(lines_[i]);
        if (rtl::SameText1251(Trim(name.substr(1, name.size() - 2)), section)) return static_cast<int>(i);
    }
    return -1;
}

int TIniFile::FindKey(int sectionLine, const std::string& key) const {
    for (size_t i = static_cast<size_t>(sectionLine) + 1; i < lines_.size() && !IsSection(lines_[i]); ++i) {
        size_t equals = lines_[i].find('=');
        if (equals == std::string::npos) continue;
        if (rtl::SameText1251(Trim(lines_[i].substr(0, equals)), key)) return static_cast<int>(i);
    }
    return -1;
}

bool TIniFile::SectionExists(const std::string& section) const { return FindSection(section) >= 0; }

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& fallback) const {
    int sectionLine = FindSection(section);
    if (sectionLine < 0) return fallback;
    int keyLine = FindKey(sectionLine, key);
    if (keyLine < 0) return fallback;
    const std::string& line = lines_[static_cast<size_t>(keyLine)];
    return Trim(line.substr(line.find('=') + 1));
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const {
    return rtl::StrToIntDef(ReadString(section, key, ""), fallback);
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    std::string entry = key + "=" + value;
    int sectionLine = FindSection(section);
    if (sectionLine < 0) {
        lines_.push_back("[" + section + "]");
        lines_.push_back(entry);
    } else if (int keyLine = FindKey(sectionLine, key); keyLine >= 0) {
        // The key keeps the spelling it has in the file.
        std::string& line = lines_[static_cast<size_t>(keyLine)];
        line = line.substr(0, line.find('=') + 1) + value;
    } else {
        size_t at = static_cast<size_t>(sectionLine) + 1;
        while (at < lines_.size() && !IsSection(lines_[at])) ++at;
        // After the section's last non-blank line.
        while (at > static_cast<size_t>(sectionLine) + 1 && Trim(lines_[at - 1]).empty()) --at;
        lines_.insert(lines_.begin() + static_cast<long>(at), entry);
    }
    rtl::WriteAllLines(path_, lines_, true);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, rtl::IntToStr(value));
}

}  // namespace vcl
