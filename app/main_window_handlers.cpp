// The main window's start-up, eclipse navigation, TT/UT switch, language command and closing.

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QPushButton>

#include "caption_apply.h"
#include "city_hist_window.h"
#include "city_list_window.h"
#include "data_files.h"
#include "deltat.h"
#include "eclipse_types.h"
#include "globe_settings.h"
#include "globeview.h"
#include "julian_day.h"
#include "main_window.h"
#include "navigation.h"
#include "layers.h"
#include "scratch_database.h"
#include "string_table.h"
#include "up_down.h"
#include "poi_input.h"
#include "poi_list.h"
#include "report_widgets.h"
#include "settings_file.h"
#include "help_window.h"
#include "about_panel.h"

#include <filesystem>

namespace umbrivista {

TForm_Main::~TForm_Main() {
  if (Globe) Globe->SetSpatialDatabase(nullptr);
}

void TForm_Main::ShowError(const QString& text) { ShowMessage(this, text); }

std::string TForm_Main::ScratchDatabasePath() const {
  return scratch_ ? scratch_->Path() : std::string();
}

void TForm_Main::AttachReportWindows(TForm_CityHist* history, TForm_CityList* list) {
  history_ = history;
  list_ = list;
  ReportContext context;
  context.catalogue = &catalogue_;
  context.position = [this] { return position_; };
  context.language = [this] { return language_; };
  context.dataDir = options_.dataDir;
  context.version = options_.version;
  // A report run ends an animation run.
  context.runStarting = [this] { StopPlaying(); };
  for (TReportWindow* window : {static_cast<TReportWindow*>(history), static_cast<TReportWindow*>(list)})
    if (window) window->SetContext(context);
}

void TForm_Main::FormCreate() {
  language_ = kDefaultLanguage;
  backView_ = false;
  closing_ = false;
  const SettingsRecord& s = options_.settings;
  cx_ = s.originX;
  cy_ = s.originY;

  // The globe's layers live in a scratch database; without one the globe still shows.
  try {
    scratch_ = std::make_unique<ScratchDatabase>();
    Globe->SetSpatialDatabase(&scratch_->database);
  } catch (const std::exception& e) {
    pendingError_ = QStringLiteral("File I/O error.\n") + QString::fromUtf8(e.what());
  }
  SetUpMainGlobe(*Globe);
  layers_ = std::make_unique<SceneLayers>(*Globe, scratch_ ? &scratch_->database : nullptr);

  try {
    catalogue_.Load(options_.catalogueFile);
    ScrollBar_Eclipse->setRange(1, catalogue_.RecordCount());
  } catch (const std::exception& e) {
    const QString problem = QStringLiteral("The eclipse catalogue cannot be used:\n") +
                            QString::fromUtf8(e.what());
    pendingError_ = pendingError_.isEmpty() ? problem : pendingError_ + "\n\n" + problem;
  }

  connect(ScrollBar_Eclipse, &QScrollBar::valueChanged, this,
          &TForm_Main::ScrollBar_EclipseChange);
  connect(Edit_Jahr, &QLineEdit::returnPressed, this, &TForm_Main::Edit_JahrKeyDown);
  connect(Saros_Edit, &QLineEdit::returnPressed, this, &TForm_Main::Saros_EditKeyDown);
  connect(UpDown1, &TUpDown::clicked, this, &TForm_Main::UpDown1Click);
  connect(UpDown3, &TUpDown::clicked, this, &TForm_Main::UpDown3Click);
  connect(CheckBox_ET_UT, &QCheckBox::toggled, this, &TForm_Main::CheckBox_ET_UTClick);
  connect(Time_ScrollBar, &QScrollBar::valueChanged, this, &TForm_Main::Time_ScrollBarChange);
  connect(Zoom_TrackBar, &QSlider::valueChanged, this, &TForm_Main::Zoom_TrackBarChange);
  connect(ComboBox_Globus, &QComboBox::currentIndexChanged, this,
          &TForm_Main::Combobox_GlobusChange);
  connect(ComboBox_GradNetz, &QComboBox::currentIndexChanged, this,
          &TForm_Main::ComboBox_GradNetzChange);
  connect(CheckBox_Cities, &QCheckBox::toggled, this, &TForm_Main::CheckBox_CitiesClick);
  connect(CheckBox_SSP, &QCheckBox::toggled, this, &TForm_Main::CheckBox_SSPClick);
  connect(CheckBox_PoI, &QCheckBox::toggled, this, &TForm_Main::CheckBox_PoIClick);
  connect(Edit_PoI_Breite, &QLineEdit::textChanged, this, &TForm_Main::Edit_PoI_BreiteChange);
  connect(RadioButton_PoI_Nord, &QRadioButton::clicked, this, &TForm_Main::Edit_PoI_BreiteChange);
  connect(RadioButton_PoI_Sued, &QRadioButton::clicked, this, &TForm_Main::Edit_PoI_BreiteChange);
  connect(Edit_PoI_Laenge, &QLineEdit::textChanged, this, &TForm_Main::Edit_PoI_LaengeChange);
  connect(RadioButton_PoI_Ost, &QRadioButton::clicked, this, &TForm_Main::Edit_PoI_LaengeChange);
  connect(RadioButton_PoI_West, &QRadioButton::clicked, this, &TForm_Main::Edit_PoI_LaengeChange);
  connect(Button_Play, &QToolButton::clicked, this, [this] { Play(5); });
  connect(Button_FastPlay, &QToolButton::clicked, this, [this] { Play(30); });
  connect(Button_Reverse, &QToolButton::clicked, this, [this] { Play(-5); });
  connect(Button_FastReverse, &QToolButton::clicked, this, [this] { Play(-30); });
  connect(Button_Stop, &QToolButton::clicked, this, &TForm_Main::Button_StopClick);
  connect(Globe, &TGlobeView::afterRender, this, &TForm_Main::GlobeAfterRender);
  for (const char* name : {"Button_Center_Globe", "Button_Resize_Globe", "Button_Exit_Globe"}) {
    auto* button = Panel_GlobeControl->findChild<QPushButton*>(QString::fromLatin1(name));
    const std::string n = name;
    connect(button, &QPushButton::clicked, this,
            n == "Button_Center_Globe"   ? &TForm_Main::Button_Center_GlobeClick
            : n == "Button_Resize_Globe" ? &TForm_Main::Button_Resize_GlobeClick
                                         : &TForm_Main::Button_Exit_GlobeClick);
  }

  auto* save = Panel_PoIs_Edit->findChild<QPushButton*>(QStringLiteral("Button_PoIS_Speichern"));
  connect(save, &QPushButton::clicked, this, &TForm_Main::Button_PoIS_SpeichernClick);
  connect(Panel_PoIs_Edit->findChild<QPushButton*>(QStringLiteral("Button_PoIS_Abbrechen")),
          &QPushButton::clicked, Panel_PoIs_Edit, &QWidget::hide);
  connect(Panel_PoIs_Select->findChild<QPushButton*>(QStringLiteral("Button_PoIs_Select")),
          &QPushButton::clicked, this, &TForm_Main::Button_PoIs_SelectClick);
  connect(Panel_PoIs_Select->findChild<QPushButton*>(QStringLiteral("Button_PoIs_Select_Cancel")),
          &QPushButton::clicked, Panel_PoIs_Select, &QWidget::hide);

  ApplySettings();
  // The list of points of interest: the file when there is one, else the default lines.
  QString lines;
  for (const std::string& line : DefaultPoILines()) lines += QString::fromStdString(line) + '\n';
  RichEdit_PoIs->setPlainText(lines);
  LoadSelection();
  if (!LoadPoIFile()) {
    // Reported after the window is shown, with the other problems of the start.
    pendingError_ += (pendingError_.isEmpty() ? "" : "\n\n") +
                     QString::fromStdString(options_.poiFile) +
                     QStringLiteral(": the list of points of interest cannot be read");
  }
  // A screen lower than the window: the content scrolls (the scroll area shows its bars itself).
}

void TForm_Main::ApplySettings() {
  const SettingsRecord& s = options_.settings;
  // A saved place that lies off every screen is pulled onto the primary screen.
  PlaceWindow(this, s.mainLeft, s.mainTop, s.mainWidth, s.mainHeight, s.mainState);
  language_ = IsKnownLanguage(s.language) ? s.language : kDefaultLanguage;
  {
    // The TT/UT switch runs with the eclipse change below.
    const QSignalBlocker block(CheckBox_ET_UT);
    CheckBox_ET_UT->setChecked(s.ut);
  }
  {
    // Texture and grid are applied at the first activation.
    const QSignalBlocker b1(ComboBox_Globus), b2(ComboBox_GradNetz);
    ComboBox_Globus->setCurrentIndex(std::clamp(s.textureIndex, 0, kTextureCount - 1));
    ComboBox_GradNetz->setCurrentIndex(std::clamp(s.gridIndex, 0, kGridListCount - 1));
  }
  Edit_PoI_Breite->setText(Q(s.poiLatitude));
  RadioButton_PoI_Nord->setChecked(s.poiNorth);
  RadioButton_PoI_Sued->setChecked(s.poiSouth);
  Edit_PoI_Laenge->setText(Q(s.poiLongitude));
  RadioButton_PoI_Ost->setChecked(s.poiEast);
  RadioButton_PoI_West->setChecked(s.poiWest);
  // The point from the two texts and their hemispheres (a bad text counts as 0).
  poiLatitude_ = ParseCoordinateText(TrimmedText(s.poiLatitude), kMaxPoILatitude).value_or(0);
  if (s.poiSouth) poiLatitude_ = -poiLatitude_;
  poiLongitude_ = ParseCoordinateText(TrimmedText(s.poiLongitude), kMaxPoILongitude).value_or(0);
  if (s.poiWest) poiLongitude_ = -poiLongitude_;
  CheckBox_PoI->setChecked(s.showPoI);
  CheckBox_SSP->setChecked(s.showSubSolar);
  Opt_Limits->setChecked(s.showLimits);
  CheckBox_Cities->setChecked(s.showCapitals);
  if (CatalogueLoaded()) {
    ScrollBar_Eclipse->setValue(std::clamp(s.eclipsePosition, 1, catalogue_.RecordCount()));
  }
  {
    const QSignalBlocker block(Zoom_TrackBar);
    Zoom_TrackBar->setValue(s.zoomPosition);
  }
  Globe->Projector().SetXOrigin(cx_);
  Globe->Projector().SetYOrigin(cy_);
  Time_ScrollBar->setValue(std::clamp(s.timePosition, 0, kTimeSliderMax));
}

void TForm_Main::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (firstActivationDone_) return;
  firstActivationDone_ = true;
  EveryActivation();
  FirstActivation();
  if (!pendingError_.isEmpty()) {
    // After the window is on the screen, so that the message has a window to belong to.
    QTimer::singleShot(0, this, [this] {
      const QString text = pendingError_;
      pendingError_.clear();
      ShowError(text);
    });
  }
}

