#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Sprite.h"
#include "support/TestImages.h"

namespace velmora {
namespace {

// A sprite that records what the engine does to it.
class TProbe : public TSprite {
 public:
  TProbe(TSprite* parent, std::string name, std::vector<std::string>* log = nullptr)
      : TSprite(parent), Name(std::move(name)), Log(log) {
    Width = Height = 10;
  }
  void Render() override {
    if (Log) Log->push_back("draw " + Name);
  }
  void Advance(int) override {
    if (Log) Log->push_back("move " + Name);
    if (OnAdvance) OnAdvance();
  }
  void Collided(TSprite* other, bool&) override {
    Hits.push_back(static_cast<TProbe*>(other)->Name);
    if (KillOnHit) Kill();
  }
  std::string Name;
  std::vector<std::string>* Log;
  std::vector<std::string> Hits;
  bool KillOnHit = false;
  std::function<void()> OnAdvance;
};

class SpriteEngineTest : public ::testing::Test {
 protected:
  SpriteEngineTest() : Surface(640, 480) { Engine.SetSurface(&Surface); }
  TSurface Surface;
  TSpriteEngine Engine;
  std::vector<std::string> Log;
};

TEST_F(SpriteEngineTest, EqualDepthsStackNewestBeneathAndLowerDepthsFirst) {
  for (const char* name : {"A", "B", "C"})
    (new TProbe(&Engine, name, &Log))->SetZ(10);
  (new TProbe(&Engine, "D", &Log))->SetZ(2);
  Engine.DrawAll();
  EXPECT_EQ(Log, (std::vector<std::string>{"draw D", "draw C", "draw B", "draw A"}));

  // A depth change re-inserts beneath the siblings of the new depth.
  Log.clear();
  static_cast<TProbe*>(Engine.Items(3))->SetZ(10);
  Engine.DrawAll();
  EXPECT_EQ(Log, (std::vector<std::string>{"draw D", "draw C", "draw B", "draw A"}));
  Log.clear();
  static_cast<TProbe*>(Engine.Items(0))->SetZ(20);
  Engine.DrawAll();
  EXPECT_EQ(Log.back(), "draw A");
}

TEST_F(SpriteEngineTest, SubjectKilledOnFirstHitStillHearsEveryTarget) {
  auto* subject = new TProbe(&Engine, "S");
  subject->KillOnHit = true;
  for (const char* name : {"T1", "T2", "T3"})
    new TProbe(&Engine, name);
  auto* off = new TProbe(&Engine, "off");
  off->Collides = false;
  new TProbe(off, "child-of-off");

  EXPECT_EQ(subject->CheckCollisions(), 3);
  EXPECT_EQ(subject->Hits, (std::vector<std::string>{"T1", "T2", "T3"}));
  EXPECT_EQ(Engine.HitCount, 3);
  EXPECT_TRUE(subject->Dying());
  // A dying subject asks no more.
  EXPECT_EQ(subject->CheckCollisions(), 0);
}

TEST_F(SpriteEngineTest, BoxesThatOnlyTouchDoNotCollide) {
  auto* a = new TProbe(&Engine, "A");
  auto* b = new TProbe(&Engine, "B");
  b->X = 10;  // shares the edge x = 10
  EXPECT_EQ(a->CheckCollisions(), 0);
  b->X = 9.99;  // truncated to 9: overlaps by one column
  EXPECT_EQ(a->CheckCollisions(), 1);
  b->X = 10;
  b->Y = -10;  // corner to corner
  EXPECT_EQ(a->CheckCollisions(), 0);
}

TEST_F(SpriteEngineTest, CullingAndVisibilityDecideWhatIsDrawnAndCounted) {
  auto* shown = new TProbe(&Engine, "shown", &Log);
  auto* hidden = new TProbe(&Engine, "hidden", &Log);
  hidden->Visible = false;
  new TProbe(hidden, "under-hidden", &Log);
  auto* outside = new TProbe(&Engine, "outside", &Log);
  outside->X = 640;  // left edge on the surface's right edge: wholly off
  auto* uncull = new TProbe(&Engine, "uncull", &Log);
  uncull->X = -100;
  uncull->CullToScreen = false;
  auto* edge = new TProbe(&Engine, "edge", &Log);
  edge->X = -9.5;  // truncates to -9: one column on screen
  (void)shown;
  Engine.DrawAll();
  EXPECT_EQ(Engine.DrawCount, 3);
  EXPECT_EQ(Log, (std::vector<std::string>{"draw edge", "draw uncull", "draw shown"}));
}

TEST_F(SpriteEngineTest, MovePassSkipsNewbornsAndFlushFreesTheDead) {
  auto* a = new TProbe(&Engine, "A", &Log);
  a->OnAdvance = [&] {
    a->Kill();
    a->Kill();  // twice is harmless
    if (Engine.Count() == 1) new TProbe(&Engine, "born", &Log);
  };
  Engine.MoveTree(16);
  EXPECT_EQ(Log, (std::vector<std::string>{"move A"}));
  EXPECT_EQ(Engine.SpriteCount, 2);  // the killed sprite counts until the flush
  Engine.FlushDead();
  EXPECT_EQ(Engine.SpriteCount, 1);
  Log.clear();
  Engine.MoveTree(16);
  EXPECT_EQ(Log, (std::vector<std::string>{"move born"}));
}

TEST_F(SpriteEngineTest, ItemsOnAnEmptyListFailsWithTheIndex) {
  try {
    Engine.Items(5);
    FAIL();
  } catch (const std::out_of_range& e) {
    EXPECT_EQ(std::string(e.what()), "リストのインデックスが範囲を超えています (5)");
  }
  new TProbe(&Engine, "A");
  EXPECT_THROW(Engine.Items(1), std::out_of_range);
  Engine.Clear();
  EXPECT_EQ(Engine.SpriteCount, 0);
}

TEST(ImageSpriteTest, AnimationStopsOrWraps) {
  TSpriteEngine engine;
  TPictureCollection items;
  auto& strip = test::AddTestImage(items, "strip", 80, 10, 10, 10);

  auto* once = new TImageSprite(&engine);
  once->SetImageSized(&strip);
  once->AnimFrames = 4;
  once->AnimBase = 2;
  once->AnimRate = 10;
  once->Advance(16);
  EXPECT_EQ(once->PatternIndex(), 5);
  EXPECT_EQ(once->AnimRate, 0);
  once->AnimRate = -1;
  once->Advance(16);
  EXPECT_EQ(once->AnimPhase, 0);
  EXPECT_EQ(once->AnimRate, 0);

  auto* loop = new TImageSprite(&engine);
  loop->SetImageSized(&strip);
  loop->AnimLoop = true;
  loop->AnimPhase = 7.9;
  loop->AnimRate = 0.015;
  loop->Advance(16);
  EXPECT_NEAR(loop->AnimPhase, 0.14, 1e-9);
  loop->AnimPhase = 0.1;
  loop->AnimRate = -0.0125;
  loop->Advance(16);
  EXPECT_NEAR(loop->AnimPhase, 7.9, 1e-9);
}

TEST(ImageSpriteTest, PixelTestLooksAtOpaquePixelsOnly) {
  TSpriteEngine engine;
  TPictureCollection items;
  // A 10x10 picture whose left half is transparent (fuchsia, index 253).
  auto& half = items.Add();
  half.Picture = test::SolidPicture(10, 10, 7);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 5; ++x)
      half.Picture.Indices[y * 10 + x] = 253;
  half.SetName("half");
  half.Initialize(test::TestPalette());
  auto& solid = test::AddTestImage(items, "solid", 4, 4);

