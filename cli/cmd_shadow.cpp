// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// elements, centreline and local: the shadow at an instant, the centre line and the local
// circumstances at a place.

#include <cctype>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>

#include "angles.h"
#include "centre_line.h"
#include "civil_clock.h"
#include "cli.h"
#include "deltat.h"
#include "eclipse_types.h"
#include "ics.h"
#include "julian_day.h"
#include "language.h"
#include "local_circumstances.h"
#include "numbers.h"
#include "place_zones.h"
#include "shadow.h"

namespace umbrivista {

namespace {

void Line(const char* name, const std::string& value) {
  std::cout << name << '\t' << value << '\n';
}

// The fields of `elements` and `local`: "name<TAB>value" lines, or one JSON object.
class Fields {
 public:
  explicit Fields(bool json) : json_(json) {}
  ~Fields() {
    if (json_) std::cout << "{" << body_ << "}\n";
  }
  void Number(const char* name, const std::string& text) { Add(name, text, text); }
  void Text(const char* name, const std::string& text) { Add(name, text, Quoted(text)); }
  void Flag(const char* name, bool value) { Add(name, value ? "1" : "0", value ? "true" : "false"); }
  // A JSON-only member given as JSON text.
  void Json(const char* name, const std::string& json) {
    if (json_) Add(name, "", json);
  }
  bool IsJson() const { return json_; }

  static std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
      if (c == '"' || c == '\\') {
        out += '\\';
        out += c;
      } else if (static_cast<unsigned char>(c) < 0x20) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", c);
        out += buf;
      } else {
        out += c;
      }
    }
    return out + "\"";
  }

 private:
  void Add(const char* name, const std::string& tsv, const std::string& json) {
    if (!json_) {
      Line(name, tsv);
      return;
    }
    if (!body_.empty()) body_ += ", ";
    body_ += Quoted(name) + ": " + json;
  }
  bool json_;
  std::string body_;
};

// "YYYY-MM-DD<TAB>hh:mm:ss.s" of a UT instant, rounded to a tenth of a second; a time that
// rounds to 24:00 becomes 00:00 of the next day.
std::string DateTimeText(const UTInstant& when) {
  double tenths = std::floor(when.hours * 36000 + 0.5);
  if (!(tenths >= 0 && tenths <= 864000)) tenths = 0;  // hours lie in [0, 24) for usable input
  CalendarDate date{when.year, when.month, when.day};
  if (tenths >= 864000) {
    tenths -= 864000;
    date = JDToCalendar(std::floor(when.julianDay + 0.5) + 1);
  }
  const long long total = static_cast<long long>(tenths);
  char buf[32];
  std::snprintf(buf, sizeof buf, "\t%02lld:%02lld:%02lld.%lld", total / 36000, total / 600 % 60,
                total / 10 % 60, total % 10);
  return IsoDate(date.year, date.month, date.day) + buf;
}

// The clock of local's times (--time): UT as always, TT, or the civil time of a zone (the
// place's own, from the nearest place, or one named) or nautical time.
struct Clock {
  enum Kind { kUT, kTT, kCivil } kind = kUT;
  PointZone zone;         // for kCivil
  CivilOffsetFn offsets;  // for kCivil: taken before anything is printed, so that a civil-time
                          // module that cannot be loaded fails the command with no output
};

Clock TakeClock(Args& args) {
  Clock clock;
  const auto given = args.TakeOption("time");
  std::string word = given.value_or("ut");
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (word == "ut") return clock;
  if (word == "tt") {
    clock.kind = Clock::kTT;
  } else if (word == "local" || KnownZone(*given)) {
    clock.kind = Clock::kCivil;
    clock.offsets = CivilOffsets();
    if (word != "local") clock.zone.zone = *given;  // empty: the place's own, found later
  } else {
    throw UsageError("--time must be ut, tt, local or a time zone such as Europe/Madrid, not " +
                     Echo(*given));
  }
  return clock;
}

