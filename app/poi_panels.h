#pragma once
// The two panels over the globe for the list of points of interest: the editor of the list file
// ("Markierungen bearbeiten") and the check list of the points to draw ("Markierungen
// auswählen"). The chosen points are kept between runs in the selection file.

#include <QObject>
#include <functional>
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
  PoISelection selection_;
  bool listChanged_ = true;
  bool listUnreadable_ = false;
  bool offered_ = false;
};

}  // namespace umbrivista
