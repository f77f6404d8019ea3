// 戦績: the player's own records on this machine. For every mission played to its end, the
// ten best runs per mission and difficulty, the ten best finished campaigns, and the replay of
// every run that holds a place. Kept in a file of their own beside the settings, checked like
// the campaign so that a damaged or edited file is noticed, set aside and never half read.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RecordsView.h"

namespace velmora {

struct TReplay;

constexpr const char* kRecordsFileName = "Records.txt";
constexpr int kRecordsVersion = 1;
constexpr size_t kRecordsKept = 10;  // per table
// Ten runs for each of a few hundred tables fit many times over.
constexpr size_t kRecordsMaxBytes = size_t{4} << 20;
// A campaign's mission whose score is not known (a campaign begun before the records were).
constexpr int32_t kUnknownScore = -1;

struct TRunRecord {
  // The game's own list number ("1" to "11", "9999"), or "omf:" and the 16 hex digits of the
  // hash of a user mission's four files: an edited mission starts tables of its own.
  std::string Mission;
  std::string Name;  // a user mission's file name; empty for the game's own
  int32_t Difficulty = 2;
  int32_t Score = 0;
  bool Cleared = false;
  int32_t Damage = 0;  // at the end
  std::string Date;
  std::string Replay;  // file name in the replays folder; empty when none was kept
  bool operator==(const TRunRecord&) const = default;
};

struct TCampaignRecord {
  int32_t Total = 0;
  std::string Date;
  std::array<int32_t, 5> Scores{kUnknownScore, kUnknownScore, kUnknownScore, kUnknownScore,
                                kUnknownScore};
  bool operator==(const TCampaignRecord&) const = default;
};

// The campaign under way: the scores of its missions so far, so that a finished one has them.
struct TCampaignProgress {
  std::vector<int32_t> Scores;  // missions 1, 2, ... in order
  bool Fair = true;             // false once a mission of it was played invulnerable
  bool operator==(const TCampaignProgress&) const = default;
};

struct TRecordBook {
  std::vector<TRunRecord> Runs;            // each table's runs best first; tables in no order
  std::vector<TCampaignRecord> Campaigns;  // best first
  TCampaignProgress Progress;
  uint32_t NextReplay = 1;  // the number of the next kept replay's file
  bool operator==(const TRecordBook&) const = default;
};

class TRecordsError : public std::runtime_error {
 public:
  explicit TRecordsError(const std::string& message, bool newer = false)
      : std::runtime_error(message), Newer(newer) {}
  bool Newer;  // written by a newer game: left alone
};

// A user mission's Mission field: "omf:" and the hash of its four files in hex.
std::string UserMissionKey(uint64_t filesHash);

// True when a outranks b in their table: cleared before shot down, then the higher score.
bool BetterRecord(const TRunRecord& a, const TRunRecord& b);

struct TAddedRun {
  bool Kept = false;                 // it holds a place in its table
  bool PersonalBest = false;         // first in its table, ahead of every earlier run
  size_t Index = 0;                  // where it stands in the book's runs, when kept
  std::vector<std::string> Dropped;  // replays of the runs it pushed out of the table
};
TAddedRun AddRun(TRecordBook& book, const TRunRecord& run);
// Returns whether the campaign holds a place among the ten best.
bool AddCampaign(TRecordBook& book, const TCampaignRecord& campaign);

std::string EncodeRecords(const TRecordBook& book);
// Throws TRecordsError for anything but a whole, unedited file of a version this game knows.
TRecordBook DecodeRecords(std::string_view bytes);

// The 戦績 window's groups: キャンペーン, 単独ミッション, ボーナス, オリジナル.
TRecordsView MakeRecordsView(const TRecordBook& book, const std::string& replayFolder);

// The records file of a settings folder, with the replays of its runs in replays/.
class TRecordsFile {
 public:
  explicit TRecordsFile(std::string folder);

  // Reads the file. A damaged one is set aside as *.damaged and a new book begun; one from a
  // newer game is kept as it is and nothing is written over it. Returns what the player
  // should be told, or an empty text.
  std::string Load();
  const TRecordBook& Book() const { return Book_; }
  std::string Path() const;
  std::string ReplayFolder() const { return Folder_ + "/replays"; }

  // A mission played to its end, with its replay when there is one. Returns true for a new
  // personal best. Throws std::runtime_error when the file cannot be written.
  bool AddRun(TRunRecord run, const TReplay* replay);
  // The campaign's steps: a mission's score added to the total, the campaign finished (its
  // last mission's score and the total), a new campaign begun.
  void CampaignMissionDone(int32_t mission, int32_t score, bool fair);
  void CampaignFinished(int32_t lastScore, int32_t total, const std::string& date, bool fair);
  void CampaignRestarted();

  // Whether the run would be first in its table, ahead of every run kept.
  bool WouldLead(const TRunRecord& run) const;

  TRecordsView View() const { return MakeRecordsView(Book_, ReplayFolder()); }

 private:
  // Writes the book and makes it this one's; a newer game's file is left alone.
  void Save(const TRecordBook& book);

  std::string Folder_;
  TRecordBook Book_;
  bool Loaded_ = false;
  bool ReadOnly_ = false;  // the file is a newer game's
};

}  // namespace velmora
