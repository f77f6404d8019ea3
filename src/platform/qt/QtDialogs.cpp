#include "platform/qt/QtDialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QWidget>

namespace velmora {

namespace {

QString Title(const std::string& caption) {
  return caption.empty() ? QApplication::applicationName() : QString::fromStdString(caption);
}

}  // namespace

QWidget* DialogParent(QWidget* window) {
  // Over a window not yet shown a dialog would sit where that window will be placed
  // later, off centre; on its own it is centred on the screen.
  return window != nullptr && window->isVisible() ? window : nullptr;
}

QString FileDialogFilter(const std::string& filter) {
  const QString text = QString::fromStdString(filter);
  if (!text.contains('|')) return text;
  const QStringList parts = text.split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    QString name = parts[i];
    filters << (name.contains('(') ? name : name + " (" + patterns + ")");
  }
  return filters.join(";;");
}

TMessageResult TQtDialogs::MessageBox(TMessageKind kind, const std::string& caption,
                                      const std::string& text, TMessageButtons buttons) {
  QMessageBox box(DialogParent(Parent_));
  switch (kind) {
    case TMessageKind::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case TMessageKind::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case TMessageKind::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case TMessageKind::Confirmation:
      box.setIcon(QMessageBox::Question);
      break;
  }
  box.setWindowTitle(Title(caption));
  // Texts may come from the ranking server; never let them be read as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(QString::fromStdString(text));
  switch (buttons) {
    case TMessageButtons::OK:
      box.setStandardButtons(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Ok);
      break;
    case TMessageButtons::OKIgnore:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Ignore);
      box.setDefaultButton(QMessageBox::Ok);
      // Closing the box must not count as "do not show this again".
      box.setEscapeButton(QMessageBox::Ok);
      break;
    case TMessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      box.setEscapeButton(QMessageBox::No);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return TMessageResult::OK;
    case QMessageBox::Ignore:
      return TMessageResult::Ignore;
    case QMessageBox::Yes:
      return TMessageResult::Yes;
    case QMessageBox::No:
      return TMessageResult::No;
    default:
      return TMessageResult::Cancel;
  }
}

std::optional<std::string> TQtDialogs::InputBox(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& initial) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(DialogParent(Parent_), Title(caption), QString::fromStdString(prompt),
                            QLineEdit::Normal, QString::fromStdString(initial), &ok);
  if (!ok) return std::nullopt;
  return text.toStdString();
}

std::optional<std::string> TQtDialogs::OpenFile(const std::string& title,
                                                const std::string& filter) {
  const QString path = QFileDialog::getOpenFileName(DialogParent(Parent_), Title(title), Folder_,
                                                    FileDialogFilter(filter));
  if (path.isEmpty()) return std::nullopt;
  Folder_ = QFileInfo(path).absolutePath();
  // The bytes the file system knows the file by, whatever its name contains.
  return QFile::encodeName(path).toStdString();
}

}  // namespace velmora
