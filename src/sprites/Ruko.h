// The joke target of the bonus missions: a harmless drifting mascot worth one point that
// bursts into pieces which fall and pile up at the bottom of the screen.
#pragma once

#include "sprites/Enemy.h"

namespace velmora {

class TEnemyRuko : public TEnemy {
 public:
  explicit TEnemyRuko(TSprite* parent);
  const char* ClassName() const override { return "TEnemyRuko"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;

  // Pixels per millisecond, and pixels per millisecond per second.
  double VX = 0.05;
  double VY = 0.1;
  double AX = 0;
  double AY = 0;
};

}  // namespace velmora
