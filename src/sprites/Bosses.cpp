#include "sprites/Bosses.h"

#include <array>

#include "engine/MathUtil.h"
#include "engine/Random.h"
#include "game/GameRecord.h"
#include "sprites/Effects.h"
#include "sprites/EnemyShots.h"
#include "sprites/Fighters.h"
#include "sprites/FlightPath.h"
#include "sprites/GameImages.h"
#include "sprites/Ships.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

namespace {

void SetUpBoss(TEnemy& boss, int32_t hitPoints) {
  boss.HitPoints = hitPoints;
  boss.Power = 50;
  boss.PixelTest = true;
  boss.SetZ(-10);
  boss.FireTime = 0;
}

// While a boss lives the schedule may stand still and the reinforcements keep coming.
void BossSwitches(const TEnemy& boss) {
  TGameRecord& game = *Game;
  if (boss.State < 0)
    game.AdvanceStopped = false;
  else if (boss.Flags & SF_STOPADV)
    game.AdvanceStopped = true;
  if (boss.State < 0)
    game.ReinforcementsOn = false;
  else if (boss.Flags & SF_ENEMYADV)
    game.ReinforcementsOn = true;
}

void BossKilled(TEnemy& boss) {
  TGameRecord& game = *Game;
  boss.Phase = -1;
  game.MusicCommand("STOP");
  game.PlaySound("Explosion");
  boss.State = -1;
  boss.Age = 0;
  game.Score += 10000;
}

void BossHit() {
  Game->PlaySound("kan!!");
  Game->Score += 100;
}

// A volley of blasts every fifth step for two seconds, then the wreck goes under.
void Sinking(TEnemy& boss, int m) {
  if (boss.FireTime <= 60) {
    boss.FireTime += m;
  } else {
    boss.FireTime = 0;
    Game->PlaySound("Explosion");
    for (int i = 0; i < 6; ++i)
      SpawnExplosion(boss, 200, true);
  }
  if (boss.Age > 2000) {
    boss.Kill();
    Game->PlaySound("Explosion");
    SpawnDebris(boss, 3000);
  }
}

// One step of the fan sweep: down from 180 to 30, jump to 0, up to 180, counting the sweeps
// in PhaseTime. Returns true once `sweeps` sweeps are done.
bool FanStep(TEnemy& boss, int m, int dx, int dy, int32_t sweeps) {
  if (boss.FireTime < 6) {
    boss.FireTime += m;
  } else {
    boss.FireTime = 0;
    Game->PlaySound("50cal");
    auto* shot = new TEnemyTama(boss.Engine());
    shot->ShotMode = 1;
    shot->Power = 5;
    shot->Image = &GameImages().Find("50cal");
    shot->SetZ(1);
    shot->X = boss.X + dx;
    shot->Y = boss.Y + dy;
    shot->Path = HeadingPath(shot->X, shot->Y, boss.FanAngle, 0.25, 50);
    if (boss.PhaseTime % 2 == 0) {
      boss.FanAngle -= 15;
      if (boss.FanAngle <= 15) {
        boss.FanAngle = 0;
        boss.PhaseTime += 1;
      }
    } else {
      boss.FanAngle += 15;
      if (boss.FanAngle > 180) {
        boss.FanAngle = 180;
        boss.PhaseTime += 1;
      }
    }
  }
  if (boss.PhaseTime > sweeps - 1) {
    boss.PhaseTime = 0;
    return true;
  }
  return false;
}

}  // namespace

// ---- battleship ----------------------------------------------------------------------

TEnemyMissouri::TEnemyMissouri(TSprite* parent) : TEnemy(parent) {
  SetUpImage("Missouri");
  SetUpBoss(*this, 1000);
}

