// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls, menu and layout.

#include "main_form.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "captions.h"
#include "disc_sketch_view.h"
#include "globeview.h"
#include "info_panel.h"
#include "navigation.h"
#include "up_down.h"
#include "widgets.h"
#include "window_texts.h"

namespace umbrivista {

namespace {

QLabel* BoldCentred(QWidget* parent, const char* name) {
  auto* label = Named(new QLabel(parent), name);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

// Width of the selection panel: the grid's three columns and its frame.
constexpr int kGridColumnWidths[3] = {95, 50, 61};
constexpr int kPanelWidth = 95 + 50 + 61 + 8;
constexpr int kGridRowHeight = 12;

// Tight margins: the panel holds the whole information grid on a 773-pixel-high window.
void Compact(QLayout* layout) {
  layout->setContentsMargins(4, 2, 4, 3);
  layout->setSpacing(2);
}

// A playback button's picture: `triangles` triangles pointing left (direction −1) or right (+1),
// or a square for stop (triangles 0).
QIcon PlaybackIcon(int triangles, int direction) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(40, 40, 40));
  if (triangles == 0) {
    painter.drawRect(4, 4, 8, 8);
    return QIcon(pixmap);
  }
  const double width = triangles == 1 ? 9 : 7;
  double left = (16 - width * triangles) / 2;
  for (int i = 0; i < triangles; ++i, left += width) {
    const double tip = direction > 0 ? left + width : left;
    const double base = direction > 0 ? left : left + width;
    const QPointF corners[] = {{base, 3}, {tip, 8}, {base, 13}};
    painter.drawPolygon(corners, 3);
  }
  return QIcon(pixmap);
}

}  // namespace

void MainWindowControls::SetUpControls(QMainWindow* window) {
  MakeMenu(window);
  auto* content = new QWidget;
  auto* columns = new QHBoxLayout(content);
  columns->setContentsMargins(2, 2, 2, 2);
  columns->setSpacing(4);
  // On a screen lower than the selection panel (large fonts, a small screen) the panel scrolls;
  // the globe with its playback buttons and time slider always fills the rest of the window.
  auto* selectionScroll = Named(new QScrollArea(content), "ScrollBox_Selection");
  selectionScroll->setWidgetResizable(true);
  selectionScroll->setFrameShape(QFrame::NoFrame);
  selectionScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QWidget* selection = MakeSelectionPanel();
  selectionScroll->setWidget(selection);
  selectionScroll->setFixedWidth(selection->minimumWidth() +
                                 selectionScroll->verticalScrollBar()->sizeHint().width());
  columns->addWidget(selectionScroll, 0);
  QWidget* globe = MakeGlobePanel();
  globe->setMinimumSize(400, 300);
  columns->addWidget(globe, 1);
  // Only a window smaller than that scrolls as a whole.
  auto* scroll = Named(new QScrollArea(window), "ScrollBox_Main");
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidget(content);
  window->setCentralWidget(scroll);
  // The point of interest's distances at the bottom left of the window.
  Label_DistA = Named(new QLabel(window), "Label_DistA");
  Label_DistB = Named(new QLabel(window), "Label_DistB");
  window->statusBar()->addWidget(Label_DistA);
  window->statusBar()->addWidget(Label_DistB);
  window->statusBar()->setSizeGripEnabled(false);
}

