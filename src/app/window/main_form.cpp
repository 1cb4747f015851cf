// The main window's creation from its stored description, its menu and its handlers, its
// tick and its caption.
#include "app/window/main_form.hpp"

#include "app/controls/controls_form.hpp"
#include "app/window/about_form.hpp"
#include "assets/description_reader.hpp"
#include "assets/embedded_description.hpp"
#include "game/scenes.hpp"
#include "graphics/dxdraw.hpp"
#include "graphics/image_list.hpp"
#include "media/dxinput.hpp"
#include "media/dxsound.hpp"
#include "media/dxtimer.hpp"
#include "media/wave_list.hpp"
#include "platform/joystick.hpp"
#include "platform/platform.hpp"
#include "runtime/translation.hpp"
#include "runtime/version.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek {

TMainForm* MainForm = nullptr;

namespace {

using platform::TMenuItem;

// Wraps a handler that needs no sender as a menu item's click.
platform::TMenuEvent click(TMainForm* form, void (TMainForm::*handler)()) {
    return [form, handler](TMenuItem&) { (form->*handler)(); };
}

struct TRumbleFeel {
    std::uint16_t strength;
    std::uint32_t ms;
};

TRumbleFeel FeelOf(TRumble what) {
    return what == TRumble::BossExploded ? TRumbleFeel{0xFFFF, 600} : TRumbleFeel{0xC000, 250};
}

}  // namespace

TMainForm::TMainForm() : TMainForm(EmbeddedDescription()) {}

TMainForm::TMainForm(std::span<const std::uint8_t> description)
    : TMainForm(description, TCreateStep::RunOnCreate) {}

TMainForm::TMainForm(std::span<const std::uint8_t> description, TCreateStep step) : TDXForm(nullptr) {
    SetName("MainForm");
    MainForm = this;
    try {
        CreateComponents();
        const TStoredEntries entries = ReadDescription(description, *this, Handlers());
        CheckStoredComponents(entries);
        FindMenuItems(entries);
    } catch (...) {
        MainForm = nullptr;
        throw;
    }
    // The caption names the version of project() in CMakeLists.txt, so the description
    // does not; the window shows it again when the game runs after a pause.
    ownCaption_ = kMainCaption;
    Handle()->setCaption(ownCaption_);
    Options.Load();
    if (step == TCreateStep::SkipOnCreate) return;
    // An error in the creation handler is shown like any error of an event handler.
    try {
        DoCreate();
    } catch (const std::exception& error) {
        platform::current().application().handleException(error);
    }
}

TMainForm::~TMainForm() {
    DoDestroy();
    // A paused game's hold gives the idle slot back while the timer is still there.
    pauseHold_.reset();
    DetachHandlers();
    // The window outlives the components and keeps only a reference to the menu bar; the
    // display's finalisation may still redraw the window (leaving full screen).
    if (Handle()) Handle()->setMenu(nullptr);
    if (MainForm == this) MainForm = nullptr;
}

// The components, in stored order; their settings come from the stored description.
void TMainForm::CreateComponents() {
    DXDraw = std::make_unique<TDXDraw>(this);
    DXTimer = std::make_unique<TDXTimer>(this);
    DXInput = std::make_unique<TDXInput>(this);
    ImageList = std::make_unique<TDXImageList>(this);
    DXWaveList = std::make_unique<TDXWaveList>(this);
    DXSound = std::make_unique<TDXSound>(this);
    MainMenu = std::make_unique<platform::TMainMenu>(this);
    SpriteEngine = std::make_unique<TDXSpriteEngine>(this);
    DXDraw->SetName("DXDraw");
    DXTimer->SetName("DXTimer");
    DXInput->SetName("DXInput");
    ImageList->SetName("ImageList");
    DXWaveList->SetName("DXWaveList");
    DXSound->SetName("DXSound");
    MainMenu->SetName("MainMenu");
    SpriteEngine->SetName("SpriteEngine");
    Scenes = std::make_unique<TGame>(*this);
}

// The window's code uses every component it creates: a description that leaves one out
// would fail later, at every tick, so it is refused at the end of the stored entries.
void TMainForm::CheckStoredComponents(const TStoredEntries& entries) {
    for (int i = 0; i < ComponentCount(); ++i) {
        const std::string& name = Components(i)->Name();
        if (!entries.Starts.contains(name))
            throw EDescriptionError(name, {}, entries.End, "the description does not store this component");
    }
}

