// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <QPointer>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include "window_fit.h"

namespace umbrivista {

namespace {

MessageSink& Messages() {
  static MessageSink sink;
  return sink;
}

QuestionSink& Questions() {
  static QuestionSink sink;
  return sink;
}

SaveFileChooser& Chooser() {
  static SaveFileChooser chooser;
  return chooser;
}

QString& LastSaveFolder() {
  static QString folder;
  return folder;
}

QString SaveFolder() {
  if (!LastSaveFolder().isEmpty() && QFileInfo(LastSaveFolder()).isDir()) return LastSaveFolder();
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
  return QDir::homePath();
}

}  // namespace

void SetMessageSink(MessageSink sink) { Messages() = std::move(sink); }
void SetQuestionSink(QuestionSink sink) { Questions() = std::move(sink); }
void SetSaveFileChooser(SaveFileChooser chooser) { Chooser() = std::move(chooser); }

void ShowMessage(QWidget* parent, const QString& text) {
  if (Messages()) {
    Messages()(parent, text);
  } else {
    QMessageBox::critical(parent, QStringLiteral("Umbrivista"), text, QMessageBox::Ok);
  }
}

bool AskQuestion(QWidget* parent, const QString& text) {
  if (Questions()) return Questions()(parent, text);
  return QMessageBox::question(parent, QStringLiteral("Umbrivista"), text,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void RememberSaveFolder(const std::string& savedFile) {
  LastSaveFolder() = QFileInfo(QString::fromStdString(savedFile)).absolutePath();
}

std::string ChooseSaveFile(QWidget* parent, const QString& defaultName) {
  return ChooseSaveFile(parent, defaultName, {QStringLiteral("Text file (*.txt)")});
}

std::string ChooseSaveFile(QWidget* parent, const QString& defaultName, const QStringList& filters) {
  const QString offered = QDir(SaveFolder()).filePath(defaultName);
  if (Chooser()) return Chooser()(parent, offered);
  // "PNG picture (*.png)" gives "png", "Videos (*.mp4 *.gif)" its first, "mp4".
  auto suffixOf = [](const QString& filter) {
    const qsizetype star = filter.indexOf(QStringLiteral("*."));
    if (star < 0) return QString();
    qsizetype end = star + 2;
    while (end < filter.size() && filter[end] != QLatin1Char(')') && filter[end] != QLatin1Char(' ')) {
      ++end;
    }
    return filter.mid(star + 2, end - star - 2);
  };
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.setDefaultSuffix(suffixOf(filters.front()));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog, suffixOf](const QString& filter) {
                     dialog.setDefaultSuffix(suffixOf(filter));
                   });
  dialog.selectFile(offered);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front().toStdString();
}

void UseQtStandardTexts(Language language) {
  static QTranslator* translator = nullptr;
  if (translator) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
  }
  const char* code = language == Language::kGerman   ? "de"
                     : language == Language::kFrench ? "fr"
                                                     : nullptr;
  if (!code || !QCoreApplication::instance()) return;
  auto* loaded = new QTranslator;
  if (loaded->load(QStringLiteral("qtbase_") + QLatin1String(code),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(loaded);
    translator = loaded;
  } else {
    delete loaded;  // without the system's translations Qt's texts stay English
  }
}

namespace {

// The frame the window manager puts around a window, learnt from the first window shown with
// one (all windows of the program get the same); none until then.
QMargins& KnownFrameMargins() {
  static QMargins margins;
  return margins;
}

// The window's own frame once the window manager has put it there (`own` then true), else the
// frame learnt from another window.
QMargins FrameMarginsOf(const QWidget* window, bool* own = nullptr) {
  if (own) *own = false;
  if (window->testAttribute(Qt::WA_WState_Created) && window->windowHandle()) {
    const QMargins margins = window->windowHandle()->frameMargins();
    if (!margins.isNull()) {
      KnownFrameMargins() = margins;
      if (own) *own = true;
      return margins;
    }
  }
  return KnownFrameMargins();
}

ScreenBox BoxOf(const QRect& r) { return {r.left(), r.top(), r.width(), r.height()}; }
QRect RectOf(const ScreenBox& b) { return {b.left, b.top, b.width, b.height}; }

// The screen `frame` mostly lies on, else the primary one.
QScreen* ScreenFor(const QRect& frame) {
  QScreen* target = QGuiApplication::primaryScreen();
  long long best = 0;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect common = screen->availableGeometry().intersected(frame);
    const long long size = static_cast<long long>(common.width()) * common.height();
    if (size > best) {
      best = size;
      target = screen;
    }
  }
  return target;
}

// The window's client area for the frame `frame`, fitted to its screen.
QRect FittedClient(const QWidget* window, const QRect& frame, const QMargins& margins) {
  QScreen* screen = ScreenFor(frame);
  if (!screen) return frame.marginsRemoved(margins);
  const QSize least = window->minimumSize().grownBy(margins);
  QRect area = screen->availableGeometry();
  // With a scale such as 1.5 the frame is rounded to whole device pixels and may pass the right
  // or bottom edge by one.
  const qreal scale = screen->devicePixelRatio();
  if (scale != std::floor(scale)) area.adjust(0, 0, -1, -1);
  const ScreenBox fitted = FitFrame(BoxOf(frame), BoxOf(area), least.width(), least.height());
  return RectOf(fitted).marginsRemoved(margins);
}

// The frame a window was placed at from the settings, kept until the window has its own frame,
// so that the place saved is the place given and not a client area grown by a frame guessed
// wrong.
const char* const kPlacedFrame = "umbrivista_placed_frame";

// A shown window whose frame the window manager has not yet put around it.
const char* const kFramePending = "umbrivista_frame_pending";

// Fits each top-level window when it is shown, and again when its frame becomes known: the
// window manager adds the frame after the window is mapped, so the window is looked at again as
// it is activated, moved or resized, and a few times in the first seconds, until it has one.
class ScreenKeeper : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::WindowActivate && type != QEvent::Move &&
        type != QEvent::Resize)
      return false;
    if (!watched->isWidgetType()) return false;
    auto* window = static_cast<QWidget*>(watched);
    const Qt::WindowType kind = window->windowType();
    if (!window->isWindow() || (kind != Qt::Window && kind != Qt::Dialog)) return false;
    if (type != QEvent::Show) {
      if (window->property(kFramePending).toBool() && window->isVisible())
        FitWindowToScreen(window);
      return false;
    }
    window->setProperty(kFramePending, true);
    FitWindowToScreen(window);
    QPointer<QWidget> guarded(window);
    for (int ms : {0, 100, 300, 1000, 2000, 4000}) {
      QTimer::singleShot(ms, window, [guarded, ms] {
        if (!guarded || !guarded->isVisible() || !guarded->property(kFramePending).toBool())
          return;
        FitWindowToScreen(guarded);
        // A window manager that gives no frame by now gives none: the window is the user's.
        if (ms == 4000) {
          guarded->setProperty(kFramePending, QVariant());
          guarded->setProperty(kPlacedFrame, QVariant());
        }
      });
    }
    return false;
  }
};

}  // namespace