void TForm_Main::FirstActivation() {
  Opt_Bessel->setChecked(true);
  Combobox_GlobusChange();
  ComboBox_GradNetzChange();
  if (options_.fitGlobe) {
    FitGlobe();
  } else {
    Zoom_TrackBarChange();
  }
  if (!CatalogueLoaded()) return;
  ScrollBar_EclipseChange();
  const int saved = std::clamp(options_.settings.timePosition, 0, kTimeSliderMax);
  {
    const QSignalBlocker block(Time_ScrollBar);
    Time_ScrollBar->setValue(saved);
  }
  Time_ScrollBarChange();
}

void TForm_Main::EveryActivation() {
  captionBase_ = CaptionBase(options_.version, language_);
  setWindowTitle(Q(captionBase_));
}

// --- Eclipse navigation ----------------------------------------------------------------------

void TForm_Main::SetEclipsePosition(int position) {
  if (ScrollBar_Eclipse->value() == position) {
    ScrollBar_EclipseChange();
  } else {
    ScrollBar_Eclipse->setValue(position);  // runs the eclipse change
  }
}

void TForm_Main::ScrollBar_EclipseChange() {
  if (!CatalogueLoaded()) return;
  // A new eclipse ends an animation run.
  playing_ = false;
  position_ = ScrollBar_Eclipse->value();
  catalogue_.Select(position_);
  record_ = catalogue_.Current();
  GroupBox_Saros->setTitle(Q(SarosCaption(record_, language_)));
  Edit_Jahr->setText(QString::number(record_.year));
  Saros_Edit->setText(QString::number(record_.sarosNumber));
  t_ = EstimatedMaximum(record_);
  {
    // The TT/UT switch below runs the instant, with this eclipse's ΔT, and rebuilds the layers.
    const QSignalBlocker block(Time_ScrollBar);
    Time_ScrollBar->setValue(SliderPositionForTime(t_));
  }
  CheckBox_ET_UTClick();
}

