#include "sprites/HeavyBomber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "engine/Random.h"
#include "shell/MainForm.h"
#include "sprites/EnemyFixture.h"
#include "sprites/EnemyShots.h"
#include "sprites/PlayerShots.h"
#include "sprites/SpawnFlags.h"

namespace velmora::test {
namespace {

class HeavyBomberTest : public EnemyFixture {
 protected:
  // A bomber that has arrived and drifts, its first wait still to run.
  TEnemyB29* Drifting(double x, double y, uint16_t flags = SF_STOPADV) {
    auto* b = Make<TEnemyB29>(x, y, {0, flags});
    b->State = 1;
    b->Collides = true;
    b->VX = 0.3;
    b->VY = 0.27;
    return b;
  }
};

TEST_F(HeavyBomberTest, ArrivesOutOfReachThenDriftsAndBouncesFarOutside) {
  TEnemyB29* b = Make<TEnemyB29>(200, -300, {0, SF_STOPADV});
  Tick();
  EXPECT_DOUBLE_EQ(b->Y, -296.8);
  EXPECT_FALSE(b->Collides);
  EXPECT_TRUE(Form.AdvanceStopped);
  int steps = 1;
  while (b->State == 0 && steps < 200) {
    Tick();
    ++steps;
  }
  // 400 px at 3.2 a step, and the step that finds it there.
  EXPECT_NEAR(steps, 126, 1);
  EXPECT_TRUE(b->Collides);
  EXPECT_DOUBLE_EQ(b->VX, 0.3);
  EXPECT_DOUBLE_EQ(b->VY, 0.27);
  // Bounces only at 840 on the right and 680 at the bottom.
  b->X = 840 - b->Width - 3;
  b->Y = 680 - b->Height - 3;
  b->Phase = 5;  // keep the ring's slow-down out of it
  Tick();
  EXPECT_LT(b->VX, 0);
  EXPECT_LT(b->VY, 0);
}

TEST_F(HeavyBomberTest, HitsScoreAndTheBurningFallHoldsTheClockUntilTheWreckIsGone) {
  TEnemyB29* b = Drifting(200, 200);
  Tick();
  b->TakeDamage(10);
  EXPECT_EQ(Form.Score, 200);
  b->TakeDamage(b->HitPoints);
  EXPECT_EQ(Form.Score, 25200);
  EXPECT_EQ(b->State, -1);
  EXPECT_EQ(b->Phase, -1);
  EXPECT_FALSE(b->Collides);
  int steps = 0;
  while (Alive(b)) {
    Tick();
    ++steps;
    if (Alive(b)) {
      EXPECT_TRUE(Form.AdvanceStopped) << steps;
    }
    ASSERT_LT(steps, 200);
  }
  // 0.08 px per ms from 204.32 to past 350: 114 steps, released on the last of them.
  EXPECT_EQ(steps, 114);
  EXPECT_FALSE(Form.AdvanceStopped);
  EXPECT_FALSE(Form.ReinforcementsOn);
}

TEST_F(HeavyBomberTest, RingsCrossAndBurstsInTurn) {
  std::set<int> firstAngles;
  for (uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
    EmptyField();
    RandSeed() = seed;
    TEnemyB29* b = Drifting(200, 100);
    b->PhaseTime = 3001;
    Tick();
    ASSERT_EQ(b->Phase, 1);
    firstAngles.insert(b->FanAngle);
    EXPECT_NEAR(b->VX, 0.1, 1e-12);
  }
  // The first ring starts where chance puts it.
  EXPECT_GE(firstAngles.size(), 4u);

  EmptyField();
  TEnemyB29* b = Drifting(200, 100);
  b->Phase = 2;
  b->PhaseTime = 101;
  Tick();
  ASSERT_EQ(b->Phase, 3);
  // The cross: it hovers and fires to the four diagonals in turn.
  const double x = b->X, y = b->Y;
  std::set<int> headings;
  std::set<uint64_t> shots;
  while (b->Phase == 3) {
    Tick();
    EXPECT_EQ(b->X, x);
    EXPECT_EQ(b->Y, y);
    for (TEnemyTama* t : All<TEnemyTama>())
      if (shots.insert(t->Serial).second)
        headings.insert(static_cast<int>(std::lround(t->Path.AimHeading * 180 / M_PI / 15)) * 15);
    ASSERT_LT(b->Age, 20000);
  }
  EXPECT_EQ(headings, (std::set<int>{45, 135, 225, 315}));
  EXPECT_EQ(shots.size(), 41u);
  // Phase 4 drifts off on a diagonal.
  EXPECT_EQ(std::abs(b->VX), 0.3);
  EXPECT_EQ(std::abs(b->VY), 0.27);
  Tick();
  EXPECT_NE(b->X, x);
  EXPECT_NE(b->Y, y);
  // After the bursts, the next ring starts from 0 and slows the drift again.
  b->Phase = 6;
  b->PhaseTime = 501;
  Tick();
  EXPECT_EQ(b->Phase, 1);
  EXPECT_EQ(b->FanAngle, 0);
  EXPECT_NEAR(std::abs(b->VX), 0.1, 1e-12);
}

TEST_F(HeavyBomberTest, TheFinalesBomberOnlyClimbsOutUntouchable) {
  auto* b = Make<TEnemyB29>(170, 480, {0, SF_ENDINGOBJ});
  Form.AdvanceStopped = true;
  auto* shot = new TTamaSprite(&Engine());
  shot->Climb = 1;
  int steps = 0;
  while (Alive(b)) {
    // A shot of the player's kept on its middle while both are on the screen.
    if (shot && Alive(shot) && b->Y > 0) {
      shot->X = b->X + 150;
      shot->Y = b->Y + 100;
    } else {
      shot = nullptr;
    }
    EXPECT_EQ(b->HitPoints, 1500);
    EXPECT_FALSE(b->Collides);
    Tick();
    ++steps;
    ASSERT_LT(steps, 400);
    if (steps == 10) Form.AdvanceStopped = false;
  }
  // 3.2 px a step from 480 until the tail is past the top.
  EXPECT_EQ(steps, 216);
  EXPECT_EQ(Form.Score, 0);
  EXPECT_FALSE(Form.AdvanceStopped);
  EXPECT_EQ(CountOf("TEnemyTama"), 0);
  EXPECT_EQ(CountOf("TEnemyAABomb"), 0);
}

}  // namespace
}  // namespace velmora::test
