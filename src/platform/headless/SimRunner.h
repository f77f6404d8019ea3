// velmora-sim: the real main form on the headless machine, driven from the command line.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

class ISoundDevice;
enum class TSceneState : uint8_t;

struct TSimOptions {
  std::string Dir = ".";
  int Difficulty = 0;  // 0: as stored
  std::optional<uint32_t> Seed;
  std::string Start = "title";
  std::vector<std::pair<int, std::string>> Clicks;  // frame, menu item name
  int Frames = 0;                                   // 0: no limit of its own
  std::string Until;                                // scene name
  std::string KeysFile;
  bool Auto = false;
  bool God = false;
  std::vector<std::string> Answers;
  std::vector<std::pair<int, std::string>> Shots;  // frame, PNG path
  std::string TraceFile;
  bool LogDialogs = false;
  bool Bench = false;
  bool SdlAudio = false;     // the caller hands RunSim a real sound device
  bool Realtime = false;     // one tick every 16 ms of wall time
  std::string RecordFile;    // each mission played, as a replay (the second one FILE-2 ...)
  std::string ReplayFile;    // a replay to play instead of the keyboard
  bool Verify = false;       // with ReplayFile: exit 1 when the result differs from the record
  std::string Data;          // music and help; empty: beside the runner, else the build's folder
  std::string GoldenFile;    // a golden digest to compare the run with (exit 4 when it differs)
  bool GoldenWrite = false;  // ... or to write
};

// Throws std::invalid_argument with a usage message on a bad command line.
TSimOptions ParseSimArgs(const std::vector<std::string>& args);
// Runs the game; returns the process exit code. With `sound` the game plays through that
// device instead of the silent headless one.
int RunSim(const TSimOptions& options, std::ostream& out, std::ostream& err,
           ISoundDevice* sound = nullptr);

// --check FILE.omf: the mission file and its siblings through the game's reader; prints one
// line per finding and returns 0 when all four files read to the end, else 1.
int RunMissionCheck(const std::string& path, std::ostream& out);

// --records DIR: the records (戦績) kept in a settings folder, as text; the file is only read.
// Returns 0, or 1 when the file is damaged.
int PrintRecords(const std::string& dir, std::ostream& out, std::ostream& err);

// The scene names of the command line ("title" ... "result"; "none" before the first).
const char* SceneName(TSceneState state);
// A key name of a keys script ("Z", "Space", "F12" ...) as a virtual-key code; -1 if unknown.
int KeyCodeOf(const std::string& name);

struct TKeyEvent {
  int Frame;
  bool Down;
  int Key;
};
// A keys script: lines "FRAME down|up KEY", in the order of their frames.
std::vector<TKeyEvent> ReadKeyScript(const std::string& file);
// The name of the menu item a player chooses to start mission N; empty when none does.
std::string StartItem(int mission);

}  // namespace velmora
