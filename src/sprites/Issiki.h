// The support plane the player calls in: it climbs from the bottom of the screen spraying
// plasma shots in a turning circle.
#pragma once

#include <cstdint>

#include "sprites/Enemy.h"

namespace velmora {

class TIssiki : public TEnemy {
 public:
  explicit TIssiki(TSprite* parent);
  const char* ClassName() const override { return "TIssiki"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;

  int32_t ShotAngle = 0;
};

}  // namespace velmora
