// The rounds, shells and bombs in flight, the player's shots, and the items to pick up.
#include "images/Families.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "images/Painting.h"

namespace velmora::images {

namespace {

// An enemy round: a large white-hot core in a hot pink ring, filling its cell, so even
// the small one reads over the blue sea, the white caps and the orange of explosions, and
// never looks like one of the player's yellow tracers. The heavy round gets a dark rim.
Canvas Round(int size) {
  Canvas c(size, size);
  const double m = size / 2.0;
  const bool heavy = size > 5;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double k = std::hypot(x + 0.5 - m, y + 0.5 - m) / m;  // 0 centre .. 1.41 corner
      if (k > (heavy ? 1.15 : 1.0)) continue;                     // corners stay see-through
      if (heavy && k > 0.9)
        c.Put(x, y, {130, 0, 20});
      else if (k > 0.6)
        c.Put(x, y, {255, 70, 150});
      else
        c.Put(x, y, Mix({255, 255, 250}, {255, 240, 170}, k / 0.6));
    }
  return c;
}

Canvas AABomb() {
  Canvas c(20, 20);
  Rng r(29);
  for (int i = 0; i < 9; ++i) {
    double a = r.Range(0, 2 * kPi), d = r.Range(0, 4);
    double x = 10 + std::cos(a) * d, y = 10 + std::sin(a) * d;
    double rr = std::min(r.Range(3.5, 5.5), 9.8 - d);
    c.Ellipse(x, y, rr, rr, [=](double u, double v) {
      return Mix({58, 54, 52}, {104, 98, 94},
                 std::clamp(0.5 - ((u - x) + (v - y)) / (3 * rr), 0.0, 1.0));
    });
  }
  c.Star(10, 10, 5.5, 0.35, 0.3, {250, 140, 20});
  c.Circle(10, 10, 2, {255, 236, 150});
  return c;
}

Canvas Shell30cm() {
  Canvas c(18, 61);
  // glow and trail behind (above) the shell
  c.Ellipse(9, 18, 4.5, 17, [](double, double v) {
    return Mix({190, 60, 10}, {255, 210, 60}, std::clamp(v / 30, 0.0, 1.0));
  });
  c.Ellipse(9, 24, 2.4, 11, {255, 244, 180});
  std::vector<Pt> body = {{5, 32}, {13, 32}, {13, 50}, {11.5, 56}, {9, 60.5}, {6.5, 56}, {5, 50}};
  c.Poly(body, Cylinder({170, 160, 130}, 8, 4));
  c.Rect(5, 32, 13, 35, {150, 96, 40});  // driving band
  c.Rect(5, 47, 13, 48.5, {120, 110, 90});
  return c;
}

// A player's tracer: a narrow bright streak, hot white at the head.
void Tracer(Canvas& c, double x, double top, double len, double w, double tilt) {
  Xf save = c.T;
  c.T = Rotate(tilt).Then(Translate(x, top + len / 2)).Then(save);
  c.Ellipse(0, 0, w / 2, len / 2, [=](double u, double v) {
    double k = std::abs(u) / (w / 2);
    double along = (v + len / 2) / len;  // 0 head (top) .. 1 tail
    Col core = Mix({255, 255, 220}, {255, 200, 40}, along);
    return Mix(core, {240, 120, 10}, std::clamp(k * 1.2, 0.0, 1.0));
  });
  c.T = save;
}

Canvas PlayerTama(int w, int h, int count, double fan, bool left, bool heavy) {
  Canvas c(w, h);
  double step = count > 1 ? (w - 6.0) / (count - 1) : 0;
  for (int i = 0; i < count; ++i) {
    double x = count > 1 ? 3 + step * i : w / 2.0;
    // the outer rounds lean away from the centre line on the side the shot flies
    double k = count > 1 ? static_cast<double>(i) / (count - 1) : 0.5;
    double tilt = fan * (left ? (k - 1) : k);
    double len = h - 4.0 - (i % 2) * 3;
    double wid = heavy ? 4.2 : 3.2;
    Tracer(c, x, 1 + (i % 2) * 2, len, wid, tilt);
  }
  if (heavy) {  // the cannon round in the middle glows red-hot
    double x = w / 2.0;
    c.Ellipse(x, 9, 3.6, 7, [=](double u, double v) {
      double k = std::hypot((u - x) / 3.6, (v - 9) / 7);
      return Mix({255, 246, 200}, {236, 60, 20}, std::clamp(k, 0.0, 1.0));
    });
  }
  return c;
}

Canvas Plasma() {
  Canvas c(240, 30);
  for (int f = 0; f < 8; ++f) {
    double cx = 30 * f + 15, cy = 15;
    double pulse = 0.5 + 0.5 * std::sin(f * 2 * kPi / 8);
    double R = 9.5 + 3.5 * pulse;
    for (int i = 0; i < 6; ++i) {
      double a = f * kPi / 12 + i * kPi / 3;
      c.Line(cx, cy, cx + std::cos(a) * (R + 1.3), cy + std::sin(a) * (R + 1.3), 1.6,
             {90, 150, 255});
    }
    c.Ellipse(cx, cy, R, R, [=](double u, double v) {
      double k = std::hypot(u - cx, v - cy) / R;
      return Mix({236, 246, 255}, {34, 70, 210}, std::clamp(k * k, 0.0, 1.0));
    });
  }
  return c;
}

Canvas Item(bool life) {
  Canvas c(15, 15);
  if (life) {
    c.Fill({236, 236, 232});
    c.Rect(0, 0, 15, 1, {150, 150, 150});
    c.Rect(0, 14, 15, 15, {150, 150, 150});
    c.Rect(0, 0, 1, 15, {150, 150, 150});
    c.Rect(14, 0, 15, 15, {150, 150, 150});
    c.Rect(6, 2, 9, 13, {200, 24, 24});
    c.Rect(2, 6, 13, 9, {200, 24, 24});
  } else {
    // Hot amber, the one colour the blue sea and the grey ships never show, with a dark rim
    // so it keeps its edge over the white caps as well.
    c.Rect(0, 0, 15, 15, [](double u, double v) {
      return Mix({255, 226, 80}, {236, 128, 10}, std::clamp((u + v) / 28.0, 0.0, 1.0));
    });
    Col rim{70, 30, 6};
    c.Rect(0, 0, 15, 1, rim);
    c.Rect(0, 14, 15, 15, rim);
    c.Rect(0, 0, 1, 15, rim);
    c.Rect(14, 0, 15, 15, rim);
    c.Rect(1, 1, 14, 2, {255, 250, 200});  // bevel light on the upper and left edges
    c.Rect(1, 1, 2, 14, {255, 250, 200});
    Col p{150, 16, 8};
    c.Rect(4, 3, 6, 12, p);  // stem of the P
    c.Rect(6, 3, 10, 5, p);
    c.Rect(6, 7, 10, 9, p);
    c.Rect(10, 4, 12, 8, p);
  }
  return c;
}

}  // namespace

