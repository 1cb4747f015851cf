// The committed pictures and sounds under assets/: each reads through the game's own
// readers with the size, depth and sample format the game expects, and the 8-bit
// pictures share one colour table that the image list's table building keeps unchanged.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "graphics/dib.hpp"
#include "graphics/image_list.hpp"
#include "media/wave.hpp"
#include "runtime/stream.hpp"

namespace vek {
namespace {

std::string assetPath(const std::string& relative) {
    return (std::filesystem::path(VEK_ASSETS_DIR) / relative).string();
}

TDIB loadPicture(const std::string& file) {
    const auto bytes = readFileBytes(assetPath("pictures/" + file));
    TSpanStream stream(bytes);
    TDIB dib;
    dib.LoadFromFileStream(stream);
    return dib;
}

struct PictureFile {
    const char* file;
    int width, height, bits;
    bool compressed;
};

constexpr PictureFile kPictureFiles[] = {
    {"star.bmp", 128, 64, 8, true},           {"enemy_disk.bmp", 128, 32, 8, true},
    {"enemy_attacker.bmp", 96, 32, 8, false}, {"enemy_boss.bmp", 179, 56, 8, true},
    {"bounce.bmp", 16, 8, 8, true},           {"explosion.bmp", 192, 32, 8, true},
    {"machine.bmp", 48, 32, 8, true},         {"logo.bmp", 600, 89, 8, true},
    {"corrupcion.bmp", 400, 309, 24, false},
};

TEST(MediaFiles, PicturesReadWithTheirSizesAndOneSharedColourTable) {
    const TColorTable shared = loadPicture("star.bmp").ColorTable();
    TColorTableBuilder builder;
    for (const auto& p : kPictureFiles) {
        SCOPED_TRACE(p.file);
        const TDIB dib = loadPicture(p.file);
        EXPECT_EQ(dib.Width(), p.width);
        EXPECT_EQ(dib.Height(), p.height);
        EXPECT_EQ(dib.BitCount(), p.bits);
        EXPECT_EQ(dib.Compressed(), p.compressed);
        if (p.bits > 8) continue;
        EXPECT_EQ(dib.ColorTable(), shared);
        for (const auto& entry : dib.ColorTable()) builder.Add(entry);
    }
    // No entry is skipped or moved: the display's table is the pictures' table.
    EXPECT_EQ(builder.Count(), 256);
    EXPECT_EQ(builder.Table(), shared);
}

struct WaveFile {
    const char* file;
    int rate, bits, dataBytes;
};

TEST(MediaFiles, SoundsReadWithTheirFormatsAndStartAndEndSilent) {
    constexpr WaveFile kWaves[] = {
        {"scene_mov.wav", 22050, 16, 2550}, {"explosion.wav", 11025, 16, 24076}, {"kan.wav", 11025, 8, 287}};
    for (const auto& w : kWaves) {
        SCOPED_TRACE(w.file);
        const auto bytes = readFileBytes(assetPath(std::string("sounds/") + w.file));
        TSpanStream stream(bytes);
        TWave wave;
        wave.LoadFromStream(stream);
        ASSERT_EQ(wave.FormatSize(), 16);
        ASSERT_EQ(wave.Size(), w.dataBytes);
        const auto& f = wave.Format();
        const int channels = f[2] | f[3] << 8;
        const int rate = f[4] | f[5] << 8 | f[6] << 16;
        const int bits = f[14] | f[15] << 8;
        EXPECT_EQ(channels, 1);
        EXPECT_EQ(rate, w.rate);
        EXPECT_EQ(bits, w.bits);
        const std::uint8_t* s = wave.Data();
        const int last = w.dataBytes - w.bits / 8;
        if (w.bits == 8) {
            EXPECT_EQ(s[0], 128);
            EXPECT_EQ(s[last], 128);
        } else {
            EXPECT_EQ(s[0] | s[1] << 8, 0);
            EXPECT_EQ(s[last] | s[last + 1] << 8, 0);
        }
    }
}

}  // namespace
}  // namespace vek
