#include "RankingHttp.h"

#include <arpa/inet.h>
#include <httplib.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstring>

#include "Address.h"
#include "RankingService.h"
#include "engine/Encoding.h"

namespace velmora {

namespace {

int64_t Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

constexpr const char* kReplyType = "text/plain; charset=Shift_JIS";

// An address in its one canonical text, or empty: "::FFFF:10.0.0.1" and "10.0.0.1" are
// one client, and nothing that is no address is ever taken for one.
std::string CanonicalAddress(std::string text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.erase(0, 1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.pop_back();
  char out[INET6_ADDRSTRLEN];
  in_addr v4;
  if (inet_pton(AF_INET, text.c_str(), &v4) == 1) return inet_ntop(AF_INET, &v4, out, sizeof out);
  in6_addr v6;
  if (inet_pton(AF_INET6, text.c_str(), &v6) != 1) return {};
  if (IN6_IS_ADDR_V4MAPPED(&v6)) {
    std::memcpy(&v4, &v6.s6_addr[12], 4);
    return inet_ntop(AF_INET, &v4, out, sizeof out);
  }
  return inet_ntop(AF_INET6, &v6, out, sizeof out);
}

}  // namespace

std::string ClientAddress(const std::string& peer, const std::string& forwardedFor,
                          const std::vector<std::string>& trustedProxies) {
  const auto trusted = [&](const std::string& address) {
    return std::find(trustedProxies.begin(), trustedProxies.end(), address) != trustedProxies.end();
  };
  std::string client = CanonicalAddress(peer);
  if (client.empty()) client = peer;
  // Each proxy appends the address it got the request from; a client may put anything in
  // front. Walk back from our own peer while the hops are proxies we trust.
  size_t end = forwardedFor.size();
  while (trusted(client) && end > 0) {
    const size_t comma = forwardedFor.rfind(',', end - 1);
    const size_t start = comma == std::string::npos ? 0 : comma + 1;
    const std::string hop = CanonicalAddress(forwardedFor.substr(start, end - start));
    if (hop.empty()) break;
    client = hop;
    if (comma == std::string::npos) break;
    end = comma;
  }
  return client;
}

TRankingHttpServer::TRankingHttpServer(TRankingService& service, TFrontLimits limits,
                                       std::vector<std::string> trustedProxies)
    : Service_(service), Front_(limits) {
  for (const std::string& proxy : trustedProxies) {
    const std::string canonical = CanonicalAddress(proxy);
    TrustedProxies_.push_back(canonical.empty() ? proxy : canonical);
  }
  // A body too large to read still gets a reason the game shows, not a bare status.
  Front_.Oversize = [](const THead&) {
    return std::make_pair(Utf8ToCp932(TRankingService::TooLarge()), std::string(kReplyType));
  };
  httplib::Server& routes = Front_.Routes();
  routes.Post("/submit", [this](const httplib::Request& req, httplib::Response& res) {
    const std::string client =
        ClientAddress(req.remote_addr, req.get_header_value("X-Forwarded-For"), TrustedProxies_);
    THttpFront::NoteClientAddress(client);
    const std::string host = req.get_header_value("Host");
    const std::string pageHost =
        PlainHostHeader(host) ? host : HostForUrl(Host_) + ":" + std::to_string(Port_);
    const std::string reply = Service_.Submit(req.body, client, "http://" + pageHost + "/", Now());
    res.set_content(Utf8ToCp932(reply), kReplyType);
  });
  routes.Get("/", [this](const httplib::Request&, httplib::Response& res) {
    res.set_content(Service_.RankingPage(), "text/html; charset=utf-8");
  });
  routes.Get("/api/ranking", [this](const httplib::Request& req, httplib::Response& res) {
    int limit = kRankingPageSize;
    if (req.has_param("limit")) {
      const std::string text = req.get_param_value("limit");
      const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), limit);
      if (error != std::errc() || end != text.data() + text.size() || limit < 1 ||
          limit > kRankingPageSize) {
        res.status = 400;
        res.set_content(
            "{\"error\":\"limit must be 1 to " + std::to_string(kRankingPageSize) + "\"}\n",
            "application/json; charset=utf-8");
        return;
      }
    }
    res.set_content(Service_.RankingJson(limit), "application/json; charset=utf-8");
  });
  // For a load balancer: 200 while the database answers.
  routes.Get("/healthz", [this](const httplib::Request&, httplib::Response& res) {
    const bool ok = Service_.DatabaseReachable();
    res.status = ok ? 200 : 503;
    res.set_content(ok ? "ok\n" : "database unreachable\n", "text/plain; charset=utf-8");
  });
}

int TRankingHttpServer::Bind(const std::string& host, int port) {
  Host_ = host;
  Port_ = Front_.Bind(host, port);
  return Port_;
}

bool TRankingHttpServer::Listen() {
  return Front_.Run();
}

bool TRankingHttpServer::Running() const {
  return Front_.Running();
}

void TRankingHttpServer::Stop() {
  Front_.Stop();
}

std::string TRankingHttpServer::Url() const {
  return "http://" + HostForUrl(Host_) + ":" + std::to_string(Port_) + "/";
}

}  // namespace velmora
