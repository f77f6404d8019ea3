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

#include "engine/Random.h"
#include "missions/Appearance.h"
#include "missions/MissionFile.h"
#include "platform/InstalledData.h"
#include "platform/headless/Headless.h"
#include "platform/headless/SimTrace.h"
#include "shell/MainForm.h"
#include "sprites/Bosses.h"
#include "sprites/Commander.h"
#include "sprites/Enemy.h"
#include "sprites/EnemyShots.h"
#include "sprites/HeavyBomber.h"
#include "sprites/Issiki.h"
#include "sprites/Player.h"
#include "sprites/PlayerShots.h"
#include "sprites/SpawnFlags.h"
#include "sprites/TextSprites.h"

namespace velmora {

namespace {

constexpr const char* kUsage =
    "usage: velmora-sim [--dir PATH] [--difficulty 1|2|3] [--seed N]\n"
    "                   [--start title|menu|campaign|mission:N|play:N|omf:PATH]\n"
    "                   [--click FRAME:ITEM]...\n"
    "                   [--frames N] [--until SCENE] [--keys SCRIPT] [--auto] [--god]\n"
    "                   [--answer LIST] [--shot FRAME:FILE.png]... [--trace FILE.jsonl]\n"
    "                   [--log-dialogs] [--bench] [--sdl-audio] [--realtime] [--data PATH]\n"
    "                   [--record FILE] [--replay FILE [--verify]]\n"
    "                   [--golden FILE | --golden-write FILE]\n"
    "       velmora-sim --check FILE.omf";

[[noreturn]] void Usage(const std::string& why) {
  throw std::invalid_argument(why + "\n" + kUsage);
}

int ToInt(const std::string& text, const std::string& what) {
  try {
    size_t used = 0;
    const long long v = std::stoll(text, &used);
    if (used != text.size() || v < INT32_MIN || v > INT32_MAX) throw std::out_of_range(text);
    return static_cast<int>(v);
  } catch (const std::logic_error&) {
    Usage("bad " + what + ": '" + text + "'");
  }
}

uint32_t ToSeed(const std::string& text) {
  // Digits only: std::stoull would take "-1" and "12abc" and say "stoull" for "abc".
  if (text.empty() || text.size() > 10 ||
      text.find_first_not_of("0123456789") != std::string::npos || std::stoull(text) > UINT32_MAX)
    Usage("bad seed: '" + text + "' (expected 0 to 4294967295)");
  return static_cast<uint32_t>(std::stoull(text));
}

std::pair<int, std::string> FramePair(const std::string& text, const std::string& what) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon + 1 == text.size())
    Usage("bad " + what + ": '" + text + "' (expected FRAME:VALUE)");
  return {ToInt(text.substr(0, colon), what + " frame"), text.substr(colon + 1)};
}

std::string Number(double v) {
  std::ostringstream s;
  s.precision(10);
  s << v;
  return s.str();
}

struct TKeyEvent {
  int Frame;
  bool Down;
  int Key;
};

std::vector<TKeyEvent> ReadKeys(const std::string& file) {
  std::ifstream in(file);
  if (!in) throw std::runtime_error("cannot read keys script " + file);
  std::vector<TKeyEvent> events;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    std::istringstream words(line);
    std::string frame, action, key;
    if (!(words >> frame) || frame[0] == '#') continue;
    if (!(words >> action >> key) || (action != "down" && action != "up"))
      throw std::runtime_error(file + ":" + std::to_string(lineNo) +
                               ": expected 'FRAME down|up KEY'");
    const int code = KeyCodeOf(key);
    if (code < 0)
      throw std::runtime_error(file + ":" + std::to_string(lineNo) + ": unknown key '" + key + "'");
    events.push_back({ToInt(frame, "keys frame"), action == "down", code});
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const TKeyEvent& a, const TKeyEvent& b) { return a.Frame < b.Frame; });
  return events;
}

