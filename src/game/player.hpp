// The player's ship, TPlayerSprite, and its shot, TTamaSprite. The ship follows the input
// states, stays on the screen, fires at most eight shots at a time and, when it touches
// any enemy or enemy shot, explodes, vanishes and ends the game 1500 move units later.
#pragma once

#include "sprite/image_sprite.hpp"

namespace vek {

class TGame;

class TPlayerSprite : public TImageSprite {
public:
    explicit TPlayerSprite(TSprite* parent);

    int Counter = 0;       // move units spent in the current State
    int State = 0;         // 0 flying, 1 exploding, 2 gone
    int ShotCount = 0;     // this ship's shots alive in the tree
    int LastShotTime = 0;  // Counter when the last shot was fired

    static constexpr double kSpeed = 0.25;  // pixels per move unit
    static constexpr int kMaxShots = 8;
    static constexpr int kShotInterval = 100;  // move units between two shots
    static constexpr int kExplodeTime = 200;
    static constexpr int kGoneTime = 1500;

protected:
    void DoMove(int moveCount) override;
    // Any enemy or enemy shot blows the ship up; other sprites do nothing to it.
    void DoCollision(TSprite& sprite, bool& done) override;

private:
    void Fly(int moveCount);
    void Fire();

    TGame& game_;
};

class TTamaSprite : public TImageSprite {
public:
    explicit TTamaSprite(TSprite* parent);
    // Gives its place back to the ship's ShotCount.
    ~TTamaSprite() override;

    TPlayerSprite* Player = nullptr;  // the ship that fired it; not owned

    static constexpr double kSpeed = 0.8;

protected:
    void DoMove(int moveCount) override;
    // Hits every enemy it touches, except enemy shots, and then dies.
    void DoCollision(TSprite& sprite, bool& done) override;
};

}  // namespace vek
