// med.dat as the player's disk may hold it: any bytes set what they can of
// the medal list and never crash; what was read is saved and read back unchanged.
// seeds: data/med.dat
#include <cstdlib>

#include "battle/defaultsfiles.h"
#include "fuzz_support.h"
#include "rtl/errors.h"

namespace {

battle::LevelList ShippedMedals() {
    battle::LevelList medals;
    for (uint16_t row = 1; row <= 6; ++row) medals.Add(row);
    medals.Add(100);
    return medals;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    battle::LevelList read = ShippedMedals();
    try {
        battle::ReadMedalDefaultsFile(fuzz::WriteScratch(data, size), read);
    } catch (const rtl::ERuntimeError&) {
        return 0;
    }
    for (std::string& value : read.values) value = battle::OneLine(value);
    battle::WriteMedalDefaultsFile(fuzz::ScratchPath(), read);
    battle::LevelList again = ShippedMedals();
    battle::ReadMedalDefaultsFile(fuzz::ScratchPath(), again);
    if (again.values != read.values) std::abort();
    return 0;
}
