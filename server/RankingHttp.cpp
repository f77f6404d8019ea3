#include "RankingHttp.h"

#include <httplib.h>

#include <cctype>
#include <chrono>
#include <cstring>

#include "RankingService.h"
#include "engine/Encoding.h"

namespace velmora {

namespace {

// Only a plain host name or address may go into the reply's page address: anything else
// (a comma, a line break) would change the reply's commands.
bool PlainHost(const std::string& host) {
  if (host.empty() || host.size() > 255) return false;
  for (char c : host)
    if (!std::isalnum(static_cast<unsigned char>(c)) && !std::strchr(".-:[]", c)) return false;
  return true;
}

int64_t Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

TRankingHttpServer::TRankingHttpServer(TRankingService& service)
    : Service_(service), Server_(std::make_unique<httplib::Server>()) {
  // Bodies above the service's own limit get its clear answer; far larger ones are cut off
  // by the server before they are read.
  Server_->set_payload_max_length(64 * 1024);
  Server_->Post("/submit", [this](const httplib::Request& req, httplib::Response& res) {
    std::string pageHost = req.get_header_value("Host");
    if (!PlainHost(pageHost)) pageHost = Host_ + ":" + std::to_string(Port_);
    const std::string reply =
        Service_.Submit(req.body, req.remote_addr, "http://" + pageHost + "/", Now());
    res.set_content(Utf8ToCp932(reply), "text/plain; charset=Shift_JIS");
  });
  Server_->Get("/", [this](const httplib::Request&, httplib::Response& res) {
    res.set_content(Service_.RankingPage(), "text/html; charset=utf-8");
  });
}

TRankingHttpServer::~TRankingHttpServer() = default;

int TRankingHttpServer::Bind(const std::string& host, int port) {
  Host_ = host;
  if (port == 0)
    Port_ = Server_->bind_to_any_port(host.c_str());
  else
    Port_ = Server_->bind_to_port(host.c_str(), port) ? port : 0;
  if (Port_ < 0) Port_ = 0;
  return Port_;
}

bool TRankingHttpServer::Listen() {
  return Server_->listen_after_bind();
}

bool TRankingHttpServer::Running() const {
  return Server_->is_running();
}

void TRankingHttpServer::Stop() {
  Server_->stop();
}

}  // namespace velmora
