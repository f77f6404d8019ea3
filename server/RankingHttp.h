// The ranking service on HTTP: POST /submit takes the game's form, GET / shows the ranking.
#pragma once

#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace velmora {

class TRankingService;

class TRankingHttpServer {
 public:
  explicit TRankingHttpServer(TRankingService& service);
  ~TRankingHttpServer();
  // Port 0 takes any free one. Returns the port, or 0 when the address cannot be had.
  int Bind(const std::string& host, int port);
  // Serves until Stop; false when serving failed.
  bool Listen();
  bool Running() const;
  void Stop();

 private:
  TRankingService& Service_;
  std::unique_ptr<httplib::Server> Server_;
  std::string Host_;
  int Port_ = 0;
};

}  // namespace velmora
