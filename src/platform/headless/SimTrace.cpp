#include "platform/headless/SimTrace.h"

#include <cstdio>
#include <istream>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "engine/Random.h"
#include "platform/headless/SimRunner.h"
#include "shell/MainForm.h"
#include "sprites/Enemy.h"
#include "sprites/TextSprites.h"

namespace velmora {

namespace {

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

std::string Bool(bool v) {
  return v ? "true" : "false";
}

void CaptureSprites(const TSprite& parent, int depth, std::vector<TTraceSprite>& out) {
  for (int i = 0; i < parent.Count(); ++i) {
    const TSprite* s = parent.Items(i);
    TTraceSprite t;
    t.Depth = depth;
    t.Serial = s->Serial;
    t.Class = s->ClassName();
    t.X = s->X;
    t.Y = s->Y;
    t.Z = s->Z();
    if (const auto* e = dynamic_cast<const TEnemy*>(s))
      t.Enemy = TTraceSprite::TEnemyState{e->State, e->HitPoints, e->Pattern, e->Flags};
    if (const auto* m = dynamic_cast<const TMojiSprite*>(s)) t.Text = {{m->Text, m->Style}};
    if (const auto* v = dynamic_cast<const TEventSprite*>(s)) t.Text = {{v->Text, v->Style}};
    out.push_back(std::move(t));
    CaptureSprites(*s, depth + 1, out);
  }
}

// FNV-1a: small, stable across compilers and machines, and enough to tell runs apart.
constexpr uint64_t kFnvBasis = 14695981039346656037ull;
uint64_t Fnv(uint64_t hash, const std::string& text) {
  for (unsigned char c : text)
    hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

char Base64(uint64_t hash) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  hash ^= hash >> 32;
  hash ^= hash >> 16;
  hash ^= hash >> 8;
  return kDigits[(hash ^ (hash >> 6)) & 63];
}

// The per-frame hashes, in order.
const char* const kAspects[4] = {
    "the sprites present (ids, classes, count)", "the sprites' positions (X, Y, Z)",
    "the sprites' states (State, HitPoints, Pattern, Flags, Text)", "the random generator's seed"};

std::string FrameHashes(const TTraceFrame& f) {
  std::string who = f.SpriteCount, where, state;
  for (const TTraceSprite& s : f.Sprites) {
    who += ";" + std::to_string(s.Depth) + ":" + std::to_string(s.Serial) + ":" + s.Class;
    where += ";" + Number(s.X) + "," + Number(s.Y) + "," + std::to_string(s.Z);
    state += ";";
    if (s.Enemy)
      state += std::to_string(s.Enemy->State) + "," + std::to_string(s.Enemy->HitPoints) + "," +
               std::to_string(s.Enemy->Pattern) + "," + std::to_string(s.Enemy->Flags);
    if (s.Text) state += "|" + s.Text->first + "|" + std::to_string(s.Text->second);
  }
  return {Base64(Fnv(kFnvBasis, who)), Base64(Fnv(kFnvBasis, where)), Base64(Fnv(kFnvBasis, state)),
          Base64(Fnv(kFnvBasis, f.RandomSeed))};
}

// The frame counter goes up by one a frame, or stands still while the schedule is held:
// only its other moves are worth a line.
bool CountsFrames(const std::string& field) {
  return field == "FrameCount";
}

std::string Hex(uint64_t v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}

}  // namespace

// What a field is expected to hold on the next frame: what it holds now, or for the frame
// counter, what it holds now moved as far as it moved last.
void TGoldenDigest::TField::Observe(const std::string& value) {
  if (CountsFrames(Name)) {
    const long long now = std::stoll(value);
    Step = Seen ? now - Actual : 1;
    Actual = now;
    Next = std::to_string(now + Step);
  } else {
    Next = value;
  }
  Seen = true;
}

TGoldenDigest::TField& TGoldenDigest::FieldOf(std::vector<TField>& fields,
                                              const std::string& name) {
  for (TField& f : fields)
    if (f.Name == name) return f;
  TField field;
  field.Name = name;
  fields.push_back(std::move(field));
  return fields.back();
}

TTraceFrame CaptureFrame(int frame, TMainForm& form) {
  TTraceFrame f;
  f.Frame = frame;
  const auto field = [&f](const char* name, std::string value, bool inJson = true) {
    f.Record.push_back({name, std::move(value), inJson});
  };
  field("scene", JsonString(SceneName(form.SceneState)));
  field("FrameCount", std::to_string(form.FrameCount));
  field("Score", std::to_string(form.Score));
  field("Damage", std::to_string(form.Damage));
  field("CommanderDamage", Number(form.CommanderDamage));
  field("SupportPlanes", std::to_string(form.SupportPlanes));
  field("ShotPower", std::to_string(form.ShotPower));
  field("TotalScore", std::to_string(form.TotalScore));
  field("Mission", std::to_string(form.Mission));
  field("CurrentMusic", JsonString(form.CurrentMusic));
  field("ScrollSpeed", std::to_string(form.ScrollSpeed));
  field("AdvanceStopped", Bool(form.AdvanceStopped));
  field("ReinforcementsOn", Bool(form.ReinforcementsOn));
  // The rest of the game record, for the digest.
  field("PendingScene", std::to_string(static_cast<int>(form.PendingScene)), false);
  field("CommanderPresent", Bool(form.CommanderPresent), false);
  field("FireEnabled", Bool(form.FireEnabled), false);
  field("P36Image", JsonString(form.P36Image), false);
  field("BackgroundImage", JsonString(form.BackgroundImage), false);
  field("PlayerImage", JsonString(form.PlayerImage), false);
  field("SBDImage", JsonString(form.SBDImage), false);
  field("ShotDownMessage", JsonString(form.ShotDownMessage), false);
  field("Difficulty", std::to_string(form.Difficulty), false);
  field("MissionDifficulty", std::to_string(form.MissionDifficulty), false);
  field("SinglesUnlocked", std::to_string(form.SinglesUnlocked), false);
  field("SinglePlay", Bool(form.SinglePlay), false);
  field("MissionCleared", Bool(form.MissionCleared), false);
  field("ExpandedMusic", Bool(form.ExpandedMusic), false);
  // Enter, Space, up, down, left, right.
  std::string keys;
  for (bool down :
       {form.KeyEnter, form.KeySpace, form.KeyUp, form.KeyDown, form.KeyLeft, form.KeyRight})
    keys += down ? '1' : '0';
  field("Keys", JsonString(keys), false);
  // Where the mission file lies is the machine's business, not the game's.
  const std::string& custom = form.CustomMissionFile;
  field("CustomMissionFile", JsonString(custom.substr(custom.rfind('/') + 1)), false);
  field("AppearanceIndex", std::to_string(form.AppearanceIndex), false);
  f.RandomSeed = std::to_string(RandSeed());
  f.SpriteCount = std::to_string(form.SpriteEngine.Engine.SpriteCount);
  CaptureSprites(form.SpriteEngine.Engine, 0, f.Sprites);
  return f;
}

void WriteTraceLine(std::ostream& out, const TTraceFrame& f) {
  out << "{\"frame\":" << f.Frame;
  for (const TTraceField& field : f.Record)
    if (field.InJson) out << ",\"" << field.Name << "\":" << field.Value;
  out << ",\"SpriteCount\":" << f.SpriteCount << ",\"sprites\":[";
  bool first = true;
  for (const TTraceSprite& s : f.Sprites) {
    if (s.Depth) continue;
    out << (first ? "" : ",") << "{\"id\":" << s.Serial << ",\"class\":" << JsonString(s.Class)
        << ",\"X\":" << Number(s.X) << ",\"Y\":" << Number(s.Y) << ",\"Z\":" << s.Z;
    first = false;
    if (s.Enemy)
      out << ",\"State\":" << s.Enemy->State << ",\"HitPoints\":" << s.Enemy->HitPoints
          << ",\"Pattern\":" << s.Enemy->Pattern << ",\"Flags\":" << s.Enemy->Flags;
    if (s.Text) out << ",\"Text\":" << JsonString(s.Text->first) << ",\"Style\":" << s.Text->second;
    out << "}";
  }
  out << "]}\n";
}

void TGoldenDigest::Expect(std::istream& in) {
  TExpected e;
  std::string line;
  enum { kHead, kChanges, kHashes } part = kHead;
  const auto bad = [](const std::string& why) {
    throw std::runtime_error("not a golden digest: " + why);
  };
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line == "changes") {
      part = kChanges;
    } else if (line == "hashes") {
      part = kHashes;
    } else if (part == kHashes) {
      e.FrameHashes += line;
    } else if (part == kChanges) {
      const size_t space = line.find(' '), equals = line.find('=');
      if (space == std::string::npos || equals == std::string::npos || equals < space)
        bad("change line '" + line + "'");
      e.Changes.push_back({std::stoi(line.substr(0, space)),
                           line.substr(space + 1, equals - space - 1), line.substr(equals + 1)});
    } else if (line.rfind("frames ", 0) == 0) {
      e.Frames = std::stoi(line.substr(7));
    } else if (line.rfind("whole ", 0) == 0) {
      e.Whole = std::stoull(line.substr(6), nullptr, 16);
    } else if (line.rfind("args ", 0) != 0) {
      bad("line '" + line + "'");
    }
  }
  if (e.FrameHashes.size() != 4 * static_cast<size_t>(e.Frames)) bad("hashes do not fit frames");
  Expected_ = std::move(e);
}

