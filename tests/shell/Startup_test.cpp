#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <regex>
#include <set>
#include <stdexcept>

#include "shell/Settings.h"
#include "shell/ShellFixture.h"
#include "shell/SingleInstance.h"

namespace velmora {
namespace {

class StartupTest : public ShellTest {};

TEST_F(StartupTest, ATipIgnoredStaysAwayAndMissingSettingsMeanOptionsOn) {
  Answer({"ignore", "ok"});
  Start();
  const std::string memo = "◆一口メモ（無視を選ぶと次回は表示しません）◆";
  const std::string tip2 =
      memo + "最高の速度でプレイするために、他のアプリケーションを全て終了させると良いでしょう。";
  EXPECT_EQ(Dialogs(),
            (std::vector<std::string>{memo + "ヘルプには有用な情報が沢山詰まっています。", tip2}));
  EXPECT_EQ(ReadFile(Ini()), "[HITOKUCHI]\nREADHELP=0\n");
  EXPECT_TRUE(Form->OptionSound->Checked && Form->OptionMusic->Checked &&
              Form->OptionDirectInput->Checked);
  EXPECT_FALSE(Form->OptionTossin->Checked);
  EXPECT_EQ(Form->Difficulty, 1);
  EXPECT_EQ(Form->SceneState, ssTitle);
  Start();
  EXPECT_EQ(Dialogs(), (std::vector<std::string>{tip2}));
}

TEST_F(StartupTest, AWindowClosedUnderTheFirstTipEndsTheStartThere) {
  // What a signal does while the tip is up: the window closes from inside its dialog.
  WriteFile(Ini(), "[Options]\nSound=0\n");
  Form = std::make_unique<TMainForm>(Machine.Platform);
  Machine.Dialogs.OnDialog = [this](const THeadlessDialogs::TRecord&) { Form->FormCloseQuery(); };
  Form->FormCreate();
  Machine.Dialogs.OnDialog = nullptr;
  EXPECT_EQ(Dialogs().size(), 1u);  // not the second tip
  // Neither the display, the sound device nor the music were set up, no scene entered.
  EXPECT_EQ(Machine.Display.Resets, 0);
  EXPECT_EQ(Machine.Sound.InitializeCount, 0);
  EXPECT_EQ(Form->DXWaveMusicList.Count(), 0);
  EXPECT_NE(Form->SceneState, ssTitle);
  EXPECT_EQ(ReadFile(Ini()), "[Options]\nSound=0\n");
}

TEST_F(StartupTest, StoredOptionsAreReadAndTheCloseWritesThemBackInOrder) {
  for (const char* stored : {"0", "4", "banana"}) {
    WriteFile(Ini(), std::string("[Options]\nSound=0\nTossin=1\n[Game]\nDifficulty=") + stored +
                         "\n[Player]\nName=名無し\n");
    Start();
    EXPECT_FALSE(Form->OptionSound->Checked);
    EXPECT_TRUE(Machine.Sound.Initialized());  // a mark read from the file is only a mark
    EXPECT_TRUE(Form->OptionTossin->Checked);
    EXPECT_EQ(Form->PlayerName, "名無し");
    EXPECT_EQ(Form->Difficulty, 1) << stored;
    std::filesystem::remove(Ini());
    Form->FormCloseQuery();
    EXPECT_EQ(TIniFile(Ini()).ReadString("Game", "Difficulty", ""), "1");
  }
  const std::regex written(
      "\\[Message\\]\nMessage=このＩＮＩファイルの値はデリケートです。直接変更することは絶対に止め"
      "て下さい。\n\n\\[Options\\]\nDirectInput=1\nMusic=1\nSound=0\nTossin=1\n\n"
      "\\[Game\\]\nDifficulty=1\n\n\\[Display\\]\nScale=2\nFullScreen=0\n\n\\[Player\\]\nName="
      "名無し\nMail=\n\n\\[CryptInteger\\]\n"
      "CryptInteger1=(\\d+)\nCryptInteger2=(\\d+)\nCryptInteger3=(\\d+)\n");
  std::set<std::string> decoys;
  for (int close = 0; close < 5; ++close, Machine.System.Now += 1000) {
    Form->FormCloseQuery();
    const std::string text = ReadFile(Ini());
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, written)) << text;
    EXPECT_TRUE(std::stoi(m[1]) <= 46415 && std::stoi(m[2]) <= 86445 && std::stoi(m[3]) <= 61553);
    decoys.insert(m[1].str() + "," + m[2].str() + "," + m[3].str());
  }
  EXPECT_EQ(decoys.size(), 5u);
}

// A sprite that fails once in its move step.
class TFaulty : public TSprite {
 public:
  using TSprite::TSprite;
  const char* ClassName() const override { return "TFaulty"; }
  void Advance(int) override {
    if (Armed) throw std::runtime_error((Armed = false, "画像 'X' が見つかりません"));
  }
  bool Armed = true;
};

TEST_F(StartupTest, AnErrorIsLoggedAndShownThenTheGameResumesOrCloses) {
  Start();
  Dialogs();
  const std::string log = Dir.Path + "/ERRORS.LOG";
  WriteFile(log, "earlier line");
  new TFaulty(&Form->SpriteEngine.Engine);
  Answer({"ok", "ok", "ok", "no"});
  Form->RunGuarded([this] { Tick(); });
  EXPECT_EQ(ReadFile(log), "earlier line\n画像 'X' が見つかりません (2026/01/01 0:00:00)\n");
  const std::vector<std::string> shown = Dialogs();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0], "画像 'X' が見つかりません");
  EXPECT_EQ(shown[1].rfind("エラーが発生しました。本バージョンが最新版である場合は", 0), 0u);
  EXPECT_EQ(shown[2].rfind("また、もしまだヘルプをご覧になっていない場合は", 0), 0u);
  EXPECT_EQ(shown[3],
            "このゲームを強制終了しますか？（推奨）今すぐ終了しない場合は復帰を試みます。");
  EXPECT_FALSE(Machine.Display.CloseRequested || Machine.Display.Minimized);
  const int frames = Form->FrameCount;
  Tick(3);  // resumed in the same scene
  EXPECT_EQ(Form->SceneState, ssTitle);
  EXPECT_EQ(Form->FrameCount, frames + 3);

  new TFaulty(&Form->SpriteEngine.Engine);
  Answer({"ok", "ok", "ok", "yes"});
  Form->RunGuarded([this] { Tick(); });
  EXPECT_TRUE(Machine.Display.CloseRequested);
  const std::string lines = ReadFile(log);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3);
}

TEST(SingleInstance, ASecondCopyIsRefusedWhileTheFirstHoldsTheLock) {
  TTempDir dir;
  const std::string lock = dir.Path + "/velmora.lock";
  const int other = ::open(lock.c_str(), O_RDWR | O_CREAT, 0644);  // the first copy
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  EXPECT_FALSE(AcquireSingleInstance(dir.Path));
  ::close(other);
  EXPECT_TRUE(AcquireSingleInstance(dir.Path));
  const int later = ::open(lock.c_str(), O_RDWR);
  EXPECT_NE(::flock(later, LOCK_EX | LOCK_NB), 0);
  ::close(later);
  ReleaseSingleInstance();
}

}  // namespace
}  // namespace velmora
