// The desktop side of the game: window sizes, Japanese dialogs, the help window, web
// addresses that cannot be opened, and gamepads.
#include <SDL.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLayout>
#include <QLibraryInfo>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>

#include <functional>
#include <vector>

#include "engine/Input.h"
#include "platform/qt/HelpWindow.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtDisplay.h"
#include "platform/qt/QtSystem.h"
#include "platform/qt/QtTranslations.h"
#include "platform/sdl/SdlJoystick.h"

namespace velmora {
namespace {

// Runs `act` on the first modal dialog that opens, from inside its event loop.
void OnNextDialog(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(modal);
    }
  });
  timer->start(5);
}

QStringList ButtonTexts(QWidget* dialog) {
  QStringList texts;
  for (QPushButton* button : dialog->findChildren<QPushButton*>())
    if (button->isVisible()) texts << button->text();
  texts.sort();
  return texts;
}

TEST(QtScreenSize, TheWindowGrowsByWholeNumbersAndFullScreenIsLetterboxed) {
  QMainWindow window;
  auto* display = new TQtDisplay(&window);
  window.setCentralWidget(display);
  window.layout()->setSizeConstraint(QLayout::SetFixedSize);
  TPalette palette{};
  palette[1] = {255, 0, 0};
  display->SetPalette(palette);
  ASSERT_TRUE(display->Initialize());
  display->BackBuffer().SetPixel(0, 0, 1);
  display->Flip();

  display->SetScreenSize(2, false);
  EXPECT_EQ(display->size(), QSize(1280, 960));
  EXPECT_EQ(display->PictureRect(), QRect(0, 0, 1280, 960));
  // Each game pixel is a sharp 2x2 square.
  QImage shown = display->grab().toImage();
  EXPECT_EQ(shown.pixel(1, 1), qRgb(255, 0, 0));
  EXPECT_EQ(shown.pixel(2, 2), qRgb(0, 0, 0));
  EXPECT_EQ(display->Frame().size(), QSize(640, 480));  // the game's picture is unchanged

  display->SetScreenSize(1, true);
  EXPECT_TRUE(window.windowState().testFlag(Qt::WindowFullScreen));
  // On its own, the display as the full screen lays it out under the menu bar.
  TQtDisplay screen;
  screen.SetPalette(palette);
  ASSERT_TRUE(screen.Initialize());
  screen.BackBuffer().SetPixel(0, 0, 1);
  screen.Flip();
  screen.SetScreenSize(1, true);
  screen.resize(1920, 1056);
  EXPECT_EQ(screen.PictureRect(), QRect(320, 48, 1280, 960));
  shown = screen.grab().toImage();
  EXPECT_EQ(shown.size(), QSize(1920, 1056));
  EXPECT_EQ(shown.pixel(10, 500), qRgb(0, 0, 0));    // the bar
  EXPECT_EQ(shown.pixel(321, 49), qRgb(255, 0, 0));  // the picture's first pixel, at 2x
  EXPECT_EQ(shown.pixel(322, 50), qRgb(0, 0, 0));

  display->SetScreenSize(3, false);
  EXPECT_FALSE(window.windowState().testFlag(Qt::WindowFullScreen));
  EXPECT_EQ(display->size(), QSize(1920, 1440));
  EXPECT_GE(display->FittingWindowScale(), 1);
}

// Notes the buttons of the next dialog into `seen`, then presses the one reading `press`
// (or cancels the dialog when none does).
void AnswerNextDialog(QStringList& seen, const QString& press) {
  OnNextDialog([&seen, press](QWidget* box) {
    seen = ButtonTexts(box);
    for (QPushButton* button : box->findChildren<QPushButton*>())
      if (button->text() == press) return button->click();
    static_cast<QDialog*>(box)->reject();
  });
}

TEST(QtJapanese, StandardButtonsAndTheInputBoxSpeakJapanese) {
  TQtDialogs dialogs;
  QStringList seen;
  AnswerNextDialog(seen, "いいえ");
  EXPECT_EQ(
      dialogs.MessageBox(TMessageKind::Confirmation, "", "続けますか？", TMessageButtons::YesNo),
      TMessageResult::No);
  EXPECT_EQ(seen, (QStringList{"いいえ", "はい"}));

  AnswerNextDialog(seen, "無視");
  EXPECT_EQ(
      dialogs.MessageBox(TMessageKind::Information, "", "一口メモ", TMessageButtons::OKIgnore),
      TMessageResult::Ignore);
  EXPECT_EQ(seen, (QStringList{"OK", "無視"}));

  AnswerNextDialog(seen, "");
  EXPECT_FALSE(dialogs.InputBox("", "名前", "").has_value());
  EXPECT_EQ(seen, (QStringList{"OK", "キャンセル"}));
}

