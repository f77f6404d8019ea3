// The game's picture catalogue: which embedded picture each name stands for, how it is cut
// into patterns and which colour it leaves out.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "engine/Assets.h"
#include "engine/ImageList.h"

namespace velmora {

namespace {

constexpr TRGB kFuchsia{255, 0, 255};
constexpr TRGB kBlack{0, 0, 0};
constexpr TRGB kWhite{255, 255, 255};

struct TImageEntry {
  const char* Name;
  int PatternWidth;  // 0: the whole picture
  int PatternHeight;
  bool Transparent;
  TRGB Key;
};

// In catalogue order: the debris images are derived from items 0 ... 23 by index.
constexpr std::array<TImageEntry, 57> kGameImages = {{
    {"Zero21", 0, 0, true, kFuchsia},
    {"B26", 0, 0, true, kFuchsia},
    {"B29", 0, 0, true, kFuchsia},
    {"B17", 0, 0, true, kFuchsia},
    {"SBD", 0, 0, true, kFuchsia},
    {"TBM", 0, 0, true, kFuchsia},
    {"Missouri", 0, 0, true, kWhite},
    {"Enterprise", 0, 0, true, kFuchsia},
    {"Fletcher", 0, 0, true, kFuchsia},
    {"Ruko", 0, 0, true, kBlack},
    {"LCI", 0, 0, true, kFuchsia},
    {"LSM", 0, 0, true, kFuchsia},
    {"PBY", 0, 0, true, kFuchsia},
    {"C47", 0, 0, true, kFuchsia},
    {"P36", 0, 0, true, kFuchsia},
    {"P38", 0, 0, true, kFuchsia},
    {"P38_G", 0, 0, true, kFuchsia},
    {"P39", 0, 0, true, kFuchsia},
    {"P40", 0, 0, true, kFuchsia},
    {"F6F", 0, 0, true, kFuchsia},
    {"Issiki_S", 0, 0, true, kFuchsia},
    {"UFO", 0, 0, true, kFuchsia},
    {"Star", 0, 0, true, kFuchsia},
    {"Apple", 0, 0, true, kFuchsia},
    {"F4F", 70, 70, true, kFuchsia},
    {"F4F_S", 0, 0, true, kFuchsia},
    {"TamaHane", 13, 13, true, kFuchsia},
    {"Smoke", 32, 32, true, kBlack},
    {"Sea", 0, 0, false, kBlack},
    {"Explosion", 100, 100, true, kFuchsia},
    {"Life10", 0, 0, false, kBlack},
    {"Pow", 0, 0, false, kBlack},
    {"50cal", 0, 0, true, kFuchsia},
    {"30cal", 0, 0, true, kFuchsia},
    {"AABomb", 0, 0, true, kFuchsia},
    {"PlayerTama1", 0, 0, true, kBlack},
    {"PlayerTama2_L", 0, 0, true, kBlack},
    {"PlayerTama2_R", 0, 0, true, kBlack},
    {"PlayerTama3_L", 0, 0, true, kBlack},
    {"PlayerTama3_R", 0, 0, true, kBlack},
    {"PlayerTama4_L", 0, 0, true, kBlack},
    {"PlayerTama4_R", 0, 0, true, kBlack},
    {"PlayerTama5_L", 0, 0, true, kBlack},
    {"PlayerTama5_R", 0, 0, true, kBlack},
    {"PlayerTama5_20_1_R", 0, 0, true, kBlack},
    {"PlayerTama5_20_3_R", 0, 0, true, kBlack},
    {"PlayerTama5_20_5_R", 0, 0, true, kBlack},
    {"PlayerTama5_20_1_L", 0, 0, true, kBlack},
    {"PlayerTama5_20_3_L", 0, 0, true, kBlack},
    {"PlayerTama5_20_5_L", 0, 0, true, kBlack},
    {"30cm", 0, 0, true, kFuchsia},
    {"Plasma", 30, 30, true, kFuchsia},
    {"Issiki", 0, 0, true, kFuchsia},
    {"Issiki_I", 0, 0, true, kFuchsia},
    {"F4F_JIB", 35, 24, true, kFuchsia},
    {"Space", 0, 0, false, kBlack},
    {"Explosion_S", 40, 40, true, kFuchsia},
}};

TPicture LoadPicture(const std::string& name) {
  return DecodeBmp(FindAsset("images/" + name + ".bmp"));
}

void AddImage(TPictureCollection& items, const TImageEntry& entry) {
  TPictureCollectionItem& item = items.Add();
  item.Picture = LoadPicture(entry.Name);
  item.PatternWidth = entry.PatternWidth;
  item.PatternHeight = entry.PatternHeight;
  item.Transparent = entry.Transparent;
  item.TransparentColor = entry.Key;
  item.SetName(entry.Name);
}

// A fragment cut square out of an aircraft reads as a little flag: half a fuselage for the
// pole, half a wing for the cloth. Each cell of a debris picture is torn back from its cut
// lines instead, by a wavy bite of a fixed pattern (the same every run, and no game random
// number is drawn); slivers left on their own go too, and the pixels along the tear are
// scorched. What remains is a wing or tail piece with ragged ends. Only the copy changes;
// size, grid and transparent colour stay as they are.
void BreakIntoWreckage(TPicture& picture, int columns, int rows, TRGB key) {
  const int cellW = picture.Width / columns, cellH = picture.Height / rows;
  if (!picture.Palettised() || cellW < 4 || cellH < 4) return;
  const auto keyAt = std::find(picture.Palette.begin(), picture.Palette.end(), key);
  if (keyAt == picture.Palette.end()) return;
  const auto keyIndex = static_cast<uint8_t>(keyAt - picture.Palette.begin());
  const int w = picture.Width, h = picture.Height;

  // Scorched: the palette colour nearest to a darkened one, never the transparent colour.
  std::vector<uint8_t> scorched(picture.Palette.size());
  for (size_t i = 0; i < picture.Palette.size(); ++i) {
    const TRGB c = picture.Palette[i];
    const double r = c.R * 0.45 + 12, g = c.G * 0.4 + 8, b = c.B * 0.35 + 4;
    double best = 1e30;
    for (size_t j = 0; j < picture.Palette.size(); ++j) {
      if (j == keyIndex) continue;
      const TRGB p = picture.Palette[j];
      const double d = (p.R - r) * (p.R - r) + (p.G - g) * (p.G - g) + (p.B - b) * (p.B - b);
      if (d < best) best = d, scorched[i] = static_cast<uint8_t>(j);
    }
  }

  // How far in from a cut the tear reaches at a point along it; every edge of every cell
  // has its own wave.
  const double depth = std::min(cellW, cellH) / 4.0;
  auto bite = [depth](int along, int edge) {
    return depth * (0.7 + 0.2 * std::sin(along * 0.8 + edge * 1.3) +
                    0.1 * std::sin(along * 2.1 + edge * 0.4));
  };
  std::vector<double> margin(static_cast<size_t>(w) * h, -1);
  std::vector<uint8_t> out = picture.Indices;
  for (int y = 0; y < rows * cellH; ++y)
    for (int x = 0; x < columns * cellW; ++x) {
      const size_t i = static_cast<size_t>(y) * w + x;
      if (picture.Indices[i] == keyIndex || picture.Indices[i] >= scorched.size()) continue;
      const int cx = x % cellW, cy = y % cellH;
      const int edge = 4 * ((y / cellH) * columns + x / cellW);
      margin[i] = std::min({cx - bite(cy, edge), cellW - 1 - cx - bite(cy, edge + 1),
                            cy - bite(cx, edge + 2), cellH - 1 - cy - bite(cx, edge + 3)});
      if (margin[i] < 0) out[i] = keyIndex;
    }
  // Long straight parts (a tail boom, a mast) are broken off too: each cell keeps an
  // irregular blob round the middle of what is left in it.
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column) {
      double sx = 0, sy = 0, n = 0;
      for (int y = row * cellH; y < (row + 1) * cellH; ++y)
        for (int x = column * cellW; x < (column + 1) * cellW; ++x)
          if (out[static_cast<size_t>(y) * w + x] != keyIndex) sx += x, sy += y, n += 1;
      if (n == 0) continue;
      const double mx = sx / n, my = sy / n;
      const int cell = row * columns + column;
      for (int y = row * cellH; y < (row + 1) * cellH; ++y)
        for (int x = column * cellW; x < (column + 1) * cellW; ++x) {
          const size_t i = static_cast<size_t>(y) * w + x;
          if (out[i] == keyIndex) continue;
          const double u = (x + 0.5 - mx) / (cellW / 2.0), v = (y + 0.5 - my) / (cellH / 2.0);
          const double a = std::atan2(v, u);
          const double reach =
              0.55 + 0.12 * std::sin(3 * a + cell * 1.7) + 0.06 * std::sin(7 * a + cell * 0.9);
          const double inside = (reach - std::hypot(u, v)) * std::min(cellW, cellH) / 2.0;
          if (inside < 0) out[i] = keyIndex;
          margin[i] = std::min(margin[i], inside);
        }
    }
  // Slivers: a pixel with fewer than two neighbours left beside it falls away.
  for (int pass = 0; pass < 2; ++pass) {
    const std::vector<uint8_t> before = out;
    auto solid = [&](int x, int y) {
      return x >= 0 && y >= 0 && x < w && y < h &&
             before[static_cast<size_t>(y) * w + x] != keyIndex;
    };
    for (int y = 0; y < rows * cellH; ++y)
      for (int x = 0; x < columns * cellW; ++x)
        if (solid(x, y) &&
            solid(x - 1, y) + solid(x + 1, y) + solid(x, y - 1) + solid(x, y + 1) < 2)
          out[static_cast<size_t>(y) * w + x] = keyIndex;
  }
  for (size_t i = 0; i < out.size(); ++i)
    if (out[i] != keyIndex && margin[i] >= 0 && margin[i] < 1.5)
      out[i] = scorched[picture.Indices[i]];
  picture.Indices = std::move(out);
}

}  // namespace

