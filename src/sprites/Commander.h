// The commander's plane the player escorts in mission 4: it keeps formation below the
// fighter, draws the enemies' fire, and its loss ends the mission as the fighter's would.
#pragma once

#include <cstdint>

#include "engine/Sprite.h"
#include "game/PlayState.h"
#include "sprites/FlightPath.h"

namespace velmora {

class TCyoukanIssiki : public TImageSprite {
 public:
  explicit TCyoukanIssiki(TSprite* parent);
  ~TCyoukanIssiki() override;
  const char* ClassName() const override { return "TCyoukanIssiki"; }

  void Advance(int moveCount) override;
  void Collided(TSprite* other, bool& stop) override;

  int32_t Clock = 0;
  // 1 following, -1 exploding, -2 wrecked (hidden, waiting for the game-over scene).
  int32_t State = 1;
  int32_t SmokeTime = 0;
  // What an enemy touching the plane takes.
  int32_t RamDamage = 20;
  TFlightPath Path;

 private:
  void Explode();
};

}  // namespace velmora
