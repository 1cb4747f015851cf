// The main window's creation from its stored settings, its menu and its handlers.
#include "app/main_form.hpp"

#include "app/about_form.hpp"
#include "game/scenes.hpp"
#include "graphics/dxdraw.hpp"
#include "graphics/image_list.hpp"
#include "media/dxinput.hpp"
#include "media/dxsound.hpp"
#include "media/dxtimer.hpp"
#include "media/wave_list.hpp"
#include "platform/platform.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek {

TMainForm* MainForm = nullptr;

namespace {

using platform::TMenuItem;

constexpr const char* kPausedSuffix = " [Pausado]";
// The message box breaks the line at the carriage return.
constexpr const char* kControlsText = "Direccionales para mover la nave\rBarra espaciadora para disparar";

platform::WindowSpec MainWindowSpec() {
    platform::WindowSpec spec;
    spec.caption = "Vektrion v1.2.0 - Murelle";
    spec.left = 197;
    spec.top = 108;
    spec.clientWidth = 640;
    spec.clientHeight = 480;
    spec.borderStyle = platform::BorderStyle::bsSingle;
    spec.minimizeBox = true;
    spec.maximizeBox = false;
    return spec;
}

TMenuItem& AddItem(TMenuItem& parent, const char* name, const char* caption, std::uint16_t shortCut = 0,
                   int groupIndex = 0) {
    auto& item = parent.Add(std::make_unique<TMenuItem>(name, caption, shortCut));
    item.GroupIndex = groupIndex;
    return item;
}

}  // namespace

TMainForm::TMainForm() : TDXForm(nullptr) {
    SetName("MainForm");
    MainForm = this;
    CreateWindowHandle(MainWindowSpec());
    CreateComponents();
    ApplyStoredProperties();
    Handle()->setMenu(MainMenu.get());
    Handle()->OnKeyDown = [this](std::uint16_t& key, platform::TShiftState shift) {
        FormKeyDown(key, shift);
    };
    Handle()->OnDestroy = [this] { FormDestroy(); };
    ownCaption_ = Handle()->caption();
    // An error in the creation handler is shown like any error of an event handler.
    try {
        FormCreate();
    } catch (const std::exception& error) {
        platform::current().application().handleException(error);
    }
}

