#include "missions/MissionFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "engine/Encoding.h"
#include "missions/Appearance.h"
#include "sprites/EventCommands.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

namespace {

// The keywords are the class names without their "T"; the escorted commander's plane and the
// support plane are the only friendly ones. The heavy bomber boss has none on purpose.
constexpr std::array<std::string_view, 27> kClassKeywords = {
    "EventSprite",     "MojiSprite",     "TitleSprite",   "CyoukanIssiki", "Issiki",
    "EnemyRuko",       "EnemyP40",       "EnemyP39",      "EnemyP36",      "EnemyF4F",
    "EnemyF6F",        "EnemyP38",       "EnemyC47",      "EnemyPBY",      "EnemyLSM",
    "EnemyLCI",        "EnemyDestroyer", "EnemyMissouri", "Enemy30cm",     "EnemyAABomb",
    "EnemyEnterprise", "EnemyF4F_E",     "EnemyF4F_S",    "EnemySBD",      "EnemyB17",
    "EnemyB26",        "EnemyTBM"};

struct TFlagName {
  std::string_view Name;
  uint16_t Bit;
};
constexpr std::array<TFlagName, 13> kFlagNames = {{{"SF_ENEMYADV", SF_ENEMYADV},
                                                   {"SF_STOPADV", SF_STOPADV},
                                                   {"SF_HighSpeed", SF_HighSpeed},
                                                   {"SF_LowSpeed", SF_LowSpeed},
                                                   {"SF_HighPower", SF_HighPower},
                                                   {"SF_WideMove", SF_WideMove},
                                                   {"SF_TIMING1", SF_TIMING1},
                                                   {"SF_TIMING2", SF_TIMING2},
                                                   {"SF_TIMING3", SF_TIMING3},
                                                   {"SF_WORTHLESS", SF_WORTHLESS},
                                                   {"SF_ENDINGOBJ", SF_ENDINGOBJ},
                                                   {"SF_NOFIRE", SF_NOFIRE},
                                                   {"SF_NOSMOKE", SF_NOSMOKE}}};

constexpr const char* kFieldNames[9] = {"kind", "delay", "class", "x",    "y",
                                        "text", "param", "level", "flags"};

std::string_view Trim(std::string_view s) {
  // Blank is everything up to the space character: tabs, line breaks, other control codes.
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
    s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
    s.remove_suffix(1);
  return s;
}

bool IsHexDigit(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Why a field is no integer, or nothing when it is one.
std::optional<std::string> IntegerProblem(std::string_view s, int32_t& value) {
  if (s.empty()) return "is empty";
  size_t prefix = 0;
  if (s[0] == '$' || s[0] == 'x' || s[0] == 'X') prefix = 1;
  if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) prefix = 2;
  if (prefix > 0) {
    const std::string_view digits = s.substr(prefix);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsHexDigit))
      return "is not an integer";
    if (digits.size() > 8) return "has more than eight hexadecimal digits";
    value =
        static_cast<int32_t>(static_cast<uint32_t>(std::stoul(std::string(digits), nullptr, 16)));
    return std::nullopt;
  }
  const bool negative = s[0] == '-';
  const std::string_view digits = s[0] == '-' || s[0] == '+' ? s.substr(1) : s;
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit))
    return "is not an integer";
  int64_t magnitude = 0;
  for (char c : digits) {
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > int64_t{1} << 31) return "is outside the 32-bit range";
  }
  const int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > INT32_MAX) return "is outside the 32-bit range";
  value = static_cast<int32_t>(signedValue);
  return std::nullopt;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// A Shift-JIS line field by field, so a byte of no encoding is named with its field. A tab
// never occurs inside a Shift-JIS character.
std::string FieldsToUtf8(std::string_view raw, int lineNo, std::vector<TMissionFailure>& warnings) {
  std::string line;
  for (int field = 1;; ++field) {
    const size_t tab = raw.find('\t');
    int replaced = 0;
    line += Cp932ToUtf8Lossy(raw.substr(0, tab), &replaced);
    if (replaced > 0)
      warnings.push_back({lineNo, std::min(field, 9),
                          std::to_string(replaced) + (replaced == 1 ? " byte" : " bytes") +
                              " neither UTF-8 nor Shift-JIS, shown as \"?\""});
    if (tab == std::string_view::npos) return line;
    line += '\t';
    raw.remove_prefix(tab + 1);
  }
}

