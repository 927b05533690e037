// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "central_region.h"

#include <geos_c.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "angles.h"
#include "data_files.h"
#include "deltat.h"
#include "shadow.h"

namespace umbrivista {

namespace {

// Map geometry on the plane of longitude (x, unwrapped) and latitude (y), degrees.
struct Xy {
  double x = 0, y = 0;
};
using PlaneRing = std::vector<Xy>;  // not closed

double SignedArea(const PlaneRing& ring) {
  double sum = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const Xy& a = ring[i];
    const Xy& b = ring[(i + 1) % ring.size()];
    sum += a.x * b.y - b.x * a.y;
  }
  return sum / 2;
}

// The part of a simple ring (counter-clockwise) on one side of the line x = c: x ≤ c when
// `keepWest`, else x ≥ c. Each run of the ring inside starts and ends on the line; the runs are
// joined along the line in the direction that keeps the inside on the left (northwards for the
// west side), which for a simple ring reaches the start of the next run.
std::vector<PlaneRing> ClipAt(const PlaneRing& ring, double c, bool keepWest) {
  auto inside = [&](const Xy& p) { return keepWest ? p.x <= c : p.x >= c; };
  const std::size_t n = ring.size();
  std::size_t start = n;
  for (std::size_t i = 0; i < n; ++i) {
    if (!inside(ring[i])) {
      start = i;
      break;
    }
  }
  if (start == n) return {ring};
  struct Run {
    PlaneRing points;  // from the entry on the line to the exit on the line
    bool used = false;
  };
  std::vector<Run> runs;
  for (std::size_t k = 0; k < n; ++k) {
    const Xy& p = ring[(start + k) % n];
    const Xy& q = ring[(start + k + 1) % n];
    const bool pin = inside(p), qin = inside(q);
    if (pin != qin) {
      const double f = (c - p.x) / (q.x - p.x);
      const Xy cut{c, p.y + f * (q.y - p.y)};
      if (qin) {
        runs.push_back({{cut}});
      } else {
        runs.back().points.push_back(cut);
      }
    }
    if (qin) runs.back().points.push_back(q);
  }
  if (runs.empty()) return {};
  // Northwards on the line for the west side, southwards for the east side.
  const double sense = keepWest ? 1 : -1;
  std::vector<PlaneRing> out;
  for (std::size_t first = 0; first < runs.size(); ++first) {
    if (runs[first].used) continue;
    PlaneRing joined;
    std::size_t current = first;
    while (!runs[current].used) {
      runs[current].used = true;
      const PlaneRing& points = runs[current].points;
      for (const Xy& p : points) {
        if (joined.empty() || p.x != joined.back().x || p.y != joined.back().y) joined.push_back(p);
      }
      const double exitY = points.back().y;
      std::size_t next = runs.size();
      double best = 0;
      for (std::size_t j = 0; j < runs.size(); ++j) {
        const double ahead = (runs[j].points.front().y - exitY) * sense;
        if (ahead >= 0 && (next == runs.size() || ahead < best)) {
          next = j;
          best = ahead;
        }
      }
      if (next == runs.size()) break;  // a damaged ring: close what there is
      current = next;
    }
    if (joined.size() > 1 && joined.front().x == joined.back().x &&
        joined.front().y == joined.back().y) {
      joined.pop_back();
    }
    if (joined.size() >= 3) out.push_back(std::move(joined));
  }
  return out;
}

// Lambert's azimuthal equal-area projection of the unit sphere about one centre: the union of the
// footprints is formed on it, where neither the 180° meridian nor the poles are special.
class Azimuthal {
 public:
  Azimuthal(double latitude, double longitude)
      : sin0_(std::sin(latitude)), cos0_(std::cos(latitude)), lon0_(longitude) {}

  Xy Forward(const GeoPoint& g) const {
    const double phi = g.latitude * kDegToRad, dl = g.longitude * kDegToRad - lon0_;
    const double cosC = sin0_ * std::sin(phi) + cos0_ * std::cos(phi) * std::cos(dl);
    const double k = std::sqrt(2 / std::max(1 + cosC, 1e-12));
    return {k * std::cos(phi) * std::sin(dl),
            k * (cos0_ * std::sin(phi) - sin0_ * std::cos(phi) * std::cos(dl))};
  }

