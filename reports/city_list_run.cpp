#include "city_list_run.h"

#include <stdexcept>

#include "angles.h"
#include "deltat.h"
#include "local_circumstances.h"
#include "numbers.h"
#include "string_table.h"

namespace umbrivista {

std::string CityListStatusText(int scanned, int found, Language language) {
  if (!IsKnownLanguage(language)) return {};
  return std::to_string(scanned) + " " + StringItem(Text::kPlacesScanned, language) + ". " +
         std::to_string(found) + " " + StringItem(Text::kPlacesFound, language);
}

std::optional<ReportRow> CityListRow(const EclipseRecord& record, double deltaT, const Place& place,
                                     const LocalCircumstances& lc, Language language) {
  const RowInstants instants = ShownInstants(record, deltaT, lc);
  if (!instants.visible) return std::nullopt;
  const char kind = EclipseKindLetter(lc.kind, language);
  const std::string country = OneLineText(place.country);
  const std::string name = OneLineText(place.name);
  const std::string latitude = LatitudeText(place.LatitudeDegrees());
  const std::string longitude = LongitudeText(place.LongitudeDegrees());
  const std::string population = std::to_string(place.population);

  ReportRow row;
  std::string& list = row.list;
  list.reserve(200);
  AppendListDate(instants, list);
  list += kind;
  list += ' ';
  list += LeftFit(country, 10);
  list += ' ';
  list += LeftFit(name, 10);
  list += ' ';
  list += latitude;
  list += ' ';
  list += longitude;
  list += ' ';
  list += RightAlign(population, 8);
  list += ' ';
  AppendListContacts(instants, lc, list);

  AppendFileRow(instants, deltaT, kind, record,
                {country, name, latitude, longitude, std::to_string(place.height), population}, lc,
                row.file);
  row.values = RowValues(instants, deltaT, kind, record, lc);
  row.values.country = country;
  row.values.place = name;
  row.values.latitude = place.LatitudeDegrees();
  row.values.longitude = place.LongitudeDegrees();
  row.values.height = place.height;
  row.values.population = place.population;
  return row;
}

ReportRun ComputeCityList(const EclipseCatalogue& catalogue, const CityListInputs& inputs,
                          const RunControl& control) {
  if (inputs.thresholdIndex < 0 ||
      inputs.thresholdIndex >= static_cast<int>(kPopulationThresholds.size())) {
    throw std::invalid_argument("population threshold index " +
                                std::to_string(inputs.thresholdIndex) + " outside 0 … 9");
  }
  if (!IsKnownLanguage(inputs.language)) {
    throw std::invalid_argument("language " + std::to_string(LanguageIndex(inputs.language)) +
                                " outside 0 … 2");
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
        // Only a window shows the status while the run goes on.
        if (control.progress) run.status = CityListStatusText(run.scanned, run.found, run.language);
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
