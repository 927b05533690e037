#include "report_widgets.h"

#include <QAction>
#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>

namespace umbrivista {

void PlaceWindow(QWidget* window, int left, int top, int width, int height, int state) {
  QRect frame(left, top, width, height);
  bool onScreen = false;
  for (QScreen* screen : QGuiApplication::screens())
    onScreen = onScreen || screen->availableGeometry().intersects(frame);
  if (!onScreen) {
    if (QScreen* primary = QGuiApplication::primaryScreen())
      frame.moveTopLeft(primary->availableGeometry().topLeft());
  }
  window->setGeometry(frame);
  if (state == 2) window->setWindowState(Qt::WindowMaximized);
}

void WindowPlace(const QWidget* window, int& left, int& top, int& width, int& height, int& state) {
  const QRect frame = window->isMaximized() || window->isMinimized() ? window->normalGeometry()
                                                                      : window->geometry();
  left = frame.left();
  top = frame.top();
  width = frame.width();
  height = frame.height();
  state = window->isMaximized() ? 2 : window->isMinimized() ? 1 : 0;
}

QPlainTextEdit* MakeReportList(QWidget* parent, const char* name) {
  auto* list = Named(new QPlainTextEdit(parent), name);
  list->setReadOnly(true);
  list->setLineWrapMode(QPlainTextEdit::NoWrap);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont mono(QStringLiteral("Liberation Mono"));
  mono.setStyleHint(QFont::Monospace);
  mono.setPointSize(9);
  list->setFont(mono);
  return list;
}

QAction* MakeReportMenu(QMainWindow* window) {
  QMenu* menu = Named(window->menuBar()->addMenu(QStringLiteral("Liste")), "Liste1");
  QAction* save = Named(menu->addAction(QStringLiteral("Speichern unter")), "Speichern1");
  save->setEnabled(false);
  menu->addSeparator();
  QAction* close = Named(menu->addAction(QStringLiteral("Beenden")), "Beenden1");
  return close;
}

}  // namespace umbrivista
