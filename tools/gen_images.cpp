// Draws every picture of the game procedurally and writes them as 8-bit BMP files that all
// share one palette. Usage: gen_images OUTDIR
//
// Everything is painted in floating-point RGB first, then each painted pixel is mapped to the
// nearest of the art colours (palette entries 8..247). The sixteen fixed entries are never
// chosen for a painted pixel of a keyed sprite, so a sprite body can never contain its own
// transparent colour by accident.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Bmp.h"

namespace {

using velmora::TPalette;
using velmora::TRGB;

constexpr double kPi = std::numbers::pi;

// ---------------------------------------------------------------------------------------
// Colours and the shared palette

struct Col {
  double R = 0, G = 0, B = 0;
};

Col Mix(Col a, Col b, double t) {
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}
Col Scale(Col c, double k) {
  return {c.R * k, c.G * k, c.B * k};
}
Col Lighten(Col c, double t) {
  return Mix(c, {255, 255, 255}, t);
}

constexpr int kKeyFuchsia = 253;
constexpr int kKeyBlack = 0;
constexpr int kKeyWhite = 255;
constexpr int kOpaque = -1;

constexpr std::array<TRGB, 16> kFixed = {{{0, 0, 0},
                                          {128, 0, 0},
                                          {0, 128, 0},
                                          {128, 128, 0},
                                          {0, 0, 128},
                                          {128, 0, 128},
                                          {0, 128, 128},
                                          {192, 192, 192},
                                          {128, 128, 128},
                                          {255, 0, 0},
                                          {0, 255, 0},
                                          {255, 255, 0},
                                          {0, 0, 255},
                                          {255, 0, 255},
                                          {0, 255, 255},
                                          {255, 255, 255}}};

int FixedSlot(int i) {
  return i < 8 ? i : 240 + i;
}

struct Ramp {
  int Count;
  std::vector<Col> Keys;  // evenly spaced stops from dark to light
};

// The art colours: ramps chosen for sea, aircraft paint, ship greys, fire and the bonus
// characters. The counts add up to exactly 240 (entries 8..247).
const std::vector<Ramp>& ArtRamps() {
  static const std::vector<Ramp> ramps = {
      {20, {{14, 14, 16}, {246, 246, 246}}},                   // neutral greys
      {10, {{38, 34, 30}, {128, 120, 110}, {226, 220, 210}}},  // warm smoke greys
      {16, {{20, 28, 40}, {92, 110, 134}, {204, 214, 226}}},   // ship blue-greys
      {24, {{4, 18, 48}, {12, 52, 104}, {34, 104, 164}, {122, 182, 222}, {236, 246, 252}}},
      {12, {{12, 22, 50}, {44, 72, 122}, {136, 164, 204}}},               // navy paint
      {12, {{30, 32, 14}, {90, 94, 50}, {176, 176, 124}}},                // olive drab
      {12, {{14, 34, 18}, {54, 94, 52}, {156, 196, 142}}},                // navy green
      {10, {{62, 50, 30}, {200, 178, 128}, {248, 238, 212}}},             // sand and teak
      {10, {{40, 20, 10}, {122, 70, 34}, {204, 152, 100}}},               // browns
      {12, {{52, 4, 6}, {172, 20, 22}, {242, 62, 50}, {255, 156, 144}}},  // reds
      {24, {{62, 10, 2}, {182, 42, 2}, {250, 122, 12}, {255, 202, 42}, {255, 250, 206}}},
      {10, {{82, 70, 2}, {232, 202, 22}, {255, 255, 172}}},                   // yellows
      {16, {{10, 20, 82}, {42, 82, 222}, {122, 192, 255}, {232, 244, 255}}},  // plasma blues
      {8, {{3, 3, 10}, {22, 18, 52}}},                                        // night sky
      {12, {{42, 10, 52}, {152, 52, 172}, {250, 152, 232}}},                  // purples, pinks
      {8, {{10, 62, 12}, {62, 172, 42}, {182, 242, 142}}},                    // leaf greens
      {8, {{122, 72, 52}, {232, 172, 132}, {255, 226, 202}}},                 // skin
      {8, {{2, 62, 62}, {102, 222, 212}}},                                    // teals
      {8, {{92, 62, 10}, {222, 172, 42}}},                                    // gold
  };
  return ramps;
}

Col RampColour(const Ramp& r, int i) {
  if (r.Count == 1) return r.Keys.front();
  double pos = static_cast<double>(i) / (r.Count - 1) * (r.Keys.size() - 1);
  size_t k = std::min(static_cast<size_t>(pos), r.Keys.size() - 2);
  return Mix(r.Keys[k], r.Keys[k + 1], pos - k);
}

TPalette BuildPalette() {
  TPalette pal{};
  std::vector<bool> used(256, false);
  auto taken = [&](TRGB c) {
    for (int i = 0; i < 256; ++i)
      if (used[i] && pal[i] == c) return true;
    return false;
  };
  for (int i = 0; i < 16; ++i) {
    pal[FixedSlot(i)] = kFixed[i];
    used[FixedSlot(i)] = true;
  }
  int next = 8;
  for (const Ramp& r : ArtRamps()) {
    for (int i = 0; i < r.Count; ++i) {
      Col c = RampColour(r, i);
      auto clamp = [](double v) {
        return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
      };
      TRGB t{clamp(c.R), clamp(c.G), clamp(c.B)};
      // Nudge a colour that collides with one already placed: every entry must be unique
      // so the palette survives the colour-table merge unchanged.
      while (taken(t))
        t.B = static_cast<uint8_t>(t.B == 255 ? 254 : t.B + 1);
      if (next > 247) throw std::logic_error("too many art colours");
      pal[next] = t;
      used[next] = true;
      ++next;
    }
  }
  if (next != 248) throw std::logic_error("art colours do not fill the palette");
  return pal;
}

const TPalette& Palette() {
  static const TPalette pal = BuildPalette();
  return pal;
}

int NearestArt(Col c) {
  const TPalette& pal = Palette();
  int best = 8;
  double bestD = 1e30;
  for (int i = 8; i < 248; ++i) {
    double dr = pal[i].R - c.R, dg = pal[i].G - c.G, db = pal[i].B - c.B;
    double d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (d < bestD) {
      bestD = d;
      best = i;
    }
  }
  return best;
}

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

Xf Translate(double x, double y) {
  return {1, 0, 0, 1, x, y};
}
Xf ScaleXf(double sx, double sy) {
  return {sx, 0, 0, sy, 0, 0};
}
Xf Rotate(double rad) {
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
  void Poly(const std::vector<Pt>& local, const Shader& shade) {
    if (local.size() < 3) return;
    std::vector<Pt> d;
    d.reserve(local.size());
    for (Pt p : local)
      d.push_back(T.Apply(p));
    double minY = 1e30, maxY = -1e30;
    for (Pt p : d) {
      minY = std::min(minY, p.Y);
      maxY = std::max(maxY, p.Y);
    }
    int y0 = static_cast<int>(std::floor(minY)), y1 = static_cast<int>(std::ceil(maxY));
    if (!Wrap) {
      y0 = std::max(y0, 0);
      y1 = std::min(y1, H);
    }
    Xf inv = T.Inverse();
    std::vector<double> xs;
    for (int py = y0; py < y1; ++py) {
      double yc = py + 0.5;
      xs.clear();
      for (size_t i = 0; i < d.size(); ++i) {
        Pt a = d[i], b = d[(i + 1) % d.size()];
        if ((a.Y <= yc) != (b.Y <= yc)) xs.push_back(a.X + (yc - a.Y) * (b.X - a.X) / (b.Y - a.Y));
      }
      std::sort(xs.begin(), xs.end());
      for (size_t i = 0; i + 1 < xs.size(); i += 2) {
        int xa = static_cast<int>(std::ceil(xs[i] - 0.5));
        int xb = static_cast<int>(std::ceil(xs[i + 1] - 0.5));
        if (!Wrap) {
          xa = std::max(xa, 0);
          xb = std::min(xb, W);
        }
        for (int px = xa; px < xb; ++px) {
          Pt l = inv.Apply({px + 0.5, yc});
          Put(px, py, shade(l.X, l.Y));
        }
      }
    }
  }
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
  void Line(double x0, double y0, double x1, double y1, double width, Col c) {
    double dx = x1 - x0, dy = y1 - y0, len = std::hypot(dx, dy);
    if (len == 0) return;
    double nx = -dy / len * width / 2, ny = dx / len * width / 2;
    Poly({{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}}, c);
  }
  void Star(double cx, double cy, double r, double inner, double rot, Col c) {
    std::vector<Pt> p;
    for (int i = 0; i < 10; ++i) {
      double a = rot - kPi / 2 + i * kPi / 5;
      double rr = (i % 2 == 0) ? r : r * inner;
      p.push_back({cx + rr * std::cos(a), cy + rr * std::sin(a)});
    }
    Poly(p, c);
  }

  // Darkens the rim of every painted region so sprites read against any background.
  void Outline(double k) {
    std::vector<Col> out = Px;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        if (!On[y * W + x]) continue;
        if (!IsOn(x - 1, y) || !IsOn(x + 1, y) || !IsOn(x, y - 1) || !IsOn(x, y + 1))
          out[y * W + x] = Scale(Px[y * W + x], k);
      }
    Px = out;
  }

