// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the three languages: every text on screen is in the language it is shown in, and
// the misspellings once found in them stay mended.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "captions.h"
#include "string_table.h"

namespace umbrivista {
namespace {

constexpr Language kAll[] = {Language::kGerman, Language::kEnglish, Language::kFrench};

// Every text of one language the windows show from the string table, the caption sets and the
// lists.
std::vector<std::string> ShownTexts(Language language) {
  std::vector<std::string> texts;
  for (int item = 0; item < kStringItemCount; ++item)
    texts.push_back(StringItem(static_cast<Text>(item), language));
  for (const CaptionText& row : CaptionSet()) texts.push_back(CaptionFor(row, language));
  for (bool back : {false, true}) texts.push_back(SubSolarCheckBoxCaption(back, language));
  for (const auto& item : GridListItems(language)) texts.push_back(item);
  for (const auto& item : PopulationListItems(language)) texts.push_back(item);
  for (const auto& item : TextureListItems(language)) texts.push_back(item);
  texts.push_back(TextFileFilter(language));
  for (auto field : {DefaultPlaceField::kCountry, DefaultPlaceField::kPlace})
    texts.push_back(DefaultPlaceText(field, language));
  return texts;
}

TEST(Texts, EnglishAndFrenchDifferFromGermanWhereTheWordsDiffer) {
  // Words the languages share.
  const std::set<std::string> sameInEnglish = {"Option1", "RadioButton_PoI_West"};
  const std::set<std::string> sameInFrench = {"Option1", "Liste1"};
  for (const CaptionText& row : CaptionSet()) {
    if (row.stringItem) continue;
    const std::string german = row.text[0];
    if (german == row.text[1]) {
      EXPECT_TRUE(sameInEnglish.contains(row.component)) << row.component;
    }
    if (german == row.text[2]) {
      EXPECT_TRUE(sameInFrench.contains(row.component)) << row.component;
    }
  }
  const std::set<Text> tableSameInEnglish = {Text::kWest, Text::kSpareEmpty, Text::kSpareBlank1,
                                             Text::kSpareBlank2};
  const std::set<Text> tableSameInFrench = {Text::kNorth, Text::kSpareEmpty};
  for (int item = 0; item < kStringItemCount; ++item) {
    const auto text = static_cast<Text>(item);
    const std::string& german = StringItem(text, Language::kGerman);
    EXPECT_EQ(german == StringItem(text, Language::kEnglish), tableSameInEnglish.contains(text))
        << item << " " << german;
    EXPECT_EQ(german == StringItem(text, Language::kFrench), tableSameInFrench.contains(text))
        << item << " " << german;
  }
  // The lists: only the texture called by its proper name ("Blue Marble") and "Relief" agree.
  for (Language other : {Language::kEnglish, Language::kFrench}) {
    for (int i = 0; i < kGridListCount; ++i)
      EXPECT_NE(GridListItems(other)[i], GridListItems(Language::kGerman)[i]) << i;
    for (int i = 0; i < kPopulationListCount; ++i)
      EXPECT_NE(PopulationListItems(other)[i], PopulationListItems(Language::kGerman)[i]) << i;
    for (int i = 2; i < kTextureListCount; ++i)
      EXPECT_NE(TextureListItems(other)[i], TextureListItems(Language::kGerman)[i]) << i;
    EXPECT_NE(TextFileFilter(other), TextFileFilter(Language::kGerman));
  }
}

TEST(Texts, NoKnownMisspellingOrForeignWordIsLeft) {
  const struct {
    Language language;
    std::vector<const char*> wrong;
  } checks[] = {
      {Language::kGerman,
       {"schliessen", "F'Ebene", "Liste Speichern", "Grad Gitter", "My "}},
      {Language::kEnglish,
       {"Habitants", " habitants", "Personen", "Politisch", "F'plane",
        "degrees grid", "Non central"}},
      {Language::kFrench,
       {"Eclipse", "Ecliptique", "Editer", "différants", "Règlage", "plaine", "Kommentar",
        "Klammern", "Personnes", "Politisch", "Paysage", "geogr.", "Start", "My ", "hrs",
        "chemin de axe", "Interrompre", "Text file"}},
  };
  for (const auto& check : checks) {
    for (const std::string& text : ShownTexts(check.language)) {
      for (const char* wrong : check.wrong)
        EXPECT_EQ(text.find(wrong), std::string::npos) << "\"" << text << "\" holds " << wrong;
    }
  }
  // Two halves shown as one: "chemin de" + "l'axe de l'ombre".
  EXPECT_EQ(StringItem(Text::kAxisTrackLabelFirst, Language::kFrench) + " " +
                StringItem(Text::kAxisTrackLabelSecond, Language::kFrench),
            "chemin de l'axe de l'ombre");
}

TEST(Texts, TheSunsAzimuthSaysWhereItIsCountedFrom) {
  // The information grid counts it from the south, positive towards the west.
  for (Language language : kAll) {
    const std::string& label = StringItem(Text::kSunAzimuth, language);
    EXPECT_NE(label.find("(S→"), std::string::npos) << label;
  }
}

TEST(Texts, TexturesAreNamedByWhatTheyShow) {
  EXPECT_EQ(TextureListItems(Language::kEnglish),
            (std::array<std::string, kTextureListCount>{"Blue Marble", "Relief", "Political", "White"}));
  EXPECT_EQ(TextureListItems(Language::kFrench)[2], "Politique");
  EXPECT_EQ(TextureListItems(Language::kGerman)[3], "Weiß");
  EXPECT_EQ(TextureListItems(static_cast<Language>(7))[0], "");
}

TEST(Texts, APlacesDefaultNameFollowsTheLanguageButTheUsersStays) {
  const auto place = DefaultPlaceField::kPlace;
  const auto country = DefaultPlaceField::kCountry;
  EXPECT_EQ(NextDefaultPlaceText(place, "My favorite place", Language::kFrench), "Mon lieu préféré");
  EXPECT_EQ(NextDefaultPlaceText(place, "Mon lieu préféré", Language::kGerman), "Mein Lieblingsort");
  EXPECT_EQ(NextDefaultPlaceText(country, "Mein Land", Language::kEnglish), "My country");
  // What the user typed or cleared is the user's.
  EXPECT_EQ(NextDefaultPlaceText(place, "Aībak", Language::kFrench), "Aībak");
  EXPECT_EQ(NextDefaultPlaceText(country, "", Language::kFrench), "");
  EXPECT_EQ(NextDefaultPlaceText(country, "Mein Land", static_cast<Language>(5)), "Mein Land");
}

}  // namespace
}  // namespace umbrivista
