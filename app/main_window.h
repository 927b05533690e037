#pragma once
// The main window: one eclipse at a time on the globe, chosen by year, by stepping through the
// catalogue or along its Saros series, with the information panel at the left. Every text it
// shows comes from the Qt-free functions of navigation.h and info_panel.h; the handlers here only
// wire the controls to them.

#include <QMainWindow>
#include <QPoint>
#include <QSize>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue.h"
#include "info_panel.h"
#include "report_widgets.h"
#include "layers.h"
#include "settings_record.h"
#include "shadow.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;
class QPainter;
class QTableWidget;
class QToolButton;
class QWidget;

namespace umbrivista {

class SceneLayers;
class ScratchDatabase;
class TForm_CityHist;
class TForm_CityList;
class TAboutPanel;
class TGlobeView;
class THelpWindow;
class TUpDown;

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
};



class TForm_Main : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm_Main(MainWindowOptions options, QWidget* parent = nullptr);
  ~TForm_Main() override;

  // The two report windows, made after this one; the language command relabels and hides them.
  void AttachReportWindows(TForm_CityHist* history, TForm_CityList* list);
  // The language command of the Option menu.
  void LanguageCommand(Language language);

  // State for the information panel and for tests.
  int CurrentPosition() const { return position_; }
  const EclipseRecord& CurrentRecord() const { return record_; }
  double CurrentTimeOffset() const { return t_; }
  Language CurrentLanguage() const { return language_; }
  bool BackView() const { return backView_; }
  bool CatalogueLoaded() const { return !catalogue_.Empty(); }
  const InfoRows& Rows() const { return rows_; }
  // Path of the globe's scratch database ("" when there is none).
  std::string ScratchDatabasePath() const;
  // The globe's map layers (for tests and the reports).
  const SceneLayers* Layers() const { return layers_.get(); }
  // Globe centre on the screen and pixels per Earth radius.
  int CentreX() const { return cx_; }
  int CentreY() const { return cy_; }
  double PixelsPerEarthRadius() const { return k_; }
  // The single point of interest (degrees, north and east positive).
  double PoILatitude() const { return poiLatitude_; }
  double PoILongitude() const { return poiLongitude_; }
  // The record of the three windows' current state, as the settings file keeps it.
  SettingsRecord CollectSettings() const;
  // The points of the list shown on the globe.
  const std::vector<MapMark>& ListMarks() const { return listMarks_; }
  THelpWindow* HelpWindow() const { return help_; }
  TAboutPanel* AboutPanel() const { return about_; }
  // An animation run is under way.
  bool Playing() const { return playing_; }
  // Ends an animation run at its next step (a report run starting, the window closing).
  void StopPlaying() { playing_ = false; }

  // Controls, under their documented object names.
  QGroupBox* GroupBox_Finsternis;
  QLabel* Label_Jahr;
  QLineEdit* Edit_Jahr;
  QScrollBar* ScrollBar_Eclipse;
  QGroupBox* GroupBox_Saros;
  QLineEdit* Saros_Edit;
  TUpDown* UpDown1;
  TUpDown* UpDown3;
  QGroupBox* GroupBox_ET_UT;
  QCheckBox* CheckBox_ET_UT;
  QLabel* SoFiTyp_Label;
  QLabel* Label_DatumZeit;
  QTableWidget* SG;
  QGroupBox* GroupBox_Globus;
  QComboBox* ComboBox_Globus;
  QComboBox* ComboBox_GradNetz;
  QCheckBox* CheckBox_SSP;
  QCheckBox* CheckBox_Cities;
  QGroupBox* GroupBox_Markierung;
  QLineEdit* Edit_PoI_Breite;
  QRadioButton* RadioButton_PoI_Nord;
  QRadioButton* RadioButton_PoI_Sued;
  QLineEdit* Edit_PoI_Laenge;
  QRadioButton* RadioButton_PoI_Ost;
  QRadioButton* RadioButton_PoI_West;
  QCheckBox* CheckBox_PoI;
  QLabel* Label_DistA;
  QLabel* Label_DistB;
  QLabel* Label_PoI_Circumstances;
  QWidget* Panel_GlobeControl = nullptr;
  TGlobeView* Globe;
  QScrollBar* Time_ScrollBar;
  QSlider* Zoom_TrackBar;
  QToolButton* Button_FastReverse;
  QToolButton* Button_Reverse;
  QToolButton* Button_Stop;
  QToolButton* Button_Play;
  QToolButton* Button_FastPlay;
  QAction* Exit1;
  QAction* Sichtbarkeit;
  QAction* CityHist;
  QAction* Opt_Bessel;
  QAction* Opt_Ekliptik;
  QAction* Opt_Deutsch;
  QAction* Opt_English;
  QAction* Opt_Francais;
  QAction* Opt_NormView;
  QAction* Opt_BackView;
  QAction* Opt_Limits;
  QAction* Markierungen_Bearbeiten;
  QAction* Markierungen_Auswaehlen;
  QAction* Hilfe2;
  QAction* Version1;
  QPlainTextEdit* RichEdit_PoIs = nullptr;
  QListWidget* CheckListBox_PoIs = nullptr;
  QWidget* Panel_PoIs_Edit = nullptr;
  QWidget* Panel_PoIs_Select = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Construction of the controls and the menu.
  QWidget* MakeSelectionPanel();
  QWidget* MakeGlobePanel();
  void MakeHiddenPanels(QWidget* globePanel);
  void MakeMenu();
  void MakeShortcuts();
  void LayOutGlobePanel();

  // Start-up.
  void FormCreate();
  void ApplySettings();
  void FirstActivation();
  void EveryActivation();

  // Handlers.
  void ScrollBar_EclipseChange();
  void Edit_JahrKeyDown();
  void Saros_EditKeyDown();
  void UpDown1Click(bool next);
  void UpDown3Click(bool next);
  void CheckBox_ET_UTClick();
  void Time_ScrollBarChange();
  void Zoom_TrackBarChange();
  void Combobox_GlobusChange();
  void ComboBox_GradNetzChange();
  void Opt_BesselClick();
  void Opt_NormViewClick();
  void Opt_BackViewClick();
  void Exit1Click();
  void SichtbarkeitClick();
  void CityHistClick();
  void MoveGlobeCentre(int dx, int dy);
  void CentreGlobe();
  // The globe centred in its panel at `zoom`; FitGlobe takes the reset zoom or, where the whole
  // globe would not fit at that, a smaller globe.
  void ResetGlobe(int zoom);
  void FitGlobe();
  void CheckBox_CitiesClick();
  void CheckBox_SSPClick();
  void CheckBox_PoIClick();
  void Edit_PoI_BreiteChange();
  void Edit_PoI_LaengeChange();
  void Play(int step);
  void Button_StopClick();
  void Button_Center_GlobeClick();
  void Button_Resize_GlobeClick();
  void Button_Exit_GlobeClick();
  void GlobeMouse(QEvent* event);
  void Opt_LimitsClick();
  // What the point of interest sees of the eclipse, in the panel over the globe.
  void UpdatePoICircumstances();
  void Markierungen_BearbeitenClick();
  void Button_PoIS_SpeichernClick();
  void Markierungen_AuswaehlenClick();
  void Button_PoIs_SelectClick();
  void Hilfe2Click();
  void Version1Click();
  // Reads the list file into the editor; false when it exists but cannot be read.
  bool LoadPoIFile();
  // The accepted lines of the list, kept between runs beside the settings.
  void LoadSelection();
  void SaveSelection();
  void GlobeAfterRender(QPainter* canvas);

  // Layers and the point of interest's labels.
  void RebuildLayers();
  void ShowPoIDistances();

  // The instant: Julian days, the shadow, the grid, the labels and the globe's orientation.
  void ComputeJulianDays();
  void DisplayRefresh();
  void ShowRows();
  void SetEclipsePosition(int position);
  void ShowError(const QString& text);

  MainWindowOptions options_;
  EclipseCatalogue catalogue_;
  std::unique_ptr<ScratchDatabase> scratch_;
  std::unique_ptr<SceneLayers> layers_;
  TForm_CityHist* history_ = nullptr;
  TForm_CityList* list_ = nullptr;
  QWidget* globePanel_ = nullptr;

  int position_ = 0;
  EclipseRecord record_;
  double t_ = 0;
  double deltaTInUse_ = 0;
  double jdTT_ = 0;
  double jdUT_ = 0;
  ShadowState state_;
  InstantResult instant_;
  InfoRows rows_;
  Language language_ = kDefaultLanguage;
  bool backView_ = false;
  bool closing_ = false;
  bool firstActivationDone_ = false;
  bool playing_ = false;
  int cx_ = 222;
  int cy_ = 222;
  QSize laidOut_;  // the globe's size at the last layout
  double k_ = 0;
  int playStep_ = 0;
  QPoint lastMouse_;
  double poiLatitude_ = 0;
  double poiLongitude_ = 0;
  PoIDistances poiDistances_;
  bool listChanged_ = true;
  bool poiFileUnreadable_ = false;
  bool selectionOffered_ = false;
  std::vector<MapMark> listMarks_;
  std::vector<std::string> listLines_;  // the accepted lines behind listMarks_
  THelpWindow* help_ = nullptr;
  TAboutPanel* about_ = nullptr;
  std::string captionBase_;
  QString pendingError_;
};

}  // namespace umbrivista
