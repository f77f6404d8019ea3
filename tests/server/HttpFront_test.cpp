// The server's network side under what an attacker or a broken client sends: every test
// on 127.0.0.1 with short deadlines, so each runs in a second or two.
#include <httplib.h>

#include <atomic>

#include "Address.h"
#include "ServerTestSupport.h"

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

TFrontLimits Quick() {
  TFrontLimits limits;
  limits.HeadTimeout = 800ms;
  limits.BodyTimeout = 800ms;
  limits.KeepAlive = 500ms;
  limits.StopGrace = 500ms;
  return limits;
}

class HttpFrontTest : public ::testing::Test {
 protected:
  std::string Page() {
    TRawClient client(Server->Port);
    client.Send("GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    return client.ReadAll();
  }

  TTempDir Dir;
  std::unique_ptr<TRankingStore> Store = OpenRankingStore(Dir.Path + "/ranking.sqlite3");
  TRankingService Service{*Store};
  std::unique_ptr<TRunningServer> Server = std::make_unique<TRunningServer>(Service, Quick());
};

TEST_F(HttpFrontTest, SlowAndIdleClientsHoldNobodyUpAndAreCutOffAtTheirDeadline) {
  std::vector<std::unique_ptr<TRawClient>> idle, slow;
  for (int i = 0; i < 100; ++i)
    idle.push_back(std::make_unique<TRawClient>(Server->Port));
  for (int i = 0; i < 10; ++i) {
    slow.push_back(std::make_unique<TRawClient>(Server->Port));
    slow.back()->Send("GET / HTTP/1.1\r\nHo");
  }
  const auto start = TClock::now();
  EXPECT_EQ(StatusOf(Page()), 200);
  EXPECT_LT(TClock::now() - start, 300ms);
  // A drip of bytes does not move the deadline: the whole head must come in time.
  for (int i = 0; i < 6; ++i) {
    std::this_thread::sleep_for(150ms);
    for (auto& c : slow)
      c->Send("s");
  }
  for (auto& c : slow)
    EXPECT_EQ(StatusOf(c->ReadAll(1)), 408);
  char byte;
  EXPECT_EQ(::recv(idle.front()->Fd, &byte, 1, 0), 0);  // closed without a word
}

TEST_F(HttpFrontTest, ConnectionsOverTheBoundAreTurnedAwayAtOnce) {
  TFrontLimits limits = Quick();
  limits.MaxConnections = 3;
  limits.HeadTimeout = 5s;
  TRunningServer small(Service, limits);
  std::vector<std::unique_ptr<TRawClient>> held;
  for (int i = 0; i < 3; ++i)
    held.push_back(std::make_unique<TRawClient>(small.Port));
  std::this_thread::sleep_for(50ms);
  TRawClient over(small.Port);
  const auto start = TClock::now();
  EXPECT_EQ(StatusOf(over.ReadAll(2)), 503);
  EXPECT_LT(TClock::now() - start, 500ms);
}

TEST_F(HttpFrontTest, ManyRangesGetThePlainPage) {
  const std::string plain = Page();
  std::string ranges = "bytes=0-";
  for (int i = 0; i < 2700; ++i)
    ranges += ",0-";
  TRawClient client(Server->Port);
  client.Send("GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\nRange: " + ranges.substr(0, 8000) +
              "\r\n\r\n");
  const std::string reply = client.ReadAll();
  EXPECT_EQ(StatusOf(reply), 200);
  EXPECT_EQ(BodyOf(reply), BodyOf(plain));
  // A head beyond what any client needs is refused before it is read in whole.
  TRawClient huge(Server->Port);
  huge.Send("GET / HTTP/1.1\r\nRange: bytes=0-" + std::string(20000, ',') + "\r\n\r\n");
  EXPECT_EQ(StatusOf(huge.ReadAll()), 431);
}

TEST_F(HttpFrontTest, AmbiguousFramingIsRefusedAndNothingIsStored) {
  const std::string body = GameBody("n", 1);
  const std::string head = "POST /submit HTTP/1.1\r\nHost: x\r\n";
  const std::string length = "Content-Length: " + std::to_string(body.size()) + "\r\n";
  for (const auto& [request, status] : std::vector<std::pair<std::string, int>>{
           {head + length + length + "\r\n" + body, 400},
           {head + length + "Content-Length: 5\r\n\r\n" + body, 400},
           {head + "Content-Length: -18446744073709551615\r\n\r\n" + body, 400},
           {head + "Content-Length: +5\r\n\r\n" + body, 400},
           {head + "Content-Length: 99999999999999999999999\r\n\r\n" + body, 400},
           {head + "Transfer-Encoding: chunked\r\n" + length + "\r\n" + body, 400},
           {head + "Transfer-Encoding: chunked\r\n\r\n5\r\nname=\r\n0\r\n\r\n", 411},
           {head + "X-A: 1\r\n folded\r\n" + length + "\r\n" + body, 400},
           {head + "Bad Name: 1\r\n" + length + "\r\n" + body, 400},
           {"POST /submit HTTP/1.1 extra\r\n" + length + "\r\n" + body, 400},
           {"POST /submit HTTP/2.0\r\n" + length + "\r\n" + body, 400},
       }) {
    TRawClient client(Server->Port);
    client.Send(request);
    EXPECT_EQ(StatusOf(client.ReadAll()), status) << request;
  }
  EXPECT_EQ(Store->Count(), 0);
}

TEST_F(HttpFrontTest, EveryRefusalTheGameCanMeetIsAReasonItShows) {
  // Over the service's limit and over what the server reads at all: both a CMD_ERRMES.
  for (size_t size : {9 * 1024, 200 * 1024}) {
    TRawClient client(Server->Port);
    const std::string body = GameBody("n", 1) + "&pad=" + std::string(size, 'x');
    client.Send(Post(body).substr(0, 200 + 64 * 1024));
    const std::string reply = client.ReadAll();
    EXPECT_EQ(StatusOf(reply), 200) << size;
    EXPECT_EQ(Cp932ToUtf8(BodyOf(reply)), "CMD_ERRMES,送信データが大きすぎます。\r\n") << size;
  }
}

TEST_F(HttpFrontTest, AHalfClosedClientIsAnsweredAndKeptConnectionsServeInTurn) {
  TRawClient client(Server->Port);
  client.Send(Post(GameBody("half", 10)));
  ::shutdown(client.Fd, SHUT_WR);
  EXPECT_NE(Cp932ToUtf8(BodyOf(client.ReadAll())).find("は 1 位です"), std::string::npos);
  EXPECT_EQ(Store->Count(), 1);

  // Two requests sent at once on one kept connection, answered in order.
  TRawClient kept(Server->Port);
  kept.Send("GET / HTTP/1.1\r\nHost: x\r\n\r\nGET /none HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_EQ(StatusOf(kept.ReadReply()), 200);
  EXPECT_EQ(StatusOf(kept.ReadReply()), 404);
  std::this_thread::sleep_for(50ms);
  kept.Send("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_EQ(StatusOf(kept.ReadReply()), 200);
}

TEST_F(HttpFrontTest, AStopFinishesRequestsInFlightAndWaitsForNoSlowClient) {
  Server.reset();
  TFrontLimits limits = Quick();
  limits.HeadTimeout = 30s;
  THttpFront front(limits);
  std::atomic<bool> handling = false;
  front.Routes().Get("/slow", [&](const httplib::Request&, httplib::Response& res) {
    handling = true;
    std::this_thread::sleep_for(300ms);
    res.set_content("finished", "text/plain");
  });
  const int port = front.Bind("127.0.0.1", 0);
  std::thread serving([&] { front.Run(); });
  TRawClient drip(port), inFlight(port);
  drip.Send("GET / HTTP/1.1\r\n");
  inFlight.Send("GET /slow HTTP/1.1\r\nHost: x\r\n\r\n");
  while (!handling)
    std::this_thread::sleep_for(5ms);
  const auto start = TClock::now();
  front.Stop();
  const std::string reply = inFlight.ReadAll();
  serving.join();
  EXPECT_LT(TClock::now() - start, 1s);
  EXPECT_EQ(BodyOf(reply), "finished");  // and then the connection was closed
  EXPECT_EQ(drip.ReadAll(1), "");
}

TEST(AddressTest, ListenAddressesAndHostHeadersAreParsedStrictly) {
  const auto parsed = [](const char* text) {
    const auto p = ParseHostPort(text);
    return p ? p->Host + "|" + std::to_string(p->Port) : std::string("-");
  };
  EXPECT_EQ(parsed("127.0.0.1:8080"), "127.0.0.1|8080");
  EXPECT_EQ(parsed("[::1]:0"), "::1|0");
  EXPECT_EQ(parsed("localhost:65535"), "localhost|65535");
  for (const char* bad :
       {"127.0.0.1:0abc", "127.0.0.1:", "127.0.0.1", ":80", "::1:80", "[::1]", "[::1]80",
        "[nope]:80", "127.0.0.1:65536", "127.0.0.1:-1", "127.0.0.1: 80", "a b:80", "127.0.0.1:+80"})
    EXPECT_EQ(parsed(bad), "-") << bad;
  EXPECT_EQ(HostForUrl("::1"), "[::1]");
  EXPECT_EQ(HostForUrl("127.0.0.1"), "127.0.0.1");
  for (const char* good : {"example.org", "example.org:8080", "[::1]:8080", "10.0.0.1"})
    EXPECT_TRUE(PlainHostHeader(good)) << good;
  for (const char* bad : {"", "a,b", "a\r\nb", "evil.org/x", "u@evil.org", "[::1", "a:b"})
    EXPECT_FALSE(PlainHostHeader(bad)) << bad;
}

TEST(AddressTest, AnIpv6ServerNamesItselfWithBrackets) {
  TTempDir dir;
  auto store = OpenRankingStore(dir.Path + "/r.sqlite3");
  TRankingService service(*store);
  TRankingHttpServer http(service);
  const int port = http.Bind("::1", 0);
  if (port == 0) GTEST_FAIL() << "no IPv6 loopback on this machine";
  EXPECT_EQ(http.Url(), "http://[::1]:" + std::to_string(port) + "/");
}

}  // namespace
}  // namespace velmora::test
