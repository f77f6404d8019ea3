// 戦績: the player's records in a window, a tab per group and the runs of each table under
// its title, with the button that watches a run whose replay is kept.
#pragma once

#include <QDialog>
#include <QString>

#include <string>

#include "platform/RecordsView.h"

class QPushButton;
class QTabWidget;
class QTreeWidget;

namespace velmora {

class TRecordsDialog : public QDialog {
  Q_OBJECT

 public:
  TRecordsDialog(QWidget* parent, const TRecordsView& view);

  // The replay of the run chosen with リプレイを見る (or a double click); empty when closed.
  const std::string& ChosenReplay() const { return Chosen_; }

  QTabWidget* Tabs() const { return Tabs_; }
  QPushButton* WatchButton() const { return WatchButton_; }
  // The group's list of runs, or null for a group with nothing in it yet.
  QTreeWidget* Tree(int group) const;

 private:
  void UpdateWatchButton();
  void Watch();
  QString CurrentReplay() const;

  QTabWidget* Tabs_ = nullptr;
  QPushButton* WatchButton_ = nullptr;
  std::string Chosen_;
};

}  // namespace velmora