// The place's zone for --time local, from the zone file the data-file lookup finds.
void FindPlaceZone(Clock& clock, double lat, double lon) {
  if (clock.kind != Clock::kCivil || !clock.zone.zone.empty()) return;
  clock.zone = PlaceZones::Load(DataFile(kPlaceZonesFileName)).Find(lat, lon);
}

// Instant t of the eclipse on the clock; `offset` is set for civil time, each instant its own
// (daylight saving may start or end during an eclipse).
UTInstant OnClock(const Clock& clock, const EclipseRecord& r, double deltaT, double t, double lon,
                  std::optional<CivilOffset>& offset) {
  if (clock.kind == Clock::kUT) return ContactUT(r, deltaT, t);
  if (clock.kind == Clock::kTT) return ContactUT(r, 0, t);
  offset = CivilOffsetAt(clock.zone, ContactUT(r, deltaT, t).julianDay, lon, clock.offsets);
  if (!offset) {
    throw std::runtime_error("the time zone " + clock.zone.zone +
                             " is not in the system's time-zone database (tzdata)");
  }
  return ContactUT(r, deltaT - offset->seconds, t);
}

const char* VisibilityWord(Visibility visibility) {
  switch (visibility) {
    case Visibility::kFull:
      return "full";
    case Visibility::kSunrise:
      return "sunrise";
    case Visibility::kSunset:
      return "sunset";
    case Visibility::kSunriseAndSunset:
      return "sunrise+sunset";
    case Visibility::kNone:
      break;
  }
  return "none";
}

// local --format ics: the eclipse at the place as one calendar event from C1 to C4 (UTC), its
// description listing the contacts in UT. Where the place sees nothing (outside the penumbra, or
// the Sun below the horizon throughout) a message and status 1, and nothing on stdout.
int WriteLocalIcs(const EclipseRecord& r, double deltaT, double lat, double lon, int height,
                  const LocalEclipse& found) {
  const LocalCircumstances& lc = found.circumstances;
  const char* refusal = nullptr;
  if (found.outcome == LocalOutcome::kOutsidePenumbra) {
    refusal = "no eclipse at this place";
  } else if (found.outcome != LocalOutcome::kEclipse || !lc.computed[kC1] || !lc.computed[kC4]) {
    refusal = "the circumstances at this place could not be computed";
  } else if (found.visible.visibility == Visibility::kNone) {
    refusal = "the Sun is below the horizon for the whole eclipse at this place";
  }
  if (refusal) {
    std::cerr << "umbrivista-cli: " << refusal << "; no calendar written\n";
    return 1;
  }
  const double east = std::remainder(lon, 360.0);
  char place[96];
  std::snprintf(place, sizeof place, "%.4f°%c, %.4f°%c", std::fabs(lat), lat < 0 ? 'S' : 'N',
                std::fabs(east), east < 0 ? 'W' : 'E');
  const UTInstant greatest = ContactUT(r, deltaT, lc.contactTime[kMax]);
  const std::string date = IsoDate(greatest.year, greatest.month, greatest.day);
  const bool central = lc.kind != EclipseKind::kPartial;
  const std::string kind = lc.kind == EclipseKind::kTotal     ? "Total"
                           : lc.kind == EclipseKind::kAnnular ? "Annular"
                                                              : "Partial";
  const auto when = [&](double t) {
    std::string text = DateTimeText(ContactUT(r, deltaT, t));
    text[text.find('\t')] = ' ';
    return text + " UT";
  };
  std::string text = kind + " solar eclipse of " + date + " at " + place + "\n";
  static const char* const kNames[5] = {"C1 (first contact)", "C2 (central phase begins)",
                                        "Greatest eclipse", "C3 (central phase ends)",
                                        "C4 (last contact)"};
  for (int i = 0; i < 5; ++i) {
    if (!lc.computed[i]) continue;
    text += std::string(kNames[i]) + ": " + when(lc.contactTime[i]) +
            (lc.sunAltitude[i] < 0 ? ", the Sun below the horizon" : "") + "\n";
  }
  if (found.visible.hasSunrise) text += "Sunrise: " + when(found.visible.sunrise) + "\n";
  if (found.visible.hasSunset) text += "Sunset: " + when(found.visible.sunset) + "\n";
  text += "Magnitude: " + FormatForKind(lc.magnitude, 1, 4, lc.kind) + "\n";
  text += "Obscuration: " + FormatForKind(lc.obscuration, 1, 4, lc.kind);
  if (central) {
    const std::string duration = FormatMinSec(0, CentralDurationMinutes(lc) / 60);
    text += "\nDuration of the " +
            std::string(lc.kind == EclipseKind::kTotal ? "total" : "annular") +
            " phase: " + duration.substr(duration.find_first_not_of(' ')) + " (" +
            FormatFixed(CentralDurationMinutes(lc) * 60, 1) + " s)";
  }
  IcsEvent event;
  char uid[160];
  std::snprintf(uid, sizeof uid, "%s_%.5f_%.5f_%d@umbrivista", date.c_str(), lat, east, height);
  event.uid = uid;
  event.startJulianDay = ContactUT(r, deltaT, lc.contactTime[kC1]).julianDay;
  event.endJulianDay = ContactUT(r, deltaT, lc.contactTime[kC4]).julianDay;
  event.summary = kind + " solar eclipse " + date;
  event.location = place;
  event.latitude = lat;
  event.longitude = east;
  event.description = text;
  const auto calendar = FormatIcsCalendar(event, std::time(nullptr));
  if (!calendar) {
    std::cerr << "umbrivista-cli: iCalendar cannot write dates outside the years 1 to 9999\n";
    return 1;
  }
  std::cout << *calendar;
  return 0;
}

}  // namespace

