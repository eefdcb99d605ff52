// cords.ini as the player's disk may hold it: the window positions read as
// numbers or as their defaults, and a write keeps the file readable.
// seeds: fuzz/seeds/cords/*
// The ini reader needs no window, but it is built with the component layer;
// this build takes its source as it is.
#include "../src/vcl/inifiles.cpp"
#include "fuzz_support.h"
#include "rtl/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        vcl::TIniFile file(fuzz::WriteScratch(data, size));
        for (const char* section : {"main", "log", "stat"}) {
            file.ReadInteger(section, "top", 0);
            file.ReadInteger(section, "left", 0);
        }
        file.WriteInteger("main", "top", 30);
        if (vcl::TIniFile(file.FileName()).ReadInteger("main", "top", -1) != 30) std::abort();
    } catch (const rtl::ERuntimeError&) {
    }
    return 0;
}
