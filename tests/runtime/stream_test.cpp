// Exact reads and writes of the run-time streams.
#include "runtime/stream.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "runtime/exception.hpp"

namespace vek {
namespace {

TEST(Stream, ReadBufferRaisesStreamReadErrorWhenShort) {
    TMemoryStream stream(std::vector<std::uint8_t>{1, 2, 3});
    std::uint8_t out[4] = {};
    try {
        stream.ReadBuffer(out, 4);
        FAIL() << "a short read must raise";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
        EXPECT_STREQ(e.className(), "EReadError");
    }
}

TEST(Stream, MemoryStreamWritesGrowAndSeekClampsAtZero) {
    TMemoryStream stream;
    const std::uint8_t bytes[] = {9, 8, 7};
    stream.WriteBuffer(bytes, 3);
    stream.Seek(1, SeekOrigin::soBeginning);
    stream.WriteBuffer(bytes, 3);
    EXPECT_EQ(stream.bytes(), (std::vector<std::uint8_t>{9, 9, 8, 7}));
    EXPECT_EQ(stream.Seek(-10, SeekOrigin::soCurrent), 0);
    std::uint8_t out[4];
    EXPECT_EQ(stream.Read(out, 10), 4);
}

// A full device accepts the bytes into the buffer and refuses them when they are flushed.
TEST(Stream, WritingAFileThatCannotTakeTheBytesRaises) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::vector<std::uint8_t> bytes(100, 7);
    try {
        writeFileBytes("/dev/full", bytes);
        FAIL() << "a failed write must raise";
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Cannot write file \"/dev/full\": No space left on device");
    }
}

TEST(Stream, FormatMessageFillsPlaceholders) {
    EXPECT_EQ(formatMessage("Image '%s' not found", "Star"), "Image 'Star' not found");
    EXPECT_EQ(formatMessage("Display mode cannot be changed (%dx%d %dbit)", {640, 480, 8}),
              "Display mode cannot be changed (640x480 8bit)");
}

}  // namespace
}  // namespace vek
