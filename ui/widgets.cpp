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
#include <QTranslator>

#include <algorithm>

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

void PlaceWindow(QWidget* window, int left, int top, int width, int height, int state) {
  QRect frame(left, top, width, height);
  // The screen the window mostly lies on, else the primary one; the window is made to fit it
  // (a place stored on a larger screen, or the default size on a small one, would cut it off).
  QScreen* target = QGuiApplication::primaryScreen();
  int best = 0;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect common = screen->availableGeometry().intersected(frame);
    if (common.width() * common.height() > best) {
      best = common.width() * common.height();
      target = screen;
    }
  }
  if (target) {
    const QRect area = target->availableGeometry();
    frame.setWidth(std::min(frame.width(), area.width()));
    frame.setHeight(std::min(frame.height(), area.height()));
    frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() + 1 - frame.width()));
    frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() + 1 - frame.height()));
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

}  // namespace umbrivista