  // Pastes another canvas (its painted pixels only) at an offset.
  void Paste(const Canvas& src, int ox, int oy) {
    for (int y = 0; y < src.H; ++y)
      for (int x = 0; x < src.W; ++x)
        if (src.On[y * src.W + x]) Put(ox + x, oy + y, src.Px[y * src.W + x]);
  }

  static std::vector<Pt> EllipsePts(double cx, double cy, double rx, double ry) {
    std::vector<Pt> p;
    const int n = 48;
    for (int i = 0; i < n; ++i) {
      double a = 2 * kPi * i / n;
      p.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return p;
  }
};

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
  TileNoise(int cells, uint32_t seed) : N(cells), V(cells * cells) {
    Rng r(seed);
    for (double& v : V)
      v = r.Unit();
  }
  double At(double fx, double fy) const {  // fx, fy in cell units
    int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    double tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto v = [&](int x, int y) { return V[((y % N + N) % N) * N + (x % N + N) % N]; };
    double a = v(ix, iy) + (v(ix + 1, iy) - v(ix, iy)) * tx;
    double b = v(ix, iy + 1) + (v(ix + 1, iy + 1) - v(ix, iy + 1)) * tx;
    return a + (b - a) * ty;
  }

 private:
  int N;
  std::vector<double> V;
};