int RunElements(Args& args) {
  const bool json = TakeFormat(args, {"tsv", "json"}) == "json";
  const bool ut = args.TakeFlag("ut");
  const bool back = args.TakeFlag("back");
  const auto& cat = LoadCatalogue(args);
  const EclipseRecord& r = cat.RecordAt(ParsePosition(args.TakePositional("POS"), cat));
  const double t =
      ParseRealArg(args.TakePositional("T"), "T", -kMaxHoursFromT0, kMaxHoursFromT0, "hours");
  args.ExpectEnd();

  ShadowState s;
  s.deltaT = DeltaTFor(r, ut);
  const InstantResult at = UpdateInstant(r, t, back, s);
  Fields out(json);
  out.Number("x", FormatReal(s.x));
  out.Number("y", FormatReal(s.y));
  out.Number("d_deg", FormatReal(s.d * kRadToDeg));
  out.Number("mu_deg", FormatReal(s.mu * kRadToDeg));
  out.Number("l1", FormatReal(s.l1));
  out.Number("l2", FormatReal(s.l2));
  out.Number("tanf1", FormatReal(s.tanF1));
  out.Number("tanf2", FormatReal(s.tanF2));
  out.Number("zeta", FormatReal(s.zeta));
  out.Flag("axis_on_earth", s.axisOnEarth);
  if (at.onEarth) {
    out.Number("lat_deg", FormatFixed(at.point.latitude * kRadToDeg, 6));
    out.Number("lon_deg", FormatFixed(at.point.longitude * kRadToDeg, 6));
    out.Number("duration_s", FormatFixed(at.quantities.durationSeconds, 2));
    out.Number("path_width_km", FormatFixed(at.quantities.pathWidthKm, 2));
    out.Number("sun_alt_deg", FormatFixed(at.quantities.sunAltitude * kRadToDeg, 4));
    out.Number("sun_az_deg", FormatFixed(at.quantities.sunAzimuth * kRadToDeg, 4));
    out.Number("local_time_h", FormatFixed(at.quantities.localSolarTime, 6));
  }
  return 0;
}

