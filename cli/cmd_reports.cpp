// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// citylist and placehistory: the two reports, written exactly as the report windows save them, or
// as CSV or JSON (--format).

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <optional>

#include "city_list_run.h"
#include "civil_clock.h"
#include "cli.h"
#include "language.h"
#include "numbers.h"
#include "place_history_run.h"
#include "place_zones.h"
#include "places_file.h"

namespace umbrivista {

namespace {

// The counts of a run on one line of stderr, rewritten in place, once the run has taken more than
// a second; only when stderr is a terminal.
class ProgressLine {
 public:
  explicit ProgressLine(std::string (*text)(int, int, Language))
      : text_(text), terminal_(::isatty(STDERR_FILENO) == 1), start_(Clock::now()) {}

  RunControl Control() {
    RunControl control;
    if (terminal_) control.progress = [this](const ReportRun& run) { Update(run); };
    return control;
  }

  // Ends the line with the final counts when one was shown.
  void Finish(const ReportRun& run) {
    if (!shown_) return;
    std::cerr << '\r' << text_(run.scanned, run.found, run.language) << "\x1b[K\n" << std::flush;
  }

 private:
  using Clock = std::chrono::steady_clock;

  void Update(const ReportRun& run) {
    const auto now = Clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(200)) {
      return;
    }
    last_ = now;
    shown_ = true;
    std::cerr << '\r' << text_(run.scanned, run.found, run.language) << "\x1b[K" << std::flush;
  }

  std::string (*text_)(int, int, Language);
  bool terminal_;
  bool shown_ = false;
  Clock::time_point start_;
  Clock::time_point last_{};
};

std::string TakeOut(Args& args) {
  auto out = args.TakeOption("out");
  if (!out) throw UsageError("missing --out FILE (\"-\" writes to standard output)");
  return *out;
}

// --format text|csv|json; the text file when absent.
ReportFileFormat TakeFormat(Args& args) {
  const auto format = args.TakeOption("format");
  if (!format || *format == "text") return ReportFileFormat::kText;
  if (*format == "csv") return ReportFileFormat::kCsv;
  if (*format == "json") return ReportFileFormat::kJson;
  throw UsageError("--format must be text, csv or json, not " + QuoteForMessage(*format, 40));
}

// The file of `run` in `format` to `out`, or to standard output for "-"; a run that stopped on an
// error writes nothing.
int Finish(const ReportRun& run, const std::string& out, ReportFileFormat format) {
  if (!run.error.empty()) {
    std::cerr << "umbrivista-cli: " << run.error << "\n";
    return 1;
  }
  // The CSV and JSON give each place's local civil time when the zone file can be read.
  std::optional<PlaceZones> zones;
  ReportClock clock;
  if (format != ReportFileFormat::kText) {
    try {
      zones = PlaceZones::Load(DataFile(kPlaceZonesFileName));
      clock = {&*zones, CivilOffsets()};
    } catch (const std::exception& e) {
      std::cerr << "umbrivista-cli: warning: " << e.what() << "; no local civil times\n";
    }
  }
  if (out == "-") {
    const std::string text = ReportFileText(run, format, clock);
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    return FlushStandardOutput() ? 0 : 1;
  }
  SaveReport(run, out, {}, format, clock);
  return 0;
}

}  // namespace

int RunCityList(Args& args) {
  const auto index = args.TakeOption("threshold-index");
  if (!index) throw UsageError("missing --threshold-index I (0 … 9)");
  CityListInputs inputs;
  inputs.thresholdIndex = ParseIntArg(*index, "--threshold-index", 0, 9);
  inputs.language = TakeLanguage(args);
  const auto places = args.TakeOption("places");
  const ReportFileFormat format = TakeFormat(args);
  const std::string out = TakeOut(args);
  const auto& catalogue = LoadCatalogue(args);
  inputs.position = ParsePosition(args.TakePositional("POS"), catalogue);
  args.ExpectEnd();
  inputs.placesFile = places ? *places : DataFile(PlacesFileName(inputs.language));
  if (out != "-") {
    RefuseOutputOverInput(out, inputs.placesFile, "the places file");
    RefuseOutputOverInput(out, CataloguePath(), "the catalogue");
  }

  ProgressLine progress(CityListStatusText);
  const ReportRun run = ComputeCityList(catalogue, inputs, progress.Control());
  progress.Finish(run);
  return Finish(run, out, format);
}

int RunPlaceHistory(Args& args) {
  PlaceHistoryInputs inputs;
  inputs.language = TakeLanguage(args);
  // The numbers of the place are checked as the window checks them, with its message.
  auto number = [&](const char* option, PlaceField field, const char* fallback) {
    const std::string given = fallback ? args.TakeOption(option).value_or(fallback)
                                       : RequiredOption(args, option);
    const auto value = ReadPlaceNumber(field, given);
    if (!value) throw UsageError(InvalidPlaceNumberMessage(field, given, inputs.language));
    return *value;
  };
  inputs.latitude = number("lat", PlaceField::kLatitude, nullptr);
  inputs.longitude = number("lon", PlaceField::kLongitude, nullptr);
  inputs.height = RoundHeight(number("height", PlaceField::kHeight, "0"));
  inputs.name = args.TakeOption("name").value_or("My favorite place");
  inputs.country = args.TakeOption("country").value_or("My country");
  if (auto population = args.TakeOption("population")) {
    inputs.population = ParseIntArg(*population, "--population", INT32_MIN, INT32_MAX);
  }
  if (auto from = args.TakeOption("from")) {
    inputs.firstYear = ParseIntArg(*from, "--from", kMinRecordYear, kMaxRecordYear);
  }
  if (auto to = args.TakeOption("to")) {
    inputs.lastYear = ParseIntArg(*to, "--to", kMinRecordYear, kMaxRecordYear);
  }
  const ReportFileFormat format = TakeFormat(args);
  const std::string out = TakeOut(args);
  const auto& catalogue = LoadCatalogue(args);
  args.ExpectEnd();
  if (out != "-") RefuseOutputOverInput(out, CataloguePath(), "the catalogue");

  ProgressLine progress(PlaceHistoryStatusText);
  const ReportRun run = ComputePlaceHistory(catalogue, inputs, progress.Control());
  progress.Finish(run);
  return Finish(run, out, format);
}

}  // namespace umbrivista
