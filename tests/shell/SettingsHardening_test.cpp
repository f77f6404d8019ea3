// What a hostile or unlucky machine does to the settings file, and what the player keeps.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>

#include "engine/Encoding.h"
#include "shell/Settings.h"
#include "shell/ShellFixture.h"

namespace velmora {
namespace {

std::string ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(SettingsFileGuard, FoldersFifosDevicesAndHugeFilesAreNamedAtOnceAndLeftAlone) {
  TTempDir dir;
  const std::string folder = dir.Path + "/folder.INI", fifo = dir.Path + "/fifo.INI";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& path : {folder, fifo, std::string("/dev/zero")}) {
    TIniFile ini(path);
    const std::string named = "ファイル '" + path + "' は通常のファイルではありません";
    EXPECT_EQ(ErrorOf([&] { ini.ReadString("Player", "Name", ""); }), named);
    EXPECT_EQ(ErrorOf([&] { ini.WriteBool("Options", "Sound", true); }), named);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));

  // A file past 1 MiB is refused and not rewritten; one just below it still reads.
  const std::string huge = dir.Path + "/Torvi.INI";
  const std::string bytes = "[Game]\nDifficulty=2\n" + std::string((1 << 20) - 19, ';');
  WriteFile(huge, bytes);
  TIniFile ini(huge);
  EXPECT_NE(ErrorOf([&] { ini.WriteInteger("Game", "Difficulty", 3); }).find("大きすぎます"),
            std::string::npos);
  EXPECT_EQ(ReadFile(huge), bytes);
  WriteFile(huge, bytes.substr(0, 1 << 20));
  EXPECT_EQ(ini.ReadInteger("Game", "Difficulty", 1), 2);
}

TEST(SettingsFileGuard, OneStrayByteCostsOnlyItsOwnLineAndIsWrittenBackUntouched) {
  TTempDir dir;
  const std::string path = dir.Path + "/Torvi.INI";
  const std::string stray = "Note=\x80\xFF\xFD odd\n";
  WriteFile(path, "[Player]\nName=" + Utf8ToCp932("山本五十六") + "\nMail=ｍａｉｌ@example.jp\n" +
                      stray + "[Game]\nDifficulty=3\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Player", "Name", ""), "山本五十六");
  EXPECT_EQ(ini.ReadString("Player", "Mail", ""), "ｍａｉｌ@example.jp");
  EXPECT_EQ(ini.ReadString("Player", "Note", "default"), "default");  // not understood
  ini.WriteInteger("Game", "Difficulty", 2);
  EXPECT_EQ(ReadFile(path), "[Player]\nName=山本五十六\nMail=ｍａｉｌ@example.jp\n" + stray +
                                "[Game]\nDifficulty=2\n");
}

TEST(CampaignCheckKey, DamageThatStillDecodesIsCaughtAndOldFilesStillPass) {
  THeadlessSystem clock;
  const std::string campaign = CampaignText(54321, 3, clock), unlock = UnlockText(4, clock);
  const std::string check = CampaignCheck(campaign, unlock);
  EXPECT_EQ(ReadCampaignTexts(campaign, unlock, check).TotalScore, 54321);
  EXPECT_EQ(ReadCampaignTexts(campaign, unlock).TotalScore, 54321);  // written before the check
  // Cut by one character, the text may still decode, to another campaign; the check says no.
  const std::string cut = campaign.substr(0, campaign.size() - 1);
  EXPECT_THROW(ReadCampaignTexts(cut, unlock, check), std::runtime_error);
  EXPECT_THROW(ReadCampaignTexts(campaign, UnlockText(5, clock), check), std::runtime_error);
  EXPECT_THROW(ReadCampaignTexts(campaign, unlock, "not a check"), std::runtime_error);
  // Each text answers to its own half: a damaged campaign leaves the unlock readable.
  EXPECT_EQ(ReadUnlockText(unlock, CampaignCheck(cut, unlock)), 4);
  EXPECT_THROW(ReadUnlockText(UnlockText(5, clock), check), std::runtime_error);
}

class PlayerDataKept : public ShellTest {
 protected:
  void Store(const std::string& campaign, const std::string& unlock, const std::string& check) {
    TIniFile(Ini()).WriteStrings("Game",
                                 {{"Player", campaign}, {"Single", unlock}, {"Check", check}});
  }
  TCampaign Stored() {
    TIniFile ini(Ini());
    return ReadCampaignTexts(ini.ReadString("Game", "Player", ""),
                             ini.ReadString("Game", "Single", ""),
                             ini.ReadString("Game", "Check", ""));
  }
};

