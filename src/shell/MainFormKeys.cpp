// The main form's side of the key bindings: reading [Keys] at start, the キー設定 command,
// and the key flags and text-screen keys that follow the bindings.
#include <stdexcept>
#include <string>

#include "shell/MainForm.h"
#include "shell/Settings.h"

namespace velmora {

namespace {
constexpr const char* kKeysSection = "Keys";
}  // namespace

void TMainForm::ReadKeyBindings() {
  const TIniFile ini(IniFileName());
  // A key that is absent and one written empty differ: only the first means "as always".
  constexpr const char* kAbsent = "\x01";
  std::vector<std::string> problems;
  KeyBindings = velmora::ReadKeyBindings(
      [&ini](const std::string& key) -> std::optional<std::string> {
        std::string value = ini.ReadString(kKeysSection, key, kAbsent);
        if (value == kAbsent) return std::nullopt;
        return value;
      },
      problems);
  for (const std::string& problem : problems)
    AppendErrorLog(problem);
  ApplyKeyBindings();
}

void TMainForm::ApplyKeyBindings() {
  KeyBindings.ApplyTo(DXInput.KeyAssigns);
  Platform.Input.SetPadBindings(KeyBindings);
  UpdateGoOnKeys();
}

void TMainForm::UpdateGoOnKeys() {
  // Space and Enter always leave a text screen, even when the player has given fire and
  // support other keys; a key the player gave another action keeps only that meaning.
  // In play they are nothing but what the bindings make them.
  std::array<int, 2> keys{};
  if (SceneState != ssPlay) {
    if (KeyBindings.ActionOfKey(vk::Space) < 0) keys[0] = vk::Space;
    if (KeyBindings.ActionOfKey(vk::Enter) < 0) keys[1] = vk::Enter;
  }
  DXInput.SetGoOnKeys(keys);
}

bool& TMainForm::KeyFlag(int action) {
  switch (action) {
    case kaUp:
      return KeyUp;
    case kaDown:
      return KeyDown;
    case kaLeft:
      return KeyLeft;
    case kaRight:
      return KeyRight;
    case kaFire:
      return KeySpace;
    default:
      return KeyEnter;
  }
}

void TMainForm::KeyBindingsClick() {
  TKeyBindings chosen = KeyBindings;
  if (!Platform.Dialogs.EditKeyBindings(chosen)) return;
  // Keys held while the dialog was open are let go there; their flags must not stay set.
  HeldKeys_.fill(false);
  KeyEnter = KeySpace = KeyUp = KeyDown = KeyLeft = KeyRight = false;
  KeyBindings = chosen;
  ApplyKeyBindings();
  try {
    TIniFile(IniFileName()).WriteStrings(kKeysSection, KeyBindingEntries(KeyBindings));
  } catch (const std::exception& error) {
    // The keys work for this session all the same; the player learns they were not kept.
    AppendErrorLog(error.what());
    Platform.Dialogs.MessageBox(TMessageKind::Error, "Velmora", error.what(), TMessageButtons::OK);
  }
}

}  // namespace velmora
