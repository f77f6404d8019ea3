#include "sprites/Commander.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "engine/MathUtil.h"
#include "shell/MainForm.h"
#include "sprites/Effects.h"
#include "sprites/EnemyShots.h"
#include "sprites/Issiki.h"
#include "sprites/PlayField.h"
#include "sprites/Ships.h"

namespace velmora::test {
namespace {

// The rule for the joke target goes by its class name.
class TJokeTarget : public TPatternEnemy {
 public:
  using TPatternEnemy::TPatternEnemy;
  const char* ClassName() const override { return "TEnemyRuko"; }
};

class TCarrierStandIn : public TPatternEnemy {
 public:
  using TPatternEnemy::TPatternEnemy;
  const char* ClassName() const override { return "TEnemyEnterprise"; }
};

class CommanderTest : public PlayField {
 protected:
  ~CommanderTest() override { CommanderHeldAlive = PlayerHeldAlive = false; }

  TPlayerSprite* Fighter(double x, double y) {
    auto* p = new TPlayerSprite(&Engine());
    p->X = x;
    p->Y = y;
    return p;
  }
  TCyoukanIssiki* Commander(double x, double y) {
    auto* c = new TCyoukanIssiki(&Engine());
    c->X = x;
    c->Y = y;
    return c;
  }
};

TEST_F(CommanderTest, FliesThreePixelsATickToItsPlaceBelowTheFighterAndStaysThere) {
  TPlayerSprite* p = Fighter(300, 300);
  TCyoukanIssiki* c = Commander(100, -100);
  EXPECT_TRUE(Form.CommanderPresent);
  EXPECT_EQ(CommanderPlane, c);
  const double tx = 300 + p->Width / 2 - c->Width / 2;
  const double ty = 300 + p->Height / 2 + 50;
  Step();
  EXPECT_NEAR(std::hypot(c->X - 100, c->Y + 100), 3, 0.75);
  Step(300);
  EXPECT_EQ(c->X, tx);
  EXPECT_EQ(c->Y, ty);
  // The fighter in the top-left corner: the place is partly off the screen and it goes there.
  p->X = 0;
  p->Y = 0;
  Step(300);
  EXPECT_EQ(c->X, p->Width / 2 - c->Width / 2);
  EXPECT_LT(c->X, 0);
  EXPECT_EQ(c->Y, p->Height / 2 + 50);
  delete c;
  EXPECT_EQ(CommanderPlane, nullptr);
  EXPECT_TRUE(Form.CommanderPresent);
}

TEST_F(CommanderTest, ContactCostsHalfThePowerAndOnlyAircraftAndShotsHurt) {
  TCyoukanIssiki* c = Commander(200, 200);
  c->State = 2;  // keep it still: only the contact rules are asked
  const auto touch = [&](TEnemy* e) {
    e->X = c->X + 40;  // on the wing strip, left of the fuselage
    e->Y = c->Y + 22;
    bool stop = false;
    c->Collided(e, stop);
  };
  auto* fighter = AddEnemy("F4F", 0, 0, 100, 5);
  touch(fighter);
  EXPECT_DOUBLE_EQ(Form.CommanderDamage, 2.5);
  EXPECT_EQ(fighter->HitPoints, 80);
  auto* shot = new TEnemyTama(&Engine());
  touch(shot);
  EXPECT_DOUBLE_EQ(Form.CommanderDamage, 3.0);
  touch(AddEnemy<TJokeTarget>("Ruko", 0, 0, 100, 4));
  EXPECT_DOUBLE_EQ(Form.CommanderDamage, 5.0);
  // Ships, the carrier and the support plane pass by either way.
  auto* destroyer = new TEnemyDestroyer(&Engine());
  auto* support = new TIssiki(&Engine());
  support->Power = 10;
  for (TEnemy* e : {static_cast<TEnemy*>(destroyer), static_cast<TEnemy*>(support),
                    static_cast<TEnemy*>(AddEnemy<TCarrierStandIn>("F4F", 0, 0, 100, 50))}) {
    const int32_t hp = e->HitPoints;
    touch(e);
    EXPECT_EQ(e->HitPoints, hp) << e->ClassName();
  }
  EXPECT_DOUBLE_EQ(Form.CommanderDamage, 5.0);
  // Between the wing strip and the tail, beside the fuselage, nothing is touched.
  auto* past = AddEnemy("30cal", 0, 0, 100, 5);
  past->X = c->X + 5;
  past->Y = c->Y + 50;
  bool stop = false;
  c->Collided(past, stop);
  EXPECT_DOUBLE_EQ(Form.CommanderDamage, 5.0);
}

TEST_F(CommanderTest, NinetyNineAndAHalfRoundsToTheEnd) {
  Fighter(270, 300);
  TCyoukanIssiki* c = Commander(100, 100);
  c->State = 2;
  auto* shot = AddEnemy("30cal", c->X + 48, c->Y + 30, 1, 1);
  bool stop = false;
  Form.CommanderDamage = 98.9;
  c->Collided(shot, stop);
  EXPECT_DOUBLE_EQ(Form.CommanderDamage, 99.4);
  EXPECT_EQ(c->State, 2);
  EXPECT_TRUE(c->Collides);

  TCyoukanIssiki* d = Commander(300, 100);
  Form.CommanderDamage = 99.0;
  d->Collided(AddEnemy("30cal", d->X + 48, d->Y + 30, 1, 1), stop);
  EXPECT_EQ(d->State, -1);
  EXPECT_FALSE(d->Collides);
  EXPECT_EQ(d->Width, 100);
  EXPECT_EQ(d->Height, 100);
  EXPECT_EQ(Plays("Explosion"), 1);
}

TEST_F(CommanderTest, TheWreckBringsTheGameOverSceneAfterItsTwoPauses) {
  Fighter(270, 300);
  TCyoukanIssiki* c = Commander(270, 380);
  Form.CommanderDamage = 95;
  AddEnemy("F4F", c->X + 30, c->Y + 20, 100, 20);
  Step();
  ASSERT_EQ(c->State, -1);
  Step(12);
  EXPECT_EQ(c->State, -1);
  Step();
  EXPECT_EQ(c->State, -2);
  EXPECT_FALSE(c->Visible);
  Step(93);
  EXPECT_EQ(Form.PendingScene, ssNone);
  Step();
  EXPECT_EQ(Form.PendingScene, ssGameOver);
  // The enemies still aim at where it went down.
  Step();
  EXPECT_EQ(CurrentAimPoint(), (TPoint{Round(c->X) + 50, Round(c->Y) + 50}));
}

TEST_F(CommanderTest, SmokesFasterTheWorseItIsHit) {
  Fighter(270, 300);
  TCyoukanIssiki* c = Commander(270, 300);
  std::set<uint64_t> seen;
  // The puffs made over 40 ticks; each lives long enough to be seen after its tick.
  const auto puffs = [&](double damage) {
    Form.CommanderDamage = damage;
    c->SmokeTime = 0;
    const size_t before = seen.size();
    for (int i = 0; i < 40; ++i) {
      Step();
      for (TSmoke* s : All<TSmoke>())
        seen.insert(s->Serial);
    }
    return seen.size() - before;
  };
  EXPECT_EQ(puffs(70), 0u);
  EXPECT_EQ(puffs(75), 5u);   // every eighth tick: the timer must pass 100
  EXPECT_EQ(puffs(91), 13u);  // every third tick: past 30
}

TEST_F(CommanderTest, TheRunnersProtectionCountsDamageButStopsShortOfEitherPlanesEnd) {
  CommanderHeldAlive = true;
  TCyoukanIssiki* c = Commander(100, 100);
  c->State = 2;
  bool stop = false;
  Form.CommanderDamage = 60;
  c->Collided(AddEnemy("F4F", c->X + 30, c->Y + 22, 100, 90), stop);
  EXPECT_DOUBLE_EQ(Form.CommanderDamage, 99);
  EXPECT_TRUE(c->Collides);
  // The fighter likewise: two contacts in one tick that would make 110.
  PlayerHeldAlive = true;
  TPlayerSprite* p = Fighter(300, 300);
  AddEnemy("F4F", 300, 300, 1000, 90);
  AddEnemy("F4F", 300, 300, 1000, 20);
  Step();
  EXPECT_EQ(Form.Damage, 99);
  EXPECT_EQ(p->State, 0);
}

}  // namespace
}  // namespace velmora::test
