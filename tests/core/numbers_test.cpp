// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed-point text written without the C++ library's formatter must be the same characters as
// that formatter's, including the halves that the product with 10^decimals rounds onto or off.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "numbers.h"

namespace umbrivista {
namespace {

std::string Library(double value, int decimals) {
  char buffer[kFixedTextRoom];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

std::string Written(double value, int decimals) {
  char buffer[kFixedTextRoom];
  return std::string(buffer, WriteFixed(buffer, value, decimals));
}

TEST(WriteFixed, SameTextAsTheLibraryFormatter) {
  const double inf = std::numeric_limits<double>::infinity();
  // Exact halves (ties to even), decimals that are not what they seem (1.005 is below the half),
  // negative zero, values that round to a negative zero, the limit of the fast path, and values
  // the library writes itself.
  const double fixed[] = {0,       -0.0,    0.125,  0.375,  2.5,      3.5,          -2.5,    1.005,
                          1.015,   0.045,   -0.004, -0.005, 999.9995, 1e14,         3.99e15, 4e15,
                          4.01e15, 1e300,   -1e300, inf,    -inf,     std::nan(""), 5e-324,  69.25,
                          -12.345, 359.995, 0.9995, 1e-7};
  for (const double v : fixed) {
    for (int d = 0; d <= 6; ++d) EXPECT_EQ(Written(v, d), Library(v, d)) << v << " " << d;
  }
  std::mt19937_64 random(20261209);
  std::uniform_real_distribution<double> exponent(-8, 16), unit(-1, 1);
  std::uniform_int_distribution<int> digits(0, 6), steps(-3, 3);
  for (int i = 0; i < 200000; ++i) {
    const int d = digits(random);
    double v = unit(random) * std::pow(10.0, exponent(random));
    // Every other value on or next to a half of the last decimal, where rounding is decided.
    if (i % 2) {
      const double half = (std::nearbyint(v * std::pow(10.0, d)) + 0.5) / std::pow(10.0, d);
      v = half;
      for (int s = steps(random); s != 0; s += s > 0 ? -1 : 1)
        v = std::nextafter(v, s > 0 ? inf : -inf);
    }
    ASSERT_EQ(Written(v, d), Library(v, d)) << std::hexfloat << v << " " << d;
  }
}

}  // namespace
}  // namespace umbrivista
