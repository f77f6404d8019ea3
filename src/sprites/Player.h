// The fighter the player flies: movement, volleys, support calls, smoke, contact damage and
// its end, and the aim point the enemies shoot at.
#pragma once

#include <cstdint>

#include "engine/Sprite.h"
#include "engine/Types.h"
#include "game/PlayState.h"

namespace velmora {

class TPlayerSprite : public TImageSprite {
 public:
  explicit TPlayerSprite(TSprite* parent);
  ~TPlayerSprite() override;
  const char* ClassName() const override { return "TPlayerSprite"; }

  void Advance(int moveCount) override;
  void Collided(TSprite* other, bool& stop) override;

  int32_t Clock = 0;
  // 0 flying, 1 exploding, 2 wrecked (hidden, waiting for the game-over scene).
  int32_t State = 0;
  // +1 per volley, -1 per shot freed; two-shot volleys drive it below zero.
  int32_t ShotsOut = 0;
  int32_t LastShot = 0;
  int32_t SmokeTime = 0;
  int32_t RamDamage = 30;
  TPoint AimPoint;

 private:
  void FireVolley();
  void Explode();
};

// A plane of the player's side going up in flames: the explosion takes the place of its
// picture and nothing can touch it any more.
void BurstIntoFlames(TImageSprite& plane);

// Where enemies aim: the fighter's aim point, or where it last was once the fighter is gone
// (before any fighter flies, the centre of a fighter at its starting place).
TPoint CurrentAimPoint();

}  // namespace velmora
