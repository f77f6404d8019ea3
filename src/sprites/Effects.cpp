#include "sprites/Effects.h"

#include <cmath>

#include "engine/Random.h"
#include "sprites/GameImages.h"

namespace velmora {

namespace {

// Shifts a coordinate by up to 0.099 px per ms either way; the side is drawn first.
double Jitter(int n) {
  if (Random(2) == 0) return Random(100) / 1000.0 * n;
  return -(Random(100) / 1000.0 * n);
}

// A throw speed of 1/8 ... 9/5 px per ms against the axis. The numerator is drawn before the
// denominator, which replays rely on.
double ThrowAgainst() {
  const int num = Random(9) + 1;
  const int den = Random(4) + 5;
  return -std::fabs(static_cast<double>(num) / den);
}

double ThrowAlong() {
  return (Random(9) + 1) / 7.0;
}

}  // namespace

TExplosion::TExplosion(TSprite* parent) : TImageSprite(parent) {
  SetImageSized(&GameImages().Find("Explosion"));
  AnimFrames = 3;
  AnimLoop = false;
  AnimRate = 0.012;
  AnimPhase = 0;
}

void TExplosion::Advance(int moveCount) {
  TImageSprite::Advance(moveCount);
  if (Sink == 1) Y += 0.08 * moveCount;
  if (Lifetime < Age) Kill();
  Age += moveCount;
}

TSmoke::TSmoke(TSprite* parent) : TImageSprite(parent) {
  Image = &GameImages().Find("Smoke");
  Width = 32;
  Height = 32;
  AnimFrames = 4;
  AnimLoop = true;
  AnimRate = 0.5;
  AnimPhase = Random(4);
}

void TSmoke::Advance(int moveCount) {
  const int n = moveCount;
  TImageSprite::Advance(n);
  switch (Drift) {
    case 0:
      Y += 0.3 * n;
      X += Jitter(n);
      if (Age > 200) Kill();
      break;
    case 1:
      Y -= 0.3 * n;
      X += Jitter(n);
      if (Age > 200) Kill();
      break;
    case 2:
      X += 0.2 * n;
      Y += Jitter(n);
      if (Age > 300) Kill();
      break;
    default:
      break;
  }
  Age += n;
}

TJib::TJib(TSprite* parent) : TImageSprite(parent) {
  SetImageSized(&GameImages().Find("Explosion"));
  AnimBase = 0;
  AnimLoop = false;
  AnimRate = 0;
  AnimPhase = 0;
  VY = Random(2) == 0 ? ThrowAgainst() : ThrowAlong();
  VX = Random(2) == 0 ? ThrowAlong() : ThrowAgainst();
}

void TJib::Advance(int moveCount) {
  const int n = moveCount;
  TImageSprite::Advance(n);
  X += n * VX;
  Y += n * VY;
  VX += n * AX / 1000;
  VY += n * AY / 1000;
  if (AY > 0) {
    // Falling debris is kept until it lands, even off the sides, so it always hits bottom.
    if (Y + Height > 480) {
      VX = 0;
      VY = 0;
      AY = 0;
    }
  } else {
    if (X > 640 || Y > 480 || X + Width < 0 || Y + Height < 0) Kill();
    if (Age > Lifetime) Kill();
  }
  Age += n;
}

}  // namespace velmora
