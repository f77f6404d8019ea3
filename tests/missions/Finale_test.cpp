#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "missions/Appearance.h"
#include "missions/Missions.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"
#include "sprites/HeavyBomber.h"
#include "sprites/SpawnFlags.h"
#include "sprites/TextSprites.h"

namespace velmora {
namespace {

class FinaleTest : public ::testing::Test {
 protected:
  FinaleTest() {
    Form.FormCreate();
    Form.FormPaint();
  }
  ~FinaleTest() override { ResetSchedule(); }

  THeadlessMachine Machine;
  TMainForm Form{Machine.Platform};
};

TEST_F(FinaleTest, BriefingsAndTheEscortsClosingHaveTheUsualShape) {
  for (auto [list, texts] : {std::pair{-34, 14u}, {-35, 9u}, {-54, 10u}}) {
    SCOPED_TRACE(list);
    BuildMission(list);
    ASSERT_EQ(AppearanceList.size(), texts);
    EXPECT_EQ(AppearanceList.front().Param, 1);
    for (size_t i = 1; i + 1 < texts; ++i)
      EXPECT_EQ(AppearanceList[i].Param, 2);
    EXPECT_EQ(AppearanceList.back().Text, "スペースキーを押して下さい");
    EXPECT_EQ(AppearanceList.back().Param, 4);
  }
}

TEST_F(FinaleTest, SixPagesEachOpenedByAClearInTheFrameOfItsLines) {
  BuildMission(-55);
  const std::vector<TObjectAdvent>& l = AppearanceList;
  std::vector<size_t> pages;
  int bombers = 0;
  for (size_t i = 0; i < l.size(); ++i) {
    if (l[i].ClassName == "TEnemyB29") {
      ++bombers;
      EXPECT_EQ(l[i].Flags, SF_ENDINGOBJ);
      EXPECT_TRUE(l[i].Y == 480 || l[i].Y == 700);
      EXPECT_TRUE(pages.empty());
    }
    if (l[i].ClassName == "TEventSprite") {
      EXPECT_EQ(l[i].Param, 5);
      pages.push_back(i);
    }
  }
  EXPECT_GE(bombers, 2);
  ASSERT_EQ(pages.size(), 6u);
  EXPECT_EQ(l[pages[0]].Time - l[pages[0] - 1].Time, 350);
  for (size_t p = 0; p < pages.size(); ++p) {
    const size_t end = p + 1 < pages.size() ? pages[p + 1] : l.size();
    EXPECT_GE(end - pages[p] - 1, 1u);
    EXPECT_LE(end - pages[p] - 1, 4u);
    if (p > 0) {
      EXPECT_GE(l[pages[p]].Time - l[pages[p - 1]].Time, 100);
      EXPECT_LE(l[pages[p]].Time - l[pages[p - 1]].Time, 150);
    }
    for (size_t i = pages[p] + 1; i < end; ++i) {
      EXPECT_EQ(l[i].Time, l[pages[p]].Time);
      EXPECT_TRUE(l[i].Param == -1 || l[i].Param == -2);
      EXPECT_EQ(l[i].X, 200);
      EXPECT_GE(l[i].Y, 80);
      EXPECT_LE(l[i].Y, 380);
    }
  }
  EXPECT_EQ(l[pages[2] + 1].Text, "Velmora");
  EXPECT_EQ(l[l.size() - 2].Text, "ＴＨＥ ＥＮＤ");
  EXPECT_EQ(l.back().Text, "スペースキーを押して下さい");
  EXPECT_EQ(l.back().Y, 380);
}

// The closing played as the Result scene: every page shows only its own lines, and the
// climbing bombers leave without a shot at them or a hold on the clock.
TEST_F(FinaleTest, ThePagesReplaceOneAnotherOnTheScreen) {
  Form.Mission = 5;
  Form.SetScene(ssResult);
  std::vector<std::vector<std::string>> shown;
  bool sawBomber = false;
  for (int frame = 0; frame < 2500; ++frame) {
    Machine.System.Now += 16;
    Form.Idle();
    ASSERT_EQ(Form.SceneState, ssResult);
    EXPECT_FALSE(Form.AdvanceStopped);
    // Set VELMORA_TEST_SHOTS to a folder to look at the pages.
    if (const char* dir = std::getenv("VELMORA_TEST_SHOTS"); dir && frame % 150 == 0)
      SaveScreenshot(Machine.Display, dir + ("/finale-" + std::to_string(frame) + ".png"));
    std::vector<std::string> texts;
    const TSpriteEngine& engine = Form.SpriteEngine.Engine;
    for (int i = 0; i < engine.Count(); ++i) {
      if (const auto* m = dynamic_cast<const TMojiSprite*>(engine.Items(i)))
        texts.push_back(m->Text);
      if (const auto* b = dynamic_cast<const TEnemyB29*>(engine.Items(i))) {
        EXPECT_FALSE(b->Collides);
        sawBomber = true;
      }
    }
    // A screen is new when its first line changed; later lines join the screen they appear on.
    if (texts.empty()) continue;
    if (shown.empty() || texts.front() != shown.back().front())
      shown.push_back(texts);
    else
      shown.back() = texts;
  }
  EXPECT_TRUE(sawBomber);
  ASSERT_GE(shown.size(), 7u);
  const std::vector<std::vector<std::string>> last(shown.end() - 6, shown.end());
  EXPECT_EQ(last[2], (std::vector<std::string>{"Velmora"}));
  EXPECT_EQ(last[5], (std::vector<std::string>{"ＴＨＥ ＥＮＤ", "スペースキーを押して下さい"}));
  EXPECT_EQ(last[3].back(), "Velmora チーム");
}

}  // namespace
}  // namespace velmora
