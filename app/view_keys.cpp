// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "view_keys.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "map_view.h"
#include "navigation.h"
#include "numbers.h"
#include "session.h"

namespace umbrivista {

namespace {

constexpr int kMinZoomKey = 60;
constexpr int kMaxZoomKey = 350;

std::string RecordDateText(const EclipseRecord& r) {
  char text[32];
  std::snprintf(text, sizeof text, "%d-%02d-%02d", r.year, r.month, r.day);
  return text;
}

// The position of the record dated `text` ("Y-MM-DD", Y may be negative); 0 when none is.
int PositionOfDate(const EclipseCatalogue& catalogue, const std::string& text) {
  const auto second = text.rfind('-');
  if (second == std::string::npos || second == 0) return 0;
  const auto first = text.rfind('-', second - 1);
  if (first == std::string::npos || first == 0) return 0;
  const auto year = ParseInteger(std::string_view(text).substr(0, first));
  const auto month = ParseInteger(std::string_view(text).substr(first + 1, second - first - 1));
  const auto day = ParseInteger(std::string_view(text).substr(second + 1));
  if (!year || !month || !day || *year < -100000 || *year > 100000) return 0;
  const int y = static_cast<int>(*year);
  for (int p = catalogue.FindByYear(y); p >= 1 && p <= catalogue.RecordCount(); ++p) {
    const EclipseRecord& r = catalogue.RecordAt(p);
    if (r.year != y) break;
    if (r.month == *month && r.day == *day) return p;
  }
  return 0;
}

std::optional<int> WholeIn(const std::string& value, int low, int high) {
  const auto n = ParseInteger(value);
  if (!n || *n < low || *n > high) return std::nullopt;
  return static_cast<int>(*n);
}

struct LatLon {
  double latitude, longitude;
};

std::optional<LatLon> ParseLatLon(const std::string& value) {
  const auto blank = value.find(' ');
  if (blank == std::string::npos) return std::nullopt;
  const auto lat = ParseReal(std::string_view(value).substr(0, blank));
  const auto lon = ParseReal(std::string_view(value).substr(blank + 1));
  if (!lat || !lon || !(std::fabs(*lat) <= 90) || !(std::fabs(*lon) <= 180)) return std::nullopt;
  return LatLon{*lat, *lon};
}

std::optional<bool> ParseYesNo(const std::string& value) {
  if (value == "yes") return true;
  if (value == "no") return false;
  return std::nullopt;
}

}  // namespace

ViewKeys SessionViewKeys(const Session& session) {
  ViewKeys keys;
  if (session.Position() == 0) return keys;
  keys["Eclipse"] = RecordDateText(session.Catalogue().RecordAt(session.Position()));
  keys["TimePosition"] = std::to_string(session.TimePosition());
  keys["View"] = session.MapView() ? "map" : session.BackView() ? "back" : "normal";
  keys["Map"] = session.GetMapProjection() == MapProjection::kFlat ? "flat" : "mercator";
  keys["Zoom"] = std::to_string(session.Zoom());
  keys["PointOfInterest"] =
      FormatShortest(session.PoILatitude()) + " " + FormatShortest(session.PoILongitude());
  keys["PointOfInterestShown"] = session.ShowPoI() ? "yes" : "no";
  return keys;
}

std::string ViewKeyProblem(const Session& session, const std::string& name,
                           const std::string& value) {
  if (name == "Eclipse") {
    if (!session.CatalogueLoaded()) return "no catalogue is loaded";
    return PositionOfDate(session.Catalogue(), value) ? "" : "no eclipse of that date in the catalogue";
  }
  if (name == "TimePosition")
    return WholeIn(value, 0, kTimeSliderMax) ? "" : "not a whole number from 0 to 12600";
  if (name == "View")
    return value == "normal" || value == "back" || value == "map" ? ""
                                                                  : "not normal, back or map";
  if (name == "Map") return ParseMapProjection(value) ? "" : "not mercator or flat";
  if (name == "Zoom")
    return WholeIn(value, kMinZoomKey, kMaxZoomKey) ? "" : "not a whole number from 60 to 350";
  if (name == "PointOfInterest")
    return ParseLatLon(value) ? "" : "not a latitude and a longitude in degrees";
  if (name == "PointOfInterestShown") return ParseYesNo(value) ? "" : "not yes or no";
  return "";
}

void ApplyViewKeys(Session& session, const ViewKeys& keys) {
  const auto key = [&](const char* name) -> const std::string* {
    const auto it = keys.find(name);
    return it == keys.end() ? nullptr : &it->second;
  };
  const std::string* eclipse = key("Eclipse");
  if (!eclipse || !session.CatalogueLoaded()) return;
  const int position = PositionOfDate(session.Catalogue(), *eclipse);
  if (position == 0) return;
  if (const std::string* map = key("Map"))
    if (const auto projection = ParseMapProjection(*map)) session.SetMapProjection(*projection);
  // The view goes first: switching it brings the instant back to the greatest eclipse.
  if (const std::string* view = key("View")) {
    session.SetBackView(*view == "back");
    session.SetMapView(*view == "map");
  }
  session.SelectPosition(position, true);
  if (const std::string* time = key("TimePosition"))
    if (const auto t = WholeIn(*time, 0, kTimeSliderMax)) session.SetTimePosition(*t);
  if (const std::string* zoom = key("Zoom"))
    if (const auto z = WholeIn(*zoom, kMinZoomKey, kMaxZoomKey)) session.SetZoom(*z);
  if (const std::string* point = key("PointOfInterest"))
    if (const auto p = ParseLatLon(*point)) {
      session.PlacePoI(p->latitude, p->longitude);
      const std::string* shown = key("PointOfInterestShown");
      if (shown && ParseYesNo(*shown) == false) session.SetShowPoI(false);
    }
}

}  // namespace umbrivista
