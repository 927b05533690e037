#pragma once

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

// Earth rotation in degrees per second of ΔT.
inline constexpr double kEarthRotationDegPerSecond = 0.00417807;

}  // namespace umbrivista
