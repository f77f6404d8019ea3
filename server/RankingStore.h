// The ranking's submissions in an SQLite file: each accepted one is written in a
// transaction of its own, so none is lost once the server has answered.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

namespace velmora {

struct TSubmission {
  std::string Name;  // UTF-8
  std::string Mail;
  std::string Comment;
  int64_t Score = 0;
  std::string Machine;    // the game's scrambled machine field, as sent
  std::string Address;    // where it came from
  std::string Submitted;  // "2026-01-01 12:00:00" UTC
};

class TRankingStore {
 public:
  // Opens (or creates) the file; throws std::runtime_error with SQLite's reason.
  explicit TRankingStore(const std::string& path);
  ~TRankingStore();
  TRankingStore(const TRankingStore&) = delete;
  TRankingStore& operator=(const TRankingStore&) = delete;

  // Stores it and returns its place: one more than the count of higher totals.
  int64_t Add(const TSubmission& s);
  int64_t Count();
  // The best, highest total first; equal totals in the order they came.
  std::vector<TSubmission> Best(int limit);

 private:
  void Exec(const char* sql);
  std::mutex Mutex_;
  sqlite3* Db_ = nullptr;
};

}  // namespace velmora
