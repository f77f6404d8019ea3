#include "missions/PlayListFixture.h"
#include "sprites/SpawnFlags.h"

namespace velmora {
namespace {

class Mission2Test : public PlayListTest {
 protected:
  void Build(int difficulty) { PlayListTest::Build(2, difficulty); }
};

TEST_F(Mission2Test, LengthForcesAndRaidsOnEachDifficulty) {
  const std::map<std::string, int> medium = {
      {"TEnemyP40", 73},    {"TEnemyF6F", 56},   {"TEnemyP39", 45},      {"TEnemyP38", 43},
      {"TEnemyF4F", 25},    {"TEnemyF4F_S", 12}, {"TEnemyC47", 9},       {"TEnemyPBY", 4},
      {"TEnemyTBM", 6},     {"TEnemySBD", 3},    {"TEnemyDestroyer", 3}, {"TEnemyMissouri", 1},
      {"TEventSprite", 11}, {"TMojiSprite", 4}};
  const int lengths[] = {0, 6561, 6501, 6441};
  for (int difficulty = 1; difficulty <= 3; ++difficulty) {
    SCOPED_TRACE(difficulty);
    Build(difficulty);
    ASSERT_FALSE(AppearanceList.empty());
    EXPECT_EQ(AppearanceList.back().Time, lengths[difficulty]);
    std::map<std::string, int> expected = medium;
    if (difficulty == 1) expected["TEnemyC47"] += 1, expected["TEnemyPBY"] += 1;
    if (difficulty == 3)
      expected["TEnemyC47"] -= 2, expected["TEnemyDestroyer"] += 3, expected["TEnemyF4F_S"] += 10;
    EXPECT_EQ(Released(), expected);
    EXPECT_EQ(CheckBomberRaids(), 9);
    // Homing fighters start off the screen and never ahead of the player.
    for (const TObjectAdvent& r : AppearanceList)
      if (r.ClassName == "TEnemyF4F_S") {
        EXPECT_TRUE(r.X < 0 || r.X > 640) << r.X;
        EXPECT_TRUE(r.Y > 0 || r.X < 0) << r.X << "," << r.Y;
      }
  }
}

TEST_F(Mission2Test, BattleshipFightsAloneOnlyOnEasy) {
  for (int difficulty = 1; difficulty <= 3; ++difficulty) {
    SCOPED_TRACE(difficulty);
    Build(difficulty);
    // Reinforcement waves fly during the fight on the harder settings only.
    const uint16_t flags = difficulty == 1 ? SF_STOPADV : SF_ENEMYADV | SF_STOPADV;
    const std::vector<TRow> rows = BossEndingRows(
        "ＵＳＳ 戦艦 ミズーリ", {10, "TEnemyMissouri", 700, 10, "nil", 0, flags}, difficulty);
    ExpectRows(AppearanceList.size() - rows.size(), rows);
    ExpectBossMissionEvents("BGM2");
  }
}

}  // namespace
}  // namespace velmora
