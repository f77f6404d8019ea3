// The characters the bonus missions fly around.
#include "images/Families.h"

#include <algorithm>
#include <cmath>

#include "images/Painting.h"

namespace velmora::images {

namespace {

Canvas Ufo() {
  Canvas c(36, 39);
  c.Ellipse(18, 20, 17.5, 17, [](double u, double v) {
    double k = std::hypot(u - 14, v - 16) / 20;
    return Mix({220, 224, 232}, {110, 116, 130}, std::clamp(k, 0.0, 1.0));
  });
  c.Ellipse(18, 20, 12, 11.5, {150, 156, 170});
  c.Ellipse(18, 20, 8, 8, [](double u, double v) {
    double k = std::hypot(u - 16, v - 18) / 9;
    return Mix({200, 250, 240}, {30, 150, 150}, std::clamp(k, 0.0, 1.0));
  });
  for (int i = 0; i < 8; ++i) {
    double a = i * kPi / 4;
    Col l = (i % 2) ? Col{250, 200, 40} : Col{250, 80, 60};
    c.Circle(18 + std::cos(a) * 14.5, 20 + std::sin(a) * 14, 1.7, l);
  }
  c.Outline(0.65);
  return c;
}

Canvas StarChar() {
  Canvas c(57, 60);
  c.Star(28.5, 32, 28, 0.46, 0, {230, 180, 20});
  c.Star(28.5, 32, 24, 0.46, 0, {255, 222, 60});
  c.Star(26, 29, 10, 0.46, 0, {255, 246, 170});
  // a face: the stars of this game are friendly
  c.Ellipse(23, 33, 2, 3.2, {60, 40, 20});
  c.Ellipse(34, 33, 2, 3.2, {60, 40, 20});
  c.Line(24, 41, 28.5, 43, 1.4, {150, 40, 20});
  c.Line(28.5, 43, 33, 41, 1.4, {150, 40, 20});
  c.Outline(0.7);
  return c;
}

Canvas Apple() {
  Canvas c(55, 62);
  c.Line(28, 4, 30, 16, 3, {110, 66, 30});  // stem
  c.Ellipse(37, 10, 9, 4.5, [](double u, double) {
    return Mix({80, 190, 50}, {20, 100, 20}, std::clamp((u - 28) / 18, 0.0, 1.0));
  });
  auto body = [](double u, double v) {
    double k = std::hypot(u - 19, v - 28) / 34;
    return Mix({250, 110, 90}, {140, 12, 16}, std::clamp(k, 0.0, 1.0));
  };
  c.Ellipse(18, 38, 17, 22, body);
  c.Ellipse(37, 38, 17, 22, body);
  c.Ellipse(27.5, 36, 14, 20, body);
  c.Ellipse(16, 30, 4, 7, {255, 196, 180});
  c.Outline(0.7);
  return c;
}

// Our mascot: a round winged puffball that the bonus missions fly around.
Canvas Ruko() {
  Canvas c(132, 89);
  Col wing{186, 150, 226}, wingDark{120, 80, 170};
  for (int s : {-1, 1}) {
    for (int f = 0; f < 4; ++f) {
      double a = -0.5 + f * 0.32;
      double x0 = 66 + s * 26, y0 = 42;
      double x1 = 66 + s * (64 - f * 4), y1 = y0 + std::sin(a) * 28 - 2;
      c.Ellipse((x0 + x1) / 2, (y0 + y1) / 2, std::abs(x1 - x0) / 2 + 2, 7 - f * 0.8,
                [=](double u, double) {
                  return Mix(wing, wingDark, std::clamp(std::abs(u - 66) / 64, 0.0, 1.0));
                });
    }
  }
  c.Poly({{40, 30}, {44, 4}, {60, 22}}, {236, 150, 186});  // ears
  c.Poly({{92, 30}, {88, 4}, {72, 22}}, {236, 150, 186});
  c.Poly({{45, 26}, {46, 12}, {55, 22}}, {255, 200, 220});
  c.Poly({{87, 26}, {86, 12}, {77, 22}}, {255, 200, 220});
  // A soft pink body lit from the upper left; a paler centre would band into rings.
  c.Ellipse(66, 50, 31, 30, [](double u, double v) {
    double k = std::hypot(u - 56, v - 38) / 44;
    return Mix({246, 178, 214}, {222, 118, 168}, std::clamp(k, 0.0, 1.0));
  });
  for (int s : {-1, 1}) {
    c.Ellipse(66 + s * 12, 46, 7, 9, {250, 250, 250});
    c.Ellipse(66 + s * 12 + 1.5, 48, 4.2, 6, {40, 30, 60});
    c.Circle(66 + s * 12 - 0.5, 45, 1.8, {250, 250, 250});
    c.Ellipse(66 + s * 21, 60, 5, 3, {250, 140, 160});
  }
  c.Poly({{61, 60}, {71, 60}, {66, 66}}, {200, 60, 80});  // mouth
  c.Ellipse(56, 79, 6, 4, {236, 150, 186});               // feet
  c.Ellipse(76, 79, 6, 4, {236, 150, 186});
  c.Outline(0.7);
  return c;
}

}  // namespace

void WriteBonusCharacters(Output& out) {
  Write(out, "Ruko", Ruko(), kKeyBlack);
  Write(out, "UFO", Ufo(), kKeyFuchsia);
  Write(out, "Star", StarChar(), kKeyFuchsia);
  Write(out, "Apple", Apple(), kKeyFuchsia);
}

}  // namespace velmora::images
