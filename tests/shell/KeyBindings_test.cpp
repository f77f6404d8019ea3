// The player's keys in the running game: read from [Keys], fed to the key flags, the key
// table and the text screens, changed through キー設定 and kept.
#include <gtest/gtest.h>

#include "shell/ShellFixture.h"

namespace velmora {
namespace {

class KeyBindingsTest : public ShellTest {
 protected:
  void StartWith(const std::string& keysSection) {
    WriteFile(Ini(), "[Options]\nSound=0\nMusic=0\n\n[Keys]\n" + keysSection);
    Start();
  }
  std::string Flags() const {
    std::string out;
    if (Form->KeyUp) out += "U";
    if (Form->KeyDown) out += "D";
    if (Form->KeyLeft) out += "L";
    if (Form->KeyRight) out += "R";
    if (Form->KeySpace) out += "F";
    if (Form->KeyEnter) out += "S";
    return out;
  }
};

TEST_F(KeyBindingsTest, RemappedKeysFeedTheSixFlagsAndTheKeyTable) {
  StartWith("Fire=A,S\nUp=W\nSupport=Q\n");
  Press('A', true);
  EXPECT_EQ(Flags(), "F");
  Press('S', true);
  Press('A', false);
  EXPECT_EQ(Flags(), "F");  // S still holds it
  Press('S', false);
  EXPECT_EQ(Flags(), "");
  Press(' ', true);  // Space is nobody's now
  Press('Z', true);
  EXPECT_EQ(Flags(), "");
  Press(' ', false);
  Press('Z', false);
  Press('W', true);
  Press('Q', true);
  EXPECT_EQ(Flags(), "US");
  Press('W', false);
  Press('Q', false);
  // Actions left alone steer as they always did: the cursor key, not the letter.
  Press('J', true);
  EXPECT_EQ(Flags(), "");
  Press(0x28, true);
  EXPECT_EQ(Flags(), "D");
  Press(0x28, false);
  Press('J', false);

  EXPECT_EQ(Form->DXInput.KeyAssigns[isButton1], (std::array<int, 3>{'A', 'S', 0}));
  EXPECT_EQ(Form->DXInput.KeyAssigns[isUp], (std::array<int, 3>{'W', 0, 0}));
  EXPECT_EQ(Form->DXInput.KeyAssigns[isButton9], (std::array<int, 3>{0x71, 0, 0}));
  // The title goes on with the new fire key only.
  Machine.Input.Keys['Z'] = true;
  Tick();
  EXPECT_EQ(Form->SceneState, ssTitle);
  Machine.Input.Keys['Z'] = false;
  Machine.Input.Keys['A'] = true;
  Tick();
  EXPECT_EQ(Form->SceneState, ssMenu);
}

TEST_F(KeyBindingsTest, PauseFollowsItsKeysAndTextScreensStillGoOnWithSpace) {
  StartWith("Fire=A\nPause=G\n");
  ASSERT_EQ(Form->SceneState, ssTitle);
  Press('P', true);
  Press('P', false);
  EXPECT_FALSE(Form->GamePause->Checked);
  Press('G', true);
  Press('G', false);
  EXPECT_TRUE(Form->GamePause->Checked);
  Press('G', true);
  Press('G', false);
  EXPECT_FALSE(Form->GamePause->Checked);

  // Space fires nothing now, but the title still gives way to it.
  Press(' ', true);
  Tick();
  Press(' ', false);
  Tick();
  EXPECT_EQ(Form->SceneState, ssMenu);
}

TEST_F(KeyBindingsTest, DamagedLinesAreLoggedAndOldFilesStayAsTheyWere) {
  StartWith("Fire=Blorp\nSupport=F1\n");
  EXPECT_EQ(Form->KeyBindings, TKeyBindings::Defaults());
  const std::string log = ReadFile(Dir.Path + "/ERRORS.LOG");
  EXPECT_NE(log.find("Fire=Blorp"), std::string::npos) << log;
  EXPECT_NE(log.find("Support=F1"), std::string::npos) << log;

  // A file from before the section: today's keys, and closing adds no section.
  Form.reset();
  WriteFile(Ini(), "[Options]\nSound=0\nMusic=0\n");
  std::filesystem::remove(Dir.Path + "/ERRORS.LOG");
  Start();
  EXPECT_EQ(Form->KeyBindings, TKeyBindings::Defaults());
  Form->FormCloseQuery();
  EXPECT_EQ(ReadFile(Ini()).find("[Keys]"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Dir.Path + "/ERRORS.LOG"));
}

TEST_F(KeyBindingsTest, TheDialogsChoiceIsUsedAtOnceAndKeptForTheNextStart) {
  WriteFile(Ini(), "[Options]\nSound=0\nMusic=0\n");
  Start();
  Answer({"cancel"});
  Choose("KeyBindings");
  EXPECT_EQ(ReadFile(Ini()).find("[Keys]"), std::string::npos);
  Answer({"keys:Fire=A;PadFire=X"});
  Choose("KeyBindings");
  EXPECT_EQ(Form->DXInput.KeyAssigns[isButton1], (std::array<int, 3>{'A', 0, 0}));
  const std::string ini = ReadFile(Ini());
  EXPECT_NE(ini.find("[Keys]\nUp=K,Up,Num8\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Fire=A\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("PadFire=X\n"), std::string::npos) << ini;

  Form.reset();
  Start();
  EXPECT_EQ(Form->KeyBindings.Keys[kaFire], (TKeyList{'A', 0, 0}));
  EXPECT_EQ(Form->KeyBindings.Pad[kaFire][0], (TPadInput{TPadInput::Button, 2}));
}

}  // namespace
}  // namespace velmora
