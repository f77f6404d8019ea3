// The ranking service on HTTP: POST /submit takes the game's form, GET / shows the ranking.
#pragma once

#include <string>

#include "HttpFront.h"

namespace velmora {

class TRankingService;

class TRankingHttpServer {
 public:
  explicit TRankingHttpServer(TRankingService& service, TFrontLimits limits = {});
  // Port 0 takes any free one. Returns the port, or 0 when the address cannot be had.
  int Bind(const std::string& host, int port);
  // Serves until Stop; false when serving failed.
  bool Listen();
  bool Running() const;
  void Stop();
  // "http://127.0.0.1:8080/", "http://[::1]:8080/"
  std::string Url() const;
  THttpFront& Front() { return Front_; }

 private:
  TRankingService& Service_;
  THttpFront Front_;
  std::string Host_;
  int Port_ = 0;
};

}  // namespace velmora
