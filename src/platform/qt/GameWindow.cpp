#include "platform/qt/GameWindow.h"

#include <QCloseEvent>

#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <stdexcept>

#include "platform/qt/HelpWindow.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtDisplay.h"
#include "platform/qt/QtInput.h"
#include "platform/qt/QtMenuBar.h"
#include "shell/MainForm.h"

namespace velmora {

namespace {

// While the frame timer is stopped the window still looks in this often, in case the
// game switched it on again from somewhere this window cannot see.
constexpr uint32_t kStoppedPollMs = 50;

}  // namespace

TGameWindow::TGameWindow(TQtInput& input)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      Input_(input),
      Display_(new TQtDisplay(this)) {
  setWindowTitle("Velmora");
  setCentralWidget(Display_);
  // The client area is the display, exactly: no resizing, no grip.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  Display_->setFocus();
  Input_.SetWindow(this);

  Timer_.setSingleShot(true);
  Timer_.setTimerType(Qt::PreciseTimer);
  connect(&Timer_, &QTimer::timeout, this, &TGameWindow::RunIdle);
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          &TGameWindow::ApplicationStateChanged);
  // Reading the help stops the game as switching to another program does.
  connect(qApp, &QGuiApplication::focusWindowChanged, this,
          [this] { ApplicationStateChanged(QGuiApplication::applicationState()); });
}

TGameWindow::~TGameWindow() {
  Timer_.stop();
  if (windowHandle() != nullptr) windowHandle()->removeEventFilter(this);
}

void TGameWindow::Attach(TMainForm& form) {
  Form_ = &form;
  MenuBar_ = new TQtMenuBar(menuBar(), this, form.MainMenu,
                            [this](const std::function<void()>& call) { RunCore(call); });
  // The native window sees keys before any widget does, like a form with key preview.
  winId();
  windowHandle()->installEventFilter(this);
  Poke();
}

void TGameWindow::RunCore(const std::function<void()>& call) {
  try {
    if (Form_ != nullptr)
      Form_->RunGuarded(call);  // logged, shown, then quit or resume
    else
      call();
  } catch (const std::exception& error) {
    ReportUnhandledError(error);
  } catch (...) {
    ReportUnhandledError(std::runtime_error("unknown error"));
  }
  if (MenuBar_ != nullptr) MenuBar_->RefreshTopLevel();
}

void TGameWindow::closeEvent(QCloseEvent* event) {
  // The settings are written on the way out; the close itself is always allowed.
  if (Form_ != nullptr) {
    try {
      Form_->FormCloseQuery();
    } catch (const std::exception& error) {
      ReportUnhandledError(error);
    }
  }
  event->accept();
}

void TGameWindow::ReportUnhandledError(const std::exception& error) {
  ShowMessage(this, QMessageBox::Critical, QString::fromUtf8(error.what()));
}

void TGameWindow::RunIdle() {
  // A modal dialog opened inside a tick runs its own event loop; a tick must not start
  // inside another. The outer pass re-arms the timer when it returns.
  if (Form_ == nullptr || InIdle_) return;
  InIdle_ = true;
  // A gamepad's pause input (Start unless the player chose another) acts as the Pause
  // key. Looked at here rather than in the frame, which stands still while paused.
  if (Input_.Stick().TakeStartPress() && Input_.IsForeground())
    RunCore([this] { Form_->PadPausePressed(); });
  uint32_t wait = UINT32_MAX;
  RunCore([this, &wait] { wait = Form_->Idle(); });
  InIdle_ = false;
  ArmTimer(wait);
}

void TGameWindow::ArmTimer(uint32_t ms) {
  Timer_.start(static_cast<int>(std::clamp<uint32_t>(ms, 1, kStoppedPollMs)));
}

void TGameWindow::Poke() {
  if (!InIdle_) Timer_.start(0);
}

QPoint TGameWindow::CentredPosition(const QRect& screen, const QSize& frame) {
  const int left = (screen.width() - frame.width()) / 2;
  const int top = screen.width() > 640 ? (screen.height() - frame.height()) / 2 : 0;
  return screen.topLeft() + QPoint(left, top);
}

void TGameWindow::CentreOnScreen() {
  if (isFullScreen() || Display_->FullScreen()) return;
  const QScreen* where = screen();
  const QPoint target =
      where != nullptr ? CentredPosition(where->geometry(), frameGeometry().size()) : QPoint(0, 0);
  // Moving to where the window already is would still send the window manager a request.
  if (pos() != target) move(target);
}

bool TGameWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowHandle() && Form_ != nullptr) {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        KeyEvent(static_cast<QKeyEvent&>(*event));
        break;
      case QEvent::Expose:
        // The system asks for a repaint: the form's paint event, which also puts the
        // window back in the middle of the screen.
        if (windowHandle()->isExposed()) {
          if (!FirstPaintDone_) {
            FirstPaintDone_ = true;
            RunCore([this] { Form_->FormPaint(); });
          }
          CentreOnScreen();
        }
        break;
      default:
        break;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TGameWindow::KeyEvent(QKeyEvent& event) {
  // Alt+Enter switches the full screen on and off, as F11 does; it is not the support
  // bomber's Enter.
  if (event.type() == QEvent::KeyPress && !event.isAutoRepeat() &&
      (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
      event.modifiers().testFlag(Qt::AltModifier)) {
    RunCore([this] { Form_->ToggleFullScreen(); });
    return;
  }
  const int vk = Input_.HandleKeyEvent(event);
  if (vk == 0) return;
  const int key = GenericVirtualKey(vk);
  if (event.type() == QEvent::KeyPress) {
    FormKeys_[key] = true;
    RunCore([this, key] { Form_->FormKeyDown(key); });
  } else {
    FormKeys_[key] = false;
    RunCore([this, key] { Form_->FormKeyUp(key); });
  }
  Poke();
}

void TGameWindow::ReleaseKeys() {
  Input_.ReleaseAll();
  if (Form_ == nullptr) return;
  for (int key = 0; key < static_cast<int>(FormKeys_.size()); ++key) {
    if (!FormKeys_[key]) continue;
    FormKeys_[key] = false;
    RunCore([this, key] { Form_->FormKeyUp(key); });
  }
}

void TGameWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // A new window size stays in the middle of the screen, as every repaint puts it.
  if (Form_ != nullptr && isVisible()) CentreOnScreen();
}

bool TGameWindow::event(QEvent* event) {
  // Keys let go while another window has the focus are never reported: forget them
  // now rather than have them stuck down on return.
  if (event->type() == QEvent::WindowDeactivate) ReleaseKeys();
  return QMainWindow::event(event);
}

void TGameWindow::ApplicationStateChanged(Qt::ApplicationState state) {
  const bool active = state == Qt::ApplicationActive &&
                      qobject_cast<const THelpWindow*>(QApplication::activeWindow()) == nullptr;
  if (Form_ == nullptr || active == Active_) return;
  Active_ = active;
  if (active) {
    RunCore([this] { Form_->ApplicationActivated(); });
  } else {
    RunCore([this] { Form_->ApplicationDeactivated(); });
  }
  Poke();
}

}  // namespace velmora
