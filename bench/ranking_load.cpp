// The ranking server under a community's load: starts N server processes on one database,
// then C clients, each a player behind a trusted proxy (its own address in
// X-Forwarded-For), post valid submissions and read the ranking page for T seconds, each
// client talking to one process as a load balancer would spread them. Prints requests/s,
// accepted submissions/s, p50 and p99 latency and errors, then checks that every accepted
// submission is in the database exactly once. Loopback only, bounded in time.
//
// Usage: ranking_load --server PATH --db TARGET [--processes 1] [--clients 16]
//          [--seconds 10] [--keep]
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "engine/Encoding.h"
#include "platform/headless/Headless.h"
#include "ranking/RnkSubmit.h"
#include "ranking_load_http.h"

namespace {

using namespace velmora::bench;

struct TProcess {
  pid_t Pid = 0;
  int Port = 0;
  std::string Log;
};

TProcess StartServer(const std::string& server, const std::string& db, int index) {
  TProcess p;
  p.Log = "/tmp/ranking_load." + std::to_string(getpid()) + "." + std::to_string(index) + ".log";
  p.Pid = fork();
  if (p.Pid == 0) {
    const int fd = open(p.Log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, 1);
    dup2(fd, 2);
    execl(server.c_str(), server.c_str(), "--listen", "127.0.0.1:0", "--db", db.c_str(),
          "--trusted-proxy", "127.0.0.1", static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 200 && p.Port == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream log(p.Log);
    std::string line;
    while (std::getline(log, line)) {
      const size_t at = line.find("listening on http://127.0.0.1:");
      if (at != std::string::npos) p.Port = std::atoi(line.c_str() + at + 30);
    }
  }
  return p;
}

void StopServer(const TProcess& p) {
  kill(p.Pid, SIGTERM);
  int status = 0;
  waitpid(p.Pid, &status, 0);
  unlink(p.Log.c_str());
}

double Percentile(std::vector<double>& v, double q) {
  if (v.empty()) return 0;
  const size_t at = std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())));
  std::nth_element(v.begin(), v.begin() + static_cast<long>(at), v.end());
  return v[at];
}

}  // namespace

int main(int argc, char* argv[]) {
  std::string server, db;
  int processes = 1, clients = 16;
  double seconds = 10;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const auto next = [&] { return i + 1 < argc ? std::string(argv[++i]) : std::string(); };
    if (a == "--server")
      server = next();
    else if (a == "--db")
      db = next();
    else if (a == "--processes")
      processes = std::atoi(next().c_str());
    else if (a == "--clients")
      clients = std::atoi(next().c_str());
    else if (a == "--seconds")
      seconds = std::atof(next().c_str());
    else
      server.clear(), i = argc;
  }
  if (server.empty() || db.empty() || processes < 1 || processes > 8 || clients < 1 ||
      clients > 256 || seconds <= 0 || seconds > 300) {
    std::fprintf(stderr,
                 "usage: ranking_load --server PATH --db TARGET [--processes 1..8] "
                 "[--clients 1..256] [--seconds 1..300]\n");
    return 2;
  }
  std::vector<TProcess> servers;
  for (int i = 0; i < processes; ++i) {
    servers.push_back(StartServer(server, db, i));
    if (servers.back().Port == 0) {
      std::fprintf(stderr, "ranking_load: server %d did not start\n", i);
      for (const TProcess& p : servers)
        StopServer(p);
      return 1;
    }
  }

  std::mutex mutex;  // the check code's scrambler keeps state of its own
  velmora::THeadlessSystem system;
  std::atomic<long> requests = 0, accepted = 0, errors = 0;
  std::vector<std::vector<double>> latencies(static_cast<size_t>(clients));
  std::vector<std::vector<std::string>> names(static_cast<size_t>(clients));
  const auto end = TClock::now() + std::chrono::duration_cast<TClock::duration>(
                                       std::chrono::duration<double>(seconds));
  std::vector<std::thread> threads;
  for (int c = 0; c < clients; ++c)
    threads.emplace_back([&, c] {
      TClient client("127.0.0.1", servers[static_cast<size_t>(c % processes)].Port);
      for (int n = 0; TClock::now() < end; ++n) {
        const bool submit = n % 2 == 0;
        std::string headers, body;
        std::string name;
        if (submit) {
          // A player address of its own for every five submissions: under the limit.
          const int k = n / 2;
          headers = "X-Forwarded-For: 10." + std::to_string(c) + "." +
                    std::to_string(k / 5 / 256 % 256) + "." + std::to_string(k / 5 % 256) + "\r\n";
          name = "c" + std::to_string(c) + "n" + std::to_string(k);
          const std::lock_guard lock(mutex);
          body = velmora::RankingRequestBody(name, "", "", 1000 + (c * 7919 + k * 104729) % 900000,
                                             system);
        }
        const auto start = TClock::now();
        const TReply r =
            client.Exchange(submit ? "POST" : "GET", submit ? "/submit" : "/", headers, body, 30);
        latencies[static_cast<size_t>(c)].push_back(Seconds(TClock::now() - start));
        ++requests;
        if (r.Status != 200) {
          ++errors;
        } else if (submit) {
          if (r.Body.rfind("CMD_MES,", 0) == 0) {
            ++accepted;
            names[static_cast<size_t>(c)].push_back(name);
          } else {
            ++errors;
          }
        }
      }
    });
  for (std::thread& t : threads)
    t.join();
  for (const TProcess& p : servers)
    StopServer(p);

  std::vector<double> all;
  for (const auto& l : latencies)
    all.insert(all.end(), l.begin(), l.end());
  std::printf(
      "%d process%s, %d clients, %.0f s: %.0f requests/s, %.1f accepted submissions/s, "
      "p50 %.1f ms, p99 %.1f ms, %ld errors\n",
      processes, processes == 1 ? "" : "es", clients, seconds, requests / seconds,
      accepted / seconds, Percentile(all, 0.5) * 1000, Percentile(all, 0.99) * 1000, errors.load());

  // Every accepted submission in the database exactly once.
  const std::string list = "'" + server + "' --db '" + db + "' --list";
  FILE* pipe = popen(list.c_str(), "r");
  std::map<std::string, int> stored;
  char line[4096];
  while (pipe && std::fgets(line, sizeof line, pipe)) {
    std::istringstream fields(line);
    std::string id, score, name;
    std::getline(fields, id, '\t');
    std::getline(fields, score, '\t');
    std::getline(fields, name, '\t');
    ++stored[name];
  }
  if (pipe) pclose(pipe);
  long missing = 0, doubled = 0;
  for (const auto& list : names)
    for (const std::string& name : list) {
      const int count = stored[name];
      missing += count == 0;
      doubled += count > 1;
    }
  std::printf("accepted %ld: %ld missing, %ld stored more than once\n", accepted.load(), missing,
              doubled);
  return errors == 0 && missing == 0 && doubled == 0 ? 0 : 1;
}
