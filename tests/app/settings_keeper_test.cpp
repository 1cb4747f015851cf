// The remembered settings and the main window on the headless backend: applied through the
// menu commands at start, written whenever one changes, the sound the player asked for kept
// when the device fails, one warning for a folder that cannot be written, the first start's
// size, --zoom and --reset-settings.
#include "app/settings_keeper.hpp"

#include <gtest/gtest.h>

#include "app/main_form.hpp"
#include "app/program.hpp"
#include "app/temp_folder.hpp"
#include "graphics/dxdraw.hpp"
#include "media/dxsound.hpp"
#include "media/dxtimer.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"

namespace vek {
namespace {

using platform::WindowGeometry;
using platform::headless::HeadlessPlatform;
using platform::headless::HeadlessWindow;
using platform::headless::ScopedPlatform;
using testing::readText;
using testing::TempFolder;
using testing::writeText;

class SettingsKeeperTest : public ::testing::Test {
protected:
    void Start(int zoom = 0) {
        form = std::make_unique<TMainForm>();
        keeper =
            std::make_unique<TSettingsKeeper>(*form, TProgramOptions{path, false, zoom},
                                              [this](const std::string& line) { warnings.push_back(line); });
        form->Handle()->show();
    }
    HeadlessWindow& window() { return static_cast<HeadlessWindow&>(*form->Handle()); }
    TSettings Saved() { return ParseSettings(readText(path), path, TSettings{}).settings; }

    HeadlessPlatform backend;
    ScopedPlatform installed{backend};
    TempFolder temp;
    std::string path = temp / "vektrion/settings.ini";
    std::vector<std::string> warnings;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TSettingsKeeper> keeper;
};

TEST_F(SettingsKeeperTest, RememberedSettingsComeThroughTheMenuCommandsAfterTheDefaults) {
    writeText(path,
              FormatSettings(TSettings{WindowGeometry{300, 200, 1300, 980, false}, true, false, true, "fr"}));
    EXPECT_EQ(RememberedLanguage(path), "fr");
    Start();
    EXPECT_TRUE(form->OptionFullScreen->Checked);
    EXPECT_TRUE(form->DXDraw->NowOptions().Contains(doFullScreen));
    EXPECT_TRUE(window().exclusive());
    EXPECT_FALSE(form->OptionSound->Checked);
    EXPECT_FALSE(form->DXSound->Initialized());
    EXPECT_TRUE(form->OptionShowFPS->Checked);
    EXPECT_EQ(window().geometry(), (WindowGeometry{300, 200, 1300, 980, false}));
    EXPECT_EQ(form->DXDraw->Surface()->Width(), 640) << "the game's display keeps its size";
    form->OptionShowFPSClick();
    EXPECT_FALSE(Saved().showFps);
    EXPECT_EQ(Saved().language, "fr") << "the language is kept as the file named it";
    EXPECT_TRUE(warnings.empty());
    form->OptionFullScreenClick();
    EXPECT_EQ(window().clientRect(), (TRect{0, 0, 640, 480}));
}

TEST_F(SettingsKeeperTest, EachChangeIsWrittenAtOnce) {
    Start();
    form->OptionShowFPS->Click();
    EXPECT_TRUE(Saved().showFps);
    window().moveTo(50, 60);
    EXPECT_EQ(Saved().window.left, 50);
    EXPECT_EQ(Saved().window.top, 60);
    form->OptionSound->Click();
    EXPECT_FALSE(Saved().sound);
    form->OptionFullScreenClick();
    EXPECT_TRUE(Saved().fullScreen);
}

TEST_F(SettingsKeeperTest, ASoundDeviceThatFailsDoesNotTurnTheRememberedSoundOff) {
    backend.recordingAudio().failures().noDevice = true;
    Start();
    ASSERT_FALSE(form->OptionSound->Checked);
    keeper->Save();
    EXPECT_TRUE(Saved().sound);
    form->OptionSound->Click();  // "Activar Sonido" asks for sound again, and fails again
    ASSERT_FALSE(form->OptionSound->Checked);
    EXPECT_TRUE(Saved().sound);
}

TEST_F(SettingsKeeperTest, AFolderThatCannotBeWrittenGivesOneWarningAndTheGameGoesOn) {
    writeText(temp / "vektrion", "a file where the folder should be");
    Start();
    form->OptionShowFPS->Click();
    form->OptionShowFPS->Click();
    keeper->Save();
    EXPECT_EQ(warnings, (std::vector<std::string>{
                            "vektrion: warning: " + path + ": not found; using the default settings",
                            "vektrion: warning: " + path +
                                ": cannot make its folder (Not a directory); the settings are not saved"}));
    EXPECT_TRUE(form->DXTimer->Enabled());
}

TEST_F(SettingsKeeperTest, AFirstStartFitsTheScreenAndZoomOverridesTheRememberedSize) {
    backend.app().screenAreas = {Bounds(0, 0, 3840, 2160)};
    Start();
    EXPECT_EQ(window().geometry(), (WindowGeometry{197, 108, 1280, 960, false}));
    EXPECT_EQ(warnings, std::vector<std::string>{"vektrion: warning: " + path +
                                                 ": not found; using the default settings"});
    keeper.reset();
    form.reset();
    writeText(path, FormatSettings(TSettings{WindowGeometry{30, 40, 1300, 980, true}, false, true, false}));
    Start(3);
    EXPECT_EQ(window().geometry(), (WindowGeometry{30, 40, 1920, 1440, false}));
}

TEST_F(SettingsKeeperTest, ResetSettingsDeletesTheFileAndStartsWithTheDefaults) {
    writeText(path, FormatSettings(TSettings{WindowGeometry{30, 40, 1300, 980, false}, false, false, true}));
    bool showFps = true;
    backend.app().post([&] {
        showFps = MainForm->OptionShowFPS->Checked;
        MainForm->GameExitClick();
    });
    TProgramOptions options;
    options.settingsPath = path;
    options.resetSettings = true;
    EXPECT_EQ(RunProgram(backend, options), 0);
    EXPECT_FALSE(showFps);
    EXPECT_EQ(Saved(), (TSettings{WindowGeometry{197, 108, 640, 480, false}, false, true, false}))
        << "written on exit";
}

}  // namespace
}  // namespace vek
