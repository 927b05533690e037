// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// limits: the limits of the central path, of the partial eclipse and the rise/set curves of one
// eclipse as TSV, GeoJSON or KML.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"
#include "numbers.h"
#include "path_limits.h"

namespace umbrivista {

namespace {

const char* Title(LimitKind kind) {
  switch (kind) {
    case LimitKind::kUmbralNorth:
      return "Northern limit of the central path";
    case LimitKind::kUmbralSouth:
      return "Southern limit of the central path";
    case LimitKind::kPenumbralNorth:
      return "Northern limit of the partial eclipse";
    case LimitKind::kPenumbralSouth:
      return "Southern limit of the partial eclipse";
    case LimitKind::kRiseSet:
      break;
  }
  return "Eclipse begins or ends at sunrise or sunset";
}

// A curve with its piece number (1, 2, … within its kind).
struct Piece {
  const LimitCurve* curve;
  int number;
};

std::vector<Piece> Number(const std::vector<LimitCurve>& curves) {
  std::vector<Piece> pieces;
  int counts[5] = {};
  for (const LimitCurve& c : curves) pieces.push_back({&c, ++counts[static_cast<int>(c.kind)]});
  return pieces;
}

// KML styles: one per curve kind, as the globe draws them (the central path yellow, the partial
// eclipse's limits and the rise/set curves grey).
const char* KmlStyles() {
  return "<Style id=\"central_path\"><LineStyle><color>ff00d7ff</color><width>1</width>"
         "</LineStyle><PolyStyle><color>5000d7ff</color></PolyStyle></Style>\n"
         "<Style id=\"umbral_north\"><LineStyle><color>ff00d7ff</color><width>2</width>"
         "</LineStyle></Style>\n"
         "<Style id=\"umbral_south\"><LineStyle><color>ff00d7ff</color><width>2</width>"
         "</LineStyle></Style>\n"
         "<Style id=\"penumbral_north\"><LineStyle><color>ffc0c0c0</color><width>1.5</width>"
         "</LineStyle></Style>\n"
         "<Style id=\"penumbral_south\"><LineStyle><color>ffc0c0c0</color><width>1.5</width>"
         "</LineStyle></Style>\n"
         "<Style id=\"rise_set\"><LineStyle><color>ff909090</color><width>1</width>"
         "</LineStyle></Style>\n";
}

void WriteTsv(const std::vector<LimitCurve>& curves) {
  for (const Piece& piece : Number(curves)) {
    const std::string head =
        std::string(LimitKindName(piece.curve->kind)) + '\t' + std::to_string(piece.number) + '\t';
    for (const GeoPoint& p : piece.curve->points) {
      std::cout << head << FormatFixed(p.longitude, 6) << '\t' << FormatFixed(p.latitude, 6)
                << '\n';
    }
  }
}

void WriteGeoJson(const std::vector<LimitCurve>& curves, const std::vector<GeoPolygon>& region,
                  const std::string& name, int position, bool ut, double deltaT) {
  const std::string frame = JsonFrameProperties(ut, deltaT);
  std::cout << "{\"type\":\"FeatureCollection\",\"name\":\"" << name << "\",\"features\":[";
  bool first = true;
  auto separator = [&] {
    std::cout << (first ? "\n" : ",\n");
    first = false;
  };
  if (!region.empty()) {
    separator();
    std::cout << "{\"type\":\"Feature\",\"properties\":{\"name\":\"Central path\","
              << "\"kind\":\"central_path\",\"position\":" << position << "," << frame
              << "},\"geometry\":" << JsonPolygonGeometry(region) << "}";
  }
  for (const Piece& piece : Number(curves)) {
    separator();
    std::cout << "{\"type\":\"Feature\",\"properties\":{\"name\":\"" << Title(piece.curve->kind)
              << "\",\"kind\":\"" << LimitKindName(piece.curve->kind)
              << "\",\"piece\":" << piece.number << ",\"position\":" << position << ","
              << frame << "},\"geometry\":" << JsonLineGeometry(piece.curve->points) << "}";
  }
  std::cout << (first ? "]}\n" : "\n]}\n");
}

void WriteKml(const std::vector<LimitCurve>& curves, const std::vector<GeoPolygon>& region,
              const std::string& name, bool ut, double deltaT) {
  std::cout << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            << "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<name>" << name
            << "</name>\n<ExtendedData>" << KmlFrameData(ut, deltaT) << "</ExtendedData>\n"
            << KmlStyles();
  if (!region.empty()) {
    std::cout << "<Placemark>\n<name>Central path</name>\n<styleUrl>#central_path</styleUrl>\n"
              << "<ExtendedData><Data name=\"kind\"><value>central_path</value></Data>"
              << "</ExtendedData>\n"
              << KmlPolygonGeometry(region) << "</Placemark>\n";
  }
  for (const Piece& piece : Number(curves)) {
    const char* kind = LimitKindName(piece.curve->kind);
    std::cout << "<Placemark>\n<name>" << Title(piece.curve->kind) << "</name>\n<styleUrl>#"
              << kind << "</styleUrl>\n<ExtendedData><Data name=\"kind\"><value>" << kind
              << "</value></Data><Data name=\"piece\"><value>" << piece.number
              << "</value></Data></ExtendedData>\n"
              << KmlLineGeometry(piece.curve->points) << "</Placemark>\n";
  }
  std::cout << "</Document>\n</kml>\n";
}

}  // namespace

int RunLimits(Args& args) {
  const std::string format = TakeFormat(args, {"tsv", "geojson", "kml"});
  const auto givenDeltaT = args.TakeOption("deltat");
  if (givenDeltaT && (args.TakeFlag("tt") || args.TakeFlag("ut"))) {
    throw UsageError("--deltat turns the Earth itself: not with --ut or --tt");
  }
  const bool ut = givenDeltaT || TakeMapFrameUt(args, format);
  const auto& cat = LoadCatalogue(args);
  const int position = ParsePosition(args.TakePositional("POS"), cat);
  args.ExpectEnd();
  const EclipseRecord& r = cat.RecordAt(position);
  // A ΔT of the caller's (an older or newer estimate, or one end of its uncertainty).
  const double deltaT = givenDeltaT ? ParseRealArg(*givenDeltaT, "--deltat", -kMaxDeltaTSeconds,
                                                   kMaxDeltaTSeconds, "s")
                                    : DeltaTFor(r, ut);
  const auto curves = ComputePathLimits(r, deltaT);
  if (curves.empty()) {
    std::cerr << "umbrivista-cli: the shadow of this eclipse does not reach the Earth; there are "
                 "no limits\n";
  }
  char name[64];
  // Named by the date of greatest eclipse in the chosen scale.
  const CalendarDate date = GreatestEclipseDate(r, deltaT);
  std::snprintf(name, sizeof name, "Path limits %s",
                IsoDate(date.year, date.month, date.day).c_str());
  if (format == "tsv") {
    WriteTsv(curves);
  } else if (format == "geojson") {
    WriteGeoJson(curves, CentralRegion(r, deltaT), name, position, ut, deltaT);
  } else {
    WriteKml(curves, CentralRegion(r, deltaT), name, ut, deltaT);
  }
  return 0;
}

}  // namespace umbrivista
