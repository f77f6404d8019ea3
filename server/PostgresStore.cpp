// The ranking in PostgreSQL, for a community that runs several server processes on one
// database. A submission is one call of a function in the database, one round trip: it
// takes a transaction lock of its own, so places and the per-address limit are decided one
// submission at a time across every process, while page reads never wait for it.
#include <libpq-fe.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "RankingStore.h"

namespace velmora {

namespace {

// Advisory lock keys, fixed for every process of this server: one for migrations, and
// 7361420 (in velmora_submit) for submissions.
constexpr const char* kMigrationLock = "7361419";

const char* const kMigrations[] = {
    "CREATE TABLE submissions ("
    " id BIGSERIAL PRIMARY KEY, name TEXT NOT NULL, mail TEXT NOT NULL,"
    " comment TEXT NOT NULL, score BIGINT NOT NULL, machine TEXT NOT NULL,"
    " address TEXT NOT NULL, submitted TEXT NOT NULL, code TEXT NOT NULL,"
    " at BIGINT NOT NULL);"
    "CREATE INDEX submissions_by_score ON submissions (score DESC, id);"
    "CREATE INDEX submissions_by_address ON submissions (address, at);"
    "CREATE TABLE recent (address TEXT NOT NULL, at BIGINT NOT NULL);"
    "CREATE INDEX recent_by_address ON recent (address, at);"
    "CREATE INDEX recent_by_time ON recent (at);"
    "CREATE TABLE bans (address TEXT PRIMARY KEY, at BIGINT NOT NULL);"
    // status: 0 stored, 1 a retry of a stored one, 2 too often, 3 banned.
    "CREATE FUNCTION velmora_submit(p_name TEXT, p_mail TEXT, p_comment TEXT, p_score BIGINT,"
    "  p_machine TEXT, p_address TEXT, p_submitted TEXT, p_code TEXT, p_at BIGINT,"
    "  p_per_minute INT, p_window BIGINT,"
    "  OUT status INT, OUT sid BIGINT, OUT place BIGINT, OUT wait BIGINT) AS $$ "
    "DECLARE n BIGINT; oldest BIGINT; "
    "BEGIN "
    "  PERFORM pg_advisory_xact_lock(7361420); "
    "  sid := 0; place := 0; wait := 0; "
    "  IF EXISTS (SELECT 1 FROM bans WHERE address = p_address) THEN "
    "    status := 3; RETURN; "
    "  END IF; "
    "  SELECT id INTO sid FROM submissions WHERE address = p_address"
    "    AND at > p_at - p_window AND name = p_name AND score = p_score"
    "    AND machine = p_machine AND code = p_code ORDER BY id LIMIT 1; "
    "  IF FOUND THEN "
    "    status := 1; "
    "    SELECT count(*) + 1 INTO place FROM submissions WHERE score > p_score; "
    "    RETURN; "
    "  END IF; "
    "  sid := 0; "
    "  DELETE FROM recent WHERE at <= p_at - 60; "
    "  SELECT count(*), min(at) INTO n, oldest FROM recent"
    "    WHERE address = p_address AND at > p_at - 60; "
    "  IF n >= p_per_minute THEN "
    "    status := 2; wait := greatest(1, oldest + 60 - p_at); RETURN; "
    "  END IF; "
    "  INSERT INTO recent (address, at) VALUES (p_address, p_at); "
    "  INSERT INTO submissions (name, mail, comment, score, machine, address, submitted,"
    "    code, at) VALUES (p_name, p_mail, p_comment, p_score, p_machine, p_address,"
    "    p_submitted, p_code, p_at) RETURNING id INTO sid; "
    "  SELECT count(*) + 1 INTO place FROM submissions WHERE score > p_score; "
    "  status := 0; "
    "END $$ LANGUAGE plpgsql;",
};

using TResult = std::unique_ptr<PGresult, decltype(&PQclear)>;

// One connection, made again when the database went away between two uses.
class TConnection {
 public:
  explicit TConnection(const std::string& target) : Target_(target) {}
  ~TConnection() {
    if (Conn_) PQfinish(Conn_);
  }

