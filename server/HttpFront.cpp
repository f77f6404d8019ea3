#include "HttpFront.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <httplib.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace velmora {

namespace {

using TClock = std::chrono::steady_clock;

constexpr size_t kLibraryFormLimit = 8192;

// The HTTP library's request handling (parsing, routing, writing a reply) run on a request
// we have already read in whole.
class TRoutes final : public httplib::Server {
 public:
  bool Process(httplib::Stream& stream, bool close, bool& closed) {
    return process_request(stream, close, closed, nullptr);
  }
  int Socket() const { return svr_sock_; }
};

// A stream over one request held in memory; what is written goes to a bounded buffer.
class TBufferStream final : public httplib::Stream {
 public:
  TBufferStream(std::string_view in, std::string& out, size_t maxOut, int fd,
                const std::string& peer, int peerPort)
      : In_(in), Out_(out), MaxOut_(maxOut), Fd_(fd), Peer_(peer), PeerPort_(peerPort) {}
  bool is_readable() const override { return Pos_ < In_.size(); }
  bool is_writable() const override { return true; }
  ssize_t read(char* ptr, size_t size) override {
    size = std::min(size, In_.size() - Pos_);
    std::memcpy(ptr, In_.data() + Pos_, size);
    Pos_ += size;
    return static_cast<ssize_t>(size);
  }
  ssize_t write(const char* ptr, size_t size) override {
    if (Out_.size() + size > MaxOut_) {
      Overflowed = true;
      return -1;
    }
    Out_.append(ptr, size);
    return static_cast<ssize_t>(size);
  }
  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    ip = Peer_;
    port = PeerPort_;
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    ip.clear();
    port = 0;
  }
  socket_t socket() const override { return Fd_; }

  bool Overflowed = false;

 private:
  std::string_view In_;
  size_t Pos_ = 0;
  std::string& Out_;
  size_t MaxOut_;
  int Fd_;
  const std::string& Peer_;
  int PeerPort_;
};

bool IsTokenChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("!#$%&'*+-.^_`|~", c);
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  return s;
}

std::string StatusText(int status) {
  switch (status) {
    case 400:
      return "Bad Request";
    case 408:
      return "Request Timeout";
    case 411:
      return "Length Required";
    case 413:
      return "Payload Too Large";
    case 431:
      return "Request Header Fields Too Large";
    case 500:
      return "Internal Server Error";
    case 503:
      return "Service Unavailable";
    default:
      return "OK";
  }
}

std::string SimpleReply(int status, const std::string& content = {},
                        const std::string& type = "text/plain; charset=utf-8") {
  const std::string body = content.empty() ? StatusText(status) + "\n" : content;
  std::string reply = "HTTP/1.1 " + std::to_string(status) + " " + StatusText(status) +
                      "\r\nContent-Type: " + type +
                      "\r\nContent-Length: " + std::to_string(body.size()) +
                      "\r\nConnection: close\r\n";
  if (status == 503) reply += "Retry-After: 1\r\n";
  return reply + "\r\n" + body;
}

void PeerOf(const sockaddr_storage& a, std::string& ip, int& port) {
  char text[INET6_ADDRSTRLEN] = "";
  if (a.ss_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(&a);
    inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
    port = ntohs(v4->sin_port);
  } else if (a.ss_family == AF_INET6) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&a);
    inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
    port = ntohs(v6->sin6_port);
    // An IPv4 client of a dual-stack socket is named as IPv4, as everywhere else.
    if (std::strncmp(text, "::ffff:", 7) == 0 && std::strchr(text + 7, '.')) {
      ip = text + 7;
      return;
    }
  }
  ip = text;
}

thread_local TAccessRecord* CurrentRecord = nullptr;

}  // namespace

