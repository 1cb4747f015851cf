// The stored-property writer and reader: every kind round-trips, and malformed bytes are
// refused with the offset of the fault.
#include "runtime/property_stream.hpp"

#include <gtest/gtest.h>

namespace vek {
namespace {

std::vector<std::uint8_t> sampleBlock() {
    TPropertyWriter writer;
    writer.WriteInteger("Left", -197);
    writer.WriteReal("AnimSpeed", 0.015);
    writer.WriteBoolean("Tile", true);
    writer.WriteBoolean("PixelCheck", false);
    writer.WriteString("Caption", "Vektrion v1.2.0 - Murelle");
    writer.WriteIdent("BlendMode", "rtAdd");
    const std::uint8_t map[] = {0, 1, 2, 255};
    writer.WriteBinary("Map", map);
    writer.WriteEnd();
    return writer.TakeBytes();
}

TEST(PropertyStream, EveryKindReadsBackAsWritten) {
    const auto bytes = sampleBlock();
    TPropertyReader reader(bytes);
    ASSERT_TRUE(reader.NextProperty());
    EXPECT_EQ(reader.Name(), "Left");
    EXPECT_EQ(reader.ReadInteger(), -197);
    ASSERT_TRUE(reader.NextProperty());
    EXPECT_EQ(reader.ReadReal(), 0.015);
    ASSERT_TRUE(reader.NextProperty());
    EXPECT_TRUE(reader.ReadBoolean());
    ASSERT_TRUE(reader.NextProperty());
    EXPECT_FALSE(reader.ReadBoolean());
    ASSERT_TRUE(reader.NextProperty());
    EXPECT_EQ(reader.ReadString(), "Vektrion v1.2.0 - Murelle");
    ASSERT_TRUE(reader.NextProperty());
    EXPECT_EQ(reader.Kind(), TValueKind::vaIdent);
    EXPECT_EQ(reader.ReadIdent(), "rtAdd");
    ASSERT_TRUE(reader.NextProperty());
    const auto map = reader.ReadBinary();
    EXPECT_EQ(std::vector<std::uint8_t>(map.begin(), map.end()), (std::vector<std::uint8_t>{0, 1, 2, 255}));
    EXPECT_FALSE(reader.NextProperty());
    EXPECT_TRUE(reader.AtEnd());
}

TEST(PropertyStream, UnreadValuesAreSkippedAndIntegersReadAsReals) {
    const auto bytes = sampleBlock();
    TPropertyReader reader(bytes);
    ASSERT_TRUE(reader.NextProperty());
    EXPECT_EQ(reader.ReadReal(), -197.0);
    int count = 1;
    while (reader.NextProperty()) ++count;
    EXPECT_EQ(count, 7);
    EXPECT_TRUE(reader.AtEnd());
}

TEST(PropertyStream, AValueOfTheWrongKindNamesPropertyKindsAndOffset) {
    const auto bytes = sampleBlock();
    TPropertyReader reader(bytes);
    ASSERT_TRUE(reader.NextProperty());
    reader.SkipValue();
    ASSERT_TRUE(reader.NextProperty());
    const std::size_t offset = reader.PropertyOffset();
    try {
        reader.ReadString();
        FAIL() << "a real read as a string must raise";
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Offset(), offset);
        EXPECT_EQ(std::string(e.what()),
                  "Property AnimSpeed holds a real, not a string at byte " + std::to_string(offset));
    }
}

// Every cut of a valid block, and an unknown kind, is refused without reading past the end.
TEST(PropertyStream, TruncatedOrUnknownDataIsRefused) {
    const auto bytes = sampleBlock();
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        const std::span<const std::uint8_t> part(bytes.data(), cut);
        TPropertyReader reader(part);
        EXPECT_THROW(
            {
                while (reader.NextProperty()) reader.SkipValue();
            },
            EPropertyError)
            << "cut at " << cut;
    }
    std::vector<std::uint8_t> unknown = {1, 'A', 10, 0};
    TPropertyReader reader(unknown);
    try {
        reader.NextProperty();
        FAIL() << "kind 10 must be refused";
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Offset(), 2u);
    }
}

