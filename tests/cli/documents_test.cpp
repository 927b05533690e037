// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The JSON, GeoJSON and KML documents of the CLI, parsed as documents (Python's json module with
// NaN and duplicate keys refused, and xml.etree) rather than searched for substrings: coordinate
// order, closed central-path rings that do not cross themselves, and the units of the fields.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "cli_runner.h"
#include "scratch_dir.h"

using namespace umbrivista;

namespace {

constexpr const char* kPython = "/usr/bin/python3";

// Reads the document from stdin and checks it as MODE says; prints "ok" or what is wrong.
constexpr const char* kChecker = R"PY(
import json, math, sys
import xml.etree.ElementTree as ET

mode, args = sys.argv[1], [float(a) for a in sys.argv[2:]]
text = sys.stdin.read()
problems = []

def check(ok, what):
    if not ok:
        problems.append(what)

def strict_json(text):
    def constant(name):
        raise ValueError('not JSON: ' + name)
    def members(pairs):
        keys = [k for k, _ in pairs]
        if len(keys) != len(set(keys)):
            raise ValueError('duplicate member in ' + repr(keys))
        return dict(pairs)
    return json.loads(text, parse_constant=constant, object_pairs_hook=members)

def cross(p, q, r):
    return (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0])

def segments_cross(a, b, c, d):
    d1, d2, d3, d4 = cross(c, d, a), cross(c, d, b), cross(a, b, c), cross(a, b, d)
    return ((d1 > 0) != (d2 > 0)) and ((d3 > 0) != (d4 > 0)) and 0 not in (d1, d2, d3, d4)

def ring_problems(ring, name, outer=True):
    check(len(ring) >= 4, name + ': fewer than 4 points')
    check(ring[0] == ring[-1], name + ': not closed')
    n = len(ring) - 1
    # Segments are compared only with those whose longitudes overlap theirs.
    segs = sorted(range(n), key=lambda i: min(ring[i][0], ring[i + 1][0]))
    for k, i in enumerate(segs):
        hi = max(ring[i][0], ring[i + 1][0])
        for j in segs[k + 1:]:
            if min(ring[j][0], ring[j + 1][0]) > hi:
                break
            if abs(i - j) in (1, n - 1):
                continue
            if segments_cross(ring[i], ring[i + 1], ring[j], ring[j + 1]):
                problems.append('%s: segments %d and %d cross' % (name, i, j))
                return
    area = sum(ring[i][0] * ring[i + 1][1] - ring[i + 1][0] * ring[i][1] for i in range(n))
    check((area > 0) == outer, name + ': wound the wrong way')

def inside(ring, lon, lat):
    hit = False
    for (x1, y1), (x2, y2) in zip(ring, ring[1:]):
        if (y1 > lat) != (y2 > lat) and lon < x1 + (lat - y1) * (x2 - x1) / (y2 - y1):
            hit = not hit
    return hit

# Longitudes within ±180°; no two neighbours more than 50 km apart.
def lon_lat_points(points, name, most_km=50):
    for p in points:
        check(len(p) == 2 and all(isinstance(v, (int, float)) for v in p), name + ': not [lon,lat]')
        check(abs(p[1]) <= 90 and abs(p[0]) <= 180, name + ': %r out of range' % (p,))
    for a, b in zip(points, points[1:]):
        check(km(a, b) <= most_km, name + ': %r and %r are %.0f km apart' % (a, b, km(a, b)))

def km(a, b):
    la1, la2 = math.radians(a[1]), math.radians(b[1])
    h = math.sin((la2 - la1) / 2) ** 2 + math.cos(la1) * math.cos(la2) * math.sin(math.radians(b[0] - a[0]) / 2) ** 2
    return 2 * 6371 * math.asin(min(1, math.sqrt(h)))

# A line, or the pieces of one cut at ±180°: each piece ends on the meridian where the next
# begins, at the same latitude.
def line_pieces(g, name):
    if g['type'] == 'LineString':
        return [g['coordinates']]
    check(g['type'] == 'MultiLineString', name + ': ' + g['type'])
    pieces = g['coordinates']
    for a, b in zip(pieces, pieces[1:]):
        check(abs(a[-1][0]) == 180 and b[0][0] == -a[-1][0] and a[-1][1] == b[0][1],
              name + ': pieces meet at %r and %r' % (a[-1], b[0]))
    return pieces

def polygons_of(g):
    return [g['coordinates']] if g['type'] == 'Polygon' else g['coordinates']

def osgeo_valid(g):
    try:
        from osgeo import ogr
    except ImportError:
        return True
    return ogr.CreateGeometryFromJson(json.dumps(g)).IsValid()

def kml_points(text):
    points = []
    for triple in text.split():
        lon, lat, alt = (float(v) for v in triple.split(','))
        check(alt == 0, 'KML altitude %r' % alt)
        check(abs(lat) <= 90 and abs(lon) <= 180, 'KML point %r out of range' % triple)
        points.append([lon, lat])
    return points

