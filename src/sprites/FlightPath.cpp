#include "sprites/FlightPath.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "engine/MathUtil.h"
#include "engine/Random.h"

namespace velmora {

namespace {

constexpr double kPi = std::numbers::pi;

// Direction from a difference vector, in [0, 2pi). A zero vector points straight up, which
// is what a shot aimed at its own muzzle has always done.
double DirectionOf(double dx, double dy) {
  double a = dx != 0 ? std::atan(dy / dx) : kPi / 2;
  if ((dx <= 0 && dy <= 0) || (dx < 0 && dy > 0)) a += kPi;
  if (a < 0) a += 2 * kPi;
  return a;
}

int RoundedDistance(int x1, int y1, int x2, int y2) {
  const double dx = static_cast<double>(x1) - x2;
  const double dy = static_cast<double>(y1) - y2;
  return Round(std::sqrt(dx * dx + dy * dy));
}

bool Inside(const TRect& r, int x, int y) {
  return r.Left <= x && x < r.Right && r.Top <= y && y < r.Bottom;
}

bool HoldsCornerOf(const TRect& r, const TRect& c) {
  return Inside(r, c.Left, c.Top) || Inside(r, c.Right, c.Bottom) || Inside(r, c.Right, c.Top) ||
         Inside(r, c.Left, c.Bottom);
}

}  // namespace

TFlightPath AimPath(TFlightPath path, int x, int y, int targetX, int targetY) {
  path.OriginX = path.CurX = x;
  path.OriginY = path.CurY = y;
  path.TargetX = targetX;
  path.TargetY = targetY;
  path.DeltaX = static_cast<double>(targetX) - x;
  path.DeltaY = static_cast<double>(targetY) - y;
  if (path.Mode != 0) path.AimHeading = DirectionOf(path.DeltaX, path.DeltaY);
  if (path.Spread > 0) {
    // The side is drawn before the amount; replays depend on this order.
    if (Random(2) == 0) {
      path.AimHeading += Random(path.Spread) * 0.001;
    } else {
      path.AimHeading -= Random(path.Spread) * 0.001;
    }
  }
  path.CosH = std::cos(path.AimHeading);
  path.SinH = std::sin(path.AimHeading);
  path.Remaining = RoundedDistance(x, y, targetX, targetY);
  path.Travel = 0;
  return path;
}

TFlightPath StepPath(TFlightPath path, int m, TPoint target) {
  if (path.Travel == -2 || path.Travel == -1) return path;
  const double d = m * path.Speed;
  path.Travel += Round(d);

  int nx, ny;
  if (path.Mode == 3) {
    path.DeltaX = static_cast<double>(target.X) - path.CurX;
    path.DeltaY = static_cast<double>(target.Y) - path.CurY;
    double delta = DirectionOf(path.DeltaX, path.DeltaY) - path.Heading;
    if (delta < 0) delta += 2 * kPi;
    path.AimHeading = delta;
    if (delta != 0) {
      // A target dead behind turns the same way as one slightly to the right.
      path.Heading += delta <= kPi ? path.TurnRate : 2 * kPi - path.TurnRate;
      if (path.Heading >= 2 * kPi) path.Heading -= 2 * kPi;
    }
    nx = WrapAdd(path.CurX, Round(d * std::cos(path.Heading)));
    ny = WrapAdd(path.CurY, Round(d * std::sin(path.Heading)));
  } else {
    // Positions come from the origin, not the last point, so rounding never accumulates.
    path.Heading = path.AimHeading;
    // A mission file may start a plane anywhere: far out, the sum wraps rather than overflows.
    nx = WrapAdd(path.OriginX, Round(path.Travel * path.CosH));
    ny = WrapAdd(path.OriginY, Round(path.Travel * path.SinH));
  }
  path.HeadingDeg = path.Heading * 180 / kPi;

  if (path.Mode == 1) {
    const int dist = RoundedDistance(nx, ny, path.TargetX, path.TargetY);
    if (path.Remaining < dist) {
      path.Travel = -1;
      path.CurX = path.TargetX;
      path.CurY = path.TargetY;
      path.Remaining = 0;
    } else {
      path.CurX = nx;
      path.CurY = ny;
      path.Remaining = dist;
    }
  } else {
    path.CurX = nx;
    path.CurY = ny;
  }
  return path;
}

bool CornersOverlap(const TRect& a, const TRect& b) {
  return HoldsCornerOf(a, b) || HoldsCornerOf(b, a);
}

int HeadingFrame(int n, double degrees) {
  if (degrees == 0 || degrees == 360) return 0;
  const double i = RoundHalfEven(degrees / (360.0 / n - 1));
  // A heading past the last frame's half-way point wraps back to frame 0.
  if (!std::isfinite(i) || !(i < n) || i < std::numeric_limits<int>::min()) return 0;
  return static_cast<int>(i);
}

}  // namespace velmora
