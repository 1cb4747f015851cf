// The star layers: their scrolling and their random maps.
#include "game/star_layer.hpp"

#include "game/random.hpp"
#include "graphics/image_list.hpp"

namespace vek {

namespace {

void FillStarMap(TScrollBackground& layer, int patternCount, int divisor, TRandomGenerator& random) {
    for (int row = 0; row < kStarMapHeight; ++row) {
        for (int column = 0; column < kStarMapWidth; ++column) {
            int chip = patternCount - random.Random(patternCount / divisor);
            if (random.Random(100) < 95) chip = -1;
            layer.SetChips(column, row, chip);
        }
    }
}

}  // namespace

void TScrollBackground::DoMove(int moveCount) {
    TBackgroundSprite::DoMove(moveCount);
    X = X - moveCount * 0.06 * Speed;
}

void CreateStarLayers(TSprite& parent, TPictureCollectionItem& star, TRandomGenerator& random) {
    for (const TStarLayerLayout& layout : kStarLayers) {
        auto& layer = TSprite::Create<TScrollBackground>(parent);
        layer.SetMapSize(kStarMapWidth, kStarMapHeight);
        layer.SetImage(&star);
        layer.Y = layout.Y;
        layer.SetZ(layout.Z);
        layer.Speed = layout.Speed;
        layer.Tile = true;
        FillStarMap(layer, star.PatternCount(), layout.Divisor, random);
    }
}

}  // namespace vek
