#pragma once
// The interface language and the language string table: 60 items, each in German, English and
// French, entry 3·item + language.

#include <cstdint>
#include <string>

namespace umbrivista {

inline constexpr int kStringItemCount = 60;
inline constexpr int kLanguageCount = 3;
enum LanguageCode : std::uint8_t { kGerman = 0, kEnglish = 1, kFrench = 2 };

// True for 0 (German), 1 (English) and 2 (French). Every text function gives an empty text (or
// letter 0) for any other language index.
inline bool IsLanguage(int language) {
  return language >= 0 && language < kLanguageCount;
}

// Entry `index` (0 … 179) of the table; an empty string outside that range.
const std::string& StringEntry(int index);
// Item `item` in language `language` (entry 3·item + language).
const std::string& StringItem(int item, int language);

}  // namespace umbrivista
