// The display's pure rules: effective options, mode search, presentation target,
// palette conversion and the mode settings' setters.
#include "graphics/dxdraw.hpp"

#include <gtest/gtest.h>

namespace vek {
namespace {

const TDXDrawOptions kGameStored{doAllowReboot, doWaitVBlank, doCenter, doHardware, doSelectDriver};

TEST(DXDrawOptions, MaskHoldsBitNForMemberN) {
    EXPECT_EQ((TDXDrawOptions{doFullScreen}).Mask(), 0x0001);
    EXPECT_EQ((TDXDrawOptions{doFlip, doZBuffer}).Mask(), 0x4100);
    EXPECT_EQ(kDefaultDXDrawOptions.Mask(), 0x368C);
    EXPECT_EQ(TDXDrawOptions::FromMask(0xFFFF).Mask(), 0x7FFF);
}

TEST(DXDrawOptions, NotInitializedGameSettings) {
    EXPECT_EQ(EffectiveOptions(kGameStored, {}, false), (TDXDrawOptions{doWaitVBlank, doCenter}));
    EXPECT_EQ(EffectiveOptions(kGameStored + TDXDrawOptions{doFullScreen}, {}, false),
              (TDXDrawOptions{doFullScreen, doAllowReboot, doWaitVBlank, doCenter}));
}

TEST(DXDrawOptions, NotInitializedRules) {
    // The construction default keeps the 3-D members except the hardware device.
    EXPECT_EQ(EffectiveOptions(kDefaultDXDrawOptions, {}, false),
              (TDXDrawOptions{doWaitVBlank, doCenter, do3D, doDirectX7Mode, doSelectDriver}));
    // Windowed drops the full-screen-only members.
    EXPECT_EQ(EffectiveOptions({doNoWindowChange, doAllowPalette256, doFlip, doStretch}, {}, false),
              (TDXDrawOptions{doStretch}));
    EXPECT_EQ(EffectiveOptions({doFullScreen, doFlip, doSystemMemory}, {}, false),
              (TDXDrawOptions{doFullScreen, doSystemMemory}));
    EXPECT_EQ(EffectiveOptions({do3D, doDirectX7Mode, doRetainedMode, doZBuffer}, {}, false),
              (TDXDrawOptions{do3D, doDirectX7Mode, doZBuffer}));
    EXPECT_EQ(EffectiveOptions({do3D, doRetainedMode}, {}, false), (TDXDrawOptions{do3D, doRetainedMode}));
}

TEST(DXDrawOptions, InitializedTakesOnlyPresentationMembers) {
    const TDXDrawOptions now{doFullScreen, doAllowReboot, doWaitVBlank, doCenter, doSystemMemory};
    EXPECT_EQ(EffectiveOptions({doStretch, doFlip, doAllowPalette256}, now, true),
              (TDXDrawOptions{doFullScreen, doAllowReboot, doSystemMemory, doStretch}));
    // Without 3-D the 3-D-only members never stay.
    EXPECT_EQ(EffectiveOptions({}, {doHardware, doZBuffer, doDirectX7Mode}, true),
              (TDXDrawOptions{doDirectX7Mode}));
    EXPECT_EQ(EffectiveOptions({}, {do3D, doHardware}, true), (TDXDrawOptions{do3D, doHardware}));
}

std::vector<TDXDrawDisplayMode> modes(std::initializer_list<TDXDrawDisplayMode> list) {
    return list;
}

TEST(DisplayModeSearch, FullScreenGameRulesWhenTheExactModeIsMissing) {
    const TModeSearch ratio{true, false, true};
    const TModeSearch plain{false, false, true};
    const auto list =
        modes({{640, 400, 8}, {720, 480, 8}, {800, 600, 8}, {800, 600, 32}, {1024, 768, 8}, {1280, 1024, 8}});
    EXPECT_EQ(SearchDisplayMode(list, 640, 480, 8, ratio), (TDXDrawDisplayMode{800, 600, 8}));
    EXPECT_EQ(SearchDisplayMode(list, 640, 480, 8, plain), (TDXDrawDisplayMode{720, 480, 8}));
    // Smallest width first, then smallest height.
    const auto noRatio = modes({{800, 640, 8}, {800, 700, 8}, {1280, 1024, 8}});
    EXPECT_EQ(SearchDisplayMode(noRatio, 640, 480, 8, ratio), std::nullopt);
    EXPECT_EQ(SearchDisplayMode(noRatio, 640, 480, 8, plain), (TDXDrawDisplayMode{800, 640, 8}));
}

TEST(DisplayModeSearch, BitCountRules) {
    const TModeSearch loose{false, true, false};
    // 16 wanted, only 24 and 32 offered: the last qualifying mode of the size wins.
    EXPECT_EQ(SearchDisplayMode(modes({{640, 480, 24}, {640, 480, 32}}), 640, 480, 16, loose),
              (TDXDrawDisplayMode{640, 480, 32}));
    // 8 wanted: deeper modes qualify too, but the wanted bit count is preferred at the best size.
    EXPECT_EQ(SearchDisplayMode(modes({{640, 480, 8}, {640, 480, 16}}), 640, 480, 8, loose),
              (TDXDrawDisplayMode{640, 480, 8}));
    // 16 wanted: an 8-bit mode never qualifies.
    EXPECT_EQ(SearchDisplayMode(modes({{640, 480, 8}}), 640, 480, 16, loose), std::nullopt);
    const TModeSearch fixedBits{false, true, true};
    EXPECT_EQ(SearchDisplayMode(modes({{640, 480, 16}, {640, 480, 32}}), 640, 480, 24, fixedBits),
              std::nullopt);
}

TEST(DisplayModeSearch, SizeRules) {
    const auto list = modes({{640, 480, 8}, {800, 600, 8}});
    EXPECT_EQ(SearchDisplayMode(list, 700, 500, 8, {false, true, false}), std::nullopt);
    EXPECT_EQ(SearchDisplayMode(list, 700, 500, 8, {false, false, false}), (TDXDrawDisplayMode{800, 600, 8}));
    EXPECT_EQ(SearchDisplayMode({}, 640, 480, 8, {}), std::nullopt);
}

TEST(BlitTarget, CenteredBackSurfaceAsLargeAsTheControlFillsTheClientArea) {
    EXPECT_EQ(BlitTargetRect({10, 20}, 640, 480, 640, 480, {doCenter}), (TRect{10, 20, 650, 500}));
}

TEST(BlitTarget, CenteringTruncatesTowardZero) {
    // A larger back surface moves the target left and up.
    EXPECT_EQ(BlitTargetRect({10, 20}, 100, 100, 641, 481, {doCenter}), Bounds(10 - 270, 20 - 190, 641, 481));
    EXPECT_EQ(BlitTargetRect({0, 0}, 101, 101, 100, 100, {doCenter}), Bounds(0, 0, 100, 100));
    EXPECT_EQ(BlitTargetRect({0, 0}, 103, 100, 100, 50, {doCenter}), Bounds(1, 25, 100, 50));
}

TEST(BlitTarget, StretchUsesTheControlSizeAndPlainUsesTheOrigin) {
    EXPECT_EQ(BlitTargetRect({5, 6}, 300, 200, 640, 480, {doStretch, doCenter}), Bounds(5, 6, 300, 200));
    EXPECT_EQ(BlitTargetRect({5, 6}, 300, 200, 640, 480, {}), Bounds(5, 6, 640, 480));
}

TEST(DisplayPalette, ConvertsOrderAndKeepsStaticEntriesUnlessAll256) {
    TColorTable table{};
    platform::gfx::PaletteEntries system{};
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        table[i] = TRGBQuad{v, static_cast<std::uint8_t>(255 - i), 7, 0};
        system[i] = platform::gfx::PaletteEntry{1, 2, 3, 0};
    }
    const auto kept = PaletteFromColorTable(table, system, false);
    EXPECT_EQ(kept[0], (platform::gfx::PaletteEntry{1, 2, 3, 0x40}));
    EXPECT_EQ(kept[9], (platform::gfx::PaletteEntry{1, 2, 3, 0x40}));
    EXPECT_EQ(kept[10], (platform::gfx::PaletteEntry{7, 245, 10, 0x40}));
    EXPECT_EQ(kept[245], (platform::gfx::PaletteEntry{7, 10, 245, 0x40}));
    EXPECT_EQ(kept[246], (platform::gfx::PaletteEntry{1, 2, 3, 0x40}));
    const auto all = PaletteFromColorTable(table, system, true);
    EXPECT_EQ(all[0], (platform::gfx::PaletteEntry{7, 255, 0, 0x40}));
    EXPECT_EQ(all[255], (platform::gfx::PaletteEntry{7, 0, 255, 0x40}));
}

TEST(DXDrawDisplaySettings, DefaultsAndSetters) {
    TDXDrawDisplay display(nullptr);
    EXPECT_EQ(display.Width(), 640);
    EXPECT_EQ(display.Height(), 480);
    EXPECT_EQ(display.BitCount(), 16);
    EXPECT_FALSE(display.FixedBitCount);
    EXPECT_TRUE(display.FixedRatio);
    EXPECT_TRUE(display.FixedSize);
    display.SetWidth(-5);
    display.SetHeight(-1);
    EXPECT_EQ(display.Width(), 0);
    EXPECT_EQ(display.Height(), 0);
    display.SetBitCount(24);
    try {
        display.SetBitCount(15);
        FAIL() << "15 bits accepted";
    } catch (const EDirectDrawError& e) {
        EXPECT_STREQ(e.what(), "Display requires 8, 16, 24 or 32 bits");
    }
    EXPECT_EQ(display.BitCount(), 24);
}

TEST(DXDrawDisplaySettings, AssignCopiesThePublishedValues) {
    TDXDrawDisplay from(nullptr), to(nullptr);
    from.SetWidth(320);
    from.SetHeight(200);
    from.SetBitCount(8);
    from.FixedBitCount = true;
    from.FixedRatio = false;
    from.FixedSize = false;
    to.Assign(from);
    EXPECT_EQ(to.Width(), 320);
    EXPECT_EQ(to.Height(), 200);
    EXPECT_EQ(to.BitCount(), 8);
    EXPECT_TRUE(to.FixedBitCount);
    EXPECT_FALSE(to.FixedRatio);
    EXPECT_FALSE(to.FixedSize);
}

TEST(DXDrawDisplaySettings, ModesNeedADevice) {
    TDXDrawDisplay display(nullptr);
    EXPECT_FALSE(display.ApplyMode(640, 480, 8));
    EXPECT_FALSE(display.FindAndApplyMode(0, 480, 8));
    EXPECT_FALSE(display.FindAndApplyMode(640, 480, 15));
    EXPECT_EQ(display.Width(), 640);
}

}  // namespace
}  // namespace vek