void TEnemyMissouri::Advance(int moveCount) {
  const int m = moveCount;
  TImageSprite::Advance(m);
  BossSwitches(*this);
  if (State >= 0) {
    if (SmokeTime <= 30) {
      SmokeTime += m;
    } else {
      SmokeTime = 0;
      static constexpr std::array<TPoint, 3> kStack = {{{161, 36}, {209, 37}, {472, 38}}};
      const std::array<int32_t, 3> hp = {Turret1HP, Turret2HP, Turret3HP};
      for (int k = 0; k < 3; ++k) {
        if (hp[k] > 0) continue;
        auto* puff = new TSmoke(Engine());
        puff->Drift = 2;
        puff->SetZ(10);
        puff->X = X + kStack[k].X + Random(25) - 25;
        puff->Y = Y + kStack[k].Y + Random(25) - 25;
      }
    }
  }
  switch (State) {
    case -1:
      Sinking(*this, m);
      break;
    case 0:
      if (X + Width > 620)
        X -= 0.2 * m;
      else
        State = 1;
      break;
    case 1:
      if (X + Width >= 900)
        State = 2;
      else
        X += 0.1 * m;
      break;
    case 2:
      if (X > -200)
        X -= 0.15 * m;
      else
        State = 1;
      break;
    default:
      break;
  }
  Attack(m);
  Age += m;
}

bool TEnemyMissouri::FireMainGun(int32_t turretHP, int dx, int dy) {
  if (turretHP <= 0) return false;
  Game->PlaySound("Explosion");
  auto* shell = new TEnemy30cm(Engine());
  shell->X = X + dx;
  shell->Y = Y + dy;
  return true;
}

void TEnemyMissouri::StartBursts() {
  PhaseTime = 0;
  // The first burst starts at once.
  BurstTime = 1000;
  FireTime = 0;
  Phase = 7;
}

void TEnemyMissouri::Attack(int m) {
  switch (Phase) {
    case 0:
      if (!PhaseWaiting(*this, m, 3000)) Phase = 1;
      break;
    case 1:
      Phase = FireMainGun(Turret1HP, 162, 94) ? 2 : 3;
      break;
    case 2:
      if (!PhaseWaiting(*this, m, 300)) Phase = 3;
      break;
    case 3:
      Phase = FireMainGun(Turret2HP, 210, 92) ? 4 : 5;
      break;
    case 4:
      if (!PhaseWaiting(*this, m, 300)) Phase = 5;
      break;
    case 5:
      if (FireMainGun(Turret3HP, 471, 99))
        Phase = 6;
      else
        StartBursts();
      break;
    case 6:
      if (!PhaseWaiting(*this, m, 500)) StartBursts();
      break;
    case 7:
      if (AimedBursts(*this, m, {247, 43, 1000, 300, 0.3})) Phase = 8;
      break;
    case 8:
      if (!PhaseWaiting(*this, m, 500)) {
        FireTime = 0;
        FanAngle = 180;
        Phase = 9;
      }
      break;
    case 9:
      if (FanStep(*this, m, 247, 43, 4)) Phase = 10;
      break;
    case 10:
      if (!PhaseWaiting(*this, m, 500)) Phase = 1;
      break;
    default:
      break;
  }
}

void TEnemyMissouri::DoHit(bool destroyed) {
  if (destroyed)
    BossKilled(*this);
  else
    BossHit();
}

bool TEnemyMissouri::TestZoneHit(TSprite& shot, int32_t power) {
  return TestMissouriHit(*this, shot, power);
}

bool TestMissouriHit(TEnemyMissouri& battleship, TSprite& shot, int32_t power) {
  struct TTurretZone {
    TRect Zone;  // relative to the ship's rounded position
    TPoint Blast;
    int32_t TEnemyMissouri::*HP;
  };
  static const std::array<TTurretZone, 3> kTurrets = {{
      {{160, 33, 181, 66}, {150, 50}, &TEnemyMissouri::Turret1HP},
      {{206, 34, 232, 64}, {219, 52}, &TEnemyMissouri::Turret2HP},
      {{468, 35, 493, 68}, {480, 54}, &TEnemyMissouri::Turret3HP},
  }};
  const int x = Round(battleship.X), y = Round(battleship.Y);
  const auto at = [x, y](const TRect& r) {
    return TRect{x + r.Left, y + r.Top, x + r.Right, y + r.Bottom};
  };
  const TRect bounds = shot.BoundsRect();
  bool struck = false;
  if (CornersOverlap(at({253, 33, 335, 67}), bounds)) {
    battleship.TakeDamage(power);
    struck = true;
  }
  TGameRecord& game = *Game;
  for (const TTurretZone& turret : kTurrets) {
    int32_t& hp = battleship.*turret.HP;
    if (!CornersOverlap(at(turret.Zone), bounds) || hp <= 0) continue;
    game.PlaySound("kan!!");
    game.Score += 50;
    hp -= power;
    if (hp < 1) {
      game.PlaySound("Explosion");
      game.Score += 1000;
      auto* blast = new TExplosion(battleship.Engine());
      blast->SetZ(5);
      blast->Lifetime = 200;
      blast->X = battleship.X + turret.Blast.X - blast->Width / 2;
      blast->Y = battleship.Y + turret.Blast.Y - blast->Height / 2;
    }
    struck = true;
  }
  return struck;
}

