#include "sprites/Issiki.h"

#include "game/GameRecord.h"
#include "sprites/EnemyShots.h"
#include "sprites/GameImages.h"
#include "sprites/PlayerShots.h"

namespace velmora {

TIssiki::TIssiki(TSprite* parent) : TEnemy(parent) {
  SetUpImage("Issiki");
  HitPoints = 20;
  Power = 0;
  PixelTest = false;
  SetZ(10);
  X = 320 - Width / 2;
  Y = 480;
  FireTime = 0;
  ShotAngle = 0;
}

void TIssiki::Advance(int moveCount) {
  const int m = moveCount;
  TImageSprite::Advance(m);
  if (State == 0) {
    Y -= 0.25 * m;
    if (Y + Height < 0) Kill();
    if (FireTime <= 30) {
      FireTime += m;
    } else {
      FireTime = 0;
      Game->PlaySound("50cal");
      auto* shot = new TFriendTamaSprite(Engine());
      // Mode 2 marks the support plane's special shot; it flies like mode 1.
      shot->ShotMode = 2;
      shot->SetZ(1);
      shot->X = X + Width / 2 - 15;
      shot->Y = Y + Height / 2 - 30;
      shot->Path = HeadingPath(shot->X, shot->Y, ShotAngle, 0.4, 50);
      ShotAngle += 30;
      if (ShotAngle > 360) ShotAngle = 0;
    }
  } else if (State == 2) {
    Y -= 0.25 * m;
    if (Age > 200) Kill();
  }
  Age += m;
}

void TIssiki::DoHit(bool destroyed) {
  if (!destroyed) return;
  Game->PlaySound("Explosion");
  State = 2;
  Age = 0;
  SetImageSized(&GameImages().Find("Explosion"));
  AnimLoop = false;
  AnimRate = 0.015;
  AnimPhase = 0;
}

}  // namespace velmora
