// Explosions, smoke and the sparks of a hit.
#include "images/Families.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "images/Painting.h"

namespace velmora::images {

namespace {

Canvas Explosion(int cell, int stages, uint32_t seed) {
  Canvas c(cell * stages, cell);
  Rng r(seed);
  for (int s = 0; s < stages; ++s) {
    double cx = cell * s + cell / 2.0, cy = cell / 2.0, R = cell / 2.0 - 1;
    auto blobs = [&](int n, double rad, double minR, double maxR, Col outer, Col inner) {
      for (int i = 0; i < n; ++i) {
        double a = r.Range(0, 2 * kPi), d = r.Range(0, rad);
        double x = cx + std::cos(a) * d, y = cy + std::sin(a) * d;
        double rr = std::min(r.Range(minR, maxR), R - d);
        if (rr <= 0.5) continue;
        c.Ellipse(x, y, rr, rr, [=](double u, double v) {
          double k = std::hypot(u - x, v - y) / rr;
          return Mix(inner, outer, k * k);
        });
      }
    };
    if (s == 0) {  // white-hot flash with short spikes
      for (int i = 0; i < 10; ++i) {
        double a = i * kPi / 5 + r.Range(-0.2, 0.2), l = R * r.Range(0.55, 0.9);
        c.Line(cx, cy, cx + std::cos(a) * l, cy + std::sin(a) * l, R * 0.09, {255, 214, 80});
      }
      blobs(8, R * 0.18, R * 0.2, R * 0.34, {255, 150, 20}, {255, 240, 150});
      c.Circle(cx, cy, R * 0.2, {255, 252, 220});
    } else if (s == 1) {  // the fireball
      blobs(14, R * 0.5, R * 0.25, R * 0.45, {190, 50, 6}, {255, 170, 30});
      blobs(8, R * 0.3, R * 0.2, R * 0.32, {250, 130, 12}, {255, 236, 140});
      c.Circle(cx, cy, R * 0.14, {255, 250, 210});
    } else {  // dark smoke with embers
      blobs(16, R * 0.52, R * 0.22, R * 0.44, {50, 44, 40}, {110, 100, 92});
      blobs(6, R * 0.35, R * 0.1, R * 0.2, {120, 40, 8}, {230, 110, 20});
    }
  }
  return c;
}

Canvas Smoke() {
  Canvas c(128, 32);
  Rng r(17);
  for (int s = 0; s < 4; ++s) {
    double cx = 32 * s + 16, cy = 16;
    int n = 5 + s;
    for (int i = 0; i < n; ++i) {
      double a = r.Range(0, 2 * kPi), d = r.Range(0, 6);
      double x = cx + std::cos(a) * d, y = cy + std::sin(a) * d;
      double rr = std::min(r.Range(6, 9), 15.0 - d);
      c.Ellipse(x, y, rr, rr, [=](double u, double v) {
        double k = std::clamp(((u - x) + (v - y)) / (2 * rr), -1.0, 1.0);
        return Mix({200, 198, 194}, {96, 94, 92}, (k + 1) / 2);
      });
    }
  }
  return c;
}

Canvas TamaHane() {
  Canvas c(52, 13);
  for (int s = 0; s < 4; ++s) {
    double cx = 13 * s + 6.5, cy = 6.5;
    double rot = s * kPi / 8;
    double len = 3.5 + s * 0.8;
    for (int i = 0; i < 4; ++i) {
      double a = rot + i * kPi / 2;
      c.Line(cx, cy, cx + std::cos(a) * len, cy + std::sin(a) * len, 1.3, {255, 200, 60});
    }
    for (int i = 0; i < 4; ++i) {
      double a = rot + kPi / 4 + i * kPi / 2;
      c.Line(cx, cy, cx + std::cos(a) * len * 0.6, cy + std::sin(a) * len * 0.6, 1.0,
             {250, 140, 20});
    }
    c.Circle(cx, cy, 1.6, {255, 250, 210});
  }
  return c;
}

}  // namespace

void WriteEffects(Output& out) {
  Write(out, "TamaHane", TamaHane(), kKeyFuchsia);
  Write(out, "Smoke", Smoke(), kKeyBlack);
  Write(out, "Explosion", Explosion(100, 3, 11), kKeyFuchsia);
  Write(out, "Explosion_S", Explosion(40, 3, 13), kKeyFuchsia);
}

}  // namespace velmora::images
