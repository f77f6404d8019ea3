#include "sprites/FlightPath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/Random.h"

namespace velmora {
namespace {

constexpr double kPi = std::numbers::pi;

TFlightPath Path(uint8_t mode, double speed) {
  TFlightPath p;
  p.Mode = mode;
  p.Speed = speed;
  p.TurnRate = kPi / 60;
  return p;
}

TEST(FlightPathTest, AimingGivesHeadingsInAllQuadrants) {
  const TFlightPath p = Path(1, 0.25);
  EXPECT_DOUBLE_EQ(AimPath(p, 50, 50, 50, 50).AimHeading, 3 * kPi / 2);
  EXPECT_DOUBLE_EQ(AimPath(p, 50, 50, 90, 50).AimHeading, 0);
  EXPECT_DOUBLE_EQ(AimPath(p, 50, 50, 50, 90).AimHeading, kPi / 2);
  EXPECT_DOUBLE_EQ(AimPath(p, 50, 50, 10, 50).AimHeading, kPi);
  EXPECT_DOUBLE_EQ(AimPath(p, 50, 50, 50, 10).AimHeading, 3 * kPi / 2);
  EXPECT_DOUBLE_EQ(AimPath(p, 50, 50, 10, 90).AimHeading, 3 * kPi / 4);
  EXPECT_DOUBLE_EQ(AimPath(p, 50, 50, 90, 10).AimHeading, 7 * kPi / 4);

  const TFlightPath a = AimPath(p, 0, 0, 3, 4);
  EXPECT_EQ(a.Remaining, 5);
  EXPECT_EQ(a.Travel, 0);
  EXPECT_EQ(a.CurX, 0);
  EXPECT_EQ(a.TargetY, 4);

  TFlightPath fixed = Path(0, 0.25);
  fixed.AimHeading = 1.0;
  EXPECT_DOUBLE_EQ(AimPath(fixed, 0, 0, 100, 0).AimHeading, 1.0);
}

TEST(FlightPathTest, SpreadDrawsSideThenAmount) {
  TFlightPath p = Path(1, 0.25);
  p.Spread = 200;
  for (uint32_t seed : {777u, 16u}) {
    RandSeed() = seed;
    const int side = Random(2);
    const int amount = Random(200);
    const uint32_t after = RandSeed();
    RandSeed() = seed;
    const TFlightPath a = AimPath(p, 0, 0, 100, 0);
    // Aimed right, a spread to the left goes below zero and is left there.
    EXPECT_DOUBLE_EQ(a.AimHeading, side == 0 ? amount * 0.001 : -amount * 0.001) << seed;
    EXPECT_DOUBLE_EQ(a.SinH, std::sin(a.AimHeading));
    EXPECT_EQ(RandSeed(), after);
    EXPECT_EQ(side, seed == 777u ? 0 : 1);  // both sides are covered
  }
}

TEST(FlightPathTest, SpeedAdvancesWholePixelsPerStep) {
  EXPECT_EQ(StepPath(Path(2, 0.25), 16, {}).Travel, -2);  // never aimed: stays put
  for (double speed : {0.25, 0.22}) {
    TFlightPath p = AimPath(Path(2, speed), 100, 100, 200, 100);
    for (int step = 1; step <= 5; ++step) {
      p = StepPath(p, 16, {});
      EXPECT_EQ(p.CurX, 100 + 4 * step) << speed;
      EXPECT_EQ(p.CurY, 100);
      EXPECT_EQ(p.Travel, 4 * step);
    }
    EXPECT_DOUBLE_EQ(p.HeadingDeg, 0);
  }
}

TEST(FlightPathTest, StraightToTargetStopsOnItWhenDistanceGrows) {
  TFlightPath p = AimPath(Path(1, 0.25), 0, 0, 10, 0);
  p = StepPath(p, 16, {});
  EXPECT_EQ(p.CurX, 4);
  EXPECT_EQ(p.Remaining, 6);
  p = StepPath(p, 16, {});
  EXPECT_EQ(p.CurX, 8);
  // 12 is as far from the target as 8 was: not yet moving away.
  p = StepPath(p, 16, {});
  EXPECT_EQ(p.CurX, 12);
  EXPECT_EQ(p.Remaining, 2);
  p = StepPath(p, 16, {});
  EXPECT_EQ(p.Travel, -1);
  EXPECT_EQ(p.CurX, 10);
  EXPECT_EQ(p.CurY, 0);
  EXPECT_EQ(p.Remaining, 0);
  EXPECT_EQ(StepPath(p, 16, {}).CurX, 10);
}

TEST(FlightPathTest, StraightThroughKeepsFlyingAlongTheLine) {
  TFlightPath p = AimPath(Path(2, 0.25), 0, 0, 30, 40);
  for (int i = 0; i < 30; ++i)
    p = StepPath(p, 16, {});
  // 120 px along the 3-4-5 line, well past the target at 50.
  EXPECT_EQ(p.Travel, 120);
  EXPECT_EQ(p.CurX, 72);
  EXPECT_EQ(p.CurY, 96);
}

TEST(FlightPathTest, HomingTurnsByTurnRateTowardsTheTarget) {
  TFlightPath p = AimPath(Path(3, 0.25), 100, 100, 0, 0);
  p.TurnRate = kPi / 150;
  p.Heading = 0;
  // Dead behind: delta is exactly pi and the turn is positive.
  TFlightPath behind = StepPath(p, 16, {50, 100});
  EXPECT_DOUBLE_EQ(behind.AimHeading, kPi);
  EXPECT_DOUBLE_EQ(behind.Heading, kPi / 150);
  EXPECT_EQ(behind.CurX, 104);
  EXPECT_EQ(behind.CurY, 100);

  // Above (up is 3pi/2): the short way is negative, wrapping below zero to near 2pi.
  TFlightPath above = StepPath(p, 16, {100, 0});
  EXPECT_NEAR(above.Heading, 2 * kPi - kPi / 150, 1e-12);
  EXPECT_NEAR(above.HeadingDeg, 358.8, 1e-9);

  // Straight ahead: no turn at all.
  EXPECT_DOUBLE_EQ(StepPath(p, 16, {300, 100}).Heading, 0);

  // Turning past 2pi wraps to the bottom of the range.
  p.Heading = 2 * kPi - 0.001;
  EXPECT_NEAR(StepPath(p, 16, {200, 101}).Heading, kPi / 150 - 0.001, 1e-12);
}

TEST(FlightPathTest, CornersOverlapNeedsACornerInside) {
  const TRect a{0, 0, 10, 10};
  EXPECT_TRUE(CornersOverlap(a, {5, 5, 15, 15}));
  EXPECT_TRUE(CornersOverlap(a, {2, 2, 4, 4}));  // b inside a
  EXPECT_TRUE(CornersOverlap({2, 2, 4, 4}, a));  // a inside b
  EXPECT_FALSE(CornersOverlap(a, {20, 20, 30, 30}));
  // A plus sign: the bars cross but neither holds a corner of the other.
  EXPECT_FALSE(CornersOverlap({0, 4, 10, 6}, {4, 0, 6, 10}));
  // Sharing the right edge: a's right corners lie on b's inclusive left edge.
  EXPECT_TRUE(CornersOverlap(a, {10, 0, 20, 10}));
  EXPECT_TRUE(CornersOverlap({10, 0, 20, 10}, a));
  // Sharing only the bottom-right corner point.
  EXPECT_TRUE(CornersOverlap(a, {10, 10, 20, 20}));
  EXPECT_FALSE(CornersOverlap(a, {11, 0, 20, 10}));
}

TEST(FlightPathTest, HeadingFrameRoundsAndWraps) {
  EXPECT_EQ(HeadingFrame(8, 0), 0);
  EXPECT_EQ(HeadingFrame(8, 360), 0);
  EXPECT_EQ(HeadingFrame(8, 22), 0);  // 0.5 rounds to even
  EXPECT_EQ(HeadingFrame(8, 23), 1);
  EXPECT_EQ(HeadingFrame(8, 44), 1);
  EXPECT_EQ(HeadingFrame(8, 66), 2);  // 1.5 rounds to even
  EXPECT_EQ(HeadingFrame(8, 308), 7);
  EXPECT_EQ(HeadingFrame(8, 330), 0);  // 7.5 rounds to 8, which wraps
  EXPECT_EQ(HeadingFrame(8, 359), 0);
  EXPECT_EQ(HeadingFrame(360, 90), 0);  // a zero divisor gives no frame, not garbage
}

}  // namespace
}  // namespace velmora
