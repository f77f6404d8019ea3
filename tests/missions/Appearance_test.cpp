#include "missions/Appearance.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Random.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"
#include "sprites/Enemy.h"
#include "sprites/SpawnFlags.h"
#include "sprites/TextSprites.h"

namespace velmora {
namespace {

class AppearanceTest : public ::testing::Test {
 protected:
  AppearanceTest() {
    Form.FormCreate();
    Form.SpriteEngine.Engine.Clear();
    ResetSchedule();
    Form.AppearanceIndex = 0;
    Form.FrameCount = 0;
  }
  ~AppearanceTest() override {
    Form.SpriteEngine.Engine.Clear();
    ResetSchedule();
  }
  TSprite& Root() { return Form.SpriteEngine.Engine; }
  // One scheduler step; the sprite it created, if any.
  TSprite* Step() {
    const int before = Root().Count();
    SpawnDue();
    return Root().Count() > before ? Root().Items(before) : nullptr;
  }
  void Text(int32_t delay, const std::string& text, int32_t level = 1) {
    AddAppearance(delay, "TMojiSprite", 200, 450, text, -2, level, 0);
  }

  THeadlessMachine Machine;
  TMainForm Form{Machine.Platform};
};

TEST_F(AppearanceTest, ZeroDelayMembersComeOutOnConsecutiveFrames) {
  AddFormation(0, "TEnemy", 10, 20, 2, 1);
  ASSERT_EQ(AppearanceList.size(), 5u);
  EXPECT_EQ(ScheduleTotal, 0);
  const int xs[] = {160, 240, 320, 400, 480}, ys[] = {-150, -90, -30, -90, -150};
  for (int i = 0; i < 5; ++i) {
    auto* enemy = dynamic_cast<TEnemy*>(Step());
    ASSERT_NE(enemy, nullptr) << i;
    EXPECT_EQ(enemy->X, xs[i]);
    EXPECT_EQ(enemy->Y, ys[i]);
    EXPECT_EQ(enemy->Pattern, 4);
    EXPECT_EQ(enemy->Phase, 0);
    ++Form.FrameCount;
  }
  EXPECT_EQ(Step(), nullptr);
}

TEST_F(AppearanceTest, SkippedRecordsUseUpTheirFrameAndOverdueOnesComeAtOnce) {
  Form.Difficulty = 1;
  Text(100, "difficult only", 3);
  Text(-60, "earlier than its predecessor");
  Text(70, "later");
  EXPECT_EQ(AppearanceList[1].Time, 40);
  Form.FrameCount = 100;
  EXPECT_EQ(Step(), nullptr);
  EXPECT_EQ(Form.AppearanceIndex, 1);
  EXPECT_NE(Step(), nullptr);  // due since frame 40
  EXPECT_EQ(Step(), nullptr);  // due at 110
}

TEST_F(AppearanceTest, AHeldScheduleStillReleasesWhatIsAlreadyDue) {
  Form.SetScene(ssPlay);
  Root().Clear();
  ResetSchedule();
  Text(0, "a");
  Text(0, "b");
  Text(0, "c");
  Text(5, "d");
  Form.AdvanceStopped = true;
  auto texts = [this] {
    int n = 0;
    for (int i = 0; i < Root().Count(); ++i)
      n += dynamic_cast<TMojiSprite*>(Root().Items(i)) != nullptr;
    return n;
  };
  auto ticks = [this](int n) {
    for (int i = 0; i < n; ++i) {
      Machine.System.Now += 16;
      Form.Idle();
    }
  };
  ticks(20);
  EXPECT_EQ(Form.FrameCount, 0);
  EXPECT_EQ(texts(), 3);
  Form.AdvanceStopped = false;
  ticks(5);
  EXPECT_EQ(texts(), 3);
  ticks(1);
  EXPECT_EQ(texts(), 4);
}

TEST_F(AppearanceTest, RecordValuesReachTextAndEnemies) {
  AddAppearance(0, "TEventSprite", 0, 0, "BGM1", 1, 1, 0);
  AddAppearance(0, "TEnemy", 30, -40, "ignored", 5, 1, SF_HighSpeed | SF_LowSpeed);
  auto* event = dynamic_cast<TEventSprite*>(Step());
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(event->Text, "BGM1");
  EXPECT_EQ(event->Style, 1);
  auto* slow = dynamic_cast<TEnemy*>(Step());
  ASSERT_NE(slow, nullptr);
  EXPECT_EQ(slow->Pattern, 5);
  EXPECT_EQ(slow->SpeedFactor, 0.5);
}

TEST_F(AppearanceTest, FormationTableEdges) {
  RandSeed() = 4242;
  AddFormation(7, "TEnemy", 300, 300, 16, 2);
  ASSERT_EQ(AppearanceList.size(), 16u);
  EXPECT_EQ(ScheduleTotal, 7 + 15 * 30);
  RandSeed() = 4242;
  for (const TObjectAdvent& r : AppearanceList) {
    EXPECT_EQ(r.X, Random(640));
    EXPECT_EQ(r.Y, -60);
    EXPECT_EQ(r.Param, 1);
    EXPECT_EQ(r.Level, 2);
    EXPECT_EQ(r.Text, "nil");
  }

  AddFormation(5, "TEnemy", 0, 0, 17, 1);
  AddFormation(5, "TEnemy", 0, 0, -2, 1);
  EXPECT_EQ(AppearanceList.size(), 16u);
  EXPECT_EQ(ScheduleTotal, 457);

  // Both edges at once, alternating, the pairs 10 frames apart.
  ResetSchedule();
  AddFormation(3, "TEnemy", 0, 10, 5, 1);
  ASSERT_EQ(AppearanceList.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(AppearanceList[i].Time, 3 + 10 * (i / 2)) << i;
    EXPECT_EQ(AppearanceList[i].X, i % 2 == 0 ? 600 : -40) << i;
    EXPECT_EQ(AppearanceList[i].Param, i % 2 == 0 ? 5 : 6) << i;
    EXPECT_EQ(AppearanceList[i].Y, -40);
  }
}

TEST_F(AppearanceTest, ReinforcementsCycleAndCarryOverBetweenMissions) {
  ReinforcementPeriod = 120;
  ReinforcementTimer = 0;
  ReinforcementStep = 0;
  Form.ReinforcementsOn = true;
  auto ticksToNextStep = [this] {
    for (int n = 1; n < 1000; ++n) {
      const int before = ReinforcementStep;
      const int count = Root().Count();
      ReinforcementTick(1);
      if (ReinforcementStep != before || Root().Count() != count) return n;
    }
    return -1;
  };
  EXPECT_EQ(ticksToNextStep(), 122);
  ASSERT_EQ(Root().Count(), 4);
  auto* first = dynamic_cast<TEnemy*>(Root().Items(0));
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->ClassName(), "TEnemyF4F");
  EXPECT_EQ(first->X, 100);
  EXPECT_EQ(first->Y, -170);
  EXPECT_EQ(first->Pattern, 3);
  EXPECT_EQ(first->Flags, SF_WORTHLESS);
  EXPECT_EQ(first->Phase, -1);

  // The mission ends part-way to the next wave; the next, on difficult, picks it up.
  for (int i = 0; i < 50; ++i)
    ReinforcementTick(1);
  Root().Clear();
  ReinforcementPeriod = 60;
  EXPECT_EQ(ticksToNextStep(), 12);
  ASSERT_EQ(Root().Count(), 4);
  EXPECT_EQ(Root().Items(3)->X, 420);
  EXPECT_EQ(dynamic_cast<TEnemy*>(Root().Items(3))->Pattern, 2);
  EXPECT_EQ(ticksToNextStep(), 62);  // the pause
  EXPECT_EQ(Root().Count(), 4);
  EXPECT_EQ(ReinforcementStep, 0);

  // Without the marked enemy nothing counts.
  Form.ReinforcementsOn = false;
  ReinforcementTick(1);
  EXPECT_EQ(ReinforcementTimer, 0);
}

}  // namespace
}  // namespace velmora
