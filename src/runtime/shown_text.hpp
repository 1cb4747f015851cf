// Text taken from files, arguments or the environment as a message shows it: escaped, so
// that nothing read can upset the terminal or cut the message short, and cut to a length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vek {

// True when every byte of name is printable ASCII (space to '~'), as stored names must be.
bool isPrintableName(std::string_view name);
// Any byte that is not printable ASCII becomes \xNN.
std::string shownText(std::string_view text);
// As shownText, and cut to at most maxLength characters, the cut one ending in "...".
inline constexpr std::size_t kShownNameLength = 40;
std::string shownName(std::string_view name, std::size_t maxLength = kShownNameLength);
// The length to cut a file's path to: long enough to keep most paths whole.
inline constexpr std::size_t kShownPathLength = 160;

}  // namespace vek
