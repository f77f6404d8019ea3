// The sprites of the field that do not fight: lines of text, the title picture and the
// invisible event triggers the schedules use to drive music, scrolling, bonuses and the end
// of a mission.
#pragma once

#include <cstdint>
#include <string>

#include "engine/Sprite.h"

namespace velmora {

// One line of text, always centred horizontally when drawn. Style chooses both its motion
// and its font.
class TMojiSprite : public TSprite {
 public:
  explicit TMojiSprite(TSprite* parent);
  const char* ClassName() const override { return "TMojiSprite"; }
  void Advance(int moveCount) override;
  void Render() override;

  int32_t Age = 0;  // ms
  std::string Text;
  int32_t Style = 0;
};

class TTitleSprite : public TImageSprite {
 public:
  explicit TTitleSprite(TSprite* parent);
  const char* ClassName() const override { return "TTitleSprite"; }
  void Render() override;
};

// Acts once, on its first move step, and goes on the second. Style is the kind of action.
class TEventSprite : public TSprite {
 public:
  explicit TEventSprite(TSprite* parent);
  const char* ClassName() const override { return "TEventSprite"; }
  void Advance(int moveCount) override;
  void Render() override {}

  bool Done = false;
  std::string Text;
  int32_t Style = 0;
};

// Puts the three classes into the sprite class registry; safe to call more than once.
void RegisterTextSprites();

}  // namespace velmora
