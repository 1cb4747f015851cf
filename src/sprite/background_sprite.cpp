// The background sprite: its map of cells, the untiled and tiled draw loops over the cells
// on screen, the wrapping collision map and the stored "Map" data.
#include "sprite/background_sprite.hpp"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <string>

#include "graphics/image_list.hpp"
#include "runtime/byte_order.hpp"
#include "runtime/property_stream.hpp"
#include "runtime/rounding.hpp"
#include "sprite/sprite_math.hpp"

namespace vek {

namespace {

TMapCell freshCell() {
    TMapCell cell{};
    cell.Collides = 1;
    return cell;
}

int clampedProduct(int a, int b) {
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{a} * b, INT_MIN, INT_MAX));
}

TRect intersection(const TRect& a, const TRect& b) {
    const TRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom)};
    return r.empty() ? TRect{} : r;
}

TRect shifted(const TRect& r, int dx, int dy) {
    return TRect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

TDrawOptions cellOptions(const TMapCell& cell) {
    return TDrawOptions{cell.TextureFilter, cell.MirrorFlip, cell.BlendMode, cell.Angle,
                        cell.Alpha,         cell.CenterX,    cell.CenterY};
}

}  // namespace

TBackgroundSprite::TBackgroundSprite(TSprite* parent) : TImageSprite(parent) {
    Collisioned = false;
}

// ---- The map

void TBackgroundSprite::SetMapSize(int newWidth, int newHeight) {
    if (newWidth == mapWidth_ && newHeight == mapHeight_ && !map_.empty()) return;
    std::vector<TMapCell>().swap(map_);
    mapWidth_ = mapHeight_ = 0;
    if (newWidth <= 0 || newHeight <= 0) return;
    const auto count = static_cast<std::uint64_t>(newWidth) * static_cast<std::uint64_t>(newHeight);
    if (count > map_.max_size()) return;
    try {
        map_.assign(static_cast<std::size_t>(count), freshCell());
    } catch (const std::bad_alloc&) {
        return;  // no storage: no map, and no error
    }
    mapWidth_ = newWidth;
    mapHeight_ = newHeight;
}

std::ptrdiff_t TBackgroundSprite::indexOf(int x, int y) const {
    if (x < 0 || y < 0 || x >= mapWidth_ || y >= mapHeight_) return -1;
    return std::ptrdiff_t{x} + std::ptrdiff_t{y} * mapWidth_;
}

int TBackgroundSprite::Chips(int x, int y) const {
    const std::ptrdiff_t i = indexOf(x, y);
    return i < 0 ? -1 : map_[static_cast<std::size_t>(i)].Chip;
}

void TBackgroundSprite::SetChips(int x, int y, int value) {
    const std::ptrdiff_t i = indexOf(x, y);
    if (i >= 0) map_[static_cast<std::size_t>(i)].Chip = value;
}

bool TBackgroundSprite::CollisionChips(int x, int y) const {
    const std::ptrdiff_t i = indexOf(x, y);
    return i >= 0 && map_[static_cast<std::size_t>(i)].Collides != 0;
}

TMapCell TBackgroundSprite::GetMapCell(int x, int y) const {
    const std::ptrdiff_t i = indexOf(x, y);
    return i < 0 ? TMapCell{} : map_[static_cast<std::size_t>(i)];
}

// ---- Binding and geometry

void TBackgroundSprite::SetImage(TPictureCollectionItem* item) {
    TImageSprite::SetImage(item);
    if (!item) return;
    Width = clampedProduct(item->Width(), mapWidth_);
    Height = clampedProduct(item->Height(), mapHeight_);
}

// The size of pattern 0; none while the item has no patterns (its display is not ready).
bool TBackgroundSprite::cellSize(int& cw, int& ch) const {
    const TRect r = image_ ? image_->PatternRects(0) : TRect{};
    cw = r.width(), ch = r.height();
    return cw > 0 && ch > 0;
}

TRect TBackgroundSprite::GetBoundsRect() {
    if (Tile) return Engine() ? Engine()->SurfaceRect() : TRect{};
    ResolveImage();
    if (!image_) return TRect{};
    return Bounds(roundHalfEven(WorldX()), roundHalfEven(WorldY()),
                  clampedProduct(image_->Width(), mapWidth_), clampedProduct(image_->Height(), mapHeight_));
}

bool TBackgroundSprite::TestCollision(TSprite& sprite) {
    int cw = 0, ch = 0;
    if (!image_ || mapWidth_ <= 0 || mapHeight_ <= 0 || !cellSize(cw, ch)) return true;
    const TRect bounds = sprite.GetBoundsRect();
    const TRect meet = intersection(bounds, GetBoundsRect());
    if (meet.empty()) return false;
    // Into map coordinates.
    const int px = roundHalfEven(WorldX()), py = roundHalfEven(WorldY());
    const TRect i = shifted(meet, -px, -py), other = shifted(bounds, -px, -py);
    for (int y = FirstCell(i.top, ch); y <= LastCell(i.bottom, ch); ++y)
        for (int x = FirstCell(i.left, cw); x <= LastCell(i.right, cw); ++x)
            if (CollisionChips(Mod2(x, mapWidth_), Mod2(y, mapHeight_)) &&
                OverlapRect(Bounds(x * cw, y * ch, cw, ch), other))
                return true;
    return false;
}

