// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a view of the session: what a change shows, the globe's frame, texture, grid
// and layers, the mouse on the globe, the animation and the overlay after each render.

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>
#include <cstdlib>

#include "about_panel.h"
#include "caption_apply.h"
#include "captions.h"
#include "data_files.h"
#include "deltat.h"
#include "disc_sketch.h"
#include "disc_sketch_view.h"
#include "globe_frame.h"
#include "globe_settings.h"
#include "globeview.h"
#include "gunits.h"
#include "help_window.h"
#include "info_panel.h"
#include "layers.h"
#include "main_window.h"
#include "map_click.h"
#include "map_view.h"

#include "search_window.h"
#include "navigation.h"
#include "night_shade.h"
#include "overlay.h"
#include "poi_panels.h"
#include "string_table.h"
#include "widgets.h"
#include "window_texts.h"

namespace umbrivista {

namespace {

constexpr int kWheelStep = 10;
constexpr int kStepsPerMinute = 30;  // slider steps

// Shows a value in a control without running the control's handler.
template <typename W, typename F>
void Quietly(W* widget, F&& set) {
  const QSignalBlocker block(widget);
  set(widget);
}

void ShowText(QLineEdit* box, const std::string& text) {
  if (box->text() != Q(text)) Quietly(box, [&](QLineEdit* b) { b->setText(Q(text)); });
}

// A radio pair; both may be off.
void ShowPair(QRadioButton* a, bool aOn, QRadioButton* b, bool bOn) {
  const QSignalBlocker blockA(a), blockB(b);
  if (aOn) a->setChecked(true);
  if (bOn) b->setChecked(true);
}

}  // namespace

void TForm_Main::SessionChanged(SessionChanges changes) {
  if (closing_) return;
  // Captions first: the texts that follow the session are set over them.
  if (changes & kLanguageChanged) Relabel();
  if (changes & (kEclipseChanged | kTimeScaleChanged | kLanguageChanged)) ShowSelection();
  if (changes & (kHintsChanged | kLanguageChanged)) ShowHints();
  if (changes & (kTimeScaleChanged | kLanguageChanged)) ShowTimeScale();
  if (changes & (kInstantChanged | kLanguageChanged)) ShowInstant();
  if (changes & (kViewChanged | kLanguageChanged)) {
    (session_.MapView()    ? Opt_MapView
     : session_.BackView() ? Opt_BackView
                           : Opt_NormView)
        ->setChecked(true);
    CheckBox_SSP->setText(Q(session_.SubSolarCaptionText()));
  }
  // The map's central meridian follows the eclipse.
  if ((changes & kViewChanged) ||
      (session_.MapView() && (changes & (kEclipseChanged | kTimeScaleChanged))))
    ApplyView();
  if (changes & kPathChanged) RebuildLayers();
  if ((changes & (kBandChanged | kTimeScaleChanged)) && !(changes & kPathChanged) && layers_ &&
      !closing_ && session_.Position() > 0 && firstActivationDone_) {
    layers_->RebuildDeltaTBand(session_.Record(), session_.DeltaTBandRange());
  }
  if (changes & kBandChanged) Opt_DeltaTBand->setChecked(session_.ShowDeltaTBand());
  if (changes & kNightChanged) {
    Opt_NightSide->setChecked(session_.ShowNightSide());
    Globe->RequestRender();
  }
  if ((changes & kLimitsChanged) && layers_ && !closing_ && session_.Position() > 0)
    layers_->RebuildPathLimits(session_.Record(), session_.DeltaTInUse(), session_.BackView(),
                               session_.ShowLimits());
  if (changes & (kSubSolarChanged | kTextureChanged | kGridChanged | kLimitsChanged |
                 kCapitalsChanged | kPointChanged))
    ShowGlobeChoices();
  if ((changes & kCapitalsChanged) && layers_)
    session_.ShowCapitals() ? layers_->RebuildCapitals() : layers_->ClearCapitals();
  if (changes & kTextureChanged) ApplyTexture();
  if (changes & kGridChanged) ApplyGrid();
  // The marker is part of the overlay: a repaint draws or leaves it.
  if (changes & kSubSolarChanged) Globe->update();
  if (changes & kPointChanged) RebuildPoI();
  // The distances follow the instant; what the point sees changes only with the eclipse, the
  // time scale, the point or the language.
  if (changes & (kInstantChanged | kPointChanged | kLanguageChanged)) ShowPoIDistances();
  if (changes & (kEclipseChanged | kTimeScaleChanged | kViewChanged | kPointChanged |
                 kLanguageChanged))
    ShowPoI();
  if (changes & kFrameChanged) ApplyFrame();
  if (changes & kPlayChanged) ShowPlay();
}

void TForm_Main::ShowSelection() {
  Quietly(ScrollBar_Eclipse, [&](QScrollBar* s) { s->setValue(session_.Position()); });
  Edit_Jahr->setText(Q(session_.YearText()));
  // The year's eclipses, the shown one chosen; the list opens as wide as its lines.
  Quietly(ComboBox_YearEclipses, [&](QComboBox* c) {
    c->clear();
    int current = -1;
    for (const YearEclipse& e : session_.YearEclipses()) {
      if (e.position == session_.Position()) current = c->count();
      c->addItem(Q(e.text));
    }
    c->setCurrentIndex(current);
    c->view()->setMinimumWidth(c->view()->sizeHintForColumn(0) + 24);
  });
  Saros_Edit->setText(Q(session_.SarosText()));
  GroupBox_Saros->setTitle(Q(session_.SarosCaptionText()));
}

void TForm_Main::ShowHints() {
  Label_YearHint->setText(Q(session_.YearHint()));
  Label_YearHint->setVisible(!session_.YearHint().empty());
  Label_TimeHint->setText(Q(session_.TimeHint()));
  Label_TimeHint->adjustSize();
  Label_TimeHint->setVisible(!session_.TimeHint().empty());
  Label_TimeHint->raise();
}

void TForm_Main::ShowTimeScale() {
  Quietly(CheckBox_ET_UT, [&](QCheckBox* c) { c->setChecked(session_.Ut()); });
  CheckBox_ET_UT->setText(Q(session_.DeltaTCaptionText()));
}

void TForm_Main::ShowInstant() {
  Time_ScrollBar->setValue(session_.TimePosition());
  setWindowTitle(Q(session_.WindowTitle()));
  // Not while the user types a time there.
  if (!Edit_Time->hasFocus()) Edit_Time->setText(Q(session_.TimeText()));
  if (session_.Position() == 0) return;
  const InfoRows& rows = session_.Rows();
  for (int row = 0; row < kInfoRowCount; ++row) {
    SG->item(row, 0)->setText(Q(rows[row].label));
    SG->item(row, 1)->setText(Q(rows[row].value));
    SG->item(row, 2)->setText(Q(rows[row].unit));
  }
  Label_DatumZeit->setText(Q(session_.DateTimeText()));
  SoFiTyp_Label->setText(Q(session_.TypeText()));
  const GlobeRotation rotation = session_.Orientation();
  Globe->Projector().SetXRotation(rotation.x);
  Globe->Projector().SetYRotation(rotation.y);
}

void TForm_Main::ShowGlobeChoices() {
  Quietly(ComboBox_Globus, [&](QComboBox* c) { c->setCurrentIndex(session_.TextureIndex()); });
  Quietly(ComboBox_GradNetz, [&](QComboBox* c) { c->setCurrentIndex(session_.GridIndex()); });
  Quietly(CheckBox_SSP, [&](QCheckBox* c) { c->setChecked(session_.ShowSubSolar()); });
  Quietly(CheckBox_Cities, [&](QCheckBox* c) { c->setChecked(session_.ShowCapitals()); });
  Opt_Limits->setChecked(session_.ShowLimits());
  ShowText(Edit_PoI_Breite, session_.PoILatitudeText());
  ShowText(Edit_PoI_Laenge, session_.PoILongitudeText());
  ShowPair(RadioButton_PoI_Nord, session_.PoINorth(), RadioButton_PoI_Sued, session_.PoISouth());
  ShowPair(RadioButton_PoI_Ost, session_.PoIEast(), RadioButton_PoI_West, session_.PoIWest());
  Quietly(CheckBox_PoI, [&](QCheckBox* c) { c->setChecked(session_.ShowPoI()); });
}

void TForm_Main::ShowPoIDistances() {
  const auto [a, b] = session_.PoIDistanceTexts();
  Label_DistA->setText(Q(a));
  Label_DistB->setText(Q(b));
}

void TForm_Main::ShowPoI() {
  const std::vector<std::string>& lines = session_.PoILines();
  if (lines.empty()) {
    Label_PoI_Circumstances->hide();
    View_PoI_Sketch->hide();
    return;
  }
  QStringList texts;
  for (const std::string& line : lines) texts << Q(line);
  Label_PoI_Circumstances->setText(texts.join('\n'));
  Label_PoI_Circumstances->adjustSize();
  Label_PoI_Circumstances->show();
  Label_PoI_Circumstances->raise();
  ShowPoISketch();
}

void TForm_Main::ShowPoISketch() {
  // The same place, ΔT and time scale as the circumstances beside it.
  const EclipseRecord& record = session_.Record();
  const double deltaT = DeltaT(record.year, record.month);
  DiscSketch sketch =
      PlaceDiscSketch(record, deltaT, session_.PoILatitude(), session_.PoILongitude());
  // Where the eclipse does not reach the place, the label says so and there is nothing to draw.
  if (sketch.frames.empty()) {
    View_PoI_Sketch->hide();
    return;
  }
  std::vector<std::string> captions =
      DiscSketchCaptions(sketch, record, deltaT, session_.Ut(), session_.GetLanguage());
  View_PoI_Sketch->SetSketch(std::move(sketch), std::move(captions));
  PlacePoISketch();
  View_PoI_Sketch->show();
  View_PoI_Sketch->raise();
}

void TForm_Main::Relabel() {
  const Language language = session_.GetLanguage();
  (language == Language::kGerman    ? Opt_Deutsch
   : language == Language::kEnglish ? Opt_English
                                    : Opt_Francais)
      ->setChecked(true);
  ApplyCaptionSet(this, CaptionWindow::kMain, language);
  UseQtStandardTexts(language);
  GroupBox_Saros->setTitle(Q(session_.SarosCaptionText()));
  const auto grid = GridListItems(language);
  for (int i = 0; i < kGridListCount; ++i) ComboBox_GradNetz->setItemText(i, Q(grid[i]));
  static_assert(kTextureListCount == kTextureCount);
  const auto textures = TextureListItems(language);
  for (int i = 0; i < kTextureListCount; ++i) ComboBox_Globus->setItemText(i, Q(textures[i]));
  Time_ScrollBar->setToolTip(Q(StringItem(Text::kTimeSliderHint, language)));
  const auto speeds = PlaySpeedItems(language);
  for (int i = 0; i < kPlaySpeedCount; ++i) ComboBox_PlaySpeed->setItemText(i, Q(speeds[i]));
  ComboBox_PlaySpeed->setToolTip(Q(PlaySpeedHint(language)));
  ComboBox_PlaySpeed->resize(ComboBox_PlaySpeed->sizeHint().width(), ComboBox_PlaySpeed->height());
  Action_CopyPoI->setText(Q(CopyLinesCommand(language)));
  SG->setToolTip(Q(InfoGridHint(language)));
  if (about_) about_->hide();
  if (search_) search_->SetLanguage(language);
  // An open help window turns to the page of the new language.
  if (help_ && help_->isVisible()) Hilfe2Click();
}

// --- The globe ---------------------------------------------------------------------------------

void TForm_Main::ApplyView() {
  if (session_.MapView()) {
    ShowMap(*Globe, session_.GetMapProjection(), session_.MapCentre());
  } else if (ShowsMap(*Globe)) {
    ShowGlobe(*Globe);
    ApplyFrame();
    const GlobeRotation rotation = session_.Orientation();
    Globe->Projector().SetXRotation(rotation.x);
    Globe->Projector().SetYRotation(rotation.y);
  }
  Globe->RequestRender();
}

void TForm_Main::ApplyFrame() {
  Quietly(Zoom_TrackBar, [&](QSlider* z) { z->setValue(session_.Zoom()); });
  // The map always shows the whole Earth.
  if (session_.MapView()) {
    FitMap(*Globe);
    return;
  }
  TGProjector& projector = Globe->Projector();
  projector.SetScaleFactor(ZoomScaleFactor(session_.Zoom()));
  k_ = umbrivista::PixelsPerEarthRadius(projector.ScaleFactor());
  projector.SetXOrigin(session_.CentreX());
  projector.SetYOrigin(session_.CentreY());
}

void TForm_Main::ApplyTexture() {
  const std::string path = FindDataFile(kTextureFiles[session_.TextureIndex()], options_.dataDir);
  Globe->SetSurfaceTextureName(path);
  if (Globe->SurfaceTexture().GetEmpty()) {
    qWarning("cannot use the globe texture %s: %s", path.c_str(),
             Globe->SurfaceTexture().LastError().c_str());
  }
  Globe->setFocus();
  Globe->update();
}

void TForm_Main::ApplyGrid() {
  const GridSteps steps = GridStepsFor(session_.GridIndex());
  Globe->Graticule().SetLatitudeStep(steps.latitude);
  Globe->Graticule().SetLongitudeStep(steps.longitude);
  Globe->setFocus();
}

void TForm_Main::HideGlobeControl() {
  Panel_GlobeControl->hide();
  Globe->setFocus();
}

bool TForm_Main::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Panel_Globus && event->type() == QEvent::Resize && !closing_) {
    LayOutGlobePanel(Panel_Globus->width(), Panel_Globus->height());
    session_.PanelResized(Panel_Globus->width(), Panel_Globus->height());
  }
  // The play keys belong to the globe and the time slider; text boxes keep their own.
  if ((watched == Globe || watched == Time_ScrollBar) && event->type() == QEvent::KeyPress &&
      PlaybackKey(static_cast<QKeyEvent*>(event)))
    return true;
  if (watched == Globe) {
    switch (event->type()) {
      case QEvent::Wheel:
      case QEvent::MouseButtonPress:
      case QEvent::MouseMove:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
        GlobeMouse(event);
        return true;
      default:
        break;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm_Main::GlobeMouse(QEvent* event) {
  if (event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    const int turn = wheel->angleDelta().y();
    // Turning the wheel towards the user (down) makes the globe larger, about the pointer.
    const QPoint at = wheel->position().toPoint();
    if (turn != 0)
      session_.ZoomAt(session_.Zoom() + (turn < 0 ? -kWheelStep : kWheelStep), at.x(), at.y());
    return;
  }
  auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint at = mouse->position().toPoint();
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      lastMouse_ = pressMouse_ = at;
      // A click on the globe ends an animation run.
      if (mouse->button() == Qt::LeftButton) session_.StopPlaying();
      Globe->setFocus();
      return;
    case QEvent::MouseMove:
      if (mouse->buttons() & Qt::LeftButton) {
        session_.MoveGlobe(at.x() - lastMouse_.x(), at.y() - lastMouse_.y());
        lastMouse_ = at;
      }
      return;
    case QEvent::MouseButtonDblClick: {
      // The point of interest goes where the user points; with Ctrl the globe then brings it to
      // the panel's centre.
      TGGlobePoint point;
      if (mouse->button() == Qt::LeftButton && Globe->Projector().XYToLL(at.x(), at.y(), point)) {
        session_.PlacePoI(GUToDegrees(point.Latitude), GUToDegrees(point.Longitude));
        if (mouse->modifiers() & Qt::ControlModifier) session_.CentreOnPoI();
      }
      return;
    }
    case QEvent::MouseButtonRelease:
      if (mouse->button() == Qt::LeftButton && std::abs(at.x() - pressMouse_.x()) <= kClickSlop &&
          std::abs(at.y() - pressMouse_.y()) <= kClickSlop)
        ShowPlaceUnder(at);
      if (mouse->button() == Qt::RightButton) {
        Panel_GlobeControl->adjustSize();
        Panel_GlobeControl->move(at.x() - 60, at.y() - 17);
        Panel_GlobeControl->show();
        Panel_GlobeControl->raise();
      }
      return;
    default:
      return;
  }
}

void TForm_Main::ShowPlaceUnder(QPoint at) {
  // The places are looked for beneath the lines that may lie over them.
  const TGHit hit = Globe->HitTest(at.x(), at.y(), kHitTolerance, [](const TGLayer& layer) {
    const std::string name = layer.Name();
    return name == kCapitalsLayer || name == kPoILayer || name == kPoIListLayer;
  });
  const std::string layer = hit ? hit.layer->Name() : std::string();
  ClickedPlaceKind kind;
  if (layer == kCapitalsLayer) {
    kind = ClickedPlaceKind::kCapital;
  } else if (layer == kPoILayer || layer == kPoIListLayer) {
    kind = ClickedPlaceKind::kPoI;
  } else {
    QToolTip::hideText();
    return;
  }
  const TGGlobePoint& where = hit.object->Centroid();
  QStringList lines;
  for (const std::string& line :
       ClickedPlaceLines(kind, hit.object->GetColumn(0), GUToDegrees(where.Latitude),
                         GUToDegrees(where.Longitude), session_.Record(), session_.Ut(),
                         session_.GetLanguage()))
    lines << Q(line).toHtmlEscaped();
  QToolTip::showText(Globe->mapToGlobal(at),
                     QStringLiteral("<pre>%1</pre>").arg(lines.join(QLatin1Char('\n'))), Globe);
}

// --- Layers ------------------------------------------------------------------------------------

void TForm_Main::RebuildLayers() {
  // Built once the window is first shown; the settings and the saved language before that would
  // only build them again and again.
  if (closing_ || !layers_ || session_.Position() == 0 || !firstActivationDone_) return;
  const EclipseRecord& record = session_.Record();
  layers_->RebuildPathLimits(record, session_.DeltaTInUse(), session_.BackView(),
                             session_.ShowLimits());
  layers_->RebuildCentreLine(record, session_.DeltaTInUse(), session_.BackView());
  layers_->RebuildDeltaTBand(record, session_.DeltaTBandRange());
  if (session_.ShowCapitals()) layers_->RebuildCapitals();
  if (session_.ShowPoI()) layers_->RebuildPoI(session_.PoILatitude(), session_.PoILongitude());
  layers_->RebuildPoIList(ListMarks());
}

void TForm_Main::RebuildPoI() {
  if (closing_ || !layers_) return;
  if (session_.ShowPoI()) {
    layers_->RebuildPoI(session_.PoILatitude(), session_.PoILongitude());
  } else {
    layers_->ClearPoI();
  }
}

// --- Animation ---------------------------------------------------------------------------------

void TForm_Main::Play(bool forward, bool fast) {
  // The slider takes the focus: Space then pauses and resumes, the arrows step.
  Time_ScrollBar->setFocus();
  // A second play button turns the run under way.
  session_.StartPlaying(forward, fast);
}

void TForm_Main::ShowPlay() {
  Quietly(ComboBox_PlaySpeed, [&](QComboBox* c) { c->setCurrentIndex(session_.PlaySpeedIndex()); });
  if (!session_.Playing()) {
    playTimer_->stop();
  } else if (!playTimer_->isActive()) {
    lastPlayTick_ = playClock_();
    playTimer_->start();
  }
}

void TForm_Main::PlayTick() {
  // A clock that went back moves nothing; the next tick measures from its present.
  const double now = playClock_();
  const double elapsed = now - lastPlayTick_;
  lastPlayTick_ = now;
  if (!closing_) session_.PlayAdvance(elapsed);
}

bool TForm_Main::PlaybackKey(const QKeyEvent* key) {
  const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  const bool shift = modifiers == Qt::ShiftModifier;
  if (modifiers != Qt::NoModifier && !shift) return false;
  const int position = session_.TimePosition();
  switch (key->key()) {
    case Qt::Key_Space:
      if (shift) return false;
      // Pauses, or resumes forwards at the chosen speed.
      if (session_.Playing()) {
        session_.StopPlaying();
      } else {
        session_.StartPlaying(true);
      }
      return true;
    // A run under way goes on from where the keys put the instant, as after dragging the slider.
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const int steps = shift ? kStepsPerMinute : 1;
      session_.SetTimePosition(position + (key->key() == Qt::Key_Left ? -steps : steps));
      return true;
    }
    case Qt::Key_Home:
    case Qt::Key_End:
      if (shift) return false;
      session_.SetTimePosition(key->key() == Qt::Key_Home ? 0 : kTimeSliderMax);
      return true;
    default:
      return false;
  }
}

