// What the server accepts, refuses and stores, on every database it can use.
#include <algorithm>
#include <atomic>
#include <fstream>

#include "ServerTestSupport.h"

namespace velmora::test {
namespace {

class RankingServiceTest : public ::testing::TestWithParam<std::string> {
 protected:
  RankingServiceTest()
      : Target(GetParam() == "postgres" ? FreshPostgres() : Dir.Path + "/ranking.sqlite3"),
        Store(OpenRankingStore(Target)),
        Service(*Store) {}

  std::unique_ptr<TRankingStore> OpenStore();
  std::string Submit(const std::string& body, const std::string& from = "10.0.0.1") {
    return Service.Submit(body, from, "http://127.0.0.1:8080/", Now += 20);
  }
  void Refused(const std::string& body, const std::string& reason) {
    const std::string reply = Submit(body, "10.9.9." + std::to_string(++Refusals));
    EXPECT_EQ(reply.rfind("CMD_ERRMES,", 0), 0u) << body << "\n" << reply;
    EXPECT_NE(reply.find(reason), std::string::npos) << body << "\n" << reply;
  }
  static bool Accepted(const std::string& reply) { return reply.rfind("CMD_MES,", 0) == 0; }

  TTempDir Dir;
  std::string Target;
  std::unique_ptr<TRankingStore> Store;
  TRankingService Service;
  int64_t Now = 1'800'000'000;
  int Refusals = 0;
};

std::unique_ptr<TRankingStore> RankingServiceTest::OpenStore() {
  return OpenRankingStore(Target);
}

TEST_P(RankingServiceTest, AcceptedSubmissionsAreStoredAsTypedAndPlaced) {
  EXPECT_EQ(Submit(GameBody("A+B 100%", 5000, "「Hi & bye」")),
            "CMD_MES,登録しました。あなたの総戦果 5000 は 1 位です。\r\n"
            "CMD_URLOPEN,ランキングのページを開きますか？,http://127.0.0.1:8080/\r\n");
  EXPECT_NE(Submit(GameBody("二番", 7000)).find("は 1 位です"), std::string::npos);
  EXPECT_NE(Submit(GameBody("<b>三</b>", 5000)).find("は 2 位です"), std::string::npos);
  const auto best = Store->Best(100);
  ASSERT_EQ(best.size(), 3u);
  EXPECT_EQ(best[1].Name, "A+B 100%");
  EXPECT_EQ(best[1].Comment, "「Hi ＆ bye」");  // the game masks the ampersand
  EXPECT_EQ(best[1].Mail, "m@x.org");
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

TEST_P(RankingServiceTest, OnlyTotalsAndCheckCodesTheGameCanSendAreStored) {
  // The whole range of the game's total, each with its true check code.
  EXPECT_TRUE(Accepted(Submit(GameBody("zero", 0))));
  EXPECT_TRUE(Accepted(Submit(GameBody("max", 2147483647))));
  const std::string good = GameBody("n", 42);
  for (const char* score :
       {"9223372036854775807", "2147483648", "-1", "-0", "000042", "042", "+42", "42 ", "4e1", ""})
    Refused(WithField(good, "score", score), "戦果の値");
  Refused(WithField(good, "score", "43"), "チェックコード");
  Refused(WithField(good, "code", FieldOf(good, "code") + "7"), "チェックコード");
  Refused(WithField(good, "code", FieldOf(good, "code").substr(1)), "チェックコード");
  Refused(WithField(good, "code", ""), "チェックコード");
  EXPECT_EQ(Store->Count(), 2);
}

TEST_P(RankingServiceTest, FieldsOverTheDialogsLengthsOrWithControlsAreRefusedByName) {
  std::string twenty;
  for (int i = 0; i < 20; ++i)
    twenty += "提";
  EXPECT_TRUE(Accepted(
      Submit(GameBody(twenty, 1, "「" + std::string(20, 'c') + "」", std::string(40, 'm')))));
  Refused(GameBody(std::string(21, 'n'), 1), "名前が長すぎます（20文字まで）");
  Refused(GameBody(std::string(2000, 'n'), 1), "名前が長すぎます");
  Refused(GameBody("n", 1, "", std::string(41, 'm')), "メールアドレスが長すぎます（40文字まで）");
  Refused(GameBody("n", 1, "「" + std::string(21, 'c') + "」"), "ひとことが長すぎます");
  // Tab, line break, escape, DEL, NUL and a C1 control, in each field.
  for (const std::string control : {"%09", "%0A", "%0D", "%1B%5B2J", "%7F", "%00X"}) {
    Refused(WithField(GameBody("n", 1), "name", "999999999" + control + "FORGED"),
            "名前に使えない文字");
    Refused(WithField(GameBody("n", 1), "mail", "m" + control), "メールアドレスに使えない文字");
    Refused(WithField(GameBody("n", 1), "hitokoto", "c" + control), "ひとことに使えない文字");
  }
  Refused(WithField(GameBody("n", 1), "secinf", "x%0Ay"), "送信データが正しくありません");
  Refused(WithField(GameBody("n", 1), "secinf", std::string(200, 'x')), "送信データ");
  // Blank names: spaces, a full-width space, a mix.
  for (const std::string blank : {"", "+++", "%81%40", "+%81%40+%81%40"})
    Refused(WithField(GameBody("n", 1), "name", blank), "名前がありません");
  Refused("name=%82&score=1", "文字コード");
  Refused(GameBody("n", 100) + "&pad=" + std::string(8 * 1024, 'x'), "大きすぎます");
  EXPECT_EQ(Store->Count(), 1);
  EXPECT_NE(EscapeField("a\tb\nc\\d\x1b[2J\x7f\xc2\x85"), "a\tb\nc\\d\x1b[2J\x7f\xc2\x85");
  EXPECT_EQ(EscapeField("a\tb\nc\\d\x1b[2J\x7f\xc2\x85 提督"),
            "a\\tb\\nc\\\\d\\x1b[2J\\x7f\\u0085 提督");
}

TEST_P(RankingServiceTest, ARetryOfAStoredSubmissionIsAnsweredWithItsPlaceAndNotStoredAgain) {
  const std::string body = GameBody("提督", 5000);
  EXPECT_TRUE(Accepted(Submit(GameBody("上", 9000))));
  const std::string first = Submit(body);
  EXPECT_NE(first.find("は 2 位です"), std::string::npos) << first;
  EXPECT_TRUE(Accepted(Submit(GameBody("上", 9999), "10.0.0.2")));
  // The retry comes after a better total has arrived: the stored one's place today.
  const std::string retry = Submit(body);
  EXPECT_NE(retry.find("総戦果 5000 は 3 位です"), std::string::npos) << retry;
  EXPECT_EQ(Store->Count(), 3);
  // Another address, another total or the same after ten minutes is a new submission.
  EXPECT_TRUE(Accepted(Submit(body, "10.0.0.3")));
  EXPECT_TRUE(Accepted(Submit(GameBody("提督", 5001))));
  Now += 10 * 60;
  EXPECT_TRUE(Accepted(Submit(body)));
  EXPECT_EQ(Store->Count(), 6);
}

TEST_P(RankingServiceTest, TheLimitCountsAcceptedSubmissionsAndRefusalsHaveTheirOwnBudget) {
  const auto at = [&](const std::string& body, const std::string& address, int64_t when) {
    return Service.Submit(body, address, "", when);
  };
  // A client retrying something wrong every ten seconds is never locked out.
  std::string junk = WithField(GameBody("n", 1), "score", "2");
  for (int64_t t = 0; t < 600; t += 10)
    EXPECT_EQ(at(junk, "10.0.0.2", 5000 + t).find("送信が多すぎます"), std::string::npos);
  EXPECT_TRUE(Accepted(at(GameBody("n", 1), "10.0.0.2", 5600)));

  // Five accepted a minute; the sixth is told how long to wait, others are not held up.
  for (int i = 0; i < 5; ++i)
    EXPECT_TRUE(Accepted(at(GameBody("n", 100 + i), "10.0.0.3", 5000 + i)));
  EXPECT_EQ(at(GameBody("n", 200), "10.0.0.3", 5030),
            "CMD_ERRMES,送信が多すぎます。あと30秒待ってから送り直してください。\r\n");
  EXPECT_TRUE(Accepted(at(GameBody("n", 200), "10.0.0.4", 5030)));
  EXPECT_TRUE(Accepted(at(GameBody("n", 200), "10.0.0.3", 5061)));

  // Twenty refusals a minute; then even a good submission waits for the oldest to age.
  for (int i = 0; i < 20; ++i)
    EXPECT_NE(at(junk, "10.0.0.5", 7000 + i).find("チェックコード"), std::string::npos);
  EXPECT_EQ(at(GameBody("n", 1), "10.0.0.5", 7030),
            "CMD_ERRMES,送信が多すぎます。あと30秒待ってから送り直してください。\r\n");
  EXPECT_TRUE(Accepted(at(GameBody("n", 1), "10.0.0.5", 7061)));
}

TEST_P(RankingServiceTest, ModerationDeletesAndBansAndTheBanIsKept) {
  EXPECT_TRUE(Accepted(Submit(GameBody("spam", 999999), "10.6.6.6")));
  EXPECT_TRUE(Accepted(Submit(GameBody("ok", 100), "10.0.0.1")));
  const auto best = Store->Best(10);
  ASSERT_EQ(best.size(), 2u);
  EXPECT_TRUE(Store->Delete(best[0].Id));
  EXPECT_FALSE(Store->Delete(best[0].Id));
  EXPECT_TRUE(Store->Ban("10.6.6.6", Now));
  EXPECT_FALSE(Store->Ban("10.6.6.6", Now));
  EXPECT_EQ(Submit(GameBody("spam", 999998), "10.6.6.6"),
            "CMD_ERRMES,このアドレスからの登録は受け付けていません。\r\n");
  Store = OpenStore();  // kept in the database, not in the process
  TRankingService again(*Store);
  EXPECT_EQ(again.Submit(GameBody("spam", 3), "10.6.6.6", "", Now += 100).substr(0, 11),
            "CMD_ERRMES,");
  EXPECT_EQ(Store->Bans(), std::vector<std::string>{"10.6.6.6"});
  EXPECT_TRUE(Store->Unban("10.6.6.6"));
  EXPECT_TRUE(Accepted(again.Submit(GameBody("back", 3), "10.6.6.6", "", Now += 100)));
  EXPECT_EQ(Store->Count(), 2);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, RankingServiceTest, ::testing::Values("sqlite"));
INSTANTIATE_TEST_SUITE_P(Postgres, RankingServiceTest, ::testing::Values("postgres"));

// Three server processes on one database, each with its own connections, as behind a load
// balancer: the places they report fit one order of arrival, and the per-address limit
// holds across them.
class SharedDatabaseTest : public ::testing::TestWithParam<std::string> {
 protected:
  SharedDatabaseTest() {
    const std::string target =
        GetParam() == "postgres" ? FreshPostgres() : Dir.Path + "/ranking.sqlite3";
    // All three start at once on a new database: one of them migrates it, under a lock.
    Stores.resize(3);
    std::vector<std::thread> starting;
    for (int i = 0; i < 3; ++i)
      starting.emplace_back([&, i] { Stores[static_cast<size_t>(i)] = OpenRankingStore(target); });
    for (auto& t : starting)
      t.join();
    for (auto& store : Stores)
      Services.push_back(std::make_unique<TRankingService>(*store));
  }
  TTempDir Dir;
  std::vector<std::unique_ptr<TRankingStore>> Stores;
  std::vector<std::unique_ptr<TRankingService>> Services;
};

TEST_P(SharedDatabaseTest, PlacesFitOneOrderOfArrivalAcrossProcesses) {
  constexpr int kEach = 20;
  std::vector<std::string> bodies;
  for (int i = 0; i < 3 * kEach; ++i)
    bodies.push_back(GameBody("p" + std::to_string(i), (i * 7919) % 1000));
  std::vector<std::string> replies(bodies.size());
  std::vector<std::thread> threads;
  for (int p = 0; p < 3; ++p)
    threads.emplace_back([&, p] {
      for (int i = p; i < 3 * kEach; i += 3)
        replies[static_cast<size_t>(i)] = Services[static_cast<size_t>(p)]->Submit(
            bodies[static_cast<size_t>(i)], "10.1." + std::to_string(i) + ".1", "", 1'800'000'000);
    });
  for (auto& t : threads)
    t.join();
  // In the order the database stored them, each place is one more than the count of
  // higher totals stored before it.
  auto rows = Stores[0]->Best(1000);
  ASSERT_EQ(rows.size(), bodies.size());
  std::sort(rows.begin(), rows.end(), [](auto& a, auto& b) { return a.Id < b.Id; });
  for (size_t k = 0; k < rows.size(); ++k) {
    int64_t higher = 0;
    for (size_t j = 0; j < k; ++j)
      higher += rows[j].Score > rows[k].Score;
    const size_t i = static_cast<size_t>(std::stoi(rows[k].Name.substr(1)));
    EXPECT_NE(replies[i].find("は " + std::to_string(higher + 1) + " 位です"), std::string::npos)
        << rows[k].Name << ": " << replies[i];
  }
}

TEST_P(SharedDatabaseTest, FiveAMinuteMeansFiveAcrossProcesses) {
  std::atomic<int> accepted = 0;
  std::vector<std::thread> threads;
  for (int p = 0; p < 3; ++p)
    threads.emplace_back([&, p] {
      for (int i = 0; i < 4; ++i)
        if (Services[static_cast<size_t>(p)]
                ->Submit(GameBody("n", p * 10 + i), "10.2.2.2", "", 1'800'000'000 + i)
                .rfind("CMD_MES,", 0) == 0)
          ++accepted;
    });
  for (auto& t : threads)
    t.join();
  EXPECT_EQ(accepted, 5);
  EXPECT_EQ(Stores[1]->Count(), 5);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, SharedDatabaseTest, ::testing::Values("sqlite"));
INSTANTIATE_TEST_SUITE_P(Postgres, SharedDatabaseTest, ::testing::Values("postgres"));

// The file of the first server (no schema version, no check codes kept) opens, keeps every
// row and takes new submissions.
TEST(RankingStoreMigrationTest, TheFirstServersFileIsMigratedWithoutLosingARow) {
  TTempDir dir;
  const std::string path = dir.Path + "/old.sqlite3";
  ASSERT_EQ(std::system(("sqlite3 " + path +
                         " \"CREATE TABLE submissions (id INTEGER PRIMARY KEY, name TEXT NOT "
                         "NULL, mail TEXT NOT NULL, comment TEXT NOT NULL, score INTEGER NOT "
                         "NULL, machine TEXT NOT NULL, address TEXT NOT NULL, submitted TEXT "
                         "NOT NULL); CREATE INDEX submissions_by_score ON submissions (score "
                         "DESC, id); INSERT INTO submissions VALUES (7, '古参', 'a@b', '「やあ」', "
                         "12345, 'x@N@N@N@N', '10.1.1.1', '2026-01-01 12:00:00'), (9, 'b', '', "
                         "'', 99, 'y', '10.1.1.2', '2026-01-02 00:00:00');\"")
                            .c_str()),
            0);
  auto store = OpenRankingStore(path);
  EXPECT_EQ(store->SchemaVersion(), 2);
  const auto rows = store->Best(10);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].Id, 7);
  EXPECT_EQ(rows[0].Name, "古参");
  EXPECT_EQ(rows[0].Comment, "「やあ」");
  EXPECT_EQ(rows[0].At, 1767268800);
  EXPECT_EQ(rows[1].Submitted, "2026-01-02 00:00:00");
  TRankingService service(*store);
  EXPECT_NE(service.Submit(GameBody("新人", 500), "10.0.0.1", "", 1'800'000'000).find("は 2 位"),
            std::string::npos);
  store = OpenRankingStore(path);  // a second opening finds it current
  EXPECT_EQ(store->Count(), 3);
  EXPECT_NO_THROW(store->CheckWritable());
}

}  // namespace
}  // namespace velmora::test
