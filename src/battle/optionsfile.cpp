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
    {kOptionRoundsLine, "количество раундов", 1, kMaxBattleRounds},
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

namespace {

// What is wrong with a line the file cannot give; empty when it is usable.
std::string LineProblem(int line, const std::string& text) {
    if (!rtl::PlainTextLine(text)) return " не текст.";
    int32_t number = 0;
    if (!IsOptionNumberLine(line) || rtl::TryStrToInt(text, number)) return {};
    constexpr size_t kShownLength = 40;
    if (!rtl::IsWholeNumberText(text))
        return " " + (text.size() <= kShownLength ? "«" + text + "»" : std::string("не текст")) +
               ", а нужно целое число.";
    // A whole number that fits no option: the player is told the range.
    const OptionNumber& option = OptionNumberAt(line);
    const std::string digits = text.size() <= kShownLength ? text : text.substr(0, kShownLength) + "...";
    return " «" + digits + "» - число вне допустимых пределов: «" + option.caption + "» должно быть целым числом от " +
           rtl::IntToStr(option.min) + " до " + rtl::IntToStr(option.max) + ".";
}

}  // namespace

OptionsFile ReadOptionsFile(const std::string& path) {
    RequireFile(path);
    rtl::TextFileReader reader(path);
    OptionsFile options;
    int read = 0;
    for (; read < kOptionLineCount && !reader.Eof(); ++read) {
        std::string text = reader.ReadLine();
        const std::string problem = LineProblem(read + 1, text);
        if (problem.empty())
            options.lines[static_cast<size_t>(read)] = std::move(text);
        else if (options.message.empty())
            options.message = "Файл " + path + " поврежден: в строке " + rtl::IntToStr(read + 1) + problem;
    }
    if (read < kOptionLineCount)
        options.message += std::string(options.message.empty() ? "" : " ") + "В файле " + path + " строк " +
                           rtl::IntToStr(read) + " из " + rtl::IntToStr(kOptionLineCount) + ".";
    return options;
}

}  // namespace battle
