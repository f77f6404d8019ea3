#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "platform/headless/Headless.h"
#include "shell/MainForm.h"

namespace velmora {
namespace {

// A sprite that runs a piece of test code in its move step.
class THook : public TSprite {
 public:
  THook(TSprite* parent, std::function<void()> onAdvance)
      : TSprite(parent), OnAdvance(std::move(onAdvance)) {}
  void Advance(int) override { OnAdvance(); }
  std::function<void()> OnAdvance;
};

class FrameLoopTest : public ::testing::Test {
 protected:
  FrameLoopTest() : Form(Machine.Platform) {
    Form.FormCreate();
    Form.FormPaint();
  }

  // One pass of the idle loop 16 ms after the last.
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      Machine.System.Now += 16;
      Form.Idle();
    }
  }
  void Press(int key, bool down) {
    Machine.Input.Keys[key] = down;
    down ? Form.FormKeyDown(key) : Form.FormKeyUp(key);
  }
  bool Button1() const { return Form.DXInput.ActiveStates.Has(isButton1); }
  size_t InkedPixels() {
    const auto& px = Machine.Display.BackBuffer().Pixels();
    return px.size() - std::count(px.begin(), px.end(), 0);
  }

  THeadlessMachine Machine;
  TMainForm Form;
};

TEST_F(FrameLoopTest, StartsOnTheTitleOverTheScrollingSea) {
  EXPECT_EQ(Form.SceneState, ssTitle);
  // The debris pictures made at the first paint are ready before any display reset.
  EXPECT_EQ(Form.ImageList.Items.Find("Missouri_JIB").PatternCount(), 100);
  EXPECT_EQ(Form.SpriteEngine.Engine.SpriteCount, 1);
  Tick();
  EXPECT_GT(InkedPixels(), 600u * 400u);
  EXPECT_EQ(Form.FrameCount, 1);
  const double y = Form.SpriteEngine.Engine.Items(0)->Y;
  Tick();
  EXPECT_DOUBLE_EQ(Form.SpriteEngine.Engine.Items(0)->Y - y, 16 * 4 * 0.04);
}

TEST_F(FrameLoopTest, AButtonHeldAcrossASceneChangeActsOnlyAfterANewPress) {
  Press('Z', true);
  Tick();
  EXPECT_EQ(Form.SceneState, ssMenu);
  EXPECT_EQ(Form.FrameCount, 1);  // entered from a frame handler
  EXPECT_GE(Machine.System.Slept, 100u);
  EXPECT_TRUE(Machine.Display.TitleImageShown);
  EXPECT_TRUE(Form.MainMenu.Find("GameMenu")->Enabled);
  EXPECT_FALSE(Button1());
  Tick(3);
  EXPECT_FALSE(Button1());  // still held, still out
  Press('Z', false);
  Tick();
  Press('Z', true);
  Tick();
  EXPECT_TRUE(Button1());
}

TEST_F(FrameLoopTest, SpaceAndDirectionsSurviveOnlyAsTheyShould) {
  Press(vk::Left, true);
  Press(vk::Space, true);
  Tick();
  EXPECT_EQ(Form.SceneState, ssMenu);
  EXPECT_TRUE(Form.DXInput.ActiveStates.Has(isLeft));  // directions are kept
  EXPECT_TRUE(Form.KeySpace);
  EXPECT_TRUE(Form.KeyLeft);
  Press(vk::Left, false);
  EXPECT_FALSE(Form.KeyLeft);
}

TEST_F(FrameLoopTest, SceneRequestedBySpriteIsEnteredAtTheEndOfThatTickUndrawn) {
  Form.SetScene(ssPlay);
  Tick();
  ASSERT_EQ(Form.FrameCount, 1);
  new THook(&Form.SpriteEngine.Engine, [this] { Form.PendingScene = ssGameOver; });
  Tick();
  EXPECT_EQ(Form.SceneState, ssGameOver);
  EXPECT_EQ(Form.FrameCount, 0);  // entered through PendingScene
  EXPECT_EQ(Form.PendingScene, ssNone);
  EXPECT_EQ(InkedPixels(), 0u);  // neither sprites nor the sea were drawn
  // GameOver: 102 frames in all, then the Menu.
  Tick(101);
  EXPECT_EQ(Form.SceneState, ssGameOver);
  Tick();
  EXPECT_EQ(Form.SceneState, ssMenu);
}

