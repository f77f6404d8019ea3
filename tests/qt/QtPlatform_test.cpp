// The Qt side of the game window, run on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include "platform/qt/GameWindow.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtDisplay.h"
#include "platform/qt/QtInput.h"
#include "platform/qt/QtMenuBar.h"
#include "platform/qt/QtSystem.h"
#include "platform/sdl/SdlJoystick.h"

namespace velmora {
namespace {

QKeyEvent Key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              bool repeat = false, quint32 keysym = 0) {
  return QKeyEvent(type, key, modifiers, 0, keysym, 0, QString(), repeat);
}

TEST(QtKeys, PhysicalKeysMapToVirtualKeyCodes) {
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Z, Qt::NoModifier, 0), 0x5A);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_H, Qt::ShiftModifier, 0), 0x48);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7, Qt::NoModifier, 0), '7');
  // Shifted digits and keypad keys keep their own codes.
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Exclam, Qt::ShiftModifier, 0), '1');
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_8, Qt::KeypadModifier, 0), 0x68);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_2, Qt::KeypadModifier, 0), 0x62);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Up, Qt::KeypadModifier, 0), 0x26);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Enter, Qt::KeypadModifier, 0), 0x0D);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Return, Qt::NoModifier, 0), 0x0D);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Space, Qt::NoModifier, 0), 0x20);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Escape, Qt::NoModifier, 0), 0x1B);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Pause, Qt::NoModifier, 0), 0x13);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Left, Qt::NoModifier, 0), 0x25);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Down, Qt::NoModifier, 0), 0x28);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F2, Qt::NoModifier, 0), 0x71);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F12, Qt::NoModifier, 0), 0x7B);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Shift, Qt::ShiftModifier, 0xffe2), 0xA1);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_unknown, Qt::NoModifier, 0), 0);
  EXPECT_EQ(GenericVirtualKey(0xA1), 0x10);
  EXPECT_EQ(GenericVirtualKey(0xA2), 0x11);
  EXPECT_EQ(GenericVirtualKey(0xA5), 0x12);
  EXPECT_EQ(GenericVirtualKey(0x5A), 0x5A);
}

TEST(QtKeys, KeyTableFollowsPressesAndIgnoresRepeats) {
  TQtInput input;
  EXPECT_EQ(input.HandleKeyEvent(Key(QEvent::KeyPress, Qt::Key_Z)), 0x5A);
  EXPECT_TRUE(input.KeyboardState()[0x5A]);
  EXPECT_EQ(input.HandleKeyEvent(Key(QEvent::KeyRelease, Qt::Key_Z, Qt::NoModifier, true)), 0);
  EXPECT_TRUE(input.KeyboardState()[0x5A]);
  input.HandleKeyEvent(Key(QEvent::KeyRelease, Qt::Key_Z));
  EXPECT_FALSE(input.KeyboardState()[0x5A]);

  // Either Shift holds VK_SHIFT down until both are up.
  input.HandleKeyEvent(Key(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, false, 0xffe1));
  input.HandleKeyEvent(Key(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, false, 0xffe2));
  input.HandleKeyEvent(Key(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier, false, 0xffe1));
  EXPECT_TRUE(input.KeyboardState()[0x10]);
  EXPECT_TRUE(input.KeyboardState()[0xA1]);

  input.HandleKeyEvent(Key(QEvent::KeyPress, Qt::Key_Left));
  input.ReleaseAll();
  const auto keys = input.KeyboardState();
  EXPECT_EQ(std::count(keys.begin(), keys.end(), true), 0);
  EXPECT_FALSE(input.IsForeground());
}

TEST(SdlStick, AxesSpanThePlainRangeAndNoStickReadsAsNothing) {
  EXPECT_EQ(TSdlJoystick::AxisFromSdl(-32768), 0);
  EXPECT_EQ(TSdlJoystick::AxisFromSdl(0), 32768);
  EXPECT_EQ(TSdlJoystick::AxisFromSdl(32767), 65535);
  // The test machines have no joystick; with SDL_JOYSTICK_DEVICE set one might appear.
  if (qEnvironmentVariableIsEmpty("SDL_JOYSTICK_DEVICE")) {
    TSdlJoystick stick;
    EXPECT_FALSE(stick.Read().has_value());
    EXPECT_FALSE(stick.Read().has_value());
  }
}

