#include <gtest/gtest.h>

#include "engine/ImageList.h"
#include "engine/TextRenderer.h"
#include "shell/Replay.h"
#include "shell/ShellFixture.h"

namespace velmora {
namespace {

class HudTest : public ShellTest {
 protected:
  // The back buffer after one play frame over an empty field.
  const TSurface& Frame() {
    Form->SpriteEngine.Engine.Clear();
    Tick();
    return Machine.Display.BackBuffer();
  }
  // Whether rows [top, bottom), left of the icon, look as the lines written alone would.
  bool Shows(const TSurface& screen, int top, int bottom,
             std::initializer_list<std::pair<int, std::string>> lines) {
    TSurface expected(640, 480);
    expected.Fill(0);
    TTextRenderer renderer;
    renderer.SetFont(kFontGothic, 18);
    for (const auto& [y, text] : lines)
      renderer.TextOut(expected, 10, y, text,
                       NearestIndex(Machine.Display.Palette(), {255, 255, 255}));
    for (int row = top; row < bottom; ++row)
      for (int col = 0; col < 500; ++col)
        if (screen.Pixel(col, row) != expected.Pixel(col, row)) return false;
    return true;
  }
};

TEST_F(HudTest, FiguresAreWrittenExactlyWithTheCommandersDamageRoundedToEven) {
  Start();
  if (!Form->Text.HasFont()) GTEST_SKIP() << "no Gothic font installed";
  Button();
  Form->SetScene(ssPlay);
  Form->CommanderPresent = true;
  Form->SupportPlanes = 0;
  Form->Score = -120;
  Form->Damage = 130;  // shown as stored while the fighter's end plays out
  Form->CommanderDamage = 12.5;
  EXPECT_TRUE(Shows(Frame(), 0, 110,
                    {{10, "戦果   -120"}, {40, "損傷率  130％"}, {70, "長官機損傷率  12％"}}));
  Form->CommanderDamage = 13.5;
  EXPECT_TRUE(Shows(Frame(), 66, 110, {{70, "長官機損傷率  14％"}}));
  Form->CommanderPresent = false;
  EXPECT_TRUE(Shows(Frame(), 66, 110, {}));

  // With no support bombers left the icon is still there, followed by the count.
  TSurface icon(640, 480);
  icon.Fill(0);
  Form->ImageList.Items.Find("Issiki_I").Draw(icon, 520, 10, 0);
  Form->Text.TextOut(icon, 550, 10, " × 0",
                     NearestIndex(Machine.Display.Palette(), {255, 255, 255}));
  for (int row = 0; row < 40; ++row)
    for (int col = 520; col < 640; ++col)
      ASSERT_EQ(Machine.Display.BackBuffer().Pixel(col, row), icon.Pixel(col, row));
}

// Pixels of the replay marker's colour in the bottom-right corner of the back buffer.
int MarkerPixels(THeadlessMachine& machine) {
  const TSurface& screen = machine.Display.BackBuffer();
  const uint8_t yellow = NearestIndex(machine.Display.Palette(), {255, 255, 0});
  int count = 0;
  for (int y = 440; y < 480; ++y)
    for (int x = 520; x < 640; ++x)
      count += screen.Pixel(x, y) == yellow;
  return count;
}

TEST_F(HudTest, AReplayShowsItsMarkerInTheCornerAndPlayDoesNot) {
  Start();
  if (!Form->Text.HasFont()) GTEST_SKIP() << "no Gothic font installed";
  Button();
  std::vector<TReplay> takes;
  Form->Replays.OnRecorded = [&takes](const TReplay& r) { takes.push_back(r); };
  Form->Mission = 2;
  Form->SinglePlay = true;
  Form->SetScene(ssBriefing);
  Tick(5);
  EXPECT_EQ(MarkerPixels(Machine), 0);
  Button();
  Tick(150);
  ASSERT_EQ(Form->SceneState, ssPlay);
  EXPECT_EQ(MarkerPixels(Machine), 0);
  Press('P', true);
  Press('P', false);
  Tick(3);
  Press(vk::Escape, true);
  Press(vk::Escape, false);
  Tick(2);
  ASSERT_EQ(takes.size(), 1u);

  Form->Replays.Watch(takes[0]);
  Tick(5);
  EXPECT_GT(MarkerPixels(Machine), 20);  // the briefing too is the replay's
  for (int i = 0; i < 300 && Form->SceneState != ssPlay; ++i)
    Tick();
  ASSERT_EQ(Form->SceneState, ssPlay);
  Tick(10);
  EXPECT_GT(MarkerPixels(Machine), 20);
  for (int i = 0; i < 2000 && Form->Replays.Watching(); ++i)
    Tick();
  ASSERT_FALSE(Form->Replays.Watching());
  Tick();
  EXPECT_EQ(MarkerPixels(Machine), 0);
}

// Pixels of the personal best's colour in the same corner.
int BestPixels(THeadlessMachine& machine) {
  const TSurface& screen = machine.Display.BackBuffer();
  const uint8_t cyan = NearestIndex(machine.Display.Palette(), {0, 255, 255});
  int count = 0;
  for (int y = 440; y < 480; ++y)
    for (int x = 500; x < 640; ++x)
      count += screen.Pixel(x, y) == cyan;
  return count;
}

TEST_F(HudTest, ANewPersonalBestIsAnnouncedOnTheResultScreenWhileItLeads) {
  Start();
  if (!Form->Text.HasFont()) GTEST_SKIP() << "no Gothic font installed";
  Button();
  Form->KeepRecords();
  // Mission 2 as a single mission, cleared with the score given; returns the corner's pixels
  // a few frames into the result screen.
  const auto clear = [this](int32_t score) {
    Form->Mission = 2;
    Form->SinglePlay = true;
    Form->SetScene(ssBriefing);
    Form->SetScene(ssMissionTitle);
    Form->SetScene(ssPlay);
    Tick(3);
    EXPECT_EQ(BestPixels(Machine), 0);  // never during play
    Form->Score = score;
    Form->PendingScene = ssResult;
    Tick(4);
    EXPECT_EQ(Form->SceneState, ssResult);
    const int pixels = BestPixels(Machine);
    Button();
    Tick(2);
    EXPECT_EQ(BestPixels(Machine), 0);  // gone with the result screen
    return pixels;
  };
  EXPECT_GT(clear(500), 20);  // the first run leads its table
  EXPECT_EQ(clear(100), 0);
  EXPECT_EQ(clear(500), 0);  // equal is no new best
  EXPECT_GT(clear(900), 20);
  EXPECT_EQ(Form->Records()->Book().Runs.size(), 4u);
}

}  // namespace
}  // namespace velmora
