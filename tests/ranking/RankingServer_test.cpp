// The ranking server's own checks, and the whole road from the end of the campaign through
// the game's client to the server's database and back.
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

class RankingServiceTest : public ::testing::Test {
 protected:
  std::string Body(const std::string& name, int32_t score, const std::string& comment = "") {
    return RankingRequestBody(Utf8ToCp932(name), "m@example.org", Utf8ToCp932(comment), score,
                              System);
  }
  std::string Submit(const std::string& body, const std::string& from = "10.0.0.1") {
    return Service.Submit(body, from, "http://127.0.0.1:8080/", Now += 20);
  }

  TTempDir Dir;
  TRankingStore Store{Dir.Path + "/ranking.sqlite3"};
  TRankingService Service{Store};
  THeadlessSystem System;
  int64_t Now = 1'800'000'000;
};

TEST_F(RankingServiceTest, AcceptedSubmissionsAreStoredAsTypedAndPlaced) {
  EXPECT_EQ(Submit(Body("A+B 100%", 5000, "「Hi & bye」")),
            "CMD_MES,登録しました。あなたの総戦果 5000 は 1 位です。\r\n"
            "CMD_URLOPEN,ランキングのページを開きますか？,http://127.0.0.1:8080/\r\n");
  EXPECT_NE(Submit(Body("二番", 7000)).find("は 1 位です"), std::string::npos);
  EXPECT_NE(Submit(Body("<b>三</b>", 5000)).find("は 2 位です"), std::string::npos);
  const auto best = Store.Best(100);
  ASSERT_EQ(best.size(), 3u);
  EXPECT_EQ(best[1].Name, "A+B 100%");
  EXPECT_EQ(best[1].Comment, "「Hi ＆ bye」");  // the game masks the ampersand
  EXPECT_EQ(best[1].Mail, "m@example.org");
  EXPECT_EQ(best[1].Score, 5000);
  EXPECT_EQ(best[1].Submitted, "2027-01-15 08:00:20");
  EXPECT_EQ(best[1].Machine.substr(best[1].Machine.size() - 8), "@N@N@N@N");

  const std::string page = Service.RankingPage();
  EXPECT_NE(page.find("<td>&lt;b&gt;三&lt;/b&gt;</td>"), std::string::npos);
  EXPECT_EQ(page.find("<b>三"), std::string::npos);
  // Equal totals share a place; the earlier one is listed first.
  EXPECT_LT(page.find("二番"), page.find("A+B 100%"));
  EXPECT_LT(page.find("A+B 100%"), page.find("三"));
  EXPECT_NE(page.find("<td class=\"place\">2</td><td>&lt;b&gt;"), std::string::npos);
}

TEST_F(RankingServiceTest, BadSubmissionsAreRefusedWithAReasonAndNotStored) {
  std::string forged = Body("n", 100);
  forged.replace(forged.find("&score=100"), 10, "&score=999999");
  const auto refused = [&](const std::string& body, const std::string& reason) {
    const std::string reply = Submit(body);
    EXPECT_EQ(reply.rfind("CMD_ERRMES,", 0), 0u) << reply;
    EXPECT_NE(reply.find(reason), std::string::npos) << reply;
  };
  refused(forged, "チェックコードが一致しません");
  refused(Body("   ", 100), "名前がありません");
  refused(Body("n", 100) + "&pad=" + std::string(8 * 1024, 'x'), "大きすぎます");
  refused("name=%82&score=1", "文字コード");
  std::string badScore = Body("n", 100);
  badScore.replace(badScore.find("&score=100"), 10, "&score=1e3");
  refused(badScore, "戦果の値");
  EXPECT_EQ(Store.Count(), 0);

  // Five tries a minute from one address; the sixth waits, others are not held up.
  const auto from = [&](const std::string& address, int64_t at) {
    return Service.Submit(Body("n", 1), address, "", at).substr(0, 8);
  };
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(from("10.0.0.2", 5000 + i), "CMD_MES,");
  EXPECT_EQ(Service.Submit(Body("n", 1), "10.0.0.2", "", 5059),
            "CMD_ERRMES,送信が多すぎます。一分ほど待ってから送り直してください。\r\n");
  EXPECT_EQ(from("10.0.0.3", 5059), "CMD_MES,");
  EXPECT_EQ(from("10.0.0.2", 5065), "CMD_MES,");
}

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

  TRankingStore Store{Dir.Path + "/ranking.sqlite3"};
  TRankingService Service{Store};
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

  const auto best = Store.Best(10);
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
