// opt.dat as the player's disk may hold it: every line the options window
// takes is text, and a number line a whole number.
// seeds: data/opt.dat
#include "battle/optionsfile.h"
#include "fuzz_support.h"
#include "rtl/convert.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        battle::OptionsFile options = battle::ReadOptionsFile(fuzz::WriteScratch(data, size));
        for (int line = 1; line <= battle::kOptionLineCount; ++line) {
            const auto& text = options.lines[static_cast<size_t>(line - 1)];
            if (!text) continue;
            int32_t number = 0;
            if (!rtl::PlainTextLine(*text)) std::abort();
            if (battle::IsOptionNumberLine(line) && !rtl::TryStrToInt(*text, number)) std::abort();
        }
    } catch (const rtl::ERuntimeError&) {
    }
    return 0;
}
