#include "sprites/Player.h"

#include <string>

#include "engine/MathUtil.h"
#include "engine/Random.h"
#include "game/GameRecord.h"
#include "sprites/Effects.h"
#include "sprites/Enemy.h"
#include "sprites/EnemyShots.h"
#include "sprites/GameImages.h"
#include "sprites/Issiki.h"
#include "sprites/PlayerShots.h"

namespace velmora {

namespace {

struct TVolleyShot {
  const char* Image;
  int Offset;  // from the fighter's centre line
};

struct TVolley {
  TVolleyShot Right, Left;  // a single shot lives in Right
  int Shots;
  int32_t ShotDamage;
  int32_t Penetration;
};

constexpr TVolley kVolleys[8] = {
    {{"PlayerTama1", -7}, {nullptr, 0}, 1, 2, 5},
    {{"PlayerTama2_R", 0}, {"PlayerTama2_L", -16}, 2, 2, 5},
    {{"PlayerTama3_R", 6}, {"PlayerTama3_L", -18}, 2, 3, 5},
    {{"PlayerTama4_R", 9}, {"PlayerTama4_L", -23}, 2, 4, 15},
    {{"PlayerTama5_R", 12}, {"PlayerTama5_L", -28}, 2, 5, 15},
    {{"PlayerTama5_20_1_R", 12}, {"PlayerTama5_20_1_L", -28}, 2, 6, 25},
    {{"PlayerTama5_20_3_R", 12}, {"PlayerTama5_20_3_L", -28}, 2, 7, 35},
    {{"PlayerTama5_20_5_R", 12}, {"PlayerTama5_20_5_L", -28}, 2, 8, 45},
};

}  // namespace

TPoint CurrentAimPoint() {
  return PlayerSprite ? PlayerSprite->AimPoint : LastAimPoint;
}

TPlayerSprite::TPlayerSprite(TSprite* parent) : TImageSprite(parent) {
  SetImageSized(&GameImages().Find(Game->PlayerImage));
  X = 320 - Width / 2;
  Y = 450 - Height;
  SetZ(2);
  SmokeTime = 0;
  PixelTest = false;
  RamDamage = 30;
  AnimLoop = true;
  AnimRate = 0.015;
  PlayerSprite = this;
}

TPlayerSprite::~TPlayerSprite() {
  if (PlayerSprite != this) return;
  LastAimPoint = AimPoint;
  PlayerSprite = nullptr;
}

void TPlayerSprite::Advance(int moveCount) {
  const int n = moveCount;
  TGameRecord& game = *Game;
  TImageSprite::Advance(n);
  if (State == 0) {
    const int smokeGap = game.Damage > 90 ? 30 : game.Damage > 70 ? 100 : -1;
    if (smokeGap >= 0) {
      if (SmokeTime > smokeGap) {
        auto* puff = new TSmoke(Engine());
        puff->SetZ(10);
        puff->Drift = 0;
        puff->X = X + Width / 2 + Random(10) - 15;
        puff->Y = Y;
        SmokeTime = 0;
      } else {
        SmokeTime += n;
      }
    }

    const double step = 0.5 * n;
    bool fire, call;
    if (game.DirectInputChosen()) {
      TInputStates& states = game.DXInput.ActiveStates;
      if (states.Has(isUp)) Y -= step;
      if (states.Has(isDown)) Y += step;
      if (states.Has(isLeft)) X -= step;
      if (states.Has(isRight)) X += step;
      fire = states.Has(isButton1);
      call = states.Has(isButton2);
      // One support plane per press.
      if (call) states.Exclude(isButton2);
    } else {
      if (game.KeyUp) Y -= step;
      if (game.KeyDown) Y += step;
      if (game.KeyLeft) X -= step;
      if (game.KeyRight) X += step;
      fire = game.KeySpace;
      call = game.KeyEnter;
      game.KeyEnter = false;
    }
    if (X < 0) X = 0;
    if (X > 640 - Width) X = 640 - Width;
    if (Y < 0) Y = 0;
    if (Y > 480 - Height) Y = 480 - Height;

    if (fire && game.FireEnabled && ShotsOut < 8 && Clock - LastShot >= 100) {
      ++ShotsOut;
      game.PlaySound("30cal");
      FireVolley();
      LastShot = Clock;
    }
    if (call && game.SupportPlanes > 0) {
      new TIssiki(Engine());
      --game.SupportPlanes;
    }
    CheckCollisions();
  } else if (State == 1) {
    if (Clock > 200) {
      Clock = 0;
      State = 2;
      Visible = false;
    }
  } else if (State == 2) {
    if (Clock > 1500) {
      game.MusicCommand("STOP");
      game.PendingScene = ssGameOver;
      game.PalleteAnim({0, 0, 0}, 300);
      game.Wait(200);
    }
  }

  if (game.CommanderPresent && CommanderPlane) {
    const TImageSprite& c = *CommanderPlane;
    AimPoint = {Round(c.X) + c.Width / 2, Round(c.Y) + c.Height / 2};
  } else {
    AimPoint = {Round(X) + Width / 2, Round(Y) + Height / 2};
  }
  Clock += n;
}

void TPlayerSprite::FireVolley() {
  const int power = Game->ShotPower;
  // Levels outside 1 ... 8 fire nothing; only the power item changes the level.
  if (power < 1 || power > 8) return;
  const TVolley& volley = kVolleys[power - 1];
  const double centre = X + Width / 2;
  for (int i = 0; i < volley.Shots; ++i) {
    const TVolleyShot& s = i == 0 ? volley.Right : volley.Left;
    auto* shot = new TTamaSprite(Engine());
    shot->Owner = this;
    shot->Image = &GameImages().Find(s.Image);
    shot->X = centre + s.Offset;
    shot->Y = Y - 20;
    shot->SetZ(10);
    shot->ShotDamage = volley.ShotDamage;
    shot->Penetration = volley.Penetration;
  }
}

void TPlayerSprite::Collided(TSprite* other, bool& /*stop*/) {
  const TRect b = BoundsRect();
  const TRect theirs = other->BoundsRect();
  auto* enemy = dynamic_cast<TEnemy*>(other);
  const bool shot = dynamic_cast<TEnemyTama*>(other) != nullptr;
  const bool item = dynamic_cast<TItemSprite*>(other) != nullptr;
  if (!shot && !item &&
      !CornersOverlap({b.Left + 30, b.Top + 7, b.Right - 30, b.Bottom - 7}, theirs))
    return;
  // Ships, the support plane and the joke target never hurt the fighter by contact.
  if (!enemy || dynamic_cast<TIssiki*>(enemy) ||
      IsClassOneOf(*enemy, {"TEnemyEnterprise", "TEnemyMissouri", "TEnemyDestroyer", "TEnemyLCI",
                            "TEnemyLSM", "TEnemyRuko"}))
    return;
  const bool wings = CornersOverlap({b.Left, b.Top + 12, b.Right, b.Bottom - 26}, theirs);
  const bool fuselage = CornersOverlap({b.Left + 30, b.Top, b.Right - 30, b.Bottom}, theirs);
  if (!wings && !fuselage) return;
  TGameRecord& game = *Game;
  game.Damage += enemy->Power;
  enemy->TakeDamage(RamDamage);
  if (PlayerHeldAlive && game.Damage >= 100) game.Damage = 99;
  if (game.Damage >= 100) Explode();
}

void BurstIntoFlames(TImageSprite& plane) {
  Game->PlaySound("Explosion");
  plane.Image = &GameImages().Find("Explosion");
  plane.Width = 100;
  plane.Height = 100;
  plane.AnimFrames = 3;
  plane.AnimLoop = false;
  plane.AnimRate = 0.015;
  plane.AnimPhase = 0;
  plane.Collides = false;
}

void TPlayerSprite::Explode() {
  BurstIntoFlames(*this);
  State = 1;
  Clock = 0;
}

}  // namespace velmora
