// Everything in the playing scene that is not the player: the enemy family with its
// hit-point rule (TEnemy: the disk TEnemyUFO, TEnemyAttacker, TEnemyBoss), the boss's
// shot TEnemyTama, and TBakuhatu, the looping explosion the boss scatters when it dies.
#pragma once

#include "graphics/cos_table.hpp"
#include "sprite/image_sprite.hpp"

namespace vek {

class TGame;

// The cosine of i × 2π / 256 for the low eight bits of i.
inline double Cos256(int i) {
    return tableCos(i);
}

// Score values.
inline constexpr int kEnemyScore = 1000;          // a disk or an attacker destroyed
inline constexpr int kBossHitScore = 100;         // each hit that does not destroy the boss
inline constexpr int kBossKillScore = 100000;     // the hit that destroys it
inline constexpr int kBossExplosionScore = 1000;  // each of its death explosions
inline constexpr int kBossExplosionCount = 21;

class TEnemy : public TImageSprite {
public:
    explicit TEnemy(TSprite* parent, const char* picture);

    // Takes a hit point; the hit that brings it to 0 or below destroys the enemy.
    virtual void Hit();

    int Counter = 0;    // move units in the current mode
    int HitPoints = 0;  // 0 and 1 both mean the next hit destroys
    int Mode = 0;

protected:
    // After each hit; this version sounds the explosion when killed.
    virtual void AfterHit(bool killed);
    // A destroyed disk or attacker: sound, score, and its own picture turned into a
    // one-shot explosion that drifts on.
    void Explode();
    // Leftwards by speed per move unit; in Mode 2 (exploding) gone after 200 units.
    void DriftWhileExploding(int moveCount);

    static constexpr double kSpeed = 0.3;
    static constexpr int kExplodeTime = 200;

    TGame& game_;
};

class TEnemyUFO : public TEnemy {
public:
    explicit TEnemyUFO(TSprite* parent);

protected:
    // Left with a vertical swing added once per move step.
    void DoMove(int moveCount) override;
    void AfterHit(bool killed) override;
};

class TEnemyAttacker : public TEnemy {
public:
    explicit TEnemyAttacker(TSprite* parent);

protected:
    // Straight left, a pixel per step faster every 128 units.
    void DoMove(int moveCount) override;
    void AfterHit(bool killed) override;
};

class TEnemyBoss : public TEnemy {
public:
    explicit TEnemyBoss(TSprite* parent);

    int Timer = 0;         // move units since creation; 0 again when destroyed
    int ShotsInBurst = 0;  // shots fired in the current burst
    int ShotTimer = 0;     // units since the last shot, or since the burst ended
    bool Firing = false;   // a burst is under way

    static constexpr int kHitPoints = 20;
    static constexpr double kRestX = 450;  // flies in until it is no further right
    static constexpr int kShotInterval = 100;
    static constexpr int kGameOverTime = 3000;

protected:
    // One mode per move step: flying in, fighting, just destroyed, dead and waiting.
    void DoMove(int moveCount) override;
    void AfterHit(bool killed) override;

private:
    double Swing() const;
    void Fight(int moveCount);
    void FireShot();
    void Burst();
};

class TEnemyTama : public TEnemy {
public:
    explicit TEnemyTama(TSprite* parent);

    static constexpr double kSpeed = 0.6;

protected:
    void DoMove(int moveCount) override;
};

class TBakuhatu : public TImageSprite {
public:
    // Starts on a random pattern of the explosion.
    explicit TBakuhatu(TSprite* parent);

protected:
    // It only animates; it lives until the scene ends.
    void DoMove(int moveCount) override;
};

}  // namespace vek
