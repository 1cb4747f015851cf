// TDIB: reading the stored picture format (headers, colour tables, bit fields, row order,
// run-length expansion), writing it back, the bitmap-file form and hostile input.
#include "graphics/dib.hpp"

#include <gtest/gtest.h>

#include <climits>

#include "graphics/dib_format.hpp"
#include "graphics/dib_stream_builder.hpp"
#include "graphics/rle.hpp"

namespace vek {
namespace {

using test::DibBytes;

TDIB load(const DibBytes& bytes) {
    TMemoryStream stream = bytes.stream();
    TDIB dib;
    dib.LoadFromStream(stream);
    return dib;
}

// The colour the builder gives colour-table entry i.
TColor entryColor(int i) {
    return makeColor(i + 2, i + 1, i);
}

template <class Error>
void expectLoadError(const DibBytes& bytes, const std::string& className, const std::string& text) {
    TMemoryStream stream = bytes.stream();
    TDIB dib;
    try {
        dib.LoadFromStream(stream);
        ADD_FAILURE() << "expected " << className << ": " << text;
    } catch (const Error& e) {
        EXPECT_EQ(e.className(), className);
        EXPECT_EQ(e.what(), text);
    }
    EXPECT_TRUE(dib.Empty());
}

std::vector<std::uint8_t> saved(const TDIB& dib) {
    TMemoryStream out;
    dib.SaveToStream(out);
    return out.takeBytes();
}

TDIB reloaded(const TDIB& dib) {
    TMemoryStream stream(saved(dib));
    TDIB copy;
    copy.LoadFromStream(stream);
    return copy;
}

void expectSamePicture(const TDIB& a, const TDIB& b) {
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    ASSERT_EQ(a.BitCount(), b.BitCount());
    if (a.BitCount() <= 8) {
        EXPECT_EQ(a.ColorTable(), b.ColorTable());
    }
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x)
            ASSERT_EQ(a.PixelColor(x, y), b.PixelColor(x, y)) << x << "," << y;
    }
}

// ---- Reading: framing, headers, colour tables, row order ----

TEST(DibRead, Rle8PictureConsumesHeaderTableAndImageSizeBytesExactly) {
    DibBytes b;
    b.infoHeader(128, 64, 8, kCompressionRle8, 906).colors(256);
    for (int i = 0; i < 452; ++i) b.raw({2, 7});
    b.raw({0, 1}).raw({0xAA, 0xBB, 0xCC});
    TMemoryStream stream = b.stream();
    TDIB dib;
    dib.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), 40 + 1024 + 906);
    EXPECT_EQ(dib.Width(), 128);
    EXPECT_EQ(dib.Height(), 64);
    EXPECT_TRUE(dib.Compressed());
    EXPECT_EQ(dib.PixelColor(0, 63), entryColor(7));
    EXPECT_FALSE(dib.Compressed());
}

TEST(DibRead, UncompressedRowsAreCountedFromTheHeaderNotTheImageSize) {
    DibBytes b;
    b.infoHeader(400, 309, 24, kCompressionNone, 12);
    b.raw({10, 20, 30}).fill(370800 - 3, 0x40).raw({1, 2, 3});
    TMemoryStream stream = b.stream();
    TDIB dib;
    dib.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), 40 + 370800);
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.Pitch(), 1200);
    EXPECT_EQ(dib.PixelColor(0, 308), makeColor(30, 20, 10));  // first stored byte: bottom-left
    EXPECT_EQ(dib.PixelColor(399, 0), makeColor(0x40, 0x40, 0x40));
}

TEST(DibRead, ColoursUsedLimitsTheTableAndLeavesTheRestZero) {
    DibBytes b;
    b.infoHeader(4, 1, 8, kCompressionNone, 0, 16).colors(16).raw({15, 0, 3, 200});
    const TDIB dib = load(b);
    EXPECT_EQ(dib.PixelColor(0, 0), entryColor(15));
    EXPECT_EQ(dib.PixelColor(2, 0), entryColor(3));
    EXPECT_EQ(dib.PixelColor(3, 0), clBlack);
    for (int i = 16; i < 256; ++i) EXPECT_EQ(dib.ColorTable()[i], TRGBQuad{}) << i;
}