// Presses `key` on the next dialog as the keyboard would: on the widget that has the
// dialog's focus (whether or not the offscreen window got activated yet). A key that does
// not answer the dialog ends it with no button, so the test fails instead of waiting.
void PressOnNextDialog(Qt::Key key) {
  OnNextDialog([key](QWidget* box) {
    QWidget* target = box->focusWidget() != nullptr ? box->focusWidget() : box;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    if (box->isVisible()) QApplication::sendEvent(target, &release);
    QTimer::singleShot(1000, box, [box] {
      if (box->isVisible()) static_cast<QDialog*>(box)->done(-1);
    });
  });
}

TEST(QtJapanese, EnterSpaceAndEscapeNeverSayYesToADestructiveQuestion) {
  TQtDialogs dialogs;
  const std::string text = "新規に開戦すると、今までのデータは消去されます。よろしいですか？";
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
    PressOnNextDialog(key);
    EXPECT_EQ(
        dialogs.MessageBox(TMessageKind::Confirmation, "", text, TMessageButtons::YesNoDefaultNo),
        TMessageResult::No)
        << key;
  }
  // An ordinary question keeps Yes for Enter; Escape still declines.
  PressOnNextDialog(Qt::Key_Return);
  EXPECT_EQ(
      dialogs.MessageBox(TMessageKind::Confirmation, "", "続けますか？", TMessageButtons::YesNo),
      TMessageResult::Yes);
  PressOnNextDialog(Qt::Key_Escape);
  EXPECT_EQ(
      dialogs.MessageBox(TMessageKind::Confirmation, "", "続けますか？", TMessageButtons::YesNo),
      TMessageResult::No);
  // Yes is still there to be chosen.
  QStringList seen;
  AnswerNextDialog(seen, "はい");
  EXPECT_EQ(
      dialogs.MessageBox(TMessageKind::Confirmation, "", text, TMessageButtons::YesNoDefaultNo),
      TMessageResult::Yes);
  EXPECT_EQ(seen, (QStringList{"いいえ", "はい"}));
}

TEST(QtJapanese, TheOpenFileDialogNamesTheGamesFilesAndFitsJapaneseSizesAndDates) {
  QTemporaryDir dir;
  for (const char* name : {"UP.OMF", "up.bfg", "run-000001.vmr", "notes.txt"}) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(685, '/'));
  }
  const QFileInfo mission(dir.filePath("UP.OMF"));
  EXPECT_EQ(FileListText(mission, 2), "オリジナルミッションファイル");
  EXPECT_EQ(FileListText(QFileInfo(dir.filePath("run-000001.vmr")), 2), "リプレイファイル");
  EXPECT_TRUE(FileListText(QFileInfo(dir.filePath("notes.txt")), 2).isNull());
  EXPECT_TRUE(FileListText(QFileInfo(dir.path()), 1).isNull());  // a folder has no size
  EXPECT_EQ(FileListText(mission, 1), "685 バイト");
  const QString date = FileListText(mission, 3);
  EXPECT_TRUE(date.startsWith(QString::number(mission.lastModified().date().year()) + "/"))
      << date.toStdString();

  // In the dialog itself: every text of the detail view fits its column.
  TQtDialogs dialogs;
  dialogs.SetInitialFolder(dir.path().toStdString());
  QStringList shown;
  bool fits = true;
  OnNextDialog([&](QWidget* dialog) {
    auto* view = dialog->findChild<QTreeView*>("treeView");
    if (view == nullptr) return static_cast<QDialog*>(dialog)->reject();
    QAbstractItemModel* model = view->model();
    for (int i = 0; i < 200 && model->rowCount(view->rootIndex()) < 1; ++i) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      QThread::msleep(5);
    }
    const QFontMetrics metrics(view->font());
    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
      QStringList cells;
      for (int column = 0; column < 4; ++column) {
        const QString text = model->index(row, column, view->rootIndex()).data().toString();
        cells << text;
        if (column > 0 && metrics.horizontalAdvance(text) + 8 > view->header()->sectionSize(column))
          fits = false;
      }
      shown << cells.join(" | ");
    }
    static_cast<QDialog*>(dialog)->reject();
  });
  EXPECT_FALSE(
      dialogs.OpenFile("オリジナルミッションロード", "オリジナルミッションファイル|*.omf"));
  ASSERT_EQ(shown.size(), 1) << shown.join("\n").toStdString();
  EXPECT_TRUE(shown[0].startsWith("UP.OMF | 685 バイト | オリジナルミッションファイル | " + date))
      << shown[0].toStdString();
  EXPECT_TRUE(fits) << shown.join("\n").toStdString();
}

