// Default key bindings and the byte form of the stored "Assigns" property.
#include "media/key_bindings.hpp"

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

std::optional<std::int32_t> virtualKeyFromName(std::string_view name) {
    constexpr std::pair<std::string_view, std::int32_t> kNamed[] = {
        {"Up", platform::vk::Up},         {"Down", platform::vk::Down},
        {"Left", platform::vk::Left},     {"Right", platform::vk::Right},
        {"Space", platform::vk::Space},   {"Return", platform::vk::Return},
        {"Escape", platform::vk::Escape}, {"Tab", 0x09},
    };
    for (const auto& [keyName, code] : kNamed)
        if (name == keyName) return code;
    if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') return name[0];
    if (const auto n = numberAfter(name, "F", 1, 12)) return platform::vk::F1 + *n - 1;
    if (const auto n = numberAfter(name, "Numpad", 0, 9)) return platform::vk::Numpad0 + *n;
    return std::nullopt;
}

}  // namespace vek
