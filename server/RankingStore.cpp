#include "RankingStore.h"

#include <stdexcept>

namespace velmora {

std::unique_ptr<TRankingStore> OpenSqliteStore(const std::string& path);
std::unique_ptr<TRankingStore> OpenPostgresStore(const std::string& target);

bool IsPostgresTarget(const std::string& where) {
  if (where.rfind("postgresql://", 0) == 0 || where.rfind("postgres://", 0) == 0) return true;
  // "host=/run/postgresql dbname=ranking" is a keyword string; "data/a=b.sqlite3" a file.
  const size_t eq = where.find('=');
  return eq != std::string::npos && eq > 0 && where.find('/') > eq;
}

std::unique_ptr<TRankingStore> OpenRankingStore(const std::string& where) {
  if (where.empty()) throw std::runtime_error("no database given");
  if (IsPostgresTarget(where)) return OpenPostgresStore(where);
  return OpenSqliteStore(where);
}

}  // namespace velmora
