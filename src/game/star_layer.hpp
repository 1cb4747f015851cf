// The scrolling star field of the playing scene: TScrollBackground, a tiled background
// that moves left at its own speed, and the making of the three star layers.
#pragma once

#include <array>

#include "sprite/background_sprite.hpp"

namespace vek {

class TPictureCollectionItem;
class TRandomGenerator;

class TScrollBackground : public TBackgroundSprite {
public:
    using TBackgroundSprite::TBackgroundSprite;

    double Speed = 0;  // scroll speed factor

protected:
    // The image sprite's own step, then left by 0.06 × Speed per move unit.
    void DoMove(int moveCount) override;
};

// How one star layer is laid out.
struct TStarLayerLayout {
    int Y;
    int Z;
    double Speed;
    int Divisor;  // chips are drawn from the top PatternCount div Divisor patterns
};

inline constexpr int kStarMapWidth = 200;
inline constexpr int kStarMapHeight = 10;
// Back to front; all of them lie behind every other sprite.
inline constexpr std::array<TStarLayerLayout, 3> kStarLayers{{
    {10, -13, 0.5, 8},
    {30, -12, 1.0, 4},
    {40, -11, 2.0, 2},
}};

// Makes the three star layers under parent, filling their maps from random, cell after
// cell and row after row: a chip value, then whether the cell stays empty (95 in 100).
void CreateStarLayers(TSprite& parent, TPictureCollectionItem& star, TRandomGenerator& random);

}  // namespace vek
