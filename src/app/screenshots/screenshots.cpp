// The screenshot key: the pictures folder, the file's name and the caption's message.
#include "app/screenshots/screenshots.hpp"

#include <sys/stat.h>

#include <cstdio>
#include <utility>

#include "app/window/main_form.hpp"
#include "platform/platform.hpp"
#include "runtime/atomic_write.hpp"
#include "runtime/exception.hpp"
#include "runtime/shown_text.hpp"
#include "runtime/stream.hpp"
#include "runtime/translation.hpp"

namespace vek {

namespace {

constexpr std::string_view kPicturesKey = "XDG_PICTURES_DIR";

std::string_view trimmedLine(std::string_view line) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!line.empty() && blank(line.front())) line.remove_prefix(1);
    while (!line.empty() && blank(line.back())) line.remove_suffix(1);
    return line;
}

// The text between double quotes, with its backslash escapes undone; false when the value
// is not quoted so.
bool userDirsValue(std::string_view value, std::string& text) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return false;
    value = value.substr(1, value.size() - 2);
    text.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) ++i;
        text += value[i];
    }
    return true;
}

// A folder from its value: "$HOME" alone or followed by a slash, or an absolute path.
std::string userDirsFolder(std::string_view value, const std::string& home) {
    std::string text;
    if (!userDirsValue(value, text)) return {};
    constexpr std::string_view kHome = "$HOME";
    if (text.starts_with(kHome) && (text.size() == kHome.size() || text[kHome.size()] == '/')) {
        if (home.empty()) return {};
        text = home + text.substr(kHome.size());
    }
    if (text.empty() || text.front() != '/') return {};
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

bool screenshotFileExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The desktop's user-dirs.dirs, a few lines long; empty when it is missing, unreadable or
// larger than a file of its kind ever is.
std::string UserDirsText(const std::string& path) {
    constexpr TFileLimit kUserDirsLimit{64 * 1024, "a user-dirs.dirs file"};
    try {
        const std::vector<std::uint8_t> bytes = readFileBytes(path, kUserDirsLimit);
        return std::string(bytes.begin(), bytes.end());
    } catch (const Exception&) {
        return {};
    }
}

}  // namespace

std::string PicturesDirFromUserDirs(std::string_view text, const std::string& home) {
    std::string folder;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmedLine(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t equals = line.find('=');
        if (line.starts_with('#') || equals == std::string_view::npos) continue;
        if (trimmedLine(line.substr(0, equals)) != kPicturesKey) continue;
        // The last line that names it wins, as when the shell reads the file.
        if (std::string found = userDirsFolder(trimmedLine(line.substr(equals + 1)), home); !found.empty())
            folder = std::move(found);
    }
    return folder;
}

std::string ScreenshotFolder(const char* xdgConfigHome, const char* home) {
    const std::string homeFolder = home && home[0] == '/' ? home : "";
    std::string config;
    if (xdgConfigHome && xdgConfigHome[0] == '/') {
        config = xdgConfigHome;
    } else if (!homeFolder.empty()) {
        config = homeFolder + "/.config";
    }
    std::string pictures;
    if (!config.empty())
        pictures = PicturesDirFromUserDirs(UserDirsText(config + "/user-dirs.dirs"), homeFolder);
    if (pictures.empty() && !homeFolder.empty()) pictures = homeFolder + "/Pictures";
    if (pictures.empty()) return {};
    return (pictures == "/" ? "" : pictures) + "/Vektrion";
}

std::string ScreenshotName(const std::tm& time, int count) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d-%02d-%02d", time.tm_year + 1900, time.tm_mon + 1,
                  time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
    return "vektrion-" + std::string(stamp) + (count > 1 ? "-" + std::to_string(count) : "") + ".png";
}

TScreenshots::TScreenshots(TMainForm& form, std::string folder, TWarningSink warn, TNow now)
    : form_(form),
      folder_(std::move(folder)),
      warn_(std::move(warn)),
      now_(std::move(now)),
      slot_(platform::current().application().takeAlarmSlot()) {
    form_.OnScreenshot = [this] { Take(); };
}

TScreenshots::~TScreenshots() {
    platform::current().application().setSlotAlarm(slot_, 0, nullptr);
    form_.OnScreenshot = nullptr;
}

std::string TScreenshots::Take() {
    if (folder_.empty()) return Fail("there is no home folder to keep it in");
    std::string why;
    const std::string png = form_.Handle()->clientPicturePng(why);
    if (png.empty()) return Fail(why);
    const std::string path = FreePath();
    if (const std::string error = WriteFileAtomically(path, png); !error.empty())
        return Fail(shownName(path, kShownPathLength) + ": " + error);
    // TRANSLATORS: in the caption for two seconds after F12; %s is the picture's file.
    Show(fillIn(tr("imagen guardada en %s"), {shownName(path, kShownPathLength)}));
    return path;
}

// Pictures taken within one second are numbered, never written over each other.
std::string TScreenshots::FreePath() const {
    const std::time_t now = now_();
    std::tm local{};
    localtime_r(&now, &local);
    std::string path;
    for (int count = 1; path.empty() || screenshotFileExists(path); ++count)
        path = folder_ + "/" + ScreenshotName(local, count);
    return path;
}

void TScreenshots::Show(const std::string& message) {
    form_.SetCaptionMessage(" - " + message);
    auto& host = platform::current();
    host.application().setSlotAlarm(slot_, host.clock().timeGetTime() + kMessageTime,
                                    [this] { form_.SetCaptionMessage({}); });
}

std::string TScreenshots::Fail(const std::string& why) {
    if (!failureTold_) warn_(WarningPrefix() + std::string("the picture was not kept: ") + why);
    failureTold_ = true;
    // TRANSLATORS: in the caption for two seconds when F12 could not keep the picture; %s
    // says why, in English.
    Show(fillIn(tr("no se pudo guardar la imagen: %s"), {why}));
    return {};
}

}  // namespace vek
