// キー設定 on the desktop: the dialog's fields and questions, and a gamepad read through
// the player's bindings.
#include <SDL.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include "engine/Input.h"
#include "platform/qt/KeyBindingsDialog.h"
#include "platform/sdl/SdlJoystick.h"

namespace velmora {
namespace {

void PressKey(QWidget* target, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

TEST(KeyBindingsDialog, AFieldTakesTheKeyPressedAndConflictsAskFirst) {
  TKeyBindingsDialog dialog(nullptr, TKeyBindings::Defaults(), nullptr);
  dialog.show();
  dialog.activateWindow();
  QApplication::processEvents();
  std::vector<QString> asked, refused;
  bool swap = false;
  dialog.AskSwap = [&](const QString& q) {
    asked.push_back(q);
    return swap;
  };
  dialog.Refuse = [&](const QString& why) { refused.push_back(why); };
  EXPECT_EQ(dialog.KeyField(kaFire, 0)->text(), "Z");
  EXPECT_EQ(dialog.PadField(kaUp)->text(), "DPadUp,-LeftY");

  // A free key binds at once; Space reaches the field rather than clicking a button.
  dialog.KeyField(kaFire, 0)->click();
  EXPECT_EQ(dialog.KeyField(kaFire, 0)->text(), "キーを押す…");
  PressKey(dialog.KeyField(kaFire, 0), Qt::Key_A);
  EXPECT_EQ(dialog.Bindings().Keys[kaFire], (TKeyList{'A', 0x20, 0}));
  EXPECT_TRUE(asked.empty());

  // X belongs to support: asked, and cancelled changes nothing; answered, they swap.
  dialog.KeyField(kaFire, 0)->click();
  PressKey(&dialog, Qt::Key_X);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].toStdString(), "「X」は「支援要請」に割り当てられています。入れ替えますか？");
  EXPECT_EQ(dialog.Bindings().Keys[kaFire][0], 'A');
  swap = true;
  dialog.KeyField(kaFire, 0)->click();
  PressKey(&dialog, Qt::Key_X);
  EXPECT_EQ(dialog.Bindings().Keys[kaFire], (TKeyList{'X', 0x20, 0}));
  EXPECT_EQ(dialog.Bindings().Keys[kaSupport], (TKeyList{'A', 0x0D, 0}));

  // The window's own keys are refused; Escape only stops waiting.
  dialog.KeyField(kaPause, 0)->click();
  PressKey(&dialog, Qt::Key_F1);
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_TRUE(refused[0].startsWith("「F1」")) << refused[0].toStdString();
  dialog.KeyField(kaPause, 0)->click();
  PressKey(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog.KeyField(kaPause, 0)->text(), "P");

  // A right click empties a field, but never an action's last key.
  dialog.ClearField(dialog.KeyField(kaFire, 1));
  EXPECT_EQ(dialog.Bindings().Keys[kaFire], (TKeyList{'X', 0, 0}));
  dialog.ClearField(dialog.KeyField(kaFire, 0));
  EXPECT_EQ(refused.size(), 2u);
  EXPECT_EQ(dialog.Bindings().Keys[kaFire], (TKeyList{'X', 0, 0}));

  // A pad field takes a pad input, not a key.
  dialog.PadField(kaFire)->click();
  PressKey(&dialog, Qt::Key_Q);
  dialog.TakePad(TPadInput{TPadInput::Button, 3});
  EXPECT_EQ(dialog.Bindings().Pad[kaFire][0], (TPadInput{TPadInput::Button, 3}));
  EXPECT_EQ(dialog.Bindings().ActionOfKey('Q'), -1);

  dialog.DefaultsButton()->click();
  EXPECT_EQ(dialog.Bindings(), TKeyBindings::Defaults());
}

struct TStick : IInputDevice {
  explicit TStick(TSdlJoystick& stick) : Stick(stick) {}
  bool IsForeground() const override { return true; }
  std::array<bool, 256> KeyboardState() const override { return {}; }
  std::optional<TJoystickState> Joystick() override { return Stick.Read(); }
  TSdlJoystick& Stick;
};

TEST(SdlGamepad, AVirtualPadFiresWithTheButtonThePlayerChose) {
  if (SDL_NumJoysticks() > 0) GTEST_SKIP() << "a real joystick is attached";
  TSdlJoystick stick;
  if (!stick.Available()) GTEST_SKIP() << "no SDL joystick support";
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "Velmora test pad";
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  ASSERT_GE(index, 0) << SDL_GetError();
  SDL_Joystick* pad = SDL_JoystickOpen(index);
  ASSERT_NE(pad, nullptr);
  // A trigger at rest; SDL may stretch a trigger's joystick axis over 0 ... 32767.
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);

  TKeyBindings b = TKeyBindings::Defaults();
  BindPad(b, kaFire, *PadInputFromName("RightShoulder"));
  BindPad(b, kaSupport, *PadInputFromName("RightTrigger"));
  BindPad(b, kaPause, *PadInputFromName("Back"));
  BindPad(b, kaUp, *PadInputFromName("-RightY"));
  stick.SetBindings(b);
  TStick device(stick);
  TDXInput input(device);
  input.Poll();
  ASSERT_TRUE(stick.IsGamepad());

  auto seen = [&] {
    input.Poll();
    std::string out;
    if (input.ActiveStates.Has(isUp)) out += "U";
    if (input.ActiveStates.Has(isButton1)) out += "1";
    if (input.ActiveStates.Has(isButton2)) out += "2";
    return out;
  };
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);  // fire no more
  EXPECT_EQ(seen(), "");
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 0);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 1);
  EXPECT_EQ(seen(), "1");
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0);
  // A trigger and a stick count past half way, as the game's dead zone has it.
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -20000);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY, -12000);
  EXPECT_EQ(seen(), "");
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY, -30000);
  EXPECT_EQ(seen(), "U2");
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY, 0);
  EXPECT_EQ(seen(), "");

  // Start no longer pauses; Back does, once per press.
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_START, 1);
  EXPECT_FALSE(stick.TakeStartPress());
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_BACK, 1);
  EXPECT_TRUE(stick.TakeStartPress());
  EXPECT_FALSE(stick.TakeStartPress());
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_START, 0);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_BACK, 0);

  // The dialog's pad field hears the first input pressed.
  EXPECT_FALSE(stick.PressedInput().has_value());
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_Y, 1);
  EXPECT_EQ(stick.PressedInput(), PadInputFromName("Y"));
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_Y, 0);

  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(index);
}

TEST(SdlGamepad, APlainJoysticksButtonsFollowTheirNumbers) {
  TKeyBindings b = TKeyBindings::Defaults();
  b.Pad[kaFire] = {TPadInput{TPadInput::JoyButton, 3}, {}, {}};
  b.Pad[kaSupport] = {TPadInput{TPadInput::JoyButton, 0}, {}, {}};
  b.Pad[kaLeft][2] = TPadInput{TPadInput::JoyButton, 5};
  TJoystickState state;
  state.X = state.Y = 32768;
  state.Buttons = 0x1 | 0x8 | 0x20;  // buttons 1, 4 and 6
  TSdlJoystick::ApplyJoyBindings(state, b);
  EXPECT_EQ(state.Buttons, 0x20u | 0x8u | 0x3u);
  EXPECT_EQ(state.X, state.AxisMin);
  state = TJoystickState{};
  state.Buttons = 0x1;  // button 1 alone: support now, not fire
  TSdlJoystick::ApplyJoyBindings(state, b);
  EXPECT_EQ(state.Buttons, 0x2u);
}

}  // namespace
}  // namespace velmora
