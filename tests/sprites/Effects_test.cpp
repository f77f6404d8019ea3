#include "sprites/Effects.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/Random.h"
#include "sprites/GameImages.h"

namespace velmora {
namespace {

void AddBlank(TPictureCollection& images, const char* name, int w, int h, int pw, int ph) {
  TPictureCollectionItem& item = images.Add();
  item.SetName(name);
  item.Picture.Width = w;
  item.Picture.Height = h;
  item.Picture.BitCount = 8;
  item.Picture.Palette.assign(256, TRGB{});
  item.Picture.Indices.assign(static_cast<size_t>(w) * h, 0);
  item.PatternWidth = pw;
  item.PatternHeight = ph;
  item.Initialize(TPalette{});
}

class EffectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddBlank(images_, "Explosion", 300, 100, 100, 100);
    AddBlank(images_, "Smoke", 128, 32, 32, 32);
    SetGameImagesForTesting(&images_);
    RandSeed() = 12345;
  }
  void TearDown() override {
    engine_.Clear();
    SetGameImagesForTesting(nullptr);
  }
  // One frame as the game runs it; returns whether the sprite was queued for removal.
  bool Tick(TSprite& s) {
    engine_.MoveTree(16);
    return s.Dying();
  }
  // Ticks falling debris until it comes to rest; it must never be removed on the way.
  void Land(TJib& j) {
    for (int ticks = 0; j.AY > 0; ++ticks) {
      ASSERT_LT(ticks, 1000);
      const double bottom = j.Y + j.Height;
      ASSERT_FALSE(Tick(j));
      if (j.AY == 0) {
        EXPECT_LE(bottom, 480);
        EXPECT_GT(j.Y + j.Height, 480);
      }
    }
    EXPECT_EQ(j.VX, 0);
    EXPECT_EQ(j.VY, 0);
  }

  TPictureCollection images_;
  TSpriteEngine engine_;
};

TEST_F(EffectsTest, ExplosionPlaysOnceAndLivesItsLifetime) {
  auto* e = new TExplosion(&engine_);
  EXPECT_STREQ(e->ClassName(), "TExplosion");
  EXPECT_EQ(e->Width, 100);
  EXPECT_EQ(e->Height, 100);
  EXPECT_EQ(e->AnimFrames, 3);
  EXPECT_EQ(e->Lifetime, 400);
  for (int tick = 1; tick <= 26; ++tick)
    ASSERT_FALSE(Tick(*e)) << tick;
  EXPECT_EQ(e->PatternIndex(), 2);  // the last pattern stays
  EXPECT_EQ(e->Age, 416);
  EXPECT_TRUE(Tick(*e));
  EXPECT_DOUBLE_EQ(e->Y, 0);

  auto* short_lived = new TExplosion(&engine_);
  short_lived->Lifetime = 200;
  short_lived->Sink = 1;
  short_lived->Y = 50;
  for (int tick = 1; tick <= 13; ++tick)
    ASSERT_FALSE(Tick(*short_lived)) << tick;
  EXPECT_TRUE(Tick(*short_lived));
  EXPECT_NEAR(short_lived->Y, 50 + 14 * 1.28, 1e-9);
}

TEST_F(EffectsTest, SmokeDriftsKeepsItsPatternAndAgesOut) {
  auto* s = new TSmoke(&engine_);
  EXPECT_STREQ(s->ClassName(), "TSmoke");
  EXPECT_EQ(s->Width, 32);
  s->X = 300;
  s->Y = 100;
  const int pattern = s->PatternIndex();
  for (int tick = 1; tick <= 13; ++tick) {
    ASSERT_FALSE(Tick(*s)) << tick;
    EXPECT_EQ(s->PatternIndex(), pattern);
  }
  EXPECT_TRUE(Tick(*s));
  EXPECT_NEAR(s->Y, 167.2, 1e-9);
  // The sideways jitter stays within 1.584 px per tick.
  EXPECT_LE(std::fabs(s->X - 300), 14 * 1.584 + 1e-9);

  auto* rising = new TSmoke(&engine_);
  rising->Drift = 1;
  rising->Y = 100;
  auto* blown = new TSmoke(&engine_);
  blown->Drift = 2;
  auto* still = new TSmoke(&engine_);
  still->Drift = 3;
  for (int tick = 1; tick <= 14; ++tick)
    engine_.MoveTree(16);
  EXPECT_TRUE(rising->Dying());
  EXPECT_NEAR(rising->Y, 100 - 14 * 4.8, 1e-9);
  EXPECT_FALSE(blown->Dying());  // blown smoke lasts until Age passes 300
  for (int tick = 15; tick <= 20; ++tick)
    engine_.MoveTree(16);
  EXPECT_TRUE(blown->Dying());
  EXPECT_NEAR(blown->X, 20 * 3.2, 1e-9);
  EXPECT_FALSE(still->Dying());
  EXPECT_DOUBLE_EQ(still->X, 0);
  EXPECT_DOUBLE_EQ(still->Y, 0);
}

