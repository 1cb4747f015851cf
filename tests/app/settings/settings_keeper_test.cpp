// The remembered settings and the main window on the headless backend: applied through the
// menu commands at start, menu choices written at once and moves once the window stands
// still, the sound the player asked for kept when the device fails, one warning for a file
// in the folder's place, a refused file kept aside, the player's own lines and the file's
// mode kept, a read-only file left alone, the first start's size, --zoom and --reset-settings.
#include "app/settings/settings_keeper.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/program.hpp"
#include "app/settings/settings_file.hpp"
#include "app/window/main_form.hpp"
#include "graphics/dxdraw.hpp"
#include "media/dxsound.hpp"
#include "media/dxtimer.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"
#include "runtime/messages.hpp"
#include "runtime/temp_folder.hpp"

namespace vek {
namespace {

using platform::WindowGeometry;
using platform::headless::HeadlessPlatform;
using platform::headless::HeadlessWindow;
using platform::headless::ScopedPlatform;
using testing::readText;
using testing::TempFolder;
using testing::writeText;

// Settings of the window and the three first options; the others at their defaults.
TSettings Basic(WindowGeometry window, bool fullScreen, bool sound, bool showFps) {
    TSettings settings;
    settings.window = window;
    settings.options.fullScreen = fullScreen;
    settings.options.sound = sound;
    settings.options.showFps = showFps;
    return settings;
}

class SettingsKeeperTest : public ::testing::Test {
protected:
    void Start(int zoom = 0) {
        form = std::make_unique<TMainForm>();
        keeper =
            std::make_unique<TSettingsKeeper>(*form, TSettingsOptions{path, false, zoom},
                                              [this](const std::string& line) { warnings.push_back(line); });
        form->Handle()->show();
    }
    void Stop() {
        keeper.reset();
        form.reset();
    }
    HeadlessWindow& window() { return static_cast<HeadlessWindow&>(*form->Handle()); }
    TSettings Saved() { return ParseSettings(readText(path), path, TSettings{}).settings; }
    // Time passes on the virtual clock, and the message loop turns once.
    void Wait(std::uint32_t ms) {
        backend.virtualClock().advance(ms);
        backend.app().runFor(0);
    }

    HeadlessPlatform backend;
    ScopedPlatform installed{backend};
    TempFolder temp;
    std::string path = temp / "vektrion/settings.ini";
    std::vector<std::string> warnings;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TSettingsKeeper> keeper;
};

TEST_F(SettingsKeeperTest, RememberedSettingsComeThroughTheMenuCommandsAfterTheDefaults) {
    TSettings remembered = Basic(WindowGeometry{300, 200, 1300, 980, false}, true, false, true);
    remembered.language = "fr";
    remembered.options.fitToWindow = true;
    writeText(path, FormatSettings(remembered));
    EXPECT_EQ(RememberedLanguage(path), "fr");
    Start();
    EXPECT_TRUE(form->OptionFullScreen->Checked);
    EXPECT_TRUE(form->DXDraw->NowOptions().Contains(doFullScreen));
    EXPECT_TRUE(window().exclusive());
    EXPECT_FALSE(form->OptionSound->Checked);
    EXPECT_FALSE(form->DXSound->Initialized());
    EXPECT_TRUE(form->OptionShowFPS->Checked);
    EXPECT_TRUE(form->OptionScaleFit->Checked);
    EXPECT_EQ(window().pictureScale(), platform::PictureScale::Fit);
    EXPECT_EQ(window().geometry(), (WindowGeometry{300, 200, 1300, 980, false}));
    EXPECT_EQ(form->DXDraw->Surface()->Width(), 640) << "the game's display keeps its size";
    form->OptionShowFPSClick();
    EXPECT_FALSE(Saved().options.showFps);
    EXPECT_EQ(Saved().language, "fr") << "the language is kept as the file named it";
    EXPECT_TRUE(warnings.empty());
    form->OptionFullScreenClick();
    EXPECT_EQ(window().clientRect(), (TRect{0, 0, 640, 480}));
}

TEST_F(SettingsKeeperTest, EachMenuChoiceIsWrittenAtOnceWithAPlaceThatWaits) {
    Start();
    window().moveTo(50, 60);
    form->OptionShowFPS->Click();
    EXPECT_TRUE(Saved().options.showFps);
    EXPECT_EQ(Saved().window.left, 50);
    EXPECT_EQ(Saved().window.top, 60);
    form->OptionSound->Click();
    EXPECT_FALSE(Saved().options.sound);
    form->OptionFullScreenClick();
    EXPECT_TRUE(Saved().options.fullScreen);
    form->OptionScaleFit->Click();
    EXPECT_TRUE(Saved().options.fitToWindow);
}

TEST_F(SettingsKeeperTest, MovesAreWrittenOnceTheWindowHasStoodStillForHalfASecondAndAtTheEnd) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::uint32_t, int>> moves;  // milliseconds before it, the left edge
        std::uint32_t still;
        int saved;  // the left edge in the file; 0: no file yet
    };
    std::vector<std::pair<std::uint32_t, int>> drag;
    for (int left = 1; left <= 100; ++left) drag.emplace_back(10, left);
    const Case cases[] = {
        {"a drag of 100 moves, 10 ms apart, then 499 ms still", drag, 499, 0},
        {"the same, then half a second still", drag, 500, 100},
        {"two moves 600 ms apart: the first written, the second waiting", {{0, 7}, {600, 8}}, 100, 7},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(path);
        Start();
        for (const auto& [after, left] : c.moves) {
            Wait(after);
            window().moveTo(left, 60);
        }
        Wait(c.still);
        EXPECT_EQ(std::filesystem::exists(path) ? Saved().window.left : 0, c.saved) << c.what;
        keeper->Save();  // the end of the game
        EXPECT_EQ(Saved().window.left, c.moves.back().second) << c.what;
        Stop();
    }
}

