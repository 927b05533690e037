// The main window's list of points of interest, help, version panel and settings record.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <iterator>

#include "about_panel.h"
#include "city_hist_window.h"
#include "city_list_window.h"
#include "data_files.h"
#include "help_window.h"
#include "main_window.h"
#include "poi_list.h"
#include "report_widgets.h"
#include "safe_file.h"

namespace umbrivista {

namespace {

std::string UnreadableListText() {
  return ": the list of points of interest cannot be read; it is left as it is";
}

std::vector<std::string> EditorLines(const QPlainTextEdit* editor) {
  return SplitLines(editor->toPlainText().toStdString());
}

}  // namespace

// --- The list of points of interest ----------------------------------------------------------

bool TForm_Main::LoadPoIFile() {
  if (options_.poiFile.empty()) return true;
  std::error_code ec;
  if (!std::filesystem::exists(options_.poiFile, ec)) return true;
  std::ifstream in;
  if (std::filesystem::is_regular_file(options_.poiFile, ec))
    in.open(options_.poiFile, std::ios::binary);
  std::string bytes;
  if (in.is_open()) bytes.assign(std::istreambuf_iterator<char>(in), {});
  if (!in.is_open() || in.bad()) {
    poiFileUnreadable_ = true;
    return false;
  }
  poiFileUnreadable_ = false;
  QString text;
  for (const std::string& line : SplitLines(DecodeTextFile(bytes))) text += Q(line) + '\n';
  RichEdit_PoIs->setPlainText(text);
  return true;
}

void TForm_Main::Markierungen_BearbeitenClick() {
  if (!LoadPoIFile()) ShowError(Q(options_.poiFile + UnreadableListText()));
  Panel_PoIs_Select->hide();
  Panel_PoIs_Edit->move(8, 8);
  Panel_PoIs_Edit->show();
  Panel_PoIs_Edit->raise();
  RichEdit_PoIs->setFocus();
}

void TForm_Main::Button_PoIS_SpeichernClick() {
  if (options_.poiFile.empty()) return;
  if (poiFileUnreadable_ &&
      !AskQuestion(this, Q(options_.poiFile + " could not be read. Replace it with the lines "
                                                  "of the editor?"))) {
    return;
  }
  std::string text;
  for (const std::string& line : EditorLines(RichEdit_PoIs)) text += line + '\n';
  try {
    WriteFileSafely(options_.poiFile,
                    std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  } catch (const std::exception& e) {
    // The old file stays; the editor keeps the lines.
    ShowError(QString::fromUtf8(e.what()));
    return;
  }
  poiFileUnreadable_ = false;
  listChanged_ = true;
  Panel_PoIs_Edit->hide();
}

void TForm_Main::Markierungen_AuswaehlenClick() {
  if (listChanged_) {
    // A saved list is offered afresh; the first time, the lines drawn since the last run are
    // checked.
    const bool restore = !selectionOffered_;
    CheckListBox_PoIs->clear();
    for (const std::string& line : EditorLines(RichEdit_PoIs)) {
      auto* item = new QListWidgetItem(Q(line), CheckListBox_PoIs);
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      const bool drawn =
          restore && std::find(listLines_.begin(), listLines_.end(), line) != listLines_.end();
      item->setCheckState(drawn ? Qt::Checked : Qt::Unchecked);
    }
    listChanged_ = false;
    selectionOffered_ = true;
  }
  Panel_PoIs_Edit->hide();
  Panel_PoIs_Select->move(8, 8);
  Panel_PoIs_Select->show();
  Panel_PoIs_Select->raise();
}

void TForm_Main::Button_PoIs_SelectClick() {
  listMarks_.clear();
  listLines_.clear();
  QStringList problems;
  for (int i = 0; i < CheckListBox_PoIs->count(); ++i) {
    const QListWidgetItem* item = CheckListBox_PoIs->item(i);
    if (item->checkState() != Qt::Checked) continue;
    const std::string text = item->text().toStdString();
    const PoILine line = ParsePoILine(text);
    if (line.kind == PoILine::kPoint) {
      listMarks_.push_back(line.mark);
      listLines_.push_back(text);
    }
    // A bad field is reported here, once; the point is left out.
    if (line.kind == PoILine::kBadField) problems << Q(PoIErrorMessage(line, language_));
  }
  if (layers_ && !closing_) layers_->RebuildPoIList(listMarks_);
  Panel_PoIs_Select->hide();
  if (!problems.isEmpty()) ShowError(problems.join('\n'));
}

void TForm_Main::LoadSelection() {
  if (options_.selectionFile.empty()) return;
  std::ifstream in(options_.selectionFile, std::ios::binary);
  if (!in) return;
  const std::string text(std::istreambuf_iterator<char>(in), {});
  for (const std::string& line : SplitLines(DecodeTextFile(text))) {
    const PoILine parsed = ParsePoILine(line);
    if (parsed.kind != PoILine::kPoint) continue;
    listMarks_.push_back(parsed.mark);
    listLines_.push_back(line);
  }
}

void TForm_Main::SaveSelection() {
  if (options_.selectionFile.empty()) return;
  std::string text;
  for (const std::string& line : listLines_) text += line + '\n';
  try {
    WriteFileSafely(options_.selectionFile,
                    std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  } catch (const std::exception& e) {
    qWarning("%s", e.what());
  }
}

// --- Help and version panel -------------------------------------------------------------------

void TForm_Main::Hilfe2Click() {
  const std::string page = FindDataFile(HelpPageName(language_), options_.dataDir);
  if (!help_) help_ = new THelpWindow(this);
  if (!help_->ShowPage(page)) ShowError(Q(page + ": the help page cannot be read"));
}

void TForm_Main::Version1Click() {
  if (!about_) about_ = new TAboutPanel(this);
  BuildFacts facts;
  facts.version = options_.version;
  facts.fileType = options_.fileType;
  about_->Open(facts);
}

// --- Settings ---------------------------------------------------------------------------------

SettingsRecord TForm_Main::CollectSettings() const {
  SettingsRecord s = options_.settings;
  s.version = options_.version;
  WindowPlace(this, s.mainLeft, s.mainTop, s.mainWidth, s.mainHeight, s.mainState);
  s.language = language_;
  s.showLimits = Opt_Limits->isChecked();
  s.eclipsePosition = ScrollBar_Eclipse->value();
  s.ut = CheckBox_ET_UT->isChecked();
  s.textureIndex = std::max(0, ComboBox_Globus->currentIndex());
  s.gridIndex = std::max(0, ComboBox_GradNetz->currentIndex());
  s.poiLatitude = Edit_PoI_Breite->text().toStdString();
  s.poiNorth = RadioButton_PoI_Nord->isChecked();
  s.poiSouth = RadioButton_PoI_Sued->isChecked();
  s.poiLongitude = Edit_PoI_Laenge->text().toStdString();
  s.poiEast = RadioButton_PoI_Ost->isChecked();
  s.poiWest = RadioButton_PoI_West->isChecked();
  s.showPoI = CheckBox_PoI->isChecked();
  s.showSubSolar = CheckBox_SSP->isChecked();
  s.showCapitals = CheckBox_Cities->isChecked();
  s.timePosition = Time_ScrollBar->value();
  s.zoomPosition = Zoom_TrackBar->value();
  s.originX = cx_;
  s.originY = cy_;
  if (history_) history_->CollectSettings(s);
  if (list_) list_->CollectSettings(s);
  return s;
}

}  // namespace umbrivista
