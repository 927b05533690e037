// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's start, its wiring of the controls to the session, the language, the menu
// commands and closing.

#include "main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include <chrono>
#include <filesystem>

#include "about_panel.h"
#include "animation_export_dialog.h"
#include "city_hist_window.h"
#include "city_list_window.h"
#include "civil_time.h"
#include "data_files.h"
#include "globe_settings.h"
#include "globeview.h"
#include "help_window.h"
#include "layers.h"
#include "poi_panels.h"
#include "scratch_database.h"
#include "search_window.h"
#include "settings_file.h"
#include "up_down.h"
#include "view_keys.h"
#include "widgets.h"

namespace umbrivista {

namespace {

// The run's timer: about 30 ticks a second; how far each tick moves comes from the clock.
constexpr int kPlayTickMilliseconds = 33;

}  // namespace

// A report window told of the session's language as the main window is.
class TForm_Main::ReportLink : public SessionObserver {
 public:
  ReportLink(const Session& session, TReportWindow* window) : session_(session), window_(window) {}
  void SessionChanged(SessionChanges changes) override {
    if ((changes & kLanguageChanged) && window_) window_->SetLanguage(session_.GetLanguage());
  }

 private:
  const Session& session_;
  QPointer<TReportWindow> window_;
};

TForm_Main::TForm_Main(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)), session_(options_.version) {
  setObjectName(QStringLiteral("TForm_Main"));
  SetUpControls(this);
  Panel_Globus->installEventFilter(this);
  Globe->installEventFilter(this);
  Time_ScrollBar->installEventFilter(this);
  MakeShortcuts();
  playTimer_ = new QTimer(this);
  playTimer_->setObjectName(QStringLiteral("Timer_Play"));
  playTimer_->setInterval(kPlayTickMilliseconds);
  connect(playTimer_, &QTimer::timeout, this, &TForm_Main::PlayTick);
  SetPlayClock({});
  session_.Subscribe(this);

  // The globe's layers live in a scratch database; without one the globe still shows.
  try {
    scratch_ = std::make_unique<ScratchDatabase>();
    Globe->SetSpatialDatabase(&scratch_->database);
  } catch (const std::exception& e) {
    pendingError_ = QStringLiteral("File I/O error.\n") + QString::fromUtf8(e.what());
  }
  SetUpMainGlobe(*Globe);
  layers_ = std::make_unique<SceneLayers>(*Globe, scratch_ ? &scratch_->database : nullptr);
  const std::string problem = session_.LoadCatalogue(options_.catalogueFile);
  // The point's civil clock: the zone file through the data-file lookup, offsets from tzdata.
  session_.SetCivilTimeSource(FindDataFile(kPlaceZonesFileName, options_.dataDir),
                              QtCivilOffsets());
  if (!problem.empty()) pendingError_ += (pendingError_.isEmpty() ? "" : "\n\n") + Q(problem);
  if (CatalogueLoaded()) ScrollBar_Eclipse->setRange(1, session_.Catalogue().RecordCount());

  poiPanels_ = new TPoIListPanels(*this, this, options_.poiFile, options_.selectionFile,
                                  [this] { return session_.GetLanguage(); });
  connect(poiPanels_, &TPoIListPanels::selectionChanged, this, [this] {
    if (layers_ && !closing_) layers_->RebuildPoIList(ListMarks());
  });
  Connect();

  const SettingsRecord& s = options_.settings;
  // A saved place that lies off every screen is pulled onto the primary screen.
  PlaceWindow(this, s.mainLeft, s.mainTop, s.mainWidth, s.mainHeight, s.mainState);
  session_.ApplySettings(s);
  ShowGlobeChoices();
  ShowTimeScale();
  ShowPoIDistances();
  ShowPoI();
  ShowPlay();
  // The list of points of interest: the file when there is one, else the default lines. Its
  // problems and those of the settings file are reported once the window is shown.
  for (const std::string& problem : {options_.settingsProblem, poiPanels_->Load()})
    if (!problem.empty()) pendingError_ += (pendingError_.isEmpty() ? "" : "\n\n") + Q(problem);
}