TEST_F(PlayerDataKept, ADamagedCampaignTextResetsTheCampaignButKeepsTheEarnedSingles) {
  const std::string campaign = CampaignText(54321, 3, Machine.System);
  const std::string unlock = UnlockText(4, Machine.System);
  Store(campaign.substr(0, campaign.size() - 1), unlock, CampaignCheck(campaign, unlock));
  Start();
  Dialogs();
  Form->GameMenuClick();
  EXPECT_EQ(Dialogs().size(), 3u);  // the three messages of the reset
  EXPECT_EQ(std::tie(Form->TotalScore, Form->Mission, Form->SinglesUnlocked),
            std::make_tuple(0, 1, 4));
  const TCampaign stored = Stored();  // saved with a fresh check, and read back quietly
  EXPECT_EQ(std::tie(stored.TotalScore, stored.Mission, stored.SinglesUnlocked),
            std::make_tuple(0, 1, 4));
  Form->GameMenuClick();
  EXPECT_TRUE(Dialogs().empty());

  // A damaged unlock text as well: nothing valid is left to keep.
  Store(campaign, "garbage!", "");
  Form->SinglesUnlocked = 0;
  Form->GameMenuClick();
  EXPECT_EQ(Dialogs().size(), 3u);
  EXPECT_EQ(Stored().SinglesUnlocked, 0);
}

TEST_F(PlayerDataKept, StaleTemporaryFilesOfKilledWritesGoAtStartUp) {
  for (const char* name : {"Torvi.INI.a1B2c3", "Torvi.INI.zzzzzz", ".velmora-probe-Q1w2E3"})
    WriteFile(Dir.Path + "/" + name, "half a file");
  const std::vector<std::string> kept = {"Torvi.INI.bak", "Torvi.INI.12345", "notes.txt"};
  for (const std::string& name : kept)
    WriteFile(Dir.Path + "/" + name, "the player's");
  std::filesystem::create_directory(Dir.Path + "/Torvi.INI.folder");
  Start();
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(Dir.Path))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"Torvi.INI.12345", "Torvi.INI.bak", "Torvi.INI.folder",
                                            "notes.txt"}));
}

// A logout during the start-up tips closes the game before its first paint has read the
// options: the defaults in memory must not be written over the player's.
TEST_F(PlayerDataKept, ACloseBeforeTheOptionsWereReadKeepsTheStoredOnes) {
  const std::string stored = "[Options]\nTossin=1\nSound=0\n[Player]\nName=山本\n";
  WriteFile(Ini(), stored);
  Form = std::make_unique<TMainForm>(Machine.Platform);
  Form->FormCreate();
  Form->FormCloseQuery();
  EXPECT_EQ(ReadFile(Ini()), stored);
  Form->FormPaint();
  Form->OptionTossinClick();
  Form->FormCloseQuery();
  TIniFile ini(Ini());
  EXPECT_FALSE(ini.ReadBool("Options", "Tossin", true));
  EXPECT_FALSE(ini.ReadBool("Options", "Sound", true));
  EXPECT_EQ(ini.ReadString("Player", "Name", ""), "山本");
}

// Something other than a file named "ExpMusic.dxw" counts as no such file: the default
// music plays; a FIFO in place of "DefMusic.dxw" is named instead of waited on.
TEST_F(PlayerDataKept, OnlyARegularFileCountsAsTheExpandedMusic) {
  TTempDir data;
  const std::string expanded = data.Path + "/ExpMusic.dxw", music = data.Path + "/DefMusic.dxw";
  std::filesystem::copy_file(Machine.System.Data + "/DefMusic.dxw", music);
  std::filesystem::create_directory(expanded);
  Machine.System.Data = data.Path;
  Start();
  EXPECT_EQ(Form->SceneState, ssTitle);
  EXPECT_FALSE(Form->ExpandedMusic);

  std::filesystem::remove(music);
  std::filesystem::remove(expanded);
  ASSERT_EQ(::mkfifo(music.c_str(), 0644), 0);
  Dialogs();
  EXPECT_EQ(ErrorOf([&] { Form->LoadMusicFile(); }),
            "ファイル '" + music + "' は通常のファイルではありません");
}

TEST(SettingsFolderMove, TheConfigFolderStartsFromTheSettingsBesideTheProgramOnce) {
  TTempDir program, config;
  WriteFile(program.Path + "/Torvi.INI", "[Game]\nPlayer=kept\n");
  CopySettingsIfAbsent(program.Path, config.Path);
  EXPECT_EQ(ReadFile(config.Path + "/Torvi.INI"), "[Game]\nPlayer=kept\n");
  // Once there, the file in the config folder is the one that counts.
  WriteFile(config.Path + "/Torvi.INI", "[Game]\nPlayer=newer\n");
  CopySettingsIfAbsent(program.Path, config.Path);
  EXPECT_EQ(ReadFile(config.Path + "/Torvi.INI"), "[Game]\nPlayer=newer\n");
  if (::geteuid() == 0) return;  // root writes into read-only folders
  ::chmod(program.Path.c_str(), 0555);
  setenv("XDG_CONFIG_HOME", (config.Path + "/xdg").c_str(), 1);
  EXPECT_EQ(SettingsFolder(program.Path), config.Path + "/xdg/velmora");
  EXPECT_EQ(ReadFile(config.Path + "/xdg/velmora/Torvi.INI"), "[Game]\nPlayer=kept\n");
  ::chmod(program.Path.c_str(), 0755);
  unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace velmora