TEST(DibRead, CoreHeaderReadsThreeByteColourEntries) {
    DibBytes b;
    b.coreHeader(2, 1, 8).colors(256, 3).raw({255, 1, 0, 0});
    TMemoryStream stream = b.stream();
    TDIB dib;
    dib.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), 12 + 768 + 4);
    EXPECT_EQ(dib.ColorTable()[255], (TRGBQuad{255, 0, 1, 0}));
    EXPECT_EQ(dib.PixelColor(1, 0), entryColor(1));
}

TEST(DibRead, NegativeHeightStoresTheFirstRowReadAsTheTopRow) {
    DibBytes b;
    b.infoHeader(1, -2, 24).raw({1, 1, 1, 0}).raw({2, 2, 2, 0});
    const TDIB dib = load(b);
    EXPECT_EQ(dib.Height(), 2);
    EXPECT_EQ(dib.PixelColor(0, 0), makeColor(1, 1, 1));
    EXPECT_EQ(dib.PixelColor(0, 1), makeColor(2, 2, 2));
    EXPECT_EQ(dib.Bits()[0], 2);  // bottom row first in memory
}

TEST(DibRead, LowBitCountsIndexTheColourTable) {
    const TDIB one = load(DibBytes().infoHeader(9, 1, 1).colors(2).raw({0b01000000, 0x80, 0, 0}));
    EXPECT_EQ(one.PixelColor(0, 0), entryColor(0));
    EXPECT_EQ(one.PixelColor(1, 0), entryColor(1));
    EXPECT_EQ(one.PixelColor(8, 0), entryColor(1));
    const TDIB four = load(DibBytes().infoHeader(3, 1, 4).colors(16).raw({0xA5, 0xF0, 0, 0}));
    EXPECT_EQ(four.PixelColor(0, 0), entryColor(10));
    EXPECT_EQ(four.PixelColor(1, 0), entryColor(5));
    EXPECT_EQ(four.PixelColor(2, 0), entryColor(15));
}

TEST(DibRead, TrueColourPixelsUseTheirChannels) {
    // 16 bits without masks: 5-5-5.
    const TDIB rgb555 = load(DibBytes().infoHeader(2, 1, 16).u16(0x7C00).u16(0x001F));
    EXPECT_EQ(rgb555.PixelColor(0, 0), makeColor(255, 0, 0));
    EXPECT_EQ(rgb555.PixelColor(1, 0), makeColor(0, 0, 255));
    EXPECT_EQ(rgb555.View().redMask, 0x7C00u);
    const TDIB rgb32 = load(DibBytes().infoHeader(1, 1, 32).u32(0xFF123456));
    EXPECT_EQ(rgb32.PixelColor(0, 0), makeColor(0x12, 0x34, 0x56));
    EXPECT_EQ(rgb32.View().blueMask, 0xFFu);
}

// ---- Bit fields ----

TEST(DibBitFields, CanonicalMasksAreAcceptedWithTheirColours) {
    const TDIB rgb565 = load(DibBytes()
                                 .infoHeader(3, 1, 16, kCompressionBitFields)
                                 .masks(0xF800, 0x07E0, 0x001F)
                                 .u16(0xF800)
                                 .u16(0x07E0)
                                 .u16(0x0400)
                                 .u16(0));
    EXPECT_EQ(rgb565.PixelColor(0, 0), makeColor(255, 0, 0));
    EXPECT_EQ(rgb565.PixelColor(1, 0), makeColor(0, 255, 0));
    EXPECT_EQ(rgb565.PixelColor(2, 0), makeColor(0, 0x82, 0));
    EXPECT_EQ(rgb565.View().greenMask, 0x07E0u);
    const TDIB rgb32 = load(
        DibBytes().infoHeader(1, 1, 32, kCompressionBitFields).masks(0xFF0000, 0xFF00, 0xFF).u32(0x00010203));
    EXPECT_EQ(rgb32.PixelColor(0, 0), makeColor(1, 2, 3));
}

// Masks of an allowed format in another order or place, as other writers produce them.
// Every pixel carries set bits outside the masks too, which must not show.
struct MaskLayout {
    int bits;
    DibMasks masks;
};
constexpr MaskLayout kMovedLayouts[] = {
    {32, {0x0000FF, 0x00FF00, 0xFF0000}}, {32, {0xFF000000, 0x00FF0000, 0x0000FF00}},
    {16, {0x001F, 0x07E0, 0xF800}},  // 5-6-5, blue on top
    {16, {0xF800, 0x07C0, 0x003E}},  // 5-5-5, spare bit at the bottom
    {16, {0x001F, 0x03E0, 0x7C00}},  // 5-5-5, blue on top
};

