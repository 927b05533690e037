// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The title block's lines: the eclipse's kind and date of greatest eclipse in the shown scale,
// the instant with its scale, and a legend of exactly what the picture draws.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eclipse_fixtures.h"
#include "title_block.h"

namespace umbrivista {
namespace {

using K = LegendKind;

std::vector<LegendKind> Kinds(const TitleBlock& block) {
  std::vector<LegendKind> kinds;
  for (const LegendEntry& e : block.legend) kinds.push_back(e.kind);
  return kinds;
}

TEST(TitleBlock, LinesByKindScaleViewAndLanguage) {
  struct Case {
    const char* what;
    TitleBlockInput in;
    const char* title;
    const char* instant;
    std::vector<LegendKind> kinds;
    const char* firstLegend;
  };
  auto input = [](int type, double t, bool ut, double deltaT, Language language) {
    TitleBlockInput in;
    in.record = Eclipse2024Apr08();
    in.record.typeCode = type;
    in.t = t;
    in.ut = ut;
    in.deltaT = deltaT;
    in.language = language;
    return in;
  };
  const std::vector<LegendKind> all = {K::kCentreLine,       K::kCentralLimits, K::kOuterLimits,
                                       K::kMagnitudeCircles, K::kUmbra,         K::kAxisTrack,
                                       K::kEcliptic};
  TitleBlockInput back = input(2, 0, false, 0, Language::kEnglish);
  back.backView = true;
  TitleBlockInput marks = input(1, 0, false, 0, Language::kFrench);
  marks.limits = false;
  marks.overlay = false;
  marks.capitals = marks.pointOfInterest = marks.listPoints = true;
  // T0 at 0 h TT and greatest eclipse some 18 minutes later: with ΔT = 3000 s that is the evening
  // before in UT, and the title names that day. Before 1900 ΔT has no decimals.
  TitleBlockInput early = input(2, 0, true, 3000, Language::kGerman);
  early.record = UsableRecord(1000, 6, 1);
  early.record.t0Hour = 0;
  TitleBlockInput earlyTT = early;
  earlyTT.ut = false;

  const Case cases[] = {
      {"TT, English", input(2, 0.3, false, 69.2, Language::kEnglish),
       "Total solar eclipse 2024-04-08", "2024-04-08  18:18:00 TT", all, "Centre line"},
      {"UT with ΔT", input(2, 0.3, true, 69.2, Language::kEnglish),
       "Total solar eclipse 2024-04-08", "2024-04-08  18:16:51 UT (\u0394T 69.2 s)", all,
       "Centre line"},
      {"annular, German", input(3, -1, false, 0, Language::kGerman),
       "Ringförmige Sonnenfinsternis 2024-04-08", "2024-04-08  17:00:00 TT", all, "Zentrallinie"},
      {"partial, French: no centre line",
       input(1, 0, false, 0, Language::kFrench),
       "Éclipse de soleil partielle 2024-04-08",
       "2024-04-08  18:00:00 TT",
       {K::kOuterLimits, K::kMagnitudeCircles, K::kUmbra, K::kAxisTrack, K::kEcliptic},
       "Limites de l'éclipse partielle, courbes lever/coucher"},
      {"back view: no circles",
       back,
       "Total solar eclipse 2024-04-08",
       "2024-04-08  18:00:00 TT",
       {K::kCentreLine, K::kCentralLimits, K::kOuterLimits, K::kUmbra, K::kAxisTrack, K::kEcliptic},
       "Centre line"},
      {"marks only",
       marks,
       "Éclipse de soleil partielle 2024-04-08",
       "2024-04-08  18:00:00 TT",
       {K::kPointOfInterest, K::kListPoints, K::kCapitals},
       "Marqueur"},
      {"UT the evening before", early, "Totale Sonnenfinsternis 1000-05-31",
       "1000-05-31  23:10:00 UT (\u0394T 3000 s)", all, "Zentrallinie"},
      {"the same in TT", earlyTT, "Totale Sonnenfinsternis 1000-06-01", "1000-06-01  00:00:00 TT",
       all, "Zentrallinie"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TitleBlock block = BuildTitleBlock(c.in);
    EXPECT_EQ(block.title, c.title);
    EXPECT_EQ(block.instant, c.instant);
    EXPECT_EQ(Kinds(block), c.kinds);
    ASSERT_FALSE(block.legend.empty());
    EXPECT_EQ(block.legend.front().text, c.firstLegend);
    EXPECT_EQ(block.backView, c.in.backView);
    for (const LegendEntry& e : block.legend) EXPECT_FALSE(e.text.empty());
  }
}

TEST(TitleBlock, UnknownLanguageGivesNoTexts) {
  TitleBlockInput in;
  in.record = Eclipse2024Apr08();
  in.language = static_cast<Language>(7);
  const TitleBlock block = BuildTitleBlock(in);
  EXPECT_TRUE(block.title.empty());
  EXPECT_TRUE(block.legend.empty());
}

}  // namespace
}  // namespace umbrivista
