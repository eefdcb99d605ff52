#include "windows/core/spyreport.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "battle/inputcheck.h"
#include "rtl/convert.h"

namespace spy {
namespace {

constexpr size_t kHeadingLines = 4;
constexpr int64_t kMaxCount = 65535;

// Without the blanks around it, which a report copied from a page often has
// at its line ends and starts. \xA0: the no-break space of code page 1251.
std::string_view Trimmed(std::string_view text) { return rtl::Trimmed(text, " \t\xA0\r\n\v\f"); }

class Reader {
public:
    Reader(const std::vector<std::string>& lines, std::vector<Step>& steps) : lines_(lines), steps_(steps) {}

    // Lines past the last one read as empty.
    const std::string& Line() const {
        static const std::string empty;
        return at_ < lines_.size() ? lines_[at_] : empty;
    }
    // A heading is known with blanks around it too, as a value is read.
    bool IsHeading(const char* heading) const { return Trimmed(Line()) == heading; }
    bool AtEnd(std::initializer_list<const char*> stops) const {
        if (Line().empty()) return true;
        for (const char* stop : stops)
            if (IsHeading(stop)) return true;
        return false;
    }
    void Next() { ++at_; }

    // The value after a name and one separator of the line without its
    // blanks, themselves without the blanks around it, read as every editor
    // reads a number and kept as the number alone; a message step when it is
    // no count. False when the value is unreadable.
    bool Value(size_t nameLength, std::string& value) {
        const std::string& line = Line();
        const std::string_view text = Trimmed(line);
        value = nameLength + 1 < text.size() ? std::string(Trimmed(text.substr(nameLength + 1))) : std::string();
        int64_t count = 0;
        if (battle::ReadWholeNumber(value, 0, kMaxCount, count)) {
            value = rtl::IntToStr(count);
            return true;
        }
        steps_.push_back({Step::Unreadable, 0, line});
        return false;
    }

    // Matches the line against a list of names and adds the step.
    template <class NameOf>
    void Match(Step::Kind kind, size_t count, NameOf nameOf) {
        const std::string& line = Line();
        for (size_t i = 0; i < count; ++i) {
            const std::string* name = nameOf(i);
            if (!name || name->empty() || line.find(*name) == std::string::npos) continue;
            std::string value;
            if (Value(name->size(), value)) steps_.push_back({kind, static_cast<int>(i), value});
            return;
        }
    }

    void Add(Step step) { steps_.push_back(std::move(step)); }

private:
    const std::vector<std::string>& lines_;
    std::vector<Step>& steps_;
    size_t at_ = kHeadingLines;
};

}  // namespace

std::vector<Step> ReadReport(const std::vector<std::string>& lines, const std::vector<ReportUnit>& units,
                             const std::vector<std::string>* techNames) {
    std::vector<Step> steps;
    Reader r(lines, steps);
    auto anyUnit = [&](size_t i) { return &units[i].name; };
    auto building = [&](size_t i) { return units[i].building ? &units[i].name : nullptr; };

    for (; !r.AtEnd({kAlliedFleetLine, kDefenceLine}); r.Next()) r.Match(Step::Unit, units.size(), anyUnit);

    if (r.IsHeading(kAlliedFleetLine)) {
        r.Add({Step::AlliedStart, 0, {}});
        for (; !r.AtEnd({kDefenceLine}); r.Next()) r.Match(Step::Unit, units.size(), anyUnit);
        r.Add({Step::AlliedEnd, 0, {}});
    }

    for (; !r.AtEnd({kBuildingsLine}); r.Next()) r.Match(Step::Unit, units.size(), anyUnit);

    const std::string acidPool = kAcidPoolName;
    for (; !r.AtEnd({kResearchLine}); r.Next()) {
        if (r.Line().find(acidPool) != std::string::npos) {
            std::string value;
            if (r.Value(acidPool.size(), value)) r.Add({Step::AcidPool, 0, value});
        }
        r.Match(Step::Unit, units.size(), building);
    }

    if (r.Line().empty()) return steps;
    if (!techNames) {
        r.Add({Step::ResearchNoFile, 0, {}});
        return steps;
    }
    for (; !r.AtEnd({}); r.Next())
        r.Match(Step::Research, techNames->size(), [&](size_t i) { return &(*techNames)[i]; });
    return steps;
}

std::string UnreadableLinesMessage(const std::vector<Step>& steps) {
    constexpr size_t kShown = 5, kShownLength = 80;
    std::vector<const std::string*> lines;
    for (const Step& step : steps)
        if (step.kind == Step::Unreadable) lines.push_back(&step.text);
    if (lines.empty()) return {};
    if (lines.size() == 1) return kUnreadableMessage + *lines[0];
    std::string text = "Невозможно обработать строк: " + std::to_string(lines.size()) +
                       ".\nКоличество должно быть целым числом от 0 до " + std::to_string(kMaxCount) +
                       ", эти строки пропущены.\nПервые из них:";
    for (size_t i = 0; i < lines.size() && i < kShown; ++i)
        text += "\n" + (lines[i]->size() > kShownLength ? lines[i]->substr(0, kShownLength) + "..." : *lines[i]);
    if (lines.size() > kShown) text += "\nи еще " + std::to_string(lines.size() - kShown) + ".";
    return text;
}

}  // namespace spy
