#include "shell/Settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <random>
#include <stdexcept>

#include "engine/Encoding.h"
#include "engine/Scrambler.h"
#include "shell/ShellFixture.h"

namespace velmora {
namespace {

class SettingsFile : public ::testing::Test {
 protected:
  std::string Path() const { return Dir.Path + "/Torvi.INI"; }
  TTempDir Dir;
};

TEST_F(SettingsFile, ReadsAndWritesLikeAProfileFile) {
  TIniFile ini(Path());
  EXPECT_EQ(ini.ReadInteger("Game", "Difficulty", 1), 1);  // no file: defaults
  WriteFile(Path(),
            "; kept\r\n[options]\r\nSOUND = 0\r\nmusic=7\r\nTossin=yes\r\n"
            "[Game]\nDifficulty=99999999999\nHex=$1F\n"
            "[Player]\rName=" +
                Utf8ToCp932("山本") + "\r[Game]\nDifficulty=2\n");
  EXPECT_FALSE(ini.ReadBool("Options", "Sound", true));
  EXPECT_TRUE(ini.ReadBool("OPTIONS", "Music", false));    // any non-zero number
  EXPECT_FALSE(ini.ReadBool("Options", "Tossin", false));  // not a number
  EXPECT_EQ(ini.ReadInteger("Game", "Difficulty", 1), 1);  // too big; the first section counts
  EXPECT_EQ(ini.ReadInteger("Game", "Hex", 5), 5);
  EXPECT_EQ(ini.ReadString("Player", "Name", ""), "山本");  // a file from Windows
  ini.WriteString("player", "Name", "新しい\r\n名前");      // a value stays on its line
  ini.WriteBool("Options", "DirectInput", false);
  ini.WriteInteger("CryptInteger", "CryptInteger1", -42);
  EXPECT_EQ(ReadFile(Path()),
            "; kept\n[options]\nSOUND = 0\nmusic=7\nTossin=yes\nDirectInput=0\n[Game]\n"
            "Difficulty=99999999999\nHex=$1F\n[Player]\nName=新しい  名前\n[Game]\n"
            "Difficulty=2\n\n[CryptInteger]\nCryptInteger1=-42\n");
}

TEST_F(SettingsFile, GarbageAndBinaryContentIsSurvived) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    std::string bytes(random() % 5000, '\0');
    for (char& c : bytes)
      c = static_cast<char>(random());
    WriteFile(Path(), round % 2 ? bytes : "[Game]\n" + bytes + "\n[Options\n=\n[]\n==1\n");
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("Game", "Difficulty", 1), 1);
    ini.WriteInteger("Game", "Difficulty", 3);
    EXPECT_EQ(ini.ReadInteger("Game", "Difficulty", 1), 3);
  }
}

TEST_F(SettingsFile, AnInterruptedWriteLeavesTheOldFileWhole) {
  TIniFile ini(Path());
  ini.WriteString("Player", "Name", "before");
  const std::string before = ReadFile(Path());
  SetIniWriteStepForTesting([](int fd, const std::string& bytes) {
    ASSERT_GT(::write(fd, bytes.data(), bytes.size() / 2), 0);
    throw std::runtime_error("power cut");
  });
  EXPECT_THROW(ini.WriteString("Player", "Name", "after"), std::runtime_error);
  SetIniWriteStepForTesting({});
  EXPECT_EQ(ReadFile(Path()), before);
  // Nothing half-written is left lying beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path), {}), 1);
}

TEST(SettingsFolderChoice, AnUnwritableProgramFolderSendsSettingsToTheConfigFolder) {
  TTempDir home;
  const std::string savedHome = getenv("HOME");
  setenv("XDG_CONFIG_HOME", (home.Path + "/xdg").c_str(), 1);
  setenv("HOME", home.Path.c_str(), 1);
  const std::string missing = home.Path + "/no/such/folder";
  EXPECT_EQ(SettingsFolder(home.Path), home.Path);  // writable: beside the program
  EXPECT_EQ(SettingsFolder(missing), home.Path + "/xdg/velmora");
  EXPECT_EQ(SettingsFolder("/proc"), home.Path + "/xdg/velmora");  // not even root writes there
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(SettingsFolder(missing), home.Path + "/.config/velmora");
  {  // and the game keeps its settings there
    THeadlessMachine machine;
    machine.System.Folder = missing;
    TMainForm form(machine.Platform);
    form.FormCreate();
    form.FormPaint();
    form.OptionTossinClick();
    form.FormCloseQuery();
  }
  EXPECT_TRUE(TIniFile(home.Path + "/.config/velmora/Torvi.INI").ReadBool("Options", "Tossin", 0));
  setenv("HOME", savedHome.c_str(), 1);
}

TEST(CampaignText, RoundTripsManyDigitTotalsAndRefusesDamage) {
  THeadlessSystem clock;
  for (int32_t total : {0, 1234567890, INT32_MAX}) {
    const TCampaign c = ReadCampaignTexts(CampaignText(total, 4, clock), UnlockText(3, clock));
    EXPECT_EQ(c.TotalScore, total);
    EXPECT_EQ(c.Mission, 4);
    EXPECT_EQ(c.SinglesUnlocked, 3);
  }
  const TCampaign fresh = ReadCampaignTexts(kDefaultCampaignText, kDefaultUnlockText);
  EXPECT_EQ(std::tie(fresh.TotalScore, fresh.Mission, fresh.SinglesUnlocked),
            std::make_tuple(0, 1, 0));
  EXPECT_NE(CampaignText(10, 2, clock), CampaignText(10, 2, clock));

  const std::string good = CampaignText(100, 3, clock), unlock = UnlockText(2, clock);
  // Scrambled properly, but no campaign: mission 7, or letters for digits.
  std::string mission7 = "Kz7Vt2Qm" + ScrambleText("1007", clock) + "N";
  std::string letters = "Kz7Vt2Qm" + ScrambleText("1a3", clock) + "N";
  for (int i = 0; i < 3; ++i)
    mission7 = ScrambleText(mission7, clock), letters = ScrambleText(letters, clock);
  for (const std::string& bad :
       {std::string(), std::string("12345"), good.substr(0, 99), mission7, letters})
    EXPECT_THROW(ReadCampaignTexts(bad, unlock), std::runtime_error);
  EXPECT_THROW(ReadCampaignTexts(good, "garbage!"), std::runtime_error);
}

}  // namespace
}  // namespace velmora
