#include "platform/headless/SimRunner.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "engine/FileRead.h"
#include "engine/Random.h"
#include "missions/MissionFile.h"
#include "pilot/AutoPilot.h"
#include "platform/InstalledData.h"
#include "platform/headless/Headless.h"
#include "platform/headless/SimTrace.h"
#include "shell/MainForm.h"
#include "shell/Records.h"

namespace velmora {

namespace {

// A keys event that presses whatever key fires (see the start below).
constexpr int kFireKey = -1;

// The key the pilot presses for an action: one that also steers without DirectInput (for
// the default keys: Space and the cursor keys, as the pilot always pressed).
int PilotKey(const TKeyBindings& bindings, int action) {
  for (int key : bindings.Keys[action])
    if (key != 0 && bindings.FeedsFlag(action, key)) return key;
  return bindings.Keys[action][0];
}

std::string Number(double v) {
  std::ostringstream s;
  s.precision(10);
  s << v;
  return s.str();
}

// Runs a piece of the game through its own error handler, as the window does; the runner
// also reports the error and fails at the end.
struct TGuard {
  TMainForm& Form;
  std::ostream& Err;
  int Frame = 0;
  int Errors = 0;

  void operator()(const std::function<void()>& call) {
    try {
      call();
    } catch (const std::exception& e) {
      ++Errors;
      Err << "velmora-sim: error at frame " << Frame << ": " << e.what() << "\n";
      Form.AppExceptionHandler(e);
    }
  }
};

// Chooses a menu item as a player would: every menu on the way is opened first (which runs
// its handler), and an item that cannot be reached is an error of the command line.
// What the game itself throws goes to its own error handler.
void ChooseMenuItem(TGuard& guard, const std::string& name) {
  TMainForm& form = guard.Form;
  TMenuItem* item = form.MainMenu.Find(name);
  if (!item || item == &form.MainMenu) throw std::runtime_error("no menu item '" + name + "'");
  std::vector<TMenuItem*> path;
  for (TMenuItem* p = item; p && p != &form.MainMenu; p = p->Parent)
    path.insert(path.begin(), p);
  for (TMenuItem* step : path) {
    if (!step->Enabled) throw std::runtime_error("menu item '" + step->Name + "' is disabled");
    // A hidden item still answers its shortcut.
    if (!step->Visible && (step != item || step->ShortCut.empty()))
      throw std::runtime_error("menu item '" + step->Name + "' is hidden");
    if (step->Caption == "-") throw std::runtime_error("'" + name + "' is a separator");
    guard([step] { step->Click(); });
  }
}

// What --replay prints: the result as recorded and as played again.
int ReportPlayback(const TReplayDeck& deck, const TReplay& replay, bool verify, std::ostream& out,
                   std::ostream& err) {
  const auto& playback = deck.LastPlayback();
  if (!playback) {
    err << "velmora-sim: the replay did not come to its end\n";
    return 3;
  }
  out << "recorded: " << DescribeResult(playback->Recorded) << "\n"
      << "replayed: " << DescribeResult(playback->Played) << "\n";
  if (playback->ListChanged) {
    err << "velmora-sim: the mission's list has changed since the replay was recorded\n";
    return 1;
  }
  if (playback->Stopped) out << "stopped by Escape\n";
  if (!verify) return 0;
  // The same result proves the file consistent, not the run fair: say what it was played with.
  out << "options: difficulty " << replay.Difficulty << ", DirectInput "
      << (replay.DirectInput ? "on" : "off") << ", god mode "
      << (replay.God ? "ON (invulnerable: not a fair run)" : "off") << "\n";
  out << (playback->Same() ? "verify: same\n" : "verify: differs\n");
  return playback->Same() ? 0 : 1;
}

}  // namespace

int RunMissionCheck(const std::string& path, std::ostream& out) {
  const TMissionCheck check = CheckMissionFiles(path);
  int warnings = 0;
  for (const TMissionFinding& finding : check.Findings) {
    out << finding.Text << "\n";
    warnings += finding.Warning;
  }
  out << check.FilesReadThrough << " of 4 files read to the end, " << warnings << " warning"
      << (warnings == 1 ? "" : "s");
  if (check.GameErrors > 0)
    out << ", " << check.GameErrors << " line" << (check.GameErrors == 1 ? "" : "s")
        << " the game stops on";
  out << "\n";
  return check.FilesReadThrough == 4 && check.GameErrors == 0 ? 0 : 1;
}

int PrintRecords(const std::string& dir, std::ostream& out, std::ostream& err) {
  const std::string path = dir + "/" + kRecordsFileName;
  TRecordBook book;
  try {
    if (const auto bytes = ReadRegularFile(path, kRecordsMaxBytes)) book = DecodeRecords(*bytes);
  } catch (const std::exception& e) {
    err << "velmora-sim: " << path << ": " << e.what() << "\n";
    return 1;
  }
  out << RecordsViewText(MakeRecordsView(book, dir + "/replays"));
  return 0;
}

int RunSim(const TSimOptions& o, std::ostream& out, std::ostream& err, ISoundDevice* sound) {
  auto machine = std::make_unique<THeadlessMachine>();
  machine->System.Folder = o.Dir;
  // Like the game, the runner finds its music and help beside itself, or in the share
  // folder of the prefix it was installed into.
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) machine->System.Data = FindDataFolder(self.parent_path(), machine->System.Data);
  if (!o.Data.empty()) machine->System.Data = o.Data;
  for (const std::string& a : o.Answers)
    machine->Dialogs.Answers.push_back(a);
  if (o.LogDialogs)
    machine->Dialogs.OnDialog = [&out](const THeadlessDialogs::TRecord& r) {
      out << "dialog " << r.Kind << (r.DefaultNo ? " (default no)" : "") << ": " << r.Text << " -> "
          << r.Answer << "\n";
    };

