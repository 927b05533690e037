// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// pathtable: the central path of one eclipse as a table like the published eclipse bulletins.

#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>

#include "cli.h"
#include "eclipse_types.h"
#include "numbers.h"
#include "path_table.h"

namespace umbrivista {

namespace {

std::string ClockText(int secondOfDay, bool withSeconds) {
  char buf[16];
  if (withSeconds) {
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", secondOfDay / 3600, secondOfDay / 60 % 60,
                  secondOfDay % 60);
  } else {
    std::snprintf(buf, sizeof buf, "%02d:%02d", secondOfDay / 3600, secondOfDay / 60 % 60);
  }
  return buf;
}

std::string JsonPoint(const std::optional<GeoPoint>& p) {
  if (!p) return "null";
  return "{\"lat\": " + FormatFixed(p->latitude, 4) + ", \"lon\": " + FormatFixed(p->longitude, 4) +
         "}";
}

}  // namespace

int RunPathTable(Args& args) {
  const bool tt = args.TakeFlag("tt");
  const bool ut = args.TakeFlag("ut");
  if (tt && ut) throw UsageError("--ut and --tt exclude each other");
  const std::string format = TakeFormat(args, {"tsv", "csv", "json"});
  const double stepMinutes =
      ParseRealArg(args.TakeOption("step").value_or("5"), "--step", 0.5, 60, "minutes");
  const auto& cat = LoadCatalogue(args);
  const int position = ParsePosition(args.TakePositional("POS"), cat);
  args.ExpectEnd();
  const EclipseRecord& r = cat.RecordAt(position);
  // UT by default: the places are on the real, irregularly turning Earth.
  const double deltaT = DeltaTFor(r, !tt);
  const int step = static_cast<int>(std::lround(stepMinutes * 60));
  const auto rows = ComputePathTable(r, deltaT, step);
  if (rows.empty()) {
    std::cerr << "umbrivista-cli: "
              << (IsCentral(r.typeCode)
                      ? "the shadow axis of this eclipse does not meet the Earth"
                      : "this eclipse is not central: its shadow axis misses the Earth")
              << "; the path table is empty\n";
  }
  const CalendarDate date = GreatestEclipseDate(r, deltaT);
  const std::string scale = tt ? "TT" : "UT";
  const std::string dt = FormatFixed(deltaT, 1);
  const bool seconds = step % 60 != 0;
  if (format == "json") {
    std::cout << "{\"position\": " << position << ", \"date\": \""
              << IsoDate(date.year, date.month, date.day) << "\", \"scale\": \"" << scale
              << "\", \"deltat_s\": " << dt << ", \"step_s\": " << step
              << ", \"sun_azimuth\": \"from north through east\", \"rows\": [";
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const PathTableRow& row = rows[i];
      std::cout << (i ? ",\n  " : "\n  ") << "{\"date\": \""
                << IsoDate(row.year, row.month, row.day) << "\", \"time\": \""
                << ClockText(row.secondOfDay, seconds) << "\", \"north\": " << JsonPoint(row.north)
                << ", \"centre\": " << JsonPoint(row.centre)
                << ", \"south\": " << JsonPoint(row.south)
                << ", \"sun_alt_deg\": " << FormatFixed(row.sunAltitudeDeg, 1)
                << ", \"sun_az_deg\": " << FormatFixed(row.sunAzimuthDeg, 1)
                << ", \"path_width_km\": " << FormatFixed(row.pathWidthKm, 1)
                << ", \"duration_s\": " << FormatFixed(row.durationSeconds, 1) << ", \"kind\": \""
                << (row.total ? "total" : "annular") << "\"}";
    }
    std::cout << (rows.empty() ? "]}\n" : "\n]}\n");
    return 0;
  }
  const char sep = format == "csv" ? ',' : '\t';
  // Every row names its time scale and ΔT, so that a row read on its own is not mistaken.
  const auto point = [&](const std::optional<GeoPoint>& p) {
    return p ? FormatFixed(p->latitude, 4) + sep + FormatFixed(p->longitude, 4)
             : std::string(1, sep);
  };
  std::cout << "date" << sep << "time" << sep << "scale" << sep << "deltat_s" << sep << "north_lat"
            << sep << "north_lon" << sep << "centre_lat" << sep << "centre_lon" << sep
            << "south_lat" << sep << "south_lon" << sep << "sun_alt_deg" << sep << "sun_az_deg"
            << sep << "path_width_km" << sep << "duration_s" << sep << "kind\n";
  for (const PathTableRow& row : rows) {
    std::cout << IsoDate(row.year, row.month, row.day) << sep << ClockText(row.secondOfDay, seconds)
              << sep << scale << sep << dt << sep << point(row.north) << sep << point(row.centre)
              << sep << point(row.south) << sep << FormatFixed(row.sunAltitudeDeg, 1) << sep
              << FormatFixed(row.sunAzimuthDeg, 1) << sep << FormatFixed(row.pathWidthKm, 1) << sep
              << FormatFixed(row.durationSeconds, 1) << sep << (row.total ? "total" : "annular")
              << '\n';
  }
  return 0;
}

}  // namespace umbrivista
