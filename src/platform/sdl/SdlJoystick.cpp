#include "platform/sdl/SdlJoystick.h"

#include <SDL.h>

#include <algorithm>
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

namespace {

// The engine numbers a gamepad's buttons and axes as SDL's game-controller layer does.
static_assert(kPadButtonCount == SDL_CONTROLLER_BUTTON_MAX);
static_assert(kPadButtonStart == SDL_CONTROLLER_BUTTON_START);
static_assert(kPadAxisCount == SDL_CONTROLLER_AXIS_MAX);
static_assert(kPadFirstTrigger == SDL_CONTROLLER_AXIS_TRIGGERLEFT);

// How far an axis input is pushed its own way: 0 ... 32768.
int Push(const TSdlJoystick::TPadReading& pad, TPadInput input) {
  const int value = pad.Axes[input.Index];
  if (input.Kind == TPadInput::AxisPlus) return std::max(value, 0);
  if (input.Kind == TPadInput::AxisMinus) return std::max(-value, 0);
  return 0;
}

// An axis counts as pressed past half way: the game's own dead zone for its stick.
constexpr int kAxisPressed = 16384;

bool Down(const TSdlJoystick::TPadReading& pad, TPadInput input) {
  if (input.Kind == TPadInput::Button)
    return input.Index < kPadButtonCount && pad.Buttons[input.Index];
  if (input.Kind == TPadInput::AxisPlus || input.Kind == TPadInput::AxisMinus)
    return input.Index < kPadAxisCount && Push(pad, input) > kAxisPressed;
  return false;
}

// The strongest push of the axes bound to an action.
int ActionPush(const TSdlJoystick::TPadReading& pad, const TKeyBindings& b, int action) {
  int push = 0;
  for (TPadInput input : b.Pad[action])
    if ((input.Kind == TPadInput::AxisPlus || input.Kind == TPadInput::AxisMinus) &&
        input.Index < kPadAxisCount)
      push = std::max(push, Push(pad, input));
  return push;
}

bool ButtonBound(const TSdlJoystick::TPadReading& pad, const TKeyBindings& b, int action) {
  for (TPadInput input : b.Pad[action])
    if (input.Kind == TPadInput::Button && Down(pad, input)) return true;
  return false;
}

}  // namespace

bool TSdlJoystick::PadActionDown(const TPadReading& pad, const TKeyBindings& b, int action) {
  for (TPadInput input : b.Pad[action])
    if (Down(pad, input)) return true;
  return false;
}

bool TSdlJoystick::JoyActionDown(uint32_t buttons, const TKeyBindings& b, int action) {
  for (TPadInput input : b.Pad[action])
    if (input.Kind == TPadInput::JoyButton && input.Index < 32 && ((buttons >> input.Index) & 1u))
      return true;
  return false;
}

TJoystickState TSdlJoystick::GamepadState(const TPadReading& pad, const TKeyBindings& b) {
  // Axes act as the stick, so the game's dead zone applies to them as it always has;
  // buttons bound to directions push fully, as the D-pad always did, and win over it.
  TJoystickState state;
  state.X = AxisFromSdl(
      std::clamp(ActionPush(pad, b, kaRight) - ActionPush(pad, b, kaLeft), -32768, 32767));
  state.Y =
      AxisFromSdl(std::clamp(ActionPush(pad, b, kaDown) - ActionPush(pad, b, kaUp), -32768, 32767));
  state.Z = AxisFromSdl(0);
  const uint8_t hat = (ButtonBound(pad, b, kaUp) ? SDL_HAT_UP : 0) |
                      (ButtonBound(pad, b, kaRight) ? SDL_HAT_RIGHT : 0) |
                      (ButtonBound(pad, b, kaDown) ? SDL_HAT_DOWN : 0) |
                      (ButtonBound(pad, b, kaLeft) ? SDL_HAT_LEFT : 0);
  ApplyHat(state, hat);
  state.Buttons =
      (PadActionDown(pad, b, kaFire) ? 1u : 0u) | (PadActionDown(pad, b, kaSupport) ? 2u : 0u);
  return state;
}

