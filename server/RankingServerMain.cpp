// velmora-ranking-server: receives the game's ranking submissions, keeps them in a database
// and shows the ranking as a web page.
//   velmora-ranking-server --listen 127.0.0.1:8080 --db ranking.sqlite3
//   velmora-ranking-server --listen 127.0.0.1:8080 --db postgresql://ranking@db/ranking
//   velmora-ranking-server --config /etc/velmora/ranking.conf
//   velmora-ranking-server --db ranking.sqlite3 --list     (the stored submissions, TSV)
#include <signal.h>
#include <sys/resource.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <thread>

#include "Address.h"
#include "RankingHttp.h"
#include "RankingService.h"

namespace {

using namespace velmora;

[[noreturn]] void Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "velmora-ranking-server: " << problem << "\n";
  std::cerr
      << "usage: velmora-ranking-server --listen HOST:PORT --db DATABASE\n"
         "         [--trusted-proxy ADDRESS]... [--workers N] [--config FILE]\n"
         "       velmora-ranking-server --db DATABASE --list\n"
         "       velmora-ranking-server --db DATABASE --delete ID\n"
         "       velmora-ranking-server --db DATABASE --ban ADDRESS | --unban ADDRESS | --bans\n"
         "DATABASE: an SQLite file, or postgresql://... or a libpq keyword string\n"
         "FILE: lines 'key = value' with the options' names as keys (listen, db,\n"
         "      trusted-proxy, workers); options given on the command line win\n";
  std::exit(2);
}

int64_t Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// Every connection is a descriptor: take what the system allows, and never promise more
// connections than that.
size_t RaiseDescriptorLimit(size_t wanted) {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return wanted;
  if (limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    getrlimit(RLIMIT_NOFILE, &limit);
  }
  if (limit.rlim_cur == RLIM_INFINITY) return wanted;
  const size_t room = limit.rlim_cur > 64 ? static_cast<size_t>(limit.rlim_cur) - 64 : 16;
  return std::min(wanted, room);
}

// The access log: one line a request on standard output.
void LogLine(const TAccessRecord& r) {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&now, &tm);
  char when[32];
  std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &tm);
  std::printf("%s %s %s %s %d %.1fms\n", when, EscapeField(r.Address).c_str(),
              r.Method.empty() ? "-" : EscapeField(r.Method).c_str(),
              r.Path.empty() ? "-" : EscapeField(r.Path).c_str(), r.Status, r.Seconds * 1000);
  std::fflush(stdout);
}

// "key = value" lines; blank lines and lines starting with '#' are skipped.
std::multimap<std::string, std::string> ReadConfig(const std::string& path) {
  std::ifstream in(path);
  if (!in) Usage("cannot read " + path);
  std::multimap<std::string, std::string> out;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const auto trim = [](std::string t) {
      const size_t first = t.find_first_not_of(" \t\r");
      const size_t last = t.find_last_not_of(" \t\r");
      return first == std::string::npos ? std::string() : t.substr(first, last - first + 1);
    };
    const std::string text = trim(line);
    if (text.empty() || text[0] == '#') continue;
    const size_t eq = text.find('=');
    if (eq == std::string::npos)
      Usage(path + ":" + std::to_string(number) + ": expected 'key = value'");
    out.emplace(trim(text.substr(0, eq)), trim(text.substr(eq + 1)));
  }
  return out;
}

