#include "sprites/Bombers.h"

#include "engine/Random.h"
#include "game/GameRecord.h"
#include "sprites/Ships.h"

namespace velmora {

TBomber::TBomber(TSprite* parent, const std::string& image, int32_t hitPoints, int32_t power,
                 int32_t killScore, int32_t hitScore)
    : TEnemy(parent), KillScore_(killScore), HitScore_(hitScore) {
  SetUpImage(image);
  HitPoints = hitPoints;
  Power = power;
  PixelTest = true;
  SetZ(2);
  FireTime = 1000;
  BurstTime = 1000;
  SmokeTime = 0;
}

void TBomber::Advance(int moveCount) {
  TImageSprite::Advance(moveCount);
  MoveByPattern(*this, Pattern, moveCount);
}

void TBomber::DoHit(bool destroyed) {
  TGameRecord& game = *Game;
  if (destroyed) {
    game.PlaySound("Explosion");
    State = -1;
    Age = 0;
    game.Score += KillScore_;
  } else {
    game.PlaySound("kan!!");
    game.Score += HitScore_;
  }
}

TEnemySBD::TEnemySBD(TSprite* parent)
    : TBomber(parent, Game->SBDImage, Game->SBDImage == "SBD" ? 100 : 1, 50, 700, 50) {}

TEnemyTBM::TEnemyTBM(TSprite* parent) : TBomber(parent, "TBM", 130, 50, 800, 50) {}

TEnemyB17::TEnemyB17(TSprite* parent) : TBomber(parent, "B17", 230, 60, 1000, 100) {
  BombTime = 1000 + Random(2000);
}

void TEnemyB17::Advance(int moveCount) {
  const int m = moveCount;
  TBomber::Advance(m);
  // Bombs only once it has arrived; still arriving it holds them.
  if (State < 1) return;
  const int r = Random(2000);
  if (3000 + r >= BombTime) {
    BombTime += m;
    return;
  }
  auto* bomb = new TEnemyAABomb(Engine());
  bomb->X = X + Width / 2;
  bomb->Y = Y + Height / 2;
  BombTime = 0;
  switch (Random(4)) {
    case 0:
      bomb->VX = 0.025, bomb->VY = 0.025;
      break;
    case 1:
      bomb->VX = -0.025, bomb->VY = 0.025;
      break;
    case 2:
      bomb->VX = 0.025, bomb->VY = -0.025;
      break;
    default:
      bomb->VX = -0.025, bomb->VY = -0.025;
      break;
  }
}

TEnemyB26::TEnemyB26(TSprite* parent) : TBomber(parent, "B26", 200, 60, 900, 50) {}

}  // namespace velmora
