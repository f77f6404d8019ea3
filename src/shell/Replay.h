// Replays: one mission as it was played, kept as the input of every tick. The game is
// deterministic (one thread, a fixed step, one random generator seeded at the mission's
// start), so the seed, the few settings that change play and the input states are enough
// to play it again exactly.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Input.h"

namespace velmora {

constexpr uint16_t kReplayVersion = 1;
// Beyond these a file is refused before anything is allocated for it.
constexpr size_t kReplayMaxBytes = size_t{16} << 20;
constexpr uint32_t kReplayMaxTicks = 4'000'000;  // about 18 hours of play
constexpr const char* kReplayExtension = ".vmr";
constexpr const char* kReplayFileFilter = "リプレイファイル|*.vmr";

enum class TReplayOutcome : uint8_t { Clear = 1, Failure = 2, Abandon = 3 };
const char* OutcomeName(TReplayOutcome outcome);

// The window's six key flags as one byte.
enum : uint8_t {
  kKeyEnter = 1,
  kKeySpace = 2,
  kKeyUp = 4,
  kKeyDown = 8,
  kKeyLeft = 16,
  kKeyRight = 32,
};

// What reached the game in one tick.
struct TReplayTick {
  TInputStates Raw;  // the devices' united raw set, before the edge rule
  uint8_t Keys = 0;  // kKey* flags as the tick found them
  uint8_t Difficulty = 1;
  bool DirectInput = true;
  bool Abandon = false;  // Escape during the paused mission came just before this tick
  bool operator==(const TReplayTick&) const = default;
};

struct TReplayRun {
  uint32_t Count = 0;
  TReplayTick Tick;
};

// How the mission ended; what --verify compares.
struct TReplayResult {
  int32_t Score = 0;
  int32_t FrameCount = 0;  // the game's frame counter when the mission ended
  uint32_t Ticks = 0;      // ticks from the briefing to the end
  TReplayOutcome Outcome = TReplayOutcome::Abandon;
  bool operator==(const TReplayResult&) const = default;
};
// "score 1200  frames 3456  ticks 3700  outcome clear"
std::string DescribeResult(const TReplayResult& result);

struct TReplay {
  std::string GameVersion;
  int32_t Mission = 0;
  bool SinglePlay = false;
  std::string MissionFile;       // a user mission's file, else empty
  uint64_t MissionFileHash = 0;  // of that file and its three siblings
  bool PlayStarted = false;      // false: left before the mission itself began
  uint64_t ListHash = 0;         // of the mission's list as built when play began
  int32_t Difficulty = 1;
  bool DirectInput = true;
  bool God = false;  // the runner's --god: damage held at 0
  uint32_t BriefingSeed = 0;
  uint32_t Seed = 0;  // right after the mission start's re-seed
  // The reinforcement cycle carries over from one mission to the next.
  int32_t ReinforcementTimer = 0;
  int32_t ReinforcementStep = 0;
  // The input component when the briefing began: a button held from the screen before
  // must not count as a new press.
  TInputStates StartActive;
  TInputStates StartLastRaw;
  std::vector<TReplayRun> Runs;
  TReplayResult Result;

  // Adds a tick, extending the last run when it is the same input.
  void Append(const TReplayTick& tick);
  uint32_t TickCount() const;
};

// Everything wrong with a replay file, in words for the player.
class TReplayError : public std::runtime_error {
 public:
  explicit TReplayError(const std::string& message, bool newer = false)
      : std::runtime_error(message), Newer(newer) {}
  bool Newer;  // written by a newer game: kept, never overwritten
};

std::string EncodeReplay(const TReplay& replay);
// Throws TReplayError for anything that is not a whole replay of a version this game knows.
TReplay DecodeReplay(std::string_view bytes);
// The check value at a file's end, over all the bytes before it.
uint32_t ReplayChecksum(std::string_view bytes);

TReplay ReadReplayFile(const std::string& path);
// Written beside the target, then renamed over it: a crash leaves the old file or the new.
void WriteReplayFile(const std::string& path, const TReplay& replay);
// Into the replays folder: every run as run-NNNNNN.vmr, of which the newest ten are kept,
// and the best of each mission (cleared before not, then by score) as best-MISSION.vmr.
// Returns the run's path.
std::string StoreReplay(const std::string& folder, const TReplay& replay);
// True when a outranks b as a mission's best run.
bool BetterRun(const TReplayResult& a, const TReplayResult& b);

uint64_t Fnv1a64(std::string_view bytes, uint64_t hash = 14695981039346656037ull);
// Sixteen lower-case hex digits.
std::string Hex16(uint64_t value);

}  // namespace velmora
