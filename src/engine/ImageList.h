// Named image catalogues: pictures cut into equal patterns, drawn with or without a
// transparent colour onto 8-bit surfaces.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/Bmp.h"
#include "engine/NameHash.h"
#include "engine/Surface.h"
#include "engine/Types.h"

namespace velmora {

class TPictureCollection;

class TPictureCollectionItem {
 public:
  explicit TPictureCollectionItem(TPictureCollection& owner) : Owner_(owner) {}

  const std::string& GetName() const { return Name; }
  // Renaming puts the item at the head of its hash chain.
  void SetName(const std::string& name);

  TPicture Picture;
  int PatternWidth = 0;  // 0 or less: the picture's width
  int PatternHeight = 0;
  int SkipWidth = 0;
  int SkipHeight = 0;
  bool SystemMemory = false;
  bool Transparent = true;
  TRGB TransparentColor{255, 0, 255};

  // Effective pattern size.
  int PatternWidthEff() const { return PatternWidth > 0 ? PatternWidth : Picture.Width; }
  int PatternHeightEff() const { return PatternHeight > 0 ? PatternHeight : Picture.Height; }
  int PatternCount() const { return static_cast<int>(Patterns_.size()); }
  // The pattern's rectangle in the picture; empty when the index is out of range.
  TRect PatternRect(int index) const;

  bool Initialized() const { return Initialized_; }
  // Cuts the patterns and converts the picture to indices of the display palette.
  void Initialize(const TPalette& palette);
  void Finalize();

  // Draws a pattern with its top-left at (x, y), clipped; nothing for a bad index or an
  // uninitialised item.
  void Draw(TSurface& target, int x, int y, int index) const;
  void StretchDraw(TSurface& target, const TRect& dest, int index) const;

  // The prepared picture in display indices and the key standing for the transparent colour.
  const TSurface& Surface() const { return Surface_; }
  int TransparentKey() const { return Key_; }
  // Whether the pattern's pixel at (px, py), relative to its top-left corner, is drawn.
  bool Opaque(int index, int px, int py) const {
    const TRect& r = Patterns_[index];
    return Surface_.Pixel(r.Left + px, r.Top + py) != Key_;
  }

  // Whether the two patterns, drawn with their top-left corners at these screen points,
  // have an opaque pixel in common.
  static bool OpaqueOverlap(const TPictureCollectionItem& a, int indexA, TPoint atA,
                            const TPictureCollectionItem& b, int indexB, TPoint atB);

  std::string Name;
  TPictureCollectionItem* NextInChain = nullptr;

 private:
  TPictureCollection& Owner_;
  bool Initialized_ = false;
  std::vector<TRect> Patterns_;
  TSurface Surface_;
  int Key_ = -1;
  // Per pattern, the runs of pixels in each row that are not the key (columns relative
  // to the pattern): keyed drawing copies runs, and the pixel test compares them.
  struct TRun {
    uint16_t Start, End;
  };
  struct TPatternRuns {
    std::vector<uint32_t> RowStart;  // rows + 1 offsets into Runs
    std::vector<TRun> Runs;
  };
  std::vector<TPatternRuns> Runs_;
  void CutRuns();
};

class TPictureCollection {
 public:
  TPictureCollectionItem& Add();
  void Clear();
  int Count() const { return static_cast<int>(Items_.size()); }
  TPictureCollectionItem& Items(int index) const { return *Items_.at(index); }
  // Case-insensitive; throws std::runtime_error "画像 '%s' が見つかりません".
  TPictureCollectionItem& Find(const std::string& name) const;
  // The 256-entry colour table of the catalogue's pictures.
  TPalette MakeColorTable() const;

 private:
  friend class TPictureCollectionItem;
  std::vector<std::unique_ptr<TPictureCollectionItem>> Items_;
  TNameChains<TPictureCollectionItem> Chains_;
};

class TDXImageList {
 public:
  explicit TDXImageList(std::string name) : ComponentName(std::move(name)) {}

  // Cuts every item for the display's palette; throws "%s を初期化できません" when the
  // display is not ready.
  void Initialize(bool displayReady, const TPalette& palette);
  void Finalize();

  std::string ComponentName;
  TPictureCollection Items;
};

// The colour table of a catalogue (16 fixed entries, then each picture's palette).
TPalette MakeColorTable(const std::vector<const TPicture*>& pictures);

// Fills the game's catalogue with its images (and "Title") from the embedded pictures.
void LoadGameImages(TPictureCollection& items);
// Fills the palette catalogue with "CommonPal".
void LoadPaletteImages(TPictureCollection& items);
// Appends the 24 debris images "<Name>_JIB" cut from items 0 ... 23.
void DeriveDebrisImages(TPictureCollection& items);
// Nearest palette entry (exact colour first).
uint8_t NearestIndex(const TPalette& palette, TRGB colour);

}  // namespace velmora