TForm_Main::~TForm_Main() {
  session_.Unsubscribe(this);
  if (Globe) Globe->SetSpatialDatabase(nullptr);
}

void TForm_Main::Connect() {
  Session& s = session_;
  connect(ScrollBar_Eclipse, &QScrollBar::valueChanged, this, [&s](int p) { s.SelectPosition(p); });
  connect(Edit_Jahr, &QLineEdit::returnPressed, this,
          [this] { session_.EnterYear(Edit_Jahr->text().toStdString()); });
  connect(ComboBox_YearEclipses, &QComboBox::activated, this, [this](int index) {
    const auto& list = session_.YearEclipses();
    if (index >= 0 && index < static_cast<int>(list.size()))
      session_.SelectPosition(list[index].position);
  });
  connect(Edit_Time, &QLineEdit::returnPressed, this, [this] {
    // The box then shows the instant reached (the slider moves in steps of two seconds).
    if (session_.EnterTime(Edit_Time->text().toStdString()))
      Edit_Time->setText(Q(session_.TimeText()));
  });
  connect(Saros_Edit, &QLineEdit::returnPressed, this, [this] {
    if (session_.EnterSaros(Saros_Edit->text().toStdString()))
      Saros_Edit->setText(Q(session_.SarosText()));
  });
  connect(UpDown1, &TUpDown::clicked, this, [&s](bool next) { s.StepSeries(next, 1); });
  connect(UpDown3, &TUpDown::clicked, this, [&s](bool next) { s.StepSeries(next, 3); });
  connect(CheckBox_ET_UT, &QCheckBox::toggled, this, [&s](bool on) { s.SetUt(on); });
  // The slider also moves when the session's instant moves (animation, a new eclipse); only a
  // position the session does not hold yet is a change.
  connect(Time_ScrollBar, &QScrollBar::valueChanged, this, [&s](int p) {
    if (p != s.TimePosition()) s.SetTimePosition(p);
  });
  connect(Zoom_TrackBar, &QSlider::valueChanged, this, [&s](int z) { s.SetZoom(z); });
  connect(ComboBox_Globus, &QComboBox::currentIndexChanged, this,
          [&s](int i) { s.SetTextureIndex(i); });
  connect(ComboBox_GradNetz, &QComboBox::currentIndexChanged, this,
          [&s](int i) { s.SetGridIndex(i); });
  connect(CheckBox_Cities, &QCheckBox::toggled, this, [&s](bool on) { s.SetShowCapitals(on); });
  connect(CheckBox_SSP, &QCheckBox::toggled, this, [&s](bool on) { s.SetShowSubSolar(on); });
  connect(CheckBox_PoI, &QCheckBox::toggled, this, [&s](bool on) { s.SetShowPoI(on); });
  connect(Edit_PoI_Breite, &QLineEdit::textChanged, this,
          [&s](const QString& text) { s.SetPoILatitudeText(text.toStdString()); });
  connect(Edit_PoI_Laenge, &QLineEdit::textChanged, this,
          [&s](const QString& text) { s.SetPoILongitudeText(text.toStdString()); });
  // A hemisphere chosen moves the point (the button turned off follows its partner).
  const struct {
    QRadioButton* button;
    void (Session::*set)(bool);
    bool value;
  } hemispheres[] = {{RadioButton_PoI_Nord, &Session::SetPoISouth, false},
                     {RadioButton_PoI_Sued, &Session::SetPoISouth, true},
                     {RadioButton_PoI_Ost, &Session::SetPoIWest, false},
                     {RadioButton_PoI_West, &Session::SetPoIWest, true}};
  for (const auto& h : hemispheres) {
    connect(h.button, &QRadioButton::toggled, this, [&s, h](bool on) {
      if (on) (s.*h.set)(h.value);
    });
  }
  const struct {
    QToolButton* button;
    bool forward, fast;
  } playback[] = {{Button_Play, true, false},
                  {Button_FastPlay, true, true},
                  {Button_Reverse, false, false},
                  {Button_FastReverse, false, true}};
  for (const auto& p : playback)
    connect(p.button, &QToolButton::clicked, this, [this, p] { Play(p.forward, p.fast); });
  connect(Button_Stop, &QToolButton::clicked, this, [&s] { s.StopPlaying(); });
  connect(ComboBox_PlaySpeed, &QComboBox::currentIndexChanged, this,
          [&s](int i) { s.SetPlaySpeedIndex(i); });
  connect(Action_CopyPoI, &QAction::triggered, this, &TForm_Main::CopyPoILines);
  connect(Globe, &TGlobeView::afterRender, this, &TForm_Main::GlobeAfterRender);
  Globe->OnPaintSurface = [this] { PaintNightSide(); };
  // A saved view carries the eclipse, the instant and how they are shown.
  Globe->OnSaveEnvironment = [this](TGEnvironmentKeys& keys) {
    for (const auto& [name, value] : SessionViewKeys(session_)) keys[name] = value;
  };
  Globe->CheckEnvironmentKey = [this](const std::string& name, const std::string& value) {
    return ViewKeyProblem(session_, name, value);
  };
  Globe->OnLoadEnvironment = [this](const TGEnvironmentKeys& keys) { ApplyViewKeys(session_, keys); };
  connect(Find<QPushButton>(Panel_GlobeControl, "Button_Center_Globe"), &QPushButton::clicked,
          this, [this] {
            session_.CentreGlobe(Globe->width(), Globe->height());
            HideGlobeControl();
          });
  connect(Find<QPushButton>(Panel_GlobeControl, "Button_Resize_Globe"), &QPushButton::clicked,
          this, [this] {
            session_.ResetGlobe(Globe->width(), Globe->height());
            HideGlobeControl();
          });
  connect(Find<QPushButton>(Panel_GlobeControl, "Button_Exit_Globe"), &QPushButton::clicked,
          this, &TForm_Main::HideGlobeControl);

  connect(Action_ExportPicture, &QAction::triggered, this, &TForm_Main::ExportPictureClick);
  connect(Action_SaveView, &QAction::triggered, this, &TForm_Main::SaveViewClick);
  connect(Action_OpenView, &QAction::triggered, this, &TForm_Main::OpenViewClick);
  connect(Action_Print, &QAction::triggered, this, &TForm_Main::PrintClick);
  connect(Action_PrintPreview, &QAction::triggered, this, &TForm_Main::PrintPreviewClick);
  connect(Action_ExportAnimation, &QAction::triggered, this, [this] {
    session_.StopPlaying();  // a run would repaint the globe between the exported frames
    ExportAnimation(this, session_,
                    FindDataFile(kTextureFiles[session_.TextureIndex()], options_.dataDir));
  });
  connect(Exit1, &QAction::triggered, this, &TForm_Main::Exit1Click);
  connect(Sichtbarkeit, &QAction::triggered, this, [this] {
    if (list_) list_->Open();
  });
  connect(CityHist, &QAction::triggered, this, [this] {
    if (history_) history_->Open();
  });
  connect(SearchEclipses, &QAction::triggered, this, [this] { SearchWindow()->Open(); });
  connect(Opt_Bessel, &QAction::triggered, Globe, qOverload<>(&QWidget::update));
  connect(Opt_NormView, &QAction::triggered, this, [&s] {
    // From the map the globe comes back as it was; from the back view the eclipse change runs.
    if (s.MapView()) {
      s.SetMapView(false);
    } else {
      s.SetBackView(false);
    }
  });
  connect(Opt_BackView, &QAction::triggered, this, [&s] { s.SetBackView(true); });
  connect(Opt_MapView, &QAction::triggered, this, [&s] { s.SetMapView(true); });
  connect(Opt_Limits, &QAction::triggered, this, [&s](bool on) { s.SetShowLimits(on); });
  connect(Opt_DeltaTBand, &QAction::triggered, this, [&s](bool on) { s.SetShowDeltaTBand(on); });
  connect(Opt_NightSide, &QAction::triggered, this, [&s](bool on) { s.SetShowNightSide(on); });
  connect(Opt_CentrePoI, &QAction::triggered, this, [&s] { s.CentreOnPoI(); });
  connect(Markierungen_Bearbeiten, &QAction::triggered, poiPanels_,
          &TPoIListPanels::Markierungen_BearbeitenClick);
  connect(Markierungen_Auswaehlen, &QAction::triggered, poiPanels_,
          &TPoIListPanels::Markierungen_AuswaehlenClick);
  connect(Markierungen_Hinzufuegen, &QAction::triggered, this, [this] {
    if (!CatalogueLoaded()) return;
    const EclipseRecord& r = session_.Record();
    poiPanels_->AddPoint({r.year, r.month, r.day}, session_.PoILatitude(), session_.PoILongitude());
  });
  connect(Hilfe2, &QAction::triggered, this, &TForm_Main::Hilfe2Click);
  connect(Version1, &QAction::triggered, this, &TForm_Main::Version1Click);
  connect(Opt_Deutsch, &QAction::triggered, this, [this] { LanguageCommand(Language::kGerman); });
  connect(Opt_English, &QAction::triggered, this, [this] { LanguageCommand(Language::kEnglish); });
  connect(Opt_Francais, &QAction::triggered, this, [this] { LanguageCommand(Language::kFrench); });
}

