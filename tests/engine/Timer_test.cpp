#include <gtest/gtest.h>

#include <limits>

#include "engine/Timer.h"
#include "platform/headless/Headless.h"

namespace velmora {
namespace {

TEST(TimerTest, TellsHowLongToSleepInsteadOfSpinning) {
  THeadlessSystem system;
  TDXTimer timer(system);
  std::vector<int> lags;
  timer.OnTimer = [&](int lag) { lags.push_back(lag); };
  timer.SetEnabled(false);
  EXPECT_EQ(timer.Idle(), std::numeric_limits<uint32_t>::max());
  timer.SetEnabled(true);  // restarts the clock: the first tick is one interval away
  EXPECT_EQ(timer.Idle(), 16u);
  system.Now += 10;
  EXPECT_EQ(timer.Idle(), 6u);
  EXPECT_TRUE(lags.empty());
  system.Now += 6;
  timer.Idle();
  system.Now += 50;  // a late tick reports its lag and the next is a full interval away
  EXPECT_EQ(timer.Idle(), 16u);
  EXPECT_EQ(lags, (std::vector<int>{1, 3}));

  // A tick that sleeps (a screen transition) is followed at once by the next.
  timer.OnTimer = [&](int) { system.Sleep(300); };
  system.Now += 16;
  EXPECT_EQ(timer.Idle(), 0u);

  // In the background the timer stops and does not tick.
  timer.ApplicationDeactivated();
  system.Now += 100;
  EXPECT_EQ(timer.Idle(), std::numeric_limits<uint32_t>::max());
  timer.ApplicationActivated();
  EXPECT_EQ(timer.Idle(), 16u);
}

}  // namespace
}  // namespace velmora