// --- The point's panel -------------------------------------------------------------------------

void TForm_Main::CopyPoILines() {
  const std::vector<std::string>& lines = session_.PoILines();
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (lines.empty() || !clipboard) return;
  QString text;
  for (const std::string& line : lines) text += Q(line) + QLatin1Char('\n');
  clipboard->setText(text);
}

// --- Overlay -----------------------------------------------------------------------------------

void TForm_Main::PaintNightSide() {
  if (closing_ || session_.Position() == 0 || !session_.ShowNightSide() || session_.MapView())
    return;
  TGBitmap& picture = Globe->Renderer().Picture();
  const TGProjector& projector = Globe->Projector();
  ShadeNightSide(picture.Bits(), picture.Width(), picture.Height(),
                 {projector.XOrigin(), projector.YOrigin()},
                 static_cast<double>(projector.ScaleFactor()) * kGlobeSphereRadius,
                 session_.Orientation(), session_.SunPosition());
}

void TForm_Main::GlobeAfterRender(QPainter* canvas) {
  if (closing_ || !canvas) return;
  if (session_.MapView()) {
    if (session_.Position() > 0)
      DrawMapOverlay(*canvas, Globe->Projector(), session_.MapOverlay());
    return;
  }
  // The globe is drawn where the overlay expects it; unchanged values request nothing.
  Globe->Projector().SetXOrigin(session_.CentreX());
  Globe->Projector().SetYOrigin(session_.CentreY());
  if (session_.Position() == 0) return;
  DrawOverlay(*canvas, session_.Overlay(k_));
}

}  // namespace umbrivista