// Sets by member name, and collections whose items are blocks; errors inside an item
// name its path.
TEST(PropertyStream, SetsAndCollectionsReadBackWithPathsInErrors) {
    TPropertyWriter writer;
    const std::string members[] = {"doCenter", "doFlip"};
    writer.WriteSet("Options", members);
    writer.WriteCollection("Items", 2);
    writer.WriteString("Name", "Star");
    writer.WriteEnd();
    writer.WriteString("Name", "Logo");
    writer.WriteCollection("Items", 1);
    writer.WriteEnd();
    const std::size_t faultOffset = writer.Bytes().size();
    writer.WriteString("Tag", "x");
    writer.WriteEnd();
    writer.WriteEnd();
    const auto bytes = writer.TakeBytes();

    constexpr std::string_view kNames[] = {"doFullScreen", "doCenter", "doFlip"};
    TPropertyReader reader(bytes);
    ASSERT_TRUE(reader.NextProperty());
    EXPECT_EQ(reader.ReadSet(kNames), 0b110u);
    ASSERT_TRUE(reader.NextProperty());
    ASSERT_EQ(reader.ReadCollection(), 2u);
    ASSERT_TRUE(reader.NextProperty());
    EXPECT_EQ(reader.Path(), "Items[0].Name");
    EXPECT_EQ(reader.ReadString(), "Star");
    EXPECT_FALSE(reader.NextProperty());
    ASSERT_TRUE(reader.NextProperty());
    reader.SkipValue();
    ASSERT_TRUE(reader.NextProperty());
    EXPECT_EQ(reader.ReadCollection(), 1u);
    EXPECT_EQ(reader.Path(), "Items[1].Items[0]");
    EXPECT_FALSE(reader.NextProperty());
    ASSERT_TRUE(reader.NextProperty());
    try {
        reader.ReadInteger();
        FAIL() << "a string read as an integer must raise";
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Property(), "Items[1].Tag");
        EXPECT_EQ(e.Offset(), faultOffset);
        EXPECT_EQ(e.Reason(), "Property Tag holds a string, not an integer");
    }
}

TEST(PropertyStream, UnknownMembersAndDeepNestingAreRefused) {
    TPropertyWriter writer;
    const std::string members[] = {"doWobble"};
    writer.WriteSet("Options", members);
    writer.WriteIdent("Align", "alMiddle");
    for (int depth = 0; depth <= kMaxCollectionDepth; ++depth) writer.WriteCollection("Items", 1);
    for (int depth = 0; depth <= kMaxCollectionDepth + 1; ++depth) writer.WriteEnd();
    const auto bytes = writer.TakeBytes();
    constexpr std::string_view kNames[] = {"doCenter", "alClient"};
    TPropertyReader reader(bytes);
    ASSERT_TRUE(reader.NextProperty());
    EXPECT_THROW(reader.ReadSet(kNames), EPropertyError);
    ASSERT_TRUE(reader.NextProperty());
    EXPECT_THROW(reader.ReadEnum(kNames), EPropertyError);
    try {
        while (reader.NextProperty()) reader.SkipValue();
        FAIL() << "collections nested too deeply must raise";
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Reason(), "Collections nest too deeply in property Items");
    }
}

// Identifiers and set members hold printable characters only; any other is refused at the
// identifier's own offset.
TEST(PropertyStream, IdentifiersHoldingAByteThatIsNotPrintableAreRefusedWhereTheyStart) {
    TPropertyWriter writer;
    writer.WriteIdent("Align", "al\x1b[2JClient");
    const std::size_t setOffset = writer.Bytes().size();
    const std::string members[] = {"doCenter", std::string("do\0Flip", 7)};
    writer.WriteSet("Options", members);
    writer.WriteEnd();
    const auto bytes = writer.TakeBytes();
    const std::size_t identOffset = 1 + 5 + 1;
    const std::size_t memberOffset = setOffset + 1 + 7 + 1 + 1 + 1 + 8;
    TPropertyReader reader(bytes);
    for (const std::size_t offset : {identOffset, memberOffset}) {
        ASSERT_TRUE(reader.NextProperty());
        try {
            reader.SkipValue();
            FAIL() << "an identifier holding a control byte must raise";
        } catch (const EPropertyError& e) {
            EXPECT_EQ(e.Offset(), offset);
            EXPECT_EQ(e.Reason(), "Identifier holds a byte that is not printable");
        }
    }
}

}  // namespace
}  // namespace vek
