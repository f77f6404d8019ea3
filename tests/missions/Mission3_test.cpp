#include "missions/PlayListFixture.h"
#include "sprites/SpawnFlags.h"

namespace velmora {
namespace {

class Mission3Test : public MissionListTest {
 protected:
  Mission3Test() : MissionListTest(3) {}
  static uint32_t Seed(int i) { return 2654435761u * static_cast<uint32_t>(i); }
};

TEST_F(Mission3Test, LengthsAndForcesOverSeeds) {
  struct TRange {
    int Low, High;
  };
  const TRange lengths[] = {{}, {7500, 7700}, {7480, 7690}, {7340, 7550}};
  const int transports[] = {0, 8, 7, 2};
  constexpr int kSeeds = 12;
  for (int difficulty = 1; difficulty <= 3; ++difficulty) {
    SCOPED_TRACE(difficulty);
    double meanLength = 0;
    std::map<std::string, double> mean;
    for (int i = 1; i <= kSeeds; ++i) {
      SCOPED_TRACE(i);
      Build(difficulty, Seed(i));
      const int length = AppearanceList.back().Time;
      // The island block's draws move the length by a few hundred frames either way.
      EXPECT_GT(length, lengths[difficulty].Low - 200);
      EXPECT_LT(length, lengths[difficulty].High + 200);
      meanLength += length / double(kSeeds);
      std::map<std::string, int> released = Released();
      for (const auto& [cls, n] : released)
        mean[cls] += n / double(kSeeds);
      const std::map<std::string, int> fixed = {
          {"TEnemyLCI", 22},    {"TEnemyLSM", 22}, {"TEnemyC47", transports[difficulty]},
          {"TEnemyPBY", 4},     {"TEnemySBD", 5},  {"TEnemyB26", 4},
          {"TEventSprite", 11}, {"TMojiSprite", 5}};
      for (const auto& [cls, n] : fixed)
        EXPECT_EQ(released[cls], n) << cls;
      EXPECT_EQ(CheckBomberRaids(), 9);
      EXPECT_GE(released["TEnemyDestroyer"], 3);
      EXPECT_LE(released["TEnemyDestroyer"], 8);
    }
    EXPECT_GE(meanLength, lengths[difficulty].Low);
    EXPECT_LE(meanLength, lengths[difficulty].High);
    if (difficulty == 2) {
      EXPECT_NEAR(mean["TEnemyF4F"], 150, 15);
      EXPECT_NEAR(mean["TEnemyF6F"], 120, 12);
      EXPECT_NEAR(mean["TEnemyP38"], 100, 10);
    }
  }
}

// The island block: sixteen times a fighter weaving right, one weaving left and a fast dive
// 15 frames apart, and a pair crossing from both sides that only difficult lets out.
TEST_F(Mission3Test, IslandBlockAndItsDifficultPairs) {
  Build(1, Seed(5));
  const std::vector<TObjectAdvent>& l = AppearanceList;
  int triples = 0, pairs = 0;
  for (size_t i = 2; i < l.size(); ++i) {
    if (l[i].ClassName == "TEnemyP38" && l[i].Param == 4 && l[i].Y == -50 &&
        l[i - 1].ClassName == "TEnemyF6F" && l[i - 1].Param == 3 &&
        l[i - 2].ClassName == "TEnemyF4F" && l[i - 2].Param == 2) {
      ++triples;
      EXPECT_EQ(l[i].Time - l[i - 1].Time, 15);
      EXPECT_EQ(l[i - 1].Time - l[i - 2].Time, 15);
      for (size_t k = i - 2; k <= i; ++k) {
        EXPECT_GE(l[k].X, 180);
        EXPECT_LT(l[k].X, 500);
      }
    }
    const TObjectAdvent &a = l[i - 1], &b = l[i];
    if (a.Level == 3 && b.Level == 3 && a.X == -40 && b.X == 600) {
      ++pairs;
      EXPECT_EQ(b.Time - a.Time, 5);
      EXPECT_NE(a.ClassName, b.ClassName);
      EXPECT_EQ(a.Param, 6);
      EXPECT_EQ(b.Param, 5);
      EXPECT_TRUE(a.Y >= 0 && a.Y < 250 && b.Y >= 0 && b.Y < 250);
    }
  }
  EXPECT_EQ(triples, 16);
  EXPECT_EQ(pairs, 16);

  // On easy the difficult-only records are in the list and cost their frame, but the
  // scheduler lets nothing out for them.
  size_t first = 0;
  while (l[first].Level != 3)
    ++first;
  Form.SpriteEngine.Engine.Clear();
  Form.AppearanceIndex = static_cast<int32_t>(first);
  Form.FrameCount = l[first + 1].Time;
  SpawnDue();
  SpawnDue();
  EXPECT_EQ(Form.SpriteEngine.Engine.Count(), 0);
  EXPECT_EQ(Form.AppearanceIndex, static_cast<int32_t>(first + 2));
}

TEST_F(Mission3Test, LandingForceInColumnsBetweenTheLastBlocks) {
  for (int difficulty = 1; difficulty <= 3; ++difficulty) {
    SCOPED_TRACE(difficulty);
    Build(difficulty, Seed(difficulty));
    const std::vector<TObjectAdvent>& l = AppearanceList;
    const size_t boss = IndexOf("TEventSprite", "BOSS");
    ExpectRows(boss - 6, BossMusicRows());
    ExpectRows(boss + 1, {{50, "TMojiSprite", 200, 450, "僚機：敵上陸部隊を発見！", 3, 0}});

    // Four waves of eleven, each a column at the right edge with its craft 30 px apart.
    std::vector<size_t> waves;
    for (size_t i = boss; i < l.size(); ++i)
      if ((l[i].ClassName == "TEnemyLCI" || l[i].ClassName == "TEnemyLSM") &&
          l[i - 1].ClassName != l[i].ClassName)
        waves.push_back(i);
    ASSERT_EQ(waves.size(), 4u);
    for (size_t w = 0; w < 4; ++w) {
      EXPECT_EQ(l[waves[w]].ClassName, w % 2 ? "TEnemyLSM" : "TEnemyLCI");
      for (int k = 0; k < 11; ++k) {
        const TObjectAdvent& r = l[waves[w] + k];
        EXPECT_EQ(r.ClassName, l[waves[w]].ClassName);
        EXPECT_EQ(r.X, 640);
        EXPECT_EQ(r.Y, 30 * k);
        EXPECT_EQ(r.Time, l[waves[w]].Time);
        EXPECT_EQ(r.Level, 1);
      }
    }
    // Eleven blocks of air cover, of five records at least, fly between the first two waves
    // and again between the last two.
    EXPECT_GE(waves[1] - waves[0], 11u + 11 * 5);
    EXPECT_GE(waves[3] - waves[2], 11u + 11 * 5);

    // A closing radio line once the last wave is through, then the success sequence.
    const std::vector<TRow> success = SuccessRows(difficulty, 150);
    const size_t radio = l.size() - success.size() - 1;
    EXPECT_EQ(radio, waves[3] + 11);
    EXPECT_EQ(l[radio].ClassName, "TMojiSprite");
    EXPECT_EQ(l[radio].Param, 3);
    EXPECT_GE(l[radio].Time - l[waves[3]].Time, 300);
    ExpectRows(radio + 1, success);
    ExpectBossMissionEvents("BGM3");
  }
}

}  // namespace
}  // namespace velmora
