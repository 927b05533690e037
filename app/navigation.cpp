#include "navigation.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "numbers.h"

namespace umbrivista {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

}  // namespace

double TimeForSliderPosition(int position) {
  return (position - kTimeSliderCentre) / static_cast<double>(kTimeSliderCentre) *
         kTimeSliderHalfRangeHours;
}

int SliderPositionForTime(double t) {
  const double p = t * kTimeSliderCentre / kTimeSliderHalfRangeHours + kTimeSliderCentre;
  if (std::isnan(p)) return kTimeSliderCentre;
  return static_cast<int>(std::clamp(std::round(p), 0.0, static_cast<double>(kTimeSliderMax)));
}

double EstimatedMaximum(const EclipseRecord& record) {
  const double x0 = record.x[0], x1 = record.x[1], y0 = record.y[0], y1 = record.y[1];
  const double speed2 = x1 * x1 + y1 * y1;
  if (!(speed2 > 0)) return 0;
  return (-x0 * x1 - y0 * y1) / speed2;
}

std::optional<BoxSelection> SelectByYear(const EclipseCatalogue& catalogue,
                                         std::string_view text) {
  const std::optional<long long> value = ParseInteger(Trimmed(text));
  if (!value) return std::nullopt;
  const int year = static_cast<int>(
      std::clamp<long long>(*value, kFirstCatalogueYear, kLastCatalogueYear));
  return BoxSelection{catalogue.FindByYear(year), std::to_string(year)};
}

BoxSelection SelectBySaros(const EclipseCatalogue& catalogue, std::string_view text,
                           int currentSaros) {
  constexpr long long kDefaultSaros = 139;
  const long long value = ParseInteger(Trimmed(text)).value_or(kDefaultSaros);
  const int saros = static_cast<int>(
      std::clamp<long long>(value, catalogue.MinSaros(), catalogue.MaxSaros()));
  const int position = catalogue.FindBySaros(saros);
  if (position == 0) return {0, std::to_string(currentSaros)};
  return {position, std::to_string(saros)};
}

int StepInSeries(const EclipseCatalogue& catalogue, int position, bool forward, int members) {
  const int count = catalogue.RecordCount();
  if (position < 1 || position > count || members < 1) return 0;
  const int saros = catalogue.RecordAt(position).sarosNumber;
  const auto& records = catalogue.Records();
  int p = position;
  for (int found = 0; found < members; ++found) {
    do {
      p += forward ? 1 : -1;
      if (p < 1 || p > count) return 0;
    } while (records[p - 1].sarosNumber != saros);
  }
  return p;
}

}  // namespace umbrivista
