#include "platform/headless/SimRunner.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "engine/Random.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"

namespace velmora {

namespace {

constexpr const char* kUsage =
    "usage: velmora-sim [--dir PATH] [--difficulty 1|2|3] [--seed N]\n"
    "                   [--start title|menu] [--click FRAME:ITEM]...\n"
    "                   [--frames N] [--until SCENE] [--keys SCRIPT] [--auto] [--god]\n"
    "                   [--answer LIST] [--shot FRAME:FILE.png]... [--trace FILE.jsonl]\n"
    "                   [--log-dialogs] [--bench]";

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

std::pair<int, std::string> FramePair(const std::string& text, const std::string& what) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon + 1 == text.size())
    Usage("bad " + what + ": '" + text + "' (expected FRAME:VALUE)");
  return {ToInt(text.substr(0, colon), what + " frame"), text.substr(colon + 1)};
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
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

void WriteTrace(std::ostream& trace, int frame, TMainForm& form) {
  trace << "{\"frame\":" << frame << ",\"scene\":" << JsonString(SceneName(form.SceneState))
        << ",\"FrameCount\":" << form.FrameCount << ",\"Score\":" << form.Score
        << ",\"Damage\":" << form.Damage << ",\"CommanderDamage\":" << Number(form.CommanderDamage)
        << ",\"SupportPlanes\":" << form.SupportPlanes << ",\"ShotPower\":" << form.ShotPower
        << ",\"TotalScore\":" << form.TotalScore << ",\"Mission\":" << form.Mission
        << ",\"CurrentMusic\":" << JsonString(form.CurrentMusic)
        << ",\"ScrollSpeed\":" << form.ScrollSpeed
        << ",\"AdvanceStopped\":" << (form.AdvanceStopped ? "true" : "false")
        << ",\"ReinforcementsOn\":" << (form.ReinforcementsOn ? "true" : "false")
        << ",\"SpriteCount\":" << form.SpriteEngine.Engine.SpriteCount << ",\"sprites\":[";
  const TSpriteEngine& engine = form.SpriteEngine.Engine;
  for (int i = 0; i < engine.Count(); ++i) {
    const TSprite* s = engine.Items(i);
    trace << (i ? "," : "") << "{\"id\":" << s->Serial
          << ",\"class\":" << JsonString(s->ClassName()) << ",\"X\":" << Number(s->X)
          << ",\"Y\":" << Number(s->Y) << ",\"Z\":" << s->Z() << "}";
  }
  trace << "]}\n";
}

}  // namespace

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
      o.Seed = static_cast<uint32_t>(std::stoull(value()));
    } else if (a == "--start") {
      o.Start = value();
      if (o.Start != "title" && o.Start != "menu")
        Usage("--start " + o.Start + " is not available in this build");
    } else if (a == "--click") {
      o.Clicks.push_back(FramePair(value(), "click"));
    } else if (a == "--frames") {
      o.Frames = ToInt(value(), "frame count");
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
    } else if (a == "--help" || a == "-h") {
      Usage("");
    } else {
      Usage("unknown option '" + a + "'");
    }
  }
  if (o.Frames == 0 && o.Until.empty() && !o.Bench) o.Frames = 1;
  if (o.Bench && o.Frames == 0) o.Frames = 3000;
  return o;
}

int RunSim(const TSimOptions& o, std::ostream& out, std::ostream& err) {
  auto machine = std::make_unique<THeadlessMachine>();
  machine->System.Folder = o.Dir;
  for (const std::string& a : o.Answers)
    machine->Dialogs.Answers.push_back(a);
  if (o.LogDialogs)
    machine->Dialogs.OnDialog = [&out](const THeadlessDialogs::TRecord& r) {
      out << "dialog " << r.Kind << ": " << r.Text << " -> " << r.Answer << "\n";
    };

  std::vector<TKeyEvent> keys =
      o.KeysFile.empty() ? std::vector<TKeyEvent>{} : ReadKeys(o.KeysFile);
  if (o.Start == "menu") {
    keys.insert(keys.begin(), {{1, true, 'Z'}, {3, false, 'Z'}});
    std::stable_sort(keys.begin(), keys.end(),
                     [](const TKeyEvent& a, const TKeyEvent& b) { return a.Frame < b.Frame; });
  }
  std::ofstream trace;
  if (!o.TraceFile.empty()) {
    trace.open(o.TraceFile);
    if (!trace) throw std::runtime_error("cannot write trace " + o.TraceFile);
  }

  TMainForm form(machine->Platform);
  if (o.Difficulty) form.Difficulty = o.Difficulty;
  form.FormCreate();
  form.FormPaint();
  if (o.Seed) RandSeed() = *o.Seed;

  const int limit = o.Frames > 0 ? o.Frames : 1'000'000;
  size_t nextKey = 0;
  std::vector<double> tickMs;
  tickMs.reserve(o.Bench ? limit : 0);
  int frame = 0;
  try {
    for (frame = 1; frame <= limit; ++frame) {
      for (; nextKey < keys.size() && keys[nextKey].Frame <= frame; ++nextKey) {
        const TKeyEvent& e = keys[nextKey];
        machine->Input.Keys[e.Key] = e.Down;
        e.Down ? form.FormKeyDown(e.Key) : form.FormKeyUp(e.Key);
      }
      for (const auto& [at, item] : o.Clicks) {
        if (at != frame) continue;
        TMenuItem* menu = form.MainMenu.Find(item);
        if (!menu) throw std::runtime_error("no menu item '" + item + "'");
        menu->Click();
      }
      if (o.God) form.Damage = 0, form.CommanderDamage = 0;
      machine->System.Now += 16;
      const auto start = std::chrono::steady_clock::now();
      form.Idle();
      if (o.Bench)
        tickMs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
      if (trace.is_open()) WriteTrace(trace, frame, form);
      for (const auto& [at, file] : o.Shots)
        if (at == frame) SaveScreenshot(machine->Display, file);
      if (!o.Until.empty() && o.Until == SceneName(form.SceneState)) break;
    }
  } catch (const std::exception& e) {
    err << "velmora-sim: error at frame " << frame << ": " << e.what() << "\n";
    return 1;
  }
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