  std::vector<TKeyEvent> keys =
      o.KeysFile.empty() ? std::vector<TKeyEvent>{} : ReadKeyScript(o.KeysFile);
  std::string startItem;
  if (o.Start == "campaign") startItem = "GameNext";
  if (o.Start.rfind("mission:", 0) == 0) startItem = StartItem(std::stoi(o.Start.substr(8)));
  if (o.Start.rfind("omf:", 0) == 0) startItem = "LoadCustomMission";
  // A mission's briefing entered directly, as a single mission whether unlocked or not.
  std::optional<int32_t> playList;
  if (o.Start.rfind("play:", 0) == 0) playList = std::stoi(o.Start.substr(5));
  std::optional<TReplay> replay;
  TReplay watched;
  if (!o.ReplayFile.empty()) {
    try {
      replay = ReadReplayFile(o.ReplayFile);
    } catch (const TReplayError& e) {
      err << "velmora-sim: " << o.ReplayFile << ": " << e.what() << "\n";
      return 2;
    }
  }
  if (o.Start != "title" || replay) {
    // The player's fire key, whatever [Keys] makes it (kFireKey is resolved when pressed).
    keys.insert(keys.begin(), {{1, true, kFireKey}, {3, false, kFireKey}});
    std::stable_sort(keys.begin(), keys.end(),
                     [](const TKeyEvent& a, const TKeyEvent& b) { return a.Frame < b.Frame; });
  }
  std::ofstream trace;
  if (!o.TraceFile.empty()) {
    trace.open(o.TraceFile);
    if (!trace) throw std::runtime_error("cannot write trace " + o.TraceFile);
  }
  std::optional<TGoldenDigest> golden;
  if (!o.GoldenFile.empty()) {
    golden.emplace();
    if (!o.GoldenWrite) {
      std::ifstream expected(o.GoldenFile);
      if (!expected) throw std::runtime_error("cannot read golden digest " + o.GoldenFile);
      golden->Expect(expected);
    }
  }

