// umbrivista: the desktop program.

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

#include "city_hist_window.h"
#include "city_list_window.h"
#include "data_files.h"
#include "globeview.h"
#include "main_window.h"
#include "numbers.h"

using namespace umbrivista;

namespace {

// The user's folder of that kind with an "Umbrivista" subfolder, made when missing.
void MakeUserFolder(QStandardPaths::StandardLocation kind) {
  const QString base = QStandardPaths::writableLocation(kind);
  if (!base.isEmpty()) QDir().mkpath(base + QStringLiteral("/Umbrivista"));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Qt has switched the C library to the user's locale; numbers are always written with ".".
  UseDotDecimalNumbers();
  QApplication::setApplicationName(QStringLiteral("Umbrivista"));
  QApplication::setApplicationVersion(QStringLiteral(UMBRIVISTA_VERSION));

  MainWindowOptions options;
  bool quitAfterFirstPaint = false;
  const QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QStringLiteral("--data-dir") && i + 1 < args.size()) {
      options.dataDir = args[++i].toStdString();
    } else if (args[i] == QStringLiteral("--quit-after-first-paint")) {
      quitAfterFirstPaint = true;  // start-up benchmark
    } else {
      std::fprintf(stderr, "usage: umbrivista [--data-dir DIR]\n");
      return 2;
    }
  }
  MakeUserFolder(QStandardPaths::DocumentsLocation);
  MakeUserFolder(QStandardPaths::GenericDataLocation);
  options.version = UMBRIVISTA_VERSION;
  options.settings.version = UMBRIVISTA_VERSION;
  options.catalogueFile = FindDataFile(kCatalogueFileName, options.dataDir);

  TForm_Main mainWindow(options);
  TForm_CityHist history;
  TForm_CityList list;
  mainWindow.AttachReportWindows(&history, &list);
  // The city-list window's creation applies the saved language to all three windows.
  mainWindow.LanguageCommand(options.settings.language);
  if (quitAfterFirstPaint) {
    QObject::connect(mainWindow.Globe, &TGlobeView::afterRender, &mainWindow,
                     [&mainWindow] { QTimer::singleShot(0, &mainWindow, &QWidget::close); });
  }
  mainWindow.show();
  return QApplication::exec();
}
