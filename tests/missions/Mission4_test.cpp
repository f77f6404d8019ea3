#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/Random.h"
#include "missions/Appearance.h"
#include "missions/Missions.h"
#include "missions/PlayListFixture.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"
#include "sprites/Commander.h"
#include "sprites/Player.h"

namespace velmora {
namespace {

class Mission4Test : public MissionListTest {
 protected:
  Mission4Test() : MissionListTest(4) {}
};

TEST_F(Mission4Test, LengthAndForcesOnEachDifficultyOverSeveralSeeds) {
  const int lowest[] = {0, 8550, 8460, 8370};
  const int transports[] = {0, 8, 6, 3};
  const int flyingBoats[] = {0, 3, 2, 2};
  for (int difficulty = 1; difficulty <= 3; ++difficulty) {
    double twinBooms = 0;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
      SCOPED_TRACE(testing::Message() << "difficulty " << difficulty << " seed " << seed);
      Build(difficulty, seed);
      // The stream keeps one pace, so only its small waits vary.
      EXPECT_GE(AppearanceList.back().Time, lowest[difficulty]);
      EXPECT_LE(AppearanceList.back().Time, lowest[difficulty] + 60);
      std::map<std::string, int> got = Released();
      EXPECT_EQ(got["TEnemyF6F"], 35);
      EXPECT_EQ(got["TEnemyF4F"], 25);
      EXPECT_EQ(got["TEnemyF4F_S"], 9);
      EXPECT_EQ(got["TEnemyC47"], transports[difficulty]);
      EXPECT_EQ(got["TEnemyPBY"], flyingBoats[difficulty]);
      EXPECT_EQ(got["TCyoukanIssiki"], 1);
      EXPECT_EQ(
          got.count("TEnemyEnterprise") + got.count("TEnemyMissouri") + got.count("TEnemyB29"), 0u);
      twinBooms += got["TEnemyP38"];
    }
    EXPECT_NEAR(twinBooms / 12, 240, 15);
  }
}

TEST_F(Mission4Test, TheCommanderJoinsAndTheRearAttacksComeOutOfOneCorner) {
  for (int difficulty : {1, 2, 3}) {
    SCOPED_TRACE(difficulty);
    Build(difficulty);
    EXPECT_EQ(Form.SupportPlanes, 0);
    const std::vector<TObjectAdvent>& l = AppearanceList;
    EXPECT_EQ(l[0].Text, "BGM4");
    int attacks = 0, homing = 0;
    for (size_t i = 0; i < l.size(); ++i) {
      if (l[i].ClassName == "TCyoukanIssiki") {
        EXPECT_EQ(l[i].Time, difficulty == 1 ? 591 : 531);
        EXPECT_EQ(l[i].X, 100);
        EXPECT_EQ(l[i].Y, -100);
      }
      homing += l[i].ClassName == "TEnemyF4F_S";
      if (l[i].ClassName != "TMojiSprite" || l[i].Text.find("後方") == std::string::npos) continue;
      ++attacks;
      EXPECT_EQ(l[i].Param, 3);
      // Three homing fighters, all below the screen on the same side.
      ASSERT_LT(i + 3, l.size());
      const bool right = l[i + 1].X > 640;
      for (size_t k = i + 1; k <= i + 3; ++k) {
        EXPECT_EQ(l[k].ClassName, "TEnemyF4F_S");
        EXPECT_EQ(l[k].X > 640, right);
        EXPECT_TRUE(l[k].X > 640 || l[k].X < 0);
        EXPECT_GE(l[k].Y, 600);
      }
    }
    EXPECT_EQ(attacks, 3);
    EXPECT_EQ(homing, 9);
  }
}

TEST_F(Mission4Test, NoBossTheLandingLineThenTheBonusesWithTheCommanders) {
  Build(2);
  std::vector<std::string> events;
  for (const TObjectAdvent& r : AppearanceList)
    if (r.ClassName == "TEventSprite")
      events.push_back(r.Param == 1 ? r.Text : "kind " + std::to_string(r.Param));
  EXPECT_EQ(events, (std::vector<std::string>{"BGM4", "kind 6", "kind 7", "kind 8", "kind 3"}));
  const size_t n = AppearanceList.size();
  const TObjectAdvent& landing = AppearanceList[n - 9];
  const TObjectAdvent& success = AppearanceList[n - 8];
  EXPECT_EQ(landing.Param, 3);
  EXPECT_EQ(success.Text, "作戦成功");
  EXPECT_EQ(success.Time, landing.Time);
  EXPECT_EQ(AppearanceList[n - 3].Text, "長官機損傷率ボーナス（残り損傷率×50）加算");
  EXPECT_EQ(AppearanceList[n - 2].Time - AppearanceList[n - 3].Time, 50);
  EXPECT_EQ(AppearanceList.back().Param, 3);
}

// Without the runner's protection, enemies that reach the commander's plane end the mission
// even though the fighter itself is never harmed.
TEST_F(Mission4Test, LosingTheCommandersPlaneEndsInGameOver) {
  Form.FormPaint();
  Form.Difficulty = 3;
  Form.Mission = 4;
  Form.SinglePlay = true;
  Form.SetScene(ssPlay);
  int frame = 0;
  double worst = 0;
  for (; frame < 9000 && Form.SceneState == ssPlay; ++frame) {
    Form.Damage = 0;
    worst = std::max(worst, Form.CommanderDamage);
    Machine.System.Now += 16;
    Form.Idle();
  }
  EXPECT_EQ(Form.SceneState, ssGameOver) << "after " << frame << " frames";
  EXPECT_GE(worst, 99.5);
  EXPECT_FALSE(Form.MissionCleared);
}

}  // namespace
}  // namespace velmora
