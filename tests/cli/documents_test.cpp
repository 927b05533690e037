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

def ring_problems(ring, name):
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
    check(area > 0, name + ': not counter-clockwise')

def inside(ring, lon, lat):
    hit = False
    for (x1, y1), (x2, y2) in zip(ring, ring[1:]):
        if (y1 > lat) != (y2 > lat) and lon < x1 + (lat - y1) * (x2 - x1) / (y2 - y1):
            hit = not hit
    return hit

# Longitudes run on across ±180°, so a step is never the long way round; near the poles the
# partial eclipse's limits take long steps.
def lon_lat_points(points, name, step=180):
    for p in points:
        check(len(p) == 2 and all(isinstance(v, (int, float)) for v in p), name + ': not [lon,lat]')
        check(abs(p[1]) <= 90, name + ': latitude %r beyond the poles' % (p[1],))
    for a, b in zip(points, points[1:]):
        check(abs(a[0] - b[0]) < step, name + ': longitude jumps from %r to %r' % (a[0], b[0]))

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
        polygons, lines, in_lat, in_lon, out_lat, out_lon = args
        doc = strict_json(text)
        check(doc['type'] == 'FeatureCollection', 'not a FeatureCollection')
        kinds = {'Polygon': 0, 'LineString': 0}
        for f in doc['features']:
            check(f['type'] == 'Feature', 'a member is not a Feature')
            g = f['geometry']
            kinds[g['type']] = kinds.get(g['type'], 0) + 1
            if g['type'] == 'Polygon':
                check(f['properties']['kind'] == 'central_path', 'polygon kind')
                for ring in g['coordinates']:
                    lon_lat_points(ring, 'central path', 20)
                    ring_problems(ring, 'central path')
                    check(inside(ring, in_lon, in_lat), 'a place in the path lies outside the ring')
                    check(not inside(ring, out_lon, out_lat), 'a place beside the path lies inside')
            else:
                lon_lat_points(g['coordinates'], f['properties']['kind'])
                check(len(g['coordinates']) >= 2, 'short line')
        check(kinds == {'Polygon': polygons, 'LineString': lines}, 'geometries %r' % kinds)
    elif mode == 'centreline-geojson':
        points, lat, lon = args
        doc = strict_json(text)
        g = doc['geometry']
        check(doc['type'] == 'Feature' and g['type'] == 'LineString', 'not a LineString Feature')
        lon_lat_points(g['coordinates'], 'centre line', 20)
        check(len(g['coordinates']) == points, '%d points' % len(g['coordinates']))
        check(near(g['coordinates'], lat, lon) < 0.3, 'greatest eclipse is not on the line')
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
      {"limits 16690 --ut --format geojson", "limits-geojson 1 6 " + dallasInNewYorkOut},
      {"limits 16690 --format kml", "kml 7 1 32.78 -96.5"},
      {"centreline 16690 --ut --format geojson", "centreline-geojson 201 25.29 -104.14"},
      {"centreline 16690 --format kml", "kml 1 0 25.29 -104.44"},
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

// The same documents for a path across the 180° meridian (2012-11-13, Australia to the South
// Pacific): the central path's ring stays one closed, uncrossed ring in unwrapped longitudes.
TEST_F(CliDocuments, APathAcrossTheDateLineStaysOneRing) {
  // Cairns (16.92° S, 145.77° E) lay in the path, Sydney (33.87° S, 151.21° E) beside it.
  EXPECT_EQ(Check("limits 16665 --ut --format geojson",
                  "limits-geojson 1 6 -16.92 145.77 -33.87 151.21"),
            "ok");
}

}  // namespace