  TPlatform platform{machine->Display,
                     machine->Input,
                     sound ? *sound : static_cast<ISoundDevice&>(machine->Sound),
                     machine->Dialogs,
                     machine->System,
                     machine->RankingDialog,
                     machine->RankingTransport};
  TMainForm form(platform);
  TGuard guard{form, err};
  int recorded = 0, recordErrors = 0;
  if (!o.RecordFile.empty())
    form.Replays.OnRecorded = [&](const TReplay& take) {
      std::string path = o.RecordFile;
      if (++recorded > 1) {
        const size_t dot = path.rfind('.');
        const size_t at = dot == std::string::npos || dot < path.rfind('/') + 1 ? path.size() : dot;
        path.insert(at, "-" + std::to_string(recorded));
      }
      try {
        WriteReplayFile(path, take);
        out << "recorded " << path << ": " << DescribeResult(take.Result) << "\n";
      } catch (const TReplayError& e) {
        ++recordErrors;
        err << "velmora-sim: " << e.what() << "\n";
      }
    };
  // Like the window, the runner keeps the records of the missions it plays to their end.
  form.KeepRecords();
  form.FormCreate();
  if (form.SceneState == ssNone) {
    err << "velmora-sim: the game did not start\n";
    return 1;
  }
  guard([&form] { form.FormPaint(); });
  static const char* const kDifficultyItems[] = {"", "OptionEasy", "OptionMedium",
                                                 "OptionDifficult"};
  try {
    if (o.Difficulty) ChooseMenuItem(guard, kDifficultyItems[o.Difficulty]);
  } catch (const std::exception& e) {
    err << "velmora-sim: " << e.what() << "\n";
    return 1;
  }
  // Every mission start re-seeds from the clock, so the seed has to move the clock as well
  // for another seed to give another game.
  if (o.Seed) RandSeed() = *o.Seed, machine->System.Now += *o.Seed;

  // Keys held by the runner itself (the pilot), pressed and released on change only.
  std::array<bool, 256> held{};
  auto hold = [&](int key, bool down) {
    if (held[key] == down) return;
    held[key] = down;
    machine->Input.Keys[key] = down;
    guard([&] { down ? form.FormKeyDown(key) : form.FormKeyUp(key); });
  };
  TAutoPilot pilot;
  // Under --god damage counts within a tick but never reaches the end of either plane: one
  // tick's contacts (the great bomber's alone cost 90) could otherwise pass 100 at once.
  PlayerHeldAlive = CommanderHeldAlive = o.God;

