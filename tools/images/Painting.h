// What every family of pictures paints with: colours, a canvas with an affine transform and
// filled primitives, deterministic noise, and the output of 8-bit BMP files that all share
// one palette.
//
// Everything is painted in floating-point RGB first, then each painted pixel is mapped to the
// nearest of the art colours (palette entries 8..247). The sixteen fixed entries are never
// chosen for a painted pixel of a keyed sprite, so a sprite body can never contain its own
// transparent colour by accident.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace velmora::images {

inline constexpr double kPi = std::numbers::pi;

// ---------------------------------------------------------------------------------------
// Colours

struct Col {
  double R = 0, G = 0, B = 0;
};

inline Col Mix(Col a, Col b, double t) {
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}
inline Col Scale(Col c, double k) {
  return {c.R * k, c.G * k, c.B * k};
}
inline Col Lighten(Col c, double t) {
  return Mix(c, {255, 255, 255}, t);
}

// The palette entry a sprite's unpainted pixels take, or kOpaque where every pixel must be
// painted.
inline constexpr int kKeyFuchsia = 253;
inline constexpr int kKeyBlack = 0;
inline constexpr int kKeyWhite = 255;
inline constexpr int kOpaque = -1;

// ---------------------------------------------------------------------------------------
// Canvas with an affine transform from drawing units to pixels

struct Pt {
  double X, Y;
};

struct Xf {
  double A = 1, B = 0, C = 0, D = 1, E = 0, F = 0;  // x' = A x + B y + E, y' = C x + D y + F
  Pt Apply(Pt p) const { return {A * p.X + B * p.Y + E, C * p.X + D * p.Y + F}; }
  Xf Inverse() const {
    double det = A * D - B * C;
    Xf r{D / det, -B / det, -C / det, A / det, 0, 0};
    r.E = -(r.A * E + r.B * F);
    r.F = -(r.C * E + r.D * F);
    return r;
  }
  // this after o: first o, then this
  Xf Then(const Xf& o) const {
    return {o.A * A + o.B * C, o.A * B + o.B * D,       o.C * A + o.D * C,
            o.C * B + o.D * D, o.A * E + o.B * F + o.E, o.C * E + o.D * F + o.F};
  }
};

inline Xf Translate(double x, double y) {
  return {1, 0, 0, 1, x, y};
}
inline Xf ScaleXf(double sx, double sy) {
  return {sx, 0, 0, sy, 0, 0};
}
inline Xf Rotate(double rad) {
  return {std::cos(rad), -std::sin(rad), std::sin(rad), std::cos(rad), 0, 0};
}

using Shader = std::function<Col(double u, double v)>;

class Canvas {
 public:
  Canvas(int w, int h) : W(w), H(h), Px(w * h), On(w * h, 0) {}

  int W, H;
  std::vector<Col> Px;
  std::vector<uint8_t> On;
  bool Wrap = false;  // tiles: primitives continue across the opposite edge
  Xf T;

  void Put(int x, int y, Col c) {
    if (Wrap) {
      x = ((x % W) + W) % W;
      y = ((y % H) + H) % H;
    } else if (x < 0 || y < 0 || x >= W || y >= H) {
      return;
    }
    Px[y * W + x] = c;
    On[y * W + x] = 1;
  }
  bool IsOn(int x, int y) const { return x >= 0 && y >= 0 && x < W && y < H && On[y * W + x]; }
  Col Get(int x, int y) const { return Px[y * W + x]; }

  void Fill(Col c) {
    std::fill(Px.begin(), Px.end(), c);
    std::fill(On.begin(), On.end(), 1);
  }

  // Even-odd scanline fill of a polygon given in drawing units.
  void Poly(const std::vector<Pt>& local, const Shader& shade);
  void Poly(const std::vector<Pt>& local, Col c) {
    Poly(local, [c](double, double) { return c; });
  }

  void Ellipse(double cx, double cy, double rx, double ry, const Shader& s) {
    Poly(EllipsePts(cx, cy, rx, ry), s);
  }
  void Ellipse(double cx, double cy, double rx, double ry, Col c) {
    Poly(EllipsePts(cx, cy, rx, ry), c);
  }
  void Circle(double cx, double cy, double r, Col c) { Ellipse(cx, cy, r, r, c); }
  void Rect(double x0, double y0, double x1, double y1, Col c) {
    Poly({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, c);
  }
  void Rect(double x0, double y0, double x1, double y1, const Shader& s) {
    Poly({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, s);
  }
  void Line(double x0, double y0, double x1, double y1, double width, Col c);
  void Star(double cx, double cy, double r, double inner, double rot, Col c);

  // Darkens the rim of every painted region so sprites read against any background.
  void Outline(double k);

  // Pastes another canvas (its painted pixels only) at an offset.
  void Paste(const Canvas& src, int ox, int oy);

  static std::vector<Pt> EllipsePts(double cx, double cy, double rx, double ry);
};

// Shading across a round body: light from the upper left of the picture.
Shader Cylinder(Col base, double cx, double halfW);

// Deterministic generator so every run writes identical files.
class Rng {
 public:
  explicit Rng(uint32_t seed) : S(seed) {}
  uint32_t Next() {
    S = S * 1664525u + 1013904223u;
    return S;
  }
  double Unit() { return (Next() >> 8) / 16777216.0; }
  double Range(double a, double b) { return a + (b - a) * Unit(); }

 private:
  uint32_t S;
};

// Periodic value noise on a square tile; period must divide the tile size for seamless wrap.
class TileNoise {
 public:
  TileNoise(int cells, uint32_t seed);
  double At(double fx, double fy) const;  // fx, fy in cell units

 private:
  int N;
  std::vector<double> V;
};

// ---------------------------------------------------------------------------------------
// File output

struct Output {
  std::string Dir;
  int Written = 0;
};

// Writes Dir/name.bmp in the shared palette; key is the entry unpainted pixels take.
void Write(Output& out, const std::string& name, const Canvas& c, int key, bool dither = false);

// A swatch board of the whole palette; the game takes its display colours from this file.
void WriteCommonPal(Output& out);

}  // namespace velmora::images
