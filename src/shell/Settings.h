// The settings file: one key read or written at a time, each access opening the file
// afresh, with the forgiving rules of the classic profile files (sections and keys in any
// letter case, booleans as "1"/"0", anything unreadable giving the default).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

class ISystem;

constexpr const char* kSettingsFileName = "Torvi.INI";
constexpr const char* kErrorLogFileName = "ERRORS.LOG";

// Whether a file can be created in the folder (tried, not guessed from permissions).
bool FolderWritable(const std::string& folder);
// Where the settings and the error log live: the program's folder when it is writable
// (a portable copy keeps everything beside itself), otherwise $XDG_CONFIG_HOME/velmora or
// ~/.config/velmora, created on demand.
// When the settings move there and have no file yet, the one beside the program is copied.
std::string SettingsFolder(const std::string& programFolder);
// Copies the settings file from one folder to the other unless the other has one.
void CopySettingsIfAbsent(const std::string& fromFolder, const std::string& toFolder);
// Removes what killed writes left behind in the folder ("Torvi.INI.XXXXXX" and probes).
void RemoveStaleTempFiles(const std::string& folder);

class TIniFile {
 public:
  explicit TIniFile(std::string fileName) : FileName_(std::move(fileName)) {}

  const std::string& FileName() const { return FileName_; }

  // A missing file or key, or a value that is not a decimal integer, gives the default, as
  // does a line whose bytes are neither UTF-8 nor CP932. Throws std::runtime_error naming
  // the file when the path is not a regular file or the file is larger than 1 MiB.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  int32_t ReadInteger(const std::string& section, const std::string& key,
                      int32_t defaultValue) const;
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

  // Each write replaces the whole file at once: a new file is written beside it, flushed
  // to the disk and renamed over the old one, so an interrupted write leaves the old file
  // as it was. Throws std::runtime_error when the file cannot be written.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  // Several keys of one section in a single replacement: all of them reach the file or none.
  void WriteStrings(const std::string& section,
                    const std::vector<std::pair<std::string, std::string>>& values);
  void WriteInteger(const std::string& section, const std::string& key, int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

 private:
  std::string FileName_;
};

// Replaces a whole file the way the settings are written: a new file beside it, flushed and
// renamed over it (through a symbolic link, to its target). Throws std::runtime_error.
void ReplaceFileAtomically(const std::string& fileName, const std::string& bytes);
// The salted check the campaign is kept with, of any text: 8 hex digits.
std::string TextCheck(const std::string& text);

// Replaces the step that puts the new file's bytes on the disk (tests interrupt it).
// An empty function restores the real one.
using TIniWriteStep = std::function<void(int fd, const std::string& bytes)>;
void SetIniWriteStepForTesting(TIniWriteStep step);

// The campaign as the settings file keeps it, scrambled so that it cannot be read or
// edited by hand.
struct TCampaign {
  int32_t TotalScore = 0;
  int32_t Mission = 1;
  int32_t SinglesUnlocked = 0;
};
std::string CampaignText(int32_t totalScore, int32_t mission, ISystem& clock);
std::string UnlockText(int32_t singlesUnlocked, ISystem& clock);
// A check of both stored texts, kept under a key of its own ("Game" "Check") so that damage
// which still unscrambles to digits is noticed instead of read as another campaign.
std::string CampaignCheck(const std::string& campaignText, const std::string& unlockText);
// Throws std::runtime_error when either text is damaged or does not match its half of the
// check; an empty check (files written before it existed) passes.
TCampaign ReadCampaignTexts(const std::string& campaignText, const std::string& unlockText,
                            const std::string& check = "");
// The unlock count alone, checked the same way.
int32_t ReadUnlockText(const std::string& unlockText, const std::string& check = "");
// What a missing key stands for: a fresh campaign.
extern const char* const kDefaultCampaignText;
extern const char* const kDefaultUnlockText;

}  // namespace velmora
