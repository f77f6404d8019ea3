// The two boss vessels: the battleship with its three main-gun turrets, and the carrier that
// launches homing fighters. Both halt the schedule while they live and cruise back and forth
// until sunk.
#pragma once

#include <cstdint>

#include "sprites/Enemy.h"

namespace velmora {

class TEnemyMissouri : public TEnemy {
 public:
  explicit TEnemyMissouri(TSprite* parent);
  const char* ClassName() const override { return "TEnemyMissouri"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;
  bool TestZoneHit(TSprite& shot, int32_t power) override;

  int32_t Turret1HP = 300;
  int32_t Turret2HP = 300;
  int32_t Turret3HP = 300;

 private:
  void Attack(int m);
  // Fires one main gun unless its turret is gone; returns whether it fired.
  bool FireMainGun(int32_t turretHP, int dx, int dy);
  void StartBursts();
};

// Only the hull strip and the three live turrets can be struck; true when the shot struck
// any of them (and is spent like any hit).
bool TestMissouriHit(TEnemyMissouri& battleship, TSprite& shot, int32_t power);

class TEnemyEnterprise : public TEnemy {
 public:
  explicit TEnemyEnterprise(TSprite* parent);
  // Fighters still rolling on the deck lose their carrier.
  ~TEnemyEnterprise() override;
  const char* ClassName() const override { return "TEnemyEnterprise"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;

  // Milliseconds since the last launch.
  int32_t LaunchTime = 300;

 private:
  void Launch(int m);
  void Attack(int m);
};

}  // namespace velmora
