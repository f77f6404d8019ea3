// Qt's own texts (file dialog, standard buttons, edit menus) in Japanese, like the rest of
// the game.
#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace velmora {

// Loads Qt's Japanese translations from Qt's translations folder (or the folder given)
// into the application; returns the catalogues that loaded. None is not an error: our own
// dialogs set their button texts themselves.
QStringList InstallJapaneseTranslations(QCoreApplication& app, const QString& folder = QString());

}  // namespace velmora