// ---------------------------------------------------------------------------------------
// Conversion to indices and file output

struct Output {
  std::string Dir;
  int Written = 0;
};

std::vector<uint8_t> Quantise(const Canvas& c, int key, bool dither) {
  static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  std::vector<uint8_t> idx(c.W * c.H);
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) {
      int i = y * c.W + x;
      if (!c.On[i]) {
        if (key < 0) throw std::logic_error("unpainted pixel in an opaque picture");
        idx[i] = static_cast<uint8_t>(key);
        continue;
      }
      Col p = c.Px[i];
      if (dither) {
        double o = (bayer[y & 3][x & 3] / 16.0 - 0.47) * 10.0;
        p = {p.R + o, p.G + o, p.B + o};
      }
      idx[i] = static_cast<uint8_t>(NearestArt(p));
    }
  return idx;
}

void WriteIndices(Output& out, const std::string& name, int w, int h,
                  const std::vector<uint8_t>& idx) {
  std::vector<uint8_t> bytes = velmora::EncodeBmp8(w, h, idx, Palette());
  std::string path = out.Dir + "/" + name + ".bmp";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  size_t n = std::fwrite(bytes.data(), 1, bytes.size(), f);
  if (std::fclose(f) != 0 || n != bytes.size()) throw std::runtime_error("cannot write " + path);
  ++out.Written;
}

void Write(Output& out, const std::string& name, const Canvas& c, int key, bool dither = false) {
  WriteIndices(out, name, c.W, c.H, Quantise(c, key, dither));
}

// ---------------------------------------------------------------------------------------
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

double FusHalfWidth(const Plane& p, double v) {
  double nose = std::min(p.Length * 0.18, 2.0);
  if (v < 0 || v > p.Length) return 0;
  if (v < nose) {
    double t = v / nose;
    return p.FusW / 2 * std::sqrt(1 - (1 - t) * (1 - t)) * 0.92 + p.FusW * 0.04;
  }
  double mid = p.WingLE + p.RootChord;
  if (v < mid) return p.FusW / 2;
  double t = (v - mid) / (p.Length - mid);
  return p.FusW / 2 + (p.TailW / 2 - p.FusW / 2) * t;
}

// Shading across a round body: light from the upper left of the picture.
Shader Cylinder(Col base, double cx, double halfW) {
  return [base, cx, halfW](double u, double) {
    double k = std::clamp((u - cx) / std::max(halfW, 1e-6), -1.0, 1.0);
    double f = 1.08 - 0.32 * (k + 0.35) * (k + 0.35);
    return Scale(base, std::clamp(f, 0.55, 1.2));
  };
}

