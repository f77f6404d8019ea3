#include "engine/KeyBindings.h"

#include <gtest/gtest.h>

#include <map>

#include "engine/Input.h"

namespace velmora {
namespace {

// Reads a [Keys] section given as its lines.
TKeyBindings Read(const std::map<std::string, std::string>& lines,
                  std::vector<std::string>* problems = nullptr) {
  std::vector<std::string> found;
  TKeyBindings b = ReadKeyBindings(
      [&](const std::string& key) -> std::optional<std::string> {
        auto it = lines.find(key);
        if (it == lines.end()) return std::nullopt;
        return it->second;
      },
      found);
  if (problems) *problems = found;
  return b;
}

TEST(KeyNames, EveryNamedKeyAndPadInputReadsBackAndUnknownNamesAreRefused) {
  int named = 0;
  for (int vk = 1; vk < 256; ++vk) {
    const std::string name = KeyName(vk);
    if (name.empty()) continue;
    ++named;
    EXPECT_EQ(KeyFromName(name), vk) << name;
    EXPECT_EQ(name.find(','), std::string::npos) << "a name must survive the comma list";
  }
  EXPECT_GE(named, 26 + 10 + 10 + 24 + 8);
  EXPECT_EQ(KeyFromName("space"), 0x20);
  EXPECT_EQ(KeyFromName("num8"), 0x68);
  EXPECT_EQ(KeyFromName("f12"), 0x7B);
  for (const char* bad : {"", "Spacebar", "AA", "F25", "Num10", "é"})
    EXPECT_EQ(KeyFromName(bad), 0) << bad;

  for (int kind = TPadInput::Button; kind <= TPadInput::JoyButton; ++kind) {
    for (int index = 0; index < 40; ++index) {
      const TPadInput input{static_cast<TPadInput::TKind>(kind), static_cast<uint8_t>(index)};
      const std::string name = PadInputName(input);
      if (name.empty()) continue;
      EXPECT_EQ(PadInputFromName(name), input) << name;
    }
  }
  EXPECT_EQ(PadInputName({TPadInput::AxisMinus, 5}), "");  // a trigger has one way only
  EXPECT_EQ(PadInputFromName("RightTrigger"), PadInputFromName("+RightTrigger"));
  EXPECT_EQ(PadInputFromName("dpadup"), (TPadInput{TPadInput::Button, 11}));
  for (const char* bad : {"LeftX", "-LeftTrigger", "Joy0", "Joy33", "Joy01", "Joy", "C"})
    EXPECT_FALSE(PadInputFromName(bad).has_value()) << bad;
}

TEST(KeySection, TheDefaultsAreTodaysKeysAndEverythingRoundTrips) {
  const TKeyBindings d = TKeyBindings::Defaults();
  std::map<std::string, std::string> lines;
  for (const auto& [key, value] : KeyBindingEntries(d))
    lines[key] = value;
  EXPECT_EQ(lines["Fire"], "Z,Space");
  EXPECT_EQ(lines["Up"], "K,Up,Num8");
  EXPECT_EQ(lines["Pause"], "P,Pause,F12");
  EXPECT_EQ(lines["PadUp"], "DPadUp,-LeftY");
  EXPECT_EQ(lines["PadFire"], "A,Joy1");

  // The key table the game has always had, with F2 left on Button9.
  std::array<std::array<int, 3>, 36> table{};
  table[isButton9] = {0x71, 0, 0};
  d.ApplyTo(table);
  EXPECT_EQ(table[isUp], (std::array<int, 3>{0x4B, 0x26, 0x68}));
  EXPECT_EQ(table[isButton1], (std::array<int, 3>{0x5A, 0x20, 0}));
  EXPECT_EQ(table[isButton2], (std::array<int, 3>{0x58, 0x0D, 0}));
  EXPECT_EQ(table[isButton9], (std::array<int, 3>{0x71, 0, 0}));

  TKeyBindings own = d;
  own.Keys[kaFire] = {'A', 0xBC, 0x10};  // A, Comma, Shift
  own.Keys[kaPause] = {0x7B, 0, 0};
  own.Pad[kaFire] = {TPadInput{TPadInput::AxisPlus, 5}, TPadInput{TPadInput::JoyButton, 7}, {}};
  own.Pad[kaPause] = {};
  lines.clear();
  for (const auto& [key, value] : KeyBindingEntries(own))
    lines[key] = value;
  EXPECT_EQ(lines["Fire"], "A,Comma,Shift");
  EXPECT_EQ(lines["PadFire"], "RightTrigger,Joy8");
  EXPECT_EQ(lines["PadPause"], "");
  std::vector<std::string> problems;
  EXPECT_EQ(Read(lines, &problems), own);
  EXPECT_TRUE(problems.empty());

  // No section at all: today's controls, silently.
  EXPECT_EQ(Read({}, &problems), d);
  EXPECT_TRUE(problems.empty());
}

TEST(KeySection, DamagedValuesFallBackToTheirOwnDefaultAndAreReported) {
  std::vector<std::string> problems;
  const TKeyBindings d = TKeyBindings::Defaults();
  const TKeyBindings b = Read({{"Fire", "A,Blorp"},
                               {"Support", ""},
                               {"Up", " , "},
                               {"Down", "Escape"},
                               {"Left", "A1,B,C,D"},
                               {"Right", " d , D ,d"},
                               {"PadFire", "Trigger"},
                               {"PadSupport", ""}},
                              &problems);
  EXPECT_EQ(b.Keys[kaFire], d.Keys[kaFire]);
  EXPECT_EQ(b.Keys[kaSupport], d.Keys[kaSupport]);
  EXPECT_EQ(b.Keys[kaUp], d.Keys[kaUp]);
  EXPECT_EQ(b.Keys[kaDown], d.Keys[kaDown]);
  EXPECT_EQ(b.Keys[kaLeft], d.Keys[kaLeft]);
  EXPECT_EQ(b.Keys[kaRight], (TKeyList{'D', 0, 0}));  // repeats are one key
  EXPECT_EQ(b.Pad[kaFire], d.Pad[kaFire]);
  EXPECT_TRUE(b.Pad[kaSupport][0].Empty());  // a pad may be left without an input
  ASSERT_EQ(problems.size(), 6u);
  EXPECT_NE(problems[0].find("Up="), std::string::npos);
  EXPECT_NE(problems[0].find("初期設定 (K,Up,Num8)"), std::string::npos);
  EXPECT_NE(problems[3].find("Blorp"), std::string::npos);
}

TEST(KeySection, AKeyUnderTwoActionsStaysWhereTheFilePutIt) {
  std::vector<std::string> problems;
  // Support named Z; fire, on its defaults, gives it up quietly.
  TKeyBindings b = Read({{"Support", "Z"}}, &problems);
  EXPECT_EQ(b.Keys[kaSupport], (TKeyList{'Z', 0, 0}));
  EXPECT_EQ(b.Keys[kaFire], (TKeyList{0x20, 0, 0}));
  EXPECT_TRUE(problems.empty());

  // Both named it: the first keeps it, the second falls back to what is left of its own.
  b = Read({{"Fire", "X"}, {"Support", "X"}}, &problems);
  EXPECT_EQ(b.Keys[kaFire], (TKeyList{'X', 0, 0}));
  EXPECT_EQ(b.Keys[kaSupport], (TKeyList{0x0D, 0, 0}));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("Support="), std::string::npos);

