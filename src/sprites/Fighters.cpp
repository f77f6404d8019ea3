#include "sprites/Fighters.h"

#include <array>
#include <numbers>

#include "engine/MathUtil.h"
#include "engine/Random.h"
#include "game/GameRecord.h"
#include "sprites/Bosses.h"
#include "sprites/EnemyShots.h"
#include "sprites/GameImages.h"
#include "sprites/Player.h"
#include "sprites/PlayerShots.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

namespace {

// Shows one pattern and never animates; the homing fighters pick the pattern by heading.
void MakeStill(TImageSprite& sprite, int pattern) {
  sprite.AnimBase = 0;
  sprite.AnimLoop = false;
  sprite.AnimRate = 0;
  sprite.AnimPhase = pattern;
}

void PlayKill(TEnemy& enemy, int32_t score) {
  Game->PlaySound("Explosion");
  enemy.State = -1;
  enemy.Age = 0;
  Game->Score += score;
}

}  // namespace

// ---- pattern fighters ----------------------------------------------------------------

TPatternFighter::TPatternFighter(TSprite* parent, const std::string& image, int32_t killScore)
    : TEnemy(parent), KillScore_(killScore) {
  SetUpImage(image);
  HitPoints = 2;
  Power = 10;
  PixelTest = false;
  SetZ(0);
  FireTime = Random(30);
}

void TPatternFighter::Advance(int moveCount) {
  TImageSprite::Advance(moveCount);
  MoveByPattern(*this, Pattern, moveCount);
}

void TPatternFighter::DoHit(bool destroyed) {
  if (destroyed) PlayKill(*this, KillScore());
}

TEnemyP40::TEnemyP40(TSprite* parent) : TPatternFighter(parent, "P40", 100) {}

TEnemyP39::TEnemyP39(TSprite* parent) : TPatternFighter(parent, "P39", 100) {}

TEnemyP36::TEnemyP36(TSprite* parent) : TPatternFighter(parent, Game->P36Image, 100) {
  if (Game->P36Image != "P36") {
    HitPoints = 100000;
    Power = 100;
  }
}

TEnemyF4F::TEnemyF4F(TSprite* parent) : TPatternFighter(parent, "F4F", 100) {
  MakeStill(*this, 2);
}

int32_t TEnemyF4F::KillScore() const {
  return (Flags & SF_WORTHLESS) ? 1 : 100;
}

TEnemyF6F::TEnemyF6F(TSprite* parent) : TPatternFighter(parent, "F6F", 100) {
  MakeStill(*this, 2);
}

TEnemyP38::TEnemyP38(TSprite* parent)
    : TPatternFighter(parent, Game->Mission == 5 ? "P38_G" : "P38", 200) {
  PixelTest = true;
  HitPoints = 6;
  TrackTime = 700;
}

// ---- crossers ------------------------------------------------------------------------

TCrosser::TCrosser(TSprite* parent, const std::string& image, int direction,
                   const std::string& item, int32_t itemKind)
    : TEnemy(parent), Direction_(direction), Item_(item), ItemKind_(itemKind) {
  SetUpImage(image);
  HitPoints = 2;
  Power = 10;
  PixelTest = false;
  SetZ(0);
}

void TCrosser::Advance(int moveCount) {
  const int m = moveCount;
  TImageSprite::Advance(m);
  if (State == -1) {
    Kill();
    SpawnDebris(*this, 3000);
    SpawnExplosion(*this, 200, false);
  } else if (State == 0) {
    X += Direction_ * 0.2 * m * SpeedFactor;
    if (Direction_ < 0 ? -Width > X : X > 640) Kill();
  }
  Age += m;
}

void TCrosser::DoHit(bool destroyed) {
  if (!destroyed) return;
  PlayKill(*this, 500);
  auto* item = new TItemSprite(Engine());
  item->SetImageSized(&GameImages().Find(Item_));
  item->ItemKind = ItemKind_;
  item->X = X + Width / 2 - item->Width / 2;
  item->Y = Y + Height / 2 - item->Height / 2;
}

TEnemyC47::TEnemyC47(TSprite* parent) : TCrosser(parent, "C47", -1, "Life10", 0) {}

TEnemyPBY::TEnemyPBY(TSprite* parent) : TCrosser(parent, "PBY", +1, "Pow", 1) {
  Power = 20;
}

// ---- homing fighters -----------------------------------------------------------------

TPoint HomingNoseOffset(int frame) {
  static constexpr std::array<TPoint, 8> kNose = {
      {{65, 34}, {56, 52}, {32, 62}, {18, 53}, {13, 32}, {12, 14}, {33, 4}, {52, 20}}};
  return kNose[static_cast<unsigned>(frame) % kNose.size()];
}

THomingFighter::THomingFighter(TSprite* parent, const std::string& image, int32_t killScore)
    : TEnemy(parent), KillScore_(killScore) {
  SetUpImage(image);
  MakeStill(*this, 0);
  HitPoints = 2;
  Power = 10;
  PixelTest = false;
  SetZ(0);
  FireTime = 0;
  Age = 0;
}

void THomingFighter::TakeOff() {
  TFlightPath path;
  path.Travel = -2;
  path.Speed = 0.22;
  path.TurnRate = std::numbers::pi / 150;
  path.Mode = 3;
  path.Spread = 200;
  const TPoint aim = CurrentAimPoint();
  Path = AimPath(path, Round(X), Round(Y), aim.X, aim.Y);
}

void THomingFighter::Advance(int moveCount) {
  const int m = moveCount;
  TImageSprite::Advance(m);
  if (State == -1) {
    SpawnExplosion(*this, 200, false);
    SpawnDebris(*this, 3000);
    Kill();
  } else if (State == 0) {
    if (ReadyToChase(m)) State = 1;
  } else if (State == 1) {
    Path = StepPath(Path, m, CurrentAimPoint());
    AnimPhase = HeadingFrame(8, Path.HeadingDeg);
    X = Path.CurX;
    Y = Path.CurY;
    if (FireTime > 300) {
      FireTime = 0;
      Game->PlaySound("30cal");
      auto* shot = new TEnemyTama(Engine());
      shot->ShotMode = 1;
      shot->Image = &GameImages().Find("30cal");
      shot->SetZ(1);
      const TPoint nose = HomingNoseOffset(Round(AnimPhase));
      shot->X = X + nose.X;
      shot->Y = Y + nose.Y;
      shot->Path = HeadingPath(shot->X, shot->Y, Path.HeadingDeg, 0.5, 50);
    } else {
      FireTime += m;
    }
  }
  Age += m;
}

void THomingFighter::DoHit(bool destroyed) {
  if (destroyed) PlayKill(*this, KillScore_);
}

TEnemyF4F_E::TEnemyF4F_E(TSprite* parent) : THomingFighter(parent, "F4F_S", 5) {
  Collides = false;
}

bool TEnemyF4F_E::ReadyToChase(int m) {
  X += 0.2 * m;
  if (Carrier && !(X > Carrier->X + Carrier->Width + 70)) return false;
  TakeOff();
  Collides = true;
  SetImageSized(&GameImages().Find("F4F"));
  MakeStill(*this, 0);
  Y -= 10;
  return true;
}

TEnemyF4F_S::TEnemyF4F_S(TSprite* parent) : THomingFighter(parent, "F4F", 200) {}

bool TEnemyF4F_S::ReadyToChase(int /*m*/) {
  TakeOff();
  return true;
}

}  // namespace velmora