// One record line into record; the failure when a number does not read.
std::optional<TMissionFailure> ParseRecordLine(std::string_view line, int lineNo,
                                               TMissionRecord& record) {
  std::string_view rest = line;
  std::array<std::string, 9> field;
  for (int i = 0; i < 8; ++i)
    field[i] = SplitField(rest);
  field[8] = std::string(rest);

  std::optional<TMissionFailure> failure;
  auto number = [&](int index, int32_t& out) {
    if (failure) return;
    if (auto problem = IntegerProblem(field[index], out))
      failure = TMissionFailure{
          lineNo, index + 1,
          std::string(kFieldNames[index]) +
              (field[index].empty() ? " " : " " + Quoted(field[index]) + " ") + *problem};
  };
  record.Line = lineNo;
  record.Single = field[0] == "SINGLE";
  number(1, record.Delay);
  record.ClassField = field[2];
  record.ClassName = MissionClassName(field[2]);
  number(3, record.X);
  number(4, record.Y);
  record.Text = field[5];
  number(6, record.Param);
  number(7, record.Level);
  record.FlagsField = field[8];
  record.Flags = MissionFlags(field[8]);
  return failure;
}

// The words of a flags field that are not made of flag keywords alone ("SF_NOFIRESF_NOSMOKE"
// is two keywords; "sf_nofire" and "nil" are none).
std::vector<std::string> StrayFlagWords(std::string_view field) {
  std::vector<std::string> stray;
  auto isWordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
  size_t i = 0;
  while (i < field.size()) {
    if (!isWordChar(field[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < field.size() && isWordChar(field[end]))
      ++end;
    const std::string_view word = field.substr(i, end - i);
    size_t at = 0;
    while (at < word.size()) {
      const auto match =
          std::find_if(kFlagNames.begin(), kFlagNames.end(),
                       [&](const TFlagName& f) { return word.substr(at).starts_with(f.Name); });
      if (match == kFlagNames.end()) break;
      at += match->Name.size();
    }
    if (at < word.size()) stray.emplace_back(word);
    i = end;
  }
  return stray;
}

std::string Location(const std::string& label, int line, int field) {
  std::string s = label;
  if (line > 0) s += ":" + std::to_string(line);
  if (field > 0) s += ": field " + std::to_string(field);
  return s + ": ";
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool HasMissionFiles(const std::string& folder) {
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    std::string ext = it->path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".omf" && it->is_regular_file(error)) return true;
  }
  return false;
}

}  // namespace

std::string SplitField(std::string_view& rest) {
  const size_t tab = rest.find('\t');
  const std::string field(Trim(rest.substr(0, tab)));
  rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
  return field;
}

std::optional<int32_t> MissionInteger(std::string_view field) {
  int32_t value = 0;
  if (IntegerProblem(field, value)) return std::nullopt;
  return value;
}

bool IsMissionClassKeyword(std::string_view keyword) {
  return std::find(kClassKeywords.begin(), kClassKeywords.end(), keyword) != kClassKeywords.end();
}

std::string MissionClassName(std::string_view keyword) {
  return IsMissionClassKeyword(keyword) ? "T" + std::string(keyword) : "TEnemyRuko";
}

uint16_t MissionFlags(std::string_view field) {
  uint16_t flags = 0;
  for (const TFlagName& f : kFlagNames)
    if (field.find(f.Name) != std::string_view::npos) flags |= f.Bit;
  return flags;
}

TMissionText ReadMissionText(std::string_view bytes) {
  TMissionText result;
  if (bytes.size() > kMissionFileLimit) {
    result.Failure = TMissionFailure{1, 0, "larger than 16 MiB: surely no mission file"};
    return result;
  }
  // One decision for the whole file.
  const bool utf8 = IsUtf8Text(bytes);
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  size_t pos = 0;
  for (int lineNo = 1; pos < bytes.size(); ++lineNo) {
    size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view raw = bytes.substr(pos, end - pos);
    pos = end;
    if (pos < bytes.size()) pos += bytes.substr(pos, 2) == "\r\n" ? 2 : 1;

    // Line breaks, tabs and "/" never occur inside a Shift-JIS character, so both tests
    // work on the raw bytes.
    if (Trim(raw).empty() || raw.starts_with("//")) continue;
    std::string line(raw);
    if (!utf8 && std::any_of(raw.begin(), raw.end(), [](char c) { return c & 0x80; }))
      line = FieldsToUtf8(raw, lineNo, result.Warnings);
    TMissionRecord record;
    if (auto failure = ParseRecordLine(line, lineNo, record)) {
      result.Failure = failure;
      return result;
    }
    result.Records.push_back(std::move(record));
  }
  return result;
}