TEST(QtDialogsFilter, AcceptsQtAndPipeSeparatedFilters) {
  EXPECT_EQ(FileDialogFilter("Mission files (*.omf)"), "Mission files (*.omf)");
  EXPECT_EQ(FileDialogFilter("Missions|*.omf|All|*.*"), "Missions (*.omf);;All (*.*)");
  EXPECT_EQ(FileDialogFilter("Text|*.txt;*.omf"), "Text (*.txt *.omf)");
  EXPECT_EQ(FileDialogFilter(""), "");
}

TEST(QtSystemText, TimeFormatLosesOnlyTheZone) {
  EXPECT_EQ(TimeFormatWithoutZone("HH:mm:ss t"), "HH:mm:ss");
  EXPECT_EQ(TimeFormatWithoutZone("h:mm:ss AP t"), "h:mm:ss AP");
  EXPECT_EQ(TimeFormatWithoutZone("H'h'mm 'at' t"), "H'h'mm 'at'");
}

TEST(QtSystemText, OnlyWebAddressesAreOpened) {
  EXPECT_TRUE(IsWebAddress("http://example.com/rank"));
  EXPECT_TRUE(IsWebAddress("https://example.com"));
  EXPECT_TRUE(IsWebAddress("www.example.com"));
  EXPECT_FALSE(IsWebAddress("file:///etc/passwd"));
  EXPECT_FALSE(IsWebAddress("/usr/bin/xterm"));
  EXPECT_FALSE(IsWebAddress("javascript:alert(1)"));
  EXPECT_FALSE(IsWebAddress(""));
}

TEST(QtWindow, CentresOnTheScreenAndSitsAtTheTopOfNarrowOnes) {
  EXPECT_EQ(TGameWindow::CentredPosition(QRect(0, 0, 1024, 768), QSize(640, 498)),
            QPoint(192, 135));
  EXPECT_EQ(TGameWindow::CentredPosition(QRect(1920, 0, 1280, 1024), QSize(650, 520)),
            QPoint(1920 + 315, 252));
  // No wider than the game: pinned to the top, and the overhang splits evenly.
  EXPECT_EQ(TGameWindow::CentredPosition(QRect(0, 0, 640, 480), QSize(646, 510)), QPoint(-3, 0));
}

TEST(QtDisplayTest, FlipShowsTheBackBufferThroughThePalette) {
  TQtDisplay display;
  TPalette palette{};
  palette[1] = {255, 0, 0};
  palette[2] = {0, 0, 255};
  display.SetPalette(palette);
  display.BackBuffer().SetPixel(5, 7, 1);
  display.Flip();  // not initialised: nothing is presented
  EXPECT_EQ(display.Frame().pixel(5, 7), qRgb(0, 0, 0));

  ASSERT_TRUE(display.Initialize());
  EXPECT_EQ(display.BackBuffer().Width(), 640);
  EXPECT_EQ(display.BackBuffer().Pixel(5, 7), 0);
  display.BackBuffer().SetPixel(5, 7, 1);
  display.BackBuffer().SetPixel(639, 479, 2);
  display.Flip();
  EXPECT_EQ(display.Frame().pixel(5, 7), qRgb(255, 0, 0));
  EXPECT_EQ(display.Frame().pixel(639, 479), qRgb(0, 0, 255));

  // Drawing after the flip stays off screen; a palette change recolours what is shown.
  display.BackBuffer().SetPixel(5, 7, 2);
  palette[1] = {0, 255, 0};
  display.SetPalette(palette);
  EXPECT_EQ(display.Frame().pixel(5, 7), qRgb(0, 255, 0));
  EXPECT_EQ(display.Palette()[1], (TRGB{0, 255, 0}));

  display.ShowTitleImage(true);
  EXPECT_TRUE(display.TitleImageShown());
  EXPECT_EQ(display.Frame().size(), QSize(640, 480));
  display.ShowTitleImage(false);
  EXPECT_EQ(display.Frame().pixel(639, 479), qRgb(0, 0, 255));
}

