// The scene machine that the main window runs in its frame tick: the title screen, the
// playing scene with its star field, spawn script and score, and the game-over screen;
// scene changes, the scene clock, the screen fade, and what the game's sprites share.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "game/game_record.hpp"
#include "game/random.hpp"
#include "media/key_bindings.hpp"
#include "runtime/types.hpp"

namespace vek {

class TGameWindow;
class TImageSprite;
class TPictureCollectionItem;
class TSprite;
class TInputStates;

enum TScene : std::uint8_t { scNone, scTitle, scMain, scGameOver };

// Every sprite of the playing scene moves by this many units per tick.
inline constexpr int kMoveCount = 16;
inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;
// The fade of a scene change made by the player or the game's end, and the pause after it.
inline constexpr std::uint32_t kSceneFadeTime = 300;
inline constexpr std::uint32_t kScenePauseTime = 200;

class TGame {
public:
    explicit TGame(TGameWindow& window);
    TGame(const TGame&) = delete;
    TGame& operator=(const TGame&) = delete;

    // Runs the current scene (the third step of the tick).
    void RunScene();
    // Starts a scene requested during the sprites' move pass (the fourth step of the tick).
    void StartPendingScene();
    // Ends the current scene, clears the pressed buttons, resets the scene clock and
    // begins s.
    void StartScene(TScene s);
    // Fades the screen to color over time milliseconds: through the palette in an 8-bit
    // full-screen mode, otherwise by waiting; then fills and presents color.
    void FadeScreen(TRGBQuad color, std::uint32_t time);
    // A scene change made by the player or the game's end: "SceneMov", the fade to black
    // and a pause.
    void PlaySceneChange();

    TGameWindow& Window() const { return window_; }
    TPictureCollectionItem& Picture(const std::string& name) const;
    TInputStates InputStates() const;
    void PlaySound(const std::string& name) const;
    // The program's random numbers.
    int Random(int n) { return random_.Random(n); }
    const TRandomGenerator& RandomGenerator() const { return random_; }

    // Plays record's game again at once, from its seed and with its input states, checking
    // its state hashes; its end, or the first difference, leads back to the title.
    void StartPlayback(TGameRecord record);
    // Leaves a playback for the title; nothing when none runs.
    void StopPlayback();
    bool PlayingBack() const { return tape_.PlayingBack(); }
    // Told of every game played (not replayed) to its end, with its record.
    std::function<void(const TGameRecord&)> OnGameRecorded;
    // Told when a playback ends: at its end, at a difference, or left.
    std::function<void(const TPlaybackEnd&)> OnPlaybackEnd;

    // What the title and game-over screens ask the player to press, for the fire controls
    // as they are now: "PRESIONE BARRA ESPACIADORA" while the space bar fires, else the first
    // key that fires, else the pad's fire button; empty when nothing fires.
    const std::string& FirePrompt();

    // The best score known; the title shows it when above 0. A game that ends above it
    // becomes the new best.
    int BestScore = 0;
    // The game that has just ended beat the best score.
    bool NewBest = false;

    TScene Scene = scNone;
    TScene NextScene = scNone;
    std::uint32_t SceneTime = 0;
    std::uint32_t LastTick = 0;
    int SpawnIndex = 0;
    int FrameCount = 0;
    int Score = 0;

private:
    void EndScene();
    void ResetSceneTime();
    void UpdateSceneTime();
    void StartMainScene();
    void RunTitleScene();
    void RunMainScene();
    void RunGameOverScene();
    void EndMainScene();
    void SpawnEnemies();
    void DrawScore();
    void DrawBestScore();
    void DrawFinalScore();
    void GameEnded();
    void EndPlayback(const TPlaybackEnd& end);
    // The blinking FirePrompt, shown while SceneTime div 300 is even.
    void DrawPrompt(int x, int y, int size);
    void DrawCentred(int x, int y, const char* ownText, const std::string& text);
    // The title and game-over scenes leave on the fire button for the given scene.
    void LeaveOnFire(TScene next);
    void Wait(std::uint32_t ms);

    TGameWindow& window_;
    TRandomGenerator random_;
    TGameTape tape_;
    std::uint32_t seedBeforePlayback_ = 0;
    // The prompt, "Game Over" and the best score's words in the player's language; the
    // prompt with the fire keys and pad button it was made for.
    std::string prompt_;
    TKeyAssign promptKeys_{};
    int promptPadButton_ = -1;
    bool promptMade_ = false;
    std::string gameOver_;
    std::string best_;
    std::string newBest_;
};

// One palette entry blended from src towards dest by percent / 256 of the way.
TRGBQuad ComposeColor(TRGBQuad dest, TRGBQuad src, int percent);

// The scene machine of the window whose sprite engine holds sprite.
TGame& GameOf(const TSprite& sprite);

// Shows item on sprite: its size, all of its patterns as the animation, at the game's
// animation speed.
void ShowPicture(TImageSprite& sprite, TPictureCollectionItem& item, bool looped);

}  // namespace vek
