#include "RankingStore.h"

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

namespace velmora {

namespace {

using TStatement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

std::runtime_error Failure(sqlite3* db, const std::string& what) {
  return std::runtime_error(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

TStatement Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) throw Failure(db, sql);
  return TStatement(s, sqlite3_finalize);
}

std::string Column(sqlite3_stmt* s, int i) {
  const unsigned char* text = sqlite3_column_text(s, i);
  return text ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace

TRankingStore::TRankingStore(const std::string& path) {
  if (sqlite3_open_v2(path.c_str(), &Db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    const std::runtime_error error = Failure(Db_, "cannot open " + path);
    sqlite3_close(Db_);
    throw error;
  }
  sqlite3_busy_timeout(Db_, 5000);
  Exec("PRAGMA synchronous=FULL");
  Exec(
      "CREATE TABLE IF NOT EXISTS submissions ("
      " id INTEGER PRIMARY KEY, name TEXT NOT NULL, mail TEXT NOT NULL,"
      " comment TEXT NOT NULL, score INTEGER NOT NULL, machine TEXT NOT NULL,"
      " address TEXT NOT NULL, submitted TEXT NOT NULL)");
  Exec("CREATE INDEX IF NOT EXISTS submissions_by_score ON submissions (score DESC, id)");
}

TRankingStore::~TRankingStore() {
  sqlite3_close(Db_);
}

void TRankingStore::Exec(const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(Db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message ? message : "unknown error";
    sqlite3_free(message);
    throw std::runtime_error(std::string(sql) + ": " + text);
  }
}

int64_t TRankingStore::Add(const TSubmission& s) {
  const std::lock_guard lock(Mutex_);
  Exec("BEGIN IMMEDIATE");
  try {
    const TStatement insert =
        Prepare(Db_,
                "INSERT INTO submissions (name, mail, comment, score, machine, address, submitted)"
                " VALUES (?, ?, ?, ?, ?, ?, ?)");
    int i = 0;
    for (const std::string* text : {&s.Name, &s.Mail, &s.Comment}) {
      sqlite3_bind_text(insert.get(), ++i, text->c_str(), static_cast<int>(text->size()),
                        SQLITE_TRANSIENT);
    }
    sqlite3_bind_int64(insert.get(), ++i, s.Score);
    for (const std::string* text : {&s.Machine, &s.Address, &s.Submitted}) {
      sqlite3_bind_text(insert.get(), ++i, text->c_str(), static_cast<int>(text->size()),
                        SQLITE_TRANSIENT);
    }
    if (sqlite3_step(insert.get()) != SQLITE_DONE) throw Failure(Db_, "insert");
    const TStatement higher = Prepare(Db_, "SELECT COUNT(*) FROM submissions WHERE score > ?");
    sqlite3_bind_int64(higher.get(), 1, s.Score);
    if (sqlite3_step(higher.get()) != SQLITE_ROW) throw Failure(Db_, "count");
    const int64_t place = sqlite3_column_int64(higher.get(), 0) + 1;
    Exec("COMMIT");
    return place;
  } catch (...) {
    sqlite3_exec(Db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

int64_t TRankingStore::Count() {
  const std::lock_guard lock(Mutex_);
  const TStatement count = Prepare(Db_, "SELECT COUNT(*) FROM submissions");
  if (sqlite3_step(count.get()) != SQLITE_ROW) throw Failure(Db_, "count");
  return sqlite3_column_int64(count.get(), 0);
}

std::vector<TSubmission> TRankingStore::Best(int limit) {
  const std::lock_guard lock(Mutex_);
  const TStatement best =
      Prepare(Db_,
              "SELECT name, mail, comment, score, machine, address, submitted FROM submissions"
              " ORDER BY score DESC, id LIMIT ?");
  sqlite3_bind_int(best.get(), 1, limit);
  std::vector<TSubmission> rows;
  int rc;
  while ((rc = sqlite3_step(best.get())) == SQLITE_ROW) {
    rows.push_back({Column(best.get(), 0), Column(best.get(), 1), Column(best.get(), 2),
                    sqlite3_column_int64(best.get(), 3), Column(best.get(), 4),
                    Column(best.get(), 5), Column(best.get(), 6)});
  }
  if (rc != SQLITE_DONE) throw Failure(Db_, "select");
  return rows;
}

}  // namespace velmora
