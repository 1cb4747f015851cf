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

}  // namespace

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
