// The ranking service on HTTP: POST /submit takes the game's form, GET / shows the ranking,
// GET /api/ranking gives it as JSON, GET /healthz says whether the database answers.
#pragma once

#include <string>
#include <vector>

#include "HttpFront.h"

namespace velmora {

class TRankingService;

class TRankingHttpServer {
 public:
  // trustedProxies: peers whose X-Forwarded-For names the client (a load balancer's own
  // addresses); every other peer is the client itself.
  explicit TRankingHttpServer(TRankingService& service, TFrontLimits limits = {},
                              std::vector<std::string> trustedProxies = {});
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
  std::vector<std::string> TrustedProxies_;
  std::string Host_;
  int Port_ = 0;
};

// The client of a request from peer: with a trusted peer, the last address of the
// X-Forwarded-For list that is not itself a trusted proxy; otherwise the peer.
std::string ClientAddress(const std::string& peer, const std::string& forwardedFor,
                          const std::vector<std::string>& trustedProxies);

}  // namespace velmora