THeadProblem ParseHead(std::string_view head, THead& out) {
  out = THead{};
  const size_t lineEnd = head.find("\r\n");
  if (lineEnd == std::string_view::npos) return THeadProblem::Bad;
  const std::string_view line = head.substr(0, lineEnd);
  const size_t sp1 = line.find(' ');
  const size_t sp2 = sp1 == std::string_view::npos ? sp1 : line.find(' ', sp1 + 1);
  if (sp2 == std::string_view::npos || line.find(' ', sp2 + 1) != std::string_view::npos)
    return THeadProblem::Bad;
  out.Method = line.substr(0, sp1);
  out.Target = line.substr(sp1 + 1, sp2 - sp1 - 1);
  out.Version = line.substr(sp2 + 1);
  if (out.Method.empty() || !std::all_of(out.Method.begin(), out.Method.end(), IsTokenChar) ||
      out.Target.empty() || (out.Version != "HTTP/1.1" && out.Version != "HTTP/1.0"))
    return THeadProblem::Bad;
  for (char c : out.Target)
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F) return THeadProblem::Bad;

  int lengths = 0;
  bool transferCoding = false;
  for (size_t at = lineEnd + 2; at < head.size();) {
    const size_t end = head.find("\r\n", at);
    if (end == std::string_view::npos) return THeadProblem::Bad;
    const std::string_view field = head.substr(at, end - at);
    at = end + 2;
    if (field.empty()) break;
    // A continuation line, a name with spaces before its colon, a bare CR or NUL: each is
    // read differently by different servers, so none is read at all.
    const size_t colon = field.find(':');
    if (colon == std::string_view::npos || colon == 0) return THeadProblem::Bad;
    const std::string_view name = field.substr(0, colon);
    if (!std::all_of(name.begin(), name.end(), IsTokenChar)) return THeadProblem::Bad;
    const std::string_view value = Trim(field.substr(colon + 1));
    for (char c : value)
      if (c == '\r' || c == '\n' || c == '\0') return THeadProblem::Bad;
    if (SameName(name, "Content-Length")) {
      if (++lengths > 1 || value.empty() || value.size() > 18 ||
          !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return THeadProblem::Bad;
      out.ContentLength = std::stoull(std::string(value));
    } else if (SameName(name, "Transfer-Encoding")) {
      transferCoding = true;
    } else if (SameName(name, "Expect")) {
      out.ExpectContinue = SameName(value, "100-continue");
    }
    out.Fields.emplace_back(name, value);
  }
  // The game sends a length; a coded body beside a length is how requests are smuggled.
  if (transferCoding) return lengths ? THeadProblem::Bad : THeadProblem::LengthRequired;
  return THeadProblem::None;
}

struct THttpFront::TImpl {
  TImpl(THttpFront& owner, TFrontLimits limits)
      : Owner(owner),
        Limits(limits),
        Epoll(epoll_create1(EPOLL_CLOEXEC)),
        Wake(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    Routes.set_keep_alive_timeout(std::max<time_t>(
        1, std::chrono::duration_cast<std::chrono::seconds>(limits.KeepAlive).count()));
    Routes.set_keep_alive_max_count(static_cast<size_t>(std::max(1, limits.RequestsPerConnection)));
    Routes.set_payload_max_length(limits.MaxBody);
  }
  ~TImpl() {
    if (Listen >= 0) ::close(Listen);
    if (Wake >= 0) ::close(Wake);
    if (Epoll >= 0) ::close(Epoll);
  }

  enum class TState { Reading, Working, Writing, Draining };

  struct TConnection {
    int Fd = -1;
    uint64_t Serial = 0;
    std::string Peer;
    int PeerPort = 0;
    TState State = TState::Reading;
    std::string In;
    std::string Out;
    size_t Sent = 0;
    TClock::time_point Deadline;
    TClock::time_point Started;  // the current request's first byte
    bool HeadDone = false;
    size_t HeadSize = 0;
    THead Head;
    bool PeerClosed = false;
    bool CloseAfter = false;
    bool Watched = true;  // in the epoll set
    int Served = 0;
    TAccessRecord Record;
  };

  struct TJob {
    int Fd;
    uint64_t Serial;
    std::string Request;
    bool Close;
    std::string Peer;
    int PeerPort;
    TAccessRecord Record;
    TClock::time_point Started;
  };

  struct TDone {
    int Fd;
    uint64_t Serial;
    std::string Reply;
    bool Close;
    TAccessRecord Record;
  };

