// The keyboard's key bindings: three virtual-key codes per input state, their default
// table, and the stored "Assigns" form (432 bytes of little-endian 32-bit codes).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "media/input_states.hpp"

namespace vek {

class TStream;

// Three virtual-key codes for one state; 0 means no key, and a code outside 1 to 255
// never matches a key.
using TKeyAssign = std::array<std::int32_t, 3>;
using TKeyAssignList = std::array<TKeyAssign, kInputStateCount>;

inline constexpr std::int64_t kKeyAssignsSize = kInputStateCount * 3 * 4;
static_assert(kKeyAssignsSize == 432);

// The bindings a keyboard starts with: K/J/H/L, the arrows and the keypad for the
// directions, Z and space for button 1, X and Enter for button 2, F2 for button 9.
TKeyAssignList defaultKeyAssigns();

// Reads exactly 432 bytes into assigns; data that ends sooner raises EReadError
// "Stream read error" and leaves assigns unchanged. Bytes after the 432 stay unread.
void readKeyAssigns(TStream& stream, TKeyAssignList& assigns);
void writeKeyAssigns(TStream& stream, const TKeyAssignList& assigns);

// True for the property names that hold the bindings: "Assigns", and the misspelt
// "Aissgns" that older descriptions carry. Only "Assigns" is ever written.
bool isKeyAssignsProperty(std::string_view name);
inline constexpr std::string_view kKeyAssignsProperty = "Assigns";

// The names a description source gives states: "stUp" … "stButton32". Empty for any
// other name.
std::optional<TInputState> inputStateFromName(std::string_view name);

// The name a person reads for a virtual key: "A" … "Z", "0" … "9", "F1" … "F24",
// "Keypad 0" … "Keypad 9", "Up", "Space", "Enter", "Left Bracket" and so on. Empty for a
// code that has no name (no key of the keyboard gives it).
std::string keyName(std::int32_t code);
// The virtual key a name stands for: the names keyName gives, in any case and with or
// without their spaces, and the older spellings "Return" and "Numpad8" of the stored
// description's source. Empty for any other name.
std::optional<std::int32_t> virtualKeyFromName(std::string_view name);
}  // namespace vek
