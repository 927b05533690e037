// The main window's globe: zoom, centre, mouse, context panel, texture and grid, the map layers,
// the single point of interest, the animation and the overlay after each render.

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QWheelEvent>

#include "data_files.h"
#include "globe_settings.h"
#include "globeview.h"
#include "layers.h"
#include "main_window.h"
#include "report_widgets.h"
#include "navigation.h"
#include "overlay.h"
#include "place_circumstances.h"
#include "poi_input.h"
#include "numbers.h"
#include "deltat.h"
#include "gunits.h"

namespace umbrivista {

namespace {

constexpr int kWheelStep = 10;
constexpr int kResetZoom = 300;

}  // namespace

void TForm_Main::Zoom_TrackBarChange() {
  TGProjector& projector = Globe->Projector();
  projector.SetScaleFactor(ZoomScaleFactor(Zoom_TrackBar->value()));
  k_ = umbrivista::PixelsPerEarthRadius(projector.ScaleFactor());
  projector.SetXOrigin(cx_);
  projector.SetYOrigin(cy_);
}

void TForm_Main::MoveGlobeCentre(int dx, int dy) {
  cx_ += dx;
  cy_ += dy;
  Zoom_TrackBarChange();
}

void TForm_Main::CentreGlobe() {
  cx_ = Globe->width() / 2;
  cy_ = Globe->height() / 2;
  Zoom_TrackBarChange();
}

void TForm_Main::Button_Center_GlobeClick() {
  CentreGlobe();
  Panel_GlobeControl->hide();
  Globe->setFocus();
}

void TForm_Main::ResetGlobe(int zoom) {
  cx_ = Globe->width() / 2;
  cy_ = Globe->height() / 2;
  Zoom_TrackBar->setValue(zoom);
  Zoom_TrackBarChange();
}

void TForm_Main::FitGlobe() {
  ResetGlobe(FittingZoom(Globe->width(), Globe->height(), kResetZoom));
}

void TForm_Main::Button_Resize_GlobeClick() {
  ResetGlobe(kResetZoom);
  Panel_GlobeControl->hide();
  Globe->setFocus();
}

void TForm_Main::Button_Exit_GlobeClick() {
  Panel_GlobeControl->hide();
  Globe->setFocus();
}

void TForm_Main::GlobeMouse(QEvent* event) {
  switch (event->type()) {
    case QEvent::Wheel: {
      const int turn = static_cast<QWheelEvent*>(event)->angleDelta().y();
      if (turn == 0) return;
      // Turning the wheel towards the user (down) makes the globe larger.
      Zoom_TrackBar->setValue(Zoom_TrackBar->value() + (turn < 0 ? -kWheelStep : kWheelStep));
      Zoom_TrackBarChange();
      return;
    }
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      lastMouse_ = mouse->position().toPoint();
      // A click on the globe ends an animation run.
      if (mouse->button() == Qt::LeftButton) playing_ = false;
      Globe->setFocus();
      return;
    }
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->buttons() & Qt::LeftButton) {
        const QPoint now = mouse->position().toPoint();
        cx_ += now.x() - lastMouse_.x();
        cy_ += now.y() - lastMouse_.y();
        lastMouse_ = now;
      }
      Zoom_TrackBarChange();
      return;
    }
    case QEvent::MouseButtonDblClick: {
      // The point of interest goes where the user points.
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) return;
      TGGlobePoint point;
      const QPoint at = mouse->position().toPoint();
      if (!Globe->Projector().XYToLL(at.x(), at.y(), point)) return;
      const double latitude = GUToDegrees(point.Latitude);
      const double longitude = GUToDegrees(point.Longitude);
      RadioButton_PoI_Nord->setChecked(latitude >= 0);
      RadioButton_PoI_Sued->setChecked(latitude < 0);
      RadioButton_PoI_Ost->setChecked(longitude >= 0);
      RadioButton_PoI_West->setChecked(longitude < 0);
      {
        // Each handler runs once below, also when a text stays the same but its hemisphere not.
        const QSignalBlocker b1(Edit_PoI_Breite), b2(Edit_PoI_Laenge);
        Edit_PoI_Breite->setText(Q(FormatFixed(std::fabs(latitude), 3)));
        Edit_PoI_Laenge->setText(Q(FormatFixed(std::fabs(longitude), 3)));
      }
      Edit_PoI_BreiteChange();
      Edit_PoI_LaengeChange();
      return;
    }
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::RightButton) {
        const QPoint at = mouse->position().toPoint();
        Panel_GlobeControl->adjustSize();
        Panel_GlobeControl->move(at.x() - 60, at.y() - 17);
        Panel_GlobeControl->show();
        Panel_GlobeControl->raise();
      }
      return;
    }
    default:
      return;
  }
}

