#include "platform/qt/QtMenuBar.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QVariant>
#include <QWidget>

namespace velmora {

namespace {

constexpr char kItemProperty[] = "velmoraMenuItem";

bool IsSeparator(const TMenuItem& item) {
  return item.Caption == "-";
}

TMenuItem* ItemOf(const QAction* action) {
  return reinterpret_cast<TMenuItem*>(action->property(kItemProperty).value<quintptr>());
}

TMenuItem* FindShortcut(TMenuItem& parent, const std::string& shortcut) {
  for (auto& child : parent.Items) {
    if (child->ShortCut == shortcut) return child.get();
    if (TMenuItem* found = FindShortcut(*child, shortcut)) return found;
  }
  return nullptr;
}

// The menu no longer matches the tree when items came, went or turned into separators.
bool SameShape(const QMenu* menu, const TMenuItem& parent) {
  const QList<QAction*> actions = menu->actions();
  if (actions.size() != static_cast<qsizetype>(parent.Items.size())) return false;
  for (qsizetype i = 0; i < actions.size(); ++i) {
    const TMenuItem& item = *parent.Items[static_cast<size_t>(i)];
    if (ItemOf(actions[i]) != &item || actions[i]->isSeparator() != IsSeparator(item) ||
        (actions[i]->menu() != nullptr) != !item.Items.empty()) {
      return false;
    }
  }
  return true;
}

}  // namespace

QString MenuText(const TMenuItem& item) {
  QString text = QString::fromStdString(item.Caption);
  if (!item.ShortCut.empty()) {
    const QString portable = QString::fromStdString(item.ShortCut);
    const QKeySequence sequence = QKeySequence::fromString(portable, QKeySequence::PortableText);
    text += '\t' + (sequence.isEmpty() ? portable : sequence.toString(QKeySequence::NativeText));
  }
  return text;
}

TQtMenuBar::TQtMenuBar(QMenuBar* bar, QWidget* window, TMenuItem& root, TInvoker invoke)
    : QObject(bar), Bar_(bar), Window_(window), Root_(root), Invoke_(std::move(invoke)) {
  for (auto& child : Root_.Items) {
    TMenuItem& item = *child;
    QAction* action = nullptr;
    if (!item.Items.empty()) {
      auto* menu = new QMenu(QString::fromStdString(item.Caption), Bar_);
      BuildMenu(menu, item);
      connect(menu, &QMenu::aboutToShow, this, [this, menu, &item] { AboutToShow(menu, item); });
      action = Bar_->addMenu(menu);
    } else if (IsSeparator(item)) {
      action = Bar_->addSeparator();
    } else {
      action = Bar_->addAction(QString::fromStdString(item.Caption));
      connect(action, &QAction::triggered, this,
              [this, &item] { Invoke_([&item] { item.Click(); }); });
    }
    action->setProperty(kItemProperty, QVariant::fromValue(reinterpret_cast<quintptr>(&item)));
    TopLevel_[&item] = action;
  }
  RefreshTopLevel();
  AddShortcuts(Root_);
}

void TQtMenuBar::BuildMenu(QMenu* menu, TMenuItem& parent) {
  for (QMenu* sub : menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
    sub->deleteLater();
  for (QActionGroup* group : menu->findChildren<QActionGroup*>(Qt::FindDirectChildrenOnly)) {
    delete group;
  }
  menu->clear();
  std::map<int, QActionGroup*> groups;
  for (auto& child : parent.Items) {
    QAction* action = AddItem(menu, *child);
    if (child->RadioItem && !action->isSeparator()) {
      QActionGroup*& group = groups[child->GroupIndex];
      if (group == nullptr) {
        group = new QActionGroup(menu);
        // The core decides which one is marked, even none.
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
      }
      group->addAction(action);
    }
    Refresh(action, *child);
  }
}

QAction* TQtMenuBar::AddItem(QMenu* menu, TMenuItem& item) {
  QAction* action = nullptr;
  if (IsSeparator(item)) {
    action = menu->addSeparator();
  } else if (!item.Items.empty()) {
    auto* sub = new QMenu(QString::fromStdString(item.Caption), menu);
    BuildMenu(sub, item);
    connect(sub, &QMenu::aboutToShow, this, [this, sub, &item] { AboutToShow(sub, item); });
    action = menu->addMenu(sub);
  } else {
    action = new QAction(MenuText(item), menu);
    connect(action, &QAction::triggered, this,
            [this, &item] { Invoke_([&item] { item.Click(); }); });
    menu->addAction(action);
  }
  action->setProperty(kItemProperty, QVariant::fromValue(reinterpret_cast<quintptr>(&item)));
  return action;
}

void TQtMenuBar::Refresh(QAction* action, const TMenuItem& item) {
  action->setVisible(item.Visible);
  if (action->isSeparator()) return;
  action->setText(action->menu() != nullptr ? QString::fromStdString(item.Caption)
                                            : MenuText(item));
  action->setEnabled(item.Enabled);
  if (action->menu() == nullptr) {
    // Once an item has shown a mark it keeps its check box, so an option switched off
    // still reads as an option.
    if (item.CheckItem || item.Checked || item.RadioItem) action->setCheckable(true);
    action->setChecked(item.Checked);
  }
}

void TQtMenuBar::AboutToShow(QMenu* menu, TMenuItem& item) {
  // Opening a menu is a click on it: the core rewrites captions and marks there.
  Invoke_([&item] { item.Click(); });
  if (!SameShape(menu, item)) {
    BuildMenu(menu, item);
    AddShortcuts(item);
    return;
  }
  const QList<QAction*> actions = menu->actions();
  for (qsizetype i = 0; i < actions.size(); ++i) {
    Refresh(actions[i], *item.Items[static_cast<size_t>(i)]);
  }
}

void TQtMenuBar::RefreshTopLevel() {
  for (auto& [item, action] : TopLevel_) {
    if (action->isVisible() != item->Visible) action->setVisible(item->Visible);
    if (action->isEnabled() != item->Enabled) action->setEnabled(item->Enabled);
    const QString caption = QString::fromStdString(item->Caption);
    if (action->text() != caption && !action->isSeparator()) action->setText(caption);
  }
}

void TQtMenuBar::AddShortcuts(TMenuItem& parent) {
  for (auto& child : parent.Items) {
    const QString text = QString::fromStdString(child->ShortCut);
    if (!text.isEmpty() && !Shortcuts_.contains(text)) {
      const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
      if (!sequence.isEmpty()) {
        // On the window rather than on the menu action: hidden items (the pause key)
        // must still answer their shortcut, which Qt refuses for invisible actions.
        auto* shortcut = new QShortcut(sequence, Window_);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, this, [this, text] { ShortcutActivated(text); });
      }
      Shortcuts_[text] = true;
    }
    AddShortcuts(*child);
  }
}

void TQtMenuBar::ShortcutActivated(const QString& shortcut) {
  TMenuItem* item = FindShortcut(Root_, shortcut.toStdString());
  if (item == nullptr || !item->Enabled) return;
  Invoke_([item] { item->Click(); });
}

}  // namespace velmora
