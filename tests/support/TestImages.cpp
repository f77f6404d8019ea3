#include "support/TestImages.h"

namespace velmora::test {

TPalette TestPalette() {
  TPalette p{};
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<uint8_t>(i);
    p[i] = {v, v, v};
  }
  p[253] = {255, 0, 255};
  return p;
}

TPicture SolidPicture(int width, int height, uint8_t index) {
  TPicture picture;
  picture.Width = width;
  picture.Height = height;
  picture.BitCount = 8;
  const TPalette palette = TestPalette();
  picture.Palette.assign(palette.begin(), palette.end());
  picture.Indices.assign(static_cast<size_t>(width) * height, index);
  return picture;
}

TPictureCollectionItem& AddTestImage(TPictureCollection& items, const std::string& name, int width,
                                     int height, int patternWidth, int patternHeight,
                                     uint8_t index) {
  TPictureCollectionItem& item = items.Add();
  item.Picture = SolidPicture(width, height, index);
  item.PatternWidth = patternWidth;
  item.PatternHeight = patternHeight;
  item.TransparentColor = {255, 0, 255};
  item.SetName(name);
  item.Initialize(TestPalette());
  return item;
}

}  // namespace velmora::test
