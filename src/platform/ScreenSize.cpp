#include "platform/ScreenSize.h"

#include <algorithm>

namespace velmora {

namespace {

// A window that fills the screen to the last pixel is not comfortable: the edges of the
// screen stay free for the panel the window manager did not report and for the shadow.
constexpr int kComfortMargin = 16;

}  // namespace

int FittingWindowScale(int freeWidth, int freeHeight, int chromeWidth, int chromeHeight) {
  for (int scale = kMaxWindowScale; scale > 1; --scale) {
    if (kGameWidth * scale + chromeWidth + kComfortMargin <= freeWidth &&
        kGameHeight * scale + chromeHeight + kComfortMargin <= freeHeight)
      return scale;
  }
  return 1;
}

TScreenRect LetterboxRect(int areaWidth, int areaHeight) {
  areaWidth = std::max(areaWidth, 0);
  areaHeight = std::max(areaHeight, 0);
  TScreenRect r;
  const int scale = std::min(areaWidth / kGameWidth, areaHeight / kGameHeight);
  if (scale >= 1) {
    r.Width = kGameWidth * scale;
    r.Height = kGameHeight * scale;
  } else if (static_cast<long long>(areaWidth) * kGameHeight <=
             static_cast<long long>(areaHeight) * kGameWidth) {
    r.Width = areaWidth;
    r.Height = areaWidth * kGameHeight / kGameWidth;
  } else {
    r.Height = areaHeight;
    r.Width = areaHeight * kGameWidth / kGameHeight;
  }
  r.X = (areaWidth - r.Width) / 2;
  r.Y = (areaHeight - r.Height) / 2;
  return r;
}

}  // namespace velmora