void TForm_Main::Edit_JahrKeyDown() {
  if (!CatalogueLoaded()) return;
  const auto selection = SelectByYear(catalogue_, Edit_Jahr->text().toStdString());
  if (!selection) return;
  Edit_Jahr->setText(Q(selection->boxText));
  ScrollBar_Eclipse->setValue(selection->position);
  ScrollBar_EclipseChange();
}

void TForm_Main::Saros_EditKeyDown() {
  if (!CatalogueLoaded()) return;
  const BoxSelection selection =
      SelectBySaros(catalogue_, Saros_Edit->text().toStdString(), record_.sarosNumber);
  Saros_Edit->setText(Q(selection.boxText));
  if (selection.position == 0) return;
  ScrollBar_Eclipse->setValue(selection.position);
  ScrollBar_EclipseChange();
}

void TForm_Main::UpDown1Click(bool next) {
  if (!CatalogueLoaded()) return;
  if (const int p = StepInSeries(catalogue_, position_, next, 1)) ScrollBar_Eclipse->setValue(p);
}

void TForm_Main::UpDown3Click(bool next) {
  if (!CatalogueLoaded()) return;
  if (const int p = StepInSeries(catalogue_, position_, next, 3)) ScrollBar_Eclipse->setValue(p);
}

// --- The instant ------------------------------------------------------------------------------

