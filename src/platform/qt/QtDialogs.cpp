#include "platform/qt/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QInputDialog>
#include <QLocale>
#include <QMessageBox>
#include <QStringList>
#include <QTreeView>
#include <QWidget>
#include <algorithm>

#include "platform/qt/KeyBindingsDialog.h"
#include "platform/qt/RecordsDialog.h"

namespace velmora {

namespace {

QString Title(const std::string& caption) {
  return caption.empty() ? QApplication::applicationName() : QString::fromStdString(caption);
}

QLocale Japanese() {
  return QLocale(QLocale::Japanese, QLocale::Japan);
}

// Qt's file model writes sizes and dates in the system's language (an English month, "685
// bytes" squeezed to "685...tes"), and calls the game's text files C source, which is what
// their "//" comments resemble. The dialog's detail view reads them through this.
class TFileListModel : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::DisplayRole && index.column() >= 1 && index.column() <= 3) {
      if (const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel())) {
        const QString text = FileListText(files->fileInfo(mapToSource(index)), index.column());
        if (!text.isNull()) return text;
      }
    }
    return QIdentityProxyModel::data(index, role);
  }
};

// Wide enough for the longest size, type and date the game's folders hold; the name takes
// the rest and grows with the dialog.
void FitColumns(QFileDialog& dialog) {
  auto* view = dialog.findChild<QTreeView*>("treeView");
  if (view == nullptr) return;
  QHeaderView* header = view->header();
  const QFontMetrics metrics(view->font());
  const int padding = 3 * metrics.horizontalAdvance(' ') + 16;
  const QLocale ja = Japanese();
  const int widths[] = {
      0,
      metrics.horizontalAdvance(ja.formattedDataSize(999'999'999)),
      metrics.horizontalAdvance("オリジナルミッションファイル"),
      metrics.horizontalAdvance(
          ja.toString(QDateTime(QDate(2000, 12, 28), QTime(23, 59)), QLocale::ShortFormat)),
  };
  header->setStretchLastSection(false);
  for (int column = 1; column < header->count() && column <= 3; ++column) {
    header->setSectionResizeMode(column, QHeaderView::Interactive);
    header->resizeSection(column, widths[column] + padding);
  }
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  dialog.resize(std::max(dialog.width(), 360 + widths[1] + widths[2] + widths[3] + 3 * padding),
                std::max(dialog.height(), 420));
}

}  // namespace

QString FileListText(const QFileInfo& info, int column) {
  const QLocale ja = Japanese();
  switch (column) {
    case 1:
      return info.isDir() ? QString() : ja.formattedDataSize(info.size());
    case 2: {
      if (info.isDir()) return QString();
      // The suffix's case as a mission made on another system may have it ("UP.OMF").
      const QString suffix = info.suffix().toLower();
      if (suffix == "omf") return "オリジナルミッションファイル";
      if (suffix == "bfg") return "ミッションのブリーフィング";
      if (suffix == "tle") return "ミッションの作戦名";
      if (suffix == "edg") return "ミッションの結び";
      if (suffix == "vmr") return "リプレイファイル";
      return QString();
    }
    case 3:
      return ja.toString(info.lastModified(), QLocale::ShortFormat);
    default:
      return QString();
  }
}

QString JapaneseButtonText(int standardButton) {
  switch (standardButton) {
    case QMessageBox::Ok:
      return "OK";
    case QMessageBox::Yes:
      return "はい";
    case QMessageBox::No:
      return "いいえ";
    case QMessageBox::Ignore:
      return "無視";
    case QMessageBox::Cancel:
      return "キャンセル";
    case QMessageBox::Close:
      return "閉じる";
    default:
      return QString();
  }
}

void SetJapaneseButtonTexts(QMessageBox& box) {
  // Qt's translations spell these with accelerators ("はい(&Y)") or not at all; the game's
  // dialogs read the same whatever is installed.
  for (QAbstractButton* button : box.buttons()) {
    const QString text = JapaneseButtonText(box.standardButton(button));
    if (!text.isEmpty()) button->setText(text);
  }
}

void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::Ok,
                  DialogParent(parent));
  box.setTextFormat(Qt::PlainText);
  SetJapaneseButtonTexts(box);
  box.exec();
}

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
    case TMessageButtons::YesNoDefaultNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::No);
      box.setEscapeButton(QMessageBox::No);
      break;
  }
  SetJapaneseButtonTexts(box);
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
  QInputDialog dialog(DialogParent(Parent_));
  dialog.setWindowTitle(Title(caption));
  dialog.setLabelText(QString::fromStdString(prompt));
  dialog.setTextValue(QString::fromStdString(initial));
  dialog.setOkButtonText(JapaneseButtonText(QMessageBox::Ok));
  dialog.setCancelButtonText(JapaneseButtonText(QMessageBox::Cancel));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QString text = dialog.textValue();
  return text.toStdString();
}

std::optional<std::string> TQtDialogs::OpenFile(const std::string& title,
                                                const std::string& filter) {
  // Qt's own dialog, which speaks Japanese through Qt's translations; the desktop's dialog
  // would speak the desktop's language.
  const auto own = FilterFolders_.find(filter);
  QString& folder = own != FilterFolders_.end() ? own->second : Folder_;
  QFileDialog dialog(DialogParent(Parent_), Title(title), folder, FileDialogFilter(filter));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setProxyModel(new TFileListModel(&dialog));
  dialog.setViewMode(QFileDialog::Detail);
  FitColumns(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString path = dialog.selectedFiles().constFirst();
  if (path.isEmpty()) return std::nullopt;
  folder = QFileInfo(path).absolutePath();
  // The bytes the file system knows the file by, whatever its name contains.
  return QFile::encodeName(path).toStdString();
}

std::optional<std::string> TQtDialogs::ShowRecords(const TRecordsView& view) {
  TRecordsDialog dialog(DialogParent(Parent_), view);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.ChosenReplay();
}

bool TQtDialogs::EditKeyBindings(TKeyBindings& bindings) {
  TKeyBindingsDialog dialog(DialogParent(Parent_), bindings, Stick_);
  if (dialog.exec() != QDialog::Accepted) return false;
  bindings = dialog.Bindings();
  return true;
}

}  // namespace velmora
