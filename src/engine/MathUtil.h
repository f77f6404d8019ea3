// Rounding as the game has always done it: to nearest, halves to the even neighbour.
#pragma once

#include <cmath>
#include <cstdint>

namespace velmora {

inline double RoundHalfEven(double v) {
  return std::nearbyint(v);
}
inline int Round(double v) {
  return static_cast<int>(std::nearbyint(v));
}
inline int64_t Round64(double v) {
  return static_cast<int64_t>(std::nearbyint(v));
}
// Truncation toward zero, as boxes are taken from positions.
inline int Trunc(double v) {
  return static_cast<int>(v);
}

// 32-bit sums that wrap round as the game's counters always have, defined in C++ too.
inline int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// A coordinate of a box from a position: truncated, and held within a range where sums with a
// size cannot overflow (a mission file can place a sprite anywhere; NaN lands at the low end).
inline int BoxCoordinate(double v) {
  constexpr double kLimit = 1 << 30;
  if (!(v > -kLimit)) return -(1 << 30);
  if (v >= kLimit) return 1 << 30;
  return static_cast<int>(v);
}

}  // namespace velmora
