// The game record's resets: what a scene change clears, and a second game in the same
// process that plays exactly as the first.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <unistd.h>

#include "engine/Random.h"
#include "game/GameRecord.h"
#include "platform/headless/Headless.h"
#include "platform/headless/SimRunner.h"
#include "shell/MainForm.h"
#include "sprites/Player.h"

namespace velmora {
namespace {

int RunGame(const std::vector<std::string>& args, const std::filesystem::path& dir,
            std::string& errors) {
  std::filesystem::create_directories(dir);
  TSimOptions options = ParseSimArgs(args);
  options.Dir = dir.string();
  std::ostringstream out, err;
  const int status = RunSim(options, out, err);
  errors = err.str();
  return status;
}

TEST(GameRecord, ASecondGameInTheSameProcessPlaysAsTheFirst) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("velmora-record-" + std::to_string(::getpid()));
  std::string errors;
  // The first game stops with mission 2's reinforcement waves half way through a cycle and
  // the runner's invulnerable mode on.
  EXPECT_EQ(RunGame({"--start", "play:2", "--difficulty", "3", "--seed", "11", "--auto", "--god",
                     "--frames", "4300"},
                    dir / "first", errors),
            0);
  // The second must play as the golden run did, in a process of its own.
  const auto golden = std::filesystem::path(__FILE__).parent_path() / "../golden/mission2.digest";
  EXPECT_EQ(RunGame({"--seed", "11", "--difficulty", "3", "--start", "play:2", "--auto", "--god",
                     "--until", "result", "--frames", "20000", "--golden", golden.string()},
                    dir / "second", errors),
            0)
      << errors;
  std::filesystem::remove_all(dir);
}

TEST(GameRecord, ASceneChangeClearsTheFieldAndTheSchedule) {
  THeadlessMachine machine;
  TMainForm form(machine.Platform);
  EXPECT_EQ(Game, &form);
  form.FormCreate();
  form.Mission = 1;
  form.SinglePlay = true;
  form.SetScene(ssPlay);
  ASSERT_NE(PlayerSprite, nullptr);
  ASSERT_FALSE(AppearanceList.empty());
  form.FrameCount = 99;
  form.AdvanceStopped = true;
  form.ScrollSpeed = 0;
  form.ResetScene();
  EXPECT_EQ(PlayerSprite, nullptr);
  EXPECT_EQ(form.SpriteEngine.Engine.Count(), 0);
  EXPECT_TRUE(AppearanceList.empty());
  EXPECT_EQ(ScheduleTotal, 0);
  EXPECT_EQ(form.FrameCount, 0);
  EXPECT_FALSE(form.AdvanceStopped);
  EXPECT_EQ(form.ScrollSpeed, 4);

  // A new game forgets the program-wide state the last one left.
  ReinforcementTimer = 17;
  LastAimPoint = {1, 2};
  PlayerHeldAlive = true;
  RandSeed() = 1234;
  form.ResetGame();
  EXPECT_EQ(ReinforcementTimer, 0);
  EXPECT_EQ(LastAimPoint, (TPoint{320, 427}));
  EXPECT_FALSE(PlayerHeldAlive);
  EXPECT_EQ(RandSeed(), 0u);
}

}  // namespace
}  // namespace velmora
