#include "engine/Surface.h"

#include <algorithm>
#include <cstring>

namespace velmora {

void TSurface::SetSize(int width, int height) {
  Width_ = std::max(width, 0);
  Height_ = std::max(height, 0);
  Pixels_.assign(static_cast<size_t>(Width_) * Height_, 0);
}

void TSurface::Fill(uint8_t colour) {
  std::fill(Pixels_.begin(), Pixels_.end(), colour);
}

void TSurface::FillRect(const TRect& rect, uint8_t colour) {
  const int l = std::max(rect.Left, 0), t = std::max(rect.Top, 0);
  const int r = std::min(rect.Right, Width_), b = std::min(rect.Bottom, Height_);
  if (l >= r || t >= b) return;
  for (int y = t; y < b; ++y)
    std::memset(Row(y) + l, colour, r - l);
}

void TSurface::Blit(int x, int y, const TSurface& src, const TRect& srcRect, int key) {
  // Clip the destination to this surface and shrink the source by the same amounts.
  int sl = srcRect.Left, st = srcRect.Top, w = srcRect.Width(), h = srcRect.Height();
  if (x < 0) sl -= x, w += x, x = 0;
  if (y < 0) st -= y, h += y, y = 0;
  w = std::min(w, Width_ - x);
  h = std::min(h, Height_ - y);
  if (w <= 0 || h <= 0) return;
  for (int row = 0; row < h; ++row) {
    const uint8_t* s = src.Row(st + row) + sl;
    uint8_t* d = Row(y + row) + x;
    if (key < 0) {
      std::memcpy(d, s, w);
    } else {
      const uint8_t k = static_cast<uint8_t>(key);
      for (int i = 0; i < w; ++i)
        if (s[i] != k) d[i] = s[i];
    }
  }
}

void TSurface::StretchBlit(const TRect& dest, const TSurface& src, const TRect& srcRect, int key) {
  const int dw = dest.Width(), dh = dest.Height();
  if (dw <= 0 || dh <= 0 || srcRect.Empty()) return;
  const int l = std::max(dest.Left, 0), t = std::max(dest.Top, 0);
  const int r = std::min(dest.Right, Width_), b = std::min(dest.Bottom, Height_);
  for (int y = t; y < b; ++y) {
    const int sy =
        srcRect.Top + static_cast<int>(static_cast<int64_t>(y - dest.Top) * srcRect.Height() / dh);
    const uint8_t* s = src.Row(sy);
    uint8_t* d = Row(y);
    for (int x = l; x < r; ++x) {
      const int sx = srcRect.Left +
                     static_cast<int>(static_cast<int64_t>(x - dest.Left) * srcRect.Width() / dw);
      const uint8_t c = s[sx];
      if (key < 0 || c != key) d[x] = c;
    }
  }
}

}  // namespace velmora
