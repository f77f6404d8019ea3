#include "shell/Records.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <utility>

#include "engine/FileRead.h"
#include "shell/MissionNames.h"
#include "shell/Replay.h"
#include "shell/Settings.h"

namespace velmora {

namespace {

constexpr const char* kHeader = "Velmora records";
constexpr const char* kUserMissionPrefix = "omf:";

// Names and dates come from outside (file names, the clock's text): nothing in them may
// break a line or a field.
std::string CleanField(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  return text;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  while (true) {
    const size_t tab = line.find('\t');
    fields.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return fields;
    line.remove_prefix(tab + 1);
  }
}

[[noreturn]] void Damaged(int line, const std::string& why) {
  throw TRecordsError("戦績ファイルの " + std::to_string(line) + " 行目が壊れています（" + why +
                      "）");
}

int32_t ToInteger(std::string_view text, int line, int32_t low, int32_t high) {
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || at != end || value < low || value > high)
    Damaged(line, "'" + std::string(text) + "' は正しい数値ではありません");
  return value;
}

bool IsHex16(std::string_view text) {
  return text.size() == 16 && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

// Only the list numbers the game has.
bool IsOwnMission(std::string_view mission) {
  int32_t value = 0;
  const char* end = mission.data() + mission.size();
  const auto [at, error] = std::from_chars(mission.data(), end, value);
  return !mission.empty() && mission[0] != '0' && error == std::errc() && at == end &&
         *MissionCaption(value) != '\0';
}

bool IsUserMission(std::string_view mission) {
  return mission.starts_with(kUserMissionPrefix) &&
         IsHex16(mission.substr(std::string_view(kUserMissionPrefix).size()));
}

// The only names this file may give a replay: the folder's own, never a path. Records whose
// runs fall out of a table have their replay deleted, so a name from the file must not reach
// anything else.
std::string KeptReplayName(uint32_t number) {
  char name[32];
  std::snprintf(name, sizeof name, "record-%06u%s", number, kReplayExtension);
  return name;
}

bool IsKeptReplayName(std::string_view name) {
  constexpr std::string_view prefix = "record-";
  const std::string_view extension = kReplayExtension;
  if (!name.starts_with(prefix) || !name.ends_with(extension)) return false;
  const std::string_view digits =
      name.substr(prefix.size(), name.size() - prefix.size() - extension.size());
  return digits.size() >= 6 && digits.size() <= 10 &&
         std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool SameTable(const TRunRecord& a, const TRunRecord& b) {
  return a.Mission == b.Mission && a.Difficulty == b.Difficulty;
}

std::string ScoreCell(int32_t score) {
  return score == kUnknownScore ? "－" : std::to_string(score);
}

}  // namespace

std::string UserMissionKey(uint64_t filesHash) {
  return kUserMissionPrefix + Hex16(filesHash);
}

bool BetterRecord(const TRunRecord& a, const TRunRecord& b) {
  return a.Cleared != b.Cleared ? a.Cleared : a.Score > b.Score;
}

TAddedRun AddRun(TRecordBook& book, const TRunRecord& run) {
  TAddedRun added;
  std::vector<TRunRecord> table, others;
  for (TRunRecord& r : book.Runs)
    (SameTable(r, run) ? table : others).push_back(std::move(r));
  // After every run as good: an equal score does not push an earlier one down.
  auto at = table.begin();
  while (at != table.end() && !BetterRecord(run, *at))
    ++at;
  const size_t place = static_cast<size_t>(at - table.begin());
  added.Kept = place < kRecordsKept;
  added.PersonalBest = place == 0;
  if (added.Kept) table.insert(at, run);
  while (table.size() > kRecordsKept) {
    if (!table.back().Replay.empty()) added.Dropped.push_back(table.back().Replay);
    table.pop_back();
  }
  added.Index = others.size() + place;
  book.Runs = std::move(others);
  book.Runs.insert(book.Runs.end(), table.begin(), table.end());
  return added;
}

bool AddCampaign(TRecordBook& book, const TCampaignRecord& campaign) {
  auto at = std::find_if(book.Campaigns.begin(), book.Campaigns.end(),
                         [&](const TCampaignRecord& c) { return campaign.Total > c.Total; });
  if (static_cast<size_t>(at - book.Campaigns.begin()) >= kRecordsKept) return false;
  book.Campaigns.insert(at, campaign);
  if (book.Campaigns.size() > kRecordsKept) book.Campaigns.resize(kRecordsKept);
  return true;
}

// ---- the file ------------------------------------------------------------------------------

std::string EncodeRecords(const TRecordBook& book) {
  std::string out = std::string(kHeader) + "\t" + std::to_string(kRecordsVersion) + "\n";
  out += "next\t" + std::to_string(book.NextReplay) + "\n";
  for (const TRunRecord& r : book.Runs)
    out += "run\t" + r.Mission + "\t" + CleanField(r.Name) + "\t" + std::to_string(r.Difficulty) +
           "\t" + std::to_string(r.Score) + "\t" + (r.Cleared ? "1" : "0") + "\t" +
           std::to_string(r.Damage) + "\t" + CleanField(r.Date) + "\t" + r.Replay + "\n";
  for (const TCampaignRecord& c : book.Campaigns) {
    out += "campaign\t" + std::to_string(c.Total) + "\t" + CleanField(c.Date);
    for (int32_t score : c.Scores)
      out += "\t" + std::to_string(score);
    out += "\n";
  }
  out += std::string("progress\t") + (book.Progress.Fair ? "1" : "0");
  for (int32_t score : book.Progress.Scores)
    out += "\t" + std::to_string(score);
  out += "\n";
  return out + "check\t" + TextCheck(out) + "\n";
}

TRecordBook DecodeRecords(std::string_view bytes) {
  const size_t checkAt = bytes.rfind("check\t");
  if (checkAt == std::string_view::npos || (checkAt > 0 && bytes[checkAt - 1] != '\n'))
    throw TRecordsError("戦績ファイルが途中で切れています");
  const std::string_view body = bytes.substr(0, checkAt);
  if (bytes.substr(checkAt) != "check\t" + TextCheck(std::string(body)) + "\n")
    throw TRecordsError("戦績ファイルの検査値が一致しません");

  TRecordBook book;
  std::map<std::pair<std::string, int32_t>, size_t> tableSizes;
  bool sawProgress = false;
  int number = 0;
  std::string_view rest = body;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);  // the body ends in a newline: end is never npos
    const std::vector<std::string_view> f = SplitTabs(line);
    if (++number == 1) {
      if (f.size() != 2 || f[0] != kHeader) Damaged(number, "戦績ファイルではありません");
      const int32_t version = ToInteger(f[1], number, 1, INT32_MAX);
      if (version > kRecordsVersion)
        throw TRecordsError("戦績ファイルは新しい版のゲームが書いたものです", true);
      continue;
    }
    if (f[0] == "next" && f.size() == 2) {
      book.NextReplay = static_cast<uint32_t>(ToInteger(f[1], number, 1, 999'999'999));
    } else if (f[0] == "run" && f.size() == 9) {
      TRunRecord r;
      r.Mission = f[1];
      r.Name = f[2];
      if (IsUserMission(r.Mission) ? r.Name.empty() : !(IsOwnMission(r.Mission) && r.Name.empty()))
        Damaged(number, "作戦 '" + r.Mission + "'");
      r.Difficulty = ToInteger(f[3], number, 1, 3);
      r.Score = ToInteger(f[4], number, INT32_MIN, INT32_MAX);
      r.Cleared = ToInteger(f[5], number, 0, 1) == 1;
      r.Damage = ToInteger(f[6], number, INT32_MIN, INT32_MAX);
      r.Date = f[7];
      r.Replay = f[8];
      if (!r.Replay.empty() && !IsKeptReplayName(r.Replay))
        Damaged(number, "リプレイ '" + r.Replay + "'");
      if (++tableSizes[{r.Mission, r.Difficulty}] > kRecordsKept)
        Damaged(number, "記録が多すぎます");
      book.Runs.push_back(std::move(r));
    } else if (f[0] == "campaign" && f.size() == 8) {
      TCampaignRecord c;
      c.Total = ToInteger(f[1], number, INT32_MIN, INT32_MAX);
      c.Date = f[2];
      for (size_t i = 0; i < c.Scores.size(); ++i)
        c.Scores[i] = ToInteger(f[3 + i], number, kUnknownScore, INT32_MAX);
      if (book.Campaigns.size() >= kRecordsKept) Damaged(number, "記録が多すぎます");
      book.Campaigns.push_back(std::move(c));
    } else if (f[0] == "progress" && f.size() >= 2 && f.size() <= 6 && !sawProgress) {
      sawProgress = true;
      book.Progress.Fair = ToInteger(f[1], number, 0, 1) == 1;
      for (size_t i = 2; i < f.size(); ++i)
        book.Progress.Scores.push_back(ToInteger(f[i], number, kUnknownScore, INT32_MAX));
    } else {
      Damaged(number, "'" + std::string(f[0]) + "'");
    }
  }
  if (number == 0) throw TRecordsError("戦績ファイルが空です");
  return book;
}

