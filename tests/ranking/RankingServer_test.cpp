// The whole road from the end of the campaign through the game's client to the ranking
// server's database and back (the server's own checks are its own suite's).
#include <gtest/gtest.h>

#include <thread>

#include "RankingHttp.h"
#include "RankingService.h"
#include "engine/Encoding.h"
#include "ranking/RnkSubmit.h"
#include "shell/Settings.h"
#include "shell/ShellFixture.h"

namespace velmora {
namespace {

using TTexts = std::vector<std::string>;

// The end of the campaign against the server on 127.0.0.1, as the player meets it.
class RankingRoadTest : public ShellTest {
 protected:
  RankingRoadTest() {
    Port = Http.Bind("127.0.0.1", 0);
    Serving = std::thread([this] { Http.Listen(); });
    while (!Http.Running())
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ~RankingRoadTest() override {
    Http.Stop();
    Serving.join();
  }
  std::string SubmitUrl() const { return "http://127.0.0.1:" + std::to_string(Port) + "/submit"; }
  void FinishCampaign(int32_t total, int32_t lastScore, std::initializer_list<std::string> answers,
                      bool serverSet = true) {
    TIniFile ini(Ini());
    ini.WriteString("Game", "Player", CampaignText(total, 5, Machine.System));
    if (serverSet) ini.WriteString("Ranking", "URL", SubmitUrl());
    Start();
    Button();
    ASSERT_EQ(Form->SceneState, ssMenu);
    Dialogs();
    Answer(answers);
    Choose("GameNext");
    Form->SetScene(ssPlay);
    Form->Score = lastScore;
    Form->MissionCleared = true;
    Form->PendingScene = ssResult;
    Tick();
    Button();
  }

  std::unique_ptr<TRankingStore> Store = OpenRankingStore(Dir.Path + "/ranking.sqlite3");
  TRankingService Service{*Store};
  TRankingHttpServer Http{Service};
  int Port = 0;
  std::thread Serving;
};

TEST_F(RankingRoadTest, TheTotalReachesTheServerAndItsAnswerIsShown) {
  FinishCampaign(
      12000, 3456,
      {"ok", "yes", "ok", "yes", "rank: 提督|adm@example.org|Hi & bye", "yes", "ok", "no", "ok"});
  const TTexts shown = Dialogs();
  ASSERT_EQ(shown.size(), 9u) << ::testing::PrintToString(shown);
  EXPECT_EQ(shown[4], "全面クリアランキングに参加");
  EXPECT_EQ(shown[6], "登録しました。あなたの総戦果 15456 は 1 位です。");
  EXPECT_EQ(shown[7], "ランキングのページを開きますか？");
  EXPECT_EQ(shown[8], "キャンペーンは終了しました。");
  EXPECT_TRUE(Machine.System.OpenedUrls.empty());

  const auto best = Store->Best(10);
  ASSERT_EQ(best.size(), 1u);
  EXPECT_EQ(best[0].Name, " 提督");
  EXPECT_EQ(best[0].Comment, "「Hi ＆ bye」");
  EXPECT_EQ(best[0].Score, 15456);
  EXPECT_EQ(best[0].Address, "127.0.0.1");

  // The name and mail are kept for next time (without blanks around, as settings are).
  Form->FormCloseQuery();
  EXPECT_EQ(TIniFile(Ini()).ReadString("Player", "Name", ""), "提督");
  EXPECT_EQ(TIniFile(Ini()).ReadString("Player", "Mail", ""), "adm@example.org");
}

// A game built without a ranking server: the question still comes, the dialog says plainly
// that no server is known and takes one, and the address is kept.
TEST_F(RankingRoadTest, WithoutAServerThePlayerIsToldAndAskedForOne) {
  if (!DefaultEndpointURL().empty()) GTEST_SKIP() << "this build names a ranking server";
  FinishCampaign(12000, 3456,
                 {"ok", "yes", "ok", "yes", "rank:提督|m@x.org|", "ok", "text:" + SubmitUrl(),
                  "yes", "ok", "no", "ok"},
                 false);
  const TTexts shown = Dialogs();
  ASSERT_EQ(shown.size(), 11u) << ::testing::PrintToString(shown);
  EXPECT_EQ(shown[5], kNoServerText);
  EXPECT_EQ(shown[6], "ランキングサーバーのアドレス：");
  EXPECT_EQ(shown[8], "登録しました。あなたの総戦果 15456 は 1 位です。");
  EXPECT_EQ(Store->Count(), 1);
  EXPECT_EQ(TIniFile(Ini()).ReadString("Ranking", "URL", ""), SubmitUrl());
}

TEST_F(RankingRoadTest, TheOptionsKeepTheAddressAndTestTheConnection) {
  Start();
  Button();
  Dialogs();
  Answer({"text:  " + SubmitUrl() + " ", "yes", "ok"});
  Choose("OptionRankingServer");
  TTexts shown = Dialogs();
  ASSERT_EQ(shown.size(), 3u) << ::testing::PrintToString(shown);
  EXPECT_EQ(shown[1], SubmitUrl() + "\n\n接続テストをしますか？（サーバーが応答するか確かめます）");
  EXPECT_EQ(shown[2], "接続できました。ランキングサーバーは正常に応答しています。");
  EXPECT_EQ(TIniFile(Ini()).ReadString("Ranking", "URL", ""), SubmitUrl());

  // Nobody at the address: said so; a malformed address is not kept.
  Answer({"text:http://127.0.0.1:1/submit", "yes", "ok", "text:ftp://x/", "ok"});
  Choose("OptionRankingServer");
  shown = Dialogs();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[2].rfind("接続できませんでした。", 0), 0u) << shown[2];
  Choose("OptionRankingServer");
  EXPECT_EQ(Dialogs().back().rfind("アドレスが正しくありません", 0), 0u);
  EXPECT_EQ(TIniFile(Ini()).ReadString("Ranking", "URL", ""), "http://127.0.0.1:1/submit");

  // A build without a home page opens the help's own page about the game.
  Choose("N11");
  if (Machine.System.OpenedUrls.empty()) {
    ASSERT_EQ(Machine.System.ShownHelp.size(), 1u);
    EXPECT_EQ(Machine.System.ShownHelp[0].substr(Machine.System.ShownHelp[0].size() - 6), "#about");
  }
}

}  // namespace
}  // namespace velmora