TJoystickState TSdlJoystick::GamepadState(int leftX, int leftY, uint8_t dpad, bool a, bool b) {
  TPadReading pad;
  pad.Axes[SDL_CONTROLLER_AXIS_LEFTX] = leftX;
  pad.Axes[SDL_CONTROLLER_AXIS_LEFTY] = leftY;
  pad.Buttons[SDL_CONTROLLER_BUTTON_DPAD_UP] = dpad & SDL_HAT_UP;
  pad.Buttons[SDL_CONTROLLER_BUTTON_DPAD_RIGHT] = dpad & SDL_HAT_RIGHT;
  pad.Buttons[SDL_CONTROLLER_BUTTON_DPAD_DOWN] = dpad & SDL_HAT_DOWN;
  pad.Buttons[SDL_CONTROLLER_BUTTON_DPAD_LEFT] = dpad & SDL_HAT_LEFT;
  pad.Buttons[SDL_CONTROLLER_BUTTON_A] = a;
  pad.Buttons[SDL_CONTROLLER_BUTTON_B] = b;
  return GamepadState(pad, TKeyBindings::Defaults());
}

void TSdlJoystick::ApplyJoyBindings(TJoystickState& state, const TKeyBindings& b) {
  const uint32_t raw = state.Buttons;
  uint8_t hat = 0;
  if (JoyActionDown(raw, b, kaUp)) hat |= SDL_HAT_UP;
  if (JoyActionDown(raw, b, kaRight)) hat |= SDL_HAT_RIGHT;
  if (JoyActionDown(raw, b, kaDown)) hat |= SDL_HAT_DOWN;
  if (JoyActionDown(raw, b, kaLeft)) hat |= SDL_HAT_LEFT;
  ApplyHat(state, hat);
  state.Buttons = (raw & ~3u) | (JoyActionDown(raw, b, kaFire) ? 1u : 0u) |
                  (JoyActionDown(raw, b, kaSupport) ? 2u : 0u);
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
    // A pause input held while the pad is plugged in is not a press.
    StartDown_ = PauseDown();
  }
  return true;
}

TSdlJoystick::TPadReading TSdlJoystick::ReadPad() const {
  TPadReading pad;
  for (int i = 0; i < kPadButtonCount; ++i)
    pad.Buttons[i] =
        SDL_GameControllerGetButton(Controller_, static_cast<SDL_GameControllerButton>(i)) != 0;
  for (int i = 0; i < kPadAxisCount; ++i)
    pad.Axes[i] = SDL_GameControllerGetAxis(Controller_, static_cast<SDL_GameControllerAxis>(i));
  return pad;
}

uint32_t TSdlJoystick::RawButtons() const {
  uint32_t bits = 0;
  const int buttons = SDL_JoystickNumButtons(Joystick_);
  for (int i = 0; i < buttons && i < 32; ++i) {
    if (SDL_JoystickGetButton(Joystick_, i) != 0) bits |= uint32_t{1} << i;
  }
  return bits;
}

bool TSdlJoystick::PauseDown() const {
  if (Controller_ != nullptr) return PadActionDown(ReadPad(), Bindings_, kaPause);
  return Joystick_ != nullptr && JoyActionDown(RawButtons(), Bindings_, kaPause);
}

void TSdlJoystick::NoteStart() {
  const bool down = PauseDown();
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

std::optional<TPadInput> TSdlJoystick::PressedInput() {
  if (!Update()) return std::nullopt;
  if (Controller_ != nullptr) {
    const TPadReading pad = ReadPad();
    for (int i = 0; i < kPadButtonCount; ++i)
      if (pad.Buttons[i]) return TPadInput{TPadInput::Button, static_cast<uint8_t>(i)};
    for (int i = 0; i < kPadAxisCount; ++i) {
      const auto index = static_cast<uint8_t>(i);
      if (pad.Axes[i] > kAxisPressed) return TPadInput{TPadInput::AxisPlus, index};
      if (pad.Axes[i] < -kAxisPressed && i < kPadFirstTrigger)
        return TPadInput{TPadInput::AxisMinus, index};
    }
    return std::nullopt;
  }
  const uint32_t bits = RawButtons();
  for (int i = 0; i < 32; ++i)
    if ((bits >> i) & 1u) return TPadInput{TPadInput::JoyButton, static_cast<uint8_t>(i)};
  return std::nullopt;
}

std::optional<TJoystickState> TSdlJoystick::Read() {
  if (!Update()) return std::nullopt;
  if (Controller_ != nullptr) {
    NoteStart();
    return GamepadState(ReadPad(), Bindings_);
  }

  NoteStart();
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
  state.Buttons = RawButtons();
  if (SDL_JoystickNumHats(Joystick_) > 0) ApplyHat(state, SDL_JoystickGetHat(Joystick_, 0));
  ApplyJoyBindings(state, Bindings_);
  return state;
}

}  // namespace velmora