// The menu items the handlers use must be in the stored menu; a missing one is refused at
// the menu's entry.
void TMainForm::FindMenuItems(const TStoredEntries& entries) {
    const std::size_t menuEntry = entries.Starts.at(MainMenu->Name());
    auto find = [this, menuEntry](const char* name) {
        TMenuItem* item = MainMenu->FindItem(name);
        if (!item)
            throw EDescriptionError(MainMenu->Name(), "Items", menuEntry,
                                    std::string("the menu has no item ") + name);
        return item;
    };
    GameMenu = find("GameMenu");
    GameStart = find("GameStart");
    GamePause = find("GamePause");
    GameRecords = find("GameRecords");
    GameScreenshot = find("GameScreenshot");
    GameExit = find("GameExit");
    OptionMenu = find("OptionMenu");
    OptionFullScreen = find("OptionFullScreen");
    OptionSound = find("OptionSound");
    OptionShowFPS = find("OptionShowFPS");
    Ayuda1 = find("Ayuda1");
    Controles1 = find("Controles1");
    Acercade1 = find("Acercade1");
    OptionDemonstration = find("OptionDemonstration");
    FindOptionItems(find);
}

THandlerTable TMainForm::Handlers() {
    THandlerTable table;
    table.Add("FormCreate", platform::TFormEvent([this] { FormCreate(); }));
    table.Add("FormDestroy", platform::TFormEvent([this] { FormDestroy(); }));
    table.Add("FormKeyDown", platform::TKeyEvent([this](std::uint16_t& key, platform::TShiftState shift) {
                  FormKeyDown(key, shift);
              }));
    table.Add("GameStartClick", click(this, &TMainForm::GameStartClick));
    table.Add("GamePauseClick", click(this, &TMainForm::GamePauseClick));
    table.Add("GameRecordsClick", click(this, &TMainForm::GameRecordsClick));
    table.Add("GameScreenshotClick", click(this, &TMainForm::GameScreenshotClick));
    table.Add("GameExitClick", click(this, &TMainForm::GameExitClick));
    table.Add("OptionFullScreenClick", click(this, &TMainForm::OptionFullScreenClick));
    table.Add("OptionScaleClick", platform::TMenuEvent([this](TMenuItem& item) { OptionScaleClick(item); }));
    table.Add("OptionSoundClick", click(this, &TMainForm::OptionSoundClick));
    table.Add("OptionShowFPSClick", click(this, &TMainForm::OptionShowFPSClick));
    table.Add("OptionVolumeClick",
              platform::TMenuEvent([this](TMenuItem& item) { OptionVolumeClick(item); }));
    table.Add("OptionAutoFireClick", click(this, &TMainForm::OptionAutoFireClick));
    table.Add("OptionPauseInBackgroundClick", click(this, &TMainForm::OptionPauseInBackgroundClick));
    table.Add("OptionVibrationClick", click(this, &TMainForm::OptionVibrationClick));
    table.Add("OptionDemonstrationClick", click(this, &TMainForm::OptionDemonstrationClick));
    table.Add("OptionControlsClick", click(this, &TMainForm::OptionControlsClick));
    table.Add("Controles1Click", click(this, &TMainForm::Controles1Click));
    table.Add("Acercade1Click", click(this, &TMainForm::Acercade1Click));
    table.Add("DXDrawInitializing", TDXDrawEvent([this](TCustomDXDraw& s) { DXDrawInitializing(s); }));
    table.Add("DXDrawInitialize", TDXDrawEvent([this](TCustomDXDraw& s) { DXDrawInitialize(s); }));
    table.Add("DXDrawFinalize", TDXDrawEvent([this](TCustomDXDraw& s) { DXDrawFinalize(s); }));
    table.Add("DXTimerActivate", TDXTimerNotifyEvent([this](TCustomDXTimer& s) { DXTimerActivate(s); }));
    table.Add("DXTimerDeactivate", TDXTimerNotifyEvent([this](TCustomDXTimer& s) { DXTimerDeactivate(s); }));
    table.Add("DXTimerTimer", TDXTimerEvent([this](TCustomDXTimer& s, int lag) { DXTimerTimer(s, lag); }));
    return table;
}

// Closing runs FormDestroy; the components then go in reverse order of creation, so
// their events must no longer reach handlers that use components already gone.
void TMainForm::DetachHandlers() {
    if (DXDraw) {
        DXDraw->OnInitializing = nullptr;
        DXDraw->OnInitialize = nullptr;
        DXDraw->OnFinalize = nullptr;
    }
    if (DXTimer) {
        DXTimer->OnActivate = nullptr;
        DXTimer->OnDeactivate = nullptr;
        DXTimer->OnTimer = nullptr;
    }
}

void TMainForm::FormCreate() {
    ImageList->Items().MakeColorTable();
    DXDraw->ColorTable = ImageList->Items().ColorTable;
    DXDraw->DefColorTable = ImageList->Items().ColorTable;
    DXDraw->UpdatePalette();

    Options.SetFullScreen(false);
    Options.SetSound(true);

    GameStartClick();
}

