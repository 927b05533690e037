// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Eclipse type codes, their names in the three languages, the Saros caption and the local type
// at a centre-line point.

#include <string>

#include "eclipse_record.h"
#include "language.h"

namespace umbrivista {

enum EclipseType : int {
  kPartial = 1,
  kTotal = 2,
  kAnnular = 3,
  kHybrid = 4,
  kNonCentralTotal = 5,
  kNonCentralAnnular = 6,
};

// Name for the window caption / the information panel's type line; empty outside 1–6.
std::string LongTypeName(int typeCode, Language language);
std::string ShortTypeName(int typeCode, Language language);
// True for the types whose shadow axis meets the Earth (2, 3, 4): they have a centre line.
bool IsCentral(int typeCode);

// "Eclipse in Saros    (12. of 73)" and its German and French forms.
std::string SarosCaption(const EclipseRecord& record, Language language);

// Kind of the central eclipse at a point of the centre line at height zeta (Earth radii) above the
// fundamental plane, from L2′ = l2 − zeta·tan f2: annular text when L2′ ≥ 0, else total text;
// "Anti" in the back view.
std::string CentreLineTypeText(double zeta, double l2, double tanF2, bool backView,
                               Language language);

}  // namespace umbrivista
