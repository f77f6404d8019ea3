// What the ranking server does with a submission and how it shows the ranking, apart from
// the HTTP server around it.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include "RankingStore.h"

namespace velmora {

constexpr size_t kMaxSubmissionBody = 8 * 1024;
constexpr int kSubmissionsPerMinute = 5;
constexpr int kRankingPageSize = 100;

class TRankingService {
 public:
  explicit TRankingService(TRankingStore& store) : Store_(store) {}

  // The reply to the game's POST, in the reply language (UTF-8; sent as Shift-JIS).
  // pageUrl is the ranking page the reply offers; now is in seconds.
  std::string Submit(const std::string& body, const std::string& address,
                     const std::string& pageUrl, int64_t now);
  // The best submissions as an HTML page (UTF-8).
  std::string RankingPage();

 private:
  // Whether the address has sent too often in the last minute; counts this attempt.
  bool TooOften(const std::string& address, int64_t now);

  TRankingStore& Store_;
  std::mutex Mutex_;
  std::map<std::string, std::deque<int64_t>> Recent_;
};

// "<", ">", "&", quotes made safe for HTML text and attributes.
std::string EscapeHtml(const std::string& text);

}  // namespace velmora
