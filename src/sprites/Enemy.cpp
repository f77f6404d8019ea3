#include "sprites/Enemy.h"

#include <array>
#include <cmath>
#include <numbers>

#include "engine/MathUtil.h"
#include "engine/Random.h"
#include "game/GameRecord.h"
#include "sprites/Effects.h"
#include "sprites/EnemyShots.h"
#include "sprites/GameImages.h"
#include "sprites/Player.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

// ---- TEnemy --------------------------------------------------------------------------

void TEnemy::TakeDamage(int32_t amount) {
  HitPoints -= amount;
  if (HitPoints > 0) {
    DoHit(false);
  } else {
    Collides = false;
    DoHit(true);
  }
}

void TEnemy::DoHit(bool destroyed) {
  if (destroyed) Kill();
}

void TEnemy::Spawn(const TSpawnValues& values) {
  Pattern = values.Pattern;
  Flags = values.Flags;
  SpeedFactor = 1.0;
  if (Flags & SF_HighSpeed) SpeedFactor = 2.0;
  if (Flags & SF_LowSpeed) SpeedFactor = 0.5;
  Phase = values.Immediate ? -1 : 0;
  PhaseTime = 0;
  FanAngle = 0;
}

void TEnemy::SetUpImage(const std::string& name) {
  SetImageSized(&GameImages().Find(name));
  AnimLoop = true;
  AnimRate = 0.015;
}

// ---- shared helpers ------------------------------------------------------------------

double CosTable(int i) {
  static const std::array<double, 256> table = [] {
    std::array<double, 256> t{};
    for (int k = 0; k < 256; ++k)
      t[k] = std::cos(2 * std::numbers::pi * k / 256);
    return t;
  }();
  return table[static_cast<unsigned>(i) & 0xFFu];
}

bool IsClassOneOf(const TSprite& sprite, std::initializer_list<std::string_view> names) {
  const std::string_view mine = sprite.ClassName();
  for (std::string_view name : names)
    if (mine == name) return true;
  return false;
}

