// The game's picture catalogue: which embedded picture each name stands for, how it is cut
// into patterns and which colour it leaves out.
#include <array>
#include <string>

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
    debris.SetName(source.Name + "_JIB");
  }
}

}  // namespace velmora
