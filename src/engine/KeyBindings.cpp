// Key bindings: names, defaults, the rules of choosing and the [Keys] section's text.
#include "engine/KeyBindings.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "engine/Input.h"

namespace velmora {

namespace {

constexpr int kSpace = 0x20, kEnter = 0x0D, kEscape = 0x1B, kF1 = 0x70, kF11 = 0x7A;
constexpr int kCursorLeft = 0x25, kCursorUp = 0x26, kCursorRight = 0x27, kCursorDown = 0x28;

// The key each action's flag has always followed (see FeedsFlag); pause has no flag.
constexpr std::array<int, kKeyActionCount> kFlagKeys = {
    kCursorUp, kCursorDown, kCursorLeft, kCursorRight, kSpace, kEnter, 0};
// The row of the key table each action fills.
constexpr std::array<int, kKeyActionCount> kStates = {isUp,      isDown,    isLeft, isRight,
                                                      isButton1, isButton2, -1};

const std::map<int, std::string>& NamedKeys() {
  static const std::map<int, std::string> kNames = [] {
    std::map<int, std::string> m = {
        {0x08, "Backspace"},   {0x09, "Tab"},           {0x0C, "Clear"},
        {kEnter, "Enter"},     {0x10, "Shift"},         {0x11, "Ctrl"},
        {0x12, "Alt"},         {0x13, "Pause"},         {0x14, "CapsLock"},
        {0x1C, "Henkan"},      {0x1D, "Muhenkan"},      {kEscape, "Escape"},
        {kSpace, "Space"},     {0x21, "PageUp"},        {0x22, "PageDown"},
        {0x23, "End"},         {0x24, "Home"},          {kCursorLeft, "Left"},
        {kCursorUp, "Up"},     {kCursorRight, "Right"}, {kCursorDown, "Down"},
        {0x2D, "Insert"},      {0x2E, "Delete"},        {0x5D, "Apps"},
        {0x6A, "NumMultiply"}, {0x6B, "NumAdd"},        {0x6D, "NumSubtract"},
        {0x6E, "NumDecimal"},  {0x6F, "NumDivide"},     {0x90, "NumLock"},
        {0x91, "ScrollLock"},  {0xBA, "Semicolon"},     {0xBB, "Equals"},
        {0xBC, "Comma"},       {0xBD, "Minus"},         {0xBE, "Period"},
        {0xBF, "Slash"},       {0xC0, "Backquote"},     {0xDB, "LBracket"},
        {0xDC, "Backslash"},   {0xDD, "RBracket"},      {0xDE, "Quote"}};
    for (int c = 'A'; c <= 'Z'; ++c)
      m[c] = std::string(1, static_cast<char>(c));
    for (int c = '0'; c <= '9'; ++c)
      m[c] = std::string(1, static_cast<char>(c));
    for (int n = 0; n <= 9; ++n)
      m[0x60 + n] = "Num" + std::to_string(n);
    for (int n = 1; n <= 24; ++n)
      m[0x6F + n] = "F" + std::to_string(n);
    return m;
  }();
  return kNames;
}

constexpr const char* kPadButtons[kPadButtonCount] = {"A",
                                                      "B",
                                                      "X",
                                                      "Y",
                                                      "Back",
                                                      "Guide",
                                                      "Start",
                                                      "LeftStick",
                                                      "RightStick",
                                                      "LeftShoulder",
                                                      "RightShoulder",
                                                      "DPadUp",
                                                      "DPadDown",
                                                      "DPadLeft",
                                                      "DPadRight",
                                                      "Misc1",
                                                      "Paddle1",
                                                      "Paddle2",
                                                      "Paddle3",
                                                      "Paddle4",
                                                      "Touchpad"};
constexpr const char* kPadAxes[kPadAxisCount] = {"LeftX",  "LeftY",       "RightX",
                                                 "RightY", "LeftTrigger", "RightTrigger"};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
    ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
    --e;
  return std::string(s.substr(b, e - b));
}

std::vector<std::string> SplitNames(const std::string& value) {
  std::vector<std::string> names;
  size_t start = 0;
  for (;;) {
    const size_t comma = value.find(',', start);
    std::string name = Trim(std::string_view(value).substr(start, comma - start));
    if (!name.empty()) names.push_back(std::move(name));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return names;
}

template <typename List, typename T>
void Remove(List& list, const T& item, const T& none) {
  auto end = std::remove(list.begin(), list.end(), item);
  std::fill(end, list.end(), none);
}

void PackKeys(TKeyList& keys) {
  Remove(keys, 0, 0);
}

bool Contains(const TPadList& pad, TPadInput input) {
  return std::find(pad.begin(), pad.end(), input) != pad.end();
}

}  // namespace

TKeyBindings TKeyBindings::Defaults() {
  TKeyBindings b;
  b.Keys[kaUp] = {'K', kCursorUp, 0x68};
  b.Keys[kaDown] = {'J', kCursorDown, 0x62};
  b.Keys[kaLeft] = {'H', kCursorLeft, 0x64};
  b.Keys[kaRight] = {'L', kCursorRight, 0x66};
  b.Keys[kaFire] = {'Z', kSpace, 0};
  b.Keys[kaSupport] = {'X', kEnter, 0};
  b.Keys[kaPause] = {'P', 0x13, 0x7B};  // P, Pause, F12
  using P = TPadInput;
  constexpr uint8_t kLeftX = 0, kLeftY = 1, kDPadUp = 11;
  b.Pad[kaUp] = {P{P::Button, kDPadUp}, P{P::AxisMinus, kLeftY}, P{}};
  b.Pad[kaDown] = {P{P::Button, kDPadUp + 1}, P{P::AxisPlus, kLeftY}, P{}};
  b.Pad[kaLeft] = {P{P::Button, kDPadUp + 2}, P{P::AxisMinus, kLeftX}, P{}};
  b.Pad[kaRight] = {P{P::Button, kDPadUp + 3}, P{P::AxisPlus, kLeftX}, P{}};
  b.Pad[kaFire] = {P{P::Button, 0}, P{P::JoyButton, 0}, P{}};
  b.Pad[kaSupport] = {P{P::Button, 1}, P{P::JoyButton, 1}, P{}};
  b.Pad[kaPause] = {P{P::Button, kPadButtonStart}, P{}, P{}};
  return b;
}

bool TKeyBindings::HasKey(int action, int vk) const {
  return vk != 0 && std::find(Keys[action].begin(), Keys[action].end(), vk) != Keys[action].end();
}

int TKeyBindings::ActionOfKey(int vk) const {
  for (int a = 0; a < kKeyActionCount; ++a)
    if (HasKey(a, vk)) return a;
  return -1;
}

int TKeyBindings::ActionOfPad(TPadInput input) const {
  if (input.Empty()) return -1;
  for (int a = 0; a < kKeyActionCount; ++a)
    if (Contains(Pad[a], input)) return a;
  return -1;
}

int TKeyBindings::KeyCount(int action) const {
  return static_cast<int>(
      std::count_if(Keys[action].begin(), Keys[action].end(), [](int k) { return k != 0; }));
}

bool TKeyBindings::FeedsFlag(int action, int vk) const {
  if (kFlagKeys[action] == 0) return false;
  if (Keys[action] == Defaults().Keys[action]) return vk == kFlagKeys[action];
  return HasKey(action, vk);
}

void TKeyBindings::ApplyTo(std::array<std::array<int, 3>, 36>& assigns) const {
  for (int a = 0; a < kKeyActionCount; ++a)
    if (kStates[a] >= 0) assigns[kStates[a]] = Keys[a];
}

const char* ActionIniName(int action) {
  static const char* const kNames[] = {"Up", "Down", "Left", "Right", "Fire", "Support", "Pause"};
  return kNames[action];
}

std::string ActionPadIniName(int action) {
  return std::string("Pad") + ActionIniName(action);
}

const char* ActionTitle(int action) {
  static const char* const kTitles[] = {"上", "下", "左", "右", "射撃", "支援要請", "一時停止"};
  return kTitles[action];
}

std::string KeyName(int vk) {
  const auto& names = NamedKeys();
  auto it = names.find(vk);
  return it == names.end() ? std::string() : it->second;
}

int KeyFromName(std::string_view name) {
  static const std::map<std::string, int> kCodes = [] {
    std::map<std::string, int> m;
    for (const auto& [code, text] : NamedKeys())
      m[Lower(text)] = code;
    return m;
  }();
  auto it = kCodes.find(Lower(name));
  return it == kCodes.end() ? 0 : it->second;
}

std::string PadInputName(TPadInput input) {
  switch (input.Kind) {
    case TPadInput::Button:
      return input.Index < kPadButtonCount ? kPadButtons[input.Index] : "";
    case TPadInput::AxisPlus:
    case TPadInput::AxisMinus:
      if (input.Index >= kPadAxisCount) return "";
      if (input.Index >= kPadFirstTrigger)
        return input.Kind == TPadInput::AxisPlus ? kPadAxes[input.Index] : "";
      return (input.Kind == TPadInput::AxisPlus ? "+" : "-") + std::string(kPadAxes[input.Index]);
    case TPadInput::JoyButton:
      return input.Index < 32 ? "Joy" + std::to_string(input.Index + 1) : "";
    case TPadInput::None:
      break;
  }
  return "";
}

std::optional<TPadInput> PadInputFromName(std::string_view name) {
  const std::string lower = Lower(name);
  for (int i = 0; i < kPadButtonCount; ++i)
    if (lower == Lower(kPadButtons[i]))
      return TPadInput{TPadInput::Button, static_cast<uint8_t>(i)};
  for (int i = 0; i < kPadAxisCount; ++i) {
    const std::string axis = Lower(kPadAxes[i]);
    const auto index = static_cast<uint8_t>(i);
    if (i >= kPadFirstTrigger) {
      // A trigger only ever pushes one way.
      if (lower == axis || lower == "+" + axis) return TPadInput{TPadInput::AxisPlus, index};
    } else if (lower == "+" + axis) {
      return TPadInput{TPadInput::AxisPlus, index};
    } else if (lower == "-" + axis) {
      return TPadInput{TPadInput::AxisMinus, index};
    }
  }
  if (lower.size() >= 4 && lower.size() <= 5 && lower.compare(0, 3, "joy") == 0 &&
      std::all_of(lower.begin() + 3, lower.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    const int n = std::stoi(lower.substr(3));
    if (n >= 1 && n <= 32 && lower[3] != '0')
      return TPadInput{TPadInput::JoyButton, static_cast<uint8_t>(n - 1)};
  }
  return std::nullopt;
}

bool ReservedKey(int vk) {
  return vk == kEscape || vk == kF1 || vk == kF11;
}

// ---- choosing --------------------------------------------------------------------------

TBindQuery CheckKey(const TKeyBindings& b, int action, int vk) {
  if (ReservedKey(vk)) return {TBindCheck::Reserved, -1};
  if (KeyName(vk).empty()) return {TBindCheck::Unnamed, -1};
  const int other = b.ActionOfKey(vk);
  if (other >= 0 && other != action) return {TBindCheck::Conflict, other};
  return {};
}

bool BindKey(TKeyBindings& b, int action, int slot, int vk) {
  if (slot < 0 || slot >= kKeysPerAction || ReservedKey(vk) || KeyName(vk).empty()) return false;
  TKeyList& own = b.Keys[action];
  // An empty field adds the key after the ones the action has.
  slot = std::min(slot, b.KeyCount(action));
  const int old = slot < kKeysPerAction ? own[slot] : 0;
  const int other = b.ActionOfKey(vk);
  if (other == action) {
    // Already the action's: it only moves to the chosen field.
    auto at = std::find(own.begin(), own.end(), vk);
    if (slot < b.KeyCount(action)) std::iter_swap(at, own.begin() + slot);
    return true;
  }
  if (other >= 0) {
    TKeyList theirs = b.Keys[other];
    std::replace(theirs.begin(), theirs.end(), vk, old);
    PackKeys(theirs);
    if (theirs[0] == 0) return false;
    b.Keys[other] = theirs;
  }
  own[slot] = vk;
  PackKeys(own);
  return true;
}

bool ClearKey(TKeyBindings& b, int action, int slot) {
  if (slot < 0 || slot >= kKeysPerAction || b.Keys[action][slot] == 0 || b.KeyCount(action) <= 1)
    return false;
  b.Keys[action][slot] = 0;
  PackKeys(b.Keys[action]);
  return true;
}

void BindPad(TKeyBindings& b, int action, TPadInput input) {
  if (input.Empty()) return;
  const TPadInput old = b.Pad[action][0];
  const int other = b.ActionOfPad(input);
  if (other >= 0 && other != action) {
    TPadList& theirs = b.Pad[other];
    const TPadInput given = old.Empty() || Contains(theirs, old) ? TPadInput{} : old;
    std::replace(theirs.begin(), theirs.end(), input, given);
    Remove(theirs, TPadInput{}, TPadInput{});
  }
  b.Pad[action] = {input, TPadInput{}, TPadInput{}};
}

void ClearPad(TKeyBindings& b, int action) {
  b.Pad[action] = {};
}

// ---- the settings file -----------------------------------------------------------------

std::string FormatKeys(const TKeyList& keys) {
  std::string out;
  for (int vk : keys) {
    const std::string name = KeyName(vk);
    if (name.empty()) continue;
    out += (out.empty() ? "" : ",") + name;
  }
  return out;
}

std::string FormatPad(const TPadList& pad) {
  std::string out;
  for (TPadInput input : pad) {
    const std::string name = PadInputName(input);
    if (name.empty()) continue;
    out += (out.empty() ? "" : ",") + name;
  }
  return out;
}

namespace {

// The keys of one value, or the reason it cannot be used.
std::optional<TKeyList> ParseKeys(const std::string& value, std::string& why) {
  TKeyList keys{};
  int count = 0;
  const std::vector<std::string> names = SplitNames(value);
  if (names.empty()) {
    why = "キーがありません";
    return std::nullopt;
  }
  for (const std::string& name : names) {
    const int vk = KeyFromName(name);
    if (vk == 0) {
      why = "'" + name + "' というキーはありません";
      return std::nullopt;
    }
    if (ReservedKey(vk)) {
      why = name + " はウィンドウが使うキーです";
      return std::nullopt;
    }
    if (std::find(keys.begin(), keys.end(), vk) != keys.end()) continue;
    if (count == kKeysPerAction) {
      why = "キーは3つまでです";
      return std::nullopt;
    }
    keys[count++] = vk;
  }
  return keys;
}

std::optional<TPadList> ParsePad(const std::string& value, std::string& why) {
  TPadList pad{};
  int count = 0;
  for (const std::string& name : SplitNames(value)) {
    const std::optional<TPadInput> input = PadInputFromName(name);
    if (!input) {
      why = "'" + name + "' というボタンはありません";
      return std::nullopt;
    }
    if (Contains(pad, *input)) continue;
    if (count == kPadInputsPerAction) {
      why = "ボタンは3つまでです";
      return std::nullopt;
    }
    pad[count++] = *input;
  }
  return pad;
}

std::string Problem(const std::string& key, const std::string& value, const std::string& why,
                    const std::string& fallback) {
  return "Torvi.INI [Keys] " + key + "=" + value + ": " + why + "。" + fallback;
}

}  // namespace

TKeyBindings ReadKeyBindings(const TIniLookup& lookup, std::vector<std::string>& problems) {
  const TKeyBindings defaults = TKeyBindings::Defaults();
  TKeyBindings b = defaults;
  std::array<bool, kKeyActionCount> fromFile{};
  for (int a = 0; a < kKeyActionCount; ++a) {
    if (const std::optional<std::string> value = lookup(ActionIniName(a))) {
      std::string why;
      if (const std::optional<TKeyList> keys = ParseKeys(*value, why)) {
        b.Keys[a] = *keys;
        fromFile[a] = true;
      } else {
        problems.push_back(Problem(ActionIniName(a), *value, why,
                                   "初期設定 (" + FormatKeys(defaults.Keys[a]) + ") を使います"));
      }
    }
    if (const std::optional<std::string> value = lookup(ActionPadIniName(a))) {
      std::string why;
      if (const std::optional<TPadList> pad = ParsePad(*value, why)) {
        b.Pad[a] = *pad;
      } else {
        problems.push_back(Problem(ActionPadIniName(a), *value, why,
                                   "初期設定 (" + FormatPad(defaults.Pad[a]) + ") を使います"));
      }
    }
  }

  // A key under two actions stays with the one the file names it for, else with the
  // first; the other loses it, and falls back to its default keys (less those the others
  // hold) when nothing is left. Only when even those are all taken does a key serve two
  // actions: better than an action without one.
  std::vector<int> order;
  for (int pass = 0; pass < 2; ++pass)
    for (int a = 0; a < kKeyActionCount; ++a)
      if (fromFile[a] == (pass == 0)) order.push_back(a);
  for (size_t i = 1; i < order.size(); ++i) {
    const int a = order[i];
    auto heldBefore = [&](int vk) {
      for (size_t e = 0; e < i; ++e)
        if (b.HasKey(order[e], vk)) return true;
      return false;
    };
    TKeyList keys = b.Keys[a];
    bool lost = false;
    for (int& vk : keys)
      if (vk != 0 && heldBefore(vk)) vk = 0, lost = true;
    if (!lost) continue;
    PackKeys(keys);
    std::string fallback = "重複したキーを外しました";
    if (keys[0] == 0) {
      keys = defaults.Keys[a];
      for (int& vk : keys)
        if (heldBefore(vk)) vk = 0;
      PackKeys(keys);
      if (keys[0] == 0) keys = defaults.Keys[a];
      fallback = "初期設定 (" + FormatKeys(keys) + ") を使います";
    }
    if (fromFile[a])
      problems.push_back(Problem(ActionIniName(a), FormatKeys(b.Keys[a]),
                                 "ほかの操作と同じキーがあります", fallback));
    b.Keys[a] = keys;
  }
  for (int a = 1; a < kKeyActionCount; ++a)
    for (TPadInput& input : b.Pad[a])
      for (int e = 0; e < a && !input.Empty(); ++e)
        if (Contains(b.Pad[e], input)) input = TPadInput{};
  for (TPadList& pad : b.Pad)
    Remove(pad, TPadInput{}, TPadInput{});
  return b;
}

std::vector<std::pair<std::string, std::string>> KeyBindingEntries(const TKeyBindings& b) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (int a = 0; a < kKeyActionCount; ++a)
    entries.emplace_back(ActionIniName(a), FormatKeys(b.Keys[a]));
  for (int a = 0; a < kKeyActionCount; ++a)
    entries.emplace_back(ActionPadIniName(a), FormatPad(b.Pad[a]));
  return entries;
}

}  // namespace velmora
