// The remembered settings' text form, the first start's zoom and the screen check.
#include "app/settings.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include "runtime/translation.hpp"

namespace vek {

namespace {

// One key of the file: its name, its range (a Boolean is 0 or 1) and its place in TSettings.
struct KeySpec {
    std::string_view name;
    int min;
    int max;
    int (*get)(const TSettings&);
    void (*set)(TSettings&, int);
};

constexpr std::array<KeySpec, 8> kKeys{{
    {"window_left", -kMaxPlace, kMaxPlace, [](const TSettings& s) { return s.window.left; },
     [](TSettings& s, int v) { s.window.left = v; }},
    {"window_top", -kMaxPlace, kMaxPlace, [](const TSettings& s) { return s.window.top; },
     [](TSettings& s, int v) { s.window.top = v; }},
    {"window_width", kPictureWidth, kMaxViewSize, [](const TSettings& s) { return s.window.viewWidth; },
     [](TSettings& s, int v) { s.window.viewWidth = v; }},
    {"window_height", kPictureHeight, kMaxViewSize, [](const TSettings& s) { return s.window.viewHeight; },
     [](TSettings& s, int v) { s.window.viewHeight = v; }},
    {"window_maximized", 0, 1, [](const TSettings& s) { return int(s.window.maximized); },
     [](TSettings& s, int v) { s.window.maximized = v != 0; }},
    {"full_screen", 0, 1, [](const TSettings& s) { return int(s.fullScreen); },
     [](TSettings& s, int v) { s.fullScreen = v != 0; }},
    {"sound", 0, 1, [](const TSettings& s) { return int(s.sound); },
     [](TSettings& s, int v) { s.sound = v != 0; }},
    {"show_fps", 0, 1, [](const TSettings& s) { return int(s.showFps); },
     [](TSettings& s, int v) { s.showFps = v != 0; }},
}};

constexpr std::string_view kLanguageKey = "language";

// A file of nothing but noise would otherwise print a line for each of its lines.
constexpr std::size_t kMaxWarnings = 10;

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

const KeySpec* findKey(std::string_view name) {
    for (const KeySpec& key : kKeys)
        if (key.name == name) return &key;
    return nullptr;
}

// A whole number written plainly (an optional minus sign, then digits) within the key's range.
bool readValue(std::string_view text, const KeySpec& key, int& value) {
    std::int64_t number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc{} || stop != end || number < key.min || number > key.max)
        return false;
    value = static_cast<int>(number);
    return true;
}

std::string rangeText(const KeySpec& key) {
    if (key.min == 0 && key.max == 1) return "0 or 1";
    return "a whole number from " + std::to_string(key.min) + " to " + std::to_string(key.max);
}

class Reader {
public:
    Reader(const std::string& fileName, const TSettings& defaults) : file_(fileName), result_{defaults, {}} {}

    void line(std::string_view text, int number);
    TSettingsRead finish(int lines);

private:
    void warn(int line, const std::string& text);
    void language(std::string_view value, int number);

    const std::string& file_;
    TSettingsRead result_;
    std::array<bool, kKeys.size()> given_{};
    std::size_t unshown_ = 0;
};

// The language is a text, and may be left out: most players go by their locale.
void Reader::language(std::string_view value, int number) {
    if (value.empty() || isLanguageList(value)) {
        result_.settings.language = std::string(value);
        return;
    }
    warn(number, "language must be a language such as fr or pt_BR; using the locale's");
    result_.settings.language.clear();
}

void Reader::warn(int line, const std::string& text) {
    if (result_.warnings.size() == kMaxWarnings) {
        ++unshown_;
        return;
    }
    result_.warnings.push_back(file_ + ":" + std::to_string(line) + ": " + text);
}

void Reader::line(std::string_view text, int number) {
    text = trim(text);
    if (text.empty() || text.front() == '#') return;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return warn(number, "not a key=value line; skipped");
    const std::string_view name = trim(text.substr(0, equals));
    if (name == kLanguageKey) return language(trim(text.substr(equals + 1)), number);
    const KeySpec* key = findKey(name);
    if (!key) return warn(number, "unknown key '" + std::string(name) + "'; skipped");
    given_[static_cast<std::size_t>(key - kKeys.data())] = true;
    int value = 0;
    if (!readValue(trim(text.substr(equals + 1)), *key, value))
        return warn(number, std::string(key->name) + " must be " + rangeText(*key) + "; using " +
                                std::to_string(key->get(result_.settings)));
    key->set(result_.settings, value);
}

TSettingsRead Reader::finish(int lines) {
    const int end = lines + 1;
    if (std::none_of(given_.begin(), given_.end(), [](bool given) { return given; })) {
        warn(end, "no settings found; using the defaults");
    } else {
        for (std::size_t i = 0; i < kKeys.size(); ++i)
            if (!given_[i])
                warn(end, std::string(kKeys[i].name) + " is missing; using " +
                              std::to_string(kKeys[i].get(result_.settings)));
    }
    if (unshown_ > 0)
        result_.warnings.push_back(file_ + ": " + std::to_string(unshown_) + " more problems not shown");
    return result_;
}

}  // namespace

TSettingsRead ParseSettings(std::string_view text, const std::string& fileName, const TSettings& defaults) {
    Reader reader(fileName, defaults);
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        reader.line(text.substr(0, end), ++number);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return reader.finish(number);
}

std::string FormatSettings(const TSettings& settings) {
    std::string text =
        "# Vektrion's settings, written by the game when it ends and whenever one of them changes.\n"
        "# One key=value a line; the README lists the keys with their ranges and defaults.\n";
    for (const KeySpec& key : kKeys)
        text += std::string(key.name) + "=" + std::to_string(key.get(settings)) + "\n";
    text += std::string(kLanguageKey) + "=" + settings.language + "\n";
    return text;
}

int FirstStartZoom(int usableHeight) {
    // zoom × 480 <= 0.6 × height, in whole numbers.
    const std::int64_t zoom =
        std::int64_t(std::max(usableHeight, 0)) * 3 / (std::int64_t(kPictureHeight) * 5);
    return static_cast<int>(std::clamp<std::int64_t>(zoom, 1, kMaxViewSize / kPictureWidth));
}

platform::WindowGeometry PlaceOnScreens(const platform::WindowGeometry& window,
                                        const std::vector<TRect>& screens) {
    // Enough of the window to take hold of it and drag it.
    constexpr int kGripWidth = 64;
    constexpr int kGripHeight = 32;
    const TRect rect = Bounds(window.left, window.top, window.viewWidth, window.viewHeight);
    for (const TRect& screen : screens) {
        const TRect shown{std::max(rect.left, screen.left), std::max(rect.top, screen.top),
                          std::min(rect.right, screen.right), std::min(rect.bottom, screen.bottom)};
        if (shown.width() >= std::min(kGripWidth, rect.width()) &&
            shown.height() >= std::min(kGripHeight, rect.height()) && !shown.empty())
            return window;
    }
    if (screens.empty()) return window;
    const TRect& primary = screens.front();
    platform::WindowGeometry moved = window;
    moved.left = primary.left + std::max(0, (primary.width() - window.viewWidth) / 2);
    moved.top = primary.top + std::max(0, (primary.height() - window.viewHeight) / 2);
    return moved;
}

}  // namespace vek
