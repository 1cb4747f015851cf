// Reading, applying and writing the remembered settings of the main window.
#include "app/settings_keeper.hpp"

#include <cstdio>
#include <exception>

#include "app/main_form.hpp"
#include "app/settings_file.hpp"
#include "platform/platform.hpp"

namespace vek {

namespace {

constexpr const char* kWarningPrefix = "vektrion: warning: ";

}  // namespace

void WarnOnStderr(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

std::string RememberedLanguage(const std::string& path) {
    std::string text, error;
    if (path.empty() || ReadSettingsFile(path, text, error) != TFileRead::Read) return {};
    return ParseSettings(text, path, TSettings{}).settings.language;
}

TSettingsKeeper::TSettingsKeeper(TMainForm& form, const TProgramOptions& options, TWarningSink warn)
    : form_(form), path_(options.settingsPath), zoom_(options.zoom), warn_(std::move(warn)) {
    Apply(Read(options.resetSettings));
    Watch();
}

TSettingsKeeper::~TSettingsKeeper() {
    form_.OnOptionChanged = nullptr;
    form_.UnhookMessages(hook_);
}

TSettings TSettingsKeeper::Defaults(const TMainForm& form) {
    const auto screens = platform::current().application().screens();
    const int zoom = FirstStartZoom(screens.empty() ? 0 : screens.front().height());
    TSettings defaults;
    defaults.window = platform::WindowGeometry{form.StoredSpec().left, form.StoredSpec().top,
                                               kPictureWidth * zoom, kPictureHeight * zoom, false};
    return defaults;
}

TSettings TSettingsKeeper::Read(bool reset) {
    const TSettings defaults = Defaults(form_);
    if (path_.empty()) return defaults;
    if (reset) {
        // The defaults, whether or not the old file could be deleted.
        if (const std::string error = DeleteSettingsFile(path_); !error.empty())
            warn_(kWarningPrefix + path_ + ": " + error);
        return defaults;
    }
    std::string error;
    switch (ReadSettingsFile(path_, written_, error)) {
        case TFileRead::Missing:
            warn_(kWarningPrefix + path_ + ": not found; using the default settings");
            return defaults;
        case TFileRead::Failed:
            warn_(kWarningPrefix + path_ + ": " + error + "; using the default settings");
            return defaults;
        case TFileRead::Read:
            break;
    }
    TSettingsRead read = ParseSettings(written_, path_, defaults);
    for (const std::string& warning : read.warnings) warn_(kWarningPrefix + warning);
    return read.settings;
}

// After the stored description's defaults, through the menu commands: the window first, so
// that full screen returns to the remembered place.
void TSettingsKeeper::Apply(const TSettings& settings) {
    platform::WindowGeometry window = settings.window;
    if (zoom_ > 0) window = {window.left, window.top, kPictureWidth * zoom_, kPictureHeight * zoom_, false};
    form_.Handle()->setGeometry(PlaceOnScreens(window, platform::current().application().screens()));
    soundWanted_ = settings.sound;
    // The language was chosen before the window read its texts; it is kept as written.
    language_ = settings.language;
    try {
        if (settings.fullScreen != form_.OptionFullScreen->Checked) form_.OptionFullScreenClick();
        // Sound on is the default; a device that failed at start is not tried a second time.
        if (!settings.sound && form_.OptionSound->Checked) form_.OptionSoundClick();
        if (settings.showFps != form_.OptionShowFPS->Checked) form_.OptionShowFPSClick();
    } catch (const std::exception& error) {
        platform::current().application().handleException(error);
    }
}

void TSettingsKeeper::Watch() {
    form_.OnOptionChanged = [this](platform::TMenuItem& option, bool wanted) {
        if (&option == form_.OptionSound) soundWanted_ = wanted;
        Save();
    };
    hook_ = form_.HookMessages([this](platform::FormMessage message) {
        if (message == platform::FormMessage::Placed) Save();
    });
}

TSettings TSettingsKeeper::Current() const {
    TSettings now;
    now.window = form_.Handle()->geometry();
    now.fullScreen = form_.OptionFullScreen->Checked;
    now.sound = soundWanted_;
    now.showFps = form_.OptionShowFPS->Checked;
    now.language = language_;
    return now;
}

void TSettingsKeeper::Save() {
    if (path_.empty()) return;
    const std::string text = FormatSettings(Current());
    if (text == written_) return;
    const std::string error = WriteFileAtomically(path_, text);
    if (error.empty()) {
        written_ = text;
        return;
    }
    if (!writeFailed_) warn_(kWarningPrefix + path_ + ": " + error + "; the settings are not saved");
    writeFailed_ = true;
}

}  // namespace vek
