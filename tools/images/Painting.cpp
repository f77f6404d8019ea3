#include "images/Painting.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>

#include "engine/Bmp.h"

namespace velmora::images {

namespace {

// ---------------------------------------------------------------------------------------
// The shared palette

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
// Conversion to indices and file output

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

}  // namespace

// ---------------------------------------------------------------------------------------
// Canvas

void Canvas::Poly(const std::vector<Pt>& local, const Shader& shade) {
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

void Canvas::Line(double x0, double y0, double x1, double y1, double width, Col c) {
  double dx = x1 - x0, dy = y1 - y0, len = std::hypot(dx, dy);
  if (len == 0) return;
  double nx = -dy / len * width / 2, ny = dx / len * width / 2;
  Poly({{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}}, c);
}

void Canvas::Star(double cx, double cy, double r, double inner, double rot, Col c) {
  std::vector<Pt> p;
  for (int i = 0; i < 10; ++i) {
    double a = rot - kPi / 2 + i * kPi / 5;
    double rr = (i % 2 == 0) ? r : r * inner;
    p.push_back({cx + rr * std::cos(a), cy + rr * std::sin(a)});
  }
  Poly(p, c);
}

void Canvas::Outline(double k) {
  std::vector<Col> out = Px;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      if (!On[y * W + x]) continue;
      if (!IsOn(x - 1, y) || !IsOn(x + 1, y) || !IsOn(x, y - 1) || !IsOn(x, y + 1))
        out[y * W + x] = Scale(Px[y * W + x], k);
    }
  Px = out;
}

void Canvas::Paste(const Canvas& src, int ox, int oy) {
  for (int y = 0; y < src.H; ++y)
    for (int x = 0; x < src.W; ++x)
      if (src.On[y * src.W + x]) Put(ox + x, oy + y, src.Px[y * src.W + x]);
}

std::vector<Pt> Canvas::EllipsePts(double cx, double cy, double rx, double ry) {
  std::vector<Pt> p;
  const int n = 48;
  for (int i = 0; i < n; ++i) {
    double a = 2 * kPi * i / n;
    p.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
  }
  return p;
}

Shader Cylinder(Col base, double cx, double halfW) {
  return [base, cx, halfW](double u, double) {
    double k = std::clamp((u - cx) / std::max(halfW, 1e-6), -1.0, 1.0);
    double f = 1.08 - 0.32 * (k + 0.35) * (k + 0.35);
    return Scale(base, std::clamp(f, 0.55, 1.2));
  };
}

TileNoise::TileNoise(int cells, uint32_t seed) : N(cells), V(cells * cells) {
  Rng r(seed);
  for (double& v : V)
    v = r.Unit();
}

double TileNoise::At(double fx, double fy) const {
  int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
  double tx = fx - ix, ty = fy - iy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  auto v = [&](int x, int y) { return V[((y % N + N) % N) * N + (x % N + N) % N]; };
  double a = v(ix, iy) + (v(ix + 1, iy) - v(ix, iy)) * tx;
  double b = v(ix, iy + 1) + (v(ix + 1, iy + 1) - v(ix, iy + 1)) * tx;
  return a + (b - a) * ty;
}

void Write(Output& out, const std::string& name, const Canvas& c, int key, bool dither) {
  WriteIndices(out, name, c.W, c.H, Quantise(c, key, dither));
}

void WriteCommonPal(Output& out) {
  const int w = 291, h = 290;
  std::vector<uint8_t> idx(w * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      idx[y * w + x] = static_cast<uint8_t>((y * 16 / h) * 16 + x * 16 / w);
  WriteIndices(out, "CommonPal", w, h, idx);
}

}  // namespace velmora::images
