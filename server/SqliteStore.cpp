// The ranking in one SQLite file: the embedded default for a single server process. Each
// submission is one transaction with synchronous writes, so none is lost once answered.
#include <sqlite3.h>

#include <memory>
#include <mutex>
#include <stdexcept>
#include <type_traits>

#include "RankingStore.h"

namespace velmora {

namespace {

using TStatement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

// Schema steps, in order; the file's user_version counts the steps applied. Version 0 is
// the table of the first server, which a new file starts from too, so every file takes the
// same road.
const char* const kMigrations[] = {
    "CREATE TABLE IF NOT EXISTS submissions ("
    " id INTEGER PRIMARY KEY, name TEXT NOT NULL, mail TEXT NOT NULL,"
    " comment TEXT NOT NULL, score INTEGER NOT NULL, machine TEXT NOT NULL,"
    " address TEXT NOT NULL, submitted TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS submissions_by_score ON submissions (score DESC, id);",

    "ALTER TABLE submissions ADD COLUMN code TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE submissions ADD COLUMN at INTEGER NOT NULL DEFAULT 0;"
    "UPDATE submissions SET at = COALESCE(CAST(strftime('%s', submitted) AS INTEGER), 0);"
    "CREATE INDEX submissions_by_address ON submissions (address, at);"
    "CREATE TABLE recent (address TEXT NOT NULL, at INTEGER NOT NULL);"
    "CREATE INDEX recent_by_address ON recent (address, at);"
    "CREATE INDEX recent_by_time ON recent (at);"
    "CREATE TABLE bans (address TEXT PRIMARY KEY, at INTEGER NOT NULL);",
};
constexpr int kSchemaVersion = static_cast<int>(std::size(kMigrations));

class TSqliteStore final : public TRankingStore {
 public:
  explicit TSqliteStore(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &Db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
      const std::runtime_error error = Failure("cannot open " + path);
      sqlite3_close(Db_);
      throw error;
    }
    try {
      sqlite3_busy_timeout(Db_, 5000);
      Exec("PRAGMA synchronous=FULL");
      Migrate();
    } catch (...) {
      sqlite3_close(Db_);
      throw;
    }
  }
  ~TSqliteStore() override { sqlite3_close(Db_); }

