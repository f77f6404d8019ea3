#include <gtest/gtest.h>

#include "missions/Appearance.h"
#include "missions/Missions.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"

namespace velmora {
namespace {

class ScreenListsTest : public ::testing::Test {
 protected:
  ScreenListsTest() { Form.FormCreate(); }
  ~ScreenListsTest() override { ResetSchedule(); }

  THeadlessMachine Machine;
  TMainForm Form{Machine.Platform};
};

TEST_F(ScreenListsTest, ListNumbersAndScenesWithoutAList) {
  EXPECT_EQ(SceneListNumber(3, 10), -310);
  EXPECT_EQ(SceneListNumber(4, 9999), -49999);
  for (int32_t number : {-777, 0, 12345, -3, -312}) {
    BuildMission(-2);
    BuildMission(number);
    EXPECT_TRUE(AppearanceList.empty()) << number;
    EXPECT_EQ(ScheduleTotal, 0) << number;
  }
}

TEST_F(ScreenListsTest, EachScreenHasItsShape) {
  BuildMission(-2);
  ASSERT_EQ(AppearanceList.size(), 10u);
  EXPECT_EQ(AppearanceList.front().Time, 10);
  EXPECT_EQ(AppearanceList.front().Param, 0);
  EXPECT_EQ(AppearanceList.back().Time, 720);
  EXPECT_EQ(AppearanceList.back().Param, 4);
  EXPECT_EQ(AppearanceList.back().Text, "スペースキーを押して下さい");

  BuildMission(-31);
  EXPECT_EQ(AppearanceList.size(), 14u);
  EXPECT_EQ(AppearanceList.back().Param, 4);

  BuildMission(-410);
  ASSERT_EQ(AppearanceList.size(), 1u);
  EXPECT_EQ(AppearanceList[0].Text, "ルコvs林檎");
  EXPECT_EQ(AppearanceList[0].Time, 1);
  EXPECT_EQ(AppearanceList[0].Param, -1);
  EXPECT_EQ(AppearanceList[0].Y, 100);

  Form.ShotDownMessage = "ｴｲﾘｱﾝの襲撃に遭った。";
  BuildMission(-888);
  ASSERT_EQ(AppearanceList.size(), 1u);
  EXPECT_EQ(AppearanceList[0].Text, "ｴｲﾘｱﾝの襲撃に遭った。");
}

// A date line, narrative in paragraphs, and the prompt to go on.
TEST_F(ScreenListsTest, BriefingsAndClosingsOfMissions2And3) {
  for (const auto& [list, records] : {std::pair{-32, 14}, {-33, 15}, {-52, 13}, {-53, 13}}) {
    SCOPED_TRACE(list);
    BuildMission(list);
    ASSERT_EQ(AppearanceList.size(), static_cast<size_t>(records));
    EXPECT_EQ(AppearanceList.front().Param, 1);
    EXPECT_EQ(AppearanceList.front().Text.rfind("1942年", 0), 0u);
    for (size_t i = 1; i + 1 < AppearanceList.size(); ++i) {
      EXPECT_EQ(AppearanceList[i].Param, 2);
      const int32_t gap = AppearanceList[i].Time - AppearanceList[i - 1].Time;
      EXPECT_TRUE(gap == 50 || gap == 90 || gap == 100) << i;
    }
    EXPECT_EQ(AppearanceList.back().Text, "スペースキーを押して下さい");
    EXPECT_EQ(AppearanceList.back().Param, 4);
  }
}

}  // namespace
}  // namespace velmora
