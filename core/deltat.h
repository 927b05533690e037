// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace umbrivista {

// ΔT = TT − UT in seconds for a whole `year` (astronomical numbering) and `month` (1–12), both
// given as doubles. Polynomial model by year range with the lunar tidal correction for
// −25.858″/cy², yearly values 1961–2020, and 68.0 s for March 2016.
// Reference: F. Espenak and J. Meeus, Five Millennium Canon of Solar Eclipses: −1999 to +3000,
// NASA/TP-2006-214141, section 2.6 (polynomial expressions for ΔT, and the tidal term
// −0.000012932·(y − 1955)² for a lunar secular acceleration of −25.858″/cy²); yearly values from
// the observed ΔT series of the IERS Rapid Service / Prediction Center (USNO): 1961–1972 the
// values at the start of each year in historic_deltat.data (to 0.01 s), 1973–2007 the values of
// June 1 and 2012–2016 those of July 1 in deltat.data; 2008–2011 and 2017–2020 are predictions
// made before the observed values were known.
double DeltaT(double year, double month);

// The standard error σ of ΔT in seconds for a year (astronomical numbering, fractions allowed):
// - Morrison and Stephenson (2004, J. Hist. Astron. 35, 327), as quoted in Espenak and Meeus'
//   Five Millennium Canon (uncertainty of ΔT, table 1): σ = 0.8·t² s, t = (year − 1820)/100,
//   published for −1000 … +1200 (636 s at −1000, 265 s at 0, 54 s at +1000);
// - 1200 … 1600: that parabola, but not below the 20 s of the decade fluctuations the Canon gives
//   for 1300 … 1600;
// - 1600 … 1900: Stephenson and Houlden (1986) as the Canon's table 2 gives them (5 s at 1700,
//   1 s at 1800, 0.1 s at 1900), between those years and from 20 s at 1600 geometric (straight in
//   log σ);
// - before −1000 the same parabola: an extrapolation (nothing measures ΔT there), which the real
//   uncertainty may well exceed;
// - 1900 … 2025 0.1 s (measured); after 2025 a forecast: 0.1 s + 0.8·u² s with
//   u = (year − 2025)/100, the same parabola counted from the last measured year.
// Infinity for a year that is not finite.
double DeltaTSigma(double year);
// The same for the middle of a month, as DeltaT takes it.
inline double DeltaTSigma(double year, double month) {
  return DeltaTSigma(year + (month - 0.5) / 12);
}

// σ as the program writes it, in seconds without the unit: whole seconds from 10 s ("265"),
// one decimal below ("2.6", "0.1").
std::string FormatDeltaTSigma(double sigma);

// Above this σ (seconds) whether a place sees the central phase is told as the parts of ΔT ± 2σ
// over which it does, never as one kind: a 2σ of two minutes turns the Earth by half a degree.
inline constexpr double kDeltaTStatementSigma = 60;

// Earth rotation in degrees per second of ΔT.
inline constexpr double kEarthRotationDegPerSecond = 0.00417807;

}  // namespace umbrivista
