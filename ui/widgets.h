#pragma once
// What every window of the program shares: texts for widgets, named widgets and their lookup,
// messages and questions, the save dialog, window placement and Qt's own texts in the program's
// language.

#include <QObject>
#include <QString>
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
// The same with another file filter ("Videos (*.mp4 *.gif)") and the ending added to a name
// typed without one.
std::string ChooseSaveFile(QWidget* parent, const QString& defaultName, const QString& filter,
                           const QString& defaultSuffix);
// The save dialog opens in the folder of the last file saved in this run, else in the user's
// documents folder, else in the home folder.
void RememberSaveFolder(const std::string& savedFile);

// Qt's own texts (the buttons of message boxes, the file dialog, the edit menus) in the program's
// language, where the system has Qt's translations.
void UseQtStandardTexts(Language language);

// Window place and state (0 normal, 1 minimised, 2 maximised) as the settings keep them. The
// window is made to fit the screen it mostly lies on (the primary screen when it lies on none):
// shrunk to the screen's free area where larger, and moved inside it.
void PlaceWindow(QWidget* window, int left, int top, int width, int height, int state);
// The window's place (its normal place while maximised) and state.
void WindowPlace(const QWidget* window, int& left, int& top, int& width, int& height, int& state);

}  // namespace umbrivista