TEST_F(SettingsKeeperTest, ASoundDeviceThatFailsDoesNotTurnTheRememberedSoundOff) {
    backend.recordingAudio().failures().noDevice = true;
    Start();
    ASSERT_FALSE(form->OptionSound->Checked);
    keeper->Save();
    EXPECT_TRUE(Saved().options.sound);
    form->OptionSound->Click();  // "Activar Sonido" asks for sound again, and fails again
    ASSERT_FALSE(form->OptionSound->Checked);
    EXPECT_TRUE(Saved().options.sound);
}

TEST_F(SettingsKeeperTest, AFileWhereTheFolderShouldBeGivesOneWarningAndTheGameGoesOn) {
    writeText(temp / "vektrion", "a file where the folder should be");
    Start();
    form->OptionShowFPS->Click();
    window().moveTo(50, 60);
    Wait(TSettingsKeeper::kStillMs);
    keeper->Save();
    EXPECT_EQ(warnings,
              (std::vector<std::string>{WarningPrefix() + path + ": its folder " + temp / "vektrion" +
                                        " is a file; using the default settings, which are not saved"}));
    EXPECT_EQ(readText(temp / "vektrion"), "a file where the folder should be");
    EXPECT_TRUE(form->DXTimer->Enabled());
}

TEST_F(SettingsKeeperTest, ARefusedFileIsKeptAsBadWithOneWarningBeforeANewOneIsWritten) {
    const std::pair<std::string, std::string> cases[] = {
        {"\x89PNG\r\n\x1a\n\x01\x02", "not a settings file"},
        {"[window]\nleft=3\n", "not a settings file"},
        {std::string(kMaxSettingsFileSize + 1, '#'), "larger than 65536 bytes, not a settings file"},
    };
    for (const auto& [text, why] : cases) {
        warnings.clear();
        writeText(path, text);
        Start();
        EXPECT_EQ(warnings,
                  std::vector<std::string>{WarningPrefix() + path + ": " + why +
                                           "; kept as settings.ini.bad and using the default settings"});
        EXPECT_EQ(readText(path + ".bad"), text);
        keeper->Save();
        EXPECT_EQ(Saved(), keeper->Current());
        EXPECT_EQ(readText(path + ".bad"), text);
        Stop();
    }
}

