#include <gtest/gtest.h>

#include <string>
#include <vector>

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

  // The records of one class, or the events as "text/kind", in order.
  std::vector<const TObjectAdvent*> Of(const std::string& cls) const {
    std::vector<const TObjectAdvent*> found;
    for (const TObjectAdvent& r : AppearanceList)
      if (r.ClassName == cls) found.push_back(&r);
    return found;
  }
  std::vector<std::string> Events() const {
    std::vector<std::string> found;
    for (const TObjectAdvent* r : Of("TEventSprite"))
      found.push_back(r->Text + "/" + std::to_string(r->Param));
    return found;
  }

  THeadlessMachine Machine;
  TMainForm Form{Machine.Platform};
};

TEST_F(BonusMissionsTest, EveryListSetsUpItsOwnGameAndEndsTheMission) {
  const struct {
    int32_t Mission;
    std::vector<std::string> Events;
    const char *Background, *Player, *P36, *SBD;
    int32_t SupportPlanes;
    bool Fire;
  } cases[] = {
      {6, {"BOSS/1", "nil/3"}, "Sea", "Zero21", "P36", "UFO", 2, true},
      {7, {"nil/3"}, "Space", "UFO", "Star", "SBD", 0, false},
      {8, {"nil/3"}, "NONE", "UFO", "P36", "SBD", 0, false},
      {9, {"nil/3"}, "Space", "UFO", "UFO", "SBD", 0, false},
      {10, {"nil/3"}, "Space", "Ruko", "Apple", "SBD", 0, true},
      {11, {"nil/3"}, "NONE", "Apple", "P36", "SBD", 0, true},
      {9999, {"BGM1/1", "nil/3"}, "Sea", "Zero21", "P36", "SBD", 2, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Mission);
    Form.Mission = c.Mission;
    Form.SetScene(ssBriefing);
    EXPECT_EQ(AppearanceList.back().Text, "スペースキーを押して下さい");
    Form.Damage = 40;
    Form.SetScene(ssPlay);
    EXPECT_EQ(Events(), c.Events);
    EXPECT_EQ(AppearanceList.back().Param, 3);
    EXPECT_EQ(Form.BackgroundImage, c.Background);
    EXPECT_EQ(PlayerSprite->Image->GetName(), c.Player);
    EXPECT_EQ(Form.P36Image, c.P36);
    EXPECT_EQ(Form.SBDImage, c.SBD);
    EXPECT_EQ(Form.SupportPlanes, c.SupportPlanes);
    EXPECT_EQ(Form.FireEnabled, c.Fire);
    EXPECT_EQ(Form.Damage, 0);
  }
  EXPECT_EQ(AppearanceList.back().Time, 6761);
}

TEST_F(BonusMissionsTest, OnlyTheLastJokeTargetHoldsTheClockOnTheLastDay) {
  BuildMission(11);
  const auto rain = Of("TEnemyRuko");
  ASSERT_EQ(rain.size(), 30u);
  for (size_t i = 0; i < rain.size(); ++i) {
    EXPECT_EQ(rain[i]->Flags, i + 1 == rain.size() ? SF_HighSpeed | SF_STOPADV : SF_HighSpeed);
    EXPECT_TRUE(rain[i]->Y >= -100 && rain[i]->Y < 300) << rain[i]->Y;
    if (i > 0) {
      EXPECT_EQ(rain[i]->Time - rain[i - 1]->Time, 30);
    }
  }
  // The apple duel starts at once and its apples shoot back.
  BuildMission(10);
  EXPECT_EQ(AppearanceList.front().Time, 5);
  for (const TObjectAdvent* a : Of("TEnemyP36"))
    EXPECT_EQ(a->Flags, 0);
}

TEST_F(BonusMissionsTest, ABonusMissionLeavesNothingOfItselfForMissionOne) {
  Form.Mission = 7;
  Form.SetScene(ssBriefing);
  Form.SetScene(ssPlay);
  ASSERT_EQ(Form.ShotDownMessage, "宇宙旅行はまだ早すぎる。");
  Form.Mission = 1;
  Form.SetScene(ssBriefing);
  Form.SetScene(ssPlay);
  EXPECT_EQ(Form.PlayerImage, "Zero21");
  EXPECT_EQ(Form.P36Image, "P36");
  EXPECT_EQ(Form.SBDImage, "SBD");
  EXPECT_EQ(Form.SupportPlanes, 2);
  EXPECT_TRUE(Form.FireEnabled);
  std::vector<std::string> backgrounds;
  for (int i = 0; i < Form.SpriteEngine.Engine.Count(); ++i)
    if (auto* b = dynamic_cast<TScrollBackground*>(Form.SpriteEngine.Engine.Items(i)))
      backgrounds.push_back(b->Image->GetName());
  EXPECT_EQ(backgrounds, (std::vector<std::string>{"Sea"}));
  Form.SetScene(ssGameOver);
  EXPECT_EQ(AppearanceList.at(0).Text, "撃墜されてしまった..。");
}

}  // namespace
}  // namespace velmora
