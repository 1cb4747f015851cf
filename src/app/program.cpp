// Program run: title, main window from its stored description, message loop.
#include "app/program.hpp"

#include <cstdio>
#include <exception>

#include "app/main_form.hpp"
#include "app/settings_file.hpp"
#include "app/settings_keeper.hpp"
#include "assets/embedded_description.hpp"
#include "platform/platform.hpp"
#include "runtime/exception.hpp"

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

// --reset-settings: the defaults, whether or not the old file could be deleted.
void ResetSettings(const std::string& path) {
    const std::string error = DeleteSettingsFile(path);
    if (!error.empty()) WarnOnStderr("vektrion: warning: " + path + ": " + error);
}

}  // namespace

int RunProgram(platform::Platform& backend, const TProgramOptions& options) {
    return RunProgram(backend, EmbeddedDescription(), options);
}

int RunProgram(platform::Platform& backend, std::span<const std::uint8_t> description,
               const TProgramOptions& options) {
    const InstalledBackend installed(backend);
    auto& application = backend.application();
    application.setTitle(kApplicationTitle);
    if (options.resetSettings && !options.settingsPath.empty()) ResetSettings(options.settingsPath);
    std::unique_ptr<TMainForm> mainForm;
    try {
        mainForm = std::make_unique<TMainForm>(description);
    } catch (const Exception& e) {
        std::fprintf(stderr, "vektrion: %s: %s\n", e.className(), e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vektrion: %s\n", e.what());
        return 1;
    }
    {
        TSettingsKeeper settings(*mainForm, options.settingsPath, options.zoom);
        application.run(*mainForm->Handle());
        settings.Save();
    }
    mainForm.reset();
    return 0;
}

}  // namespace vek
