// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the program's icon as PNG pictures, umbrivista-SIZE.png in the given folder, for the
// desktop's icon theme. Run by the build.

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <string>

#include "app_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: umbrivista-icon-writer FOLDER\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const std::string path = std::string(argv[1]) + "/umbrivista-" + std::to_string(size) + ".png";
    if (!umbrivista::DrawAppIcon(size).save(QString::fromStdString(path), "PNG")) {
      std::fprintf(stderr, "umbrivista-icon-writer: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
