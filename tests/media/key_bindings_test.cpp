// The default key bindings and the stored "Assigns" bytes.
#include "media/key_bindings.hpp"

#include <gtest/gtest.h>

#include "runtime/exception.hpp"
#include "runtime/stream.hpp"

namespace vek {
namespace {

TEST(KeyBindings, DefaultTable) {
    const auto a = defaultKeyAssigns();
    EXPECT_EQ(a[stUp], (TKeyAssign{0x4B, 0x26, 0x68}));
    EXPECT_EQ(a[stDown], (TKeyAssign{0x4A, 0x28, 0x62}));
    EXPECT_EQ(a[stLeft], (TKeyAssign{0x48, 0x25, 0x64}));
    EXPECT_EQ(a[stRight], (TKeyAssign{0x4C, 0x27, 0x66}));
    EXPECT_EQ(a[stButton1], (TKeyAssign{0x5A, 0x20, 0}));
    EXPECT_EQ(a[stButton2], (TKeyAssign{0x58, 0x0D, 0}));
    EXPECT_EQ(a[stButton9], (TKeyAssign{0x71, 0, 0}));
    int bound = 0;
    for (const auto& assign : a)
        for (auto code : assign) bound += code != 0;
    EXPECT_EQ(bound, 3 * 4 + 2 * 2 + 1);
}

TEST(KeyBindings, StoredFormIsLittleEndianInStateOrder) {
    TKeyAssignList a{};
    a[stUp] = {0x4B, -2, 0x01020304};
    a[stButton32] = {0, 0, 0x7F};
    TMemoryStream out;
    writeKeyAssigns(out, a);
    const auto& bytes = out.bytes();
    ASSERT_EQ(bytes.size(), 432u);
    EXPECT_EQ(bytes[0], 0x4B);
    EXPECT_EQ(bytes[4], 0xFE);
    EXPECT_EQ(bytes[7], 0xFF);
    EXPECT_EQ(bytes[8], 0x04);
    EXPECT_EQ(bytes[11], 0x01);
    EXPECT_EQ(bytes[428], 0x7F);
}

TEST(KeyBindings, RoundTripAndLongerDataLeavesTheRestUnread) {
    auto original = defaultKeyAssigns();
    original[stButton20] = {-1, 256, 0x100000};
    TMemoryStream stream;
    writeKeyAssigns(stream, original);
    const std::uint8_t trailer[] = {0xAA, 0xBB};
    stream.WriteBuffer(trailer, 2);
    stream.SetPosition(0);
    TKeyAssignList read{};
    readKeyAssigns(stream, read);
    EXPECT_EQ(read, original);
    EXPECT_EQ(stream.Position(), 432);
}

TEST(KeyBindings, ShortDataRaisesStreamReadErrorAndKeepsTheTable) {
    TMemoryStream full;
    writeKeyAssigns(full, TKeyAssignList{});
    auto bytes = full.takeBytes();
    bytes.pop_back();
    TSpanStream shortData(bytes);
    auto table = defaultKeyAssigns();
    try {
        readKeyAssigns(shortData, table);
        FAIL() << "431 bytes must not be accepted";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
    EXPECT_EQ(table, defaultKeyAssigns());
}

TEST(KeyBindings, PropertyNames) {
    EXPECT_TRUE(isKeyAssignsProperty("Assigns"));
    EXPECT_TRUE(isKeyAssignsProperty("Aissgns"));
    EXPECT_FALSE(isKeyAssignsProperty("Assign"));
    EXPECT_FALSE(isKeyAssignsProperty(""));
    EXPECT_EQ(kKeyAssignsProperty, "Assigns");
}

}  // namespace
}  // namespace vek
