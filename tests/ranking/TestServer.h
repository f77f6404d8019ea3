// A one-connection HTTP server on 127.0.0.1 for the client's tests: it keeps the request
// bytes it received and answers with a canned reply (or never, until told to stop).
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

namespace velmora {

class TTestServer {
 public:
  // answer: reply at all; whole: wait for a whole HTTP request first, else reply to the
  // first bytes, whatever they are.
  explicit TTestServer(std::string reply, bool answer = true, bool whole = true)
      : Reply_(std::move(reply)), Answer_(answer), Whole_(whole) {
    Listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(Listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(Listen_, 1);
    socklen_t size = sizeof a;
    ::getsockname(Listen_, reinterpret_cast<sockaddr*>(&a), &size);
    Port = ntohs(a.sin_port);
    Thread_ = std::thread([this] { Serve(); });
  }
  ~TTestServer() {
    Stop = true;
    Thread_.join();
    ::close(Listen_);
  }
  std::string Url(const std::string& path = "/submit") const {
    return "http://127.0.0.1:" + std::to_string(Port) + path;
  }

  int Port = 0;
  std::string Request;
  std::atomic<bool> Accepted = false;
  std::atomic<bool> Stop = false;

 private:
  // Waits for fd in short steps until Stop.
  bool Ready(int fd) {
    while (!Stop) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 20) > 0) return true;
    }
    return false;
  }
  void Serve() {
    if (!Ready(Listen_)) return;
    const int fd = ::accept(Listen_, nullptr, nullptr);
    Accepted = true;
    char buffer[4096];
    // The whole request: the headers, then as many bytes as they announce.
    for (;;) {
      const size_t head = Request.find("\r\n\r\n");
      if (head != std::string::npos) {
        const size_t at = Request.find("Content-Length: ");
        if (at != std::string::npos &&
            Request.size() >= head + 4 + std::stoul(Request.substr(at + 16)))
          break;
      }
      if (!Ready(fd)) break;
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      Request.append(buffer, static_cast<size_t>(n));
      if (!Whole_) break;
    }
    if (Answer_) {
      for (size_t sent = 0; sent < Reply_.size();) {
        const ssize_t n = ::send(fd, Reply_.data() + sent, Reply_.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
      }
    } else {
      Ready(fd);  // holds the connection until the client drops it or the test ends
    }
    ::close(fd);
  }

  int Listen_ = -1;
  std::string Reply_;
  bool Answer_;
  bool Whole_;
  std::thread Thread_;
};

}  // namespace velmora