  THttpFront& Owner;
  TFrontLimits Limits;
  TRoutes Routes;
  int Listen = -1;
  const int Epoll;
  const int Wake;
  std::atomic<bool> StopAsked = false;
  std::atomic<bool> IsRunning = false;
  std::unordered_map<int, std::unique_ptr<TConnection>> Connections;
  uint64_t Serials = 0;
  bool Stopping = false;
  TClock::time_point StopDeadline;
  bool AcceptPaused = false;
  TClock::time_point AcceptAgain;

  std::mutex JobsMutex;
  std::condition_variable JobsReady;
  std::deque<TJob> Jobs;
  bool WorkersQuit = false;
  std::vector<std::thread> Workers;

  std::mutex DoneMutex;
  std::vector<TDone> Done;

  // ---- epoll ----
  void Watch(int fd, uint32_t events, int op) {
    epoll_event e{};
    e.events = events;
    e.data.fd = fd;
    epoll_ctl(Epoll, op, fd, &e);
  }

  // A connection's events; one taken out of the set (see Run) is put back.
  void Watch(TConnection& c, uint32_t events) {
    Watch(c.Fd, events, c.Watched ? EPOLL_CTL_MOD : EPOLL_CTL_ADD);
    c.Watched = true;
  }

  void Close(TConnection& c) {
    if (c.Watched) epoll_ctl(Epoll, EPOLL_CTL_DEL, c.Fd, nullptr);
    ::close(c.Fd);
    Connections.erase(c.Fd);  // c is gone from here on
  }

  void Report(const TAccessRecord& record) {
    if (Owner.Log) Owner.Log(record);
  }

  // ---- reading ----
  void Accept(TClock::time_point now) {
    for (;;) {
      sockaddr_storage address{};
      socklen_t size = sizeof address;
      const int fd = ::accept4(Listen, reinterpret_cast<sockaddr*>(&address), &size,
                               SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) {
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
          // Out of descriptors: stop listening a moment rather than spin on the backlog.
          epoll_ctl(Epoll, EPOLL_CTL_DEL, Listen, nullptr);
          AcceptPaused = true;
          AcceptAgain = now + std::chrono::milliseconds(100);
        }
        return;
      }
      const int on = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      if (Connections.size() >= Limits.MaxConnections) {
        const std::string busy = SimpleReply(503);
        [[maybe_unused]] const ssize_t n =
            ::send(fd, busy.data(), busy.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        ::close(fd);
        continue;
      }
      auto c = std::make_unique<TConnection>();
      c->Fd = fd;
      c->Serial = ++Serials;
      PeerOf(address, c->Peer, c->PeerPort);
      c->Deadline = now + Limits.HeadTimeout;
      c->Started = now;
      Watch(fd, EPOLLIN | EPOLLRDHUP, EPOLL_CTL_ADD);
      Connections.emplace(fd, std::move(c));
    }
  }