QWidget* MainWindowControls::MakeSelectionPanel() {
  auto* panel = Named(new QWidget, "Panel1");
  panel->setFixedWidth(kPanelWidth);
  // Liberation Sans: the metrics the grid's column widths were made for.
  QFont small(QStringLiteral("Liberation Sans"));
  small.setPointSize(8);
  panel->setFont(small);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(3);

  GroupBox_Finsternis = Named(new QGroupBox(panel), "GroupBox_Finsternis");
  auto* year = new QGridLayout(GroupBox_Finsternis);
  Label_Jahr = Named(new QLabel(GroupBox_Finsternis), "Label_Jahr");
  Edit_Jahr = Named(new QLineEdit(GroupBox_Finsternis), "Edit_Jahr");
  ScrollBar_Eclipse = Named(new QScrollBar(Qt::Horizontal, GroupBox_Finsternis),
                            "ScrollBar_Eclipse");
  ScrollBar_Eclipse->setRange(1, 1);
  ScrollBar_Eclipse->setPageStep(25);
  ScrollBar_Eclipse->setSingleStep(1);
  // Beside the box, the year's eclipses; under the scroll bar, a hint after a text it cannot use.
  ComboBox_YearEclipses = Named(new QComboBox(GroupBox_Finsternis), "ComboBox_YearEclipses");
  ComboBox_YearEclipses->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  ComboBox_YearEclipses->setMinimumContentsLength(8);
  Edit_Jahr->setMaximumWidth(96);
  Label_YearHint = Named(new QLabel(GroupBox_Finsternis), "Label_YearHint");
  Label_YearHint->setStyleSheet(QStringLiteral("color: #b00000"));
  Label_YearHint->setWordWrap(true);
  Label_YearHint->hide();
  Compact(year);
  year->addWidget(Label_Jahr, 0, 0);
  year->addWidget(Edit_Jahr, 0, 1);
  year->addWidget(ComboBox_YearEclipses, 0, 2);
  year->addWidget(ScrollBar_Eclipse, 1, 0, 1, 3);
  year->addWidget(Label_YearHint, 2, 0, 1, 3);
  column->addWidget(GroupBox_Finsternis);

  GroupBox_Saros = Named(new QGroupBox(panel), "GroupBox_Saros");
  auto* saros = new QGridLayout(GroupBox_Saros);
  Saros_Edit = Named(new QLineEdit(GroupBox_Saros), "Saros_Edit");
  Compact(saros);
  UpDown1 = Named(new TUpDown(GroupBox_Saros), "UpDown1");
  UpDown3 = Named(new TUpDown(GroupBox_Saros), "UpDown3");
  saros->addWidget(Named(new QLabel(QStringLiteral("Saros"), GroupBox_Saros), "Label_Saros"), 0,
                   0);
  saros->addWidget(Saros_Edit, 0, 1, 1, 2);
  saros->addWidget(
      Named(new QLabel(QStringLiteral("-1S   +1S"), GroupBox_Saros), "Label_SarosPlus1"), 1, 1);
  saros->addWidget(
      Named(new QLabel(QStringLiteral("-3S   +3S"), GroupBox_Saros), "Label_SarosPlus3"), 1, 2);
  saros->addWidget(UpDown1, 2, 1);
  saros->addWidget(UpDown3, 2, 2);
  column->addWidget(GroupBox_Saros);

  GroupBox_ET_UT = Named(new QGroupBox(panel), "GroupBox_ET_UT");
  CheckBox_ET_UT = Named(new QCheckBox(QStringLiteral("TT"), GroupBox_ET_UT), "CheckBox_ET_UT");
  auto* etUt = new QVBoxLayout(GroupBox_ET_UT);
  Compact(etUt);
  etUt->addWidget(CheckBox_ET_UT);
  column->addWidget(GroupBox_ET_UT);

  auto* panel2 = Named(new QFrame(panel), "Panel2");
  panel2->setFrameShape(QFrame::StyledPanel);
  auto* lines = new QVBoxLayout(panel2);
  lines->setContentsMargins(2, 2, 2, 2);
  SoFiTyp_Label = BoldCentred(panel2, "SoFiTyp_Label");
  Label_DatumZeit = BoldCentred(panel2, "Label_DatumZeit");
  lines->addWidget(SoFiTyp_Label);
  lines->addWidget(Label_DatumZeit);
  column->addWidget(panel2);

  SG = Named(new QTableWidget(kInfoRowCount, 3, panel), "SG");
  SG->horizontalHeader()->hide();
  SG->verticalHeader()->hide();
  SG->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SG->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SG->setEditTriggers(QAbstractItemView::NoEditTriggers);
  SG->setSelectionMode(QAbstractItemView::NoSelection);
  SG->setFocusPolicy(Qt::NoFocus);
  SG->setWordWrap(false);
  SG->setTextElideMode(Qt::ElideNone);
  SG->verticalHeader()->setMinimumSectionSize(kGridRowHeight);
  SG->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
  for (int row = 0; row < kInfoRowCount; ++row) {
    for (int col = 0; col < 3; ++col) {
      auto* item = new QTableWidgetItem;
      // The value column is right-aligned, label and unit left-aligned.
      item->setTextAlignment((col == 1 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
      SG->setItem(row, col, item);
    }
  }
  for (int col = 0; col < 3; ++col) SG->setColumnWidth(col, kGridColumnWidths[col]);
  SG->setFixedHeight(kInfoRowCount * kGridRowHeight + 2 * SG->frameWidth());
  column->addWidget(SG);

  GroupBox_Globus = Named(new QGroupBox(panel), "GroupBox_Globus");
  auto* globe = new QVBoxLayout(GroupBox_Globus);
  Compact(globe);
  ComboBox_Globus = Named(new QComboBox(GroupBox_Globus), "ComboBox_Globus");
  for (const std::string& item : TextureListItems(Language::kGerman))
    ComboBox_Globus->addItem(QString::fromStdString(item));
  ComboBox_GradNetz = Named(new QComboBox(GroupBox_Globus), "ComboBox_GradNetz");
  for (const std::string& item : GridListItems(Language::kGerman))
    ComboBox_GradNetz->addItem(QString::fromStdString(item));
  CheckBox_SSP = Named(new QCheckBox(GroupBox_Globus), "CheckBox_SSP");
  CheckBox_Cities = Named(new QCheckBox(GroupBox_Globus), "CheckBox_Cities");
  globe->addWidget(ComboBox_Globus);
  globe->addWidget(ComboBox_GradNetz);
  globe->addWidget(CheckBox_SSP);
  globe->addWidget(CheckBox_Cities);
  column->addWidget(GroupBox_Globus);

  GroupBox_Markierung = Named(new QGroupBox(panel), "GroupBox_Markierung");
  auto* poi = new QGridLayout(GroupBox_Markierung);
  Compact(poi);
  Edit_PoI_Breite = Named(new QLineEdit(GroupBox_Markierung), "Edit_PoI_Breite");
  Edit_PoI_Laenge = Named(new QLineEdit(GroupBox_Markierung), "Edit_PoI_Laenge");
  auto* northSouth = new QWidget(GroupBox_Markierung);
  auto* ns = new QHBoxLayout(northSouth);
  ns->setContentsMargins(0, 0, 0, 0);
  RadioButton_PoI_Nord = Named(new QRadioButton(QStringLiteral("N"), northSouth),
                               "RadioButton_PoI_Nord");
  RadioButton_PoI_Sued = Named(new QRadioButton(QStringLiteral("S"), northSouth),
                               "RadioButton_PoI_Sued");
  ns->addWidget(RadioButton_PoI_Nord);
  ns->addWidget(RadioButton_PoI_Sued);
  auto* eastWest = new QWidget(GroupBox_Markierung);
  auto* ew = new QHBoxLayout(eastWest);
  ew->setContentsMargins(0, 0, 0, 0);
  RadioButton_PoI_Ost = Named(new QRadioButton(eastWest), "RadioButton_PoI_Ost");
  RadioButton_PoI_West = Named(new QRadioButton(eastWest), "RadioButton_PoI_West");
  ew->addWidget(RadioButton_PoI_Ost);
  ew->addWidget(RadioButton_PoI_West);
  CheckBox_PoI = Named(new QCheckBox(QStringLiteral("PoI"), GroupBox_Markierung), "CheckBox_PoI");
  poi->addWidget(Edit_PoI_Breite, 0, 0);
  poi->addWidget(northSouth, 0, 1);
  poi->addWidget(Edit_PoI_Laenge, 1, 0);
  poi->addWidget(eastWest, 1, 1);
  poi->addWidget(CheckBox_PoI, 2, 0, 1, 2);
  column->addWidget(GroupBox_Markierung);
  column->addStretch(1);
  return panel;
}

QWidget* MainWindowControls::MakeGlobePanel() {
  auto* outer = new QWidget;
  auto* column = new QVBoxLayout(outer);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  Panel_Globus = Named(new QWidget(outer), "Panel_Globus");
  Globe = Named(new TGlobeView(Panel_Globus), "Globe");
  Globe->setMouseTracking(true);
  // The window handles the mouse on its globe itself.
  Globe->SetMouseZoomButton(mzbNone);
  Globe->SetMouseSelectButton(mzbNone);
  Globe->SetMouseRotateButton(mzbNone);
  Globe->SetScrollBars(ssNone);
  Zoom_TrackBar = Named(new QSlider(Qt::Vertical, Panel_Globus), "Zoom_TrackBar");
  Zoom_TrackBar->setRange(60, 350);
  Zoom_TrackBar->setPageStep(40);
  Zoom_TrackBar->setTickInterval(50);
  Zoom_TrackBar->setTickPosition(QSlider::TicksBothSides);
  // Larger positions lie lower, as on a track bar whose minimum is at the top.
  Zoom_TrackBar->setInvertedAppearance(true);
  Zoom_TrackBar->setToolTip(QStringLiteral("Zoom"));
  const struct {
    QToolButton** button;
    const char* name;
    int triangles, direction;
  } playback[] = {
      {&Button_FastReverse, "Button_FastReverse", 2, -1},
      {&Button_Reverse, "Button_Reverse", 1, -1},
      {&Button_Stop, "Button_Stop", 0, 0},
      {&Button_Play, "Button_Play", 1, 1},
      {&Button_FastPlay, "Button_FastPlay", 2, 1},
  };
  for (const auto& b : playback) {
    *b.button = Named(new QToolButton(Panel_Globus), b.name);
    (*b.button)->setIcon(PlaybackIcon(b.triangles, b.direction));
    (*b.button)->setFixedSize(24, 24);
  }
  // Beside the buttons, the speed of a run.
  ComboBox_PlaySpeed = Named(new QComboBox(Panel_Globus), "ComboBox_PlaySpeed");
  for (const std::string& item : PlaySpeedItems(Language::kGerman))
    ComboBox_PlaySpeed->addItem(QString::fromStdString(item));
  ComboBox_PlaySpeed->setCurrentIndex(kDefaultPlaySpeedIndex);
  ComboBox_PlaySpeed->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  // Then the instant's time of day, to read or to type.
  Edit_Time = Named(new QLineEdit(Panel_Globus), "Edit_Time");
  Edit_Time->setMaxLength(8);
  Label_TimeHint = Named(new QLabel(Panel_Globus), "Label_TimeHint");
  Label_TimeHint->setStyleSheet(
      QStringLiteral("QLabel { background-color: rgba(255, 255, 255, 220); color: #b00000; "
                     "padding: 2px }"));
  Label_TimeHint->hide();
  MakeListPanels();
  // What the point of interest sees, over the globe's upper left corner.
  Label_PoI_Circumstances = Named(new QLabel(Panel_Globus), "Label_PoI_Circumstances");
  // (A selector, so that the label's context menu keeps the ordinary look.)
  Label_PoI_Circumstances->setStyleSheet(
      QStringLiteral("QLabel { background-color: rgba(0, 0, 0, 170); color: white; padding: 4px; "
                     "font-size: 8pt }"));
  Label_PoI_Circumstances->setTextFormat(Qt::PlainText);
  Action_CopyPoI = Named(new QAction(Label_PoI_Circumstances), "Action_CopyPoI");
  Label_PoI_Circumstances->addAction(Action_CopyPoI);
  Label_PoI_Circumstances->setContextMenuPolicy(Qt::ActionsContextMenu);
  Label_PoI_Circumstances->move(4, 4);
  Label_PoI_Circumstances->hide();
  // Beside it, the Sun and the Moon as the point sees them at the contacts.
  View_PoI_Sketch = Named(new TDiscSketchView(Panel_Globus), "View_PoI_Sketch");
  View_PoI_Sketch->hide();
  column->addWidget(Panel_Globus, 1);
  Time_ScrollBar = Named(new QScrollBar(Qt::Horizontal, outer), "Time_ScrollBar");
  Time_ScrollBar->setRange(0, kTimeSliderMax);
  Time_ScrollBar->setPageStep(30);
  Time_ScrollBar->setSingleStep(1);
  Time_ScrollBar->setValue(kTimeSliderCentre);
  // Reached with Tab or a click; the window gives it the play keys.
  Time_ScrollBar->setFocusPolicy(Qt::StrongFocus);
  column->addWidget(Time_ScrollBar);
  return outer;
}

void MainWindowControls::MakeListPanels() {
  QWidget* globePanel = Panel_Globus;
  Panel_GlobeControl = Named(new QFrame(globePanel), "Panel_GlobeControl");
  static_cast<QFrame*>(Panel_GlobeControl)->setFrameShape(QFrame::Panel);
  Panel_GlobeControl->setAutoFillBackground(true);
  auto* control = new QVBoxLayout(Panel_GlobeControl);
  for (const char* name : {"Button_Center_Globe", "Button_Resize_Globe", "Button_Exit_Globe"})
    control->addWidget(Named(new QPushButton(Panel_GlobeControl), name));
  Panel_GlobeControl->hide();

  Panel_PoIs_Edit = Named(new QFrame(globePanel), "Panel_PoIs_Edit");
  Panel_PoIs_Edit->setAutoFillBackground(true);
  auto* edit = new QVBoxLayout(Panel_PoIs_Edit);
  edit->addWidget(Named(new QLabel(Panel_PoIs_Edit), "Label_PoIs_Panel_Title"));
  edit->addWidget(Named(new QLabel(Panel_PoIs_Edit), "Label_PoIs_Edit_Title"));
  RichEdit_PoIs = Named(new QPlainTextEdit(Panel_PoIs_Edit), "RichEdit_PoIs");
  RichEdit_PoIs->setLineWrapMode(QPlainTextEdit::NoWrap);
  RichEdit_PoIs->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit_PoIs->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont mono(QStringLiteral("Liberation Mono"));
  mono.setStyleHint(QFont::Monospace);
  RichEdit_PoIs->setFont(mono);
  edit->addWidget(RichEdit_PoIs, 1);
  auto* editButtons = new QHBoxLayout;
  editButtons->addWidget(Named(new QPushButton(Panel_PoIs_Edit), "Button_PoIS_Speichern"));
  editButtons->addWidget(Named(new QPushButton(Panel_PoIs_Edit), "Button_PoIS_Abbrechen"));
  edit->addLayout(editButtons);
  Panel_PoIs_Edit->hide();

  Panel_PoIs_Select = Named(new QFrame(globePanel), "Panel_PoIs_Select");
  Panel_PoIs_Select->setAutoFillBackground(true);
  auto* select = new QVBoxLayout(Panel_PoIs_Select);
  select->addWidget(Named(new QLabel(Panel_PoIs_Select), "Label_PoIs_Select_Title"));
  CheckListBox_PoIs = Named(new QListWidget(Panel_PoIs_Select), "CheckListBox_PoIs");
  CheckListBox_PoIs->setFont(mono);
  select->addWidget(CheckListBox_PoIs, 1);
  auto* selectButtons = new QHBoxLayout;
  selectButtons->addWidget(Named(new QPushButton(Panel_PoIs_Select), "Button_PoIs_Select"));
  selectButtons->addWidget(
      Named(new QPushButton(Panel_PoIs_Select), "Button_PoIs_Select_Cancel"));
  select->addLayout(selectButtons);
  Panel_PoIs_Select->hide();
}

void MainWindowControls::MakeMenu(QMainWindow* window) {
  QMenuBar* bar = window->menuBar();
  QMenu* file = Named(bar->addMenu(QString()), "File1");
  Action_ExportPicture = Named(file->addAction(QString()), "Action_ExportPicture");
  Action_Print = Named(file->addAction(QString()), "Action_Print");
  Action_Print->setShortcut(QKeySequence::Print);
  Action_PrintPreview = Named(file->addAction(QString()), "Action_PrintPreview");
  Action_ExportAnimation = Named(file->addAction(QString()), "Action_ExportAnimation");
  file->addSeparator();
  Action_SaveView = Named(file->addAction(QString()), "Action_SaveView");
  Action_OpenView = Named(file->addAction(QString()), "Action_OpenView");
  file->addSeparator();
  Exit1 = Named(file->addAction(QString()), "Exit1");

  QMenu* lists = Named(bar->addMenu(QString()), "Liste1");
  Sichtbarkeit = Named(lists->addAction(QString()), "Sichtbarkeit");
  CityHist = Named(lists->addAction(QString()), "CityHist");
  SearchEclipses = Named(lists->addAction(QString()), "SearchEclipses");

  QMenu* marks = Named(bar->addMenu(QString()), "Markierung1");
  Markierungen_Bearbeiten = Named(marks->addAction(QString()), "Markierungen_Bearbeiten");
  Markierungen_Auswaehlen = Named(marks->addAction(QString()), "Markierungen_Auswaehlen");
  Markierungen_Hinzufuegen = Named(marks->addAction(QString()), "Markierungen_Hinzufuegen");

  QMenu* option = Named(bar->addMenu(QString()), "Option1");
  auto radioGroup = [window, option](std::initializer_list<std::pair<QAction**, const char*>> items) {
    auto* group = new QActionGroup(window);
    group->setExclusive(true);
    for (const auto& [action, name] : items) {
      *action = Named(option->addAction(QString()), name);
      (*action)->setCheckable(true);
      group->addAction(*action);
    }
  };
  radioGroup({{&Opt_Bessel, "Opt_Bessel"}, {&Opt_Ekliptik, "Opt_Ekliptik"}});
  Opt_Ekliptik->setEnabled(false);
  option->addSeparator();
  radioGroup({{&Opt_Deutsch, "Opt_Deutsch"},
              {&Opt_English, "Opt_English"},
              {&Opt_Francais, "Opt_Francais"}});
  Opt_Deutsch->setText(QStringLiteral("&Deutsch"));
  Opt_English->setText(QStringLiteral("&English"));
  Opt_Francais->setText(QStringLiteral("&Fran\u00e7ais"));
  option->addSeparator();
  radioGroup({{&Opt_NormView, "Opt_NormView"},
              {&Opt_BackView, "Opt_BackView"},
              {&Opt_MapView, "Opt_MapView"}});
  Opt_NormView->setChecked(true);
  option->addSeparator();
  Opt_Limits = Named(option->addAction(QString()), "Opt_Limits");
  Opt_Limits->setCheckable(true);
  Opt_Limits->setChecked(true);
  Opt_DeltaTBand = Named(option->addAction(QString()), "Opt_DeltaTBand");
  Opt_DeltaTBand->setCheckable(true);
  Opt_DeltaTBand->setChecked(true);
  Opt_NightSide = Named(option->addAction(QString()), "Opt_NightSide");
  Opt_NightSide->setCheckable(true);
  Opt_NightSide->setChecked(true);
  Opt_CentrePoI = Named(option->addAction(QString()), "Opt_CentrePoI");
  Opt_CentrePoI->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));

  QMenu* help = Named(bar->addMenu(QString()), "Hilfe1");
  Hilfe2 = Named(help->addAction(QString()), "Hilfe2");
  Hilfe2->setShortcut(QKeySequence::HelpContents);
  Version1 = Named(help->addAction(QString()), "Version1");
}

