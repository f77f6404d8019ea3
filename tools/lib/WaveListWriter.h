// Writes wave-list files (named wave collections) and RIFF waves, for the sound and music
// generators and for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace velmora {

struct TWaveListEntry {
  std::string Name;
  bool Looped = false;
  int MaxPlayingCount = 0;
  TWaveFormat Format;
  std::vector<uint8_t> Samples;
  // When not empty, written as the wave data instead of Format and Samples (lets tests
  // store damaged or unusual waves).
  std::vector<uint8_t> RawRiff;
};

// A complete wave-list file: resource header, then the component stream.
std::vector<uint8_t> WriteWaveList(const std::vector<TWaveListEntry>& entries);

// A RIFF wave of one "fmt " and one "data" chunk. The "fmt " chunk is 16 bytes, or 18 plus
// the extra bytes when the format has any.
std::vector<uint8_t> MakeRiffWave(const TWaveFormat& format, const std::vector<uint8_t>& samples);

}  // namespace velmora
