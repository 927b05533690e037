// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Element records for the tests.

#include "eclipse_record.h"
#include "julian_day.h"

namespace umbrivista {

// Total eclipse of 2024-04-08, T0 = 18 h TT, with NASA's published elements.
inline EclipseRecord Eclipse2024Apr08() {
  EclipseRecord r;
  r.year = 2024;
  r.month = 4;
  r.day = 8;
  r.typeCode = 2;
  r.t0Hour = 18;
  r.sarosNumber = 139;
  r.sarosMember = 30;
  r.sarosMemberCount = 71;
  const float x[4] = {-0.318244f, 0.5117116f, 0.0000326f, -0.0000084f};
  const float y[4] = {0.219764f, 0.2709589f, -0.0000595f, -0.0000047f};
  const float d[4] = {7.5862002f, 0.0148440f, -0.0000020f, 0};
  const float mu[4] = {89.591217f, 15.004080f, 0, 0};
  const float l1[4] = {0.535814f, 0.0000618f, -0.0000128f, 0};
  const float l2[4] = {-0.010272f, 0.0000615f, -0.0000127f, 0};
  for (int i = 0; i < 4; ++i) {
    r.x[i] = x[i];
    r.y[i] = y[i];
    r.d[i] = d[i];
    r.mu[i] = mu[i];
    r.l1[i] = l1[i];
    r.l2[i] = l2[i];
  }
  r.tanF1[0] = 0.0046683f;
  r.tanF2[0] = 0.0046450f;
  r.gamma = 0.3431f;
  r.julianDay = 2460409.25f;
  return r;
}

// A record that passes every check: the 2024-04-08 elements moved to another date (18 h TT), with
// a matching Julian day and the given Saros membership.
inline EclipseRecord UsableRecord(int year, int month, int day, int saros = 139, int member = 30,
                                  int count = 71) {
  EclipseRecord r = Eclipse2024Apr08();
  r.year = year;
  r.month = month;
  r.day = day;
  r.julianDay = static_cast<float>(CalendarToJD(year, month, day, r.t0Hour, 0, 0));
  r.sarosNumber = saros;
  r.sarosMember = static_cast<std::uint8_t>(member);
  r.sarosMemberCount = static_cast<std::uint8_t>(count);
  return r;
}

}  // namespace umbrivista
