#include "engine/ImageList.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace velmora {

// ---- items ---------------------------------------------------------------------------

void TPictureCollectionItem::SetName(const std::string& name) {
  Owner_.Chains_.Remove(this);
  Name = name;
  Owner_.Chains_.Add(this);
}

TRect TPictureCollectionItem::PatternRect(int index) const {
  if (index < 0 || index >= PatternCount()) return {};
  return Patterns_[index];
}

void TPictureCollectionItem::Initialize(const TPalette& palette) {
  Finalize();
  const int w = Picture.Width, h = Picture.Height;
  const int pw = PatternWidthEff(), ph = PatternHeightEff();
  if (w <= 0 || h <= 0 || pw <= 0 || ph <= 0) {
    Initialized_ = true;
    return;
  }
  // The picture becomes one surface of display indices: exact colours where the palette
  // has them, the nearest otherwise. Pixels of the transparent colour get a key index of
  // their own choosing only if the palette lacks the colour itself.
  Surface_.SetSize(w, h);
  std::array<int, 256> map{};
  map.fill(-1);
  Key_ = NearestIndex(palette, TransparentColor);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = Surface_.Row(y);
    for (int x = 0; x < w; ++x) {
      if (Picture.Palettised()) {
        const uint8_t src = Picture.Indices[static_cast<size_t>(y) * w + x];
        if (map[src] < 0) map[src] = NearestIndex(palette, Picture.Palette[src]);
        row[x] = static_cast<uint8_t>(map[src]);
      } else {
        row[x] = NearestIndex(palette, Picture.Rgb[static_cast<size_t>(y) * w + x]);
      }
    }
  }
  if (pw == w && ph == h) {
    Patterns_.push_back({0, 0, w, h});
  } else {
    const int columns = (w + SkipWidth) / (pw + SkipWidth);
    const int rows = (h + SkipHeight) / (ph + SkipHeight);
    for (int k = 0; k < columns * rows; ++k) {
      const int left = (k % columns) * (pw + SkipWidth);
      const int top = (k / columns) * (ph + SkipHeight);
      Patterns_.push_back({left, top, left + pw, top + ph});
    }
  }
  CutRuns();
  Initialized_ = true;
}

void TPictureCollectionItem::CutRuns() {
  Runs_.assign(Patterns_.size(), {});
  for (size_t k = 0; k < Patterns_.size(); ++k) {
    const TRect& p = Patterns_[k];
    TPatternRuns& runs = Runs_[k];
    runs.RowStart.reserve(p.Height() + 1);
    for (int y = p.Top; y < p.Bottom; ++y) {
      runs.RowStart.push_back(static_cast<uint32_t>(runs.Runs.size()));
      const uint8_t* row = Surface_.Row(y) + p.Left;
      for (int x = 0; x < p.Width();) {
        if (row[x] == Key_) {
          ++x;
          continue;
        }
        const int start = x;
        while (x < p.Width() && row[x] != Key_)
          ++x;
        runs.Runs.push_back({static_cast<uint16_t>(start), static_cast<uint16_t>(x)});
      }
    }
    runs.RowStart.push_back(static_cast<uint32_t>(runs.Runs.size()));
  }
}

void TPictureCollectionItem::Finalize() {
  Initialized_ = false;
  Patterns_.clear();
  Runs_.clear();
  Surface_ = TSurface();
}

void TPictureCollectionItem::Draw(TSurface& target, int x, int y, int index) const {
  if (!Initialized_ || index < 0 || index >= PatternCount()) return;
  const TRect& pattern = Patterns_[index];
  if (!Transparent) {
    target.Blit(x, y, Surface_, pattern);
    return;
  }
  // Clip to the target, then copy the opaque runs of the rows and columns that remain.
  const int w = pattern.Width(), h = pattern.Height();
  const int clipLeft = std::max(0, -x), clipRight = std::min(w, target.Width() - x);
  const int clipTop = std::max(0, -y), clipBottom = std::min(h, target.Height() - y);
  if (clipLeft >= clipRight || clipTop >= clipBottom) return;
  const TPatternRuns& runs = Runs_[index];
  for (int row = clipTop; row < clipBottom; ++row) {
    const uint8_t* src = Surface_.Row(pattern.Top + row) + pattern.Left;
    uint8_t* dest = target.Row(y + row) + x;
    for (uint32_t r = runs.RowStart[row]; r < runs.RowStart[row + 1]; ++r) {
      const int a = std::max<int>(runs.Runs[r].Start, clipLeft);
      const int b = std::min<int>(runs.Runs[r].End, clipRight);
      if (a < b) std::memcpy(dest + a, src + a, b - a);
    }
  }
}

