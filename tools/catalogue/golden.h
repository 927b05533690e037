// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once
// Golden-section search for the least value of a function that is unimodal on [lo, hi].

namespace umbrivista {

namespace catalogue_tool {

struct GoldenResult {
  double arg;
  double value;
};

template <typename F>
GoldenResult GoldenMinimum(F f, double lo, double hi, int iterations) {
  constexpr double kGolden = 0.6180339887498949;
  double a = hi - kGolden * (hi - lo), b = lo + kGolden * (hi - lo);
  double fa = f(a), fb = f(b);
  for (int i = 0; i < iterations; ++i) {
    if (fa > fb) {
      lo = a;
      a = b;
      fa = fb;
      b = lo + kGolden * (hi - lo);
      fb = f(b);
    } else {
      hi = b;
      b = a;
      fb = fa;
      a = hi - kGolden * (hi - lo);
      fa = f(a);
    }
  }
  return fa < fb ? GoldenResult{a, fa} : GoldenResult{b, fb};
}

// The greatest value of f on [lo, hi].
template <typename F>
double GoldenMaximumValue(F f, double lo, double hi, int iterations) {
  return -GoldenMinimum([&f](double x) { return -f(x); }, lo, hi, iterations).value;
}

}  // namespace catalogue_tool

}  // namespace umbrivista
