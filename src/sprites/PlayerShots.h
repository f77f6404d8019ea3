// The sprites that act for the player: the fighter's gun shots, the support plane's plasma
// shots and the items destroyed enemies drop.
#pragma once

#include <cstdint>

#include "engine/Sprite.h"
#include "sprites/FlightPath.h"

namespace velmora {

class TPlayerSprite;

class TTamaSprite : public TImageSprite {
 public:
  explicit TTamaSprite(TSprite* parent);
  // Gives the volley back to the fighter's count.
  ~TTamaSprite() override;
  const char* ClassName() const override { return "TTamaSprite"; }

  void Advance(int moveCount) override;
  void Collided(TSprite* other, bool& stop) override;

  TPlayerSprite* Owner = nullptr;
  // 0 rises by itself.
  int32_t Climb = 0;
  int32_t Clock = 0;
  int32_t ShotDamage = 2;
  // Toughness left; a hit that takes it below 0 spends the shot.
  int32_t Penetration = 10;
};

class TFriendTamaSprite : public TImageSprite {
 public:
  explicit TFriendTamaSprite(TSprite* parent);
  const char* ClassName() const override { return "TFriendTamaSprite"; }

  void Advance(int moveCount) override;
  void Collided(TSprite* other, bool& stop) override;

  TFlightPath Path;
  // 0 rises straight, 1 or 2 follows Path, anything else stays put.
  int32_t ShotMode = 1;
  int32_t Clock = 0;
  int32_t ShotDamage = 5;
  int32_t Penetration = 30;
};

class TItemSprite : public TImageSprite {
 public:
  explicit TItemSprite(TSprite* parent);
  const char* ClassName() const override { return "TItemSprite"; }

  void Advance(int moveCount) override;
  void Collided(TSprite* other, bool& stop) override;

  // 0 repair, 1 power.
  int32_t ItemKind = 0;
};

}  // namespace velmora
