#pragma once
// What a place sees of an eclipse, as lines for the point-of-interest panel: kind, magnitude and
// obscuration; the contacts and greatest eclipse in the shown time scale with the Sun's altitude;
// the central duration; and how far the place lies from the nearer limit of the central path.

#include <string>
#include <vector>

#include "eclipse_record.h"
#include "language.h"

namespace umbrivista {

// `latitude`, `longitude` in degrees (north and east positive), at sea level; `deltaT` the ΔT of
// the eclipse (seconds); times in UT when `ut`, else TT.
std::vector<std::string> PlaceCircumstancesLines(const EclipseRecord& record, double deltaT,
                                                 bool ut, double latitude, double longitude,
                                                 Language language);

}  // namespace umbrivista
