#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/Random.h"
#include "missions/Appearance.h"
#include "missions/Missions.h"
#include "missions/PlayListFixture.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"
#include "sprites/SpawnFlags.h"

namespace velmora {
namespace {

class Mission5Test : public MissionListTest {
 protected:
  Mission5Test() : MissionListTest(5) {}
};

TEST_F(Mission5Test, TheStreamGrowsWithTheDifficultyAndOnlyItVariesTheLength) {
  const int range[][2] = {{0, 0}, {4330, 4500}, {4450, 4730}, {4720, 5100}};
  const int transports[] = {0, 9, 6, 5};
  const int flyingBoats[] = {0, 8, 5, 5};
  for (int difficulty = 1; difficulty <= 3; ++difficulty) {
    std::set<int> fixedPart, lengths;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
      SCOPED_TRACE(testing::Message() << "difficulty " << difficulty << " seed " << seed);
      Build(difficulty, seed);
      std::map<std::string, int> got = Released();
      EXPECT_EQ(got["TEnemyF6F"], 70 + 30 * difficulty);
      EXPECT_EQ(got["TEnemyP38"], 65);
      EXPECT_EQ(got["TEnemyF4F"], 10);
      EXPECT_EQ(got["TEnemyC47"], transports[difficulty]);
      EXPECT_EQ(got["TEnemyPBY"], flyingBoats[difficulty]);
      EXPECT_EQ(got["TEnemyB17"], 6);
      EXPECT_EQ(got["TEnemyB29"], 1);
      EXPECT_LE(got["TEnemyF4F_S"], 10 * difficulty);
      const int length = AppearanceList.back().Time;
      EXPECT_GE(length, range[difficulty][0]);
      EXPECT_LE(length, range[difficulty][1]);
      lengths.insert(length);
      // Each homing fighter of the stream waits 20 frames; nothing else is left to chance.
      fixedPart.insert(length - 20 * got["TEnemyF4F_S"]);
      for (const TObjectAdvent& r : AppearanceList)
        if (r.ClassName == "TEnemyF4F_S") {
          const bool corner = (r.X == 750 && r.Y == 600) || (r.X == -100 && r.Y == 200) ||
                              (r.X == -50 && r.Y == -200) || (r.X == -50 && r.Y == 600);
          EXPECT_TRUE(corner) << r.X << "," << r.Y;
        }
    }
    EXPECT_EQ(fixedPart.size(), 1u);
    EXPECT_GT(lengths.size(), 1u);
  }
}

TEST_F(Mission5Test, ThreeBomberRaidsWithTheirFlagSets) {
  Build(2);
  std::vector<uint16_t> flags;
  for (size_t i = 0; i < AppearanceList.size(); ++i) {
    const TObjectAdvent& r = AppearanceList[i];
    if (r.ClassName != "TEnemyB17") continue;
    flags.push_back(r.Flags);
    // A raid comes out whole before its first member stops the clock.
    if (flags.size() % 2 == 0) {
      EXPECT_EQ(r.Time, AppearanceList[i - 1].Time);
    }
    EXPECT_TRUE(r.Param == -1 || r.Param == -2);
  }
  const uint16_t a = SF_ENEMYADV | SF_STOPADV | SF_HighPower;
  const uint16_t b = a | SF_WideMove;
  const uint16_t c = SF_STOPADV | SF_HighPower | SF_WideMove;
  EXPECT_EQ(flags, (std::vector<uint16_t>{a, a, b, b, c, c}));
}

TEST_F(Mission5Test, TheGreatBomberAfterItsCaptionAndTheEventsInOrder) {
  for (int difficulty = 1; difficulty <= 3; ++difficulty) {
    SCOPED_TRACE(difficulty);
    Build(difficulty);
    const std::vector<TObjectAdvent>& l = AppearanceList;
    size_t boss = 0;
    for (size_t i = 0; i < l.size(); ++i)
      if (l[i].ClassName == "TEnemyB29") boss = i;
    ASSERT_GT(boss, 2u);
    EXPECT_EQ(l[boss - 2].Text, "BOSS");
    EXPECT_EQ(l[boss - 1].Text, "ボーイング Ｂ２９ 『超空の要塞』");
    EXPECT_EQ(l[boss - 1].Param, 3);
    EXPECT_EQ(l[boss - 1].Time - l[boss - 2].Time, 100);
    EXPECT_EQ(l[boss].Time - l[boss - 1].Time, 10);
    EXPECT_EQ(l[boss].X, 200);
    EXPECT_EQ(l[boss].Y, -300);
    EXPECT_EQ(l[boss].Flags, difficulty == 1 ? SF_STOPADV : SF_ENEMYADV | SF_STOPADV);
    EXPECT_EQ(l[boss + 1].Text, "作戦成功");
    EXPECT_EQ(l[boss + 1].Time - l[boss].Time, 200);
    std::vector<std::string> events;
    for (const TObjectAdvent& r : l)
      if (r.ClassName == "TEventSprite")
        events.push_back(r.Param == 1 ? r.Text : "kind " + std::to_string(r.Param));
    EXPECT_EQ(events,
              (std::vector<std::string>{"BGM5", "DOWN500", "DOWN1000", "DOWN1500", "DOWN2000",
                                        "DOWN2500", "STOP", "BOSS", "kind 6", "kind 7", "kind 3"}));
  }
}

}  // namespace
}  // namespace velmora
