// Default key bindings and the byte form of the stored "Assigns" property.
#include "media/key_bindings.hpp"

#include <string>
#include <utility>

#include "platform/toolkit.hpp"
#include "runtime/byte_order.hpp"
#include "runtime/stream.hpp"

namespace vek {

namespace {

constexpr std::int32_t kKeyF2 = platform::vk::F2;
constexpr std::int32_t kKeyNumpad2 = platform::vk::Numpad0 + 2;
constexpr std::int32_t kKeyNumpad4 = platform::vk::Numpad0 + 4;
constexpr std::int32_t kKeyNumpad6 = platform::vk::Numpad0 + 6;
constexpr std::int32_t kKeyNumpad8 = platform::vk::Numpad0 + 8;

}  // namespace

TKeyAssignList defaultKeyAssigns() {
    TKeyAssignList assigns{};
    assigns[stUp] = {'K', platform::vk::Up, kKeyNumpad8};
    assigns[stDown] = {'J', platform::vk::Down, kKeyNumpad2};
    assigns[stLeft] = {'H', platform::vk::Left, kKeyNumpad4};
    assigns[stRight] = {'L', platform::vk::Right, kKeyNumpad6};
    assigns[stButton1] = {'Z', platform::vk::Space, 0};
    assigns[stButton2] = {'X', platform::vk::Return, 0};
    assigns[stButton9] = {kKeyF2, 0, 0};
    return assigns;
}

void readKeyAssigns(TStream& stream, TKeyAssignList& assigns) {
    std::array<std::uint8_t, kKeyAssignsSize> bytes;
    stream.ReadBuffer(bytes.data(), kKeyAssignsSize);
    const std::uint8_t* p = bytes.data();
    for (auto& assign : assigns)
        for (auto& code : assign) {
            code = static_cast<std::int32_t>(readLe32(p));
            p += 4;
        }
}

void writeKeyAssigns(TStream& stream, const TKeyAssignList& assigns) {
    std::array<std::uint8_t, kKeyAssignsSize> bytes;
    std::uint8_t* p = bytes.data();
    for (const auto& assign : assigns)
        for (auto code : assign) {
            writeLe32(p, static_cast<std::uint32_t>(code));
            p += 4;
        }
    stream.WriteBuffer(bytes.data(), kKeyAssignsSize);
}

bool isKeyAssignsProperty(std::string_view name) {
    return name == kKeyAssignsProperty || name == "Aissgns";
}

namespace {

// The number after prefix, when name is prefix followed by a number in first..last.
std::optional<int> numberAfter(std::string_view name, std::string_view prefix, int first, int last) {
    if (!name.starts_with(prefix) || name.size() == prefix.size() || name.size() > prefix.size() + 2)
        return std::nullopt;
    int n = 0;
    for (char c : name.substr(prefix.size())) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (name[prefix.size()] == '0' && name.size() > prefix.size() + 1) return std::nullopt;
    if (n < first || n > last) return std::nullopt;
    return n;
}

}  // namespace

std::optional<TInputState> inputStateFromName(std::string_view name) {
    constexpr std::string_view kDirections[] = {"stUp", "stDown", "stLeft", "stRight"};
    for (int i = 0; i < 4; ++i)
        if (name == kDirections[i]) return static_cast<TInputState>(i);
    if (const auto n = numberAfter(name, "stButton", 1, 32)) return buttonState(*n);
    return std::nullopt;
}

namespace {

// Keys other than letters, digits, function keys and keypad digits, by their names.
constexpr std::pair<std::int32_t, std::string_view> kNamedKeys[] = {
    {0x08, "Backspace"},
    {0x09, "Tab"},
    {platform::vk::Return, "Enter"},
    {platform::vk::Shift, "Shift"},
    {platform::vk::Control, "Ctrl"},
    {platform::vk::Menu, "Alt"},
    {0x13, "Pause"},
    {0x14, "Caps Lock"},
    {platform::vk::Escape, "Escape"},
    {platform::vk::Space, "Space"},
    {0x21, "Page Up"},
    {0x22, "Page Down"},
    {0x23, "End"},
    {0x24, "Home"},
    {platform::vk::Left, "Left"},
    {platform::vk::Up, "Up"},
    {platform::vk::Right, "Right"},
    {platform::vk::Down, "Down"},
    {0x2C, "Print Screen"},
    {0x2D, "Insert"},
    {0x2E, "Delete"},
    {0x5B, "Left Super"},
    {0x5C, "Right Super"},
    {0x5D, "Menu"},
    {0x6A, "Keypad *"},
    {0x6B, "Keypad +"},
    {0x6D, "Keypad -"},
    {0x6E, "Keypad ."},
    {0x6F, "Keypad /"},
    {0x90, "Num Lock"},
    {0x91, "Scroll Lock"},
    {0xBA, "Semicolon"},
    {0xBB, "Equals"},
    {0xBC, "Comma"},
    {0xBD, "Minus"},
    {0xBE, "Period"},
    {0xBF, "Slash"},
    {0xC0, "Grave"},
    {0xDB, "Left Bracket"},
    {0xDC, "Backslash"},
    {0xDD, "Right Bracket"},
    {0xDE, "Apostrophe"},
    {0xE2, "Less"},
};
constexpr int kFunctionKeys = 24;

// A name without its spaces, in lower case, with the source's older spellings made current.
std::string normalKeyName(std::string_view name) {
    std::string normal;
    for (char c : name)
        if (c != ' ') normal += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (normal == "return") return "enter";
    if (normal.starts_with("numpad")) normal.replace(0, 6, "keypad");
    return normal;
}

}  // namespace

std::string keyName(std::int32_t code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) return std::string(1, char(code));
    if (code >= platform::vk::F1 && code < platform::vk::F1 + kFunctionKeys)
        return "F" + std::to_string(code - platform::vk::F1 + 1);
    if (code >= platform::vk::Numpad0 && code <= platform::vk::Numpad0 + 9)
        return "Keypad " + std::to_string(code - platform::vk::Numpad0);
    for (const auto& [key, name] : kNamedKeys)
        if (key == code) return std::string(name);
    return {};
}

std::optional<std::int32_t> virtualKeyFromName(std::string_view name) {
    const std::string wanted = normalKeyName(name);
    if (wanted.empty()) return std::nullopt;
    // Every code that has a name is at most 255, so the names can be searched by code.
    for (std::int32_t code = 1; code <= 255; ++code) {
        const std::string known = keyName(code);
        if (!known.empty() && normalKeyName(known) == wanted) return code;
    }
    return std::nullopt;
}

}  // namespace vek
