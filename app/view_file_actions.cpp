// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// File menu: the globe's look and view saved to and read from an environment file. The main
// window's own settings are not part of it.

#include <QFileDialog>
#include <QFileInfo>
#include <exception>
#include <string>

#include "globeview.h"
#include "main_window.h"
#include "widgets.h"

namespace umbrivista {

namespace {

QString ViewFileFilter(Language language) {
  switch (language) {
    case Language::kGerman:
      return QStringLiteral("Globusansicht (*.xml)");
    case Language::kFrench:
      return QStringLiteral("Vue du globe (*.xml)");
    case Language::kEnglish:
      break;
  }
  return QStringLiteral("Globe view (*.xml)");
}

}  // namespace

void TForm_Main::SaveViewClick() {
  const std::string path = ChooseSaveFile(this, QStringLiteral("Umbrivista_view.xml"),
                                          {ViewFileFilter(session_.GetLanguage())});
  if (path.empty()) return;
  try {
    Globe->SaveEnvironment(path);
  } catch (const std::exception& e) {
    ShowMessage(this, QString::fromUtf8(e.what()));
    return;
  }
  RememberSaveFolder(path);
}

void TForm_Main::OpenViewClick() {
  const QString folder =
      Globe->EnvironmentFile().empty()
          ? QString()
          : QFileInfo(QString::fromStdString(Globe->EnvironmentFile())).absolutePath();
  const QString path = QFileDialog::getOpenFileName(this, QString(), folder,
                                                    ViewFileFilter(session_.GetLanguage()));
  if (!path.isEmpty()) OpenView(path.toStdString());
}

bool TForm_Main::OpenView(const std::string& path) {
  // The globe only remembers the name of a file that is not there; here that is a failure.
  if (!QFileInfo::exists(QString::fromStdString(path))) {
    ShowMessage(this, QString::fromStdString(path) + QStringLiteral(": no such file"));
    return false;
  }
  try {
    Globe->SetEnvironmentFile(path);
  } catch (const std::exception& e) {
    ShowMessage(this, QString::fromUtf8(e.what()));
    return false;
  }
  Globe->update();
  return true;
}

}  // namespace umbrivista
