// Any version page of the update site: four sound fields or nothing, never a crash.
// seeds: data/opt.dat
#include "fuzz_support.h"
#include "windows/core/updatepage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    update::UpdateFields fields;
    update::ReadUpdateFields(fuzz::Lines(data, size), fields);
    return 0;
}