void Wing(Canvas& c, double le, double rootX, double span, double root, double tip, double sweep,
          Col paint) {
  for (int side : {-1, 1}) {
    double xr = side * rootX, xt = side * span / 2;
    double tipLE = le + sweep;
    std::vector<Pt> pts = {{xr, le},
                           {xt * 0.97, tipLE},
                           {xt, tipLE + tip * 0.3},
                           {xt, tipLE + tip * 0.7},
                           {xt * 0.97, tipLE + tip},
                           {xr, le + root}};
    c.Poly(pts, [=](double u, double v) {
      double t = std::abs(u) / std::max(span / 2, 1e-6);
      double ch = root + (tip - root) * t;
      double l = le + sweep * t;
      double f = (v - l) / std::max(ch, 1e-6);
      Col col = Mix(Lighten(paint, 0.18), Scale(paint, 0.78), std::clamp(f, 0.0, 1.0));
      return col;
    });
    // aileron line
    double t0 = 0.55;
    double a0 = le + sweep * t0 + (root + (tip - root) * t0) * 0.75;
    double a1 = le + sweep * 0.95 + tip * 0.75;
    c.Line(side * span / 2 * t0, a0, side * span / 2 * 0.95, a1, std::max(span * 0.006, 0.08),
           Scale(paint, 0.6));
  }
}

void Insig(Canvas& c, Insignia m, double x, double y, double r) {
  if (m == Insignia::Roundel) {
    c.Circle(x, y, r * 1.18, {236, 236, 230});
    c.Circle(x, y, r, {196, 24, 24});
  } else if (m == Insignia::Star) {
    c.Circle(x, y, r, {26, 42, 110});
    c.Star(x, y, r * 0.92, 0.4, 0, {238, 238, 238});
  }
}

void Prop(Canvas& c, double x, double y, double d) {
  c.Ellipse(x, y, d / 2, std::max(d * 0.045, 0.12), {176, 176, 170});
  c.Circle(x, y, std::max(d * 0.07, 0.22), {60, 60, 62});
}

