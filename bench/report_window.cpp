// A city-list run in its window: the eclipse of 2024-04-08 over every place of the English places
// file (threshold index 9), the list filling as rows come and the window answering in between.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "catalogue.h"
#include "city_list_window.h"

namespace umbrivista {
namespace {

void BM_CityListWindow(benchmark::State& state) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "bench_report_window";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  static EclipseCatalogue catalogue;
  if (catalogue.Empty()) catalogue.Load(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName);
  TForm_CityList window;
  ReportContext context;
  context.catalogue = &catalogue;
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
