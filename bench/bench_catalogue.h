#pragma once
// The shipped catalogue for the benchmarks that compute from it, loaded once; nullptr when it
// cannot be loaded (the benchmark then says so and skips).

#include <string>

#include "catalogue.h"

namespace umbrivista {

inline const EclipseCatalogue* Catalogue() {
  static EclipseCatalogue catalogue;
  static bool tried = false;
  if (!tried) {
    tried = true;
    try {
      catalogue.Load(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName);
    } catch (const CatalogueError&) {
    }
  }
  return catalogue.Empty() ? nullptr : &catalogue;
}

}  // namespace umbrivista
