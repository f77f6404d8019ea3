#include "platform/qt/HelpWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace velmora {

namespace {

constexpr int kPositionRole = Qt::UserRole;

}  // namespace

std::vector<THelpTopic> HelpTopics(const QTextDocument& document) {
  std::vector<THelpTopic> topics;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const int level = block.blockFormat().headingLevel();
    const QString title = block.text().simplified();
    if (level > 0 && !title.isEmpty()) topics.push_back({level, title, block.position()});
  }
  return topics;
}

std::vector<THelpHit> SearchHelp(const QTextDocument& document, const QString& words) {
  std::vector<THelpHit> hits;
  const QString needle = words.simplified();
  if (needle.isEmpty()) return hits;
  const std::vector<THelpTopic> topics = HelpTopics(document);
  // Each match counts for the section whose heading comes last before it.
  for (QTextCursor found = document.find(needle); !found.isNull();
       found = document.find(needle, found)) {
    const int at = found.selectionStart();
    QString section = document.metaInformation(QTextDocument::DocumentTitle);
    for (const THelpTopic& topic : topics)
      if (topic.Position <= at) section = topic.Title;
    if (hits.empty() || hits.back().Title != section) {
      hits.push_back({section, 0, at});
    }
    ++hits.back().Count;
  }
  return hits;
}

THelpWindow::THelpWindow(std::function<void(const QUrl&)> openUrl, QWidget* parent)
    : QWidget(parent, Qt::Window),
      OpenUrl_(std::move(openUrl)),
      Browser_(new QTextBrowser),
      Tabs_(new QTabWidget),
      Contents_(new QTreeWidget),
      SearchField_(new QLineEdit),
      Results_(new QListWidget) {
  setWindowTitle("Velmora ヘルプ");
  // Closing the game ends the program even while the help is still open.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(960, 680);

  Browser_->setOpenLinks(false);
  connect(Browser_, &QTextBrowser::anchorClicked, this, &THelpWindow::LinkClicked);

  Contents_->setHeaderHidden(true);
  connect(Contents_, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { ShowPosition(item->data(0, kPositionRole).toInt()); });
  connect(Contents_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { ShowPosition(item->data(0, kPositionRole).toInt()); });

  auto* searchPage = new QWidget;
  auto* searchLayout = new QVBoxLayout(searchPage);
  searchLayout->addWidget(new QLabel("探す言葉:"));
  auto* searchRow = new QHBoxLayout;
  SearchField_->setPlaceholderText("例: ジョイスティック");
  SearchField_->setClearButtonEnabled(true);
  auto* searchButton = new QPushButton("検索");
  searchRow->addWidget(SearchField_);
  searchRow->addWidget(searchButton);
  searchLayout->addLayout(searchRow);
  searchLayout->addWidget(new QLabel("見つかった項目:"));
  searchLayout->addWidget(Results_);
  const auto run = [this] { Search(SearchField_->text()); };
  connect(SearchField_, &QLineEdit::returnPressed, this, run);
  connect(searchButton, &QPushButton::clicked, this, run);
  const auto show = [this](QListWidgetItem* item) {
    if (item->flags().testFlag(Qt::ItemIsEnabled)) ShowPosition(item->data(kPositionRole).toInt());
  };
  connect(Results_, &QListWidget::itemClicked, this, show);
  connect(Results_, &QListWidget::itemActivated, this, show);

  Tabs_->addTab(Contents_, "目次");
  Tabs_->addTab(searchPage, "検索");

  auto* splitter = new QSplitter;
  splitter->addWidget(Tabs_);
  splitter->addWidget(Browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({260, 700});
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &QWidget::close);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);
}

void THelpWindow::Open(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  if (absolute != Path_) {
    Path_ = absolute;
    Browser_->setSource(QUrl::fromLocalFile(absolute));
    BuildContents();
    Results_->clear();
  }
  if (!isVisible() && !Placed_) {
    // The first time, in the middle of the screen the game is on.
    Placed_ = true;
    const QWidget* game = QApplication::activeWindow();
    if (const QScreen* where =
            game != nullptr ? game->screen() : QGuiApplication::primaryScreen()) {
      QRect area(QPoint(0, 0), size().boundedTo(where->availableGeometry().size()));
      area.moveCenter(where->availableGeometry().center());
      setGeometry(area);
    }
  }
  show();
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void THelpWindow::BuildContents() {
  Contents_->clear();
  // Each heading goes under the last heading of a higher level before it.
  std::vector<std::pair<int, QTreeWidgetItem*>> parents;
  for (const THelpTopic& topic : HelpTopics(*Browser_->document())) {
    while (!parents.empty() && parents.back().first >= topic.Level)
      parents.pop_back();
    auto* item = parents.empty() ? new QTreeWidgetItem(Contents_)
                                 : new QTreeWidgetItem(parents.back().second);
    item->setText(0, topic.Title);
    item->setData(0, kPositionRole, topic.Position);
    parents.emplace_back(topic.Level, item);
  }
  Contents_->expandAll();
}

void THelpWindow::Search(const QString& words) {
  Tabs_->setCurrentIndex(1);
  SearchField_->setText(words);
  Results_->clear();
  const std::vector<THelpHit> hits = SearchHelp(*Browser_->document(), words);
  for (const THelpHit& hit : hits) {
    auto* item = new QListWidgetItem(QString("%1（%2件）").arg(hit.Title).arg(hit.Count), Results_);
    item->setData(kPositionRole, hit.Position);
  }
  if (hits.empty() && !words.simplified().isEmpty()) {
    auto* none = new QListWidgetItem("見つかりませんでした。", Results_);
    none->setFlags(Qt::NoItemFlags);
  }
  Highlight(words);
  if (!hits.empty()) {
    Results_->setCurrentRow(0);
    ShowPosition(hits.front().Position);
  }
}

void THelpWindow::Highlight(const QString& words) {
  QList<QTextEdit::ExtraSelection> marks;
  const QString needle = words.simplified();
  QTextDocument* document = Browser_->document();
  if (!needle.isEmpty()) {
    for (QTextCursor found = document->find(needle); !found.isNull();
         found = document->find(needle, found)) {
      QTextEdit::ExtraSelection mark;
      mark.cursor = found;
      mark.format.setBackground(QColor(255, 226, 90));
      marks << mark;
    }
  }
  Browser_->setExtraSelections(marks);
}

void THelpWindow::ShowPosition(int position) {
  QTextDocument* document = Browser_->document();
  const QTextBlock block = document->findBlock(position);
  QTextCursor cursor(document);
  cursor.setPosition(position);
  Browser_->setTextCursor(cursor);
  // The place goes to the top of the view, not just somewhere on screen.
  const qreal top = document->documentLayout()->blockBoundingRect(block).top();
  Browser_->verticalScrollBar()->setValue(static_cast<int>(top));
}

void THelpWindow::LinkClicked(const QUrl& url) {
  if (url.scheme() == "http" || url.scheme() == "https") {
    OpenUrl_(url);
    return;
  }
  // Places in the help and other local pages stay in this window.
  Browser_->setSource(Browser_->source().resolved(url));
}

}  // namespace velmora
