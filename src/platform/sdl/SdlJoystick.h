// The first joystick, read through SDL's joystick subsystem alone (no SDL window, so
// the game window keeps the keyboard and the focus).
#pragma once

#include <optional>

#include "platform/Platform.h"

struct _SDL_Joystick;

namespace velmora {

class TSdlJoystick {
 public:
  TSdlJoystick();
  ~TSdlJoystick();
  TSdlJoystick(const TSdlJoystick&) = delete;
  TSdlJoystick& operator=(const TSdlJoystick&) = delete;

  // Reads device 0 now, opening it when one has been plugged in since the last call and
  // letting it go when it has been pulled out. Nothing when there is no joystick or SDL
  // could not start its joystick support.
  std::optional<TJoystickState> Read();

  bool Available() const { return Available_; }

  // SDL axes run -32768..32767; the game expects the plain 0..65535 range.
  static int AxisFromSdl(int raw) { return raw + 32768; }

 private:
  void Close();

  bool Available_ = false;
  _SDL_Joystick* Joystick_ = nullptr;
};

}  // namespace velmora