TMissionText ReadMissionFile(const std::string& path) {
  TMissionText failed;
  // A folder, a FIFO or a device chosen by mistake must not hang the game or be read for ever.
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (std::filesystem::is_directory(status)) {
    failed.Failure = TMissionFailure{0, 0, "is a folder, not a mission file"};
    return failed;
  }
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    failed.Failure = TMissionFailure{0, 0, "is no regular file"};
    return failed;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    failed.Failure = TMissionFailure{0, 0, "cannot be opened"};
    return failed;
  }
  // One byte past the limit is enough to know a file is too large.
  std::string bytes;
  char buffer[1 << 16];
  while (bytes.size() <= kMissionFileLimit && in.read(buffer, sizeof buffer))
    bytes.append(buffer, sizeof buffer);
  if (in.bad()) {
    failed.Failure = TMissionFailure{0, 0, "cannot be read"};
    return failed;
  }
  bytes.append(buffer, static_cast<size_t>(in.gcount()));
  return ReadMissionText(bytes);
}

void AppendMissionRecords(const TMissionText& text) {
  for (const TMissionRecord& r : text.Records) {
    if (r.Single)
      AddAppearance(r.Delay, r.ClassName, r.X, r.Y, r.Text, r.Param, r.Level, r.Flags);
    else
      AddFormation(r.Delay, r.ClassName, r.X, r.Y, r.Param, r.Level);
  }
  if (text.Failure) AddAppearance(1, "TMojiSprite", 200, 100, kMissionFileError, -1, 1, 0);
}

void LoadMissionFile(const std::string& path) {
  AppendMissionRecords(ReadMissionFile(path));
}

std::string MissionSiblingPath(const std::string& path, const std::string& extension) {
  const size_t slash = path.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return path + extension;
  return path.substr(0, dot) + extension;
}

std::string FindMissionSibling(const std::string& path, const std::string& extension) {
  const std::filesystem::path exact = MissionSiblingPath(path, extension);
  std::error_code error;
  if (std::filesystem::exists(exact, error)) return exact.string();
  const std::string stem = exact.stem().string();
  const std::filesystem::path folder =
      exact.has_parent_path() ? exact.parent_path() : std::filesystem::path(".");
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::filesystem::path& candidate = it->path();
    if (candidate.stem() == stem && EqualsIgnoringCase(candidate.extension().string(), extension))
      return (exact.parent_path() / candidate.filename()).string();
  }
  return exact.string();
}

std::string ChosenMissionFile(const std::string& chosen) {
  std::error_code error;
  if (std::filesystem::exists(chosen, error)) return chosen;
  const size_t slash = chosen.rfind('/');
  const bool noExtension =
      chosen.find('.', slash == std::string::npos ? 0 : slash + 1) == std::string::npos;
  if (noExtension && std::filesystem::exists(chosen + ".omf", error)) return chosen + ".omf";
  return chosen;
}

