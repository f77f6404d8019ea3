// Logical input states built from the keyboard and the joystick.
#pragma once

#include <array>
#include <cstdint>

#include "platform/Platform.h"

namespace velmora {

// Members in order: Up, Down, Left, Right, Button1 ... Button32.
enum TInputState : int {
  isUp = 0,
  isDown,
  isLeft,
  isRight,
  isButton1,
  isButton2,
  isButton9 = isButton1 + 8,
  isButton32 = isButton1 + 31,
};
constexpr int InputStateCount = 36;

// A set of logical input states stored as 5 bytes: member k is bit (k mod 8) of byte k div 8.
class TInputStates {
 public:
  bool Has(int state) const { return (Bytes[state / 8] >> (state % 8)) & 1; }
  void Include(int state) { Bytes[state / 8] |= static_cast<uint8_t>(1u << (state % 8)); }
  void Exclude(int state) { Bytes[state / 8] &= static_cast<uint8_t>(~(1u << (state % 8))); }
  void Set(int state, bool on) { on ? Include(state) : Exclude(state); }
  bool Empty() const { return Bytes == std::array<uint8_t, 5>{}; }
  TInputStates operator|(const TInputStates& o) const;
  bool operator==(const TInputStates&) const = default;

  std::array<uint8_t, 5> Bytes{};
};

// Scales a raw axis of the plain joystick interface to -range ... +range with a dead zone in
// percent of the half-range.
int ScaleJoystickAxis(int raw, int axisMin, int axisMax, int deadZone, int range);

class TDXInput {
 public:
  explicit TDXInput(IInputDevice& device);

  // Reads the devices and applies the edge rule to ActiveStates.
  void Poll() { Apply(KeyboardStates() | JoystickStates()); }
  // The edge rule for a raw set that came from elsewhere (a replay).
  void Apply(const TInputStates& now);
  // Removes Button1 ... Button32 and keeps the directions (used on every scene change).
  void ClearButtons();

  TInputStates ActiveStates;
  TInputStates LastRaw;

  bool ActiveOnly = true;
  bool KeyboardEnabled = true;
  bool JoystickEnabled = true;
  // Up to three Windows virtual-key codes per state; 0 means none.
  std::array<std::array<int, 3>, InputStateCount> KeyAssigns{};
  int DeadZone = 50;  // percent of the half-range, clamped to 0 ... 100
  int Range = 1000;

  // Keys that also give Button1 (the text screens' "go on") though no row of the table
  // holds them; 0 means none. A key already down when it is named here counts only from
  // its next press, so the press that ended one screen does not end the next.
  void SetGoOnKeys(const std::array<int, 2>& keys);

  // The raw sets of the two devices, as Poll unites them.
  TInputStates KeyboardStates() const;
  TInputStates JoystickStates() const;

 private:
  IInputDevice& Device_;
  std::array<int, 2> GoOnKeys_{};
  mutable std::array<bool, 2> GoOnWaiting_{};
  mutable std::array<bool, 256> LastKeys_{};
};

}  // namespace velmora
