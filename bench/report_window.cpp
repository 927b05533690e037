// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The report runs in their windows: the city list of 2024-04-08 over every place of the English
// places file (threshold index 9), and the place history of one place over the whole catalogue,
// each timed from Start to its last row in the list, the window's event loop going meanwhile.
// In the same iterations the run alone (on as many threads as the window's) is timed:
// "ratio" is the window's time over the run's. Both are timed warm: the run alone is given the
// places already read, so the window's first Start, which reads the places file (about 90 ms) and
// keeps it while open, comes before the timing.
// The program has its own main: the QApplication is made there and ends before main returns,
// before Qt's own statics are destroyed.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <chrono>
#include <memory>

#include "catalogue.h"
#include "city_hist_window.h"
#include "city_list_run.h"
#include "city_list_window.h"
#include "place_history_run.h"
#include "places_file.h"

namespace umbrivista {
namespace {

using Clock = std::chrono::steady_clock;

const EclipseCatalogue& Catalogue() {
  static EclipseCatalogue catalogue;
  if (catalogue.Empty()) {
    catalogue.Load(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName);
  }
  return catalogue;
}

void Attach(TReportWindow& window) {
  ReportContext context;
  context.catalogue = &Catalogue();
  context.position = [] { return 16690; };
  context.dataDir = UMBRIVISTA_DATA_DIR;
  context.version = "bench";
  window.SetContext(context);
  window.SetLanguage(Language::kEnglish);
}

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Clicks `start` and lets the event loop go until the run's last row is in the list.
double StartToLastRow(TReportWindow& window, QPushButton* start) {
  const Clock::time_point begin = Clock::now();
  start->click();
  while (window.Running()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return Milliseconds(Clock::now() - begin);
}

void BM_CityListWindow(benchmark::State& state) {
  TForm_CityList window;
  Attach(window);
  window.Open();
  window.ComboBox_Population->setCurrentIndex(9);
  const CityListInputs inputs{16690, 9, Language::kEnglish,
                              std::string(UMBRIVISTA_DATA_DIR) + "/2017_data_EN.txt", 0};
  const PlacesList places = ReadPlaces(inputs.placesFile);
  StartToLastRow(window, window.Button_Start_CityList);
  double windowMs = 0, runMs = 0;
  for (auto _ : state) {
    windowMs += StartToLastRow(window, window.Button_Start_CityList);
    state.PauseTiming();
    const Clock::time_point begin = Clock::now();
    benchmark::DoNotOptimize(ComputeCityListOf(Catalogue(), inputs, places).rows.size());
    runMs += Milliseconds(Clock::now() - begin);
    state.ResumeTiming();
  }
  state.counters["rows"] = static_cast<double>(window.Run().rows.size());
  state.counters["list_lines"] = window.RichEdit_CityList->blockCount();
  state.counters["run_ms"] = runMs / static_cast<double>(state.iterations());
  state.counters["ratio"] = windowMs / runMs;
}
BENCHMARK(BM_CityListWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_PlaceHistoryWindow(benchmark::State& state) {
  TForm_CityHist window;
  Attach(window);
  window.Open();
  window.Edit_Ort_Stadt->setText("Basel");
  window.Edit_Breite->setText("47.55");
  window.Edit_Laenge->setText("7.59");
  window.Edit_Hoehe->setText("254");
  window.ComboBox_von->setEditText("-4999");
  window.ComboBox_Bis->setEditText("7000");
  PlaceHistoryInputs inputs;
  inputs.name = "Basel";
  inputs.latitude = 47.55;
  inputs.longitude = 7.59;
  inputs.height = 254;
  inputs.firstYear = -4999;
  inputs.lastYear = 7000;
  StartToLastRow(window, window.Button_Start_CityHist);
  double windowMs = 0, runMs = 0;
  for (auto _ : state) {
    windowMs += StartToLastRow(window, window.Button_Start_CityHist);
    state.PauseTiming();
    const Clock::time_point begin = Clock::now();
    benchmark::DoNotOptimize(ComputePlaceHistory(Catalogue(), inputs).rows.size());
    runMs += Milliseconds(Clock::now() - begin);
    state.ResumeTiming();
  }
  state.counters["rows"] = static_cast<double>(window.Run().rows.size());
  state.counters["list_lines"] = window.RichEdit_CityHist->blockCount();
  state.counters["run_ms"] = runMs / static_cast<double>(state.iterations());
  state.counters["ratio"] = windowMs / runMs;
}
BENCHMARK(BM_PlaceHistoryWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
}  // namespace umbrivista

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int status = 0;
  {
    // Qt takes its own options out of the arguments first; the rest are the benchmark's. The
    // application ends at the end of this block, before main returns.
    const auto app = std::make_unique<QApplication>(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
      status = 1;
    } else {
      benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
  }
  return status;
}
