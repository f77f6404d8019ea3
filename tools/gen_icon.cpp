// Draws the window icon: the player's carrier fighter seen from above, red roundels on its
// wings, on a round patch of sea inside a gold rim. Writes a 32x32 8-bit BMP in the game's
// shared palette (taken from the embedded "CommonPal" picture); or, for the desktop's icon
// theme, the same drawing at any size in full colour, see-through around the rim.
// Usage: gen_icon OUTDIR
//        gen_icon --png SIZE FILE.png

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Assets.h"
#include "engine/Bmp.h"
#include "platform/StbImageWrite.h"

namespace {

using velmora::TPalette;

constexpr int kSize = 32;
constexpr int kSuper = 4;  // samples per pixel side, for soft edges

struct Col {
  double R, G, B;
};

Col Mix(Col a, Col b, double t) {
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

const Col kNight = {12, 22, 50};
const Col kSeaDeep = {12, 52, 104};
const Col kSeaLight = {70, 140, 196};
const Col kGold = {222, 172, 42};
const Col kGreen = {54, 94, 52};
const Col kGreenDark = {30, 56, 30};
const Col kCowl = {26, 26, 30};
const Col kCanopy = {136, 164, 204};
const Col kRed = {196, 24, 24};
const Col kWhite = {246, 246, 246};
const Col kProp = {192, 192, 192};

// The fighter's body parts in icon pixels, nose up, centred on x = 16.
bool InFuselage(double x, double y) {
  if (y < 4.5 || y > 27.5) return false;
  // widest behind the engine, tapering to the tail
  const double half = y < 8 ? 2.4 : 2.4 - (y - 8) * 0.085;
  return std::abs(x - 16) <= half;
}

bool InWing(double x, double y) {
  const double dx = std::abs(x - 16);
  if (dx > 14.5) return false;
  // swept trailing edge and rounded tips
  const double front = 11.0 + dx * 0.05, back = 18.0 - dx * 0.2;
  if (y < front || y > back) return false;
  if (dx > 12.5) {
    const double cy = (front + back) / 2, r = (back - front) / 2;
    return std::hypot((dx - 12.5) / 2.0, (y - cy) / r) <= 1.0;
  }
  return true;
}

bool InTail(double x, double y) {
  const double dx = std::abs(x - 16);
  return y >= 23.5 && y <= 26.5 - dx * 0.15 && dx <= 6.0;
}

Col Sample(double x, double y) {
  const double r = std::hypot(x - 16, y - 16);
  Col c = kNight;
  if (r <= 14.2)
    c = Mix(kSeaLight, kSeaDeep, std::clamp((y - 2) / 28.0, 0.0, 1.0));
  else if (r <= 15.6)
    c = kGold;

  const bool wing = InWing(x, y), tail = InTail(x, y), body = InFuselage(x, y);
  if (wing || tail) c = (y > 16.5 || (tail && y > 25.5)) ? kGreenDark : kGreen;
  if (body) c = kGreen;
  if (wing) {
    for (double side : {-1.0, 1.0}) {
      const double d = std::hypot(x - (16 + side * 8.5), y - 14.5);
      if (d <= 2.5) c = d <= 1.8 ? kRed : kWhite;
    }
  }
  if (body && y < 7.5) c = kCowl;
  if (body && y >= 9.5 && y <= 13 && std::abs(x - 16) <= 1.3) c = kCanopy;
  // the spinning propeller, a thin light bar across the nose
  if (y >= 3.3 && y <= 4.4 && std::abs(x - 16) <= 4.5) c = Mix(c, kProp, 0.75);
  return c;
}

// Whether the point lies on the icon's round patch (sea and rim) rather than around it.
bool OnPatch(double x, double y) {
  return std::hypot(x - 16, y - 16) <= 15.6;
}

// The drawing at size x size pixels, RGBA, each pixel the mean of its samples.
int WritePng(int size, const std::string& path) {
  if (size < 8 || size > 1024) throw std::runtime_error("icon size must be 8 to 1024");
  std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
  const double unit = static_cast<double>(kSize) / size;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      Col sum = {0, 0, 0};
      int covered = 0;
      for (int sy = 0; sy < kSuper; ++sy)
        for (int sx = 0; sx < kSuper; ++sx) {
          const double px = (x + (sx + 0.5) / kSuper) * unit, py = (y + (sy + 0.5) / kSuper) * unit;
          if (!OnPatch(px, py)) continue;
          const Col c = Sample(px, py);
          sum = {sum.R + c.R, sum.G + c.G, sum.B + c.B};
          ++covered;
        }
      uint8_t* out = &rgba[(static_cast<size_t>(y) * size + x) * 4];
      if (covered > 0) {
        out[0] = static_cast<uint8_t>(std::lround(sum.R / covered));
        out[1] = static_cast<uint8_t>(std::lround(sum.G / covered));
        out[2] = static_cast<uint8_t>(std::lround(sum.B / covered));
      }
      out[3] = static_cast<uint8_t>(std::lround(255.0 * covered / (kSuper * kSuper)));
    }
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
  if (stbi_write_png(path.c_str(), size, size, 4, rgba.data(), size * 4) == 0)
    throw std::runtime_error("cannot write " + path);
  return 0;
}

int Nearest(const TPalette& pal, Col c) {
  int best = 8;
  double bestD = 1e30;
  for (int i = 8; i < 248; ++i) {
    const double dr = pal[i].R - c.R, dg = pal[i].G - c.G, db = pal[i].B - c.B;
    const double d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (d < bestD) {
      bestD = d;
      best = i;
    }
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--png") {
    try {
      return WritePng(std::atoi(argv[2]), argv[3]);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "gen_icon: %s\n", e.what());
      return 1;
    }
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR | --png SIZE FILE.png\n", argv[0]);
    return 2;
  }
  try {
    const velmora::TPicture common = velmora::DecodeBmp(velmora::FindAsset("images/CommonPal.bmp"));
    if (common.Palette.size() != 256) throw std::runtime_error("CommonPal is not an 8-bit picture");
    TPalette pal{};
    std::copy(common.Palette.begin(), common.Palette.end(), pal.begin());

    std::vector<uint8_t> idx(kSize * kSize);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        Col sum = {0, 0, 0};
        for (int sy = 0; sy < kSuper; ++sy)
          for (int sx = 0; sx < kSuper; ++sx) {
            const Col c = Sample(x + (sx + 0.5) / kSuper, y + (sy + 0.5) / kSuper);
            sum = {sum.R + c.R, sum.G + c.G, sum.B + c.B};
          }
        const double n = kSuper * kSuper;
        idx[y * kSize + x] = static_cast<uint8_t>(Nearest(pal, {sum.R / n, sum.G / n, sum.B / n}));
      }

    const std::vector<uint8_t> bytes = velmora::EncodeBmp8(kSize, kSize, idx, pal);
    std::filesystem::create_directories(argv[1]);
    const std::string path = std::string(argv[1]) + "/Icon.bmp";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), f);
    if (std::fclose(f) != 0 || written != bytes.size())
      throw std::runtime_error("cannot write " + path);
    std::printf("wrote %s\n", path.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gen_icon: %s\n", e.what());
    return 1;
  }
  return 0;
}
