// The remembered settings' text form, the first start's zoom and the screen check.
#include "app/settings.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

namespace vek {

namespace {

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// One key of the file: its name, its range (a Boolean is 0 or 1) and its place in TSettings.
struct KeySpec {
    std::string_view name;
    int min;
    int max;
    int (*get)(const TSettings&);
    void (*set)(TSettings&, int);
};

constexpr std::array<KeySpec, 13> kKeys{{
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
    {"volume", 0, 100, [](const TSettings& s) { return s.volume; },
     [](TSettings& s, int v) { s.volume = v; }},
    {"auto_fire", 0, 1, [](const TSettings& s) { return int(s.autoFire); },
     [](TSettings& s, int v) { s.autoFire = v != 0; }},
    {"pause_in_background", 0, 1, [](const TSettings& s) { return int(s.pauseInBackground); },
     [](TSettings& s, int v) { s.pauseInBackground = v != 0; }},
    {"vibration", 0, 1, [](const TSettings& s) { return int(s.vibration); },
     [](TSettings& s, int v) { s.vibration = v != 0; }},
    {"pad_fire", 0, kPadButtons, [](const TSettings& s) { return s.bindings.padFire + 1; },
     [](TSettings& s, int v) { s.bindings.padFire = v - 1; }},
}};

// The keys lines (keys_up …) come after the numbers, in the actions' order.
constexpr std::size_t kKeyCount = kKeys.size() + kPlayerActions.size();
// The keys up to show_fps; a file written before the later ones lacks them.
constexpr std::size_t kRequiredKeys = 8;

int bindingKey(std::string_view name) {
    for (std::size_t i = 0; i < kPlayerActions.size(); ++i)
        if (kPlayerActions[i].settingsKey == name) return static_cast<int>(i);
    return -1;
}

// Up to three key names, joined by commas; none twice.
bool readKeyNames(std::string_view text, TKeyAssign& keys) {
    TKeyAssign read{};
    std::size_t count = 0;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const auto code = virtualKeyFromName(trim(text.substr(0, comma)));
        if (!code || count == read.size() || std::find(read.begin(), read.end(), *code) != read.end())
            return false;
        read[count++] = *code;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
        if (text.empty()) return false;  // a name is missing after the last comma
    }
    keys = read;
    return true;
}

std::string keyNames(const TKeyAssign& keys) {
    std::string text;
    for (std::int32_t key : packedSlots(keys)) {
        if (key == 0) continue;
        if (!text.empty()) text += ",";
        text += keyName(key);
    }
    return text;
}

// A file of nothing but noise would otherwise print a line for each of its lines.
constexpr std::size_t kMaxWarnings = 10;

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

    const std::string& file_;
    TSettingsRead result_;
    void keysLine(int action, std::string_view value, int number);

    std::array<bool, kKeyCount> given_{};
    std::size_t unshown_ = 0;
};

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
    if (const int action = bindingKey(name); action >= 0)
        return keysLine(action, trim(text.substr(equals + 1)), number);
    const KeySpec* key = findKey(name);
    if (!key) return warn(number, "unknown key '" + std::string(name) + "'; skipped");
    given_[static_cast<std::size_t>(key - kKeys.data())] = true;
    int value = 0;
    if (!readValue(trim(text.substr(equals + 1)), *key, value))
        return warn(number, std::string(key->name) + " must be " + rangeText(*key) + "; using " +
                                std::to_string(key->get(result_.settings)));
    key->set(result_.settings, value);
}

void Reader::keysLine(int action, std::string_view value, int number) {
    given_[kKeys.size() + std::size_t(action)] = true;
    TKeyAssign& keys = result_.settings.bindings.keys[std::size_t(action)];
    if (!readKeyNames(value, keys))
        warn(number, std::string(kPlayerActions[std::size_t(action)].settingsKey) +
                         " must be up to three different key names joined by commas; using " +
                         keyNames(keys));
}

// The name of the file's key number i, and its value in settings.
std::string_view keyNameAt(std::size_t i) {
    return i < kKeys.size() ? kKeys[i].name : kPlayerActions[i - kKeys.size()].settingsKey;
}

std::string valueAt(std::size_t i, const TSettings& settings) {
    if (i < kKeys.size()) return std::to_string(kKeys[i].get(settings));
    return keyNames(settings.bindings.keys[i - kKeys.size()]);
}

TSettingsRead Reader::finish(int lines) {
    const int end = lines + 1;
    if (std::none_of(given_.begin(), given_.end(), [](bool given) { return given; })) {
        warn(end, "no settings found; using the defaults");
    } else {
        for (std::size_t i = 0; i < kRequiredKeys; ++i)
            if (!given_[i])
                warn(end, std::string(keyNameAt(i)) + " is missing; using " + valueAt(i, result_.settings));
    }
    if (unshown_ > 0)
        result_.warnings.push_back(file_ + ": " + std::to_string(unshown_) + " more problems not shown");
    return result_;
}

}  // namespace

TSettingsRead ParseSettings(std::string_view text, const std::string& fileName, const TSettings& defaults) {
    TSettings packed = defaults;
    for (TKeyAssign& keys : packed.bindings.keys) keys = packedSlots(keys);
    Reader reader(fileName, packed);
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
    for (std::size_t i = 0; i < kKeyCount; ++i)
        text += std::string(keyNameAt(i)) + "=" + valueAt(i, settings) + "\n";
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
