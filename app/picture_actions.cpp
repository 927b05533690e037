// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's File commands for the globe picture: export it as a PNG, SVG or PDF file,
// print it, and preview the print. The picture is drawn off screen as the window shows the globe.

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

#include "data_files.h"
#include "globe_picture.h"
#include "globe_settings.h"
#include "globeview.h"
#include "main_window.h"
#include "picture_export.h"
#include "picture_sheet.h"
#include "safe_file.h"
#include "title_block.h"
#include "widgets.h"
#include "window_texts.h"

namespace umbrivista {

namespace {

constexpr int kMinPictureSide = 16;
constexpr int kMaxPictureSide = 8192;

struct PngChoice {
  int width = 0;
  int height = 0;
  bool titleBlock = false;
};

// The PNG size dialog, offering the globe panel's size.
std::optional<PngChoice> AskPngSize(QWidget* parent, int width, int height, Language language) {
  const PictureExportTexts texts = ExportTexts(language);
  QDialog dialog(parent);
  dialog.setWindowTitle(Q(texts.sizeTitle));
  auto* form = new QFormLayout;
  auto side = [&dialog](int value) {
    auto* box = new QSpinBox(&dialog);
    box->setRange(kMinPictureSide, kMaxPictureSide);
    box->setValue(value);
    return box;
  };
  QSpinBox* widthBox = side(width);
  QSpinBox* heightBox = side(height);
  auto* titleBox = new QCheckBox(Q(texts.titleBlock), &dialog);
  form->addRow(Q(texts.width), widthBox);
  form->addRow(Q(texts.height), heightBox);
  form->addRow(titleBox);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* column = new QVBoxLayout(&dialog);
  column->addLayout(form);
  column->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return PngChoice{widthBox->value(), heightBox->value(), titleBox->isChecked()};
}

}  // namespace

QImage TForm_Main::RenderPicture(int width, int height) {
  GlobePictureOptions options = WindowPictureOptions(
      session_, width, height, Globe->width(), Globe->height(),
      FindDataFile(kTextureFiles[session_.TextureIndex()], options_.dataDir), ListMarks());
  auto warn = [](const std::string& problem) { qWarning("%s", problem.c_str()); };
  std::unique_ptr<GlobePicture> picture;
  try {
    picture = std::make_unique<GlobePicture>(session_.Record(), options, warn);
  } catch (const std::runtime_error& e) {
    // The window draws the plain surface too when the texture cannot be used.
    qWarning("%s", e.what());
    options.texturePath.clear();
    picture = std::make_unique<GlobePicture>(session_.Record(), options, warn);
  }
  return picture->Render(session_.TimeOffset());
}

TitleBlock TForm_Main::PictureTitleBlock() const {
  return BuildTitleBlock(WindowTitleBlockInput(session_, !ListMarks().empty()));
}

bool TForm_Main::WritePicture(const std::string& path, int width, int height, bool titleBlock) {
  if (session_.Position() == 0) return false;
  const PictureFormat format = PictureFormatForPath(path);
  try {
    for (int side : {width, height}) {
      if (side < kMinPictureSide || side > kMaxPictureSide) {
        throw std::runtime_error("the picture's width and height must lie within " +
                                 std::to_string(kMinPictureSide) + " … " +
                                 std::to_string(kMaxPictureSide) + " pixels");
      }
    }
    const QImage globe = RenderPicture(width, height);
    const TitleBlock block = PictureTitleBlock();
    const bool withBlock = titleBlock || format != PictureFormat::kPng;
    const QByteArray bytes = EncodeGlobeSheet(format, globe, withBlock ? &block : nullptr);
    WriteFileSafely(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())));
  } catch (const std::exception& e) {
    ShowMessage(this, QString::fromUtf8(e.what()));
    return false;
  }
  RememberSaveFolder(path);
  return true;
}

void TForm_Main::ExportPictureClick() {
  if (session_.Position() == 0) return;
  const Language language = session_.GetLanguage();
  const PictureExportTexts texts = ExportTexts(language);
  const std::string path =
      ChooseSaveFile(this, Q(DefaultPictureName(session_)),
                     {Q(texts.filters[0]), Q(texts.filters[1]), Q(texts.filters[2])});
  if (path.empty()) return;
  int width = Globe->width(), height = Globe->height();
  bool titleBlock = false;
  if (PictureFormatForPath(path) == PictureFormat::kPng) {
    const std::optional<PngChoice> choice = AskPngSize(this, width, height, language);
    if (!choice) return;
    width = choice->width;
    height = choice->height;
    titleBlock = choice->titleBlock;
  }
  WritePicture(path, width, height, titleBlock);
}

void TForm_Main::PrintPicture(QPrinter* printer) {
  if (!printer || session_.Position() == 0) return;
  QImage globe;
  try {
    globe = RenderPicture(Globe->width(), Globe->height());
  } catch (const std::exception& e) {
    ShowMessage(this, QString::fromUtf8(e.what()));
    return;
  }
  const TitleBlock block = PictureTitleBlock();
  QPainter painter;
  if (!painter.begin(printer)) return;  // the print system has said why
  // The painter's origin is the printable area's corner.
  const QRectF page(QPointF(0, 0),
                    printer->pageLayout().paintRectPixels(printer->resolution()).size());
  PaintGlobeSheet(painter, page, globe, &block);
  painter.end();
}

void TForm_Main::PrintClick() {
  if (session_.Position() == 0) return;
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) PrintPicture(&printer);
}

void TForm_Main::PrintPreviewClick() {
  if (session_.Position() == 0) return;
  QPrinter printer(QPrinter::HighResolution);
  QPrintPreviewDialog dialog(&printer, this);
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &TForm_Main::PrintPicture);
  dialog.exec();
}

}  // namespace umbrivista
