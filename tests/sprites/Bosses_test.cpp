#include "sprites/Bosses.h"

#include <gtest/gtest.h>

#include <vector>

#include "sprites/EnemyFixture.h"
#include "sprites/EnemyShots.h"
#include "sprites/Fighters.h"
#include "sprites/SpawnFlags.h"

namespace velmora {
namespace {

class BossesTest : public test::EnemyFixture {
 protected:
  // The angles of the fan shots a boss fires from its fan phase until the phase ends.
  std::vector<int> FanAngles(TEnemy& boss, int fanPhase) {
    boss.Phase = fanPhase;
    boss.PhaseTime = 0;
    boss.FanAngle = 180;
    boss.FireTime = 0;
    std::vector<int> angles;
    for (int i = 0; i < 500 && boss.Phase == fanPhase; ++i) {
      const int angle = boss.FanAngle;
      const int shots = CountOf("TEnemyTama");
      boss.Advance(16);
      if (CountOf("TEnemyTama") > shots) angles.push_back(angle);
    }
    return angles;
  }
};

TEST_F(BossesTest, TheMainGunPhasesAreSkippedForDeadTurrets) {
  for (const bool turretsDead : {false, true}) {
    Engine().Clear();
    auto* ship = Make<TEnemyMissouri>(700, 100);
    if (turretsDead) ship->Turret1HP = ship->Turret2HP = ship->Turret3HP = 0;
    ship->PhaseTime = 2990;
    std::vector<int> phases = {ship->Phase};
    for (int i = 0; i < 200 && ship->Phase != 7; ++i) {
      ship->Advance(16);
      if (ship->Phase != phases.back()) phases.push_back(ship->Phase);
    }
    if (turretsDead) {
      EXPECT_EQ(phases, (std::vector<int>{0, 1, 3, 5, 7}));
      EXPECT_EQ(CountOf("TEnemy30cm"), 0);
      EXPECT_GT(CountOf("TSmoke"), 0);
    } else {
      EXPECT_EQ(phases, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
      EXPECT_EQ(CountOf("TEnemy30cm"), 3);
      EXPECT_EQ(CountOf("TSmoke"), 0);
    }
    // The aimed bursts start at once.
    ship->Advance(16);
    EXPECT_TRUE(ship->Bursting);
  }
}

TEST_F(BossesTest, OnlyTheHullAndLiveTurretsSpendAShot) {
  auto* ship = Make<TEnemyMissouri>(10.4, 100);
  auto* shot = new TSprite(&Engine());
  shot->Width = shot->Height = 4;
  const auto over = [&](int dx) {
    shot->X = 10 + dx;
    shot->Y = 100 + 40;
    return ship->TestZoneHit(*shot, 2);
  };
  EXPECT_FALSE(over(100));  // bare deck
  ship->Turret1HP = 0;
  EXPECT_FALSE(over(165));
  EXPECT_EQ(Form.Score, 0);

  ship->Turret2HP = 3;
  EXPECT_TRUE(over(210));
  EXPECT_EQ(ship->Turret2HP, 1);
  EXPECT_EQ(Form.Score, 50);
  EXPECT_TRUE(over(210));
  EXPECT_EQ(Form.Score, 50 + 50 + 1000);
  EXPECT_EQ(CountOf("TExplosion"), 1);
  EXPECT_FALSE(over(210));

  EXPECT_TRUE(over(260));
  EXPECT_EQ(ship->HitPoints, 998);
  EXPECT_EQ(Form.Score, 1100 + 100);
  EXPECT_EQ(ship->Turret3HP, 300);
}

TEST_F(BossesTest, TheFanSweepsDownToThirtyThenUpFromZero) {
  std::vector<int> sweeps;
  for (int round = 0; round < 2; ++round) {
    for (int a = 180; a >= 30; a -= 15)
      sweeps.push_back(a);
    for (int a = 0; a <= 180; a += 15)
      sweeps.push_back(a);
  }
  auto* ship = Make<TEnemyMissouri>(700, 100);
  EXPECT_EQ(FanAngles(*ship, 9), sweeps);
  EXPECT_EQ(ship->Phase, 10);

  Engine().Clear();
  auto* carrier = Make<TEnemyEnterprise>(0, 100);
  sweeps.resize(35);
  EXPECT_EQ(FanAngles(*carrier, 1), sweeps);
  EXPECT_EQ(carrier->Phase, 2);
}

TEST_F(BossesTest, TheCarrierLaunchesOnlyOnLeftwardLegsLeftOf200) {
  for (const auto& [difficulty, first] : {std::pair{1, 138}, {2, 88}, {3, 26}}) {
    Engine().Clear();
    Form.Difficulty = difficulty;
    auto* carrier = Make<TEnemyEnterprise>(20, 100, {0, 0, true});  // Phase -1: guns quiet
    carrier->State = 1;
    std::vector<int> steps;
    for (int i = 0; i < 1100; ++i) {
      const int before = CountOf("TEnemyF4F_E");
      const int32_t state = carrier->State;
      carrier->Advance(16);
      if (CountOf("TEnemyF4F_E") == before) continue;
      steps.push_back(i);
      EXPECT_EQ(state, 1);
      EXPECT_LT(carrier->X, 200);
      auto* fighter = All<TEnemyF4F_E>().back();
      EXPECT_EQ(fighter->X, carrier->X + 48);
      EXPECT_EQ(fighter->Carrier, carrier);
    }
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps[0], first) << difficulty;
    if (difficulty != 3) continue;
    int legs = 1;
    for (size_t k = 1; k < steps.size(); ++k) {
      if (steps[k] - steps[k - 1] == 45) continue;
      // The rightward leg and the way back to 200 launch nothing.
      EXPECT_GT(steps[k] - steps[k - 1], 500);
      ++legs;
    }
    EXPECT_EQ(legs, 2);
  }
}

TEST_F(BossesTest, ASunkBossClearsTheSwitchesAndGoesUnderAfterTwoSeconds) {
  auto* carrier = Make<TEnemyEnterprise>(0, 100, {0, SF_STOPADV | SF_ENEMYADV});
  Tick();
  EXPECT_TRUE(Form.AdvanceStopped);
  EXPECT_TRUE(Form.ReinforcementsOn);
  carrier->TakeDamage(1499);
  EXPECT_EQ(Form.Score, 100);
  carrier->TakeDamage(1);
  EXPECT_EQ(Form.Score, 10100);
  EXPECT_EQ(carrier->Phase, -1);
  EXPECT_EQ(carrier->State, -1);
  EXPECT_FALSE(carrier->Collides);
  int steps = 0;
  while (Alive(carrier) && steps < 1000) {
    Tick();
    ++steps;
  }
  EXPECT_EQ(steps, 127);
  EXPECT_FALSE(Form.AdvanceStopped);
  EXPECT_FALSE(Form.ReinforcementsOn);
  EXPECT_GT(CountOf("TJib"), 0);
}

}  // namespace
}  // namespace velmora
