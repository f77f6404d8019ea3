// A main form on the headless machine with an empty play field, for stepping enemies.
#pragma once

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "sprites/Enemy.h"
#include "support/FieldFixture.h"

namespace velmora::test {

class EnemyFixture : public FieldFixture {
 protected:
  EnemyFixture() : FieldFixture(12345) { EmptyField(); }

  template <class T>
  T* Make(double x, double y, TSpawnValues values = {}) {
    auto* enemy = new T(&Engine());
    enemy->X = x;
    enemy->Y = y;
    enemy->Spawn(values);
    return enemy;
  }

  void Tick(int count = 1) { Step(count); }

  int CountOf(std::string_view className) {
    int n = 0;
    for (int i = 0; i < Engine().Count(); ++i)
      if (className == Engine().Items(i)->ClassName()) ++n;
    return n;
  }

  bool Alive(const TSprite* sprite) {
    for (int i = 0; i < Engine().Count(); ++i)
      if (Engine().Items(i) == sprite) return !sprite->Dying();
    return false;
  }
};

}  // namespace velmora::test