// ---- carrier -------------------------------------------------------------------------

TEnemyEnterprise::TEnemyEnterprise(TSprite* parent) : TEnemy(parent) {
  SetUpImage("Enterprise");
  SetUpBoss(*this, 1500);
  LaunchTime = 300;
}

TEnemyEnterprise::~TEnemyEnterprise() {
  // Every sibling is still alive here: the engine frees its children last first, and the
  // fighters launched from this deck were created after it.
  TSpriteEngine* engine = Engine();
  if (!engine) return;
  for (int i = 0; i < engine->Count(); ++i) {
    auto* fighter = dynamic_cast<TEnemyF4F_E*>(engine->Items(i));
    if (fighter && fighter->Carrier == this) fighter->Carrier = nullptr;
  }
}

void TEnemyEnterprise::Advance(int moveCount) {
  const int m = moveCount;
  TImageSprite::Advance(m);
  BossSwitches(*this);
  switch (State) {
    case -1:
      Sinking(*this, m);
      break;
    case 0:
      if (X >= 20)
        State = 1;
      else
        X += 0.2 * m;
      break;
    case 1:
      if (X > -400)
        X -= 0.1 * m;
      else
        State = 2;
      if (X < 200) Launch(m);
      break;
    case 2:
      if (X >= 440) {
        LaunchTime = 300;
        State = 1;
      } else {
        X += 0.15 * m;
      }
      break;
    default:
      break;
  }
  Attack(m);
  Age += m;
}

void TEnemyEnterprise::Launch(int m) {
  const int32_t interval = Game->Difficulty == 1 ? 2500 : Game->Difficulty == 3 ? 700 : 1700;
  if (interval < LaunchTime) {
    LaunchTime = 0;
    auto* fighter = new TEnemyF4F_E(Engine());
    fighter->X = X + 48;
    fighter->Y = Y + 23;
    fighter->Carrier = this;
  } else {
    LaunchTime += m;
  }
}

void TEnemyEnterprise::Attack(int m) {
  switch (Phase) {
    case 0:
      if (!PhaseWaiting(*this, m, 3000)) {
        FanAngle = 180;
        Phase = 1;
      }
      break;
    case 1:
      if (FanStep(*this, m, 280, 13, 3)) Phase = 2;
      break;
    case 2:
      if (!PhaseWaiting(*this, m, 500)) {
        FireTime = 0;
        Phase = 3;
      }
      break;
    case 3:
      // Side guns: four bursts, port and starboard in turn.
      if (Bursting) {
        if (FireTime <= 100) {
          FireTime += m;
        } else {
          FireTime = 0;
          const bool odd = PhaseTime % 2 != 0;
          FireShot(*this, "30cal", "30cal", true, 1, 100, odd ? 39 : 551, odd ? 71 : 78, 0.3);
        }
        if (BurstTime > 800) {
          BurstTime = 0;
          Bursting = false;
          PhaseTime += 1;
        }
      } else if (BurstTime > 700) {
        BurstTime = 0;
        Bursting = true;
      }
      BurstTime += m;
      if (PhaseTime > 3) {
        PhaseTime = 0;
        Phase = 4;
      }
      break;
    case 4:
      if (!PhaseWaiting(*this, m, 500)) {
        FireTime = 0;
        BurstTime = 1000;
        Phase = 5;
      }
      break;
    case 5:
      if (AimedBursts(*this, m, {280, 13, 1000, 300, 0.3})) Phase = 6;
      break;
    case 6:
      if (!PhaseWaiting(*this, m, 500)) {
        FireTime = 0;
        FanAngle = 180;
        Phase = 1;
      }
      break;
    default:
      break;
  }
}

void TEnemyEnterprise::DoHit(bool destroyed) {
  if (destroyed)
    BossKilled(*this);
  else
    BossHit();
}

}  // namespace velmora
