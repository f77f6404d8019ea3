// The one program-wide random generator. Every draw in the game goes through it, so a
// run is reproduced exactly from its seed.
#pragma once

#include <cstdint>

namespace velmora {

class ISystem;

// The generator's state.
uint32_t& RandSeed();
// A uniform integer 0 ... n-1 (0 when n <= 0): the high 32 bits of n times the new seed.
int Random(int n);
// Re-seeds from the clock.
void Randomize(ISystem& system);

}  // namespace velmora
