#include "engine/Timer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/Platform.h"

namespace velmora {

void TDXTimer::SetEnabled(bool enabled) {
  if (enabled == Enabled_) return;
  Enabled_ = enabled;
  if (enabled) Restart();
}

void TDXTimer::Restart() {
  LastTick_ = SecondStart_ = System_.TickCount();
  Frames_ = 0;
}

uint32_t TDXTimer::Idle() {
  if (!Running()) return std::numeric_limits<uint32_t>::max();
  const uint32_t t = System_.TickCount();
  const uint32_t elapsed = t - LastTick_;
  if (elapsed < Interval) return Interval - elapsed;
  const int lag = std::max<int>(1, static_cast<int>(elapsed / std::max<uint32_t>(Interval, 1)));
  LastTick_ = t;
  ++Frames_;
  const uint32_t d = std::max<uint32_t>(t - SecondStart_, 1);
  if (d >= 1000) {
    FramesPerSecond_ = static_cast<int>(std::nearbyint(Frames_ * 1000.0 / d));
    Frames_ = 0;
    SecondStart_ = t;
  }
  if (OnTimer) OnTimer(lag);
  if (!Running()) return std::numeric_limits<uint32_t>::max();
  const uint32_t spent = System_.TickCount() - LastTick_;
  return spent >= Interval ? 0 : Interval - spent;
}

void TDXTimer::ApplicationActivated() {
  Active_ = true;
  if (OnActivate) OnActivate();
  if (Enabled_ && ActiveOnly) Restart();
}

void TDXTimer::ApplicationDeactivated() {
  Active_ = false;
  if (OnDeactivate) OnDeactivate();
}

}  // namespace velmora
