// The game's main window: menu bar over the 640x480 display. It turns Qt's events into
// the main form's window events and drives the frame timer from the event loop.
#pragma once

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

namespace velmora {

class TMainForm;
class TQtDisplay;
class TQtInput;
class TQtMenuBar;

class TGameWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit TGameWindow(TQtInput& input);
  ~TGameWindow() override;

  TQtDisplay& Display() { return *Display_; }

  // Hands the window to the main form: mirrors its menu and starts feeding it events.
  void Attach(TMainForm& form);

  // Runs a call into the game; whatever it throws is reported instead of ending the
  // program inside Qt's event loop.
  void RunCore(const std::function<void()>& call);

  // Shows an error that escaped the game's own handling.
  void ReportUnhandledError(const std::exception& error);

  // The window's place per the game's rule: centred on its screen, and at the top when
  // the screen is no wider than the game.
  static QPoint CentredPosition(const QRect& screen, const QSize& frame);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void RunIdle();
  void ArmTimer(uint32_t ms);
  // Runs the timer's idle pass soon, for events that may have switched the timer on.
  void Poke();
  void CentreOnScreen();
  void KeyEvent(QKeyEvent& event);
  void ReleaseKeys();
  void ApplicationStateChanged(Qt::ApplicationState state);

  TQtInput& Input_;
  TQtDisplay* Display_;
  TMainForm* Form_ = nullptr;
  TQtMenuBar* MenuBar_ = nullptr;
  QTimer Timer_;
  bool InIdle_ = false;
  bool FirstPaintDone_ = false;
  bool Active_ = true;
  // Keys the main form has been told are down, so that it also hears them go up.
  std::array<bool, 256> FormKeys_{};
};

}  // namespace velmora
