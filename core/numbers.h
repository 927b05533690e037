#pragma once
// Locale-independent number text: "." as decimal separator, no grouping.

#include <optional>
#include <string>
#include <string_view>

// Shortest text that reads back to the same value; always has a decimal point ("68.0").
std::string FormatReal(double value);
// Shortest text that reads back to the same single-precision value.
std::string FormatReal(float value);
// Fixed number of decimals, rounded to nearest.
std::string FormatFixed(double value, int decimals);

// Whole-text parses; nullopt unless the entire text is one number.
std::optional<long long> ParseInteger(std::string_view text);
std::optional<double> ParseReal(std::string_view text);
