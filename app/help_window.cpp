#include "help_window.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

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
  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("TextBrowser_Help"));
  // Links within the page move in the browser; links to the web open in the user's browser.
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
}

bool THelpWindow::ShowPage(const std::string& path) {
  const QFileInfo page(QString::fromStdString(path));
  if (!page.isFile() || !page.isReadable()) return false;
  QUrl url = QUrl::fromLocalFile(page.absoluteFilePath());
  url.setFragment(QStringLiteral("contents"));
  browser_->setSource(url);
  setWindowTitle(browser_->documentTitle().isEmpty() ? QStringLiteral("Umbrivista")
                                                     : browser_->documentTitle());
  show();
  raise();
  activateWindow();
  return true;
}

}  // namespace umbrivista
