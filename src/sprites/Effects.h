// Decorative sprites: blasts, smoke puffs and flying debris. They never collide and nothing
// reacts to them; creators set picture, position and depth after construction.
#pragma once

#include <cstdint>

#include "engine/Sprite.h"

namespace velmora {

class TExplosion : public TImageSprite {
 public:
  // "Explosion", its 3 patterns played once.
  explicit TExplosion(TSprite* parent);
  const char* ClassName() const override { return "TExplosion"; }
  void Advance(int moveCount) override;

  int32_t Age = 0;
  int32_t Lifetime = 400;
  // 1 sinks slowly; anything else stays put.
  int32_t Sink = 0;
};

class TSmoke : public TImageSprite {
 public:
  // "Smoke", one randomly chosen pattern for its whole life.
  explicit TSmoke(TSprite* parent);
  const char* ClassName() const override { return "TSmoke"; }
  void Advance(int moveCount) override;

  int32_t Age = 0;
  // 0 sinks, 1 rises, 2 blows to the right; any other value stays put for ever.
  int32_t Drift = 0;
};

class TJib : public TImageSprite {
 public:
  // Thrown in a random direction; creators usually swap in a "<Name>_JIB" image.
  explicit TJib(TSprite* parent);
  const char* ClassName() const override { return "TJib"; }
  void Advance(int moveCount) override;

  double VX = 0, VY = 0;  // px per ms
  double AX = 0, AY = 0;  // change of VX, VY per second; AY > 0 falls and comes to rest
  int32_t Lifetime = 200;
  int32_t Age = 0;
};

}  // namespace velmora
