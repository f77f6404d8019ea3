// The aircraft model the plane pictures are drawn from; the carrier's deck load and the title
// picture paint it too.
#pragma once

#include <vector>

#include "images/Painting.h"

namespace velmora::images {

// Aircraft seen from above. Drawing units: x across (0 = centre line), y from the nose (0)
// back to the tail (Length); the placement transform maps them onto the sprite.

enum class Insignia { Roundel, Star, None };

struct Plane {
  double Span = 12, Length = 9;
  double FusW = 1.3, TailW = 0.35;
  double WingLE = 2.6, RootChord = 2.6, TipChord = 1.2, Sweep = 0.3;
  double TailLE = 7.6, TailSpan = 4.2, TailRoot = 1.3, TailTip = 0.7;
  Col Paint{60, 96, 56};
  Col Cowl{40, 40, 44};
  Col Canopy{150, 190, 210};
  std::vector<double> Engines;  // x of wing nacelles; empty = engine in the nose
  double EngLen = 2.2, EngW = 1.0, PropD = 2.8;
  bool GlassNose = false;
  bool TwinBoom = false;
  double BoomX = 2.9;
  bool Floats = false;
  Insignia Mark = Insignia::Star;
  double MarkX = 0.62, MarkR = 0.55;  // fraction of the half span, radius in units
  double CanopyY = 2.4, CanopyLen = 2.0;
};

void DrawPlane(Canvas& c, const Plane& p);

inline constexpr Col kNavyBlue{72, 98, 136};
inline constexpr Col kOlive{98, 100, 58};
inline constexpr Col kJpGreen{64, 102, 60};

Plane Zero21();

}  // namespace velmora::images
