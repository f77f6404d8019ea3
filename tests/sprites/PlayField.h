// A main form in play with an empty field, on which tests place the fighter and the enemies
// they need and run the sprites' tick directly.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sprites/Enemy.h"
#include "sprites/GameImages.h"
#include "sprites/Player.h"
#include "support/FieldFixture.h"

namespace velmora::test {

// An enemy that moves by its pattern and, when destroyed, plays out its death on the next
// step, as the fighters and bombers do.
class TPatternEnemy : public TEnemy {
 public:
  using TEnemy::TEnemy;
  void Advance(int moveCount) override {
    TImageSprite::Advance(moveCount);
    MoveByPattern(*this, Pattern, moveCount);
  }
  void DoHit(bool destroyed) override {
    if (!destroyed) return;
    State = -1;
    Age = 0;
  }
};

class PlayField : public FieldFixture {
 protected:
  PlayField() : FieldFixture(4242) {
    Form.SetScene(ssPlay);
    EmptyField();
  }
  ~PlayField() override { CommanderPlane = nullptr; }

  // A stationary enemy (pattern 0) wearing an image of the game.
  template <class T = TPatternEnemy>
  T* AddEnemy(const std::string& image, double x, double y, int hitPoints, int power,
              int pattern = 0, uint16_t flags = 0) {
    auto* e = new T(&Engine());
    e->SetImageSized(&GameImages().Find(image));
    e->AnimLoop = true;
    e->X = x;
    e->Y = y;
    e->HitPoints = hitPoints;
    e->Power = power;
    e->Spawn({pattern, flags, false});
    return e;
  }

  // How often the effect of that name has been played.
  int Plays(const std::string& name) {
    TWaveItem& item = Form.DXWaveList.Find(name);
    int count = 0;
    for (const auto& record : Machine.Sound.PlayLog)
      for (int i = 0; i < item.CopyCount(); ++i)
        if (item.CopyAt(i) == record.Buffer) ++count;
    return count;
  }
};

}  // namespace velmora::test
