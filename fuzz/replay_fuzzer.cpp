// Feeds arbitrary bytes to the replay reader: as they come, and with the check value at
// their end made right, so that the fuzzer reaches past it into the fields and the runs.
// Every input must decode or be refused with a TReplayError; whatever decodes must encode
// back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shell/Replay.h"

namespace {

void Decode(std::string_view bytes) {
  try {
    const velmora::TReplay replay = velmora::DecodeReplay(bytes);
    if (velmora::EncodeReplay(replay) != bytes) std::abort();
    uint64_t ticks = 0;
    for (const velmora::TReplayRun& run : replay.Runs)
      ticks += run.Count;
    if (ticks != replay.Result.Ticks || ticks > velmora::kReplayMaxTicks) std::abort();
  } catch (const velmora::TReplayError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Decode(bytes);
  if (size >= 10) {
    std::string sealed(bytes.substr(0, size - 4));
    const uint32_t sum = velmora::ReplayChecksum(sealed);
    for (int i = 0; i < 4; ++i)
      sealed.push_back(static_cast<char>(sum >> (8 * i)));
    Decode(sealed);
  }
  return 0;
}