  // Even its defaults taken: a shared key rather than a dead control.
  b = Read({{"Fire", "X,Enter"}, {"Support", "Enter"}}, &problems);
  EXPECT_EQ(b.Keys[kaSupport], TKeyBindings::Defaults().Keys[kaSupport]);

  b = Read({{"PadFire", "B"}, {"PadSupport", "B,Y"}}, &problems);
  EXPECT_EQ(b.Pad[kaFire][0], (TPadInput{TPadInput::Button, 1}));
  EXPECT_EQ(b.Pad[kaSupport][0], (TPadInput{TPadInput::Button, 3}));
  EXPECT_TRUE(b.Pad[kaSupport][1].Empty());
}

TEST(KeyChoice, ConflictsSwapAndNoActionIsLeftWithoutAKey) {
  TKeyBindings b = TKeyBindings::Defaults();
  EXPECT_EQ(CheckKey(b, kaFire, 'A').Check, TBindCheck::Free);
  EXPECT_EQ(CheckKey(b, kaFire, 'Z').Check, TBindCheck::Free);  // its own already
  EXPECT_EQ(CheckKey(b, kaFire, 0x1B).Check, TBindCheck::Reserved);
  EXPECT_EQ(CheckKey(b, kaFire, 0x7A).Check, TBindCheck::Reserved);
  EXPECT_EQ(CheckKey(b, kaFire, 0xFF).Check, TBindCheck::Unnamed);
  const TBindQuery q = CheckKey(b, kaFire, 'X');
  EXPECT_EQ(q.Check, TBindCheck::Conflict);
  EXPECT_EQ(q.Other, kaSupport);

  // X into fire's Z field: support gets Z in exchange.
  ASSERT_TRUE(BindKey(b, kaFire, 0, 'X'));
  EXPECT_EQ(b.Keys[kaFire], (TKeyList{'X', 0x20, 0}));
  EXPECT_EQ(b.Keys[kaSupport], (TKeyList{'Z', 0x0D, 0}));
  // An empty field takes the next place, and the other action just loses the key.
  ASSERT_TRUE(BindKey(b, kaFire, 2, 'Z'));
  EXPECT_EQ(b.Keys[kaFire], (TKeyList{'X', 0x20, 'Z'}));
  EXPECT_EQ(b.Keys[kaSupport], (TKeyList{0x0D, 0, 0}));
  // Support's last key cannot be taken without giving one back.
  const TKeyBindings before = b;
  EXPECT_FALSE(BindKey(b, kaPause, kKeysPerAction, 0x0D));  // no such field
  b.Keys[kaPause] = {'P', 0, 0};
  EXPECT_FALSE(BindKey(b, kaPause, 1, 0x0D));
  EXPECT_EQ(b.Keys[kaSupport], before.Keys[kaSupport]);
  EXPECT_TRUE(BindKey(b, kaPause, 0, 0x0D));  // swapped for P
  EXPECT_EQ(b.Keys[kaSupport], (TKeyList{'P', 0, 0}));
  // A key of its own moves to the chosen field.
  ASSERT_TRUE(BindKey(b, kaFire, 0, 'Z'));
  EXPECT_EQ(b.Keys[kaFire], (TKeyList{'Z', 0x20, 'X'}));
  EXPECT_FALSE(BindKey(b, kaFire, 0, 0x70));  // F1 stays the help's

  EXPECT_FALSE(ClearKey(b, kaSupport, 0));
  EXPECT_TRUE(ClearKey(b, kaFire, 0));
  EXPECT_EQ(b.Keys[kaFire], (TKeyList{0x20, 'X', 0}));

  // A pad input swaps with the first input the action had.
  TKeyBindings p = TKeyBindings::Defaults();
  BindPad(p, kaFire, TPadInput{TPadInput::Button, 1});
  EXPECT_EQ(p.Pad[kaFire], (TPadList{TPadInput{TPadInput::Button, 1}, {}, {}}));
  EXPECT_EQ(p.Pad[kaSupport][0], (TPadInput{TPadInput::Button, 0}));
  EXPECT_EQ(p.Pad[kaSupport][1], (TPadInput{TPadInput::JoyButton, 1}));
}

TEST(KeyChoice, OnlyChosenKeysChangeWhatSteersWithoutDirectInput) {
  TKeyBindings b = TKeyBindings::Defaults();
  // As always: the cursor keys, Space and Enter; not the letters nor the number pad.
  EXPECT_TRUE(b.FeedsFlag(kaFire, 0x20));
  EXPECT_FALSE(b.FeedsFlag(kaFire, 'Z'));
  EXPECT_TRUE(b.FeedsFlag(kaUp, 0x26));
  EXPECT_FALSE(b.FeedsFlag(kaUp, 'K'));
  EXPECT_FALSE(b.FeedsFlag(kaUp, 0x68));
  EXPECT_FALSE(b.FeedsFlag(kaPause, 'P'));
  b.Keys[kaFire] = {'A', 'Z', 0};
  EXPECT_TRUE(b.FeedsFlag(kaFire, 'A'));
  EXPECT_TRUE(b.FeedsFlag(kaFire, 'Z'));
  EXPECT_FALSE(b.FeedsFlag(kaFire, 0x20));
  EXPECT_FALSE(b.FeedsFlag(kaUp, 'K'));  // the other actions are unchanged
}

class GoOnDevice : public IInputDevice {
 public:
  bool IsForeground() const override { return true; }
  std::array<bool, 256> KeyboardState() const override { return Keys; }
  std::optional<TJoystickState> Joystick() override { return std::nullopt; }
  std::array<bool, 256> Keys{};
};

TEST(GoOnKeys, AKeyAlreadyHeldWhenNamedWaitsForItsNextPress) {
  GoOnDevice device;
  TDXInput input(device);
  input.KeyAssigns = {};
  device.Keys[0x20] = true;
  input.Poll();
  EXPECT_FALSE(input.ActiveStates.Has(isButton1));  // not a go-on key yet
  input.SetGoOnKeys({0x20, 0});
  input.Poll();
  EXPECT_FALSE(input.ActiveStates.Has(isButton1));
  device.Keys[0x20] = false;
  input.Poll();
  device.Keys[0x20] = true;
  input.Poll();
  EXPECT_TRUE(input.ActiveStates.Has(isButton1));
  input.SetGoOnKeys({0, 0});
  input.Poll();
  EXPECT_FALSE(input.ActiveStates.Has(isButton1));
}

}  // namespace
}  // namespace velmora
