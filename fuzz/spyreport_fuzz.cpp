// Any text pasted as a spy report is read section by section, never a crash.
// seeds: data/Ansi.dat
#include "fuzz_support.h"
#include "windows/core/spyreport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<spy::ReportUnit> units = {
        {"Крейсер", false}, {"Линейный крейсер", false}, {"Бункер", true}, {"", false}, {"Кислотный бассейн", true}};
    static const std::vector<std::string> techs = {"Оружейная технология", "Технология брони", "", "Оружие роя"};
    const std::vector<std::string> lines = fuzz::Lines(data, size);
    spy::UnreadableLinesMessage(spy::ReadReport(lines, units, &techs));
    spy::ReadReport(lines, units, nullptr);
    return 0;
}