void WriteShotsAndItems(Output& out) {
  Write(out, "Life10", Item(true), kOpaque);
  Write(out, "Pow", Item(false), kOpaque);
  Write(out, "50cal", Round(7), kKeyFuchsia);
  Write(out, "30cal", Round(5), kKeyFuchsia);
  Write(out, "AABomb", AABomb(), kKeyFuchsia);

  Write(out, "PlayerTama1", PlayerTama(15, 20, 1, 0, false, false), kKeyBlack);
  struct Level {
    const char* Name;
    int W, Count;
    double Fan;
    bool Heavy;
  };
  const Level levels[] = {
      {"PlayerTama2", 16, 2, 0, false},        {"PlayerTama3", 23, 3, 0.05, false},
      {"PlayerTama4", 33, 4, 0.08, false},     {"PlayerTama5", 40, 5, 0.1, false},
      {"PlayerTama5_20_1", 40, 5, 0.12, true}, {"PlayerTama5_20_3", 40, 5, 0.18, true},
      {"PlayerTama5_20_5", 40, 5, 0.24, true}};
  for (const Level& l : levels) {
    Write(out, std::string(l.Name) + "_L", PlayerTama(l.W, 34, l.Count, l.Fan, true, l.Heavy),
          kKeyBlack);
    Write(out, std::string(l.Name) + "_R", PlayerTama(l.W, 34, l.Count, l.Fan, false, l.Heavy),
          kKeyBlack);
  }

  Write(out, "30cm", Shell30cm(), kKeyFuchsia);
  Write(out, "Plasma", Plasma(), kKeyFuchsia);
}

}  // namespace velmora::images