void TForm_Main::MakeShortcuts() {
  // Ctrl+D/U/L/R move the globe's centre by 50 pixels, Ctrl+C centres it. They work whichever
  // control has the focus, except in a text box that uses the key itself (Ctrl+C copies there).
  const struct {
    QKeyCombination keys;
    int dx, dy;
  } moves[] = {{Qt::CTRL | Qt::Key_D, 0, 50},
               {Qt::CTRL | Qt::Key_U, 0, -50},
               {Qt::CTRL | Qt::Key_L, -50, 0},
               {Qt::CTRL | Qt::Key_R, 50, 0}};
  for (const auto& m : moves) {
    auto* shortcut = new QShortcut(QKeySequence(m.keys), this);
    connect(shortcut, &QShortcut::activated, this,
            [this, dx = m.dx, dy = m.dy] { session_.MoveGlobe(dx, dy); });
  }
  auto* centre = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_C), this);
  connect(centre, &QShortcut::activated, this,
          [this] { session_.CentreGlobe(Globe->width(), Globe->height()); });
}

void TForm_Main::SetPlayClock(std::function<double()> clock) {
  if (!clock) {
    clock = [start = std::chrono::steady_clock::now()] {
      return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
  }
  playClock_ = std::move(clock);
  // A run under way measures from the new clock's present.
  lastPlayTick_ = playClock_();
}

std::string TForm_Main::ScratchDatabasePath() const {
  return scratch_ ? scratch_->Path() : std::string();
}

const std::vector<MapMark>& TForm_Main::ListMarks() const {
  return poiPanels_->Selection().marks;
}

void TForm_Main::AttachReportWindows(TForm_CityHist* history, TForm_CityList* list) {
  history_ = history;
  list_ = list;
  ReportContext context;
  context.catalogue = &session_.Catalogue();
  context.position = [this] { return session_.Position(); };
  context.dataDir = options_.dataDir;
  context.version = options_.version;
  // A report run ends an animation run.
  context.runStarting = [this] { StopPlaying(); };
  for (TReportWindow* window : {static_cast<TReportWindow*>(history),
                                static_cast<TReportWindow*>(list)}) {
    if (!window) continue;
    window->SetContext(context);
    reports_.push_back(window);
    links_.push_back(std::make_unique<ReportLink>(session_, window));
    session_.Subscribe(links_.back().get());
  }
}

TForm_Search* TForm_Main::SearchWindow() {
  if (search_) return search_.get();
  std::string criteriaFile;
  if (!options_.settingsFile.empty()) {
    criteriaFile =
        (std::filesystem::path(options_.settingsFile).parent_path() / kSearchCriteriaFileName)
            .string();
  }
  search_ = std::make_unique<TForm_Search>(session_.Catalogue(), criteriaFile, options_.dataDir,
                                           options_.version);
  search_->SetLanguage(session_.GetLanguage());
  connect(search_.get(), &TForm_Search::eclipseChosen, this, [this](int position) {
    session_.SelectPosition(position);
    raise();
    activateWindow();
  });
  return search_.get();
}

void TForm_Main::LanguageCommand(Language language) { session_.SetLanguage(language); }

void TForm_Main::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (firstActivationDone_) return;
  firstActivationDone_ = true;
  setWindowTitle(Q(session_.WindowTitle()));
  Opt_Bessel->setChecked(true);
  ApplyTexture();
  ApplyGrid();
  if (options_.fitGlobe) {
    session_.FitGlobe(Globe->width(), Globe->height());
    // Kept at once: a first run that never closes normally must not leave the stored zoom of a
    // settings file made with the defaults for the next start. (A file that could not be made
    // has been reported already.)
    if (options_.settingsProblem.empty()) SaveSettingsFile();
  } else {
    ApplyFrame();
  }
  // The saved eclipse, then the saved instant rather than the estimated maximum.
  session_.Start();
  if (!pendingError_.isEmpty()) {
    // After the window is on the screen, so that the message has a window to belong to.
    QTimer::singleShot(0, this, [this] {
      const QString text = pendingError_;
      pendingError_.clear();
      ShowMessage(this, text);
    });
  }
}

