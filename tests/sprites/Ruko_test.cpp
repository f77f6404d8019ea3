#include "sprites/Ruko.h"

#include <gtest/gtest.h>

#include "sprites/Effects.h"
#include "sprites/PlayField.h"
#include "sprites/PlayerShots.h"
#include "sprites/SpawnFlags.h"

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

TEST_F(RukoTest, AFastOneSpeedsUpRightwardsAndHoldsTheClockUntilItPassesTheBottom) {
  TEnemyRuko* r = Ruko(0, 0, SF_HighSpeed | SF_STOPADV);
  double lastVX = r->VX, lastX = r->X;
  int steps = 0;
  for (; Alive(r); ++steps) {
    Form.AdvanceStopped = false;  // another writer; the target sets it again every step
    Step();
    if (!Alive(r)) break;
    EXPECT_TRUE(Form.AdvanceStopped) << "step " << steps;
    EXPECT_NEAR(r->VX - lastVX, 0.0048, 1e-12);
    lastVX = r->VX;
    lastX = r->X;
  }
  // 1.6 px a step: the bottom edge (89 px tall) first passes 480 on step 245, long after it
  // has drifted off the right side.
  EXPECT_EQ(steps, 244);
  EXPECT_GT(lastX, 640);
  EXPECT_FALSE(Form.AdvanceStopped);
  EXPECT_EQ(Plays("Explosion"), 1);
  EXPECT_EQ(All<TExplosion>().size(), 1u);
  EXPECT_EQ(static_cast<int>(All<TJib>().size()), GameImages().Find("Ruko_JIB").PatternCount());
  EXPECT_EQ(Form.Score, 0);
}

TEST_F(RukoTest, TheFighterPassesThroughButOneShotBurstsItIntoThrownPieces) {
  TEnemyRuko* r = Ruko(200, 200, SF_STOPADV);
  r->VX = r->VY = 0;
  auto* fighter = new TPlayerSprite(&Engine());
  fighter->X = r->X + 30;
  fighter->Y = r->Y + 10;
  Step(5);
  EXPECT_TRUE(Alive(r));
  EXPECT_EQ(Form.Damage, 0);

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
  // Every piece but the last is thrown up to fall back onto the bottom edge.
  const auto pieces = All<TJib>();
  ASSERT_GT(pieces.size(), 2u);
  for (size_t i = 0; i + 1 < pieces.size(); ++i) {
    EXPECT_LT(pieces[i]->VY, 0);
    EXPECT_DOUBLE_EQ(pieces[i]->AY, 1.0);
    EXPECT_EQ(pieces[i]->Lifetime, 10000);
  }
}

}  // namespace
}  // namespace velmora::test