  const int limit = o.Frames > 0 ? o.Frames
                    : replay && replay->TickCount()
                        ? static_cast<int>(replay->TickCount()) + 100'000
                        : 1'000'000;
  bool watching = false;
  size_t nextKey = 0;
  std::vector<double> tickMs;
  tickMs.reserve(o.Bench ? limit : 0);
  int frame = 0;
  const auto wallStart = std::chrono::steady_clock::now();
  try {
    for (frame = 1; frame <= limit; ++frame) {
      guard.Frame = frame;
      for (; nextKey < keys.size() && keys[nextKey].Frame <= frame; ++nextKey) {
        TKeyEvent e = keys[nextKey];
        if (e.Key == kFireKey) e.Key = form.KeyBindings.Keys[kaFire][0];
        machine->Input.Keys[e.Key] = e.Down;
        guard([&] { e.Down ? form.FormKeyDown(e.Key) : form.FormKeyUp(e.Key); });
      }
      if (!startItem.empty() && form.SceneState == ssMenu) {
        if (startItem == "LoadCustomMission")
          machine->Dialogs.Answers.push_front("file:" + o.Start.substr(4));
        const std::string item = startItem;
        startItem.clear();
        ChooseMenuItem(guard, item);
      }
      if (replay && form.SceneState == ssMenu && !form.Replays.Watching()) {
        try {
          form.Replays.Watch(*replay);
        } catch (const TReplayError& e) {
          err << "velmora-sim: " << o.ReplayFile << ": " << e.what() << "\n";
          return 2;
        }
        watched = std::move(*replay);
        replay.reset();
        watching = true;
      }
      if (playList && form.SceneState == ssMenu) {
        form.Mission = *playList;
        form.SinglePlay = true;
        playList.reset();
        guard([&form] { form.SetScene(ssBriefing); });
      }
      for (const auto& [at, item] : o.Clicks)
        if (at == frame) ChooseMenuItem(guard, item);
      if (o.Auto) {
        pilot.Step(form);
        hold(PilotKey(form.KeyBindings, kaFire), pilot.Space);
        hold(PilotKey(form.KeyBindings, kaLeft), pilot.Left);
        hold(PilotKey(form.KeyBindings, kaRight), pilot.Right);
        hold(PilotKey(form.KeyBindings, kaUp), pilot.Up);
        hold(PilotKey(form.KeyBindings, kaDown), pilot.Down);
      }
      if (o.God) form.Damage = 0;
      if (machine->Display.CloseRequested) break;
      if (o.Realtime)
        std::this_thread::sleep_until(wallStart + frame * std::chrono::milliseconds(16));
      machine->System.Now += 16;
      const auto start = std::chrono::steady_clock::now();
      guard([&form] { form.Idle(); });
      if (machine->Display.CloseRequested) break;
      if (o.Bench)
        tickMs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
      if (trace.is_open() || golden) {
        const TTraceFrame captured = CaptureFrame(frame, form);
        if (trace.is_open()) WriteTraceLine(trace, captured);
        if (golden) golden->Add(captured);
      }
      for (const auto& [at, file] : o.Shots)
        if (at == frame) SaveScreenshot(machine->Display, file);
      if (!o.Until.empty() && o.Until == SceneName(form.SceneState)) break;
      if (watching && !form.Replays.Watching()) break;
    }
  } catch (const std::exception& e) {
    err << "velmora-sim: error at frame " << frame << ": " << e.what() << "\n";
    return 1;
  }
  // A mission still being recorded ends here as abandoned.
  form.StopRecording();
  if (golden && o.GoldenWrite) {
    std::ofstream file(o.GoldenFile);
    golden->Write(file);
    if (!file.flush()) throw std::runtime_error("cannot write golden digest " + o.GoldenFile);
  } else if (golden && !golden->Difference().empty()) {
    err << "velmora-sim: not the golden run: " << golden->Difference() << "\n";
    return 4;
  }
  if (recordErrors) return 1;
  if (watching) return ReportPlayback(form.Replays, watched, o.Verify, out, err);
  if (machine->Display.CloseRequested) {
    // What the window does on its way out.
    form.FormCloseQuery();
    out << "frames: " << std::min(frame, limit) << "  closed\n";
    return guard.Errors ? 1 : 0;
  }
  if (guard.Errors) return 1;
  if (!o.Until.empty() && o.Until != SceneName(form.SceneState)) {
    err << "velmora-sim: scene '" << o.Until << "' not reached within " << limit << " frames\n";
    return 3;
  }
  if (o.Bench && !tickMs.empty()) {
    double total = 0;
    for (double t : tickMs)
      total += t;
    std::sort(tickMs.begin(), tickMs.end());
    auto pct = [&](double p) { return tickMs[static_cast<size_t>(p * (tickMs.size() - 1))]; };
    out << "ticks: " << tickMs.size()
        << "\nticks per second: " << Number(tickMs.size() / (total / 1000))
        << "\ntick ms p50: " << Number(pct(0.5)) << "  p90: " << Number(pct(0.9))
        << "  p99: " << Number(pct(0.99)) << "  max: " << Number(tickMs.back()) << "\n";
  }
  out << "frames: " << std::min(frame, limit) << "  scene: " << SceneName(form.SceneState) << "\n";
  return 0;
}

}  // namespace velmora
