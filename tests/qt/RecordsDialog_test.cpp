// 戦績 on the desktop: a tab per group, the runs under their tables' titles, and the button
// that watches a run only where its replay is kept.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "platform/qt/RecordsDialog.h"

namespace velmora {
namespace {

TEST(RecordsDialog, ShowsEachGroupAndWatchesOnlyAKeptReplay) {
  TRecordsView view;
  view.Groups.push_back({"キャンペーン", {}});
  view.Groups.push_back(
      {"単独ミッション",
       {{"真珠湾攻撃（１面）　簡単",
         {"順位", "戦果", "結果", "損傷率", "日付"},
         {{{"1", "31200", "任務成功", "20％", "2026/12/08 10:00"}, "/records/record-000002.vmr"},
          {{"2", "900", "撃墜", "100％", "2026/12/08 09:00"}, ""}}}}});
  TRecordsDialog dialog(nullptr, view);
  dialog.show();
  QApplication::processEvents();

  ASSERT_EQ(dialog.Tabs()->count(), 2);
  EXPECT_EQ(dialog.Tabs()->tabText(0), "キャンペーン");
  EXPECT_EQ(dialog.Tree(0), nullptr);  // nothing yet: a line saying so
  EXPECT_EQ(qobject_cast<QLabel*>(dialog.Tabs()->widget(0))->text(), "まだ記録がありません。");
  EXPECT_EQ(dialog.Tabs()->currentIndex(), 1);  // the first group with runs opens first

  QTreeWidget* tree = dialog.Tree(1);
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(tree->headerItem()->text(5), "リプレイ");
  QTreeWidgetItem* table = tree->topLevelItem(0);
  EXPECT_EQ(table->text(0), "真珠湾攻撃（１面）　簡単");
  ASSERT_EQ(table->childCount(), 2);
  EXPECT_EQ(table->child(0)->text(1), "31200");
  EXPECT_EQ(table->child(0)->text(5), "あり");

  EXPECT_FALSE(dialog.WatchButton()->isEnabled());  // nothing chosen
  tree->setCurrentItem(table->child(1));
  EXPECT_FALSE(dialog.WatchButton()->isEnabled());  // no replay kept for this run
  tree->setCurrentItem(table->child(0));
  ASSERT_TRUE(dialog.WatchButton()->isEnabled());
  dialog.WatchButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.ChosenReplay(), "/records/record-000002.vmr");
}

}  // namespace
}  // namespace velmora
