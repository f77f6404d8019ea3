#include "sprites/TextSprites.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/ImageList.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"

namespace velmora {
namespace {

class TextSpritesTest : public ::testing::Test {
 protected:
  TextSpritesTest() {
    Form.FormCreate();
    Root().Clear();
  }
  TSprite& Root() { return Form.SpriteEngine.Engine; }
  TMojiSprite* Moji(int style, double y) {
    auto* moji = new TMojiSprite(&Root());
    moji->Style = style;
    moji->Y = y;
    moji->Text = "損傷率ボーナス";
    return moji;
  }
  TEventSprite* Event(int kind, const std::string& text = "nil") {
    auto* event = new TEventSprite(&Root());
    event->Style = kind;
    event->Text = text;
    return event;
  }
  int WhitePixels(int fromY, int toY) {
    const TSurface& s = Form.Platform.Display.BackBuffer();
    const uint8_t white = NearestIndex(Form.Platform.Display.Palette(), {255, 255, 255});
    int n = 0;
    for (int y = fromY; y < toY; ++y)
      for (int x = 0; x < 640; ++x)
        n += s.Pixel(x, y) == white;
    return n;
  }

  THeadlessMachine Machine;
  TMainForm Form{Machine.Platform};
};

TEST_F(TextSpritesTest, CaptionsLastTheirTimeAndPromptsStopAt200) {
  TMojiSprite* caption = Moji(3, 450);
  int steps = 0;
  for (; !caption->Dying(); ++steps)
    caption->Advance(16);
  EXPECT_EQ(steps, 158);  // gone on the step after its age passes 2500 ms

  TMojiSprite* prompt = Moji(4, 450);
  for (int i = 0; i < 2000; ++i)
    prompt->Advance(16);
  EXPECT_FALSE(prompt->Dying());
  EXPECT_LE(prompt->Y, 200);
  EXPECT_GT(prompt->Y, 200 - 0.64);
}

TEST_F(TextSpritesTest, TextIsCentredAtEachDrawAndClippedToItsMargins) {
  TMojiSprite* line = Moji(2, 440);
  line->X = 5;
  Form.Platform.Display.BackBuffer().Fill(0);
  line->Render();
  Form.Text.SetFont(kFontMincho, 13);
  EXPECT_EQ(line->X, 320 - Form.Text.TextWidth(line->Text) / 2);
  EXPECT_GT(WhitePixels(0, 450), 0);
  EXPECT_EQ(WhitePixels(450, 480), 0);  // 30 px bottom margin
  line->Style = -2;                     // no margin
  line->Render();
  EXPECT_GT(WhitePixels(450, 480), 0);
}

TEST_F(TextSpritesTest, EventsActOnceAndLeaveOnTheNextStep) {
  Form.CommanderDamage = 12.5;  // rounds to 12, halves to even
  TEventSprite* commander = Event(8);
  commander->Advance(16);
  commander->Advance(16);
  EXPECT_TRUE(commander->Dying());
  EXPECT_EQ(Form.Score, 4400);

  Event(4, "-3")->Advance(16);
  EXPECT_EQ(Form.ScrollSpeed, -3);
  EXPECT_THROW(Event(4, "7x")->Advance(16), std::runtime_error);
}

TEST_F(TextSpritesTest, ClearingEventEmptiesTheFieldAfterTheMovePass) {
  Form.CreateScrollBackground("Sea");
  Event(5);
  TMojiSprite* later = Moji(1000, 200);  // moves after the event in the same pass
  Form.SpriteEngine.Move(kTickMs);
  EXPECT_DOUBLE_EQ(later->Y, 200);
  Form.SpriteEngine.Dead();
  EXPECT_EQ(Root().Count(), 0);
}

}  // namespace
}  // namespace velmora