// ---- Drawing

void TBackgroundSprite::DoDraw() {
    ResolveImage();
    int cw = 0, ch = 0;
    if (!image_ || mapWidth_ <= 0 || mapHeight_ <= 0 || !Engine() || !cellSize(cw, ch)) return;
    const TChipGrid g =
        ChipGrid(Engine()->SurfaceRect(), cw, ch, roundHalfEven(WorldX()), roundHalfEven(WorldY()));
    TCustomDXDraw* display = EngineDisplay();
    if (Tile)
        drawTiled(g, display);
    else
        drawUntiled(g, display);
}

// Only the part of the map that lies on the screen.
void TBackgroundSprite::drawUntiled(const TChipGrid& g, TCustomDXDraw* display) {
    const int ex = std::min(g.sx + mapWidth_ - g.sxn, g.cols);
    const int ey = std::min(g.sy + mapHeight_ - g.syn, g.rows);
    for (int cy = g.sy; cy < ey; ++cy)
        for (int cx = g.sx; cx < ex; ++cx) drawCell(g, cx, cy, cx - g.sx + g.sxn, cy - g.sy + g.syn, display);
}

// The screen and a margin of one cell on every side, the map repeating both ways. The map
// column follows the screen column by one step at a time, wrapping at the map's edge.
void TBackgroundSprite::drawTiled(const TChipGrid& g, TCustomDXDraw* display) {
    int my = Mod2(-1 - g.sy + g.syn, mapHeight_);
    const int firstMx = Mod2(-1 - g.sx + g.sxn, mapWidth_);
    for (int cy = -1; cy <= g.rows; ++cy, my = my + 1 == mapHeight_ ? 0 : my + 1) {
        int mx = firstMx;
        for (int cx = -1; cx <= g.cols; ++cx, mx = mx + 1 == mapWidth_ ? 0 : mx + 1)
            drawCell(g, cx, cy, mx, my, display);
    }
}

void TBackgroundSprite::drawCell(const TChipGrid& g, int cx, int cy, int mx, int my, TCustomDXDraw* display) {
    ChipsPatternIndex = Chips(mx, my);
    ChipsRect = Bounds(cx * g.cw + g.ox, cy * g.ch + g.oy, g.cw, g.ch);
    if (ChipsPatternIndex < 0) return;
    if (OnDraw) {
        OnDraw(*this);
        return;
    }
    if (display)
        DrawWithOptions(*display, image_, ChipsRect, ChipsPatternIndex, BlurTrail, BlurImage,
                        cellOptions(map_[static_cast<std::size_t>(indexOf(mx, my))]));
}

// ---- Copies and stored data

void TBackgroundSprite::Assign(const TSprite& source) {
    if (auto* s = dynamic_cast<const TBackgroundSprite*>(&source); s && s != this) {
        SetMapSize(s->mapWidth_, s->mapHeight_);
        Tile = s->Tile;
    }
    TImageSprite::Assign(source);
}

std::vector<std::uint8_t> TBackgroundSprite::MapData() const {
    std::vector<std::uint8_t> data(kMapHeaderSize + map_.size() * sizeof(TMapCell));
    writeLe32(data.data(), static_cast<std::uint32_t>(mapWidth_));
    writeLe32(data.data() + 4, static_cast<std::uint32_t>(mapHeight_));
    if (!map_.empty()) std::memcpy(data.data() + kMapHeaderSize, map_.data(), map_.size() * sizeof(TMapCell));
    return data;
}

void TBackgroundSprite::ReadMapData(std::span<const std::uint8_t> data, const TPropertyReader& reader) {
    if (data.size() < kMapHeaderSize)
        reader.Fail("Map holds " + std::to_string(data.size()) + " bytes, fewer than its two sizes");
    const auto w = static_cast<std::int32_t>(readLe32(data.data()));
    const auto h = static_cast<std::int32_t>(readLe32(data.data() + 4));
    const std::uint64_t cells = w > 0 && h > 0 ? std::uint64_t(w) * std::uint64_t(h) : 0;
    const std::size_t body = data.size() - kMapHeaderSize;
    // Checked before anything changes, and without multiplying the sizes by the cell size,
    // which could overflow.
    if (body % sizeof(TMapCell) != 0 || body / sizeof(TMapCell) != cells)
        reader.Fail("Map of " + std::to_string(w) + " x " + std::to_string(h) + " cells does not match its " +
                    std::to_string(body) + " bytes of cells (" + std::to_string(sizeof(TMapCell)) +
                    " bytes per cell)");
    SetMapSize(w, h);
    if (cells > 0 && map_.size() == cells) std::memcpy(map_.data(), data.data() + kMapHeaderSize, body);
}

void TBackgroundSprite::WriteProperties(TPropertyWriter& writer) const {
    TImageSprite::WriteProperties(writer);
    if (!map_.empty()) writer.WriteBinary("Map", MapData());
}

bool TBackgroundSprite::ReadProperty(TPropertyReader& reader) {
    if (reader.Name() != "Map") return TImageSprite::ReadProperty(reader);
    ReadMapData(reader.ReadBinary(), reader);
    return true;
}

}  // namespace vek
