// Modal message boxes, the text-input box and the open-file dialog.
#pragma once

#include <QString>

#include "platform/Platform.h"

class QWidget;

namespace velmora {

// "Mission files (*.omf)" passes through; the older "Mission files|*.omf|All|*.*" form is
// turned into Qt's "Mission files (*.omf);;All (*.*)".
QString FileDialogFilter(const std::string& filter);

// The window dialogs belong to, or none while it is still hidden.
QWidget* DialogParent(QWidget* window);

class TQtDialogs : public IDialogs {
 public:
  void SetParent(QWidget* parent) { Parent_ = parent; }
  // Where the first open-file dialog starts; later ones start where the last choice was.
  void SetInitialFolder(const std::string& folder) { Folder_ = QString::fromStdString(folder); }

  TMessageResult MessageBox(TMessageKind kind, const std::string& caption, const std::string& text,
                            TMessageButtons buttons) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override;
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter) override;

 private:
  QWidget* Parent_ = nullptr;
  QString Folder_;
};

}  // namespace velmora
