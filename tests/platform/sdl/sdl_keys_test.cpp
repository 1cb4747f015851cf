// SDL key → virtual-key translation and the key-state table kept from key events.
#include "platform/sdl/sdl_keys.hpp"

#include <gtest/gtest.h>

#include "platform/headless/headless_application.hpp"
#include "platform/headless/headless_window.hpp"

namespace vek::platform {
namespace {

std::uint16_t translate(SDL_Keycode key) {
    return sdl::virtualKeyFromSdl(key, SDL_GetScancodeFromKey(key));
}

TEST(ToolkitKeys, TranslationTable) {
    EXPECT_EQ(translate(SDLK_a), 0x41);
    EXPECT_EQ(translate(SDLK_z), 0x5A);
    EXPECT_EQ(translate(SDLK_0), 0x30);
    EXPECT_EQ(translate(SDLK_9), 0x39);
    EXPECT_EQ(translate(SDLK_LEFT), 0x25);
    EXPECT_EQ(translate(SDLK_UP), 0x26);
    EXPECT_EQ(translate(SDLK_RIGHT), 0x27);
    EXPECT_EQ(translate(SDLK_DOWN), 0x28);
    EXPECT_EQ(translate(SDLK_SPACE), 0x20);
    EXPECT_EQ(translate(SDLK_RETURN), 0x0D);
    EXPECT_EQ(translate(SDLK_ESCAPE), 0x1B);
    EXPECT_EQ(translate(SDLK_F1), 0x70);
    EXPECT_EQ(translate(SDLK_F12), 0x7B);
    EXPECT_EQ(translate(SDLK_LSHIFT), 0x10);
    EXPECT_EQ(translate(SDLK_RCTRL), 0x11);
    EXPECT_EQ(translate(SDLK_LALT), 0x12);
    EXPECT_EQ(sdl::sideKeyFromSdl(SDLK_RSHIFT), 0xA1);
    EXPECT_EQ(sdl::sideKeyFromSdl(SDLK_LALT), 0xA4);
    EXPECT_EQ(sdl::sideKeyFromSdl(SDLK_a), 0);
}

TEST(ToolkitKeys, KeypadReadsAsDigitsFromTheScanCode) {
    EXPECT_EQ(sdl::virtualKeyFromSdl(SDLK_KP_0, SDL_SCANCODE_KP_0), 0x60);
    EXPECT_EQ(sdl::virtualKeyFromSdl(SDLK_KP_8, SDL_SCANCODE_KP_8), 0x68);
    // Num lock off: the key reports as an arrow, but its position is still keypad 2.
    EXPECT_EQ(sdl::virtualKeyFromSdl(SDLK_DOWN, SDL_SCANCODE_KP_2), 0x62);
    EXPECT_EQ(sdl::virtualKeyFromSdl(SDLK_KP_9, SDL_SCANCODE_KP_9), 0x69);
    EXPECT_EQ(sdl::virtualKeyFromSdl(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER), 0x0D);
}

TEST(ToolkitKeys, ModifierState) {
    EXPECT_EQ(sdl::shiftStateFromSdl(KMOD_LALT), ssAlt);
    EXPECT_EQ(sdl::shiftStateFromSdl(KMOD_RSHIFT | KMOD_LCTRL), ssShift | ssCtrl);
    EXPECT_EQ(sdl::shiftStateFromSdl(KMOD_NUM), 0);
}

TEST(ToolkitKeys, KeyboardStateFollowsKeyEventsAndClearsWhenInactive) {
    headless::HeadlessApplication app;
    auto window = app.createWindow(WindowSpec{});
    window->show();
    app.postKeyDown('Z');
    app.postKeyDown(vk::Menu, ssAlt);
    app.processMessages();
    std::array<std::uint8_t, 256> keys{};
    app.getKeyboardState(keys);
    EXPECT_EQ(keys['Z'], 0x80);
    EXPECT_EQ(keys[vk::Menu], 0x80);
    EXPECT_EQ(keys[vk::LMenu], 0x80);
    EXPECT_EQ(keys['X'], 0);
    app.postKeyUp('Z');
    app.processMessages();
    app.getKeyboardState(keys);
    EXPECT_EQ(keys['Z'], 0);
    EXPECT_EQ(keys[vk::Menu], 0x80);
    app.postActivate(false);
    app.processMessages();
    app.getKeyboardState(keys);
    EXPECT_EQ(keys[vk::Menu], 0) << "keys released elsewhere must not stay down";
}

}  // namespace
}  // namespace vek::platform
