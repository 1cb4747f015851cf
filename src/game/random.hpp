// The game's random numbers: a linear congruential generator with a 32-bit seed that
// starts at 0, so every run sees the same sequence; only watching a kept game sets it.
#pragma once

#include <cstdint>

namespace vek {

class TRandomGenerator {
public:
    // The next value in 0 .. n − 1: the seed steps first, then the high half of seed × n.
    int Random(int n);
    std::uint32_t Seed() const { return seed_; }
    // Only a replayed game sets the seed: to the one its game began with, and back after.
    void SetSeed(std::uint32_t seed) { seed_ = seed; }

private:
    std::uint32_t seed_ = 0;
};

// One step of the seed: seed × 134775813 + 1, modulo 2^32.
constexpr std::uint32_t NextRandomSeed(std::uint32_t seed) {
    return seed * 134775813u + 1u;
}

// The value a seed gives for n: the high 32 bits of the 64-bit product seed × n.
constexpr int RandomFromSeed(std::uint32_t seed, int n) {
    return static_cast<int>((std::uint64_t{seed} * static_cast<std::uint32_t>(n)) >> 32);
}

}  // namespace vek
