// The output stage under all the game's sound: a fixed master gain, and a limiter that only
// acts on the loudest moments and never lets a sample reach full scale.
#include "platform/OutputLimiter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora {
namespace {

constexpr int kRate = 44100;

// Stereo frames of a sine at the given peak level (full scale 1.0).
std::vector<float> Sine(double seconds, double level, double hz = 220.0) {
  std::vector<float> s(static_cast<size_t>(seconds * kRate) * 2);
  for (size_t f = 0; f < s.size() / 2; ++f)
    s[2 * f] = s[2 * f + 1] = static_cast<float>(level * std::sin(2 * M_PI * hz * f / kRate));
  return s;
}

float Peak(const std::vector<float>& s, size_t from = 0) {
  float p = 0;
  for (size_t i = from; i < s.size(); ++i)
    p = std::max(p, std::abs(s[i]));
  return p;
}

TEST(OutputLimiterTest, OrdinaryLevelsOnlyTakeTheMasterGainSoVolumesKeepTheirMeaning) {
  TOutputLimiter limiter(kRate);
  // A tune at full volume and the same tune at -2000 (a tenth): under the knee both come
  // out scaled by the same gain, so they stay 20 dB apart.
  const std::vector<float> full = Sine(0.2, 1.0);
  std::vector<float> a = full, b = Sine(0.2, 0.1);
  limiter.Process(a.data(), a.size() / 2, 2);
  limiter.Process(b.data(), b.size() / 2, 2);
  for (size_t i = 0; i < a.size(); i += 97) {
    EXPECT_FLOAT_EQ(a[i], full[i] * TOutputLimiter::kMasterGain);
    EXPECT_NEAR(b[i], a[i] / 10, 1e-6);
  }
  EXPECT_FLOAT_EQ(limiter.Reduction(), 1.0f);
}

TEST(OutputLimiterTest, PilesOfSoundStayUnderFullScaleAndTheGainComesBack) {
  TOutputLimiter limiter(kRate);
  // Eight loud effects started together: four times full scale after the master gain, in
  // one channel only, with silence in the other.
  std::vector<float> loud = Sine(0.5, 8.0);
  for (size_t f = 0; f < loud.size() / 2; ++f)
    loud[2 * f + 1] = 0;
  limiter.Process(loud.data(), loud.size() / 2, 2);
  EXPECT_LT(Peak(loud), TOutputLimiter::kCeiling + 1e-6);
  EXPECT_GT(Peak(loud), TOutputLimiter::kKnee);  // bent down, not thrown away
  EXPECT_LT(limiter.Reduction(), 0.5f);

  // The music under it comes back to its own level within a second.
  std::vector<float> after = Sine(1.0, 0.5);
  limiter.Process(after.data(), after.size() / 2, 2);
  EXPECT_NEAR(Peak(after, after.size() / 2), 0.5 * TOutputLimiter::kMasterGain, 1e-3);
  EXPECT_FLOAT_EQ(limiter.Reduction(), 1.0f);
}

TEST(OutputLimiterTest, BothChannelsAreTurnedDownTogether) {
  TOutputLimiter limiter(kRate);
  // A blast on the left over a quiet tone on the right: the right side is held down by the
  // same amount, so the stereo picture does not lurch.
  std::vector<float> s(2 * 4410);
  for (size_t f = 0; f < s.size() / 2; ++f) {
    s[2 * f] = f % 2 ? 4.0f : -4.0f;
    s[2 * f + 1] = 0.2f;
  }
  limiter.Process(s.data(), s.size() / 2, 2);
  const size_t last = s.size() - 2;
  EXPECT_NEAR(std::abs(s[last]) / s[last + 1], 4.0f / 0.2f, 1e-3);
  EXPECT_LT(s[last + 1], 0.2f * TOutputLimiter::kMasterGain);
}

}  // namespace
}  // namespace velmora