  TAddResult Add(const TSubmission& s, const TStoreLimits& limits) override {
    const std::lock_guard lock(Mutex_);
    return InTransaction([&] {
      TAddResult r;
      const TStatement banned = Prepare("SELECT 1 FROM bans WHERE address = ?");
      Bind(banned, 1, s.Address);
      if (sqlite3_step(banned.get()) == SQLITE_ROW) {
        r.Status = TAddStatus::Banned;
        return r;
      }
      const TStatement same = Prepare(
          "SELECT id FROM submissions WHERE address = ? AND at > ? AND name = ? AND score = ?"
          " AND machine = ? AND code = ? ORDER BY id LIMIT 1");
      Bind(same, 1, s.Address);
      sqlite3_bind_int64(same.get(), 2, s.At - limits.RepeatWindow);
      Bind(same, 3, s.Name);
      sqlite3_bind_int64(same.get(), 4, s.Score);
      Bind(same, 5, s.Machine);
      Bind(same, 6, s.Code);
      if (sqlite3_step(same.get()) == SQLITE_ROW) {
        r.Status = TAddStatus::Repeated;
        r.Id = sqlite3_column_int64(same.get(), 0);
        r.Place = Place(s.Score);
        return r;
      }
      const TStatement prune = Prepare("DELETE FROM recent WHERE at <= ?");
      sqlite3_bind_int64(prune.get(), 1, s.At - 60);
      Step(prune, "prune");
      const TStatement recent =
          Prepare("SELECT COUNT(*), MIN(at) FROM recent WHERE address = ? AND at > ?");
      Bind(recent, 1, s.Address);
      sqlite3_bind_int64(recent.get(), 2, s.At - 60);
      if (sqlite3_step(recent.get()) != SQLITE_ROW) throw Failure("recent");
      if (sqlite3_column_int64(recent.get(), 0) >= limits.PerMinute) {
        r.Status = TAddStatus::TooOften;
        r.Wait = std::max<int64_t>(1, sqlite3_column_int64(recent.get(), 1) + 60 - s.At);
        return r;
      }
      const TStatement note = Prepare("INSERT INTO recent (address, at) VALUES (?, ?)");
      Bind(note, 1, s.Address);
      sqlite3_bind_int64(note.get(), 2, s.At);
      Step(note, "recent");
      const TStatement insert = Prepare(
          "INSERT INTO submissions (name, mail, comment, score, machine, address, submitted,"
          " code, at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
      Bind(insert, 1, s.Name);
      Bind(insert, 2, s.Mail);
      Bind(insert, 3, s.Comment);
      sqlite3_bind_int64(insert.get(), 4, s.Score);
      Bind(insert, 5, s.Machine);
      Bind(insert, 6, s.Address);
      Bind(insert, 7, s.Submitted);
      Bind(insert, 8, s.Code);
      sqlite3_bind_int64(insert.get(), 9, s.At);
      Step(insert, "insert");
      r.Id = sqlite3_last_insert_rowid(Db_);
      r.Place = Place(s.Score);
      return r;
    });
  }

  std::vector<TSubmission> Best(int limit) override {
    const std::lock_guard lock(Mutex_);
    const TStatement best = Prepare(
        "SELECT id, name, mail, comment, score, machine, address, submitted, code, at"
        " FROM submissions ORDER BY score DESC, id LIMIT ?");
    sqlite3_bind_int(best.get(), 1, limit);
    std::vector<TSubmission> rows;
    int rc;
    while ((rc = sqlite3_step(best.get())) == SQLITE_ROW) {
      sqlite3_stmt* q = best.get();
      rows.push_back({sqlite3_column_int64(q, 0), Column(q, 1), Column(q, 2), Column(q, 3),
                      sqlite3_column_int64(q, 4), Column(q, 5), Column(q, 6), Column(q, 7),
                      Column(q, 8), sqlite3_column_int64(q, 9)});
    }
    if (rc != SQLITE_DONE) throw Failure("select");
    return rows;
  }

  int64_t Count() override {
    const std::lock_guard lock(Mutex_);
    const TStatement count = Prepare("SELECT COUNT(*) FROM submissions");
    if (sqlite3_step(count.get()) != SQLITE_ROW) throw Failure("count");
    return sqlite3_column_int64(count.get(), 0);
  }

  bool Delete(int64_t id) override {
    const std::lock_guard lock(Mutex_);
    const TStatement erase = Prepare("DELETE FROM submissions WHERE id = ?");
    sqlite3_bind_int64(erase.get(), 1, id);
    Step(erase, "delete");
    return sqlite3_changes(Db_) > 0;
  }

  bool Ban(const std::string& address, int64_t now) override {
    const std::lock_guard lock(Mutex_);
    const TStatement ban = Prepare("INSERT OR IGNORE INTO bans (address, at) VALUES (?, ?)");
    Bind(ban, 1, address);
    sqlite3_bind_int64(ban.get(), 2, now);
    Step(ban, "ban");
    return sqlite3_changes(Db_) > 0;
  }

  bool Unban(const std::string& address) override {
    const std::lock_guard lock(Mutex_);
    const TStatement unban = Prepare("DELETE FROM bans WHERE address = ?");
    Bind(unban, 1, address);
    Step(unban, "unban");
    return sqlite3_changes(Db_) > 0;
  }

  std::vector<std::string> Bans() override {
    const std::lock_guard lock(Mutex_);
    const TStatement bans = Prepare("SELECT address FROM bans ORDER BY address");
    std::vector<std::string> out;
    while (sqlite3_step(bans.get()) == SQLITE_ROW)
      out.push_back(Column(bans.get(), 0));
    return out;
  }

  bool Reachable() override {
    const std::lock_guard lock(Mutex_);
    return sqlite3_exec(Db_, "SELECT 1 FROM submissions LIMIT 1", nullptr, nullptr, nullptr) ==
           SQLITE_OK;
  }

  // A real write, rolled back: a read-only file, a read-only folder (no room for the
  // journal) or a full disk all show here rather than at the first player's submission.
  void CheckWritable() override {
    const std::lock_guard lock(Mutex_);
    if (sqlite3_db_readonly(Db_, "main") == 1)
      throw std::runtime_error("the database file is read-only");
    Exec("BEGIN IMMEDIATE");
    const int rc = sqlite3_exec(Db_,
                                "INSERT INTO recent (address, at) VALUES ('write check', 0);"
                                "DELETE FROM recent WHERE address = 'write check'",
                                nullptr, nullptr, nullptr);
    const std::string reason = sqlite3_errmsg(Db_);
    sqlite3_exec(Db_, "ROLLBACK", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throw std::runtime_error("the database cannot be written: " + reason);
  }

  int SchemaVersion() override {
    const std::lock_guard lock(Mutex_);
    return UserVersion();
  }

 private:
  std::runtime_error Failure(const std::string& what) const {
    return std::runtime_error(what + ": " + (Db_ ? sqlite3_errmsg(Db_) : "out of memory"));
  }
  TStatement Prepare(const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(Db_, sql, -1, &s, nullptr) != SQLITE_OK) throw Failure(sql);
    return TStatement(s, sqlite3_finalize);
  }
  static void Bind(const TStatement& s, int i, const std::string& text) {
    sqlite3_bind_text(s.get(), i, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void Step(const TStatement& s, const char* what) {
    if (sqlite3_step(s.get()) != SQLITE_DONE) throw Failure(what);
  }
  static std::string Column(sqlite3_stmt* s, int i) {
    const unsigned char* text = sqlite3_column_text(s, i);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<size_t>(sqlite3_column_bytes(s, i)))
                : "";
  }
  void Exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(Db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
      const std::string text = message ? message : "unknown error";
      sqlite3_free(message);
      throw std::runtime_error(std::string(sql).substr(0, 80) + ": " + text);
    }
  }
  int UserVersion() {
    const TStatement version = Prepare("PRAGMA user_version");
    if (sqlite3_step(version.get()) != SQLITE_ROW) throw Failure("user_version");
    return sqlite3_column_int(version.get(), 0);
  }
  int64_t Place(int64_t score) {
    const TStatement higher = Prepare("SELECT COUNT(*) FROM submissions WHERE score > ?");
    sqlite3_bind_int64(higher.get(), 1, score);
    if (sqlite3_step(higher.get()) != SQLITE_ROW) throw Failure("count");
    return sqlite3_column_int64(higher.get(), 0) + 1;
  }
  template <class F>
  std::invoke_result_t<F> InTransaction(F&& body) {
    Exec("BEGIN IMMEDIATE");
    try {
      auto result = body();
      Exec("COMMIT");
      return result;
    } catch (...) {
      sqlite3_exec(Db_, "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  }
  // Under the file's write lock, so two servers starting on one file migrate it once.
  void Migrate() {
    if (UserVersion() == kSchemaVersion) return;
    InTransaction([&] {
      const int from = UserVersion();
      if (from > kSchemaVersion)
        throw std::runtime_error("the database is of a newer server (schema " +
                                 std::to_string(from) + ")");
      for (int v = from; v < kSchemaVersion; ++v)
        Exec(kMigrations[v]);
      Exec(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
      return 0;
    });
  }

  std::mutex Mutex_;
  sqlite3* Db_ = nullptr;
};

}  // namespace

std::unique_ptr<TRankingStore> OpenSqliteStore(const std::string& path) {
  return std::make_unique<TSqliteStore>(path);
}

}  // namespace velmora
