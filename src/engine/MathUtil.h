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

}  // namespace velmora
