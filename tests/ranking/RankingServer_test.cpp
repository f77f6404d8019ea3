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
  void FinishCampaign(int32_t total, int32_t lastScore,
                      std::initializer_list<std::string> answers) {
    TIniFile ini(Ini());
    ini.WriteString("Game", "Player", CampaignText(total, 5, Machine.System));
    ini.WriteString("Ranking", "URL", "http://127.0.0.1:" + std::to_string(Port) + "/submit");
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

}  // namespace
}  // namespace velmora
