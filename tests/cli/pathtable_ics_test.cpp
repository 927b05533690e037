// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// pathtable and local --format ics, run through the built CLI; the calendar's own rules.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "ics.h"

using namespace umbrivista;

namespace {

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> out;
  std::string field;
  std::istringstream in(text);
  while (std::getline(in, field, sep)) out.push_back(field);
  return out;
}

// "hh:mm:ss" or "hh:mm:ss.s" as seconds of the day.
double Seconds(const std::string& clock) {
  return std::stoi(clock.substr(0, 2)) * 3600 + std::stoi(clock.substr(3, 2)) * 60 +
         std::stod(clock.substr(6));
}

// The value of a "name<TAB>value…" line of local's output.
std::vector<std::string> LocalLine(const std::string& out, const std::string& name) {
  for (const std::string& line : Split(out, '\n')) {
    const auto fields = Split(line, '\t');
    if (!fields.empty() && fields[0] == name) return fields;
  }
  return {};
}

TEST(CliPathTable, RowsNameTheirScaleAndCountTheAzimuthFromNorth) {
  const Result csv = RunCli("pathtable 16690 --format csv --step 10");
  ASSERT_EQ(csv.status, 0);
  const auto lines = Split(csv.out, '\n');
  ASSERT_GT(lines.size(), 15u);  // 16:40 … 19:50 UT
  const std::string deltaT = RunCli("deltat 2024 4").out;
  bool seen = false;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const auto f = Split(lines[i] + ",", ',');  // a trailing empty field survives
    ASSERT_EQ(f.size(), 15u) << lines[i];
    EXPECT_EQ(f[2], "UT");
    EXPECT_NEAR(std::stod(f[3]), std::stod(deltaT), 0.05);
    if (f[1] != "19:00") continue;
    // The same instant through `elements`, whose azimuth counts from south towards west.
    seen = true;
    const double t = 1 + std::stod(f[3]) / 3600;
    const Result el = RunCli("elements 16690 " + std::to_string(t) + " --ut");
    const double fromSouth = std::stod(LocalLine(el.out, "sun_az_deg").at(1));
    EXPECT_NEAR(std::stod(f[11]), std::fmod(fromSouth + 360 + 180, 360), 0.06);
    EXPECT_NEAR(std::stod(f[6]), std::stod(LocalLine(el.out, "lat_deg").at(1)), 1e-3);
    EXPECT_NEAR(std::stod(f[7]), std::stod(LocalLine(el.out, "lon_deg").at(1)), 1e-3);
  }
  EXPECT_TRUE(seen);

  // A partial eclipse: the header alone.
  const std::string partial = RunCli("catalogue find --year 2025").out;  // 2025-03-29
  const Result none = RunCli("pathtable " + partial.substr(0, partial.size() - 1));
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(Split(none.out, '\n').size(), 1u);
  for (const char* bad : {"--step 0.2", "--step 61", "--ut --tt", "--format kml"}) {
    EXPECT_EQ(RunCli(std::string("pathtable 16690 ") + bad).status, 2) << bad;
  }
}

TEST(CliIcs, DallasEventSpansC1ToC4) {
  const std::string place = "local 16690 --lat 32.78 --lon -96.80";
  const Result tsv = RunCli(place);
  const Result ics = RunCli(place + " --format ics");
  ASSERT_EQ(ics.status, 0);
  // CR LF line ends, at most 75 octets a line; then unfold.
  std::string unfolded;
  std::size_t start = 0;
  while (start < ics.out.size()) {
    const auto end = ics.out.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    const std::string line = ics.out.substr(start, end - start);
    EXPECT_LE(line.size(), 75u);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    if (!line.empty() && line[0] == ' ') {
      unfolded += line.substr(1);
    } else {
      unfolded += (unfolded.empty() ? "" : "\n") + line;
    }
    start = end + 2;
  }
  const auto lines = Split(unfolded, '\n');
  const auto value = [&](const std::string& name) {
    for (const std::string& l : lines) {
      if (l.rfind(name + ":", 0) == 0) return l.substr(name.size() + 1);
    }
    return std::string();
  };
  EXPECT_EQ(lines.front(), "BEGIN:VCALENDAR");
  EXPECT_EQ(lines.back(), "END:VCALENDAR");
  EXPECT_EQ(value("GEO"), "32.780000;-96.800000");
  EXPECT_NE(value("LOCATION").find("N\\, 96.8000"), std::string::npos);
  for (const auto& [name, contact] : {std::pair{"DTSTART", "C1"}, std::pair{"DTEND", "C4"}}) {
    const auto c = LocalLine(tsv.out, contact);
    ASSERT_GE(c.size(), 3u) << contact;
    const std::string when = value(name);
    ASSERT_EQ(when.size(), 16u) << when;
    EXPECT_EQ(when.substr(0, 9), "20240408T");
    EXPECT_EQ(when.back(), 'Z');
    const std::string clock =
        when.substr(9, 2) + ":" + when.substr(11, 2) + ":" + when.substr(13, 2);
    EXPECT_NEAR(Seconds(clock), Seconds(c[2]), 0.55) << contact;
  }
  const std::string description = value("DESCRIPTION");
  const std::string duration = LocalLine(tsv.out, "duration").at(1);
  EXPECT_NE(description.find("phase: " + duration + " ("), std::string::npos) << description;
  EXPECT_NE(description.find("\\n"), std::string::npos);

  // Outside the penumbra: status 1 and nothing on stdout.
  const Result none = RunCli("local 16690 --lat -60 --lon 100 --format ics");
  EXPECT_EQ(none.status, 1);
  EXPECT_TRUE(none.out.empty());
}

