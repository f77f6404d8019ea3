#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/ImageList.h"
#include "engine/NameHash.h"
#include "support/TestImages.h"

namespace velmora {
namespace {

class GameCatalogueTest : public ::testing::Test {
 protected:
  GameCatalogueTest() {
    LoadGameImages(Items);
    DeriveDebrisImages(Items);
    for (int i = 0; i < Items.Count(); ++i)
      Items.Items(i).Initialize(test::TestPalette());
  }
  TPictureCollection Items;
};

TEST_F(GameCatalogueTest, PatternsAreCutRowByRowWithLeftoversDropped) {
  const auto& f4f = Items.Find("F4F");
  EXPECT_EQ(f4f.PatternCount(), 8);
  EXPECT_EQ(f4f.PatternRect(3), (TRect{210, 0, 280, 70}));
  EXPECT_EQ(f4f.PatternRect(8), TRect{});
  EXPECT_EQ(f4f.PatternRect(-1), TRect{});

  const auto& jib = Items.Find("F4F_JIB");
  EXPECT_EQ(jib.PatternCount(), 4);  // the bottom pixel row of 49 is not a pattern
  EXPECT_EQ(jib.PatternRect(3), (TRect{35, 24, 70, 48}));

  EXPECT_EQ(Items.Find("Explosion").PatternRect(2), (TRect{200, 0, 300, 100}));
  EXPECT_EQ(Items.Find("Zero21").PatternCount(), 1);
  EXPECT_EQ(Items.Find("Zero21").PatternRect(0), (TRect{0, 0, 65, 46}));
}

TEST_F(GameCatalogueTest, DebrisImagesFollowTheirSources) {
  // 57 table images, the title picture, then the 24 debris images.
  ASSERT_EQ(Items.Count(), 57 + 1 + 24);
  const auto& b29 = Items.Find("B29_JIB");
  EXPECT_EQ(b29.PatternCount(), 25);
  EXPECT_EQ(b29.PatternWidthEff(), 60);
  EXPECT_EQ(b29.PatternHeightEff(), 42);
  const auto& missouri = Items.Find("Missouri_JIB");
  EXPECT_EQ(missouri.PatternCount(), 100);
  EXPECT_EQ(missouri.PatternRect(99), (TRect{608, 84, 640, 105}));
  EXPECT_EQ(missouri.TransparentColor, (TRGB{255, 255, 255}));
  EXPECT_EQ(Items.Find("Fletcher_JIB").PatternCount(), 30);
  EXPECT_EQ(Items.Find("Ruko_JIB").PatternCount(), 16);
  EXPECT_EQ(Items.Find("Apple_JIB").PatternCount(), 4);
  EXPECT_EQ(&Items.Items(57 + 1), &Items.Find("Zero21_JIB"));
}

TEST_F(GameCatalogueTest, DebrisPiecesAreTornFromTheirSourceWithoutStraightCuts) {
  for (const char* name : {"P40", "P38", "Missouri", "B26"}) {
    SCOPED_TRACE(name);
    const TPicture& source = Items.Find(name).Picture;
    const auto& debris = Items.Find(std::string(name) + "_JIB");
    const TPicture& torn = debris.Picture;
    ASSERT_EQ(torn.Width, source.Width);
    ASSERT_EQ(torn.Height, source.Height);
    ASSERT_EQ(torn.Palette, source.Palette);
    const int key = static_cast<int>(
        std::find(source.Palette.begin(), source.Palette.end(), debris.TransparentColor) -
        source.Palette.begin());
    const int cw = debris.PatternWidthEff(), ch = debris.PatternHeightEff();
    int kept = 0, had = 0;
    for (int y = 0; y < torn.Height; ++y)
      for (int x = 0; x < torn.Width; ++x) {
        const size_t i = static_cast<size_t>(y) * torn.Width + x;
        const bool opaque = torn.Indices[i] != key;
        had += source.Indices[i] != key;
        kept += opaque;
        // nothing is painted where the aircraft or ship had nothing
        if (source.Indices[i] == key) {
          EXPECT_FALSE(opaque) << x << "," << y;
        }
        // no piece keeps the straight edge of its cell
        const int cx = x % cw, cy = y % ch;
        if (x >= torn.Width / cw * cw || y >= torn.Height / ch * ch) continue;  // never drawn
        if (cx == 0 || cy == 0 || cx == cw - 1 || cy == ch - 1) {
          EXPECT_FALSE(opaque) << x << "," << y;
        }
      }
    // but enough of each is left to be seen
    EXPECT_GT(kept, had / 5);
  }
  // The same pieces every time: no random number is drawn for them.
  TPictureCollection again;
  LoadGameImages(again);
  DeriveDebrisImages(again);
  EXPECT_EQ(again.Find("P38_JIB").Picture.Indices, Items.Find("P38_JIB").Picture.Indices);
}

TEST_F(GameCatalogueTest, LookupIgnoresCaseAndNamesTheMissingImage) {
  EXPECT_EQ(&Items.Find("zero21"), &Items.Items(0));
  EXPECT_EQ(&Items.Find("PLAYERTAMA5_20_1_R"), &Items.Find("PlayerTama5_20_1_R"));
  try {
    Items.Find("Yamato");
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "画像 'Yamato' が見つかりません");
  }
}

TEST(CatalogueTest, TheMostRecentlyNamedOfDuplicatesWins) {
  TPictureCollection items;
  auto& first = test::AddTestImage(items, "Sea", 4, 4);
  auto& second = test::AddTestImage(items, "SEA", 4, 4);
  EXPECT_EQ(&items.Find("sea"), &second);
  first.SetName("Sea");  // renaming moves it to the head of its chain
  EXPECT_EQ(&items.Find("sea"), &first);
  // The chain of a name: length * 16 plus the next-to-last and the first character.
  EXPECT_EQ(NameHashOf("Sea"), (3 * 16 + 'e' + 's') & 0xFF);
  EXPECT_EQ(NameHashOf("a"), 16);
}

TEST(CatalogueTest, PatternsClipAtTheSurfaceEdgeAndSkipTheKey) {
  TPictureCollection items;
  auto& item = items.Add();
  item.Picture = test::SolidPicture(20, 2, 0);
  for (int x = 0; x < 20; ++x)
    item.Picture.Indices[x] = item.Picture.Indices[20 + x] = 100 + x;
  item.Picture.Indices[15] = 253;  // one fuchsia pixel in the first row
  item.SetName("ramp");
  TSurface target(30, 4);
  item.Draw(target, 0, 0, 0);  // not initialised yet: nothing
  EXPECT_EQ(target.Pixel(0, 0), 0);
  item.Initialize(test::TestPalette());

  item.Draw(target, -10, 1, 0);
  EXPECT_EQ(target.Pixel(0, 1), 110);  // the pattern's column 10 lands on x = 0
  EXPECT_EQ(target.Pixel(9, 1), 119);
  EXPECT_EQ(target.Pixel(5, 1), 0);  // the transparent pixel left the target alone
  EXPECT_EQ(target.Pixel(10, 1), 0);
  item.Draw(target, 25, 3, 0);  // partly off the right and bottom edges
  EXPECT_EQ(target.Pixel(29, 3), 104);
  item.Draw(target, -20, 0, 0);  // wholly off: nothing, no crash
  item.Draw(target, 0, 0, 1);    // a pattern it does not have
  EXPECT_EQ(target.Pixel(0, 0), 0);
  item.Transparent = false;
  item.Draw(target, -10, 1, 0);
  EXPECT_EQ(target.Pixel(5, 1), 253);
}

TEST(CatalogueTest, ColourTableAddsOnlyNewColours) {
  TPicture blackAndWhite;
  blackAndWhite.Width = blackAndWhite.Height = 1;
  blackAndWhite.BitCount = 1;
  blackAndWhite.Palette = {{0, 0, 0}, {255, 255, 255}};
  blackAndWhite.Indices = {0};
  const TPalette table = MakeColorTable({&blackAndWhite});
  EXPECT_EQ(table[7], (TRGB{192, 192, 192}));
  EXPECT_EQ(table[253], (TRGB{255, 0, 255}));
  for (int i = 8; i < 248; ++i)
    EXPECT_EQ(table[i], TRGB{}) << i;

  TPicture colours = blackAndWhite;
  colours.Palette = {{10, 20, 30}, {255, 0, 0}, {10, 20, 30}, {40, 50, 60}};
  const TPalette more = MakeColorTable({&blackAndWhite, &colours});
  EXPECT_EQ(more[8], (TRGB{10, 20, 30}));
  EXPECT_EQ(more[9], (TRGB{40, 50, 60}));
}

}  // namespace
}  // namespace velmora