namespace {

double CentreLine(const TEnemy& e) {
  return e.X + e.Width / 2;
}

bool PlayerInLine(const TEnemy& e) {
  const double x = CurrentAimPoint().X;
  return CentreLine(e) - 50 < x && x < CentreLine(e) + 50;
}

void Finish(TEnemy& e) {
  e.Kill();
  SpawnDebris(e, 3000);
  SpawnExplosion(e, 200, false);
}

void OffTheBottom(TEnemy& e) {
  if (e.Y > 680) e.Kill();
}

// Patterns 1 and 4: a pair every 200 ms, one sound for both.
void PairFire(TEnemy& e, int m) {
  if (e.FireTime <= 200) {
    e.FireTime += m;
  } else {
    e.FireTime = 0;
    FireShot(e, "30cal", "30cal", false, 1, 0, -20, 0, 0.5);
    FireShot(e, "30cal", "NONE", false, 1, 0, 20, 0, 0.5);
  }
}

// Patterns 2, 3, 5 and 6: one straight shot every 100 ms while the player is in line.
void InLineFire(TEnemy& e, int m) {
  if (!PlayerInLine(e)) return;
  if (e.FireTime <= 100) {
    e.FireTime += m;
  } else {
    e.FireTime = 0;
    FireShot(e, "30cal", "30cal", false, 1, 0, 0, 0, 0.5);
  }
}

void FighterStep(TEnemy& e, int pattern, int m) {
  switch (pattern) {
    case 1: {
      const int r = 500 + Random(500);
      if (r < e.TrackTime) {
        if (PlayerInLine(e))
          e.TrackTime = 0;
        else if (CurrentAimPoint().X > CentreLine(e))
          e.X += 0.25 * m;
        else
          e.X -= 0.25 * m;
      } else {
        e.TrackTime += m;
      }
      e.Y += 0.2 * m + e.Age / 256;
      PairFire(e, m);
      break;
    }
    case 2:
    case 3:
      e.Y += 0.2 * m;
      // Per step, not scaled by m: the weave is as wide whatever the tick.
      e.X += (pattern == 2 ? 5 : -5) * CosTable(e.Age / 15);
      InLineFire(e, m);
      break;
    case 4:
      e.Y += 0.25 * m + e.Age / 256;
      PairFire(e, m);
      break;
    case 5:
      e.X -= 0.2 * m + e.Age / 256;
      e.Y += 0.2 * m;
      InLineFire(e, m);
      break;
    case 6:
      e.X += 0.2 * m + e.Age / 256;
      e.Y += 0.2 * m;
      InLineFire(e, m);
      break;
    default:
      break;
  }
  OffTheBottom(e);
}

void BomberSmoke(TEnemy& e, int m) {
  if (e.HitPoints >= 30 || e.SmokeTime <= 30) {
    e.SmokeTime += m;
    return;
  }
  TSprite* engine = e.Engine();
  for (int side = 0; side < 2; ++side) {
    auto* puff = new TSmoke(engine);
    puff->SetZ(10);
    puff->Drift = 0;
    if (side == 0)
      puff->X = e.X + e.Width / 2 + Random(10) + 20;
    else
      puff->X = e.X + e.Width / 2 - Random(10) - 20;
    puff->Y = e.Y + e.Height / 2 - Random(20) - 20;
  }
  e.SmokeTime = 0;
}

void BomberBursts(TEnemy& e, int m, int length, int range, int pause) {
  if (e.Bursting) {
    if (e.FireTime <= 100) {
      e.FireTime += m;
    } else {
      e.FireTime = 0;
      FireShot(e, "50cal", "50cal", true, (e.Flags & SF_HighPower) ? 5 : 3, 200, e.Width / 2,
               e.Height / 2, 0.25);
    }
    if (e.BurstTime > length) {
      e.BurstTime = 0;
      e.Bursting = false;
    }
  }
  // Asked again after a burst ends, so that step draws its random number too.
  if (!e.Bursting) {
    const int r = Random(range);
    if (pause + r < e.BurstTime) {
      e.BurstTime = 0;
      e.Bursting = true;
    }
  }
  e.BurstTime += m;
}

void BomberStep(TEnemy& e, int pattern, int m) {
  TGameRecord& game = *Game;
  if (e.State < 0)
    game.AdvanceStopped = false;
  else if (e.Flags & SF_STOPADV)
    game.AdvanceStopped = true;
  if (e.State < 0)
    game.ReinforcementsOn = false;
  else if (e.Flags & SF_ENEMYADV)
    game.ReinforcementsOn = true;
  const bool sweep = pattern == -1;
  if (e.State > 0 && !(sweep && (e.Flags & SF_NOSMOKE))) BomberSmoke(e, m);
  if (e.State > 0) {
    if (sweep)
      BomberBursts(e, m, 1000, 800, 1000);
    else
      BomberBursts(e, m, 800, 300, 600);
  }
  const bool wide = e.Flags & SF_WideMove;
  switch (e.State) {
    case -1:
      SpawnDebris(e, 3000);
      for (int i = 0; i < 11; ++i)
        SpawnExplosion(e, 200, true);
      e.Kill();
      break;
    case 0:
      if (e.Y >= (sweep ? 200 : 70))
        e.State = 1;
      else
        e.Y += 0.25 * m;
      break;
    case 1:
      if (!sweep) {
        e.X += CosTable(e.Age / 15) / (1 + Random(2));
        e.Y += CosTable(e.Age / 15) / (1 + Random(2));
      } else {
        e.Y += (wide ? 4 : 3) * CosTable(e.Age / 15);
        if (e.X > (wide ? -100 : 0))
          e.X -= 0.3 * m;
        else
          e.State = 2;
      }
      break;
    case 2:
      if (sweep) {
        e.Y += (wide ? 4 : 3) * CosTable(e.Age / 15);
        if (e.X + e.Width >= (wide ? 740 : 640))
          e.State = 1;
        else
          e.X += 0.3 * m;
      }
      break;
    default:
      break;
  }
  e.Age += m;
}

}  // namespace

void MoveByPattern(TEnemy& enemy, int pattern, int m) {
  if (pattern >= 1 && pattern <= 6) {
    if (enemy.State == -1)
      Finish(enemy);
    else if (enemy.State == 0)
      FighterStep(enemy, pattern, m);
    enemy.Age += m;
  } else if (pattern == -1 || pattern == -2) {
    BomberStep(enemy, pattern, m);
  }
}

