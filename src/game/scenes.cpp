// The scene machine: scene changes, the scene clock, the fade, and the three scenes.
#include "game/scenes.hpp"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "game/game_window.hpp"
#include "game/player.hpp"
#include "game/spawn_table.hpp"
#include "game/star_layer.hpp"
#include "graphics/dxdraw.hpp"
#include "graphics/image_list.hpp"
#include "media/dxinput.hpp"
#include "media/key_bindings.hpp"
#include "platform/platform.hpp"
#include "platform/toolkit.hpp"
#include "runtime/translation.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek {

namespace {

constexpr const char* kPromptText = trLater("PRESIONE BARRA ESPACIADORA");
// TRANSLATORS: the title prompt when the space bar does not fire; %s is the name of the
// key that does, in English as the controls dialog shows it ("Z", "Enter", "Keypad 0").
constexpr const char* kKeyPromptText = trLater("PRESIONE %s");
// TRANSLATORS: the title prompt when no key fires; %s is the number of the pad's button
// that does.
constexpr const char* kPadPromptText = trLater("PRESIONE EL BOTÓN %s DEL MANDO");
constexpr const char* kGameOverText = trLater("Game Over");
constexpr std::uint32_t kBlinkTime = 300;
constexpr double kAnimSpeed = 0.015;

platform::Clock& clock() {
    return platform::current().clock();
}

// What leaves the title and game-over screens, in words: the space bar while it fires, as
// the game has always said; else the first key that fires; else the pad's fire button;
// nothing when nothing fires.
std::string firePromptText(const TKeyAssign& fireKeys, int padButton) {
    if (std::find(fireKeys.begin(), fireKeys.end(), platform::vk::Space) != fireKeys.end())
        return tr(kPromptText);
    for (const std::int32_t key : fireKeys) {
        const std::string name = key > 0 && key <= 255 ? keyName(key) : std::string();
        if (!name.empty()) return fillIn(tr(kKeyPromptText), {name});
    }
    if (padButton >= 0) return fillIn(tr(kPadPromptText), {std::to_string(padButton + 1)});
    return {};
}

}  // namespace

// The texts are looked up once, the prompt whenever the fire controls change: it is
// longer than a string keeps without allocating.
TGame::TGame(TGameWindow& window)
    : window_(window),
      gameOver_(tr(kGameOverText)),
      // TRANSLATORS: before the best score, under the title prompt.
      best_(tr("RÉCORD")),
      // TRANSLATORS: after the final score of a game that beat the best one.
      newBest_(tr("¡NUEVO RÉCORD!")) {}

void TGame::RunScene() {
    switch (Scene) {
        case scTitle:
            RunTitleScene();
            break;
        case scMain:
            RunMainScene();
            break;
        case scGameOver:
            RunGameOverScene();
            break;
        case scNone:
            break;
    }
}

void TGame::StartPendingScene() {
    if (NextScene == scNone) return;
    if (NextScene == scGameOver && Scene == scMain) GameEnded();
    StartScene(NextScene);
    NextScene = scNone;
}

void TGame::StartScene(TScene s) {
    if (s != scMain && tape_.PlayingBack()) {
        TPlaybackEnd left;
        left.Stopped = true;
        EndPlayback(left);
    }
    EndScene();
    // A button still held across the change counts only once it is pressed again.
    auto& input = window_.GameInput();
    input.SetStates(input.States() - allButtonStates());
    Scene = s;
    ResetSceneTime();
    if (s == scMain) StartMainScene();
}

void TGame::EndScene() {
    if (Scene == scMain) EndMainScene();
}

void TGame::ResetSceneTime() {
    SceneTime = 0;
    LastTick = clock().getTickCount();
}

// Unsigned differences keep the clock right across the tick counter's wrap-around.
void TGame::UpdateSceneTime() {
    const std::uint32_t now = clock().getTickCount();
    if (now == LastTick) return;
    SceneTime += now - LastTick;
    LastTick = now;
}

void TGame::FadeScreen(TRGBQuad color, std::uint32_t time) {
    auto& display = window_.GameDisplay();
    if (!display.Initialized()) return;
    TDirectDrawSurface* surface = display.Surface();
    const std::uint32_t raw = surface->MatchColor(makeColor(color.rgbRed, color.rgbGreen, color.rgbBlue));
    bool paletteChanged = false;
    if (display.CanPaletteAnimation()) {
        const std::uint32_t start = clock().getTickCount();
        for (std::uint32_t elapsed = 0; elapsed < time; elapsed = clock().getTickCount() - start) {
            const int percent = static_cast<int>(static_cast<double>(elapsed) / time * 255);
            for (std::size_t i = 0; i < display.ColorTable.size(); ++i)
                display.ColorTable[i] = ComposeColor(color, display.DefColorTable[i], percent);
            display.UpdatePalette();
            paletteChanged = true;
        }
    } else {
        Wait(time);
    }
    for (int i = 0; i < 4; ++i) {
        surface->Fill(raw);
        display.Flip();
    }
    if (paletteChanged) {
        display.ColorTable = display.DefColorTable;
        display.UpdatePalette();
    }
    surface->Fill(raw);
    display.Flip();
}

