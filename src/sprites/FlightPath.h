// Straight, aimed and homing flight along a small value record, the corner overlap test the
// collision code uses, and the mapping from a heading to a direction frame.
#pragma once

#include <cstdint>

#include "engine/Types.h"

namespace velmora {

// Angles are radians from +X towards +Y (screen down): 0 right, pi/2 down, 3pi/2 up.
struct TFlightPath {
  // Pixels flown; -2 not started, -1 arrived (mode 1). Neither moves.
  int32_t Travel = -2;
  double CosH = 0;
  double SinH = 0;
  int32_t TargetX = 0;
  int32_t TargetY = 0;
  int32_t OriginX = 0;
  int32_t OriginY = 0;
  // Distance left to the target, rounded; mode 1 sees arrival when it starts to grow.
  int32_t Remaining = 0;
  int32_t CurX = 0;
  int32_t CurY = 0;
  // Random aim spread in milliradians, 0 for none.
  int32_t Spread = 0;
  double Heading = 0;
  // Mode 0: the caller writes the wanted heading here before AimPath.
  double AimHeading = 0;
  double HeadingDeg = 0;
  double DeltaX = 0;
  double DeltaY = 0;
  // Pixels per millisecond of move count.
  double Speed = 0;
  // 0 fixed heading, 1 straight to the target and stop, 2 straight through, 3 homing.
  uint8_t Mode = 0;
  // Radians turned per step while homing.
  double TurnRate = 0;
};

// Starts the path at (x, y) aimed at the target (mode 0 keeps the caller's AimHeading).
TFlightPath AimPath(TFlightPath path, int x, int y, int targetX, int targetY);
// Advances by move count m; target is only followed in mode 3.
TFlightPath StepPath(TFlightPath path, int m, TPoint target);
// True when a corner of either rectangle lies inside the other (left/top inclusive,
// right/bottom exclusive). Rectangles crossing like a plus sign hold no corner of each other.
bool CornersOverlap(const TRect& a, const TRect& b);
// One of n direction frames for a heading in degrees.
int HeadingFrame(int n, double degrees);

}  // namespace velmora
