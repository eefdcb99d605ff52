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
    double NextDouble();
    // Uniform whole number in [0, n), without bias; 0 when n is 0.
    uint32_t Next(uint32_t n);

private:
    uint64_t NextBits();
    uint64_t s_[4];
};

// The generator the whole program shares.
Random& ProgramRandom();

}  // namespace rtl
