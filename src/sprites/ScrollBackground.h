// The tiled sea that scrolls down behind everything at the scene's scroll speed.
#pragma once

#include "engine/Sprite.h"

namespace velmora {

class TScrollBackground : public TBackgroundSprite {
 public:
  explicit TScrollBackground(TSprite* parent) : TBackgroundSprite(parent) {}
  const char* ClassName() const override { return "TScrollBackground"; }
  void Advance(int moveCount) override;

  int ScrollKind = 0;
};

}  // namespace velmora
