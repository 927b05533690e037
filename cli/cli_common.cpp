// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <streambuf>

#include "cli.h"

#include "deltat.h"

#include "language.h"
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
    // Options are spelt "--name"; anything else, "-5" and "-inf" included, is a value.
    const std::string& a = args_[i];
    const bool option = a.size() > 2 && a.compare(0, 2, "--") == 0;
    if (!option) {
      std::string value = a;
      args_.erase(args_.begin() + static_cast<long>(i));
      return value;
    }
  }
  throw UsageError("missing " + what);
}

void Args::ExpectEnd() const {
  if (!args_.empty()) throw UsageError("unexpected argument: " + Echo(args_.front()));
}

std::string Echo(const std::string& text) {
  return QuoteForMessage(text, 80);
}

namespace {

std::string RangeText(double lo, double hi, const std::string& unit) {
  return FormatNumber(lo) + " … " + FormatNumber(hi) + (unit.empty() ? "" : " " + unit);
}

}  // namespace

std::string FormatNumber(double v) {
  return v == std::trunc(v) && std::fabs(v) < 1e15 ? std::to_string(static_cast<long long>(v))
                                                   : FormatReal(v);
}

int ParseIntArg(const std::string& text, const std::string& what, int lo, int hi) {
  auto v = ParseInteger(text);
  if (!v) {
    throw UsageError(what + " must be a whole number in " + RangeText(lo, hi, "") + ", not " +
                     Echo(text));
  }
  if (*v < lo || *v > hi) {
    throw UsageError(what + " must lie in " + RangeText(lo, hi, "") + ", not " + Echo(text));
  }
  return static_cast<int>(*v);
}

double ParseRealArg(const std::string& text, const std::string& what, double lo, double hi,
                    const std::string& unit) {
  // "inf", "-inf" and "nan" are read as numbers so that the message names the allowed range.
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  double v = 0;
  auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
  const bool number = !digits.empty() && ptr == digits.data() + digits.size() &&
                      (ec == std::errc() || ec == std::errc::result_out_of_range);
  if (!number) {
    throw UsageError(what + " must be a number in " + RangeText(lo, hi, unit) + ", not " +
                     Echo(text));
  }
  if (!(v >= lo && v <= hi) || ec != std::errc()) {
    throw UsageError(what + " must lie in " + RangeText(lo, hi, unit) + ", not " + Echo(text));
  }
  return v;
}

std::optional<std::pair<double, double>> TakeLatLon(Args& args, const char* name) {
  const auto text = args.TakeOption(name);
  if (!text) return std::nullopt;
  const std::string option = std::string("--") + name;
  const auto comma = text->find(',');
  if (comma == std::string::npos) throw UsageError(option + " must be LAT,LON, not " + Echo(*text));
  return std::make_pair(
      ParseRealArg(text->substr(0, comma), option + " latitude", -90, 90, "°"),
      ParseRealArg(text->substr(comma + 1), option + " longitude", -180, 180, "°"));
}

std::string RequiredOption(Args& args, const std::string& name) {
  auto value = args.TakeOption(name);
  if (!value) throw UsageError("missing --" + name);
  return *value;
}

double DeltaTFor(const EclipseRecord& r, bool ut) {
  return ut ? DeltaT(r.year, r.month) : 0.0;
}

namespace {

std::string JsonCoordinates(const std::vector<GeoPoint>& points) {
  std::string out;
  for (std::size_t i = 0; i < points.size(); ++i) {
    out += (i ? ",[" : "[") + FormatFixed(points[i].longitude, 6) + "," +
           FormatFixed(points[i].latitude, 6) + "]";
  }
  return out;
}

std::string KmlCoordinates(const std::vector<GeoPoint>& points) {
  std::string out;
  for (const GeoPoint& p : points) {
    out += FormatFixed(p.longitude, 6) + "," + FormatFixed(p.latitude, 6) + ",0\n";
  }
  return out;
}

std::string JsonRings(const GeoPolygon& polygon) {
  std::string out = "[";
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    out += (i ? ",[" : "[") + JsonCoordinates(polygon[i]) + "]";
  }
  return out + "]";
}

}  // namespace

bool TakeMapFrameUt(Args& args, const std::string& format) {
  const bool tt = args.TakeFlag("tt");
  const bool ut = args.TakeFlag("ut");
  if (tt && ut) throw UsageError("--ut and --tt exclude each other");
  return format == "tsv" ? ut : !tt;
}

std::string JsonFrameProperties(bool ut, double deltaT) {
  return std::string("\"time_scale\":\"") + (ut ? "UT" : "TT") +
         "\",\"delta_t_s\":" + FormatFixed(deltaT, 1);
}

std::string KmlFrameData(bool ut, double deltaT) {
  return std::string("<Data name=\"time_scale\"><value>") + (ut ? "UT" : "TT") +
         "</value></Data><Data name=\"delta_t_s\"><value>" + FormatFixed(deltaT, 1) +
         "</value></Data>";
}

std::string JsonLineGeometry(const std::vector<GeoPoint>& line) {
  const auto pieces = SplitAtAntimeridian(line);
  if (pieces.size() == 1) {
    return "{\"type\":\"LineString\",\"coordinates\":[" + JsonCoordinates(pieces[0]) + "]}";
  }
  std::string out = "{\"type\":\"MultiLineString\",\"coordinates\":[";
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    out += (i ? ",[" : "[") + JsonCoordinates(pieces[i]) + "]";
  }
  return out + "]}";
}