int RunCentreLine(Args& args) {
  const bool back = args.TakeFlag("back");
  const std::string format = TakeFormat(args, {"tsv", "geojson", "kml"});
  const bool ut = TakeMapFrameUt(args, format);
  const auto& cat = LoadCatalogue(args);
  const int position = ParsePosition(args.TakePositional("POS"), cat);
  args.ExpectEnd();
  const EclipseRecord& r = cat.RecordAt(position);
  const double deltaT = DeltaTFor(r, ut);
  // The list keeps the globe's 201 points; the map files are dense enough for a map tool's
  // straight steps.
  constexpr double kMapStepKm = 45;
  const auto line = format == "tsv" ? BuildCentreLine(r, deltaT, back)
                                    : DenseCentreLine(r, deltaT, back, kMapStepKm);
  char name[64];
  // Named by the date of greatest eclipse in the chosen scale.
  const CalendarDate date = GreatestEclipseDate(r, deltaT);
  std::snprintf(name, sizeof name, "Centre line %s",
                IsoDate(date.year, date.month, date.day).c_str());
  if (line.empty()) {
    // Still a valid document, so that a script's map tool opens it.
    std::cerr << "umbrivista-cli: "
              << (IsCentral(r.typeCode)
                      ? "the shadow axis of this eclipse does not meet the Earth"
                      : "this eclipse is not central: its shadow axis misses the Earth")
              << "; the centre line is empty\n";
  }
  std::vector<GeoPoint> points;
  points.reserve(line.size());
  for (const auto& p : line) points.push_back({p.latitude * kRadToDeg, p.longitude * kRadToDeg});
  if (format == "tsv") {
    for (const GeoPoint& p : points) {
      std::cout << FormatFixed(p.longitude, 6) << '\t' << FormatFixed(p.latitude, 6) << '\n';
    }
    return 0;
  }
  if (format == "geojson") {
    std::cout << "{\"type\":\"Feature\",\"properties\":{\"name\":\"" << name
              << "\",\"position\":" << position << "," << JsonFrameProperties(ut, deltaT)
              << "},\"geometry\":" << (points.empty() ? "null" : JsonLineGeometry(points))
              << "}\n";
    return 0;
  }
  std::cout << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            << "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<name>" << name
            << "</name>\n<ExtendedData>" << KmlFrameData(ut, deltaT) << "</ExtendedData>\n"
            << "<Style id=\"centre_line\"><LineStyle><color>ff00d7ff</color><width>3</width>"
            << "</LineStyle></Style>\n";
  if (!points.empty()) {
    std::cout << "<Placemark>\n<name>" << name << "</name>\n<styleUrl>#centre_line</styleUrl>\n"
              << KmlLineGeometry(points) << "</Placemark>\n";
  }
  std::cout << "</Document>\n</kml>\n";
  return 0;
}

