// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "help_window.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>

#include "app_icon.h"

namespace umbrivista {

std::string HelpPageName(Language language) {
  static const char* const kPages[] = {"help/UmbrivistaDE.html", "help/UmbrivistaEN.html",
                                       "help/UmbrivistaFR.html"};
  return kPages[LanguageIndex(IsKnownLanguage(language) ? language : kDefaultLanguage)];
}

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("THelpWindow"));
  setWindowIcon(AppIcon());
  resize(820, 680);
  browser_ = new THelpBrowser(this);
  browser_->setObjectName(QStringLiteral("TextBrowser_Help"));
  // Links within the page move in the browser; links to the web open in the user's browser.
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
}

QVariant THelpBrowser::loadResource(int type, const QUrl& name) {
  // While a page loads, source() still names the page before it: resolve against the new one.
  const QUrl url = name.isRelative() ? page_.resolved(name) : name;
  if (url.isLocalFile() || url.scheme().isEmpty()) {
    const std::string path = (url.isLocalFile() ? url.toLocalFile() : url.path()).toStdString();
    const qint64 limit = type == QTextDocument::ImageResource ? kMaxHelpImageBytes
                                                              : kMaxHelpPageBytes;
    std::error_code ec;
    // Follows links; false for pipes and devices.
    if (!std::filesystem::is_regular_file(path, ec) ||
        std::filesystem::file_size(path, ec) > static_cast<std::uintmax_t>(limit) || ec) {
      qWarning("help: %s is not read (not a regular file, or larger than %lld bytes)",
               path.c_str(), static_cast<long long>(limit));
      // Empty but valid: an invalid answer would let the document open the file itself.
      return QByteArray();
    }
    return QTextBrowser::loadResource(type, QUrl::fromLocalFile(QString::fromStdString(path)));
  }
  return QTextBrowser::loadResource(type, name);
}

bool THelpWindow::ShowPage(const std::string& path) {
  const QFileInfo page(QString::fromStdString(path));
  if (!page.isFile() || !page.isReadable() || page.size() > kMaxHelpPageBytes) return false;
  QUrl url = QUrl::fromLocalFile(page.absoluteFilePath());
  url.setFragment(QStringLiteral("contents"));
  browser_->SetPage(url);
  browser_->setSource(url);
  setWindowTitle(browser_->documentTitle().isEmpty() ? QStringLiteral("Umbrivista")
                                                     : browser_->documentTitle());
  show();
  raise();
  activateWindow();
  return true;
}

}  // namespace umbrivista
