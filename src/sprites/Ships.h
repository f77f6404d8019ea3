// The surface ships beneath the aircraft, and the two projectiles that burst into fragments:
// the battleship's main-gun shell and the heavy bombers' air-burst bomb.
#pragma once

#include <cstdint>
#include <string>

#include "sprites/Enemy.h"

namespace velmora {

// Drifts diagonally down and to the left, never firing.
class TLandingVessel : public TEnemy {
 public:
  TLandingVessel(TSprite* parent, const std::string& image);
  const char* ClassName() const override { return "TLandingVessel"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;
};

class TEnemyLSM : public TLandingVessel {
 public:
  explicit TEnemyLSM(TSprite* parent) : TLandingVessel(parent, "LSM") {}
  const char* ClassName() const override { return "TEnemyLSM"; }
};

class TEnemyLCI : public TLandingVessel {
 public:
  explicit TEnemyLCI(TSprite* parent) : TLandingVessel(parent, "LCI") {}
  const char* ClassName() const override { return "TEnemyLCI"; }
};

// Steams down the screen, backs up once, and steams down and away the second time.
class TEnemyDestroyer : public TEnemy {
 public:
  explicit TEnemyDestroyer(TSprite* parent);
  const char* ClassName() const override { return "TEnemyDestroyer"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;
};

// Falls from its turret and bursts a little below the middle of the screen.
class TEnemy30cm : public TEnemy {
 public:
  explicit TEnemy30cm(TSprite* parent);
  const char* ClassName() const override { return "TEnemy30cm"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;
};

// Drifts diagonally and bursts after 3500 ms.
class TEnemyAABomb : public TEnemy {
 public:
  explicit TEnemyAABomb(TSprite* parent);
  const char* ClassName() const override { return "TEnemyAABomb"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;

  double VX = 0, VY = 0;  // px per ms
};

// The burst of a shell or bomb: ten fragments from its centre on random headings.
void SpawnFragments(TEnemy& burst);

}  // namespace velmora
