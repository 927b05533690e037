// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "civil_time.h"

#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>

#include <cmath>
#include <map>
#include <mutex>

#include "julian_day.h"

namespace umbrivista {

namespace {

constexpr double kUnixEpochJD = 2440587.5;
constexpr double kMsPerDay = 86400000.0;
// 400 Gregorian years: 146,097 days, a whole number of weeks.
constexpr qint64 kGregorianCycleMs = 146097LL * 86400000LL;

qint64 MsSinceEpoch(double julianDay) {
  return static_cast<qint64>(std::llround((julianDay - kUnixEpochJD) * kMsPerDay));
}

struct Zone {
  QTimeZone tz;
  bool hasFirstTransition = false;
  qint64 firstTransitionMs = 0;
};

// Zones already opened (each reads its tzdata file once); a lookup holds the lock throughout, so
// that the Qt objects are never used by two threads at once.
std::mutex& ZonesMutex() {
  static std::mutex mutex;
  return mutex;
}

// The zone, or nullptr when the database does not know it. Only known zones are kept.
const Zone* OpenZone(const std::string& name) {
  static std::map<std::string, Zone> zones;
  if (const auto it = zones.find(name); it != zones.end()) return &it->second;
  // QTimeZone reads a file named after the zone: only a zone name's form gets that far.
  if (!IsTimeZoneName(name)) return nullptr;
  Zone zone{QTimeZone(QByteArray::fromStdString(name))};
  if (!zone.tz.isValid()) return nullptr;
  const QTimeZone::OffsetData first = zone.tz.nextTransition(
      QDateTime::fromMSecsSinceEpoch(MsSinceEpoch(CalendarToJD(-10000, 1, 1, 0, 0, 0)), Qt::UTC));
  if (first.atUtc.isValid()) {
    zone.hasFirstTransition = true;
    zone.firstTransitionMs = first.atUtc.toMSecsSinceEpoch();
  }
  return &zones.emplace(name, std::move(zone)).first->second;
}

}  // namespace

std::optional<CivilOffset> ZoneOffset(const std::string& zone, double julianDayUT,
                                      double longitudeDeg) {
  if (!std::isfinite(julianDayUT) || std::fabs(julianDayUT) > kMaxJulianDayMagnitude ||
      !std::isfinite(longitudeDeg)) {
    return std::nullopt;
  }
  const std::lock_guard lock(ZonesMutex());
  const Zone* z = OpenZone(zone);
  if (!z) return std::nullopt;
  qint64 ms = MsSinceEpoch(julianDayUT);
  CivilOffset offset;
  if (z->hasFirstTransition && ms < z->firstTransitionMs) {
    const double lon = std::remainder(longitudeDeg, 360.0);  // −180 … 180
    offset.seconds = static_cast<int>(std::lround(lon * 240));
    offset.abbreviation = "LMT";
    return offset;
  }
  static const qint64 lastRuleFrom = MsSinceEpoch(CalendarToJD(2800, 1, 1, 0, 0, 0));
  if (ms >= lastRuleFrom) ms -= ((ms - lastRuleFrom) / kGregorianCycleMs + 1) * kGregorianCycleMs;
  const QDateTime at = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
  offset.seconds = z->tz.offsetFromUtc(at);
  const QString abbreviation = z->tz.abbreviation(at);
  if (!abbreviation.isEmpty() && abbreviation[0] != u'+' && abbreviation[0] != u'-') {
    offset.abbreviation = abbreviation.toStdString();
  }
  return offset;
}

bool IsKnownZone(const std::string& zone) {
  const std::lock_guard lock(ZonesMutex());
  return OpenZone(zone) != nullptr;
}

CivilOffsetFn QtCivilOffsets() {
  return [](const std::string& zone, double julianDayUT, double longitudeDeg) {
    return ZoneOffset(zone, julianDayUT, longitudeDeg);
  };
}

}  // namespace umbrivista
