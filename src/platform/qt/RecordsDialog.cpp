#include "platform/qt/RecordsDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velmora {

namespace {

constexpr int kReplayRole = Qt::UserRole + 1;

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

QTreeWidget* MakeTree(const TRecordsGroup& group) {
  auto* tree = new QTreeWidget;
  QStringList header;
  for (const std::string& column : group.Tables.front().Columns)
    header << Text(column);
  header << "リプレイ";
  tree->setHeaderLabels(header);
  tree->setRootIsDecorated(false);
  tree->setItemsExpandable(false);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  for (const TRecordsTable& table : group.Tables) {
    auto* title = new QTreeWidgetItem(tree, QStringList{Text(table.Title)});
    title->setFirstColumnSpanned(true);
    title->setFlags(Qt::ItemIsEnabled);
    QFont bold = title->font(0);
    bold.setBold(true);
    title->setFont(0, bold);
    for (const TRecordsRow& row : table.Rows) {
      QStringList cells;
      for (const std::string& cell : row.Cells)
        cells << Text(cell);
      cells << (row.Replay.empty() ? QString() : QString("あり"));
      auto* item = new QTreeWidgetItem(title, cells);
      item->setData(0, kReplayRole, Text(row.Replay));
      // Numbers line up on the right, as in any score table.
      for (int c = 0; c < cells.size() - 1; ++c)
        if (!cells[c].isEmpty() && (cells[c][0].isDigit() || cells[c][0] == '-'))
          item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
  }
  tree->expandAll();
  for (int c = 0; c < tree->columnCount(); ++c)
    tree->resizeColumnToContents(c);
  // The first column holds the tables' titles too; they span the row and need no width.
  tree->setColumnWidth(0, tree->fontMetrics().horizontalAdvance("順位") + 24);
  return tree;
}

}  // namespace

TRecordsDialog::TRecordsDialog(QWidget* parent, const TRecordsView& view) : QDialog(parent) {
  setWindowTitle("戦績");
  auto* layout = new QVBoxLayout(this);
  Tabs_ = new QTabWidget;
  for (const TRecordsGroup& group : view.Groups) {
    if (group.Tables.empty()) {
      auto* none = new QLabel(kNoRecordsText);
      none->setAlignment(Qt::AlignCenter);
      Tabs_->addTab(none, Text(group.Title));
      continue;
    }
    QTreeWidget* tree = MakeTree(group);
    connect(tree, &QTreeWidget::currentItemChanged, this, [this] { UpdateWatchButton(); });
    connect(tree, &QTreeWidget::itemActivated, this, [this] {
      if (!CurrentReplay().isEmpty()) Watch();
    });
    Tabs_->addTab(tree, Text(group.Title));
  }
  // The first group with anything in it opens first.
  for (int i = 0; i < Tabs_->count(); ++i)
    if (Tree(i)) {
      Tabs_->setCurrentIndex(i);
      break;
    }
  connect(Tabs_, &QTabWidget::currentChanged, this, [this] { UpdateWatchButton(); });
  layout->addWidget(Tabs_);

  auto* buttons = new QDialogButtonBox;
  WatchButton_ = buttons->addButton("リプレイを見る", QDialogButtonBox::ActionRole);
  QPushButton* close = buttons->addButton("閉じる", QDialogButtonBox::RejectRole);
  close->setDefault(true);
  connect(WatchButton_, &QPushButton::clicked, this, [this] { Watch(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  UpdateWatchButton();
  resize(640, 420);
}

QTreeWidget* TRecordsDialog::Tree(int group) const {
  return qobject_cast<QTreeWidget*>(Tabs_->widget(group));
}

QString TRecordsDialog::CurrentReplay() const {
  const QTreeWidget* tree = Tree(Tabs_->currentIndex());
  const QTreeWidgetItem* item = tree ? tree->currentItem() : nullptr;
  return item ? item->data(0, kReplayRole).toString() : QString();
}

void TRecordsDialog::UpdateWatchButton() {
  WatchButton_->setEnabled(!CurrentReplay().isEmpty());
}

void TRecordsDialog::Watch() {
  Chosen_ = CurrentReplay().toStdString();
  if (!Chosen_.empty()) accept();
}

}  // namespace velmora
