// The ability and special-attack name files as the player's disk may hold
// them: any bytes give a list of names, and the codes of a unit row are read
// against it and written back without a crash.
// seeds: data/spab.dat data/spat.dat
#include <array>
#include <string>
#include <vector>

#include "battle/unitcodes.h"
#include "fuzz_support.h"
#include "rtl/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> names;
    try {
        names = battle::ReadNameFile(fuzz::WriteScratch(data, size));
    } catch (const rtl::ERuntimeError&) {
        return 0;
    }
    // The names' own lines serve as code cells, as a broken row would hold them.
    std::array<std::string, battle::kCodesPerKind> kept;
    std::vector<bool> checked(names.size(), false);
    for (size_t i = 0; i < names.size(); ++i) {
        const battle::CodeCell code = battle::DecodeCode(names[i], names.size());
        if (code.kind == battle::CodeCell::kItem) checked.at(static_cast<size_t>(code.item)) = true;
        else if (code.kind == battle::CodeCell::kUnknown && i < kept.size()) kept[i] = names[i];
    }
    const auto cells = battle::EncodeCodes(checked, kept);
    for (const std::string& cell : cells)
        if (cell.empty()) __builtin_trap();
    return 0;
}
