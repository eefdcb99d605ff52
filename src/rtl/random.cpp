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

inline uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

}  // namespace

void Random::Seed(uint64_t seed) {
    for (auto& s : s_) s = SplitMix(seed);
}

void Random::Randomize() {
    Seed(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
         static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

// xoshiro256**: fast, small state, good statistical quality.
uint64_t Random::NextBits() {
    uint64_t result = Rotl(s_[1] * 5, 7) * 9;
    uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = Rotl(s_[3], 45);
    return result;
}

double Random::NextDouble() { return static_cast<double>(NextBits() >> 11) * 0x1.0p-53; }

uint32_t Random::Next(uint32_t n) {
    if (n == 0) return 0;
    // Lemire's multiply-and-reject.
    uint64_t m = static_cast<uint64_t>(static_cast<uint32_t>(NextBits() >> 32)) * n;
    uint32_t low = static_cast<uint32_t>(m);
    if (low < n) {
        uint32_t threshold = static_cast<uint32_t>(-n) % n;
        while (low < threshold) {
            m = static_cast<uint64_t>(static_cast<uint32_t>(NextBits() >> 32)) * n;
            low = static_cast<uint32_t>(m);
        }
    }
    return static_cast<uint32_t>(m >> 32);
}

Random& ProgramRandom() {
    static Random generator;
    return generator;
}

}  // namespace rtl
