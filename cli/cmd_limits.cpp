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

std::vector<const LimitCurve*> OfKind(const std::vector<LimitCurve>& curves, LimitKind kind) {
  std::vector<const LimitCurve*> out;
  for (const LimitCurve& c : curves) {
    if (c.kind == kind) out.push_back(&c);
  }
  return out;
}

// The central path as closed rings, one per pair of umbral limit pieces (the n-th southern with
// the n-th northern, both in the order of time): the southern limit forwards, then the northern
// backwards, which runs counter-clockwise for a shadow moving east. None when the pieces do not
// pair up.
std::vector<std::vector<GeoPoint>> CentralPathRings(const std::vector<LimitCurve>& curves) {
  const auto north = OfKind(curves, LimitKind::kUmbralNorth);
  const auto south = OfKind(curves, LimitKind::kUmbralSouth);
  std::vector<std::vector<GeoPoint>> rings;
  if (north.size() != south.size()) return rings;
  for (std::size_t i = 0; i < north.size(); ++i) {
    std::vector<GeoPoint> ring = south[i]->points;
    ring.insert(ring.end(), north[i]->points.rbegin(), north[i]->points.rend());
    ring.push_back(ring.front());
    rings.push_back(std::move(ring));
  }
  return rings;
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

void WriteGeoJson(const std::vector<LimitCurve>& curves, const std::string& name, int position) {
  std::cout << "{\"type\":\"FeatureCollection\",\"name\":\"" << name << "\",\"features\":[";
  bool first = true;
  auto separator = [&] {
    std::cout << (first ? "\n" : ",\n");
    first = false;
  };
  const auto rings = CentralPathRings(curves);
  if (!rings.empty()) {
    separator();
    std::cout << "{\"type\":\"Feature\",\"properties\":{\"name\":\"Central path\","
              << "\"kind\":\"central_path\",\"position\":" << position << "},\"geometry\":{";
    if (rings.size() == 1) {
      std::cout << "\"type\":\"Polygon\",\"coordinates\":[[" << JsonCoordinates(rings[0]) << "]]";
    } else {
      std::cout << "\"type\":\"MultiPolygon\",\"coordinates\":[";
      for (std::size_t i = 0; i < rings.size(); ++i) {
        std::cout << (i ? ",[[" : "[[") << JsonCoordinates(rings[i]) << "]]";
      }
      std::cout << "]";
    }
    std::cout << "}}";
  }
  for (const Piece& piece : Number(curves)) {
    separator();
    std::cout << "{\"type\":\"Feature\",\"properties\":{\"name\":\"" << Title(piece.curve->kind)
              << "\",\"kind\":\"" << LimitKindName(piece.curve->kind)
              << "\",\"piece\":" << piece.number << ",\"position\":" << position
              << "},\"geometry\":{\"type\":\"LineString\",\"coordinates\":["
              << JsonCoordinates(piece.curve->points) << "]}}";
  }
  std::cout << (first ? "]}\n" : "\n]}\n");
}

void WriteKml(const std::vector<LimitCurve>& curves, const std::string& name) {
  std::cout << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            << "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<name>" << name
            << "</name>\n";
  for (const auto& ring : CentralPathRings(curves)) {
    std::cout << "<Placemark>\n<name>Central path</name>\n<ExtendedData><Data name=\"kind\">"
              << "<value>central_path</value></Data></ExtendedData>\n<Polygon>\n"
              << "<tessellate>1</tessellate>\n<outerBoundaryIs>\n<LinearRing>\n<coordinates>\n"
              << KmlCoordinates(ring)
              << "</coordinates>\n</LinearRing>\n</outerBoundaryIs>\n</Polygon>\n</Placemark>\n";
  }
  for (const Piece& piece : Number(curves)) {
    std::cout << "<Placemark>\n<name>" << Title(piece.curve->kind) << "</name>\n<ExtendedData>"
              << "<Data name=\"kind\"><value>" << LimitKindName(piece.curve->kind)
              << "</value></Data><Data name=\"piece\"><value>" << piece.number
              << "</value></Data></ExtendedData>\n<LineString>\n<tessellate>1</tessellate>\n"
              << "<coordinates>\n"
              << KmlCoordinates(piece.curve->points)
              << "</coordinates>\n</LineString>\n</Placemark>\n";
  }
  std::cout << "</Document>\n</kml>\n";
}

}  // namespace

int RunLimits(Args& args) {
  const bool ut = args.TakeFlag("ut");
  const std::string format = TakeFormat(args, {"tsv", "geojson", "kml"});
  const auto& cat = LoadCatalogue(args);
  const int position = ParsePosition(args.TakePositional("POS"), cat);
  args.ExpectEnd();
  const EclipseRecord& r = cat.RecordAt(position);
  const auto curves = ComputePathLimits(r, DeltaTFor(r, ut));
  if (curves.empty()) {
    std::cerr << "umbrivista-cli: the shadow of this eclipse does not reach the Earth; there are "
                 "no limits\n";
  }
  char name[64];
  // Named by the date of greatest eclipse in the chosen scale.
  const CalendarDate date = GreatestEclipseDate(r, DeltaTFor(r, ut));
  std::snprintf(name, sizeof name, "Path limits %s",
                IsoDate(date.year, date.month, date.day).c_str());
  if (format == "tsv") {
    WriteTsv(curves);
  } else if (format == "geojson") {
    WriteGeoJson(curves, name, position);
  } else {
    WriteKml(curves, name);
  }
  return 0;
}

}  // namespace umbrivista
