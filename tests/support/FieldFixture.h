// A main form on the headless machine whose play field tests fill with the sprites they
// need, stepping only the sprites' part of a tick.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "engine/Random.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"

namespace velmora::test {

class FieldFixture : public ::testing::Test {
 protected:
  // Start-up as the game does it, then an empty field and a fixed seed.
  explicit FieldFixture(uint32_t seed) : Form(Machine.Platform) {
    Form.FormCreate();
    Form.FormPaint();
    Seed = seed;
  }
  void EmptyField() {
    Engine().Clear();
    RandSeed() = Seed;
  }

  TSpriteEngine& Engine() { return Form.SpriteEngine.Engine; }

  // The sprites' part of a tick: every sprite moves, then the killed ones are freed.
  void Step(int count = 1) {
    for (int i = 0; i < count; ++i) {
      Form.SpriteEngine.Move(kTickMs);
      Form.SpriteEngine.Dead();
    }
  }

  // The live sprites of a class, oldest first.
  template <class T>
  std::vector<T*> All() {
    std::vector<T*> found;
    for (int i = 0; i < Engine().Count(); ++i)
      if (auto* s = dynamic_cast<T*>(Engine().Items(i))) found.push_back(s);
    return found;
  }

  THeadlessMachine Machine;
  TMainForm Form;
  uint32_t Seed = 0;
};

}  // namespace velmora::test