TEST_F(FrameLoopTest, MissionTitleLastsEightyOneFramesAndPlayHonoursAdvanceStopped) {
  // Entered from the Briefing handler, the card starts at FrameCount 1 and lasts 81
  // frames; entered directly as here it starts at 0, one frame more.
  Form.SetScene(ssMissionTitle);
  const uint64_t slept = Machine.System.Slept;
  Tick(81);
  EXPECT_EQ(Form.SceneState, ssMissionTitle);
  Tick();
  EXPECT_EQ(Form.SceneState, ssPlay);
  EXPECT_EQ(Machine.System.Slept - slept, 500u);  // the transition and the wait
  EXPECT_EQ(Form.FrameCount, 1);
  EXPECT_EQ(Form.ScrollSpeed, 4);
  Form.AdvanceStopped = true;
  Tick(5);
  EXPECT_EQ(Form.FrameCount, 1);
  Form.AdvanceStopped = false;
  Tick();
  EXPECT_EQ(Form.FrameCount, 2);
}

TEST_F(FrameLoopTest, PauseRunsFiveMoreFramesThenStopsUntilResumed) {
  Form.SetScene(ssPlay);
  Press('P', true);
  EXPECT_TRUE(Form.GamePause->Checked);
  const int flips = Machine.Display.Flips;
  Tick(10);
  EXPECT_EQ(Machine.Display.Flips - flips, 5);
  EXPECT_FALSE(Form.DXTimer.Enabled());
  EXPECT_GT(InkedPixels(), 0u);  // the notice stays on screen
  Press('P', false);
  Press(vk::F12, true);
  EXPECT_FALSE(Form.GamePause->Checked);
  EXPECT_TRUE(Form.DXTimer.Enabled());
  Tick();
  EXPECT_EQ(Machine.Display.Flips - flips, 6);
}

TEST_F(FrameLoopTest, EscapeDuringAPausedMissionReturnsToTheMenu) {
  Form.SetScene(ssPlay);
  Press(vk::Escape, true);  // not paused: nothing
  EXPECT_EQ(Form.PendingScene, ssNone);
  Press(vk::Pause, true);
  Press(vk::Escape, true);
  EXPECT_FALSE(Form.GamePause->Checked);
  EXPECT_EQ(Form.PendingScene, ssMenu);
  Tick();
  EXPECT_EQ(Form.SceneState, ssMenu);
  EXPECT_EQ(Form.FrameCount, 0);
  // Pause on the Menu screen is the P key only.
  Press(vk::Pause, true);
  EXPECT_FALSE(Form.GamePause->Checked);
}

TEST_F(FrameLoopTest, StatusLineAndCaptionsFollowOptionsAndFocus) {
  Form.SetScene(ssGameOver);  // no background: only the status line inks the screen
  Tick();
  EXPECT_EQ(InkedPixels(), 0u);
  Form.OptionShowFPS->Click();
  Tick();
  EXPECT_GT(InkedPixels(), 0u);
  Form.ApplicationDeactivated();
  EXPECT_EQ(Machine.Display.Caption(), "Velmora [停止中]");
  const int flips = Machine.Display.Flips;
  Tick(3);
  EXPECT_EQ(Machine.Display.Flips, flips);  // no ticks in the background
  Form.ApplicationActivated();
  EXPECT_EQ(Machine.Display.Caption(), "Velmora");
  Tick();
  EXPECT_EQ(Machine.Display.Flips, flips + 1);
}

TEST_F(FrameLoopTest, ATickThatCannotDrawDoesNothingAtAll) {
  Machine.Display.Lost = true;
  Press('Z', true);
  const int flips = Machine.Display.Flips;
  Tick(3);
  EXPECT_EQ(Form.SceneState, ssTitle);
  EXPECT_EQ(Form.FrameCount, 0);
  EXPECT_EQ(Machine.Display.Flips, flips);
  EXPECT_FALSE(Button1());  // not even the input was read
}

TEST_F(FrameLoopTest, TimerCountsFramesPerSecond) {
  Tick(70);
  EXPECT_EQ(Form.DXTimer.FramesPerSecond(), 62);  // 63 frames in 1008 ms: 62.5, half to even
}

}  // namespace
}  // namespace velmora
