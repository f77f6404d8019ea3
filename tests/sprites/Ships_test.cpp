#include "sprites/Ships.h"

#include <gtest/gtest.h>

#include "sprites/EnemyFixture.h"
#include "sprites/EnemyShots.h"

namespace velmora {
namespace {

using ShipsTest = test::EnemyFixture;

TEST_F(ShipsTest, ADestroyerTurnsBackOnceAndIsGoneTheSecondTimeItPasses580) {
  auto* destroyer = Make<TEnemyDestroyer>(300, 570);
  Tick(3);  // 579.6, then past 580
  EXPECT_EQ(destroyer->State, 0);
  Tick();
  EXPECT_EQ(destroyer->State, 1);
  Tick();
  EXPECT_DOUBLE_EQ(destroyer->Y, 582.8 - 1.6);
  destroyer->Y = -99;
  Tick();
  EXPECT_EQ(destroyer->State, 0);
  EXPECT_EQ(destroyer->PhaseTime, 1);
  destroyer->Y = 575;
  Tick();
  EXPECT_TRUE(Alive(destroyer));
  Tick();
  EXPECT_FALSE(Alive(destroyer));
}

TEST_F(ShipsTest, ShellsAndAirBurstsBurstIntoTenFragmentsEvenWhenShotDown) {
  auto* shell = Make<TEnemy30cm>(300, 290);
  Tick();
  EXPECT_DOUBLE_EQ(shell->Y, 297.2);
  EXPECT_EQ(shell->State, 0);
  shell->Y = 334;
  Tick();  // 341.2 is past 300 + 10 * r for any r
  EXPECT_EQ(shell->State, -1);
  Tick();
  EXPECT_EQ(CountOf("TEnemy30cm"), 0);
  auto fragments = All<TEnemyTama>();
  ASSERT_EQ(fragments.size(), 10u);
  for (auto* f : fragments) {
    EXPECT_EQ(f->Power, 3);
    EXPECT_EQ(f->Image->GetName(), "50cal");
    EXPECT_EQ(f->ShotMode, 1);
  }

  auto* bomb = Make<TEnemyAABomb>(100, 100);
  bomb->TakeDamage(1);
  EXPECT_EQ(Form.Score, 0);
  Tick();
  EXPECT_EQ(CountOf("TEnemyAABomb"), 0);
  EXPECT_EQ(All<TEnemyTama>().size(), 20u);
}

}  // namespace
}  // namespace velmora
