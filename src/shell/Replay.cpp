#include "shell/Replay.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "engine/FileRead.h"

namespace velmora {

namespace {

constexpr char kMagic[4] = {'V', 'M', 'R', 'P'};
constexpr size_t kMaxText = 4096;
constexpr int kKeepRuns = 10;

const char* kDamaged = "リプレイファイルが壊れているか、途中で切れています。";

class TWriter {
 public:
  void U8(uint8_t v) { Out.push_back(static_cast<char>(v)); }
  void U16(uint16_t v) { Le(v, 2); }
  void U32(uint32_t v) { Le(v, 4); }
  void I32(int32_t v) { Le(static_cast<uint32_t>(v), 4); }
  void U64(uint64_t v) { Le(v, 8); }
  void Varint(uint32_t v) {
    for (; v >= 0x80; v >>= 7)
      U8(static_cast<uint8_t>(v | 0x80));
    U8(static_cast<uint8_t>(v));
  }
  void Text(const std::string& s) {
    U16(static_cast<uint16_t>(std::min(s.size(), kMaxText)));
    Out.append(s, 0, std::min(s.size(), kMaxText));
  }
  void States(const TInputStates& s) {
    for (uint8_t b : s.Bytes)
      U8(b);
  }
  std::string Out;

 private:
  void Le(uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
      U8(static_cast<uint8_t>(v >> (8 * i)));
  }
};

// Every read is bounded: running past the end is a damaged file, never a crash.
class TReader {
 public:
  explicit TReader(std::string_view bytes) : In_(bytes) {}
  uint8_t U8() { return static_cast<uint8_t>(Take(1)[0]); }
  uint16_t U16() { return static_cast<uint16_t>(Le(2)); }
  uint32_t U32() { return static_cast<uint32_t>(Le(4)); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  uint64_t U64() { return Le(8); }
  uint32_t Varint() {
    uint32_t v = 0;
    for (int shift = 0; shift < 35; shift += 7) {
      const uint8_t b = U8();
      if (shift == 28 && b > 0x0F) break;
      v |= static_cast<uint32_t>(b & 0x7F) << shift;
      // One way to write each count: a final zero byte would make another.
      if (!(b & 0x80)) {
        if (b == 0 && shift > 0) break;
        return v;
      }
    }
    throw TReplayError(kDamaged);
  }
  std::string Text() {
    const uint16_t n = U16();
    if (n > kMaxText) throw TReplayError(kDamaged);
    return std::string(Take(n));
  }
  TInputStates States() {
    TInputStates s;
    for (uint8_t& b : s.Bytes)
      b = U8();
    // Only 36 states exist.
    if (s.Bytes[4] & 0xF0) throw TReplayError(kDamaged);
    return s;
  }
  bool AtEnd() const { return Pos_ == In_.size(); }

 private:
  std::string_view Take(size_t n) {
    if (In_.size() - Pos_ < n) throw TReplayError(kDamaged);
    const std::string_view s = In_.substr(Pos_, n);
    Pos_ += n;
    return s;
  }
  uint64_t Le(int bytes) {
    const std::string_view s = Take(static_cast<size_t>(bytes));
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
      v |= uint64_t{static_cast<uint8_t>(s[static_cast<size_t>(i)])} << (8 * i);
    return v;
  }
  std::string_view In_;
  size_t Pos_ = 0;
};

TReplayError TooLarge() {
  return TReplayError("リプレイファイルが大きすぎます（" + std::to_string(kReplayMaxBytes >> 20) +
                      "MBまで）。");
}

uint8_t TickOptions(const TReplayTick& t) {
  return static_cast<uint8_t>((t.Difficulty & 3) | (t.DirectInput ? 4 : 0) | (t.Abandon ? 8 : 0));
}

}  // namespace

const char* OutcomeName(TReplayOutcome outcome) {
  switch (outcome) {
    case TReplayOutcome::Clear:
      return "clear";
    case TReplayOutcome::Failure:
      return "failure";
    case TReplayOutcome::Abandon:
      return "abandon";
  }
  return "?";
}

std::string DescribeResult(const TReplayResult& r) {
  return "score " + std::to_string(r.Score) + "  frames " + std::to_string(r.FrameCount) +
         "  ticks " + std::to_string(r.Ticks) + "  outcome " + OutcomeName(r.Outcome);
}

void TReplay::Append(const TReplayTick& tick) {
  if (!Runs.empty() && Runs.back().Tick == tick && Runs.back().Count < UINT32_MAX)
    ++Runs.back().Count;
  else
    Runs.push_back({1, tick});
}

uint32_t TReplay::TickCount() const {
  uint64_t n = 0;
  for (const TReplayRun& run : Runs)
    n += run.Count;
  return static_cast<uint32_t>(std::min<uint64_t>(n, UINT32_MAX));
}

uint64_t Fnv1a64(std::string_view bytes, uint64_t hash) {
  for (char c : bytes) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

uint32_t ReplayChecksum(std::string_view bytes) {
  uint32_t hash = 2166136261u;
  for (char c : bytes) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 16777619u;
  }
  return hash;
}

std::string EncodeReplay(const TReplay& r) {
  TWriter w;
  w.Out.append(kMagic, sizeof kMagic);
  w.U16(kReplayVersion);
  w.Text(r.GameVersion);
  w.I32(r.Mission);
  w.U8(static_cast<uint8_t>((r.SinglePlay ? 1 : 0) | (r.PlayStarted ? 2 : 0) |
                            (r.DirectInput ? 4 : 0) | (r.God ? 8 : 0)));
  w.Text(r.MissionFile);
  w.U64(r.MissionFileHash);
  w.U64(r.ListHash);
  w.U8(static_cast<uint8_t>(r.Difficulty));
  w.U32(r.BriefingSeed);
  w.U32(r.Seed);
  w.I32(r.ReinforcementTimer);
  w.I32(r.ReinforcementStep);
  w.States(r.StartActive);
  w.States(r.StartLastRaw);
  w.I32(r.Result.Score);
  w.I32(r.Result.FrameCount);
  w.U32(r.Result.Ticks);
  w.U8(static_cast<uint8_t>(r.Result.Outcome));
  w.U32(static_cast<uint32_t>(r.Runs.size()));
  for (const TReplayRun& run : r.Runs) {
    w.Varint(run.Count);
    w.States(run.Tick.Raw);
    w.U8(run.Tick.Keys);
    w.U8(TickOptions(run.Tick));
  }
  w.U32(ReplayChecksum(w.Out));
  return w.Out;
}

TReplay DecodeReplay(std::string_view bytes) {
  if (bytes.size() > kReplayMaxBytes) throw TooLarge();
  if (bytes.size() < 6 || bytes.substr(0, 4) != std::string_view(kMagic, 4))
    throw TReplayError("リプレイファイルではありません。");
  TReader header(bytes.substr(4, 2));
  const uint16_t version = header.U16();
  if (version > kReplayVersion || version == 0)
    throw TReplayError("新しいバージョンのゲームで記録されたリプレイです（形式 " +
                           std::to_string(version) + "）。ゲームを更新してから再生してください。",
                       true);
  if (bytes.size() < 10) throw TReplayError(kDamaged);
  const std::string_view body = bytes.substr(0, bytes.size() - 4);
  if (TReader(bytes.substr(bytes.size() - 4)).U32() != ReplayChecksum(body))
    throw TReplayError(kDamaged);

  TReader in(body.substr(6));
  TReplay r;
  r.GameVersion = in.Text();
  r.Mission = in.I32();
  const uint8_t flags = in.U8();
  if (flags & 0xF0) throw TReplayError(kDamaged);
  r.SinglePlay = flags & 1;
  r.PlayStarted = flags & 2;
  r.DirectInput = flags & 4;
  r.God = flags & 8;
  r.MissionFile = in.Text();
  r.MissionFileHash = in.U64();
  r.ListHash = in.U64();
  r.Difficulty = in.U8();
  r.BriefingSeed = in.U32();
  r.Seed = in.U32();
  r.ReinforcementTimer = in.I32();
  r.ReinforcementStep = in.I32();
  r.StartActive = in.States();
  r.StartLastRaw = in.States();
  r.Result.Score = in.I32();
  r.Result.FrameCount = in.I32();
  r.Result.Ticks = in.U32();
  const uint8_t outcome = in.U8();
  if (r.Difficulty < 1 || r.Difficulty > 3 || outcome < 1 || outcome > 3 ||
      r.Result.Ticks > kReplayMaxTicks)
    throw TReplayError(kDamaged);
  r.Result.Outcome = static_cast<TReplayOutcome>(outcome);
  const uint32_t runs = in.U32();
  // Each run takes at least eight bytes: no count can ask for more than the file holds.
  if (runs > body.size() / 8) throw TReplayError(kDamaged);
  r.Runs.reserve(runs);
  uint64_t ticks = 0;
  for (uint32_t i = 0; i < runs; ++i) {
    TReplayRun run;
    run.Count = in.Varint();
    run.Tick.Raw = in.States();
    run.Tick.Keys = in.U8();
    const uint8_t options = in.U8();
    run.Tick.Difficulty = options & 3;
    run.Tick.DirectInput = options & 4;
    run.Tick.Abandon = options & 8;
    ticks += run.Count;
    if (run.Count == 0 || (run.Tick.Keys & 0xC0) || (options & 0xF0) || run.Tick.Difficulty == 0 ||
        ticks > r.Result.Ticks)
      throw TReplayError(kDamaged);
    r.Runs.push_back(run);
  }
  if (ticks != r.Result.Ticks || !in.AtEnd()) throw TReplayError(kDamaged);
  return r;
}

TReplay ReadReplayFile(const std::string& path) {
  // Only a regular file, and a huge one is refused without being read: a replay named
  // /dev/zero or a FIFO must not hang or fill the memory.
  std::optional<std::string> bytes;
  try {
    if (IsRegularFile(path) && std::filesystem::file_size(path) > kReplayMaxBytes) throw TooLarge();
    bytes = ReadRegularFile(path, kReplayMaxBytes);
  } catch (const TReplayError&) {
    throw;
  } catch (const std::exception& e) {
    throw TReplayError("リプレイファイル " + path + " を読みこめません: " + e.what());
  }
  if (!bytes) throw TReplayError("リプレイファイル " + path + " を開けません。");
  return DecodeReplay(*bytes);
}

void WriteReplayFile(const std::string& path, const TReplay& replay) {
  const std::string bytes = EncodeReplay(replay);
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  bool ok = fd >= 0;
  for (size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  if (fd >= 0) {
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
  }
  if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    throw TReplayError("リプレイを " + path + " に書きこめません。");
  }
}

std::string Hex16(uint64_t value) {
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(value));
  return hex;
}

bool BetterRun(const TReplayResult& a, const TReplayResult& b) {
  const bool aClear = a.Outcome == TReplayOutcome::Clear;
  const bool bClear = b.Outcome == TReplayOutcome::Clear;
  return aClear != bClear ? aClear : a.Score > b.Score;
}

std::string StoreReplay(const std::string& folder, const TReplay& replay) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) throw TReplayError("リプレイの保存先 " + folder + " を作れません。");

  std::map<long, fs::path> runs;  // by number
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    const std::string digits = name.size() > 8 ? name.substr(4, name.size() - 8) : "";
    if (name.rfind("run-", 0) == 0 && name.ends_with(kReplayExtension) && !digits.empty() &&
        digits.size() <= 9 &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      runs[std::stol(digits)] = entry.path();
  }
  const long next = runs.empty() ? 1 : runs.rbegin()->first + 1;
  char name[32];
  std::snprintf(name, sizeof name, "run-%06ld%s", next, kReplayExtension);
  const std::string path = folder + "/" + name;
  WriteReplayFile(path, replay);
  runs[next] = path;
  while (runs.size() > static_cast<size_t>(kKeepRuns)) {
    fs::remove(runs.begin()->second, error);
    runs.erase(runs.begin());
  }

  std::string best = "best-" + std::to_string(replay.Mission);
  if (!replay.MissionFile.empty()) {
    best = "best-omf-" + Hex16(Fnv1a64(replay.MissionFile));
  }
  best = folder + "/" + best + kReplayExtension;
  // A run in the runner's invulnerable mode is no fair run: it is kept, but never as a best.
  bool write = !replay.God;
  if (write && fs::exists(best, error)) {
    try {
      write = BetterRun(replay.Result, ReadReplayFile(best).Result);
    } catch (const TReplayError& e) {
      // A damaged best gives way; one from a newer game is the player's and stays.
      write = !e.Newer;
    }
  }
  if (write) WriteReplayFile(best, replay);
  return path;
}

}  // namespace velmora