void TGoldenDigest::Add(const TTraceFrame& frame) {
  ++Frames_;
  std::string whole =
      std::to_string(frame.Frame) + "|" + frame.RandomSeed + "|" + frame.SpriteCount;
  for (const TTraceField& f : frame.Record) {
    whole += std::string("|") + f.Name + "=" + f.Value;
    TField& last = FieldOf(Last_, f.Name);
    if (!last.Seen || last.Next != f.Value) Changes_.push_back({Frames_, f.Name, f.Value});
    last.Observe(f.Value);
  }
  std::ostringstream sprites;
  WriteTraceLine(sprites, frame);
  for (const TTraceSprite& s : frame.Sprites)
    if (s.Depth) sprites << s.Depth << ':' << s.Serial << s.Class << Number(s.X) << Number(s.Y);
  Whole_ = Fnv(Fnv(Whole_, whole), sprites.str());
  const std::string hashes = FrameHashes(frame);
  FrameHashes_ += hashes;
  if (Expected_ && Difference_.empty()) Check(frame, hashes);
}

void TGoldenDigest::Check(const TTraceFrame& frame, const std::string& hashes) {
  TExpected& e = *Expected_;
  const std::string at = "frame " + std::to_string(Frames_) + ": ";
  if (Frames_ > e.Frames) {
    Difference_ = at + "the golden run had ended after " + std::to_string(e.Frames) + " frames";
    return;
  }
  for (; e.NextChange < e.Changes.size() && e.Changes[e.NextChange].Frame <= Frames_;
       ++e.NextChange) {
    const TChange& c = e.Changes[e.NextChange];
    FieldOf(e.Values, c.Field).Next = c.Value;
  }
  for (const TTraceField& f : frame.Record) {
    TField& expected = FieldOf(e.Values, f.Name);
    if (expected.Next != f.Value) {
      Difference_ = at + f.Name + " is " + f.Value + ", the golden run had " +
                    (expected.Next.empty() ? "no such field" : expected.Next);
      return;
    }
    expected.Observe(f.Value);
  }
  for (int aspect = 0; aspect < 4; ++aspect)
    if (hashes[aspect] != e.FrameHashes[4 * (Frames_ - 1) + aspect]) {
      std::ostringstream now;
      WriteTraceLine(now, frame);
      Difference_ =
          at + kAspects[aspect] + " differ from the golden run; this frame now:\n" + now.str();
      return;
    }
}

void TGoldenDigest::Write(std::ostream& out) const {
  out << "# The golden trace of one velmora-sim run: tests/golden/update.sh writes it anew.\n"
      << "frames " << Frames_ << "\nwhole " << Hex(Whole_) << "\nchanges\n";
  for (const TChange& c : Changes_)
    out << c.Frame << ' ' << c.Field << '=' << c.Value << '\n';
  out << "hashes\n";
  for (size_t i = 0; i < FrameHashes_.size(); i += 80)
    out << FrameHashes_.substr(i, 80) << '\n';
}

std::string TGoldenDigest::Difference() const {
  if (!Expected_ || !Difference_.empty()) return Difference_;
  if (Frames_ < Expected_->Frames)
    return "the run ended after " + std::to_string(Frames_) + " frames, the golden run after " +
           std::to_string(Expected_->Frames);
  if (Whole_ != Expected_->Whole)
    return "the whole trace differs from the golden run, though no frame's summary does";
  return "";
}

}  // namespace velmora
