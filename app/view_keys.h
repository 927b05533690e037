// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's part of a saved globe view: which eclipse, which instant and how they are shown,
// as name/value pairs that travel in the view file beside the globe's own settings, so that a
// view sent to someone opens on the same eclipse at the same moment.
//
//   Eclipse          the record's date, "2024-04-08" or "-584-05-28"
//   TimePosition     the time slider, 0 … 12600
//   View             "normal", "back" or "map"
//   Map              "mercator" or "flat"
//   Zoom             the zoom bar, 60 … 350
//   PointOfInterest  "latitude longitude" in degrees, north and east positive
//   PointOfInterestShown  "yes" or "no"

#include <map>
#include <string>

namespace umbrivista {

class Session;

using ViewKeys = std::map<std::string, std::string>;

// The keys of what the session shows; none before an eclipse is chosen.
ViewKeys SessionViewKeys(const Session& session);
// What is wrong with `name` = `value` for this session's catalogue ("" when it can be used, also
// for a name the program does not know: such keys are passed over).
std::string ViewKeyProblem(const Session& session, const std::string& name,
                           const std::string& value);
// Shows what the keys say (each checked with ViewKeyProblem before); keys that are missing leave
// their part as it is, and a file without an eclipse changes nothing.
void ApplyViewKeys(Session& session, const ViewKeys& keys);

}  // namespace umbrivista
