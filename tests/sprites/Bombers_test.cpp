#include "sprites/Bombers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sprites/EnemyFixture.h"
#include "sprites/Ships.h"

namespace velmora {
namespace {

using BombersTest = test::EnemyFixture;

TEST_F(BombersTest, AHeavyBomberHoldsItsBombsWhileArrivingAndThenWaitsOverThreeSeconds) {
  auto* bomber = Make<TEnemyB17>(200, 0, {-2, 0});
  EXPECT_GE(bomber->BombTime, 1000);
  EXPECT_LT(bomber->BombTime, 3000);
  // Long overdue, yet nothing falls before it has arrived.
  bomber->BombTime = 100000;
  int arrivingSteps = 0;
  for (;;) {
    bomber->Advance(16);
    if (bomber->State != 0) break;
    ++arrivingSteps;
    ASSERT_EQ(CountOf("TEnemyAABomb"), 0);
  }
  EXPECT_EQ(arrivingSteps, 18);  // 70 px at 4 px a step
  ASSERT_EQ(CountOf("TEnemyAABomb"), 1);
  EXPECT_EQ(bomber->BombTime, 0);
  auto* bomb = All<TEnemyAABomb>()[0];
  EXPECT_EQ(bomb->X, bomber->X + bomber->Width / 2);
  EXPECT_DOUBLE_EQ(std::fabs(bomb->VX), 0.025);
  EXPECT_DOUBLE_EQ(std::fabs(bomb->VY), 0.025);

  int32_t lastTimer = 0;
  for (int i = 0; i < 400 && CountOf("TEnemyAABomb") == 1; ++i) {
    lastTimer = bomber->BombTime;
    bomber->Advance(16);
  }
  EXPECT_EQ(CountOf("TEnemyAABomb"), 2);
  EXPECT_GT(lastTimer, 3000);
  EXPECT_LE(lastTimer, 3000 + 1999 + 16);
}

TEST_F(BombersTest, ArmourRingsAndScoresUntilTheBomberGoesDownInPieces) {
  auto* bomber = Make<TEnemyB26>(200, 100, {-1, 0});
  bomber->TakeDamage(199);
  EXPECT_EQ(Form.Score, 50);
  EXPECT_EQ(bomber->State, 0);
  bomber->TakeDamage(1);
  EXPECT_EQ(Form.Score, 950);
  EXPECT_EQ(bomber->State, -1);
  EXPECT_FALSE(bomber->Collides);
  Tick();
  EXPECT_EQ(CountOf("TEnemyB26"), 0);
  EXPECT_EQ(CountOf("TExplosion"), 11);
  EXPECT_GT(CountOf("TJib"), 0);
}

}  // namespace
}  // namespace velmora
