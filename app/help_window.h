// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help window: the help page of the interface language, opened on its table of contents.

#include <QWidget>
#include <string>

#include "language.h"

#include <QTextBrowser>

namespace umbrivista {

// "help/UmbrivistaDE.html", "help/UmbrivistaEN.html" or "help/UmbrivistaFR.html", for the data-file
// lookup.
std::string HelpPageName(Language language);

// The largest help page and the largest picture a page may show; a page or picture that is not a
// regular file or is larger is not read (a picture is then left out).
inline constexpr qint64 kMaxHelpPageBytes = 1 << 20;
inline constexpr qint64 kMaxHelpImageBytes = 8 << 20;

// A browser that reads only regular files of bounded size (a page naming /dev/zero or a pipe as
// its picture would otherwise grow or block the program).
class THelpBrowser : public QTextBrowser {
  Q_OBJECT

 public:
  using QTextBrowser::QTextBrowser;
  // Sets the page whose relative names the pictures are; call before setSource.
  void SetPage(const QUrl& page) { page_ = page; }
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  QUrl page_;
};

class THelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit THelpWindow(QWidget* parent = nullptr);
  // Shows the page at `path` on its table of contents; false (nothing shown) when the page
  // cannot be read.
  bool ShowPage(const std::string& path);
  THelpBrowser* Browser() const { return browser_; }

 private:
  THelpBrowser* browser_;
};

}  // namespace umbrivista