  void Readable(TConnection& c, TClock::time_point now) {
    const size_t cap = Limits.MaxHead + Limits.MaxBody + 4096;
    char chunk[16384];
    for (;;) {
      const ssize_t n = ::recv(c.Fd, chunk, sizeof chunk, 0);
      if (n > 0) {
        if (c.State == TState::Draining) continue;
        if (c.In.empty() && !c.HeadDone && c.Served > 0) {
          c.Started = now;
          c.Deadline = now + Limits.HeadTimeout;
        }
        c.In.append(chunk, static_cast<size_t>(n));
        if (c.In.size() > cap) break;  // enough to decide on; the rest waits
        continue;
      }
      if (n == 0) {
        c.PeerClosed = true;
        break;
      }
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) break;
      return Close(c);
    }
    if (c.State == TState::Draining) {
      if (c.PeerClosed) Close(c);
      return;
    }
    if (c.State == TState::Reading) Advance(c, now);
  }

  // Takes the next request out of what has come in, if it is whole.
  void Advance(TConnection& c, TClock::time_point now) {
    if (!c.HeadDone) {
      // Empty lines before a request are allowed and ignored.
      size_t lead = 0;
      while (c.In.compare(lead, 2, "\r\n") == 0)
        lead += 2;
      c.In.erase(0, lead);
      const size_t end = c.In.find("\r\n\r\n");
      if (end == std::string::npos) {
        if (c.In.size() > Limits.MaxHead) return Refuse(c, 431, now);
        if (c.PeerClosed) return Close(c);
        return;
      }
      if (end + 4 > Limits.MaxHead) return Refuse(c, 431, now);
      switch (ParseHead(std::string_view(c.In).substr(0, end + 4), c.Head)) {
        case THeadProblem::Bad:
          return Refuse(c, 400, now);
        case THeadProblem::LengthRequired:
          return Refuse(c, 411, now);
        case THeadProblem::None:
          break;
      }
      c.Record.Method = c.Head.Method;
      c.Record.Path = c.Head.Target.substr(0, c.Head.Target.find('?'));
      c.HeadDone = true;
      c.HeadSize = end + 4;
      c.Deadline = now + Limits.BodyTimeout;
      if (c.Head.ContentLength > Limits.MaxBody) {
        if (!Owner.Oversize) return Refuse(c, 413, now);
        const auto [content, type] = Owner.Oversize(c.Head);
        c.Record.Status = 200;
        return Answer(c, SimpleReply(200, content, type), true, now);
      }
      if (c.Head.ExpectContinue && c.In.size() < c.HeadSize + c.Head.ContentLength) {
        static const std::string kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
        [[maybe_unused]] const ssize_t n =
            ::send(c.Fd, kContinue.data(), kContinue.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
      }
    }
    const size_t whole = c.HeadSize + c.Head.ContentLength;
    if (c.In.size() < whole) {
      if (c.PeerClosed) return Close(c);
      return;
    }
    {
      const std::lock_guard lock(JobsMutex);
      if (Jobs.size() >= Limits.MaxQueued) return Refuse(c, 503, now);
    }
    // The library sees the request without the headers it must not act on.
    std::string request = c.Head.Method + " " + c.Head.Target + " " + c.Head.Version + "\r\n";
    // The library would refuse a form body over its own fixed 8 KiB with a bare status;
    // the handlers read the body themselves, so above that it is not told it is a form.
    const bool bigForm = c.Head.ContentLength > kLibraryFormLimit;
    for (const auto& [name, value] : c.Head.Fields)
      if (!SameName(name, "Range") && !SameName(name, "If-Range") && !SameName(name, "Expect") &&
          !(bigForm && SameName(name, "Content-Type")))
        request += name + ": " + value + "\r\n";
    request += "\r\n";
    request.append(c.In, c.HeadSize, c.Head.ContentLength);
    c.In.erase(0, whole);
    c.HeadDone = false;
    c.State = TState::Working;
    Watch(c, 0);
    const bool close = Stopping || c.PeerClosed || c.Served + 1 >= Limits.RequestsPerConnection;
    TAccessRecord record = c.Record;
    record.Address = c.Peer;
    {
      const std::lock_guard lock(JobsMutex);
      Jobs.push_back({c.Fd, c.Serial, std::move(request), close, c.Peer, c.PeerPort,
                      std::move(record), c.Started});
    }
    JobsReady.notify_one();
  }

  void Refuse(TConnection& c, int status, TClock::time_point now) {
    c.Record.Status = status;
    Answer(c, SimpleReply(status), true, now);
  }

  // ---- writing ----
  void Answer(TConnection& c, std::string reply, bool close, TClock::time_point now) {
    c.Out = std::move(reply);
    c.Sent = 0;
    c.CloseAfter = close || Stopping;
    c.State = TState::Writing;
    c.Deadline = now + Limits.WriteTimeout;
    if (Stopping) c.Deadline = std::min(c.Deadline, StopDeadline);
    c.Record.Address = c.Record.Address.empty() ? c.Peer : c.Record.Address;
    c.Record.Seconds = std::chrono::duration<double>(now - c.Started).count();
    Report(c.Record);
    c.Record = {};
    Flush(c, now);
  }

  void Flush(TConnection& c, TClock::time_point now) {
    while (c.Sent < c.Out.size()) {
      const ssize_t n =
          ::send(c.Fd, c.Out.data() + c.Sent, c.Out.size() - c.Sent, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n > 0) {
        c.Sent += static_cast<size_t>(n);
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        // Not EPOLLRDHUP: a client that has stopped sending may still be reading.
        Watch(c, EPOLLOUT);
        return;
      }
      if (n < 0 && errno == EINTR) continue;
      return Close(c);
    }
    c.Out.clear();
    c.Out.shrink_to_fit();
    if (c.CloseAfter) {
      if (Stopping) return Close(c);
      // Closing with unread input would reset the connection and could take the reply with
      // it: end our side, then read and drop what still comes, briefly.
      ::shutdown(c.Fd, SHUT_WR);
      c.State = TState::Draining;
      c.In.clear();
      c.Deadline = now + std::chrono::seconds(2);
      Watch(c, EPOLLIN | EPOLLRDHUP);
      return;
    }
    ++c.Served;
    c.State = TState::Reading;
    c.Started = now;
    c.Deadline = now + (c.In.empty() ? Limits.KeepAlive : Limits.HeadTimeout);
    Watch(c, EPOLLIN | EPOLLRDHUP);
    if (!c.In.empty()) Advance(c, now);
  }

  void Finished(TClock::time_point now) {
    std::vector<TDone> done;
    {
      const std::lock_guard lock(DoneMutex);
      done.swap(Done);
    }
    for (TDone& d : done) {
      const auto found = Connections.find(d.Fd);
      if (found == Connections.end() || found->second->Serial != d.Serial) continue;
      TConnection& c = *found->second;
      c.Record = std::move(d.Record);
      if (d.Reply.empty()) {
        c.Record.Status = 500;
        d.Reply = SimpleReply(500);
        d.Close = true;
      }
      Answer(c, std::move(d.Reply), d.Close, now);
    }
  }

  // ---- deadlines and stopping ----
  void Expire(TClock::time_point now) {
    std::vector<TConnection*> late;
    for (auto& [fd, c] : Connections)
      if (c->State != TState::Working && c->Deadline <= now) late.push_back(c.get());
    for (TConnection* c : late) {
      if (c->State == TState::Reading && !c->In.empty() && !Stopping) {
        Refuse(*c, 408, now);
      } else {
        Close(*c);
      }
    }
  }

  void BeginStop(TClock::time_point now) {
    Stopping = true;
    StopDeadline = now + Limits.StopGrace;
    if (!AcceptPaused) epoll_ctl(Epoll, EPOLL_CTL_DEL, Listen, nullptr);
    ::close(Listen);
    Listen = -1;
    std::vector<TConnection*> idle;
    for (auto& [fd, c] : Connections) {
      if (c->State == TState::Writing)
        c->Deadline = std::min(c->Deadline, StopDeadline), c->CloseAfter = true;
      else if (c->State != TState::Working)
        idle.push_back(c.get());
    }
    for (TConnection* c : idle)
      Close(*c);
  }

  // ---- workers ----
  void Work() {
    for (;;) {
      TJob job;
      {
        std::unique_lock lock(JobsMutex);
        JobsReady.wait(lock, [&] { return WorkersQuit || !Jobs.empty(); });
        if (Jobs.empty()) return;
        job = std::move(Jobs.front());
        Jobs.pop_front();
      }
      TDone done{job.Fd, job.Serial, {}, job.Close, std::move(job.Record)};
      CurrentRecord = &done.Record;
      TBufferStream stream(job.Request, done.Reply, Limits.MaxReply, job.Fd, job.Peer,
                           job.PeerPort);
      bool closed = false;
      bool ok = false;
      try {
        ok = Routes.Process(stream, job.Close, closed);
      } catch (...) {
        ok = false;
      }
      CurrentRecord = nullptr;
      // A reply over the bound is not sent in part: the client gets a plain 500.
      if (stream.Overflowed) done.Reply.clear();
      done.Close = job.Close || closed || !ok;
      {
        const std::lock_guard lock(DoneMutex);
        Done.push_back(std::move(done));
      }
      const uint64_t one = 1;
      [[maybe_unused]] const ssize_t n = ::write(Wake, &one, sizeof one);
    }
  }

  bool Run() {
    if (Epoll < 0 || Wake < 0 || Listen < 0) return false;
    Watch(Listen, EPOLLIN, EPOLL_CTL_ADD);
    Watch(Wake, EPOLLIN, EPOLL_CTL_ADD);
    WorkersQuit = false;
    for (int i = 0; i < std::max(1, Limits.Workers); ++i)
      Workers.emplace_back([this] { Work(); });
    IsRunning = true;
    std::vector<epoll_event> events(256);
    for (;;) {
      const int n = epoll_wait(Epoll, events.data(), static_cast<int>(events.size()), 50);
      const TClock::time_point now = TClock::now();
      if (StopAsked && !Stopping) BeginStop(now);
      for (int i = 0; i < n; ++i) {
        const int fd = events[i].data.fd;
        if (fd == Listen) {
          if (!Stopping) Accept(now);
          continue;
        }
        if (fd == Wake) {
          uint64_t count;
          [[maybe_unused]] const ssize_t r = ::read(Wake, &count, sizeof count);
          continue;
        }
        const auto found = Connections.find(fd);
        if (found == Connections.end()) continue;
        TConnection& c = *found->second;
        if (c.State == TState::Writing) {
          if (events[i].events & (EPOLLERR | EPOLLHUP)) {
            Close(c);
          } else if (events[i].events & EPOLLOUT) {
            Flush(c, now);
          }
        } else if (c.State != TState::Working) {
          Readable(c, now);
        } else {
          // A hang-up is reported whatever was asked for: while a worker has the request,
          // leave the connection out of the set rather than be woken for it again and again.
          epoll_ctl(Epoll, EPOLL_CTL_DEL, fd, nullptr);
          c.Watched = false;
        }
      }
      Finished(now);
      Expire(now);
      if (AcceptPaused && !Stopping && now >= AcceptAgain) {
        AcceptPaused = false;
        Watch(Listen, EPOLLIN, EPOLL_CTL_ADD);
      }
      if (Stopping) {
        bool working = false;
        {
          const std::lock_guard lock(JobsMutex);
          working = !Jobs.empty();
        }
        for (auto& [fd, c] : Connections)
          working = working || c->State == TState::Working;
        if (!working && (Connections.empty() || now >= StopDeadline)) break;
      }
    }
    {
      const std::lock_guard lock(JobsMutex);
      WorkersQuit = true;
    }
    JobsReady.notify_all();
    for (std::thread& t : Workers)
      t.join();
    Workers.clear();
    while (!Connections.empty())
      Close(*Connections.begin()->second);
    epoll_ctl(Epoll, EPOLL_CTL_DEL, Wake, nullptr);
    IsRunning = false;
    return true;
  }
};