void TForm_Main::Combobox_GlobusChange() {
  const int index = std::clamp(ComboBox_Globus->currentIndex(), 0, kTextureCount - 1);
  const std::string path = FindDataFile(kTextureFiles[index], options_.dataDir);
  Globe->SetSurfaceTextureName(path);
  if (Globe->SurfaceTexture().GetEmpty()) {
    qWarning("cannot use the globe texture %s: %s", path.c_str(),
             Globe->SurfaceTexture().LastError().c_str());
  }
  Globe->setFocus();
  Globe->update();
}

void TForm_Main::ComboBox_GradNetzChange() {
  const GridSteps steps = GridStepsFor(ComboBox_GradNetz->currentIndex());
  Globe->Graticule().SetLatitudeStep(steps.latitude);
  Globe->Graticule().SetLongitudeStep(steps.longitude);
  Globe->setFocus();
}

// --- Layers -----------------------------------------------------------------------------------

void TForm_Main::RebuildLayers() {
  // Built once the window is first shown; the settings and the saved language before that would
  // only build them again and again.
  if (closing_ || !layers_ || position_ == 0 || !firstActivationDone_) return;
  layers_->RebuildPathLimits(record_, deltaTInUse_, backView_, Opt_Limits->isChecked());
  layers_->RebuildCentreLine(record_, deltaTInUse_, backView_);
  if (CheckBox_Cities->isChecked()) layers_->RebuildCapitals();
  if (CheckBox_PoI->isChecked()) layers_->RebuildPoI(poiLatitude_, poiLongitude_);
  layers_->RebuildPoIList(listMarks_);
  UpdatePoICircumstances();
}

void TForm_Main::Opt_LimitsClick() {
  if (closing_ || !layers_ || position_ == 0) return;
  layers_->RebuildPathLimits(record_, deltaTInUse_, backView_, Opt_Limits->isChecked());
}

void TForm_Main::UpdatePoICircumstances() {
  if (!CheckBox_PoI->isChecked() || position_ == 0) {
    Label_PoI_Circumstances->hide();
    return;
  }
  QStringList lines;
  lines << Q(FormatFixed(std::fabs(poiLatitude_), 3) + (poiLatitude_ < 0 ? " S  " : " N  ") +
             FormatFixed(std::fabs(poiLongitude_), 3) + (poiLongitude_ < 0 ? " W" : " E"));
  for (const std::string& line :
       PlaceCircumstancesLines(record_, DeltaT(record_.year, record_.month),
                               CheckBox_ET_UT->isChecked(), poiLatitude_, poiLongitude_, language_))
    lines << Q(line);
  Label_PoI_Circumstances->setText(lines.join('\n'));
  Label_PoI_Circumstances->adjustSize();
  Label_PoI_Circumstances->show();
  Label_PoI_Circumstances->raise();
}

void TForm_Main::CheckBox_CitiesClick() {
  if (closing_ || !layers_) return;
  if (CheckBox_Cities->isChecked()) {
    layers_->RebuildCapitals();
  } else {
    layers_->ClearCapitals();
  }
}

void TForm_Main::CheckBox_SSPClick() {
  // The marker is part of the overlay: a repaint draws or leaves it.
  Globe->update();
}

// --- The single point of interest ------------------------------------------------------------

