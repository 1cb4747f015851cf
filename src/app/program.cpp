// Program run: title, main window from its stored description, message loop.
#include "app/program.hpp"

#include <cstdio>
#include <exception>

#include "app/replays/attract_mode.hpp"
#include "app/screenshots/screenshots.hpp"
#include "app/window/main_form.hpp"
#include "assets/embedded_description.hpp"
#include "platform/platform.hpp"
#include "runtime/exception.hpp"
#include "runtime/messages.hpp"
#include "runtime/translation.hpp"
#include "runtime/version.hpp"

namespace vek {

namespace {

// Keeps the backend installed for the run and takes it out on every way back, so that no
// caller is left with an installed backend that it is about to destroy.
class InstalledBackend {
public:
    explicit InstalledBackend(platform::Platform& backend) { platform::install(&backend); }
    ~InstalledBackend() { platform::install(nullptr); }
    InstalledBackend(const InstalledBackend&) = delete;
    InstalledBackend& operator=(const InstalledBackend&) = delete;
};

}  // namespace

void ChooseLanguage(const TSettingsOptions& options, const std::string& programPath) {
    const std::string setting = options.resetSettings ? "" : RememberedLanguage(options.settingsPath);
    useLanguages(localeFolder(programPath), chooseLanguages(TLocaleEnvironment::current(), setting));
}

int RunProgram(platform::Platform& backend, const TSettingsOptions& options, const TReplayOptions& replays,
               const std::string& screenshotFolder) {
    return RunProgram(backend, EmbeddedDescription(), options, replays, screenshotFolder);
}

int RunProgram(platform::Platform& backend, std::span<const std::uint8_t> description,
               const TSettingsOptions& options, const TReplayOptions& replayOptions,
               const std::string& screenshotFolder) {
    const InstalledBackend installed(backend);
    auto& application = backend.application();
    application.setTitle(kApplicationTitle);
    std::unique_ptr<TMainForm> mainForm;
    try {
        mainForm = std::make_unique<TMainForm>(description);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s%s: %s\n", MessagePrefix().c_str(), e.className(), e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s%s\n", MessagePrefix().c_str(), e.what());
        return 1;
    }
    {
        TSettingsKeeper settings(*mainForm, options);
        TReplayKeeper replays(*mainForm, replayOptions.folder,
                              [&settings] { return settings.SaveReplays(); });
        // The player's best game first, the game's own demonstration after it.
        TAttractMode attract(*mainForm, [&replays, &replayOptions] {
            return std::vector<std::string>{replays.BestReplayPath(), replayOptions.demonstration};
        });
        TScreenshots screenshots(*mainForm, screenshotFolder);
        if (!replayOptions.watch.empty()) replays.Watch(replayOptions.watch);
        application.run(*mainForm->Handle());
        settings.Save();
    }
    mainForm.reset();
    return 0;
}

}  // namespace vek
