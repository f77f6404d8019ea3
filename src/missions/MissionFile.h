// Missions of the player's own: tab-separated text files, one appearance record or one
// formation per line, read into the appearance list; and the checker that tells a mission
// writer what the reader made of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The line a scene shows when its file could not be read (in full or from some line on).
inline constexpr const char* kMissionFileError = "ミッションファイルを読みこめません";
// A larger file is surely not a mission: refused before it is read into memory.
inline constexpr size_t kMissionFileLimit = 16u << 20;

// One record line as the reader understood it.
struct TMissionRecord {
  int Line = 0;
  bool Single = false;  // else a formation
  int32_t Delay = 0;
  std::string ClassField;  // as written
  std::string ClassName;   // the sprite class it selects
  int32_t X = 0;
  int32_t Y = 0;
  std::string Text;
  int32_t Param = 0;
  int32_t Level = 0;
  std::string FlagsField;
  uint16_t Flags = 0;
};

// What stopped the reading. Line 0: the file as a whole; Field 0: the line as a whole.
struct TMissionFailure {
  int Line = 0;
  int Field = 0;
  std::string Reason;
};

// A file's records up to the first failure, and that failure if there was one.
struct TMissionText {
  std::vector<TMissionRecord> Records;
  std::optional<TMissionFailure> Failure;
  // Fields that read, though not as written: bytes of no known encoding shown as "?".
  std::vector<TMissionFailure> Warnings;
};

// Cuts the next field off the front of rest: the text before the first tab, without the
// spaces and control characters around it. rest keeps what follows that tab, untouched, or
// becomes empty when there is no tab.
std::string SplitField(std::string_view& rest);
// A 32-bit integer: decimal with an optional sign, or "$", "x", "X", "0x", "0X" and up to eight
// hexadecimal digits (two's complement). Nothing when the text is anything else.
std::optional<int32_t> MissionInteger(std::string_view field);
// The sprite class a class keyword selects; a keyword that matches none (case counts)
// selects the joke target.
std::string MissionClassName(std::string_view keyword);
bool IsMissionClassKeyword(std::string_view keyword);
// Every flag whose name occurs anywhere in the field, case-sensitively.
uint16_t MissionFlags(std::string_view field);

// Reads a file's bytes: UTF-8 or Shift-JIS as IsUtf8Text decides for the whole file (a
// byte-order mark is skipped and means UTF-8); a byte that is neither reads as "?".
TMissionText ReadMissionText(std::string_view bytes);
TMissionText ReadMissionFile(const std::string& path);
// Appends the records to the appearance list, then, after a failure, the error line one
// frame after the last of them.
void AppendMissionRecords(const TMissionText& text);
void LoadMissionFile(const std::string& path);

// The sibling of a mission file that serves another scene: the same folder and name with the
// last extension replaced (or appended when the name has none). extension: ".bfg" ...
std::string MissionSiblingPath(const std::string& path, const std::string& extension);
// The sibling as it lies in the folder: that exact name when it exists, else a file whose
// extension differs only in case ("UP.BFG" beside "UP.OMF"), else the exact name.
std::string FindMissionSibling(const std::string& path, const std::string& extension);
// The file the player chose: itself when it exists; a name typed without an extension that
// names nothing means the usual one, "NAME.omf", when that exists.
std::string ChosenMissionFile(const std::string& chosen);

// One line of the checker's report: "FILE:LINE: field N: reason".
struct TMissionFinding {
  bool Warning = false;  // loads, but is surely a mistake; else it stops the reading
  std::string Text;
};
// The findings for one file in line order. playFile: the chosen file, which has to end the
// mission itself.
std::vector<TMissionFinding> CheckMissionText(const std::string& label, const TMissionText& text,
                                              bool playFile);
struct TMissionCheck {
  std::vector<TMissionFinding> Findings;
  int FilesReadThrough = 0;  // of the four
  int GameErrors = 0;        // lines that read but stop the game with an error when played
};
// Reads the chosen file and its three siblings with the game's own reader.
TMissionCheck CheckMissionFiles(const std::string& path);

// Where the mission file dialog opens: the program's folder when missions lie there, else
// the first of the data folder's examples folder and the data folder itself that has some,
// else the program's folder.
std::string MissionDialogFolder(const std::string& programFolder, const std::string& dataFolder);

}  // namespace velmora
