// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The shadow geometry and the local circumstances agree with each other over the whole shipped
// catalogue.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "angles.h"
#include "catalogue.h"
#include "deltat.h"
#include "eclipse_types.h"
#include "local_circumstances.h"
#include "shadow.h"
#include "shipped_catalogue.h"
#include "string_table.h"

using namespace umbrivista;

namespace {

// Instant of the axis's least distance from the Earth's centre, hours from T0.
double GreatestEclipse(const EclipseRecord& r) {
  double t = 0;
  for (int i = 0; i < 20; ++i) {
    ShadowState s;
    EvaluateElements(r, t, s);
    const double step = -(s.x * s.xRate + s.y * s.yRate) / (s.xRate * s.xRate + s.yRate * s.yRate);
    t += step;
    if (std::fabs(step) < 1e-9) break;
  }
  return t;
}

TEST(ShippedConsistency, AxisPointOfGreatestEclipseSeesTheCentralPhase) {
  int checked = 0;
  for (const EclipseRecord& r : ShippedCatalogue().Records()) {
    if (!IsCentral(r.typeCode)) continue;
    ShadowState s;
    s.deltaT = DeltaT(r.year, r.month);
    const InstantResult at = UpdateInstant(r, GreatestEclipse(r), false, s);
    ASSERT_TRUE(at.onEarth) << r.year << "-" << r.month << "-" << r.day;
    const double phi = at.point.latitude;
    const auto found = ComputeLocalCircumstances(r, s.deltaT, phi, -at.point.longitude,
                                                 ObserverGeocentric(0, phi));
    ASSERT_TRUE(found) << r.year << "-" << r.month << "-" << r.day;
    const LocalCircumstances& lc = *found;
    const std::string when = std::to_string(r.year) + "-" + std::to_string(r.month) + "-" +
                             std::to_string(r.day) + " type " + std::to_string(r.typeCode);
    if (r.typeCode == kTotal) {
      EXPECT_EQ(lc.kind, EclipseKind::kTotal) << when;
      EXPECT_GE(lc.magnitude, 1) << when;
    } else if (r.typeCode == kAnnular) {
      EXPECT_EQ(lc.kind, EclipseKind::kAnnular) << when;
    } else {
      EXPECT_NE(lc.kind, EclipseKind::kPartial) << when;
    }
    // The axis-point duration is a first-order estimate; for central phases of a few seconds
    // (near the turning point of a hybrid) the two differ by a fraction of a second.
    EXPECT_NEAR(CentralDurationMinutes(lc) * 60, at.quantities.durationSeconds,
                0.02 * at.quantities.durationSeconds + 0.5)
        << when;
    ++checked;
  }
  EXPECT_GT(checked, 18000);
}

TEST(ShippedConsistency, ContactsComeInOrderWhereverAPlaceIsFound) {
  const auto& cat = ShippedCatalogue();
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<int> position(1, cat.RecordCount());
  std::uniform_real_distribution<double> unit(-1, 1);
  int found = 0, central = 0;
  for (int i = 0; i < 200000; ++i) {
    const EclipseRecord& r = cat.RecordAt(position(rng));
    const double phi = std::asin(unit(rng));
    const auto result = ComputeLocalCircumstances(r, DeltaT(r.year, r.month), phi, kPi * unit(rng),
                                                  ObserverGeocentric(0, phi));
    if (!result) continue;
    const LocalCircumstances& lc = *result;
    ++found;
    ASSERT_LT(lc.contactTime[kC1], lc.contactTime[kMax]) << r.year << " " << i;
    ASSERT_LT(lc.contactTime[kMax], lc.contactTime[kC4]) << r.year << " " << i;
    if (lc.kind != EclipseKind::kPartial) {
      ++central;
      ASSERT_LT(lc.contactTime[kC1], lc.contactTime[kC2]) << r.year << " " << i;
      ASSERT_LT(lc.contactTime[kC2], lc.contactTime[kC3]) << r.year << " " << i;
      ASSERT_LT(lc.contactTime[kC3], lc.contactTime[kC4]) << r.year << " " << i;
    }
  }
  EXPECT_GT(found, 20000);
  EXPECT_GT(central, 100);
}

}  // namespace
