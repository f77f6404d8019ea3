// The game's own help viewer: the HTML help in Qt's rich-text browser, with its contents
// and a search, so that no other program is needed to read it.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTextDocument;
class QTreeWidget;
class QUrl;

namespace velmora {

// A heading of the help: its level (1 for <h1> ...), text and place in the document.
struct THelpTopic {
  int Level = 0;
  QString Title;
  int Position = 0;
};
std::vector<THelpTopic> HelpTopics(const QTextDocument& document);

// The sections holding the words searched for, in the order they come, each with the
// number of matches and the place of the first; the words are found ignoring letter case.
struct THelpHit {
  QString Title;
  int Count = 0;
  int Position = 0;
};
std::vector<THelpHit> SearchHelp(const QTextDocument& document, const QString& words);

class THelpWindow : public QWidget {
  Q_OBJECT

 public:
  // Web addresses in the help go to openUrl (the browser); everything else stays here.
  explicit THelpWindow(std::function<void(const QUrl&)> openUrl, QWidget* parent = nullptr);

  // Shows the file, with its contents; a file already shown keeps its place.
  void Open(const QString& path);
  // Runs a search as if typed into the search field, and shows the first hit.
  void Search(const QString& words);
  // Shows the place of the document and puts it at the top of the view.
  void ShowPosition(int position);

  QTextBrowser* Browser() const { return Browser_; }
  QTreeWidget* Contents() const { return Contents_; }
  QListWidget* Results() const { return Results_; }
  QTabWidget* Tabs() const { return Tabs_; }

 private:
  void BuildContents();
  void LinkClicked(const QUrl& url);
  void Highlight(const QString& words);

  std::function<void(const QUrl&)> OpenUrl_;
  QTextBrowser* Browser_;
  QTabWidget* Tabs_;
  QTreeWidget* Contents_;
  QLineEdit* SearchField_;
  QListWidget* Results_;
  QString Path_;
  bool Placed_ = false;
};

}  // namespace velmora
