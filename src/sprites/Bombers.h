// The bombers: armoured, pattern-driven, hovering or sweeping with burst fire; the heavy
// bomber also drops air-burst bombs once it has arrived.
#pragma once

#include <cstdint>
#include <string>

#include "sprites/Enemy.h"

namespace velmora {

class TBomber : public TEnemy {
 public:
  TBomber(TSprite* parent, const std::string& image, int32_t hitPoints, int32_t power,
          int32_t killScore, int32_t hitScore);
  const char* ClassName() const override { return "TBomber"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;

 private:
  int32_t KillScore_;
  int32_t HitScore_;
};

// Wears the game record's SBDImage; a bonus picture dies to any hit.
class TEnemySBD : public TBomber {
 public:
  explicit TEnemySBD(TSprite* parent);
  const char* ClassName() const override { return "TEnemySBD"; }
};

class TEnemyTBM : public TBomber {
 public:
  explicit TEnemyTBM(TSprite* parent);
  const char* ClassName() const override { return "TEnemyTBM"; }
};

class TEnemyB17 : public TBomber {
 public:
  explicit TEnemyB17(TSprite* parent);
  const char* ClassName() const override { return "TEnemyB17"; }

  void Advance(int moveCount) override;

  int32_t BombTime = 0;
};

class TEnemyB26 : public TBomber {
 public:
  explicit TEnemyB26(TSprite* parent);
  const char* ClassName() const override { return "TEnemyB26"; }
};

}  // namespace velmora
