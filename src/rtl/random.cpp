#include "rtl/random.h"

#include <chrono>

namespace rtl {
namespace {

uint64_t SplitMix(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

void Random::Seed(uint64_t seed) {
    for (auto& s : s_) s = SplitMix(seed);
}

void Random::Randomize() {
    Seed(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
         static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

Random& ProgramRandom() {
    static Random generator;
    return generator;
}

}  // namespace rtl
