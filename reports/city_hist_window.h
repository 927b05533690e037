#pragma once
// The place-history window: every eclipse visible at one place over a range of years. It exists
// once for the whole run and is hidden until the main window opens it.

#include <QMainWindow>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace umbrivista {

struct SettingsRecord;

class TForm_CityHist : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm_CityHist(QWidget* parent = nullptr);

  // Opening from the main window's menu: an empty list, the window shown and raised.
  void Open();
  // Place, size and inputs from the settings record, and back into it.
  void ApplySettings(const SettingsRecord& settings);
  void CollectSettings(SettingsRecord& settings) const;
  // Asks a run in progress to stop at its next check.
  void CancelRun() { cancelRequested_ = true; }
  bool CancelRequested() const { return cancelRequested_; }

  QComboBox* ComboBox_Land;
  QComboBox* ComboBox_Stadt;
  QPushButton* Button_Uebernehmen;
  QLineEdit* Edit_Ort_Land;
  QLineEdit* Edit_Ort_Stadt;
  QLineEdit* Edit_Breite;
  QRadioButton* RadioButton_Nord;
  QRadioButton* RadioButton_Sued;
  QLineEdit* Edit_Laenge;
  QRadioButton* RadioButton_Ost;
  QRadioButton* RadioButton_West;
  QLineEdit* Edit_Hoehe;
  QLineEdit* Edit_Einwohner;
  QComboBox* ComboBox_von;
  QComboBox* ComboBox_Bis;
  QPushButton* Button_Start_CityHist;
  QPushButton* Button_Beenden;
  QLabel* Label5;
  QPlainTextEdit* RichEdit_CityHist;

 private:
  void Button_BeendenClick();

  bool cancelRequested_ = false;
};

}  // namespace umbrivista