void FitWindowToScreen(QWidget* window) {
  if (!window || !window->isWindow()) return;
  if (window->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
    return;
  bool own = false;
  const QMargins margins = FrameMarginsOf(window, &own);
  if (own) window->setProperty(kFramePending, QVariant());
  const QRect client = window->geometry();
  QRect frame = client.marginsAdded(margins);
  const QVariant placed = window->property(kPlacedFrame);
  if (placed.isValid()) {
    // Still where the settings put it: the client area follows the frame now known.
    frame = placed.toRect();
    if (own) window->setProperty(kPlacedFrame, QVariant());
  }
  const QRect fitted = FittedClient(window, frame, margins);
  if (fitted != client) window->setGeometry(fitted);
}

void KeepWindowsOnScreen() {
  static ScreenKeeper* keeper = nullptr;
  if (keeper || !QCoreApplication::instance()) return;
  keeper = new ScreenKeeper(QCoreApplication::instance());
  QCoreApplication::instance()->installEventFilter(keeper);
}

void PlaceWindow(QWidget* window, int left, int top, int width, int height, int state) {
  const QRect frame(left, top, width, height);
  const QMargins margins = FrameMarginsOf(window);
  const QRect client = FittedClient(window, frame, margins);
  window->setGeometry(client);
  window->setProperty(kPlacedFrame, client.marginsAdded(margins));
  if (state == 2) window->setWindowState(Qt::WindowMaximized);
}

void WindowPlace(const QWidget* window, int& left, int& top, int& width, int& height, int& state) {
  QRect frame;
  const QVariant placed = window->property(kPlacedFrame);
  if (placed.isValid()) {
    frame = placed.toRect();
  } else {
    const QRect client = window->isMaximized() || window->isMinimized() ? window->normalGeometry()
                                                                        : window->geometry();
    frame = client.marginsAdded(FrameMarginsOf(window));
  }
  left = frame.left();
  top = frame.top();
  width = frame.width();
  height = frame.height();
  state = window->isMaximized() ? 2 : window->isMinimized() ? 1 : 0;
}

TFlowLayout::TFlowLayout(QWidget* parent, int horizontalSpacing, int verticalSpacing)
    : QLayout(parent), horizontal_(horizontalSpacing), vertical_(verticalSpacing) {}

TFlowLayout::~TFlowLayout() {
  while (QLayoutItem* item = takeAt(0)) delete item;
}

void TFlowLayout::addItem(QLayoutItem* item) { items_.append(item); }

QLayoutItem* TFlowLayout::takeAt(int index) {
  if (index < 0 || index >= items_.size()) return nullptr;
  return items_.takeAt(index);
}

int TFlowLayout::heightForWidth(int width) const { return Arrange(QRect(0, 0, width, 0), false); }

QSize TFlowLayout::minimumSize() const {
  // As narrow as the widest item; as high as all items in one row.
  QSize size;
  for (const QLayoutItem* item : items_) size = size.expandedTo(item->minimumSize());
  const QMargins m = contentsMargins();
  return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize TFlowLayout::sizeHint() const {
  // Every item in one row.
  int width = 0, height = 0;
  for (const QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    width += (width > 0 ? horizontal_ : 0) + item->sizeHint().width();
    height = std::max(height, item->sizeHint().height());
  }
  const QMargins m = contentsMargins();
  return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

void TFlowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  Arrange(rect, true);
}

int TFlowLayout::Arrange(const QRect& rect, bool apply) const {
  const QRect area = rect.marginsRemoved(contentsMargins());
  int x = area.x(), y = area.y(), rowHeight = 0;
  for (QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    const QSize size = item->sizeHint().boundedTo(QSize(area.width(), QWIDGETSIZE_MAX));
    if (x > area.x() && x + size.width() > area.right() + 1) {
      x = area.x();
      y += rowHeight + vertical_;
      rowHeight = 0;
    }
    if (apply) item->setGeometry(QRect(QPoint(x, y), size));
    x += size.width() + horizontal_;
    rowHeight = std::max(rowHeight, size.height());
  }
  return y + rowHeight - rect.y() + contentsMargins().bottom();
}

}  // namespace umbrivista
