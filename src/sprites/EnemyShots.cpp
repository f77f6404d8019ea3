#include "sprites/EnemyShots.h"

#include <numbers>

#include "engine/MathUtil.h"
#include "engine/Random.h"
#include "game/GameRecord.h"
#include "sprites/GameImages.h"

namespace velmora {

TEnemyTama::TEnemyTama(TSprite* parent) : TEnemy(parent) {
  SetImageSized(&GameImages().Find("30cal"));
  ShotMode = 0;
  Power = 1;
  HitPoints = 1;
  State = 0;
  Age = 0;
  PixelTest = false;
  AnimLoop = true;
  AnimRate = 0.001;
  AnimPhase = Random(AnimFrames);
}

void TEnemyTama::Advance(int moveCount) {
  const int m = moveCount;
  TImageSprite::Advance(m);
  if (State == 0) {
    if (ShotMode == 0) {
      Y += m * FallSpeed;
    } else if (ShotMode == 1 || ShotMode == 2) {
      Path = StepPath(Path, m, {0, 0});
      X = Path.CurX;
      Y = Path.CurY;
    }
    if (Age > 2500 || Y > 740) Kill();
  } else if (Age > 150) {
    Kill();
  }
  Age += m;
}

void TEnemyTama::DoHit(bool destroyed) {
  if (!destroyed) return;
  Game->PlaySound("Kan!!");
  TPictureCollectionItem& spark = GameImages().Find("TamaHane");
  const int w = spark.PatternWidthEff(), h = spark.PatternHeightEff();
  X += Width / 2 - w / 2;
  Y += Height / 2 - h / 2;
  Image = &spark;
  Width = w;
  Height = h;
  AnimFrames = spark.PatternCount();
  AnimLoop = false;
  AnimRate = 0.01;
  AnimPhase = 0;
  Age = 0;
  State = 1;
}

TFlightPath HeadingPath(double x, double y, double degrees, double speed, int32_t spread) {
  TFlightPath path;
  path.Travel = -2;
  path.Speed = speed;
  path.TurnRate = std::numbers::pi / 60;
  path.Mode = 0;
  path.Spread = spread;
  path.AimHeading = degrees * std::numbers::pi / 180;
  return AimPath(path, Round(x), Round(y), 0, 0);
}

}  // namespace velmora