struct MenuFixture : ::testing::Test {
  QMainWindow window;
  TMenuItem root;
  std::vector<std::string> clicks;
  TMenuItem* game = nullptr;
  TMenuItem* pause = nullptr;
  TMenuItem* next = nullptr;
  TMenuItem* sound = nullptr;
  TMenuItem* easy = nullptr;
  TMenuItem* hard = nullptr;

  void SetUp() override {
    auto log = [this](const char* name) { return [this, name] { clicks.push_back(name); }; };
    game = root.Add("GameMenu", "ゲーム", log("GameMenu"));
    next = game->Add("GameNext", "現在の作戦", log("GameNext"));
    game->Add("N1", "-");
    pause = game->Add("GamePause", "Game &Pause", log("GamePause"));
    pause->ShortCut = "F12";
    pause->Visible = false;
    TMenuItem* options = root.Add("OptionMenu", "オプション");
    sound = options->Add("OptionSound", "効果音", log("OptionSound"));
    sound->Checked = true;
    sound->ShortCut = "Ctrl+F";
    TMenuItem* difficulty = options->Add("DifficultyMenu", "難易度");
    easy = difficulty->Add("OptionEasy", "簡単");
    hard = difficulty->Add("OptionHard", "困難");
    easy->RadioItem = hard->RadioItem = true;
    easy->Checked = true;
  }

  QMenu* TopMenu(int index) { return window.menuBar()->actions()[index]->menu(); }
};

TEST_F(MenuFixture, MirrorsTheTreeAndPassesClicksBack) {
  std::vector<std::string> invoked;
  TQtMenuBar bar(window.menuBar(), &window, root,
                 [&](const std::function<void()>& call) { call(); });
  ASSERT_EQ(window.menuBar()->actions().size(), 2);
  QMenu* gameMenu = TopMenu(0);
  const auto gameActions = gameMenu->actions();
  ASSERT_EQ(gameActions.size(), 3);
  EXPECT_TRUE(gameActions[1]->isSeparator());
  EXPECT_FALSE(gameActions[2]->isVisible());
  EXPECT_EQ(gameActions[2]->text(), "Game &Pause\tF12");

  const auto optionActions = TopMenu(1)->actions();
  EXPECT_TRUE(optionActions[0]->isChecked());
  QMenu* difficulty = optionActions[1]->menu();
  ASSERT_NE(difficulty, nullptr);
  EXPECT_TRUE(difficulty->actions()[0]->isChecked());
  EXPECT_TRUE(difficulty->actions()[0]->actionGroup()->isExclusive());

  optionActions[0]->trigger();
  EXPECT_EQ(clicks, std::vector<std::string>{"OptionSound"});

  // The core changes marks, captions and states; opening the menu shows them.
  next->Caption = "現在の作戦(2面)を発動";
  sound->Checked = false;
  game->Enabled = false;
  bar.RefreshTopLevel();
  EXPECT_FALSE(window.menuBar()->actions()[0]->isEnabled());
  emit gameMenu->aboutToShow();
  EXPECT_EQ(clicks.back(), "GameMenu");
  EXPECT_EQ(gameMenu->actions()[0]->text(), "現在の作戦(2面)を発動");
  emit TopMenu(1)->aboutToShow();
  EXPECT_FALSE(TopMenu(1)->actions()[0]->isChecked());

  // Items added later appear the next time their menu opens.
  game->Add("GameExit", "終了");
  emit gameMenu->aboutToShow();
  ASSERT_EQ(gameMenu->actions().size(), 4);
  EXPECT_EQ(gameMenu->actions()[3]->text(), "終了");
}

TEST_F(MenuFixture, ShortcutsReachHiddenItemsButNotDisabledOnes) {
  TQtMenuBar bar(window.menuBar(), &window, root,
                 [&](const std::function<void()>& call) { call(); });
  QShortcut* f12 = nullptr;
  for (QShortcut* shortcut : window.findChildren<QShortcut*>()) {
    if (shortcut->key() == QKeySequence(Qt::Key_F12)) f12 = shortcut;
  }
  ASSERT_NE(f12, nullptr);
  emit f12->activated();
  EXPECT_EQ(clicks, std::vector<std::string>{"GamePause"});
  pause->Enabled = false;
  emit f12->activated();
  EXPECT_EQ(clicks.size(), 1u);
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
