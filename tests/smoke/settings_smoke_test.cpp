// Every remembered setting at a value other than its default, written to the settings file
// before the start, in the real window under a window manager: the game starts, the title
// moves, the fire key starts a game that then runs, and the setting is in effect.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/settings/settings_keeper.hpp"
#include "game/player.hpp"
#include "game/scenes.hpp"
#include "graphics/dxdraw.hpp"
#include "media/dxinput.hpp"
#include "media/dxsound.hpp"
#include "media/dxtimer.hpp"
#include "runtime/temp_folder.hpp"
#include "runtime/translation.hpp"
#include "runtime/version.hpp"
#include "smoke/real_main_window.hpp"
#include "smoke/sdl_events.hpp"
#include "smoke/window_placement.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek {
namespace {

using platform::sdl::pause;
using platform::sdl::pushClose;
using platform::sdl::pushKey;

// A line of the settings file, the key that fires with it, and whether its effect shows,
// asked at every tick of play.
struct SettingRow {
    const char* line;
    std::function<bool(TMainForm& form, const TSettingsKeeper& keeper)> inEffect;
    SDL_Keycode fire = SDLK_SPACE;
};

// What a run saw, recorded on the user-interface thread.
struct SettingRun {
    int titleTicks = 0;
    int titleChanges = 0;  // title frames unlike the one before
    int playingTicks = 0;
    bool effectSeen = false;
    bool closedByWatchdog = false;
    std::vector<std::string> warnings;
};

// A coarse hash of the picture on the back surface, enough to tell whether the title moved.
std::uint64_t PictureHash(TDirectDrawSurface& surface) {
    std::uint64_t hash = 1469598103934665603ull;
    for (int y = 4; y < 480; y += 16)
        for (int x = 4; x < 640; x += 16) hash = (hash ^ surface.GetPixel(x, y)) * 1099511628211ull;
    return hash;
}

// Whether the frame-rate text is on the picture: white at its top-left corner.
bool FrameRateShown(TMainForm& form) {
    TDirectDrawSurface& surface = *form.DXDraw->Surface();
    int white = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 60; ++x) white += (surface.GetPixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
    return white > 10;
}

bool ShipFiring(TMainForm& form) {
    TSpriteEngine& engine = form.SpriteEngine->Engine();
    for (int i = 0; i < engine.ChildCount(); ++i)
        if (auto* player = dynamic_cast<TPlayerSprite*>(&engine.Children(i)); player && player->ShotCount > 0)
            return true;
    return false;
}

// The frame's left and top edges on the screen, and the size of the view below the menu strip.
Placement FramePlace(TMainForm& form) {
    SDL_Window* window = static_cast<platform::sdl::SdlWindow&>(*form.Handle()).sdlWindow();
    constexpr int kMenuStrip = 20;
    int top = 0, left = 0;
    SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr);
    const Placement client = placementOf(window);
    return {client.x - left, client.y - top, client.w, client.h - kMenuStrip};
}

bool VolumeChecked(TMainForm& form, int percent) {
    return form.Options.Value().volume == percent &&
           std::any_of(
               form.OptionVolumeItems.begin(), form.OptionVolumeItems.end(),
               [percent](const platform::TMenuItem* item) { return item->Tag == percent && item->Checked; });
}

bool Binds(TMainForm& form, int action, std::int32_t key) {
    return form.Options.Value().bindings.keys[std::size_t(action)][0] == key;
}

const SettingRow kRows[] = {
    {"window_left=300", [](TMainForm& f, auto&) { return FramePlace(f).x == 300; }},
    {"window_top=200", [](TMainForm& f, auto&) { return FramePlace(f).y == 200; }},
    {"window_width=800", [](TMainForm& f, auto&) { return FramePlace(f).w == 800; }},
    {"window_height=600", [](TMainForm& f, auto&) { return FramePlace(f).h == 600; }},
    {"window_maximized=1",
     [](TMainForm& f, auto&) {
         auto& window = static_cast<platform::sdl::SdlWindow&>(*f.Handle());
         return (SDL_GetWindowFlags(window.sdlWindow()) & SDL_WINDOW_MAXIMIZED) != 0;
     }},
    {"full_screen=1",
     [](TMainForm& f, auto&) {
         return f.OptionFullScreen->Checked &&
                static_cast<platform::sdl::SdlWindow&>(*f.Handle()).exclusive();
     }},
    {"sound=0", [](TMainForm& f, auto&) { return !f.OptionSound->Checked && !f.DXSound->Initialized(); }},
    {"show_fps=1", [](TMainForm& f, auto&) { return f.OptionShowFPS->Checked && FrameRateShown(f); }},
    {"save_replays=0", [](TMainForm&, const TSettingsKeeper& k) { return !k.SaveReplays(); }},
    {"volume=0", [](TMainForm& f, auto&) { return VolumeChecked(f, 0); }},
    {"volume=25", [](TMainForm& f, auto&) { return VolumeChecked(f, 25); }},
    {"volume=50", [](TMainForm& f, auto&) { return VolumeChecked(f, 50); }},
    {"volume=75", [](TMainForm& f, auto&) { return VolumeChecked(f, 75); }},
    {"auto_fire=1", [](TMainForm& f, auto&) { return f.OptionAutoFire->Checked && ShipFiring(f); }},
    {"pause_in_background=0",
     [](TMainForm& f, auto&) { return !f.OptionPauseInBackground->Checked && !f.DXTimer->ActiveOnly(); }},
    {"vibration=0", [](TMainForm& f, auto&) { return !f.OptionVibration->Checked; }},
    {"pad_fire=0", [](TMainForm& f, auto&) { return f.Options.Value().bindings.padFire == -1; }},
    {"pad_fire=4", [](TMainForm& f, auto&) { return f.Options.Value().bindings.padFire == 3; }},
    {"keys_up=W", [](TMainForm& f, auto&) { return Binds(f, 0, 'W'); }},
    {"keys_down=S", [](TMainForm& f, auto&) { return Binds(f, 1, 'S'); }},
    {"keys_left=A", [](TMainForm& f, auto&) { return Binds(f, 2, 'A'); }},
    {"keys_right=D", [](TMainForm& f, auto&) { return Binds(f, 3, 'D'); }},
    {"keys_fire=X", [](TMainForm& f, auto&) { return Binds(f, kFireAction, 'X'); }, SDLK_x},
    {"language=fr", [](TMainForm& f, auto&) { return f.GameMenu->Caption == "&Jeu"; }},
};

