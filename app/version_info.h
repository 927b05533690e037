// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rows of the version panel: key (padded to 16 characters) and value.

#include <array>
#include <string>
#include <vector>

#include "language.h"

namespace umbrivista {

struct VersionRow {
  std::string key;
  std::string value;
};
inline constexpr int kVersionRowCount = 17;

// What the build says about itself; the flags are false unless the build sets them.
struct BuildFacts {
  std::string version;   // "0.2.0"
  std::string fileType;  // the MIME database's name of the program file's type
  bool debug = false, preRelease = false, privateBuild = false, specialBuild = false;
};

std::array<VersionRow, kVersionRowCount> VersionInfoRows(const BuildFacts& facts);

// "Umbrivista      0.2.0": the product label of the panel.
std::string ProductLabel(const std::string& version);

// What the panel says below the grid: the licence, the sources of the data the program shows
// with the credit they ask for, and where the documentation is.
struct AboutTexts {
  std::string licenceTitle;
  std::string licence;
  std::string creditsTitle;
  std::vector<std::string> credits;
  std::string documentation;  // the text of the link that opens the help pages
};
AboutTexts AboutPanelTexts(Language language);

}  // namespace umbrivista
