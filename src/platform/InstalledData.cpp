#include "platform/InstalledData.h"

#include <sys/stat.h>

namespace velmora {

namespace {

bool Exists(const std::string& path, bool folder) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && (folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode));
}

}  // namespace

std::string InstalledDataFolder(const std::string& programFolder) {
  std::string bin = programFolder;
  while (bin.size() > 1 && bin.back() == '/')
    bin.pop_back();
  const size_t slash = bin.rfind('/');
  // Debian installs games into /usr/games, which lies beside /usr/share as bin does.
  if (slash == std::string::npos) return {};
  const std::string leaf = bin.substr(slash + 1);
  if (leaf != "bin" && leaf != "games") return {};
  const std::string data = bin.substr(0, slash) + "/share/velmora";
  return Exists(data, true) ? data : std::string();
}

std::string FindDataFolder(const std::string& programFolder, const std::string& fallback) {
  if (Exists(programFolder + "/DefMusic.dxw", false) ||
      Exists(programFolder + "/ExpMusic.dxw", false))
    return programFolder;
  const std::string installed = InstalledDataFolder(programFolder);
  return installed.empty() ? fallback : installed;
}

}  // namespace velmora
