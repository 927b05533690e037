#include "city_list_run.h"

#include <stdexcept>

#include "angles.h"
#include "deltat.h"
#include "local_circumstances.h"
#include "numbers.h"
#include "string_table.h"

namespace umbrivista {

namespace {

constexpr int kPlacesScannedItem = 55;
constexpr int kPlacesFoundItem = 56;

bool Cancelled(const RunControl& control) {
  return control.cancel && control.cancel->load(std::memory_order_relaxed);
}

}  // namespace

std::string CityListStatusText(int scanned, int found, int language) {
  if (!IsLanguage(language)) return {};
  return std::to_string(scanned) + " " + StringItem(kPlacesScannedItem, language) + ". " +
         std::to_string(found) + " " + StringItem(kPlacesFoundItem, language);
}

std::optional<ReportRow> CityListRow(const EclipseRecord& record, double deltaT, const Place& place,
                                     const LocalCircumstances& lc, int language) {
  const ContactColumns contacts = BuildContactColumns(record, deltaT, lc);
  if (!contacts.visible) return std::nullopt;
  const char kind = EclipseKindLetter(lc.kind, language);
  const std::string country = OneLineText(place.country);
  const std::string name = OneLineText(place.name);
  const std::string latitude = LatitudeText(place.LatitudeDegrees());
  const std::string longitude = LongitudeText(place.LongitudeDegrees());
  const std::string population = std::to_string(place.population);

  ReportRow row;
  row.list = RightAlign(std::to_string(contacts.year), 5) + ' ' +
             RightAlign(std::to_string(contacts.month), 2) + ' ' +
             RightAlign(std::to_string(contacts.day), 2) + ' ' + kind + ' ' + LeftFit(country, 10) +
             ' ' + LeftFit(name, 10) + ' ' + latitude + ' ' + longitude + ' ' +
             RightAlign(population, 8) + ' ' + contacts.list;
  row.file = std::to_string(contacts.year) + '\t' + std::to_string(contacts.month) + '\t' +
             std::to_string(contacts.day) + '\t' + FormatFixed(deltaT, 1) + '\t' + kind + '\t' +
             std::to_string(record.sarosNumber) + '\t' + std::to_string(record.sarosMember) + '\t' +
             std::to_string(record.sarosMemberCount) + '\t' + country + '\t' + name + '\t' +
             latitude + '\t' + longitude + '\t' + std::to_string(place.height) + '\t' + population +
             '\t' + contacts.file;
  return row;
}

ReportRun ComputeCityList(const EclipseCatalogue& catalogue, const CityListInputs& inputs,
                          const RunControl& control) {
  if (inputs.thresholdIndex < 0 ||
      inputs.thresholdIndex >= static_cast<int>(kPopulationThresholds.size())) {
    throw std::invalid_argument("population threshold index " +
                                std::to_string(inputs.thresholdIndex) + " outside 0 … 9");
  }
  if (!IsLanguage(inputs.language)) {
    throw std::invalid_argument("language " + std::to_string(inputs.language) + " outside 0 … 2");
  }
  const EclipseRecord record = catalogue.RecordAt(inputs.position);
  const std::int32_t threshold =
      kPopulationThresholds[static_cast<std::size_t>(inputs.thresholdIndex)];
  const double deltaT = DeltaT(record.year, record.month);

  ReportRun run;
  run.kind = ReportKind::kCityList;
  run.language = inputs.language;
  PlacesReader reader(inputs.placesFile);
  Place place;
  while (reader.Next(place)) {
    if (place.population >= threshold) {
      ++run.scanned;
      const double latitude = place.LatitudeDegrees() * kDegToRad;
      const double longitudeWest = -place.LongitudeDegrees() * kDegToRad;
      const auto lc = ComputeLocalCircumstances(record, deltaT, latitude, longitudeWest,
                                                ObserverGeocentric(place.height, latitude));
      if (lc) {
        if (auto row = CityListRow(record, deltaT, place, *lc, run.language)) {
          ++run.found;
          run.rows.push_back(std::move(*row));
        }
        run.status = CityListStatusText(run.scanned, run.found, run.language);
      }
    }
    if (Cancelled(control)) {
      run.cancelled = true;
      break;
    }
    if (control.progress) control.progress(run);
  }
  run.error = reader.Error();
  run.status = CityListStatusText(run.scanned, run.found, run.language);
  return run;
}

}  // namespace umbrivista
