#include "engine/Random.h"

#include "platform/Platform.h"

namespace velmora {

uint32_t& RandSeed() {
  static uint32_t seed = 0;
  return seed;
}

int Random(int n) {
  uint32_t& seed = RandSeed();
  seed = seed * 134775813u + 1u;
  if (n <= 0) return 0;
  return static_cast<int>((static_cast<uint64_t>(static_cast<uint32_t>(n)) * seed) >> 32);
}

void Randomize(ISystem& system) {
  RandSeed() = system.TickCount();
}

}  // namespace velmora
