// Feeds arbitrary bytes to the settings reader as a whole Torvi.INI, then decodes the
// campaign it holds. Every input must read (or fail with an exception); a key written must
// read back as written, whatever else the file holds.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <string>

#include "engine/Scrambler.h"
#include "shell/Settings.h"

namespace {

const std::string& FileName() {
  static const std::string name = [] {
    char path[] = "/tmp/velmora-settings-fuzz-XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd >= 0) ::close(fd);
    std::atexit([] { ::unlink(FileName().c_str()); });
    return std::string(path);
  }();
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmora;
  std::ofstream(FileName(), std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  TIniFile ini(FileName());
  try {
    const std::string campaign = ini.ReadString("Game", "Player", kDefaultCampaignText);
    const std::string unlock = ini.ReadString("Game", "Single", kDefaultUnlockText);
    const std::string check = ini.ReadString("Game", "Check", "");
    try {
      ReadCampaignTexts(campaign, unlock, check);
    } catch (const std::exception&) {
    }
    try {
      ReadUnlockText(unlock, check);
    } catch (const std::exception&) {
    }
    ini.ReadBool("Options", "Sound", true);
    ini.ReadInteger("Game", "Difficulty", 1);
    ini.WriteStrings("Player", {{"Name", "山本"}, {"Mail", ""}});
    ini.WriteInteger("Game", "Difficulty", 3);
    if (ini.ReadInteger("Game", "Difficulty", 1) != 3 ||
        ini.ReadString("Player", "Name", "") != "山本")
      std::abort();
  } catch (const std::exception&) {
  }
  try {
    UnscrambleText(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const std::exception&) {
  }
  return 0;
}