  PGconn* Get() {
    if (Conn_ && PQstatus(Conn_) == CONNECTION_OK) return Conn_;
    if (Conn_) {
      PQreset(Conn_);
    } else {
      Conn_ = PQconnectdb(Target_.c_str());
    }
    if (PQstatus(Conn_) != CONNECTION_OK)
      throw std::runtime_error("cannot connect to PostgreSQL: " + Message());
    PQsetClientEncoding(Conn_, "UTF8");
    TResult quiet(PQexec(Conn_, "SET client_min_messages = warning"), PQclear);
    return Conn_;
  }
  std::string Message() const {
    std::string text = Conn_ ? PQerrorMessage(Conn_) : "out of memory";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
      text.pop_back();
    return text;
  }

  // A statement with text parameters; throws with the database's reason.
  TResult Run(const std::string& sql, const std::vector<std::string>& params = {}) {
    PGconn* conn = Get();
    std::vector<const char*> values;
    for (const std::string& p : params)
      values.push_back(p.c_str());
    TResult r(PQexecParams(conn, sql.c_str(), static_cast<int>(values.size()), nullptr,
                           values.data(), nullptr, nullptr, 0),
              PQclear);
    const ExecStatusType status = PQresultStatus(r.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
      throw std::runtime_error(sql.substr(0, 60) + ": " + Message());
    return r;
  }
  // Several statements at once, without parameters.
  void Script(const std::string& sql) {
    TResult r(PQexec(Get(), sql.c_str()), PQclear);
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK && PQresultStatus(r.get()) != PGRES_TUPLES_OK)
      throw std::runtime_error(sql.substr(0, 60) + ": " + Message());
  }

 private:
  std::string Target_;
  PGconn* Conn_ = nullptr;
};

std::string Text(PGresult* r, int row, int column) {
  return PQgetisnull(r, row, column) ? "" : PQgetvalue(r, row, column);
}

int64_t Number(PGresult* r, int row, int column) {
  return PQgetisnull(r, row, column) ? 0 : std::stoll(PQgetvalue(r, row, column));
}

class TPostgresStore final : public TRankingStore {
 public:
  explicit TPostgresStore(const std::string& target) : Target_(target) {
    TLease lease(*this);
    lease->Run(std::string("SELECT pg_advisory_lock(") + kMigrationLock + ")");
    try {
      Migrate(*lease);
    } catch (...) {
      try {
        lease->Run(std::string("SELECT pg_advisory_unlock(") + kMigrationLock + ")");
      } catch (...) {
      }
      throw;
    }
    lease->Run(std::string("SELECT pg_advisory_unlock(") + kMigrationLock + ")");
  }

  TAddResult Add(const TSubmission& s, const TStoreLimits& limits) override {
    TLease lease(*this);
    const TResult r = lease->Run(
        "SELECT status, sid, place, wait FROM velmora_submit($1, $2, $3, $4, $5, $6, $7, $8, "
        "$9, $10, $11)",
        {s.Name, s.Mail, s.Comment, std::to_string(s.Score), s.Machine, s.Address, s.Submitted,
         s.Code, std::to_string(s.At), std::to_string(limits.PerMinute),
         std::to_string(limits.RepeatWindow)});
    TAddResult out;
    out.Status = static_cast<TAddStatus>(Number(r.get(), 0, 0));
    out.Id = Number(r.get(), 0, 1);
    out.Place = Number(r.get(), 0, 2);
    out.Wait = Number(r.get(), 0, 3);
    return out;
  }

  std::vector<TSubmission> Best(int limit) override {
    TLease lease(*this);
    const TResult r = lease->Run(
        "SELECT id, name, mail, comment, score, machine, address, submitted, code, at"
        " FROM submissions ORDER BY score DESC, id LIMIT $1",
        {std::to_string(limit)});
    std::vector<TSubmission> rows;
    for (int i = 0; i < PQntuples(r.get()); ++i) {
      PGresult* q = r.get();
      rows.push_back({Number(q, i, 0), Text(q, i, 1), Text(q, i, 2), Text(q, i, 3), Number(q, i, 4),
                      Text(q, i, 5), Text(q, i, 6), Text(q, i, 7), Text(q, i, 8), Number(q, i, 9)});
    }
    return rows;
  }

  int64_t Count() override {
    TLease lease(*this);
    return Number(lease->Run("SELECT count(*) FROM submissions").get(), 0, 0);
  }

