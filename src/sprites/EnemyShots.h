// Every bullet, fragment and splinter the enemies fire: one hit point, a straight fall or a
// flight path, and a short ricochet when the fighter rams it.
#pragma once

#include <cstdint>

#include "sprites/Enemy.h"
#include "sprites/FlightPath.h"

namespace velmora {

class TEnemyTama : public TEnemy {
 public:
  explicit TEnemyTama(TSprite* parent);
  const char* ClassName() const override { return "TEnemyTama"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;

  TFlightPath Path;
  // 0 falls straight down; 1 or 2 follows Path.
  int32_t ShotMode = 0;
  double FallSpeed = 0;
};

// A path on a fixed heading (degrees, 0 right, 90 down) starting from (x, y) rounded, as
// fan fire, bursts and the support plane's plasma use it.
TFlightPath HeadingPath(double x, double y, double degrees, double speed, int32_t spread);

}  // namespace velmora
