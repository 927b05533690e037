// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every window of the program shares: texts for widgets, named widgets and their lookup,
// messages and questions, the save dialog, window placement and Qt's own texts in the program's
// language.

#include <QLayout>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

#include "language.h"

class QWidget;

namespace umbrivista {

// A UTF-8 text for a widget.
inline QString Q(const std::string& text) { return QString::fromStdString(text); }

// Gives a newly made widget its object name and returns it.
template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// The child of `parent` of that type and object name (nullptr when there is none).
template <typename W>
W* Find(const QObject* parent, const char* name) {
  return parent->findChild<W*>(QString::fromLatin1(name));
}

// How the windows report an error (by default a modal box with an OK button) and ask a yes/no
// question (a modal box); tests replace them to read the texts and give the answers.
using MessageSink = std::function<void(QWidget* parent, const QString& text)>;
using QuestionSink = std::function<bool(QWidget* parent, const QString& text)>;
void SetMessageSink(MessageSink sink);
void SetQuestionSink(QuestionSink sink);
void ShowMessage(QWidget* parent, const QString& text);
bool AskQuestion(QWidget* parent, const QString& text);

// How a window asks where to save: a save dialog offering `defaultName` in the save folder, with
// the text-file filter and an overwrite prompt; "" when the user cancels. Tests replace it; the
// chooser gets the offered path (folder and name).
using SaveFileChooser = std::function<std::string(QWidget* parent, const QString& defaultPath)>;
void SetSaveFileChooser(SaveFileChooser chooser);
std::string ChooseSaveFile(QWidget* parent, const QString& defaultName);
// The same dialog offering these name filters ("PNG picture (*.png)", …), the first chosen; a bare
// name gets the ending of the filter chosen.
std::string ChooseSaveFile(QWidget* parent, const QString& defaultName, const QStringList& filters);
// The save dialog opens in the folder of the last file saved in this run, else in the user's
// documents folder, else in the home folder.
void RememberSaveFolder(const std::string& savedFile);

// Qt's own texts (the buttons of message boxes, the file dialog, the edit menus) in the program's
// language, where the system has Qt's translations.
void UseQtStandardTexts(Language language);

// Window place and state (0 normal, 1 minimised, 2 maximised) as the settings keep them: the
// window's outer rectangle, frame and title bar included. The window is made to fit the screen
// it mostly lies on (the primary screen when it lies on none): shrunk to the screen's free area
// where larger, and moved inside it, frame included.
void PlaceWindow(QWidget* window, int left, int top, int width, int height, int state);
// The window's place (its normal place while maximised) and state, frame included.
void WindowPlace(const QWidget* window, int& left, int& top, int& width, int& height, int& state);
// Fits a shown or hidden top-level window into the free area of its screen, frame included (a
// maximised, minimised or full-screen window is left alone).
void FitWindowToScreen(QWidget* window);
// From now on every top-level window and dialog of the program is fitted whenever it is shown,
// and again once the window manager has put its frame around it.
void KeepWindowsOnScreen();

// Lays its widgets out in rows, left to right, starting a new row where the next one would pass
// the right edge: a window of controls that is narrower than their one row still shows them all.
class TFlowLayout : public QLayout {
 public:
  explicit TFlowLayout(QWidget* parent = nullptr, int horizontalSpacing = 10,
                       int verticalSpacing = 4);
  ~TFlowLayout() override;
  void addItem(QLayoutItem* item) override;
  int count() const override { return static_cast<int>(items_.size()); }
  QLayoutItem* itemAt(int index) const override { return items_.value(index); }
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override { return {}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize minimumSize() const override;
  QSize sizeHint() const override;
  void setGeometry(const QRect& rect) override;

 private:
  // Places the items in `rect` (only measures unless `apply`); returns the height used.
  int Arrange(const QRect& rect, bool apply) const;

  QList<QLayoutItem*> items_;
  int horizontal_, vertical_;
};

}  // namespace umbrivista
