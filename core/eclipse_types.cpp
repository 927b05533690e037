// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "eclipse_types.h"

#include "string_table.h"

namespace umbrivista {

namespace {

// By type code 1 … 6.
constexpr Text kLongNames[] = {Text::kPartialName,         Text::kTotalName,
                               Text::kAnnularName,         Text::kHybridName,
                               Text::kNonCentralTotalName, Text::kNonCentralAnnularName};
constexpr Text kShortNames[] = {Text::kPartialShortName,         Text::kTotalShortName,
                                Text::kAnnularShortName,         Text::kHybridShortName,
                                Text::kNonCentralTotalShortName, Text::kNonCentralAnnularShortName};

bool KnownType(int code) {
  return code >= kPartial && code <= kNonCentralAnnular;
}

}  // namespace

std::string LongTypeName(int typeCode, Language language) {
  return KnownType(typeCode) ? StringItem(kLongNames[typeCode - 1], language) : std::string();
}

std::string ShortTypeName(int typeCode, Language language) {
  return KnownType(typeCode) ? StringItem(kShortNames[typeCode - 1], language) : std::string();
}

bool IsCentral(int typeCode) {
  return typeCode == kTotal || typeCode == kAnnular || typeCode == kHybrid;
}

std::string SarosCaption(const EclipseRecord& record, Language language) {
  if (!IsKnownLanguage(language)) return {};
  return StringItem(Text::kSarosPrefix, language) + std::to_string(record.sarosMember) +
         StringItem(Text::kSarosSeparator, language) + std::to_string(record.sarosMemberCount) +
         ")";
}

std::string CentreLineTypeText(double zeta, double l2, double tanF2, bool backView,
                               Language language) {
  if (!IsKnownLanguage(language)) return {};
  if (backView) return "Anti";
  const double l2Local = l2 - zeta * tanF2;
  return StringItem(l2Local >= 0 ? Text::kCentreLineAnnular : Text::kCentreLineTotal, language);
}

}  // namespace umbrivista
