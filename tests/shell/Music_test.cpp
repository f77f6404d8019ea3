#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "lib/WaveListWriter.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"

namespace velmora {
namespace {

// Each tune gets its own length, so the sound log tells which one played.
void WriteMusic(const std::filesystem::path& path, const std::vector<std::string>& names) {
  std::vector<TWaveListEntry> tunes;
  for (size_t i = 0; i < names.size(); ++i) {
    TWaveListEntry& e = tunes.emplace_back();
    e.Name = names[i];
    e.Looped = true;
    e.Samples.assign(1000 * (i + 1), 0x80);
  }
  const std::vector<uint8_t> bytes = WriteWaveList(tunes);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

class MusicCommandTest : public ::testing::Test {
 protected:
  MusicCommandTest() {
    Folder = std::filesystem::temp_directory_path() /
             ("velmora-music-" + std::to_string(getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(Folder);
    Machine.System.Folder = Folder.string();
    Machine.System.Data = Folder.string();
    WriteMusic(Folder / "DefMusic.dxw", {"BGM1", "BGM2", "BOSS"});
    Form.FormCreate();
  }
  ~MusicCommandTest() override { std::filesystem::remove_all(Folder); }
  size_t LastLength() const { return Machine.Sound.PlayLog.back().SampleBytes; }

  std::filesystem::path Folder;
  THeadlessMachine Machine;
  TMainForm Form{Machine.Platform};
};

TEST_F(MusicCommandTest, StopAndFadesWithNothingPlayingDoNothing) {
  Form.LoadMusicFile();
  const int finalized = Machine.Sound.FinalizeCount;
  Form.MusicCommand("STOP");
  Form.MusicCommand("DOWN500");
  EXPECT_EQ(Form.CurrentMusic, "NONE");
  EXPECT_TRUE(Machine.Sound.PlayLog.empty());
  EXPECT_EQ(Machine.Sound.FinalizeCount, finalized);
}

TEST_F(MusicCommandTest, TheDefaultFileStandsInWithItsFirstTune) {
  Form.LoadMusicFile();
  EXPECT_FALSE(Form.ExpandedMusic);
  Form.MusicCommand("BGM3");
  EXPECT_EQ(Form.CurrentMusic, "BGM1");
  EXPECT_EQ(LastLength(), 1000u);
  Form.MusicCommand("BOSS");
  EXPECT_EQ(LastLength(), 3000u);
  // The tune before goes on playing.
  EXPECT_TRUE(Machine.Sound.IsPlaying(Machine.Sound.PlayLog[0].Buffer));

  WriteMusic(Folder / "ExpMusic.dxw", {"BGM1", "BGM3"});
  Form.LoadMusicFile();
  EXPECT_TRUE(Form.ExpandedMusic);
  Form.MusicCommand("BGM3");
  EXPECT_EQ(LastLength(), 2000u);

  std::filesystem::remove(Folder / "ExpMusic.dxw");
  std::filesystem::remove(Folder / "DefMusic.dxw");
  EXPECT_ANY_THROW(Form.LoadMusicFile());
}

TEST_F(MusicCommandTest, FadesTouchOnlyTheCurrentTuneAndStopSilencesIt) {
  Form.LoadMusicFile();
  Form.MusicCommand("BGM2");
  Form.MusicCommand("BGM1");
  Form.MusicCommand("DOWN1500");
  EXPECT_EQ(Form.DXWaveMusicList.Find("BGM1").Volume, -1500);
  EXPECT_EQ(Form.DXWaveMusicList.Find("BGM2").Volume, 0);
  EXPECT_EQ(Machine.Sound.VolumeOf(Machine.Sound.PlayLog[1].Buffer), -1500);
  Form.MusicCommand("BGM1");
  EXPECT_EQ(Form.DXWaveMusicList.Find("BGM1").Volume, 0);

  Form.MusicCommand("STOP");
  EXPECT_EQ(Form.CurrentMusic, "NONE");
  EXPECT_FALSE(Machine.Sound.IsPlaying(Machine.Sound.PlayLog.back().Buffer));
}

TEST_F(MusicCommandTest, TheOptionsGateTheCommands) {
  Form.LoadMusicFile();
  Form.MusicCommand("BGM2");
  Form.OptionMusic->Click();  // off: the tune plays on, deaf to commands
  Form.MusicCommand("STOP");
  Form.MusicCommand("BOSS");
  EXPECT_EQ(Form.CurrentMusic, "BGM2");
  EXPECT_TRUE(Machine.Sound.IsPlaying(Machine.Sound.PlayLog.back().Buffer));

  Form.OptionSound->Click();  // effects off takes the device, and the music, down
  EXPECT_EQ(Form.CurrentMusic, "NONE");
  Form.OptionMusic->Click();
  Form.MusicCommand("BGM1");  // and the next tune brings it back
  EXPECT_TRUE(Machine.Sound.Initialized());
  EXPECT_EQ(Form.CurrentMusic, "BGM1");
}

}  // namespace
}  // namespace velmora