TEST(DibBitFields, MasksAtOtherPlacesShowTheirColoursAndRoundTrip) {
    for (const MaskLayout& layout : kMovedLayouts) {
        const DibMasks& m = layout.masks;
        const std::uint32_t spare = ~(m.red | m.green | m.blue) & (layout.bits == 16 ? 0xFFFF : 0xFFFFFFFF);
        const std::uint32_t pixels[] = {m.red | spare, m.green | spare, m.blue | spare, m.red | m.blue};
        DibBytes b;
        b.infoHeader(4, 1, static_cast<std::uint16_t>(layout.bits), kCompressionBitFields)
            .masks(m.red, m.green, m.blue);
        for (std::uint32_t p : pixels) layout.bits == 16 ? b.u16(p) : b.u32(p);
        if (layout.bits == 16) b.u32(0);
        const TDIB dib = load(b);
        SCOPED_TRACE(::testing::Message() << std::hex << m.red << "/" << m.green << "/" << m.blue);
        EXPECT_EQ(dib.PixelColor(0, 0), makeColor(255, 0, 0));
        EXPECT_EQ(dib.PixelColor(1, 0), makeColor(0, 255, 0));
        EXPECT_EQ(dib.PixelColor(2, 0), makeColor(0, 0, 255));
        EXPECT_EQ(dib.PixelColor(3, 0), makeColor(255, 0, 255));
        expectSamePicture(dib, reloaded(dib));
    }
}

// Run lengths that are not an allowed format, and masks that cannot be read through:
// overlapping, broken into two runs, or reaching past a 16-bit pixel.
TEST(DibBitFields, MasksOfAnotherFormatAreRefused) {
    const MaskLayout refused[] = {
        {16, {0x0F00, 0x00F0, 0x000F}}, {16, {0xF800, 0x07E0, 0x003E}},
        {16, {0xF800, 0x07E0, 0x801F}}, {16, {0x1F0000, 0x07E0, 0x001F}},
        {32, {0xF800, 0x07E0, 0x001F}}, {32, {0xFF0000, 0xFF00, 0x800000FF}},
        {24, {0xFF0000, 0xFF00, 0}},    {24, {0xFF, 0xFF00, 0xFF0000}},
    };
    for (const MaskLayout& layout : refused) {
        const DibMasks& m = layout.masks;
        expectLoadError<EInvalidGraphicOperation>(
            DibBytes()
                .infoHeader(1, 1, static_cast<std::uint16_t>(layout.bits), kCompressionBitFields)
                .masks(m.red, m.green, m.blue)
                .u32(0),
            "EInvalidGraphicOperation", "PixelFormat in invalid");
    }
}

TEST(DibBitFields, FormatRulesFollowTheRunLengths) {
    EXPECT_EQ(maskRunLength(0x07E0), 6);
    EXPECT_EQ(maskRunLength(0xF00F), 4);
    EXPECT_EQ(maskRunLength(0xFFFFFFFF), 32);
    EXPECT_EQ(rebuildMasks({0x001F, 0x07E0, 0xF800}), (DibMasks{0xF800, 0x07E0, 0x001F}));
    EXPECT_TRUE(pixelFormatAllowed(16, {0x7C00, 0x03E0, 0x001F}));
    EXPECT_FALSE(pixelFormatAllowed(32, {0x7C00, 0x03E0, 0x001F}));
    EXPECT_TRUE(storedMasksAccepted(16, {0x001F, 0x07E0, 0xF800}));
    EXPECT_FALSE(storedMasksAccepted(24, {0xFF, 0xFF00, 0xFF0000}));
    EXPECT_TRUE(storedMasksAccepted(32, {0xFF0000, 0xFF00, 0xFF}));
}

// ---- Run-length expansion ----

std::vector<std::uint8_t> decode8(const std::vector<std::uint8_t>& data, int width, int height) {
    const std::int64_t pitch = dibRowBytes(8, width);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(pitch * height), 0xEE);
    decodeRle8(data, RleTarget{pixels.data(), pitch, width, height});
    return pixels;
}

