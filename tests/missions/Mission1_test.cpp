#include "missions/PlayListFixture.h"
#include "sprites/SpawnFlags.h"

namespace velmora {
namespace {

class Mission1Test : public PlayListTest {
 protected:
  void Build(int difficulty) { PlayListTest::Build(1, difficulty); }
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
  EXPECT_EQ(CheckBomberRaids(), 8);
}

TEST_F(Mission1Test, CarrierAndSuccessSequence) {
  for (int difficulty = 1; difficulty <= 3; ++difficulty) {
    SCOPED_TRACE(difficulty);
    Build(difficulty);
    const std::vector<TRow> rows =
        BossEndingRows("ＵＳＳ 航空母艦 エンタープライズ",
                       {10, "TEnemyEnterprise", -600, 25, "nil", 0, SF_STOPADV}, difficulty);
    ExpectRows(AppearanceList.size() - rows.size(), rows);
    ExpectBossMissionEvents("BGM1");
  }
}

}  // namespace
}  // namespace velmora