int RunLocal(Args& args) {
  const std::string format = TakeFormat(args, {"tsv", "json", "ics"});
  const bool json = format == "json";
  const auto& cat = LoadCatalogue(args);
  const double lat = ParseRealArg(RequiredOption(args, "lat"), "--lat", -90, 90, "degrees");
  const double lon = ParseRealArg(RequiredOption(args, "lon"), "--lon", -360, 360, "degrees");
  const int height =
      ParseIntArg(args.TakeOption("height").value_or("0"), "--height", kMinHeightM, kMaxHeightM);
  const auto givenDeltaT = args.TakeOption("deltat");
  const bool deltaTRange = args.TakeFlag("deltat-range");
  const Language language = TakeLanguage(args);
  Clock clock = TakeClock(args);
  const EclipseRecord& r = cat.RecordAt(ParsePosition(args.TakePositional("POS"), cat));
  args.ExpectEnd();
  if (deltaTRange && format == "ics") throw UsageError("--deltat-range is not for --format ics");

  // Published tables use their own ΔT; --deltat takes theirs for a like-for-like comparison.
  const double deltaT = givenDeltaT ? ParseRealArg(*givenDeltaT, "--deltat", -kMaxDeltaTSeconds,
                                                   kMaxDeltaTSeconds, "s")
                                    : DeltaT(r.year, r.month);
  const double phi = lat * kDegToRad;
  const LocalEclipse found =
      ComputeLocalEclipse(r, deltaT, phi, -lon * kDegToRad, ObserverGeocentric(height, phi));
  if (format == "ics") return WriteLocalIcs(r, deltaT, lat, lon, height, found);
  Fields out(json);
  // `found` says whether the shadow reaches the place, whatever the Sun's altitude; `visible`
  // says how much of the eclipse is above the horizon.
  out.Flag("found", found.outcome == LocalOutcome::kEclipse);
  if (deltaTRange) {
    // ΔT ± 2σ, and the parts of it over which the place sees the central phase.
    const double sigma = DeltaTSigma(r.year, r.month);
    const double lowest = deltaT - 2 * sigma, highest = deltaT + 2 * sigma;
    out.Number("deltat_sigma_s", FormatDeltaTSigma(sigma));
    const std::string range[2] = {FormatFixed(lowest, 1), FormatFixed(highest, 1)};
    if (out.IsJson()) {
      out.Json("deltat_range_s", "[" + range[0] + ", " + range[1] + "]");
    } else {
      Line("deltat_range_s", range[0] + "\t" + range[1]);
    }
    std::string parts;
    for (const DeltaTInterval& part :
         CentralDeltaTIntervals(r, phi, -lon * kDegToRad, ObserverGeocentric(height, phi), lowest,
                                highest)) {
      const std::string a = FormatFixed(part.from, 1), b = FormatFixed(part.to, 1);
      if (out.IsJson()) {
        parts += (parts.empty() ? "[" : ", [") + a + ", " + b + "]";
      } else {
        Line("central_for_deltat_s", a + "\t" + b);
        parts += ".";
      }
    }
    if (out.IsJson()) {
      out.Json("central_for_deltat_s", "[" + parts + "]");
    } else if (parts.empty()) {
      Line("central_for_deltat_s", "none");
    }
  }
  if (found.outcome == LocalOutcome::kOutsidePenumbra) return 0;
  if (found.outcome != LocalOutcome::kEclipse) {
    // Not "no eclipse": the computation itself failed, which a script must not take for one.
    out.Text("reason", "not_settled");
    return 1;
  }
  const LocalCircumstances& lc = found.circumstances;
  const VisiblePart& seen = found.visible;
  FindPlaceZone(clock, lat, lon);
  if (clock.kind != Clock::kUT) {
    out.Text("zone", clock.kind == Clock::kTT ? "TT" : clock.zone.Label());
  }
  out.Text("kind", std::string(1, EclipseKindLetter(lc.kind, language)));
  out.Text("visible", VisibilityWord(seen.visibility));
  // Rounded so that a partial eclipse never reads as a total one, nor a total one as partial.
  out.Number("magnitude", FormatForKind(lc.magnitude, 1, 4, lc.kind));
  out.Number("obscuration", FormatForKind(lc.obscuration, 1, 4, lc.kind));
  // An instant in UT ("date<TAB>time") and on the clock: the TSV lines show the clock's date and
  // time, a civil time followed by "<TAB>abbreviation<TAB>offset"; JSON keeps date_ut and time_ut
  // and adds the clock's members.
  struct ClockText {
    std::string ut, when, zone, json;
  };
  const auto onClock = [&](double t) {
    ClockText text;
    text.ut = text.when = DateTimeText(ContactUT(r, deltaT, t));
    if (clock.kind == Clock::kUT) return text;
    std::optional<CivilOffset> offset;
    text.when = DateTimeText(OnClock(clock, r, deltaT, t, lon, offset));
    const auto tab = text.when.find('\t');
    text.json = ", \"date\": " + Fields::Quoted(text.when.substr(0, tab)) +
                ", \"time\": " + Fields::Quoted(text.when.substr(tab + 1));
    if (offset) {
      text.zone = "\t" + offset->abbreviation + "\t" + FormatUtOffset(offset->seconds);
      text.json += ", \"zone_offset_s\": " + std::to_string(offset->seconds) +
                   ", \"zone_abbreviation\": " + Fields::Quoted(offset->abbreviation);
    }
    return text;
  };
  const auto instant = [&](const char* name, double t) {
    const ClockText at = onClock(t);
    const std::string& when = at.ut;
    const auto tab = when.find('\t');
    if (out.IsJson()) {
      out.Json(name, "{\"date_ut\": " + Fields::Quoted(when.substr(0, tab)) +
                         ", \"time_ut\": " + Fields::Quoted(when.substr(tab + 1)) + at.json + "}");
    } else {
      Line(name, at.when + at.zone);
    }
  };
  if (seen.hasSunrise) instant("sunrise", seen.sunrise);
  if (seen.hasSunset) instant("sunset", seen.sunset);
  if (seen.visibility != Visibility::kNone && !seen.maximumVisible) {
    // Greatest eclipse is below the horizon: the most seen of it, at sunrise or sunset.
    instant("visible_max", seen.greatestTime);
    out.Number("visible_magnitude", FormatForKind(seen.greatestMagnitude, 1, 4, seen.greatestKind));
    out.Number("visible_obscuration",
               FormatForKind(seen.greatestObscuration, 1, 4, seen.greatestKind));
  }
  if (lc.kind != EclipseKind::kPartial) {
    const std::string duration = FormatMinSec(0, CentralDurationMinutes(lc) / 60);
    out.Text("duration", duration.substr(duration.find_first_not_of(' ')));
    out.Json("duration_s", FormatFixed(CentralDurationMinutes(lc) * 60, 1));
  }
  // Outside the central path: where its nearest point is, and the centre line across from it.
  if (const auto near = NearestCentralPath(r, deltaT, lat, lon)) {
    out.Number("nearest_central_km", FormatFixed(near->km, 1));
    out.Number("nearest_central_bearing_deg", FormatFixed(near->bearing * kRadToDeg, 1));
    out.Text("nearest_central_compass", CompassPoint(near->bearing, Language::kEnglish));
    out.Number("nearest_central_lat", FormatFixed(near->point.latitude, 4));
    out.Number("nearest_central_lon", FormatFixed(near->point.longitude, 4));
    if (near->hasCentreLine) {
      out.Text("nearest_central_kind", near->total ? "t" : std::string(1, EclipseKindLetter(
                                                                        EclipseKind::kAnnular,
                                                                        language)));
      out.Number("nearest_central_duration_s", FormatFixed(near->durationSeconds, 1));
    }
  }
  static const char* const kNames[5] = {"C1", "C2", "MAX", "C3", "C4"};
  std::string contacts;
  for (int i = 0; i < 5; ++i) {
    if (!lc.computed[i]) continue;
    const ClockText at = onClock(lc.contactTime[i]);
    const std::string& when = at.ut;
    const std::string p = FormatFixed(lc.positionAngle[i] * kRadToDeg, 2);
    const std::string v = FormatFixed(lc.vertexAngle[i] * kRadToDeg, 2);
    const std::string alt = FormatFixed(lc.sunAltitude[i] * kRadToDeg, 2);
    const std::string refracted = FormatFixed(ApparentAltitude(lc.sunAltitude[i]) * kRadToDeg, 2);
    const std::string az = FormatFixed(lc.sunAzimuth[i] * kRadToDeg, 2);
    const bool down = lc.sunAltitude[i] < 0;
    if (!out.IsJson()) {
      std::cout << kNames[i] << '\t' << at.when << '\t' << p << '\t' << v << '\t' << alt << '\t'
                << refracted << '\t' << az << '\t' << (down ? "down" : "up") << at.zone << '\n';
      continue;
    }
    const auto tab = when.find('\t');
    if (!contacts.empty()) contacts += ", ";
    contacts += "{\"contact\": \"" + std::string(kNames[i]) + "\", \"date_ut\": " +
                Fields::Quoted(when.substr(0, tab)) + ", \"time_ut\": " +
                Fields::Quoted(when.substr(tab + 1)) + ", \"position_angle_deg\": " + p +
                ", \"vertex_angle_deg\": " + v + ", \"sun_alt_deg\": " + alt +
                ", \"sun_alt_refracted_deg\": " + refracted + ", \"sun_az_deg\": " + az +
                ", \"sun_down\": " + (down ? "true" : "false") + at.json + "}";
  }
  out.Json("contacts", "[" + contacts + "]");
  return 0;
}

}  // namespace umbrivista
