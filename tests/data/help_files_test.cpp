// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The help pages in German, English and French: every link of the table of contents leads to a
// section of the same page, and the three languages cover the same sections.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "shipped_catalogue.h"

namespace {

std::string ReadHelp(const std::string& name) {
  std::ifstream in(std::string(UMBRIVISTA_DATA_DIR) + "/help/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::set<std::string> Matches(const std::string& text, const std::regex& pattern) {
  std::set<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
       it != std::sregex_iterator(); ++it) {
    found.insert((*it)[1].str());
  }
  return found;
}

TEST(HelpFiles, TableOfContentsLinksResolveAndLanguagesAgree) {
  const std::regex anchor(R"re(<a name="([^"]+)")re");
  const std::regex link(R"re(<a href="#([^"]+)")re");
  const std::set<std::string> sections = {
      "contents", "start",        "choose",  "globe", "panel", "animation", "poi",
      "citylist", "placehistory", "columns", "time",  "files", "sources"};
  for (const char* name : {"UmbrivistaDE.html", "UmbrivistaEN.html", "UmbrivistaFR.html"}) {
    SCOPED_TRACE(name);
    const std::string text = ReadHelp(name);
    ASSERT_FALSE(text.empty()) << "missing";
    EXPECT_NE(text.find("<meta charset=\"utf-8\">"), std::string::npos);
    const auto anchors = Matches(text, anchor);
    EXPECT_EQ(anchors, sections);
    for (const std::string& target : Matches(text, link)) {
      EXPECT_TRUE(anchors.count(target)) << "link to missing section #" << target;
    }
    // The contents list links every section.
    EXPECT_EQ(Matches(text, link).size(), sections.size());
  }
}

}  // namespace

namespace umbrivista {
namespace {

// The Saros box takes the numbers of the shipped catalogue; the help pages name that range.
TEST(HelpFiles, SarosRangeIsTheCatalogues) {
  const EclipseCatalogue& c = ShippedCatalogue();
  auto number = [](int n) { return (n < 0 ? "&minus;" : "") + std::to_string(n < 0 ? -n : n); };
  const std::string range = number(c.MinSaros()) + " &hellip; " + number(c.MaxSaros());
  for (const char* name : {"UmbrivistaDE.html", "UmbrivistaEN.html", "UmbrivistaFR.html"}) {
    const std::string text = ReadHelp(name);
    EXPECT_NE(text.find(range), std::string::npos) << name << " lacks " << range;
    EXPECT_EQ(text.find("282"), std::string::npos) << name;
  }
}

}  // namespace
}  // namespace umbrivista
