#include "engine/Input.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velmora {

TInputStates TInputStates::operator|(const TInputStates& o) const {
  TInputStates r;
  for (size_t i = 0; i < Bytes.size(); ++i)
    r.Bytes[i] = Bytes[i] | o.Bytes[i];
  return r;
}

int ScaleJoystickAxis(int raw, int axisMin, int axisMax, int deadZone, int range) {
  deadZone = std::clamp(deadZone, 0, 100);
  const long long half = (static_cast<long long>(axisMax) - axisMin) / 2;
  const long long p = static_cast<long long>(raw) - axisMin - half;
  const long long dz = half * deadZone / 100;
  if (half - dz == 0 || std::llabs(p) <= dz) return 0;
  const long long num = (p > 0 ? p - dz : p + dz) * range;
  return static_cast<int>(std::llround(static_cast<double>(num) / static_cast<double>(half - dz)));
}

TDXInput::TDXInput(IInputDevice& device) : Device_(device) {
  KeyAssigns[isUp] = {0x4B, 0x26, 0x68};
  KeyAssigns[isDown] = {0x4A, 0x28, 0x62};
  KeyAssigns[isLeft] = {0x48, 0x25, 0x64};
  KeyAssigns[isRight] = {0x4C, 0x27, 0x66};
  KeyAssigns[isButton1] = {0x5A, 0x20, 0};
  KeyAssigns[isButton2] = {0x58, 0x0D, 0};
  KeyAssigns[isButton9] = {0x71, 0, 0};
}

TInputStates TDXInput::KeyboardStates() const {
  TInputStates s;
  if (!KeyboardEnabled || (ActiveOnly && !Device_.IsForeground())) return s;
  const std::array<bool, 256> keys = Device_.KeyboardState();
  for (int state = 0; state < InputStateCount; ++state)
    for (int key : KeyAssigns[state])
      if (key > 0 && key < 256 && keys[key]) s.Include(state);
  for (size_t i = 0; i < GoOnKeys_.size(); ++i) {
    const int key = GoOnKeys_[i];
    if (key <= 0 || key >= 256) continue;
    // Held since before it was named only if it was already down at the last reading.
    if (GoOnWaiting_[i] && (!keys[key] || !LastKeys_[key])) GoOnWaiting_[i] = false;
    if (keys[key] && !GoOnWaiting_[i]) s.Include(isButton1);
  }
  LastKeys_ = keys;
  return s;
}

void TDXInput::SetGoOnKeys(const std::array<int, 2>& keys) {
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] != GoOnKeys_[i]) GoOnWaiting_[i] = true;
    GoOnKeys_[i] = keys[i];
  }
}

TInputStates TDXInput::JoystickStates() const {
  TInputStates s;
  if (!JoystickEnabled || (ActiveOnly && !Device_.IsForeground())) return s;
  const std::optional<TJoystickState> joy = Device_.Joystick();
  if (!joy) return s;
  const int x = ScaleJoystickAxis(joy->X, joy->AxisMin, joy->AxisMax, DeadZone, Range);
  const int y = ScaleJoystickAxis(joy->Y, joy->AxisMin, joy->AxisMax, DeadZone, Range);
  if (x < 0) s.Include(isLeft);
  if (x > 0) s.Include(isRight);
  if (y < 0) s.Include(isUp);
  if (y > 0) s.Include(isDown);
  for (int i = 0; i < 32; ++i)
    if ((joy->Buttons >> i) & 1u) s.Include(isButton1 + i);
  return s;
}

void TDXInput::Apply(const TInputStates& now) {
  for (int state = 0; state < InputStateCount; ++state) {
    if (now.Has(state) && !LastRaw.Has(state)) ActiveStates.Include(state);
    if (!now.Has(state) && LastRaw.Has(state)) ActiveStates.Exclude(state);
  }
  LastRaw = now;
}

void TDXInput::ClearButtons() {
  for (int state = isButton1; state <= isButton32; ++state)
    ActiveStates.Exclude(state);
}

}  // namespace velmora