def near(points, lat, lon):
    return min(math.hypot(p[0] - lon, p[1] - lat) for p in points)

try:
    if mode == 'limits-geojson':
        polygons, lines, in_lat, in_lon, out_lat, out_lon = args[:6]
        time_scale = 'TT' if args[6:] == [0] else 'UT'
        doc = strict_json(text)
        check(doc['type'] == 'FeatureCollection', 'not a FeatureCollection')
        regions = pieces = 0
        for f in doc['features']:
            check(f['type'] == 'Feature', 'a member is not a Feature')
            check(f['properties']['time_scale'] == time_scale, 'time scale')
            check((f['properties']['delta_t_s'] == 0) == (time_scale == 'TT'), 'delta T')
            g = f['geometry']
            if g['type'] in ('Polygon', 'MultiPolygon'):
                regions += 1
                check(f['properties']['kind'] == 'central_path', 'polygon kind')
                check(osgeo_valid(g), 'GDAL calls the central path invalid')
                hits = 0
                for polygon in polygons_of(g):
                    for k, ring in enumerate(polygon):
                        lon_lat_points(ring, 'central path', 3000)
                        ring_problems(ring, 'central path', k == 0)
                    hits += inside(polygon[0], in_lon, in_lat) - inside(polygon[0], out_lon, out_lat)
                check(hits == 1, 'the place in the path and the place beside it: %d' % hits)
            else:
                pieces += 1
                for piece in line_pieces(g, f['properties']['kind']):
                    lon_lat_points(piece, f['properties']['kind'])
                    check(len(piece) >= 2, 'short line')
        check((regions, pieces) == (polygons, lines), 'geometries %r' % ((regions, pieces),))
    elif mode == 'centreline-geojson':
        split, lat, lon = args
        doc = strict_json(text)
        g = doc['geometry']
        check(doc['type'] == 'Feature', 'not a Feature')
        check(doc['properties']['time_scale'] == 'UT', 'time scale')
        line = line_pieces(g, 'centre line')
        check(len(line) == split, '%d pieces' % len(line))
        for piece in line:
            lon_lat_points(piece, 'centre line')
        check(near(sum(line, []), lat, lon) < 0.3, 'greatest eclipse is not on the line')
    elif mode == 'kml':
        placemarks, polygons, lat, lon = args
        ns = {'k': 'http://www.opengis.net/kml/2.2'}
        root = ET.fromstring(text.encode('utf-8'))
        check(root.tag == '{http://www.opengis.net/kml/2.2}kml', 'root %s' % root.tag)
        marks = root.findall('k:Document/k:Placemark', ns)
        check(len(marks) == placemarks, '%d placemarks' % len(marks))
        rings = root.findall('.//k:Polygon/k:outerBoundaryIs/k:LinearRing/k:coordinates', ns)
        check(len(rings) == polygons, '%d polygons' % len(rings))
        for ring in rings:
            ring = kml_points(ring.text)
            ring_problems(ring, 'KML central path')
            check(inside(ring, lon, lat), 'a place in the path lies outside the KML ring')
        lines = [kml_points(c.text) for c in root.findall('.//k:LineString/k:coordinates', ns)]
        check(all(len(l) >= 2 for l in lines), 'short KML line')
        if polygons == 0 and placemarks == 1:
            check(near(lines[0], lat, lon) < 0.3, 'greatest eclipse is not on the KML line')
    elif mode == 'local-json':
        seconds, = args
        doc = strict_json(text)
        check(doc['found'] is True, 'not found')
        minutes, secs = doc['duration'].split(':')
        check(abs(doc['duration_s'] - (int(minutes) * 60 + int(secs))) <= 0.5,
              'duration_s %r is not the duration %r in seconds' % (doc['duration_s'], doc['duration']))
        check(abs(doc['duration_s'] - seconds) <= 2, 'duration_s %r' % doc['duration_s'])
        names = [c['contact'] for c in doc['contacts']]
        check(names == ['C1', 'C2', 'MAX', 'C3', 'C4'], 'contacts %r' % names)
        times = [c['date_ut'] + ' ' + c['time_ut'] for c in doc['contacts']]
        check(times == sorted(times), 'contacts out of order %r' % times)
        for c in doc['contacts']:
            check(0 <= c['position_angle_deg'] < 360, 'P %r' % c['position_angle_deg'])
            check(-90 <= c['sun_alt_deg'] <= 90, 'altitude %r' % c['sun_alt_deg'])
    elif mode == 'elements-json':
        seconds, width = args
        doc = strict_json(text)
        check(doc['axis_on_earth'] is True, 'axis off the Earth')
        check(abs(doc['duration_s'] - seconds) <= 1.5, 'duration_s %r' % doc['duration_s'])
        check(abs(doc['path_width_km'] - width) <= 1.5, 'path_width_km %r' % doc['path_width_km'])
    elif mode == 'json':
        strict_json(text)
    elif mode == 'xml':
        ET.fromstring(text.encode('utf-8'))
    else:
        problems.append('unknown mode ' + mode)
