// The player's keys and gamepad inputs for the game's seven actions: the names they are
// stored and shown under, the rules a choice must keep, and how they fill the key table.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

enum TKeyAction : int { kaUp = 0, kaDown, kaLeft, kaRight, kaFire, kaSupport, kaPause };
constexpr int kKeyActionCount = 7;
// As wide as a row of the input component's key table.
constexpr int kKeysPerAction = 3;
constexpr int kPadInputsPerAction = 3;

// One input of a gamepad. Button and axis numbers follow SDL's game-controller order
// (the SDL layer checks that); a plain joystick's buttons count from 0.
struct TPadInput {
  enum TKind : uint8_t { None, Button, AxisPlus, AxisMinus, JoyButton };
  TKind Kind = None;
  uint8_t Index = 0;
  bool operator==(const TPadInput&) const = default;
  bool Empty() const { return Kind == None; }
};

// Game-controller buttons and axes the game names.
constexpr int kPadButtonCount = 21;  // A ... Touchpad
constexpr int kPadButtonStart = 6;
constexpr int kPadAxisCount = 6;  // LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger
constexpr int kPadFirstTrigger = 4;

using TKeyList = std::array<int, kKeysPerAction>;  // virtual-key codes, 0 = none, packed
using TPadList = std::array<TPadInput, kPadInputsPerAction>;

struct TKeyBindings {
  std::array<TKeyList, kKeyActionCount> Keys{};
  std::array<TPadList, kKeyActionCount> Pad{};

  // The controls the game has always had.
  static TKeyBindings Defaults();
  bool operator==(const TKeyBindings&) const = default;

  bool HasKey(int action, int vk) const;
  // The action holding the key (or pad input), or -1.
  int ActionOfKey(int vk) const;
  int ActionOfPad(TPadInput input) const;
  int KeyCount(int action) const;

  // Whether a key down sets the action's flag of the game record (the way the window's key
  // messages steer when the "DirectInput" option is off). An action still on its own
  // default keys answers only to the one key the window always used for it (the cursor
  // key, Space, Enter), so the letter keys keep not steering there; once the player
  // chooses its keys, all of them count.
  bool FeedsFlag(int action, int vk) const;

  // Fills the input component's key table: the directions, Button1 (fire) and Button2
  // (support) from the bindings; the other rows (F2 on Button9) are left as they are.
  void ApplyTo(std::array<std::array<int, 3>, 36>& assigns) const;
};

// The key of the settings file for an action ("Up" ... "Pause") and for its pad inputs
// ("PadUp" ...), and what the dialog calls it (上 ... 一時停止).
const char* ActionIniName(int action);
std::string ActionPadIniName(int action);
const char* ActionTitle(int action);

// Readable names of virtual-key codes ("Z", "Space", "Num8", "F12" ...): "" for a code
// without one. KeyFromName ignores letter case and answers 0 for an unknown name.
std::string KeyName(int vk);
int KeyFromName(std::string_view name);
// "A", "DPadUp", "-LeftY", "RightTrigger", "Joy3" ...; nothing for an unknown name.
std::string PadInputName(TPadInput input);
std::optional<TPadInput> PadInputFromName(std::string_view name);

// Keys the window keeps for itself (Escape leaves a paused mission and cancels, F1 opens
// the help, F11 switches the full screen); no action may take them.
bool ReservedKey(int vk);

// ---- choosing in the dialog -----------------------------------------------------------

enum class TBindCheck {
  Free,      // nobody else holds it: bind at once
  Conflict,  // another action holds it: ask, then swap or cancel
  Reserved,  // one of the window's own keys: refused
  Unnamed,   // a key without a name (it could not be stored): refused
};
struct TBindQuery {
  TBindCheck Check = TBindCheck::Free;
  int Other = -1;  // the action holding it, for a conflict
};
TBindQuery CheckKey(const TKeyBindings& b, int action, int vk);
// Puts the key into the action's slot (an empty slot appends). Another action holding it
// gets what the slot held in exchange; when the slot held nothing the other action simply
// loses it. Returns false, changing nothing, when that would leave the other action with
// no key at all.
bool BindKey(TKeyBindings& b, int action, int slot, int vk);
// Empties a key slot; refused (false) when it is the action's last key.
bool ClearKey(TKeyBindings& b, int action, int slot);
// Makes the input the action's only pad input; an action that held it gets the action's
// first former pad input in exchange, or none.
void BindPad(TKeyBindings& b, int action, TPadInput input);
void ClearPad(TKeyBindings& b, int action);

// ---- the settings file ----------------------------------------------------------------

// "Z,Space" and back. Formatting skips empty slots.
std::string FormatKeys(const TKeyList& keys);
std::string FormatPad(const TPadList& pad);

// The section as read: looks each key of the section up (nothing when absent). A missing
// action keeps its default silently (files from before the section); an unreadable one
// falls back to its default and adds a line to `problems`. A key listed under two actions
// stays with the first; the second falls back too.
using TIniLookup = std::function<std::optional<std::string>(const std::string& key)>;
TKeyBindings ReadKeyBindings(const TIniLookup& lookup, std::vector<std::string>& problems);
// Every key of the section, in a fixed order.
std::vector<std::pair<std::string, std::string>> KeyBindingEntries(const TKeyBindings& b);

}  // namespace velmora
