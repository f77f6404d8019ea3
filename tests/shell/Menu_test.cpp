#include <gtest/gtest.h>

#include "shell/Settings.h"
#include "shell/ShellFixture.h"

namespace velmora {
namespace {

class MenuTest : public ShellTest {};

TEST_F(MenuTest, ShortcutsMarksAndHiddenItemsAsTheGameStarts) {
  Start();
  std::string shortcuts;
  std::function<void(const TMenuItem&)> walk = [&](const TMenuItem& item) {
    if (!item.ShortCut.empty()) shortcuts += item.Name + "=" + item.ShortCut + " ";
    for (const auto& child : item.Items)
      walk(*child);
  };
  walk(Form->MainMenu);
  EXPECT_EQ(shortcuts,
            "GameExit=Ctrl+Q GamePause=F12 OptionShowFPS=Ctrl+F ScreenSizeFull=F11 "
            "SearchforHelpOn1=F1 ");
  EXPECT_FALSE(Form->GameMenu->Enabled);  // until the first visit to the menu screen
  EXPECT_FALSE(Form->GamePause->Visible || Form->SinglePlay_5->Visible);
  EXPECT_TRUE(Form->OptionEasy->RadioItem && Form->OptionDifficult->RadioItem);
  EXPECT_EQ(Form->GameNext->Caption, "現在の作戦(1面)を発動");
}

TEST_F(MenuTest, OptionsHelpAboutHomePageAndExit) {
  Start();
  Dialogs();
  Form->OptionSoundClick();
  EXPECT_FALSE(Machine.Sound.Initialized());
  Machine.Sound.FailInitialize = true;
  Form->OptionSoundClick();
  EXPECT_FALSE(Form->OptionSound->Checked);  // no device, no option
  Form->OptionTossinClick();
  EXPECT_TRUE(Form->OptionTossin->Checked);

  Choose("SearchforHelpOn1");
  EXPECT_EQ(Machine.System.ShownHelp,
            (std::vector<std::string>{Machine.System.Data + "/velmora-help.html"}));
  Choose("N13");
  EXPECT_EQ(Dialogs().at(0).rfind("「Velmora」Ver2.0", 0), 0u);
  Choose("N11");
  // A build with a home page opens it; one without opens the help at its about page.
  if (Machine.System.OpenedUrls.empty())
    EXPECT_EQ(Machine.System.ShownHelp.back(), Machine.System.Data + "/velmora-help.html#about");
  else
    EXPECT_EQ(Machine.System.OpenedUrls.at(0).find("velmora.example"), std::string::npos);

  Button();  // the "ゲーム" menu opens from the menu screen on
  Choose("GameExit");
  EXPECT_TRUE(Machine.Display.CloseRequested);
}

TEST_F(MenuTest, ScreenSizeFitsTheScreenAndOutlivesARestart) {
  // First start on a screen that holds 2x: the window takes it.
  Start();
  EXPECT_EQ(Machine.Display.WindowScale, 2);
  EXPECT_FALSE(Machine.Display.FullScreen);
  Choose("ScreenSizeMenu");
  EXPECT_TRUE(Form->ScreenSize[2]->Checked && Form->ScreenSize[2]->Enabled);
  EXPECT_FALSE(Form->ScreenSize[3]->Enabled);  // 3x would not fit
  EXPECT_TRUE(Form->ScreenSize[1]->RadioItem && Form->ScreenSizeFull->RadioItem);

  Choose("ScreenSize1");
  EXPECT_EQ(Machine.Display.WindowScale, 1);
  // Full screen toggles and comes back to the window size chosen before.
  Choose("ScreenSizeFull");
  EXPECT_TRUE(Machine.Display.FullScreen && Form->ScreenSizeFull->Checked);
  EXPECT_FALSE(Form->ScreenSize[1]->Checked);
  Form->ToggleFullScreen();
  EXPECT_FALSE(Machine.Display.FullScreen);
  EXPECT_EQ(Machine.Display.WindowScale, 1);
  EXPECT_TRUE(Form->ScreenSize[1]->Checked);
  Form->ToggleFullScreen();
  Form->FormCloseQuery();

  Machine.Display = THeadlessDisplay();
  Start();
  EXPECT_EQ(Machine.Display.WindowScale, 1);
  EXPECT_TRUE(Machine.Display.FullScreen);
  Form->ToggleFullScreen();
  Form->FormCloseQuery();

  // Stored sizes the screen cannot hold, or nonsense, give the largest that fits.
  Machine.Display.FittingScale = 3;
  for (const char* stored : {"3", "9", "0", "x"}) {
    TIniFile(Ini()).WriteString("Display", "Scale", stored);
    Machine.Display.FittingScale = 3;
    Start();
    EXPECT_EQ(Machine.Display.WindowScale, 3) << stored;
    Machine.Display.FittingScale = 1;
    Start();
    EXPECT_EQ(Machine.Display.WindowScale, 1) << stored;
    EXPECT_FALSE(Machine.Display.FullScreen);
  }
}

}  // namespace
}  // namespace velmora
