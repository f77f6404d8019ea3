// A main form on the headless machine with an empty play field, for stepping enemies.
#pragma once

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "engine/Random.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"
#include "sprites/Enemy.h"

namespace velmora::test {

class EnemyFixture : public ::testing::Test {
 protected:
  EnemyFixture() : Form(Machine.Platform) {
    Form.FormCreate();
    Form.FormPaint();
    Engine().Clear();
    RandSeed() = 12345;
  }

  TSpriteEngine& Engine() { return Form.SpriteEngine.Engine; }

  template <class T>
  T* Make(double x, double y, TSpawnValues values = {}) {
    auto* enemy = new T(&Engine());
    enemy->X = x;
    enemy->Y = y;
    enemy->Spawn(values);
    return enemy;
  }

  // Whole engine ticks: every sprite moves, the killed ones are freed.
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      Form.SpriteEngine.Move(16);
      Form.SpriteEngine.Dead();
    }
  }

  template <class T>
  std::vector<T*> All() {
    std::vector<T*> found;
    for (int i = 0; i < Engine().Count(); ++i)
      if (auto* s = dynamic_cast<T*>(Engine().Items(i))) found.push_back(s);
    return found;
  }

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

  THeadlessMachine Machine;
  TMainForm Form;
};

}  // namespace velmora::test