void TForm_Main::CheckBox_PoIClick() {
  if (closing_) return;
  if (layers_) {
    if (CheckBox_PoI->isChecked()) {
      layers_->RebuildPoI(poiLatitude_, poiLongitude_);
    } else {
      layers_->ClearPoI();
    }
  }
  ShowPoIDistances();
  UpdatePoICircumstances();
}

namespace {

// Reads an unsigned coordinate box: the text is trimmed in place, a bad value empties the box
// (which runs its handler again with the empty text). nullopt when the box was emptied.
std::optional<double> ReadCoordinateBox(QLineEdit* box, double limit) {
  const std::string trimmed = TrimmedText(box->text().toStdString());
  if (Q(trimmed) != box->text()) {
    box->setText(Q(trimmed));  // runs the handler with the trimmed text
    return std::nullopt;
  }
  const std::optional<double> value = ParseCoordinateText(trimmed, limit);
  if (!value) box->clear();
  return value;
}

}  // namespace

void TForm_Main::Edit_PoI_BreiteChange() {
  const std::optional<double> value = ReadCoordinateBox(Edit_PoI_Breite, kMaxPoILatitude);
  if (!value) return;
  poiLatitude_ = RadioButton_PoI_Sued->isChecked() ? -*value : *value;
  // Off and on again: the point moves to the new place and is shown.
  CheckBox_PoI->setChecked(false);
  CheckBox_PoI->setChecked(true);
  poiDistances_ = ComputePoIDistances(state_, poiLatitude_, poiLongitude_);
  ShowPoIDistances();
}

void TForm_Main::Edit_PoI_LaengeChange() {
  const std::optional<double> value = ReadCoordinateBox(Edit_PoI_Laenge, kMaxPoILongitude);
  if (!value) return;
  poiLongitude_ = RadioButton_PoI_West->isChecked() ? -*value : *value;
  CheckBox_PoI->setChecked(false);
  CheckBox_PoI->setChecked(true);
  poiDistances_ = ComputePoIDistances(state_, poiLatitude_, poiLongitude_);
  ShowPoIDistances();
}

void TForm_Main::ShowPoIDistances() {
  const auto [a, b] =
      PoIDistanceLabels(poiDistances_, state_.axisOnEarth, CheckBox_PoI->isChecked(), language_);
  Label_DistA->setText(Q(a));
  Label_DistB->setText(Q(b));
}

// --- Animation --------------------------------------------------------------------------------

void TForm_Main::Play(int step) {
  Button_Stop->setFocus();
  // A second play button switches the run under way instead of starting one inside it.
  playStep_ = step;
  if (playing_) return;
  playing_ = true;
  auto more = [this] {
    const int p = Time_ScrollBar->value();
    switch (playStep_) {
      case 5: return p < 12595;
      case 30: return p < 12570;
      case -5: return p > 5;
      case -30: return p > 30;
      default: return false;
    }
  };
  // One step per pass; each pass lets the globe repaint and the clicks reach their handlers.
  while (playing_ && !closing_ && more()) {
    Time_ScrollBar->setValue(Time_ScrollBar->value() + playStep_);
    Globe->repaint();
    QCoreApplication::processEvents();
  }
  playing_ = false;
}

void TForm_Main::Button_StopClick() { playing_ = false; }

// --- Overlay ----------------------------------------------------------------------------------

void TForm_Main::GlobeAfterRender(QPainter* canvas) {
  if (closing_ || !canvas) return;
  // The globe is drawn where the overlay expects it; unchanged values request nothing.
  Globe->Projector().SetXOrigin(cx_);
  Globe->Projector().SetYOrigin(cy_);
  if (position_ == 0) return;
  OverlayInput in;
  in.record = record_;
  in.state = state_;
  in.julianDay = CheckBox_ET_UT->isChecked() ? jdUT_ : jdTT_;
  in.backView = backView_;
  in.showSubSolar = CheckBox_SSP->isChecked();
  in.language = language_;
  in.cx = cx_;
  in.cy = cy_;
  in.k = k_;
  DrawOverlay(*canvas, in);
}

}  // namespace umbrivista
