#include "sprites/PlayerShots.h"

#include "engine/MathUtil.h"
#include "engine/Random.h"
#include "game/GameRecord.h"
#include "sprites/Effects.h"
#include "sprites/Enemy.h"
#include "sprites/EnemyShots.h"
#include "sprites/GameImages.h"
#include "sprites/Issiki.h"
#include "sprites/Player.h"

namespace velmora {

namespace {

bool OffScreen(const TSprite& s) {
  return s.X > 640 || s.Y > 480 || s.X + 50 < 0 || s.Y + 50 < 0;
}

bool IsBattleship(const TEnemy& e) {
  return IsClassOneOf(e, {"TEnemyMissouri"});
}

// Only the 133x15 strip of the carrier's deck can be hit; everything else is hit anywhere.
bool InVulnerableStrip(const TEnemy& e, const TRect& shot) {
  if (!IsClassOneOf(e, {"TEnemyEnterprise"})) return true;
  const int ex = Round(e.X), ey = Round(e.Y);
  return CornersOverlap({ex + 249, ey + 3, ex + 382, ey + 18}, shot);
}

}  // namespace

// ---- TTamaSprite ---------------------------------------------------------------------

TTamaSprite::TTamaSprite(TSprite* parent) : TImageSprite(parent) {
  SetImageSized(&GameImages().Find("PlayerTama1"));
  SetZ(2);
  PixelTest = false;
  AnimLoop = true;
  AnimRate = 0.015;
}

TTamaSprite::~TTamaSprite() {
  // A fighter freed before its shots no longer counts them.
  if (Owner && Owner == PlayerSprite) --Owner->ShotsOut;
}

void TTamaSprite::Advance(int moveCount) {
  const int n = moveCount;
  TImageSprite::Advance(n);
  if (Climb == 0) Y -= 0.8 * n;
  if (OffScreen(*this)) Kill();
  Clock += n;
  CheckCollisions();
}

void TTamaSprite::Collided(TSprite* other, bool& stop) {
  auto* enemy = dynamic_cast<TEnemy*>(other);
  if (enemy) {
    bool hit = false;
    // Gun shots pass through enemy shots, shells and air bursts.
    if (!dynamic_cast<TEnemyTama*>(enemy) && !dynamic_cast<TIssiki*>(enemy) &&
        !IsClassOneOf(*enemy, {"TEnemy30cm", "TEnemyAABomb", "TEnemyMissouri"}) &&
        InVulnerableStrip(*enemy, BoundsRect())) {
      enemy->TakeDamage(ShotDamage);
      Penetration -= enemy->Power;
      hit = true;
    }
    if (IsBattleship(*enemy) && enemy->TestZoneHit(*this, ShotDamage)) {
      Penetration -= enemy->Power;
      hit = true;
    }
    if (hit && Penetration < 0) {
      Kill();
      if (!IsClassOneOf(
              *enemy, {"TEnemyC47", "TEnemyPBY", "TEnemyP36", "TEnemyP39", "TEnemyP38", "TEnemyP40",
                       "TEnemyF4F", "TEnemyF6F", "TEnemyF4F_S", "TEnemyF4F_E"})) {
        auto* flash = new TExplosion(Engine());
        flash->Image = &GameImages().Find("Explosion_S");
        flash->Width = 40;
        flash->Height = 40;
        flash->SetZ(5);
        flash->X = X + Width / 2 + Random(10) - 20;
        flash->Y = Y + Height - Random(20) - 30;
      }
    }
  }
  stop = true;
}

// ---- TFriendTamaSprite ---------------------------------------------------------------

TFriendTamaSprite::TFriendTamaSprite(TSprite* parent) : TImageSprite(parent) {
  SetImageSized(&GameImages().Find("Plasma"));
  SetZ(2);
  PixelTest = false;
  AnimLoop = true;
  AnimRate = 0.02;
}

void TFriendTamaSprite::Advance(int moveCount) {
  const int n = moveCount;
  TImageSprite::Advance(n);
  if (ShotMode == 0) {
    Y -= 0.8 * n;
  } else if (ShotMode == 1 || ShotMode == 2) {
    Path = StepPath(Path, n, {0, 0});
    X = Path.CurX;
    Y = Path.CurY;
  }
  if (Clock > 4000 || OffScreen(*this)) Kill();
  Clock += n;
  CheckCollisions();
}

void TFriendTamaSprite::Collided(TSprite* other, bool& stop) {
  auto* enemy = dynamic_cast<TEnemy*>(other);
  if (enemy) {
    // Plasma also strikes enemy shots, shells and air bursts.
    if (!dynamic_cast<TIssiki*>(enemy) && !IsBattleship(*enemy) &&
        InVulnerableStrip(*enemy, BoundsRect())) {
      enemy->TakeDamage(ShotDamage);
      Penetration -= enemy->Power;
      if (Penetration < 0) Kill();
    }
    if (IsBattleship(*enemy) && enemy->TestZoneHit(*this, ShotDamage)) {
      Penetration -= enemy->Power;
      if (Penetration < 0) Kill();
    }
  }
  stop = true;
}

// ---- TItemSprite ---------------------------------------------------------------------

TItemSprite::TItemSprite(TSprite* parent) : TImageSprite(parent) {
  SetImageSized(&GameImages().Find("Life10"));
  SetZ(10);
  ItemKind = 0;
  PixelTest = false;
  AnimFrames = 1;
  AnimLoop = true;
  AnimRate = 0.015;
}

void TItemSprite::Advance(int moveCount) {
  const int n = moveCount;
  TImageSprite::Advance(n);
  Y += 0.2 * n;
  if (Y > 480) Kill();
  CheckCollisions();
}

void TItemSprite::Collided(TSprite* other, bool& stop) {
  if (!dynamic_cast<TPlayerSprite*>(other)) return;
  TGameRecord& game = *Game;
  game.PlaySound("GetItem");
  if (ItemKind == 0) {
    game.Damage -= 10;
    if (game.Damage < 0) game.Damage = 0;
  } else if (ItemKind == 1) {
    if (game.ShotPower < 8) ++game.ShotPower;
  }
  Kill();
  stop = true;
}

}  // namespace velmora