void TForm_Main::CheckBox_ET_UTClick() {
  if (!CatalogueLoaded()) return;
  const bool ut = CheckBox_ET_UT->isChecked();
  deltaTInUse_ = ut ? DeltaT(record_.year, record_.month) : 0.0;
  CheckBox_ET_UT->setText(Q(DeltaTCaption(ut, deltaTInUse_, record_.year, language_)));
  // The instant (Julian days, shadow, grid, orientation) with the ΔT now in use, then the layers.
  Time_ScrollBarChange();
  RebuildLayers();
}

void TForm_Main::ComputeJulianDays() {
  jdTT_ = InstantJulianDay(record_, t_);
  jdUT_ = InstantJulianDay(record_, t_, deltaTInUse_);
}

void TForm_Main::Time_ScrollBarChange() {
  if (!CatalogueLoaded()) return;
  if (ScrollBar_Eclipse->value() > catalogue_.RecordCount()) ScrollBar_Eclipse->setValue(1);
  position_ = ScrollBar_Eclipse->value();
  record_ = catalogue_.RecordAt(position_);
  t_ = TimeForSliderPosition(Time_ScrollBar->value());
  ComputeJulianDays();
  DisplayRefresh();
  ShowPoIDistances();
}

void TForm_Main::DisplayRefresh() {
  if (!CatalogueLoaded() || position_ == 0) return;
  state_.deltaT = deltaTInUse_;
  instant_ = UpdateInstant(record_, t_, backView_, state_);
  rows_ = BuildInfoRows(record_, state_, instant_, backView_, language_);
  ShowRows();
  const bool ut = CheckBox_ET_UT->isChecked();
  const std::string line = DateTimeLine(ut ? jdUT_ : jdTT_, ut);
  Label_DatumZeit->setText(Q(line));
  SoFiTyp_Label->setText(Q(ShortTypeName(record_.typeCode, language_)));
  setWindowTitle(Q(WindowCaption(captionBase_, line, record_.typeCode, language_)));
  poiDistances_ = ComputePoIDistances(state_, poiLatitude_, poiLongitude_);
  const GlobeRotation rotation = DisplayOrientation(state_, backView_);
  Globe->Projector().SetXRotation(rotation.x);
  Globe->Projector().SetYRotation(rotation.y);
}

void TForm_Main::ShowRows() {
  for (int row = 0; row < kInfoRowCount; ++row) {
    SG->item(row, 0)->setText(Q(rows_[row].label));
    SG->item(row, 1)->setText(Q(rows_[row].value));
    SG->item(row, 2)->setText(Q(rows_[row].unit));
  }
}

