// How big the 640x480 picture is shown. The game always draws 640x480 at 8 bits; the window
// only enlarges it, by whole numbers so that every game pixel stays a sharp square.
#pragma once

namespace velmora {

constexpr int kGameWidth = 640;
constexpr int kGameHeight = 480;
// The largest window size the options offer (3倍); full screen may go further.
constexpr int kMaxWindowScale = 3;

struct TScreenRect {
  int X = 0, Y = 0, Width = 0, Height = 0;
  bool operator==(const TScreenRect&) const = default;
};

// The largest window scale, 1 to kMaxWindowScale, whose window (the picture plus the
// window's own frame, menu bar and title) fits in the free part of the screen with room to
// spare; 1 when even that does not fit.
int FittingWindowScale(int freeWidth, int freeHeight, int chromeWidth, int chromeHeight);

// Where the picture goes on a full screen of that size: the largest whole scale that fits,
// centred with black bars around it; on a screen smaller than the game, the largest
// picture of the same shape (still drawn without smoothing).
TScreenRect LetterboxRect(int areaWidth, int areaHeight);

}  // namespace velmora
