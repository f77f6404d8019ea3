// Modal message boxes, the text-input box and the open-file dialog.
#pragma once

#include <QMessageBox>
#include <QString>
#include <map>
#include <string>

#include "platform/Platform.h"

class QFileInfo;
class QWidget;

namespace velmora {

class TSdlJoystick;

// "Mission files (*.omf)" passes through; the older "Mission files|*.omf|All|*.*" form is
// turned into Qt's "Mission files (*.omf);;All (*.*)".
QString FileDialogFilter(const std::string& filter);

// What the open-file dialog's detail view shows in column 1 (size), 2 (type) or 3 (date)
// for this file, in Japanese whatever the system's language; null where the file system
// model's own text stands (a folder's size, the type of a file that is not the game's).
QString FileListText(const QFileInfo& info, int column);

// The game's own texts of the standard buttons: はい, いいえ, OK, 無視, キャンセル ...
// Empty for buttons the game never shows.
QString JapaneseButtonText(int standardButton);
// Gives every standard button of the box its Japanese text, whatever translation Qt has.
void SetJapaneseButtonTexts(QMessageBox& box);
// A plain message box with an OK button, in Japanese.
void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text);

// The window dialogs belong to, or none while it is still hidden.
QWidget* DialogParent(QWidget* window);

class TQtDialogs : public IDialogs {
 public:
  void SetParent(QWidget* parent) { Parent_ = parent; }
  // Where the first open-file dialog starts; later ones start where the last choice was.
  void SetInitialFolder(const std::string& folder) { Folder_ = QString::fromStdString(folder); }
  // Files of this filter (replays) have a folder of their own, kept apart from the others.
  void SetInitialFolder(const std::string& folder, const std::string& filter) {
    FilterFolders_[filter] = QString::fromStdString(folder);
  }

  TMessageResult MessageBox(TMessageKind kind, const std::string& caption, const std::string& text,
                            TMessageButtons buttons) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override;
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter) override;
  bool EditKeyBindings(TKeyBindings& bindings) override;
  std::optional<std::string> ShowRecords(const TRecordsView& view) override;
  // The gamepad the キー設定 dialog watches for a pad field.
  void SetStick(TSdlJoystick* stick) { Stick_ = stick; }

 private:
  QWidget* Parent_ = nullptr;
  TSdlJoystick* Stick_ = nullptr;
  QString Folder_;
  std::map<std::string, QString> FilterFolders_;
};

}  // namespace velmora
