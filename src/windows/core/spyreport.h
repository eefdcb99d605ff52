// Reading a spy report pasted from the game: which unit, building, research
// and acid-pool values of the enemy it gives, section by section. The report
// analysis window turns the steps into entries of side 2's editors.
#pragma once
#include <string>
#include <vector>

namespace spy {

// A unit type of the analyser's table, in table order.
struct ReportUnit {
    std::string name;
    bool building = false;
};

struct Step {
    enum Kind {
        Unit,           // unit table entry `index` := text, in the ship editor as it stands
        AcidPool,       // the officer editor's acid-pool entry := text
        Research,       // technology name `index` := text
        Unreadable,     // text is a line whose value is no count 0..65535
        AlliedStart,    // the report's allied fleet follows: a new participant
        AlliedEnd,      // back to the defended planet's own participant
        ResearchNoFile  // the research section was reached without the technology names
    };
    Kind kind;
    int index = 0;
    std::string text;
};

inline constexpr const char* kAlliedFleetLine = "Обороняющий флот";
inline constexpr const char* kDefenceLine = "Оборона";
inline constexpr const char* kBuildingsLine = "Постройки";
inline constexpr const char* kResearchLine = "Исследования";
inline constexpr const char* kAcidPoolName = "Кислотный бассейн";
inline constexpr const char* kUnreadableMessage = "Невозможно обработать строку: ";
inline constexpr const char* kNothingRecognised =
    "В отчете ничего не распознано: ни одной строки с юнитом, постройкой, кислотным бассейном или исследованием "
    "из базы. Ничего не внесено.";

// The report's lines from the fifth on, section by section: fleet, allied
// fleet, defence, buildings, research; an empty line ends the section it is
// in and so every later one. `techNames` is null when the names could not be
// read. A line is matched to the first item whose (non-empty) name it
// contains; its value follows the name, blanks of any kind before and after
// the line and the value left aside.
std::vector<Step> ReadReport(const std::vector<std::string>& lines, const std::vector<ReportUnit>& units,
                             const std::vector<std::string>* techNames);

// One message for all the report's unreadable lines: how many, the first
// five, and why; a single line is told with its text ("Невозможно
// обработать строку: …"). Empty when there are none.
std::string UnreadableLinesMessage(const std::vector<Step>& steps);

}  // namespace spy
