#pragma once
// Pieces the program's windows share: named widgets; and for the two report windows the
// fixed-pitch list and the menu.

#include <QMainWindow>
#include <QString>

class QAction;
class QPlainTextEdit;

namespace umbrivista {

// Gives a newly made widget its object name and returns it.
template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// The read-only list of a report: plain text in Liberation Mono, no wrap, both scroll bars.
QPlainTextEdit* MakeReportList(QWidget* parent, const char* name);

// Window place and state (0 normal, 1 minimised, 2 maximised) as the settings keep them; a
// place off every screen is moved onto the primary screen.
void PlaceWindow(QWidget* window, int left, int top, int width, int height, int state);
// The window's place (its normal place while maximised) and state.
void WindowPlace(const QWidget* window, int& left, int& top, int& width, int& height, int& state);

// The window's menu "Liste" (Liste1) with "Speichern unter" (Speichern1), a separator and
// "Beenden" (Beenden1); the save entry stays disabled until a run has rows to save. Returns the
// "Beenden" entry.
QAction* MakeReportMenu(QMainWindow* window);

}  // namespace umbrivista
