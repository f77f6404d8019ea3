#include "platform/qt/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace velmora {

QStringList InstallJapaneseTranslations(QCoreApplication& app, const QString& folder) {
  const QString where =
      folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
  // Type names and numbers follow suit. (The file dialog's sizes and dates follow the
  // system's language instead; the dialog writes those itself.)
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  QStringList loaded;
  for (const char* name : {"qtbase_ja"}) {
    auto* translator = new QTranslator(&app);
    if (translator->load(name, where) && QCoreApplication::installTranslator(translator)) {
      loaded << name;
    } else {
      delete translator;
    }
  }
  return loaded;
}

}  // namespace velmora
