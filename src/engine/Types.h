// Small value types shared by the whole core.
#pragma once

#include <array>
#include <cstdint>

namespace velmora {

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  bool operator==(const TRect&) const = default;
};

struct TPoint {
  int X = 0, Y = 0;
  bool operator==(const TPoint&) const = default;
};

// Strict overlap: rectangles that only share an edge do not overlap.
inline bool OverlapRect(const TRect& a, const TRect& b) {
  return a.Left < b.Right && a.Right > b.Left && a.Top < b.Bottom && a.Bottom > b.Top;
}

struct TRGB {
  uint8_t R = 0, G = 0, B = 0;
  bool operator==(const TRGB&) const = default;
};

using TPalette = std::array<TRGB, 256>;

}  // namespace velmora
