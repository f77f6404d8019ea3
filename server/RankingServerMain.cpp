// velmora-ranking-server: receives the game's ranking submissions, keeps them in a database
// and shows the ranking as a web page.
//   velmora-ranking-server --listen 127.0.0.1:8080 --db ranking.sqlite3
//   velmora-ranking-server --db ranking.sqlite3 --list     (the stored submissions, TSV)
#include <signal.h>
#include <sys/resource.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

#include "Address.h"
#include "RankingHttp.h"
#include "RankingService.h"

namespace {

using namespace velmora;

[[noreturn]] void Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "velmora-ranking-server: " << problem << "\n";
  std::cerr << "usage: velmora-ranking-server --listen HOST:PORT --db FILE\n"
               "       velmora-ranking-server --db FILE --list\n"
               "       velmora-ranking-server --db FILE --delete ID\n"
               "       velmora-ranking-server --db FILE --ban ADDRESS | --unban ADDRESS | --bans\n";
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
  std::string listen, db, deleteId, ban, unban;
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
    TRankingService service(*store);
    TRankingHttpServer server(service, limits);
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
