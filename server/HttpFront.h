// The server's side of the network. One thread reads every connection without blocking and
// under deadlines; only a whole, well-formed request reaches a worker, which runs the HTTP
// library's routing on it and hands the reply back to be written without blocking again.
// So a client that is slow, idle or silent holds a file descriptor for a few seconds at
// most, never a worker, and a stop does not wait for it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace httplib {
class Server;
}

namespace velmora {

struct TFrontLimits {
  // The request line and headers, from the connection (or, between requests, the first byte).
  std::chrono::milliseconds HeadTimeout{5000};
  // The body, once the headers are in.
  std::chrono::milliseconds BodyTimeout{5000};
  // Idle between two requests on one connection.
  std::chrono::milliseconds KeepAlive{2000};
  // A reply to be taken by the client.
  std::chrono::milliseconds WriteTimeout{10000};
  // Replies being written when the server stops.
  std::chrono::milliseconds StopGrace{2000};
  size_t MaxConnections = 1000;
  size_t MaxQueued = 256;  // whole requests waiting for a worker
  size_t MaxHead = 16 * 1024;
  size_t MaxBody = 64 * 1024;
  size_t MaxReply = 1024 * 1024;
  int Workers = 8;
  int RequestsPerConnection = 100;
  int Backlog = 1024;
};

struct TAccessRecord {
  std::string Address;  // the client's (a trusted proxy's forwarded one where given)
  std::string Method, Path;
  int Status = 0;
  double Seconds = 0;  // from the request's first byte to its reply being ready
};

// A request head as the front reads it: strict where a lenient reading would let two
// readers (a proxy and us) see two different requests.
struct THead {
  std::string Method, Target, Version;
  std::vector<std::pair<std::string, std::string>> Fields;
  size_t ContentLength = 0;
  bool ExpectContinue = false;
};
enum class THeadProblem { None, Bad, LengthRequired };
// head: up to and including the empty line.
THeadProblem ParseHead(std::string_view head, THead& out);

class THttpFront {
 public:
  explicit THttpFront(TFrontLimits limits = {});
  ~THttpFront();
  THttpFront(const THttpFront&) = delete;
  THttpFront& operator=(const THttpFront&) = delete;

  // Handlers are registered here before Run. Requests reach them without Range, If-Range
  // and Expect headers: our pages are small and made anew each time.
  httplib::Server& Routes();
  // Port 0 takes any free one. Returns the port, or 0 when the address cannot be had.
  int Bind(const std::string& host, int port);
  // Serves until Stop; false when serving failed.
  bool Run();
  bool Running() const;
  // From any thread: no new connections, requests not yet whole are dropped, requests in
  // a worker finish and their replies get StopGrace to be written; then Run returns.
  void Stop();

  // The reply (content, content type) to a request whose body is over MaxBody; it is
  // answered without reading the body. Unset: 413.
  std::function<std::pair<std::string, std::string>(const THead&)> Oversize;
  // One call per request answered, from the front's thread.
  std::function<void(const TAccessRecord&)> Log;
  // From a handler: the address the access log names for this request.
  static void NoteClientAddress(const std::string& address);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> Impl_;
};

}  // namespace velmora