THttpFront::THttpFront(TFrontLimits limits) : Impl_(std::make_unique<TImpl>(*this, limits)) {
  Impl_->Routes.set_logger([](const httplib::Request&, const httplib::Response& res) {
    if (CurrentRecord) CurrentRecord->Status = res.status;
  });
}

THttpFront::~THttpFront() = default;

httplib::Server& THttpFront::Routes() {
  return Impl_->Routes;
}

int THttpFront::Bind(const std::string& host, int port) {
  int bound = 0;
  if (port == 0) {
    bound = Impl_->Routes.bind_to_any_port(host);
  } else if (Impl_->Routes.bind_to_port(host, port)) {
    bound = port;
  }
  if (bound <= 0) return 0;
  Impl_->Listen = Impl_->Routes.Socket();
  // The library's own backlog is tiny; a second listen() only changes it.
  ::listen(Impl_->Listen, Impl_->Limits.Backlog);
  const int flags = fcntl(Impl_->Listen, F_GETFL);
  fcntl(Impl_->Listen, F_SETFL, flags | O_NONBLOCK);
  return bound;
}

bool THttpFront::Run() {
  return Impl_->Run();
}

bool THttpFront::Running() const {
  return Impl_->IsRunning;
}

void THttpFront::Stop() {
  Impl_->StopAsked = true;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(Impl_->Wake, &one, sizeof one);
}

void THttpFront::NoteClientAddress(const std::string& address) {
  if (CurrentRecord) CurrentRecord->Address = address;
}

}  // namespace velmora
