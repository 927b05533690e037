// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// umbrivista-cli-draw: the drawing commands of umbrivista-cli (render, sketch), which
// umbrivista-cli hands its whole command line to. Messages and exit statuses are those of
// umbrivista-cli.

#include <QString>
#include <QtGlobal>

#include <iostream>

#include "drawing.h"

namespace umbrivista {

void PrepareOffscreenGui() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's notes about the session (no runtime folder and the like) are no concern of a picture.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << "\n";
  });
}

int& OffscreenArgc() {
  static int argc = 1;
  return argc;
}

char** OffscreenArgv() {
  static char name[] = "umbrivista-cli";
  static char* argv[] = {name, nullptr};
  return argv;
}

}  // namespace umbrivista

int main(int argc, char** argv) {
  using namespace umbrivista;
  return RunCommandLine(argc, argv, {{"render", RunRender}, {"sketch", RunSketch}});
}
