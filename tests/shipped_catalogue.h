#pragma once
// The catalogue file shipped in data/, loaded once per test program.

#include <string>

#include "catalogue.h"

namespace umbrivista {

inline const EclipseCatalogue& ShippedCatalogue() {
  static const EclipseCatalogue catalogue = [] {
    EclipseCatalogue c;
    c.Load(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName);
    return c;
  }();
  return catalogue;
}

}  // namespace umbrivista