TEST(DibRle, EndOfLineAfterTheLastRowThenEndOfBitmapDecodesEverything) {
    const auto px = decode8({2, 1, 0, 0, 2, 2, 0, 0, 0, 1}, 2, 2);
    EXPECT_EQ(px, (std::vector<std::uint8_t>{1, 1, 0xEE, 0xEE, 2, 2, 0xEE, 0xEE}));
    const TDIB dib = load(
        DibBytes().infoHeader(2, 2, 8, kCompressionRle8, 10).colors(256).raw({2, 1, 0, 0, 2, 2, 0, 0, 0, 1}));
    EXPECT_EQ(dib.PixelColor(0, 1), entryColor(1));
    EXPECT_EQ(dib.PixelColor(1, 0), entryColor(2));
}

TEST(DibRle, AbsoluteRunsArePaddedToAnEvenOffset) {
    // Three pixels, one padding byte, then a run of 2.
    EXPECT_EQ(decode8({0, 3, 5, 6, 7, 0xFF, 2, 9, 0, 1}, 6, 1),
              (std::vector<std::uint8_t>{5, 6, 7, 9, 9, 0xEE, 0xEE, 0xEE}));
    // Four pixels, no padding.
    EXPECT_EQ(decode8({0, 4, 5, 6, 7, 8, 1, 9, 0, 1}, 6, 1),
              (std::vector<std::uint8_t>{5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE}));
}

TEST(DibRle, Rle4RunsAlternateNibbles) {
    const std::uint8_t data[] = {0x05, 0xAB, 0, 3, 0x12, 0x30, 0, 1};
    std::vector<std::uint8_t> px(4, 0);
    decodeRle4(data, RleTarget{px.data(), 4, 8, 1});
    EXPECT_EQ(px, (std::vector<std::uint8_t>{0xAB, 0xAB, 0xA1, 0x23}));
    const TDIB dib = load(DibBytes()
                              .infoHeader(8, 1, 4, kCompressionRle4, 8)
                              .colors(16)
                              .raw({0x05, 0xAB, 0, 3, 0x12, 0x30, 0, 1}));
    EXPECT_EQ(dib.PixelColor(4, 0), entryColor(10));
    EXPECT_EQ(dib.PixelColor(7, 0), entryColor(3));
}

TEST(DibRle, DeltaMovesRightAndUp) {
    const auto px = decode8({2, 4, 0, 2, 3, 1, 1, 8, 0, 1}, 8, 2);
    EXPECT_EQ(px[0], 4);
    EXPECT_EQ(px[1], 4);
    EXPECT_EQ(px[8 + 5], 8);
    EXPECT_EQ(px[8 + 4], 0xEE);
}

TEST(DibRle, PixelsOutsideTheStoreAreNotWritten) {
    // Runs past the row end, absolute runs past it, deltas above the top.
    const std::vector<std::uint8_t> data = {255, 1, 0, 0,   0,   5,   1, 2, 3, 4, 5,
                                            0,   0, 2, 200, 200, 255, 3, 0, 0, 9, 9};
    std::vector<std::uint8_t> guarded(4 * 4, 0x55);
    decodeRle8(data, RleTarget{guarded.data() + 4, 4, 3, 2});
    EXPECT_EQ(guarded, (std::vector<std::uint8_t>{0x55, 0x55, 0x55, 0x55, 1, 1, 1, 0x55, 1, 2, 3, 0x55, 0x55,
                                                  0x55, 0x55, 0x55}));
}

TEST(DibRle, DataRunningOutEndsTheDecoding) {
    EXPECT_EQ(decode8({2, 3, 0}, 4, 1), (std::vector<std::uint8_t>{3, 3, 0xEE, 0xEE}));
    EXPECT_EQ(decode8({0, 5, 1, 2}, 4, 1), (std::vector<std::uint8_t>{1, 2, 0xEE, 0xEE}));
    EXPECT_EQ(decode8({1, 3, 0, 2, 1}, 4, 1), (std::vector<std::uint8_t>{3, 0xEE, 0xEE, 0xEE}));
    std::vector<std::uint8_t> px(4, 0);
    const std::uint8_t data[] = {0, 7, 0x12};
    decodeRle4(data, RleTarget{px.data(), 4, 8, 1});
    EXPECT_EQ(px, (std::vector<std::uint8_t>{0x12, 0, 0, 0}));
}

