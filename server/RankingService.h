// What the ranking server does with a submission and how it shows the ranking, apart from
// the HTTP server around it.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include "RankingStore.h"

namespace velmora {

constexpr size_t kMaxSubmissionBody = 8 * 1024;
constexpr int kRankingPageSize = 100;
// What the game's dialog lets a player type, in characters; the comment comes in brackets.
constexpr size_t kMaxNameChars = 20;
constexpr size_t kMaxMailChars = 40;
constexpr size_t kMaxCommentChars = 20 + 2;
// The machine field is a scrambled computer name of at most 15 bytes and a fixed tail.
constexpr size_t kMaxMachineBytes = 128;
// The game's total is a non-negative 32-bit integer.
constexpr int64_t kMaxScore = 2147483647;

struct TServiceLimits {
  TStoreLimits Store;
  // Refused submissions have a budget of their own, so a client that keeps retrying
  // something wrong is slowed down without ever touching the accepted ones' limit.
  int RefusedPerMinute = 20;
};

class TRankingService {
 public:
  explicit TRankingService(TRankingStore& store, TServiceLimits limits = {})
      : Store_(store), Limits_(limits) {}

  // The reply to the game's POST, in the reply language (UTF-8; sent as Shift-JIS).
  // pageUrl is the ranking page the reply offers; now is in seconds.
  std::string Submit(const std::string& body, const std::string& address,
                     const std::string& pageUrl, int64_t now);
  // The reply to a body too large to be read at all.
  static std::string TooLarge();
  // The best submissions as an HTML page (UTF-8).
  std::string RankingPage();
  // The best `limit` (1 ... kRankingPageSize) as JSON (UTF-8).
  std::string RankingJson(int limit);
  bool DatabaseReachable() { return Store_.Reachable(); }

 private:
  // Seconds the address must wait before its next refused attempt is looked at; 0: none.
  int64_t RefusedWait(const std::string& address, int64_t now);
  std::string Refuse(const std::string& address, int64_t now, const std::string& reason);
  std::string Check(const std::map<std::string, std::string>& form, TSubmission& s);
  std::string MakePage();

  TRankingStore& Store_;
  TServiceLimits Limits_;
  std::mutex Mutex_;
  std::map<std::string, std::deque<int64_t>> Refused_;
  // The page made at most once a second: readers far outnumber submissions, and another
  // process's new entry may wait that long. A submission here makes it anew.
  std::mutex PageMutex_;
  std::string Page_;
  std::chrono::steady_clock::time_point PageMade_;
};

// "<", ">", "&", quotes made safe for HTML text and attributes.
std::string EscapeHtml(const std::string& text);
// A stored text made safe for one field of a tab-separated line: tabs, line breaks, other
// control characters and backslashes as backslash escapes.
std::string EscapeField(const std::string& text);
// Only "0" or a digit string without leading zeros, within the game's total.
bool CanonicalScore(const std::string& text, int64_t& score);

}  // namespace velmora
