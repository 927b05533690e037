// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The interface language. Numbers and codes from outside (the settings byte, the command line)
// become a Language only through LanguageFromIndex and LanguageFromCode.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace umbrivista {

enum class Language : std::uint8_t { kGerman, kEnglish, kFrench };

inline constexpr int kLanguageCount = 3;
inline constexpr Language kDefaultLanguage = Language::kGerman;
inline constexpr std::array<Language, kLanguageCount> kLanguages = {
    Language::kGerman, Language::kEnglish, Language::kFrench};

// 0 German, 1 English, 2 French: the number the settings file stores and tables are indexed by.
constexpr int LanguageIndex(Language language) {
  return static_cast<int>(language);
}

// The language of index 0, 1 or 2; nullopt for any other number.
constexpr std::optional<Language> LanguageFromIndex(int index) {
  if (index < 0 || index >= kLanguageCount) return std::nullopt;
  return static_cast<Language>(index);
}

// False only for a value cast from a number that names no language; the text functions give an
// empty text for such a value rather than reading past their tables.
constexpr bool IsKnownLanguage(Language language) {
  return LanguageFromIndex(LanguageIndex(language)).has_value();
}

// "de", "en" or "fr" (lower case only); nullopt for anything else.
constexpr std::optional<Language> LanguageFromCode(std::string_view code) {
  if (code == "de") return Language::kGerman;
  if (code == "en") return Language::kEnglish;
  if (code == "fr") return Language::kFrench;
  return std::nullopt;
}

}  // namespace umbrivista