void MainWindowControls::LayOutGlobePanel(int w, int h) {
  Globe->setGeometry(0, 0, w, h);
  int left = 4;
  for (QToolButton* b :
       {Button_FastReverse, Button_Reverse, Button_Stop, Button_Play, Button_FastPlay}) {
    b->move(left, h - 28);
    left += b->width() + 2;
  }
  ComboBox_PlaySpeed->setGeometry(left + 4, h - 28, ComboBox_PlaySpeed->sizeHint().width(), 24);
  left = ComboBox_PlaySpeed->geometry().right() + 6;
  const int timeWidth = Edit_Time->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 14;
  Edit_Time->setGeometry(left, h - 28, timeWidth, 24);
  Label_TimeHint->adjustSize();
  Label_TimeHint->move(left + timeWidth + 4, h - 26);
  Zoom_TrackBar->setGeometry(w - 32, h - 179, 28, 150);
  // The list panels open at (8, 8), as large as the globe allows.
  for (QWidget* p : {Panel_PoIs_Edit, Panel_PoIs_Select})
    p->setGeometry(8, 8, std::max(200, std::min(720, w - 16)), std::max(150, h - 60));
  PlacePoISketch();
}

void MainWindowControls::PlacePoISketch() {
  const QSize preferred = View_PoI_Sketch->sizeHint();
  constexpr int kMinWidth = 300;
  constexpr int kGap = 4;
  // Clear of the zoom bar at the right.
  const int right = Panel_Globus->width() - 36;
  const QRect label = Label_PoI_Circumstances->geometry();
  const int besideLeft = label.right() + 1 + kGap;
  if (right - besideLeft >= kMinWidth) {
    View_PoI_Sketch->setGeometry(besideLeft, label.top(),
                                 std::min(preferred.width(), right - besideLeft),
                                 preferred.height());
  } else {
    const int width = std::max(kMinWidth, std::min(preferred.width(), right - label.left()));
    View_PoI_Sketch->setGeometry(label.left(), label.bottom() + 1 + kGap, width,
                                 preferred.height());
  }
}

}  // namespace umbrivista