void TGame::PlaySceneChange() {
    PlaySound("SceneMov");
    FadeScreen(TRGBQuad{}, kSceneFadeTime);
    Wait(kScenePauseTime);
}

TPictureCollectionItem& TGame::Picture(const std::string& name) const {
    return window_.GamePictures().Find(name);
}

TInputStates TGame::InputStates() const {
    return window_.GameInput().States();
}

void TGame::PlaySound(const std::string& name) const {
    window_.PlaySound(name, false);
}

void TGame::Wait(std::uint32_t ms) {
    clock().sleep(ms);
}

void TGame::RunTitleScene() {
    TDirectDrawSurface* surface = window_.GameDisplay().Surface();
    surface->Fill(0);
    auto& logo = Picture("Logo");
    // The phase falls by one every 5 ms, so the waves run along the logo.
    const int phase = static_cast<int>((0u - SceneTime) / 5u);
    logo.DrawWaveX(surface, 30, 80, logo.Width(), logo.Height(), 0, 2, 32, phase);
    auto& canvas = surface->Canvas();
    canvas.Brush.Style = TBrushStyle::bsClear;
    DrawPrompt(50, 300, 25);
    DrawBestScore();
    UpdateSceneTime();
    canvas.Release();
    LeaveOnFire(scMain);
}

void TGame::RunGameOverScene() {
    TDirectDrawSurface* surface = window_.GameDisplay().Surface();
    surface->Fill(0);
    Picture("corrupcion").Draw(surface, 0, 0, 0);
    auto& canvas = surface->Canvas();
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Font.color = clRed;
    canvas.Font.size = 25;
    DrawCentred(190, 340, kGameOverText, gameOver_);
    DrawFinalScore();
    DrawPrompt(100, 400, 20);
    UpdateSceneTime();
    canvas.Release();
    LeaveOnFire(scTitle);
}

const std::string& TGame::FirePrompt() {
    const TCustomDXInput& input = window_.GameInput();
    const TKeyAssign& keys = input.Keyboard().KeyAssigns()[stButton1];
    const int padButton = input.Joystick().FireButton();
    if (!promptMade_ || keys != promptKeys_ || padButton != promptPadButton_) {
        prompt_ = firePromptText(keys, padButton);
        promptKeys_ = keys;
        promptPadButton_ = padButton;
        promptMade_ = true;
    }
    return prompt_;
}

// Any prompt stands where the game's own one does, centred on it.
void TGame::DrawPrompt(int x, int y, int size) {
    if ((SceneTime / kBlinkTime) % 2 != 0) return;
    const std::string& prompt = FirePrompt();
    if (prompt.empty()) return;
    auto& canvas = window_.GameDisplay().Surface()->Canvas();
    canvas.Font.color = clWhite;
    canvas.Font.size = size;
    DrawCentred(x, y, kPromptText, prompt);
}

// At x, y when the text is the game's own; a translation of another width keeps its centre.
void TGame::DrawCentred(int x, int y, const char* ownText, const std::string& text) {
    auto& canvas = window_.GameDisplay().Surface()->Canvas();
    if (text != ownText) x += (canvas.TextExtent(ownText).x - canvas.TextExtent(text).x) / 2;
    canvas.TextOut(x, y, text);
}

void TGame::LeaveOnFire(TScene next) {
    if (!InputStates().Contains(stButton1)) return;
    PlaySceneChange();
    StartScene(next);
}

void TGame::StartMainScene() {
    Score = 0;
    SpawnIndex = 0;
    FrameCount = 0;
    NewBest = false;
    tape_.Begin(random_.Seed());
    TSprite& engine = window_.GameSprites().Engine();
    TSprite::Create<TPlayerSprite>(engine);
    CreateStarLayers(engine, Picture("Star"), random_);
}

