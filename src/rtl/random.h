// The program's one random generator. Seeded from the clock at start (and
// again by "new battle"); tests seed it themselves.
#pragma once
#include <cstdint>

namespace rtl {

class Random {
public:
    explicit Random(uint64_t seed = 1) { Seed(seed); }
    void Seed(uint64_t seed);
    // Seeds from the clock.
    void Randomize();

    // Uniform in [0, 1).
    double NextDouble() { return static_cast<double>(NextBits() >> 11) * 0x1.0p-53; }
    // Uniform whole number in [0, n), without bias; 0 when n is 0.
    // Inline, as the battle draws two numbers for every shot.
    uint32_t Next(uint32_t n) {
        if (n == 0) return 0;
        // Lemire's multiply-and-reject.
        uint64_t m = static_cast<uint64_t>(static_cast<uint32_t>(NextBits() >> 32)) * n;
        if (static_cast<uint32_t>(m) < n) {
            const uint32_t threshold = static_cast<uint32_t>(-n) % n;
            while (static_cast<uint32_t>(m) < threshold)
                m = static_cast<uint64_t>(static_cast<uint32_t>(NextBits() >> 32)) * n;
        }
        return static_cast<uint32_t>(m >> 32);
    }

private:
    static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    // xoshiro256**: fast, small state, good statistical quality.
    uint64_t NextBits() {
        const uint64_t result = Rotl(s_[1] * 5, 7) * 9;
        const uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = Rotl(s_[3], 45);
        return result;
    }
    uint64_t s_[4];
};

// The generator the whole program shares.
Random& ProgramRandom();

}  // namespace rtl