TEST(DibRle, EncoderOutputDecodesToTheSameRows) {
    const int width = 37, height = 5;
    const std::int64_t pitch = dibRowBytes(8, width);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(pitch * height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            rows[y * pitch + x] = static_cast<std::uint8_t>(x < 12 ? 3 : (x * 7 + y) % 5);
    }
    const auto data = encodeRle8(rows.data(), pitch, width, height);
    std::vector<std::uint8_t> decoded(rows.size(), 0);
    decodeRle8(data, RleTarget{decoded.data(), pitch, width, height});
    EXPECT_EQ(decoded, rows);
    EXPECT_LT(data.size(), rows.size());
}

// ---- Failures ----

TEST(DibErrors, InvalidFramingIsDibInvalid) {
    expectLoadError<EInvalidGraphic>(DibBytes().raw({40, 0}), "EInvalidGraphic", "DIB is invalid");
    expectLoadError<EInvalidGraphic>(DibBytes().u32(64).fill(60, 0), "EInvalidGraphic", "DIB is invalid");
    expectLoadError<EInvalidGraphic>(DibBytes().infoHeader(1, 1, 24, 4).u32(0), "EInvalidGraphic",
                                     "DIB is invalid");
    // Run-length data must match the bit count.
    expectLoadError<EInvalidGraphic>(
        DibBytes().infoHeader(8, 1, 4, kCompressionRle8, 2).colors(16).raw({0, 1}), "EInvalidGraphic",
        "DIB is invalid");
    expectLoadError<EInvalidGraphic>(DibBytes().infoHeader(8, 1, 24, kCompressionRle4, 2).raw({0, 1}),
                                     "EInvalidGraphic", "DIB is invalid");
}

TEST(DibErrors, BitCountOtherThanTheKnownOnes) {
    expectLoadError<EInvalidGraphicOperation>(DibBytes().infoHeader(1, 1, 7).colors(128).u32(0),
                                              "EInvalidGraphicOperation", "Bitcount in invalid (7)");
    expectLoadError<EInvalidGraphicOperation>(DibBytes().infoHeader(1, 1, 0).colors(1).u32(0),
                                              "EInvalidGraphicOperation", "Bitcount in invalid (0)");
}

TEST(DibErrors, StreamEndingEarlyIsAStreamReadError) {
    const DibBytes cases[] = {
        DibBytes().u32(40).fill(20, 0),                                      // inside the header
        DibBytes().infoHeader(1, 1, 8).colors(255),                          // inside the colour table
        DibBytes().infoHeader(1, 1, 16, kCompressionBitFields).u32(0xF800),  // inside the masks
        DibBytes().infoHeader(2, 2, 24).fill(15, 0),                         // inside the rows
        DibBytes().infoHeader(2, -2, 24).fill(15, 0),                        // inside top-down rows
        DibBytes().infoHeader(2, 2, 8, kCompressionRle8, 10).colors(256).raw({0, 1}),  // run-length data
    };
    for (const auto& b : cases) expectLoadError<EReadError>(b, "EReadError", "Stream read error");
}

TEST(DibErrors, StoresThatCannotBeMadeAreRefusedBeforeAllocating) {
    const DibBytes cases[] = {
        DibBytes().infoHeader(0, 1, 24).u32(0),
        DibBytes().infoHeader(-5, 1, 24).u32(0),
        DibBytes().infoHeader(1, 0, 24),
        DibBytes().infoHeader(100000, 100000, 32),
        DibBytes().infoHeader(INT_MAX, 1, 32),
        DibBytes().infoHeader(1, INT_MIN, 32),
        DibBytes().infoHeader(60000, 60000, 8, kCompressionRle8, 2).colors(256).raw({0, 1}),
    };
    for (const auto& b : cases) expectLoadError<EOutOfResources>(b, "EOutOfResources", "DIB cannot be made");
}

TEST(DibErrors, SizesLargerThanTheStreamAreNotAllocated) {
    // Claims of gigabytes end as read errors once the stream is seen to be short.
    expectLoadError<EReadError>(DibBytes().infoHeader(8192, 8192, 32).fill(64, 0), "EReadError",
                                "Stream read error");
    expectLoadError<EReadError>(
        DibBytes().infoHeader(8, 1, 8, kCompressionRle8, 0xFFFFFFFF).colors(256).raw({0, 1}), "EReadError",
        "Stream read error");
    expectLoadError<EReadError>(DibBytes().infoHeader(1, 1, 24, 0, 0, 0xFFFFFFFF).fill(2048, 0), "EReadError",
                                "Stream read error");
}

