#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "cli.h"
#include "numbers.h"

namespace umbrivista {

std::optional<std::string> Args::TakeOption(const std::string& name) {
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (args_[i] == "--" + name) {
      if (i + 1 >= args_.size()) throw UsageError("--" + name + " needs a value");
      std::string value = args_[i + 1];
      args_.erase(args_.begin() + static_cast<long>(i), args_.begin() + static_cast<long>(i) + 2);
      return value;
    }
  }
  return std::nullopt;
}

bool Args::TakeFlag(const std::string& name) {
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (args_[i] == "--" + name) {
      args_.erase(args_.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

std::string Args::TakePositional(const std::string& what) {
  for (std::size_t i = 0; i < args_.size(); ++i) {
    // A leading '-' followed by a digit is a negative number, not an option.
    const std::string& a = args_[i];
    const bool option = a.size() > 1 && a[0] == '-' && !(std::isdigit(a[1]) || a[1] == '.');
    if (!option) {
      std::string value = a;
      args_.erase(args_.begin() + static_cast<long>(i));
      return value;
    }
  }
  throw UsageError("missing " + what);
}

void Args::ExpectEnd() const {
  if (!args_.empty()) throw UsageError("unexpected argument: " + args_.front());
}

int ParseIntArg(const std::string& text, const std::string& what) {
  auto v = ParseInteger(text);
  if (!v || *v < INT32_MIN || *v > INT32_MAX) {
    throw UsageError(what + " must be an integer, not \"" + text + "\"");
  }
  return static_cast<int>(*v);
}

double ParseRealArg(const std::string& text, const std::string& what) {
  auto v = ParseReal(text);
  if (!v) throw UsageError(what + " must be a number, not \"" + text + "\"");
  return *v;
}

std::string ProgramFolder() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return exe.parent_path().string();
}

const EclipseCatalogue& LoadCatalogue(Args& args) {
  static EclipseCatalogue catalogue;
  std::string path;
  if (auto given = args.TakeOption("catalogue")) {
    path = *given;
  } else {
    path = ProgramFolder() + "/" + kCatalogueFileName;
    if (!std::filesystem::exists(path)) path = kCatalogueFileName;
  }
  catalogue.Load(path);
  return catalogue;
}

int ParsePosition(const std::string& text, const EclipseCatalogue& catalogue) {
  const int p = ParseIntArg(text, "POS");
  if (p < 1 || p > catalogue.RecordCount()) {
    throw UsageError("POS must lie in 1 … " + std::to_string(catalogue.RecordCount()) + ", not " +
                     text);
  }
  return p;
}

std::string IsoDate(int year, int month, int day) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s%04d-%02d-%02d", year < 0 ? "-" : "", std::abs(year), month,
                day);
  return buf;
}

}  // namespace umbrivista
