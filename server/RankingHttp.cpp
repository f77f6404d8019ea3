#include "RankingHttp.h"

#include <httplib.h>

#include <chrono>

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

}  // namespace

TRankingHttpServer::TRankingHttpServer(TRankingService& service, TFrontLimits limits)
    : Service_(service), Front_(limits) {
  // A body too large to read still gets a reason the game shows, not a bare status.
  Front_.Oversize = [](const THead&) {
    return std::make_pair(Utf8ToCp932(TRankingService::TooLarge()), std::string(kReplyType));
  };
  httplib::Server& routes = Front_.Routes();
  routes.Post("/submit", [this](const httplib::Request& req, httplib::Response& res) {
    const std::string host = req.get_header_value("Host");
    const std::string pageHost =
        PlainHostHeader(host) ? host : HostForUrl(Host_) + ":" + std::to_string(Port_);
    const std::string reply =
        Service_.Submit(req.body, req.remote_addr, "http://" + pageHost + "/", Now());
    res.set_content(Utf8ToCp932(reply), kReplyType);
  });
  routes.Get("/", [this](const httplib::Request&, httplib::Response& res) {
    res.set_content(Service_.RankingPage(), "text/html; charset=utf-8");
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
