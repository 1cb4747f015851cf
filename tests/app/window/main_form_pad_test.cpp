// The main window driven by a pad alone on the headless backend: the same moves through the
// menus, "Configurar controles…", "Récords…", the controls help and the About box end as the
// keyboard's do; the controls dialog binds a pad button and refuses Back and Start in the
// pad's own words; B and Back leave a replay, and the press that did it never fires.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/window/main_form.hpp"
#include "app/program.hpp"
#include "app/replays/replay_keeper.hpp"
#include "runtime/temp_folder.hpp"
#include "game/scenes.hpp"
#include "media/dxtimer.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"
#include "platform/toolkit/pad_navigation.hpp"

namespace vek {
namespace {

using platform::PadStyle;
using platform::headless::HeadlessApplication;
namespace pad = platform::pad;

// A move that only a pad makes: a button with no key (the keyboard run presses it on the pad too).
constexpr int kPadOnly = 100;

// The main window on the headless backend with a pad plugged in, at its title.
struct PadDrivenGame {
    PadDrivenGame() {
        backend.scriptedJoysticks().add(17, 3);
        app().setTitle(kApplicationTitle);
        form = std::make_unique<TMainForm>();
        form->Handle()->show();
        keeper = std::make_unique<TReplayKeeper>(*form, folder.path(), [] { return false; });
        app().setIdleAdvance(1);
        app().modalIdleLimit = 50;
        app().runFor(100, form->Handle());
    }
    ~PadDrivenGame() { keeper.reset(); }
    HeadlessApplication& app() { return backend.app(); }

    // Posts the moves from the pad (of style) or as the keys they stand for, and runs them.
    void Play(const std::vector<int>& moves, bool fromPad, PadStyle style = PadStyle::Generic) {
        for (const int move : moves) {
            if (move >= kPadOnly)
                app().postPadPress(move - kPadOnly, style);
            else if (fromPad)
                app().postPadPress(move, style);
            else
                app().postKeyPress(platform::padNavigationKey(move));
        }
        app().runFor(50, form->Handle());
    }
    // What the moves left: the dialogs and boxes shown and how they closed, the bindings, full screen.
    std::string Outcome() {
        std::string text;
        for (const auto& dialog : app().dialogs())
            text += dialog.caption + "=" + std::to_string(dialog.answer) + " ";
        for (const auto& box : app().messageBoxes())
            text += box.caption + "=" + std::to_string(box.answer) + " ";
        return text + "fire " + std::to_string(form->Options.Value().bindings.padFire) +
               (form->OptionFullScreen->Checked ? " full" : "");
    }

    platform::headless::HeadlessPlatform backend;
    platform::headless::ScopedPlatform installed{backend};
    std::unique_ptr<TMainForm> form;
    testing::TempFolder folder;
    std::unique_ptr<TReplayKeeper> keeper;
};

struct MainFormPadTest : ::testing::Test, PadDrivenGame {};

// Up from the first item of "Opciones" wraps to its last.
const std::vector<int> kToControls{pad::Back, pad::Right, pad::Down, pad::Up, pad::A};
const std::vector<int> kToPadSlot{pad::Down,  pad::Down,  pad::Down, pad::Down,
                                  pad::Right, pad::Right, pad::Right};

std::vector<int> Join(std::vector<std::vector<int>> parts) {
    std::vector<int> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(MainFormPadMoves, EndAsTheKeyboardsDo) {
    const std::vector<std::pair<std::vector<int>, std::string>> rows{
        // Fire on X, accepted (Down to Cancelar, Left to Aceptar); then on Y, cancelled.
        {Join({kToControls, kToPadSlot, {pad::A, kPadOnly + pad::X, pad::Down, pad::Left, pad::A}}),
         "Configurar controles=1 fire 2"},
        {Join({kToControls, kToPadSlot, {pad::A, kPadOnly + pad::Y, pad::B}}),
         "Configurar controles=2 fire 0"},
        // "Récords…", empty, closed with B; the controls help and the About box closed with A.
        {{pad::Back, pad::Down, pad::Down, pad::Down, pad::A, pad::B}, "Récords=2 fire 0"},
        {{pad::Back, pad::Left, pad::Down, pad::A, pad::A}, "Controles=1 fire 0"},
        {{pad::Back, pad::Left, pad::Down, pad::Up, pad::A, pad::A}, "Acerca de=1 fire 0"},
        // Full screen, and back through the menus shown over the picture.
        {{pad::Back, pad::Right, pad::Down, pad::A}, "fire 0 full"},
        {{pad::Back, pad::Right, pad::Down, pad::A, pad::Back, pad::Right, pad::Down, pad::A}, "fire 0"},
    };
    for (const auto& [moves, expected] : rows) {
        for (const bool fromPad : {false, true}) {
            PadDrivenGame run;
            run.Play(moves, fromPad);
            EXPECT_EQ(run.Outcome(), expected) << (fromPad ? "pad" : "keyboard");
        }
    }
}

TEST_F(MainFormPadTest, TheControlsDialogBindsAPadButtonAndRefusesBackAndStartInThePadsWords) {
    std::vector<std::string> status;
    const auto note = [&status, this] {
        const auto* modal = app().currentModal();
        for (const auto& control :
             modal && modal->isDialog() ? modal->dialog()->controls : std::vector<platform::DialogControl>{})
            if (control.name == "lblStatus" && (status.empty() || status.back() != control.text))
                status.push_back(control.text);
    };
    const std::vector<int> moves = Join(
        {kToControls, kToPadSlot, {pad::A, pad::Back, pad::Start, pad::X, pad::Down, pad::Left, pad::A}});
    for (const int move : moves) {
        app().postPadPress(move, PadStyle::PlayStation4);
        app().post(note);
    }
    app().runFor(50, form->Handle());
    EXPECT_EQ(form->Options.Value().bindings.padFire, pad::X);
    EXPECT_EQ(status, (std::vector<std::string>{
                          "Elija una casilla con la cruceta y cruz", "Pulse un botón del mando",
                          "Share abre el menú y no se puede asignar",
                          "Options pausa el juego y no se puede asignar", "Disparo: cuadrado"}));
}

TEST_F(MainFormPadTest, BAndBackLeaveAReplayAndThePressNeverFires) {
    TBindings bindings = form->Options.Value().bindings;
    bindings.padFire = pad::B;
    form->Options.SetBindings(bindings);
    for (const int input : {pad::B, pad::Back}) {
        form->Game().StartPlayback(TGameRecord{0, 1000, 0, {}, {}});
        app().runFor(100, form->Handle());
        ASSERT_TRUE(form->Game().PlayingBack());
        app().postPadButton(input, true);
        app().runFor(300, form->Handle());  // held on the title for a while
        EXPECT_FALSE(form->Game().PlayingBack()) << input;
        EXPECT_EQ(form->Game().Scene, scTitle) << "the press that left did not fire " << input;
        EXPECT_FALSE(form->Handle()->closed());
        app().postPadButton(input, false);
        app().runFor(50, form->Handle());
    }
    EXPECT_FALSE(static_cast<platform::headless::HeadlessWindow&>(*form->Handle()).menu().isOpen())
        << "Back left the replay instead of opening the menu bar";
}

}  // namespace
}  // namespace vek