// ---- what the window shows -----------------------------------------------------------------

TRecordsView MakeRecordsView(const TRecordBook& book, const std::string& replayFolder) {
  TRecordsView view;

  TRecordsGroup campaigns{"キャンペーン", {}};
  if (!book.Campaigns.empty()) {
    TRecordsTable table{
        "総戦果", {"順位", "総戦果", "日付", "１面", "２面", "３面", "４面", "５面"}, {}};
    int place = 0;
    for (const TCampaignRecord& c : book.Campaigns) {
      TRecordsRow row{{std::to_string(++place), std::to_string(c.Total), c.Date}, {}};
      for (int32_t score : c.Scores)
        row.Cells.push_back(ScoreCell(score));
      table.Rows.push_back(std::move(row));
    }
    campaigns.Tables.push_back(std::move(table));
  }
  view.Groups.push_back(std::move(campaigns));

  // One table per mission and difficulty, in the menus' order, easiest first.
  const auto missionTable = [&](const std::string& mission, const std::string& title,
                                int32_t difficulty) -> std::optional<TRecordsTable> {
    TRecordsTable table{title + "　" + DifficultyCaption(difficulty),
                        {"順位", "戦果", "結果", "損傷率", "日付"},
                        {}};
    int place = 0;
    for (const TRunRecord& r : book.Runs) {
      if (r.Mission != mission || r.Difficulty != difficulty) continue;
      TRecordsRow row{{std::to_string(++place), std::to_string(r.Score),
                       r.Cleared ? "任務成功" : "撃墜", std::to_string(r.Damage) + "％", r.Date},
                      {}};
      const std::string replay = replayFolder + "/" + r.Replay;
      if (!r.Replay.empty() && IsRegularFile(replay)) row.Replay = replay;
      table.Rows.push_back(std::move(row));
    }
    if (table.Rows.empty()) return std::nullopt;
    return table;
  };
  const auto addMission = [&](TRecordsGroup& group, const std::string& mission,
                              const std::string& title) {
    for (int32_t difficulty = 1; difficulty <= 3; ++difficulty)
      if (auto table = missionTable(mission, title, difficulty))
        group.Tables.push_back(std::move(*table));
  };

  TRecordsGroup singles{"単独ミッション", {}};
  for (int32_t m = 1; m <= 5; ++m)
    addMission(singles, std::to_string(m), MissionCaption(m));
  view.Groups.push_back(std::move(singles));

  TRecordsGroup bonus{"ボーナス", {}};
  for (int32_t m : {kIntroductionMission, 6, 7, 8, 9, 10, 11})
    addMission(bonus, std::to_string(m), MissionCaption(m));
  view.Groups.push_back(std::move(bonus));

  // A user mission by its file name; an edited file (another hash) has tables of its own,
  // told apart by the hash's first digits.
  TRecordsGroup own{"オリジナル", {}};
  std::map<std::pair<std::string, std::string>, std::string> userMissions;  // name, key
  for (const TRunRecord& r : book.Runs)
    if (IsUserMission(r.Mission)) userMissions[{r.Name, r.Mission}] = r.Name;
  for (const auto& [key, name] : userMissions)
    addMission(
        own, key.second,
        name + "（" + key.second.substr(std::string_view(kUserMissionPrefix).size(), 8) + "）");
  view.Groups.push_back(std::move(own));
  return view;
}

