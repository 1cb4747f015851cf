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

}  // namespace vek
