// The fixed script of a game's 28 enemies: from which playing-scene frame each is due,
// its class, and where it appears (X is added to the screen width).
#pragma once

#include <array>

#include "sprite/sprite.hpp"

namespace vek {

struct TSpawnRow {
    int Frame;
    TSpriteClass EnemyClass;
    int X;
    int Y;
};

// Sorted by Frame; read once, strictly in row order.
extern const std::array<TSpawnRow, 28> SpawnTable;

// The most points a game can make: every enemy of the script destroyed, the boss with all
// its hits. A score above it was not played.
int MaxGameScore();

}  // namespace vek