TEST(DibErrors, FailedReadKeepsThePreviousPicture) {
    TDIB dib = load(DibBytes().infoHeader(3, 2, 24).fill(24, 9));
    const DibBytes broken[] = {DibBytes().raw({1}), DibBytes().infoHeader(1, 1, 7).colors(128),
                               DibBytes().infoHeader(4, 4, 24).fill(10, 0)};
    for (const auto& b : broken) {
        TMemoryStream stream = b.stream();
        EXPECT_THROW(dib.LoadFromStream(stream), Exception);
        EXPECT_EQ(dib.Width(), 3);
        EXPECT_EQ(dib.PixelColor(2, 1), makeColor(9, 9, 9));
    }
}

// A colour table longer than 256 entries is stepped over, so the pixels are read from
// where they start rather than from inside the table.
TEST(DibErrors, ColourTablesLongerThan256EntriesAreSkipped) {
    DibBytes b;
    b.infoHeader(1, 1, 24, kCompressionNone, 0, 300).colors(300).raw({10, 20, 30, 0});
    TMemoryStream stream = b.stream();
    TDIB dib;
    dib.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), 40 + 1200 + 4);
    EXPECT_EQ(dib.PixelColor(0, 0), makeColor(30, 20, 10));
    EXPECT_EQ(dib.ColorTable()[255], (TRGBQuad{255, 0, 1, 0}));
}

// ---- Writing ----

TEST(DibWrite, EmptyPictureWritesNothingAndEmptyStreamReadsEmpty) {
    TDIB dib;
    EXPECT_TRUE(saved(dib).empty());
    TMemoryStream file;
    dib.SaveToFileStream(file);
    EXPECT_EQ(file.Size(), 0);
    EXPECT_EQ(dib.Width(), 0);
    EXPECT_EQ(dib.ColorTable()[200], (TRGBQuad{200, 200, 200, 0}));
    dib = load(DibBytes().infoHeader(1, 1, 24).u32(0));
    TMemoryStream empty;
    dib.LoadFromStream(empty);
    EXPECT_TRUE(dib.Empty());
    EXPECT_EQ(dib.Height(), 0);
}

TEST(DibWrite, HeaderBlockAndPixelsAsStored) {
    const TDIB dib = load(DibBytes()
                              .infoHeader(2, -1, 16, kCompressionBitFields)
                              .masks(0xF800, 0x07E0, 0x001F)
                              .u16(0x1234)
                              .u16(0xABCD));
    DibBytes expected;
    expected.u32(40).u32(2).u32(1).u16(1).u16(16).u32(3).u32(4).u32(0).u32(0).u32(0).u32(0);
    expected.masks(0xF800, 0x07E0, 0x001F).u16(0x1234).u16(0xABCD);
    EXPECT_EQ(saved(dib), expected.bytes());
}

TEST(DibWrite, RunLengthDataIsWrittenAsHeldUntilExpanded) {
    const std::vector<std::uint8_t> rle = {3, 1, 0, 0, 0, 3, 4, 5, 6, 0, 0, 1};
    const TDIB dib = load(DibBytes().infoHeader(3, 2, 8, kCompressionRle8, 12).colors(256).raw(rle));
    const auto compressed = saved(dib);
    ASSERT_EQ(compressed.size(), 40u + 1024 + 12);
    EXPECT_EQ(compressed[16], kCompressionRle8);
    EXPECT_EQ(std::vector<std::uint8_t>(compressed.end() - 12, compressed.end()), rle);
    const TDIB copy = reloaded(dib);
    EXPECT_TRUE(copy.Compressed());
    expectSamePicture(dib, copy);
    const auto expanded = saved(dib);
    EXPECT_EQ(expanded.size(), 40u + 1024 + 8);
    EXPECT_EQ(expanded[16], kCompressionNone);
    expectSamePicture(dib, reloaded(dib));
}

