// The sea and space backgrounds, the title lettering and the title picture.
#include "images/Families.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "images/Aircraft.h"

namespace velmora::images {

namespace {

Canvas Sea(int w, int h, uint32_t seed, bool tile) {
  Canvas c(w, h);
  c.Wrap = tile;
  TileNoise n1(5, seed), n2(10, seed + 1), n3(30, seed + 2);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double fx = static_cast<double>(x) / w, fy = static_cast<double>(y) / h;
      double v = 0.5 * n1.At(fx * 5, fy * 5) + 0.33 * n2.At(fx * 10, fy * 10) +
                 0.17 * n3.At(fx * 30, fy * 30);
      c.Px[y * w + x] = Mix({14, 56, 112}, {40, 108, 166}, std::clamp((v - 0.25) * 1.6, 0.0, 1.0));
      c.On[y * w + x] = 1;
    }
  Rng r(seed + 7);
  int strokes = w * h / 1300;
  for (int i = 0; i < strokes; ++i) {
    double x = r.Range(0, w), y = r.Range(0, h), len = r.Range(5, 14), bend = r.Range(1, 2.5);
    bool crest = r.Unit() < 0.55;
    Col light = crest ? Col{170, 212, 236} : Col{70, 138, 190};
    Col dark{10, 44, 92};
    const int seg = 6;
    for (int k = 0; k < seg; ++k) {
      double t0 = static_cast<double>(k) / seg, t1 = static_cast<double>(k + 1) / seg;
      auto at = [&](double t) { return Pt{x + (t - 0.5) * len, y - bend * std::sin(t * kPi)}; };
      Pt a = at(t0), b = at(t1);
      c.Line(a.X, a.Y + 1.2, b.X, b.Y + 1.2, 1.0, dark);
      c.Line(a.X, a.Y, b.X, b.Y, crest ? 1.2 : 1.0, light);
    }
  }
  c.Wrap = false;
  return c;
}

Canvas Space() {
  Canvas c(62, 49);
  c.Fill({4, 4, 14});
  c.Wrap = true;
  Rng r(41);
  for (int i = 0; i < 14; ++i) {
    int x = static_cast<int>(r.Range(0, 62)), y = static_cast<int>(r.Range(0, 49));
    double b = r.Unit();
    Col col = Mix({90, 90, 130}, {240, 240, 255}, b);
    c.Put(x, y, col);
    if (b > 0.75) {
      Col glint = Scale(col, 0.6);
      c.Put(x - 1, y, glint);
      c.Put(x + 1, y, glint);
      c.Put(x, y - 1, glint);
      c.Put(x, y + 1, glint);
    }
  }
  c.Wrap = false;
  return c;
}

// ---------------------------------------------------------------------------------------
// Title lettering: a chunky 5x7 block font

const char* Glyph(char ch) {
  switch (ch) {
    case 'V':
      return "X...XX...XX...XX...X.X.X..X.X...X..";
    case 'E':
      return "XXXXXX....X....XXXX.X....X....XXXXX";
    case 'L':
      return "X....X....X....X....X....X....XXXXX";
    case 'M':
      return "X...XXX.XXX.X.XX.X.XX...XX...XX...X";
    case 'O':
      return ".XXX.X...XX...XX...XX...XX...X.XXX.";
    case 'R':
      return "XXXX.X...XX...XXXXX.X.X..X..X.X...X";
    case 'A':
      return ".XXX.X...XX...XXXXXXX...XX...XX...X";
    default:
      return "...................................";
  }
}

void Lettering(Canvas& c, const std::string& text, double x0, double y0, double cell, double gap,
               Col top, Col bottom, Col shadow) {
  for (int pass = 0; pass < 2; ++pass) {
    double x = x0;
    for (char ch : text) {
      const char* g = Glyph(ch);
      for (int gy = 0; gy < 7; ++gy)
        for (int gx = 0; gx < 5; ++gx) {
          if (g[gy * 5 + gx] != 'X') continue;
          double px = x + gx * cell, py = y0 + gy * cell;
          if (pass == 0) {
            c.Rect(px + cell * 0.3, py + cell * 0.3, px + cell * 1.3, py + cell * 1.3, shadow);
          } else {
            c.Rect(px, py, px + cell, py + cell, [=](double, double v) {
              return Mix(top, bottom, std::clamp((v - y0) / (7 * cell), 0.0, 1.0));
            });
          }
        }
      x += 5 * cell + gap;
    }
  }
}

Canvas Title() {
  // The title sprite stretches its picture over 540x410, so that size draws it unscaled.
  Canvas c(540, 410);
  // emblem: a disc with wings behind the band
  c.Ellipse(270, 205, 150, 150, [](double u, double v) {
    double k = std::hypot(u - 240, v - 170) / 220;
    return Mix({40, 70, 130}, {10, 20, 56}, std::clamp(k, 0.0, 1.0));
  });
  c.Ellipse(270, 205, 136, 136, {16, 30, 70});
  for (int s : {-1, 1}) {  // golden wings spread over the band
    for (int f = 0; f < 4; ++f) {
      double y = 96 + f * 16;
      double x0 = 270 + s * 60, x1 = 270 + s * (250 - f * 34);
      c.Poly({{x0, y + 10}, {x1, y}, {x1 - s * 18, y + 14}, {x0, y + 26}},
             Mix({240, 196, 70}, {150, 100, 20}, f / 4.0));
    }
  }
  // the band
  c.Rect(10, 160, 530, 280, [](double, double v) {
    return Mix({26, 30, 48}, {8, 10, 22}, std::clamp((v - 160) / 120, 0.0, 1.0));
  });
  c.Rect(10, 160, 530, 164, {222, 172, 42});
  c.Rect(10, 276, 530, 280, {222, 172, 42});
  c.Rect(10, 168, 530, 170, {140, 96, 20});
  c.Rect(10, 270, 530, 272, {140, 96, 20});
  Lettering(c, "VELMORA", 24, 178, 12, 12, {255, 246, 180}, {236, 120, 14}, {100, 20, 10});
  for (int i = 0; i < 3; ++i) {
    double x = 210 + i * 60;
    c.Star(x, 318, 10, 0.42, 0, {236, 236, 236});
  }
  return c;
}

Canvas TitleImage() {
  Canvas c = Sea(640, 480, 311, false);
  Plane z = Zero21();
  z.Paint = {140, 152, 120};
  const double scale = 21, turn = -0.35;
  {  // the fighter's shadow on the water, under the clouds
    Canvas sh(640, 480);
    sh.T = ScaleXf(scale, scale).Then(Rotate(turn)).Then(Translate(372, 236));
    DrawPlane(sh, z);
    for (int i = 0; i < 640 * 480; ++i)
      if (sh.On[i]) c.Px[i] = Scale(c.Px[i], 0.62);
  }
  TileNoise n1(8, 901), n2(32, 902);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      double fx = x / 640.0, fy = y / 480.0;
      double d = 0.65 * n1.At(fx * 8, fy * 6) + 0.35 * n2.At(fx * 32, fy * 24);
      // clouds drift across the lower right corner
      double bias = std::clamp((fx + fy - 1.15) * 0.9, 0.0, 0.3);
      double a = std::clamp((d + bias - 0.8) * 5, 0.0, 0.92);
      Col cloud = Mix({246, 248, 250}, {170, 186, 204}, std::clamp((0.95 - d) * 2, 0.0, 1.0));
      c.Px[y * 640 + x] = Mix(c.Px[y * 640 + x], cloud, a);
    }
  Canvas plane(640, 480);
  plane.T = ScaleXf(scale, scale).Then(Rotate(turn)).Then(Translate(300, 150));
  DrawPlane(plane, z);
  plane.Outline(0.6);
  c.Paste(plane, 0, 0);
  // the title band, lifted from the title picture
  Canvas t = Title();
  for (int y = 158; y < 283; ++y)
    for (int x = 0; x < 540; ++x)
      if (t.On[y * 540 + x]) c.Put(x + 50, y - 158 + 12, t.Px[y * 540 + x]);
  return c;
}

}  // namespace

void WriteTextAndBackgrounds(Output& out) {
  Write(out, "Sea", Sea(300, 300, 2024, true), kOpaque, true);
  Write(out, "Space", Space(), kOpaque);
  Write(out, "Title", Title(), kKeyFuchsia);
  Write(out, "TitleImage", TitleImage(), kOpaque, true);
}

}  // namespace velmora::images
