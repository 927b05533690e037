#pragma once
// Choosing the eclipse: the year and Saros boxes, steps along a Saros series, and the time
// slider's scale of hours from T0.

#include <optional>
#include <string>
#include <string_view>

#include "catalogue.h"

namespace umbrivista {

// The time slider: 0 … 12600, 1,800 steps per hour (one step is 2 seconds), 6300 is T0.
inline constexpr int kTimeSliderMax = 12600;
inline constexpr int kTimeSliderCentre = 6300;
inline constexpr double kTimeSliderHalfRangeHours = 3.5;

// Hours from T0 of a slider position.
double TimeForSliderPosition(int position);
// The slider position nearest to t hours from T0, kept within 0 … 12600 (a t that is not a
// number gives T0).
int SliderPositionForTime(double t);

// The instant (hours from T0) at which the shadow axis passes closest to the centre of the
// fundamental plane, from the linear terms of x and y; 0 when the axis does not move.
double EstimatedMaximum(const EclipseRecord& record);

// What Enter in the year or Saros box does: the position to show (0: nothing changes) and the
// text the box shows afterwards.
struct BoxSelection {
  int position = 0;
  std::string boxText;
};

// Year box: nullopt when the text is not a whole number (nothing happens, the text stays);
// otherwise the year is clamped to −4999 … 7000 and the first eclipse of that year or later is
// chosen.
std::optional<BoxSelection> SelectByYear(const EclipseCatalogue& catalogue, std::string_view text);

// Saros box: a text that is not a whole number counts as 139; the number is clamped to the
// catalogue's least and greatest Saros numbers and the series' earliest member is chosen. A
// number without a member in the catalogue changes nothing and the box shows `currentSaros`.
BoxSelection SelectBySaros(const EclipseCatalogue& catalogue, std::string_view text,
                           int currentSaros);

// The position `members` members further along the Saros series of the eclipse at `position`
// (forward: later), or 0 when the series or the catalogue ends before that member.
int StepInSeries(const EclipseCatalogue& catalogue, int position, bool forward, int members);

}  // namespace umbrivista
