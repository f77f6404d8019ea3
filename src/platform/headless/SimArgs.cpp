// velmora-sim's command line: the options, the keys script and the names it uses.
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "engine/KeyBindings.h"
#include "platform/headless/SimRunner.h"
#include "shell/MainForm.h"

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
    "       velmora-sim --check FILE.omf\n"
    "       velmora-sim --records DIR";

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

}  // namespace

std::vector<TKeyEvent> ReadKeyScript(const std::string& file) {
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

const char* SceneName(TSceneState state) {
  static const char* const kNames[] = {"none",         "title", "menu",     "briefing",
                                       "missiontitle", "play",  "gameover", "result"};
  const auto index = static_cast<size_t>(state);
  return index < std::size(kNames) ? kNames[index] : "none";
}

int KeyCodeOf(const std::string& name) {
  // The names of the settings file's [Keys], so a script presses what a player binds.
  const int code = KeyFromName(name);
  return code == 0 ? -1 : code;
}

TSimOptions ParseSimArgs(const std::vector<std::string>& args) {
  TSimOptions o;
  bool dirGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) Usage(a + " needs a value");
      return args[++i];
    };
    if (a == "--dir") {
      o.Dir = value();
      dirGiven = true;
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
        known = known || o.Until == SceneName(static_cast<TSceneState>(s));
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
  // The game would fall back to the player's own settings folder: asked for a folder of its
  // own, a test tool never does. (Started without one from a read-only copy of the game, it
  // keeps its settings where the installed game keeps the player's.)
  std::error_code error;
  if (dirGiven &&
      (!std::filesystem::is_directory(o.Dir, error) || ::access(o.Dir.c_str(), W_OK) != 0))
    Usage("no writable folder '" + o.Dir +
          "' (--dir names the folder for the settings and the error log; make it first)");
  if (o.Frames == 0 && o.Until.empty() && !o.Bench && o.ReplayFile.empty()) o.Frames = 1;
  if (o.Bench && o.Frames == 0) o.Frames = 3000;
  return o;
}

}  // namespace velmora
