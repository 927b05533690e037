// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbers.h"

#include <clocale>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace umbrivista {

void UseDotDecimalNumbers() { std::setlocale(LC_NUMERIC, "C"); }

namespace {

std::string WithDecimalPoint(std::string text) {
  if (text.find_first_of(".eEn") == std::string::npos) text += ".0";  // n: nan/inf
  return text;
}

}  // namespace

std::string FormatReal(double value) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return WithDecimalPoint(std::string(buf, end));
}

std::string FormatReal(float value) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return WithDecimalPoint(std::string(buf, end));
}

std::string FormatShortest(double value) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  if (ec != std::errc()) return FormatReal(value);
  return std::string(buf, end);
}

char* WriteFixed(char* out, double value, int decimals) {
  static constexpr double kScale[] = {1, 10, 100, 1000, 1e4, 1e5, 1e6};
  static constexpr unsigned long long kIntegerScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
  const double magnitude = std::fabs(value);
  if (decimals < 0 || decimals > 6 || !(magnitude * kScale[decimals] < 4e15)) {
    // Also NaN and the infinities.
    const auto [end, ec] =
        std::to_chars(out, out + kFixedTextRoom, value, std::chars_format::fixed, decimals);
    return ec == std::errc() ? end : out;
  }
  // Rounded to nearest, ties to even, on the exact value as to_chars does: `units` + `error` is
  // the exact product (fma), and below 2^52 units has room for the halves, so `error` decides
  // only a product that lands exactly on one.
  const double scale = kScale[decimals];
  const double units = magnitude * scale;
  const double error = std::fma(magnitude, scale, -units);
  double whole = std::floor(units);
  const double fraction = units - whole;
  if (fraction > 0.5 ||
      (fraction == 0.5 && (error > 0 || (error == 0 && std::fmod(whole, 2) != 0)))) {
    whole += 1;
  }
  const auto n = static_cast<unsigned long long>(whole);
  if (std::signbit(value)) *out++ = '-';
  out = std::to_chars(out, out + 24, n / kIntegerScale[decimals]).ptr;
  if (decimals > 0) {
    *out++ = '.';
    unsigned long long rest = n % kIntegerScale[decimals];
    for (int i = decimals - 1; i >= 0; --i) {
      out[i] = static_cast<char>('0' + rest % 10);
      rest /= 10;
    }
    out += decimals;
  }
  return out;
}

std::string FormatFixed(double value, int decimals) {
  char buf[kFixedTextRoom];
  const char* end = WriteFixed(buf, value, decimals);
  if (end == buf) return FormatReal(value);
  return std::string(static_cast<const char*>(buf), end);
}

std::optional<long long> ParseInteger(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::optional<double> ParseReal(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size() || text.empty()) return std::nullopt;
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::string QuoteForMessage(std::string_view text, std::size_t maxCharacters) {
  std::string out;
  std::size_t characters = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool starts = (byte & 0xC0) != 0x80;
    if (starts && ++characters > maxCharacters) return "\"" + out + "…\"";
    // Control characters would garble the terminal.
    out += byte < 0x20 || byte == 0x7F ? '?' : c;
  }
  return "\"" + out + "\"";
}

std::string FormatMinSec(int kind, double hours) {
  static const int kWidths[5] = {2, 4, 5, 6, 7};
  if (kind < 0) kind = 0;
  if (kind > 4) kind = 4;
  const double scale = std::pow(10.0, kind);
  // Kept in doubles: a huge or non-finite value must not reach an integer conversion.
  const double total = std::trunc(std::fabs(hours) * 3600 * scale + 0.5);
  const double rest = std::fmod(total, 60 * scale);
  const double seconds = rest / scale;
  const double minutes = std::fmod((total - rest) / (60 * scale), 60);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s%2.0f:%*.*f", hours < 0 ? "-" : " ", minutes, kWidths[kind],
                kind, seconds);
  std::string text = buf;
  for (std::size_t i = 2; i < text.size(); ++i) {
    if (text[i] == ' ') text[i] = '0';
  }
  return text;
}

}  // namespace umbrivista
