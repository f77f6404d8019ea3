// Where the ranking's submissions live. Everything that several server processes must agree
// on (the stored submissions, places, the per-address limit, bans) is kept here, so a
// process holds nothing of its own that another would need.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

struct TSubmission {
  int64_t Id = 0;
  std::string Name;  // UTF-8
  std::string Mail;
  std::string Comment;
  int64_t Score = 0;
  std::string Machine;    // the game's scrambled machine field, as sent
  std::string Address;    // where it came from
  std::string Submitted;  // "2026-01-01 12:00:00" UTC
  std::string Code;       // the check field, kept to know a retry when it comes
  int64_t At = 0;         // Submitted in seconds since 1970
};

struct TStoreLimits {
  int PerMinute = 5;               // accepted submissions per address
  int64_t RepeatWindow = 10 * 60;  // an identical submission within this is a retry
};

enum class TAddStatus { Stored, Repeated, TooOften, Banned };

struct TAddResult {
  TAddStatus Status = TAddStatus::Stored;
  int64_t Id = 0;     // the stored submission (Stored, Repeated)
  int64_t Place = 0;  // one more than the count of higher totals (Stored, Repeated)
  int64_t Wait = 0;   // seconds until the address may send again (TooOften)
};

class TRankingStore {
 public:
  virtual ~TRankingStore() = default;

  // In one transaction: a banned address is refused; a submission identical to one the
  // same address stored within the repeat window is not stored again but answered with
  // the stored one's place (the game retries when an answer was lost); an address over
  // its limit is refused; otherwise it is stored and placed. s.At is the time of now.
  virtual TAddResult Add(const TSubmission& s, const TStoreLimits& limits) = 0;
  // The best, highest total first; equal totals in the order they came.
  virtual std::vector<TSubmission> Best(int limit) = 0;
  virtual int64_t Count() = 0;
  // Moderation: false when there was nothing to do.
  virtual bool Delete(int64_t id) = 0;
  virtual bool Ban(const std::string& address, int64_t now) = 0;
  virtual bool Unban(const std::string& address) = 0;
  virtual std::vector<std::string> Bans() = 0;
  // Whether the database answers (for health checks); never throws.
  virtual bool Reachable() = 0;
  // Throws std::runtime_error with the reason when a submission could not be written.
  virtual void CheckWritable() = 0;
  virtual int SchemaVersion() = 0;
};

// "postgresql://…", "postgres://…" or a libpq keyword string ("host=… dbname=…") is a
// PostgreSQL database; anything else is the path of an SQLite file, created when missing.
// The schema is brought up to date on opening. Throws std::runtime_error with the reason.
std::unique_ptr<TRankingStore> OpenRankingStore(const std::string& where);

bool IsPostgresTarget(const std::string& where);

}  // namespace velmora
