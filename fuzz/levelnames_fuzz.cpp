// of.dat and teh.dat as the player's disk may hold them: a list the level
// editors can show, or a message.
// seeds: data/of.dat data/teh.dat
#include "battle/namelist.h"
#include "fuzz_support.h"
#include "rtl/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        battle::NameList list = battle::ReadNameList(fuzz::WriteScratch(data, size));
        if (static_cast<int>(list.names.size()) > battle::kMaxListNames) std::abort();
        if (list.names.empty() && list.message.empty()) std::abort();
    } catch (const rtl::ERuntimeError&) {
    }
    return 0;
}
