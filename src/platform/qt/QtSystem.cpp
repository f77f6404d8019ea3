#include "platform/qt/QtSystem.h"

#include "platform/InstalledData.h"
#include "platform/qt/HelpWindow.h"
#include "platform/qt/QtDialogs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTextBrowser>
#include <QUrl>

#include <chrono>
#include <cstdio>
#include <thread>

namespace velmora {

QString TimeFormatWithoutZone(const QString& format) {
  QString result;
  bool quoted = false;
  for (QChar c : format) {
    if (c == '\'') quoted = !quoted;
    if (!quoted && c == 't') continue;
    result += c;
  }
  return result.simplified();
}

bool IsWebAddress(const QString& url) {
  const QUrl parsed = QUrl::fromUserInput(url.trimmed());
  return parsed.isValid() && (parsed.scheme() == "http" || parsed.scheme() == "https");
}

TQtSystem::TQtSystem() {
  Clock_.start();
}

TQtSystem::~TQtSystem() = default;

uint32_t TQtSystem::TickCount() {
  return static_cast<uint32_t>(static_cast<uint64_t>(Clock_.elapsed()));
}

void TQtSystem::Sleep(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string TQtSystem::DateTimeText() {
  const QLocale locale;
  const QString format = locale.dateFormat(QLocale::ShortFormat) + ' ' +
                         TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat));
  return locale.toString(QDateTime::currentDateTime(), format).toStdString();
}

std::string TQtSystem::ComputerName() {
  return QSysInfo::machineHostName().toStdString();
}

std::string TQtSystem::DataFolder() {
  const std::string beside =
      QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
  return FindDataFolder(beside, beside);
}

std::string TQtSystem::ProgramFolder() {
  if (!Folder_.empty()) return Folder_;
  // A copy unpacked somewhere writable keeps everything beside itself; an installed one
  // (even one installed into a folder the player may write to) keeps its settings and log
  // with the user's other settings.
  QString folder = QCoreApplication::applicationDirPath();
  if (!QFileInfo(folder).isWritable() ||
      !InstalledDataFolder(QFile::encodeName(folder).toStdString()).empty()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/velmora";
    if (!QDir().mkpath(folder)) {
      std::fprintf(stderr, "velmora: cannot create %s\n", qPrintable(folder));
    }
  }
  while (folder.size() > 1 && folder.endsWith('/'))
    folder.chop(1);
  Folder_ = QFile::encodeName(folder).toStdString();
  return Folder_;
}

void TQtSystem::OpenUrl(const std::string& url) {
  const QString text = QString::fromStdString(url);
  if (!IsWebAddress(text)) {
    std::fprintf(stderr, "velmora: not opening %s: not a web address\n", url.c_str());
    return;
  }
  OpenWebAddress(QUrl::fromUserInput(text.trimmed()));
}

bool TQtSystem::OpenWebAddress(const QUrl& url) {
  const bool opened = OpenInBrowser ? OpenInBrowser(url) : QDesktopServices::openUrl(url);
  if (!opened) {
    // Without a browser the request would vanish without a word.
    ShowMessage(Parent_, QMessageBox::Warning,
                "ウェブページを開けませんでした。ブラウザーがインストールされていないか、"
                "既定のブラウザーが設定されていません。\n\nアドレス: " +
                    url.toString());
  }
  return opened;
}

void TQtSystem::ShowHelp(const std::string& file) {
  // "help.html#about" opens the help at that part of it.
  const size_t hash = file.find('#');
  const QString anchor =
      hash == std::string::npos ? QString() : QString::fromStdString(file.substr(hash + 1));
  const QString path = QFile::decodeName(QByteArray::fromStdString(file.substr(0, hash)));
  if (!QFileInfo::exists(path)) {
    ShowMessage(Parent_, QMessageBox::Warning, "ヘルプファイル " + path + " が見つかりません。");
    return;
  }
  if (!Help_)
    Help_ = std::make_unique<THelpWindow>([this](const QUrl& url) { OpenWebAddress(url); });
  Help_->Open(path);
  if (!anchor.isEmpty()) Help_->Browser()->scrollToAnchor(anchor);
}

}  // namespace velmora
