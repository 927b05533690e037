// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// umbrivista-cli local --time: the contacts on the place's clock, a named zone's, TT's, or
// nautical time at sea; an unknown zone is a usage error.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace umbrivista {
namespace {

// The TAB-separated fields after NAME on the line that starts with it.
std::vector<std::string> LineFields(const std::string& out, const std::string& name) {
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(name + "\t", 0) != 0) continue;
    std::vector<std::string> fields;
    std::istringstream cells(line.substr(name.size() + 1));
    for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
    return fields;
  }
  return {};
}

double Seconds(const std::string& hhmmss) {
  return std::stoi(hhmmss.substr(0, 2)) * 3600 + std::stoi(hhmmss.substr(3, 2)) * 60 +
         std::stod(hhmmss.substr(6));
}

// Madrid keeps CEST, UT+2, in August: every time two hours after UT, the rest of each line as
// it was, the abbreviation and the offset added at its end.
TEST(CliLocalTime, MadridOnItsOwnClock) {
  const std::string place = "local 16695 --lat 40.42 --lon -3.70";  // 2026-08-12
  const Result ut = RunCli(place);
  const Result local = RunCli(place + " --time local");
  ASSERT_EQ(local.status, 0);
  EXPECT_EQ(LineFields(local.out, "zone"), std::vector<std::string>{"Europe/Madrid"});
  EXPECT_EQ(RunCli(place + " --time ut").out, ut.out);
  for (const char* name : {"C1", "MAX", "C4", "sunset"}) {
    SCOPED_TRACE(name);
    const auto u = LineFields(ut.out, name);
    const auto l = LineFields(local.out, name);
    ASSERT_EQ(l.size(), u.size() + 2) << local.out;
    EXPECT_EQ(l[0], "2026-08-12");
    EXPECT_NEAR(Seconds(l[1]) - Seconds(u[1]), 7200, 0.01);
    EXPECT_EQ(std::vector(l.begin() + 2, l.end() - 2), std::vector(u.begin() + 2, u.end()));
    EXPECT_EQ(l[l.size() - 2], "CEST");
    EXPECT_EQ(l.back(), "UT+2");
  }
}

// Dallas in the named zone: totality from 13:40:43 CDT (NASA, with ΔT = 69.1 s), in JSON beside
// UT; TT runs ΔT ahead; mid-Atlantic is nautical; a zone tzdata does not know is refused.
TEST(CliLocalTime, NamedZoneTerrestrialTimeNauticalAndUnknown) {
  const std::string dallas = "local 16690 --lat 32.78 --lon -96.80 --height 130 --deltat 69.1";
  const Result chicago = RunCli(dallas + " --time America/Chicago");
  ASSERT_EQ(chicago.status, 0);
  EXPECT_NEAR(Seconds(LineFields(chicago.out, "C2").at(1)), Seconds("13:40:43"), 1.5);
  EXPECT_EQ(LineFields(chicago.out, "C2").at(8), "CDT");
  EXPECT_EQ(LineFields(chicago.out, "C2").at(9), "UT\u22125");
  const Result json = RunCli(dallas + " --time America/Chicago --format json");
  EXPECT_NE(json.out.find("\"zone\": \"America/Chicago\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"date\": \"2024-04-08\", \"time\": \"13:40:"), std::string::npos);
  EXPECT_NE(json.out.find("\"zone_offset_s\": -18000, \"zone_abbreviation\": \"CDT\"}"),
            std::string::npos);

  const Result tt = RunCli(dallas + " --time tt");
  EXPECT_EQ(LineFields(tt.out, "zone"), std::vector<std::string>{"TT"});
  EXPECT_NEAR(
      Seconds(LineFields(tt.out, "C2").at(1)) - Seconds(LineFields(chicago.out, "C2").at(1)),
      5 * 3600 + 69.1, 0.15);

  const Result sea = RunCli("local 16690 --lat 20 --lon -40 --time local");
  ASSERT_EQ(sea.status, 0);
  EXPECT_EQ(LineFields(sea.out, "zone"), std::vector<std::string>{"UT\u22123 (nautical)"});
  EXPECT_EQ(LineFields(sea.out, "MAX").at(9), "UT\u22123");

  const Result mars = RunCli(dallas + " --time Mars/Olympus", true);
  EXPECT_EQ(mars.status, 2);
  EXPECT_NE(mars.out.find("--time must be ut, tt, local or a time zone"), std::string::npos)
      << mars.out;
}

}  // namespace
}  // namespace umbrivista
