// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The globe in the main window, driven offscreen: time slider, zoom, wheel, dragging, the context
// panel, views, layers and the single point of interest.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "capitals.h"
#include "globeview.h"
#include "gpresenters.h"
#include "layers.h"
#include "main_window.h"
#include "navigation.h"
#include "poi_input.h"
#include "place_circumstances.h"
#include "deltat.h"
#include "gunits.h"
#include "shipped_catalogue.h"
#include "place_zones.h"
#include "civil_time.h"
#include <QLabel>
#include <QAction>
#include <QFile>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>
#include <unistd.h>
#include "widgets.h"

namespace umbrivista {
namespace {

class GlobePanelTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    MainWindowOptions options;
    options.catalogueFile = std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName;
    options.dataDir = UMBRIVISTA_DATA_DIR;
    options.version = "0.1.0";
    // A small window keeps every repaint quick.
    options.settings.mainWidth = 640;
    options.settings.mainHeight = 480;
    main_ = new TForm_Main(options);
    main_->LanguageCommand(Language::kGerman);
    main_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(main_));
  }
  static void TearDownTestSuite() { delete main_; }
  void SetUp() override {
    main_->Opt_NormView->trigger();
    main_->ScrollBar_Eclipse->setValue(16690);
    main_->Time_ScrollBar->setValue(6300);
  }
  static void Wheel(int delta) {
    QWheelEvent wheel(QPointF(50, 50), main_->Globe->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(main_->Globe, &wheel);
  }

  static TForm_Main* main_;
};

TForm_Main* GlobePanelTest::main_ = nullptr;

TEST_F(GlobePanelTest, SliderPositionsAreInstants) {
  main_->Time_ScrollBar->setValue(0);
  EXPECT_DOUBLE_EQ(main_->CurrentTimeOffset(), -3.5);
  main_->Time_ScrollBar->setValue(12600);
  EXPECT_DOUBLE_EQ(main_->CurrentTimeOffset(), 3.5);
  main_->Time_ScrollBar->setValue(6301);
  EXPECT_NEAR(main_->CurrentTimeOffset() * 3600, 2.0, 1e-9);
}

TEST_F(GlobePanelTest, OnePaintPerStepAndNoRenderRequestedByTheOverlay) {
  int renders = 0;
  const auto connection =
      QObject::connect(main_->Globe, &TGlobeView::afterRender, [&renders] { ++renders; });
  main_->Time_ScrollBar->setValue(7000);
  EXPECT_TRUE(main_->Globe->RenderPending());
  main_->Globe->repaint();
  EXPECT_EQ(renders, 1);
  // The overlay set the projector's origin during the paint; nothing is left pending.
  EXPECT_FALSE(main_->Globe->RenderPending());
  QObject::disconnect(connection);
}

TEST_F(GlobePanelTest, ZoomWheelAndReset) {
  main_->Zoom_TrackBar->setValue(140);
  EXPECT_NEAR(static_cast<double>(main_->Globe->Projector().ScaleFactor()), 2.7e-6, 1e-15);
  for (int i = 0; i < 40; ++i) Wheel(-120);
  EXPECT_EQ(main_->Zoom_TrackBar->value(), 60);
  for (int i = 0; i < 40; ++i) Wheel(120);
  EXPECT_EQ(main_->Zoom_TrackBar->value(), 350);
  QTest::mouseClick(main_->Globe, Qt::RightButton, {}, QPoint(300, 200));
  QWidget* panel = main_->Panel_GlobeControl;
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(panel->pos(), QPoint(240, 183));
  panel->findChild<QPushButton*>("Button_Resize_Globe")->click();
  EXPECT_FALSE(panel->isVisible());
  EXPECT_EQ(main_->Zoom_TrackBar->value(), 300);
  EXPECT_NEAR(static_cast<double>(main_->Globe->Projector().ScaleFactor()), 1.1e-6, 1e-15);
  EXPECT_NEAR(main_->PixelsPerEarthRadius(), 341.55, 1e-6);
  EXPECT_EQ(main_->CentreX(), main_->Globe->width() / 2);
  EXPECT_EQ(main_->CentreY(), main_->Globe->height() / 2);
  main_->Zoom_TrackBar->setValue(140);
}

