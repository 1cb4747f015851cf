// TMainForm: the game's one main window. It owns the display, frame timer, input reader,
// image list, wave list, sound device, menu bar and sprite engine, carries the menu
// commands and the handlers of the display's and the timer's events, and plays sounds.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "app/controls/bindings.hpp"
#include "app/window/dx_form.hpp"
#include "game/game_window.hpp"
#include "platform/menu.hpp"
#include "platform/toolkit/main_menu.hpp"

namespace vek {

class TCustomDXDraw;
class TCustomDXTimer;
class TDXDraw;
class TDXTimer;
class TDXInput;
class TDXImageList;
class TDXWaveList;
class TDXSound;
class TDXSpriteEngine;
class TGame;
struct TStoredEntries;

// The steps of the "Volumen" submenu, in percent.
inline constexpr int kVolumeStep = 25;

class TMainForm : public TDXForm, public TGameWindow {
public:
    // Creates the components, reads the window and them from the stored description that
    // the program carries, then runs the stored OnCreate handler (FormCreate). A
    // description that cannot be used raises EDescriptionError.
    TMainForm();
    // The same from another description (the tests' own).
    explicit TMainForm(std::span<const std::uint8_t> description);
    // Reads the description but does not run OnCreate: the window as it stands when reading
    // has ended, for measuring and fuzzing the reading alone.
    enum class TCreateStep { RunOnCreate, SkipOnCreate };
    TMainForm(std::span<const std::uint8_t> description, TCreateStep step);
    ~TMainForm() override;

    std::string_view ClassName() const override { return "TMainForm"; }

    // Components, in stored (and creation) order.
    std::unique_ptr<TDXDraw> DXDraw;
    std::unique_ptr<TDXTimer> DXTimer;
    std::unique_ptr<TDXInput> DXInput;
    std::unique_ptr<TDXImageList> ImageList;
    std::unique_ptr<TDXWaveList> DXWaveList;
    std::unique_ptr<TDXSound> DXSound;
    std::unique_ptr<platform::TMainMenu> MainMenu;
    std::unique_ptr<TDXSpriteEngine> SpriteEngine;
    // The scene machine that the tick runs.
    std::unique_ptr<TGame> Scenes;

    // Menu items.
    platform::TMenuItem* GameMenu = nullptr;
    platform::TMenuItem* GameStart = nullptr;
    platform::TMenuItem* GamePause = nullptr;
    platform::TMenuItem* GameRecords = nullptr;
    platform::TMenuItem* GameExit = nullptr;
    platform::TMenuItem* OptionMenu = nullptr;
    platform::TMenuItem* OptionFullScreen = nullptr;
    platform::TMenuItem* OptionSound = nullptr;
    platform::TMenuItem* OptionShowFPS = nullptr;
    platform::TMenuItem* OptionVolume = nullptr;
    // The items of the "Volumen" submenu, from 0 to 100 % in steps of kVolumeStep.
    std::array<platform::TMenuItem*, 5> OptionVolumeItems{};
    platform::TMenuItem* OptionAutoFire = nullptr;
    platform::TMenuItem* OptionPauseInBackground = nullptr;
    platform::TMenuItem* OptionVibration = nullptr;
    platform::TMenuItem* OptionControls = nullptr;
    platform::TMenuItem* Ayuda1 = nullptr;
    platform::TMenuItem* Controles1 = nullptr;
    platform::TMenuItem* Acercade1 = nullptr;

    // Handlers.
    void FormCreate();
    void FormDestroy();
    void FormKeyDown(std::uint16_t& key, platform::TShiftState shift);
    void GameStartClick();
    void GamePauseClick();
    void GameRecordsClick();
    void GameExitClick();
    void OptionFullScreenClick();
    void OptionSoundClick();
    void OptionShowFPSClick();
    void OptionVolumeClick(platform::TMenuItem& sender);
    void OptionAutoFireClick();
    void OptionPauseInBackgroundClick();
    void OptionVibrationClick();
    void OptionControlsClick();
    void Controles1Click();
    void Acercade1Click();
    void DXDrawInitializing(TCustomDXDraw& sender);
    void DXDrawInitialize(TCustomDXDraw& sender);
    void DXDrawFinalize(TCustomDXDraw& sender);
    void DXTimerActivate(TCustomDXTimer& sender);
    void DXTimerDeactivate(TCustomDXTimer& sender);
    void DXTimerTimer(TCustomDXTimer& sender, int lagCount);

