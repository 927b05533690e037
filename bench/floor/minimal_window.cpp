// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of the start-up benchmark: a Qt Widgets program whose main window holds one label and
// which quits once that label has been painted.

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

namespace {

class QuitAfterPaint : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted_) {
      painted_ = true;
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  auto* label = new QLabel(QStringLiteral("Umbrivista"));
  window.setCentralWidget(label);
  QuitAfterPaint quit;
  label->installEventFilter(&quit);
  window.show();
  return QApplication::exec();
}
