// The game's random generator.
#include "game/random.hpp"

namespace vek {

int TRandomGenerator::Random(int n) {
    seed_ = NextRandomSeed(seed_);
    return RandomFromSeed(seed_, n);
}

}  // namespace vek
