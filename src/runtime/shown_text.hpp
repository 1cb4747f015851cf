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

// As shownName for a window, which shows UTF-8: every well-formed character that
// isShownCharacter stays as it is (a "Téléchargements" folder reads as written) and counts
// one; the bytes of any other character, and stray bytes, become \xNN.
std::string shownUtf8Name(std::string_view name, std::size_t maxLength = kShownPathLength);

// The length (1 to 4) and the code point of the well-formed UTF-8 character that text starts
// with, or 0 when it starts with none (a stray or cut sequence, an overlong form, a
// surrogate, beyond U+10FFFF).
std::size_t utf8Character(std::string_view text, char32_t& codePoint);
// Whether a character may be shown as it is among other text: not a control character (C0,
// DEL, C1), nor one that turns the text around it (U+202E and the other bidirectional
// formatting characters) or breaks its line (U+2028, U+2029).
bool isShownCharacter(char32_t c);

}  // namespace vek
