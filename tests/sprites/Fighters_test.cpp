#include "sprites/Fighters.h"

#include <gtest/gtest.h>

#include "sprites/Bombers.h"
#include "sprites/Bosses.h"
#include "sprites/EnemyFixture.h"
#include "sprites/EnemyShots.h"
#include "sprites/GameImages.h"
#include "sprites/PlayerShots.h"
#include "sprites/SpawnFlags.h"
#include "sprites/SpriteClasses.h"

namespace velmora {
namespace {

using FightersTest = test::EnemyFixture;

TEST_F(FightersTest, ACrosserShotDownAlwaysLeavesItsOwnItemCentredOnIt) {
  struct TCase {
    TEnemy* Plane;
    const char* Item;
    int32_t Kind;
  };
  for (const TCase& c : {TCase{Make<TEnemyC47>(300, 100), "Life10", 0},
                         TCase{Make<TEnemyPBY>(100, 200), "Pow", 1}}) {
    const int32_t before = Form.Score;
    c.Plane->TakeDamage(2);
    EXPECT_EQ(Form.Score - before, 500);
    EXPECT_EQ(c.Plane->State, -1);
    auto* item = All<TItemSprite>().back();
    EXPECT_EQ(item->Image->GetName(), c.Item);
    EXPECT_EQ(item->ItemKind, c.Kind);
    EXPECT_EQ(item->X, c.Plane->X + c.Plane->Width / 2 - item->Width / 2);
    EXPECT_EQ(item->Y, c.Plane->Y + c.Plane->Height / 2 - item->Height / 2);
  }
  Tick();
  EXPECT_EQ(CountOf("TEnemyC47") + CountOf("TEnemyPBY"), 0);
  EXPECT_EQ(All<TItemSprite>().size(), 2u);
}

TEST_F(FightersTest, BonusPicturesChangeToughnessAndContactPower) {
  auto* plain = Make<TEnemyP36>(0, 0);
  EXPECT_EQ(plain->HitPoints, 2);
  EXPECT_EQ(plain->Power, 10);
  auto* plainSbd = Make<TEnemySBD>(0, 0);
  EXPECT_EQ(plainSbd->HitPoints, 100);

  Form.P36Image = "UFO";
  Form.SBDImage = "Apple";
  auto* ufo = Make<TEnemyP36>(0, 0);
  EXPECT_EQ(ufo->Image->GetName(), "UFO");
  EXPECT_EQ(ufo->HitPoints, 100000);
  EXPECT_EQ(ufo->Power, 100);
  auto* apple = Make<TEnemySBD>(0, 0);
  EXPECT_EQ(apple->HitPoints, 1);
  EXPECT_EQ(apple->Power, 50);
  apple->TakeDamage(1);
  EXPECT_EQ(apple->State, -1);
}

TEST_F(FightersTest, KillScoresAndTheGreyP38OfTheLastMission) {
  auto* wave = Make<TEnemyF4F>(0, 0, {1, SF_WORTHLESS});
  auto* scheduled = Make<TEnemyF4F>(0, 0, {1, 0});
  EXPECT_EQ(static_cast<int>(wave->AnimPhase), 2);
  wave->TakeDamage(2);
  EXPECT_EQ(Form.Score, 1);
  scheduled->TakeDamage(2);
  EXPECT_EQ(Form.Score, 101);

  auto* p38 = Make<TEnemyP38>(0, 0);
  EXPECT_EQ(p38->Image->GetName(), "P38");
  Form.Mission = 5;
  p38 = Make<TEnemyP38>(0, 0);
  EXPECT_EQ(p38->Image->GetName(), "P38_G");
  EXPECT_EQ(p38->HitPoints, 6);
  EXPECT_EQ(p38->TrackTime, 700);
  EXPECT_TRUE(p38->PixelTest);
  p38->TakeDamage(30);
  EXPECT_EQ(Form.Score, 301);
}

TEST_F(FightersTest, AHomingFighterHeadingUpLeftShowsFrameFiveAndFiresFromThatNose) {
  auto* fighter = Make<TEnemyF4F_S>(300, 300);
  fighter->State = 1;
  // A fixed heading of 225 degrees stands in for a chase that has turned up-left.
  fighter->Path = HeadingPath(300, 300, 225, 0.22, 0);
  fighter->FireTime = 301;
  fighter->Advance(16);
  EXPECT_EQ(static_cast<int>(fighter->AnimPhase), 5);
  auto shots = All<TEnemyTama>();
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(shots[0]->X, fighter->X + 12);
  EXPECT_EQ(shots[0]->Y, fighter->Y + 14);
  EXPECT_EQ(shots[0]->Power, 1);
  EXPECT_EQ(fighter->FireTime, 0);
}

TEST_F(FightersTest, ADeckFighterRollsUnhittablePastTheBowThenChases) {
  auto* carrier = Make<TEnemyEnterprise>(0, 100);
  auto* fighter = Make<TEnemyF4F_E>(carrier->X + 48, carrier->Y + 23);
  fighter->Carrier = carrier;
  EXPECT_FALSE(fighter->Collides);
  EXPECT_EQ(fighter->Image->GetName(), "F4F_S");
  int steps = 0;
  while (fighter->State == 0 && steps < 1000) {
    fighter->Advance(16);
    ++steps;
  }
  // 48 + 3.2 * steps must pass 600 + 70.
  EXPECT_EQ(steps, 195);
  EXPECT_TRUE(fighter->Collides);
  EXPECT_EQ(fighter->Image->GetName(), "F4F");
  EXPECT_EQ(fighter->Width, 70);
  EXPECT_EQ(fighter->Y, 123 - 10);
  fighter->TakeDamage(2);
  EXPECT_EQ(Form.Score, 5);
}

TEST_F(FightersTest, ADeckFighterWhoseCarrierIsGoneTakesOffInsteadOfReadingIt) {
  auto* carrier = Make<TEnemyEnterprise>(0, 100);
  auto* fighter = Make<TEnemyF4F_E>(48, 123);
  fighter->Carrier = carrier;
  carrier->Kill();
  Engine().FlushDead();
  EXPECT_EQ(fighter->Carrier, nullptr);
  fighter->Advance(16);
  EXPECT_EQ(fighter->State, 1);
  EXPECT_TRUE(fighter->Collides);
}

TEST_F(FightersTest, EveryEnemyClassIsFoundByName) {
  for (const char* name :
       {"TEnemyP40",   "TEnemyP39",       "TEnemyP36",      "TEnemyF4F",        "TEnemyF6F",
        "TEnemyP38",   "TEnemyC47",       "TEnemyPBY",      "TEnemySBD",        "TEnemyTBM",
        "TEnemyB17",   "TEnemyB26",       "TEnemyF4F_E",    "TEnemyF4F_S",      "TEnemyLSM",
        "TEnemyLCI",   "TEnemyDestroyer", "TEnemyMissouri", "TEnemyEnterprise", "TEnemy30cm",
        "TEnemyAABomb"}) {
    TSpriteFactory factory = FindSpriteClass(name);
    ASSERT_NE(factory, nullptr) << name;
    TSprite* sprite = factory(&Engine());
    EXPECT_STREQ(sprite->ClassName(), name);
    // Every picture an enemy wears when it breaks up needs its debris picture; a deck
    // fighter cannot be hit, and shells and bombs burst without debris.
    auto* enemy = dynamic_cast<TEnemy*>(sprite);
    ASSERT_NE(enemy, nullptr);
    const std::string_view n = name;
    if (n != "TEnemyF4F_E" && n != "TEnemy30cm" && n != "TEnemyAABomb") {
      EXPECT_NO_THROW(SpawnDebris(*enemy, 3000)) << name;
    }
  }
}

}  // namespace
}  // namespace velmora
