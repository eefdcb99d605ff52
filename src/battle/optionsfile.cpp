#include "battle/optionsfile.h"

#include "battle/datatable.h"
#include "rtl/convert.h"
#include "rtl/textfile.h"

namespace battle {

bool IsOptionNumberLine(int line) {
    return line == kOptionRoundsLine || line == kOptionBattlesLine || line == kOptionGenerationsLine ||
           line == kOptionCandidatesLine;
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
