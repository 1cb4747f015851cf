// Reading, applying and writing the remembered settings of the main window.
#include "app/settings/settings_keeper.hpp"

#include <cstdio>
#include <exception>

#include "app/settings/settings_file.hpp"
#include "app/window/main_form.hpp"
#include "platform/platform.hpp"
#include "runtime/atomic_write.hpp"
#include "runtime/messages.hpp"
#include "runtime/shown_text.hpp"

namespace vek {

std::string RememberedLanguage(const std::string& path) {
    std::string text, error;
    if (path.empty() || ReadSettingsFile(path, text, error) != TFileRead::Read) return {};
    return ParseSettings(text, path, TSettings{}).settings.language;
}

TSettingsKeeper::TSettingsKeeper(TMainForm& form, const TSettingsOptions& options, TWarningSink warn)
    : form_(form),
      path_(options.settingsPath),
      shownPath_(shownName(path_, kShownPathLength)),
      zoom_(options.zoom),
      warn_(std::move(warn)) {
    Apply(Read(options.resetSettings));
    Watch();
}

TSettingsKeeper::~TSettingsKeeper() {
    if (placeWaiting_) platform::current().application().setAlarm(0, nullptr);
    form_.Options.OnChanged = nullptr;
    form_.UnhookMessages(hook_);
}

TSettings TSettingsKeeper::Defaults(const TMainForm& form) {
    const auto screens = platform::current().application().screens();
    const int zoom = FirstStartZoom(screens.empty() ? 0 : screens.front().height());
    TSettings defaults;
    defaults.window = platform::WindowGeometry{form.StoredSpec().left, form.StoredSpec().top,
                                               kPictureWidth * zoom, kPictureHeight * zoom, false};
    defaults.options.bindings = form.Options.StoredBindings();
    return defaults;
}

void TSettingsKeeper::Warn(const std::string& text) {
    warn_(WarningPrefix() + shownPath_ + ": " + text);
}

TSettings TSettingsKeeper::Read(bool reset) {
    const TSettings defaults = Defaults(form_);
    if (path_.empty()) {
        saving_ = false;
        return defaults;
    }
    RemoveStaleTemporaryFiles(path_);
    if (!reset) return ReadFile(defaults);
    // The defaults, whether or not the old file could be deleted.
    if (const std::string error = DeleteSettingsFile(path_); !error.empty()) Warn(error);
    return defaults;
}

TSettings TSettingsKeeper::ReadFile(const TSettings& defaults) {
    std::string error;
    switch (ReadSettingsFile(path_, written_, error)) {
        case TFileRead::Missing:
            return defaults;
        case TFileRead::TooLarge:
            return Refuse(defaults, error + ", not a settings file");
        case TFileRead::Failed:
            // A file that is there but cannot be read is the player's: it is not written over.
            Warn(error + "; using the default settings, which are not saved");
            saving_ = false;
            return defaults;
        case TFileRead::Read:
            break;
    }
    const TSettingsRead read = ParseSettings(
        written_, shownPath_, defaults,
        [this](std::uint16_t key, platform::TShiftState shift) { return form_.IsMenuKey(key, shift); });
    if (read.refused) return Refuse(defaults, "not a settings file");
    for (const std::string& warning : read.warnings) warn_(WarningPrefix() + warning);
    readOnly_ = SettingsFileReadOnly(path_);
    pinned_ = read.settings;
    return read.settings;
}

// A file the game cannot use is renamed out of the way before a new one takes its place,
// so that nothing the player wrote is thrown away unseen.
TSettings TSettingsKeeper::Refuse(const TSettings& defaults, const std::string& why) {
    written_.clear();
    const std::string error = KeepRefusedFile(path_);
    if (error.empty()) {
        const std::string kept = RefusedFilePath(FileNameOf(path_));
        Warn(why + "; kept as " + shownName(kept, kShownPathLength) + " and using the default settings");
        return defaults;
    }
    Warn(why + "; " + error + ", so the default settings are used and not saved");
    saving_ = false;
    return defaults;
}

// After the stored description's defaults, through the option setters the menus also use:
// the window first, so that full screen returns to the remembered place.
void TSettingsKeeper::Apply(const TSettings& settings) {
    platform::WindowGeometry window = settings.window;
    if (zoom_ > 0) window = {window.left, window.top, kPictureWidth * zoom_, kPictureHeight * zoom_, false};
    // The window puts a place on no screen back on one, and fits its view to the screen.
    form_.Handle()->setGeometry(window);
    WarnIfReduced(window);
    saveReplays_ = settings.saveReplays;
    // The language was chosen before the window read its texts; it is kept as written.
    language_ = settings.language;
    try {
        form_.Options.Set(settings.options);
    } catch (const std::exception& error) {
        platform::current().application().handleException(error);
    }
}

// The window reduces a view too large for the screen it opens on; the player hears of it.
void TSettingsKeeper::WarnIfReduced(const platform::WindowGeometry& asked) {
    const platform::WindowGeometry used = form_.Handle()->geometry();
    if (used.viewWidth >= asked.viewWidth && used.viewHeight >= asked.viewHeight) return;
    const auto size = [](int width, int height) {
        return std::to_string(width) + " x " + std::to_string(height);
    };
    warn_(WarningPrefix() + "a window view of " + size(asked.viewWidth, asked.viewHeight) +
          " does not fit the screen; using " + size(used.viewWidth, used.viewHeight) + " (zoom " +
          std::to_string(used.viewWidth / kPictureWidth) + ")");
}

void TSettingsKeeper::Watch() {
    form_.Options.OnChanged = [this] { Save(); };
    hook_ = form_.HookMessages([this](platform::FormMessage message) {
        if (message == platform::FormMessage::Placed) Placed();
    });
}

// Each move or resize sets the alarm again, so that it goes off once the window has stood
// still; the loop sleeps until then, with no polling here.
void TSettingsKeeper::Placed() {
    if (!saving_) return;
    platform::Platform& platform = platform::current();
    platform.application().setAlarm(platform.clock().timeGetTime() + kStillMs, [this] {
        placeWaiting_ = false;
        Save();
    });
    placeWaiting_ = true;
}

TSettings TSettingsKeeper::Current() const {
    TSettings now;
    now.window = form_.Handle()->geometry();
    now.options = form_.Options.Value();
    for (TKeyAssign& keys : now.options.bindings.keys) keys = packedSlots(keys);
    now.saveReplays = saveReplays_;
    now.language = language_;
    return now;
}

void TSettingsKeeper::Save() {
    if (placeWaiting_) platform::current().application().setAlarm(0, nullptr);
    placeWaiting_ = false;
    if (!saving_) return;
    const std::string text = FormatSettings(Current(), written_);
    if (text == written_) return;
    if (readOnly_) {
        // Keys the file lacks are no change of the player's: only a setting that differs is.
        if (Current() == pinned_) return;
        Warn("the file is read-only, so changes to the settings are not saved");
        saving_ = false;
        return;
    }
    const std::string error = WriteFileAtomically(path_, text);
    if (error.empty()) {
        written_ = text;
        return;
    }
    if (!writeFailed_) Warn(error + "; the settings are not saved");
    writeFailed_ = true;
}

}  // namespace vek
