// The remembered settings' text form, the first start's zoom and the screen check.
#include "app/settings/settings.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>

#include "runtime/shown_text.hpp"
#include "runtime/text_lines.hpp"
#include "runtime/translation.hpp"

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

constexpr std::string_view kPadFireKey = "pad_fire";

constexpr std::array<KeySpec, 16> kKeys{{
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
    {"full_screen", 0, 1, [](const TSettings& s) { return int(s.options.fullScreen); },
     [](TSettings& s, int v) { s.options.fullScreen = v != 0; }},
    {"sound", 0, 1, [](const TSettings& s) { return int(s.options.sound); },
     [](TSettings& s, int v) { s.options.sound = v != 0; }},
    {"show_fps", 0, 1, [](const TSettings& s) { return int(s.options.showFps); },
     [](TSettings& s, int v) { s.options.showFps = v != 0; }},
    {"save_replays", 0, 1, [](const TSettings& s) { return int(s.saveReplays); },
     [](TSettings& s, int v) { s.saveReplays = v != 0; }},
    {"volume", 0, 100, [](const TSettings& s) { return s.options.volume; },
     [](TSettings& s, int v) { s.options.volume = v; }},
    {"auto_fire", 0, 1, [](const TSettings& s) { return int(s.options.autoFire); },
     [](TSettings& s, int v) { s.options.autoFire = v != 0; }},
    {"pause_in_background", 0, 1, [](const TSettings& s) { return int(s.options.pauseInBackground); },
     [](TSettings& s, int v) { s.options.pauseInBackground = v != 0; }},
    {"vibration", 0, 1, [](const TSettings& s) { return int(s.options.vibration); },
     [](TSettings& s, int v) { s.options.vibration = v != 0; }},
    {"attract_mode", 0, 1, [](const TSettings& s) { return int(s.options.attractMode); },
     [](TSettings& s, int v) { s.options.attractMode = v != 0; }},
    {kPadFireKey, 0, kPadButtons, [](const TSettings& s) { return s.options.bindings.padFire + 1; },
     [](TSettings& s, int v) { s.options.bindings.padFire = v - 1; }},
    {"fit_to_window", 0, 1, [](const TSettings& s) { return int(s.options.fitToWindow); },
     [](TSettings& s, int v) { s.options.fitToWindow = v != 0; }},
}};

// The keys lines (keys_up …) come after the numbers, in the actions' order, and the language
// last: a text, empty for the locale's.
constexpr std::size_t kLanguageIndex = kKeys.size() + kPlayerActions.size();
constexpr std::size_t kKeyCount = kLanguageIndex + 1;
constexpr std::string_view kLanguageKey = "language";
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

// A file of nothing but noise would otherwise print a line for each of its lines.
constexpr std::size_t kMaxWarnings = 10;

// The name of the file's key number i, and its value in settings.
std::string_view keyNameAt(std::size_t i) {
    if (i == kLanguageIndex) return kLanguageKey;
    return i < kKeys.size() ? kKeys[i].name : kPlayerActions[i - kKeys.size()].settingsKey;
}

std::string valueAt(std::size_t i, const TSettings& settings) {
    if (i == kLanguageIndex) return settings.language;
    if (i < kKeys.size()) return std::to_string(kKeys[i].get(settings));
    return joinedKeyNames(settings.options.bindings.keys[i - kKeys.size()], ",");
}

