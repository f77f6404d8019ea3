// Checks the committed picture files against what the catalogue and the sprites rely on:
// exact sizes, 8-bit pictures sharing the display palette, and transparent colours that
// really occur around each sprite and never punch holes into the player's fighter.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Assets.h"
#include "engine/Bmp.h"

namespace velmora {
namespace {

constexpr int kNone = -1, kFuchsia = 253, kBlack = 0, kWhite = 255;

struct TExpected {
  const char* Name;
  int Width, Height, PatternWidth, PatternHeight, Key;
};

const TExpected kImages[] = {
    {"Zero21", 65, 46, 65, 46, kFuchsia},
    {"B26", 150, 118, 150, 118, kFuchsia},
    {"B29", 300, 210, 300, 210, kFuchsia},
    {"B17", 200, 146, 200, 146, kFuchsia},
    {"SBD", 110, 84, 110, 84, kFuchsia},
    {"TBM", 120, 85, 120, 85, kFuchsia},
    {"Missouri", 640, 105, 640, 105, kWhite},
    {"Enterprise", 600, 87, 600, 87, kFuchsia},
    {"Fletcher", 30, 238, 30, 238, kFuchsia},
    {"Ruko", 132, 89, 132, 89, kBlack},
    {"LCI", 120, 23, 120, 23, kFuchsia},
    {"LSM", 120, 21, 120, 21, kFuchsia},
    {"PBY", 69, 106, 69, 106, kFuchsia},
    {"C47", 60, 84, 60, 84, kFuchsia},
    {"P36", 70, 53, 70, 53, kFuchsia},
    {"P38", 100, 73, 100, 73, kFuchsia},
    {"P38_G", 88, 65, 88, 65, kFuchsia},
    {"P39", 70, 61, 70, 61, kFuchsia},
    {"P40", 80, 69, 80, 69, kFuchsia},
    {"F6F", 70, 49, 70, 49, kFuchsia},
    {"Issiki_S", 100, 78, 100, 78, kFuchsia},
    {"UFO", 36, 39, 36, 39, kFuchsia},
    {"Star", 57, 60, 57, 60, kFuchsia},
    {"Apple", 55, 62, 55, 62, kFuchsia},
    {"F4F", 560, 70, 70, 70, kFuchsia},
    {"F4F_S", 30, 43, 30, 43, kFuchsia},
    {"TamaHane", 52, 13, 13, 13, kFuchsia},
    {"Smoke", 128, 32, 32, 32, kBlack},
    {"Sea", 300, 300, 300, 300, kNone},
    {"Explosion", 300, 100, 100, 100, kFuchsia},
    {"Life10", 15, 15, 15, 15, kNone},
    {"Pow", 15, 15, 15, 15, kNone},
    {"50cal", 7, 7, 7, 7, kFuchsia},
    {"30cal", 5, 5, 5, 5, kFuchsia},
    {"AABomb", 20, 20, 20, 20, kFuchsia},
    {"PlayerTama1", 15, 20, 15, 20, kBlack},
    {"PlayerTama2_L", 16, 34, 16, 34, kBlack},
    {"PlayerTama2_R", 16, 34, 16, 34, kBlack},
    {"PlayerTama3_L", 23, 34, 23, 34, kBlack},
    {"PlayerTama3_R", 23, 34, 23, 34, kBlack},
    {"PlayerTama4_L", 33, 34, 33, 34, kBlack},
    {"PlayerTama4_R", 33, 34, 33, 34, kBlack},
    {"PlayerTama5_L", 40, 34, 40, 34, kBlack},
    {"PlayerTama5_R", 40, 34, 40, 34, kBlack},
    {"PlayerTama5_20_1_R", 40, 34, 40, 34, kBlack},
    {"PlayerTama5_20_3_R", 40, 34, 40, 34, kBlack},
    {"PlayerTama5_20_5_R", 40, 34, 40, 34, kBlack},
    {"PlayerTama5_20_1_L", 40, 34, 40, 34, kBlack},
    {"PlayerTama5_20_3_L", 40, 34, 40, 34, kBlack},
    {"PlayerTama5_20_5_L", 40, 34, 40, 34, kBlack},
    {"30cm", 18, 61, 18, 61, kFuchsia},
    {"Plasma", 240, 30, 30, 30, kFuchsia},
    {"Issiki", 300, 234, 300, 234, kFuchsia},
    {"Issiki_I", 40, 31, 40, 31, kFuchsia},
    {"F4F_JIB", 70, 49, 35, 24, kFuchsia},
    {"Space", 62, 49, 62, 49, kNone},
    {"Explosion_S", 120, 40, 40, 40, kFuchsia},
};

TPicture Load(const std::string& name) {
  return DecodeBmp(FindAsset("images/" + name + ".bmp"));
}

TEST(ImageAssets, CommonPalCarriesTheFixedColoursAndUniqueArtColours) {
  TPicture pal = Load("CommonPal");
  EXPECT_EQ(pal.Width, 291);
  EXPECT_EQ(pal.Height, 290);
  ASSERT_EQ(pal.BitCount, 8);
  ASSERT_EQ(pal.Palette.size(), 256u);
  const TRGB fixed[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                          {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                          {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                          {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(pal.Palette[i < 8 ? i : 240 + i], fixed[i]) << i;
  // Any repeated colour would be dropped when the display palette is merged, shifting the
  // entries after it.
  for (int i = 0; i < 256; ++i)
    for (int j = i + 1; j < 256; ++j)
      EXPECT_FALSE(pal.Palette[i] == pal.Palette[j]) << i << "," << j;
}

TEST(ImageAssets, EveryCatalogueImageHasItsSizeAndTheSharedPalette) {
  const std::vector<TRGB> display = Load("CommonPal").Palette;
  for (const TExpected& e : kImages) {
    SCOPED_TRACE(e.Name);
    TPicture p = Load(e.Name);
    EXPECT_EQ(p.Width, e.Width);
    EXPECT_EQ(p.Height, e.Height);
    EXPECT_EQ(p.BitCount, 8);
    EXPECT_EQ(p.Palette, display);
  }
}

TEST(ImageAssets, EveryPatternOfASpriteShowsItsTransparentColour) {
  for (const TExpected& e : kImages) {
    if (e.Key == kNone) continue;
    SCOPED_TRACE(e.Name);
    TPicture p = Load(e.Name);
    ASSERT_EQ(p.Indices.size(), static_cast<size_t>(p.Width * p.Height));
    const int cols = p.Width / e.PatternWidth, rows = p.Height / e.PatternHeight;
    for (int k = 0; k < cols * rows; ++k) {
      const int x0 = (k % cols) * e.PatternWidth, y0 = (k / cols) * e.PatternHeight;
      int key = 0, body = 0;
      for (int y = y0; y < y0 + e.PatternHeight; ++y)
        for (int x = x0; x < x0 + e.PatternWidth; ++x)
          (p.Indices[y * p.Width + x] == e.Key ? key : body)++;
      EXPECT_GT(key, 0) << "pattern " << k;
      EXPECT_GT(body, 0) << "pattern " << k;
    }
  }
}

TEST(ImageAssets, TheFighterHasNoTransparentHolesInside) {
  TPicture p = Load("Zero21");
  const int w = p.Width, h = p.Height;
  std::vector<uint8_t> reached(w * h, 0);
  std::vector<int> stack;
  auto push = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    int i = y * w + x;
    if (reached[i] || p.Indices[i] != kFuchsia) return;
    reached[i] = 1;
    stack.push_back(i);
  };
  for (int x = 0; x < w; ++x) {
    push(x, 0);
    push(x, h - 1);
  }
  for (int y = 0; y < h; ++y) {
    push(0, y);
    push(w - 1, y);
  }
  while (!stack.empty()) {
    int i = stack.back();
    stack.pop_back();
    push(i % w - 1, i / w);
    push(i % w + 1, i / w);
    push(i % w, i / w - 1);
    push(i % w, i / w + 1);
  }
  int holes = 0;
  for (int i = 0; i < w * h; ++i)
    if (p.Indices[i] == kFuchsia && !reached[i]) ++holes;
  EXPECT_EQ(holes, 0);
}

TEST(ImageAssets, TitlePicturesFitTheScreen) {
  TPicture title = Load("Title");
  EXPECT_LE(title.Width, 640);
  EXPECT_LE(title.Height, 480);
  EXPECT_EQ(title.Indices.front(), kFuchsia);
  TPicture still = Load("TitleImage");
  EXPECT_EQ(still.Width, 640);
  EXPECT_EQ(still.Height, 480);
}

}  // namespace
}  // namespace velmora
