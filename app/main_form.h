// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's controls under their object names, and their layout: the selection panel at
// the left, the globe panel with its playback buttons, zoom and time slider, the panels that open
// over the globe, and the menu. Building them does nothing else; the window wires them.

#include <QString>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;
class QTableWidget;
class QToolButton;
class QWidget;

namespace umbrivista {

class TDiscSketchView;
class TGlobeView;
class TUpDown;

struct MainWindowControls {
  // Builds every control into `window` (menu, central widget, status bar).
  void SetUpControls(QMainWindow* window);
  // Places the globe, the playback buttons, the zoom bar and the list panels in a globe panel of
  // `width` × `height` pixels.
  void LayOutGlobePanel(int width, int height);
  // Puts the point's disc sketch beside its circumstances label, or under it where the globe
  // panel is too narrow.
  void PlacePoISketch();

  QGroupBox* GroupBox_Finsternis;
  QLabel* Label_Jahr;
  QLineEdit* Edit_Jahr;
  QComboBox* ComboBox_YearEclipses;  // the year's eclipses
  QLabel* Label_YearHint;            // what the year box takes, after a text it cannot use
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
  TDiscSketchView* View_PoI_Sketch;
  QWidget* Panel_Globus;
  QWidget* Panel_GlobeControl;
  TGlobeView* Globe;
  QScrollBar* Time_ScrollBar;
  QSlider* Zoom_TrackBar;
  QToolButton* Button_FastReverse;
  QToolButton* Button_Reverse;
  QToolButton* Button_Stop;
  QToolButton* Button_Play;
  QToolButton* Button_FastPlay;
  QComboBox* ComboBox_PlaySpeed;
  QLineEdit* Edit_Time;        // the instant's time of day, typed as HH:MM[:SS]
  QLabel* Label_TimeHint;      // what the time box takes, after a text it cannot use
  QAction* Action_CopyPoI;  // the point panel's context menu: its lines to the clipboard
  QAction* Action_ExportPicture;  // File: the globe as a PNG, SVG or PDF file
  QAction* Action_Print;          // File: the globe with its title block on the printer
  QAction* Action_PrintPreview;
  QAction* Action_ExportAnimation;
  QAction* Action_SaveView;  // File: the globe's look and view to an environment file
  QAction* Action_OpenView;  // File: … and back from one
  QAction* Exit1;
  QAction* Sichtbarkeit;
  QAction* CityHist;
  QAction* SearchEclipses;
  QAction* Opt_Bessel;
  QAction* Opt_Ekliptik;
  QAction* Opt_Deutsch;
  QAction* Opt_English;
  QAction* Opt_Francais;
  QAction* Opt_NormView;
  QAction* Opt_BackView;
  QAction* Opt_MapView;
  QAction* Opt_Limits;
  QAction* Opt_DeltaTBand;  // Option: the central path's band for ΔT ± 2σ
  QAction* Opt_NightSide;   // Option: the night side shaded
  QAction* Opt_CentrePoI;   // Option: the point of interest to the panel's centre
  QAction* Markierungen_Bearbeiten;
  QAction* Markierungen_Auswaehlen;
  QAction* Markierungen_Hinzufuegen;  // adds the point of the "Markierung" group to the list
  QAction* Hilfe2;
  QAction* Version1;
  QPlainTextEdit* RichEdit_PoIs;
  QListWidget* CheckListBox_PoIs;
  QWidget* Panel_PoIs_Edit;
  QWidget* Panel_PoIs_Select;

 private:
  QWidget* MakeSelectionPanel();
  QWidget* MakeGlobePanel();
  void MakeListPanels();
  void MakeMenu(QMainWindow* window);
};

}  // namespace umbrivista
