// Rounding of reals to integers: nearest, exact halves to the even neighbour.
#include "runtime/rounding.hpp"

#include <gtest/gtest.h>

namespace vek {
namespace {

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(1.49), 1);
}

TEST(RoundHalfEven, FrameRatesRoundAsTheTimerShowsThem) {
    EXPECT_EQ(roundHalfEven(30.5), 30);
    EXPECT_EQ(roundHalfEven(31.5), 32);
    EXPECT_EQ(roundHalfEven(30.500001), 31);
}

}  // namespace
}  // namespace vek