except Exception as e:
    problems.append('%s: %s' % (type(e).__name__, e))
print('\n'.join(problems) if problems else 'ok')
)PY";

class CliDocuments : public ScratchDirTest {
 protected:
  CliDocuments() : ScratchDirTest("umbrivista_cli_documents") {}
  void SetUp() override {
    if (::access(kPython, X_OK) != 0) GTEST_SKIP() << "no " << kPython;
    ScratchDirTest::SetUp();
    checker_ = (dir_ / "check.py").string();
    std::ofstream(checker_) << kChecker;
  }
  // "ok", or what the checker found wrong with what the CLI printed for `args`.
  std::string Check(const std::string& args, const std::string& mode,
                    const std::string& expected = "") {
    const Result cli = RunCli(args);
    if (cli.status != 0) return "status " + std::to_string(cli.status);
    const std::string document = (dir_ / "document").string();
    std::ofstream(document, std::ios::binary) << cli.out;
    std::string out = RunShell(std::string(kPython) + " " + checker_ + " " + mode + " " +
                               expected + " < " + document + " 2>&1")
                          .out;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
  }
  std::string checker_;
};

// Dallas (32.78° N, 96.80° W) saw totality on 2024-04-08, New York (40.71° N, 74.01° W) did not;
// NASA puts greatest eclipse at 25.29° N, 104.14° W with 4m28s of totality in a path 197.5 km wide
// (the TT longitude lies 0.30° further west); Dallas saw 3m50s of totality with the program's ΔT.
TEST_F(CliDocuments, EveryDocumentParsesWithItsCoordinatesInOrder) {
  const std::string dallasInNewYorkOut = "32.78 -96.80 40.71 -74.01";
  const std::pair<std::string, std::string> cases[] = {
      {"limits 16690 --format geojson", "limits-geojson 1 6 " + dallasInNewYorkOut},
      {"limits 16690 --tt --format geojson", "limits-geojson 1 6 " + dallasInNewYorkOut + " 0"},
      {"limits 16690 --format kml", "kml 7 1 32.78 -96.8"},
      {"centreline 16690 --format geojson", "centreline-geojson 1 25.29 -104.14"},
      {"centreline 16690 --tt --format kml", "kml 1 0 25.29 -104.44"},
      {"local 16690 --lat 32.78 --lon -96.80 --format json", "local-json 230"},
      {"elements 16690 0.3081 --format json", "elements-json 268 197.5"},
      // A partial eclipse has no central path; a non-central one no centre line.
      {"limits 16686 --format geojson", "json"},
      {"centreline 1 --format geojson", "json"},
      {"centreline 1 --format kml", "xml"},
      {"local 16690 --lat 47.5 --lon 7.5 --format json", "json"},
  };
  for (const auto& [args, check] : cases) {
    EXPECT_EQ(Check(args, check), "ok") << args;
  }
}

// Paths across the 180° meridian and round the poles: 2012-11-13 (Australia to the South
// Pacific), 2021-06-10 (round the North Pole), 2003-05-31 (one limit on the Earth, closed along
// the limb), 2043-04-09 (not central). Each central region is valid, cut at ±180°, and holds the
// place in the path but not the one beside it.
TEST_F(CliDocuments, MapsAcrossTheDateLineAndRoundThePoles) {
  const std::pair<const char*, const char*> cases[] = {
      // Cairns lay in the path, Sydney beside it.
      {"limits 16665 --format geojson", "limits-geojson 1 6 -16.92 145.77 -33.87 151.21"},
      {"centreline 16665 --format geojson", "centreline-geojson 2 -39.95 -161.33"},
      // Qaanaaq, Greenland, saw the annular phase; Oslo did not.
      {"limits 16684 --format geojson", "limits-geojson 1 4 77.47 -69.23 59.91 10.75"},
      // Reykjavik saw the annular phase at sunrise; Oslo did not.
      {"limits 16644 --format geojson", "limits-geojson 1 3 64.15 -21.94 59.91 10.75"},
      // 63° N, 155° E in Magadan Oblast saw the total phase at sunrise.
      {"limits 16732 --format geojson", "limits-geojson 1 2 63 155 59.91 10.75"},
  };
  for (const auto& [args, check] : cases) {
    EXPECT_EQ(Check(args, check), "ok") << args;
  }
  // GDAL's own reader takes the files when it is installed.
  if (::access("/usr/bin/ogrinfo", X_OK) == 0) {
    const std::string file = (dir_ / "limits.geojson").string();
    std::ofstream(file) << RunCli("limits 16684 --format geojson").out;
    const Result info = RunShell("/usr/bin/ogrinfo -ro -al -so " + file + " 2>&1");
    EXPECT_EQ(info.status, 0) << info.out;
    EXPECT_NE(info.out.find("Feature Count: 5"), std::string::npos) << info.out;
  }
}

}  // namespace
