#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "missions/Appearance.h"
#include "missions/Missions.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"
#include "sprites/SpawnFlags.h"

namespace velmora {
namespace {

class Mission1Test : public ::testing::Test {
 protected:
  Mission1Test() { Form.FormCreate(); }
  ~Mission1Test() override { ResetSchedule(); }

  void Build(int difficulty) {
    Form.Difficulty = difficulty;
    BuildMission(1);
  }

  // What the scheduler would let out on the difficulty the list was built for.
  std::map<std::string, int> Released() const {
    std::map<std::string, int> counts;
    for (const TObjectAdvent& r : AppearanceList)
      if (r.Level <= Form.Difficulty) ++counts[r.ClassName];
    return counts;
  }

  THeadlessMachine Machine;
  TMainForm Form{Machine.Platform};
};

TEST_F(Mission1Test, LengthAndForcesOnEachDifficulty) {
  const std::map<std::string, int> medium = {
      {"TEnemyF4F", 72}, {"TEnemyP39", 70},      {"TEnemyP38", 35},       {"TEnemyP36", 25},
      {"TEnemyP40", 25}, {"TEnemyC47", 6},       {"TEnemyPBY", 4},        {"TEnemySBD", 5},
      {"TEnemyB26", 3},  {"TEnemyDestroyer", 3}, {"TEnemyEnterprise", 1}, {"TEventSprite", 11},
      {"TMojiSprite", 4}};
  const int lengths[] = {0, 5001, 4881, 4821};
  for (int difficulty = 1; difficulty <= 3; ++difficulty) {
    SCOPED_TRACE(difficulty);
    Build(difficulty);
    ASSERT_FALSE(AppearanceList.empty());
    EXPECT_EQ(AppearanceList.back().Time, lengths[difficulty]);
    EXPECT_EQ(ScheduleTotal, lengths[difficulty]);
    std::map<std::string, int> expected = medium;
    // Easy adds item carriers; difficult drops two transports and lets the level-3
    // destroyers out.
    if (difficulty == 1) expected["TEnemyC47"] += 1, expected["TEnemyPBY"] += 3;
    if (difficulty == 3) expected["TEnemyC47"] -= 2, expected["TEnemyDestroyer"] += 3;
    EXPECT_EQ(Released(), expected);
    // The level-3 destroyers are in every list, so they use up their frames everywhere.
    int destroyers = 0;
    for (const TObjectAdvent& r : AppearanceList)
      destroyers += r.ClassName == "TEnemyDestroyer";
    EXPECT_EQ(destroyers, 6);
  }
}

TEST_F(Mission1Test, OpeningRowsAndTheEasyFlyingBoat) {
  for (int difficulty : {1, 2}) {
    SCOPED_TRACE(difficulty);
    Build(difficulty);
    const std::vector<TObjectAdvent>& l = AppearanceList;
    EXPECT_EQ(l[0].Text, "BGM1");
    EXPECT_EQ(l[0].Time, 1);
    // Four lines of four from alternate sides, then the flying boat.
    for (int f = 0; f < 4; ++f) {
      EXPECT_EQ(l[1 + 4 * f].Time, 201 + 110 * f);
      EXPECT_EQ(l[1 + 4 * f].Param, f % 2 ? 2 : 3);
    }
    EXPECT_EQ(l[17].ClassName, "TEnemyPBY");
    EXPECT_EQ(l[17].Time, 591);
    EXPECT_EQ(l[18].ClassName, difficulty == 1 ? "TEnemyPBY" : "TEnemyF4F");
    // The three columns of ten at both edges, 50 frames after what came before.
    const size_t columns = difficulty == 1 ? 19 : 18;
    EXPECT_EQ(l[columns].Time, difficulty == 1 ? 671 : 641);
    EXPECT_EQ(l[columns + 29].Time, difficulty == 1 ? 891 : 861);
    EXPECT_EQ(l[columns + 20].Y, 150);
  }
}

TEST_F(Mission1Test, BomberRaidsComeOutWholeAndHoldTheSchedule) {
  Build(2);
  int raiders = 0;
  for (size_t i = 0; i < AppearanceList.size(); ++i) {
    const TObjectAdvent& r = AppearanceList[i];
    if (r.ClassName != "TEnemySBD" && r.ClassName != "TEnemyB26") continue;
    ++raiders;
    EXPECT_TRUE(r.Flags & SF_STOPADV) << i;
    EXPECT_TRUE(r.Param == -1 || r.Param == -2) << i;
    EXPECT_LE(r.Y, -100);
    EXPECT_GE(r.Y, -500);
    // A later member of a raid due after the first has stopped the clock would never come.
    const TObjectAdvent& before = AppearanceList[i - 1];
    if (before.ClassName == r.ClassName) {
      EXPECT_EQ(r.Time, before.Time) << i;
    }
  }
  EXPECT_EQ(raiders, 8);
}

TEST_F(Mission1Test, CarrierAndSuccessSequence) {
  struct TRow {
    int Delay;
    const char* Class;
    int X, Y;
    std::string Text;
    int Param;
    uint16_t Flags;
  };
  for (int difficulty = 1; difficulty <= 3; ++difficulty) {
    SCOPED_TRACE(difficulty);
    Build(difficulty);
    const std::string bonus = "難易度ボーナス（" + std::to_string(difficulty * 10000) + "）加算";
    const std::vector<TRow> rows = {
        {25, "TEventSprite", 0, 0, "DOWN500", 1, 0},
        {25, "TEventSprite", 0, 0, "DOWN1000", 1, 0},
        {25, "TEventSprite", 0, 0, "DOWN1500", 1, 0},
        {25, "TEventSprite", 0, 0, "DOWN2000", 1, 0},
        {25, "TEventSprite", 0, 0, "DOWN2500", 1, 0},
        {25, "TEventSprite", 0, 0, "STOP", 1, 0},
        {100, "TEventSprite", 0, 0, "BOSS", 1, 0},
        {300, "TMojiSprite", 200, 450, "ＵＳＳ 航空母艦 エンタープライズ", 3, 0},
        {10, "TEnemyEnterprise", -600, 25, "nil", 0, SF_STOPADV},
        {200, "TMojiSprite", 200, 180, "作戦成功", -1, 0},
        {100, "TMojiSprite", 200, 450, bonus, 3, 0},
        {50, "TEventSprite", 0, 0, "nil", 6, 0},
        {150, "TMojiSprite", 200, 450, "損傷率ボーナス（残り損傷率×20）加算", 3, 0},
        {50, "TEventSprite", 0, 0, "nil", 7, 0},
        {150, "TEventSprite", 0, 0, "nil", 3, 0},
    };
    const size_t first = AppearanceList.size() - rows.size();
    for (size_t i = 0; i < rows.size(); ++i) {
      const TObjectAdvent& r = AppearanceList[first + i];
      const TRow& want = rows[i];
      SCOPED_TRACE(want.Text);
      EXPECT_EQ(r.Time - AppearanceList[first + i - 1].Time, want.Delay);
      EXPECT_EQ(r.ClassName, want.Class);
      EXPECT_EQ(r.X, want.X);
      EXPECT_EQ(r.Y, want.Y);
      EXPECT_EQ(r.Text, want.Text);
      EXPECT_EQ(r.Param, want.Param);
      EXPECT_EQ(r.Level, 1);
      EXPECT_EQ(r.Flags, want.Flags);
    }
    // No other music command or event hides in the passages.
    std::vector<std::string> events;
    for (const TObjectAdvent& r : AppearanceList)
      if (r.ClassName == "TEventSprite")
        events.push_back(r.Param == 1 ? r.Text : "kind " + std::to_string(r.Param));
    EXPECT_EQ(events,
              (std::vector<std::string>{"BGM1", "DOWN500", "DOWN1000", "DOWN1500", "DOWN2000",
                                        "DOWN2500", "STOP", "BOSS", "kind 6", "kind 7", "kind 3"}));
  }
}

}  // namespace
}  // namespace velmora
