// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// One animation step of the main window: the slider moves five steps (ten seconds), the shadow,
// the grid and the globe's orientation follow, and the globe is repainted in full with its
// layers and overlay, at the default window size with the capitals shown.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QScrollBar>
#include <QSlider>

#include "catalogue.h"
#include "globeview.h"
#include "main_window.h"

namespace umbrivista {
namespace {

QApplication& Application() {
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_animation_step";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *app;
}

void BM_AnimationStep(benchmark::State& state) {
  Application();
  MainWindowOptions options;
  options.catalogueFile = std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName;
  options.dataDir = UMBRIVISTA_DATA_DIR;
  options.version = "bench";
  TForm_Main window(options);
  window.show();
  window.CheckBox_Cities->setChecked(true);
  window.CheckBox_SSP->setChecked(true);
  window.Zoom_TrackBar->setValue(static_cast<int>(state.range(0)));
  QCoreApplication::processEvents();
  window.Time_ScrollBar->setValue(100);
  for (auto _ : state) {
    int p = window.Time_ScrollBar->value() + 5;
    if (p > 12500) p = 100;
    window.Time_ScrollBar->setValue(p);
    window.Globe->repaint();
  }
  state.counters["steps_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel(std::to_string(window.Globe->width()) + "x" +
                 std::to_string(window.Globe->height()) + " globe");
}
// The default zoom and the reset zoom.
BENCHMARK(BM_AnimationStep)->Arg(140)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace umbrivista
