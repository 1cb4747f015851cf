// TMainForm: the game's one main window. It owns the display, frame timer, input reader,
// image list, wave list, sound device, menu bar and sprite engine, carries the menu
// commands and the handlers of the display's and the timer's events, plays sounds, shows
// the caption, and holds the game while it is paused or a dialog is open. The player's
// options are its TGameOptions (app/window/options.hpp).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/window/dx_form.hpp"
#include "app/window/options.hpp"
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
    platform::TMenuItem* GameScreenshot = nullptr;
    platform::TMenuItem* GameExit = nullptr;
    platform::TMenuItem* OptionMenu = nullptr;
    platform::TMenuItem* OptionFullScreen = nullptr;
    // The "Escala" submenu: whole-number zoom, or fitted to the window or screen.
    platform::TMenuItem* OptionScale = nullptr;
    platform::TMenuItem* OptionScaleWhole = nullptr;
    platform::TMenuItem* OptionScaleFit = nullptr;
    platform::TMenuItem* OptionSound = nullptr;
    platform::TMenuItem* OptionShowFPS = nullptr;
    platform::TMenuItem* OptionVolume = nullptr;
    // The items of the "Volumen" submenu, in their order; each one's Tag is its volume in
    // percent, as the stored description gives it.
    std::vector<platform::TMenuItem*> OptionVolumeItems;
    platform::TMenuItem* OptionAutoFire = nullptr;
    platform::TMenuItem* OptionPauseInBackground = nullptr;
    platform::TMenuItem* OptionVibration = nullptr;
    platform::TMenuItem* OptionDemonstration = nullptr;
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
    void GameScreenshotClick();
    void GameExitClick();
    void OptionFullScreenClick();
    void OptionScaleClick(platform::TMenuItem& sender);
    void OptionSoundClick();
    void OptionShowFPSClick();
    void OptionVolumeClick(platform::TMenuItem& sender);
    void OptionAutoFireClick();
    void OptionPauseInBackgroundClick();
    void OptionVibrationClick();
    void OptionDemonstrationClick();
    void OptionControlsClick();
    void Controles1Click();
    void Acercade1Click();
    void DXDrawInitializing(TCustomDXDraw& sender);
    void DXDrawInitialize(TCustomDXDraw& sender);
    void DXDrawFinalize(TCustomDXDraw& sender);
    void DXTimerActivate(TCustomDXTimer& sender);
    void DXTimerDeactivate(TCustomDXTimer& sender);
    void DXTimerTimer(TCustomDXTimer& sender, int lagCount);

    // The player's options, which the menu commands above and the remembered settings set.
    TGameOptions Options{*this};
    // Whether a key press belongs to the menus: their shortcuts, F10 and Alt.
    bool IsMenuKey(std::uint16_t key, platform::TShiftState shift);

    // "Récords…" runs this; nothing happens without it.
    std::function<void()> OnRecords;
    // The window's caption is its own followed by note (while a replay plays); empty: its own.
    void SetCaptionNote(const std::string& note);
    // A passing message after the caption, paused or not (where a screenshot went); empty:
    // none.
    void SetCaptionMessage(const std::string& message);

    // "Guardar imagen", F12 and the Print key run this; nothing happens without it.
    std::function<void()> OnScreenshot;
    // Told of every key press the window sees before the menus act on it.
    std::function<void(std::uint16_t key, platform::TShiftState shift)> OnKeyPressed;
    // Told in each tick once the input has been read, before the scene runs, and once the
    // frame has been drawn, before it is shown.
    std::function<void()> OnInputRead;
    std::function<void()> OnFrameDrawn;

    // Holds the game while a modal dialog or box of the window is open, so that nothing
    // moves behind it and nothing read meanwhile (the pad's Start) changes the game: the
    // frame timer stops, and the idle slot is the hold's: idle, when given (a dialog that
    // reads the pad itself), else nobody's. When the last hold ends the timer is given back
    // as it was, or as the window asked meanwhile. The pause is a hold too, beneath every
    // other, whose idle reads the pad for Start. The timer and the holds are the idle
    // slot's only users. Holds may nest.
    class TModalHold {
    public:
        // Beneath every hold on: the pause's, which a dialog's hold covers while it lasts.
        enum class TPlace { OnTop, Beneath };
        explicit TModalHold(TMainForm& form, std::function<void(bool& done)> idle = nullptr,
                            TPlace place = TPlace::OnTop);
        ~TModalHold();
        TModalHold(const TModalHold&) = delete;
        TModalHold& operator=(const TModalHold&) = delete;

    private:
        friend class TMainForm;
        TMainForm& form_;
        std::function<void(bool& done)> idle_;
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
    friend class TGameOptions;
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
    // "Pausar en segundo plano" was turned off: a game behind other windows is not paused.
    void ForgetBackgroundPause();
    void FindOptionItems(const std::function<platform::TMenuItem*(const char*)>& find);
    void ApplyAutoFire();
    // The pad's Start button pauses and resumes like "Jugar / Pausar": read at the end of a
    // tick while the game runs, and by the pause's hold while it is paused.
    bool PadStartPressed();
    void WatchPadWhilePaused(bool& done);
    // Runs or stops the frame timer; while a hold is on, at the last hold's end.
    void SetTicking(bool on);
    void Hold(TModalHold& hold, TModalHold::TPlace place);
    void Release(TModalHold& hold);
    // Gives the idle slot to the topmost hold's idle, or to the timer when no hold is left.
    void GiveIdleSlot();

    std::string ownCaption_;      // the window's own caption, kMainCaption
    std::string captionNote_;     // what follows it while a replay plays
    std::string captionMessage_;  // a passing message after both (where a screenshot went)
    bool inactive_ = false;       // another application has the foreground
    bool padStartHeld_ = true;
    std::vector<TModalHold*> holds_;         // the holds that are on: the pause's first, the latest last
    bool tickingWanted_ = false;             // what the timer does when the last hold ends
    std::unique_ptr<TModalHold> pauseHold_;  // while the game is paused
};

// The one main window of the running program, or null.
extern TMainForm* MainForm;

}  // namespace vek
