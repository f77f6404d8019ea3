// The ships, drawn horizontally with the bow on the left (drawing units = pixels).
#include "images/Families.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "images/Aircraft.h"

namespace velmora::images {

namespace {

std::vector<Pt> HullShape(double x0, double x1, double cy, double beam, double bowLen,
                          double sternRound) {
  std::vector<Pt> pts;
  const int n = 16;
  for (int i = 0; i <= n; ++i) {  // upper side, bow to stern
    double t = static_cast<double>(i) / n;
    double x = x0 + bowLen * t;
    pts.push_back({x, cy - beam / 2 * std::sqrt(t * (2 - t))});
  }
  for (int i = 0; i <= n; ++i) {
    double a = -kPi / 2 + kPi * i / n;
    pts.push_back({x1 - sternRound + sternRound * std::cos(a) * 0.6, cy + beam / 2 * std::sin(a)});
  }
  for (int i = n; i >= 0; --i) {
    double t = static_cast<double>(i) / n;
    double x = x0 + bowLen * t;
    pts.push_back({x, cy + beam / 2 * std::sqrt(t * (2 - t))});
  }
  return pts;
}

void Wake(Canvas& c, double x0, double cy, double beam, double len, Rng& r) {
  for (int i = 0; i < 40 + static_cast<int>(len * beam / 8); ++i) {
    double t = r.Unit() * r.Unit();  // foam is thickest right behind the stern
    double x = x0 + t * len;
    double spread = beam * (0.35 + 0.4 * t);
    double y = cy + r.Range(-spread / 2, spread / 2);
    double rr = r.Range(1.0, 2.6) * (1 - t * 0.5);
    c.Circle(x, y, rr, Mix({236, 242, 246}, {160, 190, 210}, t));
  }
}

void Turret(Canvas& c, double x, double y, double r, double angle, double barrel, Col grey) {
  double ca = std::cos(angle), sa = std::sin(angle);
  for (int k = -1; k <= 1; ++k) {
    double ox = -sa * k * r * 0.35, oy = ca * k * r * 0.35;
    c.Line(x + ox, y + oy, x + ox + ca * (r + barrel), y + oy + sa * (r + barrel),
           std::max(r * 0.16, 1.0), Scale(grey, 0.55));
  }
  c.Ellipse(x, y, r, r * 0.9, Cylinder(grey, x - r * 0.2, r));
  c.Circle(x - ca * r * 0.45, y - sa * r * 0.45, r * 0.25, Scale(grey, 0.75));
}

Canvas Missouri() {
  Canvas c(640, 105);
  Rng r(61);
  const double cy = 50;
  Wake(c, 600, cy, 60, 40, r);
  for (int i = 0; i < 40; ++i) {  // bow wave along both sides
    double t = i / 40.0;
    for (int s : {-1, 1})
      c.Circle(24 + t * 80, cy + s * (10 + t * 30), 2.8 - 1.8 * t, {226, 234, 240});
  }
  Col hull{118, 128, 140}, deck{182, 160, 118};
  auto hullPts = HullShape(14, 612, cy, 76, 170, 24);
  c.Poly(hullPts, hull);
  auto deckPts = HullShape(20, 606, cy, 68, 164, 20);
  c.Poly(deckPts, [&](double u, double v) {
    // teak planks
    Col d = (static_cast<int>(v) % 4 == 0) ? Scale(deck, 0.86) : deck;
    return Mix(d, Scale(d, 0.9), std::abs(u - 320) / 320 * 0.3);
  });
  Col grey{132, 140, 150};
  // turrets at the positions the game's hit zones expect
  Turret(c, 170, 50, 15, kPi / 2, 30, grey);
  Turret(c, 219, 49, 16, kPi / 2, 30, grey);
  Turret(c, 480, 52, 16, kPi / 2, 30, grey);
  // superstructure
  c.Rect(252, 30, 340, 70, [&](double u, double) {
    return Mix(Scale(grey, 1.05), Scale(grey, 0.8), (u - 252) / 88);
  });
  c.Rect(262, 36, 322, 64, Scale(grey, 1.12));
  c.Ellipse(278, 50, 14, 12, Scale(grey, 1.2));
  c.Circle(278, 50, 5, {90, 96, 104});
  c.Ellipse(318, 50, 9, 12, {62, 64, 70});  // forward funnel
  c.Ellipse(318, 50, 6, 9, {36, 36, 40});
  c.Rect(350, 34, 420, 66, Scale(grey, 0.95));
  c.Ellipse(372, 50, 9, 12, {62, 64, 70});  // aft funnel
  c.Ellipse(372, 50, 6, 9, {36, 36, 40});
  c.Rect(392, 40, 416, 60, Scale(grey, 1.15));
  c.Line(430, 50, 455, 50, 2, {90, 96, 104});  // mast and aircraft crane
  // anti-aircraft mounts along the beam
  for (double x : {250.0, 300.0, 350.0, 400.0, 440.0}) {
    for (int s : {-1, 1}) {
      c.Circle(x, cy + s * 25, 4.2, Scale(grey, 0.9));
      c.Line(x, cy + s * 25, x - 6, cy + s * 25, 1.3, {70, 74, 80});
    }
  }
  c.Circle(247, 43, 3, {80, 84, 90});
  // anchor chain and bow details
  c.Line(60, cy, 120, cy, 1.2, {90, 80, 70});
  c.Circle(70, cy - 6, 2, {70, 70, 74});
  c.Circle(70, cy + 6, 2, {70, 70, 74});
  c.Outline(0.7);
  return c;
}

// The carrier faces right: its fighters appear on the stern deck at the left (48, 23),
// roll forward along the centre line and take off past the bow. The island stands over the
// strip the player's guns can hit (x 249 to 382 along the top edge); the side guns fire
// from the sponsons at (39, 71) and (551, 78), the fan and bursts from the island's aft
// gun at (280, 13).
Canvas Enterprise() {
  Canvas c(600, 87);
  Rng r(73);
  const double cy = 45;
  // Hull and wake are the bow-left shapes of the other ships, drawn mirrored.
  const Xf mirror{-1, 0, 0, 1, 600, 0};
  c.T = mirror;
  Wake(c, 566, cy, 50, 34, r);
  Col hull{104, 114, 128};
  c.Poly(HullShape(6, 570, cy, 62, 120, 10), hull);
  // flight deck overhangs the hull, square at the stern, narrowing to the bow
  Col deck{96, 90, 82};
  c.T = {};
  c.Poly(
      {{34, 14},
       {40, 11},
       {540, 11},
       {580, 16},
       {588, 28},
       {588, 62},
       {580, 74},
       {540, 79},
       {40, 79},
       {34, 76}},
      [&](double, double v) { return (static_cast<int>(v) % 3 == 0) ? Scale(deck, 0.88) : deck; });
  Col paint{226, 226, 220};
  c.Line(40, cy, 584, cy, 1.4, paint);  // centre line, the launch lane
  for (double x = 50; x < 540; x += 24) {
    c.Line(x, 14, x + 10, 14, 1, {200, 196, 150});
    c.Line(x, 76, x + 10, 76, 1, {200, 196, 150});
  }
  // the ramp at the stern and arrows pointing the way to the bow
  c.Line(36, 16, 36, 74, 2, {200, 196, 150});
  for (double x : {170.0, 390.0}) {
    c.Line(x, cy - 8, x + 10, cy, 1.6, paint);
    c.Line(x, cy + 8, x + 10, cy, 1.6, paint);
  }
  for (double x : {104.0, 244.0, 434.0}) {  // elevators
    c.Rect(x, 33, x + 26, 57, Scale(deck, 1.15));
    c.Rect(x + 2, 35, x + 24, 55, Scale(deck, 0.95));
  }
  c.Rect(520, 36, 536, 54, Scale(paint, 0.9));  // hull number on the bow deck
  c.Rect(523, 39, 533, 51, deck);
  // island on the upper edge: aft gun, funnel, then the bridge looking forward
  Col grey{140, 148, 158};
  c.Rect(254, 2, 372, 15, grey);
  c.Rect(342, 3, 370, 13, Scale(grey, 1.15));  // bridge
  c.Rect(364, 5, 370, 11, {70, 90, 110});      // its forward windows
  c.Ellipse(318, 8, 12, 5, {60, 62, 68});      // funnel
  c.Ellipse(318, 8, 9, 3, {34, 34, 38});
  c.Line(296, 2, 296, 14, 1.5, {90, 96, 104});  // mast
  c.Circle(280, 11, 4, Scale(grey, 0.85));      // aft gun mount
  c.Line(280, 11, 288, 11, 1.4, {70, 74, 80});
  // gun sponsons on the lower side, stern and bow
  for (const Pt& g : {Pt{39, 71}, Pt{551, 78}}) {
    c.Circle(g.X, g.Y + 2, 5, Scale(grey, 0.8));
    c.Circle(g.X, g.Y + 2, 3, Scale(grey, 1.05));
    c.Line(g.X, g.Y + 2, g.X + 6, g.Y + 6, 1.3, {70, 74, 80});
  }
  // aircraft spotted aft along the deck edges, wings folded, noses to the bow, clear of
  // the lane the launching fighter rolls along
  for (int i = 0; i < 8; ++i) {
    double x = 70 + (i % 4) * 26, y = i < 4 ? 20 : 70;
    c.Line(x - 7, y, x + 7, y, 3, kNavyBlue);
    c.Line(x + 2, y - 4, x + 2, y + 4, 3, kNavyBlue);
    c.Line(x - 6, y - 2.5, x - 6, y + 2.5, 2, kNavyBlue);
    c.Line(x + 7, y - 1, x + 7, y + 1, 1, {40, 40, 44});  // engine cowling
  }
  c.Outline(0.7);
  return c;
}

Canvas Fletcher() {
  // A destroyer heading down the screen: drawn horizontally, then turned.
  Canvas h(238, 30);
  Rng r(81);
  const double cy = 15;
  Col hull{120, 130, 142}, deck{90, 100, 116}, grey{138, 146, 156};
  Wake(h, 222, cy, 20, 16, r);
  h.Poly(HullShape(2, 226, cy, 22, 60, 6), hull);
  h.Poly(HullShape(6, 222, cy, 18, 56, 5), deck);
  for (double x : {40.0, 54.0})
    Turret(h, x, cy, 4.5, kPi, 7, grey);
  h.Rect(66, 9, 92, 21, grey);  // bridge
  h.Rect(70, 11, 84, 19, Scale(grey, 1.15));
  for (double x : {104.0, 126.0}) {
    h.Ellipse(x, cy, 6, 5, {66, 68, 74});
    h.Ellipse(x, cy, 4, 3, {36, 36, 40});
  }
  h.Rect(140, 12, 164, 18, Scale(grey, 0.85));  // torpedo tubes
  h.Line(140, cy, 164, cy, 1.2, {70, 74, 80});
  for (double x : {178.0, 198.0, 216.0})
    Turret(h, x, cy, 4.5, 0, 7, grey);
  h.Outline(0.7);
  Canvas c(30, 238);
  for (int y = 0; y < 238; ++y)
    for (int x = 0; x < 30; ++x) {
      // bow (left of h) to the bottom of the sprite
      int hx = 237 - y, hy = x;
      if (h.On[hy * 238 + hx]) c.Put(x, y, h.Px[hy * 238 + hx]);
    }
  return c;
}

Canvas LandingCraft(bool lsm) {
  int w = 120, hgt = lsm ? 21 : 23;
  Canvas c(w, hgt);
  double cy = hgt / 2.0;
  Col hull{108, 118, 106}, deck{84, 94, 84};
  c.Poly(HullShape(2, 110, cy, hgt - 4, 20, 5), hull);
  c.Poly(HullShape(5, 107, cy, hgt - 8, 18, 4), deck);
  Rng r(lsm ? 91 : 93);
  Wake(c, 108, cy, hgt - 8, 12, r);
  if (lsm) {
    c.Rect(26, cy - 4, 78, cy + 4, Scale(deck, 0.75));  // open well deck
    for (double x = 30; x < 78; x += 6)
      c.Line(x, cy - 4, x, cy + 4, 1, Scale(deck, 0.6));
    c.Circle(86, cy - 4, 4.5, {140, 148, 150});  // round conning tower
    c.Circle(86, cy - 4, 2.5, {96, 104, 110});
  } else {
    c.Rect(74, cy - 5, 90, cy + 5, {136, 144, 140});  // conning tower
    c.Rect(77, cy - 3, 87, cy + 3, {160, 168, 164});
    for (double x : {22.0, 40.0, 58.0})
      c.Rect(x, cy - 4, x + 10, cy + 4, Scale(deck, 1.2));
    c.Line(6, cy - 6, 16, cy - 9, 1.5, {90, 90, 86});  // bow ramps
    c.Line(6, cy + 6, 16, cy + 9, 1.5, {90, 90, 86});
  }
  c.Outline(0.68);
  return c;
}

}  // namespace

void WriteShips(Output& out) {
  Write(out, "Missouri", Missouri(), kKeyWhite);
  Write(out, "Enterprise", Enterprise(), kKeyFuchsia);
  Write(out, "Fletcher", Fletcher(), kKeyFuchsia);
  Write(out, "LCI", LandingCraft(false), kKeyFuchsia);
  Write(out, "LSM", LandingCraft(true), kKeyFuchsia);
}

}  // namespace velmora::images
