// The ship's flying, firing and exploding, and its shots.
#include "game/player.hpp"

#include "game/enemies.hpp"
#include "game/game_window.hpp"
#include "game/scenes.hpp"
#include "graphics/image_list.hpp"
#include "media/input_states.hpp"

namespace vek {

TPlayerSprite::TPlayerSprite(TSprite* parent) : TImageSprite(parent), game_(GameOf(*this)) {
    ShowPicture(*this, game_.Picture("Machine"), true);
    X = 20;
    Y = kScreenHeight / 2 - Height / 2;
    SetZ(2);
}

void TPlayerSprite::DoMove(int moveCount) {
    TImageSprite::DoMove(moveCount);
    if (State == 0) {
        Fly(moveCount);
    }
    if (State == 1 && Counter > kExplodeTime) {
        Counter = 0;
        State = 2;
        Visible = false;
    }
    if (State == 2 && Counter > kGoneTime) {
        // The change happens at the end of the tick and frees this sprite.
        game_.NextScene = scGameOver;
        game_.PlaySceneChange();
    }
    Counter += moveCount;
}

void TPlayerSprite::Fly(int moveCount) {
    const double step = moveCount * kSpeed;
    const TInputStates states = game_.InputStates();
    if (states.Contains(stUp)) Y = Y - step;
    if (states.Contains(stDown)) Y = Y + step;
    if (states.Contains(stLeft)) X = X - step;
    if (states.Contains(stRight)) X = X + step;
    if (X < 0) X = 0;
    if (X > kScreenWidth - Width) X = kScreenWidth - Width;
    if (Y < 0) Y = 0;
    if (Y > kScreenHeight - Height) Y = kScreenHeight - Height;
    if (states.Contains(stButton1) && ShotCount < kMaxShots && Counter - LastShotTime >= kShotInterval)
        Fire();
    Collision();
}

void TPlayerSprite::Fire() {
    ++ShotCount;
    auto& shot = TSprite::Create<TTamaSprite>(*Engine());
    shot.Player = this;
    shot.X = X + Width;
    shot.Y = Y + Height / 2 - shot.Height / 2;
    shot.SetZ(10);
    LastShotTime = Counter;
}

void TPlayerSprite::DoCollision(TSprite& sprite, bool& done) {
    if (!dynamic_cast<TEnemy*>(&sprite)) return;
    game_.PlaySound("Explosion");
    game_.Window().Rumble(TRumble::ShipHit);
    Collisioned = false;
    Counter = 0;
    State = 1;
    done = false;
    ShowPicture(*this, game_.Picture("Explosion"), false);
    AnimPos = 0;
}

TTamaSprite::TTamaSprite(TSprite* parent) : TImageSprite(parent) {
    ShowPicture(*this, GameOf(*this).Picture("Bounce"), true);
    SetZ(2);
}

TTamaSprite::~TTamaSprite() {
    if (Player) --Player->ShotCount;
}

void TTamaSprite::DoMove(int moveCount) {
    TImageSprite::DoMove(moveCount);
    X = X + moveCount * kSpeed;
    if (X >= kScreenWidth) Dead();
    Collision();
}

void TTamaSprite::DoCollision(TSprite& sprite, bool& done) {
    auto* enemy = dynamic_cast<TEnemy*>(&sprite);
    if (enemy && !dynamic_cast<TEnemyTama*>(enemy)) {
        enemy->Hit();
        Dead();
    }
    done = false;
}

}  // namespace vek
