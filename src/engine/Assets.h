// Pictures and sounds embedded into the program at build time. Names are paths below
// assets/, for example "images/Zero21.bmp" or "sounds/30cal.wav".
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace velmora {

struct TEmbeddedAsset {
  std::string_view Name;
  std::span<const uint8_t> Data;
};

// Every embedded file, in name order.
std::span<const TEmbeddedAsset> EmbeddedAssets();
// The file's bytes; throws std::runtime_error when it was not embedded.
std::span<const uint8_t> FindAsset(std::string_view name);

}  // namespace velmora
