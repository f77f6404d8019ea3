// Feeds arbitrary bytes to the wave-list reader. Every input must either load or fail with
// an exception; anything the sanitizers see is a bug.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>
#include <string>

#include "engine/WaveList.h"
#include "platform/headless/HeadlessSound.h"

namespace {

class TStillClock : public velmora::ISystem {
 public:
  uint32_t TickCount() override { return Now; }
  void Sleep(uint32_t ms) override { Now += ms; }
  std::string DateTimeText() override { return ""; }
  std::string ComputerName() override { return ""; }
  std::string ProgramFolder() override { return "."; }
  std::string DataFolder() override { return "."; }
  void OpenUrl(const std::string&) override {}
  void ShowHelp(const std::string&) override {}
  uint32_t Now = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TStillClock clock;
  velmora::THeadlessSound sound(clock);
  // With the device on, loading also makes buffers, and playing walks the copy rules.
  sound.Initialize();
  velmora::TDXWaveList list(sound, clock);
  try {
    velmora::LoadWaveListFromMemory(std::span<const uint8_t>(data, size), list);
    for (int i = 0; i < list.Count(); ++i) {
      velmora::TWaveItem& item = list.Items(i);
      item.Play(false);
      item.Play(false);
      list.Find(item.Name).Stop();
    }
  } catch (const std::exception&) {
  }
  return 0;
}
