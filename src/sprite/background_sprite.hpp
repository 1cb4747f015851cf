// TBackgroundSprite: a rectangular map of cells (chips), each naming a pattern of one
// picture item, laid out on a grid of the item's first pattern's size. It draws only the
// cells on the screen, can repeat the map endlessly (Tile) and serves as a collision map.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <vector>

#include "sprite/image_sprite.hpp"
#include "sprite/sprite_math.hpp"

namespace vek {

// One cell, laid out byte for byte as in the stored "Map" data (little-endian).
#pragma pack(push, 1)
struct TMapCell {
    std::int32_t Chip;           // pattern index; negative: empty
    std::uint8_t Collides;       // non-zero: counts in collision tests
    std::uint8_t Reserved1[45];  // carried unchanged, zero in a new map
    TRenderType BlendMode;       // the cell's draw options ...
    std::uint8_t Alpha;
    float Angle;
    double CenterX;
    double CenterY;
    TRenderMirrorFlipSet MirrorFlip;
    TD2DTextureFilter TextureFilter;  // ... up to here
    std::uint8_t Reserved2[4];
};
#pragma pack(pop)

static_assert(sizeof(TMapCell) == 78);
static_assert(std::is_standard_layout_v<TMapCell> && std::is_trivially_copyable_v<TMapCell>);
static_assert(offsetof(TMapCell, Collides) == 4 && offsetof(TMapCell, BlendMode) == 50 &&
              offsetof(TMapCell, Alpha) == 51 && offsetof(TMapCell, Angle) == 52 &&
              offsetof(TMapCell, CenterX) == 56 && offsetof(TMapCell, CenterY) == 64 &&
              offsetof(TMapCell, MirrorFlip) == 72 && offsetof(TMapCell, TextureFilter) == 73 &&
              offsetof(TMapCell, Reserved2) == 74);
// The cells are copied to and from the stored data as they lie in memory.
static_assert(std::endian::native == std::endian::little);

inline constexpr std::size_t kMapHeaderSize = 8;

class TBackgroundSprite : public TImageSprite {
public:
    // Not collisioned, no map.
    explicit TBackgroundSprite(TSprite* parent);

    int MapWidth() const { return mapWidth_; }
    int MapHeight() const { return mapHeight_; }
    // A new size clears every cell to chip 0, colliding; the same size keeps the cells; a
    // side of 0 or less, or storage that cannot be had, leaves no map. Width and Height
    // stay as they are.
    void SetMapSize(int newWidth, int newHeight);
    // Reads outside the map give −1, false or an all-zero cell; writes there are ignored.
    int Chips(int x, int y) const;
    void SetChips(int x, int y, int value);
    bool CollisionChips(int x, int y) const;
    TMapCell GetMapCell(int x, int y) const;

    // The screen rectangle and chip of the cell being drawn, for an OnDraw handler.
    TRect ChipsRect;
    int ChipsPatternIndex = 0;

    // With an item, Width and Height cover the whole map.
    void SetImage(TPictureCollectionItem* item) override;
    // The surface rectangle when tiled, else the map's rectangle at the world position.
    TRect GetBoundsRect() override;
    // Whether a colliding cell under the intersection of the two bounds overlaps the other
    // sprite's bounds; the collision map wraps. True without an image or a map.
    bool TestCollision(TSprite& sprite) override;
    // Takes the other background's map size (not its cells) and Tile, then the image sprite's.
    void Assign(const TSprite& source) override;
    // Adds "Map" when a map exists.
    void WriteProperties(TPropertyWriter& writer) const override;
    // "Map": the sizes must be those of the cells that follow; otherwise EPropertyError and
    // the sprite stays as it was.
    bool ReadProperty(TPropertyReader& reader) override;

    // The stored "Map" bytes: MapWidth, MapHeight (signed 32-bit) and the cells row by row.
    std::vector<std::uint8_t> MapData() const;
    // Reads them; raises EPropertyError (through reader) when the data do not hold the cells
    // their sizes announce, leaving the map untouched.
    void ReadMapData(std::span<const std::uint8_t> data, const TPropertyReader& reader);

protected:
    void DoDraw() override;

private:
    bool cellSize(int& cw, int& ch) const;
    // The index of cell (x, y) in the map, or −1 outside it.
    std::ptrdiff_t indexOf(int x, int y) const;
    void drawUntiled(const TChipGrid& g, TCustomDXDraw* display);
    void drawTiled(const TChipGrid& g, TCustomDXDraw* display);
    void drawCell(const TChipGrid& g, int cx, int cy, int mx, int my, TCustomDXDraw* display);

    std::vector<TMapCell> map_;  // row-major, mapWidth_ × mapHeight_
    int mapWidth_ = 0;
    int mapHeight_ = 0;
};

}  // namespace vek