int List(TRankingStore& store) {
  for (const TSubmission& s : store.Best(1 << 30))
    std::cout << s.Id << '\t' << s.Score << '\t' << EscapeField(s.Name) << '\t'
              << EscapeField(s.Mail) << '\t' << EscapeField(s.Comment) << '\t'
              << EscapeField(s.Machine) << '\t' << EscapeField(s.Address) << '\t'
              << EscapeField(s.Submitted) << '\n';
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  std::string listen, db, deleteId, ban, unban, config, workers;
  std::vector<std::string> proxies;
  bool list = false, bans = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) Usage(a + " needs a value");
      return argv[++i];
    };
    if (a == "--listen")
      listen = value();
    else if (a == "--db")
      db = value();
    else if (a == "--trusted-proxy")
      proxies.push_back(value());
    else if (a == "--workers")
      workers = value();
    else if (a == "--config")
      config = value();
    else if (a == "--list")
      list = true;
    else if (a == "--delete")
      deleteId = value();
    else if (a == "--ban")
      ban = value();
    else if (a == "--unban")
      unban = value();
    else if (a == "--bans")
      bans = true;
    else if (a == "--help" || a == "-h")
      Usage("");
    else
      Usage("unknown option '" + a + "'");
  }
  if (!config.empty()) {
    for (const auto& [key, value] : ReadConfig(config)) {
      if (key == "listen") {
        if (listen.empty()) listen = value;
      } else if (key == "db") {
        if (db.empty()) db = value;
      } else if (key == "workers") {
        if (workers.empty()) workers = value;
      } else if (key == "trusted-proxy") {
        proxies.push_back(value);
      } else {
        Usage(config + ": unknown key '" + key + "'");
      }
    }
  }
  if (db.empty()) Usage("--db is required");
  const int tools = list + bans + !deleteId.empty() + !ban.empty() + !unban.empty();
  if (tools > 1 || (tools == 1 && !listen.empty()))
    Usage("give one of --listen, --list, --delete, --ban, --unban, --bans");
  std::optional<THostPort> where;
  if (tools == 0) {
    if (listen.empty()) Usage("--listen HOST:PORT is required");
    where = ParseHostPort(listen);
    if (!where) Usage("bad address '" + listen + "' (HOST:PORT, [IPv6]:PORT, port 0 ... 65535)");
  }
  try {
    const std::unique_ptr<TRankingStore> store = OpenRankingStore(db);
    if (list) return List(*store);
    if (bans) {
      for (const std::string& address : store->Bans())
        std::cout << EscapeField(address) << '\n';
      return 0;
    }
    if (!deleteId.empty()) {
      int64_t id = 0;
      const auto [end, error] =
          std::from_chars(deleteId.data(), deleteId.data() + deleteId.size(), id);
      if (error != std::errc() || end != deleteId.data() + deleteId.size())
        Usage("bad id '" + deleteId + "'");
      if (!store->Delete(id)) {
        std::cerr << "velmora-ranking-server: no submission " << id << "\n";
        return 1;
      }
      std::cout << "velmora-ranking-server: deleted " << id << std::endl;
      return 0;
    }
    if (!ban.empty()) {
      std::cout << "velmora-ranking-server: "
                << (store->Ban(ban, Now()) ? "banned " : "already banned ") << EscapeField(ban)
                << std::endl;
      return 0;
    }
    if (!unban.empty()) {
      const bool was = store->Unban(unban);
      std::cout << "velmora-ranking-server: " << (was ? "unbanned " : "was not banned: ")
                << EscapeField(unban) << std::endl;
      return was ? 0 : 1;
    }
    // Better now, with a clear reason, than at the first player's submission.
    store->CheckWritable();

    // SIGTERM and SIGINT are taken by a thread of their own, which stops the server; the
    // requests being handled finish first and the database closes afterwards.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    TFrontLimits limits;
    limits.MaxConnections = RaiseDescriptorLimit(limits.MaxConnections);
    if (!workers.empty()) {
      limits.Workers = std::atoi(workers.c_str());
      if (limits.Workers < 1 || limits.Workers > 256) Usage("--workers takes 1 to 256");
    }
    TRankingService service(*store);
    TRankingHttpServer server(service, limits, proxies);
    server.Front().Log = LogLine;
    if (server.Bind(where->Host, where->Port) == 0) {
      std::cerr << "velmora-ranking-server: cannot listen on " << listen << "\n";
      return 1;
    }
    std::atomic<bool> stopping = false;
    std::thread stopper([&] {
      int signal = 0;
      sigwait(&stopSignals, &signal);
      stopping = true;
      server.Stop();
    });
    std::cout << "velmora-ranking-server: listening on " << server.Url() << std::endl;
    const bool ok = server.Listen();
    // A listen that ended by itself leaves the signal thread waiting: wake it.
    if (!stopping) pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    std::cout << "velmora-ranking-server: stopped" << std::endl;
    return ok ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << "velmora-ranking-server: " << e.what() << "\n";
    return 1;
  }
}
