// The controls dialog in the real window under a window manager: fire is bound to X through
// Opciones > "Configurar controles…" with the keyboard alone, X fires in the game, and after
// a restart that reads the settings file X still fires.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "app/settings/settings_keeper.hpp"
#include "game/player.hpp"
#include "game/scenes.hpp"
#include "media/dxtimer.hpp"
#include "runtime/temp_folder.hpp"
#include "smoke/real_main_window.hpp"
#include "smoke/sdl_events.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek {
namespace {

using platform::sdl::pause;
using platform::sdl::pushClose;
using platform::sdl::pushKey;
using platform::sdl::pushPress;

class ControlsUnderWindowManager : public RealMainWindow {
protected:
    void SetUp() override {
        if (!std::getenv("VEK_SMOKE_WINDOW_MANAGER"))
            GTEST_SKIP() << "needs a window manager (make smoke-tests)";
        RealMainWindow::SetUp();
    }

    // The main window with its settings kept in the test's own folder, as the program
    // starts it; counts the ticks of play in which the ship's shots are in flight.
    void Start() {
        if (!form) form = std::make_unique<TMainForm>();
        keeper = std::make_unique<TSettingsKeeper>(*form, TSettingsOptions{path, false, 1},
                                                   [](const std::string&) {});
        form->Handle()->show();
        firing = 0;
        playing = false;
        form->DXTimer->OnTimer = [this](TCustomDXTimer& sender, int lag) {
            form->DXTimerTimer(sender, lag);
            if (form->Game().Scene != scMain) return;
            playing = true;
            TSpriteEngine& engine = form->SpriteEngine->Engine();
            for (int i = 0; i < engine.ChildCount(); ++i)
                if (auto* player = dynamic_cast<TPlayerSprite*>(&engine.Children(i));
                    player && player->ShotCount > 0)
                    ++firing;
        };
    }
    void Stop() {
        keeper.reset();
        form.reset();
    }

    // X leaves the title; pressed again once the game runs, and held, it fires.
    void PlayWithX(Uint32 id) {
        // Held for a few ticks: the keys are read once a tick.
        pushKey(SDLK_x, KMOD_NONE, true, id);
        pause(300);
        pushKey(SDLK_x, KMOD_NONE, false, id);
        for (int i = 0; i < 50 && !playing; ++i) pause(100);
        pause(200);
        pushKey(SDLK_x, KMOD_NONE, true, id);
        pause(800);
        pushKey(SDLK_x, KMOD_NONE, false, id);
        pause(200);
        pushClose(id);
    }

    testing::TempFolder temp;
    std::string path = temp / "vektrion/settings.ini";
    std::unique_ptr<TSettingsKeeper> keeper;
    std::atomic<int> firing{0};
    std::atomic<bool> playing{false};
};

TEST_F(ControlsUnderWindowManager, FireBoundToXInTheDialogFiresAndStillFiresAfterARestart) {
    Start();
    const Uint32 id = windowId();
    std::thread script([this, id] {
        pause(800);
        pushPress(SDLK_o, KMOD_LALT, id);
        pause(150);
        pushPress(SDLK_UP, KMOD_NONE, id);  // from the first item up to the last one
        pushPress(SDLK_RETURN, KMOD_NONE, id);
        pause(1000);
        // In the dialog, which has the keyboard: down to fire's first slot, capture X, accept.
        for (int row = 0; row < 4; ++row) pushPress(SDLK_DOWN, KMOD_NONE, 0);
        pushPress(SDLK_RETURN, KMOD_NONE, 0);
        pause(150);
        pushPress(SDLK_x, KMOD_NONE, 0);
        pause(150);
        pushPress(SDLK_a, KMOD_LALT, 0);
        pause(800);
        PlayWithX(id);
    });
    Run();
    script.join();
    EXPECT_GT(firing.load(), 0) << "X did not fire after the dialog bound it";
    Stop();
    EXPECT_NE(testing::readText(path).find("\nkeys_fire=X,Space\n"), std::string::npos)
        << testing::readText(path);

    Start();
    std::thread again([this, id = windowId()] {
        pause(800);
        PlayWithX(id);
    });
    Run();
    again.join();
    EXPECT_GT(firing.load(), 0) << "X did not fire after the restart";
}

}  // namespace
}  // namespace vek
