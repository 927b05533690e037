// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_export.h"

#include <utility>

#include "eclipse_date.h"

namespace umbrivista {

GlobePictureOptions WindowPictureOptions(const Session& session, int width, int height,
                                         int panelWidth, int panelHeight, std::string texturePath,
                                         std::vector<MapMark> listMarks) {
  GlobePictureOptions o;
  o.width = width;
  o.height = height;
  o.zoom = session.Zoom();
  o.grid = session.GridIndex();
  o.texturePath = std::move(texturePath);
  o.deltaT = session.DeltaTInUse();
  o.back = session.BackView();
  o.subSolar = session.ShowSubSolar();
  o.overlay = true;
  o.capitals = session.ShowCapitals();
  o.limits = session.ShowLimits();
  o.nightSide = session.ShowNightSide();
  o.language = session.GetLanguage();
  if (session.ShowPoI()) o.poi = std::make_pair(session.PoILatitude(), session.PoILongitude());
  o.listMarks = std::move(listMarks);
  // Offsets from the centres as the globe centres itself (half the size, rounded down).
  o.origin = std::make_pair(session.CentreX() - panelWidth / 2 + width / 2,
                            session.CentreY() - panelHeight / 2 + height / 2);
  return o;
}

TitleBlockInput WindowTitleBlockInput(const Session& session, bool listPoints) {
  TitleBlockInput in;
  in.record = session.Record();
  in.t = session.TimeOffset();
  in.ut = session.Ut();
  in.deltaT = session.DeltaTInUse();
  in.backView = session.BackView();
  in.limits = session.ShowLimits();
  in.overlay = true;
  in.capitals = session.ShowCapitals();
  in.pointOfInterest = session.ShowPoI();
  in.listPoints = listPoints;
  in.language = session.GetLanguage();
  return in;
}

std::string DefaultPictureName(const Session& session) {
  const CalendarDate date =
      GreatestEclipseDate(session.Record(), session.Ut() ? session.DeltaTInUse() : 0);
  return "eclipse-" + IsoDate(date.year, date.month, date.day);
}

}  // namespace umbrivista
