// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// search: usage errors, the output forms, and the README's copy of the usage text.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "cli_runner.h"

namespace umbrivista {
namespace {

TEST(CliSearch, UsageErrorsExitWithStatusTwoAndSayWhy) {
  struct Case {
    const char* args;
    const char* message;
  };
  const Case cases[] = {
      {"--from 2100 --to 2000", "later than --to"},
      {"--from x", "--from"},
      {"--kind total,eclipse", "unknown kind"},
      {"--kind ''", "unknown kind"},
      {"--min-duration -5", "--min-duration"},
      {"--min-magnitude 3", "--min-magnitude"},
      {"--max-gamma abc", "--max-gamma"},
      {"--saros 1.5", "--saros"},
      {"--near 40,-74", "--near and --within"},
      {"--within 100", "--near and --within"},
      {"--near 91,0 --within 5", "--near latitude"},
      {"--central-at 40", "LAT,LON"},
      {"--central-at 40,-74 --visible-from 40,-74", "at most one"},
      {"--country ''", "--country needs a name"},
      {"--country Atlantis", "no places of"},
      {"--places x.txt", "--places needs --country"},
      {"--sort colour", "--sort"},
      {"--sort place_kind", "--sort"},
      {"--desc", "--desc needs --sort"},
      {"--format xml", "--format"},
      {"--lang xx", "--lang"},
      {"--bogus 1", "bogus"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.args);
    const Result r = RunShell(CliPath() + " search " + k.args + " 2>&1 >/dev/null");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find(k.message), std::string::npos) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
  }
}

TEST(CliSearch, WritesSortedTsvAndJson) {
  const Result tsv = RunCli(
      "search --from 2001 --to 2100 --kind total,central --min-duration 360 --sort duration --desc");
  ASSERT_EQ(tsv.status, 0);
  std::istringstream lines(tsv.out);
  std::string header, first;
  std::getline(lines, header);
  std::getline(lines, first);
  EXPECT_EQ(header.rfind("pos\tdate\tkind\tsaros\tduration\t", 0), 0u) << header;
  // 2027-08-02 and 2009-07-22 are the longest total eclipses of the century; 2009 the longer.
  EXPECT_NE(first.find("\t2009-07-22\ttotal\t"), std::string::npos) << first;
  EXPECT_NE(tsv.out.find("\t2027-08-02\t"), std::string::npos);

  const Result json = RunCli("search --from 2024 --to 2024 --central-at 32.78,-96.8 --format json");
  ASSERT_EQ(json.status, 0);
  EXPECT_NE(json.out.find("\"date\":\"2024-04-08\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"place_kind\":\"total\""), std::string::npos) << json.out;
  EXPECT_EQ(json.out.front(), '[');
  EXPECT_NE(json.out.find("\"saros\":\"139 (30/71)\",\"duration\":268."), std::string::npos)
      << json.out;
}

// The README quotes `umbrivista-cli --help` between "What `umbrivista-cli --help` prints:" and
// the end of its code block.
TEST(CliSearch, ReadmeQuotesTheUsageTextExactly) {
  std::ifstream in(std::string(UMBRIVISTA_DATA_DIR) + "/../README.md");
  ASSERT_TRUE(in);
  std::stringstream all;
  all << in.rdbuf();
  const std::string text = all.str();
  const auto intro = text.find("What `umbrivista-cli --help` prints:");
  ASSERT_NE(intro, std::string::npos);
  const auto start = text.find("```\n", intro) + 4;
  const auto end = text.find("```", start);
  EXPECT_EQ(text.substr(start, end - start), RunCli("--help").out);
}

}  // namespace
}  // namespace umbrivista