// The menu item a player chooses to start the mission.
std::string StartItem(int mission) {
  static const std::map<int, std::string> kItems = {
      {1, "SinglePlay_1"}, {2, "SinglePlay_2"}, {3, "SinglePlay_3"}, {4, "SinglePlay_4"},
      {5, "SinglePlay_5"}, {6, "N20"},          {7, "N21"},          {8, "N23"},
      {9, "N25"},          {10, "N26"},         {11, "N27"},         {9999, "N19"}};
  auto it = kItems.find(mission);
  return it == kItems.end() ? std::string() : it->second;
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

// The simple pilot: taps Space on the screens that wait for a button; in play it holds fire,
// catches falling items and lines up under what matters most: the boss carrier's bridge or the
// battleship's hull, then any enemy holding the schedule, then the lowest aircraft or ship
// still ahead; it dodges what it cannot survive touching.
struct TAutoPilot {
  bool Space = false, Left = false, Right = false, Up = false, Down = false;

  void Step(TMainForm& form) {
    const int scene = form.SceneState;
    const bool waits = scene == 1 || scene == 3 || scene == 7;
    Left = Right = Up = Down = false;
    if (waits) {
      // The finale is watched to its last page before going on.
      const bool finale = scene == 7 && form.Mission == 5 &&
                          form.AppearanceIndex < static_cast<int32_t>(AppearanceList.size());
      Space = !finale && form.FrameCount >= 30 && form.FrameCount % 10 < 5;
    } else if (scene == 5) {
      Space = true;
      Steer(form);
    } else {
      Space = false;
    }
  }

 private:
  static const TImageSprite* Escorted() {
    return MainForm->CommanderPresent && CommanderPlane && CommanderPlane->Collides ? CommanderPlane
                                                                                    : nullptr;
  }

  // The lower an enemy, the sooner it strikes; while escorting, one closing on the escorted
  // plane's line strikes sooner still.
  static double Threat(const TEnemy& e, double cx) {
    const TImageSprite* c = Escorted();
    return c ? e.Y - 0.5 * std::abs(cx - (c->X + c->Width / 2.0)) : e.Y;
  }

  // While escorting, only what comes down within reach of the escorted plane is worth
  // leaving it for: every turn away drags it along behind.
  static bool Near(double cx) {
    const TImageSprite* c = Escorted();
    return !c || std::abs(cx - (c->X + c->Width / 2.0)) < 200;
  }

  // The great bomber costs 90 at a touch: under its middle while there is room below it,
  // else beside it where the screen leaves more room, until it climbs again.
  static std::pair<double, double> AroundTheBomber(const TEnemyB29& b) {
    const double bottom = b.Y + b.Height;
    if (bottom < 260) return {b.X + b.Width / 2.0, std::max(200.0, bottom + 60)};
    const bool left = b.X > 640 - (b.X + b.Width);
    return {left ? b.X - 60 : b.X + b.Width + 60, 400.0};
  }

  void Steer(TMainForm& form) {
    const TPlayerSprite* me = PlayerSprite;
    if (!me || me->State != 0) return;
    const double x = me->X + me->Width / 2.0;
    const double y = me->Y;
    std::optional<std::pair<double, double>> goal;
    int rank = 0;  // of the goal chosen so far; higher wins
    double lowest = -1e9;
    std::vector<const TEnemy*> threats;
    // Escorting, fly low: the plane below trails off the bottom edge, where little reaches it.
    const double line = Escorted() ? 430.0 : 360.0;
    const TSpriteEngine& engine = form.SpriteEngine.Engine;
    for (int i = 0; i < engine.Count(); ++i) {
      const TSprite* s = engine.Items(i);
      if (!s->Visible || !s->Collides) continue;
      const double cx = s->X + s->Width / 2.0;
      if (dynamic_cast<const TItemSprite*>(s)) {
        if (rank < 4) goal = {{cx, std::clamp(s->Y + 40.0, 200.0, 400.0)}}, rank = 4;
        continue;
      }
      const auto* e = dynamic_cast<const TEnemy*>(s);
      if (!e || e->State < 0 || dynamic_cast<const TEnemyTama*>(s) ||
          dynamic_cast<const TIssiki*>(s))
        continue;
      if (const auto* b29 = dynamic_cast<const TEnemyB29*>(s)) {
        if (rank < 3) goal = AroundTheBomber(*b29), rank = 3;
        continue;
      }
      if (dynamic_cast<const TEnemyEnterprise*>(s)) {
        // Only the island takes hits: keep the volley on it from a little closer in.
        if (rank < 3) goal = {{e->X + 315, 300.0}}, rank = 3;
        continue;
      }
      if (dynamic_cast<const TEnemyMissouri*>(s)) {
        // Only the hull amidships, between the forward and the after turrets, wears down
        // the battleship.
        if (rank < 3) goal = {{e->X + 294, 300.0}}, rank = 3;
        continue;
      }
      if (e->Power >= 100) {
        // Ramming one ends the flight before --god can clear the damage: keep out of its way.
        if (e->Y < me->Y + me->Height) threats.push_back(e);
        continue;
      }
      if (e->Y + e->Height <= 0 || e->Y >= y) continue;
      if (e->Flags & SF_STOPADV) {
        if (rank < 2) goal = {{cx, line}}, rank = 2;
      } else if (rank <= 1 && Threat(*e, cx) > lowest && Near(cx)) {
        lowest = Threat(*e, cx);
        goal = {{cx, line}};
        rank = 1;
      }
    }
    if (!threats.empty()) return Dodge(threats);
    // Escorting with nothing near: hold the middle rather than weave.
    if (!goal && Escorted()) goal = {{320.0, line}};
    if (!goal) {
      // Nothing in sight: weave across the field.
      const int phase = form.FrameCount % 160;
      Left = phase < 40;
      Right = phase >= 80 && phase < 120;
      return;
    }
    const double dx = goal->first - x, dy = goal->second - y;
    Left = dx < -6;
    Right = dx > 6;
    Up = dy < -6;
    Down = dy > 6;
  }

  // Low down, searching frame by frame, in steps of one frame's travel, for a way through the
  // next 40 frames that no faller crosses. The fallers dive straight (pattern 4) or steer a
  // little after us (pattern 1), gathering speed with their age.
  void Dodge(const std::vector<const TEnemy*>& threats) {
    const TPlayerSprite* me = PlayerSprite;
    // Contact counts only within the fighter's inner box, 30 px in from its sides.
    const double half = me->Width / 2.0, x = me->X + half, reach = std::abs(half - 30) + 4;
    const double top = me->Y + 7, bottom = me->Y + me->Height - 7;
    struct TPass {
      double Left, Right, In, Out;  // the columns it covers and when (frames from now)
    };
    std::vector<TPass> passes;
    for (const TEnemy* e : threats) {
      // Its speed grows by one pixel a frame every 16 frames: d = v t + t^2 / 32.
      const double v = (e->Pattern == 1 ? 3.2 : 4.0) + e->Age / 256;
      const auto after = [v](double d) {
        return d <= 0 ? d / v : 16 * (std::sqrt(v * v + d / 8) - v);
      };
      // A steering one closes in by up to 4 px a frame until it arrives.
      const double in = after(top - e->Y - e->Height);
      const double steer = e->Pattern == 1 ? std::clamp(4 * in, 0.0, 40.0) : 0;
      const bool toLeft = e->X + e->Width / 2.0 > x;
      passes.push_back({e->X - 3 - (toLeft ? steer : 0), e->X + e->Width + 3 + (toLeft ? 0 : steer),
                        in - 1, after(bottom - e->Y) + 1});
    }
    constexpr int kSide = 80, kCells = 2 * kSide + 1;
    const auto free = [&](int cell, int t) {
      const double cx = x + 8 * (cell - kSide);
      if (cx < half || cx > 640 - half) return false;
      for (const TPass& p : passes)
        if (p.Left < cx + reach && p.Right > cx - reach && p.In <= t && p.Out >= t) return false;
      return true;
    };
    // The first move (-1, 0, 1) of a way to each cell, 2 where none leads.
    std::vector<int> first(kCells, 2), next;
    first[kSide] = 0;
    for (int t = 1; t <= 40; ++t) {
      next.assign(kCells, 2);
      bool any = false;
      for (int c = 0; c < kCells; ++c)
        for (const int d : {0, -1, 1})
          if (first[c] != 2 && c + d >= 0 && c + d < kCells && next[c + d] == 2 && free(c + d, t))
            next[c + d] = t == 1 ? d : first[c], any = true;
      if (!any) break;
      first.swap(next);
    }
    // Of the ways that last longest, the one ending nearest the middle keeps both sides open.
    int move = 2;
    double nearest = 1e9;
    for (int c = 0; c < kCells; ++c)
      if (first[c] != 2 && std::abs(x + 8 * (c - kSide) - 320) < nearest)
        nearest = std::abs(x + 8 * (c - kSide) - 320), move = first[c];
    Left = move == -1;
    Right = move == 1;
    Down = me->Y + me->Height < 470;
  }
};

// What --replay prints: the result as recorded and as played again.
int ReportPlayback(const TReplayDeck& deck, bool verify, std::ostream& out, std::ostream& err) {
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
      << (warnings == 1 ? "" : "s") << "\n";
  return check.FilesReadThrough == 4 ? 0 : 1;
}

const char* SceneName(int state) {
  static const char* const kNames[] = {"none",         "title", "menu",     "briefing",
                                       "missiontitle", "play",  "gameover", "result"};
  return state >= 0 && state <= 7 ? kNames[state] : "none";
}

int KeyCodeOf(const std::string& name) {
  static const std::map<std::string, int> kNamed = {
      {"Space", vk::Space}, {"Enter", vk::Enter}, {"Escape", vk::Escape}, {"Up", vk::Up},
      {"Down", vk::Down},   {"Left", vk::Left},   {"Right", vk::Right},   {"F1", vk::F1},
      {"F2", vk::F2},       {"F12", vk::F12},     {"Pause", vk::Pause}};
  if (auto it = kNamed.find(name); it != kNamed.end()) return it->second;
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
    return std::toupper(static_cast<unsigned char>(name[0]));
  return -1;
}

TSimOptions ParseSimArgs(const std::vector<std::string>& args) {
  TSimOptions o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) Usage(a + " needs a value");
      return args[++i];
    };
    if (a == "--dir") {
      o.Dir = value();
    } else if (a == "--difficulty") {
      o.Difficulty = ToInt(value(), "difficulty");
      if (o.Difficulty < 1 || o.Difficulty > 3) Usage("difficulty must be 1, 2 or 3");
    } else if (a == "--seed") {
      o.Seed = ToSeed(value());
    } else if (a == "--start") {
      o.Start = value();
      if (o.Start.rfind("play:", 0) == 0) {
        if (ToInt(o.Start.substr(5), "list number") < 1)
          Usage("play:N needs a mission number of 1 or more");
      } else if (o.Start != "title" && o.Start != "menu" && o.Start != "campaign" &&
                 o.Start.rfind("omf:", 0) != 0) {
        if (o.Start.rfind("mission:", 0) != 0) Usage("unknown start '" + o.Start + "'");
        if (StartItem(ToInt(o.Start.substr(8), "mission")).empty())
          Usage("no menu command starts " + o.Start);
      }
    } else if (a == "--click") {
      o.Clicks.push_back(FramePair(value(), "click"));
    } else if (a == "--frames") {
      o.Frames = ToInt(value(), "frame count");
      if (o.Frames < 1) Usage("frame count must be at least 1");
    } else if (a == "--until") {
      o.Until = value();
      bool known = false;
      for (int s = 1; s <= 7; ++s)
        known = known || o.Until == SceneName(s);
      if (!known) Usage("unknown scene '" + o.Until + "'");
    } else if (a == "--keys") {
      o.KeysFile = value();
    } else if (a == "--auto") {
      o.Auto = true;
    } else if (a == "--god") {
      o.God = true;
    } else if (a == "--answer") {
      std::istringstream list(value());
      std::string item;
      while (std::getline(list, item, ','))
        o.Answers.push_back(item);
    } else if (a == "--shot") {
      o.Shots.push_back(FramePair(value(), "shot"));
    } else if (a == "--trace") {
      o.TraceFile = value();
    } else if (a == "--log-dialogs") {
      o.LogDialogs = true;
    } else if (a == "--bench") {
      o.Bench = true;
    } else if (a == "--data") {
      o.Data = value();
      std::error_code error;
      if (!std::filesystem::is_directory(o.Data, error)) Usage("no data folder '" + o.Data + "'");
    } else if (a == "--sdl-audio") {
      o.SdlAudio = true;
    } else if (a == "--realtime") {
      o.Realtime = true;
    } else if (a == "--record") {
      o.RecordFile = value();
    } else if (a == "--replay") {
      o.ReplayFile = value();
    } else if (a == "--verify") {
      o.Verify = true;
    } else if (a == "--golden") {
      o.GoldenFile = value();
    } else if (a == "--golden-write") {
      o.GoldenFile = value();
      o.GoldenWrite = true;
    } else if (a == "--help" || a == "-h") {
      Usage("");
    } else {
      Usage("unknown option '" + a + "'");
    }
  }
  if (o.Verify && o.ReplayFile.empty()) Usage("--verify needs --replay FILE");
  if (o.Frames == 0 && o.Until.empty() && !o.Bench && o.ReplayFile.empty()) o.Frames = 1;
  if (o.Bench && o.Frames == 0) o.Frames = 3000;
  return o;
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
      out << "dialog " << r.Kind << ": " << r.Text << " -> " << r.Answer << "\n";
    };

  std::vector<TKeyEvent> keys =
      o.KeysFile.empty() ? std::vector<TKeyEvent>{} : ReadKeys(o.KeysFile);
  std::string startItem;
  if (o.Start == "campaign") startItem = "GameNext";
  if (o.Start.rfind("mission:", 0) == 0) startItem = StartItem(std::stoi(o.Start.substr(8)));
  if (o.Start.rfind("omf:", 0) == 0) startItem = "LoadCustomMission";
  // A mission's briefing entered directly, as a single mission whether unlocked or not.
  std::optional<int32_t> playList;
  if (o.Start.rfind("play:", 0) == 0) playList = std::stoi(o.Start.substr(5));
  std::optional<TReplay> replay;
  if (!o.ReplayFile.empty()) {
    try {
      replay = ReadReplayFile(o.ReplayFile);
    } catch (const TReplayError& e) {
      err << "velmora-sim: " << o.ReplayFile << ": " << e.what() << "\n";
      return 2;
    }
  }
  if (o.Start != "title" || replay) {
    keys.insert(keys.begin(), {{1, true, 'Z'}, {3, false, 'Z'}});
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
  form.FormCreate();
  if (form.SceneState == 0) {
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
        const TKeyEvent& e = keys[nextKey];
        machine->Input.Keys[e.Key] = e.Down;
        guard([&] { e.Down ? form.FormKeyDown(e.Key) : form.FormKeyUp(e.Key); });
      }
      if (!startItem.empty() && form.SceneState == 2) {
        if (startItem == "LoadCustomMission")
          machine->Dialogs.Answers.push_front("file:" + o.Start.substr(4));
        const std::string item = startItem;
        startItem.clear();
        ChooseMenuItem(guard, item);
      }
      if (replay && form.SceneState == 2 && !form.Replays.Watching()) {
        try {
          form.Replays.Watch(*replay);
        } catch (const TReplayError& e) {
          err << "velmora-sim: " << o.ReplayFile << ": " << e.what() << "\n";
          return 2;
        }
        replay.reset();
        watching = true;
      }
      if (playList && form.SceneState == 2) {
        form.Mission = *playList;
        form.SinglePlay = true;
        playList.reset();
        guard([&form] { form.SetScene(3); });
      }
      for (const auto& [at, item] : o.Clicks)
        if (at == frame) ChooseMenuItem(guard, item);
      if (o.Auto) {
        pilot.Step(form);
        hold(vk::Space, pilot.Space);
        hold(vk::Left, pilot.Left);
        hold(vk::Right, pilot.Right);
        hold(vk::Up, pilot.Up);
        hold(vk::Down, pilot.Down);
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
  form.Replays.Closing();
  if (golden && o.GoldenWrite) {
    std::ofstream file(o.GoldenFile);
    golden->Write(file);
    if (!file.flush()) throw std::runtime_error("cannot write golden digest " + o.GoldenFile);
  } else if (golden && !golden->Difference().empty()) {
    err << "velmora-sim: not the golden run: " << golden->Difference() << "\n";
    return 4;
  }
  if (recordErrors) return 1;
  if (watching) return ReportPlayback(form.Replays, o.Verify, out, err);
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