TEST_F(GlobePanelTest, ACentredGlobeStaysCentredWhenTheWindowChangesSize) {
  const QSize size = main_->size();
  main_->Panel_GlobeControl->findChild<QPushButton*>("Button_Center_Globe")->click();
  main_->resize(size + QSize(160, 100));
  QCoreApplication::processEvents();
  ASSERT_GT(main_->Globe->width(), 0);
  EXPECT_EQ(main_->CentreX(), main_->Globe->width() / 2);
  EXPECT_EQ(main_->CentreY(), main_->Globe->height() / 2);
  EXPECT_EQ(main_->Globe->Projector().XOrigin(), main_->Globe->width() / 2);
  // A globe moved off the centre keeps its place, and so does the scale.
  const int zoom = main_->Zoom_TrackBar->value();
  QTest::mousePress(main_->Globe, Qt::LeftButton, {}, QPoint(100, 100));
  QMouseEvent move(QEvent::MouseMove, QPointF(140, 100), main_->Globe->mapToGlobal(QPointF(140, 100)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(main_->Globe, &move);
  QTest::mouseRelease(main_->Globe, Qt::LeftButton, {}, QPoint(140, 100));
  const int x = main_->CentreX(), y = main_->CentreY();
  ASSERT_NE(x, main_->Globe->width() / 2);
  main_->resize(size);
  QCoreApplication::processEvents();
  EXPECT_EQ(main_->CentreX(), x);
  EXPECT_EQ(main_->CentreY(), y);
  EXPECT_EQ(main_->Zoom_TrackBar->value(), zoom);
  main_->Panel_GlobeControl->findChild<QPushButton*>("Button_Center_Globe")->click();
}

TEST_F(GlobePanelTest, LeftDragMovesTheCentreRightDragDoesNot) {
  const int x = main_->CentreX(), y = main_->CentreY();
  QTest::mousePress(main_->Globe, Qt::LeftButton, {}, QPoint(100, 100));
  QMouseEvent move(QEvent::MouseMove, QPointF(130, 90), main_->Globe->mapToGlobal(QPointF(130, 90)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(main_->Globe, &move);
  QTest::mouseRelease(main_->Globe, Qt::LeftButton, {}, QPoint(130, 90));
  EXPECT_EQ(main_->CentreX(), x + 30);
  EXPECT_EQ(main_->CentreY(), y - 10);
  EXPECT_EQ(main_->Globe->Projector().XOrigin(), x + 30);
  QTest::mousePress(main_->Globe, Qt::RightButton, {}, QPoint(100, 100));
  QMouseEvent rightMove(QEvent::MouseMove, QPointF(150, 150),
                        main_->Globe->mapToGlobal(QPointF(150, 150)), Qt::NoButton,
                        Qt::RightButton, Qt::NoModifier);
  QCoreApplication::sendEvent(main_->Globe, &rightMove);
  EXPECT_EQ(main_->CentreX(), x + 30);
  main_->Panel_GlobeControl->findChild<QPushButton*>("Button_Exit_Globe")->click();
  EXPECT_FALSE(main_->Panel_GlobeControl->isVisible());
}

TEST_F(GlobePanelTest, BackViewTurnsTheGlobeAndColoursTheCentreLine) {
  // Both view commands rerun the eclipse change, which puts the slider at the estimated maximum.
  main_->Opt_NormView->trigger();
  TGProjector& projector = main_->Globe->Projector();
  const double x = projector.XRotation(), y = projector.YRotation();
  auto roadColour = [] {
    TGLayer* layer = main_->Layers()->Find(kCentreLineLayer);
    auto* road = layer ? dynamic_cast<TGRoadPresenter*>(layer->Presenters().Find(1)) : nullptr;
    return road ? road->RoadPen.Color() : TColor{clNone};
  };
  EXPECT_EQ(roadColour(), clYellow);
  main_->Opt_BackView->trigger();
  EXPECT_NEAR(projector.XRotation(), -x, 1e-9);
  EXPECT_NEAR(std::remainder(projector.YRotation() - y - 180, 360.0), 0, 1e-9);
  EXPECT_EQ(roadColour(), TColor{0x000080});
  EXPECT_EQ(main_->Layers()->ObjectCount(kCentreLineLayer), 1);
  main_->Opt_NormView->trigger();
  EXPECT_NEAR(projector.XRotation(), x, 1e-9);
}

TEST_F(GlobePanelTest, TheMapViewShowsTheWholeEarthAndTheGlobeComesBack) {
  TGProjector& projector = main_->Globe->Projector();
  main_->Time_ScrollBar->setValue(6855);  // greatest eclipse, the axis over Mexico
  const double x = projector.XRotation(), y = projector.YRotation();
  const int zoom = main_->Zoom_TrackBar->value();
  main_->Opt_MapView->trigger();
  EXPECT_TRUE(main_->Opt_MapView->isChecked());
  EXPECT_EQ(projector.ProjectionClass(), "TGMercatorPrj");
  EXPECT_EQ(main_->Time_ScrollBar->value(), 6855);  // the instant stays
  // The whole map in the panel, centred on the Sun's longitude at T0.
  const int w = main_->Globe->width(), h = main_->Globe->height();
  QPoint nw, se;
  projector.LLToXY({DegreesToGU(projector.CentralMeridian() - 179.9), DegreesToGU(85.0), 0}, nw);
  projector.LLToXY({DegreesToGU(projector.CentralMeridian() + 179.9), DegreesToGU(-85.0), 0}, se);
  // (The projector lets at most 2³¹ globe units span the panel, which may cut the nearly square
  // map a little at the top and bottom of a wide panel.)
  EXPECT_GE(nw.x(), 0);
  EXPECT_LE(se.x(), w);
  EXPECT_NEAR(nw.y() + se.y(), h, 2);
  EXPECT_TRUE(se.x() - nw.x() >= w - 2 || se.y() - nw.y() >= h - 2);
  EXPECT_NEAR(static_cast<double>(projector.CentralMeridian()), -89, 2);
  // Moving the instant turns nothing: the map stays where it is.
  const QPoint before = QPoint(projector.XOrigin(), projector.YOrigin());
  main_->Time_ScrollBar->setValue(7500);
  EXPECT_EQ(QPoint(projector.XOrigin(), projector.YOrigin()), before);
  EXPECT_EQ(projector.ProjectionClass(), "TGMercatorPrj");
  // The axis point is marked where the shadow is on the map: dark red under its pixel.
  main_->Time_ScrollBar->setValue(6855);
  const QImage map = main_->Globe->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const double lat = std::stod(main_->Rows()[15].value), lon = std::stod(main_->Rows()[14].value);
  QPoint axis;
  ASSERT_TRUE(projector.LLToXY({DegreesToGU(lon), DegreesToGU(lat), 0}, axis))
      << main_->Rows()[15].label << " " << main_->Rows()[14].label;
  EXPECT_EQ(map.pixel(axis), qRgb(192, 0, 0));
  // The back view leaves the map; the normal view brings back the globe as it was.
  main_->Opt_BackView->trigger();
  EXPECT_EQ(projector.ProjectionClass(), "TGSphericalPrj");
  main_->Opt_MapView->trigger();
  main_->Opt_NormView->trigger();
  EXPECT_EQ(projector.ProjectionClass(), "TGSphericalPrj");
  main_->Time_ScrollBar->setValue(6855);  // the back view went back to the estimated maximum
  EXPECT_NEAR(projector.XRotation(), x, 1e-9);
  EXPECT_NEAR(projector.YRotation(), y, 1e-9);
  EXPECT_EQ(main_->Zoom_TrackBar->value(), zoom);
  EXPECT_EQ(projector.XOrigin(), main_->CentreX());
  EXPECT_EQ(projector.YOrigin(), main_->CentreY());
}

TEST_F(GlobePanelTest, CapitalsStayOneSetThroughManyEclipses) {
  main_->CheckBox_Cities->setChecked(true);
  for (int i = 1; i <= 50; ++i) main_->ScrollBar_Eclipse->setValue(16690 + i);
  main_->CheckBox_ET_UT->setChecked(true);
  EXPECT_EQ(main_->Layers()->ObjectCount(kCapitalsLayer), 193);
  main_->CheckBox_Cities->setChecked(false);
  EXPECT_EQ(main_->Layers()->ObjectCount(kCapitalsLayer), 0);
  main_->CheckBox_ET_UT->setChecked(false);
  // A partial eclipse has no centre line; the layers for the points exist from the start.
  EXPECT_NE(main_->Layers()->Find(kPoIListLayer), nullptr);
  EXPECT_EQ(main_->Layers()->ObjectCount(kPoIListLayer), 0);
}

TEST_F(GlobePanelTest, PointOfInterestDistancesAndInput) {
  // The point at the axis point of T0 (row 14 and 15 of the grid): both distances vanish.
  main_->RadioButton_PoI_Sued->setChecked(false);
  main_->RadioButton_PoI_Nord->setChecked(true);
  main_->RadioButton_PoI_West->setChecked(true);
  main_->Edit_PoI_Breite->setText("19.980");
  main_->Edit_PoI_Laenge->setText("109.377");
  EXPECT_DOUBLE_EQ(main_->PoILatitude(), 19.98);
  EXPECT_DOUBLE_EQ(main_->PoILongitude(), -109.377);
  EXPECT_TRUE(main_->CheckBox_PoI->isChecked());
  EXPECT_EQ(main_->Layers()->ObjectCount(kPoILayer), 1);
  const QString a = main_->Label_DistA->text(), b = main_->Label_DistB->text();
  ASSERT_TRUE(a.startsWith("Dist. zu Schattenachse: ")) << a.toStdString();
  ASSERT_TRUE(b.startsWith("Dist. zu Max. Finsternis: ")) << b.toStdString();
  EXPECT_LT(a.section(' ', -2, -2).toDouble(), 1.0) << a.toStdString();
  EXPECT_LT(b.section(' ', -2, -2).toDouble(), 1.0) << b.toStdString();
  // Three and a half hours earlier the axis misses the Earth: only the first label remains.
  main_->Time_ScrollBar->setValue(0);
  EXPECT_FALSE(main_->Label_DistA->text().isEmpty());
  EXPECT_TRUE(main_->Label_DistB->text().isEmpty());
  // 91 is beyond the pole: the box is emptied and the point goes to the equator.
  main_->Edit_PoI_Breite->setText("91");
  EXPECT_EQ(main_->Edit_PoI_Breite->text(), "");
  EXPECT_EQ(main_->PoILatitude(), 0);
  main_->Edit_PoI_Breite->setText(" 8 ");
  EXPECT_EQ(main_->Edit_PoI_Breite->text(), "8");
  EXPECT_EQ(main_->PoILatitude(), 8);
  main_->RadioButton_PoI_Sued->click();
  EXPECT_EQ(main_->PoILatitude(), -8);
  main_->CheckBox_PoI->setChecked(false);
  EXPECT_EQ(main_->Layers()->ObjectCount(kPoILayer), 0);
  EXPECT_TRUE(main_->Label_DistA->text().isEmpty());
  main_->CheckBox_PoI->setChecked(true);
  EXPECT_EQ(main_->Layers()->ObjectCount(kPoILayer), 1);
}

// What the window's globe shows and what `umbrivista-cli render` writes for the same eclipse,
// instant, size, zoom, marks and language are the same picture.
TEST_F(GlobePanelTest, TheWindowsGlobeEqualsTheRenderedPicture) {
  main_->ScrollBar_Eclipse->setValue(16690);
  main_->Time_ScrollBar->setValue(6855);  // 0.3083 h: greatest eclipse
  main_->CheckBox_SSP->setChecked(true);
  main_->CheckBox_Cities->setChecked(true);
  main_->RadioButton_PoI_Nord->setChecked(true);
  main_->RadioButton_PoI_West->setChecked(true);
  main_->Edit_PoI_Breite->setText("32.78");
  main_->Edit_PoI_Laenge->setText("96.8");
  main_->Zoom_TrackBar->setValue(300);
  main_->Panel_GlobeControl->findChild<QPushButton*>("Button_Center_Globe")->click();
  const QImage window = main_->Globe->grab().toImage().convertToFormat(QImage::Format_RGB32);
  // The umbra (dark red $0000C0) lies at the shadow's plane position, the yellow marker at the
  // centre, which the orientation turns to the sub-solar point.
  const double k = main_->PixelsPerEarthRadius();
  const double x = std::stod(main_->Rows()[1].value), y = std::stod(main_->Rows()[2].value);
  const int cx = main_->CentreX(), cy = main_->CentreY();
  // The disc is some 4 pixels across, crossed by the red track and diameter.
  const int ux = static_cast<int>(std::lround(cx + x * k));
  const int uy = static_cast<int>(std::lround(cy - y * k));
  int umbral = 0;
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) umbral += window.pixel(ux + dx, uy + dy) == qRgb(192, 0, 0);
  EXPECT_GE(umbral, 6);
  EXPECT_EQ(window.pixel(ux + 12, uy + 12) == qRgb(192, 0, 0), false);
  EXPECT_EQ(window.pixel(cx - 3, cy), qRgb(255, 255, 0));
  EXPECT_EQ(window.pixel(cx, cy - 3), qRgb(255, 255, 0));
  main_->CheckBox_SSP->setChecked(false);
  main_->CheckBox_Cities->setChecked(false);
  main_->CheckBox_PoI->setChecked(false);
  main_->Zoom_TrackBar->setValue(140);

  const std::string out = ::testing::TempDir() + "/window_equals_render.png";
  char t[64];
  std::snprintf(t, sizeof t, "%.17g", main_->CurrentTimeOffset());
  const std::string command = std::string(UMBRIVISTA_BIN_DIR) + "/umbrivista-cli render 16690 " +
                              t + " --width " + std::to_string(window.width()) + " --height " +
                              std::to_string(window.height()) +
                              " --zoom 300 --ssp --capitals --poi 32.78,-96.8 --lang de --out " +
                              out + " --catalogue " + UMBRIVISTA_DATA_DIR + "/" +
                              kCatalogueFileName;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const QImage rendered = QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(rendered.size(), window.size());
  int differing = 0;
  for (int y = 0; y < window.height(); ++y)
    for (int x = 0; x < window.width(); ++x)
      differing += window.pixel(x, y) != rendered.pixel(x, y);
  EXPECT_EQ(differing, 0);
  if (differing) window.save(QString::fromStdString(::testing::TempDir() + "/window_globe.png"));
  std::remove(out.c_str());
}

TEST_F(GlobePanelTest, ExportedPicturesShowTheWindowsGlobe) {
  main_->ScrollBar_Eclipse->setValue(16690);
  main_->Time_ScrollBar->setValue(6855);
  main_->CheckBox_ET_UT->setChecked(true);
  main_->CheckBox_Cities->setChecked(true);
  main_->RadioButton_PoI_Nord->setChecked(true);
  main_->RadioButton_PoI_West->setChecked(true);
  main_->Edit_PoI_Breite->setText("32.78");
  main_->Edit_PoI_Laenge->setText("96.8");
  // Dragged off the panel's centre.
  QTest::mousePress(main_->Globe, Qt::LeftButton, {}, QPoint(100, 100));
  QMouseEvent move(QEvent::MouseMove, QPointF(140, 75), main_->Globe->mapToGlobal(QPointF(140, 75)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(main_->Globe, &move);
  QTest::mouseRelease(main_->Globe, Qt::LeftButton, {}, QPoint(140, 75));
  const QImage window = main_->Globe->grab().toImage().convertToFormat(QImage::Format_RGB32);

  const std::string base = ::testing::TempDir() + "/export_" + std::to_string(::getpid());
  ASSERT_TRUE(main_->WritePicture(base + ".png", window.width(), window.height(), false));
  const QImage png = QImage(QString::fromStdString(base + ".png")).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(png.size(), window.size());
  int differing = 0;
  for (int y = 0; y < window.height(); ++y)
    for (int x = 0; x < window.width(); ++x) differing += window.pixel(x, y) != png.pixel(x, y);
  EXPECT_EQ(differing, 0);

  // The File menu's command, with the name the save dialog would give.
  QString offered;
  std::string chosen;
  SetSaveFileChooser([&](QWidget*, const QString& path) {
    offered = path;
    return chosen;
  });
  auto read = [](const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  chosen = base + ".svg";
  main_->Action_ExportPicture->trigger();
  EXPECT_TRUE(offered.endsWith("/eclipse-2024-04-08")) << offered.toStdString();
  const QByteArray svg = read(chosen);
  EXPECT_TRUE(svg.contains("<image"));
  EXPECT_TRUE(svg.contains("Totale Sonnenfinsternis 2024-04-08"));
  EXPECT_TRUE(svg.contains("Hauptstädte") || svg.contains("Hauptst&#xe4;dte") ||
              svg.contains("Hauptst&#228;dte"));
  chosen = base + ".pdf";
  main_->Action_ExportPicture->trigger();
  EXPECT_TRUE(read(chosen).startsWith("%PDF-"));
  // A folder that does not exist is reported, not taken for a success.
  std::vector<QString> messages;
  SetMessageSink([&messages](QWidget*, const QString& text) { messages.push_back(text); });
  EXPECT_FALSE(main_->WritePicture(base + "-missing/a.png", 100, 100, true));
  EXPECT_EQ(messages.size(), 1u);
  // So is a size the globe cannot be drawn at; nothing is written.
  EXPECT_FALSE(main_->WritePicture(base + "-empty.png", 0, 100, false));
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(base + "-empty.png")));
  SetMessageSink(nullptr);
  SetSaveFileChooser(nullptr);
  for (const char* ending : {".png", ".svg", ".pdf"}) std::remove((base + ending).c_str());

  main_->CheckBox_ET_UT->setChecked(false);
  main_->CheckBox_Cities->setChecked(false);
  main_->CheckBox_PoI->setChecked(false);
  main_->Panel_GlobeControl->findChild<QPushButton*>("Button_Center_Globe")->click();
}

TEST_F(GlobePanelTest, PrintingFitsTheGlobeAndItsBlockToThePage) {
  const std::string base = ::testing::TempDir() + "/print_" + std::to_string(::getpid());
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(base + ".pdf"));
  printer.setPageSize(QPageSize(QPageSize::A4));
  main_->PrintPicture(&printer);
  QFile file(QString::fromStdString(base + ".pdf"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray pdf = file.readAll();
  EXPECT_TRUE(pdf.startsWith("%PDF-"));
  EXPECT_TRUE(pdf.contains("/Image"));
  if (std::system("command -v pdftoppm >/dev/null 2>&1") == 0) {
    // At 20 dpi an A4 page is some 165 × 234 pixels: the globe as large as the printable area
    // leaves room for the block, centred across, the white block and page below.
    ASSERT_EQ(std::system(("pdftoppm -png -r 20 -singlefile " + base + ".pdf " + base).c_str()), 0);
    const QImage page(QString::fromStdString(base + ".png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(page.width(), 165, 3);
    const int row = page.height() / 3;
    int left = page.width(), right = -1;
    for (int x = 0; x < page.width(); ++x) {
      if (page.pixelColor(x, row) == QColor(Qt::white)) continue;
      left = std::min(left, x);
      right = std::max(right, x);
    }
    const double globeAspect = static_cast<double>(main_->Globe->width()) / main_->Globe->height();
    EXPECT_GT(right - left, std::min(0.9 * page.width() * 0.8, 0.5 * page.height() * globeAspect));
    EXPECT_NEAR(left, page.width() - 1 - right, 2);
    EXPECT_EQ(page.pixelColor(page.width() / 2, page.height() - 3), QColor(Qt::white));
    std::remove((base + ".png").c_str());
  }
  std::remove((base + ".pdf").c_str());
}

TEST_F(GlobePanelTest, PrintPreviewShowsOnePage) {
  int pages = -1;
  QTimer::singleShot(0, [&pages] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QPrintPreviewDialog*>(widget);
      if (!dialog) continue;
      auto* preview = dialog->findChild<QPrintPreviewWidget*>();
      if (preview && QTest::qWaitFor([preview] { return preview->pageCount() > 0; }))
        pages = preview->pageCount();
      dialog->reject();
    }
  });
  main_->Action_PrintPreview->trigger();
  EXPECT_EQ(pages, 1);
}

// The band of ΔT ± 2σ: drawn for an ancient eclipse in UT, under every other layer; not in TT,
// not when the option is off, not for an eclipse whose ΔT is known to a second.
TEST_F(GlobePanelTest, DeltaTBandFollowsTheOptionTheTimeScaleAndTheEra) {
  auto band = [] { return main_->Layers()->ObjectCount(kDeltaTBandLayer); };
  EXPECT_TRUE(main_->Opt_DeltaTBand->isChecked());
  main_->ScrollBar_Eclipse->setValue(10507);  // -584-05-28
  main_->CheckBox_ET_UT->setChecked(true);
  EXPECT_GE(band(), 1);
  const TGLayerStore& layers = main_->Globe->Layers();
  for (const char* over : {kCentreLineLayer, kPathLimitsLayer, kPoIListLayer}) {
    EXPECT_LT(layers.IndexOf(*main_->Layers()->Find(kDeltaTBandLayer)),
              layers.IndexOf(*main_->Layers()->Find(over)))
        << over;
  }
  main_->Opt_DeltaTBand->trigger();
  EXPECT_EQ(band(), 0);
  main_->Opt_DeltaTBand->trigger();
  EXPECT_GE(band(), 1);
  main_->CheckBox_ET_UT->setChecked(false);
  EXPECT_EQ(band(), 0);
  main_->CheckBox_ET_UT->setChecked(true);
  main_->ScrollBar_Eclipse->setValue(16690);  // 2024-04-08
  EXPECT_EQ(band(), 0);
  main_->CheckBox_ET_UT->setChecked(false);
}

TEST_F(GlobePanelTest, PathLimitsFollowTheOptionAndADoubleClickPlacesThePoint) {
  EXPECT_TRUE(main_->Opt_Limits->isChecked());
  EXPECT_GE(main_->Layers()->ObjectCount(kPathLimitsLayer), 4);  // two umbral, two or more others
  main_->Opt_Limits->trigger();
  EXPECT_EQ(main_->Layers()->ObjectCount(kPathLimitsLayer), 0);
  main_->Opt_Limits->trigger();
  EXPECT_GE(main_->Layers()->ObjectCount(kPathLimitsLayer), 4);

  main_->Zoom_TrackBar->setValue(300);
  main_->Panel_GlobeControl->findChild<QPushButton*>("Button_Center_Globe")->click();
  const QPoint at(main_->CentreX() + 37, main_->CentreY() - 21);
  TGGlobePoint expected;
  ASSERT_TRUE(main_->Globe->Projector().XYToLL(at.x(), at.y(), expected));
  QTest::mouseDClick(main_->Globe, Qt::LeftButton, {}, at);
  EXPECT_NEAR(main_->PoILatitude(), GUToDegrees(expected.Latitude), 0.0006);
  EXPECT_NEAR(main_->PoILongitude(), GUToDegrees(expected.Longitude), 0.0006);
  EXPECT_TRUE(main_->CheckBox_PoI->isChecked());
  EXPECT_EQ(main_->RadioButton_PoI_West->isChecked(), main_->PoILongitude() < 0);
  EXPECT_TRUE(main_->Label_PoI_Circumstances->isVisible());
  EXPECT_TRUE(main_->Label_PoI_Circumstances->text().contains("Magnitude"))
      << main_->Label_PoI_Circumstances->text().toStdString();
  main_->CheckBox_PoI->setChecked(false);
  EXPECT_FALSE(main_->Label_PoI_Circumstances->isVisible());
  main_->Zoom_TrackBar->setValue(140);
}

TEST_F(GlobePanelTest, AClickOnACapitalOrThePointOfInterestNamesIt) {
  main_->CheckBox_Cities->setChecked(true);
  main_->Globe->grab();  // the picture the click is tested against
  // A capital that faces the viewer with no other capital near it.
  std::vector<std::pair<const City_Type*, QPoint>> shown;
  for (const City_Type& city : Capitals()) {
    QPoint p;
    if (main_->Globe->Projector().LLToXY(
            {DegreesToGU(city.longitude), DegreesToGU(city.latitude), 0}, p) &&
        main_->Globe->rect().adjusted(20, 20, -20, -20).contains(p))
      shown.push_back({&city, p});
  }
  const City_Type* alone = nullptr;
  QPoint at;
  for (const auto& [city, p] : shown) {
    const bool crowded = std::any_of(shown.begin(), shown.end(), [&](const auto& other) {
      return other.first != city && (other.second - p).manhattanLength() < 30;
    });
    if (!crowded) {
      alone = city;
      at = p;
      break;
    }
  }
  ASSERT_NE(alone, nullptr);
  QTest::mouseClick(main_->Globe, Qt::LeftButton, {}, at + QPoint(1, -1));
  EXPECT_TRUE(QToolTip::text().contains(QString::fromUtf8(alone->capital)))
      << QToolTip::text().toStdString();
  EXPECT_TRUE(QToolTip::text().contains(QString::fromUtf8(alone->country)));
  // A drag from the capital moves the globe and names nothing.
  QToolTip::hideText();
  QTest::mousePress(main_->Globe, Qt::LeftButton, {}, at);
  QMouseEvent move(QEvent::MouseMove, QPointF(at + QPoint(20, 0)),
                   main_->Globe->mapToGlobal(QPointF(at + QPoint(20, 0))), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(main_->Globe, &move);
  QTest::mouseRelease(main_->Globe, Qt::LeftButton, {}, at + QPoint(20, 0));
  EXPECT_FALSE(QToolTip::isVisible());
  main_->CheckBox_Cities->setChecked(false);

  // The point of interest, with what it sees of the eclipse.
  const QPoint poi(main_->CentreX() + 15, main_->CentreY() + 10);
  QTest::mouseDClick(main_->Globe, Qt::LeftButton, {}, poi);
  main_->Globe->grab();
  QTest::mouseClick(main_->Globe, Qt::LeftButton, {}, poi);
  EXPECT_TRUE(QToolTip::text().contains("PoI")) << QToolTip::text().toStdString();
  EXPECT_TRUE(QToolTip::text().contains("Magnitude")) << QToolTip::text().toStdString();
  main_->CheckBox_PoI->setChecked(false);
}

TEST_F(GlobePanelTest, NightSideOptionAndCentringThePointOfInterest) {
  // The night side is shaded at first; the Option menu switches it.
  EXPECT_TRUE(main_->Opt_NightSide->isChecked());
  EXPECT_TRUE(main_->Model().ShowNightSide());
  main_->Opt_NightSide->trigger();
  EXPECT_FALSE(main_->Model().ShowNightSide());
  main_->Opt_NightSide->trigger();
  EXPECT_TRUE(main_->Model().ShowNightSide());

  main_->Zoom_TrackBar->setValue(200);
  main_->Panel_GlobeControl->findChild<QPushButton*>("Button_Center_Globe")->click();
  const QPoint middle(main_->Globe->width() / 2, main_->Globe->height() / 2);
  auto poiOnScreen = [] {
    QPoint at;
    EXPECT_TRUE(main_->Globe->Projector().LLToXY(
        TGGlobePoint{DegreesToGU(main_->PoILongitude()), DegreesToGU(main_->PoILatitude()), 0},
        at));
    return at;
  };
  // The wheel zooms about the pointer: the place under it stays there.
  const QPoint pointer = middle + QPoint(70, -40);
  TGGlobePoint place;
  ASSERT_TRUE(main_->Globe->Projector().XYToLL(pointer.x(), pointer.y(), place));
  QWheelEvent wheel(QPointF(pointer), main_->Globe->mapToGlobal(QPointF(pointer)), QPoint(),
                    QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(main_->Globe, &wheel);
  EXPECT_EQ(main_->Zoom_TrackBar->value(), 190);
  QPoint after;
  ASSERT_TRUE(main_->Globe->Projector().LLToXY(place, after));
  EXPECT_LE((after - pointer).manhattanLength(), 2);

  // A double click with Ctrl places the point and brings it to the middle.
  QTest::mouseDClick(main_->Globe, Qt::LeftButton, Qt::ControlModifier,
                     middle + QPoint(-60, 45));
  EXPECT_LE((poiOnScreen() - middle).manhattanLength(), 2);
  // The command does so after a drag.
  QTest::mousePress(main_->Globe, Qt::LeftButton, {}, QPoint(100, 100));
  QMouseEvent move(QEvent::MouseMove, QPointF(150, 70), main_->Globe->mapToGlobal(QPointF(150, 70)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(main_->Globe, &move);
  QTest::mouseRelease(main_->Globe, Qt::LeftButton, {}, QPoint(150, 70));
  ASSERT_GT((poiOnScreen() - middle).manhattanLength(), 40);
  main_->Opt_CentrePoI->trigger();
  EXPECT_LE((poiOnScreen() - middle).manhattanLength(), 2);
  main_->CheckBox_PoI->setChecked(false);
  main_->Zoom_TrackBar->setValue(140);
  main_->Panel_GlobeControl->findChild<QPushButton*>("Button_Center_Globe")->click();
}

TEST(PlaceCircumstances, WhatAPlaceSees) {
  const EclipseRecord& r = ShippedCatalogue().RecordAt(16690);
  const double deltaT = DeltaT(r.year, r.month);
  auto starting = [](const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& line : lines)
      if (line.rfind(prefix, 0) == 0) return line;
    return std::string();
  };
  // Dallas saw about 3 min 50 s of totality, some 70 km inside the path's northern limit.
  const auto dallas =
      PlaceCircumstancesLines(r, deltaT, true, 32.7767, -96.797, Language::kEnglish);
  ASSERT_GE(dallas.size(), 9u);
  EXPECT_EQ(dallas[0], "Total eclipse");
  EXPECT_EQ(dallas[1].rfind("Magnitude 1.0", 0), 0u) << dallas[1];
  EXPECT_NE(dallas[1].find("Obscuration 100.0 %"), std::string::npos) << dallas[1];
  // 17:23:14 UT in the list; the Sun at 60.6° (the same refracted to 0.1°), azimuth 145°.
  EXPECT_EQ(starting(dallas, "C1  ").rfind("C1  17:23:1", 0), 0u) << dallas[3];
  EXPECT_NE(starting(dallas, "C1  ").find("60.6\u00b0 (60.6\u00b0)   Az 145."), std::string::npos);
  EXPECT_NE(starting(dallas, "Duration 3:5"), "");  // published 3 min 51 s
  EXPECT_NE(starting(dallas, "inside the central path"), "");
  // In Europe the Sun had set: nothing but the contacts below the horizon. The South Pole lay
  // far outside the penumbra.
  const auto europe = PlaceCircumstancesLines(r, deltaT, true, 47.5, 7.5, Language::kEnglish);
  ASSERT_GE(europe.size(), 2u);
  EXPECT_EQ(europe[0], "Not visible here: the Sun is below the horizon");
  EXPECT_EQ(starting(europe, "Magnitude"), "");
  EXPECT_EQ(PlaceCircumstancesLines(r, deltaT, true, -89.9, 0, Language::kEnglish),
            std::vector<std::string>{"No eclipse at this place"});
  // Times in TT are later by ΔT.
  const auto tt = PlaceCircumstancesLines(r, deltaT, false, 32.7767, -96.797, Language::kGerman);
  EXPECT_EQ(tt[0], "Totale Finsternis");
  EXPECT_EQ(starting(tt, "C1  ").rfind("C1  17:24:", 0), 0u);
  // Madrid, just outside the path of 2026 at sunset: the limit is 11 km to the north-north-east
  // (Alcobendas), and the centre line across from there has 1 min 44 s.
  const EclipseRecord y2026 = ShippedRecord(2026, 8, 12);
  const auto madrid =
      PlaceCircumstancesLines(y2026, DeltaT(2026, 8), true, 40.42, -3.70, Language::kFrench);
  EXPECT_EQ(starting(madrid, "totalité la plus proche : "),
            "totalité la plus proche : 11.0 km NNE, 1:44");
  EXPECT_NE(starting(madrid, "Coucher du soleil  19:11:"), "");
  EXPECT_NE(starting(madrid, "C4  19:24:").find("sous l'horizon"), std::string::npos);
  // Elements that never settle say so instead of showing numbers.
  EXPECT_EQ(PlaceCircumstancesLines(EclipseRecord{}, 0, true, 30, -100, Language::kEnglish),
            std::vector<std::string>{"The circumstances at this place could not be computed"});
  // −584-05-28, σ(ΔT) 462 s: at Sardis totality for the lower part of ΔT ± 2σ (the same range
  // `local --deltat-range` gives); far south of the path partial for every ΔT of it.
  const EclipseRecord ancient = ShippedRecord(-584, 5, 28);
  const double ancientDeltaT = DeltaT(-584, 5);
  const struct {
    double latitude, longitude;
    Language language;
    const char* first;
  } ranges[] = {
      {38.49, 28.04, Language::kEnglish, "Total for ΔT between 17460 and 1847"},
      {38.49, 28.04, Language::kGerman, "Total für ΔT zwischen 17460 und 1847"},
      {30, 28.04, Language::kFrench, "Partielle pour tout ΔT de 17460 à 19309 s (±2σ)"},
  };
  for (const auto& c : ranges) {
    const auto lines = PlaceCircumstancesLines(ancient, ancientDeltaT, true, c.latitude,
                                               c.longitude, c.language);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind(c.first, 0), 0u) << lines[0];
  }
}

// Each instant also on the place's civil clock: the zone of the nearest place (daylight saving,
// half-hour zones, the place's own mean time before standard time) or nautical time at sea.
TEST(PlaceCircumstances, LocalCivilTime) {
  const PlaceZones zones =
      PlaceZones::Load(std::string(UMBRIVISTA_DATA_DIR) + "/" + kPlaceZonesFileName);
  struct Case {
    const char* label;
    EclipseRecord record;
    double lat, lon;
    const char* zoneLine;
    const char* c1;  // the start of the first contact's line
  };
  const Case cases[] = {
      {"Madrid 2026", ShippedRecord(2026, 8, 12), 40.42, -3.70, "Local time: Europe/Madrid",
       "C1  17:36:42 UT  19:36:42 CEST, UT+2"},
      {"Dallas 2024", ShippedRecord(2024, 4, 8), 32.78, -96.80, "Local time: America/Chicago",
       "C1  17:23:15 UT  12:23:15 CDT, UT\u22125"},
      {"Varanasi 2009, half an hour", ShippedRecord(2009, 7, 22), 25.32, 82.99,
       "Local time: Asia/Kolkata", "C1  00:"},
      {"Madrid 1860, before standard time", ShippedRecord(1860, 7, 18), 40.42, -3.70,
       "Local time: Europe/Madrid", "C1  "},
      {"Pacific 2024, at sea", ShippedRecord(2024, 4, 8), 0, -130,
       "Local time: UT\u22129 (nautical)", "C1  "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const CivilClock clock{zones.Find(c.lat, c.lon), QtCivilOffsets()};
    const auto lines = PlaceCircumstancesLines(c.record, DeltaT(c.record.year, c.record.month),
                                               true, c.lat, c.lon, Language::kEnglish, &clock);
    std::string zone, c1;
    for (const std::string& line : lines) {
      if (line.rfind("Local time: ", 0) == 0) zone = line;
      if (line.rfind("C1  ", 0) == 0) c1 = line;
    }
    EXPECT_EQ(zone, c.zoneLine);
    EXPECT_EQ(c1.rfind(c.c1, 0), 0u) << c1;
  }
  // The half-hour zone and the mean time before standard time, by their offsets.
  const auto offsetOf = [&](const Case& c) {
    const CivilClock clock{zones.Find(c.lat, c.lon), QtCivilOffsets()};
    for (const std::string& line :
         PlaceCircumstancesLines(c.record, DeltaT(c.record.year, c.record.month), true, c.lat,
                                 c.lon, Language::kEnglish, &clock))
      if (line.rfind("C1  ", 0) == 0) return line;
    return std::string();
  };
  EXPECT_NE(offsetOf(cases[2]).find("IST, UT+5:30"), std::string::npos) << offsetOf(cases[2]);
  EXPECT_NE(offsetOf(cases[3]).find("LMT, UT\u22120:14:4"), std::string::npos) << offsetOf(cases[3]);
}

TEST(PoIInput, CoordinateTexts) {
  EXPECT_EQ(ParseCoordinateText("", 90), 0.0);
  EXPECT_EQ(ParseCoordinateText("47.5", 90), 47.5);
  EXPECT_EQ(ParseCoordinateText("90", 90), 90.0);
  EXPECT_EQ(ParseCoordinateText("180", 180), 180.0);
  for (const char* bad : {"91", "-1", "4,5", "abc", "nan", "inf", "1e999"})
    EXPECT_FALSE(ParseCoordinateText(bad, 90)) << bad;
  EXPECT_EQ(TrimmedText(" \t8.5 "), "8.5");
  PoIDistances d{1234.56, 78.94};
  EXPECT_EQ(PoIDistanceLabels(d, true, true, Language::kEnglish),
            std::make_pair(std::string("Dist. to shadow axis: 1234.6 km"),
                           std::string("Dist. to max. eclipse: 78.9 km")));
  EXPECT_EQ(PoIDistanceLabels(d, false, true, Language::kFrench).second, "");
  EXPECT_EQ(PoIDistanceLabels(d, true, true, Language::kFrench).second,
            "Dist. de l'\u00e9clipse max.  : 78.9 km");
  EXPECT_EQ(PoIDistanceLabels(d, true, false, Language::kGerman),
            std::make_pair(std::string(), std::string()));
}

}  // namespace
}  // namespace umbrivista
