// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: a view of the session (session.h). Its handlers turn the user's actions into
// session calls; when the session says what changed, the window shows it. The globe engine's own
// state (layers, projector, the render) stays here.

#include <QMainWindow>
#include <QPoint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "main_form.h"
#include "session.h"
#include "settings_record.h"
#include "title_block.h"

class QImage;
class QKeyEvent;
class QPrinter;
class QTimer;

namespace umbrivista {

class SceneLayers;
class ScratchDatabase;
class TForm_CityHist;
class TForm_CityList;
class TForm_Search;
class TAboutPanel;
class THelpWindow;
class TPoIListPanels;
class TReportWindow;
struct MapMark;

struct MainWindowOptions {
  std::string catalogueFile;  // the catalogue to load
  std::string dataDir;        // folder named on the command line, for the data-file lookup
  std::string version;        // the program's version text
  std::string fileType;       // the program file's type, for the version panel
  SettingsRecord settings;
  bool fitGlobe = false;      // a first run: the globe starts centred and fitted to its panel
  std::string settingsFile;   // written back at close while it exists ("" for none)
  std::string poiFile;        // the list of points of interest ("" for none)
  std::string selectionFile;  // the lines of that list drawn on the globe ("" for none)
  std::string settingsProblem;  // what went wrong reading or creating the settings file
};

class TForm_Main : public QMainWindow, public MainWindowControls, private SessionObserver {
  Q_OBJECT

 public:
  explicit TForm_Main(MainWindowOptions options, QWidget* parent = nullptr);
  ~TForm_Main() override;

  // The two report windows, made after this one: they take the catalogue, the shown eclipse and
  // the language from the session, and relabel themselves when the language changes.
  void AttachReportWindows(TForm_CityHist* history, TForm_CityList* list);
  // The search window, made at its first use: double-clicking one of its rows shows that eclipse
  // here; it follows the language, remembers its criteria beside the settings file and closes with
  // this window.
  TForm_Search* SearchWindow();
  // The language command of the Option menu.
  void LanguageCommand(Language language);

  const Session& Model() const { return session_; }
  int CurrentPosition() const { return session_.Position(); }
  const EclipseRecord& CurrentRecord() const { return session_.Record(); }
  double CurrentTimeOffset() const { return session_.TimeOffset(); }
  Language CurrentLanguage() const { return session_.GetLanguage(); }
  bool BackView() const { return session_.BackView(); }
  bool CatalogueLoaded() const { return session_.CatalogueLoaded(); }
  const InfoRows& Rows() const { return session_.Rows(); }
  // Path of the globe's scratch database ("" when there is none).
  std::string ScratchDatabasePath() const;
  // The globe's map layers (for tests and the reports).
  const SceneLayers* Layers() const { return layers_.get(); }
  // Globe centre on the screen and pixels per Earth radius.
  int CentreX() const { return session_.CentreX(); }
  int CentreY() const { return session_.CentreY(); }
  double PixelsPerEarthRadius() const { return k_; }
  // The single point of interest (degrees, north and east positive).
  double PoILatitude() const { return session_.PoILatitude(); }
  double PoILongitude() const { return session_.PoILongitude(); }
  // The record of the three windows' current state, as the settings file keeps it.
  SettingsRecord CollectSettings() const;
  // The points of the list shown on the globe.
  const std::vector<MapMark>& ListMarks() const;
  THelpWindow* HelpWindow() const { return help_; }
  TAboutPanel* AboutPanel() const { return about_; }
  // An animation run is under way.
  bool Playing() const { return session_.Playing(); }
  // Ends an animation run (a report run starting, the window closing).
  void StopPlaying() { session_.StopPlaying(); }
  // The clock a run measures its wall time by: seconds from any fixed start, never going back.
  // The default is the system's steady clock; tests give their own.
  void SetPlayClock(std::function<double()> clock);
  // What the run's timer does at each tick: the instant moves on by the wall time since the
  // previous tick (or the start of the run) at the run's speed.
  void PlayTick();
  QTimer* PlayTimer() const { return playTimer_; }

  // The globe as the window shows it, `width` × `height` pixels (the globe panel's size shows it
  // exactly), written to `path`: a PNG picture, with the title block under it when `titleBlock`,
  // or by the name's ending an SVG or PDF, always with the title block. False after the user has
  // been told what went wrong, or when no eclipse is shown.
  bool WritePicture(const std::string& path, int width, int height, bool titleBlock);
  // Reads the globe's look and view from an environment file; a file that cannot be used is
  // reported in a message and leaves the globe as it was (false).
  bool OpenView(const std::string& path);
  // The globe with its title block fitted to the printer's page.
  void PrintPicture(QPrinter* printer);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SessionChanged(SessionChanges changes) override;
  void Connect();
  // Writes the settings file while it exists (`settings`, else the windows' state now); a failure
  // is reported.
  void SaveSettingsFile(const std::optional<SettingsRecord>& settings = std::nullopt);
  void MakeShortcuts();

  // What the session holds, shown.
  void ShowSelection();
  void ShowInstant();
  void ShowTimeScale();
  void ShowHints();
  void ShowGlobeChoices();
  void ShowPoIDistances();
  void ShowPoI();
  void ShowPoISketch();
  void ShowPlay();
  void Relabel();
  void ApplyFrame();
  // The globe or the map, as the session's view asks.
  void ApplyView();
  void ApplyTexture();
  void ApplyGrid();

  // Handlers.
  void Edit_JahrKeyDown();
  void Saros_EditKeyDown();
  void Exit1Click();
  void GlobeMouse(QEvent* event);
  // A click on a capital or a point of interest shows what the place is (and sees) beside it.
  void ShowPlaceUnder(QPoint at);
  void HideGlobeControl();
  void Play(bool forward, bool fast);
  // Space, Left/Right (Shift: a minute), Home/End on the globe or the time slider; false for
  // any other key.
  bool PlaybackKey(const QKeyEvent* key);
  void CopyPoILines();
  void Hilfe2Click();
  void Version1Click();
  void GlobeAfterRender(QPainter* canvas);
  // Shades the night side on the globe's surface, beneath the lines and labels.
  void PaintNightSide();
  void ExportPictureClick();
  void SaveViewClick();
  void OpenViewClick();
  void PrintClick();
  void PrintPreviewClick();
  QImage RenderPicture(int width, int height);
  TitleBlock PictureTitleBlock() const;

  // The centre line and limits, the capitals, the point of interest and the list's points.
  void RebuildLayers();
  void RebuildPoI();

  class ReportLink;

  MainWindowOptions options_;
  Session session_;
  std::unique_ptr<ScratchDatabase> scratch_;
  std::unique_ptr<SceneLayers> layers_;
  TPoIListPanels* poiPanels_ = nullptr;
  TForm_CityHist* history_ = nullptr;
  TForm_CityList* list_ = nullptr;
  std::unique_ptr<TForm_Search> search_;
  std::vector<TReportWindow*> reports_;
  std::vector<std::unique_ptr<ReportLink>> links_;
  bool closing_ = false;
  bool firstActivationDone_ = false;
  double k_ = 0;
  QPoint lastMouse_;
  QPoint pressMouse_;
  THelpWindow* help_ = nullptr;
  TAboutPanel* about_ = nullptr;
  QString pendingError_;
  QTimer* playTimer_ = nullptr;
  std::function<double()> playClock_;
  double lastPlayTick_ = 0;
};

}  // namespace umbrivista
