#include "engine/Sprite.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "engine/MathUtil.h"
#include "platform/Platform.h"

namespace velmora {

// ---- TSprite -------------------------------------------------------------------------

TSprite::TSprite(TSprite* parent) : Parent_(parent) {
  if (!parent) return;
  Engine_ = parent->Engine_ ? parent->Engine_ : static_cast<TSpriteEngine*>(parent);
  parent->AddChild(this);
  ++Engine_->SpriteCount;
  Serial = Engine_->NextSerial_++;
}

TSprite::~TSprite() {
  Clear();
  if (!Parent_) return;
  --Engine_->SpriteCount;
  Parent_->RemoveChild(this);
  auto& dead = Engine_->DeadList_;
  if (Dying_) dead.erase(std::remove(dead.begin(), dead.end(), this), dead.end());
}

void TSprite::Collided(TSprite*, bool&) {}
void TSprite::Render() {}
void TSprite::Advance(int) {}

TRect TSprite::BoundsRect() const {
  const int left = BoxCoordinate(WorldX());
  const int top = BoxCoordinate(WorldY());
  return {left, top, left + Width, top + Height};
}

bool TSprite::AcceptsHit(TSprite*) {
  return true;
}

double TSprite::WorldX() const {
  return Parent_ ? Parent_->WorldX() + X : X;
}
double TSprite::WorldY() const {
  return Parent_ ? Parent_->WorldY() + Y : Y;
}

void TSprite::Kill() {
  if (!Engine_ || Dying_) return;
  Dying_ = true;
  Engine_->DeadList_.push_back(this);
}

void TSprite::AddChild(TSprite* child) {
  Children_.push_back(child);
  InsertByZ(child);
}

void TSprite::InsertByZ(TSprite* child) {
  // Before the first sibling whose Z is not lower: the newest of equal depth goes beneath.
  int low = 0, high = static_cast<int>(DrawOrder_.size()) - 1;
  while (low <= high) {
    const int mid = (low + high) / 2;
    if (DrawOrder_[mid]->Z_ - child->Z_ < 0)
      low = mid + 1;
    else
      high = mid - 1;
  }
  DrawOrder_.insert(DrawOrder_.begin() + low, child);
}

void TSprite::RemoveChild(TSprite* child) {
  Children_.erase(std::find(Children_.begin(), Children_.end(), child));
  DrawOrder_.erase(std::find(DrawOrder_.begin(), DrawOrder_.end(), child));
}

void TSprite::SetZ(int value) {
  if (Z_ == value) return;
  Z_ = value;
  if (!Parent_) return;
  auto& order = Parent_->DrawOrder_;
  order.erase(std::find(order.begin(), order.end(), this));
  Parent_->InsertByZ(this);
}

TSprite* TSprite::Items(int index) const {
  if (Children_.empty())
    throw std::out_of_range("リストのインデックスが範囲を超えています (" + std::to_string(index) +
                            ")");
  if (index < 0 || index >= Count())
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  return Children_[index];
}

void TSprite::Clear() {
  while (!Children_.empty())
    delete Children_.back();
}

void TSprite::MoveTree(int moveCount) {
  if (!Moves) return;
  Advance(moveCount);
  // Sprites created during the pass wait for the next tick; killed ones keep their index.
  const int count = Count();
  for (int i = 0; i < count; ++i)
    Children_[i]->MoveTree(moveCount);
}

int TSprite::CheckCollisions() {
  if (!Engine_ || Dying_ || !Collides) return 0;
  TSpriteEngine& e = *Engine_;
  e.HitCount = 0;
  e.HitStop = false;
  e.HitRect = BoundsRect();
  e.HitSubject = this;
  const int count = e.Count();
  for (int i = 0; i < count; ++i)
    TestTarget(e.Children_[i]);
  return e.HitCount;
}

void TSprite::TestTarget(TSprite* target) {
  if (!target->Collides) return;
  TSpriteEngine& e = *Engine_;
  if (target != this && OverlapRect(target->BoundsRect(), e.HitRect) && AcceptsHit(target) &&
      target->AcceptsHit(this)) {
    ++e.HitCount;
    Collided(target, e.HitStop);
    if (!Collides || Dying_) e.HitStop = true;
  }
  if (e.HitStop) return;
  const int count = target->Count();
  for (int i = 0; i < count; ++i)
    TestTarget(target->Children_[i]);
}

void TSprite::DrawTree() {
  if (!Visible) return;
  if (Engine_) {
    if (!CullToScreen || OverlapRect(Engine_->SurfaceRect(), BoundsRect())) {
      Render();
      ++Engine_->DrawCount;
    }
  }
  for (TSprite* child : DrawOrder_)
    child->DrawTree();
}

// ---- TSpriteEngine -------------------------------------------------------------------

TSpriteEngine::TSpriteEngine() : TSprite(nullptr) {}

TSpriteEngine::~TSpriteEngine() {
  Clear();
}

void TSpriteEngine::FlushDead() {
  while (!DeadList_.empty())
    delete DeadList_.back();
}

void TSpriteEngine::DrawAll() {
  DrawCount = 0;
  DrawTree();
}

void TSpriteEngine::SetSurface(TSurface* surface) {
  Surface_ = surface;
  if (surface) {
    SurfaceRect_ = {0, 0, surface->Width(), surface->Height()};
    Width = surface->Width();
    Height = surface->Height();
  } else {
    SurfaceRect_ = {};
  }
}

// ---- TImageSprite --------------------------------------------------------------------

void TImageSprite::SetImageSized(TPictureCollectionItem* image) {
  Image = image;
  Width = image->PatternWidthEff();
  Height = image->PatternHeightEff();
  AnimFrames = image->PatternCount();
}

void TImageSprite::Advance(int moveCount) {
  AnimPhase += AnimRate * moveCount;
  if (AnimLoop) {
    if (AnimFrames > 0) {
      AnimPhase -= static_cast<int64_t>(AnimPhase / AnimFrames) * static_cast<double>(AnimFrames);
      if (AnimPhase < 0) AnimPhase += AnimFrames;
    } else {
      AnimPhase = 0;
    }
  } else {
    if (AnimPhase >= AnimFrames) {
      AnimPhase = AnimFrames - 1;
      AnimRate = 0;
    }
    if (AnimPhase < 0) {
      AnimPhase = 0;
      AnimRate = 0;
    }
  }
}

TRect TImageSprite::DrawRect() const {
  TRect r = BoundsRect();
  const int pw = Image ? Image->PatternWidthEff() : Width;
  const int ph = Image ? Image->PatternHeightEff() : Height;
  const int dx = (Width - pw) / 2, dy = (Height - ph) / 2;
  return {r.Left + dx, r.Top + dy, r.Left + dx + pw, r.Top + dy + ph};
}

void TImageSprite::Render() {
  TSurface* surface = Engine_->Surface();
  if (!surface || !Image) return;
  const TRect r = DrawRect();
  Image->Draw(*surface, r.Left, r.Top, PatternIndex());
}

bool TImageSprite::AcceptsHit(TSprite* other) {
  auto* that = dynamic_cast<TImageSprite*>(other);
  if (!that || !PixelTest) return true;
  if (!Image || !that->Image) return false;
  const int mine = PatternIndex(), theirs = that->PatternIndex();
  if (mine < 0 || mine >= Image->PatternCount() || theirs < 0 ||
      theirs >= that->Image->PatternCount())
    return false;
  const TRect a = DrawRect(), b = that->DrawRect();
  return TPictureCollectionItem::OpaqueOverlap(*Image, mine, {a.Left, a.Top}, *that->Image, theirs,
                                               {b.Left, b.Top});
}

// ---- TBackgroundSprite ---------------------------------------------------------------

TBackgroundSprite::TBackgroundSprite(TSprite* parent) : TSprite(parent) {
  Collides = false;
}

TBackgroundSprite::~TBackgroundSprite() {
  SetMapSize(0, 0);
}

void TBackgroundSprite::SetMapSize(int columns, int rows) {
  if (columns == MapColumns_ && rows == MapRows_) return;
  if (columns <= 0 || rows <= 0) columns = rows = 0;
  MapColumns_ = columns;
  MapRows_ = rows;
  CellPattern_.assign(static_cast<size_t>(columns) * rows, 0);
  CellSolid_.assign(static_cast<size_t>(columns) * rows, 1);
}

namespace {
int Wrap(int a, int n) {
  const int r = a % n;
  return r < 0 ? r + n : r;
}
}  // namespace

void TBackgroundSprite::Render() {
  TSurface* surface = Engine_->Surface();
  if (!surface || !Image || MapColumns_ == 0 || MapRows_ == 0) return;
  const TRect cell = Image->PatternRect(0);
  const int w = cell.Width(), h = cell.Height();
  if (w <= 0 || h <= 0) return;
  const int x = static_cast<int>(WorldX()), y = static_cast<int>(WorldY());
  if (Tiled) {
    const int n = (Engine_->Width + w) / w + 1;
    const int m = (Engine_->Height + h) / h;
    const int ox = x % w, oy = y % h;
    for (int j = -1; j <= m + 1; ++j) {
      for (int i = -1; i <= n; ++i) {
        const int c = Wrap(i - x / w, MapColumns_), r = Wrap(j - y / h, MapRows_);
        const int pattern = CellPattern(c, r);
        if (pattern >= 0) Image->Draw(*surface, i * w + ox, j * h + oy, pattern);
      }
    }
  } else {
    for (int r = 0; r < MapRows_; ++r) {
      for (int c = 0; c < MapColumns_; ++c) {
        const TRect at{x + c * w, y + r * h, x + (c + 1) * w, y + (r + 1) * h};
        const int pattern = CellPattern(c, r);
        if (pattern >= 0 && OverlapRect(at, Engine_->SurfaceRect()))
          Image->Draw(*surface, at.Left, at.Top, pattern);
      }
    }
  }
}

TRect TBackgroundSprite::BoundsRect() const {
  if (!Image) return {};
  if (Tiled) return Engine_ ? Engine_->SurfaceRect() : TRect{};
  const int x = static_cast<int>(WorldX()), y = static_cast<int>(WorldY());
  return {x, y, x + Image->PatternWidthEff() * MapColumns_,
          y + Image->PatternHeightEff() * MapRows_};
}

bool TBackgroundSprite::AcceptsHit(TSprite* other) {
  if (!Image || MapColumns_ == 0) return false;
  const int w = Image->PatternWidthEff(), h = Image->PatternHeightEff();
  const int x = static_cast<int>(WorldX()), y = static_cast<int>(WorldY());
  const TRect theirs = other->BoundsRect();
  for (int r = 0; r < MapRows_; ++r)
    for (int c = 0; c < MapColumns_; ++c)
      if (CellSolid(c, r) != 0 &&
          OverlapRect({x + c * w, y + r * h, x + (c + 1) * w, y + (r + 1) * h}, theirs))
        return true;
  return false;
}

// ---- TDXSpriteEngine -----------------------------------------------------------------

void TDXSpriteEngine::Draw() {
  if (DXDraw.Initialized()) Engine.DrawAll();
}

void TDXSpriteEngine::DisplayInitialized() {
  Engine.SetSurface(&DXDraw.BackBuffer());
}

void TDXSpriteEngine::DisplayFinalized() {
  Engine.SetSurface(nullptr);
}

}  // namespace velmora
