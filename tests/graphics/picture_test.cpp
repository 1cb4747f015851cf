// TPicture: the picture-kind name in front of "Picture.Data", the registered kinds,
// unregistered names, failed reads and writing back.
#include "graphics/picture.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/dib_format.hpp"
#include "graphics/dib_stream_builder.hpp"

namespace vek {
namespace {

using test::DibBytes;

// A "Star"-shaped stream: 128 x 64, 8 bits, run-length data of 906 bytes.
DibBytes starPictureData() {
    DibBytes b;
    b.name("TDIB").infoHeader(128, 64, 8, kCompressionRle8, 906).colors(256);
    for (int i = 0; i < 452; ++i) b.raw({128, static_cast<std::uint8_t>(i % 7)});
    return b.raw({0, 1});
}

TEST(PictureKinds, TDibIsRegisteredWithItsFileExtensionAndClipboardFormat) {
    ASSERT_EQ(RegisteredPictureKinds().size(), 1u);
    const TPictureKind* kind = FindPictureKind("TDIB");
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kind->extension, "dib");
    EXPECT_EQ(kind->description, "Device Independent Bitmap");
    EXPECT_EQ(kind->clipboardFormat, 8);
    EXPECT_EQ(FindPictureKind("TBitmap"), nullptr);
}

TEST(PictureData, ReadsTheNamedKindAndConsumesExactlyItsBytes) {
    DibBytes b = starPictureData();
    b.raw({0x55, 0x66});
    TMemoryStream stream = b.stream();
    TPicture picture;
    picture.ReadData(stream);
    EXPECT_EQ(stream.Position(), 1 + 4 + 40 + 1024 + 906);
    EXPECT_EQ(picture.Width(), 128);
    EXPECT_EQ(picture.Height(), 64);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Graphic()->BitCount(), 8);
}

TEST(PictureData, UnregisteredNameLeavesThePictureEmptyWithoutError) {
    TMemoryStream good = starPictureData().stream();
    TPicture picture;
    picture.ReadData(good);
    TMemoryStream other = DibBytes().name("TJPEGImage").raw({0xFF, 0xD8, 0xFF}).stream();
    EXPECT_NO_THROW(picture.ReadData(other));
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
}

TEST(PictureData, FailedReadKeepsThePreviousPicture) {
    TMemoryStream good = starPictureData().stream();
    TPicture picture;
    picture.ReadData(good);
    const DibBytes broken[] = {DibBytes().name("TDIB").u32(41), DibBytes().raw({4, 'T', 'D'}),
                               DibBytes().name("TDIB").infoHeader(2, 2, 8).colors(256).u32(0)};
    for (const auto& b : broken) {
        TMemoryStream stream = b.stream();
        EXPECT_THROW(picture.ReadData(stream), Exception);
        EXPECT_EQ(picture.Width(), 128);
    }
}

TEST(PictureData, WritingBackGivesTheSameBytesAndNothingWhenEmpty) {
    const DibBytes b = starPictureData();
    TMemoryStream in = b.stream();
    TPicture picture;
    picture.ReadData(in);
    TMemoryStream out;
    picture.WriteData(out);
    // The same bytes, except the resolution fields, which are written as 0.
    auto expected = b.bytes();
    std::fill(expected.begin() + 5 + 24, expected.begin() + 5 + 32, std::uint8_t{0});
    EXPECT_EQ(out.bytes(), expected);

    TPicture empty;
    TMemoryStream nothing;
    empty.WriteData(nothing);
    EXPECT_EQ(nothing.Size(), 0);
    nothing.SetPosition(0);
    picture.ReadData(nothing);
    EXPECT_TRUE(picture.Empty());
}

TEST(PictureData, EmptyTDibPictureReadsAsEmpty) {
    TMemoryStream stream = DibBytes().name("TDIB").stream();
    TPicture picture;
    picture.ReadData(stream);
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Width(), 0);
    TMemoryStream out;
    picture.WriteData(out);
    EXPECT_EQ(out.bytes(), (std::vector<std::uint8_t>{4, 'T', 'D', 'I', 'B'}));
}

}  // namespace
}  // namespace vek