void LoadGameImages(TPictureCollection& items) {
  for (const TImageEntry& entry : kGameImages)
    AddImage(items, entry);
  // The title picture drawn by the title sprite; not part of the numbered table.
  AddImage(items, {"Title", 0, 0, true, kFuchsia});
}

void LoadPaletteImages(TPictureCollection& items) {
  AddImage(items, {"CommonPal", 0, 0, false, kBlack});
}

void DeriveDebrisImages(TPictureCollection& items) {
  for (int i = 0; i <= 23; ++i) {
    const TPictureCollectionItem& source = items.Items(i);
    const int w = source.Picture.Width, h = source.Picture.Height;
    int columns = 2, rows = 2;
    if (i >= 1 && i <= 5) {
      columns = 5, rows = 5;
    } else if (i == 6 || i == 7) {
      columns = 20, rows = 5;
    } else if (i == 8) {
      columns = 3, rows = 10;
    } else if (i == 9) {
      columns = 4, rows = 4;
    }
    TPictureCollectionItem& debris = items.Add();
    debris.Picture = source.Picture;
    debris.Transparent = source.Transparent;
    debris.TransparentColor = source.TransparentColor;
    debris.PatternWidth = w / columns;
    debris.PatternHeight = h / rows;
    if (source.Transparent)
      BreakIntoWreckage(debris.Picture, columns, rows, source.TransparentColor);
    debris.SetName(source.Name + "_JIB");
  }
}

}  // namespace velmora
