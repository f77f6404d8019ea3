#include "sprites/Ruko.h"

#include "game/GameRecord.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

TEnemyRuko::TEnemyRuko(TSprite* parent) : TEnemy(parent) {
  SetUpImage("Ruko");
  HitPoints = 1;
  Power = 0;
  PixelTest = false;
  SetZ(0);
}

void TEnemyRuko::Advance(int moveCount) {
  const int m = moveCount;
  TImageSprite::Advance(m);
  TGameRecord& game = *Game;
  // Rewritten every step, so a target holding the clock keeps it held against other writers.
  if (Flags & SF_STOPADV) game.AdvanceStopped = true;
  if (Flags & SF_HighSpeed) AX = 0.3;
  X += m * VX;
  Y += m * VY;
  VX += m * AX / 1000;
  VY += m * AY / 1000;
  // Leaving by the bottom ends it the same way as a hit; it never leaves by a side.
  if (Y + Height > 480 || State == -1) {
    game.AdvanceStopped = false;
    Kill();
    game.PlaySound("Explosion");
    SpawnDebris(*this, 10000);
    SpawnExplosion(*this, 200, false);
  }
}

void TEnemyRuko::DoHit(bool destroyed) {
  if (!destroyed) return;
  Game->PlaySound("Explosion");
  State = -1;
  Age = 0;
  Game->Score += 1;
}

}  // namespace velmora
