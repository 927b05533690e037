// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Locale-independent number text: "." as decimal separator, no grouping.

#include <optional>
#include <string>
#include <string_view>

namespace umbrivista {

// Makes the C library write and read numbers with "." again (LC_NUMERIC "C"), whatever locale a
// toolkit switched it to; the rest of the user's locale stays.
void UseDotDecimalNumbers();

// Shortest text that reads back to the same value; always has a decimal point ("68.0").
std::string FormatReal(double value);
// Shortest text that reads back to the same single-precision value.
std::string FormatReal(float value);
// Shortest text that reads back to the same value, without a decimal point for whole numbers
// ("47.5", "8", "-0.25").
std::string FormatShortest(double value);
// Fixed number of decimals, rounded to nearest.
std::string FormatFixed(double value, int decimals);
// Room WriteFixed needs: a fixed-point double has at most 309 digits before the point.
inline constexpr int kFixedTextRoom = 400;
// FormatFixed's text written to `out` (kFixedTextRoom characters of room); returns its end. The
// same characters as std::to_chars in fixed format, without its cost for the small numbers of a
// report (a few decimals, below 10^15 in units of the last one).
char* WriteFixed(char* out, double value, int decimals);

// Whole-text parses; nullopt unless the entire text is one number.
std::optional<long long> ParseInteger(std::string_view text);
std::optional<double> ParseReal(std::string_view text);

// Input echoed in a message: quoted, cut to `maxCharacters` UTF-8 characters (then "…"), control
// characters replaced by "?".
std::string QuoteForMessage(std::string_view text, std::size_t maxCharacters);

// A time span or time of day v (hours) as "smm:ss" with kind (0 … 4) decimals of the seconds;
// s is a blank or "-", whole hours are dropped, and blanks after the second character become
// zeros (247.3 s with kind 1 gives "  4:07.3").
std::string FormatMinSec(int kind, double hours);

}  // namespace umbrivista
