// velmora-ranking-server: receives the game's ranking submissions, keeps them in SQLite and
// shows the ranking as a web page.
//   velmora-ranking-server --listen 127.0.0.1:8080 --db ranking.sqlite3
//   velmora-ranking-server --db ranking.sqlite3 --list     (the stored submissions, TSV)
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

#include "RankingHttp.h"
#include "RankingService.h"

namespace {

using namespace velmora;

[[noreturn]] void Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "velmora-ranking-server: " << problem << "\n";
  std::cerr << "usage: velmora-ranking-server --listen HOST:PORT --db FILE\n"
               "       velmora-ranking-server --db FILE --list\n";
  std::exit(2);
}

}  // namespace

int main(int argc, char* argv[]) {
  std::string listen, db;
  bool list = false;
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
    else if (a == "--help" || a == "-h")
      Usage("");
    else
      Usage("unknown option '" + a + "'");
  }
  if (db.empty()) Usage("--db is required");
  try {
    TRankingStore store(db);
    if (list) {
      for (const TSubmission& s : store.Best(1 << 30))
        std::cout << s.Score << '\t' << s.Name << '\t' << s.Mail << '\t' << s.Comment << '\t'
                  << s.Machine << '\t' << s.Address << '\t' << s.Submitted << '\n';
      return 0;
    }
    const size_t colon = listen.rfind(':');
    if (colon == std::string::npos) Usage("--listen needs HOST:PORT");
    std::string host = listen.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
      host = host.substr(1, host.size() - 2);
    int port = 0;
    try {
      port = std::stoi(listen.substr(colon + 1));
    } catch (const std::exception&) {
      Usage("bad port in '" + listen + "'");
    }
    if (port < 0 || port > 65535) Usage("bad port in '" + listen + "'");

    // SIGTERM and SIGINT are taken by a thread of their own, which stops the server; the
    // request being handled finishes first and the database closes afterwards.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    TRankingService service(store);
    TRankingHttpServer server(service);
    const int boundPort = server.Bind(host, port);
    if (boundPort == 0) {
      std::cerr << "velmora-ranking-server: cannot listen on " << listen << "\n";
      return 1;
    }
    std::atomic<bool> stopping = false, finished = false;
    std::thread stopper([&] {
      int signal = 0;
      sigwait(&stopSignals, &signal);
      stopping = true;
      // A signal that comes before the server runs must still stop it once it does.
      while (!finished && !server.Running())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      server.Stop();
    });
    std::cout << "velmora-ranking-server: listening on http://" << host << ":" << boundPort << "/"
              << std::endl;
    const bool ok = server.Listen();
    finished = true;
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
