// Fuzz target for the stored "Map" data of a background sprite: any input is either
// refused with EPropertyError, leaving the sprite's map as it was, or read into a map whose
// cells all read back and which writes back as exactly the bytes read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "runtime/property_stream.hpp"
#include "sprite/background_sprite.hpp"

namespace {

volatile unsigned sink = 0;

// Reads every cell and one ring of cells around the map.
unsigned touchCells(const vek::TBackgroundSprite& sprite) {
    unsigned sum = 0;
    for (int y = -1; y <= sprite.MapHeight(); ++y)
        for (int x = -1; x <= sprite.MapWidth(); ++x) {
            const bool inside = x >= 0 && y >= 0 && x < sprite.MapWidth() && y < sprite.MapHeight();
            const vek::TMapCell cell = sprite.GetMapCell(x, y);
            if (!inside && (sprite.Chips(x, y) != -1 || sprite.CollisionChips(x, y) || cell.Chip != 0))
                std::abort();
            if (inside && sprite.Chips(x, y) != cell.Chip) std::abort();
            sum += static_cast<unsigned>(cell.Chip) + cell.Alpha;
        }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> input(data, data + size);
    vek::TPropertyWriter block;
    block.WriteBinary("Map", input);
    block.WriteEnd();

    vek::TBackgroundSprite sprite(nullptr);
    sprite.SetMapSize(2, 3);
    sprite.SetChips(1, 2, 77);
    const auto before = sprite.MapData();
    vek::TPropertyReader reader(block.Bytes());
    if (!reader.NextProperty()) std::abort();
    try {
        if (!sprite.ReadProperty(reader)) std::abort();
    } catch (const vek::EPropertyError&) {
        if (sprite.MapData() != before) std::abort();  // a refused map changes nothing
        return 0;
    }
    if (sprite.MapWidth() > 0 && sprite.MapData() != input) std::abort();
    if (sprite.MapWidth() <= 0 && size != vek::kMapHeaderSize) std::abort();
    sink = touchCells(sprite);
    return 0;
}
