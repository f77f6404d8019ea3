// The last boss: a heavy bomber that drifts about well beyond the screen's edges, drops
// air-burst bombs and cycles through a ring of fire, a hovering cross and aimed bursts. Shot
// down, it falls slowly in flames and holds the schedule until it is gone. In the finale the
// same bomber, marked as an ending object, only climbs across the closing text.
#pragma once

#include <cstdint>

#include "sprites/Enemy.h"

namespace velmora {

class TEnemyB29 : public TEnemy {
 public:
  explicit TEnemyB29(TSprite* parent);
  const char* ClassName() const override { return "TEnemyB29"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;

  double VX = 0, VY = 0;  // px per ms
  double AX = 0, AY = 0;  // never set: the drift only bounces
  int32_t BombTime = 0;

 private:
  void SmokeAndBombs(int m);
  void Move(int m);
  void Attack(int m);
  void FireFan(int dy, double speed, int32_t power);
};

}  // namespace velmora
