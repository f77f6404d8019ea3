// velmora: the game in its Qt window, with SDL for sound and the joystick.
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>

#include "missions/MissionFile.h"
#include "platform/qt/GameWindow.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtDisplay.h"
#include "platform/qt/QtInput.h"
#include "platform/qt/QtRanking.h"
#include "platform/qt/QtSystem.h"
#include "platform/qt/QtTranslations.h"
#include "platform/sdl/SdlSound.h"
#include "shell/MainForm.h"
#include "shell/Settings.h"
#include "shell/SingleInstance.h"

namespace {

// A logout, Ctrl+C or a closed terminal closes the game the orderly way, as 終了 does: the
// handler only wakes the event loop through this pair of sockets.
int SignalSockets[2] = {-1, -1};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(SignalSockets[1], &byte, 1);
  errno = saved;
}

bool CatchQuitSignals() {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, SignalSockets) != 0)
    return false;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // A second signal while the first is being handled ends the program at once.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (int signal : {SIGTERM, SIGINT, SIGHUP})
    ::sigaction(signal, &action, nullptr);
  return true;
}

// Notes that the window was closed: a close during start-up (Yes in the error handler, or a
// signal) must end the program instead of leaving a window behind.
class TCloseWatch : public QObject {
 public:
  bool Closed = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close) Closed = true;
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Velmora");
  // Otherwise Qt appends the program's name to every window caption.
  QApplication::setApplicationDisplayName(QString());
  // Qt's own texts (the file dialog above all) in the game's language.
  velmora::InstallJapaneseTranslations(app);

  using namespace velmora;
  TQtSystem system;
  // One copy at a time: a second one says so and leaves the first (and its settings
  // file) alone.
  if (!AcquireSingleInstance(system.ProgramFolder())) {
    QMessageBox::information(nullptr, "Velmora", kAlreadyRunningMessage);
    return 0;
  }

  TQtDialogs dialogs;
  TSdlSound sound;
  TQtInput input;
  // A player's own gamepad mappings, beside the settings.
  input.Stick().AddMappingsFile(SettingsFolder(system.ProgramFolder()) + "/" +
                                TSdlJoystick::kMappingsFileName);
  TGameWindow window(input);
  dialogs.SetStick(&input.Stick());
  try {
    QApplication::setWindowIcon(
        QIcon(QPixmap::fromImage(EmbeddedPicture("images/Icon.bmp", TRGB{255, 0, 255}))));
  } catch (const std::exception&) {
    // Without its icon the window shows the system's default one.
  }
  dialogs.SetParent(&window);
  // An installed copy's program folder is the settings folder, where no mission lies at
  // first: the dialog then opens on the example missions in the data folder.
  dialogs.SetInitialFolder(MissionDialogFolder(system.ProgramFolder(), system.DataFolder()));
  system.SetParent(&window);
  // The ranking dialog and the wait window live from the start to the end.
  TRnkSubmitDialog rankingDialog(&window);
  TWaitForm waitForm(&window);
  TQtRankingTransport rankingTransport(waitForm);
  TPlatform platform{window.Display(), input,         sound,           dialogs,
                     system,           rankingDialog, rankingTransport};

  TMainForm form(platform);
  // Replays are kept beside the settings, and their dialog opens there.
  form.Replays.RecordInto(form.SettingsDir() + "/replays");
  form.KeepRecords();
  dialogs.SetInitialFolder(form.SettingsDir() + "/replays", kReplayFileFilter);
  window.Attach(form);
  TCloseWatch closeWatch;
  window.installEventFilter(&closeWatch);

  std::unique_ptr<QSocketNotifier> quitSignals;
  if (CatchQuitSignals()) {
    quitSignals = std::make_unique<QSocketNotifier>(SignalSockets[0], QSocketNotifier::Read);
    QObject::connect(quitSignals.get(), &QSocketNotifier::activated, [&window, &closeWatch] {
      char bytes[16];
      while (::read(SignalSockets[0], bytes, sizeof bytes) > 0) {
      }
      if (closeWatch.Closed) return;
      // Leaving the event loops first also ends an open modal dialog (and makes any the
      // close itself would open return at once); the close writes the settings.
      QApplication::exit(0);
      window.close();
      closeWatch.Closed = true;
    });
  } else {
    std::perror("velmora: signals are not caught");
  }

  window.RunCore([&form] { form.FormCreate(); });
  if (closeWatch.Closed) return 0;
  window.show();
  window.activateWindow();
  return QApplication::exec();
}
