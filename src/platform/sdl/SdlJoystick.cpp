#include "platform/sdl/SdlJoystick.h"

#include <SDL.h>

#include <cstdio>

namespace velmora {

TSdlJoystick::TSdlJoystick() {
  // Without an SDL window SDL would otherwise think the program is always in the
  // background and drop joystick input; whether the game listens is decided elsewhere.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  // The program handles SIGINT and SIGTERM itself (an orderly close that keeps the settings).
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The game-controller layer reads its database and SDL_GAMECONTROLLERCONFIG here.
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) != 0) {
    std::fprintf(stderr, "velmora: no joystick support: %s\n", SDL_GetError());
    return;
  }
  // Nobody drains SDL's event queue, so motion events must not pile up in it; the
  // state is read directly after SDL_JoystickUpdate instead.
  SDL_JoystickEventState(SDL_IGNORE);
  SDL_GameControllerEventState(SDL_IGNORE);
  Available_ = true;
}

TSdlJoystick::~TSdlJoystick() {
  if (!Available_) return;
  Close();
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
}

int TSdlJoystick::AddMappingsFile(const std::string& path) {
  if (!Available_) return -1;
  SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
  if (file == nullptr) return -1;
  const int added = SDL_GameControllerAddMappingsFromRW(file, 1);
  if (added < 0) std::fprintf(stderr, "velmora: %s: %s\n", path.c_str(), SDL_GetError());
  return added;
}

void TSdlJoystick::Close() {
  if (Controller_ != nullptr) {
    SDL_GameControllerClose(Controller_);
  } else if (Joystick_ != nullptr) {
    SDL_JoystickClose(Joystick_);
  }
  Controller_ = nullptr;
  Joystick_ = nullptr;
  StartDown_ = false;
}

bool TSdlJoystick::Update() {
  if (!Available_) return false;
  // Also looks for devices that came or went.
  SDL_JoystickUpdate();
  if (Joystick_ != nullptr && !SDL_JoystickGetAttached(Joystick_)) Close();
  if (Joystick_ == nullptr) {
    if (SDL_NumJoysticks() <= 0) return false;
    if (SDL_IsGameController(0)) {
      Controller_ = SDL_GameControllerOpen(0);
      if (Controller_ != nullptr) Joystick_ = SDL_GameControllerGetJoystick(Controller_);
    } else {
      Joystick_ = SDL_JoystickOpen(0);
    }
    if (Joystick_ == nullptr) {
      Close();
      return false;
    }
    SDL_JoystickUpdate();
    // A Start held while the pad is plugged in is not a press.
    StartDown_ = Controller_ != nullptr &&
                 SDL_GameControllerGetButton(Controller_, SDL_CONTROLLER_BUTTON_START) != 0;
  }
  return true;
}

void TSdlJoystick::NoteStart() {
  if (Controller_ == nullptr) return;
  const bool down = SDL_GameControllerGetButton(Controller_, SDL_CONTROLLER_BUTTON_START) != 0;
  if (down && !StartDown_) StartPressed_ = true;
  StartDown_ = down;
}

bool TSdlJoystick::TakeStartPress() {
  if (Update()) NoteStart();
  const bool pressed = StartPressed_;
  StartPressed_ = false;
  return pressed;
}

void TSdlJoystick::ApplyHat(TJoystickState& state, uint8_t hat) {
  if (hat & SDL_HAT_LEFT) state.X = state.AxisMin;
  if (hat & SDL_HAT_RIGHT) state.X = state.AxisMax;
  if (hat & SDL_HAT_UP) state.Y = state.AxisMin;
  if (hat & SDL_HAT_DOWN) state.Y = state.AxisMax;
}

TJoystickState TSdlJoystick::GamepadState(int leftX, int leftY, uint8_t dpad, bool a, bool b) {
  TJoystickState state;
  state.X = AxisFromSdl(leftX);
  state.Y = AxisFromSdl(leftY);
  state.Z = AxisFromSdl(0);
  ApplyHat(state, dpad);
  state.Buttons = (a ? 1u : 0u) | (b ? 2u : 0u);
  return state;
}

std::optional<TJoystickState> TSdlJoystick::Read() {
  if (!Update()) return std::nullopt;
  if (Controller_ != nullptr) {
    NoteStart();
    const auto button = [this](SDL_GameControllerButton which) {
      return SDL_GameControllerGetButton(Controller_, which) != 0;
    };
    const uint8_t dpad = (button(SDL_CONTROLLER_BUTTON_DPAD_UP) ? SDL_HAT_UP : 0) |
                         (button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) ? SDL_HAT_RIGHT : 0) |
                         (button(SDL_CONTROLLER_BUTTON_DPAD_DOWN) ? SDL_HAT_DOWN : 0) |
                         (button(SDL_CONTROLLER_BUTTON_DPAD_LEFT) ? SDL_HAT_LEFT : 0);
    return GamepadState(SDL_GameControllerGetAxis(Controller_, SDL_CONTROLLER_AXIS_LEFTX),
                        SDL_GameControllerGetAxis(Controller_, SDL_CONTROLLER_AXIS_LEFTY), dpad,
                        button(SDL_CONTROLLER_BUTTON_A), button(SDL_CONTROLLER_BUTTON_B));
  }

  TJoystickState state;
  const int axes = SDL_JoystickNumAxes(Joystick_);
  // A missing axis rests at the centre, as an absent Z does on a two-axis stick.
  auto axis = [&](int index) {
    return AxisFromSdl(index < axes ? SDL_JoystickGetAxis(Joystick_, index) : 0);
  };
  state.X = axis(0);
  state.Y = axis(1);
  state.Z = axis(2);
  state.AxisMin = 0;
  state.AxisMax = 65535;
  const int buttons = SDL_JoystickNumButtons(Joystick_);
  for (int i = 0; i < buttons && i < 32; ++i) {
    if (SDL_JoystickGetButton(Joystick_, i) != 0) state.Buttons |= uint32_t{1} << i;
  }
  if (SDL_JoystickNumHats(Joystick_) > 0) ApplyHat(state, SDL_JoystickGetHat(Joystick_, 0));
  return state;
}

}  // namespace velmora