TEST(QtJapanese, QtsOwnTextsComeFromItsJapaneseTranslation) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFile::exists(folder + "/qtbase_ja.qm")) GTEST_SKIP() << "qt6-translations-l10n missing";
  EXPECT_EQ(InstallJapaneseTranslations(*QCoreApplication::instance()), QStringList{"qtbase_ja"});
  // The open-file dialog's own words.
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "Files of type:"), "Files of type:");
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:");
  EXPECT_EQ(InstallJapaneseTranslations(*QCoreApplication::instance(), "/nonexistent"),
            QStringList{});
}

TEST(QtHelp, ContentsSearchAndLinks) {
  QTemporaryDir dir;
  const QString path = dir.filePath("help.html");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      "<html><head><title>ヘルプ</title></head><body><h1>Velmora ヘルプ</h1><p>はじめの言葉。</p>"
      "<h2 id='keys'>操作方法</h2><p>ジョイスティックで移動。Gamepad も使えます。</p>"
      "<h3>ゲームパッド</h3><p>ジョイスティックと同じ。GAMEPAD の A で射撃。</p>"
      "<h2>困ったときは</h2><p><a href='#keys'>操作方法</a>、"
      "<a href='https://velmora.example/'>ホームページ</a></p></body></html>");
  file.close();

  std::vector<QUrl> opened;
  THelpWindow help([&](const QUrl& url) { opened.push_back(url); });
  help.Open(path);
  QTreeWidget* contents = help.Contents();
  ASSERT_EQ(contents->topLevelItemCount(), 1);
  QTreeWidgetItem* top = contents->topLevelItem(0);
  EXPECT_EQ(top->text(0), "Velmora ヘルプ");
  ASSERT_EQ(top->childCount(), 2);
  EXPECT_EQ(top->child(0)->text(0), "操作方法");
  EXPECT_EQ(top->child(0)->child(0)->text(0), "ゲームパッド");
  EXPECT_EQ(top->child(1)->text(0), "困ったときは");

  // Matches are counted per section, ignoring letter case.
  help.Search("gamepad");
  ASSERT_EQ(help.Results()->count(), 2);
  EXPECT_EQ(help.Results()->item(0)->text(), "操作方法（1件）");
  EXPECT_EQ(help.Results()->item(1)->text(), "ゲームパッド（1件）");
  help.Search("ジョイスティック");
  EXPECT_EQ(help.Results()->item(1)->text(), "ゲームパッド（1件）");
  EXPECT_EQ(help.Browser()->textCursor().block().text().left(8), "ジョイスティック");
  EXPECT_EQ(help.Browser()->extraSelections().size(), 2);
  help.Search("ない言葉");
  ASSERT_EQ(help.Results()->count(), 1);
  EXPECT_EQ(help.Results()->item(0)->text(), "見つかりませんでした。");

  // Web addresses go out to the browser; places in the help stay here.
  emit help.Browser()->anchorClicked(QUrl("https://velmora.example/"));
  emit help.Browser()->anchorClicked(QUrl("#keys"));
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].host(), "velmora.example");
  EXPECT_TRUE(help.Browser()->source().isLocalFile());
}

TEST(QtBrowser, AWebAddressThatCannotBeOpenedIsSaidSo) {
  TQtSystem system;
  std::vector<QUrl> asked;
  bool works = false;
  system.OpenInBrowser = [&](const QUrl& url) {
    asked.push_back(url);
    return works;
  };
  QString told;
  OnNextDialog([&](QWidget* box) {
    told = static_cast<QMessageBox*>(box)->text();
    static_cast<QDialog*>(box)->accept();
  });
  system.OpenUrl("https://velmora.example/rank");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_TRUE(told.startsWith("ウェブページを開けませんでした。")) << told.toStdString();
  EXPECT_TRUE(told.contains("https://velmora.example/rank"));
  works = true;
  told.clear();
  system.OpenUrl("https://velmora.example/");
  system.OpenUrl("file:///etc/passwd");  // never asked for at all
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_TRUE(told.isEmpty());
}

