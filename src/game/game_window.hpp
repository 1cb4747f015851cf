// What the game needs of the window it runs in: the display, the named pictures, the
// input states, the sprite engine, the sounds, the pad's rumble and the scene machine. The main window
// implements it; the game's sprites find it through the owner of their sprite engine.
#pragma once

#include <string>

namespace vek {

class TCustomDXDraw;
class TCustomDXInput;
class TCustomDXSpriteEngine;
class TGame;
class TPictureCollection;

// What shakes a pad that can rumble: the ship hit, the boss blown up.
enum class TRumble { ShipHit, BossExploded };

class TGameWindow {
public:
    TGameWindow() = default;
    TGameWindow(const TGameWindow&) = delete;
    TGameWindow& operator=(const TGameWindow&) = delete;

    virtual TCustomDXDraw& GameDisplay() = 0;
    virtual TPictureCollection& GamePictures() = 0;
    virtual TCustomDXInput& GameInput() = 0;
    virtual TCustomDXSpriteEngine& GameSprites() = 0;
    // The scene machine the window runs in its tick.
    virtual TGame& Game() = 0;
    // Starts the named sound while sound is switched on; wait blocks until it has played.
    virtual void PlaySound(const std::string& name, bool wait) = 0;
    // Lets a pad that can rumble feel the event, while the player wants it. Nothing of the
    // game depends on it.
    virtual void Rumble(TRumble what) = 0;

protected:
    ~TGameWindow() = default;
};

}  // namespace vek
