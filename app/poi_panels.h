// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two panels over the globe for the list of points of interest: the editor of the list file
// ("Markierungen bearbeiten") and the check list of the points to draw ("Markierungen
// auswählen"). The chosen points are kept between runs in the selection file.

#include <QObject>
#include <functional>
#include <optional>
#include <string>

#include "language.h"
#include "poi_selection.h"

class QListWidget;
class QPlainTextEdit;
class QWidget;

namespace umbrivista {

struct MainWindowControls;

class TPoIListPanels : public QObject {
  Q_OBJECT

 public:
  // `listFile` and `selectionFile` may be "" (nothing is read or kept); `language` gives the
  // language of the messages.
  TPoIListPanels(MainWindowControls& controls, QWidget* window, std::string listFile,
                 std::string selectionFile, std::function<Language()> language);

  // At start: the editor holds the default lines or those of the list file, and the points of
  // the last run are drawn. "" when done, else why the list file cannot be used (it is then left
  // as it is).
  std::string Load();
  const std::string& ListFile() const { return listFile_; }
  // The points drawn on the globe.
  const PoISelection& Selection() const { return selection_; }
  // Writes the drawn lines for the next run: "" when done, else what went wrong.
  std::string KeepSelection() const;

  // Asks for the name of a point to add; nullopt when the user declines.
  using NameAsker = std::function<std::optional<std::string>(QWidget* parent, Language language)>;
  void SetNameAsker(NameAsker asker) { askName_ = std::move(asker); }
  // Adds the line of a point (the date of its eclipse, its position and a name asked for) to the
  // end of the list and saves the list; the editor then shows it. Nothing is added when the user
  // gives no name, or when the list file cannot be read (it would be overwritten).
  void AddPoint(const PoIDate& date, double latitude, double longitude);

  void Markierungen_BearbeitenClick();
  void Button_PoIS_SpeichernClick();
  void Markierungen_AuswaehlenClick();
  void Button_PoIs_SelectClick();

 signals:
  // The points to draw have changed.
  void selectionChanged();

 private:
  // Reads the list file into the editor: "" when done or when there is none, else why it cannot
  // be used.
  std::string ReadListFile();

  MainWindowControls& c_;
  QWidget* window_;
  std::string listFile_;
  std::string selectionFile_;
  std::function<Language()> language_;
  NameAsker askName_;
  PoISelection selection_;
  bool listChanged_ = true;
  bool listUnreadable_ = false;
  bool offered_ = false;
};

}  // namespace umbrivista
