#include "sprites/Commander.h"

#include <numbers>

#include "engine/MathUtil.h"
#include "engine/Random.h"
#include "game/GameRecord.h"
#include "sprites/Effects.h"
#include "sprites/Enemy.h"
#include "sprites/GameImages.h"
#include "sprites/Player.h"

namespace velmora {

TCyoukanIssiki::TCyoukanIssiki(TSprite* parent) : TImageSprite(parent) {
  SetImageSized(&GameImages().Find("Issiki_S"));
  SetZ(2);
  State = 1;
  SmokeTime = 0;
  CommanderPlane = this;
  Game->CommanderPresent = true;
  PixelTest = false;
  RamDamage = 20;
  AnimLoop = true;
  AnimRate = 0.015;
}

TCyoukanIssiki::~TCyoukanIssiki() {
  if (CommanderPlane == this) CommanderPlane = nullptr;
}

void TCyoukanIssiki::Advance(int moveCount) {
  const int n = moveCount;
  TGameRecord& game = *Game;
  TImageSprite::Advance(n);
  if (State == 1 && PlayerSprite) {
    // A fresh path every tick: straight at the place below the fighter, stopping on it.
    TFlightPath path;
    path.Speed = 0.2;
    path.Mode = 1;
    path.Spread = 0;
    path.TurnRate = std::numbers::pi / 60;
    path.Travel = -2;
    const TPlayerSprite& p = *PlayerSprite;
    Path = AimPath(path, Round(X), Round(Y), Round(p.X + p.Width / 2 - Width / 2),
                   Round(p.Y + p.Height / 2 + 50));
  } else if (State == -1) {
    if (Clock > 200) {
      Clock = 0;
      State = -2;
      Visible = false;
    }
  } else if (State == -2) {
    if (Clock > 1500) {
      game.PendingScene = ssGameOver;
      game.MusicCommand("STOP");
      game.PalleteAnim({0, 0, 0}, 300);
      game.Wait(200);
    }
  }
  if (State > 0) {
    Path = StepPath(Path, n, {0, 0});
    X = Path.CurX;
    Y = Path.CurY;
    const int smokeGap = game.CommanderDamage > 90 ? 30 : game.CommanderDamage > 70 ? 100 : -1;
    if (smokeGap >= 0) {
      if (SmokeTime > smokeGap) {
        auto* puff = new TSmoke(Engine());
        puff->SetZ(10);
        puff->Drift = 0;
        puff->X = X + Width / 2 + Random(10) - 15;
        puff->Y = Y + 20;
        SmokeTime = 0;
      } else {
        SmokeTime += n;
      }
    }
    CheckCollisions();
  }
  Clock += n;
}

void TCyoukanIssiki::Collided(TSprite* other, bool& /*stop*/) {
  auto* enemy = dynamic_cast<TEnemy*>(other);
  // Ships pass under it and the support plane is a friend; everything else that flies or is
  // fired, the joke target included, hurts.
  if (!enemy || IsClassOneOf(*enemy, {"TIssiki", "TEnemyEnterprise", "TEnemyMissouri",
                                      "TEnemyDestroyer", "TEnemyLCI", "TEnemyLSM"}))
    return;
  const TRect b = BoundsRect();
  const TRect theirs = other->BoundsRect();
  const bool wings = CornersOverlap({b.Left, b.Top + 20, b.Right, b.Bottom - 40}, theirs);
  const bool fuselage = CornersOverlap({b.Left + 46, b.Top, b.Right - 46, b.Bottom}, theirs);
  if (!wings && !fuselage) return;
  TGameRecord& game = *Game;
  game.CommanderDamage += enemy->Power / 2.0;
  enemy->TakeDamage(RamDamage);
  if (CommanderHeldAlive && Round(game.CommanderDamage) >= 100) game.CommanderDamage = 99;
  if (Round(game.CommanderDamage) >= 100) Explode();
}

void TCyoukanIssiki::Explode() {
  BurstIntoFlames(*this);
  State = -1;
  Clock = 0;
}

}  // namespace velmora
