#include "engine/Input.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

class FakeInput : public IInputDevice {
 public:
  bool IsForeground() const override { return Foreground; }
  std::array<bool, 256> KeyboardState() const override { return Keys; }
  std::optional<TJoystickState> Joystick() override { return Stick; }

  bool Foreground = true;
  std::array<bool, 256> Keys{};
  std::optional<TJoystickState> Stick;
};

class InputTest : public ::testing::Test {
 protected:
  FakeInput device_;
  TDXInput input_{device_};
};

TEST_F(InputTest, TwoKeysOfOneStateActAsOne) {
  device_.Keys[0x25] = true;  // cursor left
  device_.Keys[0x48] = true;  // H
  input_.Poll();
  EXPECT_TRUE(input_.ActiveStates.Has(isLeft));
  EXPECT_EQ(input_.ActiveStates.Bytes[0], 0x04);
  device_.Keys[0x25] = false;
  input_.Poll();
  EXPECT_TRUE(input_.ActiveStates.Has(isLeft));
  device_.Keys[0x48] = false;
  input_.Poll();
  EXPECT_TRUE(input_.ActiveStates.Empty());
  EXPECT_TRUE(input_.JoystickStates().Empty());  // no joystick attached
}

TEST_F(InputTest, StateRemovedWhileHeldWaitsForAFreshPress) {
  device_.Keys[0x58] = true;  // X: the support-bomber call
  input_.Poll();
  ASSERT_TRUE(input_.ActiveStates.Has(isButton2));
  input_.ActiveStates.Exclude(isButton2);
  input_.Poll();
  input_.Poll();
  EXPECT_FALSE(input_.ActiveStates.Has(isButton2));
  device_.Keys[0x58] = false;
  input_.Poll();
  EXPECT_FALSE(input_.ActiveStates.Has(isButton2));
  device_.Keys[0x58] = true;
  input_.Poll();
  EXPECT_TRUE(input_.ActiveStates.Has(isButton2));
}

TEST_F(InputTest, SceneChangeClearsButtonsButKeepsDirections) {
  device_.Keys[0x5A] = true;  // Z
  device_.Keys[0x26] = true;  // cursor up
  device_.Stick = TJoystickState{};
  device_.Stick->X = device_.Stick->Y = 32767;
  device_.Stick->Buttons = 0x80000000u;  // button 31
  input_.Poll();
  ASSERT_TRUE(input_.ActiveStates.Has(isButton32));
  input_.ClearButtons();
  EXPECT_EQ(input_.ActiveStates.Bytes[0], 0x01);
  for (int b = 1; b < 5; ++b)
    EXPECT_EQ(input_.ActiveStates.Bytes[b], 0) << b;
  input_.Poll();  // Z still held: it stays out
  EXPECT_FALSE(input_.ActiveStates.Has(isButton1));
}

TEST_F(InputTest, BackgroundWindowReportsNothing) {
  device_.Keys[0x5A] = true;
  device_.Stick = TJoystickState{};
  device_.Stick->Buttons = 1;
  device_.Foreground = false;
  EXPECT_TRUE(input_.KeyboardStates().Empty());
  EXPECT_TRUE(input_.JoystickStates().Empty());
  input_.Poll();
  EXPECT_TRUE(input_.ActiveStates.Empty());

  device_.Foreground = true;
  input_.Poll();
  EXPECT_TRUE(input_.ActiveStates.Has(isButton1));
  device_.Foreground = false;  // losing focus with the key held reads as a release
  input_.Poll();
  EXPECT_TRUE(input_.ActiveStates.Empty());
}

TEST_F(InputTest, JoystickAxisScalingHasADeadZone) {
  // Plain interface range 0 ... 65535: half-range 32767, 50 % dead zone 16383.
  EXPECT_EQ(ScaleJoystickAxis(32767 + 13107, 0, 65535, 50, 1000), 0);  // 40 %
  EXPECT_EQ(ScaleJoystickAxis(32767 - 13107, 0, 65535, 50, 1000), 0);
  EXPECT_EQ(ScaleJoystickAxis(32767 + 24575, 0, 65535, 50, 1000), 500);
  EXPECT_EQ(ScaleJoystickAxis(65535, 0, 65535, 50, 1000), 1000);
  EXPECT_EQ(ScaleJoystickAxis(0, 0, 65535, 50, 1000), -1000);
  // Dead zones outside 0 ... 100 are clamped; no half-range at all gives 0.
  EXPECT_EQ(ScaleJoystickAxis(-50, -100, 100, -20, 1000), -500);
  EXPECT_EQ(ScaleJoystickAxis(100, -100, 100, 150, 1000), 0);
  EXPECT_EQ(ScaleJoystickAxis(5, 0, 1, 50, 1000), 0);
}

TEST_F(InputTest, JoystickSetsDirectionsAndButtons) {
  TJoystickState s;
  s.X = 0;
  s.Y = 65535;
  device_.Stick = s;
  input_.Poll();
  EXPECT_EQ(input_.ActiveStates.Bytes[0], 0x04 | 0x02);  // Left, Down

  s.X = 65535;
  s.Y = 0;
  device_.Stick = s;
  input_.Poll();
  EXPECT_EQ(input_.ActiveStates.Bytes[0], 0x08 | 0x01);  // Right, Up

  s.X = s.Y = 32767 + 13107;  // 40 %: inside the dead zone
  device_.Stick = s;
  input_.Poll();
  EXPECT_TRUE(input_.ActiveStates.Empty());

  for (int i = 0; i < 32; ++i) {
    s.Buttons = 1u << i;
    device_.Stick = s;
    TInputStates expected;
    expected.Include(isButton1 + i);
    EXPECT_EQ(input_.JoystickStates(), expected) << i;
  }
  input_.JoystickEnabled = false;
  EXPECT_TRUE(input_.JoystickStates().Empty());
}

}  // namespace
}  // namespace velmora
