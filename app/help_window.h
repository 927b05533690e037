#pragma once
// The help window: the help page of the interface language, opened on its table of contents.

#include <QWidget>
#include <string>

#include "language.h"

class QTextBrowser;

namespace umbrivista {

// "help/UmbrivistaDE.html", "help/UmbrivistaEN.html" or "help/UmbrivistaFR.html", for the data-file
// lookup.
std::string HelpPageName(Language language);

class THelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit THelpWindow(QWidget* parent = nullptr);
  // Shows the page at `path` on its table of contents; false (nothing shown) when the page
  // cannot be read.
  bool ShowPage(const std::string& path);
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace umbrivista