TEST(DibWrite, ReadingWhatWasWrittenGivesTheSamePicture) {
    const DibBytes pictures[] = {
        DibBytes().coreHeader(3, 2, 8).colors(256, 3).raw({1, 2, 3, 0, 4, 5, 6, 0}),
        DibBytes().infoHeader(5, 2, 4, 0, 0, 3).colors(3).raw({0x01, 0x20, 0x10, 0, 0x22, 0x11, 0x00, 0}),
        DibBytes().infoHeader(9, 1, 1).colors(2).raw({0xAA, 0x80, 0, 0}),
        DibBytes().infoHeader(2, -2, 24).raw({1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}),
        DibBytes().infoHeader(2, 1, 16).u16(0x7FFF).u16(0x0421),
        DibBytes().infoHeader(1, 2, 32).u32(0x00FFEEDD).u32(0x00010203),
        DibBytes().infoHeader(6, 1, 4, kCompressionRle4, 4).colors(16).raw({6, 0x1F, 0, 1}),
    };
    for (const auto& b : pictures) {
        const TDIB dib = load(b);
        expectSamePicture(dib, reloaded(dib));
    }
}

TEST(DibFile, FileFormRoundTripsAndHasItsHeader) {
    const TDIB dib = load(DibBytes().infoHeader(2, 1, 8).colors(256).raw({7, 8, 0, 0}));
    TMemoryStream file;
    dib.SaveToFileStream(file);
    const auto& bytes = file.bytes();
    ASSERT_EQ(bytes.size(), 14u + 40 + 1024 + 4);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[2] | (bytes[3] << 8), 14 + 40 + 1024 + 4);
    EXPECT_EQ(bytes[10] | (bytes[11] << 8), 14 + 40 + 1024);
    file.SetPosition(0);
    TDIB copy;
    copy.LoadFromFileStream(file);
    expectSamePicture(dib, copy);
}

// The file header's pixel offset is honoured when it leaves a gap after the colour table,
// so such files do not show their pixels shifted; offsets pointing backwards are ignored.
TEST(DibFile, PixelOffsetPastTheColourTableSkipsTheGap) {
    DibBytes gap;
    gap.raw({'B', 'M'}).u32(0).u32(0).u32(14 + 40 + 8 + 2).infoHeader(2, 1, 1).colors(2).raw({0xEE, 0xEE});
    gap.raw({0x40, 0, 0, 0});
    TMemoryStream stream = gap.stream();
    TDIB dib;
    dib.LoadFromFileStream(stream);
    EXPECT_EQ(dib.PixelColor(0, 0), entryColor(0));
    EXPECT_EQ(dib.PixelColor(1, 0), entryColor(1));
    DibBytes beyond;
    beyond.raw({'B', 'M'}).u32(0).u32(0).u32(5000).infoHeader(2, 1, 1).colors(2).raw({0x40, 0, 0, 0});
    stream = beyond.stream();
    EXPECT_THROW(dib.LoadFromFileStream(stream), EReadError);
    DibBytes backwards;
    backwards.raw({'B', 'M'}).u32(0).u32(0).u32(3).infoHeader(2, 1, 1).colors(2).raw({0x80, 0, 0, 0});
    stream = backwards.stream();
    dib.LoadFromFileStream(stream);
    EXPECT_EQ(dib.PixelColor(0, 0), entryColor(1));
}

// A 2 x 1 bitmap file with a larger header, `between` bytes (an embedded profile, say)
// after the header and colour table, and the file header pointing past them.
struct LargerHeaderCase {
    test::LargerHeader header;
    int colours;
    std::size_t between;
    std::vector<std::uint8_t> pixels;
    TColor left, right;
};

DibBytes largerHeaderFile(const LargerHeaderCase& c) {
    const auto pixelOffset = static_cast<std::uint32_t>(14 + c.header.size + 4 * c.colours + c.between);
    DibBytes b;
    b.fileHeader(pixelOffset).largerHeader(c.header).colors(c.colours).fill(c.between, 0xAB).raw(c.pixels);
    return b;
}

