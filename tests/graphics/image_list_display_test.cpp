// The image list on an initialised display of the headless device: surfaces and patterns
// built from the pictures, draws, re-keying, and following the display's notices.
#include <gtest/gtest.h>

#include "graphics/dxdraw.hpp"
#include "graphics/image_list.hpp"
#include "graphics/picture_fixtures.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/toolkit/form.hpp"

namespace vek {
namespace {

using testing::make8BitPicture;

// Palette: index 0 black, 1 fuchsia, index i > 1 a grey of level i.
std::vector<TRGBQuad> greys() {
    std::vector<TRGBQuad> t(256);
    for (int i = 0; i < 256; ++i)
        t[std::size_t(i)] = TRGBQuad{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
    t[1] = TRGBQuad{255, 0, 255, 0};
    return t;
}

// A 32-bit back surface shows grey level v as 0x00vvvvvv.
constexpr std::uint32_t grey(int v) {
    return std::uint32_t(v) * 0x010101u;
}

class ImageListDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        display.SetBounds(0, 0, 640, 480);
        list.SetDXDraw(&display);
    }
    TPictureCollectionItem& add(const std::string& name, int w, int h, int pw, int ph,
                                std::function<std::uint8_t(int, int)> index) {
        auto& item = list.Items().Add();
        item.SetName(name);
        item.Picture.Assign(make8BitPicture(w, h, index, greys()));
        item.PatternWidth = pw, item.PatternHeight = ph;
        return item;
    }
    TDirectDrawSurface& back() { return *display.Surface(); }