// The number of the file's key called name, or kKeyCount for a name the game does not know.
std::size_t findKey(std::string_view name) {
    std::size_t i = 0;
    while (i < kKeyCount && keyNameAt(i) != name) ++i;
    return i;
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

// The "key=value" lines of the keys not given, in the file's order.
std::string keyLines(const TSettings& settings, const std::array<bool, kKeyCount>& given,
                     std::string_view lineEnd) {
    std::string text;
    for (std::size_t i = 0; i < kKeyCount; ++i)
        if (!given[i]) text += std::string(keyNameAt(i)) + "=" + valueAt(i, settings) + std::string(lineEnd);
    return text;
}

// A line of a file being rewritten: a known key gets its value, with the blanks around it
// kept; every other line stays as it is.
std::string rewrittenLine(std::string_view line, const TSettings& settings,
                          std::array<bool, kKeyCount>& given) {
    const std::string_view text = trim(line);
    const std::size_t equals = line.find('=');
    if (text.empty() || text.front() == '#' || equals == std::string_view::npos) return std::string(line);
    const std::size_t key = findKey(trim(line.substr(0, equals)));
    if (key == kKeyCount) return std::string(line);
    given[key] = true;
    const std::string_view value = line.substr(equals + 1);
    const std::string_view kept = trim(value);
    const std::size_t lead =
        kept.empty() ? value.size() : static_cast<std::size_t>(kept.data() - value.data());
    const std::size_t trail = value.size() - lead - kept.size();
    return std::string(line.substr(0, equals + 1 + lead)) + valueAt(key, settings) +
           std::string(value.substr(value.size() - trail));
}

class Reader {
public:
    Reader(const std::string& fileName, const TSettings& defaults, const TMenuKeyTest& isMenuKey)
        : file_(fileName), result_{defaults, {}, false}, defaults_(defaults), isMenuKey_(isMenuKey) {}

    void line(std::string_view text, int number);
    TSettingsRead finish();

private:
    void warn(int line, const std::string& text);
    void valueLine(const KeySpec& key, std::string_view value, int line);
    void keysLine(std::size_t action, std::string_view value, int number);
    void language(std::string_view value, int number);
    void keepBindingRules();
    TKeyAssign claimKeys(int action, const TBindings& claimed);

    const std::string& file_;
    TSettingsRead result_;
    TSettings defaults_;
    const TMenuKeyTest& isMenuKey_;
    // The line that gave each action's keys, 0 for none.
    std::array<int, kActionCount> keysLines_{};
    bool anyKey_ = false;    // a line named a key of the file
    bool anyOther_ = false;  // a line that is neither blank, a comment nor a known key
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
    const std::size_t index =
        equals == std::string_view::npos ? kKeyCount : findKey(trim(text.substr(0, equals)));
    anyKey_ = anyKey_ || index < kKeyCount;
    anyOther_ = anyOther_ || index == kKeyCount;
    if (equals == std::string_view::npos) return warn(number, "not a key=value line; skipped");
    if (index == kKeyCount)
        return warn(number, "unknown key '" + shownName(trim(text.substr(0, equals))) + "'; skipped");
    if (index == kLanguageIndex) return language(trim(text.substr(equals + 1)), number);
    if (index >= kKeys.size()) return keysLine(index - kKeys.size(), trim(text.substr(equals + 1)), number);
    valueLine(kKeys[index], trim(text.substr(equals + 1)), number);
}

void Reader::valueLine(const KeySpec& key, std::string_view text, int line) {
    int value = 0;
    const std::string instead = "; using " + std::to_string(key.get(result_.settings));
    if (!readValue(text, key, value))
        return warn(line, std::string(key.name) + " must be " + rangeText(key) + instead);
    // The controls dialog's rule: Start pauses the game and Back opens the menu bar, so
    // neither ever fires.
    if (key.name == kPadFireKey && !padFireBindable(value - 1))
        return warn(line, std::string(key.name) + " " + std::to_string(value) +
                              (value - 1 == platform::kPadBackButton
                                   ? " is the pad's Back button, which opens the menu bar"
                                   : " is the pad's Start button, which pauses the game") +
                              instead);
    key.set(result_.settings, value);
}

void Reader::keysLine(std::size_t action, std::string_view value, int number) {
    TKeyAssign& keys = result_.settings.options.bindings.keys[action];
    if (readKeyNames(value, keys)) {
        keysLines_[action] = number;
        return;
    }
    warn(number, std::string(kPlayerActions[action].settingsKey) +
                     " must be up to three different key names joined by commas; using " +
                     joinedKeyNames(keys, ","));
}

// The controls dialog's rules for the keys as a whole: a key belongs to one action and
// never to the menus. The file's lines claim their keys in the file's order; a key that an
// earlier line holds, or that the menus use, leaves its line with a warning (the first
// binding stays). The actions the file does not set then keep those of their default keys
// that are still free, as the dialog moves a key from the action that had it.
void Reader::keepBindingRules() {
    std::array<int, kActionCount> order{};
    for (int action = 0; action < kActionCount; ++action) order[std::size_t(action)] = action;
    const auto claimOrder = [this](int action) {
        const int line = keysLines_[std::size_t(action)];
        return line == 0 ? std::numeric_limits<int>::max() : line;
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return claimOrder(a) < claimOrder(b); });
    TBindings claimed;
    for (const int action : order) claimed.keys[std::size_t(action)] = claimKeys(action, claimed);
    result_.settings.options.bindings.keys = claimed.keys;
}

