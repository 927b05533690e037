// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Every computation the command-line front end runs on one catalogue record: ΔT, the Julian-day
// conversions, the elements and axis point at an instant, the sub-solar point, the distances of
// a place, the centre line (day and night side) and the local circumstances with their UT
// instants. Input: one 170-byte packed record (zero-padded when short), then t (float, hours
// from T0), latitude and longitude (float, degrees), height (int32, metres), a flag byte (bit 0
// night side, bit 1 a given ΔT) and the given ΔT (float, seconds). Records the catalogue readers
// refuse and arguments the front end refuses are skipped; the rest must never crash, hang or
// trip a sanitizer, and every instant the front end prints must be a real date and time of day.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "angles.h"
#include "catalogue.h"
#include "centre_line.h"
#include "cli.h"
#include "deltat.h"
#include "eclipse_record.h"
#include "julian_day.h"
#include "local_circumstances.h"
#include "numbers.h"
#include "shadow.h"

namespace {

using namespace umbrivista;

template <typename T>
T Take(const std::uint8_t*& p, const std::uint8_t* end) {
  std::uint8_t bytes[sizeof(T)] = {};
  for (std::size_t i = 0; i < sizeof(T) && p < end; ++i) bytes[i] = *p++;
  T value;
  std::memcpy(&value, bytes, sizeof(T));
  return value;
}

[[noreturn]] void Fail(const char* what, double value) {
  std::fprintf(stderr, "%s: %.17g\n", what, value);
  std::abort();
}

// The checks the front end's date-time text relies on before it converts to integers.
void CheckInstant(const UTInstant& when) {
  if (!(when.hours >= 0 && when.hours < 24)) Fail("UT time of day outside [0, 24)", when.hours);
  if (when.month < 1 || when.month > 12) Fail("UT month", when.month);
  if (when.day < 1 || when.day > 31) Fail("UT day", when.day);
  // A time that rounds up to 24:00 is printed as 00:00 of the next day.
  if (std::floor(when.hours * 36000 + 0.5) >= 864000) {
    const CalendarDate next = JDToCalendar(std::floor(when.julianDay + 0.5) + 1);
    if (next.month < 1 || next.month > 12) Fail("next-day month", next.month);
  }
}

void RunInstant(const EclipseRecord& r, double deltaT, double t, bool back, double lat,
                double lon) {
  ShadowState s;
  s.deltaT = deltaT;
  const InstantResult at = UpdateInstant(r, t, back, s);
  std::string text = FormatReal(s.x) + FormatReal(s.zeta);
  if (at.onEarth) {
    text += FormatFixed(at.point.latitude * kRadToDeg, 6);
    text += FormatFixed(at.quantities.durationSeconds, 2);
    text += FormatFixed(at.quantities.pathWidthKm, 2);
    text += FormatFixed(at.quantities.localSolarTime, 6);
  }
  const GeoPosition ssp = SubSolarPoint(s);
  const PoIDistances dist = ComputePoIDistances(s, lat, lon);
  text += FormatFixed(ssp.longitude, 6) + FormatFixed(dist.toAxisPointKm, 1);
}

void RunCentreLine(const EclipseRecord& r, double deltaT, bool back) {
  const auto line = BuildCentreLine(r, deltaT, back);
  if (!line.empty() && line.size() != static_cast<std::size_t>(kCentreLinePoints)) {
    Fail("centre line points", static_cast<double>(line.size()));
  }
  for (const auto& p : line) {
    if (!std::isfinite(p.latitude) || !std::isfinite(p.longitude)) {
      Fail("centre line point not finite", p.t);
    }
  }
}

void RunLocal(const EclipseRecord& r, double deltaT, double lat, double lon, std::int32_t height) {
  const double phi = lat * kDegToRad;
  const auto found =
      ComputeLocalCircumstances(r, deltaT, phi, -lon * kDegToRad, ObserverGeocentric(height, phi));
  if (!found) return;
  const LocalCircumstances& lc = *found;
  std::string text = FormatFixed(lc.magnitude, 4);
  text += EclipseKindLetter(lc.kind, Language::kGerman);
  if (lc.kind != EclipseKind::kPartial) text += FormatMinSec(0, CentralDurationMinutes(lc) / 60);
  if (!lc.computed[kMax]) Fail("greatest eclipse not computed", lc.magnitude);
  for (int i = 0; i < 5; ++i) {
    if (!lc.computed[i]) continue;
    if (!std::isfinite(lc.contactTime[i])) Fail("contact time not finite", i);
    CheckInstant(ContactUT(r, deltaT, lc.contactTime[i]));
    text += FormatFixed(lc.positionAngle[i] * kRadToDeg, 2);
    text += FormatFixed(lc.vertexAngle[i] * kRadToDeg, 2);
    text += FormatFixed(lc.sunAltitude[i] * kRadToDeg, 2);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint8_t image[kEclipseRecordSize] = {};
  std::memcpy(image, data, std::min(size, kEclipseRecordSize));
  const EclipseRecord r = DecodeRecord(image);
  if (!RecordProblem(r).empty()) return 0;  // the catalogue readers refuse it

  const std::uint8_t* p = data + std::min(size, kEclipseRecordSize);
  const std::uint8_t* end = data + size;
  const double t = Take<float>(p, end);
  const double lat = Take<float>(p, end);
  const double lon = Take<float>(p, end);
  const auto height = Take<std::int32_t>(p, end);
  const std::uint8_t flags = Take<std::uint8_t>(p, end);
  const double givenDeltaT = Take<float>(p, end);
  const bool back = flags & 1;
  // The front end's argument ranges: it refuses anything else before computing.
  if (!(std::fabs(t) <= kMaxHoursFromT0) || !(std::fabs(lat) <= 90) || !(std::fabs(lon) <= 360) ||
      height < kMinHeightM || height > kMaxHeightM ||
      !(std::fabs(givenDeltaT) <= kMaxDeltaTSeconds)) {
    return 0;
  }

  const double modelDeltaT = DeltaT(r.year, r.month);
  if (!std::isfinite(modelDeltaT)) Fail("ΔT not finite", r.year);
  const double deltaT = (flags & 2) ? givenDeltaT : modelDeltaT;
  const double jd0 = CalendarToJD(r.year, r.month, r.day, r.t0Hour, 0, 0);
  // The readers accept only real dates, so T0 converts back to itself.
  const CalendarDate date = JDToCalendar(jd0);
  if (date.year != r.year || date.month != r.month || date.day != r.day || date.hours != r.t0Hour ||
      date.minutes != 0 || date.seconds != 0) {
    Fail("T0 does not convert back, JD", jd0);
  }

  for (double dt : {0.0, deltaT}) {
    RunInstant(r, dt, t, back, lat, lon);
    RunCentreLine(r, dt, false);
    RunCentreLine(r, dt, true);
  }
  RunLocal(r, deltaT, lat, lon, height);
  return 0;
}
