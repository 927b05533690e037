#include "eclipse_types.h"

#include "string_table.h"

namespace umbrivista {

namespace {

constexpr int kLongNamesItem = 0;
constexpr int kShortNamesItem = 6;
constexpr int kSarosPrefixItem = 12;
constexpr int kSarosSeparatorItem = 13;
constexpr int kCentreLineTotalItem = 30;
constexpr int kCentreLineAnnularItem = 31;

bool KnownType(int code) {
  return code >= kPartial && code <= kNonCentralAnnular;
}

}  // namespace

std::string LongTypeName(int typeCode, int language) {
  return KnownType(typeCode) ? StringItem(kLongNamesItem + typeCode - 1, language) : std::string();
}

std::string ShortTypeName(int typeCode, int language) {
  return KnownType(typeCode) ? StringItem(kShortNamesItem + typeCode - 1, language) : std::string();
}

bool IsCentral(int typeCode) {
  return typeCode == kTotal || typeCode == kAnnular || typeCode == kHybrid;
}

std::string SarosCaption(const EclipseRecord& record, int language) {
  if (!IsLanguage(language)) return {};
  return StringItem(kSarosPrefixItem, language) + std::to_string(record.sarosMember) +
         StringItem(kSarosSeparatorItem, language) + std::to_string(record.sarosMemberCount) + ")";
}

std::string CentreLineTypeText(double zeta, double l2, double tanF2, bool backView, int language) {
  if (!IsLanguage(language)) return {};
  if (backView) return "Anti";
  const double l2Local = l2 - zeta * tanF2;
  return StringItem(l2Local >= 0 ? kCentreLineAnnularItem : kCentreLineTotalItem, language);
}

}  // namespace umbrivista
