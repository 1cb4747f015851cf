// The description the program carries: the game's catalogue of pictures, sounds and keys
// read back from it, the stored settings reaching the main window's components, and the
// display's colour table after FormCreate.
#include <gtest/gtest.h>

#include "app/window/main_form.hpp"
#include "assets/embedded_description.hpp"
#include "assets/stored_items.hpp"
#include "graphics/dxdraw.hpp"
#include "graphics/image_list.hpp"
#include "media/dxinput.hpp"
#include "media/dxsound.hpp"
#include "media/dxtimer.hpp"
#include "media/key_bindings.hpp"
#include "media/wave_list.hpp"
#include "platform/headless/headless_platform.hpp"
#include "runtime/byte_order.hpp"
#include "runtime/stream.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek {
namespace {

using platform::headless::HeadlessPlatform;
using platform::headless::ScopedPlatform;

class StoredDescription : public ::testing::Test {
protected:
    void SetUp() override { form = std::make_unique<TMainForm>(); }
    const TStoredItem& storedItem(const std::vector<TStoredItem>& items, const std::string& name) {
        for (const auto& item : items)
            if (item.Name == name) return item;
        throw std::runtime_error("no stored item " + name);
    }

    HeadlessPlatform backend;
    ScopedPlatform installed{backend};
    std::unique_ptr<TMainForm> form;
};

struct PictureRow {
    const char* name;
    int width, height;  // as the game sees the item: a pattern, or the whole picture
    int patterns;
    bool transparent;
    TColor transparentColor;
    bool systemMemory;
    int pictureWidth, pictureHeight, bits, compression;
    int pixelBytes;  // uncompressed pictures only: run-length sizes follow the pixels drawn
};

constexpr PictureRow kPictures[] = {
    {"Star", 16, 16, 32, true, clBlack, false, 128, 64, 8, 1, 0},
    {"Enemy-disk", 32, 32, 4, true, clBlack, false, 128, 32, 8, 1, 0},
    {"Enemy-Attacker", 48, 32, 2, true, clFuchsia, false, 96, 32, 8, 0, 3072},
    {"Enemy-boss", 179, 56, 1, true, clFuchsia, false, 179, 56, 8, 1, 0},
    {"Bounce", 16, 8, 1, true, clBlack, false, 16, 8, 8, 1, 0},
    {"Explosion", 48, 32, 4, true, clBlack, false, 192, 32, 8, 1, 0},
    {"Machine", 48, 32, 1, true, clBlack, false, 48, 32, 8, 1, 0},
    {"Logo", 600, 89, 1, true, clBlack, true, 600, 89, 8, 1, 0},
    {"corrupcion", 400, 309, 1, false, 0x748D93, false, 400, 309, 24, 0, 370800},
};

TEST_F(StoredDescription, EveryPictureOfTheCatalogueIsStoredInOrderWithItsValues) {
    auto& items = form->ImageList->Items();
    const auto stored = StoredItems(EmbeddedDescription(), "ImageList", "Items");
    ASSERT_EQ(items.Count(), 9);
    for (int i = 0; i < 9; ++i) {
        const PictureRow& row = kPictures[i];
        SCOPED_TRACE(row.name);
        auto& item = items.Items(i);
        EXPECT_EQ(item.Name(), row.name);
        EXPECT_EQ(item.Width(), row.width);
        EXPECT_EQ(item.Height(), row.height);
        EXPECT_EQ(item.PatternCount(), row.patterns);
        EXPECT_EQ(item.SkipWidth, 0);
        EXPECT_EQ(item.SkipHeight, 0);
        EXPECT_EQ(item.Transparent, row.transparent);
        EXPECT_EQ(item.TransparentColor(), row.transparentColor);
        EXPECT_EQ(item.SystemMemory, row.systemMemory);
        ASSERT_NE(item.Picture.Graphic(), nullptr);
        EXPECT_EQ(item.Picture.Width(), row.pictureWidth);
        EXPECT_EQ(item.Picture.Height(), row.pictureHeight);
        EXPECT_EQ(item.Picture.Graphic()->BitCount(), row.bits);

        // "TDIB", the 40-byte header with a positive height, 256 colours for 8 bits (colours
        // used 0), and exactly the pixel bytes the header counts.
        const auto& data = storedItem(stored, row.name).Binaries.at("Picture.Data");
        ASSERT_GT(data.size(), 45u);
        EXPECT_EQ(std::string(data.begin(), data.begin() + 5), "\4TDIB");
        const std::uint8_t* header = data.data() + 5;
        EXPECT_EQ(readLe32(header), 40u);
        EXPECT_EQ(static_cast<std::int32_t>(readLe32(header + 8)), row.pictureHeight);
        EXPECT_EQ(readLe16(header + 14), row.bits);
        EXPECT_EQ(readLe32(header + 16), static_cast<std::uint32_t>(row.compression));
        EXPECT_EQ(readLe32(header + 32), 0u);
        const std::size_t colours = row.bits == 8 ? 1024 : 0;
        const std::uint32_t pixelBytes = readLe32(header + 20);
        if (row.pixelBytes) {
            EXPECT_EQ(pixelBytes, static_cast<std::uint32_t>(row.pixelBytes));
        }
        EXPECT_EQ(data.size(), 1 + 4 + 40 + colours + pixelBytes);
    }
}

struct StoredWave {
    const char* name;
    int channels, rate, bits, blockAlign, bytesPerSecond;
    std::int32_t dataBytes;
    std::size_t streamBytes;
};

constexpr StoredWave kWaves[] = {
    {"SceneMov", 1, 22050, 16, 2, 44100, 2550, 2594},
    {"Explosion", 1, 11025, 16, 2, 22050, 24076, 24120},
    {"kan!!", 1, 11025, 8, 1, 11025, 287, 331},
};

TEST_F(StoredDescription, EverySoundOfTheCatalogueIsStoredInOrderWithItsFormat) {
    auto& items = form->DXWaveList->Items();
    const auto stored = StoredItems(EmbeddedDescription(), "DXWaveList", "Items");
    ASSERT_EQ(items.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const StoredWave& row = kWaves[i];
        SCOPED_TRACE(row.name);
        const auto& item = items.Items(i);
        EXPECT_EQ(item.Name(), row.name);
        EXPECT_FALSE(item.Looped());
        EXPECT_EQ(item.MaxPlayingCount(), 0);
        const auto& format = item.Wave().Format();
        ASSERT_EQ(format.size(), 16u);
        EXPECT_EQ(readLe16(&format[0]), 1);
        EXPECT_EQ(readLe16(&format[2]), row.channels);
        EXPECT_EQ(readLe32(&format[4]), static_cast<std::uint32_t>(row.rate));
        EXPECT_EQ(readLe32(&format[8]), static_cast<std::uint32_t>(row.bytesPerSecond));
        EXPECT_EQ(readLe16(&format[12]), row.blockAlign);
        EXPECT_EQ(readLe16(&format[14]), row.bits);
        EXPECT_EQ(item.Wave().Size(), row.dataBytes);
        EXPECT_EQ(storedItem(stored, row.name).Binaries.at("WAVE").size(), row.streamBytes);
    }
}

TEST_F(StoredDescription, ExplosionNamesAPictureAndASoundEachFoundInItsOwnList) {
    auto& picture = form->ImageList->Items().Find("explosion");
    EXPECT_EQ(picture.Name(), "Explosion");
    EXPECT_EQ(picture.Picture.Width(), 192);
    EXPECT_EQ(picture.PatternCount(), 4);
    auto& sound = form->DXWaveList->Items().Find("EXPLOSION");
    EXPECT_EQ(sound.Name(), "Explosion");
    EXPECT_EQ(sound.Wave().Size(), 24076);
    EXPECT_THROW(form->ImageList->Items().Find("kan!!"), EPictureCollectionError);
    EXPECT_THROW(form->DXWaveList->Items().Find("Star"), EWaveCollectionError);
}

TEST_F(StoredDescription, TheKeyBindingsAreTheDefaultTableIn432Bytes) {
    EXPECT_EQ(form->DXInput->Keyboard().KeyAssigns(), defaultKeyAssigns());
    TMemoryStream expected;
    writeKeyAssigns(expected, defaultKeyAssigns());
    EXPECT_EQ(StoredBinary(EmbeddedDescription(), "DXInput", "Keyboard.Assigns"), expected.bytes());
}

TEST_F(StoredDescription, TheStoredSettingsReachTheComponents) {
    auto& draw = *form->DXDraw;
    EXPECT_EQ(draw.Options(),
              (TDXDrawOptions{doAllowReboot, doWaitVBlank, doCenter, doHardware, doSelectDriver}));
    EXPECT_FALSE(draw.AutoInitialize);
    EXPECT_FALSE(draw.AutoSize);
    EXPECT_EQ(draw.Align, alClient);
    EXPECT_EQ(Bounds(draw.Left(), draw.Top(), draw.Width(), draw.Height()), (TRect{0, 0, 640, 480}));
    EXPECT_TRUE(draw.Display().FixedBitCount);
    EXPECT_TRUE(draw.Display().FixedRatio);
    EXPECT_FALSE(draw.Display().FixedSize);
    EXPECT_TRUE(form->DXTimer->ActiveOnly());
    EXPECT_EQ(form->DXTimer->Interval(), 33u);
    auto& input = *form->DXInput;
    EXPECT_TRUE(input.ActiveOnly());
    EXPECT_FALSE(input.UseDirectInput());
    EXPECT_TRUE(input.Keyboard().Enabled() && input.Keyboard().BindInputStates());
    EXPECT_TRUE(input.Joystick().Enabled() && input.Joystick().BindInputStates() &&
                input.Joystick().AutoCenter());
    EXPECT_EQ(input.Joystick().DeadZoneY(), 50);
    EXPECT_EQ(input.Joystick().RangeZ(), 1000);
    EXPECT_EQ(input.Joystick().ID(), 0);
    EXPECT_FALSE(input.Mouse().Enabled() || input.Mouse().BindInputStates());
    EXPECT_EQ(input.Mouse().Effects().size(), 1u);
    EXPECT_FALSE(form->DXSound->AutoInitialize());
    EXPECT_EQ(form->DXSound->Options(), TDXSoundOptions{});
    EXPECT_EQ(form->ImageList->DXDraw(), &draw);
    EXPECT_EQ(form->DXWaveList->DXSound(), form->DXSound.get());
    EXPECT_EQ(form->SpriteEngine->DXDraw(), &draw);
    EXPECT_TRUE(form->KeyPreview);
    EXPECT_EQ(form->StoredSpec().left, 197);
    EXPECT_EQ(form->StoredSpec().top, 108);
    EXPECT_EQ(form->StoredSpec().borderStyle, platform::BorderStyle::bsSizeable);
    EXPECT_TRUE(form->StoredSpec().maximizeBox);
}

TEST_F(StoredDescription, AfterFormCreateTheDisplayHasTheImageListsColourTable) {
    const TColorTable& table = form->DXDraw->ColorTable;
    EXPECT_EQ(table, form->ImageList->Items().ColorTable);
    EXPECT_EQ(form->DXDraw->DefColorTable, table);
    EXPECT_EQ(table[0], (TRGBQuad{0, 0, 0, 0}));
    EXPECT_EQ(table[7], (TRGBQuad{192, 192, 192, 0}));
    EXPECT_EQ(table[253], (TRGBQuad{255, 0, 255, 0}));
    EXPECT_EQ(table[255], (TRGBQuad{255, 255, 255, 0}));
    // The stored table was all zeros; the first picture's colours now follow the fixed ones.
    const TColorTable& star = form->ImageList->Items().Find("Star").Picture.Graphic()->ColorTable();
    for (const auto& colour : star)
        EXPECT_NE(std::find(table.begin(), table.end(), colour), table.end())
            << int(colour.rgbRed) << "," << int(colour.rgbGreen) << "," << int(colour.rgbBlue);
}

}  // namespace
}  // namespace vek