void FireShot(TEnemy& enemy, const std::string& image, const std::string& sound, bool aimed,
              int32_t power, int32_t spread, int dx, int dy, double speed) {
  if (enemy.Flags & SF_NOFIRE) return;
  if (Game->Difficulty == 3) speed = speed + speed / 3;
  if (sound != "NONE") Game->PlaySound(sound);
  auto* shot = new TEnemyTama(enemy.Engine());
  // The box stays that of "30cal" whatever the shot wears.
  shot->Image = &GameImages().Find(image);
  shot->Power = power;
  shot->ShotMode = aimed ? 1 : 0;
  shot->SetZ(1);
  if (aimed) {
    shot->X = enemy.X + dx;
    shot->Y = enemy.Y + dy;
    TFlightPath path;
    path.Travel = -2;
    path.Speed = speed;
    path.TurnRate = std::numbers::pi / 60;
    path.Mode = 2;
    path.Spread = spread;
    const TPoint aim = CurrentAimPoint();
    shot->Path = AimPath(path, Round(shot->X), Round(shot->Y), aim.X, aim.Y);
  } else {
    shot->FallSpeed = speed;
    shot->X = enemy.X + enemy.Width / 2 + dx;
    shot->Y = enemy.Y + enemy.Height + 10 + dy;
  }
}

void SpawnExplosion(TEnemy& enemy, int32_t lifetime, bool scattered) {
  auto* blast = new TExplosion(enemy.Engine());
  blast->SetZ(5);
  if (scattered) {
    blast->X = enemy.X + Random(enemy.Width) - blast->Width / 2;
    blast->Y = enemy.Y + Random(enemy.Height) - blast->Height / 2;
  } else {
    blast->X = enemy.X + enemy.Width / 2 - blast->Width / 2;
    blast->Y = enemy.Y + enemy.Height / 2 - blast->Height / 2;
  }
  blast->Lifetime = lifetime;
}

void SpawnDebris(TEnemy& enemy, int32_t lifetime) {
  const std::string name = enemy.Image ? enemy.Image->GetName() : std::string();
  TPictureCollectionItem& debris = GameImages().Find(name + "_JIB");
  const bool thrown = name == "Ruko";
  const int count = debris.PatternCount();
  for (int i = 0;; ++i) {
    auto* piece = new TJib(enemy.Engine());
    piece->SetImageSized(&debris);
    piece->AnimPhase = i;
    piece->X = enemy.X + Random(enemy.Width);
    piece->Y = enemy.Y + Random(enemy.Height);
    piece->SetZ(-1);
    piece->Lifetime = lifetime;
    const bool last = i >= count - 1;
    if (thrown && !last) {
      piece->VY = -(Random(9) + 1) / 10.0;
      piece->AY = 1.0;
      if (Random(2) == 0)
        piece->VX = (Random(4) + 1) / 10.0;
      else
        piece->VX = -((Random(4) + 1) / 10.0);
    }
    if (last) break;
  }
}

bool PhaseWaiting(TEnemy& boss, int m, int32_t ms) {
  if (boss.PhaseTime > ms) {
    boss.PhaseTime = 0;
    return false;
  }
  boss.PhaseTime += m;
  return true;
}

bool AimedBursts(TEnemy& boss, int m, const TBurstShape& shape) {
  if (boss.Bursting) {
    if (boss.FireTime <= 100) {
      boss.FireTime += m;
    } else {
      boss.FireTime = 0;
      FireShot(boss, "50cal", "50cal", true, 5, 200, shape.Dx, shape.Dy, shape.Speed);
    }
    if (boss.BurstTime > shape.BurstMs) {
      boss.BurstTime = 0;
      boss.Bursting = false;
    }
  } else if (boss.BurstTime > shape.PauseMs) {
    boss.BurstTime = 0;
    boss.Bursting = true;
  }
  boss.BurstTime += m;
  const int r = Random(3);
  if (5000 + 1000 * r < boss.PhaseTime) {
    boss.PhaseTime = 0;
    return true;
  }
  boss.PhaseTime += m;
  return false;
}

}  // namespace velmora
