// velmora-sim refuses what it cannot play with its reason and exit 2, never the game's fatal
// error handler, and never falls back on the player's own folder.
#include "platform/headless/SimRunner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "shell/Replay.h"
#include "shell/ShellFixture.h"

namespace velmora {
namespace {

TEST(SimRunner, AFolderThatIsNotThereIsAUsageError) {
  TTempDir dir;
  EXPECT_THROW(ParseSimArgs({"--dir", dir.Path + "/missing"}), std::invalid_argument);
  EXPECT_NO_THROW(ParseSimArgs({"--dir", dir.Path}));
  // Without --dir the runner keeps to the folder it was started in, as the game does.
  EXPECT_NO_THROW(ParseSimArgs({"--frames", "1"}));
}

TEST(SimRunner, AReplayThatCannotBePlayedGivesItsReasonAndExitTwo) {
  TTempDir dir;
  const std::string fifo = dir.Path + "/mission.omf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct TCase {
    int32_t Mission;
    std::string MissionFile;
    std::string Reason;
  };
  const TCase kCases[] = {{2147483647, "", "(2147483647)はありません"},
                          {12, "", "(12)はありません"},
                          {55555555, dir.Path + "/gone.omf", "gone.omf が見つかりません"},
                          {55555555, "/dev/zero", "/dev/zero は通常のファイルではありません"},
                          {55555555, "/", "/ は通常のファイルではありません"},
                          {55555555, fifo, "mission.omf は通常のファイルではありません"}};
  for (const TCase& c : kCases) {
    TReplay replay;
    replay.GameVersion = "2.0";
    replay.Mission = c.Mission;
    replay.MissionFile = c.MissionFile;
    replay.PlayStarted = true;
    const std::string file = dir.Path + "/r.vmr";
    WriteReplayFile(file, replay);
    TSimOptions options = ParseSimArgs({"--dir", dir.Path, "--replay", file});
    std::ostringstream out, err;
    EXPECT_EQ(RunSim(options, out, err), 2) << c.Mission << " " << c.MissionFile;
    EXPECT_NE(err.str().find(c.Reason), std::string::npos) << err.str();
  }
}

}  // namespace
}  // namespace velmora
