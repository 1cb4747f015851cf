// The player's options: one value of what the "Opciones" menu and the controls dialog set
// and the settings file remembers, and the main window's setters that put each into
// effect, which the menu commands and the remembered settings share.
#pragma once

#include <functional>

#include "app/controls/bindings.hpp"

namespace vek {

class TMainForm;

struct TOptions {
    bool fullScreen = false;
    // The picture fitted to the window's view or the screen and smoothed, rather than shown
    // at the largest whole-number zoom ("Escala").
    bool fitToWindow = false;
    // The sound the player asked for: a sound device that cannot be opened leaves
    // "Activar Sonido" unchecked and this as it was asked.
    bool sound = true;
    bool showFps = false;
    // The mixer's output in percent, 0 to 100.
    int volume = 100;
    // While on, the ship fires in the playing scene as if the fire button were held; the
    // title and game-over screens still wait for a real press.
    bool autoFire = false;
    // The game waits while another window has the focus (the timer's and the input's ActiveOnly).
    bool pauseInBackground = true;
    // A pad that can rumble does so when the ship is hit and when the boss explodes.
    bool vibration = true;
    // The title plays a recorded game after a while without input (TAttractMode).
    bool attractMode = true;
    // The five actions' keys and the pad's fire button.
    TBindings bindings = bindingsFromTable(defaultKeyAssigns(), 0);
    friend bool operator==(const TOptions&, const TOptions&) = default;
};

// The main window's options. Each setter sets the option rather than toggling it, puts it
// into effect on the window's components and its menu's check marks, and tells OnChanged.
class TGameOptions {
public:
    explicit TGameOptions(TMainForm& form) : form_(form) {}
    TGameOptions(const TGameOptions&) = delete;
    TGameOptions& operator=(const TGameOptions&) = delete;

    // Takes the options as the stored description left the menu's check marks and the input
    // component's bindings, once it has been read.
    void Load();
    const TOptions& Value() const { return value_; }
    // The bindings of the stored description, which "Restablecer" puts back.
    const TBindings& StoredBindings() const { return storedBindings_; }

    // Sets every option, full screen first. Sound is only ever turned off here: a sound
    // device that failed at start is not tried a second time.
    void Set(const TOptions& options);
    // The display is built again only when it is not already up in the mode asked for.
    void SetFullScreen(bool on);
    // How the picture fills the window's view and the screen; "Escala" checks one of its two.
    void SetFitToWindow(bool on);
    // A sound device that cannot be opened leaves sound off in the menu.
    void SetSound(bool on);
    void SetShowFPS(bool on);
    // Clamped to 0 to 100; the "Volumen" submenu checks the item whose Tag it equals.
    void SetVolume(int percent);
    void SetAutoFire(bool on);
    // Takes effect at once, the same from the settings file before the window is in front
    // as from the menu: the timer runs without the focus, or waits for it.
    void SetPauseInBackground(bool on);
    void SetVibration(bool on);
    void SetAttractMode(bool on);
    // The keys and pad button go into the input component's own tables.
    void SetBindings(const TBindings& bindings);

    // Told after an option has been set.
    std::function<void()> OnChanged;

private:
    void Changed();
    void ApplyVolume();

    TMainForm& form_;
    TOptions value_;
    TBindings storedBindings_;
};

}  // namespace vek
