// DataBase.dat as the player's disk may hold it: any bytes load into the
// table or are refused with a message, never a crash.
// seeds: data/DataBase.dat
#include "battle/datatable.h"
#include "fuzz_support.h"
#include "rtl/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static battle::DataTable table;
    try {
        table.LoadFromFile(fuzz::WriteScratch(data, size));
    } catch (const rtl::ERuntimeError&) {
    }
    return 0;
}
