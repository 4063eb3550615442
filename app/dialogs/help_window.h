#pragma once
// The help window: the HTML pages under the program's "Help" folder in a browser. Context
// 0 is the contents page; contexts 1..4 are the pages of the four tab pages.

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace zefra::app {

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HelpWindow(const QString& helpFolder, QWidget* parent = nullptr);

  // The page file of a context: "index.html" for 0 (and anything unknown).
  static QString pageOfContext(int context);

  // Shows the window on the page of `context` and raises it.
  void showContext(int context);
  QString currentPage() const;

 private:
  QString folder;
  QTextBrowser* browser;
};

}  // namespace zefra::app
