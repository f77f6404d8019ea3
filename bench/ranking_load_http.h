// A small blocking HTTP/1.1 client for the ranking server's benchmarks: keep-alive where the
// server allows it, a deadline on every exchange, loopback addresses only.
#pragma once

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace velmora::bench {

using TClock = std::chrono::steady_clock;

inline double Seconds(TClock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// A connected socket to HOST:PORT, or -1.
inline int ConnectTo(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
  int fd = ::socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd >= 0 && ::connect(fd, found->ai_addr, found->ai_addrlen) != 0) {
    ::close(fd);
    fd = -1;
  }
  freeaddrinfo(found);
  if (fd >= 0) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  }
  return fd;
}

inline bool SendAll(int fd, const std::string& bytes) {
  for (size_t sent = 0; sent < bytes.size();) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

// Reads into buffer until it holds more than `have` bytes, the peer closes or the deadline
// passes. False on close, error or deadline.
inline bool ReadMore(int fd, std::string& buffer, TClock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
  if (left.count() <= 0) return false;
  pollfd p{fd, POLLIN, 0};
  if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
  char chunk[16384];
  const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
  if (n <= 0) return false;
  buffer.append(chunk, static_cast<size_t>(n));
  return true;
}

struct TReply {
  int Status = 0;  // 0: no reply
  std::string Head, Body;
  bool KeepAlive = false;
};

inline std::string HeaderValue(const std::string& head, const std::string& name) {
  std::string lower = head;
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const size_t at = lower.find("\r\n" + name + ":");
  if (at == std::string::npos) return {};
  size_t from = at + 3 + name.size();
  while (from < head.size() && head[from] == ' ')
    ++from;
  return head.substr(from, head.find("\r\n", from) - from);
}

// One reply read from fd: head, then a body of Content-Length bytes or up to the close.
// maxBody bounds what is kept (the rest is counted in `received`).
inline TReply ReadReply(int fd, std::string& buffer, TClock::time_point deadline,
                        size_t* received = nullptr) {
  TReply r;
  size_t head;
  while ((head = buffer.find("\r\n\r\n")) == std::string::npos)
    if (!ReadMore(fd, buffer, deadline)) return r;
  r.Head = buffer.substr(0, head + 4);
  buffer.erase(0, head + 4);
  const std::string length = HeaderValue(r.Head, "content-length");
  if (!length.empty()) {
    const size_t n = std::strtoull(length.c_str(), nullptr, 10);
    while (buffer.size() < n)
      if (!ReadMore(fd, buffer, deadline)) return r;
    r.Body = buffer.substr(0, n);
    buffer.erase(0, n);
    r.KeepAlive = HeaderValue(r.Head, "connection") != "close";
  } else {
    while (ReadMore(fd, buffer, deadline))
      ;
    r.Body.swap(buffer);
  }
  if (received) *received = r.Head.size() + r.Body.size();
  r.Status = std::atoi(r.Head.c_str() + r.Head.find(' ') + 1);
  return r;
}

// A client that keeps its connection while the server allows it.
class TClient {
 public:
  TClient(std::string host, int port) : Host_(std::move(host)), Port_(port) {}
  ~TClient() { Close(); }
  TClient(const TClient&) = delete;
  TClient& operator=(const TClient&) = delete;

  TReply Exchange(const std::string& method, const std::string& path,
                  const std::string& headers = "", const std::string& body = "",
                  double timeout = 10) {
    const auto deadline = TClock::now() + std::chrono::duration_cast<TClock::duration>(
                                              std::chrono::duration<double>(timeout));
    std::string request = method + " " + path + " HTTP/1.1\r\nHost: " + Host_ + ":" +
                          std::to_string(Port_) + "\r\n" + headers;
    if (method == "POST")
      request += "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                 std::to_string(body.size()) + "\r\n";
    request += "\r\n" + body;
    // A kept connection the server has closed meanwhile is tried once more on a new one.
    for (int attempt = 0; attempt < 2; ++attempt) {
      const bool reused = Fd_ >= 0;
      if (Fd_ < 0) Fd_ = ConnectTo(Host_, Port_);
      if (Fd_ < 0) return {};
      if (SendAll(Fd_, request)) {
        TReply r = ReadReply(Fd_, Buffer_, deadline);
        if (r.Status != 0) {
          if (!r.KeepAlive) Close();
          return r;
        }
      }
      Close();
      if (!reused) break;
    }
    return {};
  }
  void Close() {
    if (Fd_ >= 0) ::close(Fd_);
    Fd_ = -1;
    Buffer_.clear();
  }

 private:
  std::string Host_;
  int Port_;
  int Fd_ = -1;
  std::string Buffer_;
};

}  // namespace velmora::bench
