// PNG files in memory: the window's icon reads with its transparency, a picture survives
// writing and reading, and bytes that are no picture, or too large a one, are refused.
#include "platform/png/png_file.hpp"

#include <gtest/gtest.h>

#include "assets/embedded_icon.hpp"

namespace vek::platform::png {
namespace {

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(PngFile, TheWindowIconReadsAtSixtyFourSquareWithItsTransparentCorners) {
    Picture icon;
    std::string why;
    ASSERT_TRUE(decode(EmbeddedWindowIcon(), icon, why)) << why;
    EXPECT_EQ(icon.width, 64);
    EXPECT_EQ(icon.height, 64);
    EXPECT_EQ(icon.pixels.front() >> 24, 0u) << "the corner is transparent";
    EXPECT_EQ(icon.pixels[32 * 64 + 32] >> 24, 0xFFu) << "the middle is not";
}

TEST(PngFile, APictureWrittenReadsBackTheSameAndWhatIsNoPictureIsRefused) {
    const Picture picture{3, 2, {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00123456, 0x00FFFFFF, 0}};
    std::string why;
    const std::string bytes = encodeRgb(picture, why);
    Picture read;
    ASSERT_TRUE(decode(bytesOf(bytes), read, why)) << why;
    EXPECT_EQ(read.width, 3);
    EXPECT_EQ(read.height, 2);
    for (std::uint32_t& pixel : read.pixels) pixel &= 0xFFFFFF;
    EXPECT_EQ(read.pixels, picture.pixels);

    EXPECT_FALSE(decode(bytesOf(bytes), read, why, 2));
    EXPECT_EQ(why, "the picture is larger than 2 pixels on a side");
    EXPECT_FALSE(decode(bytesOf("GIF89a, not a PNG"), read, why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(encodeRgb(Picture{}, why), "");
    EXPECT_EQ(why, "the picture is empty");
}

}  // namespace
}  // namespace vek::platform::png
