// The enemies' movements, hits and explosions.
#include "game/enemies.hpp"

#include "game/game_window.hpp"
#include "game/scenes.hpp"
#include "graphics/image_list.hpp"

namespace vek {

TEnemy::TEnemy(TSprite* parent, const char* picture) : TImageSprite(parent), game_(GameOf(*this)) {
    ShowPicture(*this, game_.Picture(picture), true);
}

void TEnemy::Hit() {
    HitPoints -= 1;
    if (HitPoints > 0) {
        AfterHit(false);
        return;
    }
    Collisioned = false;
    AfterHit(true);
}

void TEnemy::AfterHit(bool killed) {
    if (killed) game_.PlaySound("Explosion");
}

void TEnemy::Explode() {
    game_.PlaySound("Explosion");
    Mode = 2;
    Counter = 0;
    game_.Score += kEnemyScore;
    ShowPicture(*this, game_.Picture("Explosion"), false);
    AnimPos = 0;
}

void TEnemy::DriftWhileExploding(int moveCount) {
    X = X - moveCount * kSpeed;
    if (Counter > kExplodeTime) Dead();
}

TEnemyUFO::TEnemyUFO(TSprite* parent) : TEnemy(parent, "Enemy-disk") {}

void TEnemyUFO::DoMove(int moveCount) {
    TImageSprite::DoMove(moveCount);
    if (Mode == 0) {
        X = X - moveCount * kSpeed;
        Y = Y + Cos256(Counter / 15) * 2.0;
        if (X < -Width) Dead();
    } else if (Mode == 2) {
        DriftWhileExploding(moveCount);
    }
    Counter += moveCount;
}

void TEnemyUFO::AfterHit(bool killed) {
    if (killed) Explode();
}

TEnemyAttacker::TEnemyAttacker(TSprite* parent) : TEnemy(parent, "Enemy-Attacker") {}

void TEnemyAttacker::DoMove(int moveCount) {
    TImageSprite::DoMove(moveCount);
    if (Mode == 0) {
        X = X - moveCount * kSpeed - Counter / 128;
        if (X < -Width) Dead();
    } else if (Mode == 2) {
        DriftWhileExploding(moveCount);
    }
    Counter += moveCount;
}

void TEnemyAttacker::AfterHit(bool killed) {
    if (killed) Explode();
}

TEnemyBoss::TEnemyBoss(TSprite* parent) : TEnemy(parent, "Enemy-boss") {
    PixelCheck = true;
    Collisioned = false;
    HitPoints = kHitPoints;
}

double TEnemyBoss::Swing() const {
    return Cos256(Timer / 15) * 5.0;
}

void TEnemyBoss::DoMove(int moveCount) {
    TImageSprite::DoMove(moveCount);
    if (Mode == 0) {
        if (X > kRestX) {
            X = X - moveCount * kSpeed;
        } else {
            Collisioned = true;
            Mode = 1;
            Firing = true;
        }
        Y = Y + Swing();
    } else if (Mode == 1) {
        Y = Y + Swing();
        Fight(moveCount);
    } else if (Mode == 2) {
        Burst();
        Mode = 3;
    } else if (Mode == 3 && Timer > kGameOverTime) {
        game_.NextScene = scGameOver;
        game_.PlaySceneChange();
    }
    Timer += moveCount;
}

void TEnemyBoss::Fight(int moveCount) {
    if (Firing) {
        if (ShotTimer > kShotInterval) FireShot();
        ShotTimer += moveCount;
        return;
    }
    ShotTimer += moveCount;
    // A fresh draw on every step of the pause: it lasts 2000 to 2500 units.
    if (game_.Random(500) + 2000 < ShotTimer) {
        Firing = true;
        ShotsInBurst = 0;
        ShotTimer = 0;
    }
}

void TEnemyBoss::FireShot() {
    auto& shot = TSprite::Create<TEnemyTama>(*Engine());
    shot.SetZ(1);
    shot.X = X - shot.Width;
    shot.Y = Y + Height / 2 - shot.Height / 2;
    ++ShotsInBurst;
    // Each shot ends the burst with a chance of ShotsInBurst in 30.
    if (game_.Random(30) < ShotsInBurst) Firing = false;
    ShotTimer = 0;
}

void TEnemyBoss::Burst() {
    for (int i = 0; i < kBossExplosionCount; ++i) {
        auto& explosion = TSprite::Create<TBakuhatu>(*Engine());
        explosion.SetZ(10);
        explosion.X = game_.Random(Width) + X - 16;
        explosion.Y = game_.Random(Height) + Y - 16;
        game_.Score += kBossExplosionScore;
    }
}

void TEnemyBoss::AfterHit(bool killed) {
    if (killed) {
        game_.PlaySound("Explosion");
        game_.Window().Rumble(TRumble::BossExploded);
        Mode = 2;
        Timer = 0;
        game_.Score += kBossKillScore;
    } else {
        game_.PlaySound("kan!!");
        game_.Score += kBossHitScore;
    }
}

TEnemyTama::TEnemyTama(TSprite* parent) : TEnemy(parent, "Bounce") {}

void TEnemyTama::DoMove(int moveCount) {
    TImageSprite::DoMove(moveCount);
    X = X - moveCount * kSpeed;
    if (X < -Width) Dead();
}

TBakuhatu::TBakuhatu(TSprite* parent) : TImageSprite(parent) {
    TGame& game = GameOf(*this);
    ShowPicture(*this, game.Picture("Explosion"), true);
    AnimPos = game.Random(AnimCount);
}

void TBakuhatu::DoMove(int moveCount) {
    TImageSprite::DoMove(moveCount);
}

}  // namespace vek
