#pragma once
// The city-list window: local circumstances of one eclipse for every place above a population
// threshold. It exists once for the whole run and is hidden until the main window opens it.

#include <QMainWindow>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace umbrivista {

struct SettingsRecord;

class TForm_CityList : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm_CityList(QWidget* parent = nullptr);

  // Opening from the main window's menu: an empty list, the window shown and raised.
  void Open();
  // Place, size and inputs from the settings record, and back into it.
  void ApplySettings(const SettingsRecord& settings);
  void CollectSettings(SettingsRecord& settings) const;
  // Asks a run in progress to stop at its next check.
  void CancelRun() { cancelRequested_ = true; }
  bool CancelRequested() const { return cancelRequested_; }

  QComboBox* ComboBox_Population;
  QPushButton* Button_Start_CityList;
  QPushButton* Button_Beenden;
  QLabel* Label1;
  QLabel* Label5;
  QPlainTextEdit* RichEdit_CityList;

 private:
  void Button_BeendenClick();

  bool cancelRequested_ = false;
};

}  // namespace umbrivista