void DrawPlane(Canvas& c, const Plane& p) {
  const double half = p.Span / 2;
  // tailplane first: the fuselage covers its root
  if (p.TwinBoom) {
    c.Rect(-p.BoomX - 0.3, p.TailLE, p.BoomX + 0.3, p.TailLE + p.TailRoot, [&](double, double v) {
      return Mix(Lighten(p.Paint, 0.1), Scale(p.Paint, 0.8), (v - p.TailLE) / p.TailRoot);
    });
  } else {
    Wing(c, p.TailLE, 0.1, p.TailSpan, p.TailRoot, p.TailTip, 0.15, p.Paint);
  }
  if (!p.Floats) Wing(c, p.WingLE, 0.2, p.Span, p.RootChord, p.TipChord, p.Sweep, p.Paint);

  auto body = [&]() {
    if (p.TwinBoom) {
      // short central gondola
      double endY = p.WingLE + p.RootChord * 1.3;
      c.Ellipse(0, endY / 2, p.FusW / 2, endY / 2, Cylinder(p.Paint, 0, p.FusW / 2));
      c.Ellipse(0, p.CanopyY + p.CanopyLen / 2, p.FusW * 0.3, p.CanopyLen / 2,
                Cylinder(p.Canopy, 0, p.FusW * 0.3));
      c.Ellipse(0, 0.35, p.FusW * 0.28, 0.35, {70, 70, 74});
      for (int s : {-1, 1}) {
        double x = s * p.BoomX;
        double y0 = p.WingLE - p.EngLen * 0.45;
        c.Poly({{x - 0.42, y0 + 0.5},
                {x, y0},
                {x + 0.42, y0 + 0.5},
                {x + 0.32, p.TailLE + p.TailRoot + 0.3},
                {x - 0.32, p.TailLE + p.TailRoot + 0.3}},
               Cylinder(p.Paint, x, 0.42));
        c.Ellipse(x, p.TailLE + p.TailRoot * 0.5, 0.18, p.TailRoot * 0.9, Scale(p.Paint, 0.6));
        Prop(c, x, y0 + 0.1, p.PropD);
      }
      return;
    }
    std::vector<Pt> pts;
    const int n = 40;
    for (int i = 0; i <= n; ++i) {
      double v = p.Length * i / n;
      pts.push_back({FusHalfWidth(p, v), v});
    }
    for (int i = n; i >= 0; --i) {
      double v = p.Length * i / n;
      pts.push_back({-FusHalfWidth(p, v), v});
    }
    pts.front().Y = 0.02;
    c.Poly(pts, Cylinder(p.Paint, 0, p.FusW / 2));
    // fin seen edge-on
    c.Ellipse(0, p.Length - p.TailRoot * 0.7, p.FusW * 0.09 + 0.05, p.TailRoot * 0.75,
              Scale(p.Paint, 0.58));
    if (p.GlassNose) {
      c.Ellipse(0, p.FusW * 0.35, p.FusW * 0.36, p.FusW * 0.45,
                Cylinder(p.Canopy, 0, p.FusW * 0.4));
    } else if (p.Engines.empty()) {
      double cl = std::min(p.Length * 0.12, 1.3);
      c.Poly(
          {{-p.FusW * 0.47, cl}, {-p.FusW * 0.4, 0.15}, {p.FusW * 0.4, 0.15}, {p.FusW * 0.47, cl}},
          Cylinder(p.Cowl, 0, p.FusW / 2));
      Prop(c, 0, 0.12, p.PropD);
    }
    c.Ellipse(0, p.CanopyY + p.CanopyLen / 2, p.FusW * 0.27, p.CanopyLen / 2,
              Cylinder(p.Canopy, -0.0, p.FusW * 0.27));
    c.Line(-p.FusW * 0.27, p.CanopyY + p.CanopyLen * 0.4, p.FusW * 0.27,
           p.CanopyY + p.CanopyLen * 0.4, p.FusW * 0.05, Scale(p.Canopy, 0.55));
  };

  if (p.Floats) {
    // flying boat: hull below, parasol wing on top
    body();
    Wing(c, p.WingLE, 0.0, p.Span, p.RootChord, p.TipChord, p.Sweep, p.Paint);
    for (int s : {-1, 1}) {
      double x = s * half * 0.88;
      c.Ellipse(x, p.WingLE + p.RootChord * 0.45, 0.38, p.RootChord * 0.55,
                Cylinder(Scale(p.Paint, 0.9), x, 0.38));
    }
  } else {
    body();
  }

  for (double ex : p.Engines) {
    for (int s : {-1, 1}) {
      double x = s * ex;
      double t = ex / half;
      double le = p.WingLE + p.Sweep * t;
      double y0 = le - p.EngLen * 0.4;
      c.Ellipse(x, y0 + p.EngLen / 2, p.EngW / 2, p.EngLen / 2, Cylinder(p.Paint, x, p.EngW / 2));
      c.Ellipse(x, y0 + p.EngLen * 0.1, p.EngW * 0.46, p.EngLen * 0.12, p.Cowl);
      Prop(c, x, y0 + 0.05, p.PropD);
    }
  }
  if (p.Floats) {  // the parasol wing carries the engines close to the hull
    c.Ellipse(0, p.WingLE + p.RootChord * 0.5, 0.5, p.RootChord * 0.6, Scale(p.Paint, 0.8));
  }
  if (p.Mark != Insignia::None) {
    for (int s : {-1, 1}) {
      double x = s * half * p.MarkX;
      double t = p.MarkX;
      double y = p.WingLE + p.Sweep * t + (p.RootChord + (p.TipChord - p.RootChord) * t) * 0.45;
      Insig(c, p.Mark, x, y, p.MarkR);
    }
  }
}

// Places a plane so that it fills the sprite: nose up (towards the top) or down.
Xf FitPlane(const Plane& p, int w, int h, bool noseUp, double margin = 1.0) {
  double sx = (w - 2 * margin) / p.Span, sy = (h - 2 * margin) / p.Length;
  if (noseUp) return {sx, 0, 0, sy, w / 2.0, margin};
  return {sx, 0, 0, -sy, w / 2.0, h - margin};
}

Canvas PlaneSprite(const Plane& p, int w, int h, bool noseUp) {
  Canvas c(w, h);
  c.T = FitPlane(p, w, h, noseUp);
  DrawPlane(c, p);
  c.Outline(0.62);
  return c;
}

const Col kNavyBlue{72, 98, 136};
const Col kOlive{98, 100, 58};
const Col kJpGreen{64, 102, 60};

Plane Zero21() {
  Plane p;
  p.Span = 12;
  p.Length = 9.1;
  p.FusW = 1.55;
  p.WingLE = 2.5;
  p.RootChord = 2.7;
  p.TipChord = 1.1;
  p.Sweep = 0.35;
  p.TailLE = 7.7;
  p.TailSpan = 4.4;
  p.TailRoot = 1.3;
  p.TailTip = 0.6;
  p.Paint = {150, 156, 128};  // grey-green of the early carrier fighters
  p.Cowl = {36, 36, 40};
  p.Mark = Insignia::Roundel;
  p.MarkR = 0.68;
  p.MarkX = 0.64;
  p.CanopyY = 2.7;
  p.CanopyLen = 2.2;
  p.PropD = 2.9;
  return p;
}

