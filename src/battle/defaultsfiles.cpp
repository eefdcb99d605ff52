#include "battle/defaultsfiles.h"

#include <unordered_map>

#include "rtl/convert.h"
#include "rtl/textfile.h"

namespace battle {

namespace {

// The lines of a file, taken one by one.
class LineCursor {
public:
    explicit LineCursor(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    bool AtEnd() const { return next_ >= lines_.size(); }
    const std::string& Take() { return lines_[next_++]; }

private:
    std::vector<std::string> lines_;
    size_t next_ = 0;
};

enum class ListEnd { Separator, EndOfFile };

// The pairs of one list: the fixed head by position (its row lines are not
// compared), then pairs matched by row, forward from the last match, until a
// separator or the end of the file. A row line without its value is dropped.
ListEnd ReadList(LineCursor& in, LevelList& list, bool separated) {
    for (size_t i = 0; i < list.fixed; ++i) {
        if (in.AtEnd()) return ListEnd::EndOfFile;
        if (in.Take() == kDefaultsSeparator && separated) return ListEnd::Separator;
        if (in.AtEnd()) return ListEnd::EndOfFile;
        const std::string& value = in.Take();
        if (i < list.values.size()) list.values[i] = value;
    }
    size_t from = list.fixed;
    while (!in.AtEnd()) {
        const std::string& row = in.Take();
        if (separated && row == kDefaultsSeparator) return ListEnd::Separator;
        if (in.AtEnd()) break;
        const std::string& value = in.Take();
        for (size_t k = from; k < list.rows.size() && k < list.values.size(); ++k) {
            if (rtl::IntToStr(list.rows[k]) != row) continue;
            list.values[k] = value;
            from = k;
            break;
        }
    }
    return ListEnd::EndOfFile;
}

std::string Truncated(const char* file) {
    return std::string("Файл ") + file +
           " неполон: загружено то, что в нем есть, остальные значения оставлены прежними.";
}

void WritePairs(std::vector<std::string>& lines, const LevelList& list) {
    for (size_t i = 0; i < list.rows.size(); ++i) {
        lines.push_back(rtl::IntToStr(i < list.fixed ? 0 : list.rows[i]));
        lines.push_back(OneLine(i < list.values.size() ? list.values[i] : "0"));
    }
}

}  // namespace

DefaultsReadResult ReadDefaultsFile(const std::string& path, DefaultLevels& levels) {
    DefaultsReadResult result;
    if (!rtl::FileExists(path)) {
        result.found = false;
        return result;
    }
    LineCursor in(rtl::ReadAllLines(path));
    const bool whole = [&] {
        if (ReadList(in, levels.techs, true) != ListEnd::Separator) return false;
        if (ReadList(in, levels.officers, true) != ListEnd::Separator) return false;
        if (in.AtEnd()) return false;
        std::string player = in.Take();
        if (in.AtEnd()) return false;
        levels.playerName = std::move(player);
        levels.enemyName = in.Take();
        if (in.AtEnd()) return true;
        in.Take();  // the separator of the template block
        if (in.AtEnd() || in.Take() != kTemplateBlockOn) return true;
        levels.loadTemplate = true;
        if (in.AtEnd()) return false;
        levels.templateIndex = in.Take();
        return true;
    }();
    if (!whole) result.message = Truncated(kDefaultsFile);
    return result;
}

void WriteDefaultsFile(const std::string& path, const DefaultLevels& levels) {
    std::vector<std::string> lines;
    WritePairs(lines, levels.techs);
    lines.emplace_back(kDefaultsSeparator);
    WritePairs(lines, levels.officers);
    lines.emplace_back(kDefaultsSeparator);
    lines.push_back(OneLine(levels.playerName));
    lines.push_back(OneLine(levels.enemyName));
    if (levels.loadTemplate) {
        lines.emplace_back(kDefaultsSeparator);
        lines.emplace_back(kTemplateBlockOn);
        lines.push_back(OneLine(levels.templateIndex));
    }
    rtl::WriteAllLines(path, lines, true);
}

DefaultsReadResult ReadMedalDefaultsFile(const std::string& path, LevelList& medals) {
    DefaultsReadResult result;
    if (!rtl::FileExists(path)) {
        result.found = false;
        return result;
    }
    std::vector<std::string> lines = rtl::ReadAllLines(path);
    const bool dangling = lines.size() % 2 != 0;
    LineCursor in(std::move(lines));
    ReadList(in, medals, false);
    if (dangling) result.message = Truncated(kMedalDefaultsFile);
    return result;
}

void WriteMedalDefaultsFile(const std::string& path, const LevelList& medals) {
    std::vector<std::string> lines;
    WritePairs(lines, medals);
    rtl::WriteAllLines(path, lines, true);
}

std::vector<int> MatchEntries(const std::vector<uint16_t>& from, size_t fromFixed, const std::vector<uint16_t>& to,
                              size_t toFixed) {
    std::unordered_map<uint16_t, int> byRow;
    for (size_t k = from.size(); k-- > fromFixed;) byRow[from[k]] = static_cast<int>(k);
    std::vector<int> match(to.size(), -1);
    for (size_t i = 0; i < to.size(); ++i) {
        if (i < toFixed) {
            if (i < fromFixed && i < from.size()) match[i] = static_cast<int>(i);
        } else if (auto found = byRow.find(to[i]); found != byRow.end()) {
            match[i] = found->second;
        }
    }
    return match;
}

std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

int TemplateIndex(std::string_view text, int count) {
    int32_t index = -1;
    if (!rtl::TryStrToInt(text, index) || index < 0 || index >= count) return -1;
    return index;
}

}  // namespace battle
