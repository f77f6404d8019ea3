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
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
    std::fprintf(stderr, "velmora: no joystick support: %s\n", SDL_GetError());
    return;
  }
  // Nobody drains SDL's event queue, so motion events must not pile up in it; the
  // state is read directly after SDL_JoystickUpdate instead.
  SDL_JoystickEventState(SDL_IGNORE);
  Available_ = true;
}

TSdlJoystick::~TSdlJoystick() {
  if (!Available_) return;
  Close();
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

void TSdlJoystick::Close() {
  if (Joystick_ != nullptr) SDL_JoystickClose(Joystick_);
  Joystick_ = nullptr;
}

std::optional<TJoystickState> TSdlJoystick::Read() {
  if (!Available_) return std::nullopt;
  // Also looks for devices that came or went.
  SDL_JoystickUpdate();
  if (Joystick_ != nullptr && !SDL_JoystickGetAttached(Joystick_)) Close();
  if (Joystick_ == nullptr) {
    if (SDL_NumJoysticks() <= 0) return std::nullopt;
    Joystick_ = SDL_JoystickOpen(0);
    if (Joystick_ == nullptr) return std::nullopt;
    SDL_JoystickUpdate();
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
  return state;
}

}  // namespace velmora