// ---- the file beside the settings ----------------------------------------------------------

TRecordsFile::TRecordsFile(std::string folder) : Folder_(std::move(folder)) {}

std::string TRecordsFile::Path() const {
  return Folder_ + "/" + kRecordsFileName;
}

std::string TRecordsFile::Load() {
  namespace fs = std::filesystem;
  Loaded_ = true;
  Book_ = TRecordBook{};
  std::string problem;
  try {
    const std::optional<std::string> bytes = ReadRegularFile(Path(), kRecordsMaxBytes);
    if (!bytes) return {};
    Book_ = DecodeRecords(*bytes);
    return {};
  } catch (const TRecordsError& e) {
    if (e.Newer) {
      ReadOnly_ = true;
      return std::string(e.what()) + "。このゲームでは戦績を記録しません。";
    }
    problem = e.what();
  } catch (const std::runtime_error& e) {
    // Not a regular file, too large, unreadable: as good as damaged, and set aside alike.
    problem = e.what();
  }
  // Set aside under a name of its own, never over an earlier damaged file.
  std::string aside = Path() + ".damaged";
  std::error_code error;
  for (int n = 2; fs::exists(fs::symlink_status(aside, error)) && n < 1000; ++n)
    aside = Path() + ".damaged." + std::to_string(n);
  fs::rename(Path(), aside, error);
  if (error) {
    ReadOnly_ = true;
    return problem + "。" + Path() + " を別名にできないため、戦績を記録しません。";
  }
  return problem + "。元のファイルは " + aside + " として残し、新しい戦績を始めます。";
}

