// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "angles.h"

#include <cmath>

namespace umbrivista {

double ArcTan2(double y, double x) {
  if (y == 0 && x == 0) return 0;
  const double a = std::atan2(y, x);
  return a <= -kPi ? kPi : a;
}

double NonNegativeRemainder(double a, double m) {
  double r = std::fmod(a, m);
  if (r < 0) r += m;
  if (r >= m) r -= m;  // a tiny negative remainder rounds up to m
  return r;
}

double AngularDistance(double lat1, double lon1, double lat2, double lon2) {
  const double p[3] = {std::cos(lat1) * std::cos(lon1), std::cos(lat1) * std::sin(lon1),
                       std::sin(lat1)};
  const double q[3] = {std::cos(lat2) * std::cos(lon2), std::cos(lat2) * std::sin(lon2),
                       std::sin(lat2)};
  double dd = 0, ss = 0;
  for (int i = 0; i < 3; ++i) {
    dd += (p[i] - q[i]) * (p[i] - q[i]);
    ss += (p[i] + q[i]) * (p[i] + q[i]);
  }
  return 4 * std::atan((std::sqrt(dd) / 2) / (std::sqrt(ss) / 2 + 1));
}

}  // namespace umbrivista
