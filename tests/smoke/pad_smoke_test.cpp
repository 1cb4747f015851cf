// A pad alone drives the real window under a window manager (`make smoke-tests` starts
// openbox): SDL's virtual game controller, plugged in before the first frame and no key
// pressed, opens the menu, watches a short kept game from "Récords…" (closing the box that
// says it stops short) back to the title,
// binds fire to X in "Configurar controles…" (and X then fires), sets the volume, goes
// full screen and back, and opens and closes the About box.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/window/about_form.hpp"
#include "game/replay_file.hpp"
#include "app/replays/replay_keeper.hpp"
#include "runtime/temp_folder.hpp"
#include "game/scenes.hpp"
#include "media/dxtimer.hpp"
#include "smoke/real_main_window.hpp"
#include "smoke/sdl_events.hpp"

namespace vek {
namespace {

using platform::sdl::NewWindow;
using platform::sdl::pause;
using platform::sdl::waitFor;

// A game controller SDL maps by itself: button i is SDL's button i.
class VirtualController {
public:
    VirtualController() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "virtual pad";
        stick_ = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
    }
    ~VirtualController() {
        if (stick_) SDL_JoystickClose(stick_);
    }
    VirtualController(const VirtualController&) = delete;
    VirtualController& operator=(const VirtualController&) = delete;
    bool plugged() const { return stick_ != nullptr; }
    // Pressed, held a moment, let go, and a moment for the window to answer.
    void press(SDL_GameControllerButton button, int heldMs = 80) {
        SDL_JoystickSetVirtualButton(stick_, button, 1);
        pause(heldMs);
        SDL_JoystickSetVirtualButton(stick_, button, 0);
        pause(150);
    }
    void presses(std::initializer_list<SDL_GameControllerButton> buttons) {
        for (const auto button : buttons) press(button);
    }

private:
    SDL_Joystick* stick_ = nullptr;
};

class PadUnderWindowManager : public RealMainWindow {
protected:
    void SetUp() override {
        if (!std::getenv("VEK_SMOKE_WINDOW_MANAGER"))
            GTEST_SKIP() << "needs a window manager (make smoke-tests)";
        RealMainWindow::SetUp();
    }
};

TEST_F(PadUnderWindowManager, APadAloneReachesEveryScreen) {
    const testing::TempFolder home;
    TReplayFile kept{"Vektrion", "2025-05-01T12:34:56Z", "Ana", {}};
    kept.Record.Ticks = 20;  // ends before its first state check
    testing::writeText(home / "short.vkreplay", FormatReplay(kept));
    TReplayKeeper keeper(*form, home.path(), [] { return false; });
    VirtualController pad;
    ASSERT_TRUE(pad.plugged()) << SDL_GetError();
    TMainForm& form = *this->form;
    std::atomic<int> ticks{0}, scene{scTitle}, fire{0};
    std::atomic<bool> playing{false}, watched{false}, aboutUp{false};
    form.DXTimer->OnTimer = [&](TCustomDXTimer& sender, int lag) {
        form.DXTimerTimer(sender, lag);
        ++ticks;
        scene = form.Game().Scene;
        playing = form.Game().PlayingBack();
        watched = watched || playing;
        aboutUp = frmAcercaDe != nullptr;
        fire = form.Options.Value().bindings.padFire;
    };
    NewWindow shown;
    shown.main = windowId();
    SDL_AddEventWatch(&NewWindow::watch, &shown);
    std::atomic<bool> listed{false}, messageBox{false}, ended{false}, controls{false}, bound{false},
        fired{false}, about{false}, aboutClosed{false};
    std::atomic<int> volume{-1};
    std::atomic<bool> full{false}, windowed{false};
    std::thread script([&] {
        using B = SDL_GameControllerButton;
        const B back = SDL_CONTROLLER_BUTTON_BACK, a = SDL_CONTROLLER_BUTTON_A,
                down = SDL_CONTROLLER_BUTTON_DPAD_DOWN, up = SDL_CONTROLLER_BUTTON_DPAD_UP,
                left = SDL_CONTROLLER_BUTTON_DPAD_LEFT, right = SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
        waitFor([&] { return ticks > 10; }, 10000);
        pad.presses({back, down, down, down, a});  // "Juego", "Récords…"
        listed = waitFor([&] { return shown.box != 0; }, 5000);
        shown.box = 0;
        pad.press(a);  // "Ver"
        // The kept game is too short to be the whole game: a box says so, and A closes it.
        messageBox = waitFor([&] { return shown.box != 0; }, 20000);
        pad.press(a);
        ended = waitFor([&] { return watched && !playing; }, 3000);
        shown.box = 0;
        pad.presses({back, right, down, up, a});  // "Opciones", its last: "Configurar controles…"
        controls = waitFor([&] { return shown.box != 0; }, 5000);
        pad.presses({down, down, down, down, right, right, right, a, SDL_CONTROLLER_BUTTON_X, down, left, a});
        bound = waitFor([&] { return fire == 2; }, 3000);
        pad.press(SDL_CONTROLLER_BUTTON_X, 300);  // fire leaves the title
        fired = waitFor([&] { return scene == scMain; }, 3000);
        pad.presses({back, right, down, down, down, down, down, right, a});  // "Volumen", "0 %"
        volume = waitFor([&] { return form.Options.Value().volume == 0; }, 2000) ? 0 : form.Options.Value().volume;
        pad.presses({back, right, down, a});  // "Pantalla completa"
        full = waitFor([&] { return form.OptionFullScreen->Checked; }, 3000);
        pause(500);
        pad.presses({back, right, down, a});  // the menus over the full-screen picture
        windowed = waitFor([&] { return !form.OptionFullScreen->Checked; }, 3000);
        pause(500);
        pad.presses({back, left, down, up, a});  // "Ayuda", its last: "Acerca de.."
        about = waitFor([&] { return aboutUp.load(); }, 5000);
        pad.press(a);
        aboutClosed = waitFor([&] { return !aboutUp; }, 3000);
        pause(200);
        platform::sdl::pushClose(shown.main);
    });
    Run();
    script.join();
    SDL_DelEventWatch(&NewWindow::watch, &shown);
    EXPECT_TRUE(listed) << "Back, the d-pad and A did not open the table";
    EXPECT_TRUE(watched) << "A in the table did not watch the game";
    EXPECT_TRUE(messageBox) << "no box told why the kept game ended";
    EXPECT_TRUE(ended) << "the kept game did not end";
    EXPECT_TRUE(controls) << "the controls dialog did not open";
    EXPECT_TRUE(bound) << "fire is on button " << fire;
    EXPECT_TRUE(fired) << "X did not leave the title";
    EXPECT_EQ(volume, 0);
    EXPECT_TRUE(full) << "no full screen";
    EXPECT_TRUE(windowed) << "full screen was not left";
    EXPECT_TRUE(about) << "the About box did not open";
    EXPECT_TRUE(aboutClosed) << "A did not close the About box";
}

}  // namespace
}  // namespace vek
