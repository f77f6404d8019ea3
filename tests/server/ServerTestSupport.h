// What the ranking server's tests share: a folder of their own, the game's own form body,
// the databases to run against, and a raw client that can send what no browser would.
#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "RankingHttp.h"
#include "RankingService.h"
#include "RankingStore.h"
#include "engine/Encoding.h"
#include "platform/Platform.h"
#include "ranking/RnkSubmit.h"

namespace velmora::test {

struct TTempDir {
  TTempDir() {
    char name[] = "/tmp/velmora-server-test-XXXXXX";
    Path = ::mkdtemp(name);
  }
  ~TTempDir() { std::filesystem::remove_all(Path); }
  std::string Path;
};

// Just enough of a machine for the game's form: a clock for the check field's scrambling
// and a computer name.
class TTestSystem final : public ISystem {
 public:
  uint32_t TickCount() override { return Now += 16; }
  void Sleep(uint32_t ms) override { Now += ms; }
  std::string DateTimeText() override { return "2026/01/01 0:00:00"; }
  std::string ComputerName() override { return "SERVERTEST"; }
  std::string ProgramFolder() override { return "."; }
  std::string DataFolder() override { return "."; }
  void OpenUrl(const std::string&) override {}
  void ShowHelp(const std::string&) override {}
  uint32_t Now = 1000;
};

// The form the game sends for this total (names in UTF-8, sent as Shift-JIS).
inline std::string GameBody(const std::string& name, int32_t score, const std::string& comment = "",
                            const std::string& mail = "m@x.org") {
  static TTestSystem system;
  return RankingRequestBody(Utf8ToCp932(name), Utf8ToCp932(mail), Utf8ToCp932(comment), score,
                            system);
}

// One field of a form body replaced by raw (already escaped) bytes.
inline std::string WithField(std::string body, const std::string& field, const std::string& raw) {
  const size_t at = body.find(field + "=");
  const size_t end = body.find('&', at);
  body.replace(at + field.size() + 1,
               (end == std::string::npos ? body.size() : end) - at - field.size() - 1, raw);
  return body;
}

inline std::string FieldOf(const std::string& body, const std::string& field) {
  const size_t at = body.find(field + "=") + field.size() + 1;
  return body.substr(at, body.find('&', at) - at);
}

// A connection that sends exactly the bytes given.
class TRawClient {
 public:
  explicit TRawClient(int port) {
    Fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(Fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
      ::close(Fd);
      Fd = -1;
    }
  }
  ~TRawClient() {
    if (Fd >= 0) ::close(Fd);
  }
  bool Send(const std::string& bytes) {
    return Fd >= 0 && ::send(Fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                          static_cast<ssize_t>(bytes.size());
  }
  // Everything until the server closes, or what came within the time.
  std::string ReadAll(double seconds = 5) {
    std::string out;
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    while (Fd >= 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      pollfd p{Fd, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      char chunk[65536];
      const ssize_t n = ::recv(Fd, chunk, sizeof chunk, 0);
      if (n <= 0) break;
      out.append(chunk, static_cast<size_t>(n));
    }
    return out;
  }
  // One reply with a Content-Length, leaving the connection open.
  std::string ReadReply(double seconds = 5) {
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    for (;;) {
      const size_t head = Buffer_.find("\r\n\r\n");
      if (head != std::string::npos) {
        const size_t at = Buffer_.find("Content-Length: ");
        const size_t length = at < head ? std::stoul(Buffer_.substr(at + 16)) : 0;
        if (Buffer_.size() >= head + 4 + length) {
          std::string reply = Buffer_.substr(0, head + 4 + length);
          Buffer_.erase(0, head + 4 + length);
          return reply;
        }
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      pollfd p{Fd, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) return {};
      char chunk[65536];
      const ssize_t n = ::recv(Fd, chunk, sizeof chunk, 0);
      if (n <= 0) return {};
      Buffer_.append(chunk, static_cast<size_t>(n));
    }
  }
  int Fd = -1;

 private:
  std::string Buffer_;
};

inline std::string Post(const std::string& body, const std::string& extraHeaders = "") {
  return "POST /submit HTTP/1.0\r\nHost: 127.0.0.1\r\nContent-Type: "
         "application/x-www-form-urlencoded\r\n" +
         extraHeaders + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

inline int StatusOf(const std::string& reply) {
  return reply.size() > 12 ? std::atoi(reply.c_str() + 9) : 0;
}

inline std::string BodyOf(const std::string& reply) {
  const size_t head = reply.find("\r\n\r\n");
  return head == std::string::npos ? "" : reply.substr(head + 4);
}

// The databases the store tests run against: the SQLite file always; PostgreSQL where
// VELMORA_TEST_POSTGRES names a throw-away database (the CI's cluster).
inline std::string PostgresTarget() {
  const char* target = std::getenv("VELMORA_TEST_POSTGRES");
  return target ? target : "";
}

// A schema of its own in the test database, so every test starts from nothing; the
// cluster is thrown away afterwards. Fails the test when there is no database to use.
inline std::string FreshPostgres() {
  const std::string target = PostgresTarget();
  if (target.empty()) {
    ADD_FAILURE() << "VELMORA_TEST_POSTGRES is not set: run through .ci/postgres.sh";
    return "host=127.0.0.1 port=1 connect_timeout=1";
  }
  static int count = 0;
  const std::string schema = "t" + std::to_string(::getpid()) + "_" + std::to_string(++count);
  PGconn* conn = PQconnectdb(target.c_str());
  PGresult* r = PQexec(conn, ("CREATE SCHEMA " + schema).c_str());
  EXPECT_EQ(PQresultStatus(r), PGRES_COMMAND_OK) << PQerrorMessage(conn);
  PQclear(r);
  PQfinish(conn);
  return target + " options='-csearch_path=" + schema + "'";
}

// A server on 127.0.0.1 with its own thread, for the length of a test.
class TRunningServer {
 public:
  TRunningServer(TRankingService& service, TFrontLimits limits = {}) : Http(service, limits) {
    Port = Http.Bind("127.0.0.1", 0);
    Thread_ = std::thread([this] { Http.Listen(); });
    while (!Http.Running())
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ~TRunningServer() {
    Http.Stop();
    Thread_.join();
  }
  TRankingHttpServer Http;
  int Port = 0;

 private:
  std::thread Thread_;
};

}  // namespace velmora::test