void TMainForm::FormDestroy() {
    if (DXTimer) SetTicking(false);
}

// Escape leaves a replay for the title, and so do the pad's B and Back; the game's own keys
// do nothing while one plays. The key that left is used up: the pad's button that gave it
// stays the window's until let go, so the title does not take it for fire.
void TMainForm::FormKeyDown(std::uint16_t& key, platform::TShiftState shift) {
    namespace vk = platform::vk;
    if (OnKeyPressed) OnKeyPressed(key, shift);
    if ((shift & platform::ssAlt) && key == vk::Return) OptionFullScreenClick();
    // Print keeps a picture as F12 does; F12 is the menu's own shortcut.
    if (key == vk::Snapshot && shift == 0) GameScreenshotClick();
    // Escape, and the pad's B or Back, leave a replay for the title; the game's own keys do
    // nothing while one plays.
    const bool fromPad = (shift & platform::ssPad) != 0;
    const bool leaves = (shift & ~platform::ssPad) == 0 && (key == vk::Escape || (fromPad && key == vk::F10));
    if (leaves && Scenes->PlayingBack()) {
        Scenes->StopPlayback();
        key = 0;
    }
}

void TMainForm::GameStartClick() {
    Scenes->StartScene(scTitle);
}

void TMainForm::GameRecordsClick() {
    if (OnRecords) OnRecords();
}

void TMainForm::GameScreenshotClick() {
    if (OnScreenshot) OnScreenshot();
}

void TMainForm::SetCaptionNote(const std::string& note) {
    captionNote_ = note;
    ShowPauseInCaption();
}

void TMainForm::SetCaptionMessage(const std::string& message) {
    captionMessage_ = message;
    ShowPauseInCaption();
}

void TMainForm::GameExitClick() {
    Handle()->close();
}

// The menu commands toggle what their check mark shows.
void TMainForm::OptionFullScreenClick() {
    Options.SetFullScreen(!OptionFullScreen->Checked);
}

void TMainForm::OptionScaleClick(TMenuItem& sender) {
    Options.SetFitToWindow(&sender == OptionScaleFit);
}

void TMainForm::OptionSoundClick() {
    Options.SetSound(!OptionSound->Checked);
}

void TMainForm::OptionShowFPSClick() {
    Options.SetShowFPS(!OptionShowFPS->Checked);
}

void TMainForm::OptionVolumeClick(TMenuItem& sender) {
    Options.SetVolume(sender.Tag);
}

void TMainForm::OptionAutoFireClick() {
    Options.SetAutoFire(!OptionAutoFire->Checked);
}

void TMainForm::OptionPauseInBackgroundClick() {
    Options.SetPauseInBackground(!OptionPauseInBackground->Checked);
}

void TMainForm::OptionVibrationClick() {
    Options.SetVibration(!OptionVibration->Checked);
}

void TMainForm::OptionDemonstrationClick() {
    Options.SetAttractMode(!OptionDemonstration->Checked);
}

// The game is held while the dialog is up, so that the keys and pad buttons pressed in it
// move nothing.
void TMainForm::OptionControlsClick() {
    TfrmControles dialog(
        this, Options.Value().bindings, Options.StoredBindings(),
        [this](std::uint16_t key, platform::TShiftState shift) { return IsMenuKey(key, shift); });
    bool accepted = false;
    {
        const TModalHold hold(*this);
        accepted = dialog.ShowModal() == platform::mrOk;
    }
    if (accepted) Options.SetBindings(dialog.Bindings());
}

bool TMainForm::IsMenuKey(std::uint16_t key, platform::TShiftState shift) {
    namespace vk = platform::vk;
    if (shift & platform::ssAlt) return true;
    if (key == vk::F10 || key == vk::Menu || key == vk::LMenu || key == vk::RMenu) return true;
    if (key == vk::Snapshot) return true;  // keeps a picture, as F12 does
    return MainMenu->Bar().FindShortCut(key) != nullptr;
}

void TMainForm::Controles1Click() {
    const TModalHold hold(*this);
    const TMenuShortcuts shortcuts{GameStart->ShortCut, GamePause->ShortCut, OptionFullScreen->ShortCut,
                                   GameScreenshot->ShortCut};
    auto& application = platform::current().application();
    application.messageBox(controlsHelpText(Options.Value().bindings, shortcuts, application.padInUse()),
                           tr("Controles"), platform::MB_OK | platform::MB_ICONINFORMATION);
}

// The one box behind which the game goes on: its modal loop is the application's own, and
// the idle slot stays with the timer (or, paused, with the pause), so it takes no modal hold.
void TMainForm::Acercade1Click() {
    const auto box = std::make_unique<TfrmAcercaDe>(this);
    frmAcercaDe = box.get();
    box->ShowModal();
}