void TForm_Main::Hilfe2Click() {
  const std::string page = FindDataFile(HelpPageName(session_.GetLanguage()), options_.dataDir);
  if (!help_) help_ = new THelpWindow(this);
  if (!help_->ShowPage(page)) ShowMessage(this, Q(page + ": the help page cannot be read"));
}

void TForm_Main::Version1Click() {
  if (!about_) {
    about_ = new TAboutPanel(this);
    connect(about_, &TAboutPanel::helpRequested, this, &TForm_Main::Hilfe2Click);
  }
  BuildFacts facts;
  facts.version = options_.version;
  facts.fileType = options_.fileType;
  about_->Open(facts, session_.GetLanguage());
}

SettingsRecord TForm_Main::CollectSettings() const {
  SettingsRecord s = options_.settings;
  s.version = options_.version;
  WindowPlace(this, s.mainLeft, s.mainTop, s.mainWidth, s.mainHeight, s.mainState);
  session_.CollectSettings(s);
  for (const TReportWindow* r : reports_) r->CollectSettings(s);
  return s;
}

void TForm_Main::SaveSettingsFile(const std::optional<SettingsRecord>& settings) {
  // A deleted settings file is not written again until the next start.
  std::error_code ec;
  if (options_.settingsFile.empty() || !std::filesystem::exists(options_.settingsFile, ec)) return;
  const std::string problem = SaveSettings(options_.settingsFile, settings.value_or(CollectSettings()));
  if (!problem.empty()) ShowMessage(this, Q(problem));
}