    // The options, set rather than toggled: the menu commands and the remembered settings
    // both call these. Each sets its check mark and tells OnOptionChanged.
    void SetFullScreen(bool on);
    // A sound device that cannot be opened leaves sound off.
    void SetSound(bool on);
    void SetShowFPS(bool on);
    // The mixer's output in percent, 0 to 100; the submenu checks the step it equals.
    void SetVolume(int percent);
    int Volume() const { return volume_; }
    // While on, the ship fires in the playing scene as if the fire button were held; the
    // title and game-over screens still wait for a real press.
    void SetAutoFire(bool on);
    // The game waits while another window has the focus (the timer's and the input's ActiveOnly).
    void SetPauseInBackground(bool on);
    // A pad that can rumble does so when the ship is hit and when the boss explodes.
    void SetVibration(bool on);
    // The five actions' keys and the pad's fire button, in the input component's own tables.
    TBindings Bindings() const;
    void SetBindings(const TBindings& bindings);
    // The bindings of the stored description, which "Restablecer" puts back.
    const TBindings& StoredBindings() const { return storedBindings_; }
    // Whether a key press belongs to the menus: their shortcuts, F10 and Alt.
    bool IsMenuKey(std::uint16_t key, platform::TShiftState shift);

    // Told after an option has been set, with the check mark (or volume item) the command
    // asked for: a sound device that cannot be opened leaves "Activar Sonido" unchecked
    // although the command asked for sound. The controls dialog tells OptionControls.
    std::function<void(platform::TMenuItem& option, bool wanted)> OnOptionChanged;

    // "Récords…" runs this; nothing happens without it.
    std::function<void()> OnRecords;
    // The window's caption is its own followed by note (while a replay plays); empty: its own.
    void SetCaptionNote(const std::string& note);

    // Holds the game while a modal dialog or box of the window is open, so that nothing
    // moves behind it and nothing read meanwhile (the pad's Start) changes the game: the
    // frame timer stops and the pad's pause watcher leaves the idle slot, and both are
    // given back as they were when the hold ends. idle, when given, has the idle slot while
    // the hold lasts (a dialog that reads the pad itself). Besides the timer and the watcher
    // that it manages, a hold is the only user of the idle slot. Holds may nest.
    class TModalHold {
    public:
        explicit TModalHold(TMainForm& form, std::function<void(bool& done)> idle = nullptr);
        ~TModalHold();
        TModalHold(const TModalHold&) = delete;
        TModalHold& operator=(const TModalHold&) = delete;

    private:
        friend class TMainForm;
        TMainForm& form_;
        bool outermost_;
        std::function<void(bool& done)> idle_;
        std::function<void(bool& done)> outerIdle_;  // what an enclosing hold gave the slot
        // What the outermost hold gives back: the timer runs, the pad watcher runs.
        bool ticking_ = false;
        bool watching_ = false;
    };

    // Plays the named sound from the wave list while sound is switched on.
    void PlaySound(const std::string& name, bool wait) override;
    void Rumble(TRumble what) override;

    // What the game reaches of the window.
    TCustomDXDraw& GameDisplay() override;
    TPictureCollection& GamePictures() override;
    TCustomDXInput& GameInput() override;
    TCustomDXSpriteEngine& GameSprites() override;
    TGame& Game() override { return *Scenes; }

private:
    // The handlers the stored description may bind events to, by their names.
    THandlerTable Handlers();
    void CreateComponents();
    void CheckStoredComponents(const TStoredEntries& entries);
    void FindMenuItems(const TStoredEntries& entries);
    void DetachHandlers();
    void DrawFrameRate();
    // The caption says " [Pausado]" while the player's pause or another application holds
    // the game, and is the stored caption otherwise; a replay's note stays in both.
    void ShowPauseInCaption();

    std::string ownCaption_;   // the window's own caption, kMainCaption
    std::string captionNote_;  // what follows it while a replay plays
    bool inactive_ = false;    // another application has the foreground
    void FindOptionItems(const std::function<platform::TMenuItem*(const char*)>& find);
    void OptionChanged(platform::TMenuItem& option, bool wanted);
    void ApplyVolume();
    void ApplyAutoFire();
    // The pad's Start button pauses and resumes like "Jugar / Pausar": read at the end of a
    // tick while the game runs, and from the idle slot while it is paused.
    bool PadStartPressed();
    void WatchPadWhilePaused(bool paused);
    // Runs or stops the frame timer; while a modal hold is on, at the hold's end.
    void SetTicking(bool on);

    int volume_ = 100;
    TBindings storedBindings_;
    bool padStartHeld_ = true;
    bool padWatching_ = false;
    TModalHold* hold_ = nullptr;                // the outermost modal hold, while one is on
    std::function<void(bool& done)> holdIdle_;  // what the holds give the idle slot
};

// The one main window of the running program, or null.
extern TMainForm* MainForm;

}  // namespace vek
