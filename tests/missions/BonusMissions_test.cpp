#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/Random.h"
#include "missions/Appearance.h"
#include "missions/Missions.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"
#include "sprites/Player.h"
#include "sprites/ScrollBackground.h"
#include "sprites/SpawnFlags.h"

namespace velmora {
namespace {

class BonusMissionsTest : public ::testing::Test {
 protected:
  BonusMissionsTest() {
    Form.FormCreate();
    Form.FormPaint();
    Form.Difficulty = 2;
  }
  ~BonusMissionsTest() override { ResetSchedule(); }

  std::vector<const TObjectAdvent*> Of(const std::string& cls) const {
    std::vector<const TObjectAdvent*> found;
    for (const TObjectAdvent& r : AppearanceList)
      if (r.ClassName == cls) found.push_back(&r);
    return found;
  }
  // The events as "text/kind", in order.
  std::vector<std::string> Events() const {
    std::vector<std::string> found;
    for (const TObjectAdvent* r : Of("TEventSprite"))
      found.push_back(r->Text + "/" + std::to_string(r->Param));
    return found;
  }

  THeadlessMachine Machine;
  TMainForm Form{Machine.Platform};
};

TEST_F(BonusMissionsTest, EveryListEndsTheMissionAndSetsUpItsOwnGame) {
  struct TCase {
    int32_t Mission;
    std::vector<std::string> Events;
    const char *Player, *P36, *SBD;
    int32_t SupportPlanes;
    bool Fire;
  };
  const TCase cases[] = {
      {6, {"BOSS/1", "nil/3"}, "Zero21", "P36", "UFO", 2, true},
      {7, {"nil/3"}, "UFO", "Star", "SBD", 0, false},
      {8, {"nil/3"}, "UFO", "P36", "SBD", 0, false},
      {9, {"nil/3"}, "UFO", "UFO", "SBD", 0, false},
      {10, {"nil/3"}, "Ruko", "Apple", "SBD", 0, true},
      {11, {"nil/3"}, "Apple", "P36", "SBD", 0, true},
      {9999, {"BGM1/1", "nil/3"}, "Zero21", "P36", "SBD", 2, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Mission);
    Form.Mission = c.Mission;
    Form.Damage = 40;
    Form.SetScene(ssPlay);
    EXPECT_EQ(Events(), c.Events);
    EXPECT_EQ(AppearanceList.back().ClassName, "TEventSprite");
    EXPECT_EQ(AppearanceList.back().Param, 3);
    EXPECT_EQ(Form.PlayerImage, c.Player);
    EXPECT_EQ(Form.P36Image, c.P36);
    EXPECT_EQ(Form.SBDImage, c.SBD);
    EXPECT_EQ(Form.SupportPlanes, c.SupportPlanes);
    EXPECT_EQ(Form.FireEnabled, c.Fire);
    EXPECT_EQ(Form.Damage, 0);
    ASSERT_NE(PlayerSprite, nullptr);
    EXPECT_EQ(PlayerSprite->Image->GetName(), c.Player);
  }
  EXPECT_EQ(AppearanceList.back().Time, 6761);
}

TEST_F(BonusMissionsTest, BriefingsChooseTheBackgroundOfTheMissionAfterThem) {
  const std::map<int32_t, std::string> backgrounds = {{6, "Sea"},   {7, "Space"},  {8, "NONE"},
                                                      {9, "Space"}, {10, "Space"}, {11, "NONE"},
                                                      {9999, "Sea"}};
  for (const auto& [mission, background] : backgrounds) {
    SCOPED_TRACE(mission);
    Form.Mission = mission;
    Form.SetScene(ssBriefing);
    EXPECT_EQ(Form.BackgroundImage, background);
    EXPECT_EQ(AppearanceList.back().Text, "スペースキーを押して下さい");
    Form.SetScene(ssPlay);
    EXPECT_EQ(Form.BackgroundImage, background);
    Form.SetScene(ssResult);
    ASSERT_GE(AppearanceList.size(), 4u);
    EXPECT_EQ(AppearanceList.back().Param, 4);
  }
}

TEST_F(BonusMissionsTest, VoyagesRainTargetsThatCannotShootAndTheAppleDuelShootsBack) {
  for (int32_t mission : {7, 9, 10}) {
    SCOPED_TRACE(mission);
    RandSeed() = 99;
    BuildMission(mission);
    const auto targets = Of("TEnemyP36");
    const bool voyage = mission != 10;
    const int steps = voyage ? 150 : 50;
    // One (or two) per step, the voyages with an opening single one.
    EXPECT_GE(targets.size(), static_cast<size_t>(steps + voyage));
    EXPECT_LE(targets.size(), static_cast<size_t>(2 * steps + voyage));
    for (const TObjectAdvent* t : targets) {
      EXPECT_EQ(t->Flags, voyage ? uint16_t{SF_NOFIRE} : uint16_t{0});
      EXPECT_EQ(t->Y, -100);
      EXPECT_TRUE(t->Param == 4 || t->Param == 1);
      EXPECT_TRUE(t->X >= 0 && t->X < 640);
    }
    if (voyage) {
      // Four radio lines 300, 300, 200, 300 frames in, the first target 200 after.
      const auto lines = Of("TMojiSprite");
      ASSERT_EQ(lines.size(), 4u);
      EXPECT_EQ(lines[3]->Time, 1100);
      EXPECT_EQ(targets[0]->Time, 1300);
    } else {
      EXPECT_EQ(targets[0]->Time, 5);
    }
    EXPECT_EQ(AppearanceList.back().Time - targets.back()->Time, voyage ? 300 : 200);
  }
}

TEST_F(BonusMissionsTest, TheJokeTargetsHoldTheClockUntilTheLastIsGone) {
  BuildMission(8);
  const auto experiment = Of("TEnemyRuko");
  ASSERT_EQ(experiment.size(), 1u);
  EXPECT_EQ(experiment[0]->X, 0);
  EXPECT_EQ(experiment[0]->Y, 0);
  EXPECT_EQ(experiment[0]->Flags, SF_STOPADV);
  EXPECT_EQ(AppearanceList.back().Time - experiment[0]->Time, 600);
  // The scale down the screen, each mark 30 frames after the one above.
  std::vector<int32_t> scale;
  for (const TObjectAdvent* t : Of("TMojiSprite"))
    if (t->Param == -2) scale.push_back(t->Y);
  EXPECT_EQ(scale, (std::vector<int32_t>{150, 250, 350, 450}));

  BuildMission(11);
  const auto rain = Of("TEnemyRuko");
  ASSERT_EQ(rain.size(), 30u);
  for (size_t i = 0; i < rain.size(); ++i) {
    EXPECT_EQ(rain[i]->Flags, i + 1 == rain.size() ? SF_HighSpeed | SF_STOPADV : SF_HighSpeed);
    EXPECT_EQ(rain[i]->X, 0);
    EXPECT_TRUE(rain[i]->Y >= -100 && rain[i]->Y < 300) << rain[i]->Y;
    if (i > 0) {
      EXPECT_EQ(rain[i]->Time - rain[i - 1]->Time, 30);
    }
  }

  BuildMission(6);
  const auto alien = Of("TEnemySBD");
  ASSERT_EQ(alien.size(), 1u);
  EXPECT_EQ(alien[0]->Flags, SF_STOPADV | SF_NOFIRE | SF_NOSMOKE);
  EXPECT_EQ(alien[0]->Param, -1);
}

TEST_F(BonusMissionsTest, TheIntroductionShowsEveryTypeFiftyFramesAfterItsCaption) {
  BuildMission(9999);
  const std::map<std::string, size_t> counts = {
      {"TEnemyC47", 3}, {"TEnemyPBY", 4}, {"TEnemyP36", 5},       {"TEnemyP39", 5},
      {"TEnemyP38", 5}, {"TEnemyF4F", 5}, {"TEnemyF6F", 5},       {"TEnemySBD", 1},
      {"TEnemyTBM", 1}, {"TEnemyB26", 1}, {"TEnemyDestroyer", 3}, {"TEnemyLCI", 3},
      {"TEnemyLSM", 3}};
  for (const auto& [cls, count] : counts)
    EXPECT_EQ(Of(cls).size(), count) << cls;
  for (const char* bomber : {"TEnemySBD", "TEnemyTBM", "TEnemyB26"}) {
    EXPECT_EQ(Of(bomber)[0]->Flags, SF_STOPADV);
    EXPECT_EQ(Of(bomber)[0]->X, 250);
    EXPECT_EQ(Of(bomber)[0]->Y, -100);
  }
  // Each caption is followed 50 frames later by the first of its group.
  const auto& l = AppearanceList;
  int captions = 0;
  for (size_t i = 0; i + 1 < l.size(); ++i) {
    if (l[i].ClassName != "TMojiSprite") continue;
    ++captions;
    EXPECT_EQ(l[i].Param, 3);
    EXPECT_EQ(l[i + 1].Time - l[i].Time, 50) << l[i].Text;
    EXPECT_NE(l[i + 1].ClassName, "TMojiSprite");
  }
  EXPECT_EQ(captions, 13);
}

TEST_F(BonusMissionsTest, ABonusMissionLeavesNothingOfItselfForMissionOne) {
  Form.Mission = 7;
  Form.SetScene(ssBriefing);
  Form.SetScene(ssPlay);
  ASSERT_EQ(Form.PlayerImage, "UFO");
  ASSERT_EQ(Form.ShotDownMessage, "宇宙旅行はまだ早すぎる。");
  Form.Mission = 1;
  Form.SetScene(ssBriefing);
  Form.SetScene(ssPlay);
  EXPECT_EQ(Form.PlayerImage, "Zero21");
  EXPECT_EQ(Form.P36Image, "P36");
  EXPECT_EQ(Form.SBDImage, "SBD");
  EXPECT_EQ(Form.ShotDownMessage, "撃墜されてしまった..。");
  EXPECT_EQ(Form.SupportPlanes, 2);
  EXPECT_TRUE(Form.FireEnabled);
  EXPECT_EQ(Form.BackgroundImage, "Sea");
  std::vector<std::string> backgrounds;
  for (int i = 0; i < Form.SpriteEngine.Engine.Count(); ++i)
    if (auto* b = dynamic_cast<TScrollBackground*>(Form.SpriteEngine.Engine.Items(i)))
      backgrounds.push_back(b->Image->GetName());
  EXPECT_EQ(backgrounds, (std::vector<std::string>{"Sea"}));
  Form.SetScene(ssGameOver);
  ASSERT_EQ(AppearanceList.size(), 1u);
  EXPECT_EQ(AppearanceList[0].Text, "撃墜されてしまった..。");
}

}  // namespace
}  // namespace velmora
