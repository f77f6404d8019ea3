// The ranking's own addresses over HTTP: who the client is behind a proxy, the health
// check, the JSON view and the access log.
#include <mutex>

#include "ServerTestSupport.h"

namespace velmora::test {
namespace {

TEST(TrustedProxyTest, OnlyATrustedPeerMayNameTheClient) {
  const std::vector<std::string> one = {"127.0.0.1"}, two = {"127.0.0.1", "10.0.0.5"};
  EXPECT_EQ(ClientAddress("10.0.0.1", "1.2.3.4", {}), "10.0.0.1");
  EXPECT_EQ(ClientAddress("10.0.0.1", "1.2.3.4", one), "10.0.0.1");
  EXPECT_EQ(ClientAddress("127.0.0.1", "1.2.3.4", one), "1.2.3.4");
  EXPECT_EQ(ClientAddress("::ffff:127.0.0.1", " 1.2.3.4 ", one), "1.2.3.4");
  // What the client wrote itself comes first; the proxy appended the real one.
  EXPECT_EQ(ClientAddress("127.0.0.1", "6.6.6.6, 1.2.3.4", one), "1.2.3.4");
  EXPECT_EQ(ClientAddress("127.0.0.1", "6.6.6.6, 1.2.3.4, 10.0.0.5", two), "1.2.3.4");
  EXPECT_EQ(ClientAddress("127.0.0.1", "2001:DB8::1", one), "2001:db8::1");
  // Not an address: the proxy itself is all we know.
  EXPECT_EQ(ClientAddress("127.0.0.1", "nonsense", one), "127.0.0.1");
  EXPECT_EQ(ClientAddress("127.0.0.1", "1.2.3.4, x", one), "127.0.0.1");
  EXPECT_EQ(ClientAddress("127.0.0.1", "", one), "127.0.0.1");
}

class RankingHttpTest : public ::testing::Test {
 protected:
  std::string Get(int port, const std::string& path) {
    TRawClient client(port);
    client.Send("GET " + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    return client.ReadAll();
  }

  TTempDir Dir;
  std::unique_ptr<TRankingStore> Store = OpenRankingStore(Dir.Path + "/ranking.sqlite3");
  TRankingService Service{*Store};
};

TEST_F(RankingHttpTest, ABalancersForwardedAddressCountsOnlyWhenItIsTrusted) {
  std::mutex mutex;
  std::vector<std::string> log;
  TFrontLimits limits;
  THttpFront* front = nullptr;
  {
    TRankingHttpServer http(Service, limits, {"127.0.0.1"});
    front = &http.Front();
    front->Log = [&](const TAccessRecord& r) {
      const std::lock_guard lock(mutex);
      log.push_back(r.Address + " " + r.Method + " " + r.Path + " " + std::to_string(r.Status));
    };
    const int port = http.Bind("127.0.0.1", 0);
    std::thread serving([&] { http.Listen(); });
    TRawClient client(port);
    client.Send(Post(GameBody("a", 10), "X-Forwarded-For: 6.6.6.6, 203.0.113.9\r\n"));
    EXPECT_NE(Cp932ToUtf8(client.ReadAll()).find("は 1 位です"), std::string::npos);
    http.Stop();
    serving.join();
  }
  TRunningServer untrusting(Service);
  TRawClient client(untrusting.Port);
  client.Send(Post(GameBody("b", 5), "X-Forwarded-For: 203.0.113.10\r\n"));
  client.ReadAll();
  const auto best = Store->Best(10);
  ASSERT_EQ(best.size(), 2u);
  EXPECT_EQ(best[0].Address, "203.0.113.9");
  EXPECT_EQ(best[1].Address, "127.0.0.1");
  const std::lock_guard lock(mutex);
  EXPECT_EQ(log, std::vector<std::string>{"203.0.113.9 POST /submit 200"});
}

TEST_F(RankingHttpTest, HealthAndTheJsonViewOfTheRanking) {
  TRunningServer server(Service);
  const std::string health = Get(server.Port, "/healthz");
  EXPECT_EQ(StatusOf(health), 200);
  EXPECT_EQ(BodyOf(health), "ok\n");
  for (const auto& [name, score] :
       std::vector<std::pair<std::string, int>>{{"一\"<", 300}, {"二", 200}, {"三", 200}})
    Service.Submit(GameBody(name, score, "「c」"), "10.0.0." + std::to_string(score), "",
                   1'800'000'000 + score);
  const std::string json = Get(server.Port, "/api/ranking?limit=2");
  EXPECT_EQ(StatusOf(json), 200);
  EXPECT_NE(json.find("Content-Type: application/json"), std::string::npos);
  EXPECT_EQ(BodyOf(json),
            "{\"ranking\":[\n"
            "{\"place\":1,\"name\":\"一\\\"\\u003c\",\"comment\":\"「c」\",\"score\":300,"
            "\"submitted\":\"2027-01-15T08:05:00Z\"},\n"
            "{\"place\":2,\"name\":\"二\",\"comment\":\"「c」\",\"score\":200,"
            "\"submitted\":\"2027-01-15T08:03:20Z\"}\n]}\n");
  EXPECT_NE(BodyOf(Get(server.Port, "/api/ranking")).find("\"place\":2,\"name\":\"三\""),
            std::string::npos);
  for (const char* bad : {"0", "101", "x", "-1", "2x"})
    EXPECT_EQ(StatusOf(Get(server.Port, std::string("/api/ranking?limit=") + bad)), 400) << bad;
}

TEST(PostgresHealthTest, AnUnreachableDatabaseIsReported) {
  auto store = OpenRankingStore(FreshPostgres());
  TRankingService service(*store);
  TRunningServer server(service);
  // The database goes away under the running server.
  PGconn* conn = PQconnectdb(PostgresTarget().c_str());
  PQclear(PQexec(conn,
                 "SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                 " WHERE pid <> pg_backend_pid() AND datname = current_database()"));
  PQclear(PQexec(conn, "ALTER DATABASE velmora ALLOW_CONNECTIONS false"));
  PQclear(PQexec(conn,
                 "SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                 " WHERE pid <> pg_backend_pid() AND datname = current_database()"));
  TRawClient client(server.Port);
  client.Send("GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  const std::string reply = client.ReadAll();
  PQclear(PQexec(conn, "ALTER DATABASE velmora ALLOW_CONNECTIONS true"));
  PQfinish(conn);
  EXPECT_EQ(StatusOf(reply), 503);
  EXPECT_EQ(BodyOf(reply), "database unreachable\n");
}

}  // namespace
}  // namespace velmora::test
