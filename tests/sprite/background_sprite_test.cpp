// The background sprite: the map and its cells, which cells are drawn where (untiled and
// tiled), the wrapping collision map, and the stored "Map" data with its refusals.
#include "sprite/background_sprite.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "runtime/byte_order.hpp"
#include "runtime/property_stream.hpp"
#include "sprite/sprite_fixture.hpp"

namespace vek {
namespace {

using testing::grey;
using testing::SpriteDisplay;

TEST(BackgroundMap, SizesCellsAndReadsOutsideTheMap) {
    TBackgroundSprite map(nullptr);
    EXPECT_FALSE(map.Collisioned);
    map.SetMapSize(3, 2);
    EXPECT_EQ(map.Chips(2, 1), 0);  // a new map draws pattern 0 everywhere and collides
    EXPECT_TRUE(map.CollisionChips(2, 1));
    map.SetChips(2, 1, 9);
    map.SetChips(-1, 0, 5);  // ignored
    map.SetChips(3, 0, 5);
    EXPECT_EQ(map.Chips(-1, 0), -1);
    EXPECT_EQ(map.Chips(3, 0), -1);
    EXPECT_FALSE(map.CollisionChips(0, 2));
    const TMapCell outside = map.GetMapCell(0, -1);
    EXPECT_EQ(outside.Chip, 0);
    EXPECT_EQ(outside.Collides, 0);
    map.SetMapSize(3, 2);  // the same size keeps the cells
    EXPECT_EQ(map.Chips(2, 1), 9);
    map.SetMapSize(2, 3);  // another clears them
    EXPECT_EQ(map.Chips(1, 1), 0);
    for (auto [w, h] : {std::pair{0, 5}, std::pair{4, -1}, std::pair{INT_MAX, INT_MAX}}) {
        map.SetMapSize(2, 2);
        map.SetMapSize(w, h);
        EXPECT_EQ(map.MapWidth(), 0) << w << " x " << h;
        EXPECT_EQ(map.MapHeight(), 0);
        EXPECT_EQ(map.Chips(0, 0), -1);
    }
}

class BackgroundDisplay : public SpriteDisplay {
protected:
    void SetUp() override {
        SpriteDisplay::SetUp();
        // "Star": 8 × 4 patterns of 16 × 16; pattern p is grey 10 + p with a keyed top-left pixel.
        star = &addPicture("Star", 128, 64, 16, 16, [](int x, int y) {
            return std::uint8_t(x % 16 == 0 && y % 16 == 0 ? 0 : 10 + (y / 16) * 8 + x / 16);
        });
        display.Initialize();
    }
    // The game's star layer shape: 200 × 10 cells; cell (x, y) holds chip x.
    TBackgroundSprite& layer(double x, bool tile) {
        auto& s = TSprite::Create<TBackgroundSprite>(engine());
        s.SetMapSize(200, 10);
        s.SetImage(star);
        for (int y = 0; y < 10; ++y)
            for (int c = 0; c < 200; ++c) s.SetChips(c, y, c);
        s.X = x;
        s.Tile = tile;
        return s;
    }
    TPictureCollectionItem* star = nullptr;
};

struct Cell {
    int left, top, chip;
    friend bool operator==(const Cell&, const Cell&) = default;
};

TEST_F(BackgroundDisplay, CellsDrawnAndWhere) {
    struct Case {
        double x;
        bool tile;
        std::size_t cells;
        std::vector<Cell> firstOfRowZero;
        Cell lastOfRowZero;
    };
    const Case cases[] = {
        // 44 × 34 screen cells: −1 … 42 across, −1 … 32 down; column 0 shows map column 62.
        {-1000, true, 44 * 34, {{-24, 0, 61}, {-8, 0, 62}, {8, 0, 63}}, {664, 0, 104}},
        {-1001, true, 44 * 34, {{-25, 0, 61}, {-9, 0, 62}, {7, 0, 63}}, {663, 0, 104}},
        // Untiled: map column 0 at x 100, columns 6 … 41 of the screen, rows 0 … 9.
        {100, false, 36 * 10, {{100, 0, 0}, {116, 0, 1}, {132, 0, 2}}, {660, 0, 35}},
    };
    for (const Case& c : cases) {
        auto& s = layer(c.x, c.tile);
        std::vector<Cell> drawn;
        s.OnDraw = [&](TSprite&) {
            drawn.push_back({s.ChipsRect.left, s.ChipsRect.top, s.ChipsPatternIndex});
        };
        engine().Draw();
        EXPECT_EQ(engine().DrawCount(), 1);
        ASSERT_EQ(drawn.size(), c.cells) << c.x;
        const auto rowZero =
            std::find_if(drawn.begin(), drawn.end(), [](const Cell& d) { return d.top == 0; });
        const std::size_t at = static_cast<std::size_t>(rowZero - drawn.begin());
        for (std::size_t i = 0; i < c.firstOfRowZero.size(); ++i)
            EXPECT_EQ(drawn[at + i], c.firstOfRowZero[i]);
        const std::size_t across = c.tile ? 44 : 36;
        EXPECT_EQ(drawn[at + across - 1], c.lastOfRowZero) << c.x;
        EXPECT_EQ(s.ChipsRect.width(), 16);
        delete &s;  // between walks, as the tree frees its sprites
    }
}

TEST_F(BackgroundDisplay, EmptyCellsAreSkippedAndDrawnCellsRepeatWhenTiled) {
    auto& s = layer(-1000, true);
    for (int y = 0; y < 10; ++y)
        for (int c = 0; c < 200; ++c) s.SetChips(c, y, -1);
    s.SetChips(62, 0, 5);
    int calls = 0;
    s.OnDraw = [&](TSprite&) { ++calls; };
    engine().Draw();
    EXPECT_EQ(calls, 4);  // screen rows 0, 10, 20 and 30 all show map row 0
    s.OnDraw = nullptr;
    back().Fill(grey(200));
    engine().Draw();
    EXPECT_EQ(back().GetPixel(1, 1), grey(15));    // the right half of pattern 5
    EXPECT_EQ(back().GetPixel(1, 161), grey(15));  // the map repeats below itself
    EXPECT_EQ(back().GetPixel(8, 1), grey(200));   // the next cell is empty
}

TEST_F(BackgroundDisplay, BoundsAndImageSize) {
    auto& s = layer(100, false);
    EXPECT_EQ(s.Width, 16 * 200);
    EXPECT_EQ(s.GetBoundsRect(), (TRect{100, 0, 3300, 160}));
    s.Tile = true;
    EXPECT_EQ(s.GetBoundsRect(), (TRect{0, 0, 640, 480}));
    auto& bare = TSprite::Create<TBackgroundSprite>(engine());
    bare.SetMapSize(4, 4);
    EXPECT_EQ(bare.GetBoundsRect(), TRect{});
    EXPECT_EQ(bare.Width, 0);  // sizing the map leaves the size alone
}

// A 4 × 3 map of 16-pixel cells at (100, 100) whose column 1 does not collide.
class CollisionMap : public BackgroundDisplay {
protected:
    void SetUp() override {
        BackgroundDisplay::SetUp();
        map.SetMapSize(4, 3);
        map.SetImage(star);
        map.X = 100, map.Y = 100;
        auto data = map.MapData();
        for (int y = 0; y < 3; ++y) data[kMapHeaderSize + (1 + y * 4) * sizeof(TMapCell) + 4] = 0;
        TPropertyReader unused(std::span<const std::uint8_t>{});
        map.ReadMapData(data, unused);
        map.SetChips(2, 0, -1);  // empty but still colliding
        probe.Width = probe.Height = 4;
    }
    bool hits(double x, double y) {
        probe.X = x, probe.Y = y;
        return map.TestCollision(probe);
    }
    TBackgroundSprite& map = TSprite::Create<TBackgroundSprite>(engine());
    TSprite& probe = TSprite::Create<TSprite>(engine());
};

TEST_F(CollisionMap, OnlyCollidingCellsUnderTheOtherSpriteHit) {
    EXPECT_FALSE(map.CollisionChips(1, 2));
    EXPECT_TRUE(hits(102, 102));   // column 0
    EXPECT_FALSE(hits(118, 102));  // column 1
    EXPECT_TRUE(hits(134, 102));   // column 2: empty chip, collides
    EXPECT_TRUE(hits(114, 102));   // straddles columns 0 and 1
    EXPECT_FALSE(hits(90, 90));    // outside the map's bounds
    map.Tile = true;               // bounds: the whole surface; cells repeat every 64 pixels
    EXPECT_TRUE(hits(166, 102));   // column 4 is column 0
    EXPECT_FALSE(hits(182, 150));  // column 5 is column 1
    EXPECT_FALSE(hits(54, 102));   // column −3 is column 1
    map.SetImage(nullptr);
    EXPECT_TRUE(map.TestCollision(probe));  // no image: the rectangles stand
}

// The stored "Map" property inside a property block.
std::vector<std::uint8_t> mapProperty(const std::vector<std::uint8_t>& data) {
    TPropertyWriter writer;
    writer.WriteBinary("Map", data);
    writer.WriteEnd();
    return writer.TakeBytes();
}

void readInto(TBackgroundSprite& sprite, const std::vector<std::uint8_t>& block) {
    TPropertyReader reader(block);
    while (reader.NextProperty()) ASSERT_TRUE(sprite.ReadProperty(reader));
}

TEST(BackgroundMapStore, MapRoundTripsByteForByte) {
    TBackgroundSprite source(nullptr);
    source.SetMapSize(3, 2);
    auto data = source.MapData();
    ASSERT_EQ(data.size(), 8 + 6 * 78u);
    for (std::size_t i = 8; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7);
    TBackgroundSprite copy(nullptr);
    readInto(copy, mapProperty(data));
    EXPECT_EQ(copy.MapData(), data);
    TPropertyWriter written;
    copy.WriteProperties(written);
    written.WriteEnd();
    TPropertyReader reader(written.Bytes());
    bool found = false;
    while (reader.NextProperty())
        if (reader.Name() == "Map") {
            const auto bytes = reader.ReadBinary();
            found = std::vector<std::uint8_t>(bytes.begin(), bytes.end()) == data;
        }
    EXPECT_TRUE(found);
    const TMapCell cell = copy.GetMapCell(1, 0);
    std::uint8_t raw[78];
    std::memcpy(raw, &cell, 78);
    EXPECT_EQ(raw[50], static_cast<std::uint8_t>((8 + 78 + 50) * 7));  // the blend mode byte
    TBackgroundSprite none(nullptr);
    readInto(none, mapProperty({0xFF, 0xFF, 0xFF, 0xFF, 5, 0, 0, 0}));  // −1 × 5: no map
    EXPECT_EQ(none.MapWidth(), 0);
}

TEST(BackgroundMapStore, MapsWhoseSizesDoNotMatchTheirCellsAreRefusedAndChangeNothing) {
    auto header = [](std::uint32_t w, std::uint32_t h, std::size_t cells) {
        std::vector<std::uint8_t> data(8 + cells * sizeof(TMapCell), 0);
        writeLe32(data.data(), w);
        writeLe32(data.data() + 4, h);
        return data;
    };
    std::vector<std::uint8_t> partial = header(1, 1, 1);
    partial.pop_back();
    const std::vector<std::uint8_t> refused[] = {
        {1, 0, 0, 0, 1, 0, 0},        // shorter than the two sizes
        header(3, 2, 5),              // one cell missing
        header(3, 2, 7),              // one cell too many
        partial,                      // half a cell
        header(0x10000, 0x10000, 0),  // 2^32 cells: the product overflows 32 bits
        header(0x7FFFFFFF, 0x7FFFFFFF, 1),
        header(0xFFFFFFFF, 3, 1),  // a negative size with cells
    };
    for (const auto& data : refused) {
        TBackgroundSprite sprite(nullptr);
        sprite.SetMapSize(2, 2);
        sprite.SetChips(1, 1, 7);
        const auto block = mapProperty(data);
        TPropertyReader reader(block);
        ASSERT_TRUE(reader.NextProperty());
        EXPECT_THROW(sprite.ReadProperty(reader), EPropertyError) << data.size() << " bytes";
        EXPECT_EQ(sprite.MapWidth(), 2);
        EXPECT_EQ(sprite.Chips(1, 1), 7);
    }
    TBackgroundSprite sprite(nullptr);
    const auto block = mapProperty(header(3, 2, 5));
    TPropertyReader reader(block);
    ASSERT_TRUE(reader.NextProperty());
    try {
        sprite.ReadProperty(reader);
        FAIL() << "must be refused";
    } catch (const EPropertyError& e) {
        EXPECT_STREQ(
            e.what(),
            "Map of 3 x 2 cells does not match its 390 bytes of cells (78 bytes per cell) at byte 0");
    }
}

}  // namespace
}  // namespace vek
