// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// What the window's picture export takes from the session: the frame of the globe in a picture of
// another size, the title block's choices, and the file types offered.

#include <gtest/gtest.h>

#include <string>

#include "picture_export.h"
#include "session.h"
#include "shipped_catalogue.h"
#include "window_texts.h"

namespace umbrivista {
namespace {

TEST(PictureExport, KeepsTheDraggedFrameAndTheShownChoices) {
  Session session("0.1.0");
  ASSERT_EQ(session.LoadCatalogue(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName), "");
  session.ApplySettings(DefaultSettings("0.1.0"));
  session.Start();
  session.SelectPosition(16690);
  session.SetUt(true);
  session.SetBackView(true);
  session.SetZoom(250);
  session.CentreGlobe(400, 300);
  session.MoveGlobe(30, -20);
  session.PlacePoI(32.78, -96.8);
  // The globe's centre keeps its offset from the picture's centre at any size.
  const struct {
    int width, height, x, y;
  } frames[] = {{400, 300, 230, 130}, {800, 600, 430, 280}, {101, 51, 80, 5}};
  for (const auto& f : frames) {
    const GlobePictureOptions o =
        WindowPictureOptions(session, f.width, f.height, 400, 300, "tex.jpg", {{"A", 1, 2}});
    ASSERT_TRUE(o.origin.has_value());
    EXPECT_EQ(*o.origin, std::make_pair(f.x, f.y)) << f.width;
    EXPECT_EQ(o.zoom, 250);
    EXPECT_EQ(o.deltaT, session.DeltaTInUse());
    EXPECT_NE(o.deltaT, 0);
    EXPECT_TRUE(o.back);
    EXPECT_EQ(o.poi, std::make_pair(32.78, -96.8));
    EXPECT_EQ(o.listMarks.size(), 1u);
  }
  const TitleBlock block = BuildTitleBlock(WindowTitleBlockInput(session, true));
  EXPECT_EQ(block.title, "Totale Sonnenfinsternis 2024-04-08");
  EXPECT_NE(block.instant.find(" UT (\u0394T "), std::string::npos);
  EXPECT_TRUE(block.backView);
  EXPECT_EQ(block.legend.back().kind, LegendKind::kListPoints);
  EXPECT_EQ(DefaultPictureName(session), "eclipse-2024-04-08");
}

TEST(PictureExport, EachLanguageOffersTheThreeFileTypesInOrder) {
  for (Language language : kLanguages) {
    const PictureExportTexts texts = ExportTexts(language);
    EXPECT_NE(texts.filters[0].find("(*.png)"), std::string::npos);
    EXPECT_NE(texts.filters[1].find("(*.svg)"), std::string::npos);
    EXPECT_NE(texts.filters[2].find("(*.pdf)"), std::string::npos);
    for (const std::string& text : {texts.sizeTitle, texts.width, texts.height, texts.titleBlock})
      EXPECT_FALSE(text.empty());
  }
}

}  // namespace
}  // namespace umbrivista