std::vector<TMissionFinding> CheckMissionText(const std::string& label, const TMissionText& text,
                                              bool playFile) {
  std::vector<TMissionFinding> findings;
  auto warn = [&](const TMissionRecord& r, int field, const std::string& why) {
    findings.push_back({true, Location(label, r.Line, field) + "warning: " + why});
  };
  auto fail = [&](const TMissionRecord& r, int field, const std::string& why) {
    findings.push_back({false, Location(label, r.Line, field) + why});
  };
  int lowestEndingLevel = 0;  // of the events that end the mission; 0: none
  // The schedule's clock, which the game keeps in 32 bits and lets wrap round.
  int64_t time = 0;
  bool wrapped = false;
  size_t nextWarning = 0;
  for (const TMissionRecord& r : text.Records) {
    for (; nextWarning < text.Warnings.size() && text.Warnings[nextWarning].Line <= r.Line;
         ++nextWarning) {
      const TMissionFailure& w = text.Warnings[nextWarning];
      findings.push_back({true, Location(label, w.Line, w.Field) + "warning: " + w.Reason});
    }
    time += r.Delay;
    if (!wrapped && (time > INT32_MAX || time < INT32_MIN)) {
      wrapped = true;
      warn(r, 2, "the delays add up past the 32-bit range here: the schedule's time wraps round");
    }
    if (r.Delay < 0)
      warn(r, 2, "negative delay " + std::to_string(r.Delay) + " puts it before the line above");
    if (!IsMissionClassKeyword(r.ClassField))
      warn(r, 3,
           Quoted(r.ClassField) +
               " is no class keyword (they are case-sensitive): the joke target "
               "TEnemyRuko appears instead");
    if (!r.Single && (r.Param < -1 || r.Param > 16))
      warn(r, 7, "formation type " + std::to_string(r.Param) + " is outside -1 ... 16: no planes");
    if (r.Level < 1)
      warn(r, 8, "level " + std::to_string(r.Level) + " appears on every difficulty");
    if (r.Level > 3) warn(r, 8, "level " + std::to_string(r.Level) + " never appears");
    if (r.Single) {
      for (const std::string& word : StrayFlagWords(r.FlagsField))
        warn(r, 9, Quoted(word) + " is no flag keyword (they are case-sensitive)");
    } else if (!Trim(r.FlagsField).empty()) {
      warn(r, 9, "formation lines take no flags: " + Quoted(Trim(r.FlagsField)) + " is ignored");
    }
    // What the game itself stops on with an error, the checker calls an error.
    if (r.Single && r.ClassName == "TEventSprite" && r.Param == 4) {
      try {
        ParseEventInteger(r.Text);
      } catch (const std::runtime_error&) {
        fail(r, 6,
             "scroll speed " + Quoted(r.Text) +
                 " is not a whole number: the game stops "
                 "with an error here");
      }
    }
    if (r.Single && r.ClassName == "TEventSprite" && (r.Param == 1 || r.Param == 2) &&
        !IsMusicCommand(r.Text))
      fail(r, 6,
           Quoted(r.Text) +
               " is no music command (NONE, STOP, DOWN500 ... DOWN2500, "
               "BGM1 ... BGM5, BOSS): the game stops with an error here");
    if (r.Single && r.ClassName == "TEventSprite" && r.Param == 3 &&
        (lowestEndingLevel == 0 || r.Level < lowestEndingLevel))
      lowestEndingLevel = std::max(r.Level, 1);
  }
  for (; nextWarning < text.Warnings.size(); ++nextWarning) {
    const TMissionFailure& w = text.Warnings[nextWarning];
    findings.push_back({true, Location(label, w.Line, w.Field) + "warning: " + w.Reason});
  }
  if (text.Failure) {
    const TMissionFailure& f = *text.Failure;
    findings.push_back({false, Location(label, f.Line, f.Field) + f.Reason});
  } else if (playFile && lowestEndingLevel == 0) {
    findings.push_back({true, label + ": warning: no EventSprite line with param 3: the mission "
                                      "never ends by itself"});
  } else if (playFile && lowestEndingLevel > 1) {
    findings.push_back({true, label + ": warning: the mission ends only from level " +
                                  std::to_string(lowestEndingLevel) + " up"});
  }
  return findings;
}

TMissionCheck CheckMissionFiles(const std::string& path) {
  TMissionCheck check;
  for (const char* extension : {"", ".bfg", ".tle", ".edg"}) {
    const bool play = *extension == '\0';
    const std::string file = play ? path : FindMissionSibling(path, extension);
    std::error_code error;
    if (!play && !std::filesystem::exists(file, error)) {
      check.Findings.push_back(
          {true, file + ": warning: missing: its screen shows only \"" + kMissionFileError + "\""});
      continue;
    }
    const TMissionText text = ReadMissionFile(file);
    if (!text.Failure) ++check.FilesReadThrough;
    for (TMissionFinding& finding : CheckMissionText(file, text, play)) {
      check.GameErrors += !finding.Warning;
      check.Findings.push_back(std::move(finding));
    }
    check.GameErrors -= text.Failure.has_value();
  }
  return check;
}

std::string MissionDialogFolder(const std::string& programFolder, const std::string& dataFolder) {
  if (HasMissionFiles(programFolder)) return programFolder;
  for (const std::string& folder : {dataFolder + "/examples", dataFolder})
    if (HasMissionFiles(folder)) return folder;
  return programFolder;
}

}  // namespace velmora
