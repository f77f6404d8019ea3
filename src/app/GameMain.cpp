// velmora: the game in its Qt window, with SDL for sound and the joystick.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>

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
  dialogs.SetInitialFolder(form.SettingsDir() + "/replays", kReplayFileFilter);
  window.Attach(form);
  window.RunCore([&form] { form.FormCreate(); });
  window.show();
  window.activateWindow();
  return QApplication::exec();
}
