#include "shell/Settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "engine/Encoding.h"
#include "engine/Random.h"
#include "shell/MainForm.h"
#include "shell/Scrambler.h"

namespace velmora {

namespace {

// ---- folders ---------------------------------------------------------------------------

bool MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (!part.empty() && ::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// ---- reading ---------------------------------------------------------------------------

std::string ReadAll(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Files from Windows machines are CP932; whatever is neither it nor UTF-8 keeps its
// readable parts, the rest becomes "?".
std::string ToUtf8(std::string bytes) {
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  try {
    return TextFileToUtf8(bytes);
  } catch (const std::exception&) {
  }
  std::string out;
  for (unsigned char c : bytes)
    out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t'))
    ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
    --e;
  return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// A section header's name, or nothing for other lines.
std::optional<std::string> SectionOf(const std::string& line) {
  const std::string t = Trim(line);
  if (t.empty() || t[0] != '[') return std::nullopt;
  const size_t close = t.find(']');
  return Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

// The key of a "key=value" line, or nothing.
std::optional<std::string> KeyOf(const std::string& line) {
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return std::nullopt;
  const std::string t = Trim(line);
  if (t.empty() || t[0] == ';') return std::nullopt;
  return Trim(line.substr(0, eq));
}

struct TLines {
  std::vector<std::string> Lines;
  // Index of the line holding the key, of the section's header and of the section's last
  // line with a key (or its header); npos when absent.
  size_t KeyLine = std::string::npos;
  size_t SectionLine = std::string::npos;
  size_t SectionEnd = std::string::npos;
};

TLines Locate(const std::string& fileName, const std::string& section, const std::string& key) {
  TLines found;
  found.Lines = SplitLines(ToUtf8(ReadAll(fileName)));
  bool inside = false;
  for (size_t i = 0; i < found.Lines.size(); ++i) {
    const std::string& line = found.Lines[i];
    if (auto name = SectionOf(line)) {
      // The first section of that name is the one that counts.
      if (inside) break;
      if (SameName(*name, section)) {
        inside = true;
        found.SectionLine = found.SectionEnd = i;
      }
      continue;
    }
    if (!inside) continue;
    if (auto k = KeyOf(line)) {
      found.SectionEnd = i;
      if (found.KeyLine == std::string::npos && SameName(*k, key)) found.KeyLine = i;
    }
  }
  return found;
}

std::optional<int32_t> ParseInteger(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

// ---- writing ---------------------------------------------------------------------------

void WriteAllToFd(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error(std::strerror(errno ? errno : EIO));
    done += static_cast<size_t>(n);
  }
}

TIniWriteStep& WriteStep() {
  static TIniWriteStep step;
  return step;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

void ReplaceFile(const std::string& fileName, const std::string& bytes) {
  const auto failure = [&fileName](const std::string& why) {
    return std::runtime_error("'" + fileName + "' に書き込めません: " + why);
  };
  std::string temp = fileName + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) throw failure(std::strerror(errno));
  try {
    // The new file keeps the old one's permissions, or gets the usual ones.
    struct stat st {};
    mode_t mode = 0644;
    if (::stat(fileName.c_str(), &st) == 0) {
      mode = st.st_mode & 07777;
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    if (WriteStep())
      WriteStep()(fd, bytes);
    else
      WriteAllToFd(fd, bytes);
    if (::fsync(fd) != 0) throw std::runtime_error(std::strerror(errno));
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) throw std::runtime_error(std::strerror(errno));
    if (::rename(temp.c_str(), fileName.c_str()) != 0)
      throw std::runtime_error(std::strerror(errno));
  } catch (const std::exception& e) {
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    throw failure(e.what());
  }
  // The rename itself reaches the disk with the folder.
  const int dir = ::open(FolderOf(fileName).c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

// A value must stay on its line.
std::string OneLine(const std::string& value) {
  std::string out = value;
  for (char& c : out)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  return out;
}

}  // namespace

bool FolderWritable(const std::string& folder) {
  std::string probe = (folder.empty() ? std::string(".") : folder) + "/.velmora-probe-XXXXXX";
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

std::string SettingsFolder(const std::string& programFolder) {
  if (FolderWritable(programFolder)) return programFolder;
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && home[0]) {
    base = std::string(home) + "/.config";
  } else {
    return programFolder;
  }
  while (base.size() > 1 && base.back() == '/')
    base.pop_back();
  const std::string folder = base + "/velmora";
  MakeFolders(folder);
  return folder;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  const TLines found = Locate(FileName_, section, key);
  if (found.KeyLine == std::string::npos) return defaultValue;
  const std::string& line = found.Lines[found.KeyLine];
  std::string value = Trim(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                              int32_t defaultValue) const {
  return ParseInteger(ReadString(section, key, "")).value_or(defaultValue);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key,
                        bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  TLines found = Locate(FileName_, section, key);
  std::vector<std::string>& lines = found.Lines;
  const std::string entry = key + "=" + OneLine(value);
  if (found.KeyLine != std::string::npos) {
    lines[found.KeyLine] = entry;
  } else if (found.SectionLine != std::string::npos) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(found.SectionEnd + 1), entry);
  } else {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + section + "]");
    lines.push_back(entry);
  }
  std::string bytes;
  for (const std::string& line : lines)
    bytes += line + "\n";
  ReplaceFile(FileName_, bytes);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void SetIniWriteStepForTesting(TIniWriteStep step) {
  WriteStep() = std::move(step);
}

// ---- the campaign ----------------------------------------------------------------------

namespace {

// The marker that opens every campaign text, kept scrambled.
constexpr const char* kScrambledMarker = "h18k29f21nkVP1882f";

int32_t DigitsToInteger(const std::string& digits) {
  const std::optional<int32_t> value = ParseInteger(digits);
  if (!value) throw std::runtime_error("'" + digits + "' は有効な整数値ではありません");
  return *value;
}

std::string Repeat(std::string text, int times, std::string (*step)(std::string)) {
  for (int i = 0; i < times; ++i)
    text = step(std::move(text));
  return text;
}

std::string Unscramble(std::string text) {
  return UnscrambleText(text);
}

}  // namespace

const char* const kDefaultCampaignText =
    "g21415615u5615u621562OhS8921wd15u6015RO15ZoJ92OkuSfA5615u6215SP15RO15ZoJ62Oku60fAof21vhROGA601"
    "5"
    "41771891601582O15Sofw54JZ5815u76J82zJ92Oh2162159177189160f12O155";
const char* const kDefaultUnlockText = "iJZ581571581571S1591PfA5815jh1571S15ZPGu8218A821821a";

std::string CampaignText(int32_t totalScore, int32_t mission, ISystem& clock) {
  std::string text = UnscrambleText(kScrambledMarker) +
                     ScrambleText(std::to_string(totalScore) + std::to_string(mission), clock) +
                     "N";
  for (int i = 0; i < 3; ++i)
    text = ScrambleText(text, clock);
  return text;
}

std::string UnlockText(int32_t singlesUnlocked, ISystem& clock) {
  std::string text = std::to_string(singlesUnlocked);
  for (int i = 0; i < 4; ++i)
    text = ScrambleText(text, clock);
  return text;
}

TCampaign ReadCampaignTexts(const std::string& campaignText, const std::string& unlockText) {
  TCampaign campaign;
  const std::string plain = Repeat(campaignText, 3, Unscramble);
  // The marker before and the letter after the scrambled digits are not checked.
  if (plain.size() < 10) throw std::runtime_error("'" + plain + "' は有効な整数値ではありません");
  const std::string digits = UnscrambleText(plain.substr(8, plain.size() - 9));
  if (digits.size() < 2) throw std::runtime_error("'" + digits + "' は有効な整数値ではありません");
  campaign.TotalScore = DigitsToInteger(digits.substr(0, digits.size() - 1));
  campaign.Mission = DigitsToInteger(digits.substr(digits.size() - 1));
  // Only missions 1 to 5 make a campaign; anything else was edited by hand.
  if (campaign.Mission < 1 || campaign.Mission > 5)
    throw std::runtime_error("'" + digits + "' は有効な整数値ではありません");
  campaign.SinglesUnlocked = DigitsToInteger(Repeat(unlockText, 4, Unscramble));
  return campaign;
}

// ---- the main form's settings ----------------------------------------------------------

namespace {
constexpr const char* kCaption = "Velmora";
}  // namespace

std::string TMainForm::SettingsDir() {
  if (SettingsDir_.empty()) SettingsDir_ = SettingsFolder(Platform.System.ProgramFolder());
  return SettingsDir_;
}

void TMainForm::ShowTip(const char* key, const std::string& text) {
  TIniFile ini(IniFileName());
  if (!ini.ReadBool("HITOKUCHI", key, true)) return;
  if (Platform.Dialogs.MessageBox(TMessageKind::Information, kCaption, text,
                                  TMessageButtons::OKIgnore) != TMessageResult::Ignore)
    return;
  try {
    ini.WriteBool("HITOKUCHI", key, false);
  } catch (const std::exception&) {
    // Not worth stopping the start for: the tip simply comes again next time.
  }
}

void TMainForm::ReadOptions() {
  const TIniFile ini(IniFileName());
  OptionDirectInput->Checked = ini.ReadBool("Options", "DirectInput", true);
  OptionSound->Checked = ini.ReadBool("Options", "Sound", true);
  OptionMusic->Checked = ini.ReadBool("Options", "Music", true);
  OptionTossin->Checked = ini.ReadBool("Options", "Tossin", false);
  Difficulty = ini.ReadInteger("Game", "Difficulty", 1);
  if (Difficulty < 1 || Difficulty > 3) Difficulty = 1;
  PlayerName = ini.ReadString("Player", "Name", "");
  PlayerMail = ini.ReadString("Player", "Mail", "");
}

bool TMainForm::FormCloseQuery() {
  // A replay's mission and options are not the player's to keep.
  Replays.Closing();
  try {
    TIniFile ini(IniFileName());
    ini.WriteString(
        "Message", "Message",
        "このＩＮＩファイルの値はデリケートです。直接変更することは絶対に止めて下さい。");
    ini.WriteBool("Options", "DirectInput", OptionDirectInput->Checked);
    ini.WriteBool("Options", "Music", OptionMusic->Checked);
    ini.WriteBool("Options", "Sound", OptionSound->Checked);
    ini.WriteBool("Options", "Tossin", OptionTossin->Checked);
    ini.WriteInteger("Game", "Difficulty", Difficulty);
    ini.WriteInteger("Display", "Scale", WindowScale);
    ini.WriteBool("Display", "FullScreen", FullScreen);
    ini.WriteString("Player", "Name", PlayerName);
    ini.WriteString("Player", "Mail", PlayerMail);
    Randomize(Platform.System);
    ini.WriteInteger("CryptInteger", "CryptInteger1", Random(46416));
    ini.WriteInteger("CryptInteger", "CryptInteger2", Random(86446));
    ini.WriteInteger("CryptInteger", "CryptInteger3", Random(61554));
  } catch (const std::exception& error) {
    // The window closes all the same; the player learns that the options were not kept.
    AppendErrorLog(error.what());
    Platform.Dialogs.MessageBox(TMessageKind::Error, kCaption, error.what(), TMessageButtons::OK);
  }
  return true;
}

void TMainForm::LoadCampaign() {
  try {
    const TIniFile ini(IniFileName());
    const TCampaign campaign =
        ReadCampaignTexts(ini.ReadString("Game", "Player", kDefaultCampaignText),
                          ini.ReadString("Game", "Single", kDefaultUnlockText));
    TotalScore = campaign.TotalScore;
    Mission = campaign.Mission;
    SinglesUnlocked = campaign.SinglesUnlocked;
  } catch (const std::exception&) {
    for (const char* text :
         {"重要データー取得部でエラーが発生しました。やむを得ずデーターを初期化します。",
          "もしＩＮＩファイルに何らかの変更を加えていた場合は、デリケートな数値が多いですので止め"
          "て下さい。",
          "覚えが無い場合は、バグの可能性がありますので、最新版を確かめたのち、作者に連絡下さい。"})
      Platform.Dialogs.MessageBox(TMessageKind::Error, kCaption, text, TMessageButtons::OK);
    TotalScore = 0;
    Mission = 1;
    SaveCampaign();
  }
}

void TMainForm::SaveCampaign() {
  TIniFile ini(IniFileName());
  ini.WriteString("Game", "Player", CampaignText(TotalScore, Mission, Platform.System));
  ini.WriteString("Game", "Single", UnlockText(SinglesUnlocked, Platform.System));
}

}  // namespace velmora
