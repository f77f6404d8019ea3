// Clock, sleep, names and folders of the machine, and the browser and help viewer.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include "platform/Platform.h"

class QWidget;

namespace velmora {

// The locale's long time format without its time-zone part, as a clock shows it.
QString TimeFormatWithoutZone(const QString& format);
// Web pages only: the address may come from the ranking server, and anything else (local
// files, programs) must not be opened on its say.
bool IsWebAddress(const QString& url);

class TQtSystem : public ISystem {
 public:
  TQtSystem();

  void SetParent(QWidget* parent) { Parent_ = parent; }

  uint32_t TickCount() override;
  void Sleep(uint32_t ms) override;
  std::string DateTimeText() override;
  std::string ComputerName() override;
  std::string ProgramFolder() override;
  std::string DataFolder() override;
  void OpenUrl(const std::string& url) override;
  void ShowHelp(const std::string& file) override;

 private:
  QElapsedTimer Clock_;
  QWidget* Parent_ = nullptr;
  std::string Folder_;
};

}  // namespace velmora