std::string JsonPolygonGeometry(const std::vector<GeoPolygon>& polygons) {
  if (polygons.empty()) return "null";
  if (polygons.size() == 1) {
    return "{\"type\":\"Polygon\",\"coordinates\":" + JsonRings(polygons[0]) + "}";
  }
  std::string out = "{\"type\":\"MultiPolygon\",\"coordinates\":[";
  for (std::size_t i = 0; i < polygons.size(); ++i) out += (i ? "," : "") + JsonRings(polygons[i]);
  return out + "]}";
}

std::string KmlLineGeometry(const std::vector<GeoPoint>& line) {
  const auto pieces = SplitAtAntimeridian(line);
  std::string out = pieces.size() > 1 ? "<MultiGeometry>\n" : "";
  for (const auto& piece : pieces) {
    out += "<LineString>\n<tessellate>1</tessellate>\n<coordinates>\n" + KmlCoordinates(piece) +
           "</coordinates>\n</LineString>\n";
  }
  return out + (pieces.size() > 1 ? "</MultiGeometry>\n" : "");
}

std::string KmlPolygonGeometry(const std::vector<GeoPolygon>& polygons) {
  std::string out = polygons.size() > 1 ? "<MultiGeometry>\n" : "";
  for (const GeoPolygon& polygon : polygons) {
    out += "<Polygon>\n<tessellate>1</tessellate>\n";
    for (std::size_t i = 0; i < polygon.size(); ++i) {
      out += std::string(i ? "<innerBoundaryIs>" : "<outerBoundaryIs>") +
             "\n<LinearRing>\n<coordinates>\n" + KmlCoordinates(polygon[i]) +
             "</coordinates>\n</LinearRing>\n" + (i ? "</innerBoundaryIs>" : "</outerBoundaryIs>") +
             "\n";
    }
    out += "</Polygon>\n";
  }
  return out + (polygons.size() > 1 ? "</MultiGeometry>\n" : "");
}

std::string& DataDirOption() {
  static std::string folder;
  return folder;
}

std::string DataFile(const std::string& name) {
  return FindDataFile(name, DataDirOption());
}

namespace {

std::string& LoadedCataloguePath() {
  static std::string path;
  return path;
}

}  // namespace

const EclipseCatalogue& LoadCatalogue(Args& args) {
  static EclipseCatalogue catalogue;
  std::string path;
  if (auto given = args.TakeOption("catalogue")) {
    path = *given;
  } else {
    path = DataFile(kCatalogueFileName);
  }
  catalogue.Load(path);
  LoadedCataloguePath() = path;
  return catalogue;
}

const std::string& CataloguePath() {
  return LoadedCataloguePath();
}

void RefuseOutputOverInput(const std::string& out, const std::string& input,
                           const std::string& what) {
  if (out.empty() || input.empty()) return;
  std::error_code ec;
  if (std::filesystem::equivalent(out, input, ec)) {
    throw UsageError("--out " + Echo(out) + " is " + what + " " + Echo(input) +
                     ", which the command reads; nothing is written");
  }
}

namespace {

// std::cout's buffer: written with write(2), remembering the reason of the first failure; what
// cannot be written after that is dropped.
class OutputBuffer : public std::streambuf {
 public:
  OutputBuffer() { setp(buffer_, buffer_ + sizeof buffer_); }
  int Error() const { return error_; }

 protected:
  int_type overflow(int_type c) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  bool Drain() {
    const char* data = pbase();
    std::size_t left = static_cast<std::size_t>(pptr() - pbase());
    while (left > 0 && error_ == 0) {
      const ssize_t n = ::write(STDOUT_FILENO, data, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        error_ = n < 0 ? errno : EIO;
        break;
      }
      data += n;
      left -= static_cast<std::size_t>(n);
    }
    setp(buffer_, buffer_ + sizeof buffer_);
    return error_ == 0;
  }

  char buffer_[1 << 16];
  int error_ = 0;
};

OutputBuffer& StandardOutputBuffer() {
  // Never destroyed: std::cout is flushed once more after the statics are gone.
  static OutputBuffer* const buffer = new OutputBuffer;
  return *buffer;
}

}  // namespace

void PrepareStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = ::open("/dev/null", O_RDONLY | O_NOCTTY);
    if (opened >= 0 && opened != fd) {
      ::dup2(opened, fd);
      ::close(opened);
    }
  }
  std::cout.rdbuf(&StandardOutputBuffer());
}

bool FlushStandardOutput() {
  static bool reported = false;
  std::cout.flush();
  const int error = StandardOutputBuffer().Error();
  if (error == 0 && std::cout) return true;
  if (!reported) {
    reported = true;
    std::cerr << "umbrivista-cli: cannot write the output: "
              << std::strerror(error ? error : EIO) << "\n";
  }
  return false;
}

int ParsePosition(const std::string& text, const EclipseCatalogue& catalogue) {
  return ParseIntArg(text, "POS", 1, catalogue.RecordCount());
}

std::string TakeFormat(Args& args, std::initializer_list<const char*> allowed) {
  const std::string format = args.TakeOption("format").value_or(*allowed.begin());
  std::string choices;
  for (const char* a : allowed) {
    if (format == a) return format;
    choices += (choices.empty() ? "" : a == *(allowed.end() - 1) ? " or " : ", ") + std::string(a);
  }
  throw UsageError("--format must be " + choices + ", not " + Echo(format));
}

Language TakeLanguage(Args& args) {
  const std::string lang = args.TakeOption("lang").value_or("en");
  if (const std::optional<Language> language = LanguageFromCode(lang)) return *language;
  throw UsageError("--lang must be de, en or fr, not " + Echo(lang));
}

}  // namespace umbrivista
