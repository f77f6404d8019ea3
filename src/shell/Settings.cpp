#include "shell/Settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <vector>

#include "engine/Encoding.h"
#include "engine/FileRead.h"
#include "engine/Scrambler.h"
#include "shell/Records.h"

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

// Settings files are a few kilobytes; anything far larger is not one of ours.
constexpr size_t kMaxSettingsBytes = size_t{1} << 20;

// One line of the file: its text as UTF-8 when its bytes were understood, else the bytes
// as they were, which are written back untouched and never read as a value.
struct TLine {
  std::string Text;
  bool Understood = true;
};

// Each line is decoded on its own (UTF-8 where valid, else CP932, the files of Windows
// machines), so one stray byte never costs another line its value.
TLine DecodeLine(std::string bytes) {
  if (IsValidUtf8(bytes)) return {std::move(bytes), true};
  try {
    return {Cp932ToUtf8(bytes), true};
  } catch (const std::exception&) {
    return {std::move(bytes), false};
  }
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

// A value must stay on its line.
std::string OneLine(const std::string& value) {
  std::string out = value;
  for (char& c : out)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  return out;
}

std::vector<TLine> ReadLines(const std::string& fileName) {
  std::string bytes = ReadRegularFile(fileName, kMaxSettingsBytes).value_or(std::string());
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  std::vector<TLine> lines;
  for (std::string& line : SplitLines(bytes))
    lines.push_back(DecodeLine(std::move(line)));
  return lines;
}

struct TPlace {
  // Index of the line holding the key, of the section's header and of the section's last
  // line with a key (or its header); npos when absent.
  size_t KeyLine = std::string::npos;
  size_t SectionLine = std::string::npos;
  size_t SectionEnd = std::string::npos;
};

TPlace Locate(const std::vector<TLine>& lines, const std::string& section, const std::string& key) {
  TPlace found;
  bool inside = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i].Text;
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

void Put(std::vector<TLine>& lines, const std::string& section, const std::string& key,
         const std::string& value) {
  const TPlace found = Locate(lines, section, key);
  TLine entry{key + "=" + OneLine(value)};
  if (found.KeyLine != std::string::npos) {
    lines[found.KeyLine] = std::move(entry);
  } else if (found.SectionLine != std::string::npos) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(found.SectionEnd + 1),
                 std::move(entry));
  } else {
    if (!lines.empty() && !Trim(lines.back().Text).empty()) lines.emplace_back();
    lines.push_back({"[" + section + "]"});
    lines.push_back(std::move(entry));
  }
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

// Where a settings file that is a symbolic link (dot-file managers keep them so) really
// lies: the file is replaced there, and the link stays a link.
std::string LinkTarget(const std::string& fileName) {
  std::filesystem::path path = fileName;
  std::error_code error;
  for (int hops = 0; hops < 40 && std::filesystem::is_symlink(path, error); ++hops) {
    const std::filesystem::path target = std::filesystem::read_symlink(path, error);
    if (error) break;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return path.string();
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

}  // namespace

void ReplaceFileAtomically(const std::string& fileName, const std::string& bytes) {
  ReplaceFile(LinkTarget(fileName), bytes);
}

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
  // A player whose copy became read-only keeps the campaign kept beside the program.
  CopySettingsIfAbsent(programFolder, folder);
  return folder;
}

void CopySettingsIfAbsent(const std::string& fromFolder, const std::string& toFolder) {
  const std::string from = fromFolder + "/" + kSettingsFileName;
  const std::string to = toFolder + "/" + kSettingsFileName;
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0 || errno != ENOENT || !IsRegularFile(from)) return;
  try {
    if (const auto bytes = ReadRegularFile(from, kMaxSettingsBytes)) ReplaceFile(to, *bytes);
  } catch (const std::exception&) {
    // Then the game starts from the defaults there; the old file stays where it is.
  }
}

void RemoveStaleTempFiles(const std::string& folder) {
  // Left behind by a write or a probe that was killed half-way; mkstemp adds six letters.
  const auto stale = [](const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
      return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
  };
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (!stale(name, std::string(kSettingsFileName) + ".") &&
        !stale(name, std::string(kRecordsFileName) + ".") && !stale(name, ".velmora-probe-"))
      continue;
    std::error_code ignored;
    if (entry.is_regular_file(ignored)) std::filesystem::remove(entry.path(), ignored);
  }
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  const std::vector<TLine> lines = ReadLines(FileName_);
  const TPlace found = Locate(lines, section, key);
  if (found.KeyLine == std::string::npos || !lines[found.KeyLine].Understood) return defaultValue;
  const std::string& line = lines[found.KeyLine].Text;
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
  WriteStrings(section, {{key, value}});
}

void TIniFile::WriteStrings(const std::string& section,
                            const std::vector<std::pair<std::string, std::string>>& values) {
  std::vector<TLine> lines = ReadLines(FileName_);
  for (const auto& [key, value] : values)
    Put(lines, section, key, value);
  std::string bytes;
  for (const TLine& line : lines)
    bytes += line.Text + "\n";
  // A file the reader would refuse is never written: the game could not start again.
  if (bytes.size() > kMaxSettingsBytes)
    throw std::runtime_error("'" + FileName_ +
                             "' に書き込めません: " + std::to_string(kMaxSettingsBytes) +
                             " バイトを超えます。不要な行を削除するか、ファイルを削除して"
                             "ください（設定は初期値に戻ります）");
  ReplaceFile(LinkTarget(FileName_), bytes);
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

namespace {

uint32_t Fnv1a(const std::string& text) {
  // Salted, so that the check of a text is not simply the well-known hash of it.
  uint32_t hash = 2166136261u;
  for (unsigned char c : std::string("Velmora/Torvi") + text) {
    hash ^= c;
    hash *= 16777619u;
  }
  return hash;
}

std::string Hex8(uint32_t value) {
  static const char* const kDigits = "0123456789ABCDEF";
  std::string out(8, '0');
  for (int i = 7; i >= 0; --i, value >>= 4)
    out[static_cast<size_t>(i)] = kDigits[value & 15];
  return out;
}

// Whether the half of the check that belongs to the text (0: campaign, 1: unlock) matches;
// a file without a check predates it and passes.
void VerifyCheck(const std::string& check, int half, const std::string& text) {
  if (check.empty()) return;
  const std::string own = CampaignCheck(half == 0 ? text : "", half == 1 ? text : "");
  if (check.size() != own.size() || check.compare(8 * half, 8, own, 8 * half, 8) != 0)
    throw std::runtime_error("保存された戦果の検査値が一致しません");
}

}  // namespace

std::string TextCheck(const std::string& text) {
  return Hex8(Fnv1a(text));
}

std::string CampaignCheck(const std::string& campaignText, const std::string& unlockText) {
  return TextCheck(campaignText) + TextCheck(unlockText);
}

TCampaign ReadCampaignTexts(const std::string& campaignText, const std::string& unlockText,
                            const std::string& check) {
  VerifyCheck(check, 0, campaignText);
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
  campaign.SinglesUnlocked = ReadUnlockText(unlockText, check);
  return campaign;
}

int32_t ReadUnlockText(const std::string& unlockText, const std::string& check) {
  VerifyCheck(check, 1, unlockText);
  return DigitsToInteger(Repeat(unlockText, 4, Unscramble));
}

}  // namespace velmora
