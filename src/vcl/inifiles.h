// Ini files of code page 1251 text: sections and keys compared without
// regard to case; every write goes to the file at once.
#pragma once
#include <string>
#include <vector>

namespace vcl {

class TIniFile {
public:
    // A missing file reads as empty and is made by the first write.
    explicit TIniFile(std::string path);

    const std::string& FileName() const { return path_; }
    std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
    // The default when the key is missing or its value is not a whole number.
    int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    bool SectionExists(const std::string& section) const;

private:
    // Index of the "[section]" line, -1 when none; and of the key's line.
    int FindSection(const std::string& section) const;
    int FindKey(int sectionLine, const std::string& key) const;
    std::string path_;
    std::vector<std::string> lines_;
};

}  // namespace vcl