void TForm_Main::Exit1Click() {
  // Runs in progress stop at their next check; the closing flag then keeps late handlers quiet.
  for (TReportWindow* r : reports_) r->CancelRun();
  QCoreApplication::processEvents();
  closing_ = true;
  QCoreApplication::processEvents();
  close();
}

void TForm_Main::closeEvent(QCloseEvent* event) {
  // The animation stops before anything is torn down.
  session_.StopPlaying();
  playTimer_->stop();
  closing_ = true;
  for (TReportWindow* r : reports_) r->CancelRun();
  if (search_) search_->Cancel();
  QCoreApplication::processEvents();
  // The settings are taken before anything is torn down, and written last; the scratch database
  // goes with its file once the globe has let go of it.
  const SettingsRecord settings = CollectSettings();
  const std::string kept = poiPanels_->KeepSelection();
  if (!kept.empty()) ShowMessage(this, Q(kept));
  layers_.reset();
  Globe->SetSpatialDatabase(nullptr);
  scratch_.reset();
  SaveSettingsFile(settings);
  for (TReportWindow* r : reports_) r->close();
  if (search_) {
    search_->Cancel();
    search_->close();
  }
  if (help_) help_->close();
  if (about_) about_->hide();
  event->accept();
}

}  // namespace umbrivista