// The keys of action that are its to keep, given those claimed before it.
TKeyAssign Reader::claimKeys(int action, const TBindings& claimed) {
    const TKeyAssign& keys = result_.settings.options.bindings.keys[std::size_t(action)];
    const int line = keysLines_[std::size_t(action)];
    TKeyAssign kept{};
    std::size_t count = 0;
    std::vector<std::string> why;
    for (const std::int32_t key : keys) {
        if (key == 0) continue;
        const int holder = actionHolding(claimed, key);
        if (holder >= 0)
            why.push_back(keyName(key) + " is bound on line " +
                          std::to_string(keysLines_[std::size_t(holder)]) + " already");
        else if (keyBindable(static_cast<std::uint16_t>(key), 0, isMenuKey_) == TBindOutcome::MenuKey)
            why.push_back(keyName(key) + " belongs to the menus");
        else
            kept[count++] = key;
    }
    if (why.empty()) return keys;
    const std::string left = count == 0 ? "no key" : joinedKeyNames(kept, ",");
    // A default key that a line of the file took leaves its action quietly.
    if (line != 0)
        for (const std::string& reason : why)
            warn(line, reason + "; " + kPlayerActions[std::size_t(action)].settingsKey + " uses " + left);
    return kept;
}

void Reader::language(std::string_view value, int number) {
    if (value.empty() || isLanguageList(value)) {
        result_.settings.language = std::string(value);
        return;
    }
    warn(number, "language must be a language such as fr or pt_BR; using the locale's");
    result_.settings.language.clear();
}

TSettingsRead Reader::finish() {
    // Keys that are missing keep their defaults without a word: a file the player trimmed,
    // or one from before a key was added, is a good file.
    if (anyOther_ && !anyKey_) return TSettingsRead{defaults_, {}, true};
    keepBindingRules();
    if (unshown_ > 0)
        result_.warnings.push_back(file_ + ": " + std::to_string(unshown_) + " more problems not shown");
    return result_;
}

}  // namespace

TSettingsRead ParseSettings(std::string_view text, const std::string& fileName, const TSettings& defaults,
                            const TMenuKeyTest& isMenuKey) {
    Reader reader(fileName, defaults, isMenuKey);
    TTextLines lines(text);
    for (std::string_view line; lines.Next(line);) reader.line(line, lines.Number());
    return reader.finish();
}

std::string FormatSettings(const TSettings& settings, std::string_view previous) {
    if (previous.empty())
        return "# Vektrion's settings, written by the game when it ends and whenever one of them changes.\n"
               "# One key=value a line; the README lists the keys with their ranges and defaults.\n"
               "# Lines of your own (comments, keys the game does not know) are kept where they are.\n" +
               keyLines(settings, {}, "\n");
    std::string text;
    std::array<bool, kKeyCount> given{};
    while (!previous.empty()) {
        const std::size_t end = previous.find('\n');
        text += rewrittenLine(previous.substr(0, end), settings, given);
        if (end == std::string_view::npos) break;
        text += '\n';
        previous.remove_prefix(end + 1);
    }
    // Added keys end their lines as the file's first line does.
    const std::size_t firstEnd = text.find('\n');
    const bool crlf = firstEnd != std::string::npos && firstEnd > 0 && text[firstEnd - 1] == '\r';
    const std::string_view lineEnd = crlf ? "\r\n" : "\n";
    const std::string added = keyLines(settings, given, lineEnd);
    if (!added.empty() && !text.empty() && text.back() != '\n') text += lineEnd;
    return text + added;
}

int FirstStartZoom(int usableHeight) {
    // zoom × 480 <= 0.6 × height, in whole numbers.
    const std::int64_t zoom =
        std::int64_t(std::max(usableHeight, 0)) * 3 / (std::int64_t(kPictureHeight) * 5);
    return static_cast<int>(std::clamp<std::int64_t>(zoom, 1, kMaxViewSize / kPictureWidth));
}

}  // namespace vek
