#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "cli.h"
#include "deltat.h"
#include "numbers.h"

namespace umbrivista {

int RunCatalogue(Args& args) {
  const std::string sub = args.TakePositional("catalogue command (info, show, find, convert)");
  if (sub == "convert") {
    const std::string text = args.TakePositional("TEXT file");
    const std::string bin = args.TakePositional("BIN file");
    args.ExpectEnd();
    const auto records = ReadCatalogueText(text);
    WriteCatalogueBinary(bin, records, text);
    std::cout << "records\t" << records.size() << "\n";
    return 0;
  }
  if (sub == "info") {
    const auto& cat = LoadCatalogue(args);
    args.ExpectEnd();
    const EclipseRecord& first = cat.RecordAt(1);
    const EclipseRecord& last = cat.RecordAt(cat.RecordCount());
    std::cout << "records\t" << cat.RecordCount() << "\n"
              << "first\t" << IsoDate(first.year, first.month, first.day) << "\n"
              << "last\t" << IsoDate(last.year, last.month, last.day) << "\n"
              << "saros_min\t" << cat.MinSaros() << "\n"
              << "saros_max\t" << cat.MaxSaros() << "\n";
    return 0;
  }
  if (sub == "show") {
    const auto& cat = LoadCatalogue(args);
    const int p = ParsePosition(args.TakePositional("POS"), cat);
    args.ExpectEnd();
    std::cout << FormatCatalogueLine(cat.RecordAt(p)) << "\n";
    return 0;
  }
  if (sub == "find") {
    const auto& cat = LoadCatalogue(args);
    const auto year = args.TakeOption("year");
    const auto saros = args.TakeOption("saros");
    args.ExpectEnd();
    if (year.has_value() == saros.has_value()) throw UsageError("give either --year or --saros");
    const int p = year ? cat.FindByYear(ParseIntArg(*year, "--year"))
                       : cat.FindBySaros(ParseIntArg(*saros, "--saros"));
    if (p == 0) {
      std::cerr << "umbrivista-cli: no eclipse of Saros " << *saros << " in the catalogue\n";
      return 1;
    }
    std::cout << p << "\n";
    return 0;
  }
  throw UsageError("unknown catalogue command \"" + sub + "\"");
}

int RunDeltaT(Args& args) {
  const int year = ParseIntArg(args.TakePositional("YEAR"), "YEAR");
  const int month = ParseIntArg(args.TakePositional("MONTH"), "MONTH");
  args.ExpectEnd();
  if (month < 1 || month > 12) throw UsageError("MONTH must lie in 1 … 12");
  std::cout << FormatReal(DeltaT(year, month)) << "\n";
  return 0;
}

}  // namespace umbrivista
