#include "report_widgets.h"

#include <QAction>
#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>

namespace umbrivista {

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