Plane SingleEngine(double span, double len, Col paint) {
  Plane p;
  p.Span = span;
  p.Length = len;
  p.FusW = span * 0.15;
  p.WingLE = len * 0.27;
  p.RootChord = len * 0.28;
  p.TipChord = len * 0.13;
  p.Sweep = len * 0.03;
  p.TailLE = len * 0.84;
  p.TailSpan = span * 0.36;
  p.TailRoot = len * 0.14;
  p.TailTip = len * 0.07;
  p.Paint = paint;
  p.CanopyY = len * 0.3;
  p.CanopyLen = len * 0.22;
  p.PropD = span * 0.24;
  p.MarkR = span * 0.05;
  return p;
}

Plane Bomber(double span, double len, Col paint, std::vector<double> engines) {
  Plane p = SingleEngine(span, len, paint);
  p.FusW = span * 0.1;
  p.TailW = p.FusW * 0.35;
  p.WingLE = len * 0.3;
  p.RootChord = len * 0.2;
  p.TipChord = len * 0.08;
  p.Sweep = len * 0.04;
  p.TailLE = len * 0.82;
  p.TailSpan = span * 0.33;
  p.TailRoot = len * 0.15;
  p.Engines = std::move(engines);
  p.EngLen = len * 0.2;
  p.EngW = span * 0.05;
  p.PropD = span * 0.11;
  p.GlassNose = true;
  p.CanopyY = len * 0.12;
  p.CanopyLen = len * 0.07;
  p.MarkR = span * 0.035;
  p.MarkX = 0.78;
  return p;
}

Plane F4F() {
  Plane p = SingleEngine(11.6, 8.8, kNavyBlue);
  p.FusW = 1.7;
  p.TipChord = 1.3;
  p.Sweep = 0.1;
  p.MarkR = 0.6;
  return p;
}

Plane Issiki() {
  Plane p = Bomber(25, 20, kJpGreen, {4.6});
  p.FusW = 2.3;
  p.TailW = 0.5;
  p.Mark = Insignia::Roundel;
  p.MarkR = 1.0;
  p.MarkX = 0.76;
  p.EngW = 1.55;
  p.EngLen = 4.4;
  p.Cowl = {38, 38, 42};
  p.PropD = 3.4;
  p.Sweep = 0.9;
  return p;
}

// ---------------------------------------------------------------------------------------
// Ships, horizontal with the bow on the left (drawing units = pixels)

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

// ---------------------------------------------------------------------------------------
// Effects and shots

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

// ---------------------------------------------------------------------------------------
// Items, backgrounds and bonus characters

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