// --- Menu commands ----------------------------------------------------------------------------

void TForm_Main::Opt_BesselClick() {
  Opt_Bessel->setChecked(true);
  DisplayRefresh();
}

void TForm_Main::Opt_NormViewClick() {
  Opt_NormView->setChecked(true);
  backView_ = false;
  CheckBox_SSP->setText(Q(SubSolarCheckBoxCaption(false, language_)));
  ScrollBar_EclipseChange();
}

void TForm_Main::Opt_BackViewClick() {
  Opt_BackView->setChecked(true);
  backView_ = true;
  CheckBox_SSP->setText(Q(SubSolarCheckBoxCaption(true, language_)));
  ScrollBar_EclipseChange();
}

void TForm_Main::LanguageCommand(Language language) {
  if (!IsKnownLanguage(language)) return;
  language_ = language;
  (language == Language::kGerman    ? Opt_Deutsch
   : language == Language::kEnglish ? Opt_English
                                    : Opt_Francais)
      ->setChecked(true);
  ApplyCaptionSet(this, CaptionWindow::kMain, language);
  UseQtStandardTexts(language);
  // The Saros caption is language text too; it follows the switch rather than waiting for the
  // next eclipse change.
  if (position_ > 0) GroupBox_Saros->setTitle(Q(SarosCaption(record_, language)));
  CheckBox_SSP->setText(Q(SubSolarCheckBoxCaption(backView_, language)));
  const auto grid = GridListItems(language);
  for (int i = 0; i < kGridListCount; ++i) ComboBox_GradNetz->setItemText(i, Q(grid[i]));
  Time_ScrollBar->setToolTip(Q(StringItem(Text::kTimeSliderHint, language)));
  captionBase_ = CaptionBase(options_.version, language);
  setWindowTitle(Q(captionBase_));
  // The ΔT caption, the grid, the window title with the instant, the distances, the point's
  // circumstances and the layers, in the new language.
  CheckBox_ET_UTClick();
  if (about_) about_->hide();
  // An open help window turns to the page of the new language.
  if (help_ && help_->isVisible()) Hilfe2Click();
  if (history_) {
    history_->CancelRun();
    ApplyCaptionSet(history_, CaptionWindow::kPlaceHistory, language);
    history_->hide();
    // The places file of the new language.
    history_->LanguageChanged();
  }
  if (list_) {
    list_->CancelRun();
    ApplyCaptionSet(list_, CaptionWindow::kCityList, language);
    const auto items = PopulationListItems(language);
    for (int i = 0; i < kPopulationListCount; ++i)
      list_->ComboBox_Population->setItemText(i, Q(items[i]));
    QCoreApplication::processEvents();
    list_->hide();
  }
  ShowPoIDistances();
}

void TForm_Main::SichtbarkeitClick() {
  if (list_) list_->Open();
}

void TForm_Main::CityHistClick() {
  if (history_) history_->Open();
}

void TForm_Main::Exit1Click() {
  // Runs in progress stop at their next check; the closing flag then keeps late handlers quiet.
  if (history_) history_->CancelRun();
  if (list_) list_->CancelRun();
  QCoreApplication::processEvents();
  closing_ = true;
  QCoreApplication::processEvents();
  close();
}

void TForm_Main::closeEvent(QCloseEvent* event) {
  // The animation stops before anything is torn down.
  playing_ = false;
  closing_ = true;
  if (history_) history_->CancelRun();
  if (list_) list_->CancelRun();
  QCoreApplication::processEvents();
  // The scratch database goes with its file; the globe lets go of it first.
  // The settings are taken from the windows before anything is torn down, and written last.
  const SettingsRecord settings = CollectSettings();
  SaveSelection();
  layers_.reset();
  Globe->SetSpatialDatabase(nullptr);
  scratch_.reset();
  std::error_code ec;
  if (!options_.settingsFile.empty() && std::filesystem::exists(options_.settingsFile, ec)) {
    const std::string problem = SaveSettings(options_.settingsFile, settings);
    if (!problem.empty()) ShowError(QString::fromStdString(problem));
  }
  if (history_) history_->close();
  if (list_) list_->close();
  if (help_) help_->close();
  if (about_) about_->hide();
  event->accept();
}

}  // namespace umbrivista
