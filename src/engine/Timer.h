// The frame timer: polled from the application's idle processing, it calls OnTimer once
// Interval milliseconds have passed since the last tick. It never sleeps itself; it tells
// the caller how long it may sleep instead, so the idle loop never spins.
#pragma once

#include <cstdint>
#include <functional>

namespace velmora {

class ISystem;

class TDXTimer {
 public:
  explicit TDXTimer(ISystem& system) : System_(system) {}

  uint32_t Interval = 16;
  bool ActiveOnly = true;
  std::function<void(int lagCount)> OnTimer;
  std::function<void()> OnActivate;
  std::function<void()> OnDeactivate;

  bool Enabled() const { return Enabled_; }
  void SetEnabled(bool enabled);
  int FramesPerSecond() const { return FramesPerSecond_; }
  bool ApplicationActive() const { return Active_; }

  // One pass of the idle loop. Returns the milliseconds until the next tick is due, or
  // UINT32_MAX when the timer is stopped (sleep until something happens).
  uint32_t Idle();

  void ApplicationActivated();
  void ApplicationDeactivated();

 private:
  bool Running() const { return Enabled_ && (!ActiveOnly || Active_); }
  void Restart();

  ISystem& System_;
  bool Enabled_ = true;
  bool Active_ = true;
  uint32_t LastTick_ = 0;
  uint32_t SecondStart_ = 0;
  int Frames_ = 0;
  int FramesPerSecond_ = 0;
};

}  // namespace velmora