// Windowed, the frame can be resized and maximised: the picture is zoomed to fit it.
void TMainForm::DXDrawInitializing(TCustomDXDraw& sender) {
    const bool fullScreen = sender.Options().Contains(doFullScreen);
    Handle()->setBorderStyle(fullScreen ? platform::BorderStyle::bsNone : platform::BorderStyle::bsSizeable);
    Handle()->setCursorVisible(!fullScreen);
}

// A game the player paused stays paused through a change of display.
void TMainForm::DXDrawInitialize(TCustomDXDraw&) {
    SetTicking(!GamePause->Checked);
}

void TMainForm::DXDrawFinalize(TCustomDXDraw&) {
    SetTicking(false);
}

void TMainForm::ForgetBackgroundPause() {
    if (!inactive_) return;
    inactive_ = false;
    ShowPauseInCaption();
}

// The paused caption of a deactivation goes once the game is active again, unless the
// player paused it.
void TMainForm::DXTimerActivate(TCustomDXTimer&) {
    inactive_ = false;
    ShowPauseInCaption();
}

// Without "Pausar en segundo plano" the game goes on behind other windows, so it is not paused.
void TMainForm::DXTimerDeactivate(TCustomDXTimer& sender) {
    if (!sender.ActiveOnly()) return;
    inactive_ = true;
    ShowPauseInCaption();
}

// While a replay plays its mark stays through a pause, on the window's own caption: the
// caption does not change its version text halfway through the replay.
void TMainForm::ShowPauseInCaption() {
    const bool paused = GamePause->Checked || inactive_;
    const std::string mark = std::string(" ") + tr("[Pausado]");
    if (!captionNote_.empty())
        Handle()->setCaption(ownCaption_ + captionNote_ + (paused ? mark : std::string()) + captionMessage_);
    else
        Handle()->setCaption((paused ? platform::current().application().title() + mark : ownCaption_) +
                             captionMessage_);
}

void TMainForm::DXTimerTimer(TCustomDXTimer&, int) {
    if (!DXDraw->CanDraw()) return;
    DXInput->Update();
    ApplyAutoFire();
    if (OnInputRead) OnInputRead();
    Scenes->RunScene();
    Scenes->StartPendingScene();
    if (OnFrameDrawn) OnFrameDrawn();
    if (Options.Value().showFps) DrawFrameRate();
    DXDraw->Flip();
    // After the whole tick, so that a pause never cuts one in two.
    if (PadStartPressed()) GamePauseClick();
}

// Before the tick's states are used (and recorded), so a replay of the game plays the same.
void TMainForm::ApplyAutoFire() {
    if (!Options.Value().autoFire || Scenes->Scene != scMain) return;
    TInputStates states = DXInput->States();
    states.Include(stButton1);
    DXInput->SetStates(states);
}

void TMainForm::DrawFrameRate() {
    auto& canvas = DXDraw->Surface()->Canvas();
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Font.color = clWhite;
    canvas.Font.size = 12;
    canvas.TextOut(0, 0, "FPS: " + std::to_string(DXTimer->FramesPerSecond()));
    canvas.Release();
}

void TMainForm::PlaySound(const std::string& name, bool wait) {
    if (OptionSound->Checked) DXWaveList->Items().Find(name).Play(wait);
}

void TMainForm::Rumble(TRumble what) {
    if (!Options.Value().vibration) return;
    const TRumbleFeel feel = FeelOf(what);
    DXInput->Joystick().Rumble(feel.strength, feel.ms);
}

void TMainForm::FindOptionItems(const std::function<TMenuItem*(const char*)>& find) {
    OptionScale = find("OptionScale");
    OptionScaleWhole = find("OptionScaleWhole");
    OptionScaleFit = find("OptionScaleFit");
    OptionVolume = find("OptionVolume");
    OptionVolumeItems.clear();
    for (std::size_t i = 0; i < OptionVolume->Count(); ++i)
        if (!OptionVolume->Items(i).IsLine()) OptionVolumeItems.push_back(&OptionVolume->Items(i));
    OptionAutoFire = find("OptionAutoFire");
    OptionPauseInBackground = find("OptionPauseInBackground");
    OptionVibration = find("OptionVibration");
    OptionControls = find("OptionControls");
}

TCustomDXDraw& TMainForm::GameDisplay() {
    return *DXDraw;
}

TPictureCollection& TMainForm::GamePictures() {
    return ImageList->Items();
}

TCustomDXInput& TMainForm::GameInput() {
    return *DXInput;
}

TCustomDXSpriteEngine& TMainForm::GameSprites() {
    return *SpriteEngine;
}

}  // namespace vek