TEST(Ics, DatesTextAndFolding) {
  const struct {
    double jd;
    const char* text;
  } kDates[] = {
      {2451545.0, "20000101T120000Z"},
      {2299160.5, "15821015T000000Z"},  // the first Gregorian day
      {2299159.5, "15821014T000000Z"},  // Julian 1582-10-04, proleptic Gregorian
      {2460409.2627315, "20240408T181820Z"},
      {1721425.5, "00010101T000000Z"},
  };
  for (const auto& d : kDates) EXPECT_EQ(IcsDateTime(d.jd).value_or("none"), d.text) << d.jd;
  EXPECT_FALSE(IcsDateTime(1721424.5));  // year 0
  EXPECT_FALSE(IcsDateTime(5373484.5));  // year 10000
  EXPECT_FALSE(IcsDateTime(NAN));
  EXPECT_EQ(IcsText("a,b;c\\d\ne\r\n\x01"), "a\\,b\\;c\\\\d\\ne\\n ");
  // Folding keeps UTF-8 characters whole.
  std::string line = "DESCRIPTION:";
  for (int i = 0; i < 60; ++i) line += "°x";
  const std::string folded = FoldIcsLine(line);
  std::string joined;
  for (const std::string& part : Split(folded, '\n')) {
    ASSERT_EQ(part.back(), '\r');
    ASSERT_LE(part.size() - 1, 75u);
    const std::string body = part.substr(0, part.size() - 1);
    joined += joined.empty() ? body : body.substr(1);
    EXPECT_NE(static_cast<unsigned char>(body[joined.size() == body.size() ? 0 : 1]) & 0xC0, 0x80);
  }
  EXPECT_EQ(joined, line);
}

}  // namespace

namespace {

// ΔT's uncertainty and a ΔT of the caller's: deltat --sigma as the Canon's table has it, and
// limits --deltat S turning the Earth exactly as the program's own ΔT or TT does for that S.
TEST(CliDeltaT, SigmaAndAGivenDeltaT) {
  const std::pair<const char*, const char*> sigmas[] = {
      {"deltat 0 6 --sigma", "\nsigma 265 s\n"},
      {"deltat 1000 6 --sigma", "\nsigma 54 s\n"},
      {"deltat -1000 6 --sigma", "\nsigma 636 s\n"},
      {"deltat 1900 1 --sigma", "\nsigma 0.1 s\n"},
  };
  for (const auto& [args, line] : sigmas) {
    const Result r = RunCli(args);
    EXPECT_EQ(r.status, 0) << args;
    EXPECT_NE(r.out.find(line), std::string::npos) << args << ": " << r.out;
  }
  const std::string model = RunCli("deltat 2024 4").out;
  const std::string deltaT = model.substr(0, model.find('\n'));
  EXPECT_EQ(RunCli("limits 16690 --deltat " + deltaT).out, RunCli("limits 16690 --ut").out);
  EXPECT_EQ(RunCli("limits 16690 --deltat 0").out, RunCli("limits 16690").out);
  EXPECT_NE(RunCli("limits 16690 --deltat 0").out, RunCli("limits 16690 --ut").out);
  EXPECT_EQ(RunCli("limits 16690 --deltat 60 --tt").status, 2);
  EXPECT_EQ(RunCli("limits 16690 --deltat x").status, 2);
}

}  // namespace

namespace {

// The eclipse of −584-05-28 at Sardis: total for ΔT from the low end of ±2σ up to a limit; the
// kind at ΔT just either side of that limit agrees with the range, and a ΔT beyond it sees only a
// partial eclipse.
TEST(CliDeltaT, CentralRangeOfAnAncientEclipse) {
  const std::string sardis = "local 10507 --lat 38.49 --lon 28.04";
  const Result r = RunCli(sardis + " --deltat-range");
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("deltat_sigma_s\t462\n"), std::string::npos) << r.out;
  const std::size_t at = r.out.find("central_for_deltat_s\t");
  ASSERT_NE(at, std::string::npos) << r.out;
  std::istringstream line(r.out.substr(at + 21));
  double from = 0, to = 0;
  line >> from >> to;
  const std::size_t range = r.out.find("deltat_range_s\t");
  EXPECT_DOUBLE_EQ(from, std::stod(r.out.substr(range + 15)));
  EXPECT_GT(to, 18384.4);  // the program's ΔT for that month lies inside
  auto kind = [&](double deltaT) {
    const Result k = RunCli(sardis + " --deltat " + std::to_string(deltaT));
    return k.out.substr(k.out.find("kind\t") + 5, 1);
  };
  EXPECT_EQ(kind(to - 1), "t");
  EXPECT_EQ(kind(to + 1), "p");
  EXPECT_EQ(kind(19300), "p");
  // A place the path misses for every ΔT of the range.
  const Result none = RunCli("local 10507 --lat 30 --lon 28.04 --deltat-range --format json");
  EXPECT_NE(none.out.find("\"central_for_deltat_s\": []"), std::string::npos) << none.out;
}

}  // namespace
