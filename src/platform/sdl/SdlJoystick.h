// The first joystick or gamepad, read through SDL's joystick and game-controller layers
// alone (no SDL window, so the game window keeps the keyboard and the focus).
//
// A gamepad SDL knows (its built-in mapping database, SDL_GAMECONTROLLERCONFIG, or the
// mappings file beside the settings) is read by its buttons' meaning, through the player's
// bindings: by default the left stick and the D-pad fly, A (south) fires, B (east) calls
// support, Start pauses. Any other joystick reads as it always has: X, Y, Z and buttons
// 1 to 32, and its first hat flies too; the bindings choose which buttons fire, call
// support and pause.
#pragma once

#include <array>
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
  void SetBindings(const TKeyBindings& bindings) { Bindings_ = bindings; }

  // A gamepad's buttons and axes (SDL values) as read at one moment.
  struct TPadReading {
    std::array<bool, kPadButtonCount> Buttons{};
    std::array<int, kPadAxisCount> Axes{};
  };
  // The first pad input pressed now, for the キー設定 dialog: a gamepad's button, or its
  // axis pushed past half way; a plain joystick's button. Nothing when none is.
  std::optional<TPadInput> PressedInput();

  // SDL axes run -32768..32767; the game expects the plain 0..65535 range.
  static int AxisFromSdl(int raw) { return raw + 32768; }
  // A pushed hat or D-pad (SDL's hat bits: up 1, right 2, down 4, left 8) deflects the
  // stick fully that way, whatever the stick itself says.
  static void ApplyHat(TJoystickState& state, uint8_t hat);
  // What the game sees of a gamepad: the axes bound to directions as the stick (SDL
  // values), buttons bound to directions as a hat, fire as button 1 and support as button 2.
  static TJoystickState GamepadState(const TPadReading& pad, const TKeyBindings& bindings);
  // The same with the default bindings, from the left stick, the D-pad's hat bits, A and B.
  static TJoystickState GamepadState(int leftX, int leftY, uint8_t dpad, bool a, bool b);
  // Whether a bound input of the action is pressed (an axis past half way).
  static bool PadActionDown(const TPadReading& pad, const TKeyBindings& bindings, int action);
  // A plain joystick's raw buttons (bit i: button i) as the game sees them: fire and
  // support as buttons 1 and 2, buttons bound to directions as a hat; others as they are.
  static void ApplyJoyBindings(TJoystickState& state, const TKeyBindings& bindings);
  static bool JoyActionDown(uint32_t buttons, const TKeyBindings& bindings, int action);

 private:
  // Looks for devices that came or went; false when none is open.
  bool Update();
  TPadReading ReadPad() const;
  bool PauseDown() const;
  void NoteStart();
  void Close();
  uint32_t RawButtons() const;

  bool Available_ = false;
  _SDL_Joystick* Joystick_ = nullptr;
  _SDL_GameController* Controller_ = nullptr;
  bool StartDown_ = false;
  bool StartPressed_ = false;
  TKeyBindings Bindings_ = TKeyBindings::Defaults();
};

}  // namespace velmora