// The game's reading of the stick, as the input component sees a device.
struct TStickDevice : IInputDevice {
  explicit TStickDevice(TSdlJoystick& stick) : Stick(stick) {}
  bool IsForeground() const override { return true; }
  std::array<bool, 256> KeyboardState() const override { return {}; }
  std::optional<TJoystickState> Joystick() override { return Stick.Read(); }
  TSdlJoystick& Stick;
};

std::string Directions(const TInputStates& s) {
  std::string out;
  if (s.Has(isUp)) out += "U";
  if (s.Has(isDown)) out += "D";
  if (s.Has(isLeft)) out += "L";
  if (s.Has(isRight)) out += "R";
  if (s.Has(isButton1)) out += "1";
  if (s.Has(isButton2)) out += "2";
  return out;
}

std::string Seen(const TJoystickState& state) {
  TJoystickState copy = state;
  struct TFixed : IInputDevice {
    TJoystickState S;
    bool IsForeground() const override { return true; }
    std::array<bool, 256> KeyboardState() const override { return {}; }
    std::optional<TJoystickState> Joystick() override { return S; }
  } device;
  device.S = copy;
  TDXInput input(device);
  return Directions(input.JoystickStates());
}

TEST(SdlGamepad, DPadAndHatFlyFullyAndAAndBAreTheGamesButtons) {
  // A centred stick with the D-pad (or hat) pushed flies that way at full deflection.
  EXPECT_EQ(Seen(TSdlJoystick::GamepadState(0, 0, 0, false, false)), "");
  EXPECT_EQ(Seen(TSdlJoystick::GamepadState(0, 0, SDL_HAT_UP, false, false)), "U");
  EXPECT_EQ(Seen(TSdlJoystick::GamepadState(0, 0, SDL_HAT_LEFTDOWN, true, false)), "DL1");
  EXPECT_EQ(Seen(TSdlJoystick::GamepadState(0, 0, SDL_HAT_RIGHTUP, false, true)), "UR2");
  // The stick alone, past the dead zone or not; the D-pad wins where both push.
  EXPECT_EQ(Seen(TSdlJoystick::GamepadState(32767, -32768, 0, false, false)), "UR");
  EXPECT_EQ(Seen(TSdlJoystick::GamepadState(12000, 0, 0, false, false)), "");
  EXPECT_EQ(Seen(TSdlJoystick::GamepadState(32767, 0, SDL_HAT_LEFT, false, false)), "L");

  // A plain joystick keeps its axes and buttons; its hat is added on top.
  TJoystickState plain;
  plain.X = 32768;
  plain.Y = 32768;
  plain.Buttons = 0x5;  // buttons 1 and 3
  TSdlJoystick::ApplyHat(plain, SDL_HAT_RIGHTDOWN);
  EXPECT_EQ(Seen(plain), "DR1");
  EXPECT_EQ(plain.Buttons, 0x5u);
}

TEST(SdlGamepad, AVirtualPadIsReadByMeaningPluggedInAndPulledOut) {
  if (SDL_NumJoysticks() > 0) GTEST_SKIP() << "a real joystick is attached";
  TSdlJoystick stick;
  if (!stick.Available()) GTEST_SKIP() << "no SDL joystick support";
  EXPECT_FALSE(stick.Read().has_value());

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

  TStickDevice device(stick);
  TDXInput input(device);
  input.Poll();  // plugged in while the game runs
  EXPECT_TRUE(stick.IsGamepad());
  EXPECT_EQ(Directions(input.ActiveStates), "");

  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, 1);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
  input.Poll();
  EXPECT_EQ(Directions(input.ActiveStates), "U1");
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, 0);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 0);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_B, 1);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -32768);
  input.Poll();
  EXPECT_EQ(Directions(input.ActiveStates), "L2");

  // Start counts once per press, read even between frames.
  EXPECT_FALSE(stick.TakeStartPress());
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_START, 1);
  EXPECT_TRUE(stick.TakeStartPress());
  input.Poll();
  EXPECT_FALSE(stick.TakeStartPress());
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_START, 0);
  EXPECT_FALSE(stick.TakeStartPress());

  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(index);
  EXPECT_FALSE(stick.Read().has_value());
  EXPECT_FALSE(stick.IsGamepad());
}

}  // namespace
}  // namespace velmora
