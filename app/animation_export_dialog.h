// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's animation export: a dialog for the picture size, the speed and the time
// range (its state in AnimationExportModel), the save dialog, then the frames drawn and written
// under a progress dialog whose Cancel leaves no file behind.

#include <QDialog>
#include <string>

#include "animation_export_model.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace umbrivista {

class Session;
struct GlobePictureOptions;

class TAnimationExportDialog : public QDialog {
  Q_OBJECT

 public:
  TAnimationExportDialog(const Session& session, QWidget* parent = nullptr);
  const AnimationExportModel& Model() const { return model_; }

 private:
  void ShowSummary();

  AnimationExportModel model_;
  QComboBox* ComboBox_Size;
  QComboBox* ComboBox_Speed;
  QLineEdit* Edit_From;
  QLineEdit* Edit_To;
  QLabel* Label_Summary;
  QDialogButtonBox* Buttons;
};

// The globe picture of the window's state at `size`: the eclipse's time scale, view, texture,
// grid, limits, capitals, sub-solar marker, point of interest and language; the window's zoom,
// or a smaller globe where the whole globe would not fit the picture.
GlobePictureOptions PictureOptionsFor(const Session& session, const PictureSize& size,
                                      const std::string& texturePath);

// The whole command: dialog, save dialog, progress; errors in a message. The file written, or
// "" when nothing was (cancelled or failed).
std::string ExportAnimation(QWidget* parent, const Session& session, const std::string& texturePath);

}  // namespace umbrivista