void TGame::RunMainScene() {
    auto& sprites = window_.GameSprites();
    TInputStates states = InputStates();
    tape_.TickStarted(FrameCount, states);
    if (tape_.PlayingBack()) window_.GameInput().SetStates(states);
    sprites.Move(kMoveCount);
    sprites.Dead();
    SpawnEnemies();
    window_.GameDisplay().Surface()->Fill(0);
    // While a change of scene is pending the frame stays black.
    if (NextScene == scNone) {
        sprites.Draw();
        DrawScore();
    }
    ++FrameCount;
    if (const auto end = tape_.TickEnded(FrameCount - 1, NextScene == scGameOver, *this, sprites.Engine())) {
        EndPlayback(*end);
        NextScene = scTitle;
    }
}

void TGame::StartPlayback(TGameRecord record) {
    if (tape_.PlayingBack()) StopPlayback();
    seedBeforePlayback_ = random_.Seed();
    random_.SetSeed(record.Seed);
    tape_.StartPlayback(std::move(record));
    NextScene = scNone;
    StartScene(scMain);
}

void TGame::StopPlayback() {
    if (tape_.PlayingBack()) StartScene(scTitle);
}

// The program's own random sequence goes on after a replay as if it had not been watched,
// and the input is the player's again: the replay's last states do not stay held.
void TGame::EndPlayback(const TPlaybackEnd& end) {
    tape_.StopPlayback();
    random_.SetSeed(seedBeforePlayback_);
    auto& input = window_.GameInput();
    input.SetStates(input.DeviceStates());
    if (OnPlaybackEnd) OnPlaybackEnd(end);
}

void TGame::GameEnded() {
    const TGameRecord record = tape_.Finish(FrameCount, Score);
    NewBest = Score > BestScore;
    if (NewBest) BestScore = Score;
    if (OnGameRecorded) OnGameRecorded(record);
}

void TGame::SpawnEnemies() {
    TSprite& engine = window_.GameSprites().Engine();
    while (SpawnIndex >= 0 && SpawnIndex < static_cast<int>(SpawnTable.size()) &&
           SpawnTable[SpawnIndex].Frame <= FrameCount) {
        const TSpawnRow& row = SpawnTable[SpawnIndex];
        TSprite& enemy = row.EnemyClass.Create(engine);
        enemy.X = kScreenWidth + row.X;
        enemy.Y = row.Y;
        ++SpawnIndex;
    }
}

void TGame::DrawScore() {
    auto& canvas = window_.GameDisplay().Surface()->Canvas();
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Font.color = clYellow;
    canvas.Font.size = 20;
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%d", Score);
    canvas.TextOut(10, 10, std::string(text, static_cast<std::size_t>(length)));
    canvas.Release();
}

// The best score stands under the prompt, in the colour of the score in play.
void TGame::DrawBestScore() {
    if (BestScore <= 0) return;
    auto& canvas = window_.GameDisplay().Surface()->Canvas();
    canvas.Font.color = clYellow;
    canvas.Font.size = 20;
    canvas.TextOut(50, 400, best_ + " " + std::to_string(BestScore));
}

void TGame::DrawFinalScore() {
    auto& canvas = window_.GameDisplay().Surface()->Canvas();
    canvas.Font.color = clYellow;
    canvas.Font.size = 20;
    const std::string text = std::to_string(Score) + (NewBest ? "  " + newBest_ : "");
    canvas.TextOut(190, 370, text);
}

void TGame::EndMainScene() {
    window_.GameSprites().Engine().Clear();
}

TRGBQuad ComposeColor(TRGBQuad dest, TRGBQuad src, int percent) {
    auto blend = [percent](std::uint8_t d, std::uint8_t s) {
        return static_cast<std::uint8_t>(s + ((d - s) * percent) / 256);
    };
    return TRGBQuad{blend(dest.rgbBlue, src.rgbBlue), blend(dest.rgbGreen, src.rgbGreen),
                    blend(dest.rgbRed, src.rgbRed), 0};
}

TGame& GameOf(const TSprite& sprite) {
    TSpriteEngine* engine = sprite.Engine();
    TCustomDXSpriteEngine* component = engine ? engine->DXSpriteEngine() : nullptr;
    auto* window = component ? dynamic_cast<TGameWindow*>(component->Owner()) : nullptr;
    if (!window) throw std::logic_error("a game sprite belongs in the game window's sprite tree");
    return window->Game();
}

void ShowPicture(TImageSprite& sprite, TPictureCollectionItem& item, bool looped) {
    sprite.SetImage(&item);
    sprite.Width = item.Width();
    sprite.Height = item.Height();
    sprite.AnimCount = item.PatternCount();
    sprite.AnimLooped = looped;
    sprite.AnimSpeed = kAnimSpeed;
}

}  // namespace vek
