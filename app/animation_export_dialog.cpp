// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "animation_export_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>
#include <memory>
#include <stdexcept>

#include "globe_picture.h"
#include "globe_settings.h"
#include "session.h"
#include "widgets.h"

namespace umbrivista {

TAnimationExportDialog::TAnimationExportDialog(const Session& session, QWidget* parent)
    : QDialog(parent),
      model_(session.Record(), session.DeltaTInUse(), session.GetLanguage()) {
  setObjectName(QStringLiteral("Dialog_ExportAnimation"));
  const Language language = session.GetLanguage();
  auto text = [language](AnimationText t) { return Q(AnimationTextFor(t, language)); };
  setWindowTitle(text(AnimationText::kMenuCommand));

  ComboBox_Size = Named(new QComboBox(this), "ComboBox_Size");
  for (const PictureSize& size : kAnimationSizes) ComboBox_Size->addItem(Q(AnimationSizeItem(size)));
  ComboBox_Size->setCurrentIndex(model_.SizeIndex());
  ComboBox_Speed = Named(new QComboBox(this), "ComboBox_Speed");
  for (int speed : kAnimationSpeeds) ComboBox_Speed->addItem(Q(AnimationSpeedItem(speed)));
  ComboBox_Speed->setCurrentIndex(model_.SpeedIndex());
  Edit_From = Named(new QLineEdit(Q(model_.FromText()), this), "Edit_From");
  Edit_To = Named(new QLineEdit(Q(model_.ToText()), this), "Edit_To");
  Label_Summary = Named(new QLabel(this), "Label_Summary");
  Buttons = Named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this),
                  "Buttons");

  auto* form = new QFormLayout;
  form->addRow(text(AnimationText::kSize), ComboBox_Size);
  form->addRow(text(AnimationText::kSpeed), ComboBox_Speed);
  form->addRow(text(AnimationText::kFrom), Edit_From);
  form->addRow(text(AnimationText::kTo), Edit_To);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(Label_Summary);
  layout->addWidget(Buttons);

  connect(ComboBox_Size, &QComboBox::currentIndexChanged, this, [this](int i) {
    model_.SetSizeIndex(i);
    ShowSummary();
  });
  connect(ComboBox_Speed, &QComboBox::currentIndexChanged, this, [this](int i) {
    model_.SetSpeedIndex(i);
    ShowSummary();
  });
  connect(Edit_From, &QLineEdit::textChanged, this, [this](const QString& t) {
    model_.SetFromText(t.toStdString());
    ShowSummary();
  });
  connect(Edit_To, &QLineEdit::textChanged, this, [this](const QString& t) {
    model_.SetToText(t.toStdString());
    ShowSummary();
  });
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  ShowSummary();
}

void TAnimationExportDialog::ShowSummary() {
  Label_Summary->setText(Q(model_.SummaryText()));
  Buttons->button(QDialogButtonBox::Ok)->setEnabled(model_.Problem().empty());
}

GlobePictureOptions PictureOptionsFor(const Session& session, const PictureSize& size,
                                      const std::string& texturePath) {
  GlobePictureOptions options;
  options.width = size.width;
  options.height = size.height;
  options.zoom = FittingZoom(size.width, size.height, session.Zoom());
  options.grid = session.GridIndex();
  options.texturePath = texturePath;
  options.deltaT = session.DeltaTInUse();
  options.back = session.BackView();
  options.subSolar = session.ShowSubSolar();
  options.overlay = true;
  options.capitals = session.ShowCapitals();
  options.limits = session.ShowLimits();
  options.nightSide = session.ShowNightSide();
  options.language = session.GetLanguage();
  if (session.ShowPoI()) options.poi = std::make_pair(session.PoILatitude(), session.PoILongitude());
  return options;
}

std::string ExportAnimation(QWidget* parent, const Session& session,
                            const std::string& texturePath) {
  const Language language = session.GetLanguage();
  auto text = [language](AnimationText t) { return Q(AnimationTextFor(t, language)); };
  TAnimationExportDialog dialog(session, parent);
  if (dialog.exec() != QDialog::Accepted) return {};
  const AnimationExportModel& model = dialog.Model();
  const std::string path =
      ChooseSaveFile(parent, Q(model.DefaultFileName()), {text(AnimationText::kFileFilter)});
  if (path.empty()) return {};

  QProgressDialog progress(parent);
  progress.setObjectName(QStringLiteral("Progress_ExportAnimation"));
  progress.setWindowTitle(text(AnimationText::kMenuCommand));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setMinimumWidth(360);  // room for the title
  progress.setAutoClose(false);
  progress.setAutoReset(false);
  const QString frameText = text(AnimationText::kProgress);
  auto report = [&](long long done, long long total) {
    progress.setMaximum(static_cast<int>(total));
    progress.setValue(static_cast<int>(done));
    progress.setLabelText(frameText.arg(done).arg(total));
    QCoreApplication::processEvents();
    return !progress.wasCanceled();
  };
  try {
    GlobePictureOptions options = PictureOptionsFor(session, model.Size(), texturePath);
    auto warn = [](const std::string& problem) { qWarning("%s", problem.c_str()); };
    std::unique_ptr<GlobePicture> picture;
    try {
      picture = std::make_unique<GlobePicture>(session.Record(), options, warn);
    } catch (const std::runtime_error& e) {
      // As the window does: without its texture the globe shows the plain surface.
      qWarning("%s", e.what());
      options.texturePath.clear();
      picture = std::make_unique<GlobePicture>(session.Record(), options, warn);
    }
    if (!WriteGlobeAnimation(*picture, model.Range(), kAnimationFramesPerSecond, path, report)) {
      return {};
    }
  } catch (const std::exception& e) {
    progress.close();
    ShowMessage(parent, text(AnimationText::kFailed) + QStringLiteral("\n") + Q(e.what()));
    return {};
  }
  RememberSaveFolder(path);
  return path;
}

}  // namespace umbrivista