  auto* a = new TImageSprite(&engine);
  a->SetImageSized(&half);
  a->PixelTest = true;
  auto* b = new TImageSprite(&engine);
  b->SetImageSized(&solid);
  b->X = 1;  // over the transparent half only
  EXPECT_EQ(a->CheckCollisions(), 0);
  b->X = 2;  // one column reaches x = 5
  EXPECT_EQ(a->CheckCollisions(), 1);
  // Asked of both sides: the pair is tested exactly when either sets PixelTest.
  a->PixelTest = false;
  b->PixelTest = true;
  b->X = 1;
  EXPECT_EQ(a->CheckCollisions(), 0);
  b->AnimPhase = 3;  // a pattern the image does not have
  b->X = 6;
  EXPECT_EQ(a->CheckCollisions(), 0);
}

TEST(BackgroundSpriteTest, TiledMapCoversTheSurfaceAtAnyOffset) {
  TSurface surface(640, 480);
  TSpriteEngine engine;
  engine.SetSurface(&surface);
  TPictureCollection items;
  auto& tile = test::AddTestImage(items, "tile", 300, 300, 0, 0, 9);
  auto* sea = new TBackgroundSprite(&engine);
  EXPECT_FALSE(sea->Collides);
  sea->SetMapSize(1, 1);
  sea->Image = &tile;
  sea->Tiled = true;
  for (double y : {0.0, 123.4, 299.9, 1000.0, -77.0}) {
    sea->Y = y;
    sea->X = -y / 3;
    surface.Fill(0);
    engine.DrawAll();
    EXPECT_EQ(std::count(surface.Pixels().begin(), surface.Pixels().end(), 0), 0) << y;
  }
  // A negative pattern draws nothing.
  sea->CellPattern(0, 0) = -1;
  surface.Fill(0);
  engine.DrawAll();
  EXPECT_EQ(std::count(surface.Pixels().begin(), surface.Pixels().end(), 9), 0);
  // Map sizes of zero or less empty the map.
  sea->SetMapSize(3, 0);
  EXPECT_EQ(sea->MapColumns(), 0);
}

}  // namespace
}  // namespace velmora