class SettingsUnderWindowManager : public RealMainWindow {
protected:
    void SetUp() override {
        if (!std::getenv("VEK_SMOKE_WINDOW_MANAGER"))
            GTEST_SKIP() << "needs a window manager (make smoke-tests)";
        RealMainWindow::SetUp();
        form.reset();
    }
    void TearDown() override {
        keeper.reset();
        RealMainWindow::TearDown();
        RestoreLanguage();
    }

    // The language chosen for a row goes into the environment, where the programs that
    // later tests start would find it: the test's own is put back.
    void RestoreLanguage() {
        useLanguages("", "");
        if (language)
            setenv("LANGUAGE", language->c_str(), 1);
        else
            unsetenv("LANGUAGE");
    }

    // Starts the program's way with the row's line in the settings file (the language
    // first, then the window and the settings), plays until the effect shows or a second
    // and a half of play has passed, and closes the window.
    SettingRun Play(const SettingRow& row) {
        Reopen();
        testing::writeText(path, std::string(row.line) + "\n");
        const TSettingsOptions options{path, false, 0};
        ChooseLanguage(options, VEKTRION_EXE);
        form = std::make_unique<TMainForm>();
        SettingRun run;
        keeper = std::make_unique<TSettingsKeeper>(
            *form, options, [&run](const std::string& line) { run.warnings.push_back(line); });
        Watch(row, run);
        std::atomic<bool> ended{false};
        std::thread watchdog([this, &ended, &run, id = windowId()] {
            for (int i = 0; i < 100 && !ended; ++i) pause(50);
            if (!ended) {
                run.closedByWatchdog = true;
                pushClose(id);
            }
        });
        Run();
        ended = true;
        watchdog.join();
        keeper.reset();
        form.reset();
        RestoreLanguage();
        return run;
    }

    // A backend of its own for each start, as a new run of the program has: the
    // application is not active until its window is shown.
    void Reopen() {
        backend.reset();
        platform::install(nullptr);
        std::string error;
        backend = platform::sdl::SdlPlatform::open(error);
        ASSERT_TRUE(backend) << error;
        platform::install(backend.get());
        backend->application().setTitle(kApplicationTitle);
    }

    // Each tick: the title moves a few frames, the row's fire key starts a game and is let
    // go once play runs, then the effect is looked for at every tick of play.
    void Watch(const SettingRow& row, SettingRun& run) {
        form->DXTimer->OnTimer = [this, &row, &run, hash = std::uint64_t{0}](TCustomDXTimer& sender,
                                                                             int lag) mutable {
            form->DXTimerTimer(sender, lag);
            const Uint32 id = windowId();
            if (form->Game().Scene == scTitle && run.playingTicks == 0) {
                const std::uint64_t now = PictureHash(*form->DXDraw->Surface());
                run.titleChanges += ++run.titleTicks > 1 && now != hash;
                hash = now;
                if (run.titleChanges == 2) pushKey(row.fire, KMOD_NONE, true, id);
                return;
            }
            if (form->Game().Scene != scMain) return;
            if (run.playingTicks++ == 0) pushKey(row.fire, KMOD_NONE, false, id);
            run.effectSeen = run.effectSeen || row.inEffect(*form, *keeper);
            if ((run.effectSeen && run.playingTicks >= 5) || run.playingTicks >= 45) form->GameExitClick();
        };
    }

    testing::TempFolder temp;
    std::string path = temp / "vektrion/settings.ini";
    std::unique_ptr<TSettingsKeeper> keeper;
    const std::optional<std::string> language =
        std::getenv("LANGUAGE") ? std::optional<std::string>(std::getenv("LANGUAGE")) : std::nullopt;
};

TEST_F(SettingsUnderWindowManager, EachSettingFromTheFileStartsAPlayableGameWithTheSettingInEffect) {
    for (const SettingRow& row : kRows) {
        const SettingRun run = Play(row);
        EXPECT_GE(run.titleChanges, 2) << row.line << ": the title did not move";
        EXPECT_GE(run.playingTicks, 5) << row.line << ": no game was played";
        EXPECT_TRUE(run.effectSeen) << row.line << ": the setting is not in effect";
        EXPECT_FALSE(run.closedByWatchdog) << row.line;
        EXPECT_TRUE(run.warnings.empty()) << row.line << ": " << run.warnings.front();
    }
}

}  // namespace
}  // namespace vek