TMainForm::~TMainForm() {
    FormDestroy();
    DetachHandlers();
    // The window outlives the components and keeps only a reference to the menu bar; the
    // display's finalisation may still redraw the window (leaving full screen).
    if (Handle()) Handle()->setMenu(nullptr);
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::CreateComponents() {
    DXDraw = std::make_unique<TDXDraw>(this);
    DXTimer = std::make_unique<TDXTimer>(this);
    DXInput = std::make_unique<TDXInput>(this);
    ImageList = std::make_unique<TDXImageList>(this);
    DXWaveList = std::make_unique<TDXWaveList>(this);
    DXSound = std::make_unique<TDXSound>(this);
    CreateMenu();
    SpriteEngine = std::make_unique<TDXSpriteEngine>(this);
    Scenes = std::make_unique<TGame>(*this);
}

void TMainForm::CreateMenu() {
    MainMenu = std::make_unique<TMenuItem>("MainMenu", "");
    GameMenu = &AddItem(*MainMenu, "GameMenu", "&Juego");
    GameStart = &AddItem(*GameMenu, "GameStart", "Iniciar juego", platform::vk::F2);
    GamePause = &AddItem(*GameMenu, "GamePause", "Jugar / Pausar", platform::vk::F3);
    AddItem(*GameMenu, "N4", "-");
    GameExit = &AddItem(*GameMenu, "GameExit", "&Salir");
    OptionMenu = &AddItem(*MainMenu, "OptionMenu", "&Opciones");
    OptionFullScreen = &AddItem(*OptionMenu, "OptionFullScreen", "Pantalla completa", platform::vk::F4);
    AddItem(*OptionMenu, "N3", "-", 0, 1);
    OptionSound = &AddItem(*OptionMenu, "OptionSound", "Activar Sonido", 0, 1);
    AddItem(*OptionMenu, "N1", "-", 0, 1);
    OptionShowFPS = &AddItem(*OptionMenu, "OptionShowFPS", "Mostrar FPS", 0, 1);
    Ayuda1 = &AddItem(*MainMenu, "Ayuda1", "Ay&uda");
    Controles1 = &AddItem(*Ayuda1, "Controles1", "Controles");
    AddItem(*Ayuda1, "N2", "-");
    Acercade1 = &AddItem(*Ayuda1, "Acercade1", "Acerca de..");

    GameStart->OnClick = [this](TMenuItem&) { GameStartClick(); };
    GamePause->OnClick = [this](TMenuItem&) { GamePauseClick(); };
    GameExit->OnClick = [this](TMenuItem&) { GameExitClick(); };
    OptionFullScreen->OnClick = [this](TMenuItem&) { OptionFullScreenClick(); };
    OptionSound->OnClick = [this](TMenuItem&) { OptionSoundClick(); };
    OptionShowFPS->OnClick = [this](TMenuItem&) { OptionShowFPSClick(); };
    Controles1->OnClick = [this](TMenuItem&) { Controles1Click(); };
    Acercade1->OnClick = [this](TMenuItem&) { Acercade1Click(); };
}

// The stored settings of the components, applied while they are loading; each acts on
// them when loading ends, in stored order.
void TMainForm::ApplyStoredProperties() {
    TComponent* const loading[] = {DXDraw.get(),     DXTimer.get(), DXInput.get(),     ImageList.get(),
                                   DXWaveList.get(), DXSound.get(), SpriteEngine.get()};
    for (auto* component : loading) component->BeginLoading();

    DXDraw->SetBounds(0, 0, 640, 480);
    DXDraw->AutoInitialize = false;
    DXDraw->AutoSize = false;
    DXDraw->Display().FixedBitCount = true;
    DXDraw->Display().FixedRatio = true;
    DXDraw->Display().FixedSize = false;
    DXDraw->SetOptions({doAllowReboot, doWaitVBlank, doCenter, doHardware, doSelectDriver});
    DXDraw->OnInitializing = [this](TCustomDXDraw& s) { DXDrawInitializing(s); };
    DXDraw->OnInitialize = [this](TCustomDXDraw& s) { DXDrawInitialize(s); };
    DXDraw->OnFinalize = [this](TCustomDXDraw& s) { DXDrawFinalize(s); };

    DXTimer->SetActiveOnly(true);
    DXTimer->SetEnabled(true);
    DXTimer->SetInterval(33);
    DXTimer->OnActivate = [this](TCustomDXTimer& s) { DXTimerActivate(s); };
    DXTimer->OnDeactivate = [this](TCustomDXTimer& s) { DXTimerDeactivate(s); };
    DXTimer->OnTimer = [this](TCustomDXTimer& s, int lag) { DXTimerTimer(s, lag); };

    DXInput->SetActiveOnly(true);
    DXInput->SetUseDirectInput(false);

    ImageList->SetDXDraw(DXDraw.get());
    DXWaveList->SetDXSound(DXSound.get());
    DXSound->SetAutoInitialize(false);
    SpriteEngine->SetDXDraw(DXDraw.get());

    for (auto* component : loading) component->EndLoading();
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

    OptionFullScreen->Checked = true;
    OptionFullScreenClick();

    OptionSound->Checked = false;
    OptionSoundClick();

    GameStartClick();
}

void TMainForm::FormDestroy() {
    if (DXTimer) DXTimer->SetEnabled(false);
}

void TMainForm::FormKeyDown(std::uint16_t& key, platform::TShiftState shift) {
    if ((shift & platform::ssAlt) && key == platform::vk::Return) OptionFullScreenClick();
}

void TMainForm::GameStartClick() {
    Scenes->StartScene(scTitle);
}

void TMainForm::GamePauseClick() {
    GamePause->Checked = !GamePause->Checked;
    Handle()->menuChanged();
    DXTimer->SetEnabled(!GamePause->Checked);
}

void TMainForm::GameExitClick() {
    Handle()->close();
}

void TMainForm::OptionFullScreenClick() {
    OptionFullScreen->Checked = !OptionFullScreen->Checked;
    Handle()->menuChanged();
    auto options = DXDraw->Options();
    if (OptionFullScreen->Checked) {
        DXDraw->Finalize();
        if (!options.Contains(doFullScreen)) SaveWindowPlacement();
        options.Include(doFullScreen);
    } else {
        DXDraw->Finalize();
        if (options.Contains(doFullScreen)) RestoreWindowPlacement();
        options.Exclude(doFullScreen);
    }
    DXDraw->SetOptions(options);
    DXDraw->Display().SetWidth(640);
    DXDraw->Display().SetHeight(480);
    DXDraw->Display().SetBitCount(8);
    DXDraw->Initialize();
}

void TMainForm::OptionSoundClick() {
    OptionSound->Checked = !OptionSound->Checked;
    if (!OptionSound->Checked) {
        DXSound->Finalize();
    } else if (!DXSound->Initialized()) {
        try {
            DXSound->Initialize();
        } catch (const std::exception&) {
            // No sound device: the game runs silently and the user may try again.
            OptionSound->Checked = false;
        }
    }
    Handle()->menuChanged();
}

void TMainForm::OptionShowFPSClick() {
    OptionShowFPS->Checked = !OptionShowFPS->Checked;
    Handle()->menuChanged();
}

void TMainForm::Controles1Click() {
    platform::current().application().messageBox(kControlsText, "Controles",
                                                 platform::MB_OK | platform::MB_ICONINFORMATION);
}

void TMainForm::Acercade1Click() {
    const auto box = std::make_unique<TfrmAcercaDe>(this);
    frmAcercaDe = box.get();
    box->ShowModal();
}

void TMainForm::DXDrawInitializing(TCustomDXDraw& sender) {
    const bool fullScreen = sender.Options().Contains(doFullScreen);
    Handle()->setBorderStyle(fullScreen ? platform::BorderStyle::bsNone : platform::BorderStyle::bsSingle);
    Handle()->setCursorVisible(!fullScreen);
}

void TMainForm::DXDrawInitialize(TCustomDXDraw&) {
    DXTimer->SetEnabled(true);
}

void TMainForm::DXDrawFinalize(TCustomDXDraw&) {
    DXTimer->SetEnabled(false);
}

// The paused caption of a deactivation goes once the game is active again.
void TMainForm::DXTimerActivate(TCustomDXTimer&) {
    Handle()->setCaption(ownCaption_);
}

void TMainForm::DXTimerDeactivate(TCustomDXTimer&) {
    Handle()->setCaption(platform::current().application().title() + kPausedSuffix);
}

void TMainForm::DXTimerTimer(TCustomDXTimer&, int) {
    if (!DXDraw->CanDraw()) return;
    DXInput->Update();
    Scenes->RunScene();
    Scenes->StartPendingScene();
    if (OptionShowFPS->Checked) DrawFrameRate();
    DXDraw->Flip();
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
