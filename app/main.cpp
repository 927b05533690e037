// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// umbrivista: the desktop program.

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

#include "city_hist_window.h"
#include "city_list_window.h"
#include "data_files.h"
#include "globeview.h"
#include "app_icon.h"
#include "main_window.h"
#include "poi_list.h"
#include "quit_signals.h"
#include "safe_file.h"
#include "widgets.h"
#include "settings_file.h"
#include "numbers.h"

using namespace umbrivista;

namespace {

// The user's folder of that kind with an "Umbrivista" subfolder, made when missing ("" when
// there is no such folder).
std::string UserFolder(QStandardPaths::StandardLocation kind) {
  const QString base = QStandardPaths::writableLocation(kind);
  if (base.isEmpty()) return {};
  const QString folder = base + QStringLiteral("/Umbrivista");
  QDir().mkpath(folder);
  return folder.toStdString();
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
  const std::string documents = UserFolder(QStandardPaths::DocumentsLocation);
  const std::string appData = UserFolder(QStandardPaths::GenericDataLocation);
  QApplication::setWindowIcon(AppIcon());
  options.version = UMBRIVISTA_VERSION;
  options.catalogueFile = FindDataFile(kCatalogueFileName, options.dataDir);
  options.fileType =
      QMimeDatabase().mimeTypeForFile(QCoreApplication::applicationFilePath()).comment().toStdString();
  if (!documents.empty()) options.poiFile = documents + "/" + kPoIFileName;
  // Writes cut short by a killed run leave hidden temporary files beside their targets.
  RemoveStaleTemporaries(options.poiFile);
  // The settings: read, or made with the defaults. The stored eclipse position is checked
  // against the catalogue by the main window, which loads it.
  const SettingsLimits limits{1 << 30};
  if (!appData.empty()) {
    options.settingsFile = appData + "/" + kSettingsFileName;
    options.selectionFile = appData + "/" + kPoISelectionFileName;
    RemoveStaleTemporaries(options.settingsFile);
    RemoveStaleTemporaries(options.selectionFile);
    LoadedSettings loaded = LoadOrCreateSettings(options.settingsFile, options.version, limits);
    // Shown once the window is there.
    options.settingsProblem = loaded.problem;
    options.settings = loaded.record;
    options.fitGlobe = loaded.firstRun;
  } else {
    options.settings = DefaultSettings(options.version);
    options.fitGlobe = true;
  }

  // Every window, frame included, within the screen's free area.
  KeepWindowsOnScreen();
  TForm_Main mainWindow(options);
  TForm_CityHist history;
  history.ApplySettings(options.settings);
  // A first run searches the years around the present.
  if (options.fitGlobe) history.StartAtPresent(QDate::currentDate().year());
  TForm_CityList list;
  list.ApplySettings(options.settings);
  mainWindow.AttachReportWindows(&history, &list);
  // The city-list window's creation applies the saved language to all three windows.
  mainWindow.LanguageCommand(options.settings.language);
  if (quitAfterFirstPaint) {
    QObject::connect(mainWindow.Globe, &TGlobeView::afterRender, &mainWindow,
                     [&mainWindow] { QTimer::singleShot(0, &mainWindow, &QWidget::close); });
  }
  CloseOnTerminationSignals(&mainWindow);
  mainWindow.show();
  return QApplication::exec();
}
