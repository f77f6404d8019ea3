// The sprite tree: every object on the play field is a sprite owned by one engine, which
// moves, flushes and draws the whole tree once per tick.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/ImageList.h"
#include "engine/Types.h"

namespace velmora {

class TSpriteEngine;
class IDisplay;

class TSprite {
 public:
  // Registers with the parent; every game sprite is created with the engine as its parent.
  explicit TSprite(TSprite* parent);
  virtual ~TSprite();
  TSprite(const TSprite&) = delete;
  TSprite& operator=(const TSprite&) = delete;

  // Collision handler, called once per target hit; stop keeps the query from descending
  // into the target's children.
  virtual void Collided(TSprite* other, bool& stop);
  virtual void Render();
  virtual void Advance(int moveCount);
  virtual TRect BoundsRect() const;
  // The fine collision test, asked of both sprites.
  virtual bool AcceptsHit(TSprite* other);
  // The class name, for traces.
  virtual const char* ClassName() const { return "TSprite"; }

  // Queues the sprite for deletion at the engine's next Dead pass.
  void Kill();
  int CheckCollisions();
  void SetZ(int value);
  int Z() const { return Z_; }
  int Count() const { return static_cast<int>(Children_.size()); }
  TSprite* Items(int index) const;
  // Frees every child, last first.
  void Clear();
  void MoveTree(int moveCount);
  void DrawTree();

  double WorldX() const;
  double WorldY() const;

  TSpriteEngine* Engine() const { return Engine_; }
  TSprite* Parent() const { return Parent_; }
  bool Dying() const { return Dying_; }
  const std::vector<TSprite*>& DrawOrder() const { return DrawOrder_; }

  bool Collides = true;
  bool Moves = true;
  bool Visible = true;
  bool CullToScreen = true;
  double X = 0;
  double Y = 0;
  int Width = 0;
  int Height = 0;
  // A number unique within the run, for traces.
  uint64_t Serial = 0;

 protected:
  TSpriteEngine* Engine_ = nullptr;

 private:
  friend class TSpriteEngine;
  void AddChild(TSprite* child);
  void RemoveChild(TSprite* child);
  void InsertByZ(TSprite* child);
  void TestTarget(TSprite* target);

  TSprite* Parent_ = nullptr;
  std::vector<TSprite*> Children_;
  std::vector<TSprite*> DrawOrder_;
  bool Dying_ = false;
  int Z_ = 0;
};

// Creates a sprite of one class under a parent: how the schedule names its sprites.
using TSpriteFactory = TSprite* (*)(TSprite* parent);

class TSpriteEngine : public TSprite {
 public:
  TSpriteEngine();
  ~TSpriteEngine() override;
  const char* ClassName() const override { return "TSpriteEngine"; }

  void FlushDead();
  void DrawAll();
  void SetSurface(TSurface* surface);
  TSurface* Surface() const { return Surface_; }
  TRect SurfaceRect() const { return SurfaceRect_; }

  int SpriteCount = 0;
  int HitCount = 0;
  bool HitStop = false;
  TRect HitRect;
  TSprite* HitSubject = nullptr;
  int DrawCount = 0;

 private:
  friend class TSprite;
  std::vector<TSprite*> DeadList_;
  TSurface* Surface_ = nullptr;
  TRect SurfaceRect_;
  uint64_t NextSerial_ = 1;
};

class TImageSprite : public TSprite {
 public:
  explicit TImageSprite(TSprite* parent) : TSprite(parent) {}
  const char* ClassName() const override { return "TImageSprite"; }

  void Render() override;
  void Advance(int moveCount) override;
  bool AcceptsHit(TSprite* other) override;

  // Sets the image and takes its pattern size as the sprite's box and its pattern count
  // as the animation length.
  void SetImageSized(TPictureCollectionItem* image);
  // The pattern drawn now: AnimPhase truncated plus AnimBase.
  int PatternIndex() const { return static_cast<int>(AnimPhase) + AnimBase; }
  // Where the current pattern is drawn: the box, with the pattern centred in it.
  TRect DrawRect() const;

  int AnimFrames = 0;
  bool AnimLoop = false;
  double AnimPhase = 0;
  double AnimRate = 0;
  int AnimBase = 0;
  TPictureCollectionItem* Image = nullptr;
  bool PixelTest = false;
};

class TBackgroundSprite : public TSprite {
 public:
  explicit TBackgroundSprite(TSprite* parent);
  ~TBackgroundSprite() override;
  const char* ClassName() const override { return "TBackgroundSprite"; }

  void Render() override;
  TRect BoundsRect() const override;
  bool AcceptsHit(TSprite* other) override;

  void SetMapSize(int columns, int rows);
  int MapColumns() const { return MapColumns_; }
  int MapRows() const { return MapRows_; }
  int& CellPattern(int column, int row) { return CellPattern_[column + row * MapColumns_]; }
  uint8_t& CellSolid(int column, int row) { return CellSolid_[column + row * MapColumns_]; }

  TPictureCollectionItem* Image = nullptr;
  bool Tiled = false;

 private:
  int MapColumns_ = 0;
  int MapRows_ = 0;
  std::vector<int> CellPattern_;
  std::vector<uint8_t> CellSolid_;
};

// The component on the main form: forwards Move, Dead and Draw to its engine and follows
// the display.
class TDXSpriteEngine {
 public:
  explicit TDXSpriteEngine(IDisplay& display) : DXDraw(display) {}

  void Move(int moveCount) { Engine.MoveTree(moveCount); }
  void Dead() { Engine.FlushDead(); }
  // Draws nothing while the display is not initialised.
  void Draw();
  void DisplayInitialized();
  void DisplayFinalized();

  IDisplay& DXDraw;
  TSpriteEngine Engine;
};

}  // namespace velmora
