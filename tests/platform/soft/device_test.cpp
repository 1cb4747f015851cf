// The software device on the headless backend: display modes and exclusive mode, the
// primary surface presenting into a headless screen, failure switches, lost surfaces and
// objects that outlive their device.
#include "platform/soft/test_support.hpp"

namespace vek::platform::gfx::testing {
namespace {

using DeviceTest = GfxTest;

// A 4 x 2 surface of greys 1..8, row after row.
void numberedTrueColour(Surface& s) {
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) GfxTest::setPixel(s, x, y, 0x010101u * std::uint32_t(1 + x + 4 * y));
}

TEST_F(DeviceTest, DefaultModeListHasThreeSizesAtFourDepths) {
    const auto modes = modesOf(*device);
    ASSERT_EQ(modes.size(), 12u);
    EXPECT_EQ(modes.front(), (DisplayMode{640, 480, 8}));
    EXPECT_EQ(modes[3], (DisplayMode{640, 480, 32}));
    EXPECT_EQ(modes.back(), (DisplayMode{1024, 768, 32}));
    graphics.setDisplaySizes({{1280, 1024, 0}, {640, 480, 0}, {640, 480, 0}});
    EXPECT_EQ(modesOf(*device).size(), 8u);
    EXPECT_EQ(modesOf(*device)[4], (DisplayMode{1280, 1024, 8}));
}

TEST_F(DeviceTest, ModeSwitchNeedsExclusiveLevelAndListedMode) {
    ScreenWindow window;
    DisplayMode mode;
    device->getDisplayMode(mode);
    EXPECT_EQ(mode, (DisplayMode{1024, 768, 32}));
    ASSERT_EQ(device->setCooperativeLevel(&window, coopNormal | coopFpuPreserve), HResult::Ok);
    EXPECT_EQ(device->setDisplayMode(640, 480, 8), HResult::NoExclusiveMode);
    EXPECT_EQ(device->setCooperativeLevel(nullptr, coopExclusive | coopFullScreen), HResult::InvalidParams);
    ASSERT_EQ(device->setCooperativeLevel(&window, coopExclusive | coopFullScreen | coopAllowModeX),
              HResult::Ok);
    EXPECT_EQ(device->setDisplayMode(640, 400, 8), HResult::InvalidMode);
    EXPECT_EQ(device->setDisplayMode(640, 480, 15), HResult::InvalidMode);
    EXPECT_FALSE(window.exclusive());
    graphics.setRefuseModeSwitch(true);
    EXPECT_EQ(device->setDisplayMode(640, 480, 8), HResult::InvalidMode);
    graphics.setRefuseModeSwitch(false);
    ASSERT_EQ(device->setDisplayMode(640, 480, 8), HResult::Ok);
    EXPECT_TRUE(window.exclusive());
    EXPECT_EQ(window.exclusiveSize().x, 640);
    device->getDisplayMode(mode);
    EXPECT_EQ(mode, (DisplayMode{640, 480, 8}));
    ASSERT_EQ(device->restoreDisplayMode(), HResult::Ok);
    EXPECT_FALSE(window.exclusive());
}

TEST_F(DeviceTest, NewSurfacesFollowTheDisplayDepth) {
    ScreenWindow window;
    device->setCooperativeLevel(&window, coopExclusive | coopFullScreen);
    ASSERT_EQ(device->setDisplayMode(800, 600, 8), HResult::Ok);
    SurfaceDescription d;
    make(4, 4, 0)->getDescription(d);
    EXPECT_EQ(d.format.bitCount, 8);
    make(4, 4, 32)->getDescription(d);
    EXPECT_EQ(d.format.bitCount, 32);
    auto primary = make(0, 0, 0, capsPrimarySurface);
    primary->getDescription(d);
    EXPECT_EQ(d.width, 800);
    EXPECT_EQ(d.format.bitCount, 8);
    device.reset();  // destroying the device leaves exclusive mode
    EXPECT_FALSE(window.exclusive());
}

TEST_F(DeviceTest, RefusedWindowKeepsDesktopMode) {
    ScreenWindow window;
    window.setRefuseExclusive(true);
    device->setCooperativeLevel(&window, coopExclusive | coopFullScreen);
    EXPECT_EQ(device->setDisplayMode(640, 480, 8), HResult::InvalidMode);
    DisplayMode mode;
    device->getDisplayMode(mode);
    EXPECT_EQ(mode.bitCount, 32);
}

TEST_F(DeviceTest, PrimaryBlitPresentsAtClientPosition) {
    ScreenWindow window(8, 6);
    window.setClientOrigin(100, 50);
    device->setCooperativeLevel(&window, coopNormal);
    auto primary = make(0, 0, 0, capsPrimarySurface);
    std::shared_ptr<Clipper> clipper;
    device->createClipper(clipper);
    clipper->setWindow(&window);
    primary->setClipper(clipper);
    auto back = make(4, 2, 32);
    numberedTrueColour(*back);
    const TRect target = Bounds(106, 49, 4, 2);  // hangs over the right and top edges
    ASSERT_EQ(primary->blt(&target, back.get(), nullptr, bltWait, nullptr), HResult::Ok);
    EXPECT_EQ(window.presentCount(), 1);
    EXPECT_EQ(window.lastDestination().x, 6);
    EXPECT_EQ(window.lastDestination().y, 0);
    EXPECT_EQ(window.lastDestination().w, 2);
    EXPECT_EQ(window.lastDestination().h, 1);
    EXPECT_EQ(window.pixel(6, 0), 0x050505u);  // source (0, 1)
    EXPECT_EQ(window.pixel(7, 0), 0x060606u);
    EXPECT_EQ(window.pixel(5, 0), 0u);
    EXPECT_EQ(window.pixel(6, 1), 0u);
    EXPECT_EQ(primary->bltFast(0, 0, back.get(), nullptr, 0), HResult::CannotClip);
}

TEST_F(DeviceTest, PrimaryPaletteShowsEightBitFrames) {
    ScreenWindow window(4, 2);
    device->setCooperativeLevel(&window, coopExclusive | coopFullScreen);
    ASSERT_EQ(device->setDisplayMode(640, 480, 8), HResult::Ok);
    EXPECT_EQ(window.exclusiveSize().x, 640);
    auto primary = make(0, 0, 0, capsPrimarySurface);
    PaletteEntries entries{};
    entries[3] = {10, 20, 30, 0};
    auto shown = palette(entries);
    primary->setPalette(shown);
    auto back = make(4, 2, 0);  // 8 bits, no palette of its own
    GfxTest::setPixel(*back, 1, 0, 3);
    const TRect at{0, 0, 4, 2};
    ASSERT_EQ(primary->blt(&at, back.get(), nullptr, bltWait, nullptr), HResult::Ok);
    EXPECT_EQ(window.pixel(1, 0), 0x0A141Eu);
    entries[3] = {200, 0, 0, 0};
    GfxTest::setPixel(*back, 1, 0, 0);  // drawn after the frame was shown: not on screen
    ASSERT_EQ(shown->setEntries(3, 1, &entries[3]), HResult::Ok);  // shows at once, as on an 8-bit screen
    EXPECT_EQ(window.presentCount(), 2);
    EXPECT_EQ(window.pixel(1, 0), 0xC80000u);
    GfxTest::setPixel(*back, 1, 0, 3);
    auto other = make(1, 1, 32);
    other->blt(nullptr, back.get(), nullptr, 0, nullptr);  // the hardware palette serves offscreen copies too
    EXPECT_EQ(GfxTest::pixel(*other, 0, 0), 0u);
    const TRect src{1, 0, 2, 1};
    other->blt(nullptr, back.get(), &src, 0, nullptr);
    EXPECT_EQ(GfxTest::pixel(*other, 0, 0), 0xC80000u);
}

TEST_F(DeviceTest, TrueColourFramesDoNotFollowPaletteChanges) {
    ScreenWindow window(4, 2);
    device->setCooperativeLevel(&window, coopNormal);
    auto primary = make(0, 0, 0, capsPrimarySurface);
    PaletteEntries entries{};
    auto shown = palette(entries);
    primary->setPalette(shown);
    auto back = make(4, 2, 32);
    GfxTest::setPixel(*back, 0, 0, 0x336699);
    const TRect at{0, 0, 4, 2};
    primary->blt(&at, back.get(), nullptr, bltWait, nullptr);
    entries[0] = {255, 255, 255, 0};
    shown->setEntries(0, 256, entries.data());
    EXPECT_EQ(window.presentCount(), 1);
    EXPECT_EQ(window.pixel(0, 0), 0x336699u);
}

TEST_F(DeviceTest, PrimaryFillAndFlippingChain) {
    ScreenWindow window(4, 3);
    device->setCooperativeLevel(&window, coopExclusive | coopFullScreen);
    device->setDisplayMode(640, 480, 32);
    SurfaceDescription d;
    d.caps = capsPrimarySurface | capsFlip | capsComplex;
    d.backBufferCount = 1;
    std::unique_ptr<Surface> primary;
    ASSERT_EQ(device->createSurface(d, primary), HResult::Ok);
    ASSERT_EQ(fill(*primary, 0x00FF00), HResult::Ok);
    EXPECT_EQ(window.pixel(639, 479), 0x00FF00u);
    Surface* back = nullptr;
    ASSERT_EQ(primary->getAttachedSurface(capsBackBuffer, back), HResult::Ok);
    fill(*back, 0x0000FF);
    ASSERT_EQ(primary->flip(bltWait), HResult::Ok);
    EXPECT_EQ(window.pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(window.presentCount(), 2);
}

TEST_F(DeviceTest, FailureSwitches) {
    SurfaceDescription d;
    d.caps = capsOffscreenPlain;
    d.width = d.height = 4;
    std::unique_ptr<Surface> s;
    graphics.setRefuseVideoMemory(true);
    EXPECT_EQ(device->createSurface(d, s), HResult::OutOfVideoMemory);
    d.caps |= capsSystemMemory;
    EXPECT_EQ(device->createSurface(d, s), HResult::Ok);
    graphics.setRefusePrimary(true);
    d.caps = capsPrimarySurface;
    EXPECT_NE(device->createSurface(d, s), HResult::Ok);
    graphics.setNoDevice(true);
    std::unique_ptr<Device> none;
    EXPECT_EQ(graphics.directDrawCreate(none), HResult::NoDevice);
    EXPECT_EQ(none, nullptr);
}

TEST_F(DeviceTest, LostSurfacesFailUntilRestored) {
    auto a = make(4, 4, 32);
    auto b = make(4, 4, 32);
    graphics.loseSurfaces();
    auto fresh = make(4, 4, 32);
    EXPECT_EQ(a->isLost(), HResult::SurfaceLost);
    EXPECT_EQ(fresh->isLost(), HResult::Ok);
    LockedRect locked;
    EXPECT_EQ(a->lock(nullptr, locked), HResult::SurfaceLost);
    EXPECT_EQ(fill(*a, 1), HResult::SurfaceLost);
    EXPECT_EQ(fresh->blt(nullptr, b.get(), nullptr, 0, nullptr), HResult::SurfaceLost);
    graphics.setRefuseRestore(true);
    EXPECT_EQ(a->restore(), HResult::SurfaceLost);
    graphics.setRefuseRestore(false);
    ASSERT_EQ(a->restore(), HResult::Ok);
    EXPECT_EQ(a->isLost(), HResult::Ok);
    EXPECT_EQ(fill(*a, 1), HResult::Ok);
    EXPECT_EQ(b->isLost(), HResult::SurfaceLost);
}

TEST_F(DeviceTest, ObjectsOutliveTheirDevice) {
    auto s = make(4, 4, 8);
    auto p = palette(PaletteEntries{});
    std::shared_ptr<Clipper> c;
    device->createClipper(c);
    s->setPalette(p);
    device.reset();
    EXPECT_EQ(s->isLost(), HResult::SurfaceLost);
    EXPECT_EQ(fill(*s, 1), HResult::SurfaceLost);
    EXPECT_EQ(s->restore(), HResult::NoDevice);
    PaletteEntry e;
    EXPECT_EQ(p->getEntries(0, 1, &e), HResult::NoDevice);
    EXPECT_EQ(c->setClipList({}), HResult::NoDevice);
    SurfaceDescription d;
    EXPECT_EQ(s->getDescription(d), HResult::Ok);
}

TEST_F(DeviceTest, WindowGoingFirstIsNoticed) {
    auto window = std::make_unique<ScreenWindow>(4, 4);
    device->setCooperativeLevel(window.get(), coopExclusive | coopFullScreen);
    ASSERT_EQ(device->setDisplayMode(640, 480, 8), HResult::Ok);
    auto primary = make(0, 0, 0, capsPrimarySurface);
    std::shared_ptr<Clipper> clipper;
    device->createClipper(clipper);
    clipper->setWindow(window.get());
    primary->setClipper(clipper);
    auto back = make(4, 4, 8);
    window.reset();
    EXPECT_EQ(primary->blt(nullptr, back.get(), nullptr, bltWait, nullptr),
              HResult::Ok);  // nowhere to show it
    auto offscreen = make(4, 4, 8);
    offscreen->setClipper(clipper);
    EXPECT_EQ(offscreen->blt(nullptr, back.get(), nullptr, 0, nullptr), HResult::Generic);
    device.reset();  // must not reach for the window to leave exclusive mode
}

TEST_F(DeviceTest, PaletteEntriesRoundTripWithRangeChecks) {
    PaletteEntries entries{};
    entries[255] = {1, 2, 3, 0x40};
    auto p = palette(entries);
    PaletteEntry e;
    ASSERT_EQ(p->getEntries(255, 1, &e), HResult::Ok);
    EXPECT_EQ(e, (PaletteEntry{1, 2, 3, 0x40}));
    EXPECT_EQ(p->setEntries(250, 7, entries.data()), HResult::InvalidParams);
    EXPECT_EQ(p->getEntries(-1, 1, &e), HResult::InvalidParams);
}

TEST_F(DeviceTest, SystemPaletteHasTwentyStaticColours) {
    PaletteEntries e;
    graphics.getSystemPaletteEntries(e);
    EXPECT_EQ(e[0], (PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(e[7], (PaletteEntry{192, 192, 192, 0}));
    EXPECT_EQ(e[9], (PaletteEntry{166, 202, 240, 0}));
    EXPECT_EQ(e[10], (PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(e[245], (PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(e[246], (PaletteEntry{255, 251, 240, 0}));
    EXPECT_EQ(e[249], (PaletteEntry{255, 0, 0, 0}));
    EXPECT_EQ(e[255], (PaletteEntry{255, 255, 255, 0}));
}

TEST(GfxHeadlessScreen, ScalesFramesAndKeepsHistory) {
    headless::HeadlessScreen screen(4, 4);
    screen.setHistoryLimit(2);
    soft::SurfacePtr frame(SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 32, SDL_PIXELFORMAT_RGB888));
    soft::writePixel(*frame, 1, 1, 0x123456);
    screen.presentFrame(frame.get(), SDL_Rect{0, 0, 2, 2}, SDL_Rect{0, 0, 4, 4});
    EXPECT_EQ(screen.pixel(2, 2), 0x123456u);
    EXPECT_EQ(screen.pixel(3, 3), 0x123456u);
    EXPECT_EQ(screen.pixel(1, 1), 0u);
    screen.presentFrame(frame.get(), SDL_Rect{1, 1, 2, 2}, SDL_Rect{0, 0, 2, 2});  // leaves the frame
    screen.presentFrame(frame.get(), SDL_Rect{1, 1, 1, 1}, SDL_Rect{0, 0, 1, 1});
    EXPECT_EQ(screen.presentCount(), 3);
    ASSERT_EQ(screen.history().size(), 2u);
    EXPECT_EQ(screen.history()[0].pixels[0], 0u);
    EXPECT_EQ(screen.history()[1].pixels[0], 0x123456u);
    EXPECT_EQ(screen.picture().pixels, screen.history()[1].pixels);
    EXPECT_TRUE(screen.enterExclusive(8, 6));
    EXPECT_EQ(screen.clientSize().x, 8);
    EXPECT_EQ(screen.pixel(2, 2), 0u);  // a new picture for the new mode
    screen.leaveExclusive();
    EXPECT_EQ(screen.clientSize().y, 4);
}

}  // namespace
}  // namespace vek::platform::gfx::testing
