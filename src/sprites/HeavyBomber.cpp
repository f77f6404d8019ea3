#include "sprites/HeavyBomber.h"

#include <cmath>

#include "engine/Random.h"
#include "game/GameRecord.h"
#include "sprites/Effects.h"
#include "sprites/EnemyShots.h"
#include "sprites/GameImages.h"
#include "sprites/Ships.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

namespace {

// The four diagonal drifts, in the order a draw of Random(4) picks them.
constexpr double kDriftX[4] = {-0.3, +0.3, -0.3, +0.3};
constexpr double kDriftY[4] = {+0.27, -0.27, -0.27, +0.27};

}  // namespace

TEnemyB29::TEnemyB29(TSprite* parent) : TEnemy(parent) {
  SetUpImage("B29");
  HitPoints = 1500;
  Power = 90;
  PixelTest = true;
  SetZ(2);
  // Out of reach until it has arrived.
  Collides = false;
  FireTime = 1000;
  BurstTime = 1000;
  Bursting = false;
  SmokeTime = 0;
  BombTime = 0;
}

void TEnemyB29::Advance(int moveCount) {
  const int m = moveCount;
  TImageSprite::Advance(m);
  if (Flags & SF_ENDINGOBJ) {
    Y -= 0.2 * m;
    if (Y + Height < 0) Kill();
    return;
  }
  TGameRecord& game = *Game;
  // The clock stays stopped through the fall: only the removed wreck (-2) lets it go.
  if (State <= -2)
    game.AdvanceStopped = false;
  else if (Flags & SF_STOPADV)
    game.AdvanceStopped = true;
  if (State < 0)
    game.ReinforcementsOn = false;
  else if (Flags & SF_ENEMYADV)
    game.ReinforcementsOn = true;
  if (State > 0) SmokeAndBombs(m);
  Move(m);
  Age += m;
  Attack(m);
}

void TEnemyB29::SmokeAndBombs(int m) {
  if (HitPoints >= 200 || SmokeTime <= 30) {
    SmokeTime += m;
  } else {
    // Four engines burning, two on each wing.
    static constexpr int kBase[4] = {25, -35, 55, -65};
    for (int base : kBase) {
      auto* puff = new TSmoke(Engine());
      puff->SetZ(10);
      puff->Drift = 0;
      const int r = Random(10);
      puff->X = X + Width / 2 + (base > 0 ? base + r : base - r);
      puff->Y = Y + Height / 2 - Random(20) - 50;
    }
    SmokeTime = 0;
  }
  const int r = Random(2000);
  if (4000 + r < BombTime) {
    auto* bomb = new TEnemyAABomb(Engine());
    bomb->X = X + Width / 2;
    bomb->Y = Y + Height / 2;
    BombTime = 0;
    const int way = Random(4);
    bomb->VX = way % 2 == 0 ? 0.025 : -0.025;
    bomb->VY = way < 2 ? 0.025 : -0.025;
  } else {
    BombTime += m;
  }
}

void TEnemyB29::Move(int m) {
  TGameRecord& game = *Game;
  switch (State) {
    case -1:
      Y += 0.08 * m;
      if (FireTime <= 60) {
        FireTime += m;
      } else {
        FireTime = 0;
        game.PlaySound("Explosion");
        for (int i = 0; i < 4; ++i)
          SpawnExplosion(*this, 200, true);
      }
      if (Y > 350) {
        Kill();
        State = -2;
        game.AdvanceStopped = false;
        game.PlaySound("Explosion");
        SpawnDebris(*this, 3000);
      }
      break;
    case 0:
      if (Y >= 100) {
        State = 1;
        Phase = 0;
        VX = 0.3;
        VY = 0.27;
        Collides = true;
      } else {
        Y += 0.2 * m;
      }
      break;
    case 1:
      X += m * VX;
      Y += m * VY;
      // The bounds lie far outside the screen: it sweeps in and out of sight.
      if (X <= -200)
        VX = std::abs(VX);
      else if (X + Width + 1 >= 840)
        VX = -std::abs(VX);
      if (Y <= -200)
        VY = std::abs(VY);
      else if (Y + Height + 1 >= 680)
        VY = -std::abs(VY);
      break;
    default:
      break;
  }
}

// One shot of a ring or cross, created directly: neither the no-fire mark nor the difficult
// setting's faster shots touch it.
void TEnemyB29::FireFan(int dy, double speed, int32_t power) {
  Game->PlaySound("50cal");
  auto* shot = new TEnemyTama(Engine());
  shot->ShotMode = 1;
  shot->Power = power;
  shot->Image = &GameImages().Find("50cal");
  shot->SetZ(1);
  shot->X = X + Width / 2;
  shot->Y = Y + Height / 2 + dy;
  shot->Path = HeadingPath(shot->X, shot->Y, FanAngle, speed, 50);
}

void TEnemyB29::Attack(int m) {
  switch (Phase) {
    case 0:
      if (!PhaseWaiting(*this, m, 3000)) {
        // Only the first ring starts at a random angle.
        FanAngle = Random(360);
        VX /= 3;
        VY /= 3;
        Phase = 1;
      }
      break;
    case 1:
      if (FireTime <= 3) {
        FireTime += m;
      } else {
        FireTime = 0;
        FireFan(-50, 0.25, 5);
        FanAngle += 15;
        if (FanAngle > 360) {
          FanAngle = 0;
          PhaseTime += 1;
        }
      }
      if (PhaseTime > 2) {
        PhaseTime = 0;
        Phase = 2;
      }
      break;
    case 2:
      if (!PhaseWaiting(*this, m, 100)) {
        VX = VY = 0;
        FireTime = 0;
        FanAngle = 45;
        Phase = 3;
      }
      break;
    case 3:
      // Hovering, one shot to each diagonal in turn.
      if (FireTime <= 40) {
        FireTime += m;
      } else {
        FireTime = 0;
        FireFan(-30, 0.5, 1);
        FanAngle += 90;
        if (FanAngle > 360) FanAngle = 45;
        PhaseTime += 1;
      }
      if (PhaseTime > 40) {
        const int way = Random(4);
        VX = kDriftX[way];
        VY = kDriftY[way];
        PhaseTime = 0;
        Phase = 4;
      }
      break;
    case 4:
      if (!PhaseWaiting(*this, m, 500)) {
        FireTime = 0;
        FanAngle = 45;
        Phase = 5;
      }
      break;
    case 5:
      if (AimedBursts(*this, m, {Width / 2, Height / 2, 2000, 700, 0.32})) Phase = 6;
      break;
    case 6:
      if (!PhaseWaiting(*this, m, 500)) {
        FireTime = 0;
        FanAngle = 0;
        VX /= 3;
        VY /= 3;
        Phase = 1;
      }
      break;
    default:
      break;
  }
}

void TEnemyB29::DoHit(bool destroyed) {
  TGameRecord& game = *Game;
  if (destroyed) {
    State = -1;
    Phase = -1;
    Age = 0;
    game.MusicCommand("STOP");
    game.Score += 25000;
  } else {
    game.PlaySound("kan!!");
    game.Score += 200;
  }
}

}  // namespace velmora