    platform::headless::HeadlessPlatform backend;
    platform::TCustomForm form{nullptr};
    TDXDraw display{&form};
    TDXImageList list{&form};
};

// Star: 8 × 4 patterns of 16 × 16; pattern p is filled with grey level 10 + p, except a
// black (keyed) top-left pixel.
std::uint8_t starPixel(int x, int y) {
    if (x % 16 == 0 && y % 16 == 0) return 0;
    return std::uint8_t(10 + (y / 16) * 8 + x / 16);
}

TEST_F(ImageListDisplay, StarPatternsLieRowByRowOnOneSurface) {
    auto& star = add("Star", 128, 64, 16, 16, starPixel);
    display.Initialize();
    ASSERT_TRUE(star.Initialized());
    ASSERT_EQ(star.PatternCount(), 32);
    EXPECT_EQ(star.PatternRects(9), (TRect{16, 16, 32, 32}));
    EXPECT_EQ(star.PatternRects(31), (TRect{112, 48, 128, 64}));
    EXPECT_EQ(star.PatternRects(32), TRect{});
    EXPECT_EQ(star.PatternSurfaces(0), star.PatternSurfaces(31));
    EXPECT_EQ(star.PatternSurfaces(32), nullptr);
    EXPECT_EQ(star.PatternSurfaces(0)->ColorKey(), 0u);  // black on a 32-bit surface
}

TEST_F(ImageListDisplay, DrawCopiesOnePatternAndOutOfRangeIndicesDrawNothing) {
    auto& star = add("Star", 128, 64, 16, 16, starPixel);
    display.Initialize();
    back().Fill(grey(200));
    star.Draw(&back(), 4, 6, 9);
    EXPECT_EQ(back().GetPixel(4, 6), grey(200));  // keyed pixel
    EXPECT_EQ(back().GetPixel(5, 6), grey(19));
    EXPECT_EQ(back().GetPixel(19, 21), grey(19));
    EXPECT_EQ(back().GetPixel(20, 21), grey(200));
    back().Fill(grey(200));
    star.Draw(&back(), 4, 6, -1);
    star.Draw(&back(), 4, 6, 32);
    star.StretchDraw(&back(), TRect{4, 6, 20, 22}, 32);
    star.DrawWaveX(&back(), 4, 6, 16, 16, -1, 2, 32, 0);
    for (int y = 6; y < 22; ++y)
        for (int x = 4; x < 20; ++x) ASSERT_EQ(back().GetPixel(x, y), grey(200));
}

TEST_F(ImageListDisplay, FinalizeReleasesAndInitializeRebuildsWithoutTheGame) {
    auto& star = add("Star", 128, 64, 16, 16, starPixel);
    display.Initialize();
    display.Finalize();
    EXPECT_FALSE(star.Initialized());
    EXPECT_EQ(star.PatternSurfaces(0), nullptr);
    EXPECT_EQ(list.Items().DXDraw(), nullptr);
    star.Draw(display.Surface(), 0, 0, 0);  // no back surface: nothing
    display.Initialize();
    EXPECT_TRUE(star.Initialized());
    EXPECT_EQ(star.PatternCount(), 32);
    EXPECT_EQ(list.Items().DXDraw(), &display);
    back().Fill(0);
    star.Draw(&back(), 0, 0, 1);
    EXPECT_EQ(back().GetPixel(1, 0), grey(11));
}

TEST_F(ImageListDisplay, PatternCountChangesOnceSurfacesExist) {
    auto& odd = add("Odd", 37, 16, 16, 16, [](int x, int) { return std::uint8_t(x < 20 ? 50 : 60); });
    odd.SkipWidth = 4;
    EXPECT_EQ(odd.PatternCount(), 1);
    display.Initialize();
    ASSERT_EQ(odd.PatternCount(), 2);
    EXPECT_EQ(odd.PatternRects(1), (TRect{20, 0, 36, 16}));
    back().Fill(0);
    odd.Draw(&back(), 0, 0, 1);
    EXPECT_EQ(back().GetPixel(0, 0), grey(60));
}

// An item added after the display was initialised is built by the next restore; one
// without a picture is left alone.
TEST_F(ImageListDisplay, RestoreBuildsItemsAddedAfterInitialisation) {
    display.Initialize();
    auto& late = add("Late", 32, 16, 16, 16, [](int x, int) { return std::uint8_t(x < 16 ? 70 : 71); });
    auto& empty = list.Items().Add();
    EXPECT_FALSE(late.Initialized());
    display.Restore();
    ASSERT_TRUE(late.Initialized());
    ASSERT_EQ(late.PatternCount(), 2);
    EXPECT_EQ(late.PatternRects(1), (TRect{16, 0, 32, 16}));
    EXPECT_FALSE(empty.Initialized());
    back().Fill(0);
    late.Draw(&back(), 0, 0, 1);
    EXPECT_EQ(back().GetPixel(3, 3), grey(71));
}

TEST_F(ImageListDisplay, WholePictureAndSystemMemoryItems) {
    auto& boss = add("Enemy-boss", 179, 56, 0, 0, [](int, int) { return std::uint8_t(40); });
    auto& logo = add("Logo", 600, 89, 0, 0, [](int, int) { return std::uint8_t(41); });
    logo.SystemMemory = true;
    auto& pair = add("Pair", 96, 32, 48, 32, [](int x, int) { return std::uint8_t(x < 48 ? 42 : 43); });
    pair.SystemMemory = true;
    display.Initialize();
    EXPECT_EQ(boss.PatternCount(), 1);
    EXPECT_EQ(boss.PatternRects(0), (TRect{0, 0, 179, 56}));
    ASSERT_EQ(logo.PatternCount(), 1);
    EXPECT_TRUE(logo.PatternSurfaces(0)->SystemMemory);
    ASSERT_EQ(pair.PatternCount(), 2);
    EXPECT_EQ(pair.PatternSurfaces(0), pair.PatternSurfaces(1));
    EXPECT_EQ(pair.PatternRects(1), (TRect{48, 0, 96, 32}));
}

TEST_F(ImageListDisplay, WidePicturesAreCutIntoTilesWithoutChangingPatterns) {
    // 41 patterns of 100 × 20: tiles of 2100 pixels, the second one 2000 wide.
    auto& wide = add("Wide", 4100, 20, 100, 20, [](int x, int) { return std::uint8_t(2 + x / 100); });
    display.Initialize();
    ASSERT_EQ(wide.PatternCount(), 41);
    EXPECT_NE(wide.PatternSurfaces(20), wide.PatternSurfaces(21));
    EXPECT_EQ(wide.PatternSurfaces(21), wide.PatternSurfaces(40));
    EXPECT_EQ(wide.PatternRects(20), (TRect{2000, 0, 2100, 20}));
    EXPECT_EQ(wide.PatternRects(21), (TRect{0, 0, 100, 20}));
    EXPECT_EQ(wide.PatternSurfaces(21)->Width(), 2000);
    back().Fill(0);
    wide.Draw(&back(), 0, 0, 21);
    wide.Draw(&back(), 100, 0, 40);
    EXPECT_EQ(back().GetPixel(50, 10), grey(23));
    EXPECT_EQ(back().GetPixel(150, 10), grey(42));
}

TEST_F(ImageListDisplay, TallPicturesAreCutIntoRowsOfTiles) {
    // 22 rows of two 50 × 100 patterns: one tile across, tiles of 2100 rows, the second 100 high.
    auto& tall = add("Tall", 100, 2200, 50, 100,
                     [](int x, int y) { return std::uint8_t(2 + (y / 100) * 2 + x / 50); });
    display.Initialize();
    ASSERT_EQ(tall.PatternCount(), 44);
    EXPECT_EQ(tall.PatternSurfaces(0), tall.PatternSurfaces(41));
    EXPECT_NE(tall.PatternSurfaces(41), tall.PatternSurfaces(42));
    EXPECT_EQ(tall.PatternSurfaces(42), tall.PatternSurfaces(43));
    EXPECT_EQ(tall.PatternRects(41), (TRect{50, 2000, 100, 2100}));
    EXPECT_EQ(tall.PatternRects(43), (TRect{50, 0, 100, 100}));
    EXPECT_EQ(tall.PatternSurfaces(0)->Height(), 2100);
    EXPECT_EQ(tall.PatternSurfaces(43)->Height(), 100);
    back().Fill(0);
    tall.Draw(&back(), 0, 0, 43);
    tall.Draw(&back(), 100, 0, 40);
    EXPECT_EQ(back().GetPixel(10, 10), grey(45));
    EXPECT_EQ(back().GetPixel(110, 10), grey(42));
}

TEST_F(ImageListDisplay, ChangingTheTransparentColourReKeysAtOnce) {
    auto& attacker = add("Enemy-Attacker", 96, 32, 48, 32, [](int x, int) { return std::uint8_t(x % 2); });
    display.Initialize();
    back().Fill(grey(200));
    attacker.Draw(&back(), 0, 0, 0);
    EXPECT_EQ(back().GetPixel(0, 0), grey(200));  // black keyed
    EXPECT_EQ(back().GetPixel(1, 0), 0xFF00FFu);
    attacker.SetTransparentColor(clFuchsia);
    EXPECT_EQ(attacker.PatternSurfaces(0)->ColorKey(), 0xFF00FFu);
    EXPECT_EQ(attacker.PatternSurfaces(1)->ColorKey(), 0xFF00FFu);
    back().Fill(grey(200));
    attacker.Draw(&back(), 0, 0, 1);
    EXPECT_EQ(back().GetPixel(0, 0), 0u);
    EXPECT_EQ(back().GetPixel(1, 0), grey(200));
    attacker.Transparent = false;
    attacker.Draw(&back(), 0, 0, 1);
    EXPECT_EQ(back().GetPixel(1, 0), 0xFF00FFu);
}

TEST_F(ImageListDisplay, DisplaySetterAndRemoval) {
    auto& star = add("Star", 128, 64, 16, 16, starPixel);
    list.SetDXDraw(nullptr);
    display.Initialize();
    EXPECT_FALSE(star.Initialized());
    list.SetDXDraw(&display);  // joins an initialised display: built at once
    EXPECT_TRUE(star.Initialized());
    list.SetDXDraw(nullptr);  // leaving releases
    EXPECT_FALSE(star.Initialized());
    list.SetDXDraw(&display);
    auto other = std::make_unique<TDXDraw>(&form);
    list.SetDXDraw(other.get());
    EXPECT_FALSE(star.Initialized());
    other.reset();
    EXPECT_EQ(list.DXDraw(), nullptr);
}

TEST_F(ImageListDisplay, AssignToAnInitializedItemRebuildsIt) {
    auto& star = add("Star", 128, 64, 16, 16, starPixel);
    auto& copy = add("Copy", 16, 16, 0, 0, [](int, int) { return std::uint8_t(5); });
    display.Initialize();
    ASSERT_EQ(copy.PatternCount(), 1);
    copy.Assign(star);
    EXPECT_TRUE(copy.Initialized());
    EXPECT_EQ(copy.PatternCount(), 32);
    EXPECT_NE(copy.PatternSurfaces(0), star.PatternSurfaces(0));
}

TEST_F(ImageListDisplay, AssigningItemsToAListOnAnInitializedDisplayBuildsTheCopies) {
    display.Initialize();
    TDXImageList other(nullptr);
    auto& star = other.Items().Add();
    star.SetName("Star");
    star.Picture.Assign(make8BitPicture(128, 64, starPixel, greys()));
    star.PatternWidth = 16, star.PatternHeight = 16;
    list.SetItems(other.Items());
    auto& copy = list.Items().Find("star");
    EXPECT_TRUE(copy.Initialized());
    EXPECT_EQ(copy.PatternCount(), 32);
    EXPECT_EQ(list.Items().DXDraw(), &display);
    display.Restore();
    EXPECT_EQ(copy.PatternCount(), 32);
}

}  // namespace
}  // namespace vek
