#include "sprites/Ruko.h"

#include <gtest/gtest.h>

#include "sprites/Effects.h"
#include "sprites/PlayField.h"
#include "sprites/PlayerShots.h"
#include "sprites/SpawnFlags.h"
#include "sprites/SpriteClasses.h"

namespace velmora::test {
namespace {

class RukoTest : public PlayField {
 protected:
  TEnemyRuko* Ruko(double x, double y, uint16_t flags) {
    auto* r = new TEnemyRuko(&Engine());
    r->X = x;
    r->Y = y;
    r->Spawn({4, flags, false});
    return r;
  }
  bool Alive(const TSprite* s) {
    for (auto* r : All<TEnemyRuko>())
      if (r == s) return true;
    return false;
  }
};

TEST_F(RukoTest, IsScheduledByNameWithItsStartValues) {
  TSpriteFactory make = FindSpriteClass("TEnemyRuko");
  ASSERT_NE(make, nullptr);
  auto* r = dynamic_cast<TEnemyRuko*>(make(&Engine()));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->Image->GetName(), "Ruko");
  EXPECT_EQ(r->HitPoints, 1);
  EXPECT_EQ(r->Power, 0);
  EXPECT_EQ(r->Z(), 0);
  EXPECT_DOUBLE_EQ(r->VX, 0.05);
  EXPECT_DOUBLE_EQ(r->VY, 0.1);
}

TEST_F(RukoTest, AFastOneSpeedsUpRightwardsAndHoldsTheClockUntilItPassesTheBottom) {
  TEnemyRuko* r = Ruko(0, 0, SF_HighSpeed | SF_STOPADV);
  double lastVX = r->VX;
  double lastX = r->X;
  int steps = 0;
  while (Alive(r)) {
    Form.AdvanceStopped = false;  // another writer; the target sets it again every step
    const double bottom = r->Y + r->Height;
    Step();
    ++steps;
    if (!Alive(r)) {
      EXPECT_GT(bottom + 1.6, 480) << "removed before it reached the bottom";
      break;
    }
    EXPECT_TRUE(Form.AdvanceStopped) << "step " << steps;
    EXPECT_NEAR(r->VX - lastVX, 0.0048, 1e-12);
    EXPECT_NEAR(r->X - lastX, 16 * lastVX, 1e-9);
    lastVX = r->VX;
    lastX = r->X;
  }
  // 0 + 1.6 * n + 89 > 480 first at n = 245; far off the right side long before.
  EXPECT_EQ(steps, 245);
  EXPECT_GT(lastX, 640);
  EXPECT_FALSE(Form.AdvanceStopped);
  EXPECT_EQ(Plays("Explosion"), 1);
  EXPECT_EQ(All<TExplosion>().size(), 1u);
  EXPECT_EQ(static_cast<int>(All<TJib>().size()), GameImages().Find("Ruko_JIB").PatternCount());
  EXPECT_EQ(Form.Score, 0);
}

TEST_F(RukoTest, TheFighterPassesThroughButOneShotBurstsItIntoFallingPieces) {
  TEnemyRuko* r = Ruko(200, 200, SF_STOPADV);
  r->VX = r->VY = 0;
  auto* fighter = new TPlayerSprite(&Engine());
  fighter->X = r->X + 30;
  fighter->Y = r->Y + 10;
  Step(5);
  EXPECT_TRUE(Alive(r));
  EXPECT_EQ(Form.Damage, 0);
  EXPECT_EQ(r->HitPoints, 1);

  auto* shot = new TTamaSprite(&Engine());
  shot->X = r->X + 60;
  shot->Y = r->Y + 40;
  Step();
  EXPECT_EQ(r->State, -1);
  EXPECT_EQ(Form.Score, 1);
  EXPECT_TRUE(Form.AdvanceStopped);
  Step();
  EXPECT_FALSE(Alive(r)) << "finished on the step after the hit";
  EXPECT_FALSE(Form.AdvanceStopped);
  // Every piece but the last is thrown upwards; they land and rest on the bottom edge.
  const auto pieces = All<TJib>();
  ASSERT_GT(pieces.size(), 2u);
  for (size_t i = 0; i + 1 < pieces.size(); ++i) {
    EXPECT_LT(pieces[i]->VY, 0);
    EXPECT_DOUBLE_EQ(pieces[i]->AY, 1.0);
    EXPECT_EQ(pieces[i]->Lifetime, 10000);
  }
  Step(300);
  int resting = 0;
  for (TJib* p : All<TJib>()) {
    EXPECT_DOUBLE_EQ(p->AY, 0) << "still falling";
    if (p->VY == 0 && p->Y + p->Height > 480) ++resting;
  }
  EXPECT_GT(resting, 0);
}

}  // namespace
}  // namespace velmora::test
