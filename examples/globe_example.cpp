// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// A bare globe: the world texture, a graticule and a layer of places (the capitals), with the
// control's own mouse actions switched on: drag a box with the right button to zoom in (drag it
// back to front to zoom out), drag with the left button to turn the globe, click a place to
// select it (Ctrl+M switches multi-select). The status line names the place clicked.
//
//   globe_example [TEXTURE.jpg]

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QShortcut>
#include <QStatusBar>
#include <memory>
#include <string>

#include "capitals.h"
#include "data_files.h"
#include "globeview.h"

using namespace umbrivista;

namespace {

constexpr int kPlacePresenter = 1;

void AddPlaces(TGlobeView& globe) {
  auto layer = std::make_unique<TGLayer>();
  layer->SetName("Places");
  auto presenter = std::make_unique<TGPointPresenter>();
  presenter->PresenterID = kPlacePresenter;
  presenter->PointType = ppSquare;
  presenter->PointSize = 7;
  presenter->PointPen = TGPen(clWhite, gpsSolid, 1, guPixel);
  presenter->PointBrush = TGBrush(clBlack, clBlack, gbsSolid);
  presenter->TitleAlignment = taRight;
  presenter->TitleOffset = 4;
  presenter->TitleFont.SetName("Liberation Sans");
  presenter->TitleFont.SetSize(8);
  presenter->TitleFont.SetColor(clBlack);
  presenter->TitleFont.SetBkColor(clWhite);
  presenter->TitleFont.SetStyle(gfsHalo);
  layer->Presenters().Add(std::move(presenter));
  for (const City_Type& city : Capitals()) {
    auto point = std::make_shared<TGMapPoint>();
    point->SetPresenterID(kPlacePresenter);
    point->SetColumn(0, city.capital);
    point->SetColumn(1, city.country);
    point->SetCentroid({DegreesToGU(city.longitude), DegreesToGU(city.latitude), 0});
    layer->ObjectSource().Add(point);
  }
  globe.Layers().Add(std::move(layer));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Globe example"));
  auto* globe = new TGlobeView(&window);
  window.setCentralWidget(globe);

  const std::string texture = argc > 1 ? argv[1] : FindDataFile("World_4096.jpg");
  globe->SetSurfaceTextureName(texture);
  globe->Graticule().SetLongitudeStep(30);
  globe->Graticule().SetLatitudeStep(30);
  AddPlaces(*globe);

  // All three of the control's mouse actions (these are also its defaults).
  globe->SetMouseZoomButton(mzbRight);
  globe->SetMouseRotateButton(mzbLeft);
  globe->SetMouseSelectButton(mzbLeft);
  // Scroll bars: the globe's own scroll bars are switched on here once the control has them.

  auto* status = new QLabel(&window);
  window.statusBar()->addWidget(status, 1);
  auto showStatus = [globe, status](const QString& clicked) {
    const bool multi = globe->GlobeOptions() & goMultiSelect;
    status->setText(QStringLiteral("%1   %2 selected%3")
                        .arg(clicked)
                        .arg(globe->Selection().Count())
                        .arg(multi ? QStringLiteral(", multi-select") : QString()));
  };
  globe->OnObjectClick = [showStatus](TGMapPoint& place) {
    showStatus(QString::fromStdString(place.GetColumn(0) + " (" + place.GetColumn(1) + ")"));
  };
  globe->OnSelectionChange = [showStatus] { showStatus(QString()); };
  auto* multi = new QShortcut(QKeySequence(QStringLiteral("Ctrl+M")), &window);
  QObject::connect(multi, &QShortcut::activated, [globe, showStatus] {
    globe->SetGlobeOptions(globe->GlobeOptions() ^ goMultiSelect);
    showStatus(QString());
  });
  showStatus(QStringLiteral("Right-drag: zoom box, left-drag: turn, click: select"));

  window.resize(800, 700);
  window.show();
  // The globe grew from its first size with the window's diagonal; now it fits the window.
  globe->Projector().SetScaleFactor(0);
  return app.exec();
}