bool TPictureCollectionItem::OpaqueOverlap(const TPictureCollectionItem& a, int indexA, TPoint atA,
                                           const TPictureCollectionItem& b, int indexB,
                                           TPoint atB) {
  const TRect& pa = a.Patterns_[indexA];
  const TRect& pb = b.Patterns_[indexB];
  const int left = std::max(atA.X, atB.X);
  const int right = std::min(atA.X + pa.Width(), atB.X + pb.Width());
  const int top = std::max(atA.Y, atB.Y);
  const int bottom = std::min(atA.Y + pa.Height(), atB.Y + pb.Height());
  if (left >= right || top >= bottom) return false;
  const TPatternRuns& ra = a.Runs_[indexA];
  const TPatternRuns& rb = b.Runs_[indexB];
  for (int y = top; y < bottom; ++y) {
    const int rowA = y - atA.Y, rowB = y - atB.Y;
    uint32_t i = ra.RowStart[rowA], j = rb.RowStart[rowB];
    const uint32_t endA = ra.RowStart[rowA + 1], endB = rb.RowStart[rowB + 1];
    // Walk both rows' runs in screen columns; any common column inside the overlap counts.
    while (i < endA && j < endB) {
      const int a0 = ra.Runs[i].Start + atA.X, a1 = ra.Runs[i].End + atA.X;
      const int b0 = rb.Runs[j].Start + atB.X, b1 = rb.Runs[j].End + atB.X;
      if (std::max({a0, b0, left}) < std::min({a1, b1, right})) return true;
      if (a1 < b1)
        ++i;
      else
        ++j;
    }
  }
  return false;
}

void TPictureCollectionItem::StretchDraw(TSurface& target, const TRect& dest, int index) const {
  if (!Initialized_ || index < 0 || index >= PatternCount()) return;
  target.StretchBlit(dest, Surface_, Patterns_[index], Transparent ? Key_ : -1);
}

// ---- collection ----------------------------------------------------------------------

TPictureCollectionItem& TPictureCollection::Add() {
  Items_.push_back(std::make_unique<TPictureCollectionItem>(*this));
  TPictureCollectionItem& item = *Items_.back();
  Chains_.Add(&item);
  return item;
}

void TPictureCollection::Clear() {
  Items_.clear();
  Chains_.Clear();
}

TPictureCollectionItem& TPictureCollection::Find(const std::string& name) const {
  if (TPictureCollectionItem* item = Chains_.Find(name)) return *item;
  throw std::runtime_error("画像 '" + name + "' が見つかりません");
}

TPalette TPictureCollection::MakeColorTable() const {
  std::vector<const TPicture*> pictures;
  for (const auto& item : Items_)
    pictures.push_back(&item->Picture);
  return velmora::MakeColorTable(pictures);
}

TPalette MakeColorTable(const std::vector<const TPicture*>& pictures) {
  TPalette table{};
  std::array<bool, 256> used{};
  const std::pair<int, TRGB> fixed[] = {
      {0, {0, 0, 0}},         {1, {128, 0, 0}},     {2, {0, 128, 0}},     {3, {128, 128, 0}},
      {4, {0, 0, 128}},       {5, {128, 0, 128}},   {6, {0, 128, 128}},   {7, {192, 192, 192}},
      {248, {128, 128, 128}}, {249, {255, 0, 0}},   {250, {0, 255, 0}},   {251, {255, 255, 0}},
      {252, {0, 0, 255}},     {253, {255, 0, 255}}, {254, {0, 255, 255}}, {255, {255, 255, 255}}};
  for (const auto& [index, colour] : fixed) {
    table[index] = colour;
    used[index] = true;
  }
  int occupied = 16;
  for (const TPicture* picture : pictures) {
    if (picture->Width <= 0) continue;
    for (const TRGB& colour : picture->Palette) {
      if (occupied == 256) return table;
      bool present = false;
      for (int i = 0; i < 256 && !present; ++i)
        present = used[i] && table[i] == colour;
      if (present) continue;
      const int slot = static_cast<int>(std::find(used.begin(), used.end(), false) - used.begin());
      table[slot] = colour;
      used[slot] = true;
      ++occupied;
    }
  }
  return table;
}

uint8_t NearestIndex(const TPalette& palette, TRGB colour) {
  int best = 0;
  int bestDistance = 1 << 30;
  for (int i = 0; i < 256; ++i) {
    const int dr = palette[i].R - colour.R, dg = palette[i].G - colour.G,
              db = palette[i].B - colour.B;
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
      if (d == 0) break;
    }
  }
  return static_cast<uint8_t>(best);
}

// ---- the component -------------------------------------------------------------------

void TDXImageList::Initialize(bool displayReady, const TPalette& palette) {
  if (!displayReady) throw std::runtime_error(ComponentName + " を初期化できません");
  for (int i = 0; i < Items.Count(); ++i)
    Items.Items(i).Initialize(palette);
}

void TDXImageList::Finalize() {
  for (int i = 0; i < Items.Count(); ++i)
    Items.Items(i).Finalize();
}

}  // namespace velmora
