// The most points a game can make, from the spawn script and the enemies' points: the scripted
// whole game destroys every enemy and makes exactly that many.
#include "game/spawn_table.hpp"

#include <gtest/gtest.h>

namespace vek {
namespace {

TEST(SpawnTable, TheMostAGameMakesIsTheWholeGamesScore) {
    // 27 disks and attackers at 1,000; the boss: 19 hits at 100, the last for 100,000 and
    // 21 explosions at 1,000. tests/script's whole game ends with as many.
    EXPECT_EQ(MaxGameScore(), 149900);
}

}  // namespace
}  // namespace vek
