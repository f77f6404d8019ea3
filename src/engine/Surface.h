// An 8-bit surface: one byte per pixel, each an index into the display palette.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/Types.h"

namespace velmora {

class TSurface {
 public:
  TSurface() = default;
  TSurface(int width, int height) { SetSize(width, height); }

  void SetSize(int width, int height);
  int Width() const { return Width_; }
  int Height() const { return Height_; }
  TRect ClientRect() const { return {0, 0, Width_, Height_}; }

  uint8_t* Row(int y) { return Pixels_.data() + static_cast<size_t>(y) * Width_; }
  const uint8_t* Row(int y) const { return Pixels_.data() + static_cast<size_t>(y) * Width_; }
  uint8_t Pixel(int x, int y) const { return Row(y)[x]; }
  void SetPixel(int x, int y, uint8_t c) { Row(y)[x] = c; }
  const std::vector<uint8_t>& Pixels() const { return Pixels_; }
  std::vector<uint8_t>& Pixels() { return Pixels_; }

  void Fill(uint8_t colour);
  // Fills the part of the rectangle that lies on the surface.
  void FillRect(const TRect& rect, uint8_t colour);

  // Copies src's rectangle to (x, y), clipped to this surface. With a key, pixels equal to
  // the key are left out.
  void Blit(int x, int y, const TSurface& src, const TRect& srcRect, int key = -1);
  // Scales src's rectangle to fill dest (nearest neighbour), clipped to this surface.
  void StretchBlit(const TRect& dest, const TSurface& src, const TRect& srcRect, int key = -1);

 private:
  int Width_ = 0;
  int Height_ = 0;
  std::vector<uint8_t> Pixels_;
};

}  // namespace velmora