// A swatch board of the whole palette; the game takes its display colours from this file.
void WriteCommonPal(Output& out) {
  const int w = 291, h = 290;
  std::vector<uint8_t> idx(w * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      idx[y * w + x] = static_cast<uint8_t>((y * 16 / h) * 16 + x * 16 / w);
  WriteIndices(out, "CommonPal", w, h, idx);
}

// ---------------------------------------------------------------------------------------

void WriteAll(Output& out) {
  Write(out, "Zero21", PlaneSprite(Zero21(), 65, 46, true), kKeyFuchsia);

  Plane b26 = Bomber(21.6, 17.8, kOlive, {3.4});
  b26.EngW = 1.3;
  b26.EngLen = 4.2;
  b26.PropD = 3.6;
  Write(out, "B26", PlaneSprite(b26, 150, 118, false), kKeyFuchsia);

  Plane b29 = Bomber(43, 30, {184, 190, 198}, {7.2, 13.2});
  b29.FusW = 2.9;
  b29.Cowl = {90, 94, 100};
  Write(out, "B29", PlaneSprite(b29, 300, 210, false), kKeyFuchsia);

  Plane b17 = Bomber(31.6, 22.7, kOlive, {5.2, 10.2});
  b17.RootChord = 22.7 * 0.26;
  b17.TailSpan = 13;
  b17.FusW = 2.4;
  Write(out, "B17", PlaneSprite(b17, 200, 146, false), kKeyFuchsia);

  Plane sbd = SingleEngine(12.7, 10, kNavyBlue);
  sbd.CanopyLen = 3.4;
  sbd.FusW = 1.5;
  Write(out, "SBD", PlaneSprite(sbd, 110, 84, false), kKeyFuchsia);

  Plane tbm = SingleEngine(16.5, 12.5, Scale(kNavyBlue, 0.9));
  tbm.FusW = 2.2;
  tbm.CanopyLen = 4.0;
  Write(out, "TBM", PlaneSprite(tbm, 120, 85, false), kKeyFuchsia);

  Write(out, "Missouri", Missouri(), kKeyWhite);
  Write(out, "Enterprise", Enterprise(), kKeyFuchsia);
  Write(out, "Fletcher", Fletcher(), kKeyFuchsia);
  Write(out, "Ruko", Ruko(), kKeyBlack);
  Write(out, "LCI", LandingCraft(false), kKeyFuchsia);
  Write(out, "LSM", LandingCraft(true), kKeyFuchsia);

  Plane pby = Bomber(31.7, 44, {112, 136, 168}, {2.6});
  pby.Floats = true;
  pby.FusW = 3.4;
  pby.WingLE = 12;
  pby.RootChord = 5;
  pby.TipChord = 3.5;
  pby.Sweep = 0;
  pby.EngW = 1.6;
  pby.EngLen = 5;
  pby.PropD = 4.2;
  pby.GlassNose = true;
  pby.TailSpan = 11;
  pby.TailRoot = 4;
  pby.TailLE = 38;
  pby.CanopyY = 5;
  pby.CanopyLen = 3;
  pby.MarkR = 1.5;
  pby.MarkX = 0.6;
  Write(out, "PBY", PlaneSprite(pby, 69, 106, false), kKeyFuchsia);

  Plane c47 = Bomber(29, 40, kOlive, {2.9});
  c47.FusW = 3.6;
  c47.GlassNose = false;
  c47.EngW = 1.7;
  c47.EngLen = 6;
  c47.PropD = 4.2;
  c47.CanopyY = 1.5;
  c47.CanopyLen = 3;
  c47.RootChord = 8;
  c47.TipChord = 3;
  c47.WingLE = 12;
  c47.TailLE = 33;
  c47.TailRoot = 6;
  c47.MarkR = 1.7;
  c47.MarkX = 0.66;
  Write(out, "C47", PlaneSprite(c47, 60, 84, false), kKeyFuchsia);

  Plane p36 = SingleEngine(11.4, 8.7, {150, 156, 150});
  p36.FusW = 1.6;
  Write(out, "P36", PlaneSprite(p36, 70, 53, false), kKeyFuchsia);

  Plane p38 = SingleEngine(15.9, 11.5, kOlive);
  p38.TwinBoom = true;
  p38.BoomX = 2.9;
  p38.FusW = 1.4;
  p38.WingLE = 3.4;
  p38.RootChord = 2.6;
  p38.TipChord = 1.2;
  p38.Sweep = 0.3;
  p38.TailLE = 10.0;
  p38.TailRoot = 1.2;
  p38.PropD = 3.0;
  p38.EngLen = 4.5;
  p38.CanopyY = 1.6;
  p38.CanopyLen = 1.8;
  p38.MarkX = 0.72;
  p38.MarkR = 0.7;
  Write(out, "P38", PlaneSprite(p38, 100, 73, false), kKeyFuchsia);
  Plane p38g = p38;
  p38g.Paint = {170, 176, 182};
  Write(out, "P38_G", PlaneSprite(p38g, 88, 65, false), kKeyFuchsia);

  Plane p39 = SingleEngine(10.4, 9.2, kOlive);
  p39.Cowl = Scale(kOlive, 0.8);
  p39.CanopyY = 2.2;
  Write(out, "P39", PlaneSprite(p39, 70, 61, false), kKeyFuchsia);

  Plane p40 = SingleEngine(11.4, 9.7, Mix(kOlive, {120, 100, 70}, 0.4));
  p40.Cowl = {60, 60, 50};
  Write(out, "P40", PlaneSprite(p40, 80, 69, false), kKeyFuchsia);

  Plane f6f = SingleEngine(13, 10.2, {40, 60, 100});
  f6f.FusW = 1.8;
  f6f.TipChord = 1.5;
  Write(out, "F6F", PlaneSprite(f6f, 70, 49, false), kKeyFuchsia);

  Write(out, "Issiki_S", PlaneSprite(Issiki(), 100, 78, true), kKeyFuchsia);
  Write(out, "UFO", Ufo(), kKeyFuchsia);
  Write(out, "Star", StarChar(), kKeyFuchsia);
  Write(out, "Apple", Apple(), kKeyFuchsia);

  {  // eight headings; pattern i points i*45 degrees clockwise from the right
    Canvas c(560, 70);
    Plane f = F4F();
    for (int i = 0; i < 8; ++i) {
      double s = 5.1;
      double a = i * kPi / 4 - 3 * kPi / 2;
      c.T = Translate(0, -f.Length / 2)
                .Then(ScaleXf(s, s))
                .Then(Rotate(a))
                .Then(Translate(70 * i + 35, 35));
      DrawPlane(c, f);
    }
    c.Outline(0.62);
    Write(out, "F4F", c, kKeyFuchsia);
  }
  {  // on the carrier's deck, wings spread, nose to the right: it rolls that way to take
     // off, and turns into the F4F's first frame, which faces right too
    const Plane f = F4F();
    Canvas c(30, 43);
    const double s = std::min((43 - 2.0) / f.Span, (30 - 2.0) / f.Length);
    c.T = {0, -s, s, 0, 30 - 1.0, 43 / 2.0};
    DrawPlane(c, f);
    c.Outline(0.62);
    Write(out, "F4F_S", c, kKeyFuchsia);
  }
  Write(out, "TamaHane", TamaHane(), kKeyFuchsia);
  Write(out, "Smoke", Smoke(), kKeyBlack);
  Write(out, "Sea", Sea(300, 300, 2024, true), kOpaque, true);
  Write(out, "Explosion", Explosion(100, 3, 11), kKeyFuchsia);
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
  Write(out, "Issiki", PlaneSprite(Issiki(), 300, 234, true), kKeyFuchsia);
  {  // the HUD icon needs bolder shapes than a straight reduction gives
    Plane p = Issiki();
    p.FusW = 3.0;
    p.MarkR = 1.6;
    Write(out, "Issiki_I", PlaneSprite(p, 40, 31, true), kKeyFuchsia);
  }
  {  // four pieces of a broken-up fighter: two wing halves, the nose and the tail
    Canvas c(70, 49);
    Plane f = F4F();
    Rng r(99);
    struct Piece {
      double U0, V0, U1, V1;  // part of the plane, in drawing units
    };
    const Piece pieces[4] = {
        {-5.8, 1.5, -0.9, 5.5}, {0.9, 1.5, 5.8, 5.5}, {-0.95, 0, 0.95, 4.2}, {-2.2, 4.2, 2.2, 8.8}};
    for (int k = 0; k < 4; ++k) {
      const Piece& p = pieces[k];
      Canvas full(70, 49);
      double s = std::min(31 / (p.U1 - p.U0), 20 / (p.V1 - p.V0));
      double a = r.Range(-0.5, 0.5);
      full.T = Translate(-(p.U0 + p.U1) / 2, -(p.V0 + p.V1) / 2)
                   .Then(ScaleXf(s, s))
                   .Then(Rotate(a))
                   .Then(Translate(35 * (k % 2) + 17.5, 24 * (k / 2) + 12));
      DrawPlane(full, f);
      // keep only the piece, with a ragged break and scorch marks
      Xf inv = full.T.Inverse();
      for (int y = 0; y < 49; ++y)
        for (int x = 0; x < 70; ++x) {
          if (!full.On[y * 70 + x]) continue;
          if (x / 35 != k % 2 || y / 24 != k / 2 || y >= 48) {
            full.On[y * 70 + x] = 0;
            continue;
          }
          Pt l = inv.Apply({x + 0.5, y + 0.5});
          double jag = 0.25 * std::sin(l.X * 7 + l.Y * 5);
          if (l.X < p.U0 + jag || l.X > p.U1 + jag || l.Y < p.V0 + jag || l.Y > p.V1 + jag) {
            full.On[y * 70 + x] = 0;
            continue;
          }
          double edge = std::min({l.X - p.U0, p.U1 - l.X, l.Y - p.V0, p.V1 - l.Y});
          if (edge < 0.6) full.Px[y * 70 + x] = Mix({40, 34, 30}, full.Px[y * 70 + x], edge / 0.6);
        }
      c.Paste(full, 0, 0);
    }
    c.Outline(0.62);
    Write(out, "F4F_JIB", c, kKeyFuchsia);
  }
  Write(out, "Space", Space(), kOpaque);
  Write(out, "Explosion_S", Explosion(40, 3, 13), kKeyFuchsia);

  WriteCommonPal(out);
  Write(out, "Title", Title(), kKeyFuchsia);
  Write(out, "TitleImage", TitleImage(), kOpaque, true);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 2;
  }
  try {
    std::filesystem::create_directories(argv[1]);
    Output out{argv[1]};
    WriteAll(out);
    std::printf("wrote %d pictures to %s\n", out.Written, argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gen_images: %s\n", e.what());
    return 1;
  }
  return 0;
}
