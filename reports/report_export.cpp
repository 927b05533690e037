// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report_export.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "julian_day.h"
#include "numbers.h"

namespace umbrivista {

namespace {

// One value of a record: a number's text, a string, or nothing.
struct Value {
  enum Type { kAbsent, kNumber, kText } type = kAbsent;
  std::string text;
  bool name = false;  // a place or country name as read or typed
};

Value Number(double value, int decimals) {
  if (!std::isfinite(value)) return {};
  return {Value::kNumber, FormatFixed(value, decimals)};
}

Value Integer(long long value) {
  return {Value::kNumber, std::to_string(value)};
}

Value Text(std::string text) {
  return {Value::kText, std::move(text)};
}

std::string DateText(int year, int month, int day) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s%04d-%02d-%02d", year < 0 ? "-" : "", std::abs(year), month,
                day);
  return buf;
}

const char* const kSlotNames[5] = {"c1", "c2", "max", "c3", "c4"};

// The values of one row in the order of ReportColumnNames.
std::vector<Value> RecordValues(const ReportRowValues& v) {
  std::vector<Value> out;
  out.reserve(35);
  out.push_back(Text(DateText(v.year, v.month, v.day)));
  out.push_back(Number(v.deltaT, 1));
  out.push_back(Text(std::string(1, v.kind)));
  out.push_back(Integer(v.saros));
  out.push_back(Integer(v.sarosMember));
  out.push_back(Integer(v.sarosCount));
  out.push_back({Value::kText, v.country, true});
  out.push_back({Value::kText, v.place, true});
  out.push_back(std::isfinite(v.latitude) ? Value{Value::kNumber, FormatShortest(v.latitude)}
                                          : Value{});
  out.push_back(std::isfinite(v.longitude) ? Value{Value::kNumber, FormatShortest(v.longitude)}
                                           : Value{});
  out.push_back(Integer(v.height));
  out.push_back(Integer(v.population));
  for (int slot = kC1; slot <= kC4; ++slot) {
    if (v.shown[slot]) {
      out.push_back(Text(IsoInstantText(v.when[slot])));
      out.push_back(Number(v.positionAngle[slot], 2));
      out.push_back(Number(v.vertexAngle[slot], 2));
      out.push_back(Number(v.sunAltitude[slot], 2));
    } else {
      out.insert(out.end(), 4, Value{});
    }
    if (slot == kMax) {
      out.push_back(v.shown[kMax] ? Number(v.magnitude, 4) : Value{});
      out.push_back(v.shown[kMax] ? Number(v.obscuration, 4) : Value{});
      out.push_back(v.hasDuration ? Number(v.durationSeconds, 0) : Value{});
    }
  }
  return out;
}

// The place's clock: zone, offset and the five local instants.
void AppendClock(const ReportRowValues& v, const ReportClock& clock, std::vector<Value>& out) {
  const std::size_t start = out.size();
  out.insert(out.end(), 7, Value{});
  if (!clock.zones || !std::isfinite(v.latitude) || !std::isfinite(v.longitude)) return;
  const PointZone zone = clock.zones->Find(v.latitude, v.longitude);
  out[start] = Text(zone.Label());
  bool haveOffset = false;
  for (int slot : {kMax, kC1, kC2, kC3, kC4}) {
    if (!v.shown[slot]) continue;
    const auto offset = CivilOffsetAt(zone, v.when[slot].julianDay, v.longitude, clock.offsets);
    if (!offset) continue;
    if (!haveOffset) out[start + 1] = Integer(offset->seconds);
    haveOffset = true;
    // The local instant in the form of the UT one, without its "Z".
    const double local = v.when[slot].julianDay + offset->seconds / 86400.0;
    const CalendarDate date = JDToCalendar(std::floor(local - 0.5) + 0.5);
    UTInstant at;
    at.year = date.year;
    at.month = date.month;
    at.day = date.day;
    at.hours = (local - (std::floor(local - 0.5) + 0.5)) * 24;
    std::string text = IsoInstantText(at);
    text.pop_back();
    out[start + 2 + slot] = Text(std::move(text));
  }
}

// A spreadsheet reads a cell starting with one of these as a formula.
bool LooksLikeFormula(std::string_view text) {
  return !text.empty() && std::string_view("=+-@").find(text.front()) != std::string_view::npos;
}

void AppendJsonString(std::string_view text, std::string& out) {
  out += '"';
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace

const std::vector<std::string>& ReportColumnNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n = {"date_ut",      "delta_t_s",     "kind",     "saros",
                                  "saros_member", "saros_count",   "country",  "place",
                                  "latitude_deg", "longitude_deg", "height_m", "population"};
    for (const char* slot : kSlotNames) {
      for (const char* suffix : {"_ut", "_p_deg", "_v_deg", "_alt_deg"}) {
        n.push_back(std::string(slot) + suffix);
      }
      if (std::string_view(slot) == "max") {
        n.insert(n.end(), {"magnitude", "obscuration", "duration_s"});
      }
    }
    n.insert(n.end(), {"time_zone", "utc_offset_s"});
    for (const char* slot : kSlotNames) n.push_back(std::string(slot) + "_local");
    return n;
  }();
  return names;
}

std::string IsoInstantText(const UTInstant& when) {
  long long s = static_cast<long long>(std::trunc(std::clamp(when.hours, 0.0, 24.0) * 3600 + 0.5));
  int year = when.year, month = when.month, day = when.day;
  if (s >= 86400) {
    // Rounded up to midnight: the next day's date.
    const CalendarDate next = JDToCalendar(CalendarToJD(year, month, day, 36, 0, 0));
    year = next.year;
    month = next.month;
    day = next.day;
    s -= 86400;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "T%02lld:%02lld:%02lldZ", s / 3600, s / 60 % 60, s % 60);
  return DateText(year, month, day) + buf;
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string ReportCsvText(const std::vector<ReportRow>& rows, const ReportClock& clock) {
  std::string text;
  const auto& names = ReportColumnNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i) text += ',';
    text += names[i];
  }
  text += "\r\n";
  for (const ReportRow& row : rows) {
    std::vector<Value> values = RecordValues(row.values);
    AppendClock(row.values, clock, values);
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (i) text += ',';
      const Value& value = values[i];
      if (value.name && LooksLikeFormula(value.text)) {
        text += CsvField("'" + value.text);
      } else {
        text += CsvField(value.text);
      }
    }
    text += "\r\n";
  }
  return text;
}

std::string ReportJsonText(const std::vector<ReportRow>& rows, const ReportClock& clock) {
  std::string text = "[";
  const auto& names = ReportColumnNames();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    text += r ? ",\n{" : "\n{";
    std::vector<Value> values = RecordValues(rows[r].values);
    AppendClock(rows[r].values, clock, values);
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (i) text += ',';
      AppendJsonString(names[i], text);
      text += ':';
      switch (values[i].type) {
        case Value::kAbsent:
          text += "null";
          break;
        case Value::kNumber:
          text += values[i].text;
          break;
        case Value::kText:
          AppendJsonString(values[i].text, text);
          break;
      }
    }
    text += '}';
  }
  text += "\n]\n";
  return text;
}

}  // namespace umbrivista
