// lang.dat as the player's disk may hold it: captions or a message.
// seeds: data/lang.dat
#include "battle/langfile.h"
#include "fuzz_support.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        battle::LangCaptions captions = battle::ReadLangFile(fuzz::WriteScratch(data, size));
        if (static_cast<int>(captions.lines.size()) > battle::kLangLineCount) std::abort();
        for (const std::string& line : captions.lines)
            if (!rtl::PlainTextLine(line)) std::abort();
    } catch (const rtl::ERuntimeError&) {
    }
    return 0;
}
