// A city-list run in its window: the eclipse of 2024-04-08 over every place of the English places
// file (threshold index 9), the list filling as rows come and the window answering in between.
// The program has its own main: the QApplication must end before Qt's own statics are destroyed,
// which a function-local static would not.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "catalogue.h"
#include "city_list_window.h"

namespace umbrivista {
namespace {

const EclipseCatalogue& Catalogue() {
  static EclipseCatalogue catalogue;
  if (catalogue.Empty()) {
    catalogue.Load(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName);
  }
  return catalogue;
}

void BM_CityListWindow(benchmark::State& state) {
  TForm_CityList window;
  ReportContext context;
  context.catalogue = &Catalogue();
  context.position = [] { return 16690; };
  context.dataDir = UMBRIVISTA_DATA_DIR;
  context.version = "bench";
  window.SetContext(context);
  window.SetLanguage(Language::kEnglish);
  window.Open();
  window.ComboBox_Population->setCurrentIndex(9);
  for (auto _ : state) {
    window.Button_Start_CityList->click();
    benchmark::DoNotOptimize(window.Run().rows.size());
  }
  state.counters["rows"] = static_cast<double>(window.Run().rows.size());
  state.counters["list_lines"] = window.RichEdit_CityList->blockCount();
}
BENCHMARK(BM_CityListWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace umbrivista

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt takes its own options out of the arguments first; the rest are the benchmark's.
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