TEST_F(SettingsKeeperTest, TheFilesOwnLinesAndModeSurviveARewriteAndAReadOnlyFileIsNeverWritten) {
    writeText(path, "# my window\nwindow_left=30\nzoom=2\nlanguage = pt\n");
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    Start();
    EXPECT_EQ(warnings, std::vector<std::string>{WarningPrefix() + path + ":3: unknown key 'zoom'; skipped"});
    form->OptionShowFPS->Click();
    EXPECT_EQ(
        readText(path),
        "# my window\nwindow_left=30\nzoom=2\nlanguage = "
        "pt\nwindow_top=108\nwindow_width=640\nwindow_height=480\n"
        "window_maximized=0\nfull_screen=0\nsound=1\nshow_fps=1\nsave_replays=1\nvolume=100\nauto_fire=0\n"
        "pause_in_background=1\nvibration=1\nattract_mode=1\npad_fire=1\nfit_to_window=0\nkeys_up=K,Up,Keypad "
        "8\nkeys_down=J,Down,Keypad 2\n"
        "keys_left=H,Left,Keypad 4\nkeys_right=L,Right,Keypad 6\nkeys_fire=Z,Space\n");
    EXPECT_EQ(Saved().language, "pt");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    Stop();

    // A file the player made read-only pins the settings: read, and never written over.
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    const std::string pinned = readText(path);
    Start();
    warnings.clear();
    keeper->Save();
    EXPECT_TRUE(warnings.empty()) << "nothing changed";
    form->OptionShowFPS->Click();
    form->OptionSound->Click();
    keeper->Save();
    EXPECT_EQ(warnings,
              std::vector<std::string>{WarningPrefix() + path +
                                       ": the file is read-only, so changes to the settings are not saved"});
    EXPECT_EQ(readText(path), pinned);
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
}

TEST_F(SettingsKeeperTest, AFirstStartFitsTheScreenAndZoomOverridesTheRememberedSize) {
    backend.app().screenAreas = {Bounds(0, 0, 3840, 2160)};
    Start();
    EXPECT_EQ(window().geometry(), (WindowGeometry{197, 108, 1280, 960, false}));
    EXPECT_TRUE(warnings.empty()) << "a first start is silent";
    Stop();
    writeText(path, FormatSettings(Basic(WindowGeometry{30, 40, 1300, 980, true}, false, true, false)));
    Start(3);
    EXPECT_EQ(window().geometry(), (WindowGeometry{30, 40, 1920, 1440, false}));
}

TEST_F(SettingsKeeperTest, AViewTooLargeForTheScreenOpensAtTheLargestZoomThatFitsAndIsRemembered) {
    const std::string reduced = WarningPrefix() +
                                "a window view of 10240 x 7680 does not fit the screen; "
                                "using 1280 x 960 (zoom 2)";
    struct Case {
        TSettings remembered;
        int zoom;
        std::string warning;
    };
    const Case cases[] = {
        {TSettings{WindowGeometry{197, 108, 10240, 7680, false}}, 0, reduced},
        {TSettings{WindowGeometry{197, 108, 640, 480, false}}, 16, reduced},
        {TSettings{WindowGeometry{197, 108, 16384, 480, false}}, 0,
         WarningPrefix() + "a window view of 16384 x 480 does not fit the screen; using 640 x 480 (zoom 1)"},
    };
    for (const Case& c : cases) {
        writeText(path, FormatSettings(c.remembered));
        warnings.clear();
        Start(c.zoom);
        EXPECT_EQ(warnings, std::vector<std::string>{c.warning});
        const TRect frame = window().frameRect();
        EXPECT_GE(frame.left, 0);
        EXPECT_LE(frame.bottom, 1080) << "the window lies on the 1920 x 1080 screen";
        keeper->Save();
        EXPECT_EQ(Saved().window, window().geometry()) << "the size used is remembered";
        keeper.reset();
        form.reset();
    }
}

TEST_F(SettingsKeeperTest, ResetSettingsDeletesTheFileAndStartsWithTheDefaults) {
    writeText(path, FormatSettings(Basic(WindowGeometry{30, 40, 1300, 980, false}, false, false, true)));
    bool showFps = true;
    backend.app().post([&] {
        showFps = MainForm->OptionShowFPS->Checked;
        MainForm->GameExitClick();
    });
    TSettingsOptions options;
    options.settingsPath = path;
    options.resetSettings = true;
    EXPECT_EQ(RunProgram(backend, options), 0);
    EXPECT_FALSE(showFps);
    EXPECT_EQ(Saved(), (Basic(WindowGeometry{197, 108, 640, 480, false}, false, true, false)))
        << "written on exit";
}

}  // namespace
}  // namespace vek
