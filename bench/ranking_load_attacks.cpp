// The ranking server under the attacks it must survive, measured: a page read's latency
// while slow and idle connections are open, the reply size of a many-range request, the
// server's peak memory, page reads per second, and the time from SIGTERM to exit while a
// client drip-feeds a request. Loopback only; every step is bounded in time.
//
// Usage: ranking_load_attacks --port PORT [--host 127.0.0.1] [--pid PID] [--sigterm]
//          [--clients 16] [--seconds 5] [--throughput-only]
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include "ranking_load_http.h"

namespace {

using namespace velmora::bench;

std::string Host = "127.0.0.1";
int Port = 0;
int Pid = 0;

long PeakMemoryKb() {
  if (Pid == 0) return -1;
  std::ifstream status("/proc/" + std::to_string(Pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

double PageRead(double timeout) {
  TClient client(Host, Port);
  const auto start = TClock::now();
  const TReply r = client.Exchange("GET", "/", "Connection: close\r\n", "", timeout);
  const double took = Seconds(TClock::now() - start);
  return r.Status == 200 ? took : -took;
}

// Connections that send a request one byte a second for as long as the server listens.
class TDripFeeders {
 public:
  explicit TDripFeeders(int count) {
    for (int i = 0; i < count; ++i)
      Threads_.emplace_back([this] {
        const int fd = ConnectTo(Host, Port);
        const std::string request = "GET / HTTP/1.1\r\nX-Padding: " + std::string(4000, 'a');
        for (size_t i = 0; fd >= 0 && i < request.size() && !Stop_; ++i) {
          if (::send(fd, &request[i], 1, MSG_NOSIGNAL) != 1) break;
          for (int t = 0; t < 10 && !Stop_; ++t)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (fd >= 0) ::close(fd);
      });
  }
  ~TDripFeeders() {
    Stop_ = true;
    for (auto& t : Threads_)
      t.join();
  }

 private:
  std::atomic<bool> Stop_ = false;
  std::vector<std::thread> Threads_;
};

void SlowAndIdle() {
  std::vector<int> idle;
  for (int i = 0; i < 100; ++i)
    idle.push_back(ConnectTo(Host, Port));
  TDripFeeders slow(10);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  std::vector<double> latencies;
  for (int i = 0; i < 5; ++i)
    latencies.push_back(PageRead(70));
  std::printf("page read with 10 slow + 100 idle connections open:");
  for (double l : latencies)
    std::printf(" %.3f s%s", std::fabs(l), l < 0 ? " (failed)" : "");
  std::printf("\n");
  for (int fd : idle)
    if (fd >= 0) ::close(fd);
}

std::string ManyRanges(int parts) {
  std::string ranges = "Range: bytes=0-";
  for (int i = 1; i < parts; ++i)
    ranges += ",0-";
  return ranges + "\r\n";
}

void RangeAmplification() {
  const auto rangeRequest = [](int parts) {
    const int fd = ConnectTo(Host, Port);
    if (fd < 0) return size_t{0};
    SendAll(fd, "GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + ManyRanges(parts) + "\r\n");
    std::string buffer;
    const auto deadline = TClock::now() + std::chrono::seconds(60);
    size_t total = 0;
    while (ReadMore(fd, buffer, deadline)) {
      total += buffer.size();
      buffer.clear();
    }
    ::close(fd);
    return total;
  };
  const size_t plain = rangeRequest(1);
  std::printf("reply to 1 range: %zu bytes; to 500 ranges: %zu bytes\n", plain, rangeRequest(500));
  std::vector<std::thread> eight;
  for (int i = 0; i < 8; ++i)
    eight.emplace_back([&] { rangeRequest(500); });
  for (auto& t : eight)
    t.join();
  std::printf("peak memory after eight 500-range requests at once: %ld KiB\n", PeakMemoryKb());
}

void Throughput(int clients, double seconds, bool keepAlive) {
  std::atomic<long> done = 0, failed = 0;
  const auto end = TClock::now() + std::chrono::duration_cast<TClock::duration>(
                                       std::chrono::duration<double>(seconds));
  std::vector<std::thread> threads;
  for (int i = 0; i < clients; ++i)
    threads.emplace_back([&] {
      TClient client(Host, Port);
      const std::string headers = keepAlive ? "" : "Connection: close\r\n";
      while (TClock::now() < end)
        (client.Exchange("GET", "/", headers).Status == 200 ? done : failed)++;
    });
  for (auto& t : threads)
    t.join();
  std::printf("page reads, %d clients, %s, %.0f s: %.0f requests/s, %ld failed\n", clients,
              keepAlive ? "kept connections" : "a connection each", seconds, done / seconds,
              failed.load());
}

bool Gone(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(stat, text)) return true;
  const size_t paren = text.rfind(')');
  return paren != std::string::npos && paren + 2 < text.size() && text[paren + 2] == 'Z';
}

void SigtermWhileDripping() {
  TDripFeeders drip(1);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const auto start = TClock::now();
  ::kill(Pid, SIGTERM);
  while (!Gone(Pid) && TClock::now() - start < std::chrono::seconds(60))
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::printf("SIGTERM to exit with a drip-feeding client: %.3f s%s\n",
              Seconds(TClock::now() - start), Gone(Pid) ? "" : " (still running)");
}

}  // namespace

int main(int argc, char* argv[]) {
  bool sigterm = false, throughputOnly = false;
  int clients = 16;
  double seconds = 5;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const auto next = [&] { return i + 1 < argc ? std::string(argv[++i]) : std::string(); };
    if (a == "--port")
      Port = std::atoi(next().c_str());
    else if (a == "--host")
      Host = next();
    else if (a == "--pid")
      Pid = std::atoi(next().c_str());
    else if (a == "--throughput-only")
      throughputOnly = true;
    else if (a == "--sigterm")
      sigterm = true;
    else if (a == "--clients")
      clients = std::atoi(next().c_str());
    else if (a == "--seconds")
      seconds = std::atof(next().c_str());
    else {
      std::fprintf(stderr,
                   "usage: ranking_load_attacks --port PORT [--host H] [--pid PID] "
                   "[--sigterm] [--clients N] [--seconds S] [--throughput-only]\n");
      return 2;
    }
  }
  if (Port <= 0 || (sigterm && Pid == 0)) {
    std::fprintf(stderr, "ranking_load_attacks: --port is required (and --pid with --sigterm)\n");
    return 2;
  }
  std::printf("page read, quiet server: %.3f s\n", std::fabs(PageRead(10)));
  Throughput(clients, seconds, false);
  Throughput(clients, seconds, true);
  if (throughputOnly) return 0;
  SlowAndIdle();
  RangeAmplification();
  if (sigterm) SigtermWhileDripping();
  return 0;
}