TEST(DibFile, LargerHeadersReadAndWriteBackWithTheInfoHeader) {
    const LargerHeaderCase cases[] = {
        // Masks in the header are ignored without bit-field compression.
        {{108, 2, 1, 32, kCompressionNone, 0xFF, 0xFF00, 0xFF0000},
         0,
         0,
         {0x33, 0x22, 0x11, 0, 0, 0, 0xFF, 0},
         makeColor(0x11, 0x22, 0x33),
         makeColor(255, 0, 0)},
        {{108, 2, 1, 16, kCompressionBitFields, 0x001F, 0x07E0, 0xF800},
         0,
         0,
         {0x1F, 0x00, 0x00, 0xF8},
         makeColor(255, 0, 0),
         makeColor(0, 0, 255)},
        // A profile between the header and the pixels, named by the profile fields.
        {{124, 2, -1, 32, kCompressionBitFields, 0xFF000000, 0xFF0000, 0xFF00, 0, 124, 16},
         0,
         16,
         {0xFF, 0x33, 0x22, 0x11, 0, 0xFF, 0, 0},
         makeColor(0x11, 0x22, 0x33),
         makeColor(0, 0, 255)},
        // A profile offset and size pointing past the end of the file.
        {{124, 2, 1, 24, kCompressionNone, 0, 0, 0, 0, 0x10000, 4000},
         0,
         0,
         {0x33, 0x22, 0x11, 0, 0, 0xFF, 0, 0},
         makeColor(0x11, 0x22, 0x33),
         makeColor(255, 0, 0)},
        {{124, 2, 1, 8, kCompressionNone, 0, 0, 0, 2, 0x10000, 4000},
         2,
         0,
         {1, 0, 0, 0},
         entryColor(1),
         entryColor(0)},
    };
    for (const LargerHeaderCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.header.size << " bytes, " << c.header.bits << " bits");
        const DibBytes bytes = largerHeaderFile(c);
        TMemoryStream stream = bytes.stream();
        TDIB dib;
        dib.LoadFromFileStream(stream);
        EXPECT_EQ(dib.PixelColor(0, 0), c.left);
        EXPECT_EQ(dib.PixelColor(1, 0), c.right);
        TMemoryStream file;
        dib.SaveToFileStream(file);
        EXPECT_EQ(file.bytes().at(14), 40);
        file.SetPosition(0);
        TDIB copy;
        copy.LoadFromFileStream(file);
        expectSamePicture(dib, copy);
        // "Picture.Data" keeps to the 40- and 12-byte headers.
        expectLoadError<EInvalidGraphic>(DibBytes().raw({bytes.bytes().begin() + 14, bytes.bytes().end()}),
                                         "EInvalidGraphic", "DIB is invalid");
    }
}

TEST(DibFile, EmbeddedJpegAndPngAreRefusedAsSuch) {
    TDIB dib = load(DibBytes().infoHeader(1, 1, 24).u32(0));
    const std::pair<std::uint32_t, const char*> kinds[] = {{kCompressionJpeg, "JPEG"},
                                                           {kCompressionPng, "PNG"}};
    for (const auto& [compression, kind] : kinds) {
        for (const std::uint32_t size : {40u, 108u, 124u}) {
            DibBytes b;
            b.fileHeader(14 + size);
            if (size == 40) {
                b.infoHeader(1, 1, 0, compression, 4);
            } else {
                b.largerHeader({size, 1, 1, 0, compression});
            }
            b.raw({0xFF, 0xD8, 0x89, 'P'});
            TMemoryStream stream = b.stream();
            try {
                dib.LoadFromFileStream(stream);
                ADD_FAILURE() << "must raise for " << kind;
            } catch (const EInvalidGraphic& e) {
                EXPECT_EQ(e.what(),
                          "DIB holds an embedded " + std::string(kind) + " image, which cannot be read");
            }
            EXPECT_EQ(dib.Width(), 1);
        }
    }
}

TEST(DibFile, ShortOrForeignFileStreams) {
    TDIB dib = load(DibBytes().infoHeader(1, 1, 24).u32(0));
    TMemoryStream nothing;
    dib.LoadFromFileStream(nothing);
    EXPECT_EQ(dib.Width(), 1);  // no byte: nothing happens
    const DibBytes bad[] = {DibBytes().raw({'B', 'M', 0, 0, 0}), DibBytes().raw({0xFF, 0xD8}).fill(40, 0),
                            DibBytes().raw({'M', 'B'}).fill(60, 0)};
    for (const auto& b : bad) {
        TMemoryStream stream = b.stream();
        try {
            dib.LoadFromFileStream(stream);
            ADD_FAILURE() << "must raise";
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), "DIB is invalid");
        }
        EXPECT_EQ(dib.Width(), 1);
    }
}

TEST(DibShare, CopiesShareTheStoreAndItsExpansion) {
    const TDIB dib = load(DibBytes().infoHeader(2, 1, 8, kCompressionRle8, 4).colors(256).raw({2, 6, 0, 1}));
    const TDIB copy = dib;
    EXPECT_EQ(copy.Bits(), dib.Bits());
    EXPECT_FALSE(copy.Compressed());
    EXPECT_EQ(copy.View().bits[1], 6);
}

}  // namespace
}  // namespace vek
