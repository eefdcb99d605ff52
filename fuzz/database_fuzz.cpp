// DataBase.dat as the player's disk may hold it: any bytes load into the
// table or are refused with a message, never a crash. The seed is a table of
// a few rows (a short file loads what it has), so that each input is read
// quickly and the fuzzer gets far into the rows.
// seeds: fuzz/seeds/database/*
// options: -max_len=16384
#include <cstdlib>

#include "battle/datatable.h"
#include "fuzz_support.h"
#include "rtl/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static battle::DataTable table;
    try {
        const battle::DataTable::LoadResult loaded = table.LoadFromFile(fuzz::WriteScratch(data, size));
        if (!loaded.complete && loaded.message.empty()) std::abort();
    } catch (const rtl::ERuntimeError& error) {
        if (error.what()[0] == '\0') std::abort();
    }
    return 0;
}
