// A play list built on a given difficulty, with what the scheduler would let out of it.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/Random.h"
#include "missions/Appearance.h"
#include "missions/Missions.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

class PlayListTest : public ::testing::Test {
 protected:
  PlayListTest() { Form.FormCreate(); }
  ~PlayListTest() override { ResetSchedule(); }

  // The seed fixes the draws of the randomised stretches.
  void Build(int32_t mission, int difficulty, uint32_t seed = 1) {
    Form.Difficulty = difficulty;
    RandSeed() = seed;
    BuildMission(mission);
  }

  // Sprites by class that the scheduler would let out on the difficulty the list was built
  // for.
  std::map<std::string, int> Released() const {
    std::map<std::string, int> counts;
    for (const TObjectAdvent& r : AppearanceList)
      if (r.Level <= Form.Difficulty) ++counts[r.ClassName];
    return counts;
  }

  // Music commands and event kinds in list order: nothing may hide in the passages.
  static std::vector<std::string> Events() {
    std::vector<std::string> events;
    for (const TObjectAdvent& r : AppearanceList)
      if (r.ClassName == "TEventSprite")
        events.push_back(r.Param == 1 ? r.Text : "kind " + std::to_string(r.Param));
    return events;
  }

  // The index of the first record of that class with that text, or of that class alone.
  static size_t IndexOf(const std::string& cls, const std::string& text = "") {
    for (size_t i = 0; i < AppearanceList.size(); ++i)
      if (AppearanceList[i].ClassName == cls && (text.empty() || AppearanceList[i].Text == text))
        return i;
    ADD_FAILURE() << "no " << cls << " " << text;
    return 0;
  }

  // A record as the list's writer reads it: the delay after the record before it.
  struct TRow {
    int Delay;
    const char* Class;
    int X, Y;
    std::string Text;
    int Param;
    uint16_t Flags;
  };

  // The records from index first on are exactly these rows, all on level 1.
  static void ExpectRows(size_t first, const std::vector<TRow>& rows) {
    ASSERT_GT(first, 0u);
    ASSERT_LE(first + rows.size(), AppearanceList.size());
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
  }

  // The tune fading out in steps before a boss, and the boss theme.
  static std::vector<TRow> BossMusicRows() {
    std::vector<TRow> rows;
    for (const char* step : {"DOWN500", "DOWN1000", "DOWN1500", "DOWN2000", "DOWN2500", "STOP"})
      rows.push_back({25, "TEventSprite", 0, 0, step, 1, 0});
    rows.push_back({100, "TEventSprite", 0, 0, "BOSS", 1, 0});
    return rows;
  }

  // The closing sequence, with the bonus text of the difficulty the list was built on.
  static std::vector<TRow> SuccessRows(int difficulty, int firstDelay) {
    const std::string bonus = "難易度ボーナス（" + std::to_string(difficulty * 10000) + "）加算";
    return {
        {firstDelay, "TMojiSprite", 200, 180, "作戦成功", -1, 0},
        {100, "TMojiSprite", 200, 450, bonus, 3, 0},
        {50, "TEventSprite", 0, 0, "nil", 6, 0},
        {150, "TMojiSprite", 200, 450, "損傷率ボーナス（残り損傷率×20）加算", 3, 0},
        {50, "TEventSprite", 0, 0, "nil", 7, 0},
        {150, "TEventSprite", 0, 0, "nil", 3, 0},
    };
  }

  // The end of a mission with a boss: the music, the caption naming it, the boss itself and
  // the success sequence.
  static std::vector<TRow> BossEndingRows(const char* caption, const TRow& boss, int difficulty) {
    std::vector<TRow> rows = BossMusicRows();
    rows.push_back({300, "TMojiSprite", 200, 450, caption, 3, 0});
    rows.push_back(boss);
    for (const TRow& row : SuccessRows(difficulty, 200))
      rows.push_back(row);
    return rows;
  }

  // The events of a campaign mission with the boss music: nothing else hides in its passages.
  static void ExpectBossMissionEvents(const std::string& tune) {
    EXPECT_EQ(Events(),
              (std::vector<std::string>{tune, "DOWN500", "DOWN1000", "DOWN1500", "DOWN2000",
                                        "DOWN2500", "STOP", "BOSS", "kind 6", "kind 7", "kind 3"}));
  }

  // Every bomber holds the schedule, hovers or sweeps, enters from above, and its raid comes
  // out whole: a later member due after the first has stopped the clock would never come.
  // Returns the number of bombers.
  static int CheckBomberRaids() {
    int raiders = 0;
    for (size_t i = 1; i < AppearanceList.size(); ++i) {
      const TObjectAdvent& r = AppearanceList[i];
      if (r.ClassName != "TEnemySBD" && r.ClassName != "TEnemyTBM" && r.ClassName != "TEnemyB26")
        continue;
      ++raiders;
      EXPECT_TRUE(r.Flags & SF_STOPADV) << i;
      EXPECT_TRUE(r.Param == -1 || r.Param == -2) << i;
      EXPECT_LE(r.Y, -100) << i;
      EXPECT_GE(r.Y, -500) << i;
      const TObjectAdvent& before = AppearanceList[i - 1];
      if (before.ClassName == r.ClassName) {
        EXPECT_EQ(r.Time, before.Time) << i;
      }
    }
    return raiders;
  }

  THeadlessMachine Machine;
  TMainForm Form{Machine.Platform};
};

// The same for a fixture that tests one mission's list.
class MissionListTest : public PlayListTest {
 protected:
  explicit MissionListTest(int32_t mission) : Mission(mission) {}
  void Build(int difficulty, uint32_t seed = 1) { PlayListTest::Build(Mission, difficulty, seed); }

  int32_t Mission;
};

}  // namespace velmora