  GeoPoint Inverse(const Xy& p) const {
    const double rho = std::hypot(p.x, p.y);
    if (rho < 1e-15) {
      return {std::asin(sin0_) * kRadToDeg, WrapDegrees(lon0_ * kRadToDeg)};
    }
    const double c = 2 * std::asin(std::min(rho / 2, 1.0));
    const double sinC = std::sin(c), cosC = std::cos(c);
    const double phi = std::asin(std::clamp(cosC * sin0_ + p.y * sinC * cos0_ / rho, -1.0, 1.0));
    const double lon = lon0_ + std::atan2(p.x * sinC, rho * cos0_ * cosC - p.y * sin0_ * sinC);
    return {phi * kRadToDeg, WrapDegrees(lon * kRadToDeg)};
  }

 private:
  static double WrapDegrees(double lon) { return NonNegativeRemainder(lon + 180, 360) - 180; }
  double sin0_, cos0_, lon0_;
};

// GEOS's C interface, loaded with the first region built: a program that builds none (most
// commands of the command line) does not load the library, which would cost it a third of its
// start-up.
#define UMBRIVISTA_GEOS_FUNCTIONS(X) \
  X(GEOSClipByRect_r)                \
  X(GEOSCoordSeq_create_r)           \
  X(GEOSCoordSeq_getSize_r)          \
  X(GEOSCoordSeq_getXY_r)            \
  X(GEOSCoordSeq_setXY_r)            \
  X(GEOSDifference_r)                \
  X(GEOSGeomTypeId_r)                \
  X(GEOSGeom_createCollection_r)     \
  X(GEOSGeom_createLinearRing_r)     \
  X(GEOSGeom_createPolygon_r)        \
  X(GEOSGeom_destroy_r)              \
  X(GEOSGeom_getCoordSeq_r)          \
  X(GEOSGeom_setPrecision_r)         \
  X(GEOSGetExteriorRing_r)           \
  X(GEOSGetGeometryN_r)              \
  X(GEOSGetInteriorRingN_r)          \
  X(GEOSGetNumGeometries_r)          \
  X(GEOSGetNumInteriorRings_r)       \
  X(GEOSIntersection_r)              \
  X(GEOSUnaryUnion_r)                \
  X(GEOS_finish_r)                   \
  X(GEOS_init_r)                     \
  X(GEOSisEmpty_r)

constexpr const char* kGeosLibrary = "libgeos_c.so.1";

struct GeosApi {
#define UMBRIVISTA_GEOS_MEMBER(name) decltype(&::name) name;
  UMBRIVISTA_GEOS_FUNCTIONS(UMBRIVISTA_GEOS_MEMBER)
#undef UMBRIVISTA_GEOS_MEMBER
  GeosApi() {
#define UMBRIVISTA_GEOS_LOAD(name)         \
  name = reinterpret_cast<decltype(name)>( \
      LoadModuleEntry(kGeosLibrary, #name, std::string("the geometry library ") + kGeosLibrary));
    UMBRIVISTA_GEOS_FUNCTIONS(UMBRIVISTA_GEOS_LOAD)
#undef UMBRIVISTA_GEOS_LOAD
  }
};

// Throws std::runtime_error when the library or one of its functions cannot be loaded.
const GeosApi& Geos() {
  static const GeosApi api;
  return api;
}

// GEOS's context and geometries, released on every path.
struct GeosContext {
  GEOSContextHandle_t handle = Geos().GEOS_init_r();
  ~GeosContext() { Geos().GEOS_finish_r(handle); }
};
struct GeometryDeleter {
  GEOSContextHandle_t handle;
  void operator()(GEOSGeometry* g) const {
    if (g) Geos().GEOSGeom_destroy_r(handle, g);
  }
};
using Geometry = std::unique_ptr<GEOSGeometry, GeometryDeleter>;

// The convex hull of the points of two footprints (Andrew's monotone chain), as a polygon.
GEOSGeometry* Hull(GEOSContextHandle_t h, std::vector<Xy> points) {
  std::sort(points.begin(), points.end(),
            [](const Xy& a, const Xy& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  auto turn = [](const Xy& o, const Xy& a, const Xy& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
  };
  std::vector<Xy> hull(2 * points.size() + 1);
  std::size_t k = 0;
  for (const Xy& p : points) {  // lower chain
    while (k >= 2 && turn(hull[k - 2], hull[k - 1], p) <= 0) --k;
    hull[k++] = p;
  }
  for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {  // upper chain
    while (k >= lower && turn(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  if (k < 4) return nullptr;  // fewer than three corners: nothing to cover
  GEOSCoordSequence* seq = Geos().GEOSCoordSeq_create_r(h, static_cast<unsigned>(k), 2);
  for (std::size_t i = 0; i < k; ++i) {
    Geos().GEOSCoordSeq_setXY_r(h, seq, static_cast<unsigned>(i), hull[i].x, hull[i].y);
  }
  GEOSGeometry* shell = Geos().GEOSGeom_createLinearRing_r(h, seq);
  return shell ? Geos().GEOSGeom_createPolygon_r(h, shell, nullptr, 0) : nullptr;
}

bool NonEmptyPolygon(GEOSContextHandle_t h, const GEOSGeometry* g) {
  return Geos().GEOSGeomTypeId_r(h, g) == GEOS_POLYGON && !Geos().GEOSisEmpty_r(h, g);
}

PlaneRing RingPoints(GEOSContextHandle_t h, const GEOSGeometry* ring) {
  const GEOSCoordSequence* seq = Geos().GEOSGeom_getCoordSeq_r(h, ring);
  unsigned size = 0;
  Geos().GEOSCoordSeq_getSize_r(h, seq, &size);
  PlaneRing out;
  for (unsigned i = 0; i + 1 < size; ++i) {  // the last repeats the first
    Xy p;
    Geos().GEOSCoordSeq_getXY_r(h, seq, i, &p.x, &p.y);
    out.push_back(p);
  }
  return out;
}

// A ring of the sphere, counter-clockwise about its inside, as rings of the longitude/latitude
// plane within [−180, 180], each closed. A ring that goes once round a pole (its longitude gains
// or loses 360°) encloses that pole: it is closed along the pole's parallel.
PlaneRing Unwrapped(const std::vector<GeoPoint>& ring, std::size_t start) {
  PlaneRing plane;
  double previous = ring[start].longitude;
  for (std::size_t k = 0; k <= ring.size(); ++k) {  // back to the start
    const GeoPoint& g = ring[(start + k) % ring.size()];
    double lon = g.longitude;
    while (lon - previous > 180) lon -= 360;
    while (lon - previous < -180) lon += 360;
    previous = lon;
    plane.push_back({lon, g.latitude});
  }
  return plane;
}

std::vector<PlaneRing> OnMap(const std::vector<GeoPoint>& sphereRing) {
  PlaneRing plane = Unwrapped(sphereRing, 0);
  const double turn = plane.back().x - plane.front().x;
  if (std::fabs(turn) > 180) {
    // Eastwards round the north pole, westwards round the south pole. The ring is closed along
    // the meridian of its point nearest that pole, which meets no other part of it.
    const double pole = turn > 0 ? 90 : -90;
    std::size_t nearest = 0;
    for (std::size_t i = 0; i < sphereRing.size(); ++i) {
      if (sphereRing[i].latitude * pole > sphereRing[nearest].latitude * pole) nearest = i;
    }
    plane = Unwrapped(sphereRing, nearest);
    plane.push_back({plane.back().x, pole});
    plane.push_back({plane.front().x, pole});
  } else {
    plane.pop_back();
  }
  double lo = plane.front().x, hi = lo;
  for (const Xy& p : plane) {
    lo = std::min(lo, p.x);
    hi = std::max(hi, p.x);
  }
  std::vector<PlaneRing> out;
  for (int k = static_cast<int>(std::floor((lo + 180) / 360));
       k <= static_cast<int>(std::floor((hi + 180) / 360)); ++k) {
    const double west = -180 + 360.0 * k, east = west + 360;
    for (const PlaneRing& a : ClipAt(plane, west, false)) {
      for (PlaneRing b : ClipAt(a, east, true)) {
        for (Xy& p : b) p.x -= 360.0 * k;
        out.push_back(std::move(b));
      }
    }
  }
  return out;
}

// A map ring as a closed ring of places, counter-clockwise for an outer ring, clockwise for a
// hole.
GeoRing Closed(PlaneRing ring, bool outer) {
  if ((SignedArea(ring) > 0) != outer) std::reverse(ring.begin(), ring.end());
  GeoRing out;
  out.reserve(ring.size() + 1);
  for (const Xy& p : ring) out.push_back({p.y, std::clamp(p.x, -180.0, 180.0)});
  out.push_back(out.front());
  return out;
}

GEOSGeometry* PlanePolygon(GEOSContextHandle_t h, const PlaneRing& ring) {
  GEOSCoordSequence* seq =
      Geos().GEOSCoordSeq_create_r(h, static_cast<unsigned>(ring.size() + 1), 2);
  for (std::size_t i = 0; i <= ring.size(); ++i) {
    // On a grid, so that the sides either side of a closing meridian, shifted by 360°, meet.
    const Xy& p = ring[i % ring.size()];
    Geos().GEOSCoordSeq_setXY_r(h, seq, static_cast<unsigned>(i), std::round(p.x * 1e7) / 1e7,
                                std::round(p.y * 1e7) / 1e7);
  }
  GEOSGeometry* shell = Geos().GEOSGeom_createLinearRing_r(h, seq);
  return shell ? Geos().GEOSGeom_createPolygon_r(h, shell, nullptr, 0) : nullptr;
}

// The union of polygons (taken over); an empty collection for none.
Geometry Union(GEOSContextHandle_t h, std::vector<GEOSGeometry*>& parts) {
  Geometry collection(Geos().GEOSGeom_createCollection_r(h, GEOS_GEOMETRYCOLLECTION, parts.data(),
                                                         static_cast<unsigned>(parts.size())),
                      {h});
  if (!collection) {
    for (GEOSGeometry* g : parts) Geos().GEOSGeom_destroy_r(h, g);
    throw std::runtime_error("cannot gather the central region's parts");
  }
  parts.clear();
  Geometry united(Geos().GEOSUnaryUnion_r(h, collection.get()), {h});
  if (!united) throw std::runtime_error("cannot unite the central region's parts");
  return united;
}

// A united map geometry as polygons of places, valid on the six-decimal grid of the map files.
std::vector<GeoPolygon> ToPolygons(GEOSContextHandle_t h, Geometry map) {
  map.reset(Geos().GEOSGeom_setPrecision_r(h, map.get(), 1e-6, 0));
  if (!map) throw std::runtime_error("cannot round the central region");
  std::vector<GeoPolygon> out;
  const int count = Geos().GEOSGetNumGeometries_r(h, map.get());
  for (int i = 0; i < count; ++i) {
    const GEOSGeometry* polygon = Geos().GEOSGetGeometryN_r(h, map.get(), i);
    if (!NonEmptyPolygon(h, polygon)) continue;
    GeoPolygon rings{Closed(RingPoints(h, Geos().GEOSGetExteriorRing_r(h, polygon)), true)};
    for (int k = 0; k < Geos().GEOSGetNumInteriorRings_r(h, polygon); ++k) {
      rings.push_back(Closed(RingPoints(h, Geos().GEOSGetInteriorRingN_r(h, polygon, k)), false));
    }
    out.push_back(std::move(rings));
  }
  return out;
}

}  // namespace

std::vector<GeoPolygon> CentralRegion(const EclipseRecord& record, double deltaT) {
  const std::vector<ShadowFootprint> footprints = UmbralFootprints(record, deltaT);
  // The projection's centre: the footprint in the middle of those on the Earth.
  std::vector<const ShadowFootprint*> seen;
  for (const ShadowFootprint& f : footprints) {
    if (!f.outline.empty()) seen.push_back(&f);
  }
  if (seen.empty()) return {};
  const GeoPoint middle = seen[seen.size() / 2]->outline.front();
  const Azimuthal projection(middle.latitude * kDegToRad, middle.longitude * kDegToRad);

  GeosContext geos;
  const GEOSContextHandle_t h = geos.handle;
  std::vector<GEOSGeometry*> pieces;
  auto add = [&](const ShadowFootprint& a, const ShadowFootprint* b) {
    std::vector<Xy> points;
    for (const GeoPoint& g : a.outline) points.push_back(projection.Forward(g));
    if (b) {
      for (const GeoPoint& g : b->outline) points.push_back(projection.Forward(g));
    }
    if (GEOSGeometry* hull = Hull(h, std::move(points))) pieces.push_back(hull);
  };
  for (std::size_t i = 0; i < footprints.size(); ++i) {
    if (footprints[i].outline.empty()) continue;
    const bool next = i + 1 < footprints.size() && !footprints[i + 1].outline.empty();
    add(footprints[i], next ? &footprints[i + 1] : nullptr);
  }
  if (pieces.empty()) return {};
  const Geometry united = Union(h, pieces);

  // Each ring carried onto the map, where a ring round a pole is closed along a meridian and
  // everything is cut at ±180°; the pieces either side of the closing meridian are then united
  // again, and holes taken out.
  auto toMap = [&](PlaneRing ring) {
    if (SignedArea(ring) < 0) std::reverse(ring.begin(), ring.end());
    // Straight on the projection is not straight on the map: long sides get points between.
    constexpr double kMaxSide = 8 / kEarthRadiusKm;
    std::vector<GeoPoint> sphere;
    for (std::size_t i = 0; i < ring.size(); ++i) {
      const Xy& a = ring[i];
      const Xy& b = ring[(i + 1) % ring.size()];
      const int parts = std::min(1000, 1 + static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / kMaxSide));
      for (int k = 0; k < parts; ++k) {
        const double f = static_cast<double>(k) / parts;
        sphere.push_back(projection.Inverse({a.x + f * (b.x - a.x), a.y + f * (b.y - a.y)}));
      }
    }
    return OnMap(sphere);
  };
  std::vector<GEOSGeometry*> outer, holes;
  const int parts = Geos().GEOSGetNumGeometries_r(h, united.get());
  for (int i = 0; i < parts; ++i) {
    const GEOSGeometry* polygon = Geos().GEOSGetGeometryN_r(h, united.get(), i);
    if (Geos().GEOSGeomTypeId_r(h, polygon) != GEOS_POLYGON) continue;
    for (const PlaneRing& ring : toMap(RingPoints(h, Geos().GEOSGetExteriorRing_r(h, polygon)))) {
      if (GEOSGeometry* g = PlanePolygon(h, ring)) outer.push_back(g);
    }
    for (int k = 0; k < Geos().GEOSGetNumInteriorRings_r(h, polygon); ++k) {
      for (const PlaneRing& ring :
           toMap(RingPoints(h, Geos().GEOSGetInteriorRingN_r(h, polygon, k)))) {
        if (GEOSGeometry* g = PlanePolygon(h, ring)) holes.push_back(g);
      }
    }
  }
  Geometry map = Union(h, outer);
  if (!holes.empty()) {
    Geometry cut = Union(h, holes);
    map.reset(Geos().GEOSDifference_r(h, map.get(), cut.get()));
    if (!map) throw std::runtime_error("cannot take the holes out of the central region");
  }

  return ToPolygons(h, std::move(map));
}

std::vector<GeoPolygon> CentralBand(const EclipseRecord& record, double lowest, double highest) {
  const std::vector<GeoPolygon> region = CentralRegion(record, (lowest + highest) / 2);
  if (region.empty()) return region;
  // A change of ΔT turns the Earth under the shadow: the band is the region swept along the
  // parallels by half the range's turn either way: the region moved to both ends, and every side
  // swept between them.
  const double turn = std::fabs(highest - lowest) / 2 * kEarthRotationDegPerSecond;
  GeosContext geos;
  const GEOSContextHandle_t h = geos.handle;
  std::vector<GEOSGeometry*> parts;
  auto shifted = [](const GeoRing& ring, double by) {
    PlaneRing out;
    for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
      out.push_back({ring[i].longitude + by, ring[i].latitude});
    }
    return out;
  };
  for (const GeoPolygon& polygon : region) {
    for (double by : {-turn, turn}) {
      if (GEOSGeometry* g = PlanePolygon(h, shifted(polygon.front(), by))) parts.push_back(g);
    }
    for (const GeoRing& ring : polygon) {
      for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
        const GeoPoint& a = ring[i];
        const GeoPoint& b = ring[i + 1];
        if (a.latitude == b.latitude) continue;  // sweeps no area
        const PlaneRing quad = {{a.longitude - turn, a.latitude},
                                {b.longitude - turn, b.latitude},
                                {b.longitude + turn, b.latitude},
                                {a.longitude + turn, a.latitude}};
        if (GEOSGeometry* g = PlanePolygon(h, quad)) parts.push_back(g);
      }
    }
  }
  // Holes are filled by the sweep only where it reaches; what is left of them stays out.
  std::vector<GEOSGeometry*> holes;
  for (const GeoPolygon& polygon : region) {
    for (std::size_t k = 1; k < polygon.size(); ++k) {
      PlaneRing lo = shifted(polygon[k], -turn), hi = shifted(polygon[k], turn);
      Geometry a(PlanePolygon(h, lo), {h}), b(PlanePolygon(h, hi), {h});
      if (a && b) {
        GEOSGeometry* common = Geos().GEOSIntersection_r(h, a.get(), b.get());
        if (common) holes.push_back(common);
      }
    }
  }
  Geometry swept = Union(h, parts);
  if (!holes.empty()) {
    Geometry cut = Union(h, holes);
    swept.reset(Geos().GEOSDifference_r(h, swept.get(), cut.get()));
    if (!swept) throw std::runtime_error("cannot take the holes out of the central band");
  }
  // What the sweep carried beyond ±180° comes back on the other side.
  std::vector<GEOSGeometry*> wrapped;
  for (int k = -1; k <= 1; ++k) {
    Geometry strip(
        Geos().GEOSClipByRect_r(h, swept.get(), -180 + 360.0 * k, -90, 180 + 360.0 * k, 90), {h});
    if (!strip) continue;
    for (int i = 0; i < Geos().GEOSGetNumGeometries_r(h, strip.get()); ++i) {
      const GEOSGeometry* polygon = Geos().GEOSGetGeometryN_r(h, strip.get(), i);
      if (!NonEmptyPolygon(h, polygon)) continue;
      PlaneRing ring = RingPoints(h, Geos().GEOSGetExteriorRing_r(h, polygon));
      for (Xy& p : ring) p.x -= 360.0 * k;
      if (ring.size() < 3) continue;
      if (GEOSGeometry* g = PlanePolygon(h, ring)) wrapped.push_back(g);
    }
  }
  if (wrapped.empty()) return {};
  return ToPolygons(h, Union(h, wrapped));
}

std::vector<std::vector<GeoPoint>> SplitAtAntimeridian(const std::vector<GeoPoint>& line) {
  std::vector<std::vector<GeoPoint>> out;
  if (line.empty()) return out;
  out.push_back({line.front()});
  for (std::size_t i = 1; i < line.size(); ++i) {
    const GeoPoint& a = line[i - 1];
    const GeoPoint& b = line[i];
    double lon = b.longitude;
    while (lon - a.longitude > 180) lon -= 360;
    while (lon - a.longitude < -180) lon += 360;
    const double edge = lon > 180 ? 180 : lon < -180 ? -180 : 0;
    if (edge != 0 && lon != a.longitude) {
      const double f = (edge - a.longitude) / (lon - a.longitude);
      const double latitude = a.latitude + f * (b.latitude - a.latitude);
      out.back().push_back({latitude, edge});
      out.push_back({{latitude, -edge}});
    }
    out.back().push_back(b);
  }
  return out;
}

}  // namespace umbrivista
