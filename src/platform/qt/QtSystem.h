// Clock, sleep, names and folders of the machine, and the browser and help viewer.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include "platform/Platform.h"

#include <functional>
#include <memory>

class QUrl;
class QWidget;

namespace velmora {

class THelpWindow;

// The locale's long time format without its time-zone part, as a clock shows it.
QString TimeFormatWithoutZone(const QString& format);
// Web pages only: the address may come from the ranking server, and anything else (local
// files, programs) must not be opened on its say.
bool IsWebAddress(const QString& url);

class TQtSystem : public ISystem {
 public:
  TQtSystem();
  ~TQtSystem() override;

  void SetParent(QWidget* parent) { Parent_ = parent; }

  uint32_t TickCount() override;
  void Sleep(uint32_t ms) override;
  std::string DateTimeText() override;
  std::string ComputerName() override;
  std::string ProgramFolder() override;
  std::string DataFolder() override;
  void OpenUrl(const std::string& url) override;
  void ShowHelp(const std::string& file) override;

  // The help window, once the help has been opened.
  THelpWindow* HelpWindow() const { return Help_.get(); }
  // Replaces the desktop's "open this address" (tests); returns whether it was opened.
  std::function<bool(const QUrl&)> OpenInBrowser;

 private:
  bool OpenWebAddress(const QUrl& url);

  QElapsedTimer Clock_;
  QWidget* Parent_ = nullptr;
  std::string Folder_;
  std::unique_ptr<THelpWindow> Help_;
};

}  // namespace velmora
