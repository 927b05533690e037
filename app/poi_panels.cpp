// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi_panels.h"

#include <QInputDialog>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

#include "main_form.h"
#include "window_texts.h"
#include "widgets.h"

namespace umbrivista {

namespace {

std::vector<std::string> EditorLines(const QPlainTextEdit* editor) {
  return SplitLines(editor->toPlainText().toStdString());
}

void ShowLines(QPlainTextEdit* editor, const std::vector<std::string>& lines) {
  QString text;
  for (const std::string& line : lines) text += Q(line) + '\n';
  editor->setPlainText(text);
}

void Open(QWidget* panel) {
  panel->move(8, 8);
  panel->show();
  panel->raise();
}

}  // namespace

TPoIListPanels::TPoIListPanels(MainWindowControls& controls, QWidget* window,
                               std::string listFile, std::string selectionFile,
                               std::function<Language()> language)
    : QObject(window),
      c_(controls),
      window_(window),
      listFile_(std::move(listFile)),
      selectionFile_(std::move(selectionFile)),
      language_(std::move(language)) {
  connect(Find<QPushButton>(c_.Panel_PoIs_Edit, "Button_PoIS_Speichern"), &QPushButton::clicked,
          this, &TPoIListPanels::Button_PoIS_SpeichernClick);
  connect(Find<QPushButton>(c_.Panel_PoIs_Edit, "Button_PoIS_Abbrechen"), &QPushButton::clicked,
          c_.Panel_PoIs_Edit, &QWidget::hide);
  connect(Find<QPushButton>(c_.Panel_PoIs_Select, "Button_PoIs_Select"), &QPushButton::clicked,
          this, &TPoIListPanels::Button_PoIs_SelectClick);
  connect(Find<QPushButton>(c_.Panel_PoIs_Select, "Button_PoIs_Select_Cancel"),
          &QPushButton::clicked, c_.Panel_PoIs_Select, &QWidget::hide);
}

void TPoIListPanels::AddPoint(const PoIDate& date, double latitude, double longitude) {
  const Language language = language_();
  const PoINameTexts texts = NameTexts(language);
  std::optional<std::string> name;
  if (askName_) {
    name = askName_(window_, language);
  } else {
    bool ok = false;
    const QString text = QInputDialog::getText(window_, Q(texts.title), Q(texts.label),
                                               QLineEdit::Normal, QString(), &ok);
    if (ok) name = text.toStdString();
  }
  if (!name) return;
  const std::string line = PoIListLine(date, latitude, longitude, *name);
  if (line.empty()) {
    ShowMessage(window_, Q(texts.noName));
    return;
  }
  // The list as saved, so that the file and the editor agree; unsaved edits are dropped as
  // when the editor is opened.
  if (const std::string problem = ReadListFile(); !problem.empty()) {
    ShowMessage(window_, Q(problem + "\n" + texts.notAdded));
    return;
  }
  std::vector<std::string> lines = EditorLines(c_.RichEdit_PoIs);
  lines.push_back(line);
  if (!listFile_.empty()) {
    try {
      WriteLinesFile(listFile_, lines);
    } catch (const std::exception& e) {
      ShowMessage(window_, Q(std::string(e.what()) + "\n" + texts.notAdded));
      return;
    }
  }
  ShowLines(c_.RichEdit_PoIs, lines);
  listChanged_ = true;
  c_.Panel_PoIs_Select->hide();
  Open(c_.Panel_PoIs_Edit);
  c_.RichEdit_PoIs->moveCursor(QTextCursor::End);
  c_.RichEdit_PoIs->setFocus();
}

std::string TPoIListPanels::Load() {
  ShowLines(c_.RichEdit_PoIs, DefaultPoILines());
  if (!selectionFile_.empty()) selection_ = ReadPoISelection(selectionFile_);
  return ReadListFile();
}

std::string TPoIListPanels::ReadListFile() {
  PoIListFile file = ReadPoIListFile(listFile_);
  listUnreadable_ = file.exists && !file.readable;
  if (file.exists && file.readable) ShowLines(c_.RichEdit_PoIs, file.lines);
  return file.problem;
}

std::string TPoIListPanels::KeepSelection() const {
  if (selectionFile_.empty()) return {};
  try {
    WriteLinesFile(selectionFile_, selection_.lines);
  } catch (const std::exception& e) {
    return std::string("The points drawn on the globe could not be kept for the next run:\n") +
           e.what();
  }
  return {};
}

void TPoIListPanels::Markierungen_BearbeitenClick() {
  if (const std::string problem = ReadListFile(); !problem.empty())
    ShowMessage(window_, Q(problem + "\nThe list of points of interest is left as it is."));
  c_.Panel_PoIs_Select->hide();
  Open(c_.Panel_PoIs_Edit);
  c_.RichEdit_PoIs->setFocus();
}

void TPoIListPanels::Button_PoIS_SpeichernClick() {
  if (listFile_.empty()) return;
  if (listUnreadable_ &&
      !AskQuestion(window_, Q(listFile_ + " could not be read. Replace it with the lines of the "
                                          "editor?"))) {
    return;
  }
  try {
    WriteLinesFile(listFile_, EditorLines(c_.RichEdit_PoIs));
  } catch (const std::exception& e) {
    // The old file stays; the editor keeps the lines.
    ShowMessage(window_, QString::fromUtf8(e.what()));
    return;
  }
  listUnreadable_ = false;
  listChanged_ = true;
  c_.Panel_PoIs_Edit->hide();
}

void TPoIListPanels::Markierungen_AuswaehlenClick() {
  if (listChanged_) {
    // A saved list is offered afresh. The first time, the lines drawn since the last run are
    // checked; later, the lines that were checked before the list was edited.
    const std::vector<std::string> lines = EditorLines(c_.RichEdit_PoIs);
    std::vector<bool> checks(lines.size(), false);
    if (!offered_) {
      for (std::size_t i = 0; i < lines.size(); ++i) checks[i] = selection_.Contains(lines[i]);
    } else {
      std::vector<std::string> before;
      std::vector<bool> checkedBefore;
      for (int i = 0; i < c_.CheckListBox_PoIs->count(); ++i) {
        const QListWidgetItem* item = c_.CheckListBox_PoIs->item(i);
        before.push_back(item->text().toStdString());
        checkedBefore.push_back(item->checkState() == Qt::Checked);
      }
      checks = CarriedCheckMarks(before, checkedBefore, lines);
    }
    c_.CheckListBox_PoIs->clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      auto* item = new QListWidgetItem(Q(lines[i]), c_.CheckListBox_PoIs);
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(checks[i] ? Qt::Checked : Qt::Unchecked);
    }
    listChanged_ = false;
    offered_ = true;
  }
  c_.Panel_PoIs_Edit->hide();
  Open(c_.Panel_PoIs_Select);
}

void TPoIListPanels::Button_PoIs_SelectClick() {
  std::vector<std::string> checked;
  for (int i = 0; i < c_.CheckListBox_PoIs->count(); ++i) {
    const QListWidgetItem* item = c_.CheckListBox_PoIs->item(i);
    if (item->checkState() == Qt::Checked) checked.push_back(item->text().toStdString());
  }
  std::vector<std::string> problems;
  selection_ = SelectPoIs(checked, language_(), problems);
  emit selectionChanged();
  c_.Panel_PoIs_Select->hide();
  // A bad field is reported here, once; the point is left out.
  if (!problems.empty()) {
    QStringList texts;
    for (const std::string& p : problems) texts << Q(p);
    ShowMessage(window_, texts.join('\n'));
  }
}

}  // namespace umbrivista
