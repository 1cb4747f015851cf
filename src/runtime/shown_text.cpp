// Escaping and cutting of text for messages.
#include "runtime/shown_text.hpp"

#include <algorithm>

namespace vek {

namespace {

bool isPrintable(char c) {
    return c >= 0x20 && c <= 0x7E;
}

void appendShown(std::string& out, char c) {
    if (isPrintable(c)) {
        out += c;
        return;
    }
    constexpr char kHex[] = "0123456789abcdef";
    const auto byte = static_cast<unsigned char>(c);
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

// The smallest code point of a sequence of each length: anything below is an overlong form.
constexpr char32_t kSmallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};

// The length of the sequence a lead byte starts, or 0 for a byte that starts none.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace

std::size_t utf8Character(std::string_view text, char32_t& codePoint) {
    if (text.empty()) return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = sequenceLength(lead);
    if (length == 0 || length > text.size()) return 0;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) return 0;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < kSmallestOfLength[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 0;
    codePoint = c;
    return length;
}

bool isShownCharacter(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
    if (c == 0x061C || c == 0x200E || c == 0x200F || c == 0x2028 || c == 0x2029) return false;
    return !(c >= 0x202A && c <= 0x202E) && !(c >= 0x2066 && c <= 0x2069);
}

std::string shownUtf8Name(std::string_view name, std::size_t maxLength) {
    const std::size_t kept = maxLength < 3 ? 0 : maxLength - 3;
    std::string shown;
    std::size_t length = 0;  // in characters, an escaped byte counting four
    std::size_t cut = 0;     // the end of the last whole character within the kept length
    while (!name.empty() && length <= maxLength) {
        if (length <= kept) cut = shown.size();
        char32_t c = 0;
        const std::size_t size = utf8Character(name, c);
        if (size > 0 && isShownCharacter(c)) {
            shown.append(name.substr(0, size));
            length += 1;
        } else {
            for (const char byte : name.substr(0, std::max<std::size_t>(size, 1))) appendShown(shown, byte);
            length += 4 * std::max<std::size_t>(size, 1);
        }
        name.remove_prefix(std::max<std::size_t>(size, 1));
    }
    if (length <= maxLength) return shown;
    shown.resize(cut);
    return shown + "...";
}

bool isPrintableName(std::string_view name) {
    return std::all_of(name.begin(), name.end(), isPrintable);
}

std::string shownText(std::string_view text) {
    std::string shown;
    for (const char c : text) appendShown(shown, c);
    return shown;
}

std::string shownName(std::string_view name, std::size_t maxLength) {
    const std::size_t kept = maxLength < 3 ? 0 : maxLength - 3;
    std::string shown;
    std::size_t cut = 0;  // the end of the last whole byte shown within the kept characters
    for (const char c : name) {
        if (shown.size() <= kept) cut = shown.size();
        appendShown(shown, c);
        if (shown.size() > maxLength) break;
    }
    if (shown.size() <= maxLength) return shown;
    shown.resize(cut);
    return shown + "...";
}

}  // namespace vek
