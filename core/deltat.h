#pragma once

namespace umbrivista {

// ΔT = TT − UT in seconds for a whole `year` (astronomical numbering) and `month` (1–12), both
// given as doubles. Polynomial model by year range with the lunar tidal correction for
// −25.858″/cy², yearly values 1961–2020, and 68.0 s for March 2016.
// Reference: F. Espenak and J. Meeus, Five Millennium Canon of Solar Eclipses: −1999 to +3000,
// NASA/TP-2006-214141, section 2.6 (polynomial expressions for ΔT, and the tidal term
// −0.000012932·(y − 1955)² for a lunar secular acceleration of −25.858″/cy²); yearly values from
// the observed ΔT series of the IERS.
double DeltaT(double year, double month);

// Earth rotation in degrees per second of ΔT.
inline constexpr double kEarthRotationDegPerSecond = 0.00417807;

}  // namespace umbrivista
