// The first joystick or gamepad, read through SDL's joystick and game-controller layers
// alone (no SDL window, so the game window keeps the keyboard and the focus).
//
// A gamepad SDL knows (its built-in mapping database, SDL_GAMECONTROLLERCONFIG, or the
// mappings file beside the settings) is read by its buttons' meaning: the left stick and
// the D-pad fly, A (south) fires, B (east) calls support, Start pauses. Any other joystick
// reads as it always has: X, Y, Z and buttons 1 to 32, and its first hat flies too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"

struct _SDL_Joystick;
struct _SDL_GameController;

namespace velmora {

class TSdlJoystick {
 public:
  // The mappings file a player may put beside the settings, in SDL's text format.
  static constexpr const char* kMappingsFileName = "gamecontrollerdb.txt";

  TSdlJoystick();
  ~TSdlJoystick();
  TSdlJoystick(const TSdlJoystick&) = delete;
  TSdlJoystick& operator=(const TSdlJoystick&) = delete;

  // Adds the gamepad mappings of a file; returns how many, or -1 when it cannot be read
  // (a missing file is normal: most players never make one).
  int AddMappingsFile(const std::string& path);

  // Reads device 0 now, opening it when one has been plugged in since the last call and
  // letting it go when it has been pulled out. Nothing when there is no joystick or SDL
  // could not start its joystick support.
  std::optional<TJoystickState> Read();
  // Whether a gamepad's Start has been pressed since the last call. Asked also while the
  // frames stand still (paused), so that Start can end the pause it began.
  bool TakeStartPress();

  bool Available() const { return Available_; }
  bool IsGamepad() const { return Controller_ != nullptr; }

  // SDL axes run -32768..32767; the game expects the plain 0..65535 range.
  static int AxisFromSdl(int raw) { return raw + 32768; }
  // A pushed hat or D-pad (SDL's hat bits: up 1, right 2, down 4, left 8) deflects the
  // stick fully that way, whatever the stick itself says.
  static void ApplyHat(TJoystickState& state, uint8_t hat);
  // What the game sees of a gamepad: the left stick (SDL values), the D-pad as hat bits,
  // A as button 1 and B as button 2.
  static TJoystickState GamepadState(int leftX, int leftY, uint8_t dpad, bool a, bool b);

 private:
  // Looks for devices that came or went; false when none is open.
  bool Update();
  void NoteStart();
  void Close();

  bool Available_ = false;
  _SDL_Joystick* Joystick_ = nullptr;
  _SDL_GameController* Controller_ = nullptr;
  bool StartDown_ = false;
  bool StartPressed_ = false;
};

}  // namespace velmora
