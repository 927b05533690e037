// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The built-in table of 193 national capitals, drawn as labelled points by the capitals layer of
// the globe. Independent of the world-places files of the reports.

#include <cstdint>
#include <span>

namespace umbrivista {

struct City_Type {
  const char* country;     // English country name, e.g. "Afghanistan"
  const char* capital;     // title shown on the globe; several are abbreviated ("Bridg.", "Amst")
  float longitude;         // degrees, east positive, −180 … +180
  float latitude;          // degrees, north positive
  std::int32_t elevation;  // metres above sea level
  std::int32_t spare;      // never set; zero
  char continent[3];       // "AF", "AM", "AS", "EU" or "OC"
};

inline constexpr int kCapitalCount = 193;

// All capitals in table order: alphabetical by country, except that "East Timor" follows
// "Thailand" and "Arab Emirates" follows "Ukraine". The table is constant data, filled at compile
// time, so it is ready before any window exists.
std::span<const City_Type, kCapitalCount> Capitals();

}  // namespace umbrivista