TEST_F(EffectsTest, DebrisVelocityDrawsInOrder) {
  bool seen[2][2] = {};
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    RandSeed() = seed;
    double vy, vx;
    if (Random(2) == 0) {
      const int num = Random(9) + 1;
      vy = -static_cast<double>(num) / (Random(4) + 5);
    } else {
      vy = (Random(9) + 1) / 7.0;
    }
    const bool right = Random(2) == 0;
    if (right) {
      vx = (Random(9) + 1) / 7.0;
    } else {
      const int num = Random(9) + 1;
      vx = -static_cast<double>(num) / (Random(4) + 5);
    }
    const uint32_t after = RandSeed();
    seen[vy > 0][right] = true;

    RandSeed() = seed;
    TJib j(&engine_);
    EXPECT_DOUBLE_EQ(j.VY, vy) << seed;
    EXPECT_DOUBLE_EQ(j.VX, vx) << seed;
    EXPECT_EQ(RandSeed(), after) << seed;
    EXPECT_GE(std::fabs(j.VY), 1.0 / 8);
    EXPECT_LE(std::fabs(j.VY), 2.0);
  }
  EXPECT_TRUE(seen[0][0] && seen[0][1] && seen[1][0] && seen[1][1]);
}

TEST_F(EffectsTest, FallingDebrisComesToRestThenAgesOut) {
  auto* j = new TJib(&engine_);
  EXPECT_STREQ(j->ClassName(), "TJib");
  EXPECT_EQ(j->Height, 100);
  j->X = 300;
  j->Y = 300;
  j->VX = 0.1;
  j->VY = -1.0;
  j->AY = 1.0;
  j->Lifetime = 100000;
  Land(*j);
  const double restX = j->X, restY = j->Y;
  j->Lifetime = j->Age + 32;
  EXPECT_FALSE(Tick(*j));
  EXPECT_FALSE(Tick(*j));
  EXPECT_FALSE(Tick(*j));  // Age equals Lifetime: not yet past it
  EXPECT_TRUE(Tick(*j));
  EXPECT_DOUBLE_EQ(j->X, restX);
  EXPECT_DOUBLE_EQ(j->Y, restY);
}

TEST_F(EffectsTest, FallingDebrisOffTheSideIsKeptUntilItLands) {
  auto* j = new TJib(&engine_);
  j->X = 600;
  j->Y = 300;
  j->VX = 1.0;
  j->VY = -0.5;
  j->AY = 1.0;
  j->Lifetime = 100000;
  Land(*j);
  EXPECT_GT(j->X, 640);
  EXPECT_TRUE(Tick(*j));  // off the side, though far from its lifetime
}

TEST_F(EffectsTest, DebrisLeavingTheLeftEdgeIsRemovedEarly) {
  auto* j = new TJib(&engine_);
  j->X = 10;
  j->Y = 200;
  j->VX = -2.0;
  j->VY = 0;
  for (int tick = 1; tick <= 3; ++tick)
    ASSERT_FALSE(Tick(*j)) << tick;
  EXPECT_TRUE(Tick(*j));  // 10 - 4 * 32 = -118, past its width of 100
  EXPECT_LT(j->Age, j->Lifetime);
}

}  // namespace
}  // namespace velmora
