// SDL key code → virtual key: letters, digits, function keys, keypad and the rest.
#include "platform/sdl/sdl_keys.hpp"

#include <array>
#include <utility>

namespace vek::platform::sdl {

namespace {

std::uint16_t keypadKey(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        return static_cast<std::uint16_t>(vk::Numpad0 + 1 + (scancode - SDL_SCANCODE_KP_1));
    switch (scancode) {
        case SDL_SCANCODE_KP_0:
            return vk::Numpad0;
        case SDL_SCANCODE_KP_MULTIPLY:
            return 0x6A;
        case SDL_SCANCODE_KP_PLUS:
            return 0x6B;
        case SDL_SCANCODE_KP_MINUS:
            return 0x6D;
        case SDL_SCANCODE_KP_PERIOD:
            return 0x6E;
        case SDL_SCANCODE_KP_DIVIDE:
            return 0x6F;
        case SDL_SCANCODE_KP_ENTER:
            return vk::Return;
        default:
            return 0;
    }
}

constexpr std::array<std::pair<SDL_Keycode, std::uint16_t>, 43> kNamedKeys{{
    {SDLK_BACKSPACE, 0x08},   {SDLK_TAB, 0x09},          {SDLK_RETURN, vk::Return}, {SDLK_PAUSE, 0x13},
    {SDLK_CAPSLOCK, 0x14},    {SDLK_ESCAPE, vk::Escape}, {SDLK_SPACE, vk::Space},   {SDLK_PAGEUP, 0x21},
    {SDLK_PAGEDOWN, 0x22},    {SDLK_END, 0x23},          {SDLK_HOME, 0x24},         {SDLK_LEFT, vk::Left},
    {SDLK_UP, vk::Up},        {SDLK_RIGHT, vk::Right},   {SDLK_DOWN, vk::Down},     {SDLK_PRINTSCREEN, 0x2C},
    {SDLK_INSERT, 0x2D},      {SDLK_DELETE, 0x2E},       {SDLK_LGUI, 0x5B},         {SDLK_RGUI, 0x5C},
    {SDLK_APPLICATION, 0x5D}, {SDLK_NUMLOCKCLEAR, 0x90}, {SDLK_SCROLLLOCK, 0x91},   {SDLK_LSHIFT, vk::Shift},
    {SDLK_RSHIFT, vk::Shift}, {SDLK_LCTRL, vk::Control}, {SDLK_RCTRL, vk::Control}, {SDLK_LALT, vk::Menu},
    {SDLK_RALT, vk::Menu},    {SDLK_SEMICOLON, 0xBA},    {SDLK_EQUALS, 0xBB},       {SDLK_PLUS, 0xBB},
    {SDLK_COMMA, 0xBC},       {SDLK_MINUS, 0xBD},        {SDLK_PERIOD, 0xBE},       {SDLK_SLASH, 0xBF},
    {SDLK_BACKQUOTE, 0xC0},   {SDLK_LEFTBRACKET, 0xDB},  {SDLK_BACKSLASH, 0xDC},    {SDLK_RIGHTBRACKET, 0xDD},
    {SDLK_QUOTE, 0xDE},       {SDLK_LESS, 0xE2},         {SDLK_MODE, vk::Menu},
}};

}  // namespace

std::uint16_t virtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode) {
    if (const std::uint16_t keypad = keypadKey(scancode)) return keypad;
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<std::uint16_t>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<std::uint16_t>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<std::uint16_t>(vk::F1 + (key - SDLK_F1));
    if (key >= SDLK_F13 && key <= SDLK_F24) return static_cast<std::uint16_t>(vk::F1 + 12 + (key - SDLK_F13));
    for (const auto& [sdlKey, virtualKey] : kNamedKeys)
        if (sdlKey == key) return virtualKey;
    // Letters of other layouts: fall back to the key's position.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return static_cast<std::uint16_t>('A' + (scancode - SDL_SCANCODE_A));
    return 0;
}

std::uint16_t sideKeyFromSdl(SDL_Keycode key) {
    switch (key) {
        case SDLK_LSHIFT:
            return vk::LShift;
        case SDLK_RSHIFT:
            return vk::RShift;
        case SDLK_LCTRL:
            return vk::LControl;
        case SDLK_RCTRL:
            return vk::RControl;
        case SDLK_LALT:
            return vk::LMenu;
        case SDLK_RALT:
            return vk::RMenu;
        default:
            return 0;
    }
}

TShiftState shiftStateFromSdl(Uint16 mod) {
    TShiftState shift = 0;
    if (mod & KMOD_SHIFT) shift |= ssShift;
    if (mod & KMOD_ALT) shift |= ssAlt;
    if (mod & KMOD_CTRL) shift |= ssCtrl;
    return shift;
}

}  // namespace vek::platform::sdl