  bool Delete(int64_t id) override {
    TLease lease(*this);
    return PQntuples(
               lease
                   ->Run("DELETE FROM submissions WHERE id = $1 RETURNING id", {std::to_string(id)})
                   .get()) > 0;
  }

  bool Ban(const std::string& address, int64_t now) override {
    TLease lease(*this);
    return PQntuples(lease
                         ->Run("INSERT INTO bans (address, at) VALUES ($1, $2)"
                               " ON CONFLICT DO NOTHING RETURNING address",
                               {address, std::to_string(now)})
                         .get()) > 0;
  }

  bool Unban(const std::string& address) override {
    TLease lease(*this);
    return PQntuples(lease->Run("DELETE FROM bans WHERE address = $1 RETURNING address", {address})
                         .get()) > 0;
  }

  std::vector<std::string> Bans() override {
    TLease lease(*this);
    const TResult r = lease->Run("SELECT address FROM bans ORDER BY address");
    std::vector<std::string> out;
    for (int i = 0; i < PQntuples(r.get()); ++i)
      out.push_back(Text(r.get(), i, 0));
    return out;
  }

  bool Reachable() override {
    try {
      TLease lease(*this);
      lease->Run("SELECT 1 FROM submissions LIMIT 1");
      return true;
    } catch (const std::exception&) {
      return false;
    }
  }

  // A real write, rolled back: a read-only standby, a read-only default or missing rights
  // all show here.
  void CheckWritable() override {
    TLease lease(*this);
    try {
      lease->Script(
          "BEGIN; INSERT INTO recent (address, at) VALUES ('write check', 0);"
          " INSERT INTO submissions (name, mail, comment, score, machine, address, submitted,"
          " code, at) VALUES ('', '', '', 0, '', 'write check', '', '', 0); ROLLBACK");
    } catch (const std::exception& e) {
      try {
        lease->Script("ROLLBACK");
      } catch (...) {
      }
      throw std::runtime_error(std::string("the database cannot be written: ") + e.what());
    }
  }

  int SchemaVersion() override {
    TLease lease(*this);
    return static_cast<int>(
        Number(lease->Run("SELECT max(version) FROM velmora_schema").get(), 0, 0));
  }

 private:
  // A connection of the pool for the length of one call; more are made as workers need.
  class TLease {
   public:
    explicit TLease(TPostgresStore& store) : Store_(store) {
      std::unique_lock lock(store.Mutex_);
      if (!store.Idle_.empty()) {
        Conn_ = std::move(store.Idle_.back());
        store.Idle_.pop_back();
      }
      lock.unlock();
      if (!Conn_) Conn_ = std::make_unique<TConnection>(store.Target_);
    }
    ~TLease() {
      const std::lock_guard lock(Store_.Mutex_);
      Store_.Idle_.push_back(std::move(Conn_));
    }
    TConnection* operator->() { return Conn_.get(); }
    TConnection& operator*() { return *Conn_; }

   private:
    TPostgresStore& Store_;
    std::unique_ptr<TConnection> Conn_;
  };

  static void Migrate(TConnection& c) {
    c.Script("CREATE TABLE IF NOT EXISTS velmora_schema (version INT NOT NULL)");
    const int from = static_cast<int>(
        Number(c.Run("SELECT coalesce(max(version), 0) FROM velmora_schema").get(), 0, 0));
    const int to = static_cast<int>(std::size(kMigrations));
    if (from > to)
      throw std::runtime_error("the database is of a newer server (schema " + std::to_string(from) +
                               ")");
    for (int v = from; v < to; ++v) {
      c.Script("BEGIN");
      try {
        c.Script(kMigrations[v]);
        c.Run("INSERT INTO velmora_schema (version) VALUES ($1)", {std::to_string(v + 1)});
        c.Script("COMMIT");
      } catch (...) {
        try {
          c.Script("ROLLBACK");
        } catch (...) {
        }
        throw;
      }
    }
  }

  std::string Target_;
  std::mutex Mutex_;
  std::vector<std::unique_ptr<TConnection>> Idle_;
};

}  // namespace

std::unique_ptr<TRankingStore> OpenPostgresStore(const std::string& target) {
  return std::make_unique<TPostgresStore>(target);
}

}  // namespace velmora
