#include "sprites/Enemy.h"

#include <gtest/gtest.h>

#include "sprites/Effects.h"
#include "sprites/EnemyShots.h"
#include "sprites/PlayField.h"
#include "sprites/SpawnFlags.h"

namespace velmora::test {
namespace {

class EnemyBaseTest : public PlayField {
 protected:
  // A fighter parked at the bottom whose centre, the aim point, is at x + 32.
  void PlayerAt(double x) {
    (new TPlayerSprite(&Engine()))->X = x;
    Step();
  }
};

TEST_F(EnemyBaseTest, SpawnValuesFollowTheRecord) {
  TEnemy* e = AddEnemy("F4F", 0, 0, 1, 1, 4, SF_HighSpeed);
  EXPECT_EQ(e->SpeedFactor, 2.0);
  e->Phase = e->PhaseTime = e->FanAngle = 3;
  e->Spawn({-1, SF_HighSpeed | SF_LowSpeed, false});
  EXPECT_EQ(e->SpeedFactor, 0.5);
  EXPECT_EQ(e->Phase + e->PhaseTime + e->FanAngle, 0);
  e->Spawn({2, 0, true});
  EXPECT_EQ(e->SpeedFactor, 1.0);
  EXPECT_EQ(e->Phase, -1);
}

TEST_F(EnemyBaseTest, TrackingDiveSteersOnlyOnceItsTimerOutrunsTheDraw) {
  PlayerAt(500);
  TEnemy* fresh = AddEnemy("F4F", 0, 0, 10, 1, 1);
  TEnemy* eager = AddEnemy("F4F", 200, 0, 10, 1, 1);
  TEnemy* inLine = AddEnemy("F4F", 480, 0, 10, 1, 1);
  eager->TrackTime = inLine->TrackTime = 1000;
  Step();
  EXPECT_EQ(fresh->X, 0);
  EXPECT_EQ(fresh->TrackTime, 16);
  EXPECT_EQ(eager->X, 204);
  EXPECT_EQ(inLine->X, 480);
  EXPECT_EQ(inLine->TrackTime, 0);
  fresh->Age = 512;  // the dive speeds up with age
  Step();
  EXPECT_DOUBLE_EQ(fresh->Y, 3.2 + 3.2 + 2);
}

TEST_F(EnemyBaseTest, PairFireAndTheNoFireFlag) {
  PlayerAt(500);
  Form.Difficulty = 3;
  TEnemy* silent = AddEnemy("F4F", 0, 0, 10, 1, 1, SF_NOFIRE);
  Step(13);
  EXPECT_EQ(silent->FireTime, 208);
  Step();
  EXPECT_EQ(silent->FireTime, 0);  // the timer cycles with nothing fired
  EXPECT_TRUE(All<TEnemyTama>().empty());
  EXPECT_EQ(Plays("30cal"), 0);

  silent->Kill();
  TEnemy* gunner = AddEnemy("F4F", 100, 0, 10, 1, 4);
  Step(14);
  const auto pair = All<TEnemyTama>();
  ASSERT_EQ(pair.size(), 2u);
  EXPECT_EQ(Plays("30cal"), 1);  // one sound for the pair
  EXPECT_EQ(pair[0]->X, 100 + 35 - 20);
  EXPECT_EQ(pair[1]->X, 100 + 35 + 20);
  EXPECT_EQ(pair[0]->Y, gunner->Y + 70 + 10);
  EXPECT_DOUBLE_EQ(pair[0]->FallSpeed, 0.5 + 0.5 / 3);
}

TEST_F(EnemyBaseTest, PatternsOutsideTheRangeNeverMoveFireOrDie) {
  std::vector<TEnemy*> stuck;
  for (int pattern : {0, 7, -3}) {
    stuck.push_back(AddEnemy("F4F", 50, 60, 10, 1, pattern));
    stuck.push_back(AddEnemy("F4F", 50, 60, 10, 1, pattern));
    stuck.back()->State = -1;
  }
  Step(100);
  EXPECT_EQ(All<TEnemy>().size(), stuck.size());
  for (TEnemy* e : stuck) {
    EXPECT_EQ(e->X, 50);
    EXPECT_EQ(e->Y, 60);
    EXPECT_EQ(e->Age, 0);
  }
}

TEST_F(EnemyBaseTest, ADestroyedFighterLeavesDebrisAndOneCentredBlast) {
  TEnemy* e = AddEnemy("F4F", 100, 50, 10, 1, 2);
  e->TakeDamage(10);
  EXPECT_FALSE(e->Collides);
  Step();
  EXPECT_TRUE(All<TPatternEnemy>().empty());
  const auto debris = All<TJib>();
  ASSERT_EQ(static_cast<int>(debris.size()), GameImages().Find("F4F_JIB").PatternCount());
  for (size_t i = 0; i < debris.size(); ++i) {
    EXPECT_EQ(debris[i]->AnimPhase, i);
    EXPECT_EQ(debris[i]->Lifetime, 3000);
  }
  const auto blasts = All<TExplosion>();
  ASSERT_EQ(blasts.size(), 1u);
  EXPECT_EQ(blasts[0]->X, 100 + 35 - 50);
  EXPECT_EQ(blasts[0]->Lifetime, 200);
}

TEST_F(EnemyBaseTest, ADestroyedBomberLeavesDebrisAndElevenBlastsAndReleasesTheSwitches) {
  TEnemy* e = AddEnemy("B26", 100, 50, 100, 20, -1, SF_STOPADV | SF_ENEMYADV);
  Step();
  EXPECT_TRUE(Form.AdvanceStopped);
  EXPECT_TRUE(Form.ReinforcementsOn);
  e->TakeDamage(100);
  Step();
  EXPECT_FALSE(Form.AdvanceStopped);
  EXPECT_FALSE(Form.ReinforcementsOn);
  EXPECT_TRUE(All<TPatternEnemy>().empty());
  EXPECT_EQ(All<TExplosion>().size(), 11u);
  EXPECT_EQ(static_cast<int>(All<TJib>().size()), GameImages().Find("B26_JIB").PatternCount());
}

TEST_F(EnemyBaseTest, AHoveringBomberSmokesBelowThirtyAndBurstsAtTheAimPoint) {
  PlayerAt(300);
  TEnemy* e = AddEnemy("B26", 100, 100, 29, 20, -2, SF_HighPower);
  e->State = 1;
  Step(3);
  EXPECT_EQ(All<TSmoke>().size(), 2u);  // the timer must pass 30
  e->HitPoints = 30;
  Step(3);
  EXPECT_EQ(e->SmokeTime, 48);
  e->Bursting = true;
  e->FireTime = 101;
  const double x = e->X, y = e->Y;
  Step();
  ASSERT_EQ(All<TEnemyTama>().size(), 1u);
  const TEnemyTama& s = *All<TEnemyTama>()[0];
  EXPECT_EQ(s.Power, 5);
  EXPECT_EQ(s.Width, 5);   // the box of "30cal" under the "50cal" picture
  EXPECT_EQ(s.X, x + 75);  // fired before the step's jitter
  EXPECT_EQ(s.Y, y + 59);
  EXPECT_EQ(s.Path.Mode, 2);
  EXPECT_EQ(s.Path.Spread, 200);
  EXPECT_EQ(s.Path.TargetX, 332);
  EXPECT_EQ(s.Path.TargetY, 427);
}

TEST_F(EnemyBaseTest, ARammedShotRicochetsInPlaceAndVanishes150msLater) {
  new TPlayerSprite(&Engine());
  auto* shot = new TEnemyTama(&Engine());
  shot->FallSpeed = 0.5;
  shot->X = 320;
  shot->Y = 410;
  Step();
  EXPECT_EQ(Form.Damage, 1);
  EXPECT_EQ(shot->Image->GetName(), "TamaHane");
  EXPECT_EQ(shot->X, 320 + 2 - 6);  // centred where the bullet was
  EXPECT_EQ(Plays("Kan!!"), 1);
  const double y = shot->Y;
  Step(9);
  EXPECT_EQ(shot->Y, y);
  Step();
  EXPECT_TRUE(All<TEnemyTama>().empty());
}

}  // namespace
}  // namespace velmora::test
