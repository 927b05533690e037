// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "eclipse_search.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "angles.h"
#include "deltat.h"
#include "eclipse_date.h"
#include "eclipse_types.h"
#include "julian_day.h"
#include "numbers.h"
#include "path_limits.h"
#include "regular_file.h"
#include "safe_file.h"
#include "shadow.h"

namespace umbrivista {

namespace {

constexpr unsigned Bit(int typeCode) { return 1u << typeCode; }
constexpr unsigned kAllTypes = Bit(1) | Bit(2) | Bit(3) | Bit(4) | Bit(5) | Bit(6);
constexpr unsigned kCentralTypes = Bit(kTotal) | Bit(kAnnular) | Bit(kHybrid);

struct KindWord {
  const char* word;
  unsigned mask;
  bool restriction;  // central / noncentral
};
constexpr KindWord kKindWords[] = {
    {"partial", Bit(kPartial), false},
    {"total", Bit(kTotal) | Bit(kNonCentralTotal), false},
    {"annular", Bit(kAnnular) | Bit(kNonCentralAnnular), false},
    {"hybrid", Bit(kHybrid), false},
    {"central", kCentralTypes, true},
    {"noncentral", Bit(kPartial) | Bit(kNonCentralTotal) | Bit(kNonCentralAnnular), true},
};

// A margin (Earth radii, about 13 km) for the rounding of the closest approach and of the
// shadow's radius.
constexpr double kBoundMargin = 0.002;

double DistanceKm(double lat1, double lon1, double lat2, double lon2) {
  return AngularDistance(lat1 * kDegToRad, lon1 * kDegToRad, lat2 * kDegToRad, lon2 * kDegToRad) *
         kEarthRadiusKm;
}

// False when the shadow (the umbra for `umbral`, else the penumbra) stays farther than
// radiusKm from every point within radiusKm of (lat, lon): the point's closest approach to the
// shadow axis on the fundamental plane less the shadow's radius bounds the distance on the ground
// from below (projection onto the plane shortens no distance). True when that cannot be told.
// The Sun's geometric altitude (radians) at a place (geodetic latitude, west longitude, radians)
// t hours after T0.
double SunAltitude(const EclipseRecord& record, double deltaT, double t, double phi,
                   double lonWest) {
  const double d = EvaluateCubic(record.d, t) * kDegToRad;
  const double hourAngle = (EvaluateCubic(record.mu, t) - kEarthRotationDegPerSecond * deltaT) *
                               kDegToRad - lonWest;
  return std::asin(std::clamp(
      std::sin(phi) * std::sin(d) + std::cos(phi) * std::cos(d) * std::cos(hourAngle), -1.0, 1.0));
}

// How far below the horizon (radians, about 3°) the Sun may be at a place's greatest eclipse for
// a central phase of a few minutes to be seen at sunrise or sunset.
constexpr double kBelowHorizon = 0.05;

// sweepSeconds: ΔT may lie anywhere within that many seconds of `deltaT`, which turns every
// point by up to ω·sweepSeconds and so moves it on the fundamental plane by as much (Earth radii).
bool ShadowMayReach(const EclipseRecord& record, double deltaT, double lat, double lon,
                    double radiusKm, bool umbral, double sweepSeconds = 0) {
  const double phi = lat * kDegToRad;
  const auto approach =
      ComputeClosestApproach(record, deltaT, -lon * kDegToRad, ObserverGeocentric(0, phi));
  if (!approach) return true;
  // A point's turn moves it by its distance from the Earth's axis times the angle: at most the
  // cosine of the region's latitude nearest the equator.
  const double nearestEquator = std::max(0.0, std::abs(phi) - radiusKm / kEarthRadiusKm);
  const double turn =
      sweepSeconds * kEarthRotationDegPerSecond * kDegToRad * std::cos(nearestEquator);
  // The umbra falls on the day side only, and crosses a small region within minutes of the
  // centre's closest approach (it moves at least about 2000 km an hour): a small region whose
  // every point has the Sun well below the horizon then, allowing for the Earth's turn meanwhile,
  // is out of its reach. Not used for large regions, which the umbra may take hours to cross.
  if (umbral && radiusKm <= 300 &&
      SunAltitude(record, deltaT, approach->t, phi, -lon * kDegToRad) <
          -(radiusKm / kEarthRadiusKm + kBelowHorizon + radiusKm / 2000 * 15 * kDegToRad + turn)) {
    return false;
  }
  ShadowState state;
  EvaluateElements(record, approach->t, state);
  const double shadow =
      umbral ? std::abs(state.l2) + std::abs(state.tanF2) : state.l1 + state.tanF1;
  return std::hypot(approach->u, approach->v) - shadow <=
         radiusKm / kEarthRadiusKm + kBoundMargin + 1.01 * turn;
}

struct Summary {
  double durationSeconds = 0;
  double magnitude = 0;
};

// t: the instant of greatest eclipse (hours from T0).
Summary Summarise(const EclipseRecord& record, double deltaT, double t) {
  Summary s;
  ShadowState state;
  state.deltaT = deltaT;
  const InstantResult at = UpdateInstant(record, t, false, state);
  if (at.onEarth && IsCentral(record.typeCode)) {
    s.durationSeconds = at.quantities.durationSeconds;
    const double l1 = state.l1 - at.point.zeta1 * state.tanF1;
    const double l2 = at.quantities.l2Local;
    s.magnitude = (l1 - l2) / (l1 + l2);
  } else {
    // The part of the Sun's diameter covered at the point of the Earth's outline nearest the
    // axis, where ζ = 0: the axis lies m·(m1 − 1)/m1 from it, m1 its distance from the centre in
    // the y1 system of the oblate Earth (agrees with the local circumstances there to 2e-5).
    const double x = state.x, y = state.y, l1 = state.l1, l2 = state.l2;
    const double m = std::hypot(x, y), m1 = std::hypot(x, y * rhoFactor(state));
    s.magnitude = (l1 - m * (m1 - 1) / m1) / (l1 + l2);
  }
  return s;
}

// The places of a country gathered into cells of 1°, those into cells of 3°, 10° and 30°, each
// with a centre and a radius, so that one closest approach can reject many places.
struct Cell {
  double lat = 0, lon = 0, radiusKm = 0;
  std::vector<int> members;  // places (1° cells) or cells of the level below
};

struct CountryIndex {
  struct Site {
    double phi, lonWest;
    ObserverConstants observer;
  };
  std::vector<Site> sites;
  std::vector<std::vector<Cell>> levels;  // 1°, 3°, 10° and 30° cells
  Cell whole;
};

Cell MakeCell(const std::vector<std::pair<double, double>>& points,
              const std::vector<double>& radii, std::vector<int> members) {
  double x = 0, y = 0, z = 0;
  for (const auto& [lat, lon] : points) {
    x += std::cos(lat * kDegToRad) * std::cos(lon * kDegToRad);
    y += std::cos(lat * kDegToRad) * std::sin(lon * kDegToRad);
    z += std::sin(lat * kDegToRad);
  }
  Cell cell;
  cell.lat = std::atan2(z, std::hypot(x, y)) * kRadToDeg;
  cell.lon = std::atan2(y, x) * kRadToDeg;
  if (std::hypot(x, y, z) < 1e-9) {  // points all round the globe: any centre, radius half of it
    cell.lat = 0;
    cell.lon = 0;
    cell.radiusKm = kPi * kEarthRadiusKm;
  }
  for (std::size_t i = 0; i < points.size(); ++i) {
    cell.radiusKm = std::max(
        cell.radiusKm,
        DistanceKm(cell.lat, cell.lon, points[i].first, points[i].second) + radii[i]);
  }
  cell.members = std::move(members);
  return cell;
}

// Groups points (with radii) into cells of `size` degrees by where they lie.
std::vector<Cell> GroupCells(const std::vector<std::pair<double, double>>& points,
                             const std::vector<double>& radii, double size) {
  std::map<std::pair<int, int>, std::vector<int>> groups;
  for (std::size_t i = 0; i < points.size(); ++i) {
    groups[{static_cast<int>(std::floor(points[i].first / size)),
            static_cast<int>(std::floor(points[i].second / size))}]
        .push_back(static_cast<int>(i));
  }
  std::vector<Cell> cells;
  for (auto& [key, members] : groups) {
    std::vector<std::pair<double, double>> p;
    std::vector<double> r;
    for (int m : members) {
      p.push_back(points[m]);
      r.push_back(radii[m]);
    }
    cells.push_back(MakeCell(p, r, std::move(members)));
  }
  return cells;
}

CountryIndex IndexCountry(const std::vector<Place>& places) {
  CountryIndex index;
  std::vector<std::pair<double, double>> points;
  for (const Place& place : places) {
    const double lat = place.LatitudeDegrees(), lon = place.LongitudeDegrees();
    const double phi = lat * kDegToRad;
    index.sites.push_back({phi, -lon * kDegToRad, ObserverGeocentric(place.height, phi)});
    points.emplace_back(lat, lon);
  }
  std::vector<double> radii(points.size(), 0);
  for (double size : {1.0, 3.0, 10.0, 30.0}) {
    index.levels.push_back(GroupCells(points, radii, size));
    points.clear();
    radii.clear();
    for (const Cell& cell : index.levels.back()) {
      points.emplace_back(cell.lat, cell.lon);
      radii.push_back(cell.radiusKm);
    }
  }
  std::vector<int> all(points.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  index.whole = MakeCell(points, radii, std::move(all));
  return index;
}

bool SeesCentral(const LocalEclipse& e) {
  return e.outcome == LocalOutcome::kEclipse && e.visible.visibility != Visibility::kNone &&
         e.visible.greatestKind != EclipseKind::kPartial;
}

// A place of the country that sees the central phase for some ΔT within `sweep` seconds of
// `deltaT` (at `deltaT` itself for 0) and that `accept` takes, or −1. Cells are tested from the
// whole country down to single places, each against the umbra for an interval of ΔT: where the
// Earth's turn over half the interval exceeds a cell's radius, the interval is halved first, so
// that a cell far from every position of the path is passed over whole.
int FindCentralPlace(const EclipseRecord& r, double deltaT, const CountryIndex& country,
                     double sweep, const std::function<bool(int)>& accept) {
  const double turnKmPerSecond = kEarthRotationDegPerSecond * kDegToRad * kEarthRadiusKm;
  // level: of the cell's members (−1: places); a, b: offsets from deltaT.
  std::function<int(const Cell&, int, double, double)> scan = [&](const Cell& cell, int level,
                                                                   double a, double b) -> int {
    const double half = (b - a) / 2, middle = (a + b) / 2;
    if (!ShadowMayReach(r, deltaT + middle, cell.lat, cell.lon, cell.radiusKm, true, half)) {
      return -1;
    }
    if (half * turnKmPerSecond > std::max(cell.radiusKm, 50.0)) {
      const int found = scan(cell, level, a, middle);
      return found >= 0 ? found : scan(cell, level, middle, b);
    }
    for (int m : cell.members) {
      if (level >= 0) {
        const int found = scan(country.levels[level][m], level - 1, a, b);
        if (found >= 0) return found;
        continue;
      }
      const auto& site = country.sites[m];
      // Outside the umbra at its greatest eclipse (by more than the interval can turn it), or
      // with the Sun well below the horizon then, a place sees no central phase.
      const double turn =
          1.01 * half * kEarthRotationDegPerSecond * kDegToRad * site.observer.rhoCosPhi;
      const auto approach = ComputeClosestApproach(r, deltaT + middle, site.lonWest, site.observer);
      if (approach &&
          (std::hypot(approach->u, approach->v) - std::abs(approach->l2Local) >
               (half > 0 ? turn + 0.002 : 0) ||
           SunAltitude(r, deltaT + middle, approach->t, site.phi, site.lonWest) <
               -kBelowHorizon - turn)) {
        continue;
      }
      const bool central =
          half > 0 ? !CentralDeltaTIntervals(r, site.phi, site.lonWest, site.observer,
                                             deltaT + a, deltaT + b)
                          .empty()
                   : SeesCentral(ComputeLocalEclipse(r, deltaT, site.phi, site.lonWest,
                                                     site.observer));
      if (central && accept(m)) return m;
    }
    return -1;
  };
  return scan(country.whole, static_cast<int>(country.levels.size()) - 1, -sweep, sweep);
}

void FillPlace(SearchRow& row, const EclipseRecord& record, double deltaT, const LocalEclipse& e) {
  row.hasPlace = true;
  if (e.outcome != LocalOutcome::kEclipse || e.visible.visibility == Visibility::kNone) return;
  row.placeSeen = true;
  row.placeKind = e.visible.greatestKind;
  row.placeMagnitude = e.visible.greatestMagnitude;
  row.placeMaximumJd = ContactUT(record, deltaT, e.visible.greatestTime).julianDay;
  row.placeDurationSeconds = e.circumstances.kind != EclipseKind::kPartial
                                 ? std::max(0.0, CentralDurationMinutes(e.circumstances) * 60)
                                 : 0;
}

// ΔT ± 2σ of an eclipse whose σ calls for a statement about ΔT; nullopt where one kind is told.
std::optional<DeltaTInterval> StatementRange(const EclipseRecord& record, double deltaT) {
  const double sigma = DeltaTSigma(record.year, record.month);
  if (!(sigma > kDeltaTStatementSigma)) return std::nullopt;
  return DeltaTInterval{deltaT - 2 * sigma, deltaT + 2 * sigma};
}

// The parts of `range` over which a place sees the central phase (or `known` ones), into the row.
void FillRange(SearchRow& row, const EclipseRecord& record, const DeltaTInterval& range,
               double phi, double lonWest, const ObserverConstants& observer,
               const std::vector<DeltaTInterval>* known = nullptr) {
  row.ranged = true;
  row.deltaTLow = range.from;
  row.deltaTHigh = range.to;
  row.centralFor = known ? *known
                         : CentralDeltaTIntervals(record, phi, lonWest, observer, range.from,
                                                  range.to);
  if (row.centralFor.empty()) return;
  const double middle = (row.centralFor.front().from + row.centralFor.front().to) / 2;
  const LocalEclipse at = ComputeLocalEclipse(record, middle, phi, lonWest, observer);
  row.centralAnnular = at.outcome == LocalOutcome::kEclipse &&
                       at.circumstances.kind == EclipseKind::kAnnular;
}

LocalEclipse LocalAt(const EclipseRecord& record, double deltaT, double lat, double lon) {
  const double phi = lat * kDegToRad;
  return ComputeLocalEclipse(record, deltaT, phi, -lon * kDegToRad, ObserverGeocentric(0, phi));
}

std::string JsonEscape(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      static const char* hex = "0123456789abcdef";
      out += "\\u00";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string TsvField(std::string text) {
  for (char& c : text) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

}  // namespace

std::optional<unsigned> TypeMaskFromKinds(const std::vector<std::string>& words,
                                          std::string* badWord) {
  unsigned kinds = 0, restriction = 0;
  for (const std::string& word : words) {
    const KindWord* found = nullptr;
    for (const KindWord& k : kKindWords) {
      if (word == k.word) found = &k;
    }
    if (!found) {
      if (badWord) *badWord = word;
      return std::nullopt;
    }
    (found->restriction ? restriction : kinds) |= found->mask;
  }
  if (kinds == 0 && restriction == 0) return 0u;
  return (kinds ? kinds : kAllTypes) & (restriction ? restriction : kAllTypes);
}

std::string KindsFromTypeMask(unsigned mask) {
  mask &= kAllTypes;
  if (mask == 0 || mask == kAllTypes) return "";
  // Kinds whose every type is in the mask, then a restriction when a kind brings a type the mask
  // lacks.
  std::string out;
  unsigned covered = 0;
  for (const KindWord& k : kKindWords) {
    if (k.restriction) continue;
    if (mask & k.mask) {
      out += (out.empty() ? "" : ",") + std::string(k.word);
      covered |= k.mask;
    }
  }
  if (covered != mask) {
    for (const KindWord& k : kKindWords) {
      if (k.restriction && (covered & k.mask) == mask) out += std::string(",") + k.word;
    }
  }
  return out;
}

std::string CriteriaProblem(const SearchCriteria& c, Language language) {
  auto say = [language](SearchText text) { return SearchWindowText(text, language); };
  if (c.fromYear > c.toYear) return say(SearchText::kYearsReversed);
  const bool negative = !std::isfinite(c.minDurationSeconds) || c.minDurationSeconds < 0 ||
                        (c.minMagnitude && !(std::isfinite(*c.minMagnitude) && *c.minMagnitude >= 0)) ||
                        (c.maxGamma && !(std::isfinite(*c.maxGamma) && *c.maxGamma >= 0));
  if (negative) return say(SearchText::kNegative);
  if (c.placeMode != SearchPlaceMode::kNone && c.placeMode != SearchPlaceMode::kCountry) {
    if (!(std::abs(c.latitude) <= 90)) return say(SearchText::kLatitudeRange);
    if (!(std::abs(c.longitude) <= 180)) return say(SearchText::kLongitudeRange);
  }
  if (c.placeMode == SearchPlaceMode::kNear &&
      !(std::isfinite(c.withinKm) && c.withinKm >= 0 && c.withinKm <= 20000)) {
    return say(SearchText::kDistanceRange);
  }
  if (c.placeMode == SearchPlaceMode::kCountry && c.country.empty()) return say(SearchText::kNoCountry);
  return "";
}

SearchResult SearchCatalogue(const EclipseCatalogue& catalogue, const SearchCriteria& c,
                             const std::vector<Place>& countryPlaces,
                             const SearchControl& control) {
  SearchResult result;
  result.error = CriteriaProblem(c);
  if (!result.error.empty() || catalogue.Empty()) return result;
  CountryIndex country;
  if (c.placeMode == SearchPlaceMode::kCountry) {
    if (countryPlaces.empty()) {
      result.error = "no places of the country \"" + c.country + "\" in the places file";
      return result;
    }
    country = IndexCountry(countryPlaces);
  }
  const unsigned mask = c.typeMask ? c.typeMask : kAllTypes;
  const auto& records = catalogue.Records();
  // Greatest eclipse can fall on the day after T0's date: start a year early.
  const int first = catalogue.FindByYear(c.fromYear - 1) - 1;
  const int total = static_cast<int>(records.size()) - first;
  const bool placeMagnitude = c.placeMode != SearchPlaceMode::kNone;
  for (int i = first; i < static_cast<int>(records.size()); ++i) {
    const int done = i - first;
    if (control.cancel && control.cancel->load(std::memory_order_relaxed)) {
      result.cancelled = true;
      break;
    }
    if (control.progress && done % 256 == 0) control.progress(done, total);
    const EclipseRecord& r = records[i];
    if (r.year > c.toYear + 1) break;
    if (!(mask & Bit(r.typeCode))) continue;
    if (c.saros && r.sarosNumber != *c.saros) continue;
    if (c.maxGamma && std::abs(r.gamma) > *c.maxGamma) continue;
    const double deltaT = DeltaT(r.year, r.month);
    SearchRow row;
    // The date as GreatestEclipseDate gives it, from the one instant of greatest eclipse.
    const double tGreatest = GreatestEclipseTime(r);
    const double jd = InstantJulianDay(r, tGreatest, deltaT);
    const CalendarDate date = JDToCalendar(std::floor(jd * 86400 + 0.5) / 86400);
    if (date.year < c.fromYear || date.year > c.toYear) continue;
    const Summary s = Summarise(r, deltaT, tGreatest);
    if (c.minDurationSeconds > 0 && s.durationSeconds < c.minDurationSeconds) continue;
    if (c.minMagnitude && !placeMagnitude && s.magnitude < *c.minMagnitude) continue;

    // Where ΔT is uncertain, the range the place statements are about.
    const auto range = c.placeMode != SearchPlaceMode::kNone ? StatementRange(r, deltaT)
                                                             : std::nullopt;
    const double sweep = range ? (range->to - range->from) / 2 : 0;
    const double pointPhi = c.latitude * kDegToRad, pointLonWest = -c.longitude * kDegToRad;
    const ObserverConstants pointObserver = ObserverGeocentric(0, pointPhi);
    switch (c.placeMode) {
      case SearchPlaceMode::kNone:
        break;
      case SearchPlaceMode::kNear: {
        if (!IsCentral(r.typeCode)) continue;
        if (!ShadowMayReach(r, deltaT, c.latitude, c.longitude, c.withinKm, true)) continue;
        const auto nearest = NearestCentralPath(r, deltaT, c.latitude, c.longitude);
        row.distanceKm = nearest ? nearest->km : 0;
        if (row.distanceKm > c.withinKm) continue;
        FillPlace(row, r, deltaT, LocalAt(r, deltaT, c.latitude, c.longitude));
        if (c.minMagnitude && row.placeMagnitude < *c.minMagnitude) continue;
        if (range) FillRange(row, r, *range, pointPhi, pointLonWest, pointObserver);
        break;
      }
      case SearchPlaceMode::kCentralAt:
      case SearchPlaceMode::kVisibleFrom: {
        const bool central = c.placeMode == SearchPlaceMode::kCentralAt;
        // Whether the umbra can come near the point for any ΔT of the range.
        const bool umbraNear =
            range ? ShadowMayReach(r, deltaT, c.latitude, c.longitude, 0, true, sweep) : false;
        if (central && range && !umbraNear) continue;
        const LocalEclipse e = LocalAt(r, deltaT, c.latitude, c.longitude);
        const bool seen =
            e.outcome == LocalOutcome::kEclipse && e.visible.visibility != Visibility::kNone;
        std::vector<DeltaTInterval> parts;
        if (range && umbraNear) {
          parts = CentralDeltaTIntervals(r, pointPhi, pointLonWest, pointObserver, range->from,
                                         range->to);
        }
        if (central ? (range ? parts.empty() : !SeesCentral(e)) : !seen) continue;
        if (c.minMagnitude && !(seen && e.visible.greatestMagnitude >= *c.minMagnitude)) continue;
        FillPlace(row, r, deltaT, e);
        if (range) FillRange(row, r, *range, pointPhi, pointLonWest, pointObserver, &parts);
        break;
      }
      case SearchPlaceMode::kCountry: {
        const int pi = FindCentralPlace(r, deltaT, country, range ? sweep : 0, [&](int place) {
          const auto& site = country.sites[place];
          const LocalEclipse e =
              ComputeLocalEclipse(r, deltaT, site.phi, site.lonWest, site.observer);
          return !c.minMagnitude ||
                 (e.outcome == LocalOutcome::kEclipse && e.visible.visibility != Visibility::kNone &&
                  e.visible.greatestMagnitude >= *c.minMagnitude);
        });
        if (pi < 0) continue;
        const auto& site = country.sites[pi];
        FillPlace(row, r, deltaT, ComputeLocalEclipse(r, deltaT, site.phi, site.lonWest, site.observer));
        if (range) FillRange(row, r, *range, site.phi, site.lonWest, site.observer);
        row.placeName = countryPlaces[pi].name;
        break;
      }
    }

    row.position = i + 1;
    row.year = date.year;
    row.month = date.month;
    row.day = date.day;
    row.typeCode = r.typeCode;
    row.saros = r.sarosNumber;
    row.sarosMember = r.sarosMember;
    row.sarosCount = r.sarosMemberCount;
    row.durationSeconds = s.durationSeconds;
    row.magnitude = s.magnitude;
    row.gamma = r.gamma;
    const GreatestEclipsePlace point = GreatestEclipsePoint(r, deltaT);
    row.latitude = point.latitude;
    row.longitude = point.longitude;
    result.rows.push_back(std::move(row));
  }
  if (control.progress && !result.cancelled) control.progress(total, total);
  return result;
}

// Columns ------------------------------------------------------------------------------------

namespace {

struct ColumnInfo {
  SearchColumn column;
  const char* name;
  const char* de;
  const char* en;
  const char* fr;
};
constexpr ColumnInfo kColumns[kSearchColumnCount] = {
    {SearchColumn::kDate, "date", "Datum", "Date", "Date"},
    {SearchColumn::kKind, "kind", "Art", "Kind", "Type"},
    {SearchColumn::kSaros, "saros", "Saros", "Saros", "Saros"},
    {SearchColumn::kDuration, "duration", "Dauer (s)", "Duration (s)", "Durée (s)"},
    {SearchColumn::kMagnitude, "magnitude", "Größe", "Magnitude", "Grandeur"},
    {SearchColumn::kGamma, "gamma", "Gamma", "Gamma", "Gamma"},
    {SearchColumn::kLatitude, "lat", "Breite", "Latitude", "Latitude"},
    {SearchColumn::kLongitude, "lon", "Länge", "Longitude", "Longitude"},
    {SearchColumn::kPlace, "place", "Ort", "Place", "Lieu"},
    {SearchColumn::kPlaceKind, "place_kind", "Art am Ort", "Kind at place", "Type au lieu"},
    {SearchColumn::kPlaceMagnitude, "place_magnitude", "Größe am Ort", "Magnitude at place",
     "Grandeur au lieu"},
    {SearchColumn::kPlaceTime, "place_time", "Maximum (UT)", "Maximum (UT)", "Maximum (TU)"},
    {SearchColumn::kPlaceDuration, "place_duration", "Dauer am Ort (s)", "Duration at place (s)",
     "Durée au lieu (s)"},
    {SearchColumn::kDistance, "distance", "Abstand (km)", "Distance (km)", "Distance (km)"},
};

const ColumnInfo& Info(SearchColumn column) { return kColumns[static_cast<int>(column)]; }

std::string PlaceKindWord(EclipseKind kind, Language language) {
  switch (kind) {
    case EclipseKind::kTotal:
      return language == Language::kFrench ? "totale" : "total";
    case EclipseKind::kAnnular:
      return language == Language::kGerman ? "ringförmig"
             : language == Language::kFrench ? "annulaire"
                                             : "annular";
    case EclipseKind::kPartial:
      break;
  }
  return language == Language::kGerman ? "partiell" : language == Language::kFrench ? "partielle"
                                                                                      : "partial";
}

std::string KindWordOfType(int typeCode) {
  switch (typeCode) {
    case kPartial: return "partial";
    case kTotal: return "total";
    case kAnnular: return "annular";
    case kHybrid: return "hybrid";
    case kNonCentralTotal: return "noncentral-total";
    case kNonCentralAnnular: return "noncentral-annular";
    default: return "";
  }
}

// "total for ΔT 17120–17410 s", several parts joined by "; ", or "not central for ΔT
// 16580–17640 s (±2σ)".
std::string RangeStatement(const SearchRow& row, Language language) {
  const int l = language == Language::kGerman ? 0 : language == Language::kFrench ? 1 : 2;
  static constexpr const char* kNone[3] = {"nicht zentral für ΔT ", "non centrale pour ΔT ",
                                           "not central for ΔT "};
  static constexpr const char* kFor[3] = {" für ΔT ", " pour ΔT ", " for ΔT "};
  auto span = [](double from, double to) {
    return FormatFixed(from, 0) + "–" + FormatFixed(to, 0) + " s";
  };
  if (row.centralFor.empty()) return kNone[l] + span(row.deltaTLow, row.deltaTHigh) + " (±2σ)";
  std::string out;
  for (const DeltaTInterval& part : row.centralFor) {
    out += out.empty() ? PlaceKindWord(row.centralAnnular ? EclipseKind::kAnnular
                                                          : EclipseKind::kTotal,
                                       language) + kFor[l]
                       : "; ";
    out += span(part.from, part.to);
  }
  return out;
}

std::string TimeOfDay(double julianDay) {
  const CalendarDate d = JDToCalendar(julianDay);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", static_cast<int>(d.hours),
                static_cast<int>(d.minutes), static_cast<int>(std::floor(d.seconds)));
  return buffer;
}

}  // namespace

const char* SearchColumnName(SearchColumn column) { return Info(column).name; }

std::optional<SearchColumn> SearchColumnFromName(const std::string& name) {
  for (const ColumnInfo& info : kColumns) {
    if (name == info.name) return info.column;
  }
  return std::nullopt;
}

std::string SearchColumnCaption(SearchColumn column, Language language) {
  const ColumnInfo& info = Info(column);
  return language == Language::kGerman ? info.de : language == Language::kFrench ? info.fr
                                                                                  : info.en;
}

std::vector<SearchColumn> SearchColumns(SearchPlaceMode mode) {
  std::vector<SearchColumn> columns;
  for (const ColumnInfo& info : kColumns) {
    const bool placeColumn = info.column >= SearchColumn::kPlace;
    if (placeColumn && mode == SearchPlaceMode::kNone) continue;
    if (info.column == SearchColumn::kPlace && mode != SearchPlaceMode::kCountry) continue;
    if (info.column == SearchColumn::kDistance && mode != SearchPlaceMode::kNear) continue;
    columns.push_back(info.column);
  }
  return columns;
}

void SortSearchRows(std::vector<SearchRow>& rows, SearchColumn column, bool ascending) {
  auto key = [column](const SearchRow& r) -> double {
    switch (column) {
      case SearchColumn::kDate: return r.position;
      case SearchColumn::kKind: return r.typeCode;
      case SearchColumn::kSaros: return r.saros * 1000.0 + r.sarosMember;
      case SearchColumn::kDuration: return r.durationSeconds;
      case SearchColumn::kMagnitude: return r.magnitude;
      case SearchColumn::kGamma: return r.gamma;
      case SearchColumn::kLatitude: return r.latitude;
      case SearchColumn::kLongitude: return r.longitude;
      case SearchColumn::kPlace: return 0;
      case SearchColumn::kPlaceKind: return static_cast<int>(r.placeKind);
      case SearchColumn::kPlaceMagnitude: return r.placeMagnitude;
      case SearchColumn::kPlaceTime: return r.placeMaximumJd;
      case SearchColumn::kPlaceDuration: return r.placeDurationSeconds;
      case SearchColumn::kDistance: return r.distanceKm;
    }
    return 0;
  };
  std::stable_sort(rows.begin(), rows.end(), [&](const SearchRow& a, const SearchRow& b) {
    if (column == SearchColumn::kPlace) {
      return ascending ? a.placeName < b.placeName : b.placeName < a.placeName;
    }
    return ascending ? key(a) < key(b) : key(b) < key(a);
  });
}

std::string SearchCellText(const SearchRow& row, SearchColumn column, Language language) {
  switch (column) {
    case SearchColumn::kDate: return IsoDate(row.year, row.month, row.day);
    case SearchColumn::kKind:
      return language == Language::kEnglish ? KindWordOfType(row.typeCode)
                                             : ShortTypeName(row.typeCode, language);
    case SearchColumn::kSaros:
      return std::to_string(row.saros) + " (" + std::to_string(row.sarosMember) + "/" +
             std::to_string(row.sarosCount) + ")";
    case SearchColumn::kDuration:
      return IsCentral(row.typeCode) ? FormatFixed(row.durationSeconds, 1) : "";
    case SearchColumn::kMagnitude: return FormatFixed(row.magnitude, 4);
    case SearchColumn::kGamma: return FormatFixed(row.gamma, 4);
    case SearchColumn::kLatitude: return FormatFixed(row.latitude, 2);
    case SearchColumn::kLongitude: return FormatFixed(row.longitude, 2);
    case SearchColumn::kPlace: return row.placeName;
    case SearchColumn::kPlaceKind:
      if (row.hasPlace && row.ranged) return RangeStatement(row, language);
      return row.placeSeen ? PlaceKindWord(row.placeKind, language) : "";
    case SearchColumn::kPlaceMagnitude:
      return row.placeSeen ? FormatFixed(row.placeMagnitude, 4) : "";
    case SearchColumn::kPlaceTime: return row.placeSeen ? TimeOfDay(row.placeMaximumJd) : "";
    case SearchColumn::kPlaceDuration:
      return row.placeSeen && row.placeKind != EclipseKind::kPartial
                 ? FormatFixed(row.placeDurationSeconds, 1)
                 : "";
    case SearchColumn::kDistance: return FormatFixed(row.distanceKm, 0);
  }
  return "";
}

std::string SearchRowsTsv(const std::vector<SearchRow>& rows, SearchPlaceMode mode) {
  const auto columns = SearchColumns(mode);
  std::string out = "pos";
  for (SearchColumn c : columns) out += std::string("\t") + SearchColumnName(c);
  out += '\n';
  for (const SearchRow& row : rows) {
    out += std::to_string(row.position);
    for (SearchColumn c : columns) out += '\t' + TsvField(SearchCellText(row, c, Language::kEnglish));
    out += '\n';
  }
  return out;
}

std::string SearchRowsJson(const std::vector<SearchRow>& rows, SearchPlaceMode mode) {
  const auto columns = SearchColumns(mode);
  std::string out = "[";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    out += i ? ",\n " : "\n ";
    out += "{\"pos\":" + std::to_string(rows[i].position);
    for (SearchColumn c : columns) {
      const std::string text = SearchCellText(rows[i], c, Language::kEnglish);
      // Numbers as JSON numbers (null where the row has none), texts as strings.
      const bool number = c == SearchColumn::kDuration || c == SearchColumn::kMagnitude ||
                          c == SearchColumn::kGamma || c == SearchColumn::kLatitude ||
                          c == SearchColumn::kLongitude || c == SearchColumn::kPlaceMagnitude ||
                          c == SearchColumn::kPlaceDuration || c == SearchColumn::kDistance;
      out += ",\"" + std::string(SearchColumnName(c)) + "\":";
      out += number ? (text.empty() ? "null" : text) : "\"" + JsonEscape(text) + "\"";
    }
    if (rows[i].hasPlace && rows[i].ranged) {
      out += ",\"place_deltat_range_s\":[" + FormatFixed(rows[i].deltaTLow, 1) + "," +
             FormatFixed(rows[i].deltaTHigh, 1) + "],\"place_central_deltat_s\":[";
      for (std::size_t k = 0; k < rows[i].centralFor.size(); ++k) {
        out += (k ? ",[" : "[") + FormatFixed(rows[i].centralFor[k].from, 1) + "," +
               FormatFixed(rows[i].centralFor[k].to, 1) + "]";
      }
      out += "]";
    }
    out += "}";
  }
  out += rows.empty() ? "]\n" : "\n]\n";
  return out;
}

void SaveSearchTsv(const std::string& path, const std::vector<SearchRow>& rows,
                   SearchPlaceMode mode) {
  const std::string text = SearchRowsTsv(rows, mode);
  WriteFileSafely(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

std::string SearchWindowText(SearchText text, Language language) {
  struct Row {
    SearchText key;
    const char* de;
    const char* en;
    const char* fr;
  };
  static constexpr Row kRows[] = {
      {SearchText::kTitle, "Finsternisse suchen", "Search eclipses", "Rechercher des éclipses"},
      {SearchText::kFrom, "Von Jahr", "From year", "De l'année"},
      {SearchText::kTo, "bis Jahr", "to year", "à l'année"},
      {SearchText::kKinds, "Art", "Kind", "Type"},
      {SearchText::kTotal, "total", "total", "totale"},
      {SearchText::kAnnular, "ringförmig", "annular", "annulaire"},
      {SearchText::kHybrid, "hybrid", "hybrid", "hybride"},
      {SearchText::kPartial, "partiell", "partial", "partielle"},
      {SearchText::kCentralOnly, "nur zentral", "central only", "centrale seulement"},
      {SearchText::kMinDuration, "Mindestdauer (s)", "Minimum duration (s)", "Durée minimale (s)"},
      {SearchText::kMinMagnitude, "Mindestgröße", "Minimum magnitude", "Grandeur minimale"},
      {SearchText::kMaxGamma, "Höchstens |Gamma|", "At most |gamma|", "|gamma| au plus"},
      {SearchText::kSaros, "Saros", "Saros", "Saros"},
      {SearchText::kPlace, "Ort", "Place", "Lieu"},
      {SearchText::kPlaceNone, "beliebig", "anywhere", "partout"},
      {SearchText::kPlaceNear, "Zentralzone näher als", "Central path within", "Bande centrale à moins de"},
      {SearchText::kPlaceCentral, "total/ringförmig am Ort", "Total/annular at the place",
       "Totale/annulaire au lieu"},
      {SearchText::kPlaceVisible, "sichtbar am Ort", "Visible at the place", "Visible au lieu"},
      {SearchText::kPlaceCountry, "zentral über dem Land", "Central over the country",
       "Centrale sur le pays"},
      {SearchText::kLatitude, "Breite (Grad, N+)", "Latitude (degrees, N+)", "Latitude (°, N+)"},
      {SearchText::kLongitude, "Länge (Grad, O+)", "Longitude (degrees, E+)", "Longitude (°, E+)"},
      {SearchText::kWithin, "Abstand (km)", "Distance (km)", "Distance (km)"},
      {SearchText::kCountry, "Land", "Country", "Pays"},
      {SearchText::kStart, "Starten", "Start", "Démarrer"},
      {SearchText::kCancel, "Abbrechen", "Cancel", "Annuler"},
      {SearchText::kSaveAs, "Speichern unter …", "Save as…", "Enregistrer sous…"},
      {SearchText::kClose, "Schließen", "Close", "Fermer"},
      {SearchText::kFound, "Finsternisse gefunden: ", "Eclipses found: ", "Éclipses trouvées : "},
      {SearchText::kCancelled, "abgebrochen", "cancelled", "interrompu"},
      {SearchText::kSearching, "Suche läuft …", "Searching…", "Recherche en cours…"},
      {SearchText::kBadNumber, "Keine gültige Zahl: ", "Not a valid number: ", "Nombre non valide : "},
      {SearchText::kNoPlaces, "Keine Orte dieses Landes in der Ortsdatei: ",
       "No places of this country in the places file: ", "Aucun lieu de ce pays dans le fichier des lieux : "},
      {SearchText::kYearsReversed, "Das erste Jahr liegt nach dem letzten",
       "The first year is later than the last", "La première année est postérieure à la dernière"},
      {SearchText::kNegative, "Dauer, Größe und |Gamma| müssen Zahlen ≥ 0 sein",
       "Duration, magnitude and |gamma| must be numbers ≥ 0",
       "La durée, la grandeur et |gamma| doivent être des nombres ≥ 0"},
      {SearchText::kLatitudeRange, "Die Breite muss zwischen -90 und 90 liegen",
       "The latitude must lie within -90 … 90", "La latitude doit être comprise entre -90 et 90"},
      {SearchText::kLongitudeRange, "Die Länge muss zwischen -180 und 180 liegen",
       "The longitude must lie within -180 … 180", "La longitude doit être comprise entre -180 et 180"},
      {SearchText::kDistanceRange, "Der Abstand muss zwischen 0 und 20000 km liegen",
       "The distance must lie within 0 … 20000 km", "La distance doit être comprise entre 0 et 20000 km"},
      {SearchText::kNoCountry, "Kein Land angegeben", "No country given", "Aucun pays indiqué"},
      {SearchText::kTsvFilter, "Tabulatorgetrennte Datei (*.tsv)", "Tab-separated file (*.tsv)",
       "Fichier séparé par tabulations (*.tsv)"},
      {SearchText::kHint, "Doppelklick zeigt die Finsternis im Hauptfenster",
       "Double-click shows the eclipse in the main window",
       "Double-cliquer affiche l'éclipse dans la fenêtre principale"},
  };
  for (const Row& row : kRows) {
    if (row.key == text) {
      return language == Language::kGerman ? row.de : language == Language::kFrench ? row.fr
                                                                                    : row.en;
    }
  }
  return "";
}

// The criteria file ------------------------------------------------------------------------------

namespace {

constexpr const char* kModeNames[] = {"none", "near", "central", "visible", "country"};

std::string RealText(double v) { return FormatShortest(v); }

}  // namespace

std::string SearchCriteriaText(const SearchCriteria& c) {
  std::string out;
  out += "from=" + std::to_string(c.fromYear) + "\n";
  out += "to=" + std::to_string(c.toYear) + "\n";
  out += "kinds=" + KindsFromTypeMask(c.typeMask) + "\n";
  out += "min_duration=" + RealText(c.minDurationSeconds) + "\n";
  out += "min_magnitude=" + (c.minMagnitude ? RealText(*c.minMagnitude) : "") + "\n";
  out += "max_gamma=" + (c.maxGamma ? RealText(*c.maxGamma) : "") + "\n";
  out += "saros=" + (c.saros ? std::to_string(*c.saros) : "") + "\n";
  out += std::string("place=") + kModeNames[static_cast<int>(c.placeMode)] + "\n";
  out += "lat=" + RealText(c.latitude) + "\n";
  out += "lon=" + RealText(c.longitude) + "\n";
  out += "within=" + RealText(c.withinKm) + "\n";
  out += "country=" + c.country + "\n";
  return out;
}

void WriteSearchCriteriaFile(const std::string& path, const SearchCriteria& c) {
  const std::string text = SearchCriteriaText(c);
  WriteFileSafely(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

std::optional<SearchCriteria> ReadSearchCriteriaFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return std::nullopt;
  // A named pipe or a folder in its place is refused without being opened; a file larger than any
  // criteria file is refused unread.
  if (const std::string kind = NonRegularKind(path); !kind.empty()) {
    throw std::runtime_error(path + ": is not a regular file but " + kind);
  }
  if (const auto size = std::filesystem::file_size(path, ec); !ec && size > 64 * 1024) {
    throw std::runtime_error(path + ": larger than 64 KiB, not a criteria file");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot be read");
  SearchCriteria c;
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& field, const std::string& what) {
    throw std::runtime_error(path + ": line " + std::to_string(number) + ": field " + field +
                             ": " + what);
  };
  while (std::getline(in, line)) {
    ++number;
    if (number > 1000) fail("-", "too many lines");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) fail(QuoteForMessage(line, 40), "no \"=\"");
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    auto integer = [&](long long lo, long long hi) {
      const auto v = ParseInteger(value);
      if (!v || *v < lo || *v > hi) {
        fail(key, QuoteForMessage(value, 40) + " is not a whole number within " +
                      std::to_string(lo) + " … " + std::to_string(hi));
      }
      return static_cast<int>(*v);
    };
    auto real = [&](double lo, double hi) {
      const auto v = ParseReal(value);
      if (!v || !std::isfinite(*v) || *v < lo || *v > hi) {
        fail(key, QuoteForMessage(value, 40) + " is not a number within " + FormatShortest(lo) +
                      " … " + FormatShortest(hi));
      }
      return *v;
    };
    if (key == "from") {
      c.fromYear = integer(kMinRecordYear, kMaxRecordYear);
    } else if (key == "to") {
      c.toYear = integer(kMinRecordYear, kMaxRecordYear);
    } else if (key == "kinds") {
      std::vector<std::string> words;
      std::stringstream ss(value);
      for (std::string w; std::getline(ss, w, ',');) words.push_back(w);
      std::string bad;
      const auto mask = value.empty() ? std::optional<unsigned>(0u) : TypeMaskFromKinds(words, &bad);
      if (!mask) fail(key, "unknown kind " + QuoteForMessage(bad, 40));
      c.typeMask = *mask;
    } else if (key == "min_duration") {
      c.minDurationSeconds = real(0, 3600);
    } else if (key == "min_magnitude") {
      c.minMagnitude = value.empty() ? std::nullopt : std::optional<double>(real(0, 2));
    } else if (key == "max_gamma") {
      c.maxGamma = value.empty() ? std::nullopt : std::optional<double>(real(0, 2));
    } else if (key == "saros") {
      c.saros = value.empty() ? std::nullopt
                              : std::optional<int>(integer(-kMaxSarosMagnitude, kMaxSarosMagnitude));
    } else if (key == "place") {
      bool known = false;
      for (int m = 0; m < 5; ++m) {
        if (value == kModeNames[m]) {
          c.placeMode = static_cast<SearchPlaceMode>(m);
          known = true;
        }
      }
      if (!known) fail(key, "unknown place criterion " + QuoteForMessage(value, 40));
    } else if (key == "lat") {
      c.latitude = real(-90, 90);
    } else if (key == "lon") {
      c.longitude = real(-180, 180);
    } else if (key == "within") {
      c.withinKm = real(0, 20000);
    } else if (key == "country") {
      if (value.size() > 200) fail(key, "longer than 200 characters");
      c.country = value;
    } else {
      fail(QuoteForMessage(key, 40), "unknown key");
    }
  }
  if (c.fromYear > c.toYear) {
    number = 0;
    throw std::runtime_error(path + ": field to: earlier than from");
  }
  return c;
}

}  // namespace umbrivista
