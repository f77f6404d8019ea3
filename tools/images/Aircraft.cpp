#include "images/Aircraft.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "images/Families.h"

namespace velmora::images {

namespace {

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

}  // namespace

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

namespace {

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

}  // namespace

void WriteAircraft(Output& out) {
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
}

}  // namespace velmora::images
