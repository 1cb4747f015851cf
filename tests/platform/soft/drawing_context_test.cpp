// Drawing contexts of software surfaces: picture stretch copies into 8- and 32-bit
// surfaces, and text in the surface's format.
#include <array>

#include "platform/soft/test_support.hpp"

namespace vek::platform::gfx::testing {
namespace {

using DrawingContextTest = GfxTest;

// A bottom-up 8-bit picture of 2 x 2 pixels: top row indices 1, 2; bottom row 3, 4.
struct Picture8 {
    std::array<std::uint8_t, 8> bits{3, 4, 0, 0, 1, 2, 0, 0};
    TColorTable table{};
    Picture8() {
        table[1] = TRGBQuad{0x30, 0x20, 0x10, 0};  // red 0x10, green 0x20, blue 0x30
        table[2] = TRGBQuad{0, 0, 0xFF, 0};
        table[3] = TRGBQuad{0, 0xFF, 0, 0};
        table[4] = TRGBQuad{0xFF, 0xFF, 0xFF, 0};
    }
    DibView view() const { return DibView{2, 2, 8, bits.data(), table.data()}; }
};

PaletteEntries testPalette() {
    PaletteEntries e{};
    e[5] = {0x10, 0x20, 0x30, 0};
    e[6] = {0xF0, 0x00, 0x00, 0};
    e[7] = {0x00, 0xF0, 0x00, 0};
    e[8] = {0xFF, 0xFF, 0xFF, 0};
    e[9] = {0x10, 0x20, 0x30, 0};  // the same colour again: the first entry wins
    return e;
}

DrawingContext* contextOf(Surface& s) {
    DrawingContext* dc = nullptr;
    EXPECT_EQ(s.getDC(dc), HResult::Ok);
    return dc;
}

TEST_F(DrawingContextTest, EightBitPictureOntoTrueColour) {
    auto s = make(4, 4, 32);
    Picture8 picture;
    DrawingContext* dc = contextOf(*s);
    dc->stretchDIB(TRect{0, 0, 4, 4}, picture.view(), TRect{0, 0, 2, 2});
    ASSERT_EQ(s->releaseDC(dc), HResult::Ok);
    EXPECT_EQ(pixel(*s, 0, 0), 0x102030u);
    EXPECT_EQ(pixel(*s, 1, 1), 0x102030u);
    EXPECT_EQ(pixel(*s, 3, 0), 0xFF0000u);
    EXPECT_EQ(pixel(*s, 0, 3), 0x00FF00u);
    EXPECT_EQ(pixel(*s, 3, 3), 0xFFFFFFu);
}

TEST_F(DrawingContextTest, EightBitPictureOntoPalettedSurfaceTakesNearestEntries) {
    auto s = make(2, 2, 8);
    s->setPalette(palette(testPalette()));
    Picture8 picture;
    DrawingContext* dc = contextOf(*s);
    dc->stretchDIB(TRect{0, 0, 2, 2}, picture.view(), TRect{0, 0, 2, 2});
    s->releaseDC(dc);
    EXPECT_EQ(pixel(*s, 0, 0), 5u);  // exact
    EXPECT_EQ(pixel(*s, 1, 0), 6u);  // nearest to pure red
    EXPECT_EQ(pixel(*s, 0, 1), 7u);
    EXPECT_EQ(pixel(*s, 1, 1), 8u);
}

TEST_F(DrawingContextTest, TwentyFourBitPictureOntoBothDepths) {
    // 2 x 1 picture, rows padded to 8 bytes: blue-green-red per pixel.
    const std::array<std::uint8_t, 8> bits{0x30, 0x20, 0x10, 0x00, 0xEE, 0x00, 0, 0};
    const DibView view{2, 1, 24, bits.data(), nullptr};
    auto s32 = make(2, 1, 32);
    DrawingContext* dc = contextOf(*s32);
    dc->stretchDIB(TRect{0, 0, 2, 1}, view, TRect{0, 0, 2, 1});
    s32->releaseDC(dc);
    EXPECT_EQ(pixel(*s32, 0, 0), 0x102030u);
    EXPECT_EQ(pixel(*s32, 1, 0), 0x00EE00u);
    auto s8 = make(2, 1, 8);
    s8->setPalette(palette(testPalette()));
    dc = contextOf(*s8);
    dc->stretchDIB(TRect{0, 0, 2, 1}, view, TRect{0, 0, 2, 1});
    s8->releaseDC(dc);
    EXPECT_EQ(pixel(*s8, 0, 0), 5u);
    EXPECT_EQ(pixel(*s8, 1, 0), 7u);
}

TEST_F(DrawingContextTest, LowDepthAndSixteenBitPictures) {
    TColorTable table{};
    table[1] = TRGBQuad{0xFF, 0, 0, 0};                        // blue
    const std::array<std::uint8_t, 4> mono{0x40, 0, 0, 0};     // pixels 0 1 0 ...
    const std::array<std::uint8_t, 4> nibbles{0x01, 0, 0, 0};  // pixels 0 1
    const std::uint16_t red565 = 0xF800;
    std::array<std::uint8_t, 4> sixteen{};
    std::memcpy(sixteen.data(), &red565, 2);
    auto s = make(2, 1, 32);
    DrawingContext* dc = contextOf(*s);
    dc->stretchDIB(TRect{0, 0, 2, 1}, DibView{3, 1, 1, mono.data(), table.data()}, TRect{0, 0, 2, 1});
    EXPECT_EQ(s->releaseDC(dc), HResult::Ok);
    EXPECT_EQ(pixel(*s, 0, 0), 0u);
    EXPECT_EQ(pixel(*s, 1, 0), 0x0000FFu);
    dc = contextOf(*s);
    dc->stretchDIB(TRect{0, 0, 1, 1}, DibView{2, 1, 4, nibbles.data(), table.data()}, TRect{1, 0, 2, 1});
    dc->stretchDIB(TRect{1, 0, 2, 1}, DibView{1, 1, 16, sixteen.data(), nullptr, 0xF800, 0x07E0, 0x001F},
                   TRect{0, 0, 1, 1});
    s->releaseDC(dc);
    EXPECT_EQ(pixel(*s, 0, 0), 0x0000FFu);
    EXPECT_EQ(pixel(*s, 1, 0), 0xFF0000u);
}

// Bit-field pictures whose masks are in another order or place copy in their true colours.
TEST_F(DrawingContextTest, BitFieldPicturesAreReadThroughTheirOwnMasks) {
    struct Case {
        int bits;
        std::uint32_t red, green, blue, pixel;
    };
    const Case cases[] = {{32, 0x0000FF, 0x00FF00, 0xFF0000, 0xFF302010},
                          {32, 0xFF000000, 0x00FF0000, 0x0000FF00, 0x102030FF},
                          {16, 0x001F, 0x07E0, 0xF800, 0x001F}};
    const std::uint32_t expected[] = {0x102030u, 0x102030u, 0xFF0000u};
    auto s = make(3, 1, 32);
    DrawingContext* dc = contextOf(*s);
    for (int i = 0; i < 3; ++i) {
        const Case& c = cases[i];
        std::array<std::uint8_t, 4> bits{};
        std::memcpy(bits.data(), &c.pixel, 4);
        const DibView view{1, 1, c.bits, bits.data(), nullptr, c.red, c.green, c.blue};
        dc->stretchDIB(TRect{i, 0, i + 1, 1}, view, TRect{0, 0, 1, 1});
    }
    s->releaseDC(dc);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(pixel(*s, i, 0), expected[i]) << i;
}

TEST_F(DrawingContextTest, ContextHoldsSurfaceUntilReleased) {
    auto s = make(4, 4, 32);
    DrawingContext* dc = contextOf(*s);
    DrawingContext* second = nullptr;
    LockedRect locked;
    EXPECT_EQ(s->getDC(second), HResult::SurfaceBusy);
    EXPECT_EQ(s->lock(nullptr, locked), HResult::SurfaceBusy);
    EXPECT_EQ(fill(*s, 1), HResult::SurfaceBusy);
    EXPECT_EQ(s->releaseDC(nullptr), HResult::InvalidParams);
    EXPECT_EQ(s->releaseDC(dc), HResult::Ok);
    EXPECT_EQ(s->releaseDC(dc), HResult::InvalidParams);
    EXPECT_EQ(fill(*s, 1), HResult::Ok);
}

int countPixels(Surface& s, std::uint32_t value) {
    SurfaceDescription d;
    s.getDescription(d);
    int n = 0;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) n += GfxTest::pixel(s, x, y) == value;
    return n;
}

TEST_F(DrawingContextTest, TextDrawsInFontColourAtBothDepths) {
    Font font;
    font.size = 12;
    font.color = clYellow;
    for (int bits : {8, 32}) {
        auto s = make(80, 24, bits);
        PaletteEntries entries{};
        entries[17] = {255, 255, 0, 0};
        s->setPalette(palette(entries));
        DrawingContext* dc = contextOf(*s);
        const TPoint extent = dc->textExtent("Score 120", font);
        EXPECT_GT(extent.x, 40);
        EXPECT_GE(extent.y, 16);
        dc->textOut(2, 2, "", font, true, clBlack);
        s->releaseDC(dc);
        EXPECT_EQ(countPixels(*s, 0), 80 * 24);
        dc = contextOf(*s);
        dc->textOut(2, 2, "Score 120", font, true, clBlack);
        s->releaseDC(dc);
        const std::uint32_t yellow = bits == 8 ? 17 : 0xFFFF00;
        EXPECT_GT(countPixels(*s, yellow), 20) << bits;
        EXPECT_EQ(pixel(*s, 0, 0), 0u);
        EXPECT_EQ(pixel(*s, 79, 23), 0u);
    }
}

TEST_F(DrawingContextTest, OpaqueBrushPaintsTextBox) {
    Font font;
    font.size = 9;
    font.color = clWhite;
    auto s = make(60, 20, 32);
    DrawingContext* dc = contextOf(*s);
    const TPoint extent = dc->textExtent("Hi", font);
    dc->textOut(1, 1, "Hi", font, false, clBlue);
    s->releaseDC(dc);
    EXPECT_EQ(pixel(*s, 1, 1), 0x0000FFu);
    EXPECT_EQ(pixel(*s, extent.x, extent.y), 0x0000FFu);
    EXPECT_EQ(pixel(*s, extent.x + 1, extent.y + 1), 0u);
    EXPECT_GT(countPixels(*s, 0xFFFFFF), 0);
    EXPECT_GT(extent.x * extent.y - countPixels(*s, 0x0000FF), 10);  // glyph pixels inside the box
}

}  // namespace
}  // namespace vek::platform::gfx::testing