void TRecordsFile::Save(const TRecordBook& book) {
  if (ReadOnly_) return;
  std::error_code error;
  std::filesystem::create_directories(Folder_, error);
  const std::string bytes = EncodeRecords(book);
  // A file the reader would refuse is never written: it would be set aside at the next start.
  if (bytes.size() > kRecordsMaxBytes)
    throw std::runtime_error("戦績ファイル " + Path() + " が大きすぎるため、記録できません");
  ReplaceFileAtomically(Path(), bytes);
  Book_ = book;
}

bool TRecordsFile::AddRun(TRunRecord run, const TReplay* replay) {
  if (!Loaded_) Load();
  if (ReadOnly_) return false;
  run.Name = CleanField(run.Name);
  run.Date = CleanField(run.Date);
  run.Replay.clear();
  TRecordBook book = Book_;
  const TAddedRun added = velmora::AddRun(book, run);
  if (!added.Kept) return false;
  std::string kept;
  if (replay) {
    // The run's own copy of its replay, which the replays folder's turnover leaves alone.
    const std::string name = KeptReplayName(book.NextReplay);
    try {
      std::error_code error;
      std::filesystem::create_directories(ReplayFolder(), error);
      WriteReplayFile(ReplayFolder() + "/" + name, *replay);
      kept = ReplayFolder() + "/" + name;
      ++book.NextReplay;
      book.Runs[added.Index].Replay = name;
    } catch (const TReplayError&) {
      // Kept without its replay: the record itself matters more.
    }
  }
  try {
    Save(book);
  } catch (const std::exception&) {
    std::error_code error;
    if (!kept.empty()) std::filesystem::remove(kept, error);
    throw;
  }
  // Only once the file no longer names them.
  for (const std::string& name : added.Dropped) {
    std::error_code error;
    if (IsKeptReplayName(name)) std::filesystem::remove(ReplayFolder() + "/" + name, error);
  }
  return added.PersonalBest;
}

bool TRecordsFile::WouldLead(const TRunRecord& run) const {
  if (ReadOnly_) return false;
  for (const TRunRecord& r : Book_.Runs)
    if (SameTable(r, run) && !BetterRecord(run, r)) return false;
  return true;
}

void TRecordsFile::CampaignMissionDone(int32_t mission, int32_t score, bool fair) {
  if (!Loaded_) Load();
  TRecordBook book = Book_;
  TCampaignProgress& p = book.Progress;
  // Mission 1 begins a campaign; a step that does not follow on from what is known means the
  // records missed part of it (the campaign began before they existed).
  if (mission == 1) p = TCampaignProgress{};
  if (static_cast<int32_t>(p.Scores.size()) != mission - 1)
    p.Scores.assign(static_cast<size_t>(std::clamp(mission - 1, 0, 4)), kUnknownScore);
  if (p.Scores.size() < 5) p.Scores.push_back(score);
  p.Fair = p.Fair && fair;
  Save(book);
}

void TRecordsFile::CampaignFinished(int32_t lastScore, int32_t total, const std::string& date,
                                    bool fair) {
  if (!Loaded_) Load();
  TRecordBook book = Book_;
  const TCampaignProgress p = book.Progress;
  book.Progress = TCampaignProgress{};
  if (p.Fair && fair) {
    TCampaignRecord record;
    record.Total = total;
    record.Date = CleanField(date);
    if (p.Scores.size() == 4) std::copy(p.Scores.begin(), p.Scores.end(), record.Scores.begin());
    record.Scores[4] = lastScore;
    // Scores that do not add up to the total are not this campaign's (its settings were
    // reset or replaced): only the last mission's is sure.
    int64_t sum = 0;
    for (int32_t score : record.Scores)
      sum += score == kUnknownScore ? 0 : score;
    if (sum != total) std::fill(record.Scores.begin(), record.Scores.begin() + 4, kUnknownScore);
    AddCampaign(book, record);
  }
  Save(book);
}

void TRecordsFile::CampaignRestarted() {
  if (!Loaded_) Load();
  TRecordBook book = Book_;
  book.Progress = TCampaignProgress{};
  Save(book);
}

}  // namespace velmora
