#include "battle/optionsfile.h"

#include <limits>

#include "battle/datatable.h"
#include "battle/fleetselection.h"
#include "rtl/convert.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"

namespace battle {

namespace {

// The battle number of a run is 16 bits and passes the last battle by one.
constexpr int64_t kMaxRunBattles = std::numeric_limits<uint16_t>::max() - 1;

const OptionNumber kOptionNumbers[] = {
    {kOptionRoundsLine, "количество раундов", 1, std::numeric_limits<int32_t>::max()},
    {kOptionBattlesLine, "количество боев для статистики", 1, kMaxRunBattles},
    {kOptionGenerationsLine, "количество итераций при поборе", 1, kMaxGenerations},
    {kOptionCandidatesLine, "количество боев при подборе", 1, kMaxCandidates},
};

const OptionNumber* FindOptionNumber(int line) {
    for (const OptionNumber& option : kOptionNumbers)
        if (option.line == line) return &option;
    return nullptr;
}

}  // namespace

bool IsOptionNumberLine(int line) { return FindOptionNumber(line) != nullptr; }

const OptionNumber& OptionNumberAt(int line) {
    const OptionNumber* option = FindOptionNumber(line);
    if (!option) throw rtl::ERangeError();
    return *option;
}

OptionsFile ReadOptionsFile(const std::string& path) {
    RequireFile(path);
    rtl::TextFileReader reader(path);
    OptionsFile options;
    int read = 0, firstBad = 0;
    std::string badText;
    for (; read < kOptionLineCount && !reader.Eof(); ++read) {
        std::string text = reader.ReadLine();
        int32_t number = 0;
        const int line = read + 1;
        if (!rtl::PlainTextLine(text) || (IsOptionNumberLine(line) && !rtl::TryStrToInt(text, number))) {
            if (firstBad == 0) {
                firstBad = line;
                badText = text;
            }
            continue;
        }
        options.lines[static_cast<size_t>(read)] = std::move(text);
    }
    if (firstBad != 0) {
        const std::string shown = rtl::PlainTextLine(badText) && badText.size() <= 40 ? "«" + badText + "»"
                                                                                        : "не текст";
        options.message = "Файл " + path + " поврежден: в строке " + rtl::IntToStr(firstBad) + " " + shown +
                          (IsOptionNumberLine(firstBad) && rtl::PlainTextLine(badText) ? ", а нужно целое число."
                                                                                       : ".");
    }
    if (read < kOptionLineCount)
        options.message += std::string(options.message.empty() ? "" : " ") + "В файле " + path + " строк " +
                           rtl::IntToStr(read) + " из " + rtl::IntToStr(kOptionLineCount) + ".";
    return options;
}

}  // namespace battle
