// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "captions.h"
#include "eclipse_fixtures.h"
#include "eclipse_types.h"
#include "string_table.h"

using namespace umbrivista;

namespace {

TEST(TypeNames, AllTypesInAllLanguages) {
  const char* const longNames[6][3] = {
      {"Partielle Sonnenfinsternis", "Partial solar eclipse", "Éclipse de soleil partielle"},
      {"Totale Sonnenfinsternis", "Total solar eclipse", "Éclipse de soleil totale"},
      {"Ringförmige Sonnenfinsternis", "Annular solar eclipse", "Éclipse de soleil annulaire"},
      {"Ringförmig-totale Sonnenfinsternis", "Annular-total solar eclipse",
       "Éclipse de soleil annulaire totale"},
      {"Nichtzentrale totale Sonnenfinsternis", "Non-central total solar eclipse",
       "Éclipse de soleil totale non centrale"},
      {"Nichtzentrale ringförmige Sonnenfinsternis", "Non-central annular solar eclipse",
       "Éclipse de soleil annulaire non centrale"}};
  const char* const shortNames[6][3] = {
      {"Partielle Sonnenfinsternis", "Partial solar eclipse", "Éclipse de soleil partielle"},
      {"Totale Sonnenfinsternis", "Total solar eclipse", "Éclipse de soleil totale"},
      {"Ringförmige Sonnenfinsternis", "Annular solar eclipse", "Éclipse de soleil annulaire"},
      {"Ringf.-totale Sonnenfinst.", "Ann-total solar eclipse",
       "Éclipse de soleil annulaire-totale"},
      {"Nichtzentrale totale SoFi", "Non-central total solar eclipse",
       "Éclipse de soleil totale non centrale"},
      {"Nichtzentrale ringf. SoFi", "Non-central annular solar ecl.",
       "Éclipse de soleil annulaire non centrale"}};
  for (int code = 1; code <= 6; ++code) {
    for (int lang = 0; lang < 3; ++lang) {
      const Language language = kLanguages[static_cast<std::size_t>(lang)];
      EXPECT_EQ(LongTypeName(code, language), longNames[code - 1][lang]) << code << "/" << lang;
      EXPECT_EQ(ShortTypeName(code, language), shortNames[code - 1][lang]) << code << "/" << lang;
    }
  }
  for (int code : {0, 7, -1}) {
    EXPECT_EQ(LongTypeName(code, Language::kGerman), "");
    EXPECT_EQ(ShortTypeName(code, Language::kFrench), "");
  }
  EXPECT_EQ(LongTypeName(2, static_cast<Language>(3)), "");
}

TEST(TypeNames, CentralTypes) {
  for (int code = 0; code <= 7; ++code) {
    EXPECT_EQ(IsCentral(code), code >= 2 && code <= 4) << code;
  }
}

TEST(SarosCaption, JoinsPiecesWithoutExtraBlanks) {
  EclipseRecord r;
  r.sarosMember = 12;
  r.sarosMemberCount = 73;
  EXPECT_EQ(SarosCaption(r, Language::kGerman), "Finsternis im Saros    (12. von 73)");
  EXPECT_EQ(SarosCaption(r, Language::kFrench), "Éclipse dans Saros (12. de 73)");
  r.sarosMember = 200;
  r.sarosMemberCount = 255;
  EXPECT_EQ(SarosCaption(r, Language::kEnglish), "Eclipse in Saros    (200. of 255)");
}

TEST(CentreLineType, SignOfLocalUmbraRadius) {
  EXPECT_EQ(CentreLineTypeText(0.5, 0.0023, 0.0046, false, Language::kEnglish),
            " Annular");  // L2′ = 0
  EXPECT_EQ(CentreLineTypeText(0.9, 0.0023, 0.0046, false, Language::kGerman), "Totale");
  EXPECT_EQ(CentreLineTypeText(0.1, 0.0023, 0.0046, false, Language::kFrench), " annulaire");
  EXPECT_EQ(CentreLineTypeText(0.9, 0.0023, 0.0046, true, Language::kFrench), "Anti");
}

TEST(StringTable, LayoutOfEntries) {
  EXPECT_EQ(StringEntry(0), "Partielle Sonnenfinsternis");
  EXPECT_EQ(StringEntry(36), "Finsternis im Saros    (");
  EXPECT_EQ(StringEntry(95), " annulaire");
  EXPECT_EQ(StringEntry(137), "Dist. de l'éclipse max.  ");
  EXPECT_EQ(StringEntry(171), "Fehler in der Koordinatenangabe: ");
  EXPECT_EQ(StringEntry(177), " ");
  EXPECT_EQ(StringEntry(179), "");
  EXPECT_EQ(StringEntry(180), "");
  EXPECT_EQ(StringEntry(-1), "");
  for (Language language : kLanguages) {
    EXPECT_FALSE(StringItem(Text::kProgramSubtitle, language).empty());
  }
  EXPECT_EQ(StringItem(Text::kSubSolarLabelFirst, Language::kFrench) + " " +
                StringItem(Text::kSubSolarLabelSecond, Language::kFrench),
            "point sub-solaire");
  EXPECT_EQ(StringItem(Text::kAntiSubSolarLabelFirst, Language::kEnglish) + " " +
                StringItem(Text::kAntiSubSolarLabelSecond, Language::kEnglish),
            "anti-sub- solar point");
}

TEST(Captions, SetsForAllWindows) {
  EXPECT_EQ(Caption(CaptionWindow::kMain, "Hilfe2", Language::kFrench), "&Aide Umbrivista ");
  EXPECT_EQ(Caption(CaptionWindow::kMain, "Version1", Language::kFrench), "&Version Umbrivista ");
  EXPECT_EQ(Caption(CaptionWindow::kMain, "Button_Play", Language::kGerman), "vorwärts abspielen");
  EXPECT_EQ(Caption(CaptionWindow::kPlaceHistory, "Label1", Language::kEnglish), "Place/City");
  EXPECT_EQ(Caption(CaptionWindow::kPlaceHistory, "RadioButton_West", Language::kFrench), "Ouest");
  EXPECT_EQ(Caption(CaptionWindow::kPlaceHistory, "Label6", Language::kEnglish),
            "Search between the years");
  EXPECT_EQ(Caption(CaptionWindow::kCityList, "Liste1", Language::kGerman), "Liste");
  EXPECT_EQ(Caption(CaptionWindow::kCityList, "Label2", Language::kGerman), "");
  EXPECT_EQ(SubSolarCheckBoxCaption(true, Language::kEnglish), "Anti-sub-solar point");
  EXPECT_EQ(SubSolarCheckBoxCaption(false, Language::kGerman), "Subsolarer Punkt");
  for (const auto& row : CaptionSet()) {
    for (Language language : kLanguages) {
      EXPECT_FALSE(CaptionFor(row, language).empty())
          << row.component << "/" << LanguageIndex(language);
    }
  }
}

TEST(Captions, ListItems) {
  EXPECT_EQ(GridListItems(Language::kEnglish)[1], "Equator only");
  EXPECT_EQ(GridListItems(Language::kFrench)[6], "Grille de 90 degrés");
  const auto de = PopulationListItems(Language::kGerman);
  const auto en = PopulationListItems(Language::kEnglish);
  const auto fr = PopulationListItems(Language::kFrench);
  EXPECT_EQ(de[0], "1'000'000 Personen");
  EXPECT_EQ(de[4], "      50'000 Personen");
  // Item 8 stands for a threshold of 2,000 people in every language.
  EXPECT_EQ(de[8], "        2'000 Personen");
  EXPECT_EQ(en[8], "        2'000 inhabitants");
  EXPECT_EQ(fr[8], "        2'000 habitants");
  EXPECT_EQ(fr[1], "   500'000 habitants");
  EXPECT_EQ(fr[9], "                0 habitant");
}

// A language index outside 0 … 2 names no language, and a value cast from one never reads past
// the tables: every text comes out empty.
TEST(Languages, IndexOutsideTheThreeLanguagesIsRefused) {
  for (int index : {-1, 3, 4, 255, INT32_MIN, INT32_MAX}) {
    EXPECT_FALSE(LanguageFromIndex(index)) << index;
  }
  for (Language language : kLanguages) {
    EXPECT_EQ(LanguageFromIndex(LanguageIndex(language)), language);
  }
  const EclipseRecord r = Eclipse2024Apr08();
  for (int raw : {3, 4, 255}) {
    const auto language = static_cast<Language>(raw);
    EXPECT_EQ(StringItem(Text::kPartialName, language), "") << raw;
    EXPECT_EQ(LongTypeName(2, language), "") << raw;
    EXPECT_EQ(ShortTypeName(2, language), "") << raw;
    EXPECT_EQ(SarosCaption(r, language), "") << raw;
    EXPECT_EQ(CentreLineTypeText(0.5, -0.01, 0.0046, false, language), "") << raw;
    EXPECT_EQ(CentreLineTypeText(0.5, -0.01, 0.0046, true, language), "") << raw;
    EXPECT_EQ(Caption(CaptionWindow::kMain, "CheckBox_ET_UT", language), "") << raw;
    EXPECT_EQ(SubSolarCheckBoxCaption(false, language), "") << raw;
    EXPECT_EQ(GridListItems(language)[0], "") << raw;
    EXPECT_EQ(PopulationListItems(language)[0], "") << raw;
  }
  EXPECT_NE(SarosCaption(r, Language::kFrench), "");
}

TEST(Languages, CodesAreTheThreeLowerCaseOnes) {
  EXPECT_EQ(LanguageFromCode("de"), Language::kGerman);
  EXPECT_EQ(LanguageFromCode("en"), Language::kEnglish);
  EXPECT_EQ(LanguageFromCode("fr"), Language::kFrench);
  for (const char* code : {"", "DE", "En", "en ", "eng", "d", "it"}) {
    EXPECT_FALSE(LanguageFromCode(code)) << '"' << code << '"';
  }
}

}  // namespace
