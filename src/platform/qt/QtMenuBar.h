// Mirrors the core's menu tree into a Qt menu bar. The core owns the items, their
// captions, marks and handlers; this only shows them and passes clicks back.
#pragma once

#include <QObject>

#include <functional>
#include <map>

#include "shell/Menu.h"

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QWidget;

namespace velmora {

// The text Qt shows for a menu item: "-" stays a separator, "&" keeps marking the
// accelerator, and the shortcut goes after a tab into the shortcut column.
QString MenuText(const TMenuItem& item);

class TQtMenuBar : public QObject {
  Q_OBJECT

 public:
  // Runs a call into the core; the window wraps it with its error handling.
  using TInvoker = std::function<void(const std::function<void()>&)>;

  TQtMenuBar(QMenuBar* bar, QWidget* window, TMenuItem& root, TInvoker invoke);

  // Brings the top-level menus' captions and states up to date; cheap when nothing
  // changed, so it may run after every call into the core.
  void RefreshTopLevel();

 private:
  void BuildMenu(QMenu* menu, TMenuItem& parent);
  QAction* AddItem(QMenu* menu, TMenuItem& item);
  void Refresh(QAction* action, const TMenuItem& item);
  void AboutToShow(QMenu* menu, TMenuItem& item);
  void AddShortcuts(TMenuItem& parent);
  void ShortcutActivated(const QString& shortcut);

  QMenuBar* Bar_;
  QWidget* Window_;
  TMenuItem& Root_;
  TInvoker Invoke_;
  // Top-level entries, by the item each shows.
  std::map<TMenuItem*, QAction*> TopLevel_;
  std::map<QString, bool> Shortcuts_;
};

}  // namespace velmora
