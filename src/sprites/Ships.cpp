#include "sprites/Ships.h"

#include "engine/Random.h"
#include "game/GameRecord.h"
#include "sprites/EnemyShots.h"
#include "sprites/GameImages.h"

namespace velmora {

namespace {

void PlayKill(TEnemy& enemy, int32_t score) {
  Game->PlaySound("Explosion");
  enemy.State = -1;
  enemy.Age = 0;
  Game->Score += score;
}

void Sink(TEnemy& ship) {
  ship.Kill();
  SpawnDebris(ship, 3000);
  SpawnExplosion(ship, 200, false);
}

}  // namespace

void SpawnFragments(TEnemy& burst) {
  for (int i = 0; i < 10; ++i) {
    auto* shot = new TEnemyTama(burst.Engine());
    shot->ShotMode = 1;
    shot->Power = 3;
    shot->Image = &GameImages().Find("50cal");
    shot->SetZ(1);
    shot->X = burst.X + burst.Width / 2;
    shot->Y = burst.Y + burst.Height / 2;
    shot->Path = HeadingPath(shot->X, shot->Y, Random(36) * 10, 0.3, 50);
  }
}

// ---- landing vessels -----------------------------------------------------------------

TLandingVessel::TLandingVessel(TSprite* parent, const std::string& image) : TEnemy(parent) {
  SetUpImage(image);
  HitPoints = 10;
  Power = 50;
  PixelTest = false;
  SetZ(-10);
  FireTime = 0;
}

void TLandingVessel::Advance(int moveCount) {
  const int m = moveCount;
  TImageSprite::Advance(m);
  if (State == -1) {
    Sink(*this);
  } else if (State == 0) {
    X -= 0.12 * m * SpeedFactor;
    Y += 0.05 * m * SpeedFactor;
    if (-Width > X)
      Kill();
    else if (Y > 480)
      Kill();
  }
  Age += m;
}

void TLandingVessel::DoHit(bool destroyed) {
  if (destroyed) PlayKill(*this, 500);
}

// ---- destroyer -----------------------------------------------------------------------

TEnemyDestroyer::TEnemyDestroyer(TSprite* parent) : TEnemy(parent) {
  SetUpImage("Fletcher");
  HitPoints = 30;
  Power = 50;
  PixelTest = true;
  SetZ(-10);
  FireTime = 0;
}

void TEnemyDestroyer::Advance(int moveCount) {
  const int m = moveCount;
  TImageSprite::Advance(m);
  if (State >= 0) {
    if (FireTime <= 600) {
      FireTime += m;
    } else {
      FireTime = 0;
      FireShot(*this, "50cal", "50cal", true, 3, 100, 17, 166, 0.28);
    }
  }
  switch (State) {
    case -1:
      Sink(*this);
      break;
    case 0:
      Y += 0.2 * m * SpeedFactor;
      if (Y > 580) {
        // PhaseTime marks the one turn back it makes.
        if (PhaseTime == 1)
          Kill();
        else
          State = 1;
      }
      break;
    case 1:
      Y -= 0.1 * m * SpeedFactor;
      if (Y < -100) {
        PhaseTime = 1;
        State = 0;
      }
      break;
    default:
      break;
  }
  Age += m;
}

void TEnemyDestroyer::DoHit(bool destroyed) {
  if (destroyed)
    PlayKill(*this, 1000);
  else
    Game->PlaySound("kan!!");
}

// ---- shell and air-burst bomb --------------------------------------------------------

TEnemy30cm::TEnemy30cm(TSprite* parent) : TEnemy(parent) {
  SetUpImage("30cm");
  HitPoints = 1;
  Power = 10;
  PixelTest = false;
  SetZ(0);
}

void TEnemy30cm::Advance(int moveCount) {
  const int m = moveCount;
  TImageSprite::Advance(m);
  if (State == -1) {
    Kill();
    SpawnExplosion(*this, 200, false);
    SpawnFragments(*this);
  } else if (State == 0) {
    Y += 0.45 * m;
    const int r = Random(5);
    if (Y > 300 + 10 * r) State = -1;
  }
  Age += m;
}

void TEnemy30cm::DoHit(bool destroyed) {
  if (destroyed) PlayKill(*this, 0);
}

TEnemyAABomb::TEnemyAABomb(TSprite* parent) : TEnemy(parent) {
  SetUpImage("AABomb");
  HitPoints = 1;
  Power = 10;
  PixelTest = false;
  SetZ(0);
  Age = 0;
}

void TEnemyAABomb::Advance(int moveCount) {
  const int m = moveCount;
  TImageSprite::Advance(m);
  if (State == -1) {
    Game->PlaySound("Explosion");
    Kill();
    SpawnExplosion(*this, 200, false);
    SpawnFragments(*this);
  } else if (State == 0) {
    X += m * VX;
    Y += m * VY;
    if (Age > 3500) State = -1;
  }
  Age += m;
}

void TEnemyAABomb::DoHit(bool destroyed) {
  // Silent: the burst on its next step makes the sound.
  if (destroyed) {
    State = -1;
    Age = 0;
  }
}

}  // namespace velmora
